#pragma once
// The 16-bit sum of a hex file as it would be programmed (Check SUM).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/chip_definition.hpp"
#include "image/flash_image.hpp"

namespace quillon {

// The image bytes of every operation range added up, modulo 65536 (a range
// listed twice counts twice; only what the image holds is summed).
std::uint16_t SumOverRanges(const OperationRanges& ranges, const FlashImage& image);

// The fill byte from the first two characters of the fill field, which must
// be "0"-"9" or "A"-"F"; nullopt otherwise (one character is too few).
std::optional<std::uint8_t> ParseFillText(std::string_view fillText);

// The sum as the result field shows it: "%04X".
std::string ChecksumText(std::uint16_t sum);

}  // namespace quillon
