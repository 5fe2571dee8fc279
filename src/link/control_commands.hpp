#pragma once
// The downloaded control program's command set, shared by the host and the
// virtual target. Addresses travel as 3 bytes, least significant first.

#include <array>
#include <cstdint>

namespace quillon {

inline constexpr std::uint8_t kCmdProgramBlock = 0x08;
inline constexpr std::uint8_t kCmdReadBlock = 0x28;
inline constexpr std::uint8_t kCmdEraseWhole = 0x38;
inline constexpr std::uint8_t kCmdEraseSector = 0x39;
inline constexpr std::uint8_t kCmdBlankWhole = 0x48;
inline constexpr std::uint8_t kCmdBlankRange = 0x49;

inline constexpr std::uint8_t kStatusBusy = '0';
inline constexpr std::uint8_t kStatusOk = '1';
inline constexpr std::uint8_t kStatusTimeout = '3';
inline constexpr std::uint8_t kStatusFailed = '4';
inline constexpr std::uint8_t kStatusCrcError = '5';

inline constexpr std::size_t kReadBlockSize = 512;

constexpr std::array<std::uint8_t, 3> EncodeAddress24(std::uint32_t address) {
    return {static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8),
            static_cast<std::uint8_t>(address >> 16)};
}

constexpr std::uint32_t DecodeAddress24(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16);
}

}  // namespace quillon
