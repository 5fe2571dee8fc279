#include "cli/batch_command.hpp"

#include <ostream>

#include "app/batch_run.hpp"
#include "app/operation_context.hpp"
#include "cli/cli_run.hpp"
#include "cli/console_prompt.hpp"
#include "config/result_file.hpp"

namespace quillon {

int RunBatchCommand(OperationContext& ctx, std::ostream& out, std::ostream& err) {
    const BatchOutcome outcome = RunBatch(ctx);
    out << ConsoleText(outcome.resultText) << '\n' << std::flush;
    if (!outcome.resultFileWritten) {
        err << "quillon-cli: the outcome could not be written to " << ctx.programDir
            << kResultFileName << '\n';
    }
    return outcome.ok ? kExitOk : kExitFailed;
}

}  // namespace quillon
