#pragma once
// Answers questions from a script and remembers what was asked.

#include <deque>
#include <vector>

#include "platform/user_prompt.hpp"

namespace quillon::testing {

class ScriptedPrompt final : public UserPrompt {
public:
    PromptAnswer Ask(const PromptRequest& request) override {
        asked.push_back(request);
        if (!answers.empty()) {
            PromptAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return request.buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    std::deque<PromptAnswer> answers;  // used in order; then Ok / Yes
    std::vector<PromptRequest> asked;
};

}  // namespace quillon::testing
