#include "app/tools/FloodFill.h"

#include <vector>

namespace {

struct TSpan {
    int y, xl, xr, dy; // the span xl..xr of row y - dy was filled; row y is to be looked at
};

class TFiller {
public:
    TFiller(const Surface& s, TFColor old, TFColor fill) : S(s), Old(old), New(fill) {}

    TFColor* Row(int y) const {
        return reinterpret_cast<TFColor*>(S.bits + static_cast<std::ptrdiff_t>(y) * S.stride);
    }
    bool Inside(int y) const { return y >= 0 && y < S.height; }
    void Push(int y, int xl, int xr, int dy) {
        if (Inside(y + dy)) Stack.push_back({y + dy, xl, xr, dy});
    }

    void Run(int x, int y) {
        Stack.reserve(1024);
        Push(y, x, x, 1);
        Push(y + 1, x, x, -1);
        const int last = S.width - 1;
        while (!Stack.empty()) {
            const TSpan sp = Stack.back();
            Stack.pop_back();
            const int row = sp.y, x1 = sp.xl, x2 = sp.xr, dy = sp.dy;
            TFColor* p = Row(row);
            // Leftwards from x1.
            int cx = x1;
            while (cx >= 0 && p[cx] == Old) p[cx--] = New;
            bool skipFirst = cx >= x1; // nothing to the left: look for the next run within x1..x2
            int l = cx + 1;
            if (!skipFirst) {
                if (l < x1) Push(row, l, x1 - 1, -dy); // the area turns back on the left
                cx = x1 + 1;
            }
            do {
                if (!skipFirst) {
                    while (cx <= last && p[cx] == Old) p[cx++] = New;
                    Push(row, l, cx - 1, dy);
                    if (cx > x2 + 1) Push(row, x2 + 1, cx - 1, -dy); // turns back on the right
                }
                skipFirst = false;
                cx = Skip(p, cx + 1, x2);
                l = cx;
            } while (cx <= x2);
        }
    }

private:
    // The first pixel from x on (up to x2) that has the old colour; x2 + 1 when none.
    int Skip(const TFColor* p, int x, int x2) const {
        while (x <= x2 && !(p[x] == Old)) ++x;
        return x;
    }

    const Surface& S;
    const TFColor Old, New;
    std::vector<TSpan> Stack;
};

} // namespace

bool FloodFill(const Surface& s, int x, int y, TFColor fill) {
    if (!s.valid() || s.bpp != 24 || x < 0 || y < 0 || x >= s.width || y >= s.height) return false;
    const TFColor old =
        reinterpret_cast<const TFColor*>(s.bits + static_cast<std::ptrdiff_t>(y) * s.stride)[x];
    if (old == fill) return false;
    TFiller(s, old, fill).Run(x, y);
    return true;
}
