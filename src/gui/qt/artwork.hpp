#pragma once
// The program's own artwork, stored as pictures in the resource file
// (res/quillon.qrc): the application icon and the picture of the main dialog.

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace quillon::gui {

// The application icon: a chip with a quill.
QIcon QuillonIcon();
// The picture beside the option buttons, filling `size` exactly.
QPixmap QuillonPicture(const QSize& size, qreal devicePixelRatio = 1.0);

}  // namespace quillon::gui
