// The serial port list: its order and text rules everywhere, and on POSIX the
// sysfs reader over fake /sys and /dev trees laid out as Linux lays them.

#include "platform/serial_ports.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/natural_order.hpp"

#ifndef _WIN32
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_dir.hpp"
#endif

namespace quillon {
namespace {

TEST(NaturalOrderTest, NumbersCompareByValue) {
    struct Case {
        const char* a;
        const char* b;
        bool less;
    };
    const Case cases[] = {
        {"ttyUSB2", "ttyUSB10", true},
        {"ttyUSB10", "ttyUSB2", false},
        {"COM9", "COM10", true},
        {"ttyACM0", "ttyS0", true},
        {"ttyS0", "ttyS0", false},
        {"ttyS", "ttyS0", true},  // a prefix first
        {"ttyS0", "ttyS", false},
        {"COM01", "COM1", true},  // equal in value: byte order keeps it strict
        {"COM1", "COM01", false},
        {"port007b", "port7a", false},
        {"p99999999999999999999999", "p100000000000000000000000", true},
        {"", "a", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NaturalLess(c.a, c.b), c.less) << c.a << " < " << c.b;
    }
}

TEST(SerialPortTextTest, DeviceTextIsTrimmedCappedAndFreeOfControls) {
    EXPECT_EQ(ShowablePortText("  FT232R USB UART \n"), "FT232R USB UART");
    EXPECT_EQ(ShowablePortText(std::string("A\0B\x1b[2J\x7f", 8)), "A?B?[2J?");
    EXPECT_EQ(ShowablePortText(std::string(1000, 'x')).size(), kMaxPortText);
    EXPECT_EQ(ShowablePortText("\r\n"), "");
    SerialPortInfo port;
    port.vendorId = "0403";
    EXPECT_EQ(UsbId(port), "");
    port.productId = "6001";
    EXPECT_EQ(UsbId(port), "0403:6001");
}

#ifndef _WIN32

namespace fs = std::filesystem;

// Builds a fake root under a temporary folder: folders, attribute files and
// relative symbolic links, as sysfs and udev make them.
class FakeTree {
  public:
    SerialPortRoots roots() const { return {dir_.File("sys"), dir_.File("dev")}; }
    std::string Dev(const std::string& name) const { return dir_.File("dev/" + name); }
    std::string File(const std::string& path) const { return dir_.File(path); }

    void Write(const std::string& path, const std::string& text) const {
        fs::create_directories(fs::path(dir_.File(path)).parent_path());
        dir_.Write(path, text);
    }
    void Link(const std::string& path, const std::string& target) const {
        fs::create_directories(fs::path(dir_.File(path)).parent_path());
        fs::create_symlink(target, dir_.File(path));
    }
    void Folder(const std::string& path) const { fs::create_directories(dir_.File(path)); }

    // A tty as the kernel registers it below the device `parent`: its
    // folder, the class link to it, its `device` link, all relative as in
    // sysfs; the parent's driver; and the /dev node.
    void Tty(const std::string& parent, const std::string& name, const std::string& bus,
             const std::string& driver) const {
        const std::string ttyDir = parent + "/tty/" + name;
        Folder("sys/" + ttyDir);
        Link("sys/class/tty/" + name, "../../" + ttyDir);
        Link("sys/" + ttyDir + "/device", "../../../" + fs::path(parent).filename().string());
        Driver(parent, bus, driver);
        Write("dev/" + name, "");
    }
    void Driver(const std::string& device, const std::string& bus,
                const std::string& driver) const {
        std::string up;
        for (const auto& part : fs::path(device)) up += part.empty() ? "" : "../";
        Folder("sys/bus/" + bus + "/drivers/" + driver);
        Link("sys/" + device + "/driver", up + "bus/" + bus + "/drivers/" + driver);
    }
    // A USB device's identity files.
    void Usb(const std::string& path, const std::string& vid, const std::string& pid) const {
        Write("sys/" + path + "/idVendor", vid + "\n");
        Write("sys/" + path + "/idProduct", pid + "\n");
    }

  private:
    testing::TempDir dir_;
};

const std::string kHub = "devices/pci0000:00/0000:00:14.0/usb1";

// A machine with two FTDI-style adapters, a pl2303 without strings, a CDC-ACM
// board, on-board UARTs, a virtual console and some debris.
void BuildMachine(const FakeTree& t) {
    t.Usb(kHub, "1d6b", "0002");  // the root hub: the walk must stop below it
    t.Write("sys/" + kHub + "/product", "xHCI Host Controller\n");

    const std::string ftdi = kHub + "/1-1";
    t.Usb(ftdi, "0403", "6001");
    t.Write("sys/" + ftdi + "/serial", "A12345\n");
    t.Write("sys/" + ftdi + "/product", "FT232R USB UART\n");
    t.Write("sys/" + ftdi + "/manufacturer", "FTDI\n");
    t.Tty(ftdi + "/1-1:1.0/ttyUSB0", "ttyUSB0", "usb-serial", "ftdi_sio");
    t.Write("sys/" + ftdi + "/1-1:1.0/ttyUSB0/latency_timer", "16\n");
    t.Link("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A12345-if00-port0", "../../ttyUSB0");
    t.Link("dev/serial/by-id/usb-gone-if00-port0", "../../ttyUSB7");  // dangling

    const std::string acm = kHub + "/1-2";
    t.Usb(acm, "2e8a", "000a");
    t.Write("sys/" + acm + "/product", "Board CDC  \n");
    t.Tty(acm + "/1-2:1.0", "ttyACM0", "usb", "cdc_acm");

    const std::string unplugged = kHub + "/1-3";  // sysfs still has it, /dev not
    t.Usb(unplugged, "10c4", "ea60");
    t.Tty(unplugged + "/1-3:1.0/ttyUSB1", "ttyUSB1", "usb-serial", "cp210x");
    fs::remove(t.Dev("ttyUSB1"));

    t.Usb(kHub + "/1-4", "067b", "2303");
    t.Tty(kHub + "/1-4/1-4:1.0/ttyUSB2", "ttyUSB2", "usb-serial", "pl2303");
    t.Usb(kHub + "/1-5", "0403", "6015");
    t.Write("sys/" + kHub + "/1-5/product", "FT231X\n");
    t.Tty(kHub + "/1-5/1-5:1.0/ttyUSB10", "ttyUSB10", "usb-serial", "ftdi_sio");
    t.Write("sys/" + kHub + "/1-5/1-5:1.0/ttyUSB10/latency_timer", "1\n");  // low latency on
    t.Write("sys/" + kHub + "/1-4/1-4:1.0/ttyUSB2/latency_timer", "many\n");  // not a number

    // On-board UARTs behind the serial core's port and controller layers.
    const std::string uarts = "devices/platform/serial8250";
    t.Driver(uarts, "platform", "serial8250");
    t.Driver(uarts + "/serial8250:0", "serial-base", "ctrl");
    t.Tty(uarts + "/serial8250:0/serial8250:0.0", "ttyS0", "serial-base", "port");
    t.Write("sys/" + uarts + "/serial8250:0/serial8250:0.0/tty/ttyS0/type", "4\n");
    t.Tty(uarts + "/serial8250:0/serial8250:0.1", "ttyS1", "serial-base", "port");
    t.Write("sys/" + uarts + "/serial8250:0/serial8250:0.1/tty/ttyS1/type", "0\n");

    t.Folder("sys/devices/virtual/tty/tty1");  // a console: no device link
    t.Link("sys/class/tty/tty1", "../../devices/virtual/tty/tty1");
    t.Write("dev/tty1", "");
}

TEST(ListSerialPortsTest, FindsEveryPortOfAMachineWithWhatIdentifiesIt) {
    FakeTree t;
    BuildMachine(t);
    const std::string byId = t.Dev("serial/by-id/usb-FTDI_FT232R_USB_UART_A12345-if00-port0");
    // device, by-id, description, manufacturer, vendor, product, serial, latency timer
    const std::vector<SerialPortInfo> expected = {
        {t.Dev("ttyACM0"), "", "Board CDC", "", "2e8a", "000a", ""},
        {t.Dev("ttyUSB0"), byId, "FT232R USB UART", "FTDI", "0403", "6001", "A12345", 16u},
        {t.Dev("ttyUSB2"), "", "pl2303", "", "067b", "2303", ""},
        {t.Dev("ttyUSB10"), "", "FT231X", "", "0403", "6015", "", 1u},
        {t.Dev("ttyS0"), "", "serial8250", "", "", "", ""},
    };
    const std::vector<SerialPortInfo> ports = ListSerialPorts(t.roots());
    ASSERT_EQ(ports.size(), expected.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i], expected[i]) << "entry " << i << ": " << ports[i].device << " | "
                                         << ports[i].byIdPath << " | " << ports[i].description;
    }
    EXPECT_EQ(UsbId(ports[1]), "0403:6001");
}

TEST(ListSerialPortsTest, LatencyNoteSaysTheCostAndTheRemedyAboveTwoMs) {
    FakeTree t;
    t.Write("dev/ttyUSB3", "");
    t.Link("dev/serial/by-id/usb-x", "../../ttyUSB3");
    SerialPortInfo port;
    port.device = t.Dev("serial/by-id/usb-x");
    EXPECT_EQ(LatencyTimerNote(port), "") << "no timer known";
    port.latencyTimerMs = kLowLatencyTimerMs;
    EXPECT_EQ(LatencyTimerNote(port), "");
    port.latencyTimerMs = 16;
    // The sysfs name is the device's own, also when a by-id link names it.
    EXPECT_EQ(LatencyTimerNote(port),
              "each reply waits up to 16 ms in the adapter: programming at 115200 baud takes "
              "about 1.7 times the line's time; " + LowerLatencyAdvice(port.device));
    EXPECT_NE(LowerLatencyAdvice(port.device).find("/devices/ttyUSB3/latency_timer"),
              std::string::npos);
}

TEST(ListSerialPortsTest, NoTreeOrAnEmptyOneGivesNoPorts) {
    FakeTree t;
    EXPECT_TRUE(ListSerialPorts(t.roots()).empty());  // neither sys nor dev exists
    t.Folder("sys/class/tty");
    t.Folder("dev");
    EXPECT_TRUE(ListSerialPorts(t.roots()).empty());
    EXPECT_TRUE(ListSerialPorts({"", ""}).empty());
}

TEST(ListSerialPortsTest, OddTreesNeitherHangNorLeakRawText) {
    FakeTree t;
    const std::string usb = kHub + "/1-1";
    t.Usb(usb, "0403", "6001");
    t.Write("sys/" + usb + "/manufacturer", std::string(100000, 'M'));
    t.Write("sys/" + usb + "/serial", "A1\x1b]0;owned\x07\n");
    ASSERT_EQ(::mkfifo(t.File("sys/" + usb + "/product").c_str(), 0600), 0);
    t.Tty(usb + "/1-1:1.0/ttyUSB0", "ttyUSB0", "usb-serial", "ftdi_sio");
    // A port whose device link dangles, one whose link loops, a plain file.
    t.Folder("sys/devices/x/tty/ttyUSB3");
    t.Link("sys/class/tty/ttyUSB3", "../../devices/x/tty/ttyUSB3");
    t.Link("sys/devices/x/tty/ttyUSB3/device", "../../gone");
    t.Link("sys/devices/x/tty/ttyUSB4", "ttyUSB4");
    t.Link("sys/class/tty/ttyUSB4", "../../devices/x/tty/ttyUSB4");
    t.Write("sys/class/tty/ttyUSB5", "");
    t.Write("dev/ttyUSB3", "");
    t.Write("dev/ttyUSB4", "");
    t.Write("dev/ttyUSB5", "");

    const std::vector<SerialPortInfo> ports = ListSerialPorts(t.roots());
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].description, "ftdi_sio");  // the FIFO is not read
    EXPECT_EQ(ports[0].manufacturer, std::string(kMaxPortText, 'M'));
    EXPECT_EQ(ports[0].serialNumber, "A1?]0;owned?");
}

// A settings' device outside the list: live links and pseudo-terminals are
// there, names of nothing are missing.
TEST(SerialDeviceMissingTest, OnlyAPathWithNoDeviceBehindItIsMissing) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    testing::TempDir dir;
    const std::string pty = ptsname(master);
    std::filesystem::create_symlink(pty, dir.File("ttyBOARD"));
    std::filesystem::create_symlink(dir.File("gone"), dir.File("ttyDANGLING"));
    dir.Write("plain", "");
    const std::vector<SerialPortInfo> listed = {{"/dev/ttyUSB0", "/dev/serial/by-id/usb-A", "", "", "", "", ""}};
    const struct {
        std::string path;
        bool missing;
    } cases[] = {
        {pty, false},
        {dir.File("ttyBOARD"), false},
        {"/dev/serial/by-id/usb-A", false},  // listed: not opened
        {dir.File("ttyDANGLING"), true},
        {dir.File("nothing"), true},
        {dir.File("plain"), true},
    };
    for (const auto& c : cases) EXPECT_EQ(SerialDeviceMissing(c.path, listed), c.missing) << c.path;
    close(master);
}

#endif  // _WIN32

}  // namespace
}  // namespace quillon
