#pragma once
// The application: reads the command line, runs the main dialog modally (or
// only its batch run) and closes the port when the dialog has ended.

#include <QStringList>

#include "gui/writer_dlg.hpp"

namespace quillon::gui {

// The command line after the program name: --program-dir DIR and --port
// PATH|comN are taken out; what remains are the batch arguments. False with
// `error` set when an option lacks its value.
bool ParseCommandLine(const QStringList& arguments, WriterOptions& options, QString& error);

class CWriterApp {
public:
    // Runs the program; the exit status of the process.
    static int Run(const QStringList& arguments);
};

}  // namespace quillon::gui
