#pragma once
// Texts of the core as a terminal shows them.

#include <string>
#include <string_view>

namespace quillon {

// CR LF and lone CRs become LF.
std::string ConsoleText(std::string_view text);

}  // namespace quillon
