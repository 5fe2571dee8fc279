#pragma once
// The progress window on a terminal: each message is printed on standard
// error; the bar and title are not shown. A console has no button, so a
// window waiting for "Ok" is acknowledged at once and "Cancel" is never
// pressed (an interrupt ends the program instead).

#include <iosfwd>

#include "app/progress_sink.hpp"

namespace quillon {

class ConsoleProgress final : public ProgressSink {
  public:
    explicit ConsoleProgress(std::ostream& out) : out_(out) {}

    void SetMessage(std::string_view text) override;
    void SetButtons(int flags, bool centre, std::optional<std::string_view> title) override;
    void SetTitle(std::string_view) override {}
    void SetButtonText(std::string_view) override {}
    void SetRange(int, int) override {}
    void SetStep(int step) override { step_ = step; }
    int SetPos(int n) override;
    int StepIt() override;
    void PumpMessages() override {}
    int CheckCancel() override;
    void SetIcon(int) override {}

  private:
    std::ostream& out_;
    int flags_ = 13;
    int step_ = 1;
    int pos_ = 0;
};

}  // namespace quillon
