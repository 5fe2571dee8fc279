#include "image/intel_hex_decoder.hpp"

#include <string>

#include "app/operation_context.hpp"
#include "image/image_store.hpp"
#include "image/intel_hex_line.hpp"
#include "image/text_lines.hpp"

namespace quillon {

namespace {

enum IntelHexError : int {
    kNoError = 0,
    kNotARecord = 1,
    kBadRecord = 2,
    kWrongLength = 3,
};

std::string ErrorMessage(int error, int lineNumber) {
    const char* text = "address error in ";
    switch (error) {
        case kNotARecord:
            text = "file error in ";
            break;
        case kBadRecord:
            text = "decode error in ";
            break;
        case kWrongLength:
            text = "record error in ";
            break;
        default:
            break;
    }
    return text + std::to_string(lineNumber);
}

int DecodeLines(OperationContext& ctx, TextLineReader& reader, int& lineNumber) {
    const ImageWindow window = DecodeWindow(ctx);
    std::uint32_t base = 0;
    IntelHexRecord record;
    TextLine line;
    for (;;) {
        ++lineNumber;
        if (!reader.Next(line)) return reader.Failed() ? kNotARecord : kNoError;
        if (line.Empty()) continue;
        const int lineError = DecodeIntelHexLine(line, record);
        if (lineError != kIntelHexLineOk) return lineError;
        switch (record.type) {
            case kIntelHexEndOfFile:
                return kNoError;  // later lines are not read
            case kIntelHexStartSegment:
            case kIntelHexStartLinear:
                continue;
            case kIntelHexSegmentBase:
            case kIntelHexLinearBase:
                base = record.address;
                continue;
            case kIntelHexData: {
                // Not wrapped within 64 KiB: the offset simply adds to the base.
                const int stored =
                    StoreRecord(ctx, window, base + record.address, record.Data(), record.length);
                if (stored != kStoreOk) return stored;
                continue;
            }
            default:
                return kBadRecord;
        }
    }
}

}  // namespace

int DecodeIntelHex(OperationContext& ctx, TextLineReader& reader) {
    int lineNumber = 0;
    const int error = reader.Rewind() ? DecodeLines(ctx, reader, lineNumber) : kNotARecord;
    reader.Close();
    if (error == kNoError) return 1;
    // Shown only while a progress window is open; never written to the
    // result file.
    if (ctx.progress) {
        ctx.prompt->Ask(PromptRequest{ErrorMessage(error, lineNumber == 0 ? 1 : lineNumber),
                                      "IntelHex format decoder", PromptButtons::Ok,
                                      PromptIcon::None, PromptOwner::Progress});
    }
    return 0;
}

}  // namespace quillon
