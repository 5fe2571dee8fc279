#include "gui/qt/qt_prompt.hpp"

#include <QMessageBox>
#include <QPushButton>

namespace quillon::gui {

namespace {

QMessageBox::Icon BoxIcon(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Information: return QMessageBox::Information;
        case PromptIcon::Exclamation: return QMessageBox::Warning;
        case PromptIcon::Stop: return QMessageBox::Critical;
        case PromptIcon::Question: return QMessageBox::Question;
        case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// Message texts carry CR LF line ends; a Qt label wants LF alone.
QString BoxText(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace("\r\n", "\n");
    return s;
}

}  // namespace

PromptAnswer QtPrompt::Ask(const PromptRequest& request) {
    QWidget* owner = ownerFor_ ? ownerFor_(request.owner) : nullptr;
    QMessageBox box(BoxIcon(request.icon), QString::fromStdString(request.caption),
                    BoxText(request.text), QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    switch (request.buttons) {
        case PromptButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
        case PromptButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case PromptButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            break;
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    const QMessageBox::StandardButton pressed =
        clicked ? box.standardButton(clicked) : QMessageBox::NoButton;
    switch (request.buttons) {
        case PromptButtons::Ok: return PromptAnswer::Ok;
        case PromptButtons::OkCancel:
            return pressed == QMessageBox::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
        case PromptButtons::YesNo:
            return pressed == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
    }
    return PromptAnswer::Cancel;
}

}  // namespace quillon::gui
