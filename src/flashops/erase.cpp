#include "flashops/erase.hpp"

#include <cstdio>
#include <string>

#include "app/catalog.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "config/chip_file.hpp"
#include "config/chip_groups.hpp"
#include "config/timing_log.hpp"
#include "flashops/command_exchange.hpp"
#include "flashops/control_commands.hpp"
#include "flashops/progress_calls.hpp"

namespace quillon {

namespace {

constexpr int kEraseLimitSeconds = 90;
constexpr int kWholeEraseBarSteps = 39;

void SetEraseDetail(OperationContext& ctx, int status) {
    char text[48];
    std::snprintf(text, sizeof text, "ERASE ERROR MCU : %02XH",
                  static_cast<unsigned>(status & 0xFF));
    ctx.detailText = text;
}

// What a non-'1' result of WaitStatus becomes for the erase paths.
int EraseResultOf(OperationContext& ctx, int status) {
    if (status == kWaitTimeout) return 3;
    if (status < 0) return kEraseReadFailed;
    SetEraseDetail(ctx, status);
    return status;
}

// The burn-in erase needs the first range start. The Erase command and Full
// Operation build the ranges of the areas ticked now before they get here;
// only a caller that built none is helped out.
bool FirstRangeStart(OperationContext& ctx, std::uint32_t& start) {
    if (!ctx.rangesBuilt && !BuildOperationRanges(ctx)) return false;
    start = ctx.rangeStart[0];
    return true;
}

}  // namespace

int EraseWholeFlash(OperationContext& ctx) {
    ShowButtons(ctx, 8);
    ResetBar(ctx, 0, kWholeEraseBarSteps);
    if (!SendAddressCommand(ctx, kCmdEraseWhole, ctx.rangeStart[0])) return 0;
    std::int64_t shown = 0;
    const int status = WaitStatus(ctx, kEraseLimitSeconds, false, [&](std::int64_t elapsed) {
        // About one step a second, so that the bar fills in some 39 seconds.
        if (elapsed != shown && elapsed < kWholeEraseBarSteps) {
            shown = elapsed;
            StepBar(ctx);
        }
    });
    if (status == kStatusOk) {
        SetBarPos(ctx, kWholeEraseBarSteps);
        return kStatusOk;
    }
    return EraseResultOf(ctx, status);
}

int EraseSectors(OperationContext& ctx) {
    ShowButtons(ctx, 8);
    ResetBar(ctx, 0, ctx.eraseCount);
    if (ctx.eraseCount <= 0) return 0;
    for (int k = 0; k < ctx.eraseCount && k < kMaxEraseAddresses; ++k) {
        SetBarPos(ctx, k);
        if (!SendAddressCommand(ctx, kCmdEraseSector, ctx.eraseAddress[k])) return 0;
        const int status = WaitStatus(ctx, kEraseLimitSeconds, false);
        if (status != kStatusOk) return EraseResultOf(ctx, status);
    }
    SetBarPos(ctx, ctx.eraseCount);
    return kStatusOk;
}

int EraseFlash(OperationContext& ctx, bool fullOperation) {
    const std::string chip = ctx.SelectedChipName();
    ctx.progressText = StepText(ctx.language, kMsgErasing, fullOperation);
    ShowButtons(ctx, 8);
    ShowMessage(ctx, ctx.progressText);

    int result = 0;
    if (IsSecurityChip(chip) && ctx.downloaded == 0) {
        ShowMessage(ctx, ctx.progressText + "(burnin)");
        std::uint32_t start = 0;
        if (!FirstRangeStart(ctx, start)) {
            ClosePort(ctx);
            return 1;
        }
        if (EraseThroughBootRom(ctx, start, fullOperation) != kBurnInDone) {
            ClosePort(ctx);
            return 1;
        }
        result = kStatusOk;
    } else if (ctx.wholeFlashSelected == 1) {
        result = EraseWholeFlash(ctx);
    } else {
        if (ctx.eraseCount <= 0) {
            // A chip definition without sector erase addresses for the
            // selected areas: nothing would be erased, so say so.
            ctx.detailText = "ERASE ERROR : no sector erase address for the selected areas";
            Report(ctx, kMsgEraseError, kSeverityError, kSoundError);
            return 1;
        }
        result = EraseSectors(ctx);
    }

    if (result == kStatusOk) {
        if (!fullOperation) {
            LogOperationTime(ctx, kLogErase);
            Report(ctx, kMsgErased, kSeverityInfo, kSoundEnd);
        }
        return 0;
    }
    // The failed read has been reported (218) and closed the port.
    if (result == kEraseReadFailed) return 1;
    if (result == 3 || result == kStatusTimeout) {
        Report(ctx, kMsgTimeout, kSeverityRedownloadData, kSoundError);
    } else if (result == kStatusFailed) {
        SetEraseDetail(ctx, result);
        Report(ctx, kMsgEraseError, kSeverityRedownload, kSoundError);
    } else {
        SetEraseDetail(ctx, result);
        Report(ctx, kMsgCommunicationError, kSeverityRedownload, kSoundError);
    }
    return 1;
}

}  // namespace quillon
