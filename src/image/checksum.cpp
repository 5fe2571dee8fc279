#include "image/checksum.hpp"

#include <algorithm>
#include <cstdio>

#include "app/operation_context.hpp"
#include "image/flash_image.hpp"
#include "image/hex_digits.hpp"

namespace quillon {

int ComputeChecksum(OperationContext& ctx, std::uint8_t fill) {
    if (DecodeHexFile(ctx, false, fill) == 0) return kChecksumFailed;
    const int count = std::min(ctx.rangeCount, kMaxRanges);
    if (count <= 0) return 0;
    const std::int64_t base = ctx.rangeStart[0];
    const std::int64_t imageLast = base + std::int64_t{kImageSize} - 1;
    std::uint32_t sum = 0;
    for (int i = 0; i < count; ++i) {
        // Only what the image holds can be summed: a range reaching below the
        // first range or past the image counts with its part inside.
        const std::int64_t first = std::max<std::int64_t>(ctx.rangeStart[i], base);
        const std::int64_t last = std::min<std::int64_t>(ctx.rangeEnd[i], imageLast);
        for (std::int64_t a = first; a <= last; ++a) {
            sum += ctx.imageBuffer[static_cast<std::size_t>(a - base)];
        }
    }
    return static_cast<int>(sum & 0xFFFF);
}

std::optional<std::uint8_t> ParseFillText(std::string_view fillText) {
    if (fillText.size() < 2) return std::nullopt;
    const std::uint8_t high = UpperHexDigitValue(fillText[0]);
    const std::uint8_t low = UpperHexDigitValue(fillText[1]);
    if ((high | low) > 15) return std::nullopt;
    return static_cast<std::uint8_t>(high << 4 | low);
}

std::string ChecksumFieldText(OperationContext& ctx, std::string_view fillText) {
    const std::optional<std::uint8_t> fill = ParseFillText(fillText);
    if (!fill) return {};
    const int sum = ComputeChecksum(ctx, *fill);
    if (sum == kChecksumFailed) return {};
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(sum));
    return text;
}

}  // namespace quillon
