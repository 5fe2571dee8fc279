#pragma once
// The progress window on a terminal. With `live` (standard error is a
// terminal) a bar is redrawn in place: for flash data the KiB done and in
// all, the percentage, the rate in KiB/s and the time left, else the steps;
// otherwise plain lines: each message, and the position at most once a
// second. A bar run to its end prints its last step, or for flash data a
// summary ("Programmed 256.0 KiB in 23.3 s (11.0 KiB/s)"). Ctrl-C presses
// Cancel where the operation polls for it, shown or not; an enabled "Ok" is
// acknowledged at once, since the outcome has been printed already.

#include <chrono>
#include <iosfwd>
#include <memory>
#include <string>

#include "app/progress_factory.hpp"
#include "platform/clock.hpp"

namespace quillon {

// Installs the Ctrl-C handler that the progress sinks poll. Each Ctrl-C
// says at once that the run is being cancelled; none ends the program on
// the spot.
void InstallInterruptHandler();
// True once Ctrl-C was pressed since the last call.
bool TakeInterrupt();
// True when Ctrl-C was pressed and not taken: every board of a gang sees it.
bool InterruptPending();
// True once Ctrl-C was pressed in this run, taken or not: the run was
// cancelled (exit status 130) unless it ended well before it could stop.
bool CancelRequested();
// Presses Ctrl-C (for tests), and forgets every press (a new run).
void RequestInterrupt();
void ClearInterrupts();

class ConsoleProgress final : public ProgressSink {
  public:
    explicit ConsoleProgress(std::ostream& out, bool live = false, int flags = 13,
                             Clock& clock = SystemClock());
    ~ConsoleProgress() override;

    void SetMessage(std::string_view text) override;
    void SetButtons(int flags, bool centre, std::optional<std::string_view> title) override;
    void SetTitle(std::string_view title) override;
    void SetButtonText(std::string_view text) override { buttonText_ = std::string(text); }
    void SetRange(int low, int high) override;
    void SetStep(int step) override { step_ = step; }
    int SetPos(int n) override;
    int StepIt() override;
    void PumpMessages() override {}
    int CheckCancel() override;
    void SetIcon(int) override {}
    void SetUnit(std::uint32_t bytesPerStep, std::string_view doneVerb) override;

  private:
    void Draw();
    void DrawBar(int done, int span, std::uint32_t elapsedMs);
    void PrintEnd(int span, std::uint32_t elapsedMs);
    void EndBarLine();
    std::uint32_t ElapsedMs() const;

    std::ostream& out_;
    bool live_;
    int flags_ = 13;
    bool polling_ = false;
    std::string buttonText_;
    std::string title_;
    std::string message_;
    int low_ = 0, high_ = 100, step_ = 1, pos_ = 0;
    std::uint32_t bytesPerStep_ = 0;  // 0: the bar counts steps, not flash data
    std::string doneVerb_;
    bool barShown_ = false;
    int barDone_ = 0;  // the steps the bar shown last counts
    bool ended_ = false;  // the bar reached its end and said so
    Clock& clock_;
    std::uint32_t rangeStart_ = 0;
    std::uint32_t lastShown_ = 0;  // when the bar or a plain line was last shown
};

class ConsoleProgressFactory final : public ProgressFactory {
  public:
    ConsoleProgressFactory(std::ostream& out, bool live, Clock& clock = SystemClock())
        : out_(out), live_(live), clock_(clock) {}
    std::unique_ptr<ProgressSink> CreateProgress(int flags) override {
        return std::make_unique<ConsoleProgress>(out_, live_, flags, clock_);
    }

  private:
    std::ostream& out_;
    bool live_;
    Clock& clock_;
};

}  // namespace quillon
