#include "flashops/read_compare.hpp"

#include <cstdio>
#include <string>

#include "config/catalog.hpp"
#include "config/chip_groups.hpp"
#include "flashops/block_read.hpp"
#include "flashops/block_source.hpp"
#include "flashops/command_exchange.hpp"

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
bool FindDifference(const FlashImage& image, std::uint32_t base, const ReadBlockBuffer& block,
                    std::uint32_t address, std::uint32_t inRange, bool exempt, std::uint32_t& at,
                    std::uint32_t& flashWord, std::uint32_t& imageWord) {
    for (std::uint32_t off = 0; off < inRange; off += 4) {
        std::uint32_t f = 0;
        std::uint32_t h = 0;
        for (std::uint32_t i = 0; i < 4; ++i) {
            const bool inside = off + i < inRange;
            f = (f << 8) | (inside ? block[off + i] : 0xFFu);
            h = (h << 8) | (inside ? image.At(base, address + off + i) : 0xFFu);
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

bool ReadAndCompare(Link& link, Operator& op, const ChipSetup& chip, const FlashImage& image,
                    OperationTimer& timer) {
    const OperationRanges& ranges = chip.ranges;
    const bool exempt = IsCompareExemptChip(chip.name);
    link.TakeLineErrors();
    const int total = BarTotal(ranges, kReadBlockSize);
    ShowButtons(op, 14);
    ShowStep(op, CatalogText(op.language(), kMsgReadingComparing));
    ResetBar(op, 0, total);
    CountBytes(op, kReadBlockSize, "Compared");

    ReadBlockBuffer block{};
    int k = 0;
    for (int r = 0; r < ranges.rangeCount && r < kMaxRanges; ++r) {
        const std::uint32_t end = ranges.rangeEnd[r];
        for (std::uint64_t a = ranges.rangeStart[r]; a <= end; a += kReadBlockSize) {
            const std::uint32_t address = static_cast<std::uint32_t>(a);
            switch (ReadFlashBlock(link, op, chip.programDir, address, k, ReadPurpose::Compare,
                                   block)) {
                case BlockRead::Cancel:
                    CancelEnding(link, op, k);
                    return false;
                case BlockRead::Failed:
                    return false;
                case BlockRead::Ok:
                    break;
            }
            std::uint32_t at = 0, flashWord = 0, imageWord = 0;
            const std::uint32_t inRange = BlockBytesInRange(address, end, kReadBlockSize);
            if (FindDifference(image, ranges.rangeStart[0], block, address, inRange, exempt, at,
                               flashWord, imageWord)) {
                Outcome difference;
                difference.code = kMsgDifference;
                difference.sound = kSoundError;
                difference.errorAddress = Hex32(at);
                difference.flashData = Hex32(flashWord);
                difference.hexData = Hex32(imageWord);
                op.Tell(difference);
                return false;
            }
            ++k;
        }
    }
    SetBarPos(op, k);
    LogOperationTime(timer, chip.programDir, chip.name, kLogRead);
    op.Tell(Completed(kMsgIdentical));
    return true;
}

}  // namespace quillon
