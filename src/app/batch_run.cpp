#include "app/batch_run.hpp"

#include <cstdio>

#include "app/controller.hpp"
#include "app/operation_context.hpp"
#include "config/result_file.hpp"
#include "platform/paths.hpp"

namespace quillon {

namespace {

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
    std::remove(resultPath.c_str());
    ctx.lastReport = LastReport{0, 0, {}, true};

    RememberingPrompt prompt(*ctx.prompt);
    UserPrompt* frontEndPrompt = ctx.prompt;
    ctx.prompt = &prompt;
    ctx.progressText.clear();
    OnFullOperation(ctx);
    ctx.prompt = frontEndPrompt;

    BatchOutcome outcome;
    if (!FileExists(resultPath)) {
        // Either nothing recorded an outcome, or the last write failed.
        const bool reported = ctx.lastReport.code != 0 && !ctx.lastReport.resultFileWritten;
        if (reported) {
            outcome.ok = ctx.lastReport.code == 306;
            outcome.resultText = outcome.ok ? "OK" : "NG\r\n" + ctx.lastReport.text;
            outcome.resultFileWritten = false;
            return outcome;
        }
        const std::string reason = StopReason(ctx, prompt);
        outcome.resultFileWritten = WriteResultFile(ctx.programDir, 0, reason);
        outcome.resultText = "NG\r\n" + reason;
        return outcome;
    }
    outcome.resultText = ReadWholeFile(resultPath).value_or("");
    outcome.ok = outcome.resultText == "OK";
    return outcome;
}

}  // namespace quillon
