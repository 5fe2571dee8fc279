#pragma once
// The selected crystal's rates from the chip's Baud and Baud2 lists, read at
// the moment of use.

#include <cstdint>

#include "config/chip_setup.hpp"
#include "link/operator.hpp"

namespace quillon {

// The boot ROM's rate: item crystalIndex of Baud. False after telling why
// when the list has no such item (nothing is read past the list).
[[nodiscard]] bool BootRate(const ChipSetup& chip, Operator& op, std::uint32_t& rate);

// The control program's rate: item crystalIndex of Baud2, or twice the Baud
// item when Baud2 is absent or empty. False after telling a missing item.
[[nodiscard]] bool ControlProgramRate(const ChipSetup& chip, Operator& op, std::uint32_t& rate);

}  // namespace quillon
