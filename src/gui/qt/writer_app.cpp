#include "gui/qt/writer_app.hpp"

#include <iostream>

#include <QMessageBox>

#include "app/session_trace.hpp"
#include "gui/desktop_run.hpp"
#include "gui/qt/screenshot.hpp"

namespace quillon::gui {

int CWriterApp::Run(const QStringList& arguments) {
    Request request;
    std::vector<std::string> words;
    for (const QString& argument : arguments) words.push_back(argument.toStdString());
    if (std::string error; !ParseDesktopCommandLine(words, request, error)) {
        QMessageBox::critical(nullptr, kBoxCaption, QString::fromStdString(error));
        return 2;
    }
    // The path as the environment holds it, byte for byte.
    request.traceFile = qgetenv("QUILLON_TRACE").toStdString();
    ArmLiveProgressGrab();
    CWriterDlg dlg(std::move(request));
    // A trace that cannot be written stops the program before it starts.
    if (std::string why; !StartRequestedTrace(dlg.Context(), why)) {
        QMessageBox::critical(nullptr, kBoxCaption, QString::fromStdString(why));
        return 2;
    }
    const CWriterDlg::InitResult init = dlg.OnInitDialog();
    if (init == CWriterDlg::InitResult::Ready) {
        if (ScreenshotRequested()) {
            TakeScreenshot(dlg);
        } else {
            dlg.exec();
        }
    }
    return FinishDesktopRun(dlg.Context(), init, dlg.BatchResult(), std::cout, std::cerr);
}

}  // namespace quillon::gui
