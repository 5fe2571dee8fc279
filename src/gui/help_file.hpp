#pragma once
// What the Help button (and F1) opens: the compiled help in the program
// folder when a site has put it there, else the user manual where a Quillon
// is laid out with it — beside the program (doc/manual, as in the Windows
// zip) or installed (<prefix>/share/doc/quillon/manual beside <prefix>/bin).

#include <string>

namespace quillon::gui {

// The first of those files that exists; the compiled help's path, for the
// "not found" box, when none does. `executableDir` may be empty (unknown).
std::string HelpFilePath(const std::string& programDir, const std::string& executableDir);

}  // namespace quillon::gui
