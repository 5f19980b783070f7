#include "image/FastFX.h"
#include "image/Numeric.h"
#include "image/ZorvFX.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace {

TFColor grey(int v) {
    return TFColor{std::uint8_t(v), std::uint8_t(v), std::uint8_t(v)};
}

// Every pixel different: blue = x, green = y, red mixes both.
TFColor tag(int x, int y) {
    return TFColor{std::uint8_t(x), std::uint8_t(y), std::uint8_t(37 * x + 11 * y)};
}

void fill(TFastDIB& b, int w, int h, const std::function<TFColor(int, int)>& f) {
    b.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.Pixels24[y][x] = f(x, y);
}
void tagged(TFastDIB& b, int w, int h) {
    fill(b, w, h, tag);
}
void randomImage(TFastDIB& b, int w, int h, std::uint32_t seed) {
    SetRandSeed(seed);
    fill(b, w, h, [](int, int) {
        return TFColor{std::uint8_t(Random(256)), std::uint8_t(Random(256)), std::uint8_t(Random(256))};
    });
}
void copyInto(const TFastDIB& s, TFastDIB& d) {
    d.SetSize(s.Width, s.Height, 24, 0);
    s.Draw(d, 0, 0);
}
TFColor at(const TFastDIB& b, int x, int y) {
    return b.Pixels24[y][x];
}

::testing::AssertionResult sameImage(const TFastDIB& a, const TFastDIB& b) {
    if (a.Width != b.Width || a.Height != b.Height) return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x)
            if (!(at(a, x, y) == at(b, x, y)))
                return ::testing::AssertionFailure() << "pixel " << x << "," << y;
    return ::testing::AssertionSuccess();
}

// Runs fx on a tagged w x h image; each {x, y, sx, sy} says pixel (x, y) must be source pixel (sx, sy).
::testing::AssertionResult worked(int w, int h, const std::function<void(TFastDIB&)>& fx,
                                  std::initializer_list<std::array<int, 4>> px) {
    TFastDIB b;
    tagged(b, w, h);
    fx(b);
    for (auto [x, y, sx, sy] : px)
        if (!(at(b, x, y) == tag(sx, sy)))
            return ::testing::AssertionFailure()
                   << "pixel " << x << "," << y << " is not source " << sx << "," << sy;
    return ::testing::AssertionSuccess();
}

// Runs fx on a copy of src and expects the copy unchanged.
void expectUnchanged(const TFastDIB& src, const std::function<void(TFastDIB&)>& fx) {
    TFastDIB b;
    copyInto(src, b);
    fx(b);
    EXPECT_TRUE(sameImage(b, src));
}

} // namespace

TEST(RadialWaves, WorkedPixelsWrapAndClamp) {
    // Centre pixel, Phase 90: a = Amplitude, both coordinates move by it; 2 + 4 = 6 wraps to 1.
    EXPECT_TRUE(worked(5, 5, [](TFastDIB& i) { RadialWaves(i, 1, 7, 90, false); }, {{2, 2, 3, 3}}));
    EXPECT_TRUE(worked(5, 5, [](TFastDIB& i) { RadialWaves(i, 4, 7, 90, false); }, {{2, 2, 1, 1}}));
    // (4, 2), Wavelength 4: t = 2 / 8 * 2 pi = pi / 2; u = (1 + 2) + 2 = 5 wraps to 0, v = 1 + 2 = 3.
    EXPECT_TRUE(worked(5, 5, [](TFastDIB& i) { RadialWaves(i, 1, 4, 0, false); }, {{4, 2, 0, 3}}));
    // Reflective (3, 2), Wavelength 2: a = 3, u = 3 * 1 + 2 = 5 clamps to 4.
    EXPECT_TRUE(worked(5, 5, [](TFastDIB& i) { RadialWaves(i, 3, 2, 0, true); }, {{3, 2, 4, 2}}));
}

TEST(RadialWaves, ZeroAmplitudeAndZeroWavelength) {
    TFastDIB src, b;
    tagged(src, 6, 4); // not square: ay = 1.5
    expectUnchanged(src, [](TFastDIB& i) { RadialWaves(i, 0, 5, 30, false); });
    expectUnchanged(src, [](TFastDIB& i) { RadialWaves(i, 9, 0, 30, false); });
    expectUnchanged(src, [](TFastDIB& i) { RadialWaves(i, 9, 0, 30, true); });
    // Reflective with Amplitude 0: all pixels take the centre (1.5, 2.5) rounded halves to even: (2, 2).
    tagged(src, 4, 6);
    copyInto(src, b);
    RadialWaves(b, 0, 5, 30, true);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x) ASSERT_EQ(at(b, x, y), tag(2, 2));
}

TEST(WhirlPinch, WorkedPixels) {
    TFastDIB src;
    tagged(src, 7, 7); // centre (3, 3), R = 2.5, scales 1
    expectUnchanged(src, [](TFastDIB& i) { WhirlPinch(i, 0, 0, 1); });
    expectUnchanged(src, [](TFastDIB& i) { WhirlPinch(i, 90, 0.5, 0); });
    expectUnchanged(src, [](TFastDIB& i) { WhirlPinch(i, 90, 0.5, -2); });
    // Angle 250 at distance 1: dist 0.4, ang = 250 deg * 0.6^2 = 90 deg; (0, 0) has d = 18 > R2 = 6.25.
    EXPECT_TRUE(worked(7, 7, [](TFastDIB& i) { WhirlPinch(i, 250, 0, 1); },
                       {{4, 3, 3, 4}, {3, 2, 4, 3}, {3, 3, 3, 3}, {0, 0, 0, 0}}));
    // Pinch 1 at (4, 3): factor 1 / sin(0.2 pi) = 1.70, u = 4.70 -> 5. Pinch 5 is limited to 1
    // (unlimited it would give 1 / sin(0.2 pi)^5 = 14.2 -> column 17 mod 7 = 3).
    EXPECT_TRUE(worked(7, 7, [](TFastDIB& i) { WhirlPinch(i, 0, 1, 1); }, {{4, 3, 5, 3}}));
    EXPECT_TRUE(worked(7, 7, [](TFastDIB& i) { WhirlPinch(i, 0, 5, 1); }, {{4, 3, 5, 3}}));
    // Radius 4 takes (6, 3) inside: dist sqrt(9 / 4) / 2.5 = 0.6; Pinch -1: factor sin(0.3 pi) = 0.809,
    // u = 3 * 0.809 + 3 = 5.43 -> 5.
    EXPECT_TRUE(worked(7, 7, [](TFastDIB& i) { WhirlPinch(i, 0, -1, 4); }, {{6, 3, 5, 3}}));
}

TEST(WhirlPinch, SmallImagesAndNonFiniteArgumentsUnchanged) {
    TFastDIB src;
    for (auto [w, h] : {std::pair{2, 5}, {5, 2}, {1, 1}, {2, 2}}) {
        tagged(src, w, h);
        expectUnchanged(src, [](TFastDIB& i) { WhirlPinch(i, 90, 0.5, 1); });
    }
    tagged(src, 7, 7);
    expectUnchanged(src, [](TFastDIB& i) { WhirlPinch(i, NAN, 0, 1); });
    expectUnchanged(src, [](TFastDIB& i) { WhirlPinch(i, 90, 0, INFINITY); });
}

TEST(FishEye, WorkedPixels) {
    // 24 x 24, R = 24 * 5 / 6 = 20: beyond every pixel's distance, so the lens edge never moves.
    // (3, 0): dx = -9, dy = -12, r = 15 = 3 R / 4, q = (1 / (1 - 0.75) - 1) * 10 = 30, so the source is
    // (-9 * 2 + 12, -12 * 2 + 12) = (-6, -12), wrapped to (18, 12).
    TFastDIB src, dst;
    tagged(src, 24, 24);
    dst.SetSize(24, 24, 24, 0);
    FishEye(src, dst, 5.0L / 6);
    EXPECT_EQ(at(dst, 3, 0), tag(18, 12));
    EXPECT_EQ(at(dst, 0, 3), tag(12, 18));
    EXPECT_EQ(at(dst, 21, 0), tag(6, 12));   // source x 30 wraps to 6
    EXPECT_EQ(at(dst, 18, 20), tag(18, 20)); // r = R / 2 maps to itself
    EXPECT_EQ(at(dst, 6, 4), tag(6, 4));
    EXPECT_EQ(at(dst, 12, 12), tag(12, 12)); // centre
}

TEST(FishEye, LensEdgeMovesOnceForTheRestOfTheCall) {
    // R = 4; pixel (8, 4) lies exactly on it, so R becomes 4.01 from there on. Then (6, 8) samples
    // x = 8 - 1.99502 = 6.00498: 0.498 % of column 7's 255 = 1.27 -> 1 (with R = 4 it would be 0).
    TFastDIB src, dst;
    fill(src, 16, 16, [](int x, int y) { return grey(x == 7 && y == 8 ? 255 : 0); });
    dst.SetSize(16, 16, 24, 0);
    FishEye(src, dst, 0.25L);
    EXPECT_EQ(at(dst, 6, 8), grey(1));
}

TEST(FishEye, DegenerateAmountsNeverSampleGarbage) {
    TFastDIB src, dst;
    fill(src, 9, 7, [](int, int) { return grey(77); });
    // A uniform picture stays uniform whatever the lens: a NaN or unreduced sample would not.
    // The last amount puts the lens edge on the corner pixel's distance sqrt(32.5).
    for (long double a : {1e-30L, 1e30L, 1e40L, -0.7L, 0.0L, 1e-45L, std::sqrt(32.5L) / 9}) {
        dst.SetSize(9, 7, 24, 0);
        FishEye(src, dst, a);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x) ASSERT_EQ(at(dst, x, y), grey(77)) << double(a);
    }
    tagged(src, 9, 7);
    FishEye(src, dst, 0); // no lens
    EXPECT_TRUE(sameImage(dst, src));
    // The same image as source and destination works as if it were copied first.
    TFastDIB self;
    copyInto(src, self);
    FishEye(src, dst, 0.4L);
    FishEye(self, self, 0.4L);
    EXPECT_TRUE(sameImage(self, dst));
}

TEST(TwistFX, ArcTan2F) {
    const float pi = std::numbers::pi_v<float>;
    EXPECT_FLOAT_EQ(ArcTan2F(1, 0), pi / 2);
    EXPECT_FLOAT_EQ(ArcTan2F(0, 0), -pi / 2);
    EXPECT_FLOAT_EQ(ArcTan2F(-3, 0), -pi / 2);
    EXPECT_FLOAT_EQ(ArcTan2F(1, 1), pi / 4);
    EXPECT_FLOAT_EQ(ArcTan2F(-1, 1), -pi / 4);
    EXPECT_FLOAT_EQ(ArcTan2F(1, -1), 3 * pi / 4);
    EXPECT_FLOAT_EQ(ArcTan2F(-1, -1), 5 * pi / 4); // not -3 pi / 4
}

TEST(TwistFX, QuarterTurnCentreAndWorkedSample) {
    TFastDIB src, dst;
    tagged(src, 5, 5);
    dst.SetSize(5, 5, 24, 0);
    // A huge Amount leaves only the fixed quarter turn: (2 + dx, 2 + dy) comes from (2 - dy, 2 + dx).
    TwistFX(src, dst, INT_MAX);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) ASSERT_EQ(at(dst, x, y), tag(4 - y, x)) << x << "," << y;
    TwistFX(src, dst, 1); // the centre maps to itself
    EXPECT_EQ(at(dst, 2, 2), tag(2, 2));
    // Amount 1 at (3, 2): a = 0 - 1 + pi / 2, source (2 + sin 1, 2 + cos 1) = (2.8415, 2.5403); only
    // (3, 3) = 200 is lit: 200 * 0.8415 * 0.5403 = 90.9 -> 91. Without the quarter turn it would be 0.
    fill(src, 5, 5, [](int x, int y) { return grey(x == 3 && y == 3 ? 200 : 0); });
    TwistFX(src, dst, 1);
    EXPECT_EQ(at(dst, 3, 2), grey(91));
}

TEST(TwistFX, ZeroAmountAndSameImage) {
    TFastDIB src, dst, self;
    tagged(src, 6, 5);
    dst.SetSize(6, 5, 24, 0);
    TwistFX(src, dst, 0);
    EXPECT_TRUE(sameImage(dst, src));
    copyInto(src, self);
    TwistFX(src, dst, 3);
    TwistFX(self, self, 3);
    EXPECT_TRUE(sameImage(self, dst));
    // A larger destination keeps the source's centre (2, 2) and wraps: with only the quarter turn,
    // (6, 5) comes from (4 - 5, 6) = (-1, 6), i.e. (4, 1).
    tagged(src, 5, 5);
    dst.SetSize(7, 6, 24, 0);
    TwistFX(src, dst, INT_MAX);
    EXPECT_EQ(at(dst, 6, 5), tag(4, 1));
    EXPECT_EQ(at(dst, 0, 0), tag(4, 0));
}

TEST(ResizeBilinear, TiledTapsWrapAndRoundHalvesToEven) {
    TFastDIB b;
    const int v[2][2] = {{10, 11}, {20, 23}};
    fill(b, 2, 2, [&](int x, int y) { return grey(v[y][x]); });
    ResizeBilinear(b, 4, 4, true);
    ASSERT_EQ(b.Width, 4);
    ASSERT_EQ(b.Height, 4);
    // kx = ky = 2; column 3 and row 3 take their second tap from column 0 and row 0.
    const int want[4][4] = {{10, 10, 11, 10}, {15, 16, 17, 16}, {20, 22, 23, 22}, {15, 16, 17, 16}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(at(b, x, y), grey(want[y][x])) << x << "," << y;
    // Shrinking by 2: kx = 0.5 picks columns and rows 0 and 2.
    tagged(b, 4, 4);
    ResizeBilinear(b, 2, 2, true);
    EXPECT_EQ(at(b, 1, 1), tag(2, 2));
}

TEST(ResizeBilinear, IntoASecondImageLeavesTheSource) {
    TFastDIB src, dst;
    const int v[2][2] = {{10, 11}, {20, 23}};
    fill(src, 2, 2, [&](int x, int y) { return grey(v[y][x]); });
    dst.SetSize(9, 1, 24, 0);
    ResizeBilinear(src, dst, 4, 4, true);
    ASSERT_EQ(dst.Width, 4);
    ASSERT_EQ(dst.Height, 4);
    EXPECT_EQ(at(dst, 1, 1), grey(16));
    EXPECT_EQ(at(dst, 3, 3), grey(16));
    EXPECT_EQ(at(src, 1, 1), grey(23));
    // The same size: a copy.
    ResizeBilinear(src, dst, 2, 2, false);
    ASSERT_EQ(dst.Width, 2);
    EXPECT_EQ(at(dst, 1, 0), grey(11));
    EXPECT_EQ(at(dst, 0, 1), grey(20));
}

TEST(ResizeBilinear, UntiledTapsStayInside) {
    TFastDIB b;
    const int v[3][3] = {{0, 100, 201}, {40, 60, 90}, {81, 30, 11}};
    fill(b, 3, 3, [&](int x, int y) { return grey(v[y][x]); });
    ResizeBilinear(b, 4, 4, false);
    // kx = 4 / (3 - 1) = 2: samples at 0, 0.5, 1, 1.5.
    EXPECT_EQ(at(b, 1, 0), grey(50));
    EXPECT_EQ(at(b, 3, 0), grey(150)); // 150.5
    EXPECT_EQ(at(b, 0, 3), grey(60));  // 60.5
    EXPECT_EQ(at(b, 1, 1), grey(50));  // (0 + 40 + 100 + 60) / 4
    EXPECT_EQ(at(b, 3, 3), grey(48));  // (60 + 30 + 90 + 11) / 4 = 47.75
}

TEST(ResizeBilinear, OnePixelSourcesAndBadSizes) {
    TFastDIB b;
    const int col[3] = {10, 20, 31};
    fill(b, 1, 3, [&](int, int y) { return grey(col[y]); });
    ResizeBilinear(b, 3, 4, false); // the single column, rows sampled at 0, 0.5, 1, 1.5
    const int want[4] = {10, 15, 20, 26};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(at(b, x, y), grey(want[y]));
    fill(b, 3, 1, [&](int x, int) { return grey(col[x]); });
    ResizeBilinear(b, 4, 2, false);
    for (int y = 0; y < 2; ++y) EXPECT_EQ(at(b, 3, y), grey(26));
    fill(b, 1, 1, [](int, int) { return grey(99); });
    ResizeBilinear(b, 3, 2, false);
    EXPECT_EQ(b.Width, 3);
    EXPECT_EQ(at(b, 2, 1), grey(99));

    TFastDIB src;
    tagged(src, 5, 4);
    for (auto [w, h] : {std::pair{5, 4}, {0, 4}, {5, -1}, {-3, -3}})
        expectUnchanged(src, [w, h](TFastDIB& i) { ResizeBilinear(i, w, h, false); });
}

// The new picture's memory is not cleared before the resize fills it: every row's padding must still
// come out zero. Blocks of the same size are filled with junk and freed first, so that the allocator
// is likely to hand one of them back.
TEST(ResizeBilinear, RowPaddingOfTheNewPictureIsZero) {
    for (int round = 0; round < 20; ++round) {
        const int w = 5 + round % 3, h = 3 + round % 4; // 5, 6, 7 pixels: 1, 2 and 3 padding bytes
        const std::size_t bytes = static_cast<std::size_t>(((3 * w + 3) & ~3) * h);
        for (int k = 0; k < 4; ++k) {
            std::vector<std::uint8_t> junk(bytes, 0xA5);
            asm volatile("" : : "r"(junk.data()) : "memory");
        }
        TFastDIB b;
        tagged(b, 4, 4);
        ResizeBilinear(b, w, h, round % 2 == 0);
        ASSERT_EQ(b.Width, w);
        ASSERT_GT(b.Gap, 0);
        for (int y = 0; y < h; ++y)
            for (int i = 3 * w; i < b.BWidth; ++i)
                EXPECT_EQ(b.Scanlines[y][i], 0) << w << "x" << h << " row " << y;
    }
}

TEST(WaterDisplace, ShiftsByBrightness) {
    TFastDIB src, map, b;
    tagged(src, 5, 4);
    randomImage(map, 5, 4, 7);
    expectUnchanged(src, [&](TFastDIB& i) { WaterDisplace(0, 0, map, i); });
    auto run = [&](int dy, int dx, const TFastDIB& m, int ex, int ey) {
        copyInto(src, b);
        WaterDisplace(dy, dx, m, b);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) ASSERT_EQ(at(b, x, y), tag(WrapMod(x + ex, 5), WrapMod(y + ey, 4)));
    };
    fill(map, 5, 4, [](int, int) { return grey(0); });
    run(0, 3, map, 3, 0); // black: dx exactly
    fill(map, 5, 4, [](int, int) { return grey(255); });
    run(-1, 2, map, 4, -2); // white: 2 dx, 2 dy
    // The largest channel counts: 51 / 255 = 0.2, 5 * 0.2 + x + 5 -> x + 6.
    fill(map, 5, 4, [](int, int) { return TFColor{10, 0, 51}; });
    run(0, 5, map, 6, 0);
    // A map of another size is resized first (here one white pixel, so all white).
    fill(map, 1, 1, [](int, int) { return grey(255); });
    run(0, 1, map, 2, 0);
    TFastDIB none;
    run(0, 1, none, 0, 0); // no map: unchanged
}

TEST(WaterDisplace, MapTakenBeforeAnyPixelChanges) {
    // Target is its own map. Weights 0, 1, 2/255, 1 with dx = 1: x + 1, x + 2, x + 1, x + 2 (mod 4).
    const TFColor p[4] = {{0, 0, 0}, {255, 1, 0}, {0, 0, 2}, {0, 255, 3}};
    TFastDIB b;
    fill(b, 4, 1, [&](int x, int) { return p[x]; });
    WaterDisplace(0, 1, b, b);
    EXPECT_EQ(at(b, 0, 0), p[1]);
    EXPECT_EQ(at(b, 1, 0), p[3]);
    EXPECT_EQ(at(b, 2, 0), p[3]);
    EXPECT_EQ(at(b, 3, 0), p[1]);
}

TEST(RippleTooth, ShearsColumnsDownByXModP) {
    TFastDIB src;
    tagged(src, 4, 8);
    for (int a : {1, 0, -5}) expectUnchanged(src, [a](TFastDIB& i) { RippleTooth(i, a); });
    // P 3: columns move by 0, 1, 2, 0.
    EXPECT_TRUE(worked(4, 8, [](TFastDIB& i) { RippleTooth(i, 3); },
                       {{0, 5, 0, 5}, {1, 0, 1, 7}, {2, 0, 2, 6}, {2, 5, 2, 3}, {3, 5, 3, 5}}));
    // P = H div 2 = 4.
    EXPECT_TRUE(worked(4, 8, [](TFastDIB& i) { RippleTooth(i, 1000); }, {{3, 3, 3, 0}}));
    // P = 256: column 256 stays, 257 moves by 1.
    EXPECT_TRUE(
        worked(300, 600, [](TFastDIB& i) { RippleTooth(i, 1000); }, {{256, 1, 256, 1}, {257, 1, 257, 0}}));
    tagged(src, 9, 1);
    expectUnchanged(src, [](TFastDIB& i) { RippleTooth(i, 5); });
}

// Width 8, Peaks with Period 0.5: p = 16 / pi, so column x moves by Round(A sin(x pi / 16)):
// A = 3 gives 0 at x = 0, 1 at x = 2 (1.15), 2 at x = 4 (2.12), 3 at x = 6 (2.77).
TEST(SineWaveUD, WorkedColumnsWithAndWithoutWrap) {
    EXPECT_TRUE(
        worked(8, 6, [](TFastDIB& i) { SineWaveUD(i, 3, true, 0.5f, true); },
               {{0, 3, 0, 3}, {4, 2, 4, 0}, {4, 0, 4, 4}, {6, 1, 6, 4}})); // rows 4, 5 roll round to 0, 1
    // off(4) = -1: row 0 goes to the last row.
    EXPECT_TRUE(worked(8, 6, [](TFastDIB& i) { SineWaveUD(i, -1, true, 0.5f, true); }, {{4, 5, 4, 0}}));
    // Without Peaks p is the Period itself: Round(2 sin 4) = -2, Round(2 sin 3) = 0.
    EXPECT_TRUE(
        worked(8, 6, [](TFastDIB& i) { SineWaveUD(i, 2, true, 1, false); }, {{4, 4, 4, 0}, {3, 2, 3, 2}}));
    // The scale is not narrowed to a Single: width 12, 0.5 peaks give p = 24 / pi; column 4 (pi / 6)
    // moves by 5 sin(pi / 6) = 2.5, a half that goes to the even 2; column 8 by Round(4.33) = 4.
    EXPECT_TRUE(worked(12, 20, [](TFastDIB& i) { SineWaveUD(i, 5, true, 0.5f, true); },
                       {{4, 2, 4, 0}, {4, 0, 4, 18}, {8, 4, 8, 0}}));
    // Without wrap the edge row repeats, for either sign.
    EXPECT_TRUE(worked(
        8, 6, [](TFastDIB& i) { SineWaveUD(i, 3, false, 0.5f, true); },
        {{4, 0, 4, 0}, {4, 1, 4, 0}, {4, 2, 4, 0}, {4, 5, 4, 3}, {6, 0, 6, 0}, {6, 3, 6, 0}, {0, 4, 0, 4}}));
    // A negative amplitude moves the columns up: off(4) = -2, off(6) = -3.
    EXPECT_TRUE(worked(8, 6, [](TFastDIB& i) { SineWaveUD(i, -3, false, 0.5f, true); },
                       {{4, 0, 4, 2}, {4, 3, 4, 5}, {4, 4, 4, 5}, {4, 5, 4, 5}, {6, 0, 6, 3}, {6, 5, 6, 5}}));
    // An amplitude far beyond the height: the whole column becomes its edge row.
    EXPECT_TRUE(worked(8, 6, [](TFastDIB& i) { SineWaveUD(i, INT_MIN, false, 0.5f, true); },
                       {{4, 0, 4, 5}, {0, 2, 0, 2}}));
    TFastDIB src;
    tagged(src, 8, 1);
    expectUnchanged(src, [](TFastDIB& i) { SineWaveUD(i, 3, true, 0.5f, true); });
}

TEST(SineWaveLR, MovesRowsByTheirY) {
    // The height sets the scale (height 8 as the width 8 above: row 4 moves by 2, row 6 by 3).
    EXPECT_TRUE(worked(6, 8, [](TFastDIB& i) { SineWaveLR(i, 3, true, 0.5f, true); },
                       {{2, 4, 0, 4}, {0, 4, 4, 4}, {1, 6, 4, 6}}));
    EXPECT_TRUE(worked(6, 8, [](TFastDIB& i) { SineWaveLR(i, -3, false, 0.5f, true); },
                       {{0, 4, 2, 4}, {3, 4, 5, 4}, {4, 4, 5, 4}, {5, 4, 5, 4}, {2, 0, 2, 0}}));
    // Moved right without wrap: the first pixel repeated on the left.
    EXPECT_TRUE(worked(
        6, 8, [](TFastDIB& i) { SineWaveLR(i, 3, false, 0.5f, true); },
        {{0, 4, 0, 4}, {2, 4, 0, 4}, {5, 4, 3, 4}, {0, 6, 0, 6}, {3, 6, 0, 6}, {5, 6, 2, 6}, {3, 0, 3, 0}}));
    // Height 12 with 0.5 peaks: row 4 moves by 5 sin(pi / 6) = 2.5 -> 2.
    EXPECT_TRUE(worked(20, 12, [](TFastDIB& i) { SineWaveLR(i, 5, true, 0.5f, true); },
                       {{2, 4, 0, 4}, {0, 4, 18, 4}}));
}

TEST(SineWaves, ZeroOrNonFinitePeriodLeavesTheImageUnchanged) {
    TFastDIB src;
    tagged(src, 8, 6);
    for (bool wrap : {true, false})
        for (bool peaks : {true, false})
            for (float period : {0.0f, NAN, INFINITY}) {
                expectUnchanged(src, [&](TFastDIB& i) { SineWaveUD(i, 3, wrap, period, peaks); });
                expectUnchanged(src, [&](TFastDIB& i) { SineWaveLR(i, -3, wrap, period, peaks); });
            }
    expectUnchanged(src, [](TFastDIB& i) { SineWaveBoth(i, 3, 3, 0, 0.5f); });
    expectUnchanged(src, [](TFastDIB& i) { SineWaveBoth(i, 3, 3, 0.5f, 0); });
}

TEST(SineWaveBoth, GathersWithLimitedAmplitudes) {
    // v = y + off(x): gathered, so the opposite way to SineWaveUD.
    EXPECT_TRUE(
        worked(8, 8, [](TFastDIB& i) { SineWaveBoth(i, 3, 0, 0.5f, 0.5f); }, {{4, 0, 4, 2}, {6, 7, 6, 2}}));
    // Row 4 also moves by Round(2 * 0.707) = 1.
    EXPECT_TRUE(worked(8, 8, [](TFastDIB& i) { SineWaveBoth(i, 3, 2, 0.5f, 0.5f); }, {{4, 4, 5, 6}}));
    // Limited to 8: Round(8 * 0.707) = 6.
    EXPECT_TRUE(worked(8, 8, [](TFastDIB& i) { SineWaveBoth(i, 100, 0, 0.5f, 0.5f); }, {{4, 0, 4, 6}}));
    EXPECT_TRUE(worked(8, 8, [](TFastDIB& i) { SineWaveBoth(i, -3, 0, 0.5f, 0.5f); }, {{4, 0, 4, 6}}));
    // Up/down scale from the width.
    EXPECT_TRUE(worked(8, 6, [](TFastDIB& i) { SineWaveBoth(i, 3, 0, 0.5f, 0.5f); }, {{4, 5, 4, 1}}));
}

TEST(ScrollLR, RollsModuloTheWidth) {
    TFastDIB src, b;
    tagged(src, 5, 3);
    for (int a : {0, 5, -5, 10}) expectUnchanged(src, [a](TFastDIB& i) { ScrollLR(i, a); });
    for (auto [amount, shift] : {std::pair{1, 1}, {-1, 4}, {6, 1}, {INT_MIN, 2}, {INT_MAX, 2}}) {
        copyInto(src, b);
        ScrollLR(b, amount);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) ASSERT_EQ(at(b, x, y), tag(WrapMod(x - shift, 5), y)) << amount;
    }
}

TEST(Distortions, ImagesWithoutPixelsOrOfOtherDepthsAreLeftAlone) {
    TFastDIB none, other, dst;
    other.SetSize(4, 4, 32, 0);
    dst.SetSize(4, 4, 24, 0);
    for (TFastDIB* b : {&none, &other}) {
        RadialWaves(*b, 2, 3, 0, false);
        WhirlPinch(*b, 30, 0, 1);
        FishEye(*b, dst, 0.5L);
        TwistFX(*b, dst, 2);
        ResizeBilinear(*b, 8, 8, true);
        WaterDisplace(1, 1, dst, *b);
        RippleTooth(*b, 3);
        SineWaveUD(*b, 2, false, 1, false);
        SineWaveLR(*b, 2, true, 1, false);
        SineWaveBoth(*b, 2, 2, 1, 1);
        ScrollLR(*b, 1);
    }
    EXPECT_TRUE(none.Empty());
    EXPECT_EQ(other.Width, 4);
}

// Effects whose sampling does not depend on where the picture sits commute with a wrap-around shift,
// so a seamless tile stays seamless under them.
TEST(Distortions, CommuteWithWrapShiftWhereSamplingIsPositionFree) {
    TFastDIB src;
    randomImage(src, 12, 10, 99);
    auto commutes = [&](const std::function<void(TFastDIB&)>& fx, int dx, int dy, int dx2, int dy2) {
        TFastDIB a, b;
        copyInto(src, a);
        WrapShift(a, dx, dy);
        fx(a);
        copyInto(src, b);
        fx(b);
        WrapShift(b, dx2, dy2);
        return sameImage(a, b);
    };
    for (auto [dx, dy] : {std::pair{3, 0}, {0, 4}, {-5, 7}, {11, -1}}) {
        EXPECT_TRUE(commutes([](TFastDIB& i) { ScrollLR(i, 4); }, dx, dy, dx, dy));
        EXPECT_TRUE(commutes([](TFastDIB& i) { WaterDisplace(-2, 3, i, i); }, dx, dy, dx, dy));
        EXPECT_TRUE(commutes([](TFastDIB& i) { RippleTooth(i, 3); }, 3 * dx, dy, 3 * dx, dy));
        EXPECT_TRUE(commutes([](TFastDIB& i) { SineWaveUD(i, 3, true, 1.5f, true); }, 0, dy, 0, dy));
        EXPECT_TRUE(commutes([](TFastDIB& i) { SineWaveLR(i, -4, true, 2, false); }, dx, 0, dx, 0));
        EXPECT_TRUE(commutes([](TFastDIB& i) { SineWaveBoth(i, 4, 0, 1.5f, 2); }, 0, dy, 0, dy));
        EXPECT_TRUE(commutes([](TFastDIB& i) { SineWaveBoth(i, 0, 4, 1.5f, 2); }, dx, 0, dx, 0));
        // Tiled resizing by whole factors: a shift by (dx, dy) becomes one by (4 dx, 2 dy).
        EXPECT_TRUE(commutes([](TFastDIB& i) { ResizeBilinear(i, 48, 20, true); }, dx, dy, 4 * dx, 2 * dy));
    }
}
