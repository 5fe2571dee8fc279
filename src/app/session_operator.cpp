#include "app/session_operator.hpp"

#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "config/catalog.hpp"

namespace quillon {

ProgressSink* SessionOperator::Progress() { return ctx_.progress.get(); }

PromptAnswer SessionOperator::Ask(const PromptRequest& request) {
    return ctx_.frontEnd.prompt->Ask(request);
}

void SessionOperator::Tell(const Outcome& outcome) { Report(ctx_, outcome); }

Language SessionOperator::language() const { return ctx_.language; }

bool SessionOperator::Unattended() const { return ctx_.batchMode; }

void SessionOperator::NoteStep(std::string_view text) { ctx_.progressText = std::string(text); }

void SessionOperator::NoteCancel() {
    ctx_.cancelled = true;
    ctx_.journal.NoteFailure(CatalogText(ctx_.language, kMsgCanceled));
}

}  // namespace quillon
