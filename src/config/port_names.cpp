#include "config/user_settings.hpp"
#include "platform/paths.hpp"
#include "platform/profile_file.hpp"

namespace quillon {

std::string ComPortDevicePath(const std::string& programDir, int portNumber) {
    const std::string key = "COM" + std::to_string(portNumber);
    std::string mapped =
        ProfileString(JoinPath(programDir, "Customize.ini"), "Ports", key, "", 261);
    if (!mapped.empty()) return mapped;
#ifdef _WIN32
    return "\\\\.\\" + key;
#else
    return "/dev/ttyS" + std::to_string(portNumber - 1);
#endif
}

}  // namespace quillon
