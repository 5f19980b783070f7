// Separable Gaussian blur. GBlur gives exactly the result of BlurLine over every row and then every
// column, but works on whole rows at a time.
//
// Why integers give the same bytes: every weight is a single-precision number, so it is an integer
// multiple of 2^-s for some s (the lowest mantissa bit of the smallest weight). Each product weight *
// channel, and each partial sum, is then a multiple of 2^-s below 256; when 8 + s <= 53 a double holds all
// of them exactly, so the double sum is exact in any order and equals I * 2^-s with the integer
// I = sum of m[n] * channel, m[n] = weight * 2^s. Truncating x + 2^-13 is then (I + 2^(s-13)) >> s.
// The weights are symmetric, so channels at -n and +n are added first. With m[n] split as
// h * 2^18 + l and s <= 40 both partial sums fit 32 bits, which vectorises well. Other kernels (tiny
// weights far below the rest) take the double path with the taps in order.
#include "image/GaussianBlur.h"
#include "image/Numeric.h"
#include "image/Parallel.h"
#include "image/WorkControl.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace {

// Added before truncation: a sum of single-precision weights may fall short of 1 by about 2^-24, which
// would turn a flat 255 into 254 after the rows and 253 after the columns. A power of two keeps x + eps
// exact.
constexpr double kTruncEps = 1.0 / 8192.0;

// Channel values per block of the accumulation; the accumulators stay in the first-level cache.
constexpr int kBlock = 96;

// Out[i] := ClampRound(0, 255, sum over the taps of w[n] * Src[n][i]) for i in 0 .. count - 1, the taps
// taken in the order n = 0 .. taps - 1.
inline void accumulate(const double* const* Src, const double* w, int taps, int count, std::uint8_t* Out) {
    double acc[kBlock];
    for (int i0 = 0; i0 < count; i0 += kBlock) {
        const int m = std::min(kBlock, count - i0);
        for (int t = 0; t < m; ++t) acc[t] = 0.0;
        for (int n = 0; n < taps; ++n) {
            const double wn = w[n];
            const double* s = Src[n] + i0;
            for (int t = 0; t < m; ++t) acc[t] += wn * s[t];
        }
        for (int t = 0; t < m; ++t) {
            const double x = acc[t];
            Out[i0 + t] =
                static_cast<std::uint8_t>(x < 0.0 ? 0 : (x >= 255.0 ? 255 : static_cast<int>(x + kTruncEps)));
        }
    }
}

// The integer form of a kernel: m[n] = h[n] * 2^18 + l[n] = Weights[n] * 2^s for n = 0 .. size.
struct IntKernel {
    int size = 0;
    int s = 0;
    std::array<std::int32_t, 10> h{}, l{};
};

// False when the kernel is not symmetric or its weights span too many bits for the 32-bit sums.
bool integerKernel(const TGaussKernel& K, IntKernel& ik) {
    ik.size = K.Size;
    if (ik.size < 1 || ik.size > 9) return false;
    int lowest = 0; // exponent of the lowest mantissa bit over all weights
    bool any = false;
    for (int n = 0; n <= ik.size; ++n) {
        const float w = K.Weights[n];
        if (!(w >= 0.0f) || w != K.Weights[-n] || std::isinf(w)) return false;
        if (w == 0.0f) continue;
        int e = 0;
        std::frexp(w, &e); // w = f * 2^e, f in [0.5, 1): its mantissa bits reach down to 2^(e - 24)
        lowest = any ? std::min(lowest, e - 24) : e - 24;
        any = true;
    }
    ik.s = -lowest;
    if (!any || ik.s < 18 || ik.s > 40) return false;
    double total = 0; // the largest sum, over all channels 255, must stay below 2^31 for h and l parts
    for (int n = 0; n <= ik.size; ++n) {
        const auto m = static_cast<std::int64_t>(std::ldexp(static_cast<double>(K.Weights[n]), ik.s));
        ik.h[n] = static_cast<std::int32_t>(m >> 18);
        ik.l[n] = static_cast<std::int32_t>(m & ((1 << 18) - 1));
        total += (n == 0 ? 255.0 : 510.0) * static_cast<double>(ik.h[n]);
    }
    // l parts: at most 255 + 9 * 510 channel sums times 2^18, plus the rounding bias 2^(s - 13).
    const double lowTotal = 4845.0 * ((1 << 18) - 1) + std::ldexp(1.0, ik.s - 13);
    return total + std::ldexp(1.0, ik.s - 18) < 2147483647.0 && lowTotal < 2147483647.0;
}

// Not under ThreadSanitizer: it instruments the clones' resolvers, which run before it has started.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define MOZARO_SIMD_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define MOZARO_SIMD_CLONES
#endif

// One span of channel values: centre c, and for n = 1 .. size the samples a[n] (at -n) and b[n] (+n).
struct Span {
    const std::uint8_t* c;
    std::array<const std::uint8_t*, 10> a, b;
    int count;
    std::uint8_t* out;
};

constexpr int kSpanBlock = 512;

template <int S> [[gnu::always_inline]] inline void blurSpanT(const Span& g, const IntKernel& k) {
    const std::uint8_t* a[S + 1];
    const std::uint8_t* b[S + 1];
    std::int32_t h[S + 1], l[S + 1];
    for (int n = 0; n <= S; ++n) a[n] = g.a[n], b[n] = g.b[n], h[n] = k.h[n], l[n] = k.l[n];
    const std::int32_t bias = std::int32_t{1} << (k.s - 13);
    const int sh = k.s - 18;
    std::uint8_t block[kSpanBlock]; // results go through a local block, so no store can alias a sample
    for (int i0 = 0; i0 < g.count; i0 += kSpanBlock) {
        const int m = std::min(kSpanBlock, g.count - i0);
        const std::uint8_t* c = g.c + i0;
        for (int t = 0; t < m; ++t) {
            const std::int32_t v = c[t];
            std::int32_t hi = h[0] * v, lo = l[0] * v;
#pragma GCC unroll 10
            for (int n = 1; n <= S; ++n) {
                const std::int32_t p = std::int32_t{a[n][i0 + t]} + std::int32_t{b[n][i0 + t]};
                hi += h[n] * p;
                lo += l[n] * p;
            }
            // floor((hi * 2^18 + lo + bias) / 2^s), with the low part folded in first.
            const std::int32_t q = (hi + ((lo + bias) >> 18)) >> sh;
            block[t] = static_cast<std::uint8_t>(q > 255 ? 255 : q);
        }
        std::memcpy(g.out + i0, block, static_cast<std::size_t>(m));
    }
}

MOZARO_SIMD_CLONES void blurSpan(const Span& g, const IntKernel& k) {
    switch (k.size) {
    case 1:
        blurSpanT<1>(g, k);
        break;
    case 2:
        blurSpanT<2>(g, k);
        break;
    case 3:
        blurSpanT<3>(g, k);
        break;
    case 4:
        blurSpanT<4>(g, k);
        break;
    case 5:
        blurSpanT<5>(g, k);
        break;
    case 6:
        blurSpanT<6>(g, k);
        break;
    case 7:
        blurSpanT<7>(g, k);
        break;
    case 8:
        blurSpanT<8>(g, k);
        break;
    default:
        blurSpanT<9>(g, k);
        break;
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
#define MOZARO_HAVE_AVX2_PATH 1

// The same sums with 16-bit multiply-adds: m[n] = hi[n] * 2^15 + lo[n] (both below 2^15), the centre
// and pair sums (at most 510) as 16-bit lanes, two taps per multiply-add. Needs every m[n] below 2^30.
struct MaddKernel {
    int count = 0; // taps after pairing (centre + size pairs), rounded up to even with a zero weight
    int s = 0;
    std::array<std::int32_t, 5> wHi{}, wLo{}; // two 16-bit weights per 32-bit lane pattern
};

bool maddKernel(const TGaussKernel& K, const IntKernel& ik, MaddKernel& mk) {
    if (ik.s < 15 || ik.s > 43) return false;
    std::array<std::int64_t, 10> m{};
    for (int n = 0; n <= ik.size; ++n) {
        m[n] = static_cast<std::int64_t>(std::ldexp(static_cast<double>(K.Weights[n]), ik.s));
        if (m[n] >= (std::int64_t{1} << 30)) return false;
    }
    mk.count = (ik.size + 2) & ~1;
    mk.s = ik.s;
    for (int j = 0; j < mk.count / 2; ++j) {
        const std::int64_t m0 = m[2 * j], m1 = m[2 * j + 1];
        mk.wHi[j] = static_cast<std::int32_t>(((m1 >> 15) << 16) | (m0 >> 15));
        mk.wLo[j] = static_cast<std::int32_t>(((m1 & 0x7FFF) << 16) | (m0 & 0x7FFF));
    }
    return true;
}

// Sixteen channel values at a time; returns how many it did (a multiple of 16).
__attribute__((target("avx2"))) int blurSpanAvx2(const Span& g, const MaddKernel& k) {
    const int taps = k.count, pairs = taps / 2;
    __m256i wHi[5], wLo[5];
    for (int j = 0; j < pairs; ++j)
        wHi[j] = _mm256_set1_epi32(k.wHi[j]), wLo[j] = _mm256_set1_epi32(k.wLo[j]);
    const __m256i bias = _mm256_set1_epi32(1 << (k.s - 13));
    const __m128i shift = _mm_cvtsi32_si128(k.s - 15);
    const int size = taps - 1; // pair sums 1 .. size - (zero-weight tap when rounded up)
    int i = 0;
    for (; i + 16 <= g.count; i += 16) {
        __m256i p[10];
        p[0] = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(g.c + i)));
        for (int n = 1; n <= size; ++n) {
            if (g.a[n] == nullptr) {
                p[n] = _mm256_setzero_si256();
                continue;
            }
            const __m256i x =
                _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(g.a[n] + i)));
            const __m256i y =
                _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(g.b[n] + i)));
            p[n] = _mm256_add_epi16(x, y);
        }
        __m256i hLo = _mm256_setzero_si256(), hHi = hLo, lLo = hLo, lHi = hLo;
        for (int j = 0; j < pairs; ++j) {
            const __m256i lo = _mm256_unpacklo_epi16(p[2 * j], p[2 * j + 1]);
            const __m256i hi = _mm256_unpackhi_epi16(p[2 * j], p[2 * j + 1]);
            hLo = _mm256_add_epi32(hLo, _mm256_madd_epi16(lo, wHi[j]));
            hHi = _mm256_add_epi32(hHi, _mm256_madd_epi16(hi, wHi[j]));
            lLo = _mm256_add_epi32(lLo, _mm256_madd_epi16(lo, wLo[j]));
            lHi = _mm256_add_epi32(lHi, _mm256_madd_epi16(hi, wLo[j]));
        }
        // floor((h * 2^15 + l + bias) / 2^s), the low part folded in first.
        const __m256i qLo = _mm256_sra_epi32(
            _mm256_add_epi32(hLo, _mm256_srai_epi32(_mm256_add_epi32(lLo, bias), 15)), shift);
        const __m256i qHi = _mm256_sra_epi32(
            _mm256_add_epi32(hHi, _mm256_srai_epi32(_mm256_add_epi32(lHi, bias), 15)), shift);
        const __m256i q16 = _mm256_packs_epi32(qLo, qHi); // back in order within each 128-bit half
        const __m256i q8 = _mm256_permute4x64_epi64(_mm256_packus_epi16(q16, q16), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(g.out + i), _mm256_castsi256_si128(q8));
    }
    return i;
}
#endif

// The same with 32 channel values at a time. (The compiler's own intrinsic headers trip a false
// "may be used uninitialized" warning here.)
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
__attribute__((target("avx512f,avx512bw"))) int blurSpanAvx512(const Span& g, const MaddKernel& k) {
    const int taps = k.count, pairs = taps / 2;
    __m512i wHi[5], wLo[5];
    for (int j = 0; j < pairs; ++j)
        wHi[j] = _mm512_set1_epi32(k.wHi[j]), wLo[j] = _mm512_set1_epi32(k.wLo[j]);
    const __m512i bias = _mm512_set1_epi32(1 << (k.s - 13));
    const __m128i shift = _mm_cvtsi32_si128(k.s - 15);
    const int size = taps - 1;
    int i = 0;
    for (; i + 32 <= g.count; i += 32) {
        __m512i p[10];
        p[0] = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(g.c + i)));
        for (int n = 1; n <= size; ++n) {
            if (g.a[n] == nullptr) {
                p[n] = _mm512_setzero_si512();
                continue;
            }
            const __m512i x =
                _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(g.a[n] + i)));
            const __m512i y =
                _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(g.b[n] + i)));
            p[n] = _mm512_add_epi16(x, y);
        }
        __m512i hLo = _mm512_setzero_si512(), hHi = hLo, lLo = hLo, lHi = hLo;
        for (int j = 0; j < pairs; ++j) {
            const __m512i lo = _mm512_unpacklo_epi16(p[2 * j], p[2 * j + 1]);
            const __m512i hi = _mm512_unpackhi_epi16(p[2 * j], p[2 * j + 1]);
            hLo = _mm512_add_epi32(hLo, _mm512_madd_epi16(lo, wHi[j]));
            hHi = _mm512_add_epi32(hHi, _mm512_madd_epi16(hi, wHi[j]));
            lLo = _mm512_add_epi32(lLo, _mm512_madd_epi16(lo, wLo[j]));
            lHi = _mm512_add_epi32(lHi, _mm512_madd_epi16(hi, wLo[j]));
        }
        const __m512i qLo = _mm512_sra_epi32(
            _mm512_add_epi32(hLo, _mm512_srai_epi32(_mm512_add_epi32(lLo, bias), 15)), shift);
        const __m512i qHi = _mm512_sra_epi32(
            _mm512_add_epi32(hHi, _mm512_srai_epi32(_mm512_add_epi32(lHi, bias), 15)), shift);
        const __m512i q16 = _mm512_packs_epi32(qLo, qHi); // in order within each 128-bit quarter
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(g.out + i), _mm512_cvtusepi16_epi8(q16));
    }
    return i;
}
#pragma GCC diagnostic pop

// The span from channel value `done` on.
Span shifted(Span g, int done) {
    g.c += done, g.out += done, g.count -= done;
    for (int n = 1; n < 10; ++n)
        if (g.a[n] != nullptr) g.a[n] += done, g.b[n] += done;
    return g;
}

// One span with the fastest exact form the processor and the kernel allow.
void blurSpanBest(Span g, const IntKernel& k, const void* madd) {
#ifdef MOZARO_HAVE_AVX2_PATH
    if (madd != nullptr) {
        const auto& mk = *static_cast<const MaddKernel*>(madd);
        static const bool wide = __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512f");
        int done = wide ? blurSpanAvx512(g, mk) : 0;
        done += blurSpanAvx2(shifted(g, done), mk);
        if (done == g.count) return;
        g = shifted(g, done);
    }
#endif
    blurSpan(g, k);
}

// The column pass of a vertical filter with `size` taps above and below, in place, over bands of rows.
// Each band works from a ring of its rows as they were before the pass, row r in slot r mod taps, each
// copied before it is rewritten; the rows it needs from the bands above and below are copied aside
// before any band starts (every band has at least `size` rows, so they lie in the neighbouring bands).
// Load(r, dst) copies row r into a ring row; Emit(y, rows) writes result row y from rows[n], the row
// y + n - size clamped into the image, n = 0 .. 2 size.
template <class T, class Load, class Emit>
void columnPass(int height, std::size_t rowLen, int size, std::int64_t work, Load load, Emit emit) {
    const int taps = 2 * size + 1;
    // Few bands: each costs 2 size kept rows. A stop request is also seen between rows inside a band.
    const int bands =
        ParallelSplits(work) ? std::max(1, std::min(4 * ParallelThreads(), height / std::max(size, 1))) : 1;
    auto firstRow = [&](int b) { return static_cast<int>(static_cast<std::int64_t>(height) * b / bands); };
    std::vector<T> kept(bands > 1 ? static_cast<std::size_t>(bands) * 2 * size * rowLen : 0);
    auto keptRow = [&](int b, bool last, int i) {
        return kept.data() + ((static_cast<std::size_t>(b) * 2 + last) * size + i) * rowLen;
    };
    if (bands > 1)
        for (int b = 0; b < bands; ++b)
            for (int i = 0; i < size; ++i) {
                load(firstRow(b) + i, keptRow(b, false, i));
                load(firstRow(b + 1) - size + i, keptRow(b, true, i));
            }
    ParallelRows(bands, work, [&](int b0, int b1) {
        // Ring rows a little longer than needed, so that they do not lie a multiple of 4 KB apart: rows
        // that map to the same cache sets would evict each other.
        const std::size_t stride = rowLen + 66;
        std::vector<T> ring(static_cast<std::size_t>(taps) * stride);
        std::vector<const T*> rows(static_cast<std::size_t>(taps));
        for (int b = b0; b < b1; ++b) {
            const int y0 = firstRow(b), y1 = firstRow(b + 1);
            auto slot = [&](int r) { return ring.data() + static_cast<std::size_t>(r % taps) * stride; };
            auto row = [&](int r) -> const T* {
                if (r < y0) return keptRow(b - 1, true, r - (y0 - size));
                if (r >= y1) return keptRow(b + 1, false, r - y1);
                return slot(r);
            };
            for (int r = y0; r <= std::min(y1 - 1, y0 + size); ++r) load(r, slot(r));
            for (int y = y0; y < y1; ++y) {
                if (bands > 1) WorkPoint();
                if (y > y0 && y + size < y1) load(y + size, slot(y + size));
                for (int n = 0; n < taps; ++n) rows[n] = row(ClampIndex(height - 1, y + n - size));
                emit(y, rows.data());
            }
        }
    });
}

void gblurInteger(TFastDIB& Bitmap, const TGaussKernel& K, const IntKernel& k) {
    const int size = k.size;
    const int width = Bitmap.Width, height = Bitmap.Height, n3 = 3 * width;
    const std::int64_t work = WorkOf(Bitmap, CostFloat);
    const void* madd = nullptr;
#ifdef MOZARO_HAVE_AVX2_PATH
    MaddKernel mk;
    if (__builtin_cpu_supports("avx2") && maddKernel(K, k, mk)) madd = &mk;
#endif

    // Rows: each row with `size` copies of its end pixels on either side.
    ParallelRows(height, work, [&](int y0, int y1) {
        std::vector<std::uint8_t> line(3 * static_cast<std::size_t>(width + 2 * size));
        std::uint8_t* pad = line.data();
        Span g{};
        g.count = n3;
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* row = Bitmap.Scanlines[y];
            std::memcpy(pad + 3 * size, row, static_cast<std::size_t>(n3));
            for (int q = 0; q < size; ++q) {
                std::memcpy(pad + 3 * q, row, 3);
                std::memcpy(pad + 3 * (size + width + q), row + n3 - 3, 3);
            }
            g.c = pad + 3 * size;
            for (int n = 1; n <= size; ++n) g.a[n] = pad + 3 * (size - n), g.b[n] = pad + 3 * (size + n);
            g.out = row;
            blurSpanBest(g, k, madd);
        }
    });

    // Columns.
    columnPass<std::uint8_t>(
        height, static_cast<std::size_t>(n3), size, work,
        [&](int r, std::uint8_t* dst) {
            std::memcpy(dst, Bitmap.Scanlines[r], static_cast<std::size_t>(n3));
        },
        [&](int y, const std::uint8_t* const* rows) {
            Span g{};
            g.count = n3;
            g.c = rows[size];
            for (int n = 1; n <= size; ++n) g.a[n] = rows[size - n], g.b[n] = rows[size + n];
            g.out = Bitmap.Scanlines[y];
            blurSpanBest(g, k, madd);
        });
}

void gblurDouble(TFastDIB& Bitmap, const TGaussKernel& k) {
    const int size = k.Size, taps = 2 * size + 1;
    double w[21];
    for (int n = 0; n < taps; ++n) w[n] = k.Weights[n - size]; // tap n is kernel index n - size
    const int width = Bitmap.Width, height = Bitmap.Height;
    const int n3 = 3 * width;
    const std::int64_t work = WorkOf(Bitmap, CostFloat);

    // Rows: the row in doubles with `size` copies of each end pixel on either side; tap n (kernel index
    // n - size) of pixel j reads pixel j - (n - size), i.e. padded position j + 2 * size - n.
    ParallelRows(height, work, [&](int y0, int y1) {
        std::vector<double> line(static_cast<std::size_t>(3) * (width + 2 * size));
        const double* src[21];
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* row = Bitmap.Scanlines[y];
            for (int q = 0; q < width + 2 * size; ++q) {
                const std::uint8_t* p = row + 3 * ClampIndex(width - 1, q - size);
                line[3 * q] = p[0], line[3 * q + 1] = p[1], line[3 * q + 2] = p[2];
            }
            for (int n = 0; n < taps; ++n) src[n] = line.data() + 3 * (2 * size - n);
            accumulate(src, w, taps, n3, row);
        }
    });

    // Columns: as in the integer form, from rows in doubles; tap n reads row y - (n - size).
    columnPass<double>(
        height, static_cast<std::size_t>(n3), size, work,
        [&](int r, double* d) {
            const std::uint8_t* p = Bitmap.Scanlines[r];
            for (int i = 0; i < n3; ++i) d[i] = p[i];
        },
        [&](int y, const double* const* rows) {
            const double* src[21];
            for (int n = 0; n < taps; ++n) src[n] = rows[2 * size - n];
            accumulate(src, w, taps, n3, Bitmap.Scanlines[y]);
        });
}

} // namespace

void BuildGaussKernel(TGaussKernel& K, double Radius, double Range, double Step) {
    K.Weights = TGaussWeights{};
    if (!(Radius > 0.0)) { // no blur: the identity kernel
        K.Size = 1;
        K.Weights[0] = 1.0f;
        return;
    }
    double sum = 0.0;
    for (int j = -10; j <= 10; ++j) {
        const double t = j / Radius;
        K.Weights[j] = static_cast<float>(std::exp(-(t * t) / 2.0));
        sum += K.Weights[j];
    }
    for (int j = -10; j <= 10; ++j) K.Weights[j] = static_cast<float>(K.Weights[j] / sum);
    // Trim the tail while what is dropped weighs less than Step / (2 * Range).
    double s = 0.0;
    int k = 10;
    while (s < Step / (2.0 * Range) && k >= 2) {
        s += 2.0 * K.Weights[k];
        --k;
    }
    K.Size = static_cast<std::uint8_t>(k);
    sum = 0.0;
    for (int j = -k; j <= k; ++j) sum += K.Weights[j];
    for (int j = -k; j <= k; ++j) K.Weights[j] = static_cast<float>(K.Weights[j] / sum);
}

int ClampIndex(int High, int i) {
    return i > High ? High : (i < 0 ? 0 : i);
}

int ClampRound(int lo, int hi, double x) {
    if (x < lo) return lo;
    if (x >= hi) return hi;
    const std::int64_t t = Trunc(x + kTruncEps);
    return static_cast<int>(std::clamp<std::int64_t>(t, lo, hi));
}

void BlurLine(TFColor* Line, int High, const TGaussKernel& K, TFColor* Temp) {
    const int size = K.Size;
    for (int j = 0; j <= High; ++j) {
        double sb = 0.0, sg = 0.0, sr = 0.0;
        for (int n = -size; n <= size; ++n) {
            const double w = K.Weights[n];
            const TFColor& p = Line[ClampIndex(High, j - n)];
            sb += w * p.b;
            sg += w * p.g;
            sr += w * p.r;
        }
        Temp[j] = TFColor{static_cast<std::uint8_t>(ClampRound(0, 255, sb)),
                          static_cast<std::uint8_t>(ClampRound(0, 255, sg)),
                          static_cast<std::uint8_t>(ClampRound(0, 255, sr))};
    }
    std::memmove(Line, Temp, static_cast<std::size_t>(High + 1) * sizeof(TFColor));
}

void GBlur(TFastDIB& Bitmap, double Radius) {
    if (Bitmap.Bpp != 24) throw std::runtime_error("GBlur only works for 24-bit bitmaps");
    if (!(Radius > 0.0) || Bitmap.Bits == nullptr || Bitmap.Width <= 0 || Bitmap.Height <= 0) return;
    TGaussKernel k;
    BuildGaussKernel(k, Radius, 255, 1);
    IntKernel ik;
    if (integerKernel(k, ik))
        gblurInteger(Bitmap, k, ik);
    else
        gblurDouble(Bitmap, k);
}
