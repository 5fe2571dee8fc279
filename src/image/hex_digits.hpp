#pragma once
// Hex digits as hex files hold them: "0"-"9" and "A"-"F" only. For the
// decoders a lower-case digit is as wrong as a blank.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

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

// Decodes the digits of a record in pairs, high digit first, into `out`: at
// most `maxPairs` pairs; whatever follows them (an odd last character
// included) is not decoded but must still be made of digits. Returns false
// when any character is not an upper-case digit; else the pair count and the
// sum of the decoded bytes.
inline bool DecodeHexPairs(std::string_view digits, std::uint8_t* out, std::size_t maxPairs,
                           std::size_t& pairs, unsigned& sum) {
    pairs = std::min<std::size_t>(digits.size() / 2, maxPairs);
    sum = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
        const std::uint8_t high = UpperHexDigitValue(digits[2 * i]);
        const std::uint8_t low = UpperHexDigitValue(digits[2 * i + 1]);
        if ((high | low) > 15) return false;
        out[i] = static_cast<std::uint8_t>(high << 4 | low);
        sum += out[i];
    }
    for (std::size_t i = 2 * pairs; i < digits.size(); ++i) {
        if (!IsUpperHexDigit(digits[i])) return false;
    }
    return true;
}

// The upper-case digit of the low four bits of `value`, as hex files are written.
constexpr char UpperHexDigit(unsigned value) { return "0123456789ABCDEF"[value & 0x0F]; }

}  // namespace quillon
