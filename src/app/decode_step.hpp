#pragma once
// Decoding the selected hex file into the session's flash image, with what
// the user sees of it: the progress message, and the decoder's message in a
// box (or, in batch mode, in the result file) when the file is bad.

#include <cstdint>
#include <string>

namespace quillon {

struct OperationContext;

// Shows " Decoding HexFile" (with "Full Operation - " in front in a Full
// Operation), builds the ranges when a download has not fixed them, and
// decodes ctx.hexFilePath with `fill`. False after showing or recording why.
[[nodiscard]] bool DecodeHexFile(OperationContext& ctx, bool fullOperation, std::uint8_t fill);

// A decoder's failure in batch mode: "NG" and `text` in the result file, and
// kept as the run's last outcome.
void RecordBatchResult(OperationContext& ctx, const std::string& text);

}  // namespace quillon
