#pragma once
// The comma lists of CHIPDEF.INI: addresses in hexadecimal, rates in decimal.
// Empty items are skipped; each item is read like strtol: leading blanks, an
// optional sign, an optional 0x/0X (hexadecimal only), digits up to the first
// other character (80000H reads as 0x80000), saturation at 0x7FFFFFFF.

#include <cstdint>
#include <string_view>
#include <vector>

namespace quillon {

// At most `capacity` items are kept; the rest are ignored.
std::vector<std::uint32_t> ParseAddressList(std::string_view text, std::size_t capacity);
std::vector<std::uint32_t> ParseRateList(std::string_view text, std::size_t capacity);

// One item, as the lists read it (base 16 or 10).
std::int32_t ParseListNumber(std::string_view item, int base);

}  // namespace quillon
