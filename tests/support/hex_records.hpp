#pragma once
// Well-formed S-records and Intel HEX records for the tests, with their
// checksums computed here.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace quillon::testing {

inline std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    char pair[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        out += pair;
    }
    return out;
}

// "S<type>" with count, address (2, 3 or 4 bytes by type), data, checksum.
// countDelta adjusts the count byte (the checksum follows it).
inline std::string SRec(char type, std::uint32_t address, const std::vector<std::uint8_t>& data,
                        int countDelta = 0) {
    const int addressBytes = type == '2' || type == '8' ? 3 : type == '3' || type == '7' ? 4 : 2;
    std::vector<std::uint8_t> bytes;
    bytes.push_back(static_cast<std::uint8_t>(addressBytes + data.size() + 1 + countDelta));
    for (int i = addressBytes - 1; i >= 0; --i)
        bytes.push_back(static_cast<std::uint8_t>(address >> (8 * i)));
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (auto b : bytes) sum += b;
    bytes.push_back(static_cast<std::uint8_t>(~sum));
    return std::string("S") + type + HexBytes(bytes);
}

// ":" count, offset, type, data, checksum.
inline std::string IHex(int type, std::uint16_t offset, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> bytes{
        static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(offset >> 8),
        static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(type)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (auto b : bytes) sum += b;
    bytes.push_back(static_cast<std::uint8_t>(0x100 - (sum & 0xFF)));
    return ":" + HexBytes(bytes);
}

}  // namespace quillon::testing
