#pragma once
// --checksum XX HEXFILE: the Check SUM dialog's result on standard output.

#include <iosfwd>

namespace quillon {

struct CliOptions;
struct OperationContext;

int RunChecksumCommand(OperationContext& ctx, const CliOptions& options, std::ostream& out,
                       std::ostream& err);

}  // namespace quillon
