#pragma once
// Where a decoded record may land in the flash image: from rangeStart[0] to
// the end of the last operation range, and never past the image itself,
// whatever the chip definition says.

#include <cstdint>

namespace quillon {

struct OperationContext;

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

ImageWindow DecodeWindow(const OperationContext& ctx);

// Copies `length` bytes for `address` into the image, or refuses the record
// with kStoreBelowRanges / kStoreAboveRanges. A record of no bytes is
// accepted when its address passes the checks.
int StoreRecord(OperationContext& ctx, const ImageWindow& window, std::uint32_t address,
                const std::uint8_t* data, int length);

}  // namespace quillon
