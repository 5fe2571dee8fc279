// Any text as one Intel HEX line: never a read or write outside the record
// buffer, and an accepted line must be exactly what its decoded bytes say.

#include "image/intel_hex_line.hpp"
#include "image/hex_digits.hpp"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon;
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    IntelHexRecord record;
    const int result = DecodeIntelHexLine(line, record);
    if (result < 0 || result > 3) std::abort();
    if (result != kIntelHexLineOk) return 0;

    const int count = record.bytes[0];
    if (record.length != count || record.type != record.bytes[3]) std::abort();
    unsigned sum = 0;
    for (int i = 0; i < count + 5; ++i) {
        sum += record.bytes[i];
        if (line[1 + 2 * i] != UpperHexDigit(record.bytes[i] >> 4) ||
            line[2 + 2 * i] != UpperHexDigit(record.bytes[i])) {
            std::abort();
        }
    }
    if ((sum & 0xFF) != 0) std::abort();
    const std::uint32_t value =
        count >= 2 ? std::uint32_t{record.bytes[4]} << 8 | record.bytes[5] : 0;
    switch (record.type) {
        case kIntelHexEndOfFile:
            if (count != 0) std::abort();
            break;
        case kIntelHexSegmentBase:
            if (count != 2 || record.address != value * 16) std::abort();
            break;
        case kIntelHexLinearBase:
            if (count != 2 || record.address != value * 65536) std::abort();
            break;
        case kIntelHexStartSegment:
        case kIntelHexStartLinear:
            if (count != 4) std::abort();
            break;
        default:
            if (record.address != (std::uint32_t{record.bytes[1]} << 8 | record.bytes[2]))
                std::abort();
    }
    return 0;
}
