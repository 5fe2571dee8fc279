#include "app/full_operation.hpp"

#include "app/area_notice.hpp"
#include "app/chip_selection.hpp"
#include "app/command_sequence.hpp"
#include "app/decode_step.hpp"
#include "app/firmware_start.hpp"
#include "app/download_command.hpp"
#include "app/operation_context.hpp"
#include "app/step_journal.hpp"
#include "config/catalog.hpp"
#include "config/chip_groups.hpp"
#include "flashops/blank_check.hpp"
#include "flashops/erase.hpp"
#include "flashops/program_flash.hpp"

namespace quillon {

namespace {

bool DownloadStep(OperationContext& ctx) {
    JournalStep step(ctx, "download", ControlProgramBytes(ctx));
    return step.Ended(RunDownload(ctx, true));
}

bool EraseStep(OperationContext& ctx) {
    JournalStep step(ctx, "erase", RangeBytes(ctx));
    return step.Ended(
        EraseFlash(ctx.link, ctx.op, ctx.Setup(), ctx.timer, ctx.downloaded != 0, true));
}

bool BlankCheckStep(OperationContext& ctx) {
    JournalStep step(ctx, "blank check", RangeBytes(ctx));
    return step.Ended(BlankCheck(ctx.link, ctx.op, ctx.Setup(), ctx.timer, true) ==
                      BlankCheckResult::Blank);
}

void ProgramStep(OperationContext& ctx) {
    bool programmed = false;
    {
        JournalStep step(ctx, "program", RangeBytes(ctx));
        // It has said how it ended.
        programmed =
            step.Ended(ProgramFlash(ctx.link, ctx.op, ctx.Setup(), ctx.image, ctx.timer, true));
    }
    if (programmed) StartNewFirmware(ctx);
}

BlankProbeResult ProbeStep(OperationContext& ctx) {
    JournalStep step(ctx, "blank probe", RangeBytes(ctx));
    const BlankProbeResult probe = ProbeBlank(ctx.link, ctx.op, ctx.ranges);
    step.Ended(probe != BlankProbeResult::Failed);
    return probe;
}

// Download, erase only when the flash is not blank, program.
void DownloadThenProgram(OperationContext& ctx) {
    if (!DownloadStep(ctx)) return;
    // The probe shows nothing, but a run that ends in it must not be taken
    // for one that ended in the download it follows.
    ctx.progressText = StepText(ctx.language, kMsgBlankChecking, true);
    const BlankProbeResult probe = ProbeStep(ctx);
    if (probe == BlankProbeResult::Failed) return;
    if (probe == BlankProbeResult::NotBlank) {
        if (!EraseStep(ctx)) return;
        if (!BlankCheckStep(ctx)) return;
    }
    ProgramStep(ctx);
}

// The chip answered that its flash must be erased before a download.
void EraseThenDownloadThenProgram(OperationContext& ctx) {
    if (!EraseStep(ctx)) return;
    if (!DownloadStep(ctx)) return;
    if (!BlankCheckStep(ctx)) return;
    ProgramStep(ctx);
}

}  // namespace

void OnFullOperation(OperationContext& ctx) {
    if (!CheckHexFileExists(ctx)) return;
    ClosePort(ctx);
    ResetCommandButtons(ctx);
    ctx.frontEnd.panel->ExchangeFromControls();
    if (!CheckAreaSelected(ctx)) return;
    if (!OpenProgressWindow(ctx, 13)) return;
    ctx.progress->SetButtons(13, true, "Full Operation");

    if (!BuildOperationRanges(ctx)) {
        EndCommand(ctx);
        return;
    }
    bool decoded = false;
    {
        JournalStep step(ctx, "decode");
        decoded = step.Ended(DecodeHexFile(ctx, true, 0xFF));
    }
    if (decoded) RunFullOperationSteps(ctx);
    EndCommand(ctx);
}

void RunFullOperationSteps(OperationContext& ctx) {
    UnlockResult unlocked = UnlockResult::GoOn;
    if (IsSecurityChip(ctx.SelectedChipName())) {
        JournalStep step(ctx, "security check");
        unlocked = UnlockSelectedChip(ctx, true);
        step.Ended(unlocked != UnlockResult::Stopped);
    } else {
        unlocked = UnlockSelectedChip(ctx, true);
    }
    switch (unlocked) {
        case UnlockResult::GoOn:
            DownloadThenProgram(ctx);
            break;
        case UnlockResult::EraseFirst:
            EraseThenDownloadThenProgram(ctx);
            break;
        case UnlockResult::Stopped:
            ClosePort(ctx);
            break;
    }
}

}  // namespace quillon
