#include "gui/serial_device_list.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

namespace quillon::gui {

QStringList SystemSerialDevices() {
    QStringList devices;
#ifdef Q_OS_LINUX
    // Friendly names first: /dev/serial/by-id links to the real devices.
    QMap<QString, QString> byId;
    const QDir idDir("/dev/serial/by-id");
    for (const QFileInfo& link : idDir.entryInfoList(QDir::Files | QDir::System)) {
        byId.insert(link.canonicalFilePath(), link.fileName());
    }
    const QDir ttyDir("/sys/class/tty");
    const QStringList names = ttyDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& name : names) {
        // Only ttys with a device behind them are serial ports; an on-board
        // UART slot without hardware reports the port type 0.
        if (!QFileInfo(ttyDir.filePath(name + "/device")).exists()) continue;
        if (name.startsWith("ttyS")) {
            QFile type(ttyDir.filePath(name + "/type"));
            if (type.open(QIODevice::ReadOnly) && type.readAll().trimmed() == "0") continue;
        }
        const QString path = "/dev/" + name;
        if (!QFileInfo::exists(path)) continue;
        QString entry = path;
        if (byId.contains(path)) entry += "  (" + byId.value(path) + ")";
        devices << entry;
    }
#endif
    return devices;
}

}  // namespace quillon::gui
