#pragma once
// Dialog units: layouts are given in units of the dialog font (a quarter of
// the average character width across, an eighth of the character height
// down), so that windows grow with the font the user has chosen.

#include <QFont>
#include <QRect>
#include <QWidget>

namespace quillon::gui {

struct DialogUnits {
    int baseX = 6;   // average character width in pixels
    int baseY = 13;  // character height in pixels

    int X(int dlu) const { return MulDivRound(dlu, baseX, 4); }
    int Y(int dlu) const { return MulDivRound(dlu, baseY, 8); }
    QRect Rect(int x, int y, int w, int h) const {
        const int left = X(x), top = Y(y);
        return QRect(left, top, X(x + w) - left, Y(y + h) - top);
    }
    QSize Size(int w, int h) const { return QSize(X(w), Y(h)); }

    static int MulDivRound(int a, int b, int c) { return (a * b + c / 2) / c; }
};

// The base units of `font`: the average width of the 52 letters, rounded as
// the dialog system rounds it, and the font's line height.
DialogUnits DialogUnitsFor(const QFont& font);

// Places `child` at a rectangle given in dialog units.
void PlaceAt(QWidget* child, const DialogUnits& du, int x, int y, int w, int h);

}  // namespace quillon::gui
