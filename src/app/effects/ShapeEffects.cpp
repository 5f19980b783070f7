#include "app/effects/ShapeEffects.h"
#include "image/WorkControl.h"

#include "app/effects/GeometricEffects.h"
#include "image/Color.h"
#include "image/Numeric.h"
#include "platform/FastDIBQt.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace {

bool usable(const TFastDIB& b) {
    return !b.Empty() && b.Bpp == 24 && b.Width > 0 && b.Height > 0;
}

QColor qcolor(TFColor p) {
    return QColor(p.r, p.g, p.b);
}

// x to the integer power n (n >= 1), so that the sign of x survives for odd n.
double ipow(double x, int n) {
    double r = 1;
    for (int i = 0; i < n; ++i) r *= x;
    return r;
}

} // namespace

namespace {

// A one-pixel line from (x0, y0) towards (x1, y1), the end point left out (as a pen's line-to leaves
// it for the next segment), clipped to the image.
void lineTo(TFastDIB& Bmp, int x0, int y0, int x1, int y1, TFColor c) {
    const int W = Bmp.Width, H = Bmp.Height;
    if ((x0 < 0 && x1 < 0) || (y0 < 0 && y1 < 0) || (x0 >= W && x1 >= W) || (y0 >= H && y1 >= H)) return;
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        if (static_cast<unsigned>(x0) < static_cast<unsigned>(W) &&
            static_cast<unsigned>(y0) < static_cast<unsigned>(H))
            Bmp.Pixels24[y0][x0] = c;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

} // namespace

void AstroidFX(TFastDIB& Bmp, int n) {
    if (!usable(Bmp)) return;
    // An exponent below 1 would divide by cosines and sines near zero; even ones lose the sign.
    n = std::clamp(n, 1, 9);
    if (n % 2 == 0) ++n;
    const int W = Bmp.Width, H = Bmp.Height, cx = W / 2, cy = H / 2;
    // The curve's unit points, computed once: the start at angle 0, then cos(t)^n and sin(t)^n for
    // t = 0..360 degrees.
    std::vector<double> ux(362), uy(362);
    ux[0] = ipow(std::cos(0.0), n);
    uy[0] = ipow(std::sin(0.0), n);
    for (int k = 0; k <= 360; ++k) {
        const float t = static_cast<float>(k * std::numbers::pi / 180.0);
        ux[k + 1] = ipow(std::cos(static_cast<double>(t)), n);
        uy[k + 1] = ipow(std::sin(static_cast<double>(t)), n);
    }
    // Colours are read from the image as it was before any curve is drawn.
    std::vector<TFColor> firstPixels(H);
    for (int y = 0; y < H; ++y) firstPixels[y] = Bmp.Pixels24[y][0];
    int j = 0;
    for (int i = 0; i <= 2 * (H - 1); ++i) {
        WorkPoint();
        if (j > H - 1) j -= H;
        const TFColor c = firstPixels[j];
        ++j;
        const double R = i;
        int px = RoundI(ux[0] * R) + cx, py = RoundI(uy[0] * R) + cy;
        for (int k = 1; k < 362; ++k) {
            const int qx = RoundI(ux[k] * R) + cx, qy = RoundI(uy[k] * R) + cy;
            lineTo(Bmp, px, py, qx, qy, c);
            px = qx;
            py = qy;
        }
    }
}

bool CircleMosaicFX(TFastDIB& Bmp, int N) {
    if (!usable(Bmp) || !MosaicCellOk(Bmp.Width, Bmp.Height, N)) return false;
    const int W = Bmp.Width, H = Bmp.Height, cw = W / N, ch = H / N, half = N / 2;
    // The cell colours are taken before anything is painted.
    auto at = [&](int x, int y) { return qcolor(Bmp.Pixels24[y][x]); };
    struct Cell {
        QRect r;
        QColor c;
    };
    std::vector<Cell> cells;
    cells.reserve(static_cast<std::size_t>(cw + 1) * static_cast<std::size_t>(ch + 1));
    for (int r = 0; r < ch; ++r) {
        for (int c = 0; c < cw; ++c)
            cells.push_back({QRect(c * N, r * N, N, N), at(c * N + half, r * N + half)});
        if (W % N != 0) cells.push_back({QRect(W - N, r * N, N, N), at(W - 1, r * N + half)});
    }
    if (H % N != 0) {
        for (int c = 0; c < cw; ++c) cells.push_back({QRect(c * N, H - N, N, N), at(c * N + half, H - 1)});
        if (W % N != 0) cells.push_back({QRect(W - N, H - N, N, N), at(W - 1, H - 1)});
    }
    QImage view = DIBView(Bmp);
    QPainter p(&view);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    std::size_t drawn = 0;
    for (const Cell& cell : cells) {
        if ((++drawn & 1023) == 0) WorkPoint();
        p.setBrush(cell.c);
        p.drawEllipse(cell.r);
    }
    return true;
}

void CycloidMosaicFX(TFastDIB& Bmp, int R) {
    if (!usable(Bmp)) return;
    const int cx = Bmp.Width / 2, cy = Bmp.Height / 2;
    TColor colour = 0xF08000;
    QImage view = DIBView(Bmp);
    QPainter p(&view);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    const std::int64_t side = 2 * static_cast<std::int64_t>(R);
    for (int k = 1; k <= cx / 6; ++k) {
        for (int t = 0; t <= 360; ++t) {
            WorkPoint(); // a large square covers the whole image at each step
            const int x = RoundI(7.0 * k * std::cos(t) - k * std::cos(7.0 * t) + cx);
            const int y = RoundI(7.0 * k * std::sin(t) - k * std::sin(7.0 * t) + cy);
            if (side > 0 && side < (1 << 20))
                p.fillRect(QRect(x - R, y - R, static_cast<int>(side), static_cast<int>(side)),
                           QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
            colour = (colour + 16) & 0xFFFFFFu;
        }
    }
}
