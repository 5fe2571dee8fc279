#pragma once
// Copy: the flash read out into a new hex file the user names, as S-records
// or (when the button reads "&Copy_i") Intel HEX.

namespace quillon {

struct OperationContext;

// The Copy button: opens the port at the control program's rate, asks for
// the file, reads the flash into it in a progress window of its own, then
// closes the window and the port.
void OnCopy(OperationContext& ctx);

}  // namespace quillon
