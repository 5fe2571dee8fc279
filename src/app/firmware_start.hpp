#pragma once
// After a successful programming, the new firmware started by the board's
// run sequence (DTR/RTS steps from --run-sequence or [Reset] RunSequence=),
// when there is one: the board leaves the control program for the firmware,
// so the next command needs a new download.

namespace quillon {

struct OperationContext;

// Runs the run sequence on the open port. A port that cannot drive the
// lines is told (an error after the programming's own success: the flash
// stands, the firmware was not started). Nothing without a run sequence.
void StartNewFirmware(OperationContext& ctx);

}  // namespace quillon
