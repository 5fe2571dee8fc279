#pragma once
// The batch form, HEXFILE [comN] [reset|no_reset]: one Full Operation as the
// desktop program runs it, the outcome in MESSFILE.TXT and on standard output.

#include <iosfwd>

namespace quillon {

struct OperationContext;

// kExitOk exactly when the Full Operation succeeded and MESSFILE.TXT says so.
int RunBatchCommand(OperationContext& ctx, std::ostream& out, std::ostream& err);

}  // namespace quillon
