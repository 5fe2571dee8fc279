#include "cli/console_prompt.hpp"

#include <istream>
#include <ostream>
#include <string>

#include "cli/console_progress.hpp"
#include "platform/console.hpp"

namespace quillon {

PromptAnswer ConsolePrompt::Ask(const PromptRequest& request) {
    const std::string text = ConsoleText(request.text);
    if (request.caption.empty()) {
        out_ << text << '\n';
    } else {
        out_ << request.caption << ": " << text << '\n';
    }
    if (request.buttons == PromptButtons::Ok) return PromptAnswer::Ok;

    const bool yesNo = request.buttons == PromptButtons::YesNo;
    out_ << (yesNo ? "[Y/n] " : "[OK/cancel] ") << std::flush;
    std::string answer;
    bool interrupted = false;
    while (terminalInput_ && !StandardInputReady(100)) {
        if ((interrupted = TakeInterrupt())) break;
    }
    if (interrupted || !std::getline(in_, answer)) {
        out_ << '\n';
        return yesNo ? PromptAnswer::No : PromptAnswer::Cancel;
    }
    if (!answer.empty() && answer.back() == '\r') answer.pop_back();
    const bool affirmative = answer.empty() || answer == "y" || answer == "Y" || answer == "yes" ||
                             answer == "ok" || answer == "OK";
    if (yesNo) return affirmative ? PromptAnswer::Yes : PromptAnswer::No;
    return affirmative ? PromptAnswer::Ok : PromptAnswer::Cancel;
}

}  // namespace quillon
