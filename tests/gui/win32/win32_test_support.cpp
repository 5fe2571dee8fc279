#include "win32_test_support.hpp"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include "gui/win32/message_pump.hpp"
#include "gui/win32/win32_text.hpp"

namespace quillon::gui::win32::testing {

namespace {

Autopilot* gPilot = nullptr;

BOOL CALLBACK CollectText(HWND child, LPARAM seen) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (lstrcmpiW(name, L"Static") == 0 && GetWindowTextLengthW(child) > 0) {
        auto* text = reinterpret_cast<std::string*>(seen);
        if (!text->empty()) *text += "\n";
        *text += WindowText(child);
    }
    return TRUE;
}

}  // namespace

Autopilot::Autopilot() {
    gPilot = this;
    // The windows there already (the main window) are not what it waits for.
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            SetPropW(window, L"QuillonSeen", reinterpret_cast<HANDLE>(1));
            return TRUE;
        },
        0);
    hook_ = SetWindowsHookExW(WH_CBT, &Autopilot::Hook, nullptr, GetCurrentThreadId());
}

Autopilot::~Autopilot() {
    UnhookWindowsHookEx(hook_);
    gPilot = nullptr;
}

Autopilot& Autopilot::Then(Action action) {
    actions_.push_back(std::move(action));
    return *this;
}

LRESULT CALLBACK Autopilot::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && gPilot) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        // A progress window comes and goes with its command: not a box.
        const bool dialog = lstrcmpW(name, L"#32770") == 0 && !GetDlgItem(window, 1103);
        // Activated again (after a box of its own), a window is not new.
        if (dialog && GetPropW(window, L"QuillonSeen") == nullptr) {
            SetPropW(window, L"QuillonSeen", reinterpret_cast<HANDLE>(1));
            Seen seen{WindowText(window), {}};
            EnumChildWindows(window, &CollectText, reinterpret_cast<LPARAM>(&seen.text));
            gPilot->seen.push_back(seen);
            if (gPilot->next_ < gPilot->actions_.size()) {
                gPilot->actions_[gPilot->next_++](window);
            } else {
                ++gPilot->unexpected;
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Later(std::function<void()> action) {
    static std::vector<std::function<void()>> queue;
    queue.push_back(std::move(action));
    SetTimer(nullptr, 0, 0, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (queue.empty()) return;
        std::function<void()> next = std::move(queue.front());
        queue.erase(queue.begin());
        next();
    });
}

Autopilot::Action Press(int id) {
    return [id](HWND window) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); };
}

void DropFile(HWND window, const std::string& path) {
    const std::wstring wide = Wide(path);
    const std::size_t bytes = sizeof(DROPFILES) + (wide.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(drop) + sizeof(DROPFILES));
    wide.copy(names, wide.size());
    GlobalUnlock(memory);
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

void Settle() { PumpPending(); }

}  // namespace quillon::gui::win32::testing

// The common controls of version 6, as the program's manifest asks for.
int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                                                       ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
