#include "app/dialogs/MultiGradientModel.h"

#include "image/Numeric.h"
#include "image/WorkControl.h"

#include <algorithm>
#include <cstring>

std::vector<TGradientStop> SortedStops(std::vector<TGradientStop> stops) {
    std::stable_sort(stops.begin(), stops.end(),
                     [](const TGradientStop& a, const TGradientStop& b) { return a.Pos < b.Pos; });
    return stops;
}

namespace {

constexpr int Bands = 150;

// The colour of every place along the axis, as the bands paint it one after the other.
std::vector<TFColor> AxisColours(int len, const std::vector<TGradientStop>& sorted, TColor endColor) {
    std::vector<TFColor> axis(static_cast<std::size_t>(len), ColorToFColor(endColor));
    if (sorted.empty()) return axis;
    std::vector<TGradientStop> points;
    points.reserve(sorted.size() + 2);
    points.push_back({0, endColor});
    points.insert(points.end(), sorted.begin(), sorted.end());
    points.push_back({len, endColor});
    for (std::size_t s = 0; s + 1 < points.size(); ++s) {
        const int a = points[s].Pos, b = points[s + 1].Pos;
        const TColor c0 = points[s].Color, c1 = points[s + 1].Color;
        const int r0 = GetRValue(c0), g0 = GetGValue(c0), b0 = GetBValue(c0);
        const int dr = GetRValue(c1) - r0, dg = GetGValue(c1) - g0, db = GetBValue(c1) - b0;
        for (int i = 0; i <= Bands; ++i) {
            // Positions are clamped into the bar, so a fill never runs backwards; clip to the picture.
            const int lo = std::max(a + MulDiv(i, b - a, Bands), 0);
            const int hi = std::min(a + MulDiv(i + 1, b - a, Bands), len);
            if (lo >= hi) continue;
            const TFColor c{static_cast<std::uint8_t>(b0 + MulDiv(i, db, Bands)),
                            static_cast<std::uint8_t>(g0 + MulDiv(i, dg, Bands)),
                            static_cast<std::uint8_t>(r0 + MulDiv(i, dr, Bands))};
            std::fill(axis.begin() + lo, axis.begin() + hi, c);
        }
    }
    return axis;
}

// Fills `count` pixels at `row` with one colour, four pixels (three words) at a time.
void FillRow(std::uint8_t* row, int count, TFColor c) {
    std::uint8_t pattern[12];
    for (int k = 0; k < 4; ++k) {
        pattern[3 * k] = c.b;
        pattern[3 * k + 1] = c.g;
        pattern[3 * k + 2] = c.r;
    }
    int x = 0;
    for (; x + 4 <= count; x += 4) std::memcpy(row + 3 * x, pattern, 12);
    for (; x < count; ++x) std::memcpy(row + 3 * x, pattern, 3);
}

} // namespace

void DrawGradient(TFastDIB& grad, const std::vector<TGradientStop>& stops, TColor endColor, bool vert) {
    if (grad.Empty() || grad.Bpp != 24 || grad.Width <= 0 || grad.Height <= 0) return;
    const int w = grad.Width, h = grad.Height;
    const std::vector<TFColor> axis = AxisColours(vert ? w : h, SortedStops(stops), endColor);
    if (vert) {
        // Every row is the same: build the first, copy it into the others.
        std::memcpy(grad.Scanlines[0], axis.data(), static_cast<std::size_t>(w) * 3);
        for (int y = 1; y < h; ++y) {
            if ((y & 63) == 0) WorkPoint();
            std::memcpy(grad.Scanlines[y], grad.Scanlines[0], static_cast<std::size_t>(w) * 3);
        }
    } else {
        for (int y = 0; y < h; ++y) {
            if ((y & 63) == 0) WorkPoint();
            const TFColor c = axis[static_cast<std::size_t>(y)];
            if (y > 0 && axis[static_cast<std::size_t>(y - 1)] == c)
                std::memcpy(grad.Scanlines[y], grad.Scanlines[y - 1], static_cast<std::size_t>(w) * 3);
            else
                FillRow(grad.Scanlines[y], w, c);
        }
    }
}

TColor TrgbToColor(const Trgb& c) {
    return RGBColor(c.r, c.g, c.b);
}

Trgb ColorToTrgb(TColor c) {
    return Trgb{static_cast<std::uint8_t>(GetRValue(c)), static_cast<std::uint8_t>(GetGValue(c)),
                static_cast<std::uint8_t>(GetBValue(c))};
}

std::vector<TGradientStop> StopsOf(const TMgradNfo& g) {
    std::vector<TGradientStop> stops;
    const std::size_t n = std::min({static_cast<std::size_t>(g.bars), g.color.size(), g.pos.size()});
    stops.reserve(n);
    for (std::size_t i = 0; i < n; ++i) stops.push_back({g.pos[i], TrgbToColor(g.color[i])});
    return stops;
}

bool CheckGradient(TMgradNfo& g) {
    bool changed = false;
    auto side = [&](int& v) {
        if (v < 1 || v > MaxGradientSide) {
            v = 512;
            changed = true;
        }
    };
    side(g.width);
    side(g.height);
    const std::size_t n = std::min({static_cast<std::size_t>(g.bars), g.color.size(), g.pos.size()});
    if (n != g.bars || g.color.size() != n || g.pos.size() != n) changed = true;
    g.bars = static_cast<std::uint16_t>(n);
    g.color.resize(n);
    g.pos.resize(n);
    const int axis = g.vertical ? g.width : g.height;
    for (int& p : g.pos) {
        const int clamped = std::clamp(p, 0, axis - 1);
        if (clamped != p) {
            p = clamped;
            changed = true;
        }
    }
    return changed;
}

int PercentOfAxis(int pixels, int gWidth) {
    if (gWidth < 1) return 0;
    return RoundI(static_cast<double>(pixels) / gWidth * 100.0);
}

namespace {

TPointPosition Clamp(TPointPosition p, int gWidth) {
    if (p.PixLeft > gWidth - 1) {
        p.PixLeft = gWidth - 1;
        p.PctLeft = 99;
        p.Clamped = true;
    } else if (p.PixLeft < 0) {
        p.PixLeft = 0;
        p.PctLeft = 0;
        p.Clamped = true;
    }
    return p;
}

} // namespace

TPointPosition PointFromPixels(int pixels, int gWidth) {
    gWidth = std::max(gWidth, 1);
    return Clamp({pixels, PercentOfAxis(pixels, gWidth), false}, gWidth);
}

TPointPosition PointFromPercent(int percent, int gWidth) {
    gWidth = std::max(gWidth, 1);
    return Clamp({RoundI(static_cast<double>(percent) / 100.0 * gWidth), percent, false}, gWidth);
}

void ReduceTo565(TFastDIB& d) {
    if (d.Empty() || d.Bpp != 24) return;
    for (int y = 0; y < d.Height; ++y) {
        std::uint8_t* p = d.Scanlines[y];
        for (int x = 0; x < d.Width; ++x, p += 3) {
            const int b5 = p[0] >> 3, g6 = p[1] >> 2, r5 = p[2] >> 3;
            p[0] = static_cast<std::uint8_t>((b5 << 3) | (b5 >> 2));
            p[1] = static_cast<std::uint8_t>((g6 << 2) | (g6 >> 4));
            p[2] = static_cast<std::uint8_t>((r5 << 3) | (r5 >> 2));
        }
    }
}
