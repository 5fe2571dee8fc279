#pragma once
// Programming the decoded hex file into the target's flash, block by block,
// each block checked by its CRC and verified by the control program.

#include "config/chip_setup.hpp"
#include "config/timing_log.hpp"
#include "image/flash_image.hpp"
#include "link/link.hpp"
#include "link/operator.hpp"

namespace quillon {

// Sends every block of `image` over the chip's ranges that holds a byte other
// than 0xFF. True after telling success (303, or 306 in Full Operation);
// false after telling the failure, or after a cancel.
[[nodiscard]] bool ProgramFlash(Link& link, Operator& op, const ChipSetup& chip,
                                const FlashImage& image, OperationTimer& timer,
                                bool fullOperation);

// CRC errors retried without asking in batch mode before the block fails.
inline constexpr int kBatchCrcRetries = 3;

}  // namespace quillon
