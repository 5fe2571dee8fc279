#pragma once
// An operator for the tests of the link and the flash operations: a progress
// window once the test opens one, questions answered from a script, and
// every outcome told kept in order. Like the application, it closes the link
// after a severe outcome (severity 2 or 3) when it is given the link.

#include <memory>
#include <string>
#include <vector>

#include "link/link.hpp"
#include "link/operator.hpp"
#include "support/recording_progress.hpp"
#include "support/scripted_prompt.hpp"

namespace quillon::testing {

class RecordingOperator final : public Operator {
  public:
    ProgressSink* Progress() override { return progress.get(); }
    PromptAnswer Ask(const PromptRequest& request) override { return prompt.Ask(request); }
    void Tell(const Outcome& outcome) override {
        outcomes.push_back(outcome);
        if (link && outcome.severity >= kSeverityRedownload) link->Close();
    }
    Language language() const override { return Language::English; }
    bool Unattended() const override { return unattended; }
    void NoteStep(std::string_view text) override { step = std::string(text); }
    void NoteCancel() override { cancelledIn = step.empty() ? "(no step)" : step; }

    // Opens a progress window whose user acknowledges every result but never
    // cancels, and returns it.
    RecordingProgress& OpenProgress() {
        progress = std::make_unique<RecordingProgress>();
        progress->pressAlways = false;
        progress->acknowledgeResults = true;
        return *progress;
    }
    // The last outcome told; a default one (code 0) when none was.
    Outcome Last() const { return outcomes.empty() ? Outcome{} : outcomes.back(); }
    int LastCode() const { return Last().code; }

    std::unique_ptr<RecordingProgress> progress;
    ScriptedPrompt prompt;
    std::vector<Outcome> outcomes;
    bool unattended = false;
    std::string step;
    std::string cancelledIn;  // the step running when a cancel was noted
    Link* link = nullptr;
};

}  // namespace quillon::testing
