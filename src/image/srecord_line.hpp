#pragma once
// One Motorola S1/S2/S3 data record.

#include <cstdint>
#include <string_view>

#include "image/text_lines.hpp"

namespace quillon {

inline constexpr int kMaxSRecordBytes = 256;

struct SRecordLine {
    std::uint8_t bytes[kMaxSRecordBytes];  // count, address, data, checksum
    std::uint32_t address = 0;
    int dataOffset = 0;  // index of the first data byte in bytes
};

// Decodes a whole line, "S" and type character included. Returns the number
// of data bytes, or 0 when the line is not a valid S1/S2/S3 record with at
// least one data byte.
int DecodeSRecordLine(std::string_view line, SRecordLine& out);
int DecodeSRecordLine(const TextLine& line, SRecordLine& out);

}  // namespace quillon
