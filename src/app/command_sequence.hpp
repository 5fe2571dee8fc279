#pragma once
// The frame every command but Check SUM and Copy shares: its progress
// window, the port opened at the control program's rate, and the end that
// destroys the window and closes the port.

namespace quillon {

struct OperationContext;

// Opens a new progress window (destroying an old one); false when it cannot
// be made, and the command then ends without a message.
[[nodiscard]] bool OpenProgressWindow(OperationContext& ctx, int flags);
// Opens the port at the control program's rate and purges it; false after
// reporting the failure (severity 2).
[[nodiscard]] bool OpenPortForCommand(OperationContext& ctx);
// Destroys the progress window and closes the port.
void EndCommand(OperationContext& ctx);

}  // namespace quillon
