#include "app/area_notice.hpp"
#include "app/catalog.hpp"
#include "app/controller.hpp"
#include "app/operation_context.hpp"
#include "config/chip_file.hpp"
#include "flashops/blank_check.hpp"
#include "flashops/erase.hpp"
#include "flashops/program_flash.hpp"
#include "image/flash_image.hpp"
#include "link/security_unlock.hpp"

namespace quillon {

namespace {

// Download, erase only when the flash is not blank, program.
void DownloadThenProgram(OperationContext& ctx) {
    if (RunDownload(ctx, true) != 0) return;
    // The probe shows nothing, but a run that ends in it must not be taken
    // for one that ended in the download it follows.
    ctx.progressText = StepText(ctx.language, kMsgBlankChecking, true);
    const int probe = ctx.wholeFlashSelected == 1 ? ProbeBlankWholeFlash(ctx) : ProbeBlankRanges(ctx);
    if (probe == 2) return;
    if (probe == 1) {
        if (EraseFlash(ctx, true) != 0) return;
        if (BlankCheck(ctx, true) != 0) return;
    }
    ProgramFlash(ctx, true);
}

// The chip answered that its flash must be erased before a download.
void EraseThenDownloadThenProgram(OperationContext& ctx) {
    if (EraseFlash(ctx, true) != 0) return;
    if (RunDownload(ctx, true) != 0) return;
    if (BlankCheck(ctx, true) != 0) return;
    ProgramFlash(ctx, true);
}

}  // namespace

void OnFullOperation(OperationContext& ctx) {
    if (!CheckHexFileExists(ctx)) return;
    ClosePort(ctx);
    ResetCommandButtons(ctx);
    ctx.panel->ExchangeFromControls();
    if (!CheckAreaSelected(ctx)) return;
    if (!OpenProgressWindow(ctx, 13)) return;
    ctx.progress->SetButtons(13, true, "Full Operation");

    if (BuildOperationRanges(ctx) && DecodeHexFile(ctx, true, 0xFF) != 0) {
        const int unlocked = UnlockSecurity(ctx, true);
        if (unlocked == kUnlockGoOn) {
            DownloadThenProgram(ctx);
        } else if (unlocked == kUnlockEraseFirst) {
            EraseThenDownloadThenProgram(ctx);
        } else {
            ClosePort(ctx);
        }
    }
    EndCommand(ctx);
}

}  // namespace quillon
