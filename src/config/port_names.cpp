#include "config/port_names.hpp"

#include "platform/paths.hpp"
#include "platform/profile_file.hpp"
#include "platform/serial_device.hpp"

namespace quillon {

std::string PortName::Text() const { return path.empty() ? "COM" + std::to_string(number) : path; }

std::string ComPortDevicePath(const std::string& programDir, int portNumber) {
    const std::string key = "COM" + std::to_string(portNumber);
    std::string mapped =
        ProfileString(JoinPath(programDir, "Customize.ini"), "Ports", key, "", 261);
    if (!mapped.empty()) return mapped;
    return DefaultSerialDevicePath(portNumber);
}

std::string DevicePathOf(const PortName& port, const std::string& programDir) {
    return port.path.empty() ? ComPortDevicePath(programDir, port.number) : port.path;
}

}  // namespace quillon
