#include "flashops/program_flash.hpp"

#include <vector>

#include "app/catalog.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "config/chip_groups.hpp"
#include "config/timing_log.hpp"
#include "flashops/block_source.hpp"
#include "flashops/command_exchange.hpp"
#include "flashops/control_commands.hpp"
#include "flashops/crc16.hpp"
#include "flashops/progress_calls.hpp"
#include "link/serial_link.hpp"

namespace quillon {

namespace {

enum class BlockOutcome { Done, Retry, Cancel, Failed };

// Fills `send` with the block at `address` (padded with 0xFF past the range
// end or the image) and tells whether any byte is not 0xFF.
bool FillBlock(const OperationContext& ctx, std::uint32_t address, std::uint32_t rangeEnd,
               std::vector<std::uint8_t>& send, std::uint32_t blockSize) {
    const std::uint32_t inRange = BlockBytesInRange(address, rangeEnd, blockSize);
    bool anyData = false;
    for (std::uint32_t i = 0; i < blockSize; ++i) {
        const std::uint8_t b =
            i < inRange ? ImageByte(ctx.imageBuffer, ctx.rangeStart[0], address + i) : 0xFF;
        send[i] = b;
        anyData = anyData || b != 0xFF;
    }
    return anyData;
}

// After a '4': the failing address, the expected and the found data.
void ReadVerifyDetails(OperationContext& ctx) {
    ctx.errorAddressText = "0x" + HexDigits(ReadDetailBytes(ctx, 4, 1));
    ctx.hexDataText += HexDigits(ReadDetailBytes(ctx, 2, 1));
    ctx.flashDataText += HexDigits(ReadDetailBytes(ctx, 2, 1));
    ReadDetailBytes(ctx, 1, 1);  // the closing byte
}

void ReportProgramError(OperationContext& ctx) {
    // Both halves erased means the target gave up before it could program.
    if (ctx.hexDataText == "FFFF" && ctx.flashDataText == "FFFF") {
        ctx.hexDataText.clear();
        ctx.flashDataText.clear();
        ctx.detailText = "Timing Limit Over";
    }
    Report(ctx, kMsgProgramError, kSeverityRedownloadData, kSoundError);
}

BlockOutcome SendBlock(OperationContext& ctx, std::uint32_t address,
                       std::vector<std::uint8_t>& send, std::uint32_t blockSize, int& crcErrors) {
    const int accepted = SendBlockCommand(ctx, address, false);
    if (accepted == kBlockCancel) return BlockOutcome::Cancel;
    if (accepted == kBlockReadFailed) return BlockOutcome::Failed;  // reported (218)
    if (accepted == kBlockTimeout) {
        Report(ctx, kMsgTimeout, kSeverityRedownloadData, kSoundError);
        return BlockOutcome::Failed;
    }
    if (accepted != kStatusOk) {
        Report(ctx, kMsgProgramError, kSeverityRedownloadData, kSoundError);
        return BlockOutcome::Failed;
    }

    const std::uint16_t crc = Crc16(send.data(), blockSize);
    send[blockSize] = static_cast<std::uint8_t>(crc >> 8);
    send[blockSize + 1] = static_cast<std::uint8_t>(crc);
    if (!WriteBytes(ctx, send.data(), blockSize + 2)) {
        Report(ctx, kMsgPortWriteError, kSeverityRedownload, kSoundError);
        return BlockOutcome::Failed;
    }

    const int status = WaitStatus(ctx, 5, true);
    if (status == kWaitCancel) return BlockOutcome::Cancel;
    if (status == kWaitLinkFailed) return BlockOutcome::Failed;  // reported (218)
    if (status == kWaitTimeout) {
        Report(ctx, kMsgTimeout, kSeverityRedownloadData, kSoundError);
        return BlockOutcome::Failed;
    }
    if (status == kStatusOk) return BlockOutcome::Done;
    if (status == kStatusCrcError) {
        if (!ctx.batchMode)
            return AskCrcRetry(ctx, address) ? BlockOutcome::Retry : BlockOutcome::Cancel;
        // Nobody can answer in batch mode: retry a few times, then give up
        // rather than loop on a line that keeps corrupting the block.
        if (++crcErrors <= kBatchCrcRetries) return BlockOutcome::Retry;
        ctx.detailText = CrcErrorDetail(address);
        Report(ctx, kMsgProgramError, kSeverityRedownloadData, kSoundError);
        return BlockOutcome::Failed;
    }
    if (status == kStatusFailed) ReadVerifyDetails(ctx);
    ReportProgramError(ctx);
    return BlockOutcome::Failed;
}

}  // namespace

int ProgramFlash(OperationContext& ctx, bool fullOperation) {
    const std::uint32_t blockSize = ProgramBlockSize(ctx.SelectedChipName());
    const int total = BarTotal(ctx, blockSize);
    ShowButtons(ctx, ctx.batchMode ? 8 : 14);
    ShowMessage(ctx, StepText(ctx.language, kMsgProgramming, fullOperation));
    ResetBar(ctx, 0, total);

    std::vector<std::uint8_t> send(blockSize + 2);
    int k = 0;
    for (int r = 0; r < ctx.rangeCount && r < kMaxRanges; ++r) {
        const std::uint32_t end = ctx.rangeEnd[r];
        std::uint64_t a = ctx.rangeStart[r];
        int crcErrors = 0;
        while (a <= end) {
            const std::uint32_t address = static_cast<std::uint32_t>(a);
            SetBarPos(ctx, k);
            if (PollCancel(ctx) == 1) {
                CancelEnding(ctx, k);
                return 1;
            }
            if (!FillBlock(ctx, address, end, send, blockSize)) {
                // An erased flash already holds it: count it, send nothing.
                SetBarPos(ctx, k);
                a += blockSize;
                ++k;
                continue;
            }
            switch (SendBlock(ctx, address, send, blockSize, crcErrors)) {
                case BlockOutcome::Retry:
                    continue;
                case BlockOutcome::Cancel:
                    CancelEnding(ctx, k);
                    return 1;
                case BlockOutcome::Failed:
                    return 1;
                case BlockOutcome::Done:
                    break;
            }
            SetBarPos(ctx, k);
            a += blockSize;
            ++k;
            crcErrors = 0;
        }
    }
    SetBarPos(ctx, k);
    LogOperationTime(ctx, fullOperation ? kLogAuto : kLogProgram);
    Report(ctx, fullOperation ? kMsgFullOperationOk : kMsgProgrammed, kSeverityInfo, kSoundEnd);
    return 0;
}

}  // namespace quillon
