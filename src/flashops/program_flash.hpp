#pragma once
// Programming the decoded hex file into the target's flash, block by block,
// each block checked by its CRC and verified by the control program.

namespace quillon {

struct OperationContext;

// 0 success (303, or 306 in Full Operation), 1 failure or cancel.
int ProgramFlash(OperationContext& ctx, bool fullOperation);

// CRC errors retried without asking in batch mode before the block fails.
inline constexpr int kBatchCrcRetries = 3;

}  // namespace quillon
