#pragma once
// The Copy command: reading the flash over the operation ranges into a new
// S-record or Intel HEX file chosen by the user.

namespace quillon {

struct OperationContext;

// The Copy button: opens the port at the control program's rate, runs the
// readout, then closes the progress window and the port.
void CopyFlash(OperationContext& ctx);

// Asks for the file, reads block by block and writes the lines. The file
// takes its place only when the readout succeeds; a failure or a cancel
// leaves no new file and an existing one untouched.
void CopyFlashToFile(OperationContext& ctx);

}  // namespace quillon
