#include "gui/qt/about_dlg.hpp"

#include <QLabel>
#include <QPushButton>

#include "app/version_label.hpp"
#include "gui/qt/artwork.hpp"
#include "gui/qt/dialog_layout.hpp"

namespace quillon::gui {

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName("CAboutDlg");
    setWindowTitle("(C)Information");
    const DialogUnits du = DialogUnitsFor(font());

    const DialogControls made = CreateDialogControls("about", this, du);
    auto* icon = made.Get<QLabel>("icon");
    icon->setPixmap(QuillonIcon().pixmap(icon->size().boundedTo(QSize(32, 32))));
    version_ = made.Get<QLabel>("text1027");
    version_->setText(QString::fromStdString(AboutVersionLine()));
    auto* ok = made.Get<QPushButton>("button1");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(du.Size(233, 47));
}

}  // namespace quillon::gui
