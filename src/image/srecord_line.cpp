#include "image/srecord_line.hpp"

#include <algorithm>

#include "image/hex_digits.hpp"

namespace quillon {

int DecodeSRecordLine(std::string_view line, SRecordLine& out) {
    if (line.size() < 2) return 0;
    int addressBytes = 0;
    switch (line[1]) {
        case '1':
            addressBytes = 2;
            break;
        case '2':
            addressBytes = 3;
            break;
        case '3':
            addressBytes = 4;
            break;
        default:
            return 0;
    }
    const std::string_view digits = line.substr(2);
    // At most 256 pairs are decoded; whatever follows (an odd last character
    // included) must still be made of hex digits.
    std::size_t pairs = 0;
    unsigned sum = 0;
    if (!DecodeHexPairs(digits, out.bytes, kMaxSRecordBytes, pairs, sum)) return 0;
    if (pairs == 0) return 0;
    const int count = out.bytes[0];
    if (pairs != static_cast<std::size_t>(count) + 1) return 0;
    if (count < addressBytes + 2) return 0;  // at least one data byte
    // All bytes of the record are decoded here, so the sum covers exactly
    // count, address, data and checksum.
    if ((sum & 0xFF) != 0xFF) return 0;
    std::uint32_t address = 0;
    for (int i = 1; i <= addressBytes; ++i) address = address << 8 | out.bytes[i];
    out.address = address;
    out.dataOffset = addressBytes + 1;
    return count - addressBytes - 1;
}

int DecodeSRecordLine(const TextLine& line, SRecordLine& out) {
    if (line.truncated && !line.tailUpperHex) return 0;
    return DecodeSRecordLine(line.text, out);
}

}  // namespace quillon
