#pragma once
// The S-record decoding loop over an open hex file.

#include "config/chip_definition.hpp"
#include "image/flash_image.hpp"
#include "image/hex_file.hpp"

namespace quillon {

class TextLineReader;

// Decodes every line from the top of the file into the image. False at the
// first bad line, with its message ("S format decoder", "decode error in 5"),
// which batch mode puts in the result file.
[[nodiscard]] bool DecodeSRecordFile(TextLineReader& reader, const OperationRanges& ranges,
                                     FlashImage& image, DecodeFailure& failure);

}  // namespace quillon
