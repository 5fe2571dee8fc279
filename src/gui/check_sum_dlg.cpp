#include "gui/check_sum_dlg.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/dialog_units.hpp"

namespace quillon::gui {

CCheckSumDlg::CCheckSumDlg(std::function<std::string(const std::string&)> fieldText,
                           QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      fieldText_(std::move(fieldText)) {
    setObjectName("CCheckSumDlg");
    setWindowTitle("Check SUM");
    const DialogUnits du = DialogUnitsFor(font());

    auto* label = new QLabel("Fill Data", this);
    PlaceAt(label, du, 7, 9, 40, 10);
    fill_ = new QLineEdit("FF", this);
    fill_->setObjectName("edit1082");
    fill_->setAlignment(Qt::AlignCenter);
    fill_->setMaxLength(2);
    PlaceAt(fill_, du, 50, 7, 30, 14);
    // The field turns what is typed into capital letters.
    connect(fill_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text) return;
        const int cursor = fill_->cursorPosition();
        fill_->setText(upper);
        fill_->setCursorPosition(cursor);
    });

    run_ = new QPushButton("Check SUM", this);
    run_->setObjectName("button1084");
    run_->setAutoDefault(false);
    PlaceAt(run_, du, 88, 7, 55, 14);
    connect(run_, &QPushButton::clicked, this, &CCheckSumDlg::OnCheckSum);

    sum_ = new QLineEdit(this);
    sum_->setObjectName("edit1083");
    sum_->setAlignment(Qt::AlignCenter);
    sum_->setReadOnly(true);
    sum_->setMaxLength(4);
    PlaceAt(sum_, du, 50, 27, 30, 14);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("button1");
    ok->setDefault(true);
    PlaceAt(ok, du, 88, 27, 55, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(du.Size(150, 48));
}

void CCheckSumDlg::OnCheckSum() {
    const std::string fill = fill_->text().toStdString();
    const std::string sum = fieldText_ ? fieldText_(fill) : std::string();
    fill_->setText(QString::fromStdString(fill));
    sum_->setText(QString::fromStdString(sum).toUpper());
}

}  // namespace quillon::gui
