#include "app/batch_run.hpp"

#include <cstdio>
#include <ostream>

#include "app/console_text.hpp"
#include "app/full_operation.hpp"
#include "app/operation_context.hpp"
#include "config/result_file.hpp"
#include "platform/paths.hpp"

namespace quillon {

namespace {

constexpr int kFullOperationOk = 306;

// Forwards every question to the front end and remembers the last one, so
// that a run that ends at a message box or a declined question can say so.
class RememberingPrompt final : public UserPrompt {
public:
    explicit RememberingPrompt(UserPrompt& inner) : inner_(inner) {}
    PromptAnswer Ask(const PromptRequest& request) override {
        PromptAnswer answer = inner_.Ask(request);
        last = request;
        lastAnswer = answer;
        asked = true;
        return answer;
    }
    bool asked = false;
    PromptRequest last;
    PromptAnswer lastAnswer = PromptAnswer::Ok;

private:
    UserPrompt& inner_;
};

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

std::string StopReason(const OperationContext& ctx, const RememberingPrompt& prompt) {
    std::string reason = "Full Operation ended without a result";
    if (!ctx.progressText.empty()) reason += " during \"" + ctx.progressText + "\"";
    if (prompt.asked) {
        const bool declined = prompt.lastAnswer == PromptAnswer::Cancel ||
                              prompt.lastAnswer == PromptAnswer::No;
        reason += declined ? ": the question \"" : ": \"";
        reason += OneLine(prompt.last.text);
        reason += declined ? "\" was declined" : "\"";
    }
    return reason;
}

}  // namespace

BatchOutcome RunBatch(OperationContext& ctx) {
    const std::string resultPath = JoinPath(ctx.programDir, kResultFileName);
    RemoveFile(resultPath);
    ctx.lastReport = LastReport{};

    RememberingPrompt prompt(*ctx.frontEnd.prompt);
    UserPrompt* frontEndPrompt = ctx.frontEnd.prompt;
    ctx.frontEnd.prompt = &prompt;
    ctx.progressText.clear();
    OnFullOperation(ctx);
    ctx.frontEnd.prompt = frontEndPrompt;

    // The outcome is what this run recorded, never what a file on disk says:
    // an old result that could not be removed must not pass for this run's.
    BatchOutcome outcome;
    const LastReport& last = ctx.lastReport;
    if (last.recorded) {
        outcome.ok = last.code == kFullOperationOk;
        outcome.resultText = ResultFileContents(last.code, last.text);
        outcome.resultFileWritten = last.resultFileWritten;
        return outcome;
    }
    const std::string reason = StopReason(ctx, prompt);
    outcome.resultFileWritten = WriteResultFile(ctx.programDir, 0, reason);
    outcome.resultText = ResultFileContents(0, reason);
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
