#include "image/FastFX.h"
#include "image/Numeric.h"
#include "image/ZorvFX.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr double Pi = std::numbers::pi;

void make24(TFastDIB& Bmp, int w, int h, TFColor fill) {
    Bmp.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) Bmp.Pixels24[y][x] = fill;
}

void randomFill(TFastDIB& Bmp, std::uint32_t seed) {
    SetRandSeed(seed);
    for (int y = 0; y < Bmp.Height; ++y)
        for (int x = 0; x < Bmp.Width; ++x)
            Bmp.Pixels24[y][x] =
                TFColor{static_cast<std::uint8_t>(Random(256)), static_cast<std::uint8_t>(Random(256)),
                        static_cast<std::uint8_t>(Random(256))};
}

bool samePixels(const TFastDIB& a, const TFastDIB& b) {
    if (a.Width != b.Width || a.Height != b.Height) return false;
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x)
            if (!(a.Pixels24[y][x] == b.Pixels24[y][x])) return false;
    return true;
}

void copyImage(const TFastDIB& src, TFastDIB& dst) {
    dst.SetSize(src.Width, src.Height, 24, 0);
    for (int y = 0; y < src.Height; ++y)
        for (int x = 0; x < src.Width; ++x) dst.Pixels24[y][x] = src.Pixels24[y][x];
}

void expectPixel(const TFastDIB& Bmp, int x, int y, int b, int g, int r) {
    const TFColor p = Bmp.Pixels24[y][x];
    EXPECT_EQ(p.b, b) << "blue at " << x << "," << y;
    EXPECT_EQ(p.g, g) << "green at " << x << "," << y;
    EXPECT_EQ(p.r, r) << "red at " << x << "," << y;
}

void expectAll(const TFastDIB& Bmp, int b, int g, int r) {
    for (int y = 0; y < Bmp.Height; ++y)
        for (int x = 0; x < Bmp.Width; ++x) expectPixel(Bmp, x, y, b, g, r);
}

} // namespace

TEST(Generators, HSLConversionsBothWays) {
    // Worked by hand: max, min, L = (max + min) / 2, S and the branch that gives h; then back through
    // m2, m1 and the sextant of 6 H.
    struct Case {
        double R, G, B, H, S, L;
    };
    const Case cases[] = {
        {1, 0, 0, 1, 1, 0.5},                 // red max, green min: h = 5 + bc = 6 (hue 1 = sextant 0)
        {0.25, 0.5, 0.75, 3.5 / 6, 0.5, 0.5}, // blue max, red min: h = 3 + gc; sextant 3
        {1, 0.8, 0.6, 0.5 / 6, 1, 0.8},       // red max, L > 0.5: S = 0.4 / (2 - 1.6), h = 1 - gc
        {0.2, 0.6, 0.4, 2.5 / 6, 0.5, 0.4},   // green max: h = 3 - bc; sextant 2
        {0.5, 1, 0, 0.25, 1, 0.5},            // green max, blue min: h = 1 + rc; sextant 1
        {0.5, 0, 1, 0.75, 1, 0.5},            // blue max, green min: h = 5 - rc; sextant 4
        {1, 0, 0.5, 5.5 / 6, 1, 0.5},         // red max, green min: h = 5 + bc; sextant 5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.H);
        double H, S, L, R, G, B;
        RGBToHSL(H, S, L, c.R, c.G, c.B);
        EXPECT_NEAR(H, c.H, 1e-12);
        EXPECT_NEAR(S, c.S, 1e-12);
        EXPECT_NEAR(L, c.L, 1e-12);
        HSLToRGB(R, G, B, c.H, c.S, c.L);
        EXPECT_NEAR(R, c.R, 1e-12);
        EXPECT_NEAR(G, c.G, 1e-12);
        EXPECT_NEAR(B, c.B, 1e-12);
    }
    double H = 9, S = 9, L = 9;
    RGBToHSL(H, S, L, 0.3, 0.3, 0.3); // grey: S and H 0
    EXPECT_EQ(H + S, 0.0);
    EXPECT_DOUBLE_EQ(L, 0.3);
    // Hue 0 is red as hue 1 is; lightness 0 is black; a hue outside 0 .. 1 is taken modulo 1 instead of
    // falling outside every sextant.
    const double rgbOf[][6] = {
        {0, 1, 0.5, 1, 0, 0}, {0.4, 1, 0, 0, 0, 0}, {1.25, 1, 0.5, 0.5, 1, 0}, {-0.25, 1, 0.5, 0.5, 0, 1}};
    for (const auto& c : rgbOf) {
        double R, G, B;
        HSLToRGB(R, G, B, c[0], c[1], c[2]);
        EXPECT_EQ(R, c[3]) << c[0];
        EXPECT_EQ(G, c[4]) << c[0];
        EXPECT_EQ(B, c[5]) << c[0];
    }
    EXPECT_DOUBLE_EQ(DegToRad(180), Pi);
}

TEST(Generators, SetEmbossLightScalesTheLightTo255_9) {
    const TEmbossLight l = SetEmbossLight(20, DegToRad(30), DegToRad(45));
    EXPECT_NEAR(l.Lx, 156.706106, 1e-5); // cos 30 * cos 45 * 255.9
    EXPECT_NEAR(l.Ly, 90.474313, 1e-5);  // sin 30 * cos 45 * 255.9
    EXPECT_NEAR(l.Lz, 180.948625, 1e-5); // sin 45 * 255.9
    EXPECT_DOUBLE_EQ(l.Nz2, 5852.25);    // (1530 / 20)^2
    EXPECT_NEAR(l.NzLz, 13842.5698, 1e-3);
    EXPECT_DOUBLE_EQ(l.Background, l.Lz);
    // A depth of 0 would divide by zero; it acts as the default 20.
    EXPECT_DOUBLE_EQ(SetEmbossLight(0, DegToRad(30), DegToRad(45)).Nz, 76.5);
}

namespace {

// Three rows of six 3-byte pixels; the blue bytes are the heights
//   above  10 10 10 10 10 10
//   centre 10 10 10 40 10 10
//   below  10 10 10 10 10 70
// Pixel 1 and 3 are flat (Nx = Ny = 0: the centre height itself does not count), pixel 2 has
// Nx = 30 - 60 = -30, Ny = 0, pixel 4 Nx = 60 - 90 = -30, Ny = 90 - 30 = 60.
std::vector<std::uint8_t> reliefRows() {
    const int h[3][6] = {{10, 10, 10, 10, 10, 10}, {10, 10, 10, 40, 10, 10}, {10, 10, 10, 10, 10, 70}};
    std::vector<std::uint8_t> rows(3 * 6 * 3);
    for (int r = 0; r < 3; ++r)
        for (int x = 0; x < 6; ++x) {
            std::uint8_t* p = &rows[(r * 6 + x) * 3];
            p[0] = static_cast<std::uint8_t>(h[r][x]);
            p[1] = 99; // only the first byte is a height
            p[2] = static_cast<std::uint8_t>(200 + r);
        }
    return rows;
}

} // namespace

TEST(Generators, EmbossRowShadesFromTheFirstByteOfEachPixel) {
    // Light: azimuth 30, elevation 45, depth 20 (Lx 156.706, Ly 90.474, NzLz 13842.570, Nz2 5852.25).
    // Pixel 2: NdotL = Trunc(-30 * 156.706 + 13842.570) = 9141; / Sqrt(900 + 5852.25) = 111.24 -> 111.
    // Pixel 4: NdotL = Trunc(-4701.18 + 5428.46 + 13842.57) = 14569; / Sqrt(900 + 3600 + 5852.25) = 143.19.
    // Flat pixels: Trunc(180.949) = 180.
    const TEmbossLight l = SetEmbossLight(20, DegToRad(30), DegToRad(45));
    const std::vector<std::uint8_t> rows = reliefRows();
    std::vector<std::uint8_t> out(18, 0xEE);
    EmbossRow(l, rows.data(), nullptr, out.data(), 6, 3, 0);
    const int expected[6] = {0xEE, 180, 111, 180, 143, 0xEE}; // the end pixels are not written
    for (int x = 0; x < 6; ++x)
        for (int k = 0; k < 3; ++k) EXPECT_EQ(out[x * 3 + k], expected[x]) << x << "/" << k;

    // With a texture each byte becomes texture * shade shr 8.
    std::vector<std::uint8_t> tex(18);
    for (int x = 0; x < 6; ++x) tex[x * 3] = 200, tex[x * 3 + 1] = 100, tex[x * 3 + 2] = 7;
    EmbossRow(l, rows.data(), tex.data(), out.data(), 6, 3, 0);
    // Pixel 1 (shade 180): 36000, 18000, 1260; pixel 2 (111): 22200, 11100, 777; pixel 4 (143): 28600, 14300.
    const int textured[5][3] = {{}, {140, 70, 4}, {86, 43, 3}, {140, 70, 4}, {111, 55, 3}};
    for (int x = 1; x < 5; ++x)
        for (int k = 0; k < 3; ++k) EXPECT_EQ(out[x * 3 + k], textured[x][k]) << x << "/" << k;
}

TEST(Generators, EmbossRowFacingAwayAndKeepLast) {
    const TEmbossLight l = SetEmbossLight(20, DegToRad(30), DegToRad(45));
    // Steep slopes on a single byte per pixel: heights 0 200 200 0 across, all three rows alike, so
    // pixel 1 has Nx = 3 * (0 - 200) = -600 (NdotL = -80181 < 0: black) and pixel 2 Nx = 600:
    // NdotL = Trunc(94023.66 + 13842.57) = 107866; / Sqrt(360000 + 5852.25) = 178.33 -> 178.
    const std::uint8_t rows[12] = {0, 200, 200, 0, 0, 200, 200, 0, 0, 200, 200, 0};
    std::uint8_t out[4] = {1, 2, 3, 4};
    EmbossRow(l, rows, nullptr, out, 4, 1, 0);
    EXPECT_EQ(std::vector<int>(out, out + 4), (std::vector<int>{1, 0, 178, 4}));

    // Four bytes per pixel with KeepLast: three bytes shaded, the fourth copied from the centre row.
    std::vector<std::uint8_t> r4(3 * 3 * 4, 0);
    for (int r = 0; r < 3; ++r)
        for (int x = 0; x < 3; ++x) r4[(r * 3 + x) * 4 + 3] = static_cast<std::uint8_t>(50 + 10 * r + x);
    std::uint8_t o4[12] = {};
    EmbossRow(l, r4.data(), nullptr, o4, 3, 4, 1);
    EXPECT_EQ(std::vector<int>(o4 + 4, o4 + 8), (std::vector<int>{180, 180, 180, 61})); // 61: centre row
    EmbossRow(l, r4.data(), nullptr, o4, 3, 4, 0);
    EXPECT_EQ(o4[7], 180);
}

TEST(Generators, HeightMapOfFlatImages) {
    TFastDIB bmp, work;
    make24(bmp, 7, 5, TFColor{200, 100, 50});
    HeightMap(bmp, work, 20, 0, 45, 1); // grey: Trunc(sin 45 * 255.9) = 180
    expectAll(bmp, 180, 180, 180);
    EXPECT_EQ(work.Width, 13);
    EXPECT_EQ(work.Height, 11);
    make24(bmp, 7, 5, TFColor{200, 100, 50});
    HeightMap(bmp, work, 20, 0, 45, 0); // textured: c * 180 shr 8
    expectAll(bmp, 140, 70, 35);

    // The height is the blue byte: green and red may vary at random, the relief stays flat.
    make24(bmp, 9, 6, TFColor{77, 0, 0});
    SetRandSeed(5);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) {
            bmp.Pixels24[y][x].g = static_cast<std::uint8_t>(Random(256));
            bmp.Pixels24[y][x].r = static_cast<std::uint8_t>(Random(256));
        }
    HeightMap(bmp, work, 20, 0, 0, 1);
    expectAll(bmp, 180, 180, 180);

    // A light below the horizon: Background -180.9 would wrap to a bright byte; flat areas are black.
    make24(bmp, 4, 4, TFColor{90, 90, 90});
    HeightMap(bmp, work, 20, 30, -45, 1);
    expectAll(bmp, 0, 0, 0);

    // With 1 or 2 columns the left and right neighbours are the same pixel, with 1 or 2 rows the upper
    // and lower: every pixel is flat whatever its height, though the border is wider than the image.
    for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {1, 2}, {2, 1}}) {
        bmp.SetSize(w, h, 24, 0);
        randomFill(bmp, static_cast<std::uint32_t>(w * 10 + h));
        HeightMap(bmp, work, 20, 30, 45, 1);
        expectAll(bmp, 180, 180, 180);
    }
}

TEST(Generators, HeightMapTexturedTakesTheColourOfThePixelAbove) {
    // Flat blue 100 (shade 180); green 20 + 40 y and red 200 - 40 y vary by row. Row 0 takes row 3.
    TFastDIB bmp, work;
    bmp.SetSize(3, 4, 24, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            bmp.Pixels24[y][x] =
                TFColor{100, static_cast<std::uint8_t>(20 + 40 * y), static_cast<std::uint8_t>(200 - 40 * y)};
    HeightMap(bmp, work, 20, 30, 45, 0);
    for (int x = 0; x < 3; ++x) {
        expectPixel(bmp, x, 0, 70, 98, 56);  // from row 3: 140 * 180 = 25200 -> 98, 80 * 180 -> 56
        expectPixel(bmp, x, 1, 70, 14, 140); // from row 0: 20 -> 14, 200 -> 140
        expectPixel(bmp, x, 2, 70, 42, 112); // from row 1: 60 -> 42, 160 -> 112
        expectPixel(bmp, x, 3, 70, 70, 84);  // from row 2: 100 -> 70, 120 -> 84
    }
}

TEST(Generators, HeightMapDefaultsAndWrappedNeighbours) {
    // One row of heights 0 10 20 10: the rows above and below are the row itself, so Ny = 0 and
    // Nx = 3 * (left - right), the neighbours wrapping: pixel 0 and 2 flat (180), pixel 1 Nx = -60:
    // Trunc(-9402.37 + 13842.57) = 4440 / Sqrt(3600 + 5852.25) = 45.67 -> 45; pixel 3 Nx = 60:
    // 23244 / 97.22 = 239.08 -> 239. Azimuth 0, elevation 0 and depth 0 stand for 30, 45 and 20.
    TFastDIB bmp, work;
    auto load = [&] {
        bmp.SetSize(4, 1, 24, 0);
        const std::uint8_t h[4] = {0, 10, 20, 10};
        for (int x = 0; x < 4; ++x) bmp.Pixels24[0][x] = TFColor{h[x], 0, 0};
    };
    for (int depth : {0, 20, 65536, -65536, 65556}) {
        load();
        HeightMap(bmp, work, depth, 0, 0, 1);
        SCOPED_TRACE(depth);
        expectPixel(bmp, 0, 0, 180, 180, 180);
        expectPixel(bmp, 1, 0, 45, 45, 45);
        expectPixel(bmp, 2, 0, 180, 180, 180);
        expectPixel(bmp, 3, 0, 239, 239, 239);
    }
    // GreyRelief is clamped: below 0 is textured, above 1 grey.
    load();
    HeightMap(bmp, work, 20, 30, 45, 7);
    expectPixel(bmp, 3, 0, 239, 239, 239);
    load();
    HeightMap(bmp, work, 20, 30, 45, -3);
    expectPixel(bmp, 2, 0, 14, 0, 0); // texture blue 20 * 180 shr 8
    expectPixel(bmp, 3, 0, 9, 0, 0);  // 10 * 239 shr 8
}

TEST(Generators, HeightMapKeepsASeamlessTileSeamless) {
    struct Case {
        int w, h, dx, dy, depth;
        double az, el;
        int grey;
    };
    const Case cases[] = {{17, 9, 5, 3, 20, 30, 45, 0},    {17, 9, -4, 8, 7, 200, 20, 1},
                          {5, 4, 2, 1, 60, 135, 70, 0},    {2, 3, 1, 2, 20, 0, 0, 1},
                          {64, 48, 31, 47, 3, 300, 10, 0}, {1, 1, 0, 0, 20, 30, 45, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.w * 1000 + c.h);
        TFastDIB a, b, work;
        a.SetSize(c.w, c.h, 24, 0);
        randomFill(a, static_cast<std::uint32_t>(c.w * 31 + c.h));
        copyImage(a, b);
        WrapShift(b, c.dx, c.dy);
        HeightMap(a, work, c.depth, c.az, c.el, c.grey);
        WrapShift(a, c.dx, c.dy);
        HeightMap(b, work, c.depth, c.az, c.el, c.grey);
        EXPECT_TRUE(samePixels(a, b));
    }
}

TEST(Generators, HeightMapLeavesOtherImagesAlone) {
    TFastDIB empty, work, bmp8;
    HeightMap(empty, work, 20, 30, 45, 1);
    EXPECT_TRUE(empty.Empty());
    bmp8.SetSize(4, 4, 8, 0);
    bmp8.Pixels8[1][1] = 33;
    HeightMap(bmp8, work, 20, 30, 45, 1);
    EXPECT_EQ(bmp8.Pixels8[1][1], 33);
    EXPECT_EQ(bmp8.Width, 4);
}

TEST(Generators, SuperNovaDegenerateParameters) {
    TFastDIB src, dst;
    src.SetSize(13, 7, 24, 0);
    randomFill(src, 3);
    for (auto [radius, spokes] : {std::pair{10, 0}, {10, -5}, {0, 12}}) {
        dst.SetSize(0, 0, 0, 0);
        SuperNova(src, dst, 255, 0, 0, 6, 3, radius, spokes, 0);
        EXPECT_TRUE(samePixels(src, dst)) << radius << " " << spokes;
    }
    // An absurd spoke count is capped at 1048576 instead of exhausting memory.
    TFastDIB capped;
    superNovaWithSeed(src, dst, 0, 0, 255, 6, 3, 4, 2147483647, 30, 8);
    superNovaWithSeed(src, capped, 0, 0, 255, 6, 3, 4, 1 << 20, 30, 8);
    EXPECT_TRUE(samePixels(capped, dst));
}

TEST(Generators, SuperNovaOfOneColourKeepsItsChannels) {
    // A red burst (b 0, g 0, r 255) with RandomHue 0: every spoke is red, so the blue and green bytes
    // get the same values everywhere and red is never below them; inside c2 > 1 red is 255; the centre
    // is white (c2 = 900).
    TFastDIB src, dst;
    make24(src, 48, 40, TFColor{100, 100, 100});
    superNovaWithSeed(src, dst, 0, 0, 255, 20, 18, 10, 12, 0, 777);
    expectPixel(dst, 20, 18, 255, 255, 255);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 48; ++x) {
            const TFColor p = dst.Pixels24[y][x];
            ASSERT_EQ(p.b, p.g) << x << "," << y;
            ASSERT_GE(p.r, p.b) << x << "," << y;
            const double c = std::hypot(x - 20, y - 18) / 10;
            if (0.9 / (0.001 + c) > 1) {
                ASSERT_EQ(p.r, 255) << x << "," << y;
            }
        }
}

TEST(Generators, SuperNovaSpokeLengthsFromAFixedSeed) {
    // A black burst over grey 100: the spoke colours are black, so a pixel shows the grey scaled by
    // 1 - cc plus the glow 255 * w * c2 of the spoke lengths. Each spoke draws six numbers for its
    // length (GaussRandom), then one for its hue.
    const std::uint32_t seed = 4242;
    SetRandSeed(seed);
    double len[3];
    for (double& l : len) {
        double sum = 0;
        for (int i = 0; i < 6; ++i) sum += Random(2147483647) / 2147483647.0;
        l = sum / 6;
        Random(2147483647);
    }
    TFastDIB src, dst;
    make24(src, 64, 41, TFColor{100, 100, 100});
    // 20 pixels from the centre at radius 10: c = 2, c2 = 0.9 / 2.001 = cc < 1,
    // val = Trunc(100 * (1 - cc)) = 55, then Trunc(255 * w * c2 + 55).
    const double far = 0.9 / 2.001;
    auto atFar = [&](double l) {
        return static_cast<int>(255 * l * l * far + static_cast<int>(100 * (1 - far)));
    };
    // One spoke: every pixel uses spoke 0.
    superNovaWithSeed(src, dst, 0, 0, 0, 20, 20, 10, 1, 0, seed);
    expectPixel(dst, 40, 20, atFar(len[0]), atFar(len[0]), atFar(len[0]));
    // 5 pixels up: c = 0.5, c2 = 1.796 > 1: the black colour gives 0, then the glow alone.
    const int up = static_cast<int>(255 * std::min(len[0] * len[0] * (0.9 / 0.501), 1.0));
    expectPixel(dst, 20, 15, up, up, up);
    // Three spokes, 9 pixels from the centre: c = 0.9, c2 = 0.9 / 0.901 (the grey term Trunc(0.11) = 0).
    // Straight right the angle is pi/2, t = (0.25 + 0.51) * 3 = 2.28 (spoke 2 towards 0, f 0.28);
    // straight left it is -pi/2, t = 0.78 (spoke 0 towards 1, f 0.78).
    superNovaWithSeed(src, dst, 0, 0, 0, 20, 20, 10, 3, 0, seed);
    const double near = 0.9 / 0.901;
    const int right = static_cast<int>(255 * std::pow(0.72 * len[2] + 0.28 * len[0], 2) * near);
    const int left = static_cast<int>(255 * std::pow(0.22 * len[0] + 0.78 * len[1], 2) * near);
    expectPixel(dst, 29, 20, right, right, right);
    expectPixel(dst, 11, 20, left, left, left);
    // A centre outside the image is clamped to its edge.
    TFastDIB a, b;
    superNovaWithSeed(src, a, 0, 0, 0, -50, 1000, 10, 5, 90, seed);
    superNovaWithSeed(src, b, 0, 0, 0, 0, 40, 10, 5, 90, seed);
    EXPECT_TRUE(samePixels(a, b));
}

TEST(Generators, SuperNovaHueWalkWrapsForAnyRandomHue) {
    // One spoke; red (swapped into blue-green-red order the hue is 4/6, S 1, L 0.5). The walk draws six
    // numbers for the length, then one for the hue: H = 4/6 + (u - 0.5) * 100000 / 360, far outside
    // 0 .. 1, taken modulo 1. The spoke colour then has channels Trunc(255 * HSLToRGB) in b, g, r order.
    const std::uint32_t seed = 97;
    SetRandSeed(seed);
    double sum = 0;
    for (int i = 0; i < 6; ++i) sum += Random(2147483647) / 2147483647.0;
    const double len = sum / 6;
    double H = 4.0 / 6 + (Random(2147483647) / 2147483647.0 - 0.5) * (100000 / 360.0);
    H -= std::floor(H);
    double c0, c1, c2;
    HSLToRGB(c0, c1, c2, H, 1, 0.5);
    const int col[3] = {static_cast<int>(255 * c0), static_cast<int>(255 * c1), static_cast<int>(255 * c2)};
    // Fully saturated: one channel 255, one 0.
    EXPECT_EQ(std::max({col[0], col[1], col[2]}), 255);
    EXPECT_EQ(std::min({col[0], col[1], col[2]}), 0);

    TFastDIB src, dst;
    make24(src, 32, 32, TFColor{0, 0, 0});
    superNovaWithSeed(src, dst, 0, 0, 255, 16, 16, 10, 1, 100000, seed);
    // 15 pixels down: c = 1.5, c2 = 0.9 / 1.501 = cc: val = Trunc(col * cc) over black, plus the glow.
    const double k = 0.9 / 1.501;
    const double glow = 255 * std::min(len * len * k, 1.0);
    int e[3];
    for (int i = 0; i < 3; ++i) e[i] = std::min(255, static_cast<int>(glow + static_cast<int>(col[i] * k)));
    expectPixel(dst, 16, 31, e[0], e[1], e[2]);
}

TEST(Generators, FourCornerGradientCornersAndCentre) {
    const TFColor tl{200, 0, 40}, tr{100, 100, 0}, bl{0, 200, 80}, br{60, 40, 255};
    TFastDIB bmp;
    make24(bmp, 7, 7, TFColor{1, 2, 3});
    // Rectangle (1, 1) - (5, 5): dx = dy = $100000 div 4 = $40000, exact quarters.
    FourCornerGradient(bmp, 1, 1, 5, 5, tl, tr, bl, br);
    // The corners; the centre: left (TL + BL) / 2 = (100, 100, 60), right (80, 70, 127), halfway
    // (90, 85, 93); a quarter along the top TL + (TR - TL) / 4 = (175, 25, 30); outside it nothing changed.
    const int want[][5] = {{1, 1, 200, 0, 40},  {5, 1, 100, 100, 0}, {1, 5, 0, 200, 80},
                           {5, 5, 60, 40, 255}, {3, 3, 90, 85, 93},  {2, 1, 175, 25, 30},
                           {0, 0, 1, 2, 3},     {6, 3, 1, 2, 3},     {3, 6, 1, 2, 3}};
    for (const auto& w : want) expectPixel(bmp, w[0], w[1], w[2], w[3], w[4]);

    // The pairs may come in any order.
    TFastDIB swapped;
    make24(swapped, 7, 7, TFColor{1, 2, 3});
    FourCornerGradient(swapped, 5, 5, 1, 1, tl, tr, bl, br);
    EXPECT_TRUE(samePixels(bmp, swapped));
}

TEST(Generators, FourCornerGradientFixedPointSteps) {
    // Three steps from 0 to 255 across one row: dx = $100000 div 3 = 349525, step 255 * dx; the
    // running value shr 20 gives 84, 169 and 254 (the end falls just short of 255).
    TFastDIB bmp;
    make24(bmp, 4, 1, TFColor{9, 9, 9});
    const TFColor black{0, 0, 0}, white{255, 255, 255};
    FourCornerGradient(bmp, 0, 0, 3, 0, black, white, white, white);
    const int want[4] = {0, 84, 169, 254};
    for (int x = 0; x < 4; ++x) expectPixel(bmp, x, 0, want[x], want[x], want[x]);
}

TEST(Generators, FourCornerGradientEdgeCases) {
    TFastDIB bmp;
    const TFColor c{10, 20, 30}, d{200, 100, 50};
    make24(bmp, 6, 4, TFColor{1, 1, 1});
    FourCornerGradient(bmp, 0, 0, 5, 3, c, c, c, c);
    expectAll(bmp, 10, 20, 30);
    // One pixel: TopLeft.
    FourCornerGradient(bmp, 2, 1, 2, 1, d, c, c, c);
    expectPixel(bmp, 2, 1, 200, 100, 50);
    expectPixel(bmp, 3, 1, 10, 20, 30);
    // A corner outside the image: nothing drawn.
    make24(bmp, 6, 4, c);
    for (auto [x1, y1, x2, y2] : {std::tuple{-1, 0, 3, 3}, {0, -1, 3, 3}, {0, 0, 6, 3}, {0, 0, 5, 4}}) {
        FourCornerGradient(bmp, x1, y1, x2, y2, d, d, d, d);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) ASSERT_TRUE(bmp.Pixels24[y][x] == c) << x1 << y1 << x2 << y2;
    }
}

TEST(Generators, ColorWheelPixels) {
    TFastDIB bmp;
    make24(bmp, 300, 260, TFColor{7, 7, 7});
    ColorWheel(bmp);
    const int want[][5] = {
        {128, 128, 255, 255, 255}, // centre: white
        {192, 128, 0, 0, 255},     // hue 0 at d = 1: pure red
        {0, 0, 0, 0, 0},           // outside the ring
        {128, 192, 0, 255, 128},   // pi/2: hue 96 = (0.5, 1, 0); 127.5 rounds to 128
        {64, 128, 255, 255, 0},    // pi: hue 192 = cyan
        {128, 64, 255, 0, 128},    // 3 pi/2: hue 288 = (0.5, 0, 1)
        {160, 128, 128, 128, 255}, // d = 0.5: 1 - d + channel * d
        {224, 128, 0, 0, 128},     // d = 1.5: (2 - d) * channel
        {255, 128, 0, 0, 4},       // d = 127 / 64: 255 / 64 = 3.98
        {192, 192, 0, 112, 149},   // pi/4: hue 48 = (1, 0.75, 0) times 2 - Sqrt(2)
        {128, 160, 128, 255, 191}, // hue 96 at d = 0.5: (0.75, 1, 0.5)
        {256, 128, 7, 7, 7},       // only the top-left 256 x 256 pixels are drawn
        {128, 256, 7, 7, 7},
    };
    for (const auto& w : want) expectPixel(bmp, w[0], w[1], w[2], w[3], w[4]);
}

TEST(Generators, ColorWheelClipsToSmallImages) {
    TFastDIB full, small;
    make24(full, 256, 256, TFColor{0, 0, 0});
    ColorWheel(full);
    make24(small, 200, 130, TFColor{0, 0, 0});
    ColorWheel(small);
    for (int y = 0; y < 130; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_TRUE(small.Pixels24[y][x] == full.Pixels24[y][x]) << x << "," << y;
    TFastDIB empty;
    ColorWheel(empty);
    EXPECT_TRUE(empty.Empty());
}
