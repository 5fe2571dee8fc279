#include "cli/console_progress.hpp"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "config/catalog.hpp"
#include "cli/console_prompt.hpp"

namespace quillon {

namespace {

std::atomic<bool> gInterrupted{false};

extern "C" void OnInterrupt(int) {
    // A second Ctrl-C before an operation polled for the first: the user
    // wants out now (the system closes the port with the process).
    if (gInterrupted.exchange(true)) std::_Exit(130);
}

// Catalog texts may begin with a blank that only lines them up in the
// window, and keep "&&" for its mnemonics; a terminal shows neither.
std::string Shown(std::string_view text) {
    std::string shown = WithoutDoubledAmpersands(ConsoleText(text));
    const std::size_t first = shown.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : shown.substr(first);
}

}  // namespace

void InstallInterruptHandler() { std::signal(SIGINT, OnInterrupt); }
bool TakeInterrupt() { return gInterrupted.exchange(false); }
void RequestInterrupt() { gInterrupted.store(true); }

ConsoleProgress::ConsoleProgress(std::ostream& out, bool live, int flags)
    : out_(out), live_(live), rangeStart_(std::chrono::steady_clock::now()) {
    SetButtons(flags, false, std::nullopt);
}

ConsoleProgress::~ConsoleProgress() { EndBarLine(); }

void ConsoleProgress::EndBarLine() {
    if (!barShown_) return;
    out_ << '\n' << std::flush;
    barShown_ = false;
}

void ConsoleProgress::SetMessage(std::string_view text) {
    message_ = Shown(text);
    EndBarLine();
    out_ << message_ << std::endl;
    lastTenth_ = -1;
}

void ConsoleProgress::SetButtons(int flags, bool, std::optional<std::string_view> title) {
    flags_ = flags == -1 ? 13 : flags;
    polling_ = (flags_ & kProgressButtonEnabled) != 0;
    buttonText_ = (flags_ & kProgressButtonOk)       ? "Ok"
                  : (flags_ & kProgressButtonCancel) ? "Cancel"
                                                     : "";
    if (title) SetTitle(*title);
}

void ConsoleProgress::SetTitle(std::string_view title) {
    if (title == title_) return;
    title_ = std::string(title);
    EndBarLine();
    out_ << "== " << title_ << std::endl;
}

void ConsoleProgress::SetRange(int low, int high) {
    low_ = low;
    high_ = high;
    rangeStart_ = std::chrono::steady_clock::now();
    lastTenth_ = -1;
}

int ConsoleProgress::SetPos(int n) {
    const int previous = pos_;
    pos_ = n;
    Draw();
    return previous;
}

int ConsoleProgress::StepIt() {
    const int previous = pos_;
    pos_ += step_;
    Draw();
    return previous;
}

int ConsoleProgress::CheckCancel() {
    if (!polling_) return 0;
    if (TakeInterrupt()) return 1;
    return buttonText_ == "Ok" || buttonText_ == "OK" ? 1 : 0;
}

void ConsoleProgress::Draw() {
    if ((flags_ & kProgressBarEnabled) == 0 || high_ <= low_) return;
    const int span = high_ - low_;
    const int done = std::min(std::max(pos_ - low_, 0), span);
    const auto now = std::chrono::steady_clock::now();
    if (live_) {
        if (barShown_ && done != span && now - lastDraw_ < std::chrono::milliseconds(100)) return;
        lastDraw_ = now;
        constexpr int kWidth = 30;
        const int filled = static_cast<int>(static_cast<long long>(done) * kWidth / span);
        const double seconds = std::chrono::duration<double>(now - rangeStart_).count();
        char rate[32] = "";
        if (seconds > 0.2 && done > 0) std::snprintf(rate, sizeof rate, "  %.1f/s", done / seconds);
        out_ << '\r' << '[' << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(kWidth - filled), '-') << "] " << pos_ << " / "
             << high_ << rate << "  " << message_ << "\x1b[K" << std::flush;
        barShown_ = true;
        return;
    }
    const int tenth = static_cast<int>(static_cast<long long>(done) * 10 / span);
    if (tenth == lastTenth_) return;
    lastTenth_ = tenth;
    out_ << "  " << pos_ << " / " << high_ << std::endl;
}

}  // namespace quillon
