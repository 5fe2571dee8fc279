#pragma once
// The Intel HEX decoding loop over an open hex file.

#include "config/chip_definition.hpp"
#include "image/flash_image.hpp"
#include "image/hex_file.hpp"

namespace quillon {

class TextLineReader;

// Decodes from the top of the file until the end-of-file record or the last
// line. False at the first bad line, with its message ("IntelHex format
// decoder"), shown only while a progress window is open.
[[nodiscard]] bool DecodeIntelHex(TextLineReader& reader, const OperationRanges& ranges,
                                  FlashImage& image, DecodeFailure& failure);

}  // namespace quillon
