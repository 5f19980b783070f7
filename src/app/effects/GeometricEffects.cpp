#include "app/effects/GeometricEffects.h"
#include "image/WorkControl.h"

#include "image/FastFX.h"
#include "image/Numeric.h"
#include "image/Parallel.h"
#include "image/ZorvFX.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

bool usable(const TFastDIB& b) {
    return !b.Empty() && b.Bpp == 24 && b.Width > 0 && b.Height > 0;
}

void copyOf(const TFastDIB& from, TFastDIB& to) {
    to.SetSize(from.Width, from.Height, 24, 0);
    std::memcpy(to.Bits, from.Bits, static_cast<std::size_t>(from.ByteCount()));
}

void fillRect(TFastDIB& b, int x0, int y0, int w, int h, TFColor c) {
    const int x1 = std::min(x0 + w, b.Width), y1 = std::min(y0 + h, b.Height);
    for (int y = std::max(y0, 0); y < y1; ++y) {
        TFColor* row = b.Pixels24[y];
        for (int x = std::max(x0, 0); x < x1; ++x) row[x] = c;
    }
}

} // namespace

void CircularFX(const TFastDIB& Src, TFastDIB& Dst) {
    if (!usable(Src) || !usable(Dst) || Src.Width != Dst.Width || Src.Height != Dst.Height) return;
    const int W = Src.Width, H = Src.Height, cx = W / 2, cy = H / 2;
    constexpr double rad = std::numbers::pi / 180.0;
    // The angle of step s is the spiral's start angle plus s degrees: cos and sin of the two parts
    // come from tables and are combined, instead of two library calls per step.
    std::array<double, 901> cs{}, sn{};
    for (int s = 0; s <= 900; ++s) {
        cs[s] = std::cos(s * rad);
        sn[s] = std::sin(s * rad);
    }
    int j = 0;
    for (int i = 0; i <= 720; ++i) {
        WorkPoint();
        const double a0 = (i / 0.72) * rad, ca = std::cos(a0), sa = std::sin(a0);
        double r = 0;
        if (j > H - 1) j -= H;
        const TFColor* src = Src.Pixels24[j];
        ++j;
        int k = 0;
        for (int s = 0; s <= 900; ++s) {
            const double c = ca * cs[s] - sa * sn[s], n = sa * cs[s] + ca * sn[s];
            const int x = RoundI(c * r) + cx, y = RoundI(n * r) + cy;
            if (k > W - 1) k -= W;
            if (x >= 0 && x < W && y >= 0 && y < H) Dst.Pixels24[y][x] = src[k];
            r = r / (s + 20) + (0.052 + r);
            ++k;
        }
    }
}

bool ConcentricRectsFX(TFastDIB& Bmp, int N) {
    if (!usable(Bmp) || N < 1) return false;
    const int W = Bmp.Width, H = Bmp.Height;
    TFastDIB out, buf;
    copyOf(Bmp, out);
    copyOf(Bmp, buf);
    for (std::int64_t i = N;; i += N) {
        WorkPoint();
        if (buf.Width <= W / 2 - N) break;
        const std::int64_t nw = W - 2 * i, nh = H - 2 * i;
        if (nw < 1 || nh < 1) break;
        ResizeBilinear(buf, static_cast<int>(nw), static_cast<int>(nh), true);
        buf.Draw(out, (W - buf.Width) / 2, (H - buf.Height) / 2);
    }
    Bmp.Swap(out);
    return true;
}

bool MosaicCellOk(int W, int H, int N) {
    return N >= 2 && N <= W / 2 && N <= H / 2;
}

bool MosaicFX(TFastDIB& Bmp, int N) {
    if (!usable(Bmp) || !MosaicCellOk(Bmp.Width, Bmp.Height, N)) return false;
    const int W = Bmp.Width, H = Bmp.Height, cw = W / N, ch = H / N, half = N / 2;
    TFastDIB src;
    copyOf(Bmp, src);
    auto at = [&](int x, int y) { return src.Pixels24[y][x]; };
    for (int r = 0; r < ch; ++r) {
        WorkPoint();
        for (int c = 0; c < cw; ++c) fillRect(Bmp, c * N, r * N, N, N, at(c * N + half, r * N + half));
        if (W % N != 0) fillRect(Bmp, cw * N, r * N, W % N, N, at(W - 1, r * N + half));
    }
    if (H % N != 0) {
        for (int c = 0; c < cw; ++c) fillRect(Bmp, c * N, ch * N, N, H % N, at(c * N + half, H - 1));
        if (W % N != 0) fillRect(Bmp, cw * N, ch * N, W % N, H % N, at(W - 1, H - 1));
    }
    return true;
}

void SprayPixels(const TFastDIB& Src, TFastDIB& Dst, int Amount) {
    if (!usable(Src)) return;
    const int W = Src.Width, H = Src.Height;
    if (Dst.Width != W || Dst.Height != H || Dst.Bpp != 24) Dst.SetSize(W, H, 24, 0);
    if (Amount <= 0) {
        std::memcpy(Dst.Bits, Src.Bits, static_cast<std::size_t>(Src.ByteCount()));
        return;
    }
    // Three draws per pixel from the process-wide sequence; 2r can pass the int range, so the
    // spans and offsets are 64-bit.
    std::uint32_t s = RandSeed();
    auto draw = [&s](std::uint64_t n) -> std::int64_t {
        s = RandNext(s);
        return static_cast<std::int64_t>((static_cast<std::uint64_t>(s) * n) >> 32);
    };
    for (int y = 0; y < H; ++y) {
        WorkPoint(); // a stop leaves the shared sequence where it was
        TFColor* dst = Dst.Pixels24[y];
        for (int x = 0; x < W; ++x) {
            const std::int64_t r = draw(static_cast<std::uint64_t>(Amount));
            const std::int64_t sx = r - draw(2 * static_cast<std::uint64_t>(r)) + x;
            const std::int64_t sy = r - draw(2 * static_cast<std::uint64_t>(r)) + y;
            dst[x] = Src.Pixels24[WrapMod(sy, H)][WrapMod(sx, W)];
        }
    }
    RandSeed() = s;
}

void FourWayFlip(TFastDIB& D) {
    if (!usable(D)) return;
    const int W = D.Width, H = D.Height;
    TFastDIB out;
    out.SetSize(2 * W, 2 * H, 24, 0);
    for (int y = 0; y < H; ++y) {
        WorkPoint();
        const TFColor* s = D.Pixels24[y];
        TFColor* top = out.Pixels24[y];
        TFColor* bottom = out.Pixels24[2 * H - 1 - y];
        std::memcpy(top, s, static_cast<std::size_t>(W) * 3);
        std::memcpy(bottom, s, static_cast<std::size_t>(W) * 3);
        for (int x = 0; x < W; ++x) top[2 * W - 1 - x] = bottom[2 * W - 1 - x] = s[x];
    }
    D.Swap(out);
}

void SwizzleFX(TFastDIB& Bmp, int N) {
    if (!usable(Bmp)) return;
    const int Wi = Bmp.Width, Hi = Bmp.Height;
    TFastDIB work;
    copyOf(Bmp, work);
    // An image one pixel wide has no period for the wave.
    if (Wi > 1) SineWaveUD(work, N, true, static_cast<float>(Wi - 1), true);
    FourWayFlip(work);
    TFastDIB out;
    out.SetSize(Wi, Hi, 24, 0);
    work.Stretch(out, 0, 0, Wi, Hi);
    Bmp.Swap(out);
}

void MapTextureFX(TFastDIB& Bmp, const TFastDIB& Texture, float m) {
    if (!usable(Bmp) || Texture.Empty() || Texture.Width <= 0 || Texture.Height <= 0) return;
    std::array<float, 256> MapVal{};
    for (int i = 0; i < 256; ++i) MapVal[i] = static_cast<float>(std::sin(i / 255.0) * m);
    TFastDIB tex;
    tex.SetSize(Texture.Width, Texture.Height, 24, 0);
    Texture.Draw(tex, 0, 0);
    if (tex.Width != Bmp.Width || tex.Height != Bmp.Height) ResizeBilinear(tex, Bmp.Width, Bmp.Height, false);
    // Result of a channel value c under a texture value t, built once per texture value as needed.
    std::vector<std::uint8_t> table(256 * 256);
    for (int t = 0; t < 256; ++t)
        for (int c = 0; c < 256; ++c)
            table[t * 256 + c] = ClampToByte(RoundI(c * static_cast<double>(MapVal[t])));
    const int n = Bmp.Width * 3;
    for (int y = 0; y < Bmp.Height; ++y) {
        WorkPoint();
        std::uint8_t* d = Bmp.Scanlines[y];
        const std::uint8_t* t = tex.Scanlines[y];
        for (int i = 0; i < n; ++i) d[i] = table[t[i] * 256 + d[i]];
    }
}

void Rotate90(const TFastDIB& Src, TFastDIB& Dst) {
    if (!usable(Src) || &Src == &Dst) return;
    const int W = Src.Width, H = Src.Height;
    Dst.SetSize(H, W, 24, 0);
    // Row x of the result is column x of the source read bottom up. A band of result rows is done in
    // strips of 32: each source row gives one pixel to each of the strip's rows, so the reads are short
    // runs and the writes 32 sequential streams.
    constexpr int Strip = 32;
    ParallelRows(W, WorkOf(Dst, CostSimple), [&](int r0, int r1) {
        const PPixels24 src = Src.Pixels24, dst = Dst.Pixels24;
        const int h = H;
        for (int a = r0; a < r1; a += Strip) {
            const int b = std::min(a + Strip, r1);
            for (int y = 0; y < h; ++y) {
                const TFColor* s = src[y];
                const int dx = h - 1 - y;
                for (int x = a; x < b; ++x) dst[x][dx] = s[x];
            }
        }
    });
}

void Rotate90(TFastDIB& Bmp) {
    if (!usable(Bmp)) return;
    TFastDIB out;
    Rotate90(Bmp, out);
    Bmp.Swap(out);
}

void ResizeFastFX(const TFastDIB& Src, TFastDIB& Dst, int W, int H) {
    if (!usable(Src) || W < 1 || H < 1) return;
    Dst.SetSize(W, H, 24, 0);
    Src.Stretch(Dst, 0, 0, W, H);
}

void RotateWrapped(const TFastDIB& Src, TFastDIB& Dst, int cx, int cy, double Angle) {
    if (!usable(Src) || !usable(Dst)) return;
    const int sw = Src.Width, sh = Src.Height;
    const double theta = -Angle * std::numbers::pi / 180.0;
    const float sn = static_cast<float>(std::sin(theta)), cs = static_cast<float>(std::cos(theta));
    const int ox = (Dst.Width - sw) / 2, oy = (Dst.Height - sh) / 2;
    auto wrapIndex = [](std::int64_t i, int n) -> int {
        if (i < 0) return (n - 1) - static_cast<int>((-i) % n);
        if (i > n - 1) return static_cast<int>(i % n);
        return static_cast<int>(i);
    };
    // The parts of the source position that depend on the column only, in the same order of
    // operations as the whole expression.
    std::vector<double> ax(Dst.Width), ay(Dst.Width);
    for (int x = 0; x < Dst.Width; ++x) {
        const double rx = x - cx;
        ax[x] = rx * cs + cx;
        ay[x] = rx * sn + cy;
    }
    // Rows are independent: they go in bands, which also check for a stop between them.
    ParallelRows(Dst.Height, WorkOf(Dst, CostFloat), [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            TFColor* dst = Dst.Pixels24[y];
            const double ry = y - cy, bx = ry * sn, by = ry * cs;
            for (int x = 0; x < Dst.Width; ++x) {
                const float sx = static_cast<float>(ax[x] - bx - ox);
                const float sy = static_cast<float>(ay[x] + by - oy);
                const std::int64_t ix = Trunc(sx), iy = Trunc(sy);
                float wx0, wx1, wy0, wy1;
                if (sy >= 0) {
                    wy1 = static_cast<float>(sy - iy);
                    wy0 = 1 - wy1;
                } else {
                    wy0 = static_cast<float>(iy - sy);
                    wy1 = 1 - wy0;
                }
                if (sx >= 0) {
                    wx1 = static_cast<float>(sx - ix);
                    wx0 = 1 - wx1;
                } else {
                    wx0 = static_cast<float>(ix - sx);
                    wx1 = 1 - wx0;
                }
                const int x0 = wrapIndex(ix, sw), y0 = wrapIndex(iy, sh);
                const int x1 = x0 + 1 == sw ? 0 : x0 + 1, y1 = y0 + 1 == sh ? 0 : y0 + 1;
                const double w00 = wx0 * wy0, w10 = wx1 * wy0, w01 = wx0 * wy1, w11 = wx1 * wy1;
                const std::uint8_t* r0 = reinterpret_cast<const std::uint8_t*>(Src.Pixels24[y0]);
                const std::uint8_t* r1 = reinterpret_cast<const std::uint8_t*>(Src.Pixels24[y1]);
                std::uint8_t* d = reinterpret_cast<std::uint8_t*>(dst + x);
                for (int c = 0; c < 3; ++c) {
                    const double v = r0[3 * x0 + c] * w00 + r0[3 * x1 + c] * w10 + r1[3 * x0 + c] * w01 +
                                     r1[3 * x1 + c] * w11;
                    d[c] = ClampToByte(RoundI(v));
                }
            }
        }
    });
}

bool RotateSeamlessFX(TFastDIB& Bmp) {
    if (!usable(Bmp) || Bmp.Width != Bmp.Height) return false;
    const int W = Bmp.Width, H = Bmp.Height;
    const float s = 0.7853982f;
    const int nw = static_cast<int>(Round(std::sin(static_cast<double>(s)) * W));
    const int nh = static_cast<int>(Round(std::sin(static_cast<double>(s)) * H));
    if (nw < 1 || nh < 1) return false;
    TFastDIB buf;
    copyOf(Bmp, buf);
    ResizeBilinear(buf, nw, nh, false);
    TFastDIB T;
    T.SetSize(3 * nw, 3 * nh, 24, 0);
    buf.TileDraw(T, 0, 0, T.Width, T.Height);
    TFastDIB big;
    big.SetSize(2 * nw, 2 * nh, 24, 0);
    T.DrawRect(big, 0, 0, big.Width, big.Height, buf.Width / 2, buf.Height / 2);
    TFastDIB turned;
    turned.SetSize(big.Width, big.Height, 24, 0);
    RotateWrapped(big, turned, big.Width / 2, big.Height / 2, 45.0);
    TFastDIB out;
    out.SetSize(W, H, 24, 0);
    turned.DrawRect(out, 0, 0, W, H, (turned.Width - W) / 2, (turned.Height - H) / 2);
    Bmp.Swap(out);
    return true;
}
