#pragma once
// The selected chip's section of CHIPDEF.INI, and the operation ranges built
// from it that every flash operation, both decoders and the checksum work on.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

inline constexpr int kMaxAreas = 10;
inline constexpr int kMaxMainSectors = 30;
inline constexpr int kMaxWorkSectors = 10;
inline constexpr int kMaxMainEraseAddresses = 40;
inline constexpr int kMaxWorkEraseAddresses = 20;
inline constexpr int kMaxRanges = kMaxMainSectors + kMaxWorkSectors;                      // 40
inline constexpr int kMaxEraseAddresses = kMaxMainEraseAddresses + kMaxWorkEraseAddresses;  // 60

// The flash image holds this many bytes from the first range start
// (2,949,120); every range must lie within it.
inline constexpr std::size_t kImageSize = 0x2D0000;

// The values read when the chip is loaded; the keys read at the moment of
// use (DownloadFile, Baud, Baud2, SecurityFile, the erase addresses) are not
// here, so that an edit of the file counts for them at once.
struct ChipDefinition {
    std::uint32_t loadAddress = 0;
    std::uint32_t startAddress[kMaxAreas] = {};
    std::uint32_t endAddress[kMaxAreas] = {};
    int areaCount = 0;
    std::uint32_t mainSecStart[kMaxMainSectors] = {};
    std::uint32_t mainSecEnd[kMaxMainSectors] = {};
    int mainSecCount = 0;
    std::uint32_t workSecStart[kMaxWorkSectors] = {};
    std::uint32_t workSecEnd[kMaxWorkSectors] = {};
    int workSecCount = 0;
    int flashArea = 0;  // bit 0: main flash area, bit 1: work flash area
    std::vector<std::string> crystals;  // the Clock labels, as they stand
};

struct OperationRanges {
    std::uint32_t rangeStart[kMaxRanges] = {};
    std::uint32_t rangeEnd[kMaxRanges] = {};  // inclusive
    int rangeCount = 0;
    std::uint32_t eraseAddress[kMaxEraseAddresses] = {};
    int eraseCount = 0;
    int wholeFlashSelected = 1;
};

}  // namespace quillon
