#pragma once
// Modal message boxes and questions: the reset prompt, the CRC retry question,
// error notices. The owner says which window the box belongs to.

#include <string>

namespace quillon {

enum class PromptOwner { None, MainDialog, Progress };
enum class PromptButtons { Ok, OkCancel, YesNo };
enum class PromptIcon { None, Information, Exclamation, Stop, Question };
enum class PromptAnswer { Ok, Cancel, Yes, No };

struct PromptRequest {
    std::string text;
    std::string caption;
    PromptButtons buttons = PromptButtons::Ok;
    PromptIcon icon = PromptIcon::None;
    PromptOwner owner = PromptOwner::None;
};

class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    virtual PromptAnswer Ask(const PromptRequest& request) = 0;
};

// True for the answers that mean go on (Ok, Yes).
inline bool IsAffirmative(PromptAnswer a) { return a == PromptAnswer::Ok || a == PromptAnswer::Yes; }

}  // namespace quillon
