#pragma once
// Check SUM: the 16-bit sum of the selected hex file as it would be
// programmed, over the session's operation ranges.

#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

struct OperationContext;

inline constexpr int kChecksumFailed = 0x10000;

// Decodes ctx.hexFilePath with `fill` and adds up the image bytes of every
// operation range, modulo 65536. kChecksumFailed when the decode failed (its
// decoder has said why where it says anything).
int ComputeChecksum(OperationContext& ctx, std::uint8_t fill);

// What the result field shows after its button: the sum as "%04X", or empty
// for an invalid fill text (the file is then not decoded) or a failed decode.
std::string ChecksumFieldText(OperationContext& ctx, std::string_view fillText);

}  // namespace quillon
