#include "gui/progress_dlg.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "config/catalog.hpp"
#include "gui/dialog_layout.hpp"

namespace quillon::gui {

namespace {

// The window in dialog units; its controls are in its layout.
constexpr int kWidth = 215, kHeight = 103;
constexpr int kBarTop = 65, kButtonTop = 85;

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CProgressDlg::CProgressDlg(int flags, QWidget* owner)
    : QDialog(owner,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),  // no close box
      owner_(owner),
      flags_(flags == -1 ? 13 : flags) {
    setObjectName("CProgressDlg");
    setModal(false);
    du_ = DialogUnitsFor(font());

    const DialogControls made = CreateDialogControls("progress", this, du_);
    icon_ = made.Get<QLabel>("icon1031");
    message_ = made.Get<QLabel>("message1105");
    bar_ = made.Get<QProgressBar>("bar1103");
    button_ = made.Get<QPushButton>("button2");
    connect(button_, &QPushButton::clicked, this, [this] { cancelRequested_ = true; });

    fullHeight_ = du_.Y(kHeight);
    buttonlessHeight_ = du_.Y(kButtonTop);
    barlessHeight_ = du_.Y(kBarTop);
    setFixedWidth(du_.X(kWidth));
    resize(du_.X(kWidth), fullHeight_);
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
    SetRange(rangeLow_, rangeHigh_);
    SetStep(step_);
    bar_->setValue(rangeLow_);
    SetButtons(flags_, true, std::nullopt);
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
    flags_ = flags == -1 ? 13 : flags;
    if (title) setWindowTitle(FromUtf8(*title));
    if (flags_ & kProgressButtonOk) {
        button_->setText("Ok");
    } else if (flags_ & kProgressButtonCancel) {
        button_->setText("Cancel");
    } else {
        button_->setText(QString());
    }
    const bool enabled = (flags_ & kProgressButtonEnabled) != 0;
    button_->setEnabled(enabled);
    cancelPolling_ = enabled;
    if (enabled) button_->setFocus();
    bar_->setEnabled((flags_ & kProgressBarEnabled) != 0);

    const int height = HeightForFlags(flags_);
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
    if (flags == 0) return barlessHeight_;
    if (flags == kProgressBarEnabled) return buttonlessHeight_;
    return fullHeight_;
}

void CProgressDlg::SetTitle(std::string_view title) { setWindowTitle(FromUtf8(title)); }

void CProgressDlg::SetButtonText(std::string_view text) { button_->setText(FromUtf8(text)); }

void CProgressDlg::SetRange(int low, int high) {
    rangeLow_ = low;
    rangeHigh_ = high;
    bar_->setRange(low, high);
}

void CProgressDlg::SetStep(int step) { step_ = step; }

void CProgressDlg::ShowTitleForPosition(int position) {
    setWindowTitle(QString("%1 / %2").arg(position).arg(rangeHigh_));
}

int CProgressDlg::SetPos(int n) {
    PumpMessages();
    const int previous = bar_->value();
    ShowTitleForPosition(n);
    bar_->setValue(n);
    return previous;
}

int CProgressDlg::StepIt() {
    PumpMessages();
    const int previous = bar_->value();
    ShowTitleForPosition(previous + 1);
    int next = previous + step_;
    // The bar wraps to its start when stepped past the end, as such bars do.
    if (next > rangeHigh_) next = rangeLow_ + (next - rangeHigh_);
    bar_->setValue(next);
    return previous;
}

void CProgressDlg::PumpMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

int CProgressDlg::CheckCancel() {
    if (!cancelPolling_) return 0;
    PumpMessages();
    const int pressed = cancelRequested_ ? 1 : 0;
    cancelRequested_ = false;
    return pressed;
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
        cancelRequested_ = true;
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

void CProgressDlg::reject() { cancelRequested_ = true; }

void CProgressDlg::accept() {}

std::unique_ptr<ProgressSink> QtProgressFactory::CreateProgress(int flags) {
    auto dlg = std::make_unique<CProgressDlg>(flags, owner_);
    if (!dlg->Create()) return nullptr;
    return dlg;
}

}  // namespace quillon::gui
