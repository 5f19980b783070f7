#include "app/effects/ColorEffects.h"
#include "app/effects/EffectTestImages.h"
#include "common/QtTestSupport.h"
#include "image/FastFX.h"
#include "image/Parallel.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

using namespace efx;

namespace {

TFColor onePixel(TFColor p, const std::function<void(TFastDIB&)>& fx) {
    TFastDIB b;
    uniform(b, 3, 2, p);
    fx(b);
    return at(b, 2, 1);
}

} // namespace

TEST(ColorEffectsTest, ColorRotateByBits) {
    struct Case {
        int n;
        TFColor expected;
    };
    // (R, G, B) = (1, 2, 3) is the 24-bit value 0x030201.
    for (const Case& k : std::array<Case, 7>{{{8, rgb(3, 1, 2)},
                                              {24, rgb(1, 2, 3)},
                                              {0, rgb(1, 2, 3)},
                                              {-8, rgb(1, 2, 3)},
                                              {1, rgb(2, 4, 6)},
                                              {9, rgb(6, 2, 4)},
                                              {INT_MAX, rgb(129, 0, 129)}}}) // INT_MAX mod 24 = 7: 0x810081
        EXPECT_EQ(onePixel(rgb(1, 2, 3), [&](TFastDIB& b) { ColorRotateFX(b, k.n); }), k.expected) << k.n;
    EXPECT_EQ(RotateColorLeft(0x800001u), 0x000003u);
}

TEST(ColorEffectsTest, ChannelTablesOfNegativeBrightenLighten) {
    const auto lite = MakeLiteRay();
    struct Case {
        int in, negative, brighten, lighten;
    };
    for (const Case& k : std::array<Case, 7>{{{0, 255, 0, 0},
                                              {1, 254, 1, 2},
                                              {10, 245, 10, 16}, // 10 * 0.05 = 0.5 rounds to even 0
                                              {30, 225, 32, 41}, // 1.5 rounds to 2
                                              {128, 127, 134, 142},
                                              {250, 5, 255, 251},
                                              {255, 0, 255, 255}}}) {
        const TFColor p = rgb(k.in, k.in, k.in);
        EXPECT_EQ(onePixel(p, [](TFastDIB& b) { NegativeFX(b); }).r, k.negative) << k.in;
        EXPECT_EQ(onePixel(p, [](TFastDIB& b) { BrightenFX(b); }).g, k.brighten) << k.in;
        EXPECT_EQ(onePixel(p, [&](TFastDIB& b) { LightenFX(b, lite); }).b, k.lighten) << k.in;
    }
    EXPECT_EQ(lite[32], 44);
    EXPECT_EQ(lite[64], 79);
    EXPECT_EQ(lite[192], 200);
    TFastDIB a, b;
    randomTile(a, 7, 5, 3);
    copyOf(a, b);
    NegativeFX(b);
    NegativeFX(b);
    EXPECT_TRUE(SameDIB(a, b));
}

TEST(ColorEffectsTest, TintEraseAndExchange) {
    struct Case {
        TFColor in, tint, expected;
    };
    for (const Case& k : std::array<Case, 4>{{{rgb(90, 90, 90), rgb(255, 255, 255), rgb(90, 90, 90)},
                                              {rgb(255, 0, 0), rgb(255, 255, 255), rgb(255, 255, 255)},
                                              {rgb(10, 51, 3), rgb(100, 200, 5), rgb(20, 40, 1)},
                                              {rgb(0, 0, 0), rgb(100, 200, 5), rgb(0, 0, 0)}}})
        EXPECT_EQ(onePixel(k.in, [&](TFastDIB& b) { TintImage(b, k.tint.r, k.tint.g, k.tint.b); }),
                  k.expected);
    EXPECT_EQ(onePixel(rgb(7, 8, 9), EraseToBlackFX), rgb(0, 0, 0));

    struct Ex {
        TFColor in;
        int tol;
        bool changes;
    };
    const TColor from = RGBColor(100, 100, 100), to = RGBColor(1, 2, 3);
    for (const Ex& k : std::array<Ex, 6>{{{rgb(100, 100, 100), 0, true},
                                          {rgb(101, 100, 100), 0, false},
                                          {rgb(110, 90, 100), 10, true},
                                          {rgb(111, 100, 100), 10, false},
                                          {rgb(255, 0, 17), 300, true},
                                          {rgb(255, 0, 17), 155, true}}})
        EXPECT_EQ(onePixel(k.in, [&](TFastDIB& b) { ExchangeColorFX(b, from, to, std::uint16_t(k.tol)); }),
                  k.changes ? rgb(1, 2, 3) : k.in)
            << k.tol;
}

TEST(ColorEffectsTest, GradientBarsOfOneBar) {
    TFastDIB b;
    tagged(b, 8, 3);
    // c1 = (200, 0, 0), c2 = (0, 0, 100); column 7: s = Trunc(sin(7 pi / 8) * 255) = 97.
    ASSERT_TRUE(GradientBarsFX(b, RGBColor(200, 0, 0), RGBColor(0, 0, 100), 1));
    EXPECT_EQ(at(b, 0, 0), rgb(200, 0, 0));
    EXPECT_EQ(at(b, 4, 1), rgb(0, 0, 100));
    EXPECT_EQ(at(b, 7, 2), rgb(124, 0, 38)); // 200 + (-200 * 97) div 255; 0 + (100 * 97) div 255
    for (int y = 1; y < 3; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(at(b, x, y), at(b, x, 0));
    TFastDIB c;
    tagged(c, 8, 3);
    EXPECT_FALSE(GradientBarsFX(c, 0, 0xFFFFFF, 0));
    EXPECT_FALSE(GradientBarsFX(c, 0, 0xFFFFFF, -2));
    EXPECT_EQ(at(c, 5, 2), tag(5, 2));
}

TEST(ColorEffectsTest, MergeWeightsAndClampsThePercentage) {
    struct Case {
        int p;
        int other, image, expected;
    };
    for (const Case& k : std::array<Case, 7>{{{100, 200, 100, 200},
                                              {0, 200, 100, 100},
                                              {50, 200, 100, 150},
                                              {50, 201, 100, 150}, // 150.5 rounds to even
                                              {50, 203, 100, 152}, // 151.5 rounds to even
                                              {150, 200, 100, 200},
                                              {-5, 200, 100, 100}}}) {
        TFastDIB b, o;
        uniform(b, 4, 4, rgb(k.image, k.image, k.image));
        uniform(o, 2, 1, rgb(k.other, k.other, k.other)); // stretched over the image
        MergeImagesFX(b, o, k.p);
        EXPECT_EQ(at(b, 3, 3), rgb(k.expected, k.expected, k.expected)) << k.p << " " << k.other;
    }
    // 100 gives the stretched other image.
    TFastDIB b, o;
    tagged(b, 4, 4);
    tagged(o, 2, 2);
    MergeImagesFX(b, o, 100);
    EXPECT_EQ(at(b, 3, 0), at(o, 1, 0));
    EXPECT_EQ(at(b, 1, 2), at(o, 0, 1));
}

TEST(ColorEffectsTest, StretchBlurShiftsAndBlendsByTheWeight) {
    TFastDIB src, b, black, white;
    tagged(src, 5, 3);
    uniform(black, 2, 2, rgb(0, 0, 0));
    uniform(white, 2, 2, rgb(255, 255, 255));
    // Black weight: each pass takes the shifted image; 4 passes by (1, 0), then back by 2: shifted by 2.
    copyOf(src, b);
    ASSERT_TRUE(StretchBlurFX(b, &black, 1, 0, 4));
    for (int x = 0; x < 5; ++x) EXPECT_EQ(at(b, x, 1), at(src, (x + 2) % 5, 1));
    // White weight keeps every previous pass; the shift back by (-(2 * 3)) div 2 = -3 rows remains.
    copyOf(src, b);
    ASSERT_TRUE(StretchBlurFX(b, &white, 0, 2, 3));
    for (int y = 0; y < 3; ++y) EXPECT_EQ(at(b, 1, y), at(src, 1, (y - 3 + 6) % 3));
    // Both steps 0: nothing.
    copyOf(src, b);
    EXPECT_FALSE(StretchBlurFX(b, nullptr, 0, 0, 32));
    EXPECT_TRUE(SameDIB(src, b));
    // A weight of grey 153 (0.6): c := nint(c * 0.4 + c' * 0.6).
    TFastDIB half, two;
    uniform(half, 1, 1, rgb(153, 153, 153));
    fill(two, 2, 1, [](int x, int) { return x == 0 ? rgb(10, 10, 10) : rgb(100, 100, 100); });
    ASSERT_TRUE(StretchBlurFX(two, &half, 1, 0, 1));
    // Pass: shifted (100, 10) blended over (10, 100): 100 * 0.4 + 10 * 0.6 = 46, 10 * 0.4 + 100 * 0.6 = 64.
    EXPECT_EQ(at(two, 0, 0).r, 46);
    EXPECT_EQ(at(two, 1, 0).r, 64);
}

TEST(ColorEffectsTest, StretchBlurVectorKernelGivesThePlainLoopsBytes) {
    struct Case {
        int lr, ud;
        bool self;
    };
    for (const Case& k : std::array<Case, 4>{{{1, 1, false}, {-1, 1, true}, {5, 0, true}, {0, -3, false}}}) {
        TFastDIB a, b, weight;
        randomTile(a, 37, 23, 21);
        copyOf(a, b);
        randomTile(weight, 11, 7, 22);
        SetBlendKernelEnabled(false);
        StretchBlurFX(a, k.self ? nullptr : &weight, k.lr, k.ud, 32);
        SetBlendKernelEnabled(true);
        StretchBlurFX(b, k.self ? nullptr : &weight, k.lr, k.ud, 32);
        EXPECT_TRUE(SameDIB(a, b)) << k.lr << " " << k.ud;
    }
}

TEST(ColorEffectsTest, StretchBlurGivesTheSameBytesOnOneThreadAndInBandsOnMany) {
    for (const bool self : {false, true}) {
        TFastDIB one, many, weight;
        randomTile(one, 61, 47, 31);
        copyOf(one, many);
        randomTile(weight, 13, 9, 32);
        SetParallelThreads(1);
        ASSERT_TRUE(StretchBlurFX(one, self ? nullptr : &weight, 3, -2, 9));
        SetParallelThreads(4);
        SetParallelMinWork(0); // every pass in bands on the pool
        ASSERT_TRUE(StretchBlurFX(many, self ? nullptr : &weight, 3, -2, 9));
        SetParallelMinWork(ParallelMinWorkDefault);
        SetParallelThreads(0);
        EXPECT_TRUE(SameDIB(one, many)) << self;
    }
}

TEST(ColorEffectsTest, BandsAndSecondImageGiveTheInPlaceBytes) {
    // Several bands on several threads; the second image starts as junk and must be written whole.
    SetParallelThreads(4);
    SetParallelMinWork(0);
    const auto lite = MakeLiteRay();
    struct Case {
        const char* name;
        std::function<void(TFastDIB&)> inPlace;
        std::function<void(const TFastDIB&, TFastDIB&)> pair;
    };
    const std::vector<Case> cases{
        {"Color Rotate 5", [](TFastDIB& b) { ColorRotateFX(b, 5); },
         [](const TFastDIB& s, TFastDIB& d) { ColorRotateFX(s, d, 5); }},
        {"Color Rotate 48", [](TFastDIB& b) { ColorRotateFX(b, 48); },
         [](const TFastDIB& s, TFastDIB& d) { ColorRotateFX(s, d, 48); }},
        {"Negative", [](TFastDIB& b) { NegativeFX(b); },
         [](const TFastDIB& s, TFastDIB& d) { NegativeFX(s, d); }},
        {"Brighten", [](TFastDIB& b) { BrightenFX(b); },
         [](const TFastDIB& s, TFastDIB& d) { BrightenFX(s, d); }},
        {"Lighten", [&](TFastDIB& b) { LightenFX(b, lite); },
         [&](const TFastDIB& s, TFastDIB& d) { LightenFX(s, d, lite); }},
        {"Tint", [](TFastDIB& b) { TintImage(b, 200, 100, 30); },
         [](const TFastDIB& s, TFastDIB& d) { TintImage(s, d, 200, 100, 30); }},
        {"Exchange", [](TFastDIB& b) { ExchangeColorFX(b, RGBColor(128, 128, 128), 0xFF, 90); },
         [](const TFastDIB& s, TFastDIB& d) { ExchangeColorFX(s, d, RGBColor(128, 128, 128), 0xFF, 90); }},
    };
    TFastDIB src;
    randomTile(src, 203, 67, 21);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TFastDIB expected, dst, kept;
        copyOf(src, expected);
        copyOf(src, kept);
        k.inPlace(expected);
        dst.SetSize(203, 67, 24, 0);
        std::memset(dst.Bits, 0x5A, static_cast<std::size_t>(dst.ByteCount()));
        k.pair(src, dst);
        for (int y = 0; y < 67; ++y) {
            ASSERT_EQ(std::memcmp(dst.Scanlines[y], expected.Scanlines[y], 3 * 203), 0) << "row " << y;
            ASSERT_EQ(std::memcmp(src.Scanlines[y], kept.Scanlines[y], 3 * 203), 0) << "source row " << y;
        }
    }
    // The negative of every byte, worked out, over all the bands.
    TFastDIB neg;
    copyOf(src, neg);
    NegativeFX(neg);
    for (int y = 0; y < 67; ++y)
        for (int i = 0; i < 3 * 203; ++i) ASSERT_EQ(neg.Scanlines[y][i], 255 - src.Scanlines[y][i]);
    // Erase to Black and Gradient Bars write every pixel without reading any.
    TFastDIB junk;
    junk.SetSize(203, 67, 24, 0);
    std::memset(junk.Bits, 0x5A, static_cast<std::size_t>(junk.ByteCount()));
    EraseToBlackFX(junk);
    for (int y = 0; y < 67; ++y)
        for (int i = 0; i < 3 * 203; ++i) ASSERT_EQ(junk.Scanlines[y][i], 0);
    std::memset(junk.Bits, 0x5A, static_cast<std::size_t>(junk.ByteCount()));
    ASSERT_TRUE(GradientBarsFX(junk, RGBColor(0, 0, 0), RGBColor(255, 255, 255), 3));
    for (int y = 1; y < 67; ++y) ASSERT_EQ(std::memcmp(junk.Scanlines[y], junk.Scanlines[0], 3 * 203), 0);
    SetParallelMinWork(ParallelMinWorkDefault);
    SetParallelThreads(0);
}
