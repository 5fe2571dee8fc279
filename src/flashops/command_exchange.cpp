#include "flashops/command_exchange.hpp"

#include <algorithm>
#include <cstdio>

#include "app/catalog.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "flashops/control_commands.hpp"
#include "flashops/progress_calls.hpp"
#include "link/serial_link.hpp"

namespace quillon {

int WaitStatus(OperationContext& ctx, int limitSeconds, bool pollCancel,
               const std::function<void(std::int64_t)>& onElapsed) {
    const std::int64_t start = ctx.clock->WallSeconds();
    std::int64_t elapsed = 0;
    std::uint8_t last = 0;
    while ((last == 0 || last == kStatusBusy) && elapsed <= limitSeconds) {
        std::uint8_t cell = 0;
        const long got = ReadBytes(ctx, &cell, 1);
        if (got < 0) {
            // A failing port fails every read: report it once instead of
            // once per read until the limit.
            Report(ctx, kMsgPortReadError, kSeverityRedownload, kSoundError);
            return kWaitLinkFailed;
        }
        last = got == 1 ? cell : 0;
        elapsed = ctx.clock->WallSeconds() - start;
        if (onElapsed) onElapsed(elapsed);
        if (pollCancel && PollCancel(ctx) == 1) return kWaitCancel;
    }
    if (elapsed > limitSeconds) return kWaitTimeout;
    return last;
}

bool WriteCommand(OperationContext& ctx, const std::uint8_t* bytes, std::size_t n) {
    // One port write for the whole command: each write waits until its
    // bytes have left, and a block command is sent thousands of times.
    if (!WriteBytes(ctx, bytes, n)) {
        Report(ctx, kMsgPortWriteError, kSeverityRedownloadData, kSoundError);
        return false;
    }
    return true;
}

bool SendAddressCommand(OperationContext& ctx, std::uint8_t command, std::uint32_t address) {
    const auto a = EncodeAddress24(address);
    const std::uint8_t bytes[4] = {command, a[0], a[1], a[2]};
    return WriteCommand(ctx, bytes, sizeof bytes);
}

int SendBlockCommand(OperationContext& ctx, std::uint32_t address, bool read) {
    if (!SendAddressCommand(ctx, read ? kCmdReadBlock : kCmdProgramBlock, address)) {
        return kBlockWriteFailed;
    }
    const int status = WaitStatus(ctx, 5, true);
    if (status == kWaitTimeout) return kBlockTimeout;
    if (status == kWaitCancel) return kBlockCancel;
    if (status == kWaitLinkFailed) return kBlockReadFailed;
    return status;
}

std::string ReadDetailBytes(OperationContext& ctx, std::size_t n, std::size_t perRead) {
    std::string out;
    while (out.size() < n) {
        std::uint8_t buffer[16] = {};
        const std::size_t want = std::min(perRead, n - out.size());
        const long got = ReadBytes(ctx, buffer, want);
        if (got > 0)
            out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(got));
        if (got < static_cast<long>(want)) break;
    }
    return out;
}

std::string HexDigits(const std::string& bytes) {
    std::string out;
    char cell[3];
    for (unsigned char b : bytes) {
        std::snprintf(cell, sizeof cell, "%02X", b);
        out += cell;
    }
    return out;
}

bool AskCrcRetry(OperationContext& ctx, std::uint32_t address) {
    char text[64];
    std::snprintf(text, sizeof text, "CRC error detected in 0x%X\nretry?", address);
    const PromptAnswer answer = ctx.prompt->Ask(PromptRequest{
        text, "crc checking", PromptButtons::YesNo, PromptIcon::Question, PromptOwner::Progress});
    return answer == PromptAnswer::Yes;
}

std::string CrcErrorDetail(std::uint32_t address) {
    char text[48];
    std::snprintf(text, sizeof text, "CRC ERROR : 0x%X", address);
    return text;
}

void CancelEnding(OperationContext& ctx, int blocksDone) {
    SetBarPos(ctx, blocksDone);
    if (ctx.progress) {
        ctx.progress->SetMessage(CatalogText(ctx.language, kMsgCanceled));
        ctx.progress->SetButtonText("OK");
        // In batch mode there is nobody to press the button.
        if (!ctx.batchMode) WaitForProgressButton(ctx);
    }
    PurgePort(ctx);
}

}  // namespace quillon
