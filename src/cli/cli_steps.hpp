#pragma once
// One command of a quillon-cli command line, run through the controller as
// its button would run it.

#include <iosfwd>

namespace quillon {

struct CliStep;
struct OperationContext;
class CliPanel;
class CliFileChooser;

struct CliSession {
    OperationContext& ctx;
    CliPanel& panel;
    CliFileChooser& chooser;
    std::ostream& out;
    std::ostream& err;
};

// kExitOk when the command succeeded, kExitFailed when it ran and failed,
// kExitUsage when it cannot run in this state (its button would be disabled).
int RunCliStep(CliSession& session, const CliStep& step);

}  // namespace quillon
