#pragma once
// The desktop program's run, whatever draws its windows: its command line
// read into a Request, and what happens once the main dialog has ended (the
// port closed, a batch run's outcome told, the wire trace finished) with the
// exit status it makes.

#include <iosfwd>
#include <string>
#include <vector>

#include "app/request.hpp"
#include "gui/main_dialog.hpp"

namespace quillon::gui {

// The words after the program name: --program-dir DIR and --port PATH|comN
// (also as --name=value), the rest the batch words; other options belong to
// other front ends and are passed over. False with `error` set when an
// option lacks its value or names no COM port (com0), or for a word like an
// option of one dash ("-x"), which would otherwise be taken as the hex file.
[[nodiscard]] bool ParseDesktopCommandLine(const std::vector<std::string>& arguments,
                                           Request& request, std::string& error);

// What --help / -h or --version / -V (before any `--`) prints, answered
// before a window or the toolkit is started; empty when the command line
// asks for neither.
std::string DesktopInfoText(const std::vector<std::string>& arguments);

// After the main dialog (or only its batch run) has ended: closes the port,
// prints a batch run's outcome on `out` (a note on `err` when MESSFILE.TXT
// could not hold it) and finishes the wire trace (a trace cut short is told
// on `err` and fails an otherwise good run). Returns the exit status: 1 for
// a failed start, 0 for a closed window, a batch run's own status.
int FinishDesktopRun(OperationContext& ctx, MainDialog::Start start, const BatchOutcome& batch,
                     std::ostream& out, std::ostream& err);

}  // namespace quillon::gui
