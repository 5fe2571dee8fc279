#include "link/board_reset.hpp"

#include <string>

#include "config/catalog.hpp"

namespace quillon {

namespace {

constexpr const char* kResetPrompt =
    "Please reset the microcontroller on userboard.\nThen push OK button.";
constexpr const char* kNoModemLines = "This port has no DTR/RTS lines for the reset sequence.\n";

bool AskForReset(Operator& op, const std::string& text) {
    const PromptAnswer answer = op.Ask(
        {text, "flash", PromptButtons::OkCancel, PromptIcon::Information, PromptOwner::Progress});
    return IsAffirmative(answer);
}

}  // namespace

bool ResetBoard(Link& link, Operator& op) {
    if (!link.HasResetSequence()) return AskForReset(op, kResetPrompt);
    switch (link.RunResetSequence()) {
        case ResetRun::Done:
            return true;
        case ResetRun::NoModemLines:
            return AskForReset(op, std::string(kNoModemLines) + kResetPrompt);
        case ResetRun::Failed:
            break;
    }
    link.Close();
    op.Tell(Failure(kMsgCannotChangePortSetting, kSeverityRedownload,
                    "The port refused DTR/RTS for the reset sequence."));
    return false;
}

}  // namespace quillon
