#pragma once
// Reading the target's flash over the operation ranges and comparing it with
// the decoded hex file, a 32-bit word at a time.

namespace quillon {

struct OperationContext;

// Reports 305 when identical, 566 with the address and both words at the
// first difference, or the link failure.
void ReadAndCompare(OperationContext& ctx);

}  // namespace quillon
