#include "link/boot_rates.hpp"

#include <string>
#include <vector>

#include "config/address_list.hpp"
#include "config/catalog.hpp"

namespace quillon {

namespace {

// A 256-character value holds at most 128 items.
constexpr std::size_t kRateCapacity = 128;

std::vector<std::uint32_t> RateList(const ChipSetup& chip, const char* key) {
    return ParseRateList(chip.Key(key, 256), kRateCapacity);
}

bool MissingRate(const ChipSetup& chip, Operator& op, const char* key) {
    op.Tell(Failure(kMsgDownloadError, kSeverityRedownload,
                    std::string(key) + " of " + chip.name + " has no rate for the crystal " +
                        chip.crystalText + " (entry " + std::to_string(chip.crystalIndex + 1) +
                        ")"));
    return false;
}

bool Item(const std::vector<std::uint32_t>& list, int index, std::uint32_t& rate) {
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return false;
    rate = list[static_cast<std::size_t>(index)];
    return true;
}

}  // namespace

bool BootRate(const ChipSetup& chip, Operator& op, std::uint32_t& rate) {
    if (!Item(RateList(chip, "Baud"), chip.crystalIndex, rate)) {
        return MissingRate(chip, op, "Baud");
    }
    return true;
}

bool ControlProgramRate(const ChipSetup& chip, Operator& op, std::uint32_t& rate) {
    const std::vector<std::uint32_t> fast = RateList(chip, "Baud2");
    // A Baud2 without items counts as absent.
    if (!fast.empty()) {
        if (!Item(fast, chip.crystalIndex, rate)) return MissingRate(chip, op, "Baud2");
        return true;
    }
    std::uint32_t boot = 0;
    if (!BootRate(chip, op, boot)) return false;
    rate = boot * 2;
    return true;
}

}  // namespace quillon
