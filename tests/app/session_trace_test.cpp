// The per-port trace file name: one trace per port when several ports run.

#include "app/session_trace.hpp"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(PortTraceFileTest, JoinsThePortsNameBeforeTheExtension) {
    struct Case {
        const char* file;
        const char* port;
        const char* expected;
    };
    const Case cases[] = {
        {"trace.txt", "COM3", "trace-COM3.txt"},
        {"trace.txt", "/dev/ttyUSB0", "trace-ttyUSB0.txt"},
        {"logs/trace.txt", "\\\\.\\COM12", "logs/trace-COM12.txt"},
        {"trace", "COM3", "trace-COM3"},
        // A dot in a folder or at the start of the name is no extension.
        {"run.1/trace", "COM3", "run.1/trace-COM3"},
        {".trace", "COM3", ".trace-COM3"},
        {"a.b.log", "COM3", "a.b-COM3.log"},
        // Nothing from the port's name may leave the folder or break the name.
        {"t.txt", "/dev/serial/by-id/usb-FTDI_A:1 x", "t-usb-FTDI_A_1_x.txt"},
        {"t.txt", "/dev/", "t-port.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PortTraceFile(c.file, c.port), c.expected) << c.file << " + " << c.port;
    }
}

}  // namespace
}  // namespace quillon
