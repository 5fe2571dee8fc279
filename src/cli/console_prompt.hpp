#pragma once
// Message boxes and questions on a terminal: the text goes to standard error
// under its caption; a question reads one line of answer. An empty line or
// "y" answers OK/Yes; "n", "c" or the end of input answers Cancel/No, so a
// run without input never waits.

#include <iosfwd>
#include <string>
#include <string_view>

#include "app/console_text.hpp"
#include "platform/user_prompt.hpp"

namespace quillon {

class ConsolePrompt final : public UserPrompt {
  public:
    // With `terminalInput` (`in` is the program's standard input), Ctrl-C
    // while a question waits answers it Cancel/No.
    ConsolePrompt(std::ostream& out, std::istream& in, bool terminalInput = false)
        : out_(out), in_(in), terminalInput_(terminalInput) {}
    PromptAnswer Ask(const PromptRequest& request) override;

  private:
    std::ostream& out_;
    std::istream& in_;
    bool terminalInput_;
};

}  // namespace quillon
