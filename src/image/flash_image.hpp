#pragma once
// Decoding the selected hex file into the flash image.

#include <cstdint>

namespace quillon {

struct OperationContext;

// Fills the image with `fill` and decodes ctx.hexFilePath (S-record or Intel
// HEX, by its first character) over the operation ranges. 1 on success; 0
// after showing (or, in batch mode, recording) why.
int DecodeHexFile(OperationContext& ctx, bool fullOperation, std::uint8_t fill);

}  // namespace quillon
