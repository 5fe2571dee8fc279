#pragma once
// The lines of the hex files that Copy writes: Motorola S-records (S0 header,
// S2 data, S8 end) and Intel HEX records. Upper-case digits, no line end.

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon {

// Type 0: "S0", count n + 3, address "0000", the n data bytes.
// Type 2: "S2", count n + 4, the 24-bit address, the n data bytes.
// Type 8: "S8", count 4, address "000000", no data.
// The checksum is the one's complement of the low byte of the sum of the
// count, address and data bytes.
std::string FormatSRecord(const std::uint8_t* data, std::size_t n, std::uint32_t address, int type);

// ":02000004", the upper 16 bits of `address`, and the checksum.
std::string FormatIntelHexExtendedAddress(std::uint32_t address);

// ":", n, the 16-bit address, "00", the n data bytes and the checksum.
std::string FormatIntelHexData(const std::uint8_t* data, std::uint16_t address, std::size_t n);

inline constexpr const char* kSRecordHeader = "S005000046575D";
inline constexpr const char* kSRecordEnd = "S804000000FB";
inline constexpr const char* kIntelHexEnd = ":00000001FF";

}  // namespace quillon
