#include "app/batch_run.hpp"

#include <cstdio>
#include <ostream>

#include "app/console_text.hpp"
#include "app/full_operation.hpp"
#include "app/operation_context.hpp"
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
        return outcome;
    }
    outcome.resultFileWritten = WriteResultFile(ctx.programDir, 0, ending.reason);
    outcome.resultText = ResultFileContents(0, ending.reason);
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
    return BatchSucceeded(outcome) ? 0 : 1;
}

}  // namespace quillon
