#include "app/copy_command.hpp"

#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "app/step_journal.hpp"
#include "config/catalog.hpp"
#include "flashops/block_source.hpp"
#include "flashops/copy_flash.hpp"
#include "link/control_commands.hpp"

namespace quillon {

namespace {

// From the save dialog to the end of the readout.
void CopyToChosenFile(OperationContext& ctx) {
    const bool intelHex = ctx.copyAsIntelHex != 0;
    const std::optional<std::string> path =
        ctx.frontEnd.files->ChooseCopyFile(intelHex, ctx.hexFilePath);
    if (!path) return;

    const int total = BarTotal(ctx.ranges, kReadBlockSize);
    ctx.progress.reset();
    ctx.progress = ctx.frontEnd.progress->CreateProgress(14);
    if (!ctx.progress) return;
    ctx.progress->SetButtons(14, true, "Copy");
    ctx.progressText = CatalogText(ctx.language, kMsgCopying);
    ctx.progress->SetMessage(ctx.progressText);
    ctx.progress->Reset(0, total, 1, 0);
    ctx.progress->SetUnit(kReadBlockSize, "Copied");

    JournalStep step(ctx, intelHex ? "copy (Intel HEX)" : "copy (S-records)",
                           RangeBytes(ctx));
    const CopyEnd end = CopyFlashToFile(ctx.link, ctx.op, ctx.Setup(), ctx.timer, *path, intelHex);
    step.Ended(end == CopyEnd::Copied);
    if (end == CopyEnd::FileNotCreated) ctx.progress.reset();
}

}  // namespace

void OnCopy(OperationContext& ctx) {
    Outcome failure;
    if (!ctx.link.Open(ctx.link.controlProgramBaud(), failure)) {
        Report(ctx, failure);
        return;
    }
    ctx.link.Purge();
    CopyToChosenFile(ctx);
    ctx.progress.reset();
    ClosePort(ctx);
    FinishCommandRun(ctx);
}

}  // namespace quillon
