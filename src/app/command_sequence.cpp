#include "app/controller.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "link/serial_link.hpp"

namespace quillon {

bool OpenProgressWindow(OperationContext& ctx, int flags) {
    ctx.progress.reset();
    ctx.progress = ctx.progressFactory->CreateProgress(flags);
    return ctx.progress != nullptr;
}

bool OpenPortForCommand(OperationContext& ctx) {
    int result = OpenPort(ctx, ctx.comPortIndex + 1, ctx.controlProgramBaud);
    if (result != 0) {
        ClosePort(ctx);
        Report(ctx, result, kSeverityRedownload, kSoundError);
        return false;
    }
    PurgePort(ctx);
    return true;
}

void EndCommand(OperationContext& ctx) {
    ctx.progress.reset();
    ClosePort(ctx);
}

}  // namespace quillon
