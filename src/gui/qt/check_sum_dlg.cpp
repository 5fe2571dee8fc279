#include "gui/qt/check_sum_dlg.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/main_dialog.hpp"
#include "gui/qt/dialog_layout.hpp"

namespace quillon::gui {

CCheckSumDlg::CCheckSumDlg(std::function<std::string(const std::string&)> fieldText,
                           QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      fieldText_(std::move(fieldText)) {
    setObjectName("CCheckSumDlg");
    setWindowTitle("Check SUM");
    const DialogUnits du = DialogUnitsFor(font());

    const DialogControls made = CreateDialogControls("check_sum", this, du);
    fill_ = made.Get<QLineEdit>("edit1082");
    // The field turns what is typed into capital letters.
    connect(fill_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString upper = QString::fromStdString(Capitals(text.toStdString()));
        if (upper == text) return;
        const int cursor = fill_->cursorPosition();
        fill_->setText(upper);
        fill_->setCursorPosition(cursor);
    });

    run_ = made.Get<QPushButton>("button1084");
    connect(run_, &QPushButton::clicked, this, &CCheckSumDlg::OnCheckSum);

    sum_ = made.Get<QLineEdit>("edit1083");
    auto* ok = made.Get<QPushButton>("button1");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(du.Size(150, 48));
}

void CCheckSumDlg::OnCheckSum() {
    const std::string fill = fill_->text().toStdString();
    const std::string sum = fieldText_ ? fieldText_(fill) : std::string();
    fill_->setText(QString::fromStdString(fill));
    sum_->setText(QString::fromStdString(Capitals(sum)));
}

}  // namespace quillon::gui
