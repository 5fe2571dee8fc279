#pragma once
// Which device each COM number opens: the [Ports] section of Customize.ini
// where it names one, else the system's default device for the number. The
// settings page and quillon-cli --list-ports show it; the link opens by it.

#include <string>
#include <vector>

namespace quillon {

struct ComPortMapping {
    int number = 1;      // COMn
    std::string device;  // what COMn opens
    bool mapped = false; // named in [Ports] (else the system's default)
};

// COM1 to COM<count>, in order.
std::vector<ComPortMapping> ComPortMappings(const std::string& programDir, int count);

// Names `device` for COM port `number` in [Ports]; an empty device leaves
// the number to the system's default again. False when Customize.ini could
// not be written.
[[nodiscard]] bool MapComPort(const std::string& programDir, int number, const std::string& device);

}  // namespace quillon
