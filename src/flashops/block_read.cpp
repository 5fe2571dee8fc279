#include "flashops/block_read.hpp"

#include <optional>

#include "app/catalog.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "config/crc_test_fault.hpp"
#include "flashops/command_exchange.hpp"
#include "flashops/crc16.hpp"
#include "flashops/program_flash.hpp"
#include "flashops/progress_calls.hpp"
#include "link/serial_link.hpp"

namespace quillon {

namespace {

BlockRead Fail(OperationContext& ctx, int code, int severity) {
    Report(ctx, code, severity, kSoundError);
    return BlockRead::Failed;
}

// The first status, as each operation reports it. nullopt: go on.
std::optional<BlockRead> CheckAccepted(OperationContext& ctx, int accepted, ReadPurpose purpose) {
    if (accepted == kStatusOk) return std::nullopt;
    // The failed read has been reported (218): that is the whole story.
    if (accepted == kBlockReadFailed) return BlockRead::Failed;
    // A press of Cancel is the user's wish, not a read error, for Copy too.
    if (accepted == kBlockCancel) return BlockRead::Cancel;
    if (accepted == kBlockTimeout) return Fail(ctx, kMsgTimeout, kSeverityRedownloadData);
    if (purpose == ReadPurpose::Copy) return Fail(ctx, kMsgReadError, kSeverityRedownloadData);
    if (accepted == kBlockWriteFailed) return Fail(ctx, kMsgPortWriteError, kSeverityRedownloadData);
    return Fail(ctx, kMsgReadError, kSeverityRedownloadData);
}

}  // namespace

BlockRead ReadFlashBlock(OperationContext& ctx, std::uint32_t address, int blocksDone,
                         ReadPurpose purpose, ReadBlockBuffer& block) {
    int lineErrorRepeats = 0;
    int crcErrors = 0;
    while (true) {
        SetBarPos(ctx, blocksDone);
        if (PollCancel(ctx) == 1) return BlockRead::Cancel;

        if (auto end = CheckAccepted(ctx, SendBlockCommand(ctx, address, true), purpose))
            return *end;

        block.fill(0);
        if (ReadBytes(ctx, block.data(), block.size()) < 0) {
            return purpose == ReadPurpose::Copy ? Fail(ctx, kMsgReadError, kSeverityRedownloadData)
                                                : Fail(ctx, kMsgPortReadError, kSeverityRedownload);
        }

        if (TakeLineErrors(ctx) != 0) {
            PurgeReceive(ctx);
            if (++lineErrorRepeats > kMaxLineErrorRepeats) {
                ctx.detailText = "LINE ERROR";
                return Fail(ctx, kMsgReadError, kSeverityRedownloadData);
            }
            continue;
        }

        const int status = WaitStatus(ctx, 5, true);
        if (status == kWaitCancel) return BlockRead::Cancel;
        if (status == kWaitLinkFailed) return BlockRead::Failed;
        if (status == kWaitTimeout) return Fail(ctx, kMsgTimeout, kSeverityRedownloadData);
        if (status != kStatusOk) return Fail(ctx, kMsgReadError, kSeverityRedownloadData);

        // The diagnostic switch corrupts a block now and then to exercise
        // the retry path below.
        block[kReadBlockSize] =
            static_cast<std::uint8_t>(block[kReadBlockSize] + CrcTestFault(ctx.programDir));
        if (Crc16(block.data(), block.size()) == 0) return BlockRead::Ok;

        if (!ctx.batchMode) {
            if (AskCrcRetry(ctx, address)) continue;
            return BlockRead::Cancel;
        }
        // Nobody can answer in batch mode: retry a few times, then give up.
        if (++crcErrors <= kBatchCrcRetries) continue;
        ctx.detailText = CrcErrorDetail(address);
        return Fail(ctx, kMsgReadError, kSeverityRedownloadData);
    }
}

}  // namespace quillon
