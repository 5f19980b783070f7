#include "app/effects/Plasma.h"
#include "app/effects/EffectTestImages.h"
#include "common/QtTestSupport.h"

#include <gtest/gtest.h>

#include <array>

using namespace efx;

TEST(PlasmaTest, FourByFourWithoutRoughnessIsTheMeansOfTheCorners) {
    // The four corner draws come first; with roughness 0 every other cell is a rounded mean.
    std::uint32_t seed = 5;
    int a = 0, b = 0, c = 0, d = 0;
    for (;; ++seed) {
        SetRandSeed(seed);
        a = Random(255), b = Random(255), c = Random(255), d = Random(255);
        if (a && b && c && d) break;
    }
    SetRandSeed(seed);
    TDxy m;
    m.SetSize(4, 4);
    MakePlasma(m, 0, 4, 4);
    const int top = (a + b + 1) >> 1, right = (b + d + 1) >> 1, bottom = (c + d + 1) >> 1,
              left = (a + c + 1) >> 1;
    const int centre = (top + right + bottom + left + 2) >> 2;
    const std::array<std::array<int, 4>, 4> expected{
        {{a, top, b, a}, {left, centre, right, left}, {c, bottom, d, c}, {a, top, b, a}}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(m(x, y), expected[y][x]) << x << "," << y;
}

TEST(PlasmaTest, CloudIsSeamlessOnEvenAndOddSizes) {
    for (auto [w, h] : std::array<std::array<int, 2>, 4>{{{8, 6}, {33, 17}, {2, 2}, {64, 64}}}) {
        SetRandSeed(42);
        TFastDIB img;
        tagged(img, w, h);
        ASSERT_TRUE(PlasmaCloudFX(img, 700));
        for (int y = 0; y < h; ++y)
            EXPECT_EQ(at(img, 0, y), at(img, w - 1, y)) << w << "x" << h << " row " << y;
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(at(img, x, 0), at(img, x, h - 1)) << w << "x" << h << " col " << x;
        const TFColor p = at(img, w / 2, h / 2);
        EXPECT_TRUE(p.r == p.g && p.g == p.b);
    }
}

TEST(PlasmaTest, SameSeedSameCloudAndNarrowImagesUnchanged) {
    TFastDIB a, b;
    tagged(a, 20, 12);
    tagged(b, 20, 12);
    SetRandSeed(7);
    PlasmaCloudFX(a, 700);
    SetRandSeed(7);
    PlasmaCloudFX(b, 700);
    EXPECT_TRUE(SameDIB(a, b));
    for (auto [w, h] : std::array<std::array<int, 2>, 2>{{{1, 9}, {9, 1}}}) {
        TFastDIB n, src;
        tagged(n, w, h);
        copyOf(n, src);
        EXPECT_FALSE(PlasmaCloudFX(n, 700));
        EXPECT_FALSE(MarbleFX(n, 700, 120, 2.0f));
        EXPECT_TRUE(SameDIB(src, n));
    }
}

TEST(PlasmaTest, MarbleGuardsAndSamples) {
    TFastDIB img, src;
    tagged(img, 16, 10);
    copyOf(img, src);
    EXPECT_FALSE(MarbleFX(img, 700, 0, 2.0f));
    EXPECT_TRUE(SameDIB(src, img));
    // Scale 0: every offset is |0| - 1, kept to 0, so every pixel takes pixel (0, 0).
    SetRandSeed(3);
    ASSERT_TRUE(MarbleFX(img, 700, 120, 0.0f));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 16; ++x) EXPECT_EQ(at(img, x, y), at(src, 0, 0));
    // A uniform image stays uniform whatever the fields.
    uniform(img, 30, 20, rgb(4, 5, 6));
    copyOf(img, src);
    SetRandSeed(4);
    ASSERT_TRUE(MarbleFX(img, 700, 120, 2.0f));
    EXPECT_TRUE(SameDIB(src, img));
}
