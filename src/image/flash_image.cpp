#include "image/flash_image.hpp"

#include <optional>

#include "app/catalog.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "config/chip_file.hpp"
#include "config/result_file.hpp"
#include "image/intel_hex_decoder.hpp"
#include "image/srecord_decoder.hpp"
#include "image/text_lines.hpp"

namespace quillon {

namespace {

constexpr const char* kDecoderCaption = "HexFile decoder";

void ShowDecoderMessage(OperationContext& ctx, const char* text) {
    ctx.prompt->Ask(PromptRequest{text, kDecoderCaption, PromptButtons::Ok, PromptIcon::None,
                                  ctx.progress ? PromptOwner::Progress : PromptOwner::None});
}

}  // namespace

void RecordBatchResult(OperationContext& ctx, const std::string& text) {
    const bool written = WriteResultFile(ctx.programDir, 0, text);
    ctx.lastReport = LastReport{0, kSeverityError, text, written, true};
}

int DecodeHexFile(OperationContext& ctx, bool fullOperation, std::uint8_t fill) {
    if (ctx.progress) {
        ctx.progress->SetButtons(0, false, std::nullopt);
        ctx.progressText = StepText(ctx.language, kMsgDecodingHexFile, fullOperation);
        ctx.progress->SetMessage(ctx.progressText);
    }
    ctx.imageBuffer.assign(kImageSize, fill);

    // Check SUM before a download: the areas ticked now, as a download would
    // take them.
    if (!EnsureOperationRanges(ctx)) return 0;

    TextLineReader reader;
    TextLine first;
    const bool opened = reader.Open(ctx.hexFilePath);
    const bool hasLine = opened && reader.Next(first);
    if (!opened || reader.Failed()) {
        if (ctx.batchMode) {
            RecordBatchResult(ctx, "file open error HexFile decoder");
        } else {
            ShowDecoderMessage(ctx, "file open error");
        }
        return 0;
    }
    if (!hasLine) {
        if (ctx.progress) ShowDecoderMessage(ctx, "This file is NULL");
        return 0;
    }
    // The format is told by the first character of the first line; a blank
    // or empty first line is not recognised.
    switch (first.First()) {
        case ':':
            return DecodeIntelHex(ctx, reader);
        case 'S':
            return DecodeSRecordFile(ctx, reader);
        default:
            if (ctx.progress) ShowDecoderMessage(ctx, "auto-format detector error");
            return 0;
    }
}

}  // namespace quillon
