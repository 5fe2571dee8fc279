#pragma once
// Full Operation: decode, unlock (security chips), download, erase when the
// flash is not blank, blank check and program, in one progress window.

namespace quillon {

struct OperationContext;

void OnFullOperation(OperationContext& ctx);

}  // namespace quillon
