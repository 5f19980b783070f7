// The geometric members of FastFX: wrap-around shift, mirror and rotation.
#include "image/FastFX.h"
#include "image/FastFX_Simd.h"
#include "image/ImagePair.h"
#include "image/Numeric.h"
#include "image/Parallel.h"
#include "image/WorkControl.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>
#include <vector>

void WrapShift(TFastDIB& Bmp, int dx, int dy) {
    if (!Bmp.Bits || Bmp.Width <= 0 || Bmp.Height <= 0) return;
    const int h = Bmp.Height;
    const std::size_t bw = static_cast<std::size_t>(Bmp.BWidth);
    const int sy = WrapMod(dy, h);
    if (sy != 0) {
        // Save the first sy rows, move the rest up in one move, put the saved rows at the bottom.
        std::vector<std::uint8_t> tmp(sy * bw);
        std::memcpy(tmp.data(), Bmp.Bits, tmp.size());
        std::memmove(Bmp.Bits, Bmp.Bits + sy * bw, (h - sy) * bw);
        std::memcpy(Bmp.Bits + (h - sy) * bw, tmp.data(), tmp.size());
    }
    const int sx = WrapMod(dx, Bmp.Width);
    const std::size_t pb = static_cast<std::size_t>(Bmp.Bpp >> 3);
    if (sx != 0 && pb != 0) {
        // Rotate each row's pixel bytes left by k; the gap bytes stay where they are.
        const std::size_t k = sx * pb, n = Bmp.Width * pb;
        std::vector<std::uint8_t> tmp(k);
        for (int y = 0; y < h; ++y) {
            WorkPoint();
            std::uint8_t* row = Bmp.Scanlines[y];
            std::memcpy(tmp.data(), row, k);
            std::memmove(row, row + k, n - k);
            std::memcpy(row + n - k, tmp.data(), k);
        }
    }
}

namespace {

template <class Pixel> void mirrorRows(TFastDIB& Bmp) {
    const int w = Bmp.Width;
    for (int y = 0; y < Bmp.Height; ++y) {
        WorkPoint();
        Pixel* row = reinterpret_cast<Pixel*>(Bmp.Scanlines[y]);
        for (int i = 0, j = w - 1; i < j; ++i, --j) std::swap(row[i], row[j]);
    }
}

// 3-byte pixels: the vector kernel where the processor has it, else a swap of three bytes at a time.
void MirrorLR24(TFastDIB& Bmp) {
    const int w = Bmp.Width;
    if (fastfx_simd::Available()) {
        std::vector<std::uint8_t> scratch(3 * static_cast<std::size_t>(w) + 64);
        for (int y = 0; y < Bmp.Height; ++y) {
            WorkPoint();
            fastfx_simd::MirrorRow24(Bmp.Scanlines[y], w, scratch.data());
        }
        return;
    }
    for (int y = 0; y < Bmp.Height; ++y) {
        WorkPoint();
        std::uint8_t* a = Bmp.Scanlines[y];
        std::uint8_t* b = a + 3 * static_cast<std::ptrdiff_t>(w - 1);
        for (; a < b; a += 3, b -= 3) {
            const std::uint8_t a0 = a[0], a1 = a[1], a2 = a[2];
            a[0] = b[0], a[1] = b[1], a[2] = b[2];
            b[0] = a0, b[1] = a1, b[2] = a2;
        }
    }
}

// One destination row family per pixel size; u and v are 16.16 source positions already wrapped into
// 0 .. Src.Width * 65536 and 0 .. Src.Height * 65536, so no division is needed per pixel.
template <class Pixel>
void rotateRows(const TFastDIB& Src, TFastDIB& Dst, int cx, int cy, long double C, long double S,
                long double ox, long double oy) {
    const std::int64_t stepX = Round(static_cast<double>(C) * 65536.0);
    const std::int64_t stepY = Round(static_cast<double>(S) * 65536.0);
    const std::int64_t spanU = static_cast<std::int64_t>(Src.Width) << 16;
    const std::int64_t spanV = static_cast<std::int64_t>(Src.Height) << 16;
    // The centre as extended values: far-away centres must not overflow int arithmetic.
    const long double X = cx, Y = cy;
    ParallelRows(Dst.Height, WorkOf(Dst, CostSimple), [&](int y0, int y1) {
        const std::int64_t du = stepX, dv = stepY, su = spanU, sv = spanV;
        std::uint8_t* const* const from = Src.Scanlines;
        std::uint8_t* const* const to = Dst.Scanlines;
        const int w = Dst.Width;
        for (int y = y0; y < y1; ++y) {
            const long double fu = (-X * C + X - (y - Y) * S - ox) * 65536.0L;
            const long double fv = (-X * S + Y + (y - Y) * C - oy) * 65536.0L;
            // Reduce in floating point first, so huge values never overflow the conversion.
            std::int64_t u = Round(std::fmod(fu, static_cast<long double>(spanU)));
            std::int64_t v = Round(std::fmod(fv, static_cast<long double>(spanV)));
            u %= spanU;
            if (u < 0) u += spanU;
            v %= spanV;
            if (v < 0) v += spanV;
            Pixel* d = reinterpret_cast<Pixel*>(to[y]);
            for (int x = 0; x < w; ++x) {
                d[x] = reinterpret_cast<const Pixel*>(from[v >> 16])[u >> 16];
                u += du;
                if (u >= su)
                    u -= su;
                else if (u < 0)
                    u += su;
                v += dv;
                if (v >= sv)
                    v -= sv;
                else if (v < 0)
                    v += sv;
            }
        }
    });
}

} // namespace

void MirrorLR(TFastDIB& Bmp) {
    if (!Bmp.Bits || Bmp.Width <= 0) return;
    switch (Bmp.Bpp) {
    case 8:
        mirrorRows<std::uint8_t>(Bmp);
        break;
    case 16:
        mirrorRows<std::uint16_t>(Bmp);
        break;
    case 24:
        MirrorLR24(Bmp);
        break;
    case 32:
        mirrorRows<TFColorA>(Bmp);
        break;
    default:
        break;
    }
}

void MirrorLR(const TFastDIB& Src, TFastDIB& Dst) {
    if (&Src == &Dst) return MirrorLR(Dst);
    if (!PrepareTarget(Src, Dst)) return;
    const int w = Src.Width;
    const bool simd = fastfx_simd::Available();
    ParallelRows(Src.Height, WorkOf(Src, CostCopy), [&](int y0, int y1) {
        std::vector<std::uint8_t> scratch(simd ? 3 * static_cast<std::size_t>(w) + 64 : 0);
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* s = Src.Scanlines[y] + 3 * static_cast<std::ptrdiff_t>(w - 1);
            std::uint8_t* d = Dst.Scanlines[y];
            if (simd) {
                std::memcpy(d, Src.Scanlines[y], 3 * static_cast<std::size_t>(w));
                fastfx_simd::MirrorRow24(d, w, scratch.data());
                continue;
            }
            for (int x = 0; x < w; ++x, s -= 3, d += 3) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        }
    });
}

void MirrorUD(const TFastDIB& Src, TFastDIB& Dst) {
    if (&Src == &Dst) return Dst.Flop();
    if (!PrepareTarget(Src, Dst)) return;
    const int h = Src.Height;
    const std::size_t bytes = 3 * static_cast<std::size_t>(Src.Width);
    ParallelRows(h, WorkOf(Src, CostCopy), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) std::memcpy(Dst.Scanlines[y], Src.Scanlines[h - 1 - y], bytes);
    });
}

void RotateWrap(const TFastDIB& Src, TFastDIB& Dst, int cx, int cy, long double Angle) {
    if (!Src.Bits || !Dst.Bits || Src.Bpp != Dst.Bpp || Src.Width <= 0 || Src.Height <= 0) return;
    if (!std::isfinite(Angle)) return;
    if (&Src == &Dst) {
        // Rotating an image onto itself reads from a copy, or it would read pixels already written.
        TFastDIB copy;
        copy.SetSize(Src.Width, Src.Height, Src.Bpp, Src.Mask);
        std::memcpy(copy.Bits, Src.Bits, static_cast<std::size_t>(Src.ByteCount()));
        RotateWrap(copy, Dst, cx, cy, Angle);
        return;
    }
    const long double t = -Angle * std::numbers::pi_v<long double> / 180.0L;
    // The sine and cosine are Doubles; the row starts are worked in extended precision.
    const long double S = static_cast<double>(std::sin(t));
    const long double C = static_cast<double>(std::cos(t));
    const long double ox = static_cast<double>((Dst.Width - Src.Width) / 2.0);
    const long double oy = static_cast<double>((Dst.Height - Src.Height) / 2.0);
    switch (Dst.Bpp) {
    case 8:
        rotateRows<std::uint8_t>(Src, Dst, cx, cy, C, S, ox, oy);
        break;
    case 16:
        rotateRows<std::uint16_t>(Src, Dst, cx, cy, C, S, ox, oy);
        break;
    case 24:
        rotateRows<TFColor>(Src, Dst, cx, cy, C, S, ox, oy);
        break;
    case 32:
        rotateRows<TFColorA>(Src, Dst, cx, cy, C, S, ox, oy);
        break;
    default:
        break;
    }
}
