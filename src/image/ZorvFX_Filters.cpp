// Neighbourhood filters and edge blending on 24-bit images.
#include "image/ZorvFX_Filters.h"
#include "image/FastFX.h"
#include "image/ImagePair.h"
#include "image/Numeric.h"
#include "image/Parallel.h"
#include "image/WorkControl.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace {

bool usable(const TFastDIB& Bmp) {
    return Bmp.Bpp == 24 && Bmp.Bits != nullptr && Bmp.Width > 0 && Bmp.Height > 0;
}

// Pad becomes Src with a one-pixel wrapped border: each border row or column is the opposite edge of
// Src, each corner the diagonally opposite corner.
void wrappedBorder(const TFastDIB& Src, TFastDIB& Pad) {
    const int w = Src.Width, h = Src.Height;
    Pad.SetSize(w + 2, h + 2, 24, 0);
    Src.Draw(Pad, 1, 1);
    Src.DrawRect(Pad, 1, 0, w, 1, 0, h - 1);     // top: last row
    Src.DrawRect(Pad, 1, h + 1, w, 1, 0, 0);     // bottom: first row
    Src.DrawRect(Pad, 0, 1, 1, h, w - 1, 0);     // left: last column
    Src.DrawRect(Pad, w + 1, 1, 1, h, 0, 0);     // right: first column
    Src.DrawRect(Pad, 0, 0, 1, 1, w - 1, h - 1); // corners
    Src.DrawRect(Pad, w + 1, 0, 1, 1, 0, h - 1);
    Src.DrawRect(Pad, 0, h + 1, 1, 1, w - 1, 0);
    Src.DrawRect(Pad, w + 1, h + 1, 1, 1, 0, 0);
}

// ---- Convolve3x3 -----------------------------------------------------------------------------------

// The hot loops are built for AVX-512 and AVX2 as well as the baseline; the loader picks one per
// processor.
// Not under ThreadSanitizer: it instruments the clones' resolvers, which run before it has started.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define MOZARO_SIMD_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define MOZARO_SIMD_CLONES
#endif

struct ConvRow {
    std::array<int, 9> k;
    int d;
    const std::uint8_t *r0, *r1, *r2; // rows above, own, below, each with a wrapped pixel on both sides
    int n;                            // channel values in the row
    std::uint8_t* out;
};

// Weighted sums of one output row into Sum. Acc is wide enough for every sum the kernel can give, so
// the result is the exact integer sum.
template <class Acc> inline void convolveRowSums(const ConvRow& a, Acc* __restrict Sum) {
    const Acc k0 = static_cast<Acc>(a.k[0]), k1 = static_cast<Acc>(a.k[1]), k2 = static_cast<Acc>(a.k[2]);
    const Acc k3 = static_cast<Acc>(a.k[3]), k4 = static_cast<Acc>(a.k[4]), k5 = static_cast<Acc>(a.k[5]);
    const Acc k6 = static_cast<Acc>(a.k[6]), k7 = static_cast<Acc>(a.k[7]), k8 = static_cast<Acc>(a.k[8]);
    const std::uint8_t* __restrict r0 = a.r0;
    const std::uint8_t* __restrict r1 = a.r1;
    const std::uint8_t* __restrict r2 = a.r2;
    for (int i = 0; i < a.n; ++i) {
        Acc s = static_cast<Acc>(k0 * static_cast<Acc>(r0[i]) + k1 * static_cast<Acc>(r0[i + 3]) +
                                 k2 * static_cast<Acc>(r0[i + 6]));
        s = static_cast<Acc>(s + k3 * static_cast<Acc>(r1[i]) + k4 * static_cast<Acc>(r1[i + 3]) +
                             k5 * static_cast<Acc>(r1[i + 6]));
        s = static_cast<Acc>(s + k6 * static_cast<Acc>(r2[i]) + k7 * static_cast<Acc>(r2[i + 3]) +
                             k8 * static_cast<Acc>(r2[i + 6]));
        Sum[i] = s;
    }
}

// Out[i] := ClampToByte(Sum[i] div d), the quotient truncated toward zero. A negative sum gives 0 and a
// sum of at least 255 * d gives 255, so only sums in 0 .. 255 * d are divided, without a division:
// - sums below 2^15 (d <= 128): q = (s * M) >> (15 + l) with l = ceil(log2 d), M = ceil(2^(15 + l) / d),
//   exact for every s below 2^15 because M * d - 2^(15 + l) < d <= 2^l;
// - sums below 2^24: the quotient is estimated in single precision (off by at most one) and corrected.
template <class Acc>
inline void divideClamp(const Acc* __restrict Sum, int n, int d, std::uint8_t* __restrict Out) {
    if constexpr (sizeof(Acc) > 4) {
        const std::int64_t lim = 255 * static_cast<std::int64_t>(d);
        for (int i = 0; i < n; ++i) {
            const std::int64_t s = Sum[i];
            Out[i] = static_cast<std::uint8_t>(s <= 0 ? 0 : (s >= lim ? 255 : s / d));
        }
    } else if (d == 1) {
        for (int i = 0; i < n; ++i) {
            const int s = Sum[i];
            Out[i] = static_cast<std::uint8_t>(s < 0 ? 0 : (s > 255 ? 255 : s));
        }
    } else if (sizeof(Acc) == 2 && d <= 128) {
        int l = 0;
        while ((1 << l) < d) ++l;
        const std::uint32_t m = static_cast<std::uint32_t>(((std::uint64_t{1} << (15 + l)) + d - 1) / d);
        const Acc lim = static_cast<Acc>(255 * d);
        const int sh = l - 1;
        for (int i = 0; i < n; ++i) {
            Acc s = Sum[i];
            s = s < 0 ? 0 : s;
            s = s > lim ? lim : s;
            const auto hi = static_cast<std::uint16_t>(
                (static_cast<std::uint32_t>(static_cast<std::uint16_t>(s)) * m) >> 16);
            Out[i] = static_cast<std::uint8_t>(hi >> sh);
        }
    } else {
        const int lim = 255 * d;
        const float inv = 1.0f / static_cast<float>(d);
        for (int i = 0; i < n; ++i) {
            int s = Sum[i];
            s = s < 0 ? 0 : s;
            s = s > lim ? lim : s;
            int q = static_cast<int>(static_cast<float>(s) * inv);
            const int r = s - q * d;
            q += r >= d ? 1 : 0;
            q -= r < 0 ? 1 : 0;
            Out[i] = static_cast<std::uint8_t>(q);
        }
    }
}

MOZARO_SIMD_CLONES void convolveRow16(const ConvRow& a, std::int16_t* sum) {
    convolveRowSums(a, sum);
    divideClamp(sum, a.n, a.d, a.out);
}
MOZARO_SIMD_CLONES void convolveRow32(const ConvRow& a, std::int32_t* sum) {
    convolveRowSums(a, sum);
    divideClamp(sum, a.n, a.d, a.out);
}
void convolveRow64(const ConvRow& a, std::int64_t* sum) {
    convolveRowSums(a, sum);
    divideClamp(sum, a.n, a.d, a.out);
}

template <class Acc> void convolveRow(const ConvRow& a, Acc* sum) {
    if constexpr (sizeof(Acc) == 2)
        convolveRow16(a, sum);
    else if constexpr (sizeof(Acc) == 4)
        convolveRow32(a, sum);
    else
        convolveRow64(a, sum);
}

// Row r of Bmp into a row of Ring with a wrapped pixel on each side.
void loadWrappedRow(const TFastDIB& Bmp, int r, std::uint8_t* dst) {
    const std::size_t n = 3 * static_cast<std::size_t>(Bmp.Width);
    const std::uint8_t* src = Bmp.Scanlines[r];
    std::memcpy(dst + 3, src, n);
    std::memcpy(dst, src + n - 3, 3);
    std::memcpy(dst + 3 + n, src, 3);
}

// Bmp is rewritten in bands of rows, each row by row from a ring of its three source rows, bordered with
// their wrapped pixels. The first and last row of every band are kept aside before any band starts: a
// band's first result row needs the row above it, which the band before rewrites, and its last one the
// row below, which the band after rewrites.
template <class Acc> void convolveImage(const std::array<int, 9>& k, int d, TFastDIB& Bmp) {
    const int w = Bmp.Width, h = Bmp.Height;
    const std::int64_t work = WorkOf(Bmp, CostSimple);
    // Few bands: each costs two kept rows. A stop request is also seen between rows inside a band.
    const int bands = ParallelSplits(work) ? std::min(h, 4 * ParallelThreads()) : 1;
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(w + 2);
    auto firstRow = [&](int b) { return static_cast<int>(static_cast<std::int64_t>(h) * b / bands); };
    std::vector<std::uint8_t> edges(2 * static_cast<std::size_t>(bands) * rowBytes);
    auto kept = [&](int b, bool last) {
        return edges.data() + (2 * static_cast<std::size_t>(b) + last) * rowBytes;
    };
    for (int b = 0; b < bands; ++b) {
        loadWrappedRow(Bmp, firstRow(b), kept(b, false));
        loadWrappedRow(Bmp, firstRow(b + 1) - 1, kept(b, true));
    }
    ParallelRows(bands, work, [&](int b0, int b1) {
        std::vector<std::uint8_t> ring(3 * rowBytes);
        std::vector<Acc> sum(3 * static_cast<std::size_t>(w));
        ConvRow a{k, d, nullptr, nullptr, nullptr, 3 * w, nullptr};
        for (int b = b0; b < b1; ++b) {
            const int y0 = firstRow(b), y1 = firstRow(b + 1);
            // Row r of the source, bordered: kept rows at the band's edges, the band's own rows read
            // before they are rewritten (into `slot` of the ring).
            auto source = [&](int r, int slot) -> const std::uint8_t* {
                if (r == y0 - 1) return kept(b == 0 ? bands - 1 : b - 1, true);
                if (r == y1) return kept(b + 1 == bands ? 0 : b + 1, false);
                if (r == y0) return kept(b, false);
                std::uint8_t* dst = ring.data() + static_cast<std::size_t>(slot) * rowBytes;
                loadWrappedRow(Bmp, r, dst);
                return dst;
            };
            // Row r goes to ring slot (r - y0) mod 3, which row r - 3 held and no longer needs.
            const std::uint8_t* top = source(y0 - 1, 0);
            const std::uint8_t* mid = source(y0, 0);
            const std::uint8_t* bot = source(y0 + 1, 1);
            for (int y = y0; y < y1; ++y) {
                if (bands > 1) WorkPoint();
                a.r0 = top, a.r1 = mid, a.r2 = bot, a.out = Bmp.Scanlines[y];
                convolveRow(a, sum.data());
                if (y + 1 < y1) {
                    top = mid;
                    mid = bot;
                    bot = source(y + 2, (y + 2 - y0) % 3);
                }
            }
        }
    });
}

// Dst := Src convolved, in bands of rows read straight from Src. Inside a row every pixel but the first
// and last has its neighbours in the row; those two take theirs through a wrapped 3 x 3 block.
template <class Acc>
void convolveInto(const std::array<int, 9>& k, int d, const TFastDIB& Src, TFastDIB& Dst) {
    const int w = Src.Width, h = Src.Height;
    ParallelRows(h, WorkOf(Src, CostSimple), [&](int y0, int y1) {
        std::vector<Acc> sum(3 * static_cast<std::size_t>(std::max(w, 1)));
        std::uint8_t block[3][9];
        ConvRow a{k, d, nullptr, nullptr, nullptr, 0, nullptr};
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* rows[3] = {Src.Scanlines[y == 0 ? h - 1 : y - 1], Src.Scanlines[y],
                                           Src.Scanlines[y + 1 == h ? 0 : y + 1]};
            std::uint8_t* out = Dst.Scanlines[y];
            if (w > 2) {
                a.r0 = rows[0], a.r1 = rows[1], a.r2 = rows[2], a.n = 3 * (w - 2), a.out = out + 3;
                convolveRow(a, sum.data());
            }
            for (int x : {0, w - 1}) {
                const int cols[3] = {x == 0 ? w - 1 : x - 1, x, x + 1 == w ? 0 : x + 1};
                for (int r = 0; r < 3; ++r)
                    for (int c = 0; c < 3; ++c) std::memcpy(block[r] + 3 * c, rows[r] + 3 * cols[c], 3);
                a.r0 = block[0], a.r1 = block[1], a.r2 = block[2], a.n = 3, a.out = out + 3 * x;
                convolveRow(a, sum.data());
                if (w == 1) break;
            }
        }
    });
}

// The largest sum the kernel can reach picks the narrowest exact accumulator.
template <class Run> void withAccumulator(const std::array<int, 9>& k, Run run) {
    std::int64_t bound = 0;
    for (int v : k) bound += std::llabs(static_cast<long long>(v));
    bound *= 255;
    if (bound <= std::numeric_limits<std::int16_t>::max())
        run(std::int16_t{});
    else if (bound <= std::numeric_limits<std::int32_t>::max())
        run(std::int32_t{});
    else
        run(std::int64_t{});
}

// ---- Edge blending ---------------------------------------------------------------------------------

// Ramp table of a strip n pixels wide: entry [i][v + 255] = MulDiv(i, v, n - 1), so that the per-pixel
// blend needs no division.
std::vector<std::int16_t> rampTable(int n) {
    std::vector<std::int16_t> t(static_cast<std::size_t>(n) * 511);
    for (int i = 0; i < n; ++i)
        for (int v = -255; v <= 255; ++v)
            t[static_cast<std::size_t>(i) * 511 + static_cast<std::size_t>(v + 255)] =
                static_cast<std::int16_t>(MulDiv(i, v, n - 1));
    return t;
}

// One blending pass: the right strip of nx columns fades from the image at its inner edge to the
// mirrored left edge, then the bottom strip of ny rows fades to the upside-down top edge. A strip
// narrower than 2 pixels is skipped (the ramp divides by its width minus 1).
void blendPass(TFastDIB& Bmp, int nx, int ny) {
    const int w = Bmp.Width, h = Bmp.Height;
    TFastDIB b;
    if (nx >= 2 && nx <= w) {
        b.SetSize(nx, h, 24, 0);
        Bmp.DrawRect(b, 0, 0, nx, h, 0, 0);
        MirrorLR(b);
        const std::vector<std::int16_t> t = rampTable(nx);
        for (int y = 0; y < h; ++y) {
            WorkPoint();
            const std::uint8_t* src = b.Scanlines[y];
            std::uint8_t* dst = Bmp.Scanlines[y] + 3 * static_cast<std::ptrdiff_t>(w - nx);
            for (int i = 0; i < nx; ++i) {
                const std::int16_t* ti = t.data() + static_cast<std::size_t>(i) * 511 + 255;
                for (int c = 0; c < 3; ++c) {
                    const int a = dst[3 * i + c];
                    dst[3 * i + c] = static_cast<std::uint8_t>(a + ti[src[3 * i + c] - a]);
                }
            }
        }
    }
    if (ny >= 2 && ny <= h) {
        b.SetSize(w, ny, 24, 0);
        Bmp.DrawRect(b, 0, 0, w, ny, 0, 0);
        b.Flop();
        const std::vector<std::int16_t> t = rampTable(ny);
        for (int j = 0; j < ny; ++j) {
            WorkPoint();
            const std::uint8_t* src = b.Scanlines[j];
            std::uint8_t* dst = Bmp.Scanlines[h - ny + j];
            const std::int16_t* tj = t.data() + static_cast<std::size_t>(j) * 511 + 255;
            for (int i = 0; i < 3 * w; ++i) {
                const int a = dst[i];
                dst[i] = static_cast<std::uint8_t>(a + tj[src[i] - a]);
            }
        }
    }
    b.SetSize(0, 0, 0, 0);
}

} // namespace

void Convolve3x3(std::span<const int> Kernel, std::uint16_t Divisor, TFastDIB& Bmp) {
    if (!usable(Bmp) || Divisor == 0 || Kernel.size() < 9) return;
    std::array<int, 9> k{};
    std::copy_n(Kernel.begin(), 9, k.begin());
    withAccumulator(k, [&](auto acc) { convolveImage<decltype(acc)>(k, Divisor, Bmp); });
}

void Convolve3x3(std::span<const int> Kernel, std::uint16_t Divisor, const TFastDIB& Src, TFastDIB& Dst) {
    if (&Src == &Dst) return Convolve3x3(Kernel, Divisor, Dst);
    if (!PrepareTarget(Src, Dst)) return;
    if (Divisor == 0 || Kernel.size() < 9) return CopyPixels(Src, Dst);
    std::array<int, 9> k{};
    std::copy_n(Kernel.begin(), 9, k.begin());
    withAccumulator(k, [&](auto acc) { convolveInto<decltype(acc)>(k, Divisor, Src, Dst); });
}

// The band lambdas below copy what they capture by reference into locals before their pixel loops: a
// byte store may alias any captured value, which would otherwise be read again for every pixel and keep
// the loop from being vectorised.

namespace {

// Rows y0 .. y1 - 1 of Dst := those of Src in grey. Same: Src and Dst are one image, which the compiler
// is told, so that it need not guard the loop against overlapping rows.
template <bool Same> void grayRows(const TFastDIB& Src, TFastDIB& Dst, int y0, int y1) {
    std::uint8_t* const* from = Src.Scanlines;
    std::uint8_t* const* to = Dst.Scanlines;
    const int w = Src.Width;
    for (int y = y0; y < y1; ++y) {
        std::uint8_t* p = to[y];
        const std::uint8_t* s = Same ? p : from[y];
        for (int x = 0; x < w; ++x, s += 3, p += 3) {
            const auto v = static_cast<std::uint8_t>((77 * s[2] + 151 * s[1] + 28 * s[0]) >> 8);
            p[0] = p[1] = p[2] = v;
        }
    }
}

// Dst := Src embossed; Src and Dst are different images of the same size.
void embossInto(const TFastDIB& Src, TFastDIB& Dst, int Amount) {
    const int w = Src.Width, h = Src.Height;
    const int half0 = Amount / 2;
    ParallelRows(h, WorkOf(Src, CostSimple), [&](int y0, int y1) {
        const int half = half0, width = w, height = h;
        const int inner = width > 2 ? width - 2 : 0; // columns whose partner x + 2 needs no wrap
        std::uint8_t* const* src = Src.Scanlines;
        std::uint8_t* const* dst = Dst.Scanlines;
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* a = src[y];
            const std::uint8_t* b = src[(y + 2) % height];
            std::uint8_t* out = dst[y];
            for (int i = 0; i < 3 * inner; ++i) out[i] = ClampToByte(half + b[i + 6] - a[i]);
            for (int x = inner; x < width; ++x) {
                const int x2 = (x + 2) % width;
                for (int c = 0; c < 3; ++c) out[3 * x + c] = ClampToByte(half + b[3 * x2 + c] - a[3 * x + c]);
            }
        }
    });
}

} // namespace

void GrayScale24(TFastDIB& Bmp) {
    if (!usable(Bmp)) return;
    ParallelRows(Bmp.Height, WorkOf(Bmp, CostSimple),
                 [&](int y0, int y1) { grayRows<true>(Bmp, Bmp, y0, y1); });
}

void GrayScale24(const TFastDIB& Src, TFastDIB& Dst) {
    if (!PrepareTarget(Src, Dst)) return;
    ParallelRows(Src.Height, WorkOf(Src, CostSimple),
                 [&](int y0, int y1) { grayRows<false>(Src, Dst, y0, y1); });
}

void ClassicEmboss(TFastDIB& Bmp, TFastDIB& Work, int Amount) {
    if (!usable(Bmp)) return;
    // Emboss into itself would read pixels already written: use a private copy then.
    TFastDIB own;
    TFastDIB& work = (&Work == &Bmp) ? own : Work;
    work.SetSize(Bmp.Width, Bmp.Height, 24, 0);
    CopyPixels(Bmp, work);
    embossInto(work, Bmp, Amount);
}

void ClassicEmboss(const TFastDIB& Src, TFastDIB& Dst, int Amount) {
    if (&Src == &Dst) return ClassicEmboss(Dst, Dst, Amount);
    if (!PrepareTarget(Src, Dst)) return;
    embossInto(Src, Dst, Amount);
}

namespace {

// A bevel of e pixels (e >= 2) towards c1 on the right and bottom and c2 on the left and top; ramp is
// rampTable(e), the steps MulDiv(i, v, e - 1) without a division per channel.
struct Bevel {
    int w, h, e;
    int c1[3], c2[3];
    std::vector<std::int16_t> ramp;
};

// False when the edge is under 2 pixels: then there is no bevel.
bool bevelFor(const TFastDIB& Bmp, TColor Color1, TColor Color2, int Width, Bevel& b) {
    b.w = Bmp.Width, b.h = Bmp.Height;
    b.e = std::min({Width, b.w, b.h});
    const TFColor f1 = ColorToFColor(Color1), f2 = ColorToFColor(Color2);
    const int c1[3] = {f1.b, f1.g, f1.r}, c2[3] = {f2.b, f2.g, f2.r};
    std::copy_n(c1, 3, b.c1);
    std::copy_n(c2, 3, b.c2);
    if (b.e < 2) return false;
    b.ramp = rampTable(b.e);
    return true;
}

// The pixels the strips touch, times the cost of their table steps.
std::int64_t bevelWork(const Bevel& b) {
    return static_cast<std::int64_t>(b.h) * 2 * b.e * CostSimple;
}

// Row y of the bevel: the right strip, the left strip, then the bottom and the top strip where y lies in
// them. Each strip reads only the row it writes, so row by row gives the bytes of strip after strip.
void bevelRow(const Bevel& b, int y, std::uint8_t* row) {
    const int w = b.w, h = b.h, e = b.e;
    const int *c1 = b.c1, *c2 = b.c2;
    // step(i)[v] = MulDiv(i, v, e - 1) for v in -255 .. 255.
    auto step = [&b](int i) { return b.ramp.data() + static_cast<std::size_t>(i) * 511 + 255; };
    // Right strip: the image at the inner column towards Color1 at the last column.
    std::uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(w - e);
    for (int i = 0; i < e; ++i, p += 3) {
        const std::int16_t* t = step(i);
        for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(p[c] + t[c1[c] - p[c]]);
    }
    // Left strip: Color2 at column 0 towards the image at column e - 1.
    p = row;
    for (int i = 0; i < e; ++i, p += 3) {
        const std::int16_t* t = step(i);
        for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(c2[c] + t[p[c] - c2[c]]);
    }
    // Bottom and top strips stop at the diagonals, so that the corners keep the side ramps.
    if (y >= h - e) {
        const int j = y - (h - e);
        const std::int16_t* t = step(j);
        for (int x = e - j; x <= w - 1 - e + j; ++x) {
            p = row + 3 * static_cast<std::ptrdiff_t>(x);
            for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(p[c] + t[c1[c] - p[c]]);
        }
    }
    if (y < e) {
        const std::int16_t* t = step(y);
        for (int x = y; x <= w - 1 - y; ++x) {
            p = row + 3 * static_cast<std::ptrdiff_t>(x);
            for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(c2[c] + t[p[c] - c2[c]]);
        }
    }
}

} // namespace

void Buttonize(TFastDIB& Bmp, TColor Color1, TColor Color2, int Width) {
    if (!usable(Bmp)) return;
    Bevel b;
    if (!bevelFor(Bmp, Color1, Color2, Width, b)) return;
    ParallelRows(b.h, bevelWork(b), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) bevelRow(b, y, Bmp.Scanlines[y]);
    });
}

// Each row is copied and bevelled while it is at hand.
void Buttonize(const TFastDIB& Src, TFastDIB& Dst, TColor Color1, TColor Color2, int Width) {
    if (&Src == &Dst) return Buttonize(Dst, Color1, Color2, Width);
    if (!PrepareTarget(Src, Dst)) return;
    Bevel b;
    const bool bevel = bevelFor(Src, Color1, Color2, Width, b);
    const std::size_t bytes = 3 * static_cast<std::size_t>(Src.Width);
    const std::int64_t work = WorkOf(Src, CostCopy) + (bevel ? bevelWork(b) : 0);
    ParallelRows(Src.Height, work, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            std::memcpy(Dst.Scanlines[y], Src.Scanlines[y], bytes);
            if (bevel) bevelRow(b, y, Dst.Scanlines[y]);
        }
    });
}

void SplitBlur(TFastDIB& Bmp, int Distance) {
    if (!usable(Bmp)) return;
    const int w = Bmp.Width, h = Bmp.Height;
    const std::int64_t d = Distance;
    // Byte offsets of the columns x - d and x + d, wrapped.
    std::vector<int> left(static_cast<std::size_t>(w)), right(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x) {
        left[x] = 3 * WrapMod(x - d, w);
        right[x] = 3 * WrapMod(x + d, w);
    }
    // Rows are rewritten in order and read the rows above as rewritten: one thread, a stop check per row.
    for (int y = 0; y < h; ++y) {
        WorkPoint();
        const std::uint8_t* up = Bmp.Scanlines[WrapMod(y - d, h)];
        const std::uint8_t* down = Bmp.Scanlines[WrapMod(y + d, h)];
        std::uint8_t* p = Bmp.Scanlines[y];
        for (int x = 0; x < w; ++x, p += 3) {
            const std::uint8_t *a = up + left[x], *b = up + right[x], *c = down + left[x],
                               *e = down + right[x];
            const int sb = a[0] + b[0] + c[0] + e[0];
            const int sg = a[1] + b[1] + c[1] + e[1];
            const int sr = a[2] + b[2] + c[2] + e[2];
            p[0] = static_cast<std::uint8_t>(sb >> 2);
            p[1] = static_cast<std::uint8_t>(sg >> 2);
            p[2] = static_cast<std::uint8_t>(sr >> 2);
        }
    }
}

namespace {

// Rows y0..y1-1 of the traced picture from the wrapped copy `in` (one pixel of border) into `outRows`.
template <bool TwoPasses, bool Whole>
void traceRows(const PPixels24 in, const PPixels24 outRows, int width, int y0, int y1, TFColor col, TFColor ref) {
    for (int y = y0 + 1; y <= y1; ++y) {
        const TFColor *above = in[y - 1], *row = in[y], *below = in[y + 1];
        TFColor* out = outRows[y - 1] - 1;
        for (int x = 1; x <= width; ++x) {
            const TFColor c = row[x];
            bool paint;
            if constexpr (TwoPasses) {
                // Over both passes a differing pair paints each of its pixels that is not the reference.
                paint = !(c == ref) && (row[x + 1] != c || below[x] != c || row[x - 1] != c || above[x] != c);
            } else {
                paint = (!(c == ref) && (row[x + 1] != c || below[x] != c)) ||
                        (row[x - 1] != c && row[x - 1] == ref) || (above[x] != c && above[x] == ref);
            }
            if constexpr (Whole)
                out[x] = paint ? col : c;
            else if (paint)
                out[x] = col;
        }
    }
}

// Dst := Src with the edges traced; Dst may be Src itself, whose unpainted pixels are then left as they
// are. False, with Dst untouched, when there is nothing to trace.
bool traceInto(const TFastDIB& Src, TFastDIB& Dst, int Intensity, TColor Color) {
    if (Intensity <= 0) return false;
    const int w = Src.Width, h = Src.Height;
    // The pass compares the wrapped copy, which never changes, pixel with right and lower neighbour in
    // row order. The first difference found sets the reference colour (the neighbour's); every later one
    // paints the neighbour when the pixel has the reference colour, else the pixel. The second pass does
    // this again and then compares each pixel with its left and upper neighbour from the bottom right;
    // passes after the second repeat it. Painting is idempotent, so which pixels end up painted follows
    // from the copy alone, and each band decides its own rows.
    TFastDIB& pad = ScratchImage(0, w + 2, h + 2);
    wrappedBorder(Src, pad);
    const PPixels24 p = pad.Pixels24;
    TFColor first{};
    bool found = false;
    for (int y = 0; y <= h && !found; ++y) {
        WorkPoint();
        for (int x = 0; x <= w && !found; ++x) {
            if (p[y][x + 1] != p[y][x]) {
                first = p[y][x + 1];
                found = true;
            } else if (p[y + 1][x] != p[y][x]) {
                first = p[y + 1][x];
                found = true;
            }
        }
    }
    if (!found) return false; // a flat picture has no edges
    const TFColor colour = ColorToFColor(Color);
    const TFColor reference = first;
    // The pass count and whether every pixel is written are fixed for the call: each band picks its loop
    // once, so the per-pixel loop tests neither.
    const bool twoPasses = Intensity >= 2;
    const bool whole = &Src != &Dst; // in place only the painted pixels change
    const PPixels24 out = Dst.Pixels24;
    ParallelRows(h, WorkOf(Src, CostSimple), [&](int y0, int y1) {
        if (twoPasses)
            whole ? traceRows<true, true>(p, out, w, y0, y1, colour, reference)
                  : traceRows<true, false>(p, out, w, y0, y1, colour, reference);
        else
            whole ? traceRows<false, true>(p, out, w, y0, y1, colour, reference)
                  : traceRows<false, false>(p, out, w, y0, y1, colour, reference);
    });
    return true;
}

} // namespace

void TraceEdges(TFastDIB& Bitmap, int Intensity, TColor Color) {
    if (!usable(Bitmap)) return;
    traceInto(Bitmap, Bitmap, Intensity, Color);
}

void TraceEdges(const TFastDIB& Src, TFastDIB& Dst, int Intensity, TColor Color) {
    if (!PrepareTarget(Src, Dst)) return;
    if (!traceInto(Src, Dst, Intensity, Color) && &Src != &Dst) CopyPixels(Src, Dst);
}

void SeamlessEdge(TFastDIB& Bmp, int Width) {
    if (!usable(Bmp)) return;
    const int smaller = std::min(Bmp.Width - 1, Bmp.Height - 1);
    const int n = Width > smaller ? smaller / 2 : Width;
    if (n < 2) return;
    blendPass(Bmp, n, n);
    // Turned by 180 degrees, the left and top strips become the right and bottom ones.
    MirrorLR(Bmp);
    Bmp.Flop();
    blendPass(Bmp, n, n);
    MirrorLR(Bmp);
    Bmp.Flop();
}

void EdgeMerge(TFastDIB& Bmp, int Divisor) {
    if (!usable(Bmp) || Divisor < 1) return;
    blendPass(Bmp, Bmp.Width / Divisor, Bmp.Height / Divisor);
}
