#include "flashops/copy_flash.hpp"

#include <string>

#include "app/catalog.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "config/chip_groups.hpp"
#include "config/timing_log.hpp"
#include "flashops/block_read.hpp"
#include "flashops/block_source.hpp"
#include "flashops/command_exchange.hpp"
#include "flashops/hex_line_format.hpp"
#include "flashops/progress_calls.hpp"
#include "link/serial_link.hpp"
#include "platform/file_replacement.hpp"

namespace quillon {

namespace {

constexpr const char* kCaption = "Flash Memory Writer";
constexpr std::uint32_t kLineBytes = 16;

void ShowFileError(OperationContext& ctx, const char* text, PromptOwner owner) {
    ctx.prompt->Ask(
        PromptRequest{text, kCaption, PromptButtons::Ok, PromptIcon::Exclamation, owner});
}

void ShowWriteError(OperationContext& ctx, const FileReplacement& file) {
    ShowFileError(ctx,
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

enum class CopyEnd { Success, Failure, Cancel, FileError };

CopyEnd ReadRanges(OperationContext& ctx, LineWriter& writer, int& k) {
    const bool skipsWindow = HasSkippedReadoutWindow(ctx.SelectedChipName());
    ReadBlockBuffer block{};
    for (int r = 0; r < ctx.rangeCount && r < kMaxRanges; ++r) {
        const std::uint32_t end = ctx.rangeEnd[r];
        if (!writer.StartRange(ctx.rangeStart[r])) return CopyEnd::FileError;
        for (std::uint64_t a = ctx.rangeStart[r]; a <= end; a += kReadBlockSize) {
            const std::uint32_t address = static_cast<std::uint32_t>(a);
            if (skipsWindow && address >= kSkippedWindowStart && address < kSkippedWindowEnd) {
                SetBarPos(ctx, k);
                if (PollCancel(ctx) == 1) return CopyEnd::Cancel;
                continue;
            }
            switch (ReadFlashBlock(ctx, address, k, ReadPurpose::Copy, block)) {
                case BlockRead::Cancel:
                    return CopyEnd::Cancel;
                case BlockRead::Failed:
                    return CopyEnd::Failure;
                case BlockRead::Ok:
                    break;
            }
            if (!writer.PutBlock(block, address, BlockBytesInRange(address, end, kReadBlockSize))) {
                return CopyEnd::FileError;
            }
            ++k;
        }
    }
    return CopyEnd::Success;
}

}  // namespace

void CopyFlash(OperationContext& ctx) {
    const int opened = OpenPort(ctx, ctx.comPortIndex + 1, ctx.controlProgramBaud);
    if (opened != 0) {
        ClosePort(ctx);
        Report(ctx, opened, kSeverityRedownload, kSoundError);
        return;
    }
    PurgePort(ctx);
    CopyFlashToFile(ctx);
    ctx.progress.reset();
    ClosePort(ctx);
}

void CopyFlashToFile(OperationContext& ctx) {
    const bool intelHex = ctx.copyAsIntelHex != 0;
    const std::optional<std::string> path =
        ctx.fileChooser->ChooseCopyFile(intelHex, ctx.hexFilePath);
    if (!path) return;

    const int total = BarTotal(ctx, kReadBlockSize);
    ctx.progress.reset();
    ctx.progress = ctx.progressFactory->CreateProgress(14);
    if (!ctx.progress) return;
    ctx.progress->SetButtons(14, true, "Copy");
    ctx.progressText = CatalogText(ctx.language, kMsgCopying);
    ctx.progress->SetMessage(ctx.progressText);
    ResetBar(ctx, 0, total);

    TakeLineErrors(ctx);
    ctx.operationStartTime = ctx.clock->Now();

    FileReplacement file;
    if (!file.Open(*path)) {
        ShowFileError(ctx, "ERROR : OPEN FILE ERROR", PromptOwner::MainDialog);
        ctx.progress.reset();
        return;
    }
    LineWriter writer{file, intelHex};
    int k = 0;
    CopyEnd end =
        intelHex || writer.Put(kSRecordHeader) ? ReadRanges(ctx, writer, k) : CopyEnd::FileError;

    if (end == CopyEnd::Success) {
        SetBarPos(ctx, k);
        if (!writer.Put(intelHex ? kIntelHexEnd : kSRecordEnd) || !file.Commit()) {
            file.Abandon();
            ShowWriteError(ctx, file);
            return;
        }
        LogOperationTime(ctx, kLogCopy);
        Report(ctx, kMsgCopied, kSeverityInfo, kSoundEnd);
        return;
    }
    // No partial file is ever left where the user asked for one.
    file.Abandon();
    if (end == CopyEnd::Failure) {
        SetBarPos(ctx, k);
    } else if (end == CopyEnd::Cancel) {
        CancelEnding(ctx, k);
    } else {
        ShowWriteError(ctx, file);
    }
}

}  // namespace quillon
