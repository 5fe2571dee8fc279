#pragma once
// A board's serial number in its image: the number written at an address in
// one of the forms u32be, u32le, u16be, u16le (binary, big or little end
// first), bcd:N (N decimal digits, two to a byte, the first digit in the
// high nibble; an odd N gets a leading zero nibble) or ascii:N (N decimal
// digits as characters), zero-padded. Only the image in memory is patched:
// the hex file is never changed.

#include <cstdint>
#include <string>
#include <vector>

#include "config/chip_definition.hpp"
#include "image/flash_image.hpp"

namespace quillon {

struct SerialFormat {
    enum class Kind { U32Be, U32Le, U16Be, U16Le, Bcd, Ascii };
    Kind kind = Kind::U32Be;
    int digits = 0;  // bcd and ascii: 1 to 18
};

struct SerialPlacement {
    std::uint32_t address = 0;
    SerialFormat format;
    std::uint64_t first = 1;  // the counter's first number
};

// "ADDR:FORMAT[:FIRST]": ADDR hexadecimal (with or without 0x), FIRST
// decimal (default 1). False with `error`.
[[nodiscard]] bool ParseSerialPlacement(const std::string& text, SerialPlacement& placement, std::string& error);

// The bytes the number takes at the address.
int SerialWidth(const SerialFormat& format);

// The largest number the format holds.
std::uint64_t SerialLimit(const SerialFormat& format);

// The number's bytes; false with `error` when it does not fit the format.
[[nodiscard]] bool EncodeSerial(std::uint64_t number, const SerialFormat& format,
                                std::vector<std::uint8_t>& bytes, std::string& error);

// Every byte the number takes lies in the ranges of the areas ticked;
// false with `error` naming the address otherwise.
[[nodiscard]] bool SerialFitsRanges(const SerialPlacement& placement, const OperationRanges& ranges,
                                    std::string& error);

// Writes the number into the image (its ranges checked as above).
[[nodiscard]] bool StampSerial(std::uint64_t number, const SerialPlacement& placement,
                               const OperationRanges& ranges, FlashImage& image, std::string& error);

}  // namespace quillon
