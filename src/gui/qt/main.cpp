// quillon: the desktop program. With arguments it runs one Full Operation in
// batch mode and ends; its outcome is in MESSFILE.TXT, on standard output and
// in the exit status.

#include <QApplication>

#include "gui/qt/writer_app.hpp"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("quillon");
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    return quillon::gui::CWriterApp::Run(arguments);
}
