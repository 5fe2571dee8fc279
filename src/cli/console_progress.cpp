#include "cli/console_progress.hpp"

#include <ostream>
#include <string>

#include "cli/console_prompt.hpp"

namespace quillon {

void ConsoleProgress::SetMessage(std::string_view text) {
    // Catalog texts may begin with a blank that only lines them up in the window.
    std::string shown = ConsoleText(text);
    const std::size_t first = shown.find_first_not_of(' ');
    out_ << (first == std::string::npos ? std::string() : shown.substr(first)) << std::endl;
}

void ConsoleProgress::SetButtons(int flags, bool, std::optional<std::string_view>) {
    flags_ = flags == -1 ? 13 : flags;
}

int ConsoleProgress::SetPos(int n) {
    const int previous = pos_;
    pos_ = n;
    return previous;
}

int ConsoleProgress::StepIt() {
    const int previous = pos_;
    pos_ += step_;
    return previous;
}

int ConsoleProgress::CheckCancel() {
    if ((flags_ & kProgressButtonEnabled) == 0) return 0;
    // An enabled "Ok" is acknowledged at once; "Cancel" is never pressed.
    return (flags_ & kProgressButtonOk) != 0 ? 1 : 0;
}

}  // namespace quillon
