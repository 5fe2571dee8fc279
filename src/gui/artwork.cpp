#include "gui/artwork.hpp"

#include <algorithm>
#include <cmath>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace quillon::gui {

namespace {

const QColor kPinColour(0xc9, 0xd3, 0xdd);
const QColor kChipColour(0x26, 0x26, 0x26);
const QColor kEdgeColour(0x9f, 0xb3, 0xc8);
const QColor kQuillColour(0xf2, 0xc9, 0x4c);
const QColor kQuillEdge(0xa6, 0x7c, 0x00);

// A chip with `pins` legs above and below, in the unit square scaled to `r`.
void DrawChip(QPainter& p, const QRectF& r, int pins) {
    const qreal pinW = r.width() / (pins * 2 + 1);
    const qreal pinH = r.height() * 0.22;
    p.setPen(Qt::NoPen);
    p.setBrush(kPinColour);
    for (int i = 0; i < pins; ++i) {
        const qreal x = r.left() + pinW * (2 * i + 1);
        p.drawRect(QRectF(x, r.top() - pinH, pinW, pinH));
        p.drawRect(QRectF(x, r.bottom(), pinW, pinH));
    }
    p.setPen(QPen(kEdgeColour, qMax<qreal>(1.0, r.width() / 40)));
    p.setBrush(kChipColour);
    p.drawRoundedRect(r, r.width() / 16, r.width() / 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5a, 0x69, 0x77));
    const qreal dot = r.width() / 14;
    p.drawEllipse(QPointF(r.left() + dot * 1.6, r.top() + dot * 1.6), dot / 1.6, dot / 1.6);
}

// A quill whose nib touches `nib` and whose feather ends at `top`.
void DrawQuill(QPainter& p, QPointF nib, QPointF top, qreal width) {
    const QPointF axis = top - nib;
    const QPointF normal(-axis.y(), axis.x());
    const qreal len = std::hypot(axis.x(), axis.y());
    const QPointF n = normal / len * width;
    QPainterPath feather;
    feather.moveTo(nib + axis * 0.12);
    feather.cubicTo(nib + axis * 0.45 + n * 1.1, nib + axis * 0.8 + n * 0.9, top);
    feather.cubicTo(nib + axis * 0.8 - n * 0.2, nib + axis * 0.45 - n * 0.35, nib + axis * 0.12);
    p.setPen(QPen(kQuillEdge, width / 6));
    p.setBrush(kQuillColour);
    p.drawPath(feather);
    p.drawLine(nib + axis * 0.12, top);
    QPainterPath tip;
    tip.moveTo(nib);
    tip.lineTo(nib + axis * 0.14 + n * 0.35);
    tip.lineTo(nib + axis * 0.14 - n * 0.2);
    tip.closeSubpath();
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), width / 8));
    p.setBrush(QColor(0xf4, 0xf4, 0xf4));
    p.drawPath(tip);
}

QPixmap IconPixmap(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x79));
    p.drawRoundedRect(QRectF(0, 0, 64, 64), 10, 10);
    DrawChip(p, QRectF(9, 17, 40, 30), 4);
    DrawQuill(p, QPointF(22, 50), QPointF(58, 5), 7);
    return pm;
}

}  // namespace

QIcon QuillonIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(IconPixmap(size));
    return icon;
}

QPixmap QuillonPicture(const QSize& size, qreal devicePixelRatio) {
    QPixmap pm(size * devicePixelRatio);
    pm.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Drawn on a canvas 176 units high and as wide as the field's shape asks
    // (at least 460), so that nothing is squeezed out of proportion.
    const qreal sy = size.height() / 176.0;
    const qreal width = std::max<qreal>(460.0, size.width() / sy);
    p.scale(size.width() / width, sy);
    QLinearGradient bg(0, 0, 0, 176);
    bg.setColorAt(0, QColor(0x24, 0x58, 0x8a));
    bg.setColorAt(1, QColor(0x12, 0x32, 0x52));
    p.fillRect(QRectF(0, 0, width, 176), bg);

    p.setPen(QPen(QColor(0x3f, 0x78, 0xab), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{0, 40}, {60, 40}, {80, 60}, {112, 60}}));
    p.drawPolyline(QPolygonF({{0, 136}, {50, 136}, {70, 116}, {112, 116}}));
    p.drawLine(QPointF(0, 88), QPointF(112, 88));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7f, 0xb2, 0xe0));
    for (QPointF c : {QPointF(60, 40), QPointF(50, 136), QPointF(30, 88)}) p.drawEllipse(c, 4, 4);

    DrawChip(p, QRectF(116, 44, 104, 88), 5);
    QFont chipFont("DejaVu Sans");
    chipFont.setPixelSize(18);
    chipFont.setBold(true);
    p.setFont(chipFont);
    p.setPen(kEdgeColour);
    p.drawText(QRectF(116, 44, 104, 88), Qt::AlignCenter, "FLASH");

    DrawQuill(p, QPointF(214, 128), QPointF(300, 12), 14);

    QFont nameFont("DejaVu Sans");
    nameFont.setPixelSize(32);
    nameFont.setBold(true);
    p.setFont(nameFont);
    p.setPen(Qt::white);
    p.drawText(QRectF(width - 180, 56, 164, 46), Qt::AlignCenter, "Quillon");
    QFont subFont("DejaVu Sans");
    subFont.setPixelSize(15);
    p.setFont(subFont);
    p.setPen(QColor(0xbc, 0xd4, 0xea));
    p.drawText(QRectF(width - 180, 102, 164, 24), Qt::AlignCenter, "flash programmer");
    return pm;
}

}  // namespace quillon::gui
