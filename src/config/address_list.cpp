#include "config/address_list.hpp"

#include <cstdint>

namespace quillon {

namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::vector<std::uint32_t> ParseList(std::string_view text, std::size_t capacity, int base) {
    std::vector<std::uint32_t> items;
    std::size_t pos = 0;
    while (pos <= text.size() && items.size() < capacity) {
        std::size_t comma = text.find(',', pos);
        std::size_t end = comma == std::string_view::npos ? text.size() : comma;
        // Adjacent commas give no item; an item of blanks still reads as 0.
        if (end > pos) {
            items.push_back(
                static_cast<std::uint32_t>(ParseListNumber(text.substr(pos, end - pos), base)));
        }
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
    return items;
}

}  // namespace

std::int32_t ParseListNumber(std::string_view item, int base) {
    std::size_t i = 0;
    while (i < item.size() && IsBlank(item[i])) ++i;
    bool negative = false;
    if (i < item.size() && (item[i] == '+' || item[i] == '-')) {
        negative = item[i] == '-';
        ++i;
    }
    // The prefix counts only when a hexadecimal digit follows it; "0xZ" is
    // the number 0 followed by text.
    if (base == 16 && i + 2 < item.size() && item[i] == '0' &&
        (item[i + 1] == 'x' || item[i + 1] == 'X') && DigitValue(item[i + 2]) < 16) {
        i += 2;
    }
    // Accumulated in 64 bits and saturated like strtol into a 32-bit long.
    constexpr std::int64_t kMax = 0x7FFFFFFF;
    constexpr std::int64_t kMinMagnitude = 0x80000000LL;
    const std::int64_t limit = negative ? kMinMagnitude : kMax;
    std::int64_t magnitude = 0;
    for (; i < item.size(); ++i) {
        int d = DigitValue(item[i]);
        if (d >= base) break;
        magnitude = magnitude * base + d;
        if (magnitude > limit) magnitude = limit;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::vector<std::uint32_t> ParseAddressList(std::string_view text, std::size_t capacity) {
    return ParseList(text, capacity, 16);
}

std::vector<std::uint32_t> ParseRateList(std::string_view text, std::size_t capacity) {
    return ParseList(text, capacity, 10);
}

}  // namespace quillon
