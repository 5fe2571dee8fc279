#include "image/hex_file.hpp"

#include "image/intel_hex_decoder.hpp"
#include "image/srecord_decoder.hpp"
#include "image/text_lines.hpp"

namespace quillon {

namespace {

constexpr const char* kDecoderCaption = "HexFile decoder";

bool Fail(DecodeFailure& failure, const char* text, bool shownWithoutProgress,
          std::string batchText = {}) {
    failure = DecodeFailure{kDecoderCaption, text, shownWithoutProgress, std::move(batchText)};
    return false;
}

}  // namespace

bool DecodeHexFile(const std::string& path, const OperationRanges& ranges, std::uint8_t fill,
                   FlashImage& image, DecodeFailure& failure) {
    image.Fill(fill);
    TextLineReader reader;
    TextLine first;
    const bool opened = reader.Open(path);
    const bool hasLine = opened && reader.Next(first);
    if (!opened || reader.Failed()) {
        return Fail(failure, "file open error", true, "file open error HexFile decoder");
    }
    if (!hasLine) return Fail(failure, "This file is NULL", false);
    // The format is told by the first character of the first line; a blank
    // or empty first line is not recognised.
    switch (first.First()) {
        case ':':
            return DecodeIntelHex(reader, ranges, image, failure);
        case 'S':
            return DecodeSRecordFile(reader, ranges, image, failure);
        default:
            return Fail(failure, "auto-format detector error", false);
    }
}

}  // namespace quillon
