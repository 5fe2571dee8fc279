#include "sim/boot_faults.hpp"

#include <array>
#include <cstdlib>
#include <string_view>

namespace quillon::sim {

namespace {

constexpr std::array<std::string_view, 14> kSteps = {
    "boot",      "identify", "image-frame", "image", "boot2",    "ready",    "rate",
    "key-frame", "key",      "erase-frame", "erase", "tcs-poll", "tcs-load", "tcs-run"};

bool Number(const std::string& text, int base, long max, long& out) {
    char* end = nullptr;
    out = std::strtol(text.c_str(), &end, base);
    return !text.empty() && *end == '\0' && out >= 0 && out <= max;
}

}  // namespace

bool IsBootStep(const std::string& step) {
    for (auto s : kSteps) {
        if (s == step) return true;
    }
    return false;
}

bool ParseBootFaults(const std::vector<std::string>& faultOptions, BootFaults& faults,
                     std::string& error) {
    for (const std::string& option : faultOptions) {
        const auto colon = option.find(':');
        const std::string kind = option.substr(0, colon);
        const std::string arg = colon == std::string::npos ? "" : option.substr(colon + 1);
        long n = 0;
        if (kind == "silent") {
            if (!IsBootStep(arg)) {
                error = "--fault " + option + ": no boot step \"" + arg + "\"";
                return false;
            }
            faults.silentAt.insert(arg);
        } else if (kind == "wrong") {
            const auto eq = arg.find('=');
            const std::string step = arg.substr(0, eq);
            if (!IsBootStep(step) || eq == std::string::npos ||
                !Number(arg.substr(eq + 1), 16, 0xFF, n)) {
                error = "--fault " + option + ": expected wrong:STEP=XX";
                return false;
            }
            faults.wrongAt[step] = static_cast<std::uint8_t>(n);
        } else if (kind == "zeros" || kind == "stray" || kind == "polls") {
            if (!Number(arg, 10, 100000, n)) {
                error = "--fault " + option + ": expected " + kind + ":N";
                return false;
            }
            (kind == "zeros"   ? faults.zerosBeforeReplies
             : kind == "stray" ? faults.strayBeforeAnswer
                               : faults.pollsBeforeAnswer) = static_cast<int>(n);
        }
        // Anything else belongs to the control program.
    }
    return true;
}

}  // namespace quillon::sim
