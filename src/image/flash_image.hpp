#pragma once
// Decoding the selected hex file into the flash image.

#include <cstdint>
#include <string>

namespace quillon {

struct OperationContext;

// Fills the image with `fill` and decodes ctx.hexFilePath (S-record or Intel
// HEX, by its first character) over the operation ranges. 1 on success; 0
// after showing (or, in batch mode, recording) why.
int DecodeHexFile(OperationContext& ctx, bool fullOperation, std::uint8_t fill);

// A decoder's failure in batch mode: "NG" and `text` in the result file, and
// kept as the run's last outcome.
void RecordBatchResult(OperationContext& ctx, const std::string& text);

}  // namespace quillon
