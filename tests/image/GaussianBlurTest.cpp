// The Gaussian blur: kernel sizes and weights worked by hand, the truncation rules, flat areas at every
// radius, and the whole-image blur against BlurLine applied row by row and column by column.
#include "image/FastFX.h"
#include "image/GaussianBlur.h"
#include "image/Numeric.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

void randomImage(TFastDIB& b, int w, int h, std::uint32_t seed) {
    b.SetSize(w, h, 24, 0);
    SetRandSeed(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.Pixels24[y][x] =
                TFColor{static_cast<std::uint8_t>(Random(256)), static_cast<std::uint8_t>(Random(256)),
                        static_cast<std::uint8_t>(Random(256))};
}

bool sameBytes(const TFastDIB& a, const TFastDIB& b) {
    return a.Width == b.Width && a.Height == b.Height &&
           std::memcmp(a.Bits, b.Bits, static_cast<std::size_t>(a.ByteCount())) == 0;
}

} // namespace

TEST(GaussKernel, TrimmedSizes) {
    // Threshold 1 / 510: the tail dropped must weigh at least that much.
    const struct {
        double radius;
        int size;
    } cases[] = {{1, 2}, {2, 5}, {3, 8}, {4, 9}, {6, 9}, {50, 9}};
    for (auto c : cases) {
        TGaussKernel k;
        BuildGaussKernel(k, c.radius, 255, 1);
        EXPECT_EQ(k.Size, c.size) << c.radius;
        double sum = 0;
        for (int j = -k.Size; j <= k.Size; ++j) {
            sum += k.Weights[j];
            EXPECT_EQ(k.Weights[j], k.Weights[-j]);
        }
        EXPECT_NEAR(sum, 1.0, 1e-6) << c.radius;
    }
}

TEST(GaussKernel, RadiusOneWeights) {
    // exp(0) = 1, exp(-1/2) = 0.60653066, exp(-2) = 0.13533528 over their sum 2.48373188.
    TGaussKernel k;
    BuildGaussKernel(k, 1, 255, 1);
    ASSERT_EQ(k.Size, 2);
    EXPECT_NEAR(k.Weights[0], 0.40261995, 1e-7);
    EXPECT_NEAR(k.Weights[1], 0.24420134, 1e-7);
    EXPECT_NEAR(k.Weights[-2], 0.05448868, 1e-7);
}

TEST(GaussKernel, ClampHelpers) {
    // Truncates and clamps; a hair under a level (what single-precision weights give on a flat area)
    // keeps the level.
    for (auto [v, want] : {std::pair{255.0, 255},
                           {254.9, 254},
                           {-0.5, 0},
                           {300.0, 255},
                           {12.7, 12},
                           {254.99998, 255},
                           {99.99999, 100}})
        EXPECT_EQ(ClampRound(0, 255, v), want) << v;
    for (auto [i, want] : {std::pair{10, 9}, {-1, 0}, {4, 4}}) EXPECT_EQ(ClampIndex(9, i), want) << i;
}

TEST(BlurLine, RepeatsTheEndPixels) {
    // Radius 1 (taps 0.05448868, 0.24420134, 0.40261995, ..): a 200 at the start of a line of 5.
    // j = 0: 200 * (w0 + w1 + w2) = 140.26 -> 140 (the taps beyond the start repeat it);
    // j = 1: 200 * (w1 + w2) = 59.74 -> 59; j = 2: 200 * w2 = 10.90 -> 10.
    TGaussKernel k;
    BuildGaussKernel(k, 1, 255, 1);
    TFColor line[5] = {{200, 0, 100}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    TFColor temp[5];
    BlurLine(line, 4, k, temp);
    EXPECT_EQ(line[0], (TFColor{140, 0, 70})); // 100 * 0.70131 = 70.13
    EXPECT_EQ(line[1], (TFColor{59, 0, 29}));  // 29.87
    EXPECT_EQ(line[2], (TFColor{10, 0, 5}));   // 5.45
    EXPECT_EQ(line[3], (TFColor{0, 0, 0}));
    // A 255 in the middle: 255 * w0 = 102.67, 255 * w1 = 62.27, 255 * w2 = 13.89.
    TFColor mid[5] = {{0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {0, 0, 0}};
    BlurLine(mid, 4, k, temp);
    const int spread[5] = {13, 62, 102, 62, 13};
    for (int j = 0; j < 5; ++j) EXPECT_EQ(mid[j].g, spread[j]) << j;
}

TEST(GBlur, FlatAreasStayFlatAtEveryRadius) {
    TFastDIB img;
    for (int level : {255, 254, 200, 128, 1, 0}) {
        for (int r = 1; r <= 30; ++r) {
            for (double radius : {double(r), r + 0.5}) {
                img.SetSize(23, 17, 24, 0);
                std::memset(img.Bits, level, static_cast<std::size_t>(img.ByteCount()));
                GBlur(img, radius);
                bool flat = true;
                for (int y = 0; y < 17; ++y)
                    for (int i = 0; i < 3 * 23; ++i) flat = flat && img.Scanlines[y][i] == level;
                ASSERT_TRUE(flat) << "level " << level << " radius " << radius;
            }
        }
    }
}

TEST(GBlur, EqualsBlurLineOverRowsThenColumns) {
    // Widths of 29 and 37 pixels leave 23 and 15 channel values past the last block of 32, so the
    // 32-wide, the 16-wide and the plain forms of a row all take part; radii below 0.3 give kernels whose
    // tiny outer weights need the double-precision form.
    for (int w : {29, 37})
        for (double radius : {0.1, 0.2, 0.3, 1.0, 1.5, 2.7, 6.0, 12.0, 40.0}) {
            const int h = 31;
            TFastDIB img, ref;
            randomImage(img, w, h, static_cast<std::uint32_t>(radius * 10 + w));
            ref.SetSize(w, h, 24, 0);
            img.Draw(ref, 0, 0);
            GBlur(img, radius);

            TGaussKernel k;
            BuildGaussKernel(k, radius, 255, 1);
            std::vector<TFColor> temp(std::max(w, h)), col(h);
            for (int y = 0; y < h; ++y) BlurLine(ref.Pixels24[y], w - 1, k, temp.data());
            for (int x = 0; x < w; ++x) {
                for (int y = 0; y < h; ++y) col[y] = ref.Pixels24[y][x];
                BlurLine(col.data(), h - 1, k, temp.data());
                for (int y = 0; y < h; ++y) ref.Pixels24[y][x] = col[y];
            }
            EXPECT_TRUE(sameBytes(img, ref)) << "width " << w << " radius " << radius;
        }
}

TEST(GBlur, OneRowAndOneColumn) {
    // A single row has no neighbours above or below: the column pass repeats the row itself.
    TFastDIB img;
    img.SetSize(5, 1, 24, 0);
    img.Pixels24[0][2] = TFColor{255, 255, 255};
    GBlur(img, 1);
    const int expect[5] = {13, 62, 102, 62, 13};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(img.Pixels24[0][x].r, expect[x]) << x;
    img.SetSize(1, 5, 24, 0);
    img.Pixels24[2][0] = TFColor{255, 255, 255};
    GBlur(img, 1);
    for (int y = 0; y < 5; ++y) EXPECT_EQ(img.Pixels24[y][0].b, expect[y]) << y;
}

TEST(GBlur, RefusesOtherDepthsAndIgnoresNoRadius) {
    TFastDIB img;
    img.SetSize(4, 4, 32, 0);
    img.Pixels32[1][1] = TFColorA{1, 2, 3, 4};
    try {
        GBlur(img, 2);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "GBlur only works for 24-bit bitmaps");
    }
    EXPECT_EQ(img.Pixels32[1][1], (TFColorA{1, 2, 3, 4}));

    TFastDIB ref;
    randomImage(img, 9, 8, 3);
    ref.SetSize(9, 8, 24, 0);
    img.Draw(ref, 0, 0);
    for (double r : {0.0, -2.0, std::numeric_limits<double>::quiet_NaN()}) {
        GBlur(img, r);
        EXPECT_TRUE(sameBytes(img, ref)) << r;
    }
    TFastDIB empty;
    empty.SetSize(0, 0, 24, 0);
    EXPECT_NO_THROW(GBlur(empty, 3));
}

TEST(GBlur, PaddedWithWrappedPixelsItKeepsATileSeamless) {
    // The blur repeats end pixels, so on its own it does not commute with a wrap shift; padded on every
    // side with wrapped pixels at least as wide as the kernel and cropped again, it does.
    const int w = 21, h = 16, pad = 10, radius = 3;
    auto seamlessBlur = [&](TFastDIB& b) {
        TFastDIB big;
        big.SetSize(w + 2 * pad, h + 2 * pad, 24, 0);
        for (int y = 0; y < h + 2 * pad; ++y)
            for (int x = 0; x < w + 2 * pad; ++x)
                big.Pixels24[y][x] = b.Pixels24[WrapMod(y - pad, h)][WrapMod(x - pad, w)];
        GBlur(big, radius);
        big.DrawRect(b, 0, 0, w, h, pad, pad);
    };
    for (auto [dx, dy] : {std::pair{1, 0}, {0, 3}, {-7, 5}}) {
        TFastDIB a, b;
        randomImage(a, w, h, 9);
        b.SetSize(w, h, 24, 0);
        a.Draw(b, 0, 0);
        seamlessBlur(a);
        WrapShift(a, dx, dy);
        WrapShift(b, dx, dy);
        seamlessBlur(b);
        EXPECT_TRUE(sameBytes(a, b)) << dx << "," << dy;
    }
}
