#pragma once
// The 16-bit sum of the hex file as it would be programmed (Check SUM).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

struct OperationContext;

inline constexpr int kChecksumFailed = 0x10000;

// Decodes ctx.hexFilePath with `fill` and adds up the image bytes of every
// operation range, modulo 65536. kChecksumFailed when the decode failed (its
// decoder has said why where it says anything).
int ComputeChecksum(OperationContext& ctx, std::uint8_t fill);

// The fill byte from the first two characters of the fill field, which must
// be "0"-"9" or "A"-"F"; nullopt otherwise (one character is too few).
std::optional<std::uint8_t> ParseFillText(std::string_view fillText);

// What the result field shows after its button: the sum as "%04X", or empty
// for an invalid fill text (the file is then not decoded) or a failed decode.
std::string ChecksumFieldText(OperationContext& ctx, std::string_view fillText);

}  // namespace quillon
