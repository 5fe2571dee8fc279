#pragma once
// Letter case of plain ASCII text, as INI names, chip names, port words and
// hexadecimal digits need it; other bytes (UTF-8 included) are left alone.

#include <string>
#include <string_view>

namespace quillon {

constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

inline std::string AsciiUpperCase(std::string text) {
    for (char& c : text) c = AsciiUpper(c);
    return text;
}

}  // namespace quillon
