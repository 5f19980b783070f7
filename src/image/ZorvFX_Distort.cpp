// Wrap-around distortions. The warps gather: for every destination pixel they work out the source point
// and sample it, so the result does not depend on the order pixels are visited in, and bands of rows run
// on every core. Temporaries are the calling thread's scratch images, which keep their memory between
// calls; results are copied back row by row.
#include "image/ZorvFX_Distort.h"

#include "image/FastFX.h"
#include "image/ImagePair.h"
#include "image/Numeric.h"
#include "image/Parallel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numbers>
#include <vector>

namespace {

constexpr double Pi = std::numbers::pi;

bool usable(const TFastDIB& b) {
    return b.Bits && b.Bpp == 24 && b.Width > 0 && b.Height > 0;
}

// The wrap rule with cheap paths for coordinates at most one size outside 0 .. n - 1.
inline int wrapIndex(std::int64_t v, int n) {
    if (v >= 0) {
        if (v < n) return static_cast<int>(v);
        if (v < 2 * static_cast<std::int64_t>(n)) return static_cast<int>(v - n);
    } else if (v >= -static_cast<std::int64_t>(n)) {
        return static_cast<int>(v + n);
    }
    return WrapMod(v, n);
}

inline int clampIndex(std::int64_t v, int n) {
    return static_cast<int>(v < 0 ? 0 : (v >= n ? n - 1 : v));
}

// A channel sum of non-negative weights (0 .. 255 plus rounding noise) rounded halves to even into a
// byte; 1.5 * 2^23 does for Singles what 1.5 * 2^52 does above.
inline std::uint8_t roundByte(float v) {
    const int i = static_cast<int>((v + 12582912.0f) - 12582912.0f);
    return static_cast<std::uint8_t>(i > 255 ? 255 : i);
}

// Channel values as Singles, read from a table rather than converted one by one.
struct ByteFloatTable {
    float v[256];
    constexpr ByteFloatTable() : v() {
        for (int i = 0; i < 256; ++i) v[i] = static_cast<float>(i);
    }
};
constexpr ByteFloatTable ByteFloats;

// The four pixels (ix, iy), (ix, iy + 1), (ix + 1, iy), (ix + 1, iy + 1) weighted by (1 - wx)(1 - wy),
// (1 - wx) wy, wx (1 - wy) and wx wy, each weight a Single product, summed per channel in this order in
// Single precision and rounded halves to even.
inline TFColor blend4(const std::uint8_t* p00, const std::uint8_t* p01, const std::uint8_t* p10,
                      const std::uint8_t* p11, float wx, float wy) {
    const float gx = 1.0f - wx, gy = 1.0f - wy;
    const float w00 = gx * gy, w01 = gx * wy, w10 = wx * gy, w11 = wx * wy;
    const float* f = ByteFloats.v;
    std::uint8_t out[3];
    for (int c = 0; c < 3; ++c) {
        float sum = w00 * f[p00[c]];
        sum += w01 * f[p01[c]];
        sum += w10 * f[p10[c]];
        sum += w11 * f[p11[c]];
        out[c] = roundByte(sum);
    }
    return TFColor{out[0], out[1], out[2]};
}

// The band lambdas below copy what they capture by reference into locals before their pixel loops: a
// byte store may alias any captured value, which would otherwise be read again for every pixel and keep
// the loop from being vectorised.

// A scratch image of Bmp's size holding a copy of its pixels.
TFastDIB& copyOf(const TFastDIB& Bmp, int slot) {
    TFastDIB& copy = ScratchImage(slot, Bmp.Width, Bmp.Height);
    CopyPixels(Bmp, copy);
    return copy;
}

// A scratch image of Bmp's size whose pixels are about to be overwritten.
TFastDIB& scratchFor(const TFastDIB& Bmp, int slot) {
    return ScratchImage(slot, Bmp.Width, Bmp.Height);
}

// One axis of a bilinear sample at s on an axis of n pixels: base = floor(s) wrapped, next = base + 1
// wrapped, f = s - floor(s). Huge coordinates are reduced in floating point before any conversion; a
// coordinate that is not finite samples position 0.
inline void bilinearAxis(double s, int n, int& base, int& next, float& f) {
    if (s >= 0 && s < n - 1) { // the common case: both taps inside without wrapping
        base = static_cast<int>(s);
        next = base + 1;
        f = static_cast<float>(s - base);
        return;
    }
    std::int64_t i;
    if (s >= -1e15 && s <= 1e15) {
        i = static_cast<std::int64_t>(s); // toward zero, then down for negative fractions
        if (static_cast<double>(i) > s) --i;
        f = static_cast<float>(s - static_cast<double>(i));
    } else if (std::isfinite(s)) {
        const double fl = std::floor(s);
        i = static_cast<std::int64_t>(std::fmod(fl, static_cast<double>(n)));
        f = static_cast<float>(s - fl);
    } else {
        i = 0;
        f = 0.0f;
    }
    base = wrapIndex(i, n);
    next = base + 1 == n ? 0 : base + 1;
}

// A source image's rows and size held in locals, so that pixel stores (bytes, which may alias anything)
// do not force them to be read again for every pixel.
struct SourceView {
    std::uint8_t* const* rows;
    int w, h;
    explicit SourceView(const TFastDIB& b) : rows(b.Scanlines), w(b.Width), h(b.Height) {}
};

// The bilinear sample of the source at (sx, sy) with wrap-around.
inline TFColor sampleBilinear(SourceView src, double sx, double sy) {
    int x0, x1, y0, y1;
    float fx, fy;
    bilinearAxis(sx, src.w, x0, x1, fx);
    bilinearAxis(sy, src.h, y0, y1, fy);
    const std::uint8_t* r0 = src.rows[y0];
    const std::uint8_t* r1 = src.rows[y1];
    return blend4(r0 + 3 * x0, r1 + 3 * x0, r0 + 3 * x1, r1 + 3 * x1, fx, fy);
}

// Dst's pixels when an effect is the identity: Src sampled with wrap-around, i.e. Src tiled over Dst.
void tileInto(const TFastDIB& Src, TFastDIB& Dst) {
    Src.TileDraw(Dst, 0, 0, Dst.Width, Dst.Height);
}

// The scale of a sine wave: Size / pi / Period when Peaks, otherwise Period. False when it cannot be
// had (a zero or non-finite period).
bool sineScale(int size, float Period, bool Peaks, double& p) {
    if (Period == 0 || !std::isfinite(Period)) return false;
    p = Peaks ? size / Pi / Period : Period;
    return true;
}

// Round(sin(i / p) * A) for i = 0 .. n - 1, as an offset on an axis of `size` pixels: wrapped into
// 0 .. size - 1, or otherwise limited to -size .. size (a larger move shifts the whole line out of view
// either way).
std::vector<int> sineOffsets(int n, double p, double A, int size, bool wrap) {
    std::vector<int> off(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const std::int64_t o = Round(std::sin(i / p) * A);
        off[i] = wrap ? WrapMod(o, size) : static_cast<int>(std::clamp<std::int64_t>(o, -size, size));
    }
    return off;
}

// Runs of consecutive columns that share one offset: [start[i], start[i + 1]) has offset off[start[i]].
std::vector<int> offsetRuns(const std::vector<int>& off) {
    std::vector<int> start;
    for (int x = 0; x < static_cast<int>(off.size()); ++x)
        if (x == 0 || off[x] != off[x - 1]) start.push_back(x);
    start.push_back(static_cast<int>(off.size()));
    return start;
}

} // namespace

void RadialWaves(TFastDIB& Bmp, int Amplitude, int Wavelength, float Phase, bool Reflective) {
    if (!usable(Bmp) || Wavelength == 0 || !std::isfinite(Phase)) return;
    TFastDIB& tmp = scratchFor(Bmp, 0);
    // The frame stretched to a square: the shorter half-side is scaled up to the longer one.
    auto scales = [](int w, int h, double& sx, double& sy) {
        const double hw = w / 2.0, hh = h / 2.0;
        sx = hw < hh ? hh / hw : 1;
        sy = hw < hh ? 1 : hw / hh;
    };
    std::vector<double> dxTable(static_cast<std::size_t>(Bmp.Width));
    {
        double sx, sy;
        scales(Bmp.Width, Bmp.Height, sx, sy);
        for (int x = 0; x < Bmp.Width; ++x) dxTable[x] = (x - (Bmp.Width - 1) / 2.0) * sx;
    }

    // The wave's height depends only on the distance from the centre, which is the same for pixels
    // mirrored on either axis: it is worked out once for each pixel of the top-left quarter, and a band
    // fills rows y and H - 1 - y together.
    ParallelRows((Bmp.Height + 1) / 2, WorkOf(Bmp, CostHeavy), [&](int y0, int y1) {
        const int W = Bmp.Width, H = Bmp.Height;
        const double cx = (W - 1) / 2.0, cy = (H - 1) / 2.0;
        double ax, ay;
        scales(W, H, ax, ay);
        const double twoWave = 2.0 * Wavelength, amplitude = Amplitude;
        const double phase = static_cast<float>(Pi * Phase / 180);
        const bool reflective = Reflective;
        const PPixels24 src = Bmp.Pixels24, dst = tmp.Pixels24;
        const double* dxs = dxTable.data();
        std::vector<double> amp(static_cast<std::size_t>(W));
        for (int y = y0; y < y1; ++y) {
            const double ady = (y - cy) * ay;
            for (int x = 0; x <= (W - 1) / 2; ++x) {
                const double dx = dxs[x];
                const double r = std::sqrt(dx * dx + ady * ady);
                const double t = r / twoWave * (2 * Pi) + phase;
                const double sn = reflective ? std::fabs(std::sin(t)) : std::sin(t);
                amp[x] = amp[W - 1 - x] = sn * amplitude;
            }
            for (const int row : {y, H - 1 - y}) {
                const double dy = (row - cy) * ay;
                TFColor* d = dst[row];
                for (int x = 0; x < W; ++x) {
                    const double a = amp[x], dx = dxs[x];
                    int u, v;
                    if (reflective) {
                        u = clampIndex(RoundFast(a * dx / ax + cx), W);
                        v = clampIndex(RoundFast(a * dy / ay + cy), H);
                    } else {
                        u = wrapIndex(RoundFast((a + dx) / ax + cx), W);
                        v = wrapIndex(RoundFast((a + dy) / ay + cy), H);
                    }
                    d[x] = src[v][u];
                }
                if (row == H - 1 - row) break; // the middle row of an odd height has no mirror
            }
        }
    });
    CopyPixels(tmp, Bmp);
}

void WhirlPinch(TFastDIB& Bmp, double Angle, double Pinch, double Radius) {
    // Below 3 x 3 the half-sizes (W - 2) / 2 and (H - 2) / 2 are 0 or negative and cannot scale.
    if (!usable(Bmp) || Bmp.Width < 3 || Bmp.Height < 3) return;
    if (!std::isfinite(Angle) || !std::isfinite(Pinch) || !std::isfinite(Radius)) return;
    Pinch = std::clamp(Pinch, -1.0, 1.0);
    if (Radius <= 0) return; // nothing lies inside a circle of radius 0
    const int W = Bmp.Width, H = Bmp.Height;
    TFastDIB& tmp = scratchFor(Bmp, 0);
    const int cx = RoundI((W - 1) / 2.0), cy = RoundI((H - 1) / 2.0);
    const double hx = (W - 2) / 2.0, hy = (H - 2) / 2.0;
    double sx = 1, sy = 1;
    if (hx < hy)
        sx = hy / hx;
    else
        sy = hx / hy;
    const double R = std::max(hx, hy);
    const double whirl = Pi * Angle / 180;
    const double R2 = R * R * Radius;

    // Everything that follows from dx^2 + dy^2 is the same for the pixels mirrored about the centre
    // on either axis, so it is worked out once per (|x - cx|, |y - cy|) and used for up to four pixels.
    struct Step {
        bool inside;
        double factor, ca, sa;
    };
    const int maxI = std::max(cx, W - 1 - cx), maxJ = std::max(cy, H - 1 - cy);
    struct BandArgs {
        int W, H, cx, cy, maxI;
        double sx, sy, R, R2, Radius, Pinch, whirl;
        PPixels24 src, dst;
    };
    const BandArgs args{W, H, cx, cy, maxI, sx, sy, R, R2, Radius, Pinch, whirl, Bmp.Pixels24, tmp.Pixels24};
    ParallelRows(maxJ + 1, WorkOf(Bmp, CostHeavy), [&](int j0, int j1) {
        const BandArgs arg = args;
        std::vector<Step> steps(static_cast<std::size_t>(arg.maxI) + 1);
        for (int j = j0; j < j1; ++j) {
            const double ady = j * arg.sy;
            for (int i = 0; i <= arg.maxI; ++i) {
                const double adx = i * arg.sx;
                const double dd = adx * adx + ady * ady;
                Step& st = steps[i];
                st.inside = dd < arg.R2;
                if (!st.inside) continue;
                const double dist = std::sqrt(dd / arg.Radius) / arg.R;
                const double sn = std::sin(Pi / 2 * dist);
                st.factor = sn == 0 ? 0.0 : (arg.Pinch == 0 ? 1.0 : std::pow(sn, -arg.Pinch));
                const double t = 1 - dist;
                const double ang = arg.whirl * t * t;
                st.ca = std::cos(ang);
                st.sa = std::sin(ang);
            }
            for (const int y : {arg.cy - j, arg.cy + j}) {
                if (y < 0 || y >= arg.H) continue;
                const double dy = (y - arg.cy) * arg.sy;
                const TFColor* s = arg.src[y];
                TFColor* d = arg.dst[y];
                for (int x = 0; x < arg.W; ++x) {
                    const Step& st = steps[x < arg.cx ? arg.cx - x : x - arg.cx];
                    if (!st.inside) {
                        d[x] = s[x];
                        continue;
                    }
                    const double dx = (x - arg.cx) * arg.sx;
                    const double px = dx * st.factor, py = dy * st.factor;
                    const int u = wrapIndex(RoundFast((st.ca * px - st.sa * py) / arg.sx + arg.cx), arg.W);
                    const int v = wrapIndex(RoundFast((st.sa * px + st.ca * py) / arg.sy + arg.cy), arg.H);
                    d[x] = arg.src[v][u];
                }
                if (j == 0) break; // the centre row has no mirror
            }
        }
    });
    CopyPixels(tmp, Bmp);
}

namespace {

// Where a pixel's distance from the centre equals the lens radius R exactly, R moves on a little for the
// rest of the call (below). The lens radius at the start of each row, found without visiting every pixel:
// along a row the distance falls towards the centre column and rises after it, so each half is searched
// by bisection for the pixels where it meets R.
std::vector<float> fishEyeRowRadii(int W, int H, float cx, float cy, float R) {
    std::vector<float> start(static_cast<std::size_t>(H));
    auto bump = [](float& radius, float r) {
        radius += 0.01f;
        if (radius == r) radius = std::nextafter(radius, std::numeric_limits<float>::infinity());
    };
    // The first x in first .. last - 1 where pred holds (pred false, then true), or last.
    auto firstWhere = [](int first, int last, auto pred) {
        while (first < last) {
            const int mid = first + (last - first) / 2;
            if (pred(mid))
                last = mid;
            else
                first = mid + 1;
        }
        return first;
    };
    int split = 0; // the first column with x - cx >= 0
    while (split < W && static_cast<float>(split - cx) < 0) ++split;
    for (int y = 0; y < H; ++y) {
        start[y] = R;
        const float dy = y - cy;
        auto rAt = [&](int x) {
            const float dx = x - cx;
            return std::sqrt(dx * dx + dy * dy);
        };
        // Left of the centre the distance falls: at most one pixel meets R, after which R stays above.
        int x = firstWhere(0, split, [&](int i) { return rAt(i) <= R; });
        if (x < split && rAt(x) == R && R != 0) bump(R, rAt(x));
        // Right of it the distance rises: R may be met, moved on and met again further out.
        int from = split;
        for (;;) {
            x = firstWhere(from, W, [&](int i) { return rAt(i) >= R; });
            if (x >= W) break;
            const float r = rAt(x);
            if (r != R) break;
            if (r != 0) bump(R, r);
            from = x + 1;
        }
    }
    return start;
}

} // namespace

void FishEye(const TFastDIB& Src, TFastDIB& Dst, long double Amount) {
    if (!usable(Src) || !usable(Dst)) return;
    // The source, when the caller passes one image as both.
    const TFastDIB* S = &Src == &Dst ? &copyOf(Src, 0) : &Src;
    const SourceView view(*S);
    const float cx = S->Width / 2.0f, cy = S->Height / 2.0f;
    const float R0 = static_cast<float>(Dst.Width * Amount);
    if (R0 == 0 || !std::isfinite(R0)) { // no lens: the picture as it is
        if (S != &Dst) tileInto(*S, Dst);
        return;
    }
    const std::vector<float> rowR = fishEyeRowRadii(Dst.Width, Dst.Height, cx, cy, R0);
    struct BandArgs {
        SourceView view;
        float cx, cy;
        const float* rowR;
        PPixels24 dst;
        int w;
    };
    const BandArgs args{view, cx, cy, rowR.data(), Dst.Pixels24, Dst.Width};
    ParallelRows(Dst.Height, WorkOf(Dst, CostHeavy), [&](int y0, int y1) {
        const BandArgs arg = args;
        for (int y = y0; y < y1; ++y) {
            float R = arg.rowR[y];
            const float dy = y - arg.cy;
            TFColor* d = arg.dst[y];
            for (int x = 0; x < arg.w; ++x) {
                const float dx = x - arg.cx;
                const float r = std::sqrt(dx * dx + dy * dy);
                double u = arg.cx, v = arg.cy;
                if (r != 0) {
                    if (r == R) {
                        // Move the lens edge off this pixel for the rest of the call; far from the origin
                        // 0.01 may be below the spacing of Singles, so step at least to the next one.
                        R += 0.01f;
                        if (R == r) R = std::nextafter(R, std::numeric_limits<float>::infinity());
                    }
                    const double q = (1.0 / (1.0 - static_cast<double>(r) / R) - 1.0) * (R / 2.0);
                    u = dx * q / r + arg.cx;
                    v = dy * q / r + arg.cy;
                }
                d[x] = sampleBilinear(arg.view, u, v);
            }
        }
    });
}

void TwistFX(const TFastDIB& Src, TFastDIB& Dst, int Amount) {
    if (!usable(Src) || !usable(Dst)) return;
    const TFastDIB* S = &Src == &Dst ? &copyOf(Src, 0) : &Src;
    if (Amount == 0) { // r / 0: no twist at all
        if (S != &Dst) tileInto(*S, Dst);
        return;
    }
    // One pixel from its angle ArcTan2F(dy, dx) and its distance r. The quarter turn is part of the
    // effect: even a huge Amount turns the picture by 90 degrees. The angle is a Single like ArcTan2F's
    // result, and so are its cosine and sine. Each band works from its own copy of these values.
    struct Twister {
        SourceView view;
        float cx, cy;
        int amount;
        PPixels24 dst;
        void operator()(int x, int y, float theta, float r) const {
            double u = cx, v = cy;
            if (r != 0) {
                const float a = static_cast<float>(theta - static_cast<double>(r) / amount + Pi / 2);
                u = static_cast<double>(std::cos(a)) * r + cx;
                v = static_cast<double>(std::sin(a)) * r + cy;
            }
            dst[y][x] = sampleBilinear(view, u, v);
        }
    };
    const Twister twister{SourceView(*S), (S->Width - 1) / 2.0f, (S->Height - 1) / 2.0f, Amount,
                          Dst.Pixels24};
    const int W = Dst.Width, H = Dst.Height;
    if (W != S->Width || H != S->Height) {
        ParallelRows(H, WorkOf(Dst, CostHeavy), [&](int y0, int y1) {
            const Twister twist = twister;
            const int w = W;
            for (int y = y0; y < y1; ++y)
                for (int x = 0; x < w; ++x) {
                    const float dx = x - twist.cx, dy = y - twist.cy;
                    twist(x, y, ArcTan2F(dy, dx), std::sqrt(dx * dx + dy * dy));
                }
        });
        return;
    }
    // With equal sizes the four pixels mirrored about the centre share their distance and, arctan being
    // odd, one arctangent: with q = arctan(dy / dx) for dx < 0, ArcTan2F gives q + pi at (dx, dy), -q at
    // (-dx, dy), pi - q at (dx, -dy) and q at (-dx, -dy).
    constexpr float pi = std::numbers::pi_v<float>;
    ParallelRows((H + 1) / 2, WorkOf(Dst, CostHeavy), [&](int r0, int r1) {
        const Twister twist = twister;
        const int w = W, h = H;
        for (int y = r0; y < r1; ++y) {
            const int y2 = h - 1 - y;
            const float dy = y - twist.cy;
            for (int x = 0; x <= (w - 1) / 2; ++x) {
                const int x2 = w - 1 - x;
                const float dx = x - twist.cx;
                const float r = std::sqrt(dx * dx + dy * dy);
                if (dx == 0) { // the middle column of an odd width
                    twist(x, y, ArcTan2F(dy, dx), r);
                    if (y2 != y) twist(x, y2, ArcTan2F(-dy, dx), r);
                    continue;
                }
                const float q = std::atan(dy / dx);
                twist(x, y, q + pi, r);
                twist(x2, y, -q, r);
                if (y2 != y) {
                    twist(x, y2, -q + pi, r);
                    twist(x2, y2, q, r);
                }
            }
        }
    });
}

void ResizeBilinear(const TFastDIB& Bmp, TFastDIB& tmp, int NewWidth, int NewHeight, bool Tiled) {
    if (!usable(Bmp) || NewWidth <= 0 || NewHeight <= 0 || &Bmp == &tmp) return;
    const int W = Bmp.Width, H = Bmp.Height;
    if (W == NewWidth && H == NewHeight) {
        tmp.SetSize(W, H, 24, 0);
        CopyPixels(Bmp, tmp);
        return;
    }
    // The new picture's memory is first touched by the bands that fill it, each on its own rows.
    tmp.SetSizeUncleared(NewWidth, NewHeight, 24, 0);

    // Per axis: the two taps and the weight of the second. Without Tiled a single column or row is
    // used alone (its scale would divide by 0); float rounding cannot push a tap past the last pixel.
    struct Taps {
        std::vector<int> i0, i1;
        std::vector<float> w;
    };
    auto taps = [Tiled](int n, int newN) {
        Taps t{std::vector<int>(newN), std::vector<int>(newN), std::vector<float>(newN)};
        const float k = Tiled ? static_cast<float>(static_cast<double>(newN) / n)
                              : (n > 1 ? static_cast<float>(static_cast<double>(newN) / (n - 1)) : 0.0f);
        for (int j = 0; j < newN; ++j) {
            if (k == 0) {
                t.i0[j] = t.i1[j] = 0;
                t.w[j] = 0;
                continue;
            }
            const float f = static_cast<float>(j) / k;
            const int i = TruncI(f);
            t.w[j] = f - static_cast<float>(i);
            if (Tiled) {
                t.i0[j] = wrapIndex(i, n);
                t.i1[j] = t.i0[j] + 1 == n ? 0 : t.i0[j] + 1;
            } else {
                t.i0[j] = clampIndex(i, n);
                t.i1[j] = clampIndex(t.i0[j] + 1, n);
            }
        }
        return t;
    };
    const Taps cx = taps(W, NewWidth), cy = taps(H, NewHeight);

    ParallelRows(NewHeight, WorkOf(tmp, CostFloat), [&](int y0, int y1) {
        const int* const x0 = cx.i0.data();
        const int* const x1 = cx.i1.data();
        const float* const wx = cx.w.data();
        std::uint8_t* const* const src = Bmp.Scanlines;
        const PPixels24 dst = tmp.Pixels24;
        const int w = NewWidth, gap = tmp.Gap;
        for (int y = y0; y < y1; ++y) {
            const float wy = cy.w[y];
            const std::uint8_t* ra = src[cy.i0[y]];
            const std::uint8_t* rb = src[cy.i1[y]];
            TFColor* d = dst[y];
            for (int x = 0; x < w; ++x) {
                const int a = 3 * x0[x], b = 3 * x1[x];
                d[x] = blend4(ra + a, rb + a, ra + b, rb + b, wx[x], wy);
            }
            std::memset(d + w, 0, static_cast<std::size_t>(gap)); // the row padding stays zero
        }
    });
}

void ResizeBilinear(TFastDIB& Bmp, int NewWidth, int NewHeight, bool Tiled) {
    if (!usable(Bmp) || NewWidth <= 0 || NewHeight <= 0) return;
    if (Bmp.Width == NewWidth && Bmp.Height == NewHeight) return;
    TFastDIB tmp;
    ResizeBilinear(Bmp, tmp, NewWidth, NewHeight, Tiled);
    // Taking the resized pixels over cannot fail, so the image is never lost to a failed allocation.
    Bmp.Swap(tmp);
}

void WaterDisplace(int dy, int dx, const TFastDIB& Map, TFastDIB& Target) {
    if (!usable(Target) || !Map.Bits || Map.Width <= 0 || Map.Height <= 0) return;
    const int W = Target.Width, H = Target.Height;
    // The weights come from the map as it is before any pixel changes: from the copy of Target when the
    // map is Target itself, from a resized copy when the sizes differ.
    const TFastDIB& src = copyOf(Target, 0);
    const TFastDIB* M = &Map;
    if (&Map == &Target) {
        M = &src;
    } else if (Map.Width != W || Map.Height != H || Map.Bpp != 24) {
        TFastDIB& resized = ScratchImage(1, Map.Width, Map.Height);
        Map.Draw(resized, 0, 0);
        ResizeBilinear(resized, W, H, false);
        if (resized.Width != W || resized.Height != H) return;
        M = &resized;
    }
    // The weight w = m / 255 takes 256 values, so the moves come from tables: d * w + d is exact in
    // double, and adding the integer coordinate keeps its fraction, so Round(d * w + x + d) is the rounded
    // move plus x, except at an exact half, where the sum's parity decides (halves go to even).
    struct Move {
        std::int64_t base; // Round(d * w + d), or its floor at an exact half
        bool half;
    };
    auto moves = [](int d) {
        std::vector<Move> t(256);
        for (int m = 0; m < 256; ++m) {
            const double v = d * static_cast<double>(m / 255.0f) + d;
            const double fl = std::floor(v);
            t[m].half = v - fl == 0.5;
            t[m].base = t[m].half ? static_cast<std::int64_t>(fl) : RoundFast(v);
        }
        return t;
    };
    const std::vector<Move> mx = moves(dx), my = moves(dy);
    auto moved = [](const Move& mv, std::int64_t at) {
        const std::int64_t v = mv.base + at;
        return mv.half && (v & 1) ? v + 1 : v;
    };
    ParallelRows(H, WorkOf(Target, CostSimple), [&](int y0, int y1) {
        const Move* const movesX = mx.data();
        const Move* const movesY = my.data();
        const PPixels24 map = M->Pixels24, from = src.Pixels24, to = Target.Pixels24;
        const int w = W, h = H;
        for (int y = y0; y < y1; ++y) {
            const TFColor* m = map[y];
            TFColor* d = to[y];
            for (int x = 0; x < w; ++x) {
                const int k = std::max({m[x].r, m[x].g, m[x].b});
                const int u = wrapIndex(moved(movesX[k], x), w);
                const int v = wrapIndex(moved(movesY[k], y), h);
                d[x] = from[v][u];
            }
        }
    });
    // A resized map keeps its scratch slot at the map's size for the next call of the same kind.
}

void RippleTooth(const TFastDIB& Src, TFastDIB& Dst, int Amount) {
    if (&Src == &Dst) return RippleTooth(Dst, Amount);
    if (!PrepareTarget(Src, Dst)) return;
    const int W = Src.Width, H = Src.Height;
    const int P = std::max(1, std::min({H / 2, Amount, 256}));
    if (P == 1) return CopyPixels(Src, Dst); // every column would move by 0
    // Column x moves down by x mod P (less than H, so each column is rolled): row j takes row j - x mod P.
    ParallelRows(H, WorkOf(Src, CostSimple), [&](int y0, int y1) {
        const PPixels24 from = Src.Pixels24, to = Dst.Pixels24;
        const int w = W, h = H, period = P;
        for (int j = y0; j < y1; ++j) {
            TFColor* d = to[j];
            int k = 0;
            for (int x = 0; x < w; ++x) {
                int row = j - k;
                if (row < 0) row += h;
                d[x] = from[row][x];
                if (++k == period) k = 0;
            }
        }
    });
}

void RippleTooth(TFastDIB& Bmp, int Amount) {
    if (!usable(Bmp)) return;
    if (std::min({Bmp.Height / 2, Amount, 256}) <= 1) return;
    RippleTooth(copyOf(Bmp, 0), Bmp, Amount);
}

void SineWaveUD(const TFastDIB& Src, TFastDIB& Dst, int Amplitude, bool Wrap, float Period, bool Peaks) {
    if (&Src == &Dst) return SineWaveUD(Dst, Amplitude, Wrap, Period, Peaks);
    if (!PrepareTarget(Src, Dst)) return;
    double p;
    if (!sineScale(Src.Width, Period, Peaks, p)) return CopyPixels(Src, Dst);
    const int W = Src.Width, H = Src.Height;
    // Column x moves down by off(x). Read back from the destination: row j of the column comes from
    // row j - off(x), wrapped, or clamped so the edge row repeats where the picture is pulled away.
    // The clamped form needs no margin rows, whatever the amplitude's sign or size.
    const std::vector<int> off = sineOffsets(W, p, Amplitude, H, Wrap);
    // Neighbouring columns mostly share their offset: each run of them is one block copy per row.
    const std::vector<int> runs = offsetRuns(off);
    ParallelRows(H, WorkOf(Src, CostSimple), [&](int y0, int y1) {
        for (int j = y0; j < y1; ++j) {
            TFColor* d = Dst.Pixels24[j];
            for (std::size_t r = 0; r + 1 < runs.size(); ++r) {
                const int x0 = runs[r], n = runs[r + 1] - x0;
                int s = j - off[x0];
                if (Wrap)
                    s += s < 0 ? H : 0;
                else
                    s = s < 0 ? 0 : (s >= H ? H - 1 : s);
                std::memcpy(d + x0, Src.Pixels24[s] + x0, static_cast<std::size_t>(n) * sizeof(TFColor));
            }
        }
    });
}

void SineWaveUD(TFastDIB& Bmp, int Amplitude, bool Wrap, float Period, bool Peaks) {
    if (!usable(Bmp)) return;
    double p;
    if (!sineScale(Bmp.Width, Period, Peaks, p)) return;
    SineWaveUD(copyOf(Bmp, 0), Bmp, Amplitude, Wrap, Period, Peaks);
}

namespace {

// Dst := the row s of W pixels moved right by o: rolled (o in 0 .. W - 1) with Wrap, otherwise drawn at
// column o (-W .. W), clipped, the edge pixel filling what it leaves uncovered. s and d do not overlap.
void shiftRow(const TFColor* s, TFColor* d, int W, int o, bool Wrap) {
    if (Wrap) {
        std::memcpy(d + o, s, static_cast<std::size_t>(W - o) * sizeof(TFColor));
        std::memcpy(d, s + (W - o), static_cast<std::size_t>(o) * sizeof(TFColor));
    } else if (o >= 0) {
        std::memcpy(d + o, s, static_cast<std::size_t>(W - o) * sizeof(TFColor));
        std::fill(d, d + o, s[0]);
    } else {
        std::memcpy(d, s - o, static_cast<std::size_t>(W + o) * sizeof(TFColor));
        std::fill(d + (W + o), d + W, s[W - 1]);
    }
}

} // namespace

void SineWaveLR(TFastDIB& Bmp, int Amplitude, bool Wrap, float Period, bool Peaks) {
    if (!usable(Bmp)) return;
    double p;
    if (!sineScale(Bmp.Height, Period, Peaks, p)) return;
    const int W = Bmp.Width, H = Bmp.Height;
    const std::vector<int> off = sineOffsets(H, p, Amplitude, W, Wrap);
    // Each row moves on its own: a copy of the row, then two block copies back into it.
    ParallelRows(H, WorkOf(Bmp, CostCopy), [&](int y0, int y1) {
        std::vector<TFColor> row(static_cast<std::size_t>(W));
        for (int y = y0; y < y1; ++y) {
            TFColor* d = Bmp.Pixels24[y];
            std::memcpy(row.data(), d, static_cast<std::size_t>(W) * sizeof(TFColor));
            shiftRow(row.data(), d, W, off[y], Wrap);
        }
    });
}

void SineWaveLR(const TFastDIB& Src, TFastDIB& Dst, int Amplitude, bool Wrap, float Period, bool Peaks) {
    if (&Src == &Dst) return SineWaveLR(Dst, Amplitude, Wrap, Period, Peaks);
    if (!PrepareTarget(Src, Dst)) return;
    double p;
    if (!sineScale(Src.Height, Period, Peaks, p)) return CopyPixels(Src, Dst);
    const int W = Src.Width, H = Src.Height;
    const std::vector<int> off = sineOffsets(H, p, Amplitude, W, Wrap);
    ParallelRows(H, WorkOf(Src, CostCopy), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) shiftRow(Src.Pixels24[y], Dst.Pixels24[y], W, off[y], Wrap);
    });
}

void SineWaveBoth(const TFastDIB& Src, TFastDIB& Dst, int AmplitudeUD, int AmplitudeLR, float PeaksUD,
                  float PeaksLR) {
    if (&Src == &Dst) return SineWaveBoth(Dst, AmplitudeUD, AmplitudeLR, PeaksUD, PeaksLR);
    if (!PrepareTarget(Src, Dst)) return;
    const int W = Src.Width, H = Src.Height;
    double px, py;
    if (!sineScale(W, PeaksUD, true, px) || !sineScale(H, PeaksLR, true, py)) return CopyPixels(Src, Dst);
    const int aUD = std::min(AmplitudeUD, H), aLR = std::min(AmplitudeLR, W);
    const std::vector<int> offUD = sineOffsets(W, px, aUD, H, true);
    const std::vector<int> offLR = sineOffsets(H, py, aLR, W, true);
    // Along a run of columns with one vertical offset the source is one row, read from column x + du on,
    // wrapping at the right edge: at most two block copies.
    const std::vector<int> runs = offsetRuns(offUD);
    ParallelRows(H, WorkOf(Src, CostSimple), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            TFColor* d = Dst.Pixels24[y];
            const int du = offLR[y];
            for (std::size_t r = 0; r + 1 < runs.size(); ++r) {
                const int x0 = runs[r], x1 = runs[r + 1];
                int v = y + offUD[x0];
                if (v >= H) v -= H;
                const TFColor* s = Src.Pixels24[v];
                int u = x0 + du;
                if (u >= W) u -= W;
                const int first = std::min(x1 - x0, W - u); // up to the right edge
                std::memcpy(d + x0, s + u, static_cast<std::size_t>(first) * sizeof(TFColor));
                std::memcpy(d + x0 + first, s, static_cast<std::size_t>(x1 - x0 - first) * sizeof(TFColor));
            }
        }
    });
}

void SineWaveBoth(TFastDIB& Bmp, int AmplitudeUD, int AmplitudeLR, float PeaksUD, float PeaksLR) {
    if (!usable(Bmp)) return;
    double px, py;
    if (!sineScale(Bmp.Width, PeaksUD, true, px) || !sineScale(Bmp.Height, PeaksLR, true, py)) return;
    SineWaveBoth(copyOf(Bmp, 0), Bmp, AmplitudeUD, AmplitudeLR, PeaksUD, PeaksLR);
}

void ScrollLR(TFastDIB& Bmp, int Amount) {
    if (!usable(Bmp)) return;
    const int n = WrapMod(Amount, Bmp.Width);     // a roll left by m is a roll right by W - m
    if (n != 0) WrapShift(Bmp, Bmp.Width - n, 0); // pixel x takes the former pixel x - n
}
