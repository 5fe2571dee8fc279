#include "image/intel_hex_line.hpp"

#include <algorithm>

#include "image/hex_digits.hpp"

namespace quillon {

namespace {

int RequiredLength(int type) {
    switch (type) {
        case kIntelHexEndOfFile:
            return 0;
        case kIntelHexSegmentBase:
        case kIntelHexLinearBase:
            return 2;
        case kIntelHexStartSegment:
        case kIntelHexStartLinear:
            return 4;
        default:
            return -1;  // data and unknown types: no rule here
    }
}

}  // namespace

int DecodeIntelHexLine(std::string_view line, IntelHexRecord& out) {
    if (line.empty() || line[0] != ':') return kIntelHexNoColon;
    const std::string_view digits = line.substr(1);
    // At most 260 pairs; an odd last character is ignored but, like every
    // character after the colon, must be a hex digit. Both faults are error 2,
    // like a wrong count or checksum, so one pass tells them all.
    std::size_t pairs = 0;
    unsigned sum = 0;
    if (!DecodeHexPairs(digits, out.bytes, kMaxIntelHexBytes, pairs, sum)) {
        return kIntelHexBadDigits;
    }
    if (pairs == 0) return kIntelHexBadDigits;
    const int count = out.bytes[0];
    if (pairs != static_cast<std::size_t>(count) + 5) return kIntelHexBadDigits;
    if ((sum & 0xFF) != 0) return kIntelHexBadDigits;
    out.type = out.bytes[3];
    out.length = count;
    const int required = RequiredLength(out.type);
    if (required >= 0 && count != required) return kIntelHexBadLength;
    const std::uint32_t value = count >= 2 ? std::uint32_t{out.bytes[4]} << 8 | out.bytes[5] : 0;
    if (out.type == kIntelHexSegmentBase) {
        out.address = value << 4;
    } else if (out.type == kIntelHexLinearBase) {
        out.address = value << 16;
    } else {
        out.address = std::uint32_t{out.bytes[1]} << 8 | out.bytes[2];
    }
    return kIntelHexLineOk;
}

int DecodeIntelHexLine(const TextLine& line, IntelHexRecord& out) {
    if (line.First() != ':') return kIntelHexNoColon;
    if (line.truncated && !line.tailUpperHex) return kIntelHexBadDigits;
    return DecodeIntelHexLine(line.text, out);
}

}  // namespace quillon
