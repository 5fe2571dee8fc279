#include "cli/console_progress.hpp"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ostream>
#include <string>

#include "config/catalog.hpp"
#include "cli/console_prompt.hpp"
#include "platform/console.hpp"

namespace quillon {

namespace {

std::atomic<bool> gInterrupted{false};  // not yet seen by a poll
std::atomic<bool> gCancelled{false};    // Ctrl-C since the run began

void OnInterrupt() {
    // Never an end on the spot: that would leave half a flash and no
    // outcome. Every Ctrl-C only says that the run is being cancelled.
    const bool again = gCancelled.exchange(true);
    gInterrupted.store(true);
    SayAtOnce(again ? "\nquillon-cli: still cancelling: the run stops as soon as it can\n"
                    : "\nquillon-cli: cancelling (Ctrl-C): the run stops at the next point "
                      "where it can\n");
}

// Catalog texts may begin with a blank that only lines them up in the
// window, and keep "&&" for its mnemonics; a terminal shows neither.
std::string Shown(std::string_view text) {
    std::string shown = WithoutDoubledAmpersands(ConsoleText(text));
    const std::size_t first = shown.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : shown.substr(first);
}

}  // namespace

void InstallInterruptHandler() { OnConsoleInterrupt(OnInterrupt); }
bool TakeInterrupt() { return gInterrupted.exchange(false); }
bool InterruptPending() { return gInterrupted.load(); }
bool CancelRequested() { return gCancelled.load(); }
void RequestInterrupt() {
    gCancelled.store(true);
    gInterrupted.store(true);
}
void ClearInterrupts() {
    gCancelled.store(false);
    gInterrupted.store(false);
}

ConsoleProgress::ConsoleProgress(std::ostream& out, bool live, int flags, Clock& clock)
    : out_(out), live_(live), clock_(clock), rangeStart_(clock.TickMs()) {
    SetButtons(flags, false, std::nullopt);
}

ConsoleProgress::~ConsoleProgress() { EndBarLine(); }

void ConsoleProgress::EndBarLine() {
    if (!barShown_) return;
    // A bar back at its start (a step that set it to 0 when it was done)
    // says nothing: it is wiped rather than left above what follows.
    out_ << (barDone_ == 0 ? "\r\x1b[K" : "\n") << std::flush;
    barShown_ = false;
}

std::uint32_t ConsoleProgress::ElapsedMs() const { return clock_.TickMs() - rangeStart_; }

void ConsoleProgress::SetMessage(std::string_view text) {
    message_ = Shown(text);
    EndBarLine();
    out_ << message_ << std::endl;
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
    bytesPerStep_ = 0;
    doneVerb_.clear();
    ended_ = false;
    rangeStart_ = lastShown_ = clock_.TickMs();
}

void ConsoleProgress::SetUnit(std::uint32_t bytesPerStep, std::string_view doneVerb) {
    bytesPerStep_ = bytesPerStep;
    doneVerb_ = std::string(doneVerb);
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
    // Ctrl-C cancels wherever an operation polls, with or without a Cancel
    // button (batch mode shows none, but must stop all the same).
    if (TakeInterrupt()) return 1;
    if (!polling_) return 0;
    return buttonText_ == "Ok" || buttonText_ == "OK" ? 1 : 0;
}

namespace {

double KiB(double bytes) { return bytes / 1024.0; }

std::string Format(const char* format, double a, double b = 0, double c = 0) {
    char text[96];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

}  // namespace

void ConsoleProgress::Draw() {
    if ((flags_ & kProgressBarEnabled) == 0 || high_ <= low_) return;
    const int span = high_ - low_;
    const int done = std::min(std::max(pos_ - low_, 0), span);
    const std::uint32_t elapsed = ElapsedMs();
    if (done == span) {
        if (!ended_) PrintEnd(span, elapsed);
        return;
    }
    ended_ = false;
    const std::uint32_t sinceShown = clock_.TickMs() - lastShown_;
    if (live_) {
        if (barShown_ && sinceShown < 100) return;
        lastShown_ = clock_.TickMs();
        DrawBar(done, span, elapsed);
        return;
    }
    // Plain lines for a log: at most one a second, none for a quick step.
    if (sinceShown < 1000) return;
    lastShown_ = clock_.TickMs();
    const int percent = static_cast<int>(static_cast<long long>(done) * 100 / span);
    if (bytesPerStep_ != 0) {
        out_ << Format("  %.1f / %.1f KiB", KiB(double(done) * bytesPerStep_),
                       KiB(double(span) * bytesPerStep_))
             << "  " << percent << '%' << std::endl;
    } else {
        out_ << "  " << pos_ << " / " << high_ << "  " << percent << '%' << std::endl;
    }
}

void ConsoleProgress::DrawBar(int done, int span, std::uint32_t elapsedMs) {
    constexpr int kWidth = 30;
    const int filled = static_cast<int>(static_cast<long long>(done) * kWidth / span);
    const int percent = static_cast<int>(static_cast<long long>(done) * 100 / span);
    std::string counts;
    if (bytesPerStep_ != 0) {
        const double doneBytes = double(done) * bytesPerStep_;
        const double totalBytes = double(span) * bytesPerStep_;
        counts = Format("%.1f / %.1f KiB  ", KiB(doneBytes), KiB(totalBytes)) +
                 std::to_string(percent) + "%";
        // The rate and the time left once there is something to judge by.
        if (elapsedMs >= 200 && done > 0) {
            const double rate = KiB(doneBytes) / (elapsedMs / 1000.0);
            const int left = static_cast<int>(KiB(totalBytes - doneBytes) / rate + 0.5);
            counts += Format("  %.1f KiB/s", rate) + "  " + std::to_string(left / 60) + ":" +
                      (left % 60 < 10 ? "0" : "") + std::to_string(left % 60) + " left";
        }
    } else {
        counts = std::to_string(pos_) + " / " + std::to_string(high_) + "  " +
                 std::to_string(percent) + "%";
    }
    out_ << '\r' << '[' << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kWidth - filled), '-') << "] " << counts << "  "
         << message_ << "\x1b[K" << std::flush;
    barShown_ = true;
    barDone_ = done;
}

void ConsoleProgress::PrintEnd(int span, std::uint32_t elapsedMs) {
    ended_ = true;
    if (live_) DrawBar(span, span, elapsedMs);
    EndBarLine();
    if (bytesPerStep_ == 0) {
        if (!live_) out_ << "  " << pos_ << " / " << high_ << std::endl;
        return;
    }
    const double kib = KiB(double(span) * bytesPerStep_);
    const double seconds = elapsedMs / 1000.0;
    out_ << doneVerb_ << Format(" %.1f KiB in %.1f s", kib, seconds);
    if (seconds > 0) out_ << Format(" (%.1f KiB/s)", kib / seconds);
    out_ << std::endl;
}

}  // namespace quillon
