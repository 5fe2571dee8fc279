#pragma once
// The commands that work on the downloaded control program (Erase also on a
// security chip before any download): each in its progress window, with the
// port opened at the control program's rate.

namespace quillon {

struct OperationContext;

void OnErase(OperationContext& ctx);
void OnBlankCheck(OperationContext& ctx);
void OnProgramVerify(OperationContext& ctx);
void OnReadCompare(OperationContext& ctx);

}  // namespace quillon
