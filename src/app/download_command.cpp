#include "app/download_command.hpp"

#include <cstdio>

#include "app/area_notice.hpp"
#include "app/chip_selection.hpp"
#include "app/command_sequence.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "app/step_journal.hpp"
#include "config/catalog.hpp"
#include "config/chip_groups.hpp"
#include "link/command_frame.hpp"
#include "link/download.hpp"

namespace quillon {

UnlockResult UnlockSelectedChip(OperationContext& ctx, bool fullOperation) {
    return UnlockSecurity(ctx.link, ctx.op, ctx.Setup(), fullOperation,
                          [&ctx](std::uint32_t& start) {
                              if (!EnsureOperationRanges(ctx)) return false;
                              start = ctx.ranges.rangeStart[0];
                              return true;
                          });
}

void OnDownload(OperationContext& ctx) {
    ctx.timer.Restart();
    ClosePort(ctx);
    ResetCommandButtons(ctx);
    ctx.frontEnd.panel->ExchangeFromControls();
    if (!CheckAreaSelected(ctx)) return;
    if (!OpenProgressWindow(ctx, 8)) return;
    ctx.progress->SetTitle("Download");

    // Every other chip goes on at once; TC326/TC327 exchange their key first.
    UnlockResult unlocked = UnlockResult::GoOn;
    if (IsSecurityChip(ctx.SelectedChipName())) {
        JournalStep step(ctx, "security check");
        unlocked = UnlockSelectedChip(ctx, false);
        step.Ended(unlocked == UnlockResult::GoOn);
        if (unlocked == UnlockResult::EraseFirst) {
            char detail[32];
            std::snprintf(detail, sizeof detail, "CRYPT ERROR : %02XH", kKeyEraseFirst);
            Report(ctx, Failure(kMsgDownloadError, kSeverityError, detail));
        }
    }
    if (unlocked == UnlockResult::Stopped) {
        ClosePort(ctx);
    } else if (unlocked == UnlockResult::GoOn) {
        JournalStep step(ctx, "download", ControlProgramBytes(ctx));
        step.Ended(RunDownload(ctx, false));  // it has said how it ended
    }
    EndCommand(ctx);
}

bool RunDownload(OperationContext& ctx, bool fullOperation) {
    ctx.progressText = StepText(ctx.language, kMsgDownloading, fullOperation);
    if (ctx.progress) ctx.progress->SetMessage(ctx.progressText);

    DownloadOptions options;
    options.fullOperation = fullOperation;
    options.askForReset = ctx.request.askForReset;
    options.stepText = ctx.progressText;
    bool ok = DownloadControlProgram(ctx.link, ctx.op, ctx.Setup(), ctx.timer, options);
    CommandPanel& panel = *ctx.frontEnd.panel;
    if (ok) {
        if (!fullOperation) {
            LogOperationTime(ctx.timer, ctx.programDir, ctx.SelectedChipName(), kLogDownload);
            Report(ctx, Completed(kMsgDownloaded));
        }
        for (int id : {kIdErase, kIdBlankCheck, kIdProgramVerify, kIdReadCompare, kIdCopy,
                       kIdFullOperation}) {
            panel.EnableControl(id, true);
        }
        for (int id : {kIdMainFlash, kIdMainAreaText, kIdWorkFlash, kIdWorkAreaText}) {
            panel.EnableControl(id, false);
        }
        panel.ExchangeToControls();
        panel.RepaintNow();
        ctx.downloaded = 1;
        panel.ExchangeFromControls();
        // A chip whose ranges do not fit the image is refused here (the
        // reason has been shown): nothing may run on ranges never built.
        if (!BuildOperationRanges(ctx)) {
            ResetCommandButtons(ctx);
            ok = false;
        }
    }
    if (!ok) {
        panel.FocusControl(kIdTargetList);
        panel.ExchangeToControls();
        panel.RepaintNow();
        ClosePort(ctx);
    }
    if (ctx.progress) ctx.progress->SetPos(0);
    return ok;
}

}  // namespace quillon
