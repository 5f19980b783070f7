// Separable Gaussian blur. GBlur gives exactly the result of BlurLine over every row and then every
// column, but works on whole rows at a time: each channel value is summed in double precision over the
// taps in the same order, so the sums (and the truncated bytes) are identical.
#include "image/GBlur1.h"
#include "image/Numeric.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

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
    const int size = k.Size, taps = 2 * size + 1;
    double w[21];
    for (int n = 0; n < taps; ++n) w[n] = k.Weights[n - size]; // tap n is kernel index n - size
    const int width = Bitmap.Width, height = Bitmap.Height;
    const int n3 = 3 * width;
    const double* src[21];

    // Rows: the row in doubles with `size` copies of each end pixel on either side; tap n (kernel index
    // n - size) of pixel j reads pixel j - (n - size), i.e. padded position j + 2 * size - n.
    std::vector<double> line(static_cast<std::size_t>(3) * (width + 2 * size));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = Bitmap.Scanlines[y];
        for (int q = 0; q < width + 2 * size; ++q) {
            const std::uint8_t* p = row + 3 * ClampIndex(width - 1, q - size);
            line[3 * q] = p[0], line[3 * q + 1] = p[1], line[3 * q + 2] = p[2];
        }
        for (int n = 0; n < taps; ++n) src[n] = line.data() + 3 * (2 * size - n);
        accumulate(src, w, taps, n3, row);
    }

    // Columns: a ring of the rows in doubles, row r in slot r mod taps; the rows a result row needs lie
    // within `size` of it, so they occupy distinct slots, and each is converted before it is rewritten.
    std::vector<double> ring(static_cast<std::size_t>(taps) * n3);
    auto slot = [&](int r) { return ring.data() + static_cast<std::size_t>(r % taps) * n3; };
    auto load = [&](int r) {
        const std::uint8_t* p = Bitmap.Scanlines[r];
        double* d = slot(r);
        for (int i = 0; i < n3; ++i) d[i] = p[i];
    };
    for (int r = 0; r <= std::min(height - 1, size); ++r) load(r);
    for (int y = 0; y < height; ++y) {
        if (y > 0 && y + size < height) load(y + size);
        for (int n = 0; n < taps; ++n) src[n] = slot(ClampIndex(height - 1, y - (n - size)));
        accumulate(src, w, taps, n3, Bitmap.Scanlines[y]);
    }
}
