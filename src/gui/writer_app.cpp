#include "gui/writer_app.hpp"

#include <iostream>

#include <QMessageBox>
#include <QRegularExpression>

#include "gui/screenshot.hpp"

namespace quillon::gui {

bool ParseCommandLine(const QStringList& arguments, WriterOptions& options, QString& error) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (!arg.startsWith("--")) {
            options.arguments.push_back(arg.toStdString());
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
            options.programDir = value.toStdString();
        } else if (name == "--port") {
            static const QRegularExpression comN("^com([0-9]{1,3})$",
                                                 QRegularExpression::CaseInsensitiveOption);
            const QRegularExpressionMatch m = comN.match(value);
            const int n = m.hasMatch() ? m.captured(1).toInt() : 0;
            if (m.hasMatch() && n >= 1 && n <= 256) {
                options.portIndex = n - 1;
            } else {
                options.portPath = value.toStdString();
            }
        }
        // Other options belong to other front ends or to the screenshots.
    }
    return true;
}

int CWriterApp::Run(const QStringList& arguments) {
    WriterOptions options;
    QString error;
    if (!ParseCommandLine(arguments, options, error)) {
        QMessageBox::critical(nullptr, "flash", error);
        return 2;
    }
    ArmLiveProgressGrab();
    CWriterDlg dlg(std::move(options));
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
