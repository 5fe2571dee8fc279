#pragma once
// Asking the control program whether the flash of the current operation is
// erased: the reported check, and the silent probes with which Full Operation
// decides whether an erase is needed.

#include "config/chip_setup.hpp"
#include "config/timing_log.hpp"
#include "link/link.hpp"
#include "link/operator.hpp"

namespace quillon {

enum class BlankCheckResult { Blank, NotBlankOrFailed, Timeout };
enum class BlankProbeResult { Blank, NotBlank, Failed };

// The whole-flash form when wholeFlashSelected is 1, else the per-range form.
// Every outcome is told: 302 (not in Full Operation), 564 with the first
// non-blank address and its data, 203, 212.
BlankCheckResult BlankCheck(Link& link, Operator& op, const ChipSetup& chip, OperationTimer& timer,
                            bool fullOperation);
BlankCheckResult BlankCheckWholeFlash(Link& link, Operator& op, const ChipSetup& chip,
                                      OperationTimer& timer, bool fullOperation);
BlankCheckResult BlankCheckRanges(Link& link, Operator& op, const ChipSetup& chip,
                                  OperationTimer& timer, bool fullOperation);

// The same commands, no progress display, and nothing told but a time-out;
// the whole-flash form when wholeFlashSelected is 1.
BlankProbeResult ProbeBlank(Link& link, Operator& op, const OperationRanges& ranges);
BlankProbeResult ProbeBlankWholeFlash(Link& link, Operator& op, const OperationRanges& ranges);
BlankProbeResult ProbeBlankRanges(Link& link, Operator& op, const OperationRanges& ranges);

}  // namespace quillon
