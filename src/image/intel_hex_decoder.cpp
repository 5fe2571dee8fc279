#include "image/intel_hex_decoder.hpp"

#include <string>

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

int DecodeLines(TextLineReader& reader, const ImageWindow& window, FlashImage& image,
                int& lineNumber) {
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
                    StoreRecord(image, window, base + record.address, record.Data(), record.length);
                if (stored != kStoreOk) return stored;
                continue;
            }
            default:
                return kBadRecord;
        }
    }
}

}  // namespace

bool DecodeIntelHex(TextLineReader& reader, const OperationRanges& ranges, FlashImage& image,
                    DecodeFailure& failure) {
    int lineNumber = 0;
    const int error = reader.Rewind()
                          ? DecodeLines(reader, DecodeWindow(ranges), image, lineNumber)
                          : kNotARecord;
    reader.Close();
    if (error == kNoError) return true;
    // Shown only while a progress window is open; never put in the result
    // file.
    failure = DecodeFailure{"IntelHex format decoder",
                            ErrorMessage(error, lineNumber == 0 ? 1 : lineNumber), false, {},
                            lineNumber == 0 ? 1 : lineNumber};
    return false;
}

}  // namespace quillon
