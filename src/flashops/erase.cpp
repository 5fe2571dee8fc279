#include "flashops/erase.hpp"

#include <cstdio>
#include <string>

#include "config/catalog.hpp"
#include "config/chip_groups.hpp"
#include "flashops/burn_in_erase.hpp"
#include "flashops/command_exchange.hpp"
#include "link/control_commands.hpp"

namespace quillon {

namespace {

constexpr int kEraseLimitSeconds = 90;
constexpr int kWholeEraseBarSteps = 39;

std::string EraseDetail(int status) {
    char text[48];
    std::snprintf(text, sizeof text, "ERASE ERROR MCU : %02XH",
                  static_cast<unsigned>(status & 0xFF));
    return text;
}

// What a non-'1' result of WaitStatus becomes for the erase paths.
int EraseResultOf(int status) {
    if (status == kWaitTimeout) return 3;
    if (status < 0) return kEraseReadFailed;
    return status;
}

}  // namespace

int EraseWholeFlash(Link& link, Operator& op, const OperationRanges& ranges) {
    ShowButtons(op, 8);
    ResetBar(op, 0, kWholeEraseBarSteps);
    if (!SendAddressCommand(link, op, kCmdEraseWhole, ranges.rangeStart[0])) return 0;
    std::int64_t shown = 0;
    const int status = WaitStatus(link, op, kEraseLimitSeconds, false, [&](std::int64_t elapsed) {
        // About one step a second, so that the bar fills in some 39 seconds.
        if (elapsed != shown && elapsed < kWholeEraseBarSteps) {
            shown = elapsed;
            StepBar(op);
        }
    });
    if (status == kStatusOk) {
        SetBarPos(op, kWholeEraseBarSteps);
        return kStatusOk;
    }
    return EraseResultOf(status);
}

int EraseSectors(Link& link, Operator& op, const OperationRanges& ranges) {
    ShowButtons(op, 8);
    ResetBar(op, 0, ranges.eraseCount);
    if (ranges.eraseCount <= 0) return 0;
    for (int k = 0; k < ranges.eraseCount && k < kMaxEraseAddresses; ++k) {
        SetBarPos(op, k);
        if (!SendAddressCommand(link, op, kCmdEraseSector, ranges.eraseAddress[k])) return 0;
        const int status = WaitStatus(link, op, kEraseLimitSeconds, false);
        if (status != kStatusOk) return EraseResultOf(status);
    }
    SetBarPos(op, ranges.eraseCount);
    return kStatusOk;
}

bool EraseFlash(Link& link, Operator& op, const ChipSetup& chip, OperationTimer& timer,
                bool downloaded, bool fullOperation) {
    const OperationRanges& ranges = chip.ranges;
    const std::string stepText = StepText(op.language(), kMsgErasing, fullOperation);
    op.NoteStep(stepText);
    link.Mark("erase");
    ShowButtons(op, 8);
    ShowMessage(op, stepText);

    int result = 0;
    if (IsSecurityChip(chip.name) && !downloaded) {
        ShowMessage(op, stepText + "(burnin)");
        if (EraseThroughBootRom(link, op, chip, ranges.rangeStart[0], fullOperation) !=
            kBurnInDone) {
            link.Close();
            return false;
        }
        result = kStatusOk;
    } else if (ranges.wholeFlashSelected == 1) {
        result = EraseWholeFlash(link, op, ranges);
    } else {
        if (ranges.eraseCount <= 0) {
            // A chip definition without sector erase addresses for the
            // selected areas: nothing would be erased, so say so.
            op.Tell(Failure(kMsgEraseError, kSeverityError,
                            "ERASE ERROR : no sector erase address for the selected areas"));
            return false;
        }
        result = EraseSectors(link, op, ranges);
    }

    if (result == kStatusOk) {
        if (!fullOperation) {
            LogOperationTime(timer, chip.programDir, chip.name, kLogErase);
            op.Tell(Completed(kMsgErased));
        }
        return true;
    }
    // The failed read has been told (218) and closed the port.
    if (result == kEraseReadFailed) return false;
    if (result == 3) {
        op.Tell(Failure(kMsgTimeout, kSeverityRedownloadData));
    } else if (result == kStatusTimeout) {
        // The target's own time-out: the user sees which byte said so.
        op.Tell(Failure(kMsgTimeout, kSeverityRedownloadData, EraseDetail(result)));
    } else if (result == kStatusFailed) {
        op.Tell(Failure(kMsgEraseError, kSeverityRedownload, EraseDetail(result)));
    } else {
        op.Tell(Failure(kMsgCommunicationError, kSeverityRedownload, EraseDetail(result)));
    }
    return false;
}

}  // namespace quillon
