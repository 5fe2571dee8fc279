#include "gui/qt/artwork.hpp"

#include <QImage>

#include "gui/qt/resources.hpp"

namespace quillon::gui {

QIcon QuillonIcon() {
    RegisterResources();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QString(":/quillon/quillon-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QPixmap QuillonPicture(const QSize& size, qreal devicePixelRatio) {
    RegisterResources();
    // Stored at twice its usual size, so that it only ever shrinks; the field
    // may not have the picture's proportions, and is filled all the same.
    static const QImage picture(":/quillon/picture.png");
    QPixmap pm = QPixmap::fromImage(
        picture.scaled(size * devicePixelRatio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    pm.setDevicePixelRatio(devicePixelRatio);
    return pm;
}

}  // namespace quillon::gui
