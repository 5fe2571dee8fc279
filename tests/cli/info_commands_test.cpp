// --where and --list-ports: what they print.

#include "cli/info_commands.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/serial_device.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::TempDir;

TEST(InfoCommandsTest, WhereTellsTheFolderWhyAndAMissingChipDefinition) {
    TempDir dir;
    std::ostringstream out;
    RunWhereCommand(ProgramFiles{dir.path(), dir.File("CHIPDEF.INI"), "given with --program-dir"},
                    out);
    EXPECT_EQ(out.str(),
              dir.path() + "\n  (given with --program-dir)\n  no CHIPDEF.INI there\n");
    dir.Write("CHIPDEF.INI", "");
    out.str("");
    RunWhereCommand(ProgramFiles{dir.path(), dir.File("CHIPDEF.INI"), "the program's own folder"},
                    out);
    EXPECT_EQ(out.str(), dir.path() + "\n  (the program's own folder)\n");
}

TEST(InfoCommandsTest, PortsWithTheirComNumbersAndMappedDevicesThatAreMissing) {
    TempDir dir;
    dir.Write("Customize.ini",
              "[Ports]\r\nCOM3=/dev/serial/by-id/usb-FTDI_A1-if00-port0\r\nCOM4=/dev/ttyUSB0\r\n"
              "COM9=/dev/ttyACM7\r\n");
    SerialPortInfo ftdi;
    ftdi.device = "/dev/ttyUSB0";
    ftdi.byIdPath = "/dev/serial/by-id/usb-FTDI_A1-if00-port0";
    ftdi.description = "FT232R USB UART";
    ftdi.vendorId = "0403";
    ftdi.productId = "6001";
    ftdi.serialNumber = "A1";
    ftdi.latencyTimerMs = 16;
    // An on-board port under the name COM1 has on this system.
    SerialPortInfo uart;
    uart.device = DefaultSerialDevicePath(1);
    uart.description = "serial8250";
    std::ostringstream out;
    RunPortListCommand({ftdi, uart}, dir.path(), out);
    EXPECT_EQ(out.str(),
              "/dev/ttyUSB0  COM3,COM4\n"
              "  by-id:       /dev/serial/by-id/usb-FTDI_A1-if00-port0\n"
              "  description: FT232R USB UART\n"
              "  USB id:      0403:6001\n"
              "  serial:      A1\n"
              "  latency:     16 ms\n"
              "               " + LatencyTimerNote(ftdi) + "\n"
              + uart.device + "  COM1\n"
              "  description: serial8250\n"
              "/dev/ttyACM7  COM9  (missing)\n");
    out.str("");
    RunPortListCommand({}, dir.path(), out);
    EXPECT_EQ(out.str().rfind("no serial devices found\n", 0), 0u) << out.str();
}

}  // namespace
}  // namespace quillon
