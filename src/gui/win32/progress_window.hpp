#pragma once
// The progress window of a running command in Win32: an icon, the message, a
// bar and one button, without a close box. What it shows follows
// gui/progress_state.hpp. While it exists its owner, the main window, is
// disabled, so its button is the only input that takes effect.

#include <memory>

#include "app/progress_factory.hpp"
#include "gui/progress_state.hpp"
#include "gui/win32/win32_text.hpp"

namespace quillon::gui::win32 {

class ProgressWindow final : public ProgressSink {
public:
    ProgressWindow(int flags, HWND owner);
    ~ProgressWindow() override;

    // Makes the window and disables the owner when it is enabled. False
    // when the window cannot be made (the owner is then as it was).
    bool Create();

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

    HWND Window() const { return window_; }
    const ProgressState& State() const { return state_; }

private:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void ShowState();

    HWND owner_;
    HWND window_ = nullptr;
    ProgressState state_;
    bool ownerDisabled_ = false;
};

class Win32ProgressFactory final : public ProgressFactory {
public:
    explicit Win32ProgressFactory(HWND owner) : owner_(owner) {}
    std::unique_ptr<ProgressSink> CreateProgress(int flags) override;

private:
    HWND owner_;
};

// The window ids of the progress window's controls.
enum ProgressControl : int { kProgressIcon = 1031, kProgressMessage = 1105, kProgressBar = 1103 };

}  // namespace quillon::gui::win32
