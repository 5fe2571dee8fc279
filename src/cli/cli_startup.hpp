#pragma once
// What the desktop program does when it opens, for the console: the core's
// start-up (program folder, DATAFILE.TXT, CHIPDEF.INI, chip, Customize.ini),
// with the request's program folder, port and reset choice, then the command
// line's selections: --chip, --crystal, --areas, --hex. None of them writes
// DATAFILE.TXT.

#include <string>

namespace quillon {

struct CliOptions;
struct OperationContext;

// False with why in `failure` (one line, no program name): a start-up
// failure, a chip, crystal or port the command line names that cannot be
// used. ctx.programDir is set whenever the program folder could be found,
// so that the failure can be put in MESSFILE.TXT.
bool CliStartUp(OperationContext& ctx, const CliOptions& options, std::string& failure);

}  // namespace quillon
