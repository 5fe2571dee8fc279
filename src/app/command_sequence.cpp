#include "app/command_sequence.hpp"

#include "app/board_recording.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"

namespace quillon {

bool OpenProgressWindow(OperationContext& ctx, int flags) {
    ctx.progress.reset();
    ctx.progress = ctx.frontEnd.progress->CreateProgress(flags);
    return ctx.progress != nullptr;
}

bool OpenPortForCommand(OperationContext& ctx) {
    Outcome failure;
    if (!ctx.link.Open(ctx.link.controlProgramBaud(), failure)) {
        Report(ctx, failure);
        return false;
    }
    ctx.link.Purge();
    return true;
}

void EndCommand(OperationContext& ctx) {
    ctx.progress.reset();
    ClosePort(ctx);
    FinishCommandRun(ctx);
}

}  // namespace quillon
