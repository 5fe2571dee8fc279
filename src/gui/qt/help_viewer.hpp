#pragma once
// Opens the help file with the viewer the system has for it.

#include <QString>

namespace quillon::gui {

// Opens `path`; on failure returns false and says why in `problem` (no such
// file, or no program on this system that opens such files).
bool OpenHelpFile(const QString& path, QString& problem);

}  // namespace quillon::gui
