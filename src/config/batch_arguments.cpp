#include <string>
#include <string_view>
#include <vector>

#include "config/user_settings.hpp"
#include "platform/ascii_case.hpp"

namespace quillon {

int BatchComPortIndex(const std::vector<std::string>& arguments) {
    for (int i = 0; i < 8; ++i) {
        const std::string name = "com" + std::to_string(i + 1);
        if (arguments.size() >= 2 && EqualsIgnoringCase(arguments[1], name)) return i;
        if (arguments.size() >= 3 && EqualsIgnoringCase(arguments[2], name)) return i;
    }
    return -1;
}

bool ArgumentsAskForReset(const std::vector<std::string>& arguments) {
    // The hex file alone (or nothing) leaves the question to the user.
    if (arguments.size() <= 1) return true;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (EqualsIgnoringCase(arguments[i], "reset")) return true;
        if (EqualsIgnoringCase(arguments[i], "no_reset")) return false;
    }
    return true;
}

}  // namespace quillon
