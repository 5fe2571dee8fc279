#pragma once
// Download: the control program into the target's RAM, and the commands it
// makes possible offered.

#include "link/security_unlock.hpp"

namespace quillon {

struct OperationContext;

// The Download button.
void OnDownload(OperationContext& ctx);

// The download step shared by Download and Full Operation. True when the
// control program runs and the ranges are built; the other commands are then
// offered and the areas locked.
[[nodiscard]] bool RunDownload(OperationContext& ctx, bool fullOperation);

// The key exchange of a security chip before its download; the key's
// address is checked against the ranges of the areas ticked, built once the
// key file has been read.
UnlockResult UnlockSelectedChip(OperationContext& ctx, bool fullOperation);

}  // namespace quillon
