#include "image/hex_line_fault.hpp"

#include <cstdio>
#include <vector>

#include "image/text_lines.hpp"

namespace quillon {

namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string Hex2(unsigned value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

// The faults in the user's language.
struct Faults {
    Language language;

    std::string T(const std::string& english, const std::string& japanese) const {
        return language == Language::Japanese ? japanese : english;
    }

    // The bytes of `digits`, or the fault that stops them.
    std::string Bytes(std::string_view digits, std::size_t column, std::vector<unsigned>& bytes) const {
        for (std::size_t i = 0; i < digits.size(); ++i) {
            if (DigitValue(digits[i]) < 0) {
                const unsigned char c = static_cast<unsigned char>(digits[i]);
                const std::string shown =
                    c >= 0x20 && c < 0x7F ? "'" + std::string(1, digits[i]) + "'" : "byte " + Hex2(c);
                const std::string at = std::to_string(column + i + 1);
                return T(shown + " in column " + at + " is not a hexadecimal digit",
                         at + " 桁目の " + shown + " は16進数字ではありません");
            }
        }
        if (digits.size() % 2 != 0) return T("an odd number of hexadecimal digits", "16進数字の数が奇数です");
        for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
            bytes.push_back(static_cast<unsigned>(DigitValue(digits[i]) * 16 + DigitValue(digits[i + 1])));
        }
        return {};
    }

    std::string ChecksumFault(unsigned found, unsigned expected) const {
        return T("checksum " + Hex2(found) + " found, " + Hex2(expected) + " expected",
                 "チェックサムが " + Hex2(found) + " です(正しくは " + Hex2(expected) + ")");
    }

    std::string SRecordFault(std::string_view line) const {
        if (line.size() < 2) return T("too short for a record", "レコードとして短すぎます");
        std::vector<unsigned> bytes;
        const std::string digits = Bytes(line.substr(2), 2, bytes);
        if (!digits.empty()) return digits;
        if (bytes.size() < 2) return T("too short for a record", "レコードとして短すぎます");
        const char type = line[1];
        const std::size_t addressBytes = type == '2' || type == '8' ? 3 : type == '3' || type == '7' ? 4 : 2;
        if (bytes[0] != bytes.size() - 1) {
            const std::string follow = std::to_string(bytes.size() - 1);
            return T("count " + Hex2(bytes[0]) + " but " + follow + " bytes follow it",
                     "バイト数 " + Hex2(bytes[0]) + " ですが後に " + follow + " バイトあります");
        }
        if (bytes.size() <= addressBytes + 2 && (type == '1' || type == '2' || type == '3')) {
            return T("no data after the address", "アドレスの後にデータがありません");
        }
        unsigned sum = 0;
        for (std::size_t i = 0; i + 1 < bytes.size(); ++i) sum += bytes[i];
        const unsigned expected = ~sum & 0xFFu;
        if (bytes.back() != expected) return ChecksumFault(bytes.back(), expected);
        return {};
    }

    std::string IntelHexFault(std::string_view line) const {
        std::vector<unsigned> bytes;
        const std::string digits = Bytes(line.substr(1), 1, bytes);
        if (!digits.empty()) return digits;
        if (bytes.size() < 5) return T("too short for a record", "レコードとして短すぎます");
        if (bytes[0] != bytes.size() - 5) {
            const std::string data = std::to_string(bytes.size() - 5);
            return T("count " + Hex2(bytes[0]) + " but " + data + " data bytes",
                     "バイト数 " + Hex2(bytes[0]) + " ですがデータは " + data + " バイトです");
        }
        unsigned sum = 0;
        for (std::size_t i = 0; i + 1 < bytes.size(); ++i) sum += bytes[i];
        const unsigned expected = (0x100u - (sum & 0xFFu)) & 0xFFu;
        if (bytes.back() != expected) return ChecksumFault(bytes.back(), expected);
        if (bytes[3] > 5) {
            return T("record type " + Hex2(bytes[3]) + " is not one of 00 to 05",
                     "レコードタイプ " + Hex2(bytes[3]) + " は 00 から 05 のいずれでもありません");
        }
        return {};
    }
};

}  // namespace

std::string HexLineFault(std::string_view line, Language language) {
    const Faults faults{language};
    const auto T = [&](const std::string& en, const std::string& ja) { return faults.T(en, ja); };
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    if (line.empty()) return T("an empty line", "空の行です");
    if (line[0] == 'S') return faults.SRecordFault(line);
    if (line[0] == ':') return faults.IntelHexFault(line);
    return T("neither an S-record nor an Intel HEX record",
             "S レコードでも Intel HEX レコードでもありません");
}

std::string HexFileLine(const std::string& path, int lineNumber) {
    TextLineReader reader;
    if (lineNumber < 1 || !reader.Open(path)) return {};
    TextLine line;
    for (int n = 1; reader.Next(line); ++n) {
        if (n == lineNumber) return std::string(line.text);
    }
    return {};
}

}  // namespace quillon
