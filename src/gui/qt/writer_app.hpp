#pragma once
// The application: reads the command line, runs the main dialog modally (or
// only its batch run) and closes the port when the dialog has ended.

#include <QStringList>

#include "gui/qt/writer_dlg.hpp"

namespace quillon::gui {

class CWriterApp {
public:
    // Runs the program; the exit status of the process.
    static int Run(const QStringList& arguments);
};

}  // namespace quillon::gui
