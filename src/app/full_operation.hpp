#pragma once
// Full Operation: decode, unlock (security chips), download, erase when the
// flash is not blank, blank check and program, in one progress window.

namespace quillon {

struct OperationContext;

void OnFullOperation(OperationContext& ctx);

// What follows the decode: the key exchange of a security chip, the
// download, the erase when the flash is not blank, the blank check and the
// program, in the progress window that is open.
void RunFullOperationSteps(OperationContext& ctx);

}  // namespace quillon
