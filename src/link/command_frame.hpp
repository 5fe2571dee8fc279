#pragma once
// The boot ROM's command frame, shared by the host and the virtual target:
// command, 32-bit address and length most significant byte first, and the
// low 8 bits of the sum of those nine bytes.

#include <array>
#include <cstdint>

namespace quillon {

using CommandFrame = std::array<std::uint8_t, 10>;

constexpr CommandFrame EncodeCommandFrame(std::uint8_t command, std::uint32_t address,
                                          std::uint32_t length) {
    CommandFrame f{};
    f[0] = command;
    for (int i = 0; i < 4; ++i) {
        f[1 + i] = static_cast<std::uint8_t>(address >> (24 - 8 * i));
        f[5 + i] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
    }
    unsigned sum = 0;
    for (int i = 0; i < 9; ++i) sum += f[i];
    f[9] = static_cast<std::uint8_t>(sum);
    return f;
}

// The reply that acknowledges `command`.
constexpr std::uint8_t AckFor(std::uint8_t command) {
    return static_cast<std::uint8_t>((command & 0xF0) | 0x01);
}

struct DecodedFrame {
    std::uint8_t command = 0;
    std::uint32_t address = 0;
    std::uint32_t length = 0;
    bool sumOk = false;
};

constexpr DecodedFrame DecodeCommandFrame(const CommandFrame& f) {
    DecodedFrame d;
    d.command = f[0];
    unsigned sum = 0;
    for (int i = 0; i < 9; ++i) sum += f[i];
    for (int i = 0; i < 4; ++i) {
        d.address = (d.address << 8) | f[1 + i];
        d.length = (d.length << 8) | f[5 + i];
    }
    d.sumOk = static_cast<std::uint8_t>(sum) == f[9];
    return d;
}

// Boot ROM bytes.
inline constexpr std::uint8_t kBootCommand = 0x18;       // answered 0x11
inline constexpr std::uint8_t kImageCommand = 0x00;      // frame, answered 0x01
inline constexpr std::uint8_t kKeyCommand = 0x10;        // frame, answered 0x11
inline constexpr std::uint8_t kBurnInEraseCommand = 0x20;  // frame, answered 0x21, then '!'
inline constexpr std::uint8_t kIdentifyCommand = 0xE0;   // frame, answered 0xE1
inline constexpr std::uint8_t kReadyByte = 0x31;          // the control program's ready byte
inline constexpr std::uint8_t kRateCheckByte = 0xE8;      // answered 0x31 at the new rate
inline constexpr std::uint8_t kKeyAccepted = 0x11;
inline constexpr std::uint8_t kKeyEraseFirst = 0x14;
inline constexpr std::uint8_t kTcsPoll = 0x56;    // 'V'
inline constexpr std::uint8_t kTcsAnswer = 0x46;  // 'F'

}  // namespace quillon
