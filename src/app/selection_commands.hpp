#pragma once
// A new target or crystal chosen in the main dialog's lists: the selection is
// saved, the port closed, and the commands fall back to the not-downloaded
// state.

namespace quillon {

struct OperationContext;

void OnSelchangeTarget(OperationContext& ctx);
void OnSelchangeCrystal(OperationContext& ctx);

}  // namespace quillon
