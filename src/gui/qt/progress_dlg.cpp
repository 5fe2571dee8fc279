#include "gui/qt/progress_dlg.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "config/catalog.hpp"
#include "gui/qt/dialog_layout.hpp"

namespace quillon::gui {

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CProgressDlg::CProgressDlg(int flags, QWidget* owner)
    : QDialog(owner,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),  // no close box
      owner_(owner),
      state_(flags) {
    setObjectName("CProgressDlg");
    setModal(false);
    du_ = DialogUnitsFor(font());

    const DialogControls made = CreateDialogControls("progress", this, du_);
    icon_ = made.Get<QLabel>("icon1031");
    message_ = made.Get<QLabel>("message1105");
    bar_ = made.Get<QProgressBar>("bar1103");
    button_ = made.Get<QPushButton>("button2");
    connect(button_, &QPushButton::clicked, this, [this] { state_.PressCancel(); });

    setFixedWidth(du_.X(kProgressWidth));
    resize(du_.X(kProgressWidth), du_.Y(kProgressHeight));
}

CProgressDlg::~CProgressDlg() { Destroy(); }

bool CProgressDlg::Create() {
    if (owner_ && owner_->isEnabled()) {
        owner_->setEnabled(false);
        ownerDisabled_ = true;
    }
    // A window of its own stays usable while its owner is disabled.
    setEnabled(true);
    created_ = true;
    SetRange(state_.Low(), state_.High());
    bar_->setValue(state_.Position());
    SetButtons(state_.Flags(), true, std::nullopt);
    return true;
}

void CProgressDlg::Destroy() {
    if (ownerDisabled_ && owner_) owner_->setEnabled(true);
    ownerDisabled_ = false;
    if (created_) hide();
    created_ = false;
}

void CProgressDlg::SetMessage(std::string_view text) {
    message_->setEnabled(true);
    // The field shows "&&" as one ampersand, as a mnemonic-aware label does.
    message_->setText(QString::fromStdString(WithoutDoubledAmpersands(std::string(text))));
    message_->repaint();
    repaint();
}

void CProgressDlg::SetButtons(int flags, bool centre, std::optional<std::string_view> title) {
    state_.SetFlags(flags);
    if (title) setWindowTitle(FromUtf8(*title));
    button_->setText(QString::fromStdString(state_.ButtonText()));
    button_->setEnabled(state_.ButtonEnabled());
    if (state_.ButtonEnabled()) button_->setFocus();
    bar_->setEnabled(state_.BarEnabled());

    const int height = HeightForFlags(state_.Flags());
    if (centre) {
        const QSize size(width(), height);
        QRect area;
        if (owner_ && owner_->isVisible()) {
            area = owner_->frameGeometry();
        } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
            area = screen->availableGeometry();
        }
        if (area.isValid()) move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    setFixedHeight(height);
    show();
    raise();
}

int CProgressDlg::HeightForFlags(int flags) const {
    return du_.Y(ProgressState(flags).HeightUnits());
}

void CProgressDlg::SetTitle(std::string_view title) { setWindowTitle(FromUtf8(title)); }

void CProgressDlg::SetButtonText(std::string_view text) { button_->setText(FromUtf8(text)); }

void CProgressDlg::SetRange(int low, int high) {
    state_.SetRange(low, high);
    bar_->setRange(state_.Low(), state_.High());
}

void CProgressDlg::SetStep(int step) { state_.SetStep(step); }

int CProgressDlg::SetPos(int n) {
    PumpMessages();
    const int previous = state_.SetPos(n);
    ShowState();
    return previous;
}

int CProgressDlg::StepIt() {
    PumpMessages();
    const int previous = state_.StepIt();
    ShowState();
    return previous;
}

void CProgressDlg::ShowState() {
    setWindowTitle(QString::fromStdString(state_.Title()));
    bar_->setValue(state_.Position());
}

void CProgressDlg::PumpMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

int CProgressDlg::CheckCancel() {
    if (!state_.CancelPolling()) return 0;
    PumpMessages();
    return state_.TakeCancel();
}

void CProgressDlg::SetIcon(int icon) {
    QStyle::StandardPixmap which;
    switch (icon) {
        case kIconInformation: which = QStyle::SP_MessageBoxInformation; break;
        case kIconExclamation: which = QStyle::SP_MessageBoxWarning; break;
        case kIconError: which = QStyle::SP_MessageBoxCritical; break;
        default: icon_->clear(); return;
    }
    const int side = qMin(icon_->width(), icon_->height());
    icon_->setPixmap(style()->standardIcon(which, nullptr, this).pixmap(side, side));
}

void CProgressDlg::keyPressEvent(QKeyEvent* event) {
    // Escape is the cancel command: it only marks the press.
    if (event->key() == Qt::Key_Escape) {
        state_.PressCancel();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (button_->hasFocus() && button_->isEnabled()) button_->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CProgressDlg::closeEvent(QCloseEvent* event) {
    // The window has no close box; the command that made it ends it.
    event->ignore();
}

void CProgressDlg::reject() { state_.PressCancel(); }

void CProgressDlg::accept() {}

std::unique_ptr<ProgressSink> QtProgressFactory::CreateProgress(int flags) {
    auto dlg = std::make_unique<CProgressDlg>(flags, owner_);
    if (!dlg->Create()) return nullptr;
    return dlg;
}

}  // namespace quillon::gui
