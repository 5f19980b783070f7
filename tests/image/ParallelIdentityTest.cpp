// The warps and the other banded routines give the same bytes as plain per-pixel loops, on any number of
// threads. The references below follow each routine's formula one pixel at a time, in row order.
#include "image/FastFX.h"
#include "image/GaussianBlur.h"
#include "image/Numeric.h"
#include "image/Parallel.h"
#include "image/ZorvFX.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

constexpr double Pi = std::numbers::pi;

void randomImage(TFastDIB& b, int w, int h, std::uint32_t seed) {
    SetRandSeed(seed);
    b.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < 3 * w; ++i) b.Scanlines[y][i] = static_cast<std::uint8_t>(Random(256));
}

void copyImage(const TFastDIB& s, TFastDIB& d) {
    d.SetSize(s.Width, s.Height, 24, 0);
    for (int y = 0; y < s.Height; ++y) std::memcpy(d.Scanlines[y], s.Scanlines[y], 3 * s.Width);
}

bool sameBytes(const TFastDIB& a, const TFastDIB& b) {
    if (a.Width != b.Width || a.Height != b.Height) return false;
    for (int y = 0; y < a.Height; ++y)
        if (std::memcmp(a.Scanlines[y], b.Scanlines[y], 3 * a.Width) != 0) return false;
    return true;
}

int wrapI(std::int64_t v, int n) {
    return WrapMod(v, n);
}
int clampI(std::int64_t v, int n) {
    return static_cast<int>(std::clamp<std::int64_t>(v, 0, n - 1));
}

// Bilinear sample with wrap-around: four Single weights, channel sums in Single, rounded halves to even.
TFColor bilinear(const TFastDIB& s, double sx, double sy) {
    auto axis = [](double v, int n, int& i0, int& i1, float& f) {
        const double fl = std::floor(v);
        f = static_cast<float>(v - fl);
        i0 = WrapMod(static_cast<std::int64_t>(std::fmod(fl, static_cast<double>(n))), n);
        i1 = (i0 + 1) % n;
    };
    int x0, x1, y0, y1;
    float fx, fy;
    axis(sx, s.Width, x0, x1, fx);
    axis(sy, s.Height, y0, y1, fy);
    const float gx = 1 - fx, gy = 1 - fy;
    const float w[4] = {gx * gy, gx * fy, fx * gy, fx * fy};
    const TFColor* p[4] = {&s.Pixels24[y0][x0], &s.Pixels24[y1][x0], &s.Pixels24[y0][x1],
                           &s.Pixels24[y1][x1]};
    auto ch = [&](auto get) {
        float sum = w[0] * get(*p[0]);
        for (int i = 1; i < 4; ++i) sum += w[i] * get(*p[i]);
        return static_cast<std::uint8_t>(std::min<std::int64_t>(255, Round(sum)));
    };
    return TFColor{ch([](const TFColor& c) { return float(c.b); }),
                   ch([](const TFColor& c) { return float(c.g); }),
                   ch([](const TFColor& c) { return float(c.r); })};
}

void refRadialWaves(TFastDIB& b, int A, int L, float Phase, bool refl) {
    TFastDIB s;
    copyImage(b, s);
    const int W = b.Width, H = b.Height;
    const double cx = (W - 1) / 2.0, cy = (H - 1) / 2.0, hw = W / 2.0, hh = H / 2.0;
    const double ax = hw < hh ? hh / hw : 1, ay = hw < hh ? 1 : hw / hh;
    const float ph = static_cast<float>(Pi * Phase / 180);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double dx = (x - cx) * ax, dy = (y - cy) * ay;
            const double t = std::sqrt(dx * dx + dy * dy) / (2.0 * L) * (2 * Pi) + ph;
            const double a = (refl ? std::fabs(std::sin(t)) : std::sin(t)) * A;
            const int u = refl ? clampI(Round(a * dx / ax + cx), W) : wrapI(Round((a + dx) / ax + cx), W);
            const int v = refl ? clampI(Round(a * dy / ay + cy), H) : wrapI(Round((a + dy) / ay + cy), H);
            b.Pixels24[y][x] = s.Pixels24[v][u];
        }
}

void refWhirlPinch(TFastDIB& b, double Angle, double Pinch, double Radius) {
    TFastDIB s;
    copyImage(b, s);
    const int W = b.Width, H = b.Height;
    Pinch = std::clamp(Pinch, -1.0, 1.0);
    const int cx = RoundI((W - 1) / 2.0), cy = RoundI((H - 1) / 2.0);
    const double hx = (W - 2) / 2.0, hy = (H - 2) / 2.0;
    const double sx = hx < hy ? hy / hx : 1, sy = hx < hy ? 1 : hx / hy;
    const double R = std::max(hx, hy), R2 = R * R * Radius, whirl = Pi * Angle / 180;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double adx = std::abs(x - cx) * sx, ady = std::abs(y - cy) * sy;
            const double dd = adx * adx + ady * ady;
            if (!(dd < R2)) continue;
            const double dist = std::sqrt(dd / Radius) / R;
            const double sn = std::sin(Pi / 2 * dist);
            const double f = sn == 0 ? 0.0 : (Pinch == 0 ? 1.0 : std::pow(sn, -Pinch));
            const double ang = whirl * (1 - dist) * (1 - dist);
            const double px = (x - cx) * sx * f, py = (y - cy) * sy * f;
            const int u = wrapI(Round((std::cos(ang) * px - std::sin(ang) * py) / sx + cx), W);
            const int v = wrapI(Round((std::sin(ang) * px + std::cos(ang) * py) / sy + cy), H);
            b.Pixels24[y][x] = s.Pixels24[v][u];
        }
}

void refFishEye(const TFastDIB& S, TFastDIB& D, long double Amount) {
    const float cx = S.Width / 2.0f, cy = S.Height / 2.0f;
    float R = static_cast<float>(D.Width * Amount);
    for (int y = 0; y < D.Height; ++y)
        for (int x = 0; x < D.Width; ++x) {
            const float dx = x - cx, dy = y - cy;
            const float r = std::sqrt(dx * dx + dy * dy);
            double u = cx, v = cy;
            if (r != 0) {
                if (r == R) {
                    R += 0.01f;
                    if (R == r) R = std::nextafter(R, std::numeric_limits<float>::infinity());
                }
                const double q = (1.0 / (1.0 - static_cast<double>(r) / R) - 1.0) * (R / 2.0);
                u = dx * q / r + cx;
                v = dy * q / r + cy;
            }
            D.Pixels24[y][x] = bilinear(S, u, v);
        }
}

void refTwist(const TFastDIB& S, TFastDIB& D, int Amount) {
    const float cx = (S.Width - 1) / 2.0f, cy = (S.Height - 1) / 2.0f;
    for (int y = 0; y < D.Height; ++y)
        for (int x = 0; x < D.Width; ++x) {
            const float dx = x - cx, dy = y - cy, r = std::sqrt(dx * dx + dy * dy);
            double u = cx, v = cy;
            if (r != 0) {
                const float a =
                    static_cast<float>(ArcTan2F(dy, dx) - static_cast<double>(r) / Amount + Pi / 2);
                u = static_cast<double>(std::cos(a)) * r + cx;
                v = static_cast<double>(std::sin(a)) * r + cy;
            }
            D.Pixels24[y][x] = bilinear(S, u, v);
        }
}

void refWater(int dy, int dx, const TFastDIB& Map, TFastDIB& T) {
    TFastDIB m, s;
    copyImage(Map, m); // same size in these tests
    copyImage(T, s);
    for (int y = 0; y < T.Height; ++y)
        for (int x = 0; x < T.Width; ++x) {
            const TFColor c = m.Pixels24[y][x];
            const double w = std::max({c.r, c.g, c.b}) / 255.0f;
            T.Pixels24[y][x] =
                s.Pixels24[wrapI(Round(dy * w + y + dy), T.Height)][wrapI(Round(dx * w + x + dx), T.Width)];
        }
}

void refRipple(TFastDIB& b, int Amount) {
    TFastDIB s;
    copyImage(b, s);
    const int P = std::max(1, std::min({b.Height / 2, Amount, 256}));
    if (P == 1) return;
    for (int y = b.Height - 1; y >= 0; --y)
        for (int x = 0; x < b.Width; ++x) b.Pixels24[(y + x % P) % b.Height][x] = s.Pixels24[y][x];
}

// Column x (or row y) moves by Round(sin(i / p) * A), wrapped, or clamped with the edge repeated.
void refSine(TFastDIB& b, int A, bool wrap, float Period, bool Peaks, bool lr) {
    TFastDIB s;
    copyImage(b, s);
    const int W = b.Width, H = b.Height;
    const double p = Peaks ? (lr ? H : W) / Pi / Period : Period;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const std::int64_t o = Round(std::sin((lr ? y : x) / p) * A);
            int sx = x, sy = y;
            if (lr)
                sx = wrap ? wrapI(x - o, W) : clampI(x - std::clamp<std::int64_t>(o, -W, W), W);
            else
                sy = wrap ? wrapI(y - o, H) : clampI(y - std::clamp<std::int64_t>(o, -H, H), H);
            b.Pixels24[y][x] = s.Pixels24[sy][sx];
        }
}

void refSineBoth(TFastDIB& b, int aUD, int aLR, float pUD, float pLR) {
    TFastDIB s;
    copyImage(b, s);
    const int W = b.Width, H = b.Height;
    aUD = std::min(aUD, H), aLR = std::min(aLR, W);
    const double px = W / Pi / pUD, py = H / Pi / pLR;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            b.Pixels24[y][x] = s.Pixels24[wrapI(y + Round(std::sin(x / px) * aUD), H)]
                                         [wrapI(x + Round(std::sin(y / py) * aLR), W)];
}

void refScroll(TFastDIB& b, int n) {
    TFastDIB s;
    copyImage(b, s);
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x)
            b.Pixels24[y][x] = s.Pixels24[y][wrapI(std::int64_t(x) - n, b.Width)];
}

// The edge trace as one sequential walk over the wrapped copy (see TraceEdges).
void refTrace(TFastDIB& b, int Intensity, TColor Color) {
    const int w = b.Width, h = b.Height;
    auto at = [&](int x, int y) { return b.Pixels24[WrapMod(y - 1, h)][WrapMod(x - 1, w)]; };
    std::vector<TFColor> pad(static_cast<std::size_t>(w + 2) * (h + 2));
    for (int y = 0; y < h + 2; ++y)
        for (int x = 0; x < w + 2; ++x) pad[y * (w + 2) + x] = at(x, y);
    auto p = [&](int x, int y) { return pad[y * (w + 2) + x]; };
    const TFColor col = ColorToFColor(Color);
    bool found = false;
    TFColor first{};
    auto edge = [&](int x, int y, int nx, int ny) {
        if (p(nx, ny) == p(x, y)) return;
        int px = x, py = y;
        if (!found) {
            first = p(nx, ny);
            found = true;
        } else if (p(x, y) == first) {
            px = nx, py = ny;
        }
        if (px >= 1 && px <= w && py >= 1 && py <= h) b.Pixels24[py - 1][px - 1] = col;
    };
    for (int pass = 1; pass <= std::min(Intensity, 2); ++pass) {
        for (int y = 0; y <= h; ++y)
            for (int x = 0; x <= w; ++x) edge(x, y, x + 1, y), edge(x, y, x, y + 1);
        if (pass == 2)
            for (int y = h + 1; y >= 1; --y)
                for (int x = w + 1; x >= 1; --x) edge(x, y, x - 1, y), edge(x, y, x, y - 1);
    }
}

// Each channel: the kernel's weighted sum of the 3 x 3 neighbourhood (wrapped), divided, limited to 0..255.
void refConvolve(TFastDIB& b, const int (&k)[9], int d) {
    TFastDIB s;
    copyImage(b, s);
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x)
            for (int c = 0; c < 3; ++c) {
                std::int64_t sum = 0;
                for (int j = 0; j < 3; ++j)
                    for (int i = 0; i < 3; ++i)
                        sum +=
                            k[3 * j + i] *
                            std::int64_t(
                                s.Scanlines[wrapI(y + j - 1, b.Height)][3 * wrapI(x + i - 1, b.Width) + c]);
                b.Scanlines[y][3 * x + c] = std::uint8_t(sum <= 0 ? 0 : (sum >= 255 * d ? 255 : sum / d));
            }
}

// The Gaussian blur as the plain line blur over every row, then every column.
void refGBlur(TFastDIB& b, double radius) {
    TGaussKernel k;
    BuildGaussKernel(k, radius, 255, 1);
    const int w = b.Width, h = b.Height;
    std::vector<TFColor> temp(std::max(w, h)), col(h);
    for (int y = 0; y < h; ++y) BlurLine(b.Pixels24[y], w - 1, k, temp.data());
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) col[y] = b.Pixels24[y][x];
        BlurLine(col.data(), h - 1, k, temp.data());
        for (int y = 0; y < h; ++y) b.Pixels24[y][x] = col[y];
    }
}

// Each channel: Amount div 2 plus the pixel two columns and two rows on (wrapped) minus the pixel itself.
void refEmboss(TFastDIB& b, int Amount) {
    TFastDIB s;
    copyImage(b, s);
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x)
            for (int c = 0; c < 3; ++c) {
                const int far = s.Scanlines[(y + 2) % b.Height][3 * ((x + 2) % b.Width) + c];
                b.Scanlines[y][3 * x + c] = ClampToByte(Amount / 2 + far - s.Scanlines[y][3 * x + c]);
            }
}

// The four-colour fill with 20 fraction bits, one running value per channel along each row.
void refFourCorner(TFastDIB& b, int x1, int y1, int x2, int y2, TFColor tl, TFColor tr, TFColor bl,
                   TFColor br) {
    const int xa = std::min(x1, x2), xb = std::max(x1, x2), ya = std::min(y1, y2), yb = std::max(y1, y2);
    const std::int64_t one = 1 << 20;
    const std::int64_t dx = xb > xa ? one / (xb - xa) : 0, dy = yb > ya ? one / (yb - ya) : 0;
    const TFColor* corner[4] = {&tl, &tr, &bl, &br};
    for (int k = 0; k <= yb - ya; ++k)
        for (int c = 0; c < 3; ++c) {
            auto ch = [c](const TFColor* p) { return std::int64_t(c == 0 ? p->b : (c == 1 ? p->g : p->r)); };
            const std::int64_t wb = k * dy, wt = one - k * dy;
            const std::int64_t left = ch(corner[0]) * wt + ch(corner[2]) * wb;
            const std::int64_t right = ch(corner[1]) * wt + ch(corner[3]) * wb;
            std::int64_t run = (left >> 20) << 20;
            for (int n = 0; n <= xb - xa; ++n) {
                b.Scanlines[ya + k][3 * (xa + n) + c] = static_cast<std::uint8_t>(run >> 20);
                run += ((right >> 20) - (left >> 20)) * dx;
            }
        }
}

// Bilinear resampling: for new pixel (x, y) the source point (x / kx, y / ky) with k = new size over the
// old size (tiled) or over the old size - 1; the four taps weighted in Single and rounded halves to even.
void refResize(TFastDIB& b, int nw, int nh, bool tiled) {
    TFastDIB s;
    copyImage(b, s);
    const int W = s.Width, H = s.Height;
    const float kx = static_cast<float>(static_cast<double>(nw) / (tiled ? W : W - 1));
    const float ky = static_cast<float>(static_cast<double>(nh) / (tiled ? H : H - 1));
    b.SetSize(nw, nh, 24, 0);
    for (int y = 0; y < nh; ++y)
        for (int x = 0; x < nw; ++x) {
            const float fx = static_cast<float>(x) / kx, fy = static_cast<float>(y) / ky;
            const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
            const float wx = fx - static_cast<float>(ix), wy = fy - static_cast<float>(iy);
            const int ix1 = tiled ? (ix + 1) % W : std::min(ix + 1, W - 1);
            const int iy1 = tiled ? (iy + 1) % H : std::min(iy + 1, H - 1);
            const float w[4] = {(1 - wx) * (1 - wy), (1 - wx) * wy, wx * (1 - wy), wx * wy};
            const std::uint8_t* p[4] = {&s.Scanlines[iy][3 * ix], &s.Scanlines[iy1][3 * ix],
                                        &s.Scanlines[iy][3 * ix1], &s.Scanlines[iy1][3 * ix1]};
            for (int c = 0; c < 3; ++c) {
                float sum = w[0] * p[0][c];
                for (int i = 1; i < 4; ++i) sum += w[i] * p[i][c];
                b.Scanlines[y][3 * x + c] =
                    static_cast<std::uint8_t>(std::min<std::int64_t>(255, Round(sum)));
            }
        }
}

struct Case {
    std::string name;
    std::function<void(TFastDIB&)> routine, reference;
};

std::vector<Case> warpCases() {
    auto srcDst = [](auto f) {
        return [f](TFastDIB& b) {
            TFastDIB s;
            copyImage(b, s);
            f(s, b);
        };
    };
    std::vector<Case> c;
    for (bool refl : {false, true})
        c.push_back({"RadialWaves" + std::to_string(refl),
                     [=](TFastDIB& b) { RadialWaves(b, 9, 23, 30, refl); },
                     [=](TFastDIB& b) { refRadialWaves(b, 9, 23, 30, refl); }});
    for (double pinch : {0.0, 0.5, -2.0})
        c.push_back({"WhirlPinch", [=](TFastDIB& b) { WhirlPinch(b, 120, pinch, 1.3); },
                     [=](TFastDIB& b) { refWhirlPinch(b, 120, pinch, 1.3); }});
    // On a 330 x 236 image 100/330 of the width is a radius of 100, met exactly at (165 +- 60, 118 +- 80).
    for (long double a : {0.6L, -0.4L, 100.0L / 330})
        c.push_back({"FishEye", srcDst([=](const TFastDIB& s, TFastDIB& d) { FishEye(s, d, a); }),
                     srcDst([=](const TFastDIB& s, TFastDIB& d) { refFishEye(s, d, a); })});
    c.push_back({"FishEyeInPlace", [](TFastDIB& b) { FishEye(b, b, 0.6L); },
                 srcDst([](const TFastDIB& s, TFastDIB& d) { refFishEye(s, d, 0.6L); })});
    for (int a : {100, -37})
        c.push_back({"TwistFX", srcDst([=](const TFastDIB& s, TFastDIB& d) { TwistFX(s, d, a); }),
                     srcDst([=](const TFastDIB& s, TFastDIB& d) { refTwist(s, d, a); })});
    for (int d : {20, -7})
        c.push_back({"WaterSelf", [=](TFastDIB& b) { WaterDisplace(d, 2 * d, b, b); },
                     [=](TFastDIB& b) { refWater(d, 2 * d, b, b); }});
    c.push_back({"Ripple", [](TFastDIB& b) { RippleTooth(b, 18); }, [](TFastDIB& b) { refRipple(b, 18); }});
    // Integer kernels of 3 and 13 taps, and one whose tiny outer weights need the double form.
    for (double r : {1.0, 6.0, 0.2})
        c.push_back({"GBlur", [r](TFastDIB& b) { GBlur(b, r); }, [r](TFastDIB& b) { refGBlur(b, r); }});
    // Kernels whose sums need 16, 32 and 64 bits.
    static const int sharpen[9] = {-1, -1, -1, -1, 9, -1, -1, -1, -1},
                     wide[9] = {300, -200, 0, 5, 1000, 5, 0, -200, 300},
                     huge[9] = {1 << 30, 0, 0, 0, 1 << 30, 0, 0, 0, -(1 << 30)};
    for (auto [k, d] : {std::pair{&sharpen, 1}, std::pair{&wide, 7}, std::pair{&huge, 3}})
        c.push_back({"Convolve3x3",
                     [k, d](TFastDIB& b) { Convolve3x3(*k, static_cast<std::uint16_t>(d), b); },
                     [k, d](TFastDIB& b) { refConvolve(b, *k, d); }});
    for (bool wrap : {true, false})
        for (bool lr : {false, true}) {
            auto f = [=](TFastDIB& b) {
                lr ? SineWaveLR(b, -40, wrap, 3, true) : SineWaveUD(b, 40, wrap, 17, false);
            };
            c.push_back({"Sine", f, [=](TFastDIB& b) {
                             lr ? refSine(b, -40, wrap, 3, true, true)
                                : refSine(b, 40, wrap, 17, false, false);
                         }});
        }
    c.push_back({"SineBoth", [](TFastDIB& b) { SineWaveBoth(b, 30, 25, 3, 2); },
                 [](TFastDIB& b) { refSineBoth(b, 30, 25, 3, 2); }});
    for (int n : {37, -5})
        c.push_back(
            {"ScrollLR", [=](TFastDIB& b) { ScrollLR(b, n); }, [=](TFastDIB& b) { refScroll(b, n); }});
    c.push_back({"ClassicEmboss",
                 [](TFastDIB& b) {
                     TFastDIB work;
                     ClassicEmboss(b, work, 250);
                 },
                 [](TFastDIB& b) { refEmboss(b, 250); }});
    // The whole picture, and a rectangle inside it drawn from its bottom-right corner.
    const TFColor tl{0, 0, 255}, tr{0, 255, 0}, bl{255, 0, 0}, br{9, 200, 77};
    c.push_back({"FourCornerGradient",
                 [=](TFastDIB& b) { FourCornerGradient(b, 0, 0, b.Width - 1, b.Height - 1, tl, tr, bl, br); },
                 [=](TFastDIB& b) { refFourCorner(b, 0, 0, b.Width - 1, b.Height - 1, tl, tr, bl, br); }});
    c.push_back({"FourCornerGradientPart",
                 [=](TFastDIB& b) { FourCornerGradient(b, b.Width - 4, b.Height - 2, 3, 5, br, bl, tr, tl); },
                 [=](TFastDIB& b) { refFourCorner(b, b.Width - 4, b.Height - 2, 3, 5, br, bl, tr, tl); }});
    // Larger and smaller, tiled and not.
    for (bool tiled : {true, false}) {
        c.push_back({"ResizeUp",
                     [=](TFastDIB& b) { ResizeBilinear(b, b.Width * 5 / 4, b.Height + 7, tiled); },
                     [=](TFastDIB& b) { refResize(b, b.Width * 5 / 4, b.Height + 7, tiled); }});
        c.push_back({"ResizeDown",
                     [=](TFastDIB& b) { ResizeBilinear(b, b.Width * 2 / 3, b.Height / 2, tiled); },
                     [=](TFastDIB& b) { refResize(b, b.Width * 2 / 3, b.Height / 2, tiled); }});
    }
    return c;
}

// Routines whose arithmetic did not change, only the order rows are worked in: the same bytes on any
// number of threads as on one.
std::vector<Case> bandedCases() {
    std::vector<Case> c;
    auto same = [&](std::string name, std::function<void(TFastDIB&)> f) { c.push_back({name, f, f}); };
    same("GrayScale24", [](TFastDIB& b) { GrayScale24(b); });
    same("AdjustRGB", [](TFastDIB& b) { AdjustRGB(b, 30, -20, 7); });
    same("AdjustSaturation", [](TFastDIB& b) { AdjustSaturation(b, 400); });
    same("RotateWrap", [](TFastDIB& b) {
        TFastDIB src;
        copyImage(b, src);
        RotateWrap(src, b, 100, 60, 33.5L);
    });
    for (int grey : {0, 1})
        same("HeightMap", [=](TFastDIB& b) {
            TFastDIB work;
            HeightMap(b, work, 16, 30, 20, grey);
        });
    same("SuperNova", [](TFastDIB& b) {
        TFastDIB src;
        copyImage(b, src);
        superNovaWithSeed(src, b, 40, 200, 90, 100, 60, 64, 64, 32, 5);
    });
    return c;
}

// Every call goes to the pool, however cheap, so that the bands are exercised on these small pictures.
class ThreadCount : public ::testing::Test {
protected:
    void SetUp() override { SetParallelMinWork(0); }
    void TearDown() override {
        SetParallelThreads(0);
        SetParallelMinWork(ParallelMinWorkDefault);
    }
};

TEST_F(ThreadCount, WarpsMatchPlainLoopsOnOneTwoAndAllThreads) {
    const int all = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    // Odd sizes put the centre on a pixel.
    for (auto [w, h] : {std::pair{331, 237}, std::pair{330, 236}, std::pair{64, 90}}) {
        TFastDIB src;
        randomImage(src, w, h, 7);
        for (const Case& c : warpCases()) {
            TFastDIB want;
            copyImage(src, want);
            c.reference(want);
            for (int threads : {1, 2, all}) {
                SetParallelThreads(threads);
                TFastDIB got;
                copyImage(src, got);
                c.routine(got);
                EXPECT_TRUE(sameBytes(got, want)) << c.name << " " << w << "x" << h << " threads " << threads;
            }
        }
    }
}

TEST_F(ThreadCount, BandedRoutinesGiveTheBytesOfOneThread) {
    TFastDIB src;
    randomImage(src, 331, 237, 11);
    for (const Case& c : bandedCases()) {
        SetParallelThreads(1);
        TFastDIB want;
        copyImage(src, want);
        c.reference(want);
        for (int threads : {2, 0}) {
            SetParallelThreads(threads);
            TFastDIB got;
            copyImage(src, got);
            c.routine(got);
            EXPECT_TRUE(sameBytes(got, want)) << c.name << " threads " << threads;
        }
    }
}

TEST_F(ThreadCount, TraceEdgesPaintsWhatTheSequentialWalkPaints) {
    // Few colours, so that many neighbours differ and many pixels have the reference colour.
    for (auto [w, h, colours] : {std::tuple{331, 237, 3}, std::tuple{40, 30, 2}, std::tuple{7, 5, 4}}) {
        TFastDIB src;
        SetRandSeed(3);
        src.SetSize(w, h, 24, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                src.Pixels24[y][x] = TFColor{std::uint8_t(60 * Random(colours)), 9, 9};
        for (int intensity : {1, 2, 5})
            for (int threads : {1, 0}) {
                SetParallelThreads(threads);
                TFastDIB want, got;
                copyImage(src, want);
                copyImage(src, got);
                refTrace(want, intensity, 0x00FF00);
                TraceEdges(got, intensity, 0x00FF00);
                EXPECT_TRUE(sameBytes(got, want)) << w << "x" << h << " intensity " << intensity;
            }
    }
}

TEST_F(ThreadCount, BandsCoverEveryRowOnceAndPassOnExceptions) {
    SetParallelThreads(4);
    std::vector<int> hits(1000);
    ParallelRows(1000, 1 << 20, [&](int a, int b) {
        for (int y = a; y < b; ++y) ++hits[y];
    });
    EXPECT_EQ(std::count(hits.begin(), hits.end(), 1), 1000);
    EXPECT_THROW(ParallelRows(1000, 1 << 20,
                              [](int a, int) {
                                  if (a > 0) throw std::runtime_error("band failed");
                              }),
                 std::runtime_error);
    // The pool is usable again after a failed job, and a nested call runs on its caller's thread.
    int nested = 0;
    ParallelRows(8, 1 << 20, [&](int a, int b) {
        if (a == 0) ParallelRows(10, 1 << 20, [&](int c, int d) { nested += d - c; });
        (void)b;
    });
    EXPECT_EQ(nested, 10);
}

} // namespace
