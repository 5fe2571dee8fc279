#pragma once
// Dialog units: layouts are given in units of the dialog font (a quarter of
// the average character width across, an eighth of the character height
// down), so that windows grow with the font the user has chosen.

#include <QFont>
#include <QRect>
#include <QWidget>

#include "gui/dialog_template.hpp"

namespace quillon::gui {

struct DialogUnits {
    int baseX = 6;   // average character width in pixels
    int baseY = 13;  // character height in pixels

    int X(int dlu) const { return MulDivRound(dlu, baseX, 4); }
    int Y(int dlu) const { return MulDivRound(dlu, baseY, 8); }
    // As the system's dialog manager places a control: the size from w and
    // h on their own, not as the distance to the rounded far edge.
    QRect Rect(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }
    QSize Size(int w, int h) const { return QSize(X(w), Y(h)); }

    static int MulDivRound(int a, int b, int c) { return DialogUnitScale::MulDiv(a, b, c); }
};

// The base units of `font`: the average width of the 52 letters, rounded as
// the dialog system rounds it, and the font's line height.
DialogUnits DialogUnitsFor(const QFont& font);

// Places `child` at a rectangle given in dialog units.
void PlaceAt(QWidget* child, const DialogUnits& du, int x, int y, int w, int h);

}  // namespace quillon::gui
