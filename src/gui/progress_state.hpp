#pragma once
// What the progress window shows and remembers, whatever draws it: the
// button and bar from the flags, the height the window is cut to, the
// "n / high" title, the bar's position (wrapping to its start when stepped
// past the end) and a press of the button (or Escape) latched until the
// command polls for it.

#include <string>

namespace quillon::gui {

// The window and the places it is cut at, in dialog units.
inline constexpr int kProgressWidth = 215;
inline constexpr int kProgressHeight = 103;
inline constexpr int kProgressButtonTop = 85;  // without the button
inline constexpr int kProgressBarTop = 65;     // without the bar

class ProgressState {
public:
    explicit ProgressState(int flags) { SetFlags(flags); }

    // flags -1 stands for 13.
    void SetFlags(int flags);
    int Flags() const { return flags_; }
    // "Ok", "Cancel" or empty.
    std::string ButtonText() const;
    // An enabled button is focused and turns cancel polling on.
    bool ButtonEnabled() const;
    bool CancelPolling() const { return ButtonEnabled(); }
    bool BarEnabled() const;
    // The window's height in dialog units: without the bar for flags 0,
    // without the button for the bar alone, else whole.
    int HeightUnits() const;

    void SetRange(int low, int high);
    int Low() const { return low_; }
    int High() const { return high_; }
    void SetStep(int step) { step_ = step; }
    // Both return the previous position; the title follows.
    int SetPos(int n);
    int StepIt();
    int Position() const { return position_; }
    const std::string& Title() const { return title_; }

    // The button or Escape was pressed.
    void PressCancel() { cancelRequested_ = true; }
    // 1 when a press is latched (and forgets it), else 0; always 0 without
    // polling, the press then kept for later.
    int TakeCancel();

private:
    int flags_ = 13;
    int low_ = 0, high_ = 100, step_ = 1, position_ = 0;
    std::string title_;
    bool cancelRequested_ = false;
};

}  // namespace quillon::gui
