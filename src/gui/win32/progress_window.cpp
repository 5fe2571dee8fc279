#include "gui/win32/progress_window.hpp"

#include <commctrl.h>

#include "config/catalog.hpp"
#include "gui/win32/message_pump.hpp"

namespace quillon::gui::win32 {

ProgressWindow::ProgressWindow(int flags, HWND owner) : owner_(owner), state_(flags) {}

ProgressWindow::~ProgressWindow() {
    if (ownerDisabled_ && owner_) EnableWindow(owner_, TRUE);
    if (window_) {
        RemoveDialog(window_);
        DestroyWindow(window_);
    }
}

bool ProgressWindow::Create() {
    window_ = CreateDialogParamW(GetModuleHandleW(nullptr), TemplateName("progress").c_str(),
                                 owner_, &ProgressWindow::Proc, reinterpret_cast<LPARAM>(this));
    if (!window_) return false;
    AddDialog(window_);
    if (owner_ && IsWindowEnabled(owner_)) {
        EnableWindow(owner_, FALSE);
        ownerDisabled_ = true;
    }
    // A message is text, not a caption with mnemonics.
    HWND message = GetDlgItem(window_, kProgressMessage);
    SetWindowLongPtrW(message, GWL_STYLE, GetWindowLongPtrW(message, GWL_STYLE) | SS_NOPREFIX);
    SetRange(state_.Low(), state_.High());
    SetButtons(state_.Flags(), true, std::nullopt);
    return true;
}

INT_PTR CALLBACK ProgressWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return TRUE;
    }
    auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
        case WM_COMMAND:
            // The button and Escape only mark the press; the command that
            // made the window reads it and ends the window.
            if (LOWORD(wParam) == IDCANCEL) self->state_.PressCancel();
            return TRUE;
        case WM_CLOSE: return TRUE;  // no close box: the command ends it
        default: return FALSE;
    }
}

void ProgressWindow::SetMessage(std::string_view text) {
    HWND field = GetDlgItem(window_, kProgressMessage);
    EnableWindow(field, TRUE);
    SetWindowTextW(field, WithCrLf(WithoutDoubledAmpersands(std::string(text))).c_str());
    UpdateWindow(window_);
}

void ProgressWindow::SetButtons(int flags, bool centre, std::optional<std::string_view> title) {
    state_.SetFlags(flags);
    if (title) SetWindowTextUtf8(window_, *title);
    HWND button = GetDlgItem(window_, IDCANCEL);
    SetWindowTextUtf8(button, state_.ButtonText());
    EnableWindow(button, state_.ButtonEnabled());
    if (state_.ButtonEnabled()) SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
    EnableWindow(GetDlgItem(window_, kProgressBar), state_.BarEnabled());

    // Cut at the top of the button or of the bar: the client area's height
    // in dialog units, the frame around it as the system draws it.
    RECT client{0, 0, kProgressWidth, state_.HeightUnits()};
    MapDialogRect(window_, &client);
    AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)));
    SetWindowPos(window_, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (centre) CentreOver(window_, owner_);
    ShowWindow(window_, SW_SHOW);
    SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void ProgressWindow::SetTitle(std::string_view title) { SetWindowTextUtf8(window_, title); }

void ProgressWindow::SetButtonText(std::string_view text) {
    SetWindowTextUtf8(GetDlgItem(window_, IDCANCEL), text);
}

void ProgressWindow::SetRange(int low, int high) {
    state_.SetRange(low, high);
    SendDlgItemMessageW(window_, kProgressBar, PBM_SETRANGE32, static_cast<WPARAM>(state_.Low()),
                        static_cast<LPARAM>(state_.High()));
    SendDlgItemMessageW(window_, kProgressBar, PBM_SETPOS, static_cast<WPARAM>(state_.Position()), 0);
}

void ProgressWindow::SetStep(int step) { state_.SetStep(step); }

void ProgressWindow::ShowState() {
    SetWindowTextUtf8(window_, state_.Title());
    // The bar is placed, never stepped: its own step is 10 unless told.
    SendDlgItemMessageW(window_, kProgressBar, PBM_SETPOS, static_cast<WPARAM>(state_.Position()), 0);
}

int ProgressWindow::SetPos(int n) {
    PumpMessages();
    const int previous = state_.SetPos(n);
    ShowState();
    return previous;
}

int ProgressWindow::StepIt() {
    PumpMessages();
    const int previous = state_.StepIt();
    ShowState();
    return previous;
}

void ProgressWindow::PumpMessages() { PumpPending(); }

int ProgressWindow::CheckCancel() {
    if (!state_.CancelPolling()) return 0;
    PumpMessages();
    return state_.TakeCancel();
}

void ProgressWindow::SetIcon(int icon) {
    HICON shown = nullptr;
    if (icon == kIconInformation || icon == kIconExclamation || icon == kIconError) {
        shown = LoadIconW(nullptr, MAKEINTRESOURCEW(icon));
    }
    SendDlgItemMessageW(window_, kProgressIcon, STM_SETICON, reinterpret_cast<WPARAM>(shown), 0);
}

std::unique_ptr<ProgressSink> Win32ProgressFactory::CreateProgress(int flags) {
    auto window = std::make_unique<ProgressWindow>(flags, owner_);
    if (!window->Create()) return nullptr;
    return window;
}

}  // namespace quillon::gui::win32
