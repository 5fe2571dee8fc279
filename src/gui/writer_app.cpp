#include "gui/writer_app.hpp"

#include <iostream>

#include <QMessageBox>

#include "app/session_trace.hpp"
#include "gui/screenshot.hpp"

namespace quillon::gui {

bool ParseCommandLine(const QStringList& arguments, Request& request, QString& error) {
    std::vector<std::string> batchWords;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (!arg.startsWith("--")) {
            batchWords.push_back(arg.toStdString());
            continue;
        }
        QString name = arg, value;
        const qsizetype eq = arg.indexOf('=');
        if (eq > 0) {
            name = arg.left(eq);
            value = arg.mid(eq + 1);
        } else if (name == "--program-dir" || name == "--port") {
            if (i + 1 >= arguments.size()) {
                error = QString("The option %1 needs a value.").arg(name);
                return false;
            }
            value = arguments[++i];
        }
        if (name == "--program-dir") {
            request.programDir = value.toStdString();
        } else if (name == "--port") {
            std::string why;
            if (!ParsePortWord(value.toStdString(), request, why)) {
                error = QString::fromStdString("The option --port: " + why + ".");
                return false;
            }
        }
        // Other options belong to other front ends or to the screenshots.
    }
    SetBatchWords(request, batchWords);
    return true;
}

int CWriterApp::Run(const QStringList& arguments) {
    Request request;
    QString error;
    if (!ParseCommandLine(arguments, request, error)) {
        QMessageBox::critical(nullptr, "flash", error);
        return 2;
    }
    // The path as the environment holds it, byte for byte.
    request.traceFile = qgetenv("QUILLON_TRACE").toStdString();
    ArmLiveProgressGrab();
    CWriterDlg dlg(std::move(request));
    // A trace that cannot be written stops the program before it starts.
    if (std::string why; !StartRequestedTrace(dlg.Context(), why)) {
        QMessageBox::critical(nullptr, "flash", QString::fromStdString(why));
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
    // Whatever ended the dialog, the port is closed before the program ends.
    ClosePort(dlg.Context());
    int status = init == CWriterDlg::InitResult::Failed ? 1 : 0;
    if (init == CWriterDlg::InitResult::BatchDone) {
        // Whoever started a batch run learns its outcome even when
        // MESSFILE.TXT could not hold it, as with quillon-cli.
        status = PrintBatchOutcome(dlg.BatchResult(), dlg.Context().programDir, "quillon",
                                   std::cout, std::cerr);
    }
    // A cut-off trace must not pass for the record of a good run.
    if (std::string why; !FinishTrace(dlg.Context(), why)) {
        std::cerr << "quillon: " << why << '\n';
        if (status == 0) status = 1;
    }
    return status;
}

}  // namespace quillon::gui
