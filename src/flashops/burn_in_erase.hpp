#pragma once
// The burn-in erase of TC326/TC327: before a control program runs, the
// chip's boot ROM erases its flash itself on a command frame.

#include <cstdint>

#include "config/chip_setup.hpp"
#include "link/link.hpp"
#include "link/operator.hpp"

namespace quillon {

inline constexpr int kBurnInDone = 0x21;

// Erases from `start` up to the 1 MiB boundary. Outside Full Operation the
// port is reopened at the boot ROM's rate and the board reset (ResetBoard).
// Returns kBurnInDone when the chip signals the end, 3 for a time-out, 0 when
// the port could not be reopened, the reset prompt was cancelled or the reset
// sequence failed, -1 for a wrong or missing acknowledgement, -2 when a byte
// could not be written.
int EraseThroughBootRom(Link& link, Operator& op, const ChipSetup& chip, std::uint32_t start,
                        bool fullOperation);

}  // namespace quillon
