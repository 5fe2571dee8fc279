#pragma once
// What the desktop program does when it opens, for the console: program
// folder, DATAFILE.TXT, CHIPDEF.INI and its chip list, the selected chip, the
// crystal, Customize.ini. --chip and --crystal select without writing
// DATAFILE.TXT.

#include <iosfwd>

namespace quillon {

struct CliOptions;
struct OperationContext;

// False after printing why on `err`.
bool StartUp(OperationContext& ctx, const CliOptions& options, std::ostream& err);

}  // namespace quillon
