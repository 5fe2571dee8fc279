#include "app/checksum_field.hpp"

#include "app/decode_step.hpp"
#include "app/operation_context.hpp"
#include "image/checksum.hpp"

namespace quillon {

int ComputeChecksum(OperationContext& ctx, std::uint8_t fill) {
    if (!DecodeHexFile(ctx, false, fill)) return kChecksumFailed;
    return SumOverRanges(ctx.ranges, ctx.image);
}

std::string ChecksumFieldText(OperationContext& ctx, std::string_view fillText) {
    const std::optional<std::uint8_t> fill = ParseFillText(fillText);
    if (!fill) return {};
    const int sum = ComputeChecksum(ctx, *fill);
    if (sum == kChecksumFailed) return {};
    return ChecksumText(static_cast<std::uint16_t>(sum));
}

}  // namespace quillon
