#pragma once
// --checksum XX HEXFILE: the Check SUM dialog's result on standard output.

#include <iosfwd>
#include <string>

namespace quillon {

struct OperationContext;

int RunChecksumCommand(OperationContext& ctx, const std::string& fillText,
                       const std::string& hexFile, std::ostream& out, std::ostream& err);

}  // namespace quillon
