#include "image/FastFX_Simd.h"

#include <array>
#include <cstring>
#include <utility>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define MOZARO_VBMI 1
#include <immintrin.h>
#endif

namespace fastfx_simd {

#ifdef MOZARO_VBMI

#define VBMI_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi")))

namespace {
bool enabledFlag = true;
}

void SetEnabled(bool enabled) {
    enabledFlag = enabled;
}

bool Available() {
    static const bool ok = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("avx512vbmi");
    }();
    return ok && enabledFlag;
}

namespace {

// A 256-entry table in four registers; look-up of 64 bytes at once.
struct Lut {
    __m512i t0, t1, t2, t3;
};

VBMI_TARGET inline Lut loadLut(const std::uint8_t* t) {
    return {_mm512_loadu_si512(t), _mm512_loadu_si512(t + 64), _mm512_loadu_si512(t + 128),
            _mm512_loadu_si512(t + 192)};
}

// Entries 0..127 and 128..255 are each one two-register permute; bit 7 of the index picks between them.
VBMI_TARGET inline __m512i lookup(const Lut& l, __m512i idx, __mmask64 high) {
    const __m512i lo = _mm512_permutex2var_epi8(l.t0, idx, l.t1);
    const __m512i hi = _mm512_permutex2var_epi8(l.t2, idx, l.t3);
    return _mm512_mask_blend_epi8(high, lo, hi);
}

VBMI_TARGET inline __m512i lookup3(const Lut& b, const Lut& g, const Lut& r, __m512i v, __mmask64 mg,
                                   __mmask64 mr) {
    const __mmask64 high = _mm512_movepi8_mask(v);
    __m512i out = lookup(b, v, high);
    out = _mm512_mask_blend_epi8(mg, out, lookup(g, v, high));
    return _mm512_mask_blend_epi8(mr, out, lookup(r, v, high));
}

// Bytes j of a vector whose first byte has channel phase ph (0 = b) that belong to channel c.
constexpr std::uint64_t channelMask(int ph, int c, int period) {
    std::uint64_t m = 0;
    for (int j = 0; j < 64; ++j)
        if ((ph + j) % period == c) m |= std::uint64_t{1} << j;
    return m;
}

// b, g, r, a pixels: the fourth byte of each keeps its value.
VBMI_TARGET inline __m512i lookup3Keep4(const Lut& b, const Lut& g, const Lut& r, __m512i v) {
    constexpr std::uint64_t mb = channelMask(0, 0, 4), mg = channelMask(0, 1, 4), mr = channelMask(0, 2, 4);
    const __mmask64 high = _mm512_movepi8_mask(v);
    __m512i out = _mm512_mask_blend_epi8(mb, v, lookup(b, v, high));
    out = _mm512_mask_blend_epi8(mg, out, lookup(g, v, high));
    return _mm512_mask_blend_epi8(mr, out, lookup(r, v, high));
}

// Byte k of 21 reversed 3-byte pixels is byte (20 - k div 3) * 3 + k mod 3 of the originals.
alignas(64) constexpr std::array<std::uint8_t, 64> reverse21 = [] {
    std::array<std::uint8_t, 64> r{};
    for (int k = 0; k < 63; ++k) r[k] = static_cast<std::uint8_t>((20 - k / 3) * 3 + k % 3);
    r[63] = 63;
    return r;
}();

} // namespace

VBMI_TARGET void ApplyTables24(std::uint8_t* p, std::size_t n, const std::uint8_t* B, const std::uint8_t* G,
                               const std::uint8_t* R) {
    const Lut lb = loadLut(B), lg = loadLut(G), lr = loadLut(R);
    // 64 = 1 (mod 3): vector k of the run starts at phase k mod 3.
    constexpr std::uint64_t mg[3] = {channelMask(0, 1, 3), channelMask(1, 1, 3), channelMask(2, 1, 3)};
    constexpr std::uint64_t mr[3] = {channelMask(0, 2, 3), channelMask(1, 2, 3), channelMask(2, 2, 3)};
    std::size_t i = 0;
    int ph = 0;
    for (; i + 64 <= n; i += 64) {
        const __m512i v = _mm512_loadu_si512(p + i);
        _mm512_storeu_si512(p + i, lookup3(lb, lg, lr, v, mg[ph], mr[ph]));
        ph = ph == 2 ? 0 : ph + 1;
    }
    if (i < n) {
        const __mmask64 m = (std::uint64_t{1} << (n - i)) - 1;
        const __m512i v = _mm512_maskz_loadu_epi8(m, p + i);
        _mm512_mask_storeu_epi8(p + i, m, lookup3(lb, lg, lr, v, mg[ph], mr[ph]));
    }
}

VBMI_TARGET void ApplyTables32(std::uint8_t* p, std::size_t count, const std::uint8_t* B,
                               const std::uint8_t* G, const std::uint8_t* R) {
    const Lut lb = loadLut(B), lg = loadLut(G), lr = loadLut(R);
    const std::size_t n = count * 4;
    std::size_t i = 0;
    for (; i + 64 <= n; i += 64)
        _mm512_storeu_si512(p + i, lookup3Keep4(lb, lg, lr, _mm512_loadu_si512(p + i)));
    if (i < n) {
        const __mmask64 m = (std::uint64_t{1} << (n - i)) - 1;
        _mm512_mask_storeu_epi8(p + i, m, lookup3Keep4(lb, lg, lr, _mm512_maskz_loadu_epi8(m, p + i)));
    }
}

VBMI_TARGET void MirrorRow24(std::uint8_t* row, int w, std::uint8_t* scratch) {
    // The row is read from a copy, so that no load waits for a store into the same bytes. Each step
    // writes 21 reversed pixels with one full 64-byte store; its 64th byte belongs to the next pixel
    // and is rewritten by the next step. The last 1..21 pixels go with a store masked to the row.
    const std::size_t n = 3 * static_cast<std::size_t>(w);
    std::memcpy(scratch, row, n);
    const __m512i rev = _mm512_load_si512(reverse21.data());
    int p = 0;
    for (; p + 21 < w; p += 21) {
        const __m512i v = _mm512_loadu_si512(scratch + 3 * static_cast<std::ptrdiff_t>(w - 21 - p));
        _mm512_storeu_si512(row + 3 * static_cast<std::ptrdiff_t>(p),
                            _mm512_maskz_permutexvar_epi8(~__mmask64{0}, rev, v));
    }
    // The remaining r pixels are source pixels 0 .. r - 1 reversed: the same pattern moved down by 21 - r.
    const int r = w - p;
    const __mmask64 m = (std::uint64_t{1} << (3 * r)) - 1;
    const __m512i v = _mm512_maskz_loadu_epi8(m, scratch);
    const __m512i idx = _mm512_sub_epi8(rev, _mm512_set1_epi8(static_cast<char>(3 * (21 - r))));
    _mm512_mask_storeu_epi8(row + 3 * static_cast<std::ptrdiff_t>(p), m,
                            _mm512_maskz_permutexvar_epi8(m, idx, v));
}

#else

bool Available() {
    return false;
}
void SetEnabled(bool) {}
void ApplyTables24(std::uint8_t*, std::size_t, const std::uint8_t*, const std::uint8_t*,
                   const std::uint8_t*) {}
void ApplyTables32(std::uint8_t*, std::size_t, const std::uint8_t*, const std::uint8_t*,
                   const std::uint8_t*) {}
void MirrorRow24(std::uint8_t*, int, std::uint8_t*) {}

#endif

} // namespace fastfx_simd
