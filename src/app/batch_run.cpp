#include "app/batch_run.hpp"

#include <cstdio>
#include <ostream>

#include "app/board_recording.hpp"
#include "app/console_text.hpp"
#include "app/full_operation.hpp"
#include "app/operation_context.hpp"
#include "app/session_trace.hpp"
#include "app/unattended_run.hpp"
#include "config/result_file.hpp"
#include "platform/file_replacement.hpp"
#include "platform/paths.hpp"

namespace quillon {


BatchOutcome RunBatch(OperationContext& ctx) {
    const std::string resultPath = JoinPath(ctx.programDir, kResultFileName);
    // Through a link a site made, never the link itself; a FIFO stays.
    RemoveOutputFile(resultPath);
    const RunEnding ending = RunUnattended(ctx, [&ctx] { OnFullOperation(ctx); });

    // The outcome is what this run recorded, never what a file on disk says:
    // an old result that could not be removed must not pass for this run's.
    BatchOutcome outcome;
    if (ending.recorded) {
        outcome.ok = ending.ok;
        outcome.resultText = ResultFileContents(ending.code, ending.text);
        outcome.resultFileWritten = ending.resultFileWritten;
    } else {
        outcome.resultFileWritten = WriteResultFile(ctx.programDir, 0, ending.reason);
        outcome.resultText = ResultFileContents(0, ending.reason);
    }
    std::string message = ending.recorded ? ending.text : ending.reason;
    // The trace is whole before anything says the run went well: a cut-off
    // one fails it in MESSFILE.TXT and in the station's record alike.
    if (!FinishTrace(ctx, outcome.traceFault) && outcome.ok) {
        outcome.ok = false;
        message = outcome.traceFault;
        outcome.resultText = ResultFileContents(0, message);
        outcome.resultFileWritten = WriteResultFile(ctx.programDir, 0, message);
    }
    const FinishedRun run = FinishBoardRun(ctx, outcome.ok, message);
    outcome.recordFate = run.fate;
    outcome.recordNote = run.note;
    outcome.serial = run.serial;
    return outcome;
}

bool BatchSucceeded(const BatchOutcome& outcome) {
    return outcome.ok && outcome.resultFileWritten;
}

int PrintBatchOutcome(const BatchOutcome& outcome, const std::string& programDir,
                      std::string_view program, std::ostream& out, std::ostream& err) {
    out << ConsoleText(outcome.resultText) << '\n' << std::flush;
    if (!outcome.resultFileWritten) {
        err << program << ": the outcome could not be written to "
            << JoinPath(programDir, kResultFileName) << '\n'
            << std::flush;
    }
    if (!outcome.recordNote.empty()) err << program << ": " << outcome.recordNote << '\n' << std::flush;
    if (!BatchSucceeded(outcome) || outcome.recordFate == RecordFate::Lost) return 1;
    return outcome.recordFate == RecordFate::Spooled ? kExitRecordSpooled : 0;
}

}  // namespace quillon
