#include "app/tools/ShapeDrawing.h"

#include <algorithm>

QPen GdiPen(const QColor& color, int width) {
    const int w = std::max(width, 1);
    return QPen(color, w, Qt::SolidLine, w == 1 ? Qt::FlatCap : Qt::RoundCap,
                w == 1 ? Qt::MiterJoin : Qt::RoundJoin);
}

void DrawGdiLine(QPainter& p, QPoint a, QPoint b) {
    if (a == b) return;
    // The classic line leaves out its last pixel: end one step short along the major axis.
    const QPoint d = b - a;
    const int steps = std::max(std::abs(d.x()), std::abs(d.y()));
    const QPoint end(a.x() + (d.x() * (steps - 1) + (d.x() < 0 ? -steps / 2 : steps / 2)) / steps,
                     a.y() + (d.y() * (steps - 1) + (d.y() < 0 ? -steps / 2 : steps / 2)) / steps);
    if (end == a)
        p.drawPoint(a);
    else
        p.drawLine(a, end);
}

namespace {

// The shape's box in the painter's terms: Qt's outlines include the right and bottom edge.
bool GdiBox(QPoint a, QPoint b, QRectF& box) {
    const int l = std::min(a.x(), b.x()), r = std::max(a.x(), b.x());
    const int t = std::min(a.y(), b.y()), bt = std::max(a.y(), b.y());
    if (l == r || t == bt) return false;
    box = QRectF(l, t, r - l - 1, bt - t - 1);
    return true;
}

} // namespace

void DrawGdiRectangle(QPainter& p, QPoint a, QPoint b) {
    QRectF box;
    if (GdiBox(a, b, box)) p.drawRect(box);
}

void DrawGdiEllipse(QPainter& p, QPoint a, QPoint b) {
    QRectF box;
    if (!GdiBox(a, b, box)) return;
    const QPen pen = p.pen();
    // The painter's one-pixel outline of a flat ellipse overshoots its ends by up to a tenth of its
    // width; a pen a hair wider goes through the exact outline.
    if (pen.style() != Qt::NoPen && pen.widthF() <= 1) {
        QPen exact = pen;
        exact.setWidthF(1.01);
        p.setPen(exact);
    }
    p.drawEllipse(box);
    p.setPen(pen);
}

QPainter::CompositionMode PenMode(int index) {
    switch (index) {
    case 1:
        return QPainter::RasterOp_NotSourceAndDestination; // MaskNotPen: D and not P
    case 2:
        return QPainter::RasterOp_SourceAndDestination; // MaskPen: D and P
    case 3:
        return QPainter::RasterOp_SourceAndNotDestination; // MaskPenNot: P and not D
    case 4:
        return QPainter::RasterOp_NotSourceOrDestination; // MergeNotPen: D or not P
    case 5:
        return QPainter::RasterOp_SourceOrDestination; // MergePen: D or P
    case 6:
        return QPainter::RasterOp_SourceOrNotDestination; // MergePenNot: P or not D
    case 7:
        return QPainter::RasterOp_NotSource; // NotCopyPen: not P
    case 8:
        return QPainter::RasterOp_NotSourceOrNotDestination; // NotMaskPen: not (D and P)
    case 9:
        return QPainter::RasterOp_NotSourceAndNotDestination; // NotMergePen: not (D or P)
    case 10:
        return QPainter::RasterOp_NotSourceXorDestination; // NotXORPen: not (D xor P)
    case 11:
        return QPainter::RasterOp_SourceXorDestination; // XORPen: D xor P
    default:
        return QPainter::CompositionMode_Source; // Normal: P
    }
}

QString PenModeName(int index) {
    static const char* const names[PenModeCount] = {"Normal",      "MaskNotPen",  "MaskPen",     "MaskPenNot",
                                                    "MergeNotPen", "MergePen",    "MergePenNot", "NotCopyPen",
                                                    "NotMaskPen",  "NotMergePen", "NotXORPen",   "XORPen"};
    return names[index >= 0 && index < PenModeCount ? index : 0];
}
