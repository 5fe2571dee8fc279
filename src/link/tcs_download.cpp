// The TCS1 and TCS2 series start their boot ROM with the board's RESET
// button: the host polls with "V" until the chip answers "F", then sends the
// image behind two headers that carry address and length least significant
// byte first.

#include <array>

#include "app/catalog.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "link/command_frame.hpp"
#include "link/download_steps.hpp"
#include "link/serial_link.hpp"

namespace quillon {

namespace {

enum class Handshake { NothingReceived, Answered, Refused, LineFailed };

// TCS2 polls every ~20 ms: a one-byte read bounded by 10 + 10 ms.
constexpr std::uint32_t kFastPollTimeoutMs = 10;

bool SetTotalTimeouts(OperationContext& ctx, std::uint32_t ms) {
    SerialTimeouts t;
    if (!ctx.comPortHandle || !ctx.comPortHandle->GetTimeouts(t)) return false;
    t.readTotalTimeoutMultiplier = ms;
    t.readTotalTimeoutConstant = ms;
    t.writeTotalTimeoutMultiplier = ms;
    t.writeTotalTimeoutConstant = ms;
    return ctx.comPortHandle->SetTimeouts(t);
}

Handshake PollForAnswer(OperationContext& ctx, bool tcs2) {
    Handshake outcome = Handshake::NothingReceived;
    while (true) {
        WriteBytes(ctx, &kTcsPoll, 1);
        std::uint8_t byte = 0;
        const long got = ReadBytes(ctx, &byte, 1);
        if (got < 0) return Handshake::LineFailed;
        // A 0x00 is never a reply.
        if (got == 1 && byte != 0) {
            if (byte == kTcsAnswer) return Handshake::Answered;
            outcome = Handshake::Refused;
            if (!tcs2) return outcome;  // TCS1 takes its first byte as the verdict
        }
        if (ctx.progress && ctx.progress->CheckCancel()) return outcome;
    }
}

bool HeaderReplyOk(OperationContext& ctx, std::uint8_t second, std::size_t expected) {
    std::array<std::uint8_t, 4> reply{};
    const long got = ReadBytes(ctx, reply.data(), expected);
    return got == static_cast<long>(expected) && reply[0] == 0xF1 && reply[1] == second;
}

bool Refuse(OperationContext& ctx) {
    Report(ctx, kMsgDownloadError, kSeverityRedownloadData, kSoundError);
    return false;
}

}  // namespace

bool RunTcsSequence(OperationContext& ctx, bool fullOperation, bool tcs2, std::uint32_t address,
                    const std::vector<std::uint8_t>& image) {
    if (!tcs2) ctx.clock->SleepMs(250);
    if (ctx.progress) {
        ctx.progress->SetButtons(kProgressButtonCancel | kProgressButtonEnabled, false,
                                 tcs2 ? "Special download sequence for TCS2 series"
                                      : "Special download sequence for TCS1 series");
        ctx.progress->SetIcon(kIconInformation);
        ctx.progress->SetMessage("Please push RESET BUTTON on user board.");
    }
    if (fullOperation) ctx.operationStartTime = ctx.clock->Now();
    if (tcs2) {
        PurgePort(ctx);
        if (!SetTotalTimeouts(ctx, kFastPollTimeoutMs)) return false;
    }

    const Handshake outcome = PollForAnswer(ctx, tcs2);

    if (outcome == Handshake::LineFailed) {
        // Reported once; polling a dead port until the user gives up helps nobody.
        Report(ctx, kMsgPortReadError, kSeverityRedownload, kSoundError);
        return false;
    }
    if (tcs2 && !SetTotalTimeouts(ctx, kPortTimeoutMs)) return false;
    if (outcome == Handshake::NothingReceived) {
        if (ctx.progress) {
            ctx.progress->SetMessage("Download canceled");
            ctx.progress->SetButtons(kProgressButtonOk | kProgressButtonEnabled, false,
                                     std::nullopt);
        }
        WaitForProgressButton(ctx);
        return false;
    }
    if (outcome == Handshake::Refused) return Refuse(ctx);

    if (ctx.progress) {
        ctx.progress->SetButtons(kProgressBarEnabled, false, std::nullopt);
        ctx.progress->SetIcon(kIconNone);
        ctx.progress->SetTitle(fullOperation ? "Full Operation" : "Download");
        ctx.progress->SetMessage(ctx.progressText);
    }
    StepDownloadProgress(ctx);
    ctx.clock->SleepMs(10);

    PurgePort(ctx);
    const auto length = static_cast<std::uint16_t>(image.size());
    const std::array<std::uint8_t, 8> header = {0x01,
                                                0x03,
                                                static_cast<std::uint8_t>(address),
                                                static_cast<std::uint8_t>(address >> 8),
                                                static_cast<std::uint8_t>(address >> 16),
                                                static_cast<std::uint8_t>(address >> 24),
                                                static_cast<std::uint8_t>(length),
                                                static_cast<std::uint8_t>(length >> 8)};
    WriteBytes(ctx, header.data(), header.size());
    WriteBytes(ctx, image.data(), image.size());
    ctx.clock->SleepMs(250);
    if (!HeaderReplyOk(ctx, 0x83, 4)) return Refuse(ctx);
    StepDownloadProgress(ctx);

    const std::array<std::uint8_t, 6> run = {header[0], 0x04,      header[2],
                                             header[3], header[4], header[5]};
    WriteBytes(ctx, run.data(), run.size());
    if (!HeaderReplyOk(ctx, 0x84, 2)) return Refuse(ctx);
    return true;
}

}  // namespace quillon
