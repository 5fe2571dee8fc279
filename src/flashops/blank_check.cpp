#include "flashops/blank_check.hpp"

#include "config/catalog.hpp"
#include "flashops/command_exchange.hpp"
#include "link/control_commands.hpp"

namespace quillon {

namespace {

constexpr int kBlankLimitSeconds = 10;
constexpr int kWholeBlankBarSteps = 3;
// After '4': 4 address bytes, 4 data bytes, 1 closing byte.
constexpr std::size_t kBlankDetailBytes = 8;

bool SendRangeCheck(Link& link, Operator& op, const OperationRanges& ranges, int i) {
    const auto from = EncodeAddress24(ranges.rangeStart[i]);
    // The end travels exclusive: the last address of the range plus one.
    const auto to = EncodeAddress24(ranges.rangeEnd[i] + 1);
    const std::uint8_t bytes[7] = {kCmdBlankRange, from[0], from[1], from[2], to[0], to[1], to[2]};
    return WriteCommand(link, op, bytes, sizeof bytes);
}

void StartCheck(Operator& op, bool fullOperation, int barSteps) {
    const std::string stepText = StepText(op.language(), kMsgBlankChecking, fullOperation);
    op.NoteStep(stepText);
    ShowMessage(op, stepText);
    ShowButtons(op, 8);
    ResetBar(op, 0, barSteps);
}

// Handles every status but '1' for the reported checks.
BlankCheckResult FailedCheck(Link& link, Operator& op, int status, bool fullOperation) {
    if (status == kWaitTimeout) {
        op.Tell(Failure(kMsgTimeout, kSeverityRedownloadData));
        return BlankCheckResult::Timeout;
    }
    if (status == kStatusFailed) {
        const std::string address = ReadDetailBytes(link, 4, 4);
        const std::string data = ReadDetailBytes(link, 4, 4);
        ReadDetailBytes(link, 1, 1);  // the closing byte
        Outcome notErased;
        notErased.code = kMsgNotErased;
        notErased.severity = fullOperation ? kSeverityError : kSeverityInfo;
        notErased.sound = kSoundError;
        notErased.errorAddress = "0x" + HexDigits(address);
        notErased.flashData = "0x" + HexDigits(data);
        op.Tell(notErased);
        return BlankCheckResult::NotBlankOrFailed;
    }
    // A failed read has been told already (218).
    if (status != kWaitLinkFailed) op.Tell(Failure(kMsgCommunicationError, kSeverityRedownload));
    return BlankCheckResult::NotBlankOrFailed;
}

void CheckPassed(Operator& op, const ChipSetup& chip, OperationTimer& timer, bool fullOperation) {
    if (fullOperation) return;
    LogOperationTime(timer, chip.programDir, chip.name, kLogBlank);
    op.Tell(Completed(kMsgBlank));
}

// Handles every status but '1' for the probes.
BlankProbeResult FailedProbe(Link& link, Operator& op, int status) {
    if (status == kWaitTimeout) {
        op.Tell(Failure(kMsgTimeout, kSeverityRedownloadData));
        return BlankProbeResult::Failed;
    }
    if (status == kStatusFailed) {
        // Leave nothing behind in the port for the commands that follow.
        ReadDetailBytes(link, kBlankDetailBytes, 1);
        ReadDetailBytes(link, 1, 1);
        return BlankProbeResult::NotBlank;
    }
    return BlankProbeResult::Failed;
}

}  // namespace

BlankCheckResult BlankCheck(Link& link, Operator& op, const ChipSetup& chip, OperationTimer& timer,
                            bool fullOperation) {
    return chip.ranges.wholeFlashSelected == 1
               ? BlankCheckWholeFlash(link, op, chip, timer, fullOperation)
               : BlankCheckRanges(link, op, chip, timer, fullOperation);
}

BlankCheckResult BlankCheckWholeFlash(Link& link, Operator& op, const ChipSetup& chip,
                                      OperationTimer& timer, bool fullOperation) {
    StartCheck(op, fullOperation, kWholeBlankBarSteps);
    link.Mark("blank check");
    if (!SendAddressCommand(link, op, kCmdBlankWhole, chip.ranges.rangeStart[0])) {
        return BlankCheckResult::NotBlankOrFailed;
    }
    const int status = WaitStatus(link, op, kBlankLimitSeconds, false);
    if (status != kStatusOk) return FailedCheck(link, op, status, fullOperation);
    SetBarPos(op, kWholeBlankBarSteps);
    CheckPassed(op, chip, timer, fullOperation);
    return BlankCheckResult::Blank;
}

BlankCheckResult BlankCheckRanges(Link& link, Operator& op, const ChipSetup& chip,
                                  OperationTimer& timer, bool fullOperation) {
    const OperationRanges& ranges = chip.ranges;
    StartCheck(op, fullOperation, ranges.rangeCount);
    link.Mark("blank check");
    for (int i = 0; i < ranges.rangeCount && i < kMaxRanges; ++i) {
        SetBarPos(op, i);
        if (!SendRangeCheck(link, op, ranges, i)) return BlankCheckResult::NotBlankOrFailed;
        const int status = WaitStatus(link, op, kBlankLimitSeconds, false);
        if (status != kStatusOk) return FailedCheck(link, op, status, fullOperation);
    }
    SetBarPos(op, ranges.rangeCount);
    CheckPassed(op, chip, timer, fullOperation);
    return BlankCheckResult::Blank;
}

BlankProbeResult ProbeBlank(Link& link, Operator& op, const OperationRanges& ranges) {
    return ranges.wholeFlashSelected == 1 ? ProbeBlankWholeFlash(link, op, ranges)
                                          : ProbeBlankRanges(link, op, ranges);
}

BlankProbeResult ProbeBlankWholeFlash(Link& link, Operator& op, const OperationRanges& ranges) {
    link.Mark("blank check");
    if (!SendAddressCommand(link, op, kCmdBlankWhole, ranges.rangeStart[0])) {
        return BlankProbeResult::Failed;
    }
    const int status = WaitStatus(link, op, kBlankLimitSeconds, false);
    return status == kStatusOk ? BlankProbeResult::Blank : FailedProbe(link, op, status);
}

BlankProbeResult ProbeBlankRanges(Link& link, Operator& op, const OperationRanges& ranges) {
    link.Mark("blank check");
    for (int i = 0; i < ranges.rangeCount && i < kMaxRanges; ++i) {
        if (!SendRangeCheck(link, op, ranges, i)) return BlankProbeResult::Failed;
        const int status = WaitStatus(link, op, kBlankLimitSeconds, false);
        if (status != kStatusOk) return FailedProbe(link, op, status);
    }
    return BlankProbeResult::Blank;
}

}  // namespace quillon
