#include "app/effects/ColorEffects.h"
#include "image/WorkControl.h"

#include "image/FastFX.h"
#include "image/ImagePair.h"
#include "image/Numeric.h"
#include "image/Parallel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace {

bool& blendKernelSwitch() {
    static bool on = true;
    return on;
}

bool usable(const TFastDIB& b) {
    return !b.Empty() && b.Bpp == 24 && b.Width > 0 && b.Height > 0;
}

// Src's rows mapped into Dst's in row bands: row(s, d, w) writes the w pixels of row d from row s. The
// two have one size (they may be one image: every pixel is read before it is written).
template <class F> void mapRows(const TFastDIB& Src, TFastDIB& Dst, std::int64_t cost, const F& row) {
    ParallelRows(Src.Height, WorkOf(Src, cost), [&](int y0, int y1) {
        const F f = row; // a private copy: the byte stores cannot alias what it holds
        const std::uint8_t* const* src = Src.Scanlines;
        std::uint8_t* const* dst = Dst.Scanlines;
        const int w = Src.Width;
        for (int y = y0; y < y1; ++y) f(src[y], dst[y], w);
    });
}

// Whether Src and Dst are 24-bit images with pixels of one size.
bool usablePair(const TFastDIB& Src, const TFastDIB& Dst) {
    return usable(Src) && usable(Dst) && Src.Width == Dst.Width && Src.Height == Dst.Height;
}

// Dst := Src where an effect changes nothing.
void unchanged(const TFastDIB& Src, TFastDIB& Dst) {
    if (&Src != &Dst) CopyPixels(Src, Dst);
}

// Applies one table to every byte of every pixel.
void mapBytes(const TFastDIB& Src, TFastDIB& Dst, const std::array<std::uint8_t, 256>& t) {
    mapRows(Src, Dst, CostSimple, [table = t](const std::uint8_t* s, std::uint8_t* d, int w) {
        for (int i = 0; i < 3 * w; ++i) d[i] = table[s[i]];
    });
}

} // namespace

void SetBlendKernelEnabled(bool enabled) {
    blendKernelSwitch() = enabled;
}
bool BlendKernelEnabled() {
    return blendKernelSwitch();
}

std::array<std::uint16_t, 256> MakeLiteRay() {
    std::array<std::uint16_t, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<std::uint16_t>(Round(std::pow(i / 255.0, 0.85) * 255.0));
    return t;
}

void ColorRotateFX(const TFastDIB& Src, TFastDIB& Dst, int N) {
    if (!usablePair(Src, Dst)) return;
    const int n = N <= 0 ? 0 : N % 24;
    if (n == 0) return unchanged(Src, Dst);
    mapRows(Src, Dst, CostSimple, [n](const std::uint8_t* s, std::uint8_t* d, int w) {
        for (int x = 0; x < w; ++x, s += 3, d += 3) {
            const std::uint32_t v = s[2] | (s[1] << 8) | (s[0] << 16);
            const std::uint32_t r = ((v << n) | (v >> (24 - n))) & 0xFFFFFFu;
            d[0] = static_cast<std::uint8_t>(r >> 16);
            d[1] = static_cast<std::uint8_t>(r >> 8);
            d[2] = static_cast<std::uint8_t>(r);
        }
    });
}

void ColorRotateFX(TFastDIB& Bmp, int N) {
    ColorRotateFX(Bmp, Bmp, N);
}

void NegativeFX(const TFastDIB& Src, TFastDIB& Dst) {
    if (!usablePair(Src, Dst)) return;
    mapRows(Src, Dst, CostCopy, [](const std::uint8_t* s, std::uint8_t* d, int w) {
        for (int i = 0; i < 3 * w; ++i) d[i] = static_cast<std::uint8_t>(255 - s[i]);
    });
}

void NegativeFX(TFastDIB& Bmp) {
    NegativeFX(Bmp, Bmp);
}

void BrightenFX(const TFastDIB& Src, TFastDIB& Dst) {
    if (!usablePair(Src, Dst)) return;
    std::array<std::uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = ClampToByte(i + static_cast<int>(Round(i * 0.05)));
    mapBytes(Src, Dst, t);
}

void BrightenFX(TFastDIB& Bmp) {
    BrightenFX(Bmp, Bmp);
}

void LightenFX(const TFastDIB& Src, TFastDIB& Dst, const std::array<std::uint16_t, 256>& LiteRay) {
    if (!usablePair(Src, Dst)) return;
    std::array<std::uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<std::uint8_t>(LiteRay[i] & 255);
    mapBytes(Src, Dst, t);
}

void LightenFX(TFastDIB& Bmp, const std::array<std::uint16_t, 256>& LiteRay) {
    LightenFX(Bmp, Bmp, LiteRay);
}

void TintImage(const TFastDIB& Src, TFastDIB& Dst, std::uint8_t R, std::uint8_t G, std::uint8_t B) {
    if (!usablePair(Src, Dst)) return;
    // One entry per possible maximum channel.
    std::array<TFColor, 256> t{};
    for (int m = 0; m < 256; ++m) {
        const double k = m / 255.0;
        t[m] = TFColor{static_cast<std::uint8_t>(Round(B * k)), static_cast<std::uint8_t>(Round(G * k)),
                       static_cast<std::uint8_t>(Round(R * k))};
    }
    mapRows(Src, Dst, CostSimple, [t](const std::uint8_t* s, std::uint8_t* d, int w) {
        for (int x = 0; x < w; ++x, s += 3, d += 3) {
            const TFColor c = t[std::max({s[0], s[1], s[2]})];
            d[0] = c.b;
            d[1] = c.g;
            d[2] = c.r;
        }
    });
}

void TintImage(TFastDIB& Bmp, std::uint8_t R, std::uint8_t G, std::uint8_t B) {
    TintImage(Bmp, Bmp, R, G, B);
}

void EraseToBlackFX(TFastDIB& Bmp) {
    if (!usable(Bmp)) return;
    mapRows(Bmp, Bmp, CostCopy, [](const std::uint8_t*, std::uint8_t* d, int w) {
        std::memset(d, 0, static_cast<std::size_t>(w) * 3);
    });
}

void ExchangeColorFX(const TFastDIB& Src, TFastDIB& Dst, TColor From, TColor To, std::uint16_t Tolerance) {
    if (!usablePair(Src, Dst)) return;
    const int t = Tolerance;
    const int fr = GetRValue(From), fg = GetGValue(From), fb = GetBValue(From);
    struct Box {
        int rlo, rhi, glo, ghi, blo, bhi;
        TFColor to;
    };
    const Box box{ClampToByte(fr - t), ClampToByte(fr + t), ClampToByte(fg - t), ClampToByte(fg + t),
                  ClampToByte(fb - t), ClampToByte(fb + t), ColorToFColor(To)};
    mapRows(Src, Dst, CostSimple, [box](const std::uint8_t* s, std::uint8_t* d, int w) {
        for (int x = 0; x < w; ++x, s += 3, d += 3) {
            const int b = s[0], g = s[1], r = s[2];
            if (r >= box.rlo && r <= box.rhi && g >= box.glo && g <= box.ghi && b >= box.blo &&
                b <= box.bhi) {
                d[0] = box.to.b;
                d[1] = box.to.g;
                d[2] = box.to.r;
            } else {
                d[0] = static_cast<std::uint8_t>(b);
                d[1] = static_cast<std::uint8_t>(g);
                d[2] = static_cast<std::uint8_t>(r);
            }
        }
    });
}

void ExchangeColorFX(TFastDIB& Bmp, TColor From, TColor To, std::uint16_t Tolerance) {
    ExchangeColorFX(Bmp, Bmp, From, To, Tolerance);
}

bool GradientBarsFX(TFastDIB& Bmp, TColor c1, TColor c2, int N) {
    if (!usable(Bmp) || N < 1) return false;
    const int W = Bmp.Width;
    const double p = static_cast<double>(W) / N;
    const int r1 = GetRValue(c1), g1 = GetGValue(c1), b1 = GetBValue(c1);
    const int r2 = GetRValue(c2), g2 = GetGValue(c2), b2 = GetBValue(c2);
    TFColor* row0 = Bmp.Pixels24[0];
    for (int x = 0; x < W; ++x) {
        const int s = static_cast<int>(Trunc(std::fabs(std::sin(x / p * M_PI)) * 255));
        row0[x] = TFColor{static_cast<std::uint8_t>(b1 + ((b2 - b1) * s) / 255),
                          static_cast<std::uint8_t>(g1 + ((g2 - g1) * s) / 255),
                          static_cast<std::uint8_t>(r1 + ((r2 - r1) * s) / 255)};
    }
    ParallelRows(Bmp.Height - 1, WorkOf(Bmp, CostCopy), [&](int y0, int y1) {
        for (int y = y0 + 1; y < y1 + 1; ++y)
            std::memcpy(Bmp.Scanlines[y], row0, static_cast<std::size_t>(W) * 3);
    });
    return true;
}

void MergeImagesFX(const TFastDIB& Src, TFastDIB& Dst, const TFastDIB& Other, int P) {
    if (!usablePair(Src, Dst) || Other.Empty() || Other.Width <= 0 || Other.Height <= 0) return;
    const float f = static_cast<float>(std::clamp(P, 0, 100)) / 100.0f;
    const float g = 1.0f - f;
    // Each channel's two products, so that the pixel loop only adds and rounds.
    struct Tables {
        std::array<double, 256> f, g;
    };
    auto t = std::make_unique<Tables>();
    for (int i = 0; i < 256; ++i) {
        t->f[i] = i * static_cast<double>(f);
        t->g[i] = i * static_cast<double>(g);
    }
    TFastDIB over;
    over.SetSize(Src.Width, Src.Height, 24, 0);
    Other.Stretch(over, 0, 0, Src.Width, Src.Height);
    ParallelRows(Src.Height, WorkOf(Src, CostSimple), [&](int y0, int y1) {
        const double* const tf = t->f.data();
        const double* const tg = t->g.data();
        const int n = Src.Width * 3;
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* d = Dst.Scanlines[y];
            const std::uint8_t* s = over.Scanlines[y];
            const std::uint8_t* c = Src.Scanlines[y];
            for (int i = 0; i < n; ++i)
                d[i] = static_cast<std::uint8_t>(RoundFast(tf[s[i]] + tg[c[i]]) & 255);
        }
    });
}

void MergeImagesFX(TFastDIB& Bmp, const TFastDIB& Other, int P) {
    MergeImagesFX(Bmp, Bmp, Other, P);
}

namespace {
// The weights of a pixel by the sum of its channels: G = sum / 765 and I = 1 - G, both as float.
struct TWeightTables {
    std::array<float, 766> G{}, I{};
    std::array<double, 766> DG{}, DI{}; // the same values widened, for the vector kernel
    TWeightTables() {
        for (int s = 0; s < 766; ++s) {
            G[s] = static_cast<float>(s / 765.0);
            I[s] = 1.0f - G[s];
            DG[s] = G[s];
            DI[s] = I[s];
        }
    }
};
const TWeightTables& weightTables() {
    static const TWeightTables t;
    return t;
}

// Products of a channel and a float weight, and the sum of two of them, are exact in double (8 bits
// times 24 bits each, with room to spare), so the only rounding is the final one to the nearest
// integer, halves to even; the vector kernel below gives the same bytes as the plain loop.
void blendRunPlain(const std::uint8_t* q, const std::uint8_t* p, std::uint8_t* o, std::uint16_t* srow, int x0,
                   int x1, int shift, bool self) {
    const TWeightTables& t = weightTables();
    for (int x = x0; x < x1; ++x) {
        const int k = 3 * x, ks = 3 * (x + shift);
        const double wi = t.I[srow[x]], wg = t.G[srow[x]];
        const int b = RoundFast(q[ks] * wi + p[k] * wg) & 255;
        const int g = RoundFast(q[ks + 1] * wi + p[k + 1] * wg) & 255;
        const int r = RoundFast(q[ks + 2] * wi + p[k + 2] * wg) & 255;
        o[k] = static_cast<std::uint8_t>(b);
        o[k + 1] = static_cast<std::uint8_t>(g);
        o[k + 2] = static_cast<std::uint8_t>(r);
        if (self) srow[x] = static_cast<std::uint16_t>(b + g + r);
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
#define MOZARO_BLEND_AVX2 1
// Four pixels (twelve channels) per step in three vectors of four double lanes, the weights spread
// over the lanes by permutes; the pixels left over at the end of a run go to the plain loop.
#define MOZARO_AVX2_INLINE __attribute__((target("avx2,fma"), always_inline)) inline
MOZARO_AVX2_INLINE __m256d bytes4(const std::uint8_t* s) {
    std::uint32_t v;
    std::memcpy(&v, s, 4);
    return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(static_cast<int>(v))));
}
// Four channels: nint(q * wi + p * wg) as four 32-bit integers.
MOZARO_AVX2_INLINE __m128i blendPart(const std::uint8_t* qs, const std::uint8_t* ps, __m256d wi, __m256d wg) {
    const __m256d v = _mm256_fmadd_pd(bytes4(qs), wi, _mm256_mul_pd(bytes4(ps), wg));
    return _mm256_cvtpd_epi32(_mm256_round_pd(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC));
}

__attribute__((target("avx2,fma"))) void blendRunAvx2(const std::uint8_t* q, const std::uint8_t* p,
                                                      std::uint8_t* o, std::uint16_t* srow, int x0, int x1,
                                                      int shift, bool self) {
    const TWeightTables& t = weightTables();
    constexpr int lanes0 = 0x40, lanes1 = 0xA5, lanes2 = 0xFE; // (0,0,0,1), (1,1,2,2), (2,3,3,3)
    int x = x0;
    for (; x + 4 <= x1; x += 4) {
        const std::uint8_t* qs = q + 3 * (x + shift);
        const std::uint8_t* ps = p + 3 * x;
        const std::uint16_t* sw = srow + x;
        // Every lane gathered (the masked form, so that no lane starts undefined).
        const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
        const __m128i idx = _mm_cvtepu16_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(sw)));
        const __m256d wi = _mm256_mask_i32gather_pd(_mm256_setzero_pd(), t.DI.data(), idx, all, 8);
        const __m256d wg = _mm256_mask_i32gather_pd(_mm256_setzero_pd(), t.DG.data(), idx, all, 8);
        const __m128i i0 =
            blendPart(qs, ps, _mm256_permute4x64_pd(wi, lanes0), _mm256_permute4x64_pd(wg, lanes0));
        const __m128i i1 =
            blendPart(qs + 4, ps + 4, _mm256_permute4x64_pd(wi, lanes1), _mm256_permute4x64_pd(wg, lanes1));
        const __m128i i2 =
            blendPart(qs + 8, ps + 8, _mm256_permute4x64_pd(wi, lanes2), _mm256_permute4x64_pd(wg, lanes2));
        const __m128i bytes = _mm_packus_epi16(_mm_packus_epi32(i0, i1), _mm_packus_epi32(i2, i2));
        alignas(16) std::uint8_t out[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(out), bytes);
        std::memcpy(o + 3 * x, out, 12);
        if (self) {
            // The four pixels' channel sums: blue, green and red bytes spread to 32-bit lanes and added.
            const __m128i bl = _mm_shuffle_epi8(
                bytes, _mm_setr_epi8(0, -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1));
            const __m128i gr = _mm_shuffle_epi8(
                bytes, _mm_setr_epi8(1, -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1));
            const __m128i rd = _mm_shuffle_epi8(
                bytes, _mm_setr_epi8(2, -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1));
            const __m128i sum =
                _mm_packus_epi32(_mm_add_epi32(_mm_add_epi32(bl, gr), rd), _mm_setzero_si128());
            _mm_storel_epi64(reinterpret_cast<__m128i*>(srow + x), sum);
        }
    }
    if (x < x1) blendRunPlain(q, p, o, srow, x, x1, shift, self);
}

bool avx2Blend() {
    static const bool ok = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return ok && BlendKernelEnabled();
}
#endif

// One pass: out(x, y) := nint(prev(x + dx, y + dy) * I + prev(x, y) * G) per channel, the weights
// taken by the channel sum S of the weight image; with `self` S becomes the sums of `out` for the
// next pass. dx and dy are already reduced to 0 .. W - 1 and 0 .. H - 1.
void blendPass(const TFastDIB& prev, TFastDIB& out, std::vector<std::uint16_t>& S, int dx, int dy,
               bool self) {
    const int W = prev.Width, H = prev.Height;
    auto run = blendRunPlain;
#ifdef MOZARO_BLEND_AVX2
    if (avx2Blend()) run = blendRunAvx2;
#endif
    // Every output row (and its row of S) depends only on the previous pass: rows go in bands, which
    // also check for a stop between them.
    ParallelRows(H, WorkOf(prev, CostFloat), [&, run, W, H, dx, dy, self](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* p = prev.Scanlines[y];
            const std::uint8_t* q = prev.Scanlines[(y + dy) % H];
            std::uint8_t* o = out.Scanlines[y];
            std::uint16_t* srow = &S[static_cast<std::size_t>(y) * W];
            run(q, p, o, srow, 0, W - dx, dx, self);
            run(q, p, o, srow, W - dx, W, dx - W, self);
        }
    });
}
} // namespace

bool StretchBlurFX(TFastDIB& Bmp, const TFastDIB* Weight, int LR, int UD, int Reps) {
    if (!usable(Bmp) || (LR == 0 && UD == 0)) return false;
    const int W = Bmp.Width, H = Bmp.Height;
    // The weight image: the other image stretched to this size, or this image itself.
    std::vector<std::uint16_t> S(static_cast<std::size_t>(W) * static_cast<std::size_t>(H));
    {
        TFastDIB wimg;
        const TFastDIB* from = &Bmp;
        if (Weight) {
            wimg.SetSize(W, H, 24, 0);
            if (!Weight->Empty() && Weight->Width > 0 && Weight->Height > 0)
                Weight->Stretch(wimg, 0, 0, W, H);
            from = &wimg;
        }
        std::size_t k = 0;
        for (int y = 0; y < H; ++y) {
            const TFColor* row = from->Pixels24[y];
            for (int x = 0; x < W; ++x, ++k)
                S[k] = static_cast<std::uint16_t>(row[x].r + row[x].g + row[x].b);
        }
    }
    const int dx = WrapMod(LR, W), dy = WrapMod(UD, H);
    TFastDIB other;
    other.SetSize(W, H, 24, 0);
    for (int i = 0; i < Reps; ++i) {
        WorkPoint();
        blendPass(Bmp, other, S, dx, dy, Weight == nullptr);
        Bmp.Swap(other);
    }
    AdjustContrast(Bmp, 1, 1, 1);
    const std::int64_t reps = std::max(Reps, 0);
    WrapShift(Bmp, WrapMod(-(static_cast<std::int64_t>(LR) * reps) / 2, W),
              WrapMod(-(static_cast<std::int64_t>(UD) * reps) / 2, H));
    return true;
}
