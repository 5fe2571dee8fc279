#pragma once
// Where a decoded record may land in the flash image: from rangeStart[0] to
// the end of the last operation range, and never past the image itself,
// whatever the chip definition says.

#include <cstdint>

#include "config/chip_definition.hpp"
#include "image/flash_image.hpp"

namespace quillon {

// Error numbers shared by both decoders.
enum ImageStoreError : int {
    kStoreOk = 0,
    kStoreBelowRanges = 4,
    kStoreAboveRanges = 5,
};

struct ImageWindow {
    std::uint32_t base = 0;  // rangeStart[0]: the address of image byte 0
    std::int64_t last = -1;  // highest address a record may write
    bool hasRanges = false;
};

ImageWindow DecodeWindow(const OperationRanges& ranges);

// Copies `length` bytes for `address` into the image, or refuses the record
// with kStoreBelowRanges / kStoreAboveRanges. A record of no bytes is
// accepted when its address passes the checks.
int StoreRecord(FlashImage& image, const ImageWindow& window, std::uint32_t address,
                const std::uint8_t* data, int length);

}  // namespace quillon
