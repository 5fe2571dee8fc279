#include "flashops/copy_flash.hpp"

#include <string>

#include "config/catalog.hpp"
#include "config/chip_groups.hpp"
#include "flashops/block_read.hpp"
#include "flashops/block_source.hpp"
#include "flashops/command_exchange.hpp"
#include "flashops/hex_line_format.hpp"
#include "platform/file_replacement.hpp"

namespace quillon {

namespace {

constexpr const char* kCaption = "Flash Memory Writer";
constexpr std::uint32_t kLineBytes = 16;

void ShowFileError(Operator& op, const char* text, PromptOwner owner) {
    op.Ask(PromptRequest{text, kCaption, PromptButtons::Ok, PromptIcon::Exclamation, owner});
}

void ShowWriteError(Operator& op, const FileReplacement& file) {
    ShowFileError(op,
                  file.error() == FileWriteError::DiskFull ? "ERROR : DISK FULL ERROR"
                                                           : "ERROR : WRITE FILE ERROR",
                  PromptOwner::Progress);
}

// The lines of one range being written.
struct LineWriter {
    FileReplacement& file;
    bool intelHex;
    bool rangeHasData = false;

    bool Put(const std::string& line) { return file.Write(line + "\r\n"); }

    bool StartRange(std::uint32_t start) {
        rangeHasData = false;
        return !intelHex || Put(FormatIntelHexExtendedAddress(start));
    }

    // The block's bytes up to the range end, 16 to a line.
    bool PutBlock(const ReadBlockBuffer& block, std::uint32_t address, std::uint32_t inRange) {
        for (std::uint32_t off = 0; off < inRange; off += kLineBytes) {
            const std::uint32_t n = std::min(kLineBytes, inRange - off);
            const std::uint32_t at = address + off;
            if (intelHex) {
                // A new 64 KiB page needs its own extended address record,
                // except where the range's own record already stands.
                if ((at & 0xFFFF) == 0 && rangeHasData && !Put(FormatIntelHexExtendedAddress(at))) {
                    return false;
                }
                if (!Put(FormatIntelHexData(block.data() + off, static_cast<std::uint16_t>(at),
                                            n))) {
                    return false;
                }
            } else if (!Put(FormatSRecord(block.data() + off, n, at, 2))) {
                return false;
            }
            rangeHasData = true;
        }
        return true;
    }
};

// How the reading of the ranges ended.
enum class ReadEnd { Success, Failure, Cancel, FileError };

ReadEnd ReadRanges(Link& link, Operator& op, const ChipSetup& chip, LineWriter& writer, int& k) {
    const OperationRanges& ranges = chip.ranges;
    const bool skipsWindow = HasSkippedReadoutWindow(chip.name);
    ReadBlockBuffer block{};
    for (int r = 0; r < ranges.rangeCount && r < kMaxRanges; ++r) {
        const std::uint32_t end = ranges.rangeEnd[r];
        if (!writer.StartRange(ranges.rangeStart[r])) return ReadEnd::FileError;
        for (std::uint64_t a = ranges.rangeStart[r]; a <= end; a += kReadBlockSize) {
            const std::uint32_t address = static_cast<std::uint32_t>(a);
            if (skipsWindow && address >= kSkippedWindowStart && address < kSkippedWindowEnd) {
                SetBarPos(op, k);
                if (PollCancel(op) == 1) return ReadEnd::Cancel;
                continue;
            }
            switch (ReadFlashBlock(link, op, chip.programDir, address, k, ReadPurpose::Copy,
                                   block)) {
                case BlockRead::Cancel:
                    return ReadEnd::Cancel;
                case BlockRead::Failed:
                    return ReadEnd::Failure;
                case BlockRead::Ok:
                    break;
            }
            if (!writer.PutBlock(block, address, BlockBytesInRange(address, end, kReadBlockSize))) {
                return ReadEnd::FileError;
            }
            ++k;
        }
    }
    return ReadEnd::Success;
}

}  // namespace

CopyEnd CopyFlashToFile(Link& link, Operator& op, const ChipSetup& chip, OperationTimer& timer,
                        const std::string& path, bool intelHex) {
    link.TakeLineErrors();
    timer.Restart();

    FileReplacement file;
    if (!file.Open(path)) {
        ShowFileError(op, "ERROR : OPEN FILE ERROR", PromptOwner::MainDialog);
        return CopyEnd::FileNotCreated;
    }
    LineWriter writer{file, intelHex};
    int k = 0;
    const ReadEnd end = intelHex || writer.Put(kSRecordHeader)
                            ? ReadRanges(link, op, chip, writer, k)
                            : ReadEnd::FileError;

    if (end == ReadEnd::Success) {
        SetBarPos(op, k);
        if (!writer.Put(intelHex ? kIntelHexEnd : kSRecordEnd) || !file.Commit()) {
            file.Abandon();
            ShowWriteError(op, file);
            return CopyEnd::FileNotWritten;
        }
        LogOperationTime(timer, chip.programDir, chip.name, kLogCopy);
        op.Tell(Completed(kMsgCopied));
        return CopyEnd::Copied;
    }
    // No partial file is ever left where the user asked for one.
    file.Abandon();
    switch (end) {
        case ReadEnd::Failure:
            SetBarPos(op, k);
            return CopyEnd::Failed;
        case ReadEnd::Cancel:
            CancelEnding(link, op, k);
            return CopyEnd::Cancelled;
        default:
            ShowWriteError(op, file);
            return CopyEnd::FileNotWritten;
    }
}

}  // namespace quillon
