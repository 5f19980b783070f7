#include "app/tools/ImageView.h"

#include "image/Parallel.h"
#include "app/tools/ShapeDrawing.h"
#include "platform/FastDIBQt.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

TImageView::TImageView(QWidget* parent) : TImage(parent) {
    // Moves without a button held report the pointer position too.
    setMouseTracking(true);
}

void TImageView::SetBand(const TBand& band) {
    if (band == CurrentBand) return;
    const QRegion dirty = BandRegion(CurrentBand) + BandRegion(band);
    CurrentBand = band;
    update(dirty);
}

namespace {

// The boxes around the pieces of a path, each widened by m: a long line or a large ellipse repaints a
// narrow strip along itself instead of its whole bounding box.
QRegion AlongPath(const std::vector<QPointF>& path, int m) {
    QRegion out;
    for (std::size_t i = 1; i < path.size(); ++i)
        out += QRectF(path[i - 1], path[i]).normalized().toAlignedRect().adjusted(-m, -m, m, m);
    return out;
}

} // namespace

QRegion TImageView::BandRegion(const TBand& band) {
    if (band.Shape == TBandShape::None) return {};
    const int l = std::min(band.A.x(), band.B.x()), r = std::max(band.A.x(), band.B.x());
    const int t = std::min(band.A.y(), band.B.y()), b = std::max(band.A.y(), band.B.y());
    // Half the pen on either side of the path, and a pixel for the rasteriser's rounding.
    const int m = (band.Shape == TBandShape::Selection ? 1 : std::max(band.Width, 1)) / 2 + 2;
    const QRect box(QPoint(l - m, t - m), QPoint(r + m, b + m));
    // Small bands repaint their box.
    constexpr int Piece = 32;
    if (box.width() <= 4 * Piece && box.height() <= 4 * Piece) return box;
    switch (band.Shape) {
    case TBandShape::Line: {
        const int n =
            std::max(std::abs(band.B.x() - band.A.x()), std::abs(band.B.y() - band.A.y())) / Piece + 1;
        std::vector<QPointF> path;
        for (int i = 0; i <= n; ++i)
            path.push_back(QPointF(band.A) + QPointF(band.B - band.A) * (static_cast<double>(i) / n));
        return AlongPath(path, m);
    }
    case TBandShape::Ellipse: {
        // Pieces at most Piece long; between its ends the curve strays less than Piece^2 / 8r from the chord,
        // which the extra margin covers.
        const double rx = (r - l) / 2.0, ry = (b - t) / 2.0, cx = l + rx, cy = t + ry;
        const int n = std::clamp(static_cast<int>(2 * 3.1416 * std::max(rx, ry) / Piece) + 1, 16, 4096);
        std::vector<QPointF> path;
        for (int i = 0; i <= n; ++i) {
            const double a = 2 * 3.14159265358979 * i / n;
            path.push_back(QPointF(cx + rx * std::cos(a), cy + ry * std::sin(a)));
        }
        return AlongPath(path, m + Piece / 4);
    }
    default: {
        // A rectangle's outline: four strips.
        const int s = 2 * m + 1;
        QRegion out(QRect(box.left(), box.top(), box.width(), s));
        out += QRect(box.left(), box.bottom() - s + 1, box.width(), s);
        out += QRect(box.left(), box.top() + s, s, box.height() - 2 * s);
        out += QRect(box.right() - s + 1, box.top() + s, s, box.height() - 2 * s);
        return out;
    }
    }
}

void DrawBandShape(QPainter& p, const TBand& band) {
    switch (band.Shape) {
    case TBandShape::Line:
        DrawGdiLine(p, band.A, band.B);
        break;
    case TBandShape::Rectangle:
    case TBandShape::Selection:
        DrawGdiRectangle(p, band.A, band.B);
        break;
    case TBandShape::Ellipse:
        DrawGdiEllipse(p, band.A, band.B);
        break;
    case TBandShape::None:
        break;
    }
}

void TImageView::PaintView(QPainter& p, const QRegion& region) const {
    PaintPicture(p, region);
    if (CurrentBand.Shape == TBandShape::None) return;
    p.save();
    p.setClipRegion(region);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    if (CurrentBand.Shape == TBandShape::Selection)
        p.setPen(QPen(Qt::white, 1, Qt::DashLine, Qt::FlatCap, Qt::MiterJoin));
    else
        p.setPen(GdiPen(Qt::white, CurrentBand.Width));
    p.setBrush(Qt::NoBrush);
    DrawBandShape(p, CurrentBand);
    p.restore();
}

void TImageView::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    PaintView(p, e->region());
}

void TImageView::mousePressEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (OnMouseDown) OnMouseDown(e->button(), e->modifiers(), pt.x(), pt.y());
}

void TImageView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (OnMouseMove) OnMouseMove(e->buttons(), e->modifiers(), pt.x(), pt.y());
}

void TImageView::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (OnMouseUp) OnMouseUp(e->button(), e->modifiers(), pt.x(), pt.y());
}

void CopyViewTo(const QImage& view, TFastDIB& z) {
    if (view.isNull() || z.Empty() || z.Bpp != 24) return;
    const int w = std::min(view.width(), z.Width), h = std::min(view.height(), z.Height);
    if (view.format() != QImage::Format_BGR888) {
        const QImage converted = view.convertToFormat(QImage::Format_BGR888);
        CopyViewTo(converted, z);
        return;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    // Both keep rows top-down padded to four bytes: one block when the layouts agree.
    if (w == z.Width && h == z.Height && view.bytesPerLine() == z.BWidth) {
        std::memcpy(z.Bits, view.constBits(), static_cast<std::size_t>(z.ByteCount()));
        return;
    }
    for (int y = 0; y < h; ++y) std::memcpy(z.Scanlines[y], view.constScanLine(y), rowBytes);
}

void CopyDIBToView(const TFastDIB& D, QImage& view) {
    if (view.isNull() || D.Empty()) return;
    if (D.Bpp != 24 || view.format() != QImage::Format_BGR888) {
        QPainter p(&view);
        DrawDIB(p, D, 0, 0);
        return;
    }
    const int w = std::min(view.width(), D.Width), h = std::min(view.height(), D.Height);
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    uchar* bits = view.bits(); // detaches once, before the bands
    const qsizetype stride = view.bytesPerLine();
    ParallelRowsToEnd(h, static_cast<std::int64_t>(w) * h, [&](int first, int last) {
        for (int y = first; y < last; ++y) std::memcpy(bits + y * stride, D.Scanlines[y], rowBytes);
    });
}
