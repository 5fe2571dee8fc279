#include "gui/qt/help_viewer.hpp"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace quillon::gui {

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// The desktop's opener starts in the background and cannot report that no
// program takes the file; ask the desktop's file associations first.
bool DesktopHasViewerFor(const QString& path) {
    if (QStandardPaths::findExecutable("xdg-open").isEmpty()) return false;
    const QString mime = QMimeDatabase().mimeTypeForFile(path).name();
    if (QStandardPaths::findExecutable("xdg-mime").isEmpty()) return true;  // cannot tell
    QProcess query;
    query.start("xdg-mime", {"query", "default", mime});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished();
        return true;  // cannot tell; let the opener try
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}
#else
bool DesktopHasViewerFor(const QString&) { return true; }
#endif

}  // namespace

bool OpenHelpFile(const QString& path, QString& problem) {
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        problem = QString("The help file %1 was not found.").arg(shown);
        return false;
    }
    if (!DesktopHasViewerFor(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        problem = QString("No program on this system can open the help file %1.").arg(shown);
        if (path.endsWith(".chm", Qt::CaseInsensitive)) {
            problem += "\nInstall a viewer for compiled HTML help (.chm) files, for example "
                       "xchm or kchmviewer.";
        }
        return false;
    }
    return true;
}

}  // namespace quillon::gui
