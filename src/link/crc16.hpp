#pragma once
// CRC-16/XMODEM (polynomial 0x1021, initial 0, no reflection, no final XOR),
// carried after every data block high byte first, so that the CRC over a
// block and its two CRC bytes is 0.

#include <cstddef>
#include <cstdint>

namespace quillon {

constexpr std::uint16_t Crc16(const std::uint8_t* data, std::size_t length) {
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < length; ++i) {
        crc = static_cast<std::uint16_t>(crc ^ (data[i] << 8));
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021)
                                 : static_cast<std::uint16_t>(crc << 1);
        }
    }
    return crc;
}

}  // namespace quillon
