#include <cstdio>

#include "app/catalog.hpp"
#include "app/controller.hpp"
#include "app/operation_context.hpp"
#include "app/area_notice.hpp"
#include "app/report.hpp"
#include "config/chip_file.hpp"
#include "config/timing_log.hpp"
#include "link/download.hpp"
#include "link/security_unlock.hpp"

namespace quillon {

void OnDownload(OperationContext& ctx) {
    ctx.operationStartTime = ctx.clock->Now();
    ClosePort(ctx);
    ResetCommandButtons(ctx);
    ctx.panel->ExchangeFromControls();
    if (!CheckAreaSelected(ctx)) return;
    if (!OpenProgressWindow(ctx, 8)) return;
    ctx.progress->SetTitle("Download");

    const int unlocked = UnlockSecurity(ctx, false);
    if (unlocked == kUnlockStopped) {
        ClosePort(ctx);
    } else if (unlocked == kUnlockEraseFirst) {
        char detail[32];
        std::snprintf(detail, sizeof detail, "CRYPT ERROR : %02XH", kUnlockEraseFirst);
        ctx.detailText = detail;
        Report(ctx, kMsgDownloadError, kSeverityError, kSoundError);
    } else {
        RunDownload(ctx, false);
    }
    EndCommand(ctx);
}

int RunDownload(OperationContext& ctx, bool fullOperation) {
    ctx.progressText = StepText(ctx.language, kMsgDownloading, fullOperation);
    if (ctx.progress) ctx.progress->SetMessage(ctx.progressText);

    bool ok = DownloadControlProgram(ctx, fullOperation);
    if (ok) {
        if (!fullOperation) {
            LogOperationTime(ctx, kLogDownload);
            Report(ctx, kMsgDownloaded, kSeverityInfo, kSoundEnd);
        }
        for (int id : {kIdErase, kIdBlankCheck, kIdProgramVerify, kIdReadCompare, kIdCopy,
                       kIdFullOperation}) {
            ctx.panel->EnableControl(id, true);
        }
        for (int id : {kIdMainFlash, kIdMainAreaText, kIdWorkFlash, kIdWorkAreaText}) {
            ctx.panel->EnableControl(id, false);
        }
        ctx.panel->ExchangeToControls();
        ctx.panel->RepaintNow();
        ctx.downloaded = 1;
        ctx.panel->ExchangeFromControls();
        // A chip whose ranges do not fit the image is refused here (the
        // reason has been shown): nothing may run on ranges never built.
        if (!BuildOperationRanges(ctx)) {
            ResetCommandButtons(ctx);
            ok = false;
        }
    }
    if (!ok) {
        ctx.panel->FocusControl(kIdTargetList);
        ctx.panel->ExchangeToControls();
        ctx.panel->RepaintNow();
        ClosePort(ctx);
    }
    if (ctx.progress) ctx.progress->SetPos(0);
    return ok ? 0 : 1;
}

}  // namespace quillon
