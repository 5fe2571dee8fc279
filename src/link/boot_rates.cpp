#include "link/boot_rates.hpp"

#include <string>
#include <vector>

#include "app/catalog.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "config/address_list.hpp"
#include "config/chip_file.hpp"

namespace quillon {

namespace {

// A 256-character value holds at most 128 items.
constexpr std::size_t kRateCapacity = 128;

std::vector<std::uint32_t> RateList(const OperationContext& ctx, const char* key) {
    return ParseRateList(ChipString(ctx, key, 256), kRateCapacity);
}

bool MissingRate(OperationContext& ctx, const char* key) {
    ctx.detailText = std::string(key) + " of " + ctx.SelectedChipName() +
                     " has no rate for the crystal " + ctx.SelectedCrystalText() + " (entry " +
                     std::to_string(ctx.clockIndex + 1) + ")";
    Report(ctx, kMsgDownloadError, kSeverityRedownload, kSoundError);
    return false;
}

bool Item(const std::vector<std::uint32_t>& list, int index, std::uint32_t& rate) {
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return false;
    rate = list[static_cast<std::size_t>(index)];
    return true;
}

}  // namespace

bool BootRate(OperationContext& ctx, std::uint32_t& rate) {
    if (!Item(RateList(ctx, "Baud"), ctx.clockIndex, rate)) return MissingRate(ctx, "Baud");
    return true;
}

bool ControlProgramRate(OperationContext& ctx, std::uint32_t& rate) {
    const std::vector<std::uint32_t> fast = RateList(ctx, "Baud2");
    // A Baud2 without items counts as absent.
    if (!fast.empty()) {
        if (!Item(fast, ctx.clockIndex, rate)) return MissingRate(ctx, "Baud2");
        return true;
    }
    std::uint32_t boot = 0;
    if (!BootRate(ctx, boot)) return false;
    rate = boot * 2;
    return true;
}

}  // namespace quillon
