#pragma once
// Erasing the flash areas of the current operation: one command for the whole
// flash, one per sector, or (TC326/TC327 before a download) the boot ROM's
// own burn-in erase.

#include <cstdint>

namespace quillon {

struct OperationContext;

// The Erase driver: picks the path, keeps the progress window up to date and
// reports the outcome (no success report or timing entry in Full Operation).
// 0 success, 1 failure.
int EraseFlash(OperationContext& ctx, bool fullOperation);

inline constexpr int kEraseReadFailed = -3;

// 0x38 with the first range start; 90 s wait, the bar stepped once a second
// up to 39. Returns '1', another status byte (detailText set), 3 for a
// time-out, 0 when a byte could not be written, or kEraseReadFailed when the
// status could not be read (already reported as 218).
int EraseWholeFlash(OperationContext& ctx);

// 0x39 per sector erase address; 90 s wait each. Results as EraseWholeFlash;
// with no sector at all nothing is sent and the result is 0.
int EraseSectors(OperationContext& ctx);

// Burn-in erase through the boot ROM from `start` up to the 1 MiB boundary.
// Returns kBurnInDone when the chip signals the end, 3 for a time-out, 0 when
// the port could not be reopened or the reset prompt was cancelled, -1 for a
// wrong or missing acknowledgement, -2 when a byte could not be written.
inline constexpr int kBurnInDone = 0x21;
int EraseThroughBootRom(OperationContext& ctx, std::uint32_t start, bool fullOperation);

}  // namespace quillon
