#include "gui/progress_state.hpp"

#include <algorithm>

#include "platform/progress_sink.hpp"

namespace quillon::gui {

void ProgressState::SetFlags(int flags) { flags_ = flags == -1 ? 13 : flags; }

std::string ProgressState::ButtonText() const {
    if (flags_ & kProgressButtonOk) return "Ok";
    if (flags_ & kProgressButtonCancel) return "Cancel";
    return {};
}

bool ProgressState::ButtonEnabled() const { return (flags_ & kProgressButtonEnabled) != 0; }

bool ProgressState::BarEnabled() const { return (flags_ & kProgressBarEnabled) != 0; }

int ProgressState::HeightUnits() const {
    if (flags_ == 0) return kProgressBarTop;
    if (flags_ == kProgressBarEnabled) return kProgressButtonTop;
    return kProgressHeight;
}

void ProgressState::SetRange(int low, int high) {
    low_ = low;
    high_ = std::max(low, high);
    position_ = std::clamp(position_, low_, high_);
}

int ProgressState::SetPos(int n) {
    const int previous = position_;
    title_ = std::to_string(n) + " / " + std::to_string(high_);
    // A bar cannot show a place outside its range: it stops at the ends.
    position_ = std::clamp(n, low_, high_);
    return previous;
}

int ProgressState::StepIt() {
    const int previous = position_;
    title_ = std::to_string(previous + 1) + " / " + std::to_string(high_);
    int next = previous + step_;
    // The bar wraps to its start when stepped past the end, as such bars do.
    if (next > high_) next = low_ + (next - high_);
    position_ = std::clamp(next, low_, high_);
    return previous;
}

int ProgressState::TakeCancel() {
    if (!CancelPolling()) return 0;
    const int pressed = cancelRequested_ ? 1 : 0;
    cancelRequested_ = false;
    return pressed;
}

}  // namespace quillon::gui
