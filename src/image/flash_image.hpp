#pragma once
// The flash image: the decoded hex file as the flash would hold it, from the
// first range start on. Bytes the file does not cover hold the fill byte.

#include <cstdint>
#include <vector>

#include "config/chip_definition.hpp"

namespace quillon {

struct FlashImage {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kImageSize, 0xFF);

    // Every byte `fill`.
    void Fill(std::uint8_t fill) { bytes.assign(kImageSize, fill); }
    // The byte of target address `address` when the image starts at `base`;
    // `outside` for an address the image does not hold.
    std::uint8_t At(std::uint32_t base, std::uint32_t address, std::uint8_t outside = 0xFF) const {
        if (address < base) return outside;
        const std::uint64_t offset = address - base;
        return offset < bytes.size() ? bytes[offset] : outside;
    }
};

}  // namespace quillon
