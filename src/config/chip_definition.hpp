#pragma once
// The selected chip's section of CHIPDEF.INI, and the operation ranges built
// from it that every flash operation, both decoders and the checksum work on.

#include <cstdint>

namespace quillon {

inline constexpr int kMaxAreas = 10;
inline constexpr int kMaxMainSectors = 30;
inline constexpr int kMaxWorkSectors = 10;
inline constexpr int kMaxMainEraseAddresses = 40;
inline constexpr int kMaxWorkEraseAddresses = 20;
inline constexpr int kMaxRanges = kMaxMainSectors + kMaxWorkSectors;                      // 40
inline constexpr int kMaxEraseAddresses = kMaxMainEraseAddresses + kMaxWorkEraseAddresses;  // 60

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
};

struct OperationRanges {
    std::uint32_t rangeStart[kMaxRanges] = {};
    std::uint32_t rangeEnd[kMaxRanges] = {};  // inclusive
    int rangeCount = 0;
    std::uint32_t eraseAddress[kMaxEraseAddresses] = {};
    int eraseCount = 0;
    int wholeFlashSelected = 1;
    // Set once BuildOperationRanges has succeeded for the loaded chip; cleared
    // by LoadChipDefinition. A decode or checksum before any download builds
    // the ranges first.
    bool rangesBuilt = false;
};

}  // namespace quillon
