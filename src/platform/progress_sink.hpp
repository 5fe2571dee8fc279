#pragma once
// The progress window as the operations see it: a message, a bar, one button
// and a poll for Cancel. Every call that may take a moment pumps the user
// interface, which keeps it alive while an operation blocks on the line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// Flag bits of SetButtons.
enum ProgressFlags : int {
    kProgressButtonOk = 1,      // button text "Ok"
    kProgressButtonCancel = 2,  // button text "Cancel" (when bit 0 is clear)
    kProgressButtonEnabled = 4, // button enabled and focused, cancel polling on
    kProgressBarEnabled = 8,
};

// Standard icons of SetIcon.
enum ProgressIcon : int {
    kIconNone = 0,
    kIconError = 32513,
    kIconExclamation = 32515,
    kIconInformation = 32516,
};

class ProgressSink {
public:
    virtual ~ProgressSink() = default;

    virtual void SetMessage(std::string_view text) = 0;
    // flags -1 means 13. A title, when given, replaces the window title.
    virtual void SetButtons(int flags, bool centre, std::optional<std::string_view> title) = 0;
    virtual void SetTitle(std::string_view title) = 0;
    // Sets the caption of the button without changing its state or polling.
    virtual void SetButtonText(std::string_view text) = 0;
    virtual void SetRange(int low, int high) = 0;
    virtual void SetStep(int step) = 0;
    // Pumps messages, shows "%d / %d" with n and the range high as the title,
    // moves the bar; returns the previous position.
    virtual int SetPos(int n) = 0;
    // Pumps messages, title "%d / %d" with position + 1, advances the bar.
    virtual int StepIt() = 0;
    virtual void PumpMessages() = 0;
    // 0 at once without pumping when polling is off; otherwise pumps, then
    // returns and clears the remembered press of the button (1 or 0).
    virtual int CheckCancel() = 0;
    virtual void SetIcon(int icon) = 0;
    // Each step of the bar set last stands for `bytesPerStep` bytes of flash,
    // and a bar run to its end means `doneVerb` ("Programmed"): a console can
    // then count bytes and rates. The window ignores it; SetRange forgets it.
    virtual void SetUnit(std::uint32_t bytesPerStep, std::string_view doneVerb) {
        (void)bytesPerStep;
        (void)doneVerb;
    }

    // A remark on how the step goes (a line far slower than its rate),
    // shown beside the step's message without replacing it. Ignored where
    // there is no room for one.
    virtual void Note(std::string_view text) { (void)text; }

    void Reset(int low, int high, int step, int position) {
        SetRange(low, high);
        SetStep(step);
        SetPos(position);
    }
};

}  // namespace quillon
