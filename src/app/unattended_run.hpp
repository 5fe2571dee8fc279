#pragma once
// A Full Operation that nobody watches (batch mode, a board of a gang): what
// it ended in, taken from what the run itself recorded, and when it recorded
// nothing, why it stopped (the step it was in, the last question asked).

#include <functional>
#include <string>

namespace quillon {

struct OperationContext;

struct RunEnding {
    bool recorded = false;  // a report (or a decoder in batch mode) put an outcome
    bool ok = false;        // that outcome is the Full Operation's success
    int code = 0;
    std::string text;       // the outcome as composed for the result file
    bool resultFileWritten = true;
    // Without an outcome: "Full Operation ended without a result during ...",
    // or after a cancel "It was canceled during ...".
    std::string reason;
};

// Runs `run` with the session's questions remembered and its last outcome
// cleared, and says how it ended.
RunEnding RunUnattended(OperationContext& ctx, const std::function<void()>& run);

// Line breaks as blanks: an outcome on one line of a list.
std::string OneLine(std::string text);

}  // namespace quillon
