#include "flashops/program_flash.hpp"

#include <vector>

#include "config/catalog.hpp"
#include "config/chip_groups.hpp"
#include "flashops/block_source.hpp"
#include "flashops/command_exchange.hpp"
#include "link/control_commands.hpp"
#include "link/crc16.hpp"

namespace quillon {

namespace {

enum class BlockOutcome { Done, Retry, Cancel, Failed };

// Fills `send` with the block at `address` (padded with 0xFF past the range
// end or the image) and tells whether any byte is not 0xFF.
bool FillBlock(const FlashImage& image, std::uint32_t base, std::uint32_t address,
               std::uint32_t rangeEnd, std::vector<std::uint8_t>& send, std::uint32_t blockSize) {
    const std::uint32_t inRange = BlockBytesInRange(address, rangeEnd, blockSize);
    bool anyData = false;
    for (std::uint32_t i = 0; i < blockSize; ++i) {
        const std::uint8_t b = i < inRange ? image.At(base, address + i) : 0xFF;
        send[i] = b;
        anyData = anyData || b != 0xFF;
    }
    return anyData;
}

// A program error with what the target said after a '4': the failing
// address, the expected and the found data.
Outcome ProgramError(Link& link, bool withDetails) {
    Outcome o = Failure(kMsgProgramError, kSeverityRedownloadData);
    if (withDetails) {
        o.errorAddress = "0x" + HexDigits(ReadDetailBytes(link, 4, 1));
        o.hexData = HexDigits(ReadDetailBytes(link, 2, 1));
        o.flashData = HexDigits(ReadDetailBytes(link, 2, 1));
        ReadDetailBytes(link, 1, 1);  // the closing byte
    }
    // Both halves erased means the target gave up before it could program.
    if (o.hexData == "FFFF" && o.flashData == "FFFF") {
        o.hexData.clear();
        o.flashData.clear();
        o.detail = "Timing Limit Over";
    }
    return o;
}

BlockOutcome Fail(Operator& op, const Outcome& outcome) {
    op.Tell(outcome);
    return BlockOutcome::Failed;
}

BlockOutcome SendBlock(Link& link, Operator& op, std::uint32_t address,
                       std::vector<std::uint8_t>& send, std::uint32_t blockSize, int& crcErrors) {
    link.Mark("program", address);
    const int accepted = SendBlockCommand(link, op, address, false);
    if (accepted == kBlockCancel) return BlockOutcome::Cancel;
    if (accepted == kBlockReadFailed) return BlockOutcome::Failed;  // told (218)
    if (accepted == kBlockTimeout) return Fail(op, Failure(kMsgTimeout, kSeverityRedownloadData));
    if (accepted != kStatusOk) return Fail(op, Failure(kMsgProgramError, kSeverityRedownloadData));

    const std::uint16_t crc = Crc16(send.data(), blockSize);
    send[blockSize] = static_cast<std::uint8_t>(crc >> 8);
    send[blockSize + 1] = static_cast<std::uint8_t>(crc);
    if (!link.Write(send.data(), blockSize + 2)) {
        return Fail(op, Failure(kMsgPortWriteError, kSeverityRedownload));
    }

    const int status = WaitStatus(link, op, 5, true);
    if (status == kWaitCancel) return BlockOutcome::Cancel;
    if (status == kWaitLinkFailed) return BlockOutcome::Failed;  // told (218)
    if (status == kWaitTimeout) return Fail(op, Failure(kMsgTimeout, kSeverityRedownloadData));
    if (status == kStatusOk) return BlockOutcome::Done;
    if (status == kStatusCrcError) {
        if (!op.Unattended())
            return AskCrcRetry(op, address) ? BlockOutcome::Retry : BlockOutcome::Cancel;
        // Nobody can answer in batch mode: retry a few times, then give up
        // rather than loop on a line that keeps corrupting the block.
        if (++crcErrors <= kBatchCrcRetries) return BlockOutcome::Retry;
        return Fail(op, Failure(kMsgProgramError, kSeverityRedownloadData, CrcErrorDetail(address)));
    }
    return Fail(op, ProgramError(link, status == kStatusFailed));
}

}  // namespace

bool ProgramFlash(Link& link, Operator& op, const ChipSetup& chip, const FlashImage& image,
                  OperationTimer& timer, bool fullOperation) {
    const OperationRanges& ranges = chip.ranges;
    const std::uint32_t blockSize = ProgramBlockSize(chip.name);
    const int total = BarTotal(ranges, blockSize);
    ShowButtons(op, op.Unattended() ? 8 : 14);
    ShowStep(op, StepText(op.language(), kMsgProgramming, fullOperation));
    ResetBar(op, 0, total);
    CountBytes(op, blockSize, "Programmed");

    std::vector<std::uint8_t> send(blockSize + 2);
    int k = 0;
    for (int r = 0; r < ranges.rangeCount && r < kMaxRanges; ++r) {
        const std::uint32_t end = ranges.rangeEnd[r];
        std::uint64_t a = ranges.rangeStart[r];
        int crcErrors = 0;
        while (a <= end) {
            const std::uint32_t address = static_cast<std::uint32_t>(a);
            SetBarPos(op, k);
            if (PollCancel(op) == 1) {
                CancelEnding(link, op, k);
                return false;
            }
            if (!FillBlock(image, ranges.rangeStart[0], address, end, send, blockSize)) {
                // An erased flash already holds it: count it, send nothing.
                link.Detail("skipped, all FF:", &address);
                SetBarPos(op, k);
                a += blockSize;
                ++k;
                continue;
            }
            switch (SendBlock(link, op, address, send, blockSize, crcErrors)) {
                case BlockOutcome::Retry:
                    link.Detail("again after a CRC error:", &address);
                    continue;
                case BlockOutcome::Cancel:
                    CancelEnding(link, op, k);
                    return false;
                case BlockOutcome::Failed:
                    return false;
                case BlockOutcome::Done:
                    break;
            }
            SetBarPos(op, k);
            a += blockSize;
            ++k;
            crcErrors = 0;
        }
    }
    SetBarPos(op, k);
    LogOperationTime(timer, chip.programDir, chip.name, fullOperation ? kLogAuto : kLogProgram);
    op.Tell(Completed(fullOperation ? kMsgFullOperationOk : kMsgProgrammed));
    return true;
}

}  // namespace quillon
