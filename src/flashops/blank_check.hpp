#pragma once
// Asking the control program whether the flash of the current operation is
// erased: the reported check, and the silent probes with which Full Operation
// decides whether an erase is needed.

namespace quillon {

struct OperationContext;

// Results of the checks.
enum BlankCheckResult : int { kBlank = 0, kNotBlankOrFailed = 1, kBlankCheckTimeout = 4 };
// Results of the probes.
enum BlankProbeResult : int { kProbeBlank = 0, kProbeNotBlank = 1, kProbeFailed = 2 };

// The whole-flash form when wholeFlashSelected is 1, else the per-range form.
int BlankCheck(OperationContext& ctx, bool fullOperation);
int BlankCheckWholeFlash(OperationContext& ctx, bool fullOperation);
int BlankCheckRanges(OperationContext& ctx, bool fullOperation);

// Same commands, no progress display, and no report except for a time-out.
int ProbeBlankWholeFlash(OperationContext& ctx);
int ProbeBlankRanges(OperationContext& ctx);

}  // namespace quillon
