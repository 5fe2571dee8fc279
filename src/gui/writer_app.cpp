#include "gui/writer_app.hpp"

#include <iostream>

#include <QMessageBox>

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
    ArmLiveProgressGrab();
    CWriterDlg dlg(std::move(request));
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
    if (init == CWriterDlg::InitResult::BatchDone) {
        // Whoever started a batch run learns its outcome even when
        // MESSFILE.TXT could not hold it, as with quillon-cli.
        return PrintBatchOutcome(dlg.BatchResult(), dlg.Context().programDir, "quillon",
                                 std::cout, std::cerr);
    }
    return init == CWriterDlg::InitResult::Failed ? 1 : 0;
}

}  // namespace quillon::gui
