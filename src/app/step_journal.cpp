#include "app/step_journal.hpp"

#include "app/operation_context.hpp"
#include "config/outcome.hpp"
#include "config/result_file.hpp"
#include "link/control_program_file.hpp"
#include "platform/paths.hpp"

namespace quillon {

namespace {

std::int64_t MsBetween(const TimeStamp& a, const TimeStamp& b) {
    return (b.seconds - a.seconds) * 1000 + (b.milliseconds - a.milliseconds);
}

}  // namespace

JournalStep::JournalStep(OperationContext& ctx, std::string name, std::uint64_t bytes)
    : ctx_(ctx),
      index_(ctx.journal.steps_.size()),
      outer_(ctx.journal.running_),
      reportsBefore_(ctx.reportCount) {
    StepRecord record;
    record.name = std::move(name);
    record.start = ctx.clock.Now();
    record.bytes = bytes;
    ctx.journal.steps_.push_back(std::move(record));
    ctx.journal.running_ = index_;
}

JournalStep::~JournalStep() {
    ctx_.journal.running_ = outer_;
    StepRecord& record = ctx_.journal.steps_.at(index_);
    record.durationMs = MsBetween(record.start, ctx_.clock.Now());
    if (ctx_.reportCount != reportsBefore_ && ctx_.lastReport.recorded) {
        record.reported = true;
        record.code = ctx_.lastReport.code;
        record.severity = ctx_.lastReport.severity;
        record.resultText = ResultFileContents(ctx_.lastReport.code, ctx_.lastReport.text);
        if (record.severity != kSeverityInfo) record.ok = false;
    }
}

bool JournalStep::Ended(bool ok) {
    if (!ok) ctx_.journal.steps_.at(index_).ok = false;
    return ok;
}

void StepJournal::NoteFailure(const std::string& text) {
    if (running_ == kNone) return;
    StepRecord& record = steps_.at(running_);
    record.ok = false;
    if (record.resultText.empty()) record.resultText = text;
}

std::uint64_t ControlProgramBytes(const OperationContext& ctx) {
    const ChipSetup chip = ctx.Setup();
    const std::string file =
        ChooseControlProgramFile(chip.programDir, chip.Key("DownloadFile", 260), chip.crystalText);
    return FileSize(JoinPath(chip.programDir, file)).value_or(0);
}

std::uint64_t RangeBytes(const OperationContext& ctx) {
    std::uint64_t bytes = 0;
    for (int i = 0; i < ctx.ranges.rangeCount && i < kMaxRanges; ++i) {
        bytes += std::uint64_t{ctx.ranges.rangeEnd[i]} - ctx.ranges.rangeStart[i] + 1;
    }
    return bytes;
}

}  // namespace quillon
