#pragma once
// The serial devices this system has, with what identifies them to a person:
// the stable by-id name, the adapter's own description and its USB ids, and
// an FTDI-style adapter's latency timer. Linux reads sysfs and /dev
// directly; Windows reads the registry's list of COM ports and FTDI's device
// parameters. Listing never opens a device and needs no privileges.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

struct SerialPortInfo {
    std::string device;        // "/dev/ttyUSB0", "\\.\COM3"
    std::string byIdPath;      // "/dev/serial/by-id/usb-FTDI_...", or empty
    std::string description;   // the USB product string, else the driver's name, else empty
    std::string manufacturer;  // the USB manufacturer string, or empty
    std::string vendorId;      // "0403", as the system gives it; empty when not USB
    std::string productId;     // "6001", or empty
    std::string serialNumber;  // the USB serial number, or empty
    // An FTDI-style adapter's latency timer in ms (sysfs latency_timer, which
    // reads 1 while low latency is on; the FTDIBUS LatencyTimer parameter).
    std::optional<unsigned> latencyTimerMs = std::nullopt;

    bool operator==(const SerialPortInfo&) const = default;
};

// Where to look; tests point these at a fake tree.
struct SerialPortRoots {
    std::string sys = "/sys";
    std::string dev = "/dev";
};

// The serial devices present, USB adapters first, each group in the natural
// order of the device path (ttyACM0, ttyUSB2, ttyUSB10, then ttyS0...). Text
// read from devices passes through ShowablePortText, since it ends up on a
// terminal. Empty when nothing is found. On Windows `roots` is not used.
std::vector<SerialPortInfo> ListSerialPorts(const SerialPortRoots& roots = {});

// The order ListSerialPorts gives.
bool SerialPortLess(const SerialPortInfo& a, const SerialPortInfo& b);

// "0403:6001", or empty when either id is missing.
std::string UsbId(const SerialPortInfo& port);

// A latency timer above this slows the protocol's exchanges noticeably.
inline constexpr unsigned kLowLatencyTimerMs = 2;

// How to lower the latency timer of the adapter at `device` on this system,
// in one sentence.
std::string LowerLatencyAdvice(const std::string& device);

// For a listing or a settings page: one line saying what the port's latency
// timer costs and how to lower it; empty when it has none or it is at most
// kLowLatencyTimerMs.
std::string LatencyTimerNote(const SerialPortInfo& port);

// Whether a device a setting names is missing: its path does not exist or
// there is no device behind it. A path `listed` names (device or by-id) is
// present; any other that resolves to a character device is opened and at
// once closed again (without becoming the controlling terminal), so that a
// link to a pseudo-terminal or a udev SYMLINK+= name counts as present. A
// device that is only busy or not permitted is present.
bool SerialDeviceMissing(const std::string& path, const std::vector<SerialPortInfo>& listed);

// The most of one device text that is kept.
inline constexpr std::size_t kMaxPortText = 256;

// Text a device or driver gave, made safe to show: at most kMaxPortText
// bytes, blanks and line ends trimmed at both ends, every other control
// character (a NUL, an escape sequence) replaced by '?'.
std::string ShowablePortText(std::string_view raw);

}  // namespace quillon
