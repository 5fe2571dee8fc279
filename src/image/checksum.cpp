#include "image/checksum.hpp"

#include <algorithm>
#include <cstdio>

#include "image/hex_digits.hpp"

namespace quillon {

std::uint16_t SumOverRanges(const OperationRanges& ranges, const FlashImage& image) {
    const int count = std::min(ranges.rangeCount, kMaxRanges);
    if (count <= 0) return 0;
    const std::int64_t base = ranges.rangeStart[0];
    const std::int64_t imageLast = base + static_cast<std::int64_t>(image.bytes.size()) - 1;
    std::uint32_t sum = 0;
    for (int i = 0; i < count; ++i) {
        // Only what the image holds can be summed: a range reaching below the
        // first range or past the image counts with its part inside.
        const std::int64_t first = std::max<std::int64_t>(ranges.rangeStart[i], base);
        const std::int64_t last = std::min<std::int64_t>(ranges.rangeEnd[i], imageLast);
        for (std::int64_t a = first; a <= last; ++a) {
            sum += image.bytes[static_cast<std::size_t>(a - base)];
        }
    }
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

std::optional<std::uint8_t> ParseFillText(std::string_view fillText) {
    if (fillText.size() < 2) return std::nullopt;
    const std::uint8_t high = UpperHexDigitValue(fillText[0]);
    const std::uint8_t low = UpperHexDigitValue(fillText[1]);
    if ((high | low) > 15) return std::nullopt;
    return static_cast<std::uint8_t>(high << 4 | low);
}

std::string ChecksumText(std::uint16_t sum) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(sum));
    return text;
}

}  // namespace quillon
