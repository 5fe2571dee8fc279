#pragma once
// The progress window of a running command: an icon, the message, a bar and
// one button. It is modeless; while it exists its owner, the main dialog, is
// disabled, so the button is the only input that takes effect.

#include <QDialog>
#include <QPointer>

#include "app/progress_factory.hpp"
#include "gui/progress_state.hpp"
#include "gui/qt/dialog_units.hpp"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quillon::gui {

class CProgressDlg final : public QDialog, public ProgressSink {
    Q_OBJECT
public:
    // flags -1 stands for 13.
    CProgressDlg(int flags, QWidget* owner);
    ~CProgressDlg() override;

    // Makes the window; disables the owner when it is enabled. False when
    // the window cannot be made (the owner is then enabled again).
    bool Create();
    // Gives the owner back its input when this window took it, then hides.
    void Destroy();

    // ProgressSink
    void SetMessage(std::string_view text) override;
    void SetButtons(int flags, bool centre, std::optional<std::string_view> title) override;
    void SetTitle(std::string_view title) override;
    void SetButtonText(std::string_view text) override;
    void SetRange(int low, int high) override;
    void SetStep(int step) override;
    int SetPos(int n) override;
    int StepIt() override;
    void PumpMessages() override;
    int CheckCancel() override;
    void SetIcon(int icon) override;

    // For the tests and the screenshots.
    int Flags() const { return state_.Flags(); }
    bool CancelPolling() const { return state_.CancelPolling(); }
    int HeightForFlags(int flags) const;
    QPushButton* Button() const { return button_; }
    QProgressBar* Bar() const { return bar_; }
    QLabel* MessageLabel() const { return message_; }
    QLabel* IconLabel() const { return icon_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void accept() override;

private:
    void ShowState();

    QPointer<QWidget> owner_;
    DialogUnits du_;
    QLabel* icon_ = nullptr;
    QLabel* message_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* button_ = nullptr;
    ProgressState state_;
    bool ownerDisabled_ = false;
    bool created_ = false;
};

// Makes the command's progress windows, owned by the main dialog.
class QtProgressFactory final : public ProgressFactory {
public:
    explicit QtProgressFactory(QWidget* owner) : owner_(owner) {}
    std::unique_ptr<ProgressSink> CreateProgress(int flags) override;

private:
    QWidget* owner_;
};

}  // namespace quillon::gui
