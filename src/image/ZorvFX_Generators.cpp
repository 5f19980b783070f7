#include "image/ZorvFX_Generators.h"

#include "image/Numeric.h"
#include "image/Parallel.h"
#include "image/WorkControl.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

constexpr double Pi = std::numbers::pi;
constexpr int MaxSpokes = 1 << 20;

bool is24(const TFastDIB& Bmp) {
    return Bmp.Bits != nullptr && Bmp.Bpp == 24 && Bmp.Width > 0 && Bmp.Height > 0;
}

void copyPixels(const TFastDIB& Src, TFastDIB& Dst) {
    if (&Src == &Dst) return;
    const std::size_t n = static_cast<std::size_t>(Src.Width) * 3;
    for (int y = 0; y < Src.Height; ++y) std::memcpy(Dst.Scanlines[y], Src.Scanlines[y], n);
}

} // namespace

double GaussRandom() {
    double sum = 0;
    for (int i = 0; i < 6; ++i) sum += Random(2147483647) / 2147483647.0;
    return sum / 6;
}

double ClampDouble(double x, double lo, double hi) {
    if (x < lo) return lo;
    if (x > hi) return hi;
    return x;
}

int ClampInt(int x, int lo, int hi) {
    if (x < lo) return lo;
    if (x > hi) return hi;
    return x;
}

void RGBToHSL(double& H, double& S, double& L, double R, double G, double B) {
    H = 0;
    S = 0;
    const double mx = std::max(R, std::max(G, B));
    const double mn = std::min(R, std::min(G, B));
    L = (mx + mn) / 2;
    const double delta = mx - mn;
    if (L <= 0 || delta <= 0) return;
    S = L <= 0.5 ? delta / (mx + mn) : delta / (2 - mx - mn);
    const double rc = (mx - R) / delta, gc = (mx - G) / delta, bc = (mx - B) / delta;
    double h;
    if (R == mx)
        h = G == mn ? 5 + bc : 1 - gc;
    else if (G == mx)
        h = B == mn ? 1 + rc : 3 - bc;
    else
        h = R == mn ? 3 + gc : 5 - rc;
    H = h / 6;
}

void HSLToRGB(double& R, double& G, double& B, double H, double S, double L) {
    const double m2 = L <= 0.5 ? L * (1 + S) : L + S - L * S;
    if (!(m2 > 0)) {
        R = G = B = 0;
        return;
    }
    // A hue outside 0 .. 1 would pick no sextant; within it this changes nothing (1 and 0 agree).
    if (H < 0 || H > 1) H -= std::floor(H);
    const double m1 = 2 * L - m2;
    const double v = (m2 - m1) / m2;
    const double h6 = H * 6;
    int sextant = TruncI(h6);
    const double f = h6 - sextant;
    const double x = m2 * v * f;
    const double up = m1 + x, down = m2 - x;
    if (sextant >= 6 || sextant < 0) sextant = 0;
    switch (sextant) {
    case 0:
        R = m2, G = up, B = m1;
        break;
    case 1:
        R = down, G = m2, B = m1;
        break;
    case 2:
        R = m1, G = m2, B = up;
        break;
    case 3:
        R = m1, G = down, B = m2;
        break;
    case 4:
        R = up, G = m1, B = m2;
        break;
    default:
        R = m2, G = m1, B = down;
        break;
    }
}

double DegToRad(double Degrees) {
    return Degrees * Pi / 180;
}

TEmbossLight SetEmbossLight(std::uint16_t Depth, double Azimuth, double Elevation) {
    if (Depth == 0) Depth = 20;
    TEmbossLight l;
    l.Lx = std::cos(Azimuth) * std::cos(Elevation) * 255.9;
    l.Ly = std::sin(Azimuth) * std::cos(Elevation) * 255.9;
    l.Lz = std::sin(Elevation) * 255.9;
    l.Nz = 1530.0 / Depth;
    l.Nz2 = l.Nz * l.Nz;
    l.NzLz = l.Nz * l.Lz;
    l.Background = l.Lz;
    return l;
}

void EmbossRow(const TEmbossLight& LightIn, const std::uint8_t* Rows, const std::uint8_t* Texture,
               std::uint8_t* Out, int Width, int PixelBytes, int KeepLast) {
    if (Width < 3 || PixelBytes <= 0) return;
    const TEmbossLight Light = LightIn; // a local copy, which no byte store below can alias
    const std::size_t pb = static_cast<std::size_t>(PixelBytes);
    const std::size_t rowBytes = static_cast<std::size_t>(Width) * pb;
    const std::uint8_t* above = Rows;
    const std::uint8_t* centre = Rows + rowBytes;
    const std::uint8_t* below = Rows + 2 * rowBytes;
    const std::size_t shaded = KeepLast != 0 ? pb - 1 : pb;
    // A light below the horizon shades a flat surface black, as it does every tilted one facing away.
    const std::uint8_t flat = ClampToByte(TruncI(Light.Background));
    for (std::size_t x = 1; x + 1 < static_cast<std::size_t>(Width); ++x) {
        const std::size_t l = (x - 1) * pb, m = x * pb, r = (x + 1) * pb;
        const int nx = (above[l] + centre[l] + below[l]) - (above[r] + centre[r] + below[r]);
        const int ny = (below[l] + below[m] + below[r]) - (above[l] + above[m] + above[r]);
        std::uint8_t shade;
        if (nx == 0 && ny == 0) {
            shade = flat;
        } else {
            const int ndotl = TruncI(nx * Light.Lx + ny * Light.Ly + Light.NzLz);
            if (ndotl < 0)
                shade = 0;
            else
                shade = ClampToByte(
                    TruncI(ndotl / std::sqrt(static_cast<double>(nx * nx + ny * ny) + Light.Nz2)));
        }
        std::uint8_t* o = Out + m;
        if (Texture) {
            const std::uint8_t* t = Texture + m;
            for (std::size_t k = 0; k < shaded; ++k) o[k] = static_cast<std::uint8_t>((t[k] * shade) >> 8);
        } else {
            for (std::size_t k = 0; k < shaded; ++k) o[k] = shade;
        }
        if (shaded < pb) o[pb - 1] = centre[m + pb - 1];
    }
}

void HeightMap(TFastDIB& Bmp, TFastDIB& Work, int Depth, double Azimuth, double Elevation, int GreyRelief) {
    if (!is24(Bmp) || &Bmp == &Work) return;
    const int w = Bmp.Width, h = Bmp.Height;
    const int ww = w + 6, wh = h + 6;
    if (Azimuth == 0) Azimuth = 30;
    if (Elevation == 0) Elevation = 45;
    // Only the low 16 bits of the depth count; whenever they are 0 the default applies.
    std::uint16_t depth = static_cast<std::uint16_t>(Depth);
    if (depth == 0) depth = 20;
    const bool grey = GreyRelief >= 1;
    const TEmbossLight light = SetEmbossLight(depth, DegToRad(Azimuth), DegToRad(Elevation));

    // Work := Bmp with a 3-pixel border taken by modulo, so that any image size wraps correctly.
    Work.SetSize(ww, wh, 24, 0);
    std::vector<int> col(ww);
    for (int i = 0; i < ww; ++i) col[i] = WrapMod(i - 3, w);
    const std::size_t rowBytes = static_cast<std::size_t>(ww) * 3;
    for (int j = 0; j < wh; ++j) {
        WorkPoint();
        const TFColor* s = Bmp.Pixels24[WrapMod(j - 3, h)];
        TFColor* d = Work.Pixels24[j];
        for (int i = 0; i < 3; ++i) d[i] = s[col[i]];
        std::memcpy(d + 3, s, static_cast<std::size_t>(w) * 3);
        for (int i = w + 3; i < ww; ++i) d[i] = s[col[i]];
    }

    // Row y of the picture is shaded from the padded rows y + 2 .. y + 4 (Work keeps the padded copy);
    // its pixels are columns 3 .. w + 2 of the shaded row.
    ParallelRows(h, WorkOf(Bmp, CostFloat), [&](int y0, int y1) {
        std::vector<std::uint8_t> rows(3 * rowBytes), out(rowBytes, 0);
        for (int y = y0; y < y1; ++y) {
            for (int k = 0; k < 3; ++k)
                std::memcpy(rows.data() + k * rowBytes, Work.Scanlines[y + 2 + k], rowBytes);
            EmbossRow(light, rows.data(), grey ? nullptr : rows.data(), out.data(), ww, 3, 0);
            std::memcpy(Bmp.Scanlines[y], out.data() + 9, static_cast<std::size_t>(w) * 3);
        }
    });
}

namespace {

void paintSuperNova(const TFastDIB& Src, TFastDIB& Dst, int b, int g, int r, int X, int Y, int Radius,
                    int Spokes, int RandomHue, void (*reseed)(std::uint32_t), std::uint32_t seed) {
    if (!is24(Src)) return;
    const int w = Src.Width, h = Src.Height;
    if (Spokes <= 0 || Radius == 0) {
        // Both are divisors of the burst: there is nothing to draw.
        Dst.SetSize(w, h, 24, 0);
        copyPixels(Src, Dst);
        return;
    }
    // More spokes than this are finer than a pixel on any image this program makes; the cap keeps an
    // absurd count from exhausting memory.
    Spokes = std::min(Spokes, MaxSpokes);
    std::vector<double> length(static_cast<std::size_t>(Spokes));
    // Spoke colours are whole numbers; they are kept as doubles only to save a conversion per pixel.
    std::vector<double> colour(static_cast<std::size_t>(Spokes) * 3);
    std::vector<double> ux(static_cast<std::size_t>(w)), uu(static_cast<std::size_t>(w));
    Dst.SetSize(w, h, 24, 0);

    X = ClampInt(X, 0, w - 1);
    Y = ClampInt(Y, 0, h - 1);
    WorkPoint(); // before the generator is reseeded, so a stopped call leaves it as it was
    reseed(seed);
    double H, S, L;
    RGBToHSL(H, S, L, b / 255.0, g / 255.0, r / 255.0);
    for (int i = 0; i < Spokes; ++i) {
        if (i % 4096 == 0) WorkPoint(); // the draws follow one sequence: this loop stays on one thread
        length[i] = GaussRandom();
        H = H + (Random(2147483647) / 2147483647.0 - 0.5) * (RandomHue / 360.0);
        // Wraps any walk, however far a large RandomHue takes it, back into 0 .. 1.
        H = H - std::floor(H);
        double c0, c1, c2;
        HSLToRGB(c0, c1, c2, H, S, L);
        colour[3 * i] = TruncI(255 * c0);
        colour[3 * i + 1] = TruncI(255 * c1);
        colour[3 * i + 2] = TruncI(255 * c2);
    }
    for (int x = 0; x < w; ++x) {
        ux[x] = static_cast<double>(x - X) / Radius;
        uu[x] = ux[x] * ux[x];
    }

    struct BandArgs {
        int w, X, Y, Radius, Spokes;
        const double *ux, *uu, *length, *colour;
        std::uint8_t *const *src, *const *dst;
    };
    const BandArgs args{w,
                        X,
                        Y,
                        Radius,
                        Spokes,
                        ux.data(),
                        uu.data(),
                        length.data(),
                        colour.data(),
                        Src.Scanlines,
                        Dst.Scanlines};
    ParallelRows(h, WorkOf(Src, CostHeavy), [&](int y0, int y1) {
        const BandArgs arg = args;
        std::vector<double> turn(static_cast<std::size_t>(arg.w));
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* s = arg.src[y];
            std::uint8_t* d = arg.dst[y];
            const double v = static_cast<double>(y - arg.Y) / arg.Radius;
            const double vv = v * v;
            // The angle as a fraction of a turn. Mirrored columns have exactly opposite u, and atan2 is odd
            // in its first argument, so the left half reuses the right half's values.
            for (int x = arg.X; x < arg.w; ++x) turn[x] = std::atan2(arg.ux[x], v) / (2 * Pi);
            for (int x = 0; x < arg.X; ++x) {
                const int m = 2 * arg.X - x;
                turn[x] = m < arg.w ? -turn[m] : std::atan2(arg.ux[x], v) / (2 * Pi);
            }
            for (int x = 0; x < arg.w; ++x, s += 3, d += 3) {
                const double c = std::sqrt(arg.uu[x] + vv);
                // t lies in 0.01 .. 1.01 Spokes (never negative), so truncation is its floor and one
                // subtraction reduces the spoke index.
                const double t = (turn[x] + 0.51) * arg.Spokes;
                int i = TruncI(t);
                const double f = t - i;
                if (i >= arg.Spokes)
                    i = i - arg.Spokes < arg.Spokes ? i - arg.Spokes : WrapMod(i, arg.Spokes);
                const int j = i + 1 < arg.Spokes ? i + 1 : 0;
                const double len = (1 - f) * arg.length[i] + f * arg.length[j];
                const double wt = len * len;
                const double c2 = 0.9 / (0.001 + c);
                const double glow = 255 * ClampDouble(wt * c2, 0, 1);
                const double* ci = &arg.colour[3 * i];
                const double* cj = &arg.colour[3 * j];
                if (c2 > 1) {
                    for (int k = 0; k < 3; ++k) {
                        const double col = (1 - f) * ci[k] + f * cj[k];
                        const int val = TruncI(glow + ClampInt(TruncI(col * c2), 0, 255));
                        d[k] = static_cast<std::uint8_t>(ClampInt(val, 0, 255));
                    }
                } else {
                    const double cc = c2 < 0 ? 0 : c2;
                    for (int k = 0; k < 3; ++k) {
                        const double col = (1 - f) * ci[k] + f * cj[k];
                        const int val = TruncI(glow + TruncI(s[k] * (1 - cc) + col * cc));
                        d[k] = static_cast<std::uint8_t>(ClampInt(val, 0, 255));
                    }
                }
            }
        }
    });
}

void reseedFromClock(std::uint32_t) {
    Randomize();
}

} // namespace

void SuperNova(const TFastDIB& Src, TFastDIB& Dst, int b, int g, int r, int X, int Y, int Radius, int Spokes,
               int RandomHue) {
    paintSuperNova(Src, Dst, b, g, r, X, Y, Radius, Spokes, RandomHue, reseedFromClock, 0);
}

void superNovaWithSeed(const TFastDIB& Src, TFastDIB& Dst, int b, int g, int r, int X, int Y, int Radius,
                       int Spokes, int RandomHue, std::uint32_t Seed) {
    paintSuperNova(Src, Dst, b, g, r, X, Y, Radius, Spokes, RandomHue, SetRandSeed, Seed);
}

void FourCornerGradient(TFastDIB& Bmp, int x1, int y1, int x2, int y2, TFColor TopLeft, TFColor TopRight,
                        TFColor BottomLeft, TFColor BottomRight) {
    if (!is24(Bmp)) return;
    const int xa = std::min(x1, x2), xb = std::max(x1, x2);
    const int ya = std::min(y1, y2), yb = std::max(y1, y2);
    if (xa < 0 || ya < 0 || xb > Bmp.Width - 1 || yb > Bmp.Height - 1) return;
    constexpr std::int64_t One = 0x100000;
    const std::int64_t dx = xb > xa ? One / (xb - xa) : 0;
    const std::int64_t dy = yb > ya ? One / (yb - ya) : 0;
    struct Corners {
        std::uint8_t tl[3], tr[3], bl[3], br[3];
    };
    const Corners corners{{TopLeft.b, TopLeft.g, TopLeft.r},
                          {TopRight.b, TopRight.g, TopRight.r},
                          {BottomLeft.b, BottomLeft.g, BottomLeft.r},
                          {BottomRight.b, BottomRight.g, BottomRight.r}};
    // Every row is worked out from its own index, so rows go to bands. Along a row, channel c of pixel n
    // is (run[c] + n * step[c]) shr 20; the valid values stay below 2^28 (255 with 20 fraction bits).
    // Sixteen pixels are made at a time from 48 running values in unsigned 32-bit lanes, whose wrap-around
    // past the row's end is harmless because those values are never stored.
    const int rows = yb - ya + 1, count = xb - xa + 1;
    ParallelRows(rows, static_cast<std::int64_t>(rows) * count * CostSimple, [&](int k0, int k1) {
        const Corners c4 = corners;
        const std::int64_t stepX = dx, stepY = dy;
        const int n1 = count;
        std::uint8_t* const* const lines = Bmp.Scanlines;
        const std::size_t first = 3 * static_cast<std::size_t>(xa), top = static_cast<std::size_t>(ya);
        std::uint32_t v[48], inc[48];
        for (int k = k0; k < k1; ++k) {
            const std::int64_t wb = k * stepY, wt = One - k * stepY;
            std::uint32_t run[3], step[3];
            for (int c = 0; c < 3; ++c) {
                const std::int64_t left = c4.tl[c] * wt + c4.bl[c] * wb;
                const std::int64_t right = c4.tr[c] * wt + c4.br[c] * wb;
                run[c] = static_cast<std::uint32_t>((left >> 20) << 20);
                step[c] = static_cast<std::uint32_t>(((right >> 20) - (left >> 20)) * stepX);
            }
            std::uint8_t* p = lines[top + static_cast<std::size_t>(k)] + first;
            for (int j = 0; j < 48; ++j) {
                v[j] = run[j % 3] + static_cast<std::uint32_t>(j / 3) * step[j % 3];
                inc[j] = 16u * step[j % 3];
            }
            int n = 0;
            for (; n + 16 <= n1; n += 16, p += 48)
                for (int j = 0; j < 48; ++j) {
                    p[j] = static_cast<std::uint8_t>(v[j] >> 20);
                    v[j] += inc[j];
                }
            for (; n < n1; ++n, p += 3)
                for (int c = 0; c < 3; ++c)
                    p[c] =
                        static_cast<std::uint8_t>((run[c] + static_cast<std::uint32_t>(n) * step[c]) >> 20);
        }
    });
}

void ColorWheel(TFastDIB& Bmp) {
    if (!is24(Bmp)) return;
    const int rowsDrawn = std::min(256, Bmp.Height), colsDrawn = std::min(256, Bmp.Width);
    for (int py = 0; py < rowsDrawn; ++py) {
        const int ry = py - 128;
        TFColor* row = Bmp.Pixels24[py];
        for (int px = 0; px < colsDrawn; ++px) {
            const int cx = px - 128;
            double a = cx == 0 ? Pi / 2 : std::atan(static_cast<double>(ry) / cx);
            if (cx < 0 || (cx == 0 && ry < 0)) a += Pi;
            int hue = RoundI(a * 192 / Pi);
            if (hue < 0) hue += 384;
            const double q = hue;
            double R, G, B;
            if (hue < 64)
                R = 1, G = q / 64, B = 0;
            else if (hue < 128)
                R = 1 - (q - 64) / 64, G = 1, B = 0;
            else if (hue < 192)
                R = 0, G = 1, B = (q - 128) / 64;
            else if (hue < 256)
                R = 0, G = 1 - (q - 192) / 64, B = 1;
            else if (hue < 320)
                R = (q - 256) / 64, G = 0, B = 1;
            else
                R = 1, G = 0, B = 1 - (q - 320) / 64;
            const double d = std::sqrt(static_cast<double>(cx * cx + ry * ry)) / 64;
            if (d < 1) {
                R = 1 - d + R * d;
                G = 1 - d + G * d;
                B = 1 - d + B * d;
            } else if (d < 2) {
                R = (2 - d) * R;
                G = (2 - d) * G;
                B = (2 - d) * B;
            } else {
                R = G = B = 0;
            }
            row[px] = TFColor{static_cast<std::uint8_t>(ClampInt(RoundI(255 * B), 0, 255)),
                              static_cast<std::uint8_t>(ClampInt(RoundI(255 * G), 0, 255)),
                              static_cast<std::uint8_t>(ClampInt(RoundI(255 * R), 0, 255))};
        }
    }
}
