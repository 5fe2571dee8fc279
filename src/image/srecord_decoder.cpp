#include "image/srecord_decoder.hpp"

#include <string>

#include "image/image_store.hpp"
#include "image/srecord_line.hpp"
#include "image/text_lines.hpp"

namespace quillon {

namespace {

enum SRecordError : int {
    kNoError = 0,
    kNotAnSRecord = 1,
    kUnknownType = 2,
    kBadRecord = 3,
};

std::string ErrorMessage(int error, int lineNumber) {
    const char* text = "address error in ";
    switch (error) {
        case kNotAnSRecord:
            text = "file error in ";
            break;
        case kUnknownType:
            text = "S-format error in ";
            break;
        case kBadRecord:
            text = "decode error in ";
            break;
        default:
            break;
    }
    return text + std::to_string(lineNumber);
}

int DecodeLines(TextLineReader& reader, const ImageWindow& window, FlashImage& image,
                int& lineNumber) {
    SRecordLine record;
    TextLine line;
    for (;;) {
        ++lineNumber;
        if (!reader.Next(line)) return reader.Failed() ? kNotAnSRecord : kNoError;
        if (line.Empty()) continue;
        if (line.First() != 'S') return kNotAnSRecord;
        const char type = line.text.size() > 1 ? line.text[1] : '\0';
        switch (type) {
            case '0':  // header
            case '5':  // record count
            case '7':
            case '8':
            case '9':  // start addresses
                continue;
            case '1':
            case '2':
            case '3': {
                const int length = DecodeSRecordLine(line, record);
                if (length == 0) return kBadRecord;
                const int stored = StoreRecord(image, window, record.address,
                                               record.bytes + record.dataOffset, length);
                if (stored != kStoreOk) return stored;
                continue;
            }
            default:
                return kUnknownType;
        }
    }
}

}  // namespace

bool DecodeSRecordFile(TextLineReader& reader, const OperationRanges& ranges, FlashImage& image,
                       DecodeFailure& failure) {
    int lineNumber = 0;
    const int error = reader.Rewind()
                          ? DecodeLines(reader, DecodeWindow(ranges), image, lineNumber)
                          : kNotAnSRecord;
    reader.Close();
    if (error == kNoError) return true;
    const std::string message = ErrorMessage(error, lineNumber == 0 ? 1 : lineNumber);
    failure = DecodeFailure{"S format decoder", message, true, "S format decoder " + message,
                            lineNumber == 0 ? 1 : lineNumber};
    return false;
}

}  // namespace quillon
