// Any text as one S-record line: never a read or write outside the record
// buffer, and an accepted line must be exactly what its decoded bytes say.

#include "image/srecord_line.hpp"
#include "image/hex_digits.hpp"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon;
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    SRecordLine record;
    const int length = DecodeSRecordLine(line, record);
    if (length == 0) return 0;

    const int addressBytes = line[1] - '1' + 2;
    const int count = record.bytes[0];
    if (length != count - addressBytes - 1 || length < 1 || record.dataOffset != addressBytes + 1 ||
        record.dataOffset + length >= kMaxSRecordBytes) {
        std::abort();
    }
    unsigned sum = 0;
    std::uint32_t address = 0;
    for (int i = 0; i <= count; ++i) {
        sum += record.bytes[i];
        // The digits of every decoded byte, in upper case, stand in the line.
        if (line[2 + 2 * i] != UpperHexDigit(record.bytes[i] >> 4) ||
            line[3 + 2 * i] != UpperHexDigit(record.bytes[i])) {
            std::abort();
        }
        if (i >= 1 && i <= addressBytes) address = address << 8 | record.bytes[i];
    }
    if ((sum & 0xFF) != 0xFF || address != record.address) std::abort();
    return 0;
}
