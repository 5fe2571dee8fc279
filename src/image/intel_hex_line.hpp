#pragma once
// One Intel HEX record.

#include <cstdint>
#include <string_view>

#include "image/text_lines.hpp"

namespace quillon {

inline constexpr int kMaxIntelHexBytes = 260;  // count 255 + offset, type, checksum

enum IntelHexType : int {
    kIntelHexData = 0x00,
    kIntelHexEndOfFile = 0x01,
    kIntelHexSegmentBase = 0x02,
    kIntelHexStartSegment = 0x03,
    kIntelHexLinearBase = 0x04,
    kIntelHexStartLinear = 0x05,
};

struct IntelHexRecord {
    std::uint8_t bytes[kMaxIntelHexBytes];  // count, offset, type, data, checksum
    // The 16-bit offset; for types 02 and 04 the new base instead.
    std::uint32_t address = 0;
    int length = 0;  // data bytes
    int type = 0;

    const std::uint8_t* Data() const { return bytes + 4; }
};

// Error numbers of DecodeIntelHexLine.
enum IntelHexLineError : int {
    kIntelHexLineOk = 0,
    kIntelHexNoColon = 1,
    kIntelHexBadDigits = 2,  // bad character, wrong count or checksum
    kIntelHexBadLength = 3,  // data length does not suit the type
};

// Decodes a whole line, ":" included. Types 06-FF come back as valid records;
// the caller refuses them.
int DecodeIntelHexLine(std::string_view line, IntelHexRecord& out);
int DecodeIntelHexLine(const TextLine& line, IntelHexRecord& out);

}  // namespace quillon
