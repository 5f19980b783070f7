#include "controls/GradientPainter.h"

#include "controls/ControlPaint.h"
#include "controls/SystemColors.h"
#include "image/Numeric.h"
#include "image/WorkControl.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int EllipseCount = 156; // the elliptic style always draws this many, whatever Steps holds
constexpr double Pi = 3.14159265358979323846;

// A run of pixels [a, b) of one row; empty when a >= b.
struct Span {
    int a = 0, b = 0;
};

TFColor Px(TColor c) {
    return ColorToFColor(c);
}

void FillSpan(TFColor* row, int W, int a, int b, TFColor c) {
    a = std::max(a, 0);
    b = std::min(b, W);
    if (a < b) std::fill(row + a, row + b, c);
}

// The row y of the filled ellipse inscribed in (l, t, r, b) (corners normalised): the pixels whose
// centres lie inside it. One definition serves both ellipse painters, so they agree pixel for pixel.
Span EllipseSpan(int l, int t, int r, int b, int y) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    if (r == l || b == t) return {};
    const double cx = (static_cast<double>(l) + r) * 0.5, cy = (static_cast<double>(t) + b) * 0.5;
    const double ra = (static_cast<double>(r) - l) * 0.5, rb = (static_cast<double>(b) - t) * 0.5;
    const double v = (y + 0.5 - cy) / rb;
    if (v * v > 1.0) return {};
    const double h = ra * std::sqrt(1.0 - v * v);
    return {static_cast<int>(std::ceil(cx - h - 0.5)), static_cast<int>(std::floor(cx + h - 0.5)) + 1};
}

// One row as drawing `spans` in their order would leave it: every pixel takes the colour of the last
// span over it. Works from the last span back, keeping the columns already decided as one interval, so
// each pixel is written once; should a span leave a gap to that interval, the row is drawn in order.
void ComposeRow(TFColor* row, int W, const Span* spans, const TFColor* colours, int n) {
    int cl = 0, cr = 0;
    bool any = false;
    for (int i = n - 1; i >= 0; --i) {
        const int a = std::max(spans[i].a, 0), b = std::min(spans[i].b, W);
        if (a >= b) continue;
        if (!any) {
            std::fill(row + a, row + b, colours[i]);
            cl = a;
            cr = b;
            any = true;
            continue;
        }
        if (b < cl || a > cr) {
            for (int j = 0; j < n; ++j) FillSpan(row, W, spans[j].a, spans[j].b, colours[j]);
            return;
        }
        if (a < cl) std::fill(row + a, row + cl, colours[i]);
        if (b > cr) std::fill(row + cr, row + b, colours[i]);
        cl = std::min(cl, a);
        cr = std::max(cr, b);
    }
}

void FillAll(TFastDIB& bm, TColor c) {
    FillRect(bm, TRect{0, 0, bm.Width, bm.Height}, c);
}

// Copies row 0 to every other row.
void RepeatFirstRow(TFastDIB& bm) {
    const std::size_t bytes = static_cast<std::size_t>(bm.Width) * 3;
    for (int y = 1; y < bm.Height; ++y) {
        if ((y & 63) == 0) WorkPoint();
        std::memcpy(bm.Scanlines[y], bm.Scanlines[0], bytes);
    }
}

void PaintHorizontal(TFastDIB& bm, const TGradientSettings& s, int steps) {
    const int W = bm.Width;
    TFColor* row = bm.Pixels24[0];
    for (int i = 0; i <= steps; ++i)
        FillSpan(row, W, GradientMulDiv(i, W, steps + 1), GradientMulDiv(i + 1, W, steps + 1),
                 Px(GradientStepColor(s.BeginColor, s.EndColor, i, steps)));
    RepeatFirstRow(bm);
}

void PaintVertical(TFastDIB& bm, const TGradientSettings& s, int steps) {
    const int W = bm.Width, H = bm.Height;
    for (int i = 0; i <= steps; ++i) {
        const TFColor c = Px(GradientStepColor(s.BeginColor, s.EndColor, i, steps));
        const int top = std::max(GradientMulDiv(i, H, steps + 1), 0);
        const int bottom = std::min(GradientMulDiv(i + 1, H, steps + 1), H);
        WorkPoint();
        for (int y = top; y < bottom; ++y) std::fill(bm.Pixels24[y], bm.Pixels24[y] + W, c);
    }
}

// Band i of the centre styles: i .. i + 1 from the one edge (MulDiv(i, half, half) = i), and the
// mirrored band, given as (size - i, size - i - 1), which covers the single line size - i - 1.
void PaintVertCenter(TFastDIB& bm, const TGradientSettings& s) {
    const int W = bm.Width, H = bm.Height, half = H / 2;
    auto fillRow = [&](int y, TFColor c) {
        if (y >= 0 && y < H) std::fill(bm.Pixels24[y], bm.Pixels24[y] + W, c);
    };
    for (int i = 0; i <= half; ++i) {
        const TFColor c = Px(GradientStepColor(s.BeginColor, s.EndColor, i, half));
        if ((i & 63) == 0) WorkPoint();
        fillRow(i, c);
        fillRow(H - i - 1, c);
    }
}

void PaintHorizCenter(TFastDIB& bm, const TGradientSettings& s) {
    const int W = bm.Width, half = W / 2;
    TFColor* row = bm.Pixels24[0];
    for (int i = 0; i <= half; ++i) {
        const TFColor c = Px(GradientStepColor(s.BeginColor, s.EndColor, i, half));
        if (i < W) row[i] = c;
        if (W - i - 1 >= 0) row[W - i - 1] = c;
    }
    RepeatFirstRow(bm);
}

struct Box {
    int l, t, r, b;
};

// The nested rectangles of gsRectangle, corners normalised as the fill takes them.
std::vector<Box> RectangleBoxes(int W, int H, int steps) {
    std::vector<Box> boxes(static_cast<std::size_t>(steps) + 1);
    double x1 = 0, y1 = 0, x2 = W + 2.0, y2 = H + 2.0;
    const double dx = (W / 2.0) / steps, dy = (H / 2.0) / steps;
    for (int i = 0; i <= steps; ++i) {
        x1 += dx;
        x2 -= dx;
        y1 += dy;
        y2 -= dy;
        int l = TruncI(x1), t = TruncI(y1), r = TruncI(x2), b = TruncI(y2);
        if (r < l) std::swap(l, r);
        if (b < t) std::swap(t, b);
        boxes[static_cast<std::size_t>(i)] = {l, t, r, b};
    }
    return boxes;
}

// The 156 bounding rectangles of gsElliptic (the +4 on the far sides is the control's own).
std::vector<Box> EllipseBoxes(int W, int H) {
    std::vector<Box> boxes(EllipseCount);
    double x1 = -W / 4.0, y1 = -H / 4.0, x2 = W + W / 4.0 + 4, y2 = H + H / 4.0 + 4;
    const double dx = (W / 2.0 + W / 4.0) / 155, dy = (H / 2.0 + H / 4.0) / 155;
    for (int i = 0; i < EllipseCount; ++i) {
        x1 += dx;
        x2 -= dx;
        y1 += dy;
        y2 -= dy;
        boxes[static_cast<std::size_t>(i)] = {TruncI(x1), TruncI(y1), TruncI(x2), TruncI(y2)};
    }
    return boxes;
}

std::vector<TFColor> StepColours(const TGradientSettings& s, int n) {
    std::vector<TFColor> c(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i)
        c[static_cast<std::size_t>(i)] = Px(GradientStepColor(s.BeginColor, s.EndColor, i, n));
    return c;
}

void PaintRectangle(TFastDIB& bm, const TGradientSettings& s, int steps) {
    const int W = bm.Width, H = bm.Height;
    const std::vector<Box> boxes = RectangleBoxes(W, H, steps);
    const std::vector<TFColor> colours = StepColours(s, steps);
    std::vector<Span> spans(boxes.size());
    for (int y = 0; y < H; ++y) {
        WorkPoint();
        for (std::size_t i = 0; i < boxes.size(); ++i)
            spans[i] = (y >= boxes[i].t && y < boxes[i].b) ? Span{boxes[i].l, boxes[i].r} : Span{};
        ComposeRow(bm.Pixels24[y], W, spans.data(), colours.data(), static_cast<int>(spans.size()));
    }
}

void PaintElliptic(TFastDIB& bm, const TGradientSettings& s) {
    const int W = bm.Width, H = bm.Height;
    const std::vector<Box> boxes = EllipseBoxes(W, H);
    const std::vector<TFColor> colours = StepColours(s, EllipseCount - 1);
    std::vector<Span> spans(boxes.size());
    for (int y = 0; y < H; ++y) {
        WorkPoint();
        for (std::size_t i = 0; i < boxes.size(); ++i)
            spans[i] = EllipseSpan(boxes[i].l, boxes[i].t, boxes[i].r, boxes[i].b, y);
        ComposeRow(bm.Pixels24[y], W, spans.data(), colours.data(), EllipseCount);
    }
}

// --- radial styles ---

// Vectors in doubled pixel units, relative to the centre of the pies' bounding ellipse (W/2, H/2), so
// that pixel centres and ray ends are whole numbers.
struct Vec {
    std::int64_t x = 0, y = 0;
    friend bool operator==(const Vec&, const Vec&) = default;
};
// Positive when b lies clockwise of a on the screen (y grows downward).
std::int64_t Cross(Vec a, Vec b) {
    return a.x * b.y - a.y * b.x;
}
std::int64_t Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y;
}
// The angle of v clockwise from straight up, in [0, 2 pi).
double Bearing(Vec v) {
    const double a = std::atan2(static_cast<double>(v.x), static_cast<double>(-v.y));
    return a < 0 ? a + 2 * Pi : a;
}

// Colour of wedge k (drawn at angle StartAngle + k).
TColor WedgeColour(const TGradientSettings& s, int k) {
    if (s.GradientStyle == gsRadial1)
        return GradientStepColor(s.BeginColor, s.EndColor, k < 180 ? k : 359 - k, 180);
    const int q = k / 90, m = k % 90;
    return GradientStepColor(s.BeginColor, s.EndColor, (q % 2 == 0) ? m : 89 - m, 90);
}

void PaintRadial(TFastDIB& bm, const TGradientSettings& s) {
    const int W = bm.Width, H = bm.Height;
    const int cx = W / 2, cy = H / 2, r = std::max(W, H) / 2;
    const int el = -(W / 4), et = -(H / 4), er = W + W / 4, eb = H + H / 4;
    // Ray k points at P(StartAngle + k), k = 0 .. 361 (wedge k runs from ray k to ray k + 2).
    Vec d[362];
    for (int k = 0; k < 362; ++k) {
        const double t = static_cast<double>(s.StartAngle) + k;
        const float rad = static_cast<float>(t * (Pi / 180.0));
        const std::int64_t px = cx + Round(r * std::sin(static_cast<double>(rad)));
        const std::int64_t py = cy - Round(r * std::cos(static_cast<double>(rad)));
        d[k] = {2 * px - W, 2 * py - H};
    }
    TFColor colour[360];
    for (int k = 0; k < 360; ++k) colour[k] = Px(WedgeColour(s, k));

    // When the rays turn steadily clockwise, wedge k is the sector from ray k to ray k + 2 and the
    // sector between ray j and ray j + 1 ends in the colour of wedge j (wedge 359 for j = 0, as it
    // is drawn last and reaches round to ray 1).
    bool steady = d[360] == d[0] && d[361] == d[1];
    for (int k = 0; steady && k < 360; ++k) steady = Cross(d[k], d[k + 1]) > 0 && Cross(d[k], d[k + 2]) > 0;

    for (int y = 0; y < H; ++y) {
        WorkPoint();
        const Span e = EllipseSpan(el, et, er, eb, y);
        const int a = std::max(e.a, 0), b = std::min(e.b, W);
        TFColor* row = bm.Pixels24[y];
        if (steady) {
            int j = -1;
            for (int x = a; x < b; ++x) {
                const Vec v{2 * x + 1 - W, 2 * y + 1 - H};
                if (v.x == 0 && v.y == 0) {
                    row[x] = colour[359]; // the centre lies in every wedge
                    continue;
                }
                if (j < 0) {
                    const double deg =
                        Bearing(v) * 180.0 / Pi - std::fmod(static_cast<double>(s.StartAngle), 360.0);
                    j = WrapMod(static_cast<std::int64_t>(std::floor(deg)), 360);
                }
                for (int guard = 0; guard < 720; ++guard) {
                    if (Cross(d[j], v) < 0)
                        j = j == 0 ? 359 : j - 1;
                    else if (Cross(d[j + 1], v) >= 0)
                        j = j == 359 ? 0 : j + 1;
                    else
                        break;
                }
                row[x] = colour[j == 0 ? 359 : j];
            }
            continue;
        }
        // Rays that stall or turn back (small pictures, where the ray ends round onto few pixels):
        // each pixel takes the last wedge that covers it, a wedge whose two rays coincide being the
        // whole ellipse.
        double from[360], sweep[360];
        bool whole[360];
        for (int k = 0; k < 360; ++k) {
            const Vec st = d[k + 2], en = d[k];
            whole[k] = (st.x == 0 && st.y == 0) || (en.x == 0 && en.y == 0) ||
                       (Cross(en, st) == 0 && Dot(en, st) > 0);
            from[k] = Bearing(en);
            sweep[k] = std::fmod(Bearing(st) - from[k] + 2 * Pi, 2 * Pi);
        }
        for (int x = a; x < b; ++x) {
            const Vec v{2 * x + 1 - W, 2 * y + 1 - H};
            const double bv = Bearing(v);
            for (int k = 359; k >= 0; --k) {
                if (whole[k] || (v.x == 0 && v.y == 0) ||
                    std::fmod(bv - from[k] + 2 * Pi, 2 * Pi) <= sweep[k]) {
                    row[x] = colour[k];
                    break;
                }
            }
        }
    }
}

void PaintFrame(TFastDIB& bm) {
    TRect r{0, 0, bm.Width, bm.Height};
    Frame3D(bm, r, clGray, clWhite, 2);
    r.Left -= 1;
    r.Top -= 1;
    r.Right += 1;
    r.Bottom += 1;
    Frame3D(bm, r, clBlack, clSilver, 1);
}

bool UsesSteps(TGradientStyle style) {
    return style == gsHorizontal || style == gsVertical || style == gsRectangle;
}

} // namespace

int GradientMulDiv(int a, int b, int c) {
    return ClampToInt(static_cast<std::int64_t>(a) * b / c);
}

TColor GradientStepColor(TColor begin, TColor end, int k, int n) {
    if (n == 0) return begin;
    const int r1 = GetRValue(begin), g1 = GetGValue(begin), b1 = GetBValue(begin);
    const int r = r1 + GradientMulDiv(k, GetRValue(end) - r1, n);
    const int g = g1 + GradientMulDiv(k, GetGValue(end) - g1, n);
    const int b = b1 + GradientMulDiv(k, GetBValue(end) - b1, n);
    return RGBColor(r & 255, g & 255, b & 255);
}

int PaintSteps(int steps) {
    return std::clamp(steps, 1, 65535);
}

void PaintGradient(TFastDIB& bm, const TGradientSettings& s) {
    if (bm.Empty() || bm.Bpp != 24 || bm.Width <= 0 || bm.Height <= 0) return;
    const int steps = PaintSteps(s.Steps);
    if (s.Steps == 0 && UsesSteps(s.GradientStyle)) {
        FillAll(bm, s.BeginColor); // every step would divide by 0
    } else {
        switch (s.GradientStyle) {
        case gsHorizontal:
            PaintHorizontal(bm, s, steps);
            break;
        case gsVertical:
            PaintVertical(bm, s, steps);
            break;
        case gsElliptic:
            PaintElliptic(bm, s);
            break;
        case gsRectangle:
            PaintRectangle(bm, s, steps);
            break;
        case gsVertCenter:
            PaintVertCenter(bm, s);
            break;
        case gsHorizCenter:
            PaintHorizCenter(bm, s);
            break;
        case gsRadial1:
        case gsRadial2:
            PaintRadial(bm, s);
            break;
        }
    }
    if (s.Ctl3D) PaintFrame(bm);
}

void PaintEllipticByEllipses(TFastDIB& bm, const TGradientSettings& s) {
    if (bm.Empty() || bm.Bpp != 24) return;
    const std::vector<Box> boxes = EllipseBoxes(bm.Width, bm.Height);
    const std::vector<TFColor> colours = StepColours(s, EllipseCount - 1);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        WorkPoint();
        for (int y = 0; y < bm.Height; ++y) {
            const Span sp = EllipseSpan(boxes[i].l, boxes[i].t, boxes[i].r, boxes[i].b, y);
            FillSpan(bm.Pixels24[y], bm.Width, sp.a, sp.b, colours[i]);
        }
    }
    if (s.Ctl3D) PaintFrame(bm);
}

void PaintRectangleByRectangles(TFastDIB& bm, const TGradientSettings& s) {
    if (bm.Empty() || bm.Bpp != 24) return;
    const int steps = PaintSteps(s.Steps);
    const std::vector<Box> boxes = RectangleBoxes(bm.Width, bm.Height, steps);
    const std::vector<TFColor> colours = StepColours(s, steps);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        WorkPoint();
        FillRect(bm, TRect{boxes[i].l, boxes[i].t, boxes[i].r, boxes[i].b}, FColorToColor(colours[i]));
    }
    if (s.Ctl3D) PaintFrame(bm);
}

void ResizeKeepingPixels(TFastDIB& bm, int W, int H) {
    W = std::max(W, 0);
    H = std::max(H, 0);
    if (bm.Width == W && bm.Height == H && bm.Bpp == 24) return;
    if (W == 0 || H == 0) {
        bm.SetSize(0, 0, 0, 0);
        return;
    }
    TFastDIB next;
    next.SetSize(W, H, 24, 0);
    FillRect(next, TRect{0, 0, W, H}, clWhite);
    if (!bm.Empty() && bm.Bpp == 24) {
        const int cw = std::min(W, bm.Width), ch = std::min(H, bm.Height);
        for (int y = 0; y < ch; ++y)
            std::memcpy(next.Scanlines[y], bm.Scanlines[y], static_cast<std::size_t>(cw) * 3);
    }
    bm.Swap(next);
}
