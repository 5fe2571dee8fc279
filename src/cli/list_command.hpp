#pragma once
// --list: the chips of CHIPDEF.INI and the crystals of each, as the two lists
// of the main dialog offer them; the selected ones marked with '*'.

#include <iosfwd>

namespace quillon {

struct OperationContext;

int RunListCommand(OperationContext& ctx, std::ostream& out);

}  // namespace quillon
