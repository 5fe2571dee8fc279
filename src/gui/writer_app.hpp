#pragma once
// The application: reads the command line, runs the main dialog modally (or
// only its batch run) and closes the port when the dialog has ended.

#include <QStringList>

#include "gui/writer_dlg.hpp"

namespace quillon::gui {

// The command line after the program name: --program-dir DIR and --port
// PATH|comN, the rest the batch words. False with `error` set when an option
// lacks its value or names no COM port (com0).
bool ParseCommandLine(const QStringList& arguments, Request& request, QString& error);

class CWriterApp {
public:
    // Runs the program; the exit status of the process.
    static int Run(const QStringList& arguments);
};

}  // namespace quillon::gui
