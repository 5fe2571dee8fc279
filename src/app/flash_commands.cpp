#include "app/area_notice.hpp"
#include "app/controller.hpp"
#include "app/operation_context.hpp"
#include "config/chip_file.hpp"
#include "flashops/blank_check.hpp"
#include "flashops/copy_flash.hpp"
#include "flashops/erase.hpp"
#include "flashops/program_flash.hpp"
#include "flashops/read_compare.hpp"
#include "image/flash_image.hpp"

namespace quillon {

namespace {

// The frame of the commands that work on the downloaded control program:
// stamp, window with flags 13 and a title, port, the operation, end.
template <typename Operation>
void RunFlashCommand(OperationContext& ctx, const char* title, Operation operation) {
    if (!OpenProgressWindow(ctx, 13)) return;
    ctx.progress->SetTitle(title);
    if (OpenPortForCommand(ctx)) operation();
    EndCommand(ctx);
}

}  // namespace

void OnErase(OperationContext& ctx) {
    ctx.operationStartTime = ctx.clock->Now();
    // TC326/TC327 may erase before any download; the burn-in erase starts at
    // the first range of the areas ticked now.
    if (ctx.downloaded == 0) {
        ctx.panel->ExchangeFromControls();
        if (!EnsureOperationRanges(ctx)) return;
    }
    RunFlashCommand(ctx, "Erase", [&] { EraseFlash(ctx, false); });
}

void OnBlankCheck(OperationContext& ctx) {
    ctx.operationStartTime = ctx.clock->Now();
    RunFlashCommand(ctx, "Blank Check", [&] { BlankCheck(ctx, false); });
}

void OnProgramVerify(OperationContext& ctx) {
    ctx.operationStartTime = ctx.clock->Now();
    ctx.panel->ExchangeFromControls();
    if (!CheckHexFileExists(ctx)) return;
    RunFlashCommand(ctx, "Program", [&] {
        if (DecodeHexFile(ctx, false, 0xFF) != 0) ProgramFlash(ctx, false);
    });
}

void OnReadCompare(OperationContext& ctx) {
    ctx.operationStartTime = ctx.clock->Now();
    ctx.panel->ExchangeFromControls();
    if (!CheckHexFileExists(ctx)) return;
    RunFlashCommand(ctx, "Read & Compare", [&] {
        if (DecodeHexFile(ctx, false, 0xFF) != 0) ReadAndCompare(ctx);
    });
}

void OnCopy(OperationContext& ctx) { CopyFlash(ctx); }

}  // namespace quillon
