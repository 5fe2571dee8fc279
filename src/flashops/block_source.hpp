#pragma once
// Where a block of the operation ranges lies in the flash image, and how
// much of it belongs to its range: shared by programming, comparing and
// copying so that none of them reads past a range end or the image.

#include <algorithm>
#include <cstdint>

namespace quillon {

// Bytes of the block at `address` that lie within the range ending at
// `rangeEnd` (inclusive): at most `blockSize`.
inline std::uint32_t BlockBytesInRange(std::uint32_t address, std::uint32_t rangeEnd,
                                       std::uint32_t blockSize) {
    const std::uint64_t left = static_cast<std::uint64_t>(rangeEnd) + 1 - address;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(left, blockSize));
}

// Blocks of `blockSize` over all ranges, rounded down: the bar's total.
template <typename Ranges>
int BarTotal(const Ranges& ranges, std::uint32_t blockSize) {
    std::uint64_t bytes = 0;
    for (int i = 0; i < ranges.rangeCount; ++i) {
        bytes += static_cast<std::uint64_t>(ranges.rangeEnd[i]) - ranges.rangeStart[i] + 1;
    }
    return static_cast<int>(bytes / blockSize);
}

}  // namespace quillon
