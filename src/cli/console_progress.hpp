#pragma once
// The progress window on a terminal: a live bar with the step text,
// position/total and rate when standard error is a terminal, plain lines
// otherwise. Ctrl-C presses Cancel where the operation polls for it; an "Ok"
// button is pressed at once, since the outcome has been printed.

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "app/progress_sink.hpp"

namespace quillon::cli {

// Installs the Ctrl-C handler that the progress sinks poll.
void InstallInterruptHandler();
// True once Ctrl-C was pressed since the last TakeInterrupt.
bool TakeInterrupt();
// Presses Ctrl-C (for tests).
void RequestInterrupt();

class ConsoleProgress final : public ProgressSink {
public:
    ConsoleProgress(int flags, std::FILE* out, bool live);
    ~ConsoleProgress() override;

    void SetMessage(std::string_view text) override;
    void SetButtons(int flags, bool centre, std::optional<std::string_view> title) override;
    void SetTitle(std::string_view title) override;
    void SetButtonText(std::string_view text) override;
    void SetRange(int low, int high) override;
    void SetStep(int step) override;
    int SetPos(int n) override;
    int StepIt() override;
    void PumpMessages() override {}
    int CheckCancel() override;
    void SetIcon(int icon) override { icon_ = icon; }

private:
    void Draw(bool force);
    void EndBarLine();

    std::FILE* out_;
    bool live_;
    int flags_ = 13;
    bool polling_ = false;
    std::string buttonText_;
    std::string title_;
    std::string message_;
    int low_ = 0, high_ = 100, step_ = 1, pos_ = 0;
    int icon_ = 0;
    bool barShown_ = false;
    int lastPrintedTenth_ = -1;
    std::chrono::steady_clock::time_point rangeStart_;
    std::chrono::steady_clock::time_point lastDraw_;
};

class ConsoleProgressFactory final : public ProgressFactory {
public:
    explicit ConsoleProgressFactory(std::FILE* out);
    std::unique_ptr<ProgressSink> CreateProgress(int flags) override;

private:
    std::FILE* out_;
    bool live_;
};

}  // namespace quillon::cli
