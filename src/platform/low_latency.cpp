#include "platform/low_latency.hpp"

namespace quillon {

LowLatency RequestLowLatency(SerialFlags& driver, std::optional<std::uint32_t>& restore) {
    restore.reset();
    std::uint32_t before = 0;
    if (!driver.Get(before)) return LowLatency::NoSetting;
    if (before & kLowLatencyFlag) return LowLatency::Granted;
    if (!driver.Set(before | kLowLatencyFlag)) return LowLatency::Refused;
    // A driver may take the call and ignore the flag: only what it reports
    // back counts.
    std::uint32_t after = 0;
    const bool readBack = driver.Get(after);
    if (readBack && (after & kLowLatencyFlag) != 0) {
        restore = before;
        return LowLatency::Granted;
    }
    if (!readBack || after != before) (void)driver.Set(before);
    return LowLatency::NoSetting;
}

std::string_view LowLatencyText(LowLatency state) {
    switch (state) {
        case LowLatency::Granted:
            return "low latency granted";
        case LowLatency::Refused:
            return "low latency refused by the driver";
        case LowLatency::NoSetting:
            return "the driver has no low-latency setting";
        case LowLatency::NotAsked:
            break;
    }
    return {};
}

}  // namespace quillon
