#include "flashops/block_read.hpp"

#include <optional>

#include "config/catalog.hpp"
#include "config/crc_test_fault.hpp"
#include "flashops/command_exchange.hpp"
#include "flashops/program_flash.hpp"
#include "link/crc16.hpp"

namespace quillon {

namespace {

BlockRead Fail(Operator& op, int code, int severity, std::string detail = {}) {
    op.Tell(Failure(code, severity, std::move(detail)));
    return BlockRead::Failed;
}

// The first status, as each operation reports it. nullopt: go on.
std::optional<BlockRead> CheckAccepted(Operator& op, int accepted, ReadPurpose purpose) {
    if (accepted == kStatusOk) return std::nullopt;
    // The failed read has been reported (218): that is the whole story.
    if (accepted == kBlockReadFailed) return BlockRead::Failed;
    // A press of Cancel is the user's wish, not a read error, for Copy too.
    if (accepted == kBlockCancel) return BlockRead::Cancel;
    if (accepted == kBlockTimeout) return Fail(op, kMsgTimeout, kSeverityRedownloadData);
    if (purpose == ReadPurpose::Copy) return Fail(op, kMsgReadError, kSeverityRedownloadData);
    if (accepted == kBlockWriteFailed) return Fail(op, kMsgPortWriteError, kSeverityRedownloadData);
    return Fail(op, kMsgReadError, kSeverityRedownloadData);
}

}  // namespace

BlockRead ReadFlashBlock(Link& link, Operator& op, const std::string& programDir,
                         std::uint32_t address, int blocksDone, ReadPurpose purpose,
                         ReadBlockBuffer& block) {
    int lineErrorRepeats = 0;
    int crcErrors = 0;
    while (true) {
        SetBarPos(op, blocksDone);
        if (PollCancel(op) == 1) return BlockRead::Cancel;

        link.Mark("read", address);
        const std::uint32_t started = link.clock().TickMs();
        if (auto end = CheckAccepted(op, SendBlockCommand(link, op, address, true), purpose))
            return *end;

        block.fill(0);
        if (link.Read(block.data(), block.size()) < 0) {
            return purpose == ReadPurpose::Copy ? Fail(op, kMsgReadError, kSeverityRedownloadData)
                                                : Fail(op, kMsgPortReadError, kSeverityRedownload);
        }

        if (link.TakeLineErrors() != 0) {
            link.PurgeReceive();
            if (++lineErrorRepeats > kMaxLineErrorRepeats) {
                return Fail(op, kMsgReadError, kSeverityRedownloadData, "LINE ERROR");
            }
            continue;
        }

        const int status = WaitStatus(link, op, 5, true);
        if (status == kWaitCancel) return BlockRead::Cancel;
        if (status == kWaitLinkFailed) return BlockRead::Failed;
        if (status == kWaitTimeout) return Fail(op, kMsgTimeout, kSeverityRedownloadData);
        if (status != kStatusOk) return Fail(op, kMsgReadError, kSeverityRedownloadData);

        // The diagnostic switch corrupts a block now and then to exercise
        // the retry path below.
        block[kReadBlockSize] =
            static_cast<std::uint8_t>(block[kReadBlockSize] + CrcTestFault(programDir));
        if (Crc16(block.data(), block.size()) == 0) {
            NoteBlockTime(link, op, BlockLineBytes(kReadBlockSize), started);
            return BlockRead::Ok;
        }

        if (!op.Unattended()) {
            if (AskCrcRetry(op, address)) continue;
            return BlockRead::Cancel;
        }
        // Nobody can answer in batch mode: retry a few times, then give up.
        if (++crcErrors <= kBatchCrcRetries) continue;
        return Fail(op, kMsgReadError, kSeverityRedownloadData, CrcErrorDetail(address));
    }
}

}  // namespace quillon
