#include "gui/about_dlg.hpp"

#include <QLabel>
#include <QPushButton>

#include "app/version_label.hpp"
#include "gui/artwork.hpp"
#include "gui/dialog_units.hpp"

namespace quillon::gui {

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName("CAboutDlg");
    setWindowTitle("(C)Information");
    const DialogUnits du = DialogUnitsFor(font());

    auto* icon = new QLabel(this);
    PlaceAt(icon, du, 6, 5, 21, 20);
    icon->setPixmap(QuillonIcon().pixmap(icon->size().boundedTo(QSize(32, 32))));
    auto* name = new QLabel("QUILLON", this);
    name->setObjectName("productName");
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    PlaceAt(name, du, 39, 5, 140, 10);
    version_ = new QLabel(this);
    version_->setObjectName("text1027");
    PlaceAt(version_, du, 83, 18, 98, 10);
    version_->setText(QString::fromStdString(BuildVersionLabel()));
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("button1");
    ok->setDefault(true);
    PlaceAt(ok, du, 195, 5, 32, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(du.Size(233, 47));
}

}  // namespace quillon::gui
