#include "cli/console_progress.hpp"

#include <atomic>
#include <csignal>

#include "app/catalog.hpp"

#ifndef _WIN32
#include <unistd.h>
#else
#include <io.h>
#endif

namespace quillon::cli {

namespace {

std::atomic<bool> gInterrupted{false};

extern "C" void OnInterrupt(int) { gInterrupted.store(true); }

bool IsTerminal(std::FILE* f) {
#ifdef _WIN32
    return _isatty(_fileno(f)) != 0;
#else
    return ::isatty(::fileno(f)) != 0;
#endif
}

// Texts keep "&&" for the window's mnemonic handling; a terminal shows "&".
std::string Shown(std::string_view text) { return WithoutDoubledAmpersands(std::string(text)); }

}  // namespace

void InstallInterruptHandler() { std::signal(SIGINT, OnInterrupt); }
bool TakeInterrupt() { return gInterrupted.exchange(false); }
void RequestInterrupt() { gInterrupted.store(true); }

ConsoleProgress::ConsoleProgress(int flags, std::FILE* out, bool live)
    : out_(out), live_(live), rangeStart_(std::chrono::steady_clock::now()) {
    SetButtons(flags, false, std::nullopt);
}

ConsoleProgress::~ConsoleProgress() { EndBarLine(); }

void ConsoleProgress::EndBarLine() {
    if (barShown_) {
        std::fputc('\n', out_);
        std::fflush(out_);
        barShown_ = false;
    }
}

void ConsoleProgress::SetMessage(std::string_view text) {
    message_ = Shown(text);
    EndBarLine();
    std::fprintf(out_, "%s\n", message_.c_str());
    std::fflush(out_);
    lastPrintedTenth_ = -1;
}

void ConsoleProgress::SetButtons(int flags, bool, std::optional<std::string_view> title) {
    flags_ = flags == -1 ? 13 : flags;
    polling_ = (flags_ & kProgressButtonEnabled) != 0;
    buttonText_ = (flags_ & kProgressButtonOk) ? "Ok" : (flags_ & kProgressButtonCancel) ? "Cancel" : "";
    if (title) SetTitle(*title);
}

void ConsoleProgress::SetTitle(std::string_view title) {
    if (title == title_) return;
    title_ = std::string(title);
    EndBarLine();
    std::fprintf(out_, "== %s\n", title_.c_str());
    std::fflush(out_);
}

void ConsoleProgress::SetButtonText(std::string_view text) { buttonText_ = std::string(text); }

void ConsoleProgress::SetRange(int low, int high) {
    low_ = low;
    high_ = high;
    rangeStart_ = std::chrono::steady_clock::now();
    lastPrintedTenth_ = -1;
}

void ConsoleProgress::SetStep(int step) { step_ = step; }

int ConsoleProgress::SetPos(int n) {
    int previous = pos_;
    pos_ = n;
    Draw(false);
    return previous;
}

int ConsoleProgress::StepIt() {
    int previous = pos_;
    pos_ += step_;
    Draw(false);
    return previous;
}

int ConsoleProgress::CheckCancel() {
    if (!polling_) return 0;
    if (TakeInterrupt()) return 1;
    // An "Ok" button only acknowledges what has been printed already.
    if (buttonText_ == "Ok" || buttonText_ == "OK") return 1;
    return 0;
}

void ConsoleProgress::Draw(bool force) {
    if ((flags_ & kProgressBarEnabled) == 0 || high_ <= low_) return;
    const int span = high_ - low_;
    int done = pos_ - low_;
    if (done < 0) done = 0;
    if (done > span) done = span;
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - rangeStart_).count();
    if (live_) {
        if (!force && barShown_ && now - lastDraw_ < std::chrono::milliseconds(100) && done != span) {
            return;
        }
        lastDraw_ = now;
        constexpr int kWidth = 30;
        const int filled = static_cast<int>(static_cast<long long>(done) * kWidth / span);
        std::string bar(static_cast<std::size_t>(filled), '#');
        bar.append(static_cast<std::size_t>(kWidth - filled), '-');
        const double rate = seconds > 0.05 ? done / seconds : 0.0;
        std::fprintf(out_, "\r[%s] %d / %d  %.1f/s %s\x1b[K", bar.c_str(), pos_, high_, rate,
                     message_.c_str());
        std::fflush(out_);
        barShown_ = true;
        return;
    }
    // Plain output: a line every tenth of the way.
    const int percent = static_cast<int>(static_cast<long long>(done) * 100 / span);
    const int tenth = percent / 10;
    if (tenth == lastPrintedTenth_ && !force) return;
    lastPrintedTenth_ = tenth;
    std::fprintf(out_, "  %d / %d (%d%%)\n", pos_, high_, percent);
    std::fflush(out_);
}

ConsoleProgressFactory::ConsoleProgressFactory(std::FILE* out) : out_(out), live_(IsTerminal(out)) {}

std::unique_ptr<ProgressSink> ConsoleProgressFactory::CreateProgress(int flags) {
    return std::make_unique<ConsoleProgress>(flags, out_, live_);
}

}  // namespace quillon::cli
