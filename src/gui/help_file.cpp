#include "gui/help_file.hpp"

#include "gui/main_dialog.hpp"
#include "platform/paths.hpp"
#include "platform/system_paths.hpp"

namespace quillon::gui {

std::string HelpFilePath(const std::string& programDir, const std::string& executableDir) {
    const std::string compiled = programDir + kHelpFileName;
    if (FileExists(compiled) || executableDir.empty()) return compiled;
    for (const char* manual : {"doc/manual/index.html", "../share/doc/quillon/manual/index.html"}) {
        // Shown and handed to the system: its own separators, no "..".
        const std::string path = Utf8FromPath(
            PathFromUtf8(JoinPath(executableDir, manual)).lexically_normal().make_preferred());
        if (FileExists(path)) return path;
    }
    return compiled;
}

}  // namespace quillon::gui
