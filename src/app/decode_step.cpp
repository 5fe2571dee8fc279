#include "app/decode_step.hpp"

#include "app/chip_selection.hpp"
#include "app/operation_context.hpp"
#include "app/unattended_run.hpp"
#include "config/catalog.hpp"
#include "config/result_file.hpp"
#include "image/checksum.hpp"
#include "image/hex_file.hpp"

namespace quillon {

void RecordBatchResult(OperationContext& ctx, const std::string& text) {
    const bool written = !ctx.writesResultFile || WriteResultFile(ctx.programDir, 0, text);
    ctx.lastReport = LastReport{0, kSeverityError, text, written, true};
    ++ctx.reportCount;
}

bool DecodeHexFile(OperationContext& ctx, bool fullOperation, std::uint8_t fill) {
    if (ctx.progress) {
        ctx.progress->SetButtons(0, false, std::nullopt);
        ctx.progressText = StepText(ctx.language, kMsgDecodingHexFile, fullOperation);
        ctx.progress->SetMessage(ctx.progressText);
    }
    // Check SUM before a download: the areas ticked now, as a download would
    // take them.
    if (!EnsureOperationRanges(ctx)) {
        ctx.image.Fill(fill);
        return false;
    }
    DecodeFailure failure;
    ctx.decodedHexPath.clear();
    ctx.decodedChecksum.reset();
    ctx.decodeFailedLine = 0;
    if (DecodeHexFile(ctx.hexFilePath, ctx.ranges, fill, ctx.image, failure)) {
        if (fill == 0xFF) {
            ctx.decodedHexPath = ctx.hexFilePath;
            ctx.decodedChecksum = SumOverRanges(ctx.ranges, ctx.image);
        }
        return true;
    }
    ctx.decodeFailedLine = failure.lineNumber;
    ctx.journal.NoteFailure(failure.batchText.empty() ? OneLine(failure.text)
                                                      : failure.batchText);
    if (ctx.batchMode && !failure.batchText.empty()) {
        RecordBatchResult(ctx, failure.batchText);
    } else if (ctx.progress || failure.shownWithoutProgress) {
        ctx.frontEnd.prompt->Ask(PromptRequest{
            failure.text, failure.caption, PromptButtons::Ok, PromptIcon::None,
            ctx.progress ? PromptOwner::Progress : PromptOwner::None});
    }
    return false;
}

}  // namespace quillon
