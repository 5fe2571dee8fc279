#pragma once
// Erasing the flash areas of the current operation: one command for the whole
// flash, one per sector, or (TC326/TC327 before a download) the boot ROM's
// own burn-in erase.

#include <cstdint>

#include "config/chip_setup.hpp"
#include "config/timing_log.hpp"
#include "link/link.hpp"
#include "link/operator.hpp"

namespace quillon {

// The Erase driver: picks the path, keeps the progress window up to date and
// tells the outcome (no success and no timing entry in Full Operation). True
// on success; false after telling the failure (a burn-in erase that ended at
// its cancelled reset prompt tells nothing). `downloaded`: the control
// program runs; without it the security chips erase through the boot ROM.
[[nodiscard]] bool EraseFlash(Link& link, Operator& op, const ChipSetup& chip,
                              OperationTimer& timer, bool downloaded, bool fullOperation);

// A status read that failed (already told as 218).
inline constexpr int kEraseReadFailed = -3;

// 0x38 with the first range start; 90 s wait, the bar stepped once a second
// up to 39. Returns '1', another status byte, 3 for a time-out, 0 when a
// byte could not be written, or kEraseReadFailed.
int EraseWholeFlash(Link& link, Operator& op, const OperationRanges& ranges);

// 0x39 per sector erase address; 90 s wait each. Results as EraseWholeFlash;
// with no sector at all nothing is sent and the result is 0.
int EraseSectors(Link& link, Operator& op, const OperationRanges& ranges);

}  // namespace quillon
