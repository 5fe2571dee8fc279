// The port of a run that names none: the only USB adapter when nothing is
// set and no serial port stands at the default device; never a guess among
// several.

#include "cli/port_choice.hpp"

#include <gtest/gtest.h>

#include "platform/serial_device.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

SerialPortInfo Adapter(const char* device) {
    SerialPortInfo p;
    p.device = device;
    p.description = "FT232R USB UART";
    p.vendorId = "0403";
    p.productId = "6001";
    return p;
}

TEST(PortChoiceTest, TheOnlyAdapterWhenNothingIsSetElseAsConfiguredOrAList) {
    testing::TempDir dir;
    SerialPortInfo uart;
    uart.device = DefaultSerialDevicePath(1);
    const auto usb0 = Adapter("/dev/ttyUSB0"), usb1 = Adapter("/dev/ttyUSB1");
    Request named;
    named.portPath = "/dev/ttyACM0";
    Request batchCom;
    batchCom.batchComPortIndex = 2;
    const struct {
        const char* customize;
        Request request;
        std::vector<SerialPortInfo> ports;
        PortChoice choice;
    } cases[] = {
        {"", {}, {usb0}, PortChoice::OnlyAdapter},
        {"", {}, {usb0, usb1}, PortChoice::Several},
        {"", {}, {}, PortChoice::AsConfigured},
        {"", {}, {uart, usb0}, PortChoice::AsConfigured},  // a real port at the default
        {"", named, {usb0}, PortChoice::AsConfigured},
        {"", batchCom, {usb0}, PortChoice::AsConfigured},
        {"[Com]\r\nCom=0\r\n", {}, {usb0}, PortChoice::AsConfigured},
        {"[Ports]\r\nCOM1=/dev/ttyUSB1\r\n", {}, {usb0}, PortChoice::AsConfigured},
    };
    for (const auto& c : cases) {
        dir.Write("Customize.ini", c.customize);
        const PortChoiceResult r = ChoosePortWhenNoneGiven(dir.path(), c.request, 0, c.ports);
        EXPECT_EQ(r.choice, c.choice) << c.customize << " " << c.ports.size();
        if (r.choice == PortChoice::OnlyAdapter) {
            EXPECT_EQ(r.device, "/dev/ttyUSB0");
            EXPECT_NE(r.text.find("FT232R USB UART"), std::string::npos) << r.text;
        }
        if (r.choice == PortChoice::Several) {
            EXPECT_NE(r.text.find("/dev/ttyUSB1"), std::string::npos) << r.text;
        }
    }
}

}  // namespace
}  // namespace quillon
