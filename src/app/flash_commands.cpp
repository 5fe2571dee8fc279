#include "app/flash_commands.hpp"

#include "app/area_notice.hpp"
#include "app/chip_selection.hpp"
#include "app/command_sequence.hpp"
#include "app/decode_step.hpp"
#include "app/operation_context.hpp"
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
        (void)EraseFlash(ctx.link, ctx.op, ctx.Setup(), ctx.timer, ctx.downloaded != 0, false);
    });
}

void OnBlankCheck(OperationContext& ctx) {
    ctx.timer.Restart();
    RunFlashCommand(ctx, "Blank Check",
                    [&] { (void)BlankCheck(ctx.link, ctx.op, ctx.Setup(), ctx.timer, false); });
}

void OnProgramVerify(OperationContext& ctx) {
    ctx.timer.Restart();
    ctx.frontEnd.panel->ExchangeFromControls();
    if (!CheckHexFileExists(ctx)) return;
    RunFlashCommand(ctx, "Program", [&] {
        if (DecodeHexFile(ctx, false, 0xFF)) {
            (void)ProgramFlash(ctx.link, ctx.op, ctx.Setup(), ctx.image, ctx.timer, false);
        }
    });
}

void OnReadCompare(OperationContext& ctx) {
    ctx.timer.Restart();
    ctx.frontEnd.panel->ExchangeFromControls();
    if (!CheckHexFileExists(ctx)) return;
    RunFlashCommand(ctx, "Read & Compare", [&] {
        if (DecodeHexFile(ctx, false, 0xFF)) {
            ReadAndCompare(ctx.link, ctx.op, ctx.Setup(), ctx.image, ctx.timer);
        }
    });
}

}  // namespace quillon
