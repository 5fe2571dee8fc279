#pragma once
// The user settings files as the session uses them: Customize.ini taken in
// (with the port the command line chose), and the selections saved to
// DATAFILE.TXT.

namespace quillon {

struct OperationContext;

// The COM port, sounds, tooltips and reset sequence of Customize.ini; a COM
// port or reset sequence chosen on the command line (or a port by the batch
// words) replaces the file's. The link is pointed at the port and given the
// sequence (a malformed one is told and dropped), and the command group's
// caption names the port.
void LoadCustomSettings(OperationContext& ctx);

// The chip, crystal and hex file into DATAFILE.TXT (negative indices as 0),
// and the hex file's path into the Hex File box's tip.
void SaveRecentSelection(OperationContext& ctx);

}  // namespace quillon
