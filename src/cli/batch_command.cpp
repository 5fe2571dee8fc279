#include "cli/batch_command.hpp"

#include "app/batch_run.hpp"
#include "app/operation_context.hpp"

namespace quillon {

int RunBatchCommand(OperationContext& ctx, std::ostream& out, std::ostream& err) {
    return PrintBatchOutcome(RunBatch(ctx), ctx.programDir, "quillon-cli", out, err);
}

}  // namespace quillon
