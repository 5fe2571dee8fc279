#pragma once
// What quillon-cli adds on standard error below the catalog text of a run
// that failed (the text itself stays as the system words it): a link error
// names the port, its device, the rate and the step; a time-out in the boot
// ROM's dialogue adds what to check; a decode error names the file, the line
// and its fault. In the user's language.

#include <string>

namespace quillon {

struct OperationContext;

// The lines (each ending in a line break, without the program's name), or
// empty when the last outcome needs none.
std::string ErrorContext(const OperationContext& ctx);

}  // namespace quillon
