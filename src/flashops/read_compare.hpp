#pragma once
// Read & Compare: the flash read back block by block over the operation
// ranges and compared with the decoded hex file, word by word.

#include "config/chip_setup.hpp"
#include "config/timing_log.hpp"
#include "image/flash_image.hpp"
#include "link/link.hpp"
#include "link/operator.hpp"

namespace quillon {

// Tells 305 when every word matches (TC304-TC325 are not held to their last
// two words of the first MiB), 566 with the address and both words at the
// first difference, or the failure; a cancel ends without an outcome. True
// exactly when the flash matched.
[[nodiscard]] bool ReadAndCompare(Link& link, Operator& op, const ChipSetup& chip, const FlashImage& image,
                    OperationTimer& timer);

}  // namespace quillon
