#pragma once
// The commands of the main dialog, toolkit-free: the desktop program and the
// console front end both drive these, and neither re-implements a sequence.

namespace quillon {

struct OperationContext;

// --- the frame shared by the commands
// Opens a new progress window (destroying an old one); false when it cannot
// be made, and the command then ends without a message.
bool OpenProgressWindow(OperationContext& ctx, int flags);
// Opens the port at the control program's rate and purges it; false after
// reporting the failure (severity 2).
bool OpenPortForCommand(OperationContext& ctx);
// Destroys the progress window and closes the port.
void EndCommand(OperationContext& ctx);

// --- commands
void OnDownload(OperationContext& ctx);
// The download step shared by Download and Full Operation: 0 on success.
int RunDownload(OperationContext& ctx, bool fullOperation);
void OnSelchangeTarget(OperationContext& ctx);
void OnSelchangeCrystal(OperationContext& ctx);
void OnErase(OperationContext& ctx);
void OnBlankCheck(OperationContext& ctx);
void OnProgramVerify(OperationContext& ctx);
void OnReadCompare(OperationContext& ctx);
void OnFullOperation(OperationContext& ctx);
void OnCopy(OperationContext& ctx);

}  // namespace quillon
