#include "flashops/blank_check.hpp"

#include "app/catalog.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "config/timing_log.hpp"
#include "flashops/command_exchange.hpp"
#include "flashops/control_commands.hpp"
#include "flashops/progress_calls.hpp"
#include "link/serial_link.hpp"

namespace quillon {

namespace {

constexpr int kBlankLimitSeconds = 10;
constexpr int kWholeBlankBarSteps = 3;
// After '4': 4 address bytes, 4 data bytes, 1 closing byte.
constexpr std::size_t kBlankDetailBytes = 8;

bool SendRangeCheck(OperationContext& ctx, int i) {
    const auto from = EncodeAddress24(ctx.rangeStart[i]);
    // The end travels exclusive: the last address of the range plus one.
    const auto to = EncodeAddress24(ctx.rangeEnd[i] + 1);
    const std::uint8_t bytes[7] = {kCmdBlankRange, from[0], from[1], from[2], to[0], to[1], to[2]};
    return WriteCommand(ctx, bytes, sizeof bytes);
}

void StartCheck(OperationContext& ctx, bool fullOperation, int barSteps) {
    ctx.progressText = StepText(ctx.language, kMsgBlankChecking, fullOperation);
    ShowMessage(ctx, ctx.progressText);
    ShowButtons(ctx, 8);
    ResetBar(ctx, 0, barSteps);
}

// Handles every status but '1' for the reported checks.
int FailedCheck(OperationContext& ctx, int status, bool fullOperation) {
    if (status == kWaitTimeout) {
        Report(ctx, kMsgTimeout, kSeverityRedownloadData, kSoundError);
        return kBlankCheckTimeout;
    }
    if (status == kStatusFailed) {
        const std::string address = ReadDetailBytes(ctx, 4, 4);
        const std::string data = ReadDetailBytes(ctx, 4, 4);
        ReadDetailBytes(ctx, 1, 1);  // the closing byte
        ctx.errorAddressText = "0x" + HexDigits(address);
        ctx.flashDataText = "0x" + HexDigits(data);
        Report(ctx, kMsgNotErased, fullOperation ? kSeverityError : kSeverityInfo, kSoundError);
        return kNotBlankOrFailed;
    }
    if (status != kWaitLinkFailed) {
        Report(ctx, kMsgCommunicationError, kSeverityRedownload, kSoundError);
    }
    return kNotBlankOrFailed;
}

void CheckPassed(OperationContext& ctx, bool fullOperation) {
    if (fullOperation) return;
    LogOperationTime(ctx, kLogBlank);
    Report(ctx, kMsgBlank, kSeverityInfo, kSoundEnd);
}

// Handles every status but '1' for the probes.
int FailedProbe(OperationContext& ctx, int status) {
    if (status == kWaitTimeout) {
        Report(ctx, kMsgTimeout, kSeverityRedownloadData, kSoundError);
        return kProbeFailed;
    }
    if (status == kStatusFailed) {
        // Leave nothing behind in the port for the commands that follow.
        ReadDetailBytes(ctx, kBlankDetailBytes, 1);
        ReadDetailBytes(ctx, 1, 1);
        return kProbeNotBlank;
    }
    return kProbeFailed;
}

}  // namespace

int BlankCheck(OperationContext& ctx, bool fullOperation) {
    return ctx.wholeFlashSelected == 1 ? BlankCheckWholeFlash(ctx, fullOperation)
                                       : BlankCheckRanges(ctx, fullOperation);
}

int BlankCheckWholeFlash(OperationContext& ctx, bool fullOperation) {
    StartCheck(ctx, fullOperation, kWholeBlankBarSteps);
    if (!SendAddressCommand(ctx, kCmdBlankWhole, ctx.rangeStart[0])) return kNotBlankOrFailed;
    const int status = WaitStatus(ctx, kBlankLimitSeconds, false);
    if (status != kStatusOk) return FailedCheck(ctx, status, fullOperation);
    SetBarPos(ctx, kWholeBlankBarSteps);
    CheckPassed(ctx, fullOperation);
    return kBlank;
}

int BlankCheckRanges(OperationContext& ctx, bool fullOperation) {
    StartCheck(ctx, fullOperation, ctx.rangeCount);
    for (int i = 0; i < ctx.rangeCount && i < kMaxRanges; ++i) {
        SetBarPos(ctx, i);
        if (!SendRangeCheck(ctx, i)) return kNotBlankOrFailed;
        const int status = WaitStatus(ctx, kBlankLimitSeconds, false);
        if (status != kStatusOk) return FailedCheck(ctx, status, fullOperation);
    }
    SetBarPos(ctx, ctx.rangeCount);
    CheckPassed(ctx, fullOperation);
    return kBlank;
}

int ProbeBlankWholeFlash(OperationContext& ctx) {
    if (!SendAddressCommand(ctx, kCmdBlankWhole, ctx.rangeStart[0])) return kProbeFailed;
    const int status = WaitStatus(ctx, kBlankLimitSeconds, false);
    return status == kStatusOk ? kProbeBlank : FailedProbe(ctx, status);
}

int ProbeBlankRanges(OperationContext& ctx) {
    for (int i = 0; i < ctx.rangeCount && i < kMaxRanges; ++i) {
        if (!SendRangeCheck(ctx, i)) return kProbeFailed;
        const int status = WaitStatus(ctx, kBlankLimitSeconds, false);
        if (status != kStatusOk) return FailedProbe(ctx, status);
    }
    return kProbeBlank;
}

}  // namespace quillon
