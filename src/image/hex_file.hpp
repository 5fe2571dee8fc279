#pragma once
// Decoding a hex file into the flash image: S-records or Intel HEX, told by
// the first character of the first line.

#include <cstdint>
#include <string>

#include "config/chip_definition.hpp"
#include "image/flash_image.hpp"

namespace quillon {

// Why a hex file could not be decoded, and how the user learns it.
struct DecodeFailure {
    std::string caption;  // of the message box
    std::string text;     // "decode error in 5", "file open error", ...
    // Shown in a message box even when no progress window is open ("file
    // open error" and the S-record errors); the others only with a window.
    bool shownWithoutProgress = false;
    // What batch mode puts in the result file instead of the box; empty
    // when batch mode shows the box like any other mode.
    std::string batchText;
    // The line the decoder stopped at (1 for the first); 0 when the failure
    // is the file's, not a line's.
    int lineNumber = 0;
};

// Fills `image` with `fill` and decodes the file at `path` over `ranges`:
// a record may write from the first range start to the end of the last
// range, never outside the image. False with `failure` at the first problem
// (the image then holds what came before it).
[[nodiscard]] bool DecodeHexFile(const std::string& path, const OperationRanges& ranges,
                                 std::uint8_t fill, FlashImage& image, DecodeFailure& failure);

}  // namespace quillon
