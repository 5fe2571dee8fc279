#pragma once
// The progress window on a terminal. With `live` (standard error is a
// terminal) a bar with the step text, position/total and rate is redrawn in
// place; otherwise plain lines: each message, and the position every tenth of
// the way. Ctrl-C presses Cancel where the operation polls for it; an enabled
// "Ok" is acknowledged at once, since the outcome has been printed already.

#include <chrono>
#include <iosfwd>
#include <memory>
#include <string>

#include "app/progress_factory.hpp"

namespace quillon {

// Installs the Ctrl-C handler that the progress sinks poll; a second Ctrl-C
// before the first was seen ends the program.
void InstallInterruptHandler();
// True once Ctrl-C was pressed since the last call.
bool TakeInterrupt();
// Presses Ctrl-C (for tests).
void RequestInterrupt();

class ConsoleProgress final : public ProgressSink {
  public:
    explicit ConsoleProgress(std::ostream& out, bool live = false, int flags = 13);
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

  private:
    void Draw();
    void EndBarLine();

    std::ostream& out_;
    bool live_;
    int flags_ = 13;
    bool polling_ = false;
    std::string buttonText_;
    std::string title_;
    std::string message_;
    int low_ = 0, high_ = 100, step_ = 1, pos_ = 0;
    bool barShown_ = false;
    int lastTenth_ = -1;
    std::chrono::steady_clock::time_point rangeStart_;
    std::chrono::steady_clock::time_point lastDraw_;
};

class ConsoleProgressFactory final : public ProgressFactory {
  public:
    ConsoleProgressFactory(std::ostream& out, bool live) : out_(out), live_(live) {}
    std::unique_ptr<ProgressSink> CreateProgress(int flags) override {
        return std::make_unique<ConsoleProgress>(out_, live_, flags);
    }

  private:
    std::ostream& out_;
    bool live_;
};

}  // namespace quillon
