// quillon: the desktop program. With arguments it runs one Full Operation in
// batch mode and ends; its outcome is in MESSFILE.TXT, on standard output and
// in the exit status.

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

#include "gui/desktop_run.hpp"
#include "gui/qt/writer_app.hpp"

int main(int argc, char* argv[]) {
    // Answered before the toolkit starts: no display is needed for them.
    if (const std::string info =
            quillon::gui::DesktopInfoText(std::vector<std::string>(argv + 1, argv + argc));
        !info.empty()) {
        std::cout << info;
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("quillon");
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    return quillon::gui::CWriterApp::Run(arguments);
}
