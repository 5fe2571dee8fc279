#pragma once
// --decode HEXFILE OUTFILE: the decoded image of the selected chip's ranges as
// raw bytes, for comparison with other tools.

#include <iosfwd>
#include <string>

namespace quillon {

struct OperationContext;

int RunDecodeCommand(OperationContext& ctx, const std::string& hexFile, const std::string& outFile,
                     std::ostream& err);

// The image bytes of every operation range, range after range.
std::string RangeImageBytes(const OperationContext& ctx);

}  // namespace quillon
