#include "gui/qt/dialog_units.hpp"

#include <QFontMetrics>

namespace quillon::gui {

DialogUnits DialogUnitsFor(const QFont& font) {
    const QFontMetrics fm(font);
    const int letters =
        fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    DialogUnits du;
    du.baseX = (letters / 26 + 1) / 2;
    du.baseY = fm.height();
    if (du.baseX < 1) du.baseX = 1;
    if (du.baseY < 1) du.baseY = 1;
    return du;
}

void PlaceAt(QWidget* child, const DialogUnits& du, int x, int y, int w, int h) {
    child->setGeometry(du.Rect(x, y, w, h));
}

}  // namespace quillon::gui
