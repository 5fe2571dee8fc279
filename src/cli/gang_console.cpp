#include "cli/gang_console.hpp"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <streambuf>

#include "app/console_text.hpp"
#include "app/unattended_run.hpp"
#include "cli/console_progress.hpp"
#include "config/catalog.hpp"
#include "platform/clock.hpp"

namespace quillon {

namespace {

// Lines written to it go to the terminal whole, with the board's port in
// front, so that the boards' threads never mix their output within a line.
class PrefixedLines final : public std::streambuf {
  public:
    PrefixedLines(std::ostream& out, std::mutex& lock, std::string prefix)
        : out_(out), lock_(lock), prefix_(std::move(prefix)) {}

  protected:
    int overflow(int c) override {
        if (c == traits_type::eof()) return 0;
        line_ += static_cast<char>(c);
        if (c == '\n') Emit();
        return c;
    }
    int sync() override { return 0; }

  private:
    void Emit() {
        const std::lock_guard<std::mutex> hold(lock_);
        out_ << prefix_ << line_ << std::flush;
        line_.clear();
    }
    std::ostream& out_;
    std::mutex& lock_;
    std::string prefix_;
    std::string line_;
};

}  // namespace

// What one board shows: its state for the live line, and (without a
// terminal) its own plain console progress writing prefixed lines.
struct GangConsole::Board final : ProgressFactory, UserPrompt {
    Board(std::ostream& err, std::mutex& lock, bool live, std::string port)
        : port(std::move(port)), lines(err, lock, this->port + ": "), plain(&lines),
          lock(lock), live(live) {}

    // --- ProgressFactory
    std::unique_ptr<ProgressSink> CreateProgress(int flags) override;

    // --- UserPrompt: once the operator reset every board at once, a
    // board's reset question is answered for it; nobody answers the others,
    // such as a port without the lines for the sequence.
    PromptAnswer Ask(const PromptRequest& request) override {
        plain << (request.caption.empty() ? "" : request.caption + ": ")
              << ConsoleText(request.text) << std::endl;
        if (resetDone && request.text.rfind("Please reset the microcontroller", 0) == 0) {
            return PromptAnswer::Ok;
        }
        switch (request.buttons) {
            case PromptButtons::Ok: return PromptAnswer::Ok;
            case PromptButtons::OkCancel: return PromptAnswer::Cancel;
            case PromptButtons::YesNo: return PromptAnswer::No;
        }
        return PromptAnswer::Cancel;
    }

    std::string port;
    bool resetDone = false;  // set before the board's thread starts
    PrefixedLines lines;
    std::ostream plain;
    std::mutex& lock;
    bool live;
    // The live line, under `lock`.
    std::string step;
    int low = 0, high = 0, pos = 0;
    std::uint32_t bytesPerStep = 0;
    std::uint32_t rangeStartMs = 0;
    std::string ending;  // "OK", "NG" once the board has ended
    std::string note;    // the last remark on how it went, told after the live lines
};

namespace {

// The board's progress window: its state for the live line, the plain
// console progress without a terminal, and Cancel for every board at once.
class BoardProgress final : public ProgressSink {
  public:
    BoardProgress(GangConsole::Board& board, int flags)
        : board_(board), plain_(board.plain, false, flags) {}

    void SetMessage(std::string_view text) override {
        std::string shown = OneLine(WithoutDoubledAmpersands(ConsoleText(text)));
        shown.erase(0, std::min(shown.size(), shown.find_first_not_of(' ')));
        Update([&] { board_.step = std::move(shown); });
        if (!board_.live) plain_.SetMessage(text);
    }
    void SetButtons(int flags, bool centre, std::optional<std::string_view> title) override {
        if (!board_.live) plain_.SetButtons(flags, centre, title);
    }
    void SetTitle(std::string_view title) override {
        if (!board_.live) plain_.SetTitle(title);
    }
    void SetButtonText(std::string_view text) override { plain_.SetButtonText(text); }
    void SetRange(int low, int high) override {
        Update([&] {
            board_.low = low;
            board_.high = high;
            board_.bytesPerStep = 0;
            board_.rangeStartMs = SystemClock().TickMs();
        });
        if (!board_.live) plain_.SetRange(low, high);
    }
    void SetStep(int step) override { plain_.SetStep(step); }
    int SetPos(int n) override {
        Update([&] { board_.pos = n; });
        return board_.live ? n : plain_.SetPos(n);
    }
    int StepIt() override {
        Update([&] { board_.pos += 1; });
        return board_.live ? board_.pos : plain_.StepIt();
    }
    void PumpMessages() override {}
    // Ctrl-C cancels every board, whatever its window polls for.
    int CheckCancel() override { return InterruptPending() ? 1 : 0; }
    void SetIcon(int) override {}
    void SetUnit(std::uint32_t bytesPerStep, std::string_view doneVerb) override {
        Update([&] { board_.bytesPerStep = bytesPerStep; });
        if (!board_.live) plain_.SetUnit(bytesPerStep, doneVerb);
    }
    // Between the live lines it would be drawn over: those boards keep it
    // for the end.
    void Note(std::string_view text) override {
        if (board_.live) {
            Update([&] { board_.note = std::string(text); });
        } else {
            plain_.Note(text);
        }
    }

  private:
    template <typename F>
    void Update(F change) {
        const std::lock_guard<std::mutex> hold(board_.lock);
        change();
    }
    GangConsole::Board& board_;
    ConsoleProgress plain_;
};

std::string LiveLine(const GangConsole::Board& b) {
    char text[160];
    std::string counts;
    const int span = b.high - b.low;
    if (span > 0) {
        const int done = std::clamp(b.pos - b.low, 0, span);
        const int percent = static_cast<int>(static_cast<long long>(done) * 100 / span);
        std::snprintf(text, sizeof text, "%3d%%", percent);
        counts = text;
        if (b.bytesPerStep != 0) {
            const double kib = double(done) * b.bytesPerStep / 1024.0;
            const double seconds = (SystemClock().TickMs() - b.rangeStartMs) / 1000.0;
            std::snprintf(text, sizeof text, "  %7.1f KiB", kib);
            counts += text;
            if (seconds >= 0.2 && done > 0) {
                std::snprintf(text, sizeof text, "  %6.1f KiB/s", kib / seconds);
                counts += text;
            }
        }
    }
    std::snprintf(text, sizeof text, "%-24.24s %-3s ", b.port.c_str(), b.ending.c_str());
    return text + (b.ending.empty() ? counts + "  " + b.step : b.step);
}

}  // namespace

std::unique_ptr<ProgressSink> GangConsole::Board::CreateProgress(int flags) {
    return std::make_unique<BoardProgress>(*this, flags);
}

GangConsole::GangConsole(std::ostream& err, bool live, std::vector<std::string> ports)
    : err_(err), live_(live) {
    for (std::string& port : ports) {
        boards_.push_back(std::make_unique<Board>(err, lock_, live, std::move(port)));
    }
}

GangConsole::~GangConsole() = default;

ProgressFactory& GangConsole::Progress(std::size_t i) { return *boards_.at(i); }
UserPrompt& GangConsole::Prompt(std::size_t i) { return *boards_.at(i); }

void GangConsole::AllBoardsReset() {
    for (const auto& b : boards_) b->resetDone = true;
}

void GangConsole::Refresh() {
    if (!live_) return;
    const std::lock_guard<std::mutex> hold(lock_);
    // Back over the lines drawn last time, then each board's line anew.
    if (drawn_) err_ << "\x1b[" << boards_.size() << 'A';
    for (const auto& b : boards_) err_ << '\r' << LiveLine(*b) << "\x1b[K\n";
    err_ << std::flush;
    drawn_ = true;
}

void GangConsole::Finish(std::size_t i, bool ok) {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        boards_.at(i)->ending = ok ? "OK" : "NG";
    }
    Refresh();
}

void GangConsole::Close() {
    Refresh();
    if (!live_) return;
    const std::lock_guard<std::mutex> hold(lock_);
    for (const auto& b : boards_) {
        if (!b->note.empty()) err_ << b->port << ": note: " << b->note << '\n';
    }
    err_ << std::flush;
}

}  // namespace quillon
