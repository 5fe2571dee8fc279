#pragma once
// The person at the front end as the link and the flash operations meet
// them: the progress window of the running command (when one is open), the
// questions they answer, the outcomes they are told, the language they read,
// whether anybody is there at all (batch mode), and the step a run is in.
// The application implements it; tests record what it is asked.

#include <cstdint>
#include <optional>
#include <string_view>

#include "config/outcome.hpp"
#include "platform/clock.hpp"
#include "platform/language.hpp"
#include "platform/progress_sink.hpp"
#include "platform/user_prompt.hpp"

namespace quillon {

class Operator {
  public:
    virtual ~Operator() = default;
    // The running command's progress window; null when none is open.
    virtual ProgressSink* Progress() = 0;
    virtual PromptAnswer Ask(const PromptRequest& request) = 0;
    // Tells an outcome once: shown, sounded and put in the result file.
    // After a severe one (severity 2 or 3) the port is closed and the
    // control program must be downloaded again.
    virtual void Tell(const Outcome& outcome) = 0;
    virtual Language language() const = 0;
    // Batch mode: nobody answers questions or presses buttons.
    virtual bool Unattended() const = 0;
    // The step now running, which a run that ends without an outcome names.
    virtual void NoteStep(std::string_view text) = 0;
    // The user cancelled the step now running (the Cancel button, Ctrl-C).
    // Nothing is told; a run nobody watches says that it was cancelled.
    virtual void NoteCancel() = 0;
};

// The progress window's calls, doing nothing when there is no window.
inline void ShowButtons(Operator& op, int flags, bool centre = false,
                        std::optional<std::string_view> title = std::nullopt) {
    if (ProgressSink* p = op.Progress()) p->SetButtons(flags, centre, title);
}
inline void ShowMessage(Operator& op, std::string_view text) {
    if (ProgressSink* p = op.Progress()) p->SetMessage(text);
}
// The message that names a step: shown, and noted as the step running.
inline void ShowStep(Operator& op, std::string_view text) {
    op.NoteStep(text);
    ShowMessage(op, text);
}
inline void ResetBar(Operator& op, int low, int high) {
    if (ProgressSink* p = op.Progress()) p->Reset(low, high, 1, low);
}
inline void SetBarPos(Operator& op, int n) {
    if (ProgressSink* p = op.Progress()) p->SetPos(n);
}
inline void StepBar(Operator& op) {
    if (ProgressSink* p = op.Progress()) p->StepIt();
}
inline void CountBytes(Operator& op, std::uint32_t bytesPerStep, std::string_view doneVerb) {
    if (ProgressSink* p = op.Progress()) p->SetUnit(bytesPerStep, doneVerb);
}
// 1 when the user pressed the progress window's button since the last poll.
inline int PollCancel(Operator& op) {
    ProgressSink* p = op.Progress();
    return p ? p->CheckCancel() : 0;
}

// Waits until the progress window's button is pressed (CheckCancel with
// 10 ms sleeps). Returns at once when there is no progress window.
void WaitForProgressButton(Operator& op, Clock& clock);

}  // namespace quillon
