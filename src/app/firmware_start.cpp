#include "app/firmware_start.hpp"

#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "app/step_journal.hpp"
#include "config/catalog.hpp"

namespace quillon {

void StartNewFirmware(OperationContext& ctx) {
    if (!ctx.link.HasRunSequence()) return;
    JournalStep step(ctx, "run sequence");
    const ResetRun run = ctx.link.IsOpen() ? ctx.link.RunRunSequence() : ResetRun::Failed;
    if (run == ResetRun::Done) {
        step.Ended(true);
        // The board runs its new firmware; the control program is gone.
        ResetCommandButtons(ctx);
        return;
    }
    step.Ended(false);
    Report(ctx, Failure(kMsgCannotChangePortSetting, kSeverityError,
                        run == ResetRun::NoModemLines
                            ? "This port has no DTR/RTS lines for the run sequence; the new "
                              "firmware was not started."
                            : "The port refused DTR/RTS for the run sequence; the new firmware "
                              "was not started."));
}

}  // namespace quillon
