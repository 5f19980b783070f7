#include "controls/ControlPaint.h"

#include <algorithm>
#include <utility>

namespace {

// Fills the normalised, already ordered span [x0, x1) x [y0, y1), clipped to the image.
void fillClipped(TFastDIB& bm, int x0, int y0, int x1, int y1, TFColor p) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, bm.Width);
    y1 = std::min(y1, bm.Height);
    if (x0 >= x1 || y0 >= y1 || bm.Bpp != 24 || bm.Empty()) return;
    for (int y = y0; y < y1; ++y) {
        TFColor* row = bm.Pixels24[y];
        std::fill(row + x0, row + x1, p);
    }
}

void setPixel(TFastDIB& bm, int x, int y, TFColor p) {
    if (x < 0 || y < 0 || x >= bm.Width || y >= bm.Height || bm.Bpp != 24 || bm.Empty()) return;
    bm.Pixels24[y][x] = p;
}

} // namespace

void FillRect(TFastDIB& bm, TRect r, TColor c) {
    if (r.Right < r.Left) std::swap(r.Left, r.Right);
    if (r.Bottom < r.Top) std::swap(r.Top, r.Bottom);
    fillClipped(bm, r.Left, r.Top, r.Right, r.Bottom, ColorToFColor(c));
}

void Frame3D(TFastDIB& bm, TRect& r, TColor topLeft, TColor bottomRight, int width) {
    const TFColor tl = ColorToFColor(topLeft), br = ColorToFColor(bottomRight);
    --r.Right;
    --r.Bottom;
    for (; width > 0; --width) {
        // Top-left colour: the left column from the bottom up to the top, then the top row up to (but
        // not including) the top-right corner.
        for (int y = r.Bottom; y > r.Top; --y) setPixel(bm, r.Left, y, tl);
        for (int x = r.Left; x < r.Right; ++x) setPixel(bm, x, r.Top, tl);
        // Bottom-right colour: the right column from the top down, then the bottom row right to left,
        // ending on the left column.
        for (int y = r.Top; y < r.Bottom; ++y) setPixel(bm, r.Right, y, br);
        for (int x = r.Right; x >= r.Left; --x) setPixel(bm, x, r.Bottom, br);
        ++r.Left;
        ++r.Top;
        --r.Right;
        --r.Bottom;
    }
    ++r.Right;
    ++r.Bottom;
}
