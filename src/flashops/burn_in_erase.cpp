// The burn-in erase of TC326/TC327: before a control program runs, the
// chip's boot ROM erases its flash itself on a command frame.

#include <cstdio>

#include "app/catalog.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "flashops/erase.hpp"
#include "flashops/progress_calls.hpp"
#include "link/command_frame.hpp"
#include "link/download.hpp"
#include "link/serial_link.hpp"

namespace quillon {

namespace {

constexpr std::uint32_t kOneMiB = 0x100000;
constexpr int kBurnInLimitSeconds = 90;
constexpr int kBurnInBarSteps = 32;
constexpr std::uint8_t kBurnInEndByte = 0x21;  // '!'
constexpr std::uint8_t kBurnInFiller = 0x20;   // sent while the erase runs

}  // namespace

int EraseThroughBootRom(OperationContext& ctx, std::uint32_t start, bool fullOperation) {
    const std::uint32_t length = start < kOneMiB ? kOneMiB - start : 0;
    if (!fullOperation) {
        ClosePort(ctx);
        if (!OpenPortAtBootBaud(ctx)) return 0;
        const PromptAnswer answer = ctx.prompt->Ask(PromptRequest{
            "Please reset the microcontroller on userboard.\nThen push OK button.", "flash",
            PromptButtons::OkCancel, PromptIcon::Information, PromptOwner::Progress});
        if (!IsAffirmative(answer)) return 0;
        PurgePort(ctx);
    }

    if (!WriteByte(ctx, kBootCommand)) return -2;
    if (WaitAck(ctx, 3, kBootCommand, kBurnInEraseCommand)) return -1;
    for (std::uint8_t byte : EncodeCommandFrame(kBurnInEraseCommand, start, length)) {
        if (!WriteByte(ctx, byte)) return -2;
    }
    if (WaitAck(ctx, 3, kBurnInEraseCommand, kBurnInEraseCommand)) return -1;

    ShowButtons(ctx, 8);
    ResetBar(ctx, 0, kBurnInBarSteps);
    const std::int64_t began = ctx.clock->WallSeconds();
    std::int64_t elapsed = 0;
    std::int64_t shown = 0;
    std::uint8_t byte = 0;
    while ((byte == 0 || byte == kBurnInFiller) && elapsed <= kBurnInLimitSeconds) {
        std::uint8_t cell = 0;
        const long got = ReadBytes(ctx, &cell, 1);
        if (got < 0) {
            Report(ctx, kMsgPortReadError, kSeverityRedownload, kSoundError);
            return -1;
        }
        byte = got == 1 ? cell : 0;
        elapsed = ctx.clock->WallSeconds() - began;
        if (elapsed != shown && elapsed < kBurnInBarSteps) {
            shown = elapsed;
            StepBar(ctx);
        }
    }
    if (elapsed > kBurnInLimitSeconds) {
        // Every other erase path reports its time-out; this one does too,
        // so that a silent board is never taken for a finished command.
        Report(ctx, kMsgTimeout, kSeverityError, kSoundError);
        return 3;
    }
    if (byte == kBurnInEndByte) {
        SetBarPos(ctx, kBurnInBarSteps);
        return kBurnInDone;
    }
    char text[32];
    std::snprintf(text, sizeof text, "MCU : %02XH", byte);
    ctx.detailText = text;
    Report(ctx, kMsgEraseError, kSeverityError, kSoundError);
    return -1;
}

}  // namespace quillon
