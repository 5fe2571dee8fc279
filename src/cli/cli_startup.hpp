#pragma once
// What the desktop program does when it opens, for the console: the core's
// start-up (program folder, DATAFILE.TXT, CHIPDEF.INI, chip, Customize.ini),
// with the request's program folder, port and reset choice, then the command
// line's selections: --chip, --crystal, --areas, --hex. None of them writes
// DATAFILE.TXT.

#include <iosfwd>

namespace quillon {

struct CliOptions;
struct OperationContext;

// False after printing why on `err`.
bool CliStartUp(OperationContext& ctx, const CliOptions& options, std::ostream& err);

}  // namespace quillon
