#pragma once
// The selected crystal's rates from the chip's Baud and Baud2 lists.

#include <cstdint>

namespace quillon {

struct OperationContext;

// The boot ROM's rate: item clockIndex of Baud. False after reporting when
// the list has no such item (nothing is read past the list).
bool BootRate(OperationContext& ctx, std::uint32_t& rate);

// The control program's rate: item clockIndex of Baud2, or twice the Baud
// item when Baud2 is absent or empty. False after reporting a missing item.
bool ControlProgramRate(OperationContext& ctx, std::uint32_t& rate);

}  // namespace quillon
