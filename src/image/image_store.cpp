#include "image/image_store.hpp"

#include <algorithm>
#include <cstring>

namespace quillon {

ImageWindow DecodeWindow(const OperationRanges& ranges) {
    ImageWindow window;
    const int count = std::min(ranges.rangeCount, kMaxRanges);
    if (count <= 0) return window;  // no ranges: every data record is refused
    window.hasRanges = true;
    window.base = ranges.rangeStart[0];
    const std::int64_t imageLast = std::int64_t{window.base} + std::int64_t{kImageSize} - 1;
    window.last = std::min<std::int64_t>(ranges.rangeEnd[count - 1], imageLast);
    return window;
}

int StoreRecord(FlashImage& image, const ImageWindow& window, std::uint32_t address,
                const std::uint8_t* data, int length) {
    if (!window.hasRanges || address < window.base) return kStoreBelowRanges;
    // In 64 bits: a record near the top of the 32-bit space must not wrap
    // round and pass the check.
    if (std::int64_t{address} + length - 1 > window.last) return kStoreAboveRanges;
    if (length > 0) {
        std::memcpy(image.bytes.data() + (address - window.base), data,
                    static_cast<std::size_t>(length));
    }
    return kStoreOk;
}

}  // namespace quillon
