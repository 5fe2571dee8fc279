#pragma once
// The two notices before a command starts: no area ticked, no hex file.

namespace quillon {

struct OperationContext;

// True when at least one flash area is ticked; otherwise shows "Please Select
// the area of writing." and returns false.
bool CheckAreaSelected(OperationContext& ctx);

// True when ctx.hexFilePath names an existing file; otherwise reports 401.
bool CheckHexFileExists(OperationContext& ctx);

}  // namespace quillon
