#include "config/port_map.hpp"

#include "config/port_names.hpp"
#include "platform/paths.hpp"
#include "platform/profile_file.hpp"
#include "platform/serial_device.hpp"

namespace quillon {

std::vector<ComPortMapping> ComPortMappings(const std::string& programDir, int count) {
    std::vector<ComPortMapping> mappings;
    for (int n = 1; n <= count; ++n) {
        const std::string device = ComPortDevicePath(programDir, n);
        mappings.push_back({n, device, device != DefaultSerialDevicePath(n)});
    }
    return mappings;
}

bool MapComPort(const std::string& programDir, int number, const std::string& device) {
    return WriteProfileString(JoinPath(programDir, "Customize.ini"), "Ports",
                              "COM" + std::to_string(number), device);
}

}  // namespace quillon
