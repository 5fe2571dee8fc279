#include "image/serial_stamp.hpp"

#include <cstdio>

#include "platform/ascii_case.hpp"

namespace quillon {

namespace {

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    for (;;) {
        const std::size_t colon = text.find(':', at);
        parts.push_back(text.substr(at, colon - at));
        if (colon == std::string::npos) return parts;
        at = colon + 1;
    }
}

bool Digits(const std::string& text, const char* set) {
    return !text.empty() && text.find_first_not_of(set) == std::string::npos;
}

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

bool ParseSerialPlacement(const std::string& text, SerialPlacement& placement, std::string& error) {
    const std::vector<std::string> parts = Split(text);
    error = "a serial number is ADDR:FORMAT[:FIRST] (for example 3FFF0:u32be:1000; FORMAT u32be, "
            "u32le, u16be, u16le, bcd:N or ascii:N), not " + text;
    std::string address = parts[0];
    if (address.size() > 2 && EqualsIgnoringCase(address.substr(0, 2), "0x")) address = address.substr(2);
    if (parts.size() < 2 || !Digits(address, "0123456789abcdefABCDEF") || address.size() > 8) return false;
    placement.address = static_cast<std::uint32_t>(std::stoul(address, nullptr, 16));
    std::size_t next = 2;
    static const std::pair<const char*, SerialFormat::Kind> kBinary[] = {
        {"u32be", SerialFormat::Kind::U32Be}, {"u32le", SerialFormat::Kind::U32Le},
        {"u16be", SerialFormat::Kind::U16Be}, {"u16le", SerialFormat::Kind::U16Le}};
    bool known = false;
    for (const auto& [word, kind] : kBinary) {
        if (EqualsIgnoringCase(parts[1], word)) {
            placement.format = SerialFormat{kind, 0};
            known = true;
        }
    }
    if (!known) {
        const bool bcd = EqualsIgnoringCase(parts[1], "bcd");
        if ((!bcd && !EqualsIgnoringCase(parts[1], "ascii")) || parts.size() < 3 ||
            !Digits(parts[2], "0123456789") || parts[2].size() > 2) {
            return false;
        }
        const int digits = std::stoi(parts[2]);
        if (digits < 1 || digits > 18) {
            error = "a serial number of " + parts[1] + " has 1 to 18 digits, not " + parts[2];
            return false;
        }
        placement.format = SerialFormat{bcd ? SerialFormat::Kind::Bcd : SerialFormat::Kind::Ascii, digits};
        next = 3;
    }
    placement.first = 1;
    if (parts.size() > next + 1) return false;
    if (parts.size() == next + 1) {
        if (!Digits(parts[next], "0123456789") || parts[next].size() > 18) return false;
        placement.first = std::stoull(parts[next]);
    }
    if (placement.first > SerialLimit(placement.format)) {
        error = "the first serial number " + std::to_string(placement.first) + " does not fit " + parts[1];
        return false;
    }
    error.clear();
    return true;
}

int SerialWidth(const SerialFormat& format) {
    switch (format.kind) {
        case SerialFormat::Kind::U32Be:
        case SerialFormat::Kind::U32Le:
            return 4;
        case SerialFormat::Kind::U16Be:
        case SerialFormat::Kind::U16Le:
            return 2;
        case SerialFormat::Kind::Bcd:
            return (format.digits + 1) / 2;
        case SerialFormat::Kind::Ascii:
            break;
    }
    return format.digits;
}

std::uint64_t SerialLimit(const SerialFormat& format) {
    switch (format.kind) {
        case SerialFormat::Kind::U32Be:
        case SerialFormat::Kind::U32Le:
            return 0xFFFFFFFFu;
        case SerialFormat::Kind::U16Be:
        case SerialFormat::Kind::U16Le:
            return 0xFFFFu;
        default:
            break;
    }
    std::uint64_t limit = 1;
    for (int i = 0; i < format.digits; ++i) limit *= 10;
    return limit - 1;
}

bool EncodeSerial(std::uint64_t number, const SerialFormat& format, std::vector<std::uint8_t>& bytes,
                  std::string& error) {
    if (number > SerialLimit(format)) {
        error = "the serial number " + std::to_string(number) + " does not fit its format (at most " +
                std::to_string(SerialLimit(format)) + ")";
        return false;
    }
    const int width = SerialWidth(format);
    bytes.assign(static_cast<std::size_t>(width), 0);
    std::uint64_t rest = number;
    switch (format.kind) {
        case SerialFormat::Kind::U32Be:
        case SerialFormat::Kind::U16Be:
            for (int i = width - 1; i >= 0; --i, rest >>= 8) bytes[i] = rest & 0xFF;
            break;
        case SerialFormat::Kind::U32Le:
        case SerialFormat::Kind::U16Le:
            for (int i = 0; i < width; ++i, rest >>= 8) bytes[i] = rest & 0xFF;
            break;
        case SerialFormat::Kind::Bcd:
            // The last digit in the low nibble of the last byte.
            for (int d = 0; d < 2 * width; ++d, rest /= 10) {
                const std::uint8_t digit = static_cast<std::uint8_t>(rest % 10);
                bytes[width - 1 - d / 2] |= d % 2 ? digit << 4 : digit;
            }
            break;
        case SerialFormat::Kind::Ascii:
            for (int i = width - 1; i >= 0; --i, rest /= 10) bytes[i] = '0' + rest % 10;
            break;
    }
    return true;
}

bool SerialFitsRanges(const SerialPlacement& placement, const OperationRanges& ranges, std::string& error) {
    const std::uint64_t last = std::uint64_t{placement.address} + SerialWidth(placement.format) - 1;
    for (std::uint64_t a = placement.address; a <= last; ++a) {
        bool inside = false;
        for (int i = 0; i < ranges.rangeCount && i < kMaxRanges; ++i) {
            inside = inside || (a >= ranges.rangeStart[i] && a <= ranges.rangeEnd[i]);
        }
        if (!inside) {
            error = "the serial number at " + Hex(placement.address) + " (" +
                    std::to_string(SerialWidth(placement.format)) + " bytes) does not lie in the areas "
                    "ticked: " + Hex(a) + " is outside them";
            return false;
        }
    }
    return true;
}

bool StampSerial(std::uint64_t number, const SerialPlacement& placement, const OperationRanges& ranges,
                 FlashImage& image, std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!SerialFitsRanges(placement, ranges, error) || !EncodeSerial(number, placement.format, bytes, error)) {
        return false;
    }
    const std::uint32_t base = ranges.rangeStart[0];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint64_t offset = std::uint64_t{placement.address} + i - base;
        if (placement.address < base || offset >= image.bytes.size()) {
            error = "the serial number at " + Hex(placement.address) + " lies outside the image";
            return false;
        }
        image.bytes[offset] = bytes[i];
    }
    return true;
}

}  // namespace quillon
