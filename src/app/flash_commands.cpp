#include "app/firmware_start.hpp"
#include "app/flash_commands.hpp"

#include "app/area_notice.hpp"
#include "app/chip_selection.hpp"
#include "app/command_sequence.hpp"
#include "app/decode_step.hpp"
#include "app/operation_context.hpp"
#include "app/step_journal.hpp"
#include "flashops/blank_check.hpp"
#include "flashops/erase.hpp"
#include "flashops/program_flash.hpp"
#include "flashops/read_compare.hpp"

namespace quillon {

namespace {

// The frame of the commands that work on the downloaded control program:
// window with flags 13 and a title, port, the operation, end.
template <typename Operation>
void RunFlashCommand(OperationContext& ctx, const char* title, Operation operation) {
    if (!OpenProgressWindow(ctx, 13)) return;
    ctx.progress->SetTitle(title);
    if (OpenPortForCommand(ctx)) operation();
    EndCommand(ctx);
}

bool DecodeStep(OperationContext& ctx) {
    JournalStep step(ctx, "decode");
    return step.Ended(DecodeHexFile(ctx, false, 0xFF));
}

}  // namespace

void OnErase(OperationContext& ctx) {
    ctx.timer.Restart();
    // TC326/TC327 may erase before any download; the burn-in erase starts at
    // the first range of the areas ticked now.
    if (ctx.downloaded == 0) {
        ctx.frontEnd.panel->ExchangeFromControls();
        if (!EnsureOperationRanges(ctx)) return;
    }
    RunFlashCommand(ctx, "Erase", [&] {
        JournalStep step(ctx, "erase", RangeBytes(ctx));
        step.Ended(EraseFlash(ctx.link, ctx.op, ctx.Setup(), ctx.timer, ctx.downloaded != 0, false));
    });
}

void OnBlankCheck(OperationContext& ctx) {
    ctx.timer.Restart();
    RunFlashCommand(ctx, "Blank Check", [&] {
        JournalStep step(ctx, "blank check", RangeBytes(ctx));
        step.Ended(BlankCheck(ctx.link, ctx.op, ctx.Setup(), ctx.timer, false) ==
                   BlankCheckResult::Blank);
    });
}

void OnProgramVerify(OperationContext& ctx) {
    ctx.timer.Restart();
    ctx.frontEnd.panel->ExchangeFromControls();
    if (!CheckHexFileExists(ctx)) return;
    RunFlashCommand(ctx, "Program", [&] {
        if (!DecodeStep(ctx)) return;
        bool programmed = false;
        {
            JournalStep step(ctx, "program", RangeBytes(ctx));
            programmed = step.Ended(
                ProgramFlash(ctx.link, ctx.op, ctx.Setup(), ctx.image, ctx.timer, false));
        }
        if (programmed) StartNewFirmware(ctx);
    });
}

void OnReadCompare(OperationContext& ctx) {
    ctx.timer.Restart();
    ctx.frontEnd.panel->ExchangeFromControls();
    if (!CheckHexFileExists(ctx)) return;
    RunFlashCommand(ctx, "Read & Compare", [&] {
        if (!DecodeStep(ctx)) return;
        JournalStep step(ctx, "read and compare", RangeBytes(ctx));
        step.Ended(ReadAndCompare(ctx.link, ctx.op, ctx.Setup(), ctx.image, ctx.timer));
    });
}

}  // namespace quillon
