#pragma once
// What the in-process tests of the Win32 view share: message boxes and
// dialogs answered from a WH_CBT hook as they appear, files dropped as the
// shell drops them, and the program's common controls made ready.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace quillon::gui::win32::testing {

// Acts on each box or dialog of this thread (not a progress window) as it
// becomes active, in order: one action per window, each recorded before its
// action runs.
class Autopilot {
public:
    using Action = std::function<void(HWND window)>;
    Autopilot();
    ~Autopilot();
    Autopilot& Then(Action action);
    bool Done() const { return next_ >= actions_.size(); }

    struct Seen {
        std::string caption;
        std::string text;  // every static text of the window, in order
    };
    std::vector<Seen> seen;
    int unexpected = 0;  // windows that came with no action left (closed)

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_ = nullptr;
    std::vector<Action> actions_;
    std::size_t next_ = 0;
};

// Runs `action` from the message loop, once what is being set up is up.
void Later(std::function<void()> action);

// Presses a button of a box (IDOK, IDCANCEL, IDYES, ...), once it is shown.
Autopilot::Action Press(int id);

// A WM_DROPFILES for `path` posted to `window`, handled before returning.
void DropFile(HWND window, const std::string& path);

// Hands every pending message to the program's pump.
void Settle();

}  // namespace quillon::gui::win32::testing
