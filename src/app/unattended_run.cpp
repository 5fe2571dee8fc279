#include "app/unattended_run.hpp"

#include "app/operation_context.hpp"
#include "config/catalog.hpp"

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

std::string StopReason(const OperationContext& ctx, const RememberingPrompt& prompt) {
    const std::string during =
        ctx.progressText.empty() ? std::string() : " during \"" + ctx.progressText + "\"";
    // A cancel is said as the progress window says it, with the step it stopped.
    if (ctx.cancelled) return CatalogText(ctx.language, kMsgCanceled) + during;
    std::string reason = "Full Operation ended without a result" + during;
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

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

RunEnding RunUnattended(OperationContext& ctx, const std::function<void()>& run) {
    ctx.lastReport = LastReport{};
    RememberingPrompt prompt(*ctx.frontEnd.prompt);
    UserPrompt* frontEndPrompt = ctx.frontEnd.prompt;
    ctx.frontEnd.prompt = &prompt;
    ctx.progressText.clear();
    ctx.cancelled = false;
    run();
    ctx.frontEnd.prompt = frontEndPrompt;

    RunEnding ending;
    const LastReport& last = ctx.lastReport;
    if (last.recorded) {
        ending.recorded = true;
        ending.ok = last.code == kFullOperationOk;
        ending.code = last.code;
        ending.text = last.text;
        ending.resultFileWritten = last.resultFileWritten;
    } else {
        ending.reason = StopReason(ctx, prompt);
    }
    return ending;
}

}  // namespace quillon
