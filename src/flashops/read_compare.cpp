#include "flashops/read_compare.hpp"

#include <cstdio>
#include <string>

#include "app/catalog.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "config/chip_groups.hpp"
#include "config/timing_log.hpp"
#include "flashops/block_read.hpp"
#include "flashops/block_source.hpp"
#include "flashops/command_exchange.hpp"
#include "flashops/progress_calls.hpp"
#include "link/serial_link.hpp"

namespace quillon {

namespace {

// The exempt chips are not held to the file in their last two words of the
// first MiB (0xFFFF8 and 0xFFFFC).
constexpr std::uint32_t kExemptFrom = 0xFFFF8;
constexpr std::uint32_t kExemptTo = 0xFFFFF;

std::string Hex32(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

// First word of the block that differs from the image and is not exempt.
// Only bytes within the range are compared; a word cut by the range end is
// filled with 0xFF on both sides.
bool FindDifference(const OperationContext& ctx, const ReadBlockBuffer& block,
                    std::uint32_t address, std::uint32_t inRange, bool exempt, std::uint32_t& at,
                    std::uint32_t& flashWord, std::uint32_t& imageWord) {
    for (std::uint32_t off = 0; off < inRange; off += 4) {
        std::uint32_t f = 0;
        std::uint32_t h = 0;
        for (std::uint32_t i = 0; i < 4; ++i) {
            const bool inside = off + i < inRange;
            f = (f << 8) | (inside ? block[off + i] : 0xFFu);
            h = (h << 8) |
                (inside ? ImageByte(ctx.imageBuffer, ctx.rangeStart[0], address + off + i) : 0xFFu);
        }
        if (f == h) continue;
        const std::uint32_t wordAddress = address + off;
        if (exempt && wordAddress >= kExemptFrom && wordAddress <= kExemptTo) continue;
        at = wordAddress;
        flashWord = f;
        imageWord = h;
        return true;
    }
    return false;
}

}  // namespace

void ReadAndCompare(OperationContext& ctx) {
    const bool exempt = IsCompareExemptChip(ctx.SelectedChipName());
    TakeLineErrors(ctx);
    const int total = BarTotal(ctx, kReadBlockSize);
    ShowButtons(ctx, 14);
    ShowMessage(ctx, CatalogText(ctx.language, kMsgReadingComparing));
    ResetBar(ctx, 0, total);

    ReadBlockBuffer block{};
    int k = 0;
    for (int r = 0; r < ctx.rangeCount && r < kMaxRanges; ++r) {
        const std::uint32_t end = ctx.rangeEnd[r];
        for (std::uint64_t a = ctx.rangeStart[r]; a <= end; a += kReadBlockSize) {
            const std::uint32_t address = static_cast<std::uint32_t>(a);
            switch (ReadFlashBlock(ctx, address, k, ReadPurpose::Compare, block)) {
                case BlockRead::Cancel:
                    CancelEnding(ctx, k);
                    return;
                case BlockRead::Failed:
                    return;
                case BlockRead::Ok:
                    break;
            }
            std::uint32_t at = 0, flashWord = 0, imageWord = 0;
            const std::uint32_t inRange = BlockBytesInRange(address, end, kReadBlockSize);
            if (FindDifference(ctx, block, address, inRange, exempt, at, flashWord, imageWord)) {
                ctx.errorAddressText = Hex32(at);
                ctx.flashDataText = Hex32(flashWord);
                ctx.hexDataText = Hex32(imageWord);
                Report(ctx, kMsgDifference, kSeverityInfo, kSoundError);
                return;
            }
            ++k;
        }
    }
    SetBarPos(ctx, k);
    LogOperationTime(ctx, kLogRead);
    Report(ctx, kMsgIdentical, kSeverityInfo, kSoundEnd);
}

}  // namespace quillon
