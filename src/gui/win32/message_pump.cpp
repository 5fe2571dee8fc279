#include "gui/win32/message_pump.hpp"

#include <algorithm>
#include <vector>

namespace quillon::gui::win32 {

namespace {

std::vector<HWND>& Dialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}

KeyFilter keyFilter = nullptr;
void* keyContext = nullptr;

}  // namespace

void AddDialog(HWND dialog) { Dialogs().push_back(dialog); }

void RemoveDialog(HWND dialog) {
    auto& dialogs = Dialogs();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), dialog), dialogs.end());
}

void SetKeyFilter(KeyFilter filter, void* context) {
    keyFilter = filter;
    keyContext = context;
}

void Dispatch(MSG& msg) {
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && keyFilter &&
        keyFilter(msg, keyContext)) {
        return;
    }
    // The latest dialog first: a progress window over the main window.
    const auto& dialogs = Dialogs();
    for (auto it = dialogs.rbegin(); it != dialogs.rend(); ++it) {
        if (IsDialogMessageW(*it, &msg)) return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Left for the loop that owns the program.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

void RunMessageLoop(HWND window) {
    MSG msg;
    while (IsWindow(window) && GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
}

}  // namespace quillon::gui::win32
