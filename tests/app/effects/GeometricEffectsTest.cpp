#include "app/effects/GeometricEffects.h"
#include "app/effects/EffectTestImages.h"
#include "app/effects/ShapeEffects.h"
#include "common/QtTestSupport.h"
#include "image/Parallel.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

using namespace efx;

namespace {

struct Moved {
    int x, y, sx, sy; // pixel (x, y) of the result is pixel (sx, sy) of the source
};

void expectMoved(const TFastDIB& src, const TFastDIB& out, std::initializer_list<Moved> list) {
    for (const Moved& m : list) EXPECT_EQ(at(out, m.x, m.y), at(src, m.sx, m.sy)) << m.x << "," << m.y;
}

} // namespace

TEST(GeometricEffectsTest, MosaicCellsAndRemainderStrips) {
    TFastDIB src, b;
    tagged(src, 10, 10);
    copyOf(src, b);
    ASSERT_TRUE(MosaicFX(b, 3));
    expectMoved(src, b,
                {{0, 0, 1, 1},
                 {2, 2, 1, 1},
                 {3, 0, 4, 1},
                 {8, 5, 7, 4},
                 {6, 8, 7, 7}, // full cells: centres
                 {9, 0, 9, 1},
                 {9, 7, 9, 7},
                 {9, 8, 9, 7}, // right strip: column 9
                 {0, 9, 1, 9},
                 {5, 9, 4, 9},
                 {9, 9, 9, 9}}); // bottom strip, corner
}

TEST(GeometricEffectsTest, MosaicRefusesCellSizesOutOfRange) {
    for (auto [w, h, n] :
         std::array<std::array<int, 3>, 4>{{{10, 10, 1}, {10, 10, 6}, {10, 4, 3}, {10, 10, -3}}}) {
        TFastDIB src, b;
        tagged(src, w, h);
        copyOf(src, b);
        EXPECT_FALSE(MosaicFX(b, n)) << n;
        EXPECT_FALSE(CircleMosaicFX(b, n)) << n;
        EXPECT_TRUE(SameDIB(src, b));
    }
}

TEST(GeometricEffectsTest, Rotate90PutsTheTopRowOnTheRight) {
    TFastDIB src, b;
    tagged(src, 3, 2);
    copyOf(src, b);
    Rotate90(b);
    ASSERT_EQ(b.Width, 2);
    ASSERT_EQ(b.Height, 3);
    expectMoved(src, b, {{1, 0, 0, 0}, {0, 0, 0, 1}, {1, 2, 2, 0}, {0, 2, 2, 1}, {0, 1, 1, 1}});
}

TEST(GeometricEffectsTest, FourWayFlipDoublesWithMirroredQuarters) {
    TFastDIB src, b;
    tagged(src, 100, 60);
    copyOf(src, b);
    FourWayFlip(b);
    ASSERT_EQ(b.Width, 200);
    ASSERT_EQ(b.Height, 120);
    expectMoved(src, b,
                {{0, 0, 0, 0},
                 {99, 59, 99, 59}, // top-left: the image
                 {100, 0, 99, 0},
                 {199, 5, 0, 5}, // top-right: mirrored
                 {0, 60, 0, 59},
                 {7, 119, 7, 0}, // bottom-left: upside down
                 {150, 90, 49, 29},
                 {199, 119, 0, 0}}); // bottom-right: turned half round
}

TEST(GeometricEffectsTest, SprayTakesSeededOffsetsWithWrapAround) {
    TFastDIB src, out;
    tagged(src, 5, 4);
    // The offsets the three draws per pixel give, replayed from the same seed.
    SetRandSeed(1234);
    std::array<std::array<int, 2>, 20> from{};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const int r = Random(3);
            const int sx = r - Random(2 * r) + x, sy = r - Random(2 * r) + y;
            from[y * 5 + x] = {(sx + 5) % 5, (sy + 4) % 4};
        }
    const std::uint32_t after = RandSeed();
    SetRandSeed(1234);
    SprayPixels(src, out, 3);
    EXPECT_EQ(RandSeed(), after);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(at(out, x, y), at(src, from[y * 5 + x][0], from[y * 5 + x][1]));
}

TEST(GeometricEffectsTest, SprayOfZeroCopiesAndHugeAmountsStayInside) {
    TFastDIB src, out;
    tagged(src, 6, 5);
    SetRandSeed(9);
    SprayPixels(src, out, 0);
    EXPECT_TRUE(SameDIB(src, out));
    EXPECT_EQ(RandSeed(), 9u); // the identity draws nothing
    TFastDIB one;
    uniform(one, 6, 5, rgb(1, 2, 3));
    SprayPixels(one, out, INT_MAX);
    EXPECT_TRUE(SameDIB(one, out));
}

TEST(GeometricEffectsTest, ResizeFastRepeatsPixelsAndRefusesEmptySizes) {
    TFastDIB src, b;
    tagged(src, 2, 2);
    ResizeFastFX(src, b, 4, 4);
    ASSERT_EQ(b.Width, 4);
    expectMoved(src, b, {{0, 0, 0, 0}, {1, 1, 0, 0}, {2, 0, 1, 0}, {3, 3, 1, 1}, {0, 3, 0, 1}});
    for (auto [w, h] : std::array<std::array<int, 2>, 3>{{{0, 4}, {4, 0}, {-1, -1}}}) {
        ResizeFastFX(src, b, w, h);
        EXPECT_EQ(b.Width, 4);
        EXPECT_EQ(b.Height, 4);
    }
}

TEST(GeometricEffectsTest, RotateWrappedByZeroAndByAQuarterTurn) {
    TFastDIB src, dst;
    tagged(src, 4, 4);
    dst.SetSize(4, 4, 24, 0);
    RotateWrapped(src, dst, 2, 2, 0.0);
    EXPECT_TRUE(SameDIB(src, dst));
    // By 90 degrees about (2, 2): sx = 2 + (y - 2), sy = 2 - (x - 2), wrapped.
    RotateWrapped(src, dst, 2, 2, 90.0);
    expectMoved(src, dst, {{2, 2, 2, 2}, {3, 2, 2, 1}, {2, 3, 3, 2}, {3, 1, 1, 1}});
}

TEST(GeometricEffectsTest, RotateWrappedSamplesJustLeftOfZeroAtOnePlusSx) {
    // One row of greys 10, 20, 30, 40 turned by 60 degrees (cos 0.5): sx = 0.5 (x - cx) + cx.
    TFastDIB src, dst;
    fill(src, 4, 1, [](int x, int) { return rgb(10 * (x + 1), 10 * (x + 1), 10 * (x + 1)); });
    dst.SetSize(4, 1, 24, 0);
    struct Case {
        int cx, x, grey;
    };
    for (const Case& k : std::array<Case, 4>{{{-1, 0, 15},    // sx = -0.5: between pixels 0 and 1
                                              {-1, 1, 10},    // sx = 0
                                              {-3, 0, 35},    // sx = -1.5: at 4 - 1.5, between 2 and 3
                                              {1, 3, 30}}}) { // sx = 2
        RotateWrapped(src, dst, k.cx, 0, 60.0);
        EXPECT_EQ(at(dst, k.x, 0).g, k.grey) << k.cx << " " << k.x;
    }
}

TEST(GeometricEffectsTest, RotateSeamlessNeedsASquareAndKeepsItsSize) {
    TFastDIB b;
    tagged(b, 10, 8);
    TFastDIB src;
    copyOf(b, src);
    EXPECT_FALSE(RotateSeamlessFX(b));
    EXPECT_TRUE(SameDIB(src, b));
    // 512 wide works through a 362 x 362 copy; a uniform image stays uniform.
    uniform(b, 512, 512, rgb(90, 40, 200));
    copyOf(b, src);
    ASSERT_TRUE(RotateSeamlessFX(b));
    EXPECT_TRUE(SameDIB(src, b));
}

TEST(GeometricEffectsTest, CircularCentreTakesTheLastSpiralsNinthPixel) {
    TFastDIB src, b;
    tagged(src, 256, 256);
    copyOf(src, b);
    CircularFX(src, b);
    // Spiral 720 reads row 720 - 2 * 256 = 208; its radius stays below 0.5 for steps 0..8.
    EXPECT_EQ(at(b, 128, 128), at(src, 8, 208));
}

TEST(GeometricEffectsTest, ConcentricRectsGuards) {
    TFastDIB src, b;
    tagged(src, 10, 4);
    copyOf(src, b);
    EXPECT_FALSE(ConcentricRectsFX(b, 0));
    // The height would reach 0 at the first step: nothing is drawn.
    EXPECT_TRUE(ConcentricRectsFX(b, 2));
    EXPECT_TRUE(SameDIB(src, b));
    uniform(b, 40, 40, rgb(5, 6, 7));
    copyOf(b, src);
    EXPECT_TRUE(ConcentricRectsFX(b, 3));
    EXPECT_TRUE(SameDIB(src, b));
}

TEST(GeometricEffectsTest, SwizzleKeepsTheSize) {
    TFastDIB src, b;
    tagged(src, 12, 8);
    copyOf(src, b);
    SwizzleFX(b, 0); // no wave: the flip sampled back at pixel centres
    ASSERT_EQ(b.Width, 12);
    ASSERT_EQ(b.Height, 8);
    expectMoved(src, b, {{0, 0, 1, 1}, {2, 1, 5, 3}, {11, 7, 0, 0}});
    tagged(b, 1, 6); // one pixel wide: no wave step
    SwizzleFX(b, 64);
    EXPECT_EQ(b.Width, 1);
    EXPECT_EQ(b.Height, 6);
}

TEST(GeometricEffectsTest, MapTextureLightsByTheTexture) {
    struct Case {
        int tex, c;
        float m;
        int expected;
    };
    // sin(1) * 1.8 = 1.514648 (as float); sin(128 / 255) * 1.8 = 0.866032.
    for (const Case& k : std::array<Case, 6>{{{255, 100, 1.8f, 151},
                                              {255, 200, 1.8f, 255},
                                              {0, 200, 1.8f, 0},
                                              {128, 100, 1.8f, 87},
                                              {255, 100, 0.0f, 0},
                                              {128, 3, 1.8f, 3}}}) {
        TFastDIB b, t;
        uniform(b, 6, 4, rgb(k.c, k.c, k.c));
        uniform(t, 1, 1, rgb(k.tex, k.tex, k.tex)); // one pixel: repeated over the image
        MapTextureFX(b, t, k.m);
        EXPECT_EQ(at(b, 5, 3), rgb(k.expected, k.expected, k.expected)) << k.tex << " " << k.c;
        EXPECT_EQ(at(b, 0, 0), at(b, 5, 3));
    }
    // A texture one pixel wide: its column is repeated across the image.
    TFastDIB b, t;
    uniform(b, 4, 2, rgb(100, 100, 100));
    fill(t, 1, 2, [](int, int y) { return y == 0 ? rgb(255, 255, 255) : rgb(0, 0, 0); });
    MapTextureFX(b, t, 1.8f);
    EXPECT_EQ(at(b, 0, 0), rgb(151, 151, 151));
    for (int x = 1; x < 4; ++x) {
        EXPECT_EQ(at(b, x, 0), at(b, 0, 0));
        EXPECT_EQ(at(b, x, 1), at(b, 0, 1));
    }
}

TEST(GeometricEffectsTest, ShapeEffectsPaintCellCentresAndLeaveTheRest) {
    EnsureQtApplication();
    TFastDIB src, b;
    tagged(src, 40, 40);
    copyOf(src, b);
    ASSERT_TRUE(CircleMosaicFX(b, 10));
    EXPECT_EQ(at(b, 15, 25), at(src, 15, 25)); // the centre pixel keeps its own colour
    EXPECT_EQ(at(b, 13, 24), at(src, 15, 25)); // near the centre: the cell's colour
    EXPECT_EQ(at(b, 10, 20), at(src, 10, 20)); // cell corner: the former image
    // Cycloid squares are blue-orange; the image's far corner is untouched.
    uniform(b, 64, 64, rgb(0, 0, 0));
    CycloidMosaicFX(b, 2);
    EXPECT_EQ(at(b, 0, 0), rgb(0, 0, 0));
    const TFColor centre = at(b, 32 + 6, 32); // k = 1, t = 0: (7 - 1 + 32, 32)
    EXPECT_EQ(centre.b, 0xF0);
    // Astroid of exponent 9 hugs the axes: every radius from 10 to 40 passes (20, 10), the last one
    // (40) in the colour of row 40 - 21 = 19; the diagonal corner is never reached.
    uniform(b, 21, 21, rgb(9, 9, 9));
    for (int y = 0; y < 21; ++y) b.Pixels24[y][0] = rgb(200, y, 0);
    copyOf(b, src);
    AstroidFX(b, 9);
    EXPECT_EQ(at(b, 20, 20), at(src, 20, 20));
    EXPECT_EQ(at(b, 20, 10), rgb(200, 19, 0));
    TFastDIB c;
    copyOf(src, c);
    AstroidFX(c, 10); // even and too large: taken as 9
    EXPECT_TRUE(SameDIB(b, c));
    AstroidFX(c, -4); // below 1: taken as 1, no division by a power near zero
}

TEST(GeometricEffectsTest, RotateSeamlessGivesTheSameBytesOnOneThreadAndInBandsOnMany) {
    TFastDIB one, many;
    randomTile(one, 45, 45, 41);
    copyOf(one, many);
    SetParallelThreads(1);
    ASSERT_TRUE(RotateSeamlessFX(one));
    SetParallelThreads(4);
    SetParallelMinWork(0); // the rotation's rows in bands on the pool
    ASSERT_TRUE(RotateSeamlessFX(many));
    SetParallelMinWork(ParallelMinWorkDefault);
    SetParallelThreads(0);
    EXPECT_TRUE(SameDIB(one, many));
}

TEST(GeometricEffectsTest, Rotate90InBandsMovesEveryPixelAndLeavesTheSource) {
    SetParallelThreads(4);
    SetParallelMinWork(0);
    TFastDIB src, kept, out;
    randomTile(src, 203, 67, 8);
    copyOf(src, kept);
    out.SetSize(5, 5, 24, 0);
    Rotate90(src, out);
    ASSERT_EQ(out.Width, 67);
    ASSERT_EQ(out.Height, 203);
    for (int y = 0; y < 67; ++y)
        for (int x = 0; x < 203; ++x) {
            ASSERT_EQ(at(out, 66 - y, x), at(src, x, y)) << x << ", " << y;
            ASSERT_EQ(at(src, x, y), at(kept, x, y));
        }
    SetParallelMinWork(ParallelMinWorkDefault);
    SetParallelThreads(0);
}
