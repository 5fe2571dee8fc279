#pragma once
// Hex digits as hex files hold them: "0"-"9" and "A"-"F" only. For the
// decoders a lower-case digit is as wrong as a blank.

#include <array>
#include <cstdint>

namespace quillon {

inline constexpr std::uint8_t kNotAHexDigit = 0xFF;

inline constexpr std::array<std::uint8_t, 256> kUpperHexDigitValue = [] {
    std::array<std::uint8_t, 256> table{};
    for (auto& v : table) v = kNotAHexDigit;
    for (int c = '0'; c <= '9'; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c - 'A' + 10);
    return table;
}();

inline std::uint8_t UpperHexDigitValue(char c) {
    return kUpperHexDigitValue[static_cast<unsigned char>(c)];
}

inline bool IsUpperHexDigit(char c) {
    return UpperHexDigitValue(c) != kNotAHexDigit;
}

// The upper-case digit of the low four bits of `value`, as hex files are written.
constexpr char UpperHexDigit(unsigned value) { return "0123456789ABCDEF"[value & 0x0F]; }

}  // namespace quillon
