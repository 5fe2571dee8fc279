#pragma once
// The steps a session ran, for a record a line controller reads: each step's
// name, when it started and how long it took, the bytes of flash it covered,
// and the outcome reported during it.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.hpp"

namespace quillon {

struct StepRecord {
    std::string name;         // "download", "erase", "program", ...
    TimeStamp start;
    std::int64_t durationMs = 0;
    std::uint64_t bytes = 0;  // flash (or control program) the step covered; 0 when none
    bool ok = true;           // false when it failed, was cancelled or declined
    bool reported = false;    // an outcome was reported during the step
    int code = 0;
    int severity = 0;
    std::string resultText;   // the outcome as MESSFILE.TXT holds it
};

class StepJournal {
  public:
    const std::vector<StepRecord>& Steps() const { return steps_; }
    // A failure told without a report (a box or a console line): the step
    // now running, if any, failed with `text` as its outcome.
    void NoteFailure(const std::string& text);

  private:
    friend class JournalStep;
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<StepRecord> steps_;
    std::size_t running_ = kNone;  // the innermost step not yet ended
};

struct OperationContext;

// One step in the session's journal, from its construction to its end.
class JournalStep {
  public:
    JournalStep(OperationContext& ctx, std::string name, std::uint64_t bytes = 0);
    ~JournalStep();
    // How the step ended when its report alone does not say: a cancel or a
    // declined question ends a step without one. Returns `ok`.
    bool Ended(bool ok);
    JournalStep(const JournalStep&) = delete;
    JournalStep& operator=(const JournalStep&) = delete;

  private:
    OperationContext& ctx_;
    std::size_t index_;
    std::size_t outer_;  // the step running when this one began
    int reportsBefore_;
};

// The bytes of flash in the session's operation ranges.
std::uint64_t RangeBytes(const OperationContext& ctx);
// The size of the control program the selected chip's download sends (0
// when its file cannot be had).
std::uint64_t ControlProgramBytes(const OperationContext& ctx);

}  // namespace quillon
