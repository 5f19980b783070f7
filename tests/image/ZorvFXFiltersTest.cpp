// Filters and edge blending of ZorvFX: values worked by hand from the formulas, the unsafe parameters,
// and the wrap-around property (an effect on a seamless tile leaves it seamless).
#include "image/FastFX.h"
#include "image/Numeric.h"
#include "image/ZorvFX.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <vector>

namespace {

void makeImage(TFastDIB& b, int w, int h, TFColor fill = {0, 0, 0}) {
    b.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.Pixels24[y][x] = fill;
}

void randomImage(TFastDIB& b, int w, int h, std::uint32_t seed, int levels = 256) {
    b.SetSize(w, h, 24, 0);
    SetRandSeed(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.Pixels24[y][x] = TFColor{static_cast<std::uint8_t>(Random(levels) * (255 / (levels - 1))),
                                       static_cast<std::uint8_t>(Random(levels) * (255 / (levels - 1))),
                                       static_cast<std::uint8_t>(Random(levels) * (255 / (levels - 1)))};
}

void copyImage(const TFastDIB& src, TFastDIB& dst) {
    dst.SetSize(src.Width, src.Height, 24, 0);
    src.Draw(dst, 0, 0);
}

// Whole rows including the gap bytes, so that a write past a row's pixels is caught as well.
bool sameBytes(const TFastDIB& a, const TFastDIB& b) {
    return a.Width == b.Width && a.Height == b.Height && a.ByteCount() == b.ByteCount() &&
           std::memcmp(a.Bits, b.Bits, static_cast<std::size_t>(a.ByteCount())) == 0;
}

TFColor grey(int v) {
    const auto c = static_cast<std::uint8_t>(v);
    return TFColor{c, c, c};
}

constexpr std::array<int, 9> kIdentity{0, 0, 0, 0, 1, 0, 0, 0, 0};
constexpr std::array<int, 9> kBox{1, 1, 1, 1, 1, 1, 1, 1, 1};

} // namespace

TEST(Convolve3x3, IdentityAndWrapAroundNeighbours) {
    TFastDIB img, ref;
    randomImage(img, 7, 5, 11);
    copyImage(img, ref);
    Convolve3x3(kIdentity, 1, img);
    EXPECT_TRUE(sameBytes(img, ref));

    // The right neighbour's weight: every pixel takes the pixel to its right, the last column column 0.
    Convolve3x3(std::array<int, 9>{0, 0, 0, 0, 0, 1, 0, 0, 0}, 1, img);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(img.Pixels24[y][x], ref.Pixels24[y][(x + 1) % 7]);
    // The upper neighbour's weight: row 0 takes the last row.
    copyImage(ref, img);
    Convolve3x3(std::array<int, 9>{0, 1, 0, 0, 0, 0, 0, 0, 0}, 1, img);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(img.Pixels24[y][x], ref.Pixels24[(y + 4) % 5][x]);
}

TEST(Convolve3x3, BoxSpreadsAcrossTheEdges) {
    // A line of 90 in column 0: columns W - 1, 0 and 1 each see it in three rows: 270 / 9 = 30.
    TFastDIB img;
    makeImage(img, 5, 4);
    for (int y = 0; y < 4; ++y) img.Pixels24[y][0] = grey(90);
    Convolve3x3(kBox, 9, img);
    const int line[5] = {30, 30, 0, 0, 30};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(img.Pixels24[y][x], grey(line[x])) << x << "," << y;
    // The corner (0, 0) averages in the opposite corner (W - 1, H - 1): 90 / 9 = 10.
    makeImage(img, 5, 4);
    img.Pixels24[3][4] = TFColor{90, 45, 9};
    Convolve3x3(kBox, 9, img);
    EXPECT_EQ(img.Pixels24[0][0], (TFColor{10, 5, 1}));
    EXPECT_EQ(img.Pixels24[2][3], (TFColor{10, 5, 1}));
    EXPECT_EQ(img.Pixels24[1][1], (TFColor{0, 0, 0}));
}

TEST(Convolve3x3, TwoByTwoTileCountsEachNeighbourByWrap) {
    // In a 2 x 2 tile the 3 x 3 neighbourhood holds the pixel once, its row and column partners twice
    // and the diagonal one four times: (0, 0) = (10 + 2*20 + 2*30 + 4*40) / 9 = 270 / 9 = 30,
    // (1, 0) = (20 + 2*10 + 2*40 + 4*30) / 9 = 240 / 9 = 26, (0, 1) = 210 / 9 = 23, (1, 1) = 180 / 9 = 20.
    TFastDIB img;
    makeImage(img, 2, 2);
    const int in[4] = {10, 20, 30, 40}, out[4] = {30, 26, 23, 20};
    for (int i = 0; i < 4; ++i) img.Pixels24[i / 2][i % 2] = grey(in[i]);
    Convolve3x3(kBox, 9, img);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(img.Pixels24[i / 2][i % 2], grey(out[i])) << i;
    // A single pixel is its own neighbourhood.
    makeImage(img, 1, 1, TFColor{7, 100, 250});
    Convolve3x3(kBox, 9, img);
    EXPECT_EQ(img.Pixels24[0][0], (TFColor{7, 100, 250}));
}

TEST(Convolve3x3, TruncatesTowardZeroAndClamps) {
    // Centre weight k, divisor d on a flat (1, 3, 100): -5 / 2 = -2 -> 0, -500 / 2 -> 0; 15 / 2 = 7; 300 ->
    // 255.
    struct Case {
        int k, d;
        TFColor out;
    } cases[] = {{-5, 2, {0, 0, 0}}, {5, 2, {2, 7, 250}}, {3, 1, {3, 9, 255}}};
    TFastDIB img;
    for (const Case& c : cases) {
        makeImage(img, 3, 3, TFColor{1, 3, 100});
        Convolve3x3(std::array<int, 9>{0, 0, 0, 0, c.k, 0, 0, 0, 0}, static_cast<std::uint16_t>(c.d), img);
        EXPECT_EQ(img.Pixels24[2][0], c.out) << c.k;
    }
}

TEST(Convolve3x3, EveryDivisorTruncatesExactly) {
    // Centre weight k on every channel value v: v * k div d, clamped; across the divisor range, with
    // weights whose sums need 16, 32 and 64 bits, so quotients exact and a hair below an integer occur.
    TFastDIB img;
    const int weights[] = {1, 7, 100, 128, 129, 255, 1000, 65535, 123457, 9000000};
    for (int d = 1; d <= 65535; d += (d < 700 ? 1 : 97)) {
        for (int k : weights) {
            img.SetSize(256, 1, 24, 0);
            for (int v = 0; v < 256; ++v)
                img.Pixels24[0][v] = TFColor{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(255 - v),
                                             static_cast<std::uint8_t>(v)};
            Convolve3x3(std::array<int, 9>{0, 0, 0, 0, k, 0, 0, 0, 0}, static_cast<std::uint16_t>(d), img);
            const auto expect = [&](int v) {
                const std::int64_t q = static_cast<std::int64_t>(v) * k / d;
                return static_cast<std::uint8_t>(q > 255 ? 255 : q);
            };
            for (int v = 0; v < 256; ++v) {
                ASSERT_EQ(img.Pixels24[0][v].b, expect(v)) << "d " << d << " k " << k << " v " << v;
                ASSERT_EQ(img.Pixels24[0][v].g, expect(255 - v)) << "d " << d << " k " << k << " v " << v;
            }
        }
    }
}

TEST(Convolve3x3, SumsInSixtyFourBits) {
    // Two weights of 2^31 - 1 on a flat 1: the sum 4294967294 does not fit 32 bits (it would wrap to -2
    // and give 0); divided by 65535 it is far above 255.
    TFastDIB img;
    makeImage(img, 4, 3, TFColor{1, 1, 1});
    Convolve3x3(std::array<int, 9>{INT_MAX, INT_MAX, 0, 0, 0, 0, 0, 0, 0}, 65535, img);
    EXPECT_EQ(img.Pixels24[1][2], grey(255));
    // Large weights that cancel on a flat 200: partial sums far beyond 32 bits, the total 200 * 1.
    makeImage(img, 4, 3, grey(200));
    Convolve3x3(std::array<int, 9>{INT_MAX, INT_MAX, 0, -INT_MAX, 1, -INT_MAX, 0, 0, 0}, 1, img);
    EXPECT_EQ(img.Pixels24[2][3], grey(200));
}

TEST(Convolve3x3, UnusableArgumentsLeaveTheImageUnchanged) {
    TFastDIB img, ref;
    randomImage(img, 6, 4, 3);
    copyImage(img, ref);
    Convolve3x3(kBox, 0, img); // divisor 0
    EXPECT_TRUE(sameBytes(img, ref));
    const int shortKernel[] = {1, 1, 1};
    Convolve3x3(shortKernel, 1, img); // fewer than nine weights
    EXPECT_TRUE(sameBytes(img, ref));
    TFastDIB empty;
    Convolve3x3(kBox, 9, empty); // no pixels: nothing happens
    EXPECT_TRUE(empty.Empty());
    TFastDIB eight;
    eight.SetSize(4, 4, 8, 0);
    eight.Pixels8[1][1] = 200;
    Convolve3x3(kBox, 9, eight); // other depths are left alone
    EXPECT_EQ(eight.Pixels8[1][1], 200);
}

TEST(GrayScale24, WeightsSumTo256) {
    // White; red 77 * 255 >> 8 = 76; green 151 * 255 >> 8 = 150; blue 28 * 255 >> 8 = 27.
    const TFColor in[4] = {{255, 255, 255}, {0, 0, 255}, {0, 255, 0}, {255, 0, 0}};
    const int out[4] = {255, 76, 150, 27};
    TFastDIB img;
    makeImage(img, 4, 1);
    for (int x = 0; x < 4; ++x) img.Pixels24[0][x] = in[x];
    GrayScale24(img);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(img.Pixels24[0][x], grey(out[x])) << x;
}

TEST(ClassicEmboss, UniformImageGivesHalfTheAmount) {
    TFastDIB img, work;
    for (auto [amount, v] : {std::pair{0, 0}, {100, 50}, {301, 150}, {510, 255}, {600, 255}, {-3, 0}}) {
        makeImage(img, 5, 4, TFColor{9, 99, 199});
        ClassicEmboss(img, work, amount);
        EXPECT_EQ(img.Pixels24[3][4], grey(v)) << amount;
        EXPECT_EQ(img.Pixels24[0][0], grey(v)) << amount;
    }
}

TEST(ClassicEmboss, WritesThePixelTwoBack) {
    // One pixel of 50 at (2, 2) of a 3 x 3 tile, Amount 200: (x, y) = 100 + p(x + 2, y + 2) - p(x, y);
    // only (0, 0) sees it two on (150), and (2, 2) itself loses it (50).
    TFastDIB img, work;
    makeImage(img, 3, 3);
    img.Pixels24[2][2] = grey(50);
    ClassicEmboss(img, work, 200);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            const int expect = (x == 0 && y == 0) ? 150 : (x == 2 && y == 2) ? 50 : 100;
            EXPECT_EQ(img.Pixels24[y][x], grey(expect)) << x << "," << y;
        }
    // Work holds the image as it was.
    EXPECT_EQ(work.Width, 3);
    EXPECT_EQ(work.Pixels24[2][2], grey(50));
    EXPECT_EQ(work.Pixels24[0][0], grey(0));

    // Work given as the image itself: the same result.
    TFastDIB self;
    copyImage(work, self);
    ClassicEmboss(self, self, 200);
    EXPECT_TRUE(sameBytes(self, img));
}

namespace {
constexpr TColor kRed200 = 0x0000C8; // Color1: r 200
constexpr TColor kBlue40 = 0x280000; // Color2: b 40
const TFColor c1{0, 0, 200}, c2{40, 0, 0};
} // namespace

TEST(Buttonize, RampsOnEveryEdge) {
    // 12 x 10 grey 100, edge 4 (ramp divisor 3).
    TFastDIB img;
    makeImage(img, 12, 10, grey(100));
    Buttonize(img, kRed200, kBlue40, 4);
    // Middle row: left ramp Color2 -> image, interior kept, right ramp image -> Color1.
    // Left, i = 1: r, g 0 + MulDiv(1, 100, 3) = 33, b 40 + MulDiv(1, 60, 3) = 60; i = 2: 67, 67, 80.
    // Right, i = 1: r 100 + MulDiv(1, 100, 3) = 133, g, b 100 + MulDiv(1, -100, 3) = 67; i = 2: 167, 33.
    const TFColor row5[12] = {c2,        {60, 33, 33}, {80, 67, 67}, grey(100),     grey(100),     grey(100),
                              grey(100), grey(100),    grey(100),    {67, 67, 133}, {33, 33, 167}, c1};
    for (int x = 0; x < 12; ++x) EXPECT_EQ(img.Pixels24[5][x], row5[x]) << x;
    for (int x = 0; x < 12; ++x) EXPECT_EQ(img.Pixels24[4][x], row5[x]) << x;
    // Bottom row: Color1 between the diagonals, the side ramps' ends at the corners.
    EXPECT_EQ(img.Pixels24[9][0], c2);
    for (int x = 1; x <= 11; ++x) EXPECT_EQ(img.Pixels24[9][x], c1) << x;
    // Row 7 (j = 1) from column 3 to 8: 100 -> (133, 67, 67); column 2 keeps the left ramp.
    EXPECT_EQ(img.Pixels24[7][2], (TFColor{80, 67, 67}));
    EXPECT_EQ(img.Pixels24[7][3], (TFColor{67, 67, 133}));
    EXPECT_EQ(img.Pixels24[7][8], (TFColor{67, 67, 133}));
    EXPECT_EQ(img.Pixels24[7][9], (TFColor{67, 67, 133})); // right ramp i = 1, untouched by the bottom
    // Top row: Color2 throughout; row 1 keeps the right strip's Color1 in the last column.
    for (int x = 0; x < 12; ++x) EXPECT_EQ(img.Pixels24[0][x], c2) << x;
    EXPECT_EQ(img.Pixels24[1][11], c1);
    // Row 1, column 1: the left ramp (33, 33, 60) taken towards by Color2: r, g MulDiv(1, 33, 3) = 11,
    // b 40 + MulDiv(1, 20, 3) = 47.
    EXPECT_EQ(img.Pixels24[1][1], (TFColor{47, 11, 11}));
}

TEST(Buttonize, NarrowOrOversizedEdges) {
    TFastDIB img, ref;
    randomImage(img, 12, 10, 8);
    copyImage(img, ref);
    for (int e : {1, 0, -4}) {
        Buttonize(img, kRed200, kBlue40, e);
        EXPECT_TRUE(sameBytes(img, ref)) << e;
    }
    // An edge wider than the image is limited to it; the side columns still end in the two colours.
    Buttonize(img, kRed200, kBlue40, 1000);
    EXPECT_EQ(img.Pixels24[5][11], c1);
    EXPECT_EQ(img.Pixels24[5][0], c2);
}

TEST(SplitBlur, ReadsRowsAlreadyRewritten) {
    // 3 x 3, one channel of 100 at (1, 1), d = 1, worked row by row:
    // row 0 reads rows 2 and 1 (old): [25, 0, 25]; row 1 reads row 0 (new) and row 2: [6, 12, 6];
    // row 2 reads row 1 and row 0, both new: (0,2) = (12 + 6 + 0 + 25) >> 2 = 10, (1,2) = 62 >> 2 = 15.
    TFastDIB img;
    makeImage(img, 3, 3);
    img.Pixels24[1][1] = TFColor{100, 0, 0};
    SplitBlur(img, 1);
    const int expect[3][3] = {{25, 0, 25}, {6, 12, 6}, {10, 15, 10}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(img.Pixels24[y][x], (TFColor{static_cast<std::uint8_t>(expect[y][x]), 0, 0}));

    // 4 x 4 with d = 2: all four samples are (x + 2, y + 2). Rows 0 and 1 take rows 2 and 3 moved by two
    // columns; rows 2 and 3 then read those new rows and get their own old values back.
    TFastDIB ref;
    randomImage(img, 4, 4, 77);
    copyImage(img, ref);
    SplitBlur(img, 0); // distance 0 changes nothing
    EXPECT_TRUE(sameBytes(img, ref));
    SplitBlur(img, 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(img.Pixels24[y][x], y < 2 ? ref.Pixels24[y + 2][(x + 2) % 4] : ref.Pixels24[y][x]);
}

TEST(TraceEdges, UniformAndZeroIntensity) {
    TFastDIB img, ref;
    makeImage(img, 6, 5, TFColor{1, 2, 3});
    copyImage(img, ref);
    TraceEdges(img, 3, 0xFFFFFF);
    EXPECT_TRUE(sameBytes(img, ref));
    randomImage(img, 6, 5, 4, 2);
    copyImage(img, ref);
    TraceEdges(img, 0, 0xFFFFFF);
    EXPECT_TRUE(sameBytes(img, ref));
}

TEST(TraceEdges, PaintsOneSideOfEachBoundary) {
    // Stripes A A A B B B in 2 rows. In the padded copy [B | A A A B B B | A] the first difference
    // (at the left border) makes A the reference colour; the A|B boundary then paints the B pixel
    // (column 3) and the B|A boundary across the wrap paints its B pixel (column 5).
    const TFColor a{10, 20, 30}, b{200, 100, 0}, paint{0, 0, 0};
    TFastDIB img;
    for (int intensity : {1, 2, 5}) {
        makeImage(img, 6, 2, a);
        for (int y = 0; y < 2; ++y)
            for (int x = 3; x < 6; ++x) img.Pixels24[y][x] = b;
        TraceEdges(img, intensity, 0x000000);
        const TFColor expect[6] = {a, a, a, paint, b, paint};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 6; ++x) EXPECT_EQ(img.Pixels24[y][x], expect[x]) << intensity << ":" << x;
    }
    // A single white pixel: its four neighbours are painted (Color $0000FF is red).
    makeImage(img, 4, 4);
    img.Pixels24[1][1] = grey(255);
    TraceEdges(img, 1, 0x0000FF);
    const TFColor red{0, 0, 255};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool n = (x == 1 && (y == 0 || y == 2)) || (y == 1 && (x == 0 || x == 2));
            EXPECT_EQ(img.Pixels24[y][x], n ? red : (x == 1 && y == 1 ? grey(255) : grey(0))) << x << y;
        }
}

TEST(TraceEdges, PassesAfterTheSecondRepeatIt) {
    TFastDIB two, three, big;
    randomImage(two, 13, 9, 99, 2);
    copyImage(two, three);
    copyImage(two, big);
    TraceEdges(two, 2, 0x123456);
    TraceEdges(three, 3, 0x123456);
    TraceEdges(big, 1000000, 0x123456);
    EXPECT_TRUE(sameBytes(two, three));
    EXPECT_TRUE(sameBytes(two, big));
}

TEST(SeamlessEdge, OppositeEdgesMatchAfterwards) {
    TFastDIB img, ref;
    randomImage(img, 20, 15, 31);
    copyImage(img, ref);
    SeamlessEdge(img, 5);
    for (int y = 0; y < 15; ++y) EXPECT_EQ(img.Pixels24[y][0], img.Pixels24[y][19]) << y;
    for (int x = 0; x < 20; ++x) EXPECT_EQ(img.Pixels24[0][x], img.Pixels24[14][x]) << x;
    // Only the strips change.
    for (int y = 5; y < 10; ++y)
        for (int x = 5; x < 15; ++x) EXPECT_EQ(img.Pixels24[y][x], ref.Pixels24[y][x]);
}

TEST(SeamlessEdge, TooWideStripIsHalfTheSmallerSide) {
    // 9 x 7: a width of 100 becomes (7 - 1) div 2 = 3, the same as asking for 3.
    TFastDIB a, b;
    randomImage(a, 9, 7, 12);
    copyImage(a, b);
    SeamlessEdge(a, 100);
    SeamlessEdge(b, 3);
    EXPECT_TRUE(sameBytes(a, b));
    // A 2 x 2 image leaves no strip of 2 pixels; narrow strips change nothing.
    TFastDIB ref;
    randomImage(a, 2, 2, 1);
    copyImage(a, ref);
    SeamlessEdge(a, 5);
    EXPECT_TRUE(sameBytes(a, ref));
    randomImage(a, 9, 7, 2);
    copyImage(a, ref);
    for (int w : {1, 0, -3}) {
        SeamlessEdge(a, w);
        EXPECT_TRUE(sameBytes(a, ref)) << w;
    }
}

TEST(EdgeMerge, RampsTheRightStripToTheMirroredLeft) {
    // One row 0, 10, .., 70 with Divisor 2: strip of 4, ramp divisor 3; the mirrored left strip is
    // 30, 20, 10, 0: col 4 = 40, col 5 = 50 + MulDiv(1, -30, 3) = 40, col 6 = 60 + MulDiv(2, -50, 3) = 27,
    // col 7 = 0 (column 0). The single row gives no bottom strip.
    TFastDIB img;
    makeImage(img, 8, 1);
    for (int x = 0; x < 8; ++x) img.Pixels24[0][x] = grey(10 * x);
    EdgeMerge(img, 2);
    const int expect[8] = {0, 10, 20, 30, 40, 40, 27, 0};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(img.Pixels24[0][x], grey(expect[x])) << x;

    // Divisor 4 on 8 x 8: strips of 2, so the last column becomes column 0 and then the last row row 0.
    TFastDIB ref;
    randomImage(img, 8, 8, 17);
    copyImage(img, ref);
    EdgeMerge(img, 4);
    for (int y = 0; y < 7; ++y) {
        EXPECT_EQ(img.Pixels24[y][7], ref.Pixels24[y][0]);
        EXPECT_EQ(img.Pixels24[y][6], ref.Pixels24[y][6]);
    }
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(img.Pixels24[7][x], img.Pixels24[0][x]);
        EXPECT_EQ(img.Pixels24[6][x], x == 7 ? ref.Pixels24[6][0] : ref.Pixels24[6][x]);
    }
}

TEST(EdgeMerge, UnusableDivisorsAndNarrowStrips) {
    TFastDIB img, ref;
    randomImage(img, 8, 20, 6);
    copyImage(img, ref);
    EdgeMerge(img, 0);
    EdgeMerge(img, -2);
    EXPECT_TRUE(sameBytes(img, ref));
    // Divisor 5: 8 div 5 = 1 column (skipped), 20 div 5 = 4 rows (blended).
    EdgeMerge(img, 5);
    for (int y = 0; y < 16; ++y) EXPECT_EQ(std::memcmp(img.Scanlines[y], ref.Scanlines[y], 24), 0) << y;
    for (int x = 0; x < 8; ++x) EXPECT_EQ(img.Pixels24[19][x], ref.Pixels24[0][x]);
    // Divisor 1: the whole image is the strip; no read outside it.
    randomImage(img, 8, 20, 7);
    EdgeMerge(img, 1);
    for (int y = 0; y < 20; ++y) EXPECT_EQ(img.Pixels24[y][7], img.Pixels24[y][0]);
}

namespace {
// Applies f to a copy shifted by (dx, dy) and compares with the shifted result of f.
template <class F> void expectCommutesWithShift(F f, int w, int h, int dx, int dy, std::uint32_t seed) {
    TFastDIB a, b;
    randomImage(a, w, h, seed);
    copyImage(a, b);
    f(a);
    WrapShift(a, dx, dy);
    WrapShift(b, dx, dy);
    f(b);
    EXPECT_TRUE(sameBytes(a, b)) << "shift " << dx << "," << dy;
}
} // namespace

TEST(WrapAround, Convolve3x3AndEmbossCommuteWithWrapShift) {
    for (auto [dx, dy] : {std::pair{1, 0}, {0, 1}, {3, 2}, {-5, 7}, {6, -1}}) {
        expectCommutesWithShift(
            [](TFastDIB& b) {
                Convolve3x3(std::array<int, 9>{-1, -2, 3, 4, 9, -4, 1, 2, 0}, 7, b);
            },
            9, 7, dx, dy, 40);
        expectCommutesWithShift([](TFastDIB& b) { Convolve3x3(kBox, 9, b); }, 5, 4, dx, dy, 41);
        expectCommutesWithShift(
            [](TFastDIB& b) {
                TFastDIB work;
                ClassicEmboss(b, work, 250);
            },
            9, 7, dx, dy, 42);
    }
}

TEST(WrapAround, SplitBlurCommutesWithHorizontalShifts) {
    // Whole rows are rewritten in order, so a horizontal shift commutes when the rows read are other
    // rows (d not a multiple of the height); a vertical shift changes which rows are read rewritten.
    for (int dx : {1, 4, -3})
        for (int d : {1, 2, 5})
            expectCommutesWithShift([d](TFastDIB& b) { SplitBlur(b, d); }, 9, 7, dx, 0, 50 + d);
}
