#include "gui/qt/qt_file_chooser.hpp"

#include <QFileDialog>
#include <QFileInfo>

namespace quillon::gui {

std::optional<std::string> QtFileChooser::ChooseCopyFile(bool intelHex,
                                                         std::string_view initialPath) {
    QFileDialog dialog(owner_, QString());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (intelHex) {
        dialog.setNameFilters({"Intel Hex files (*.hex)", "all files (*.*)"});
        dialog.setDefaultSuffix("hex");
    } else {
        dialog.setNameFilters({"S format files (*.mhx *.cnv *.ahx)", "all files (*.*)"});
        dialog.setDefaultSuffix("mhx");
    }
    const QString initial = QString::fromUtf8(initialPath.data(),
                                              static_cast<qsizetype>(initialPath.size()));
    if (!initial.isEmpty()) {
        QFileInfo info(initial);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace quillon::gui
