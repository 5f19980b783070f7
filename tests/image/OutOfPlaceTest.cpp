// The routines that read one image and write another: on any size, and with the destination full of
// garbage, they give the bytes of the in-place routine on a copy of the source, leave the source alone
// and stop when asked without writing into it.
#include "BandedTest.h"
#include "image/FastFX.h"
#include "image/Numeric.h"
#include "image/Parallel.h"
#include "image/WorkControl.h"
#include "image/ZorvFX.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

void randomImage(TFastDIB& b, int w, int h, std::uint32_t seed) {
    SetRandSeed(seed);
    b.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < b.BWidth; ++i) b.Scanlines[y][i] = static_cast<std::uint8_t>(Random(256));
}

// Pixels only: the row padding is no routine's business.
std::vector<std::uint8_t> pixelsOf(const TFastDIB& b) {
    std::vector<std::uint8_t> v;
    for (int y = 0; y < b.Height; ++y) v.insert(v.end(), b.Scanlines[y], b.Scanlines[y] + 3 * b.Width);
    return v;
}

struct Form {
    std::string name;
    std::function<void(TFastDIB&)> inPlace;
    std::function<void(const TFastDIB&, TFastDIB&)> outOfPlace;
};

std::vector<Form> forms() {
    static const int soften[9] = {1, 2, 1, 2, 4, 2, 1, 2, 1};
    static const int sharpen[9] = {-1, -1, -1, -1, 9, -1, -1, -1, -1};
    static const int wide[9] = {300, -200, 100, 0, 500, -700, 20, 10, 900};               // 32-bit sums
    static const int huge[9] = {2000000000, -3, 7, 1, 1000000000, 5, -2000000000, 9, 11}; // 64-bit sums
    auto conv = [](const int(&k)[9], int n, std::uint16_t d) {
        return Form{
            "Convolve3x3/" + std::to_string(k[0]) + "/" + std::to_string(n) + "/" + std::to_string(d),
            [&k, n, d](TFastDIB& b) { Convolve3x3(std::span<const int>(k, n), d, b); },
            [&k, n, d](const TFastDIB& s, TFastDIB& b) { Convolve3x3(std::span<const int>(k, n), d, s, b); }};
    };
    auto emboss = [](int a) {
        return Form{"ClassicEmboss/" + std::to_string(a),
                    [a](TFastDIB& b) {
                        TFastDIB work;
                        ClassicEmboss(b, work, a);
                    },
                    [a](const TFastDIB& s, TFastDIB& d) { ClassicEmboss(s, d, a); }};
    };
    auto button = [](int w) {
        return Form{"Buttonize/" + std::to_string(w),
                    [w](TFastDIB& b) { Buttonize(b, 0xF0E0D0, 0x102030, w); },
                    [w](const TFastDIB& s, TFastDIB& d) { Buttonize(s, d, 0xF0E0D0, 0x102030, w); }};
    };
    auto trace = [](int n) {
        return Form{"TraceEdges/" + std::to_string(n), [n](TFastDIB& b) { TraceEdges(b, n, 0x00FF80); },
                    [n](const TFastDIB& s, TFastDIB& d) { TraceEdges(s, d, n, 0x00FF80); }};
    };
    auto ripple = [](int a) {
        return Form{"RippleTooth/" + std::to_string(a), [a](TFastDIB& b) { RippleTooth(b, a); },
                    [a](const TFastDIB& s, TFastDIB& d) { RippleTooth(s, d, a); }};
    };
    auto sineUD = [](int a, bool wrap, float p, bool peaks) {
        return Form{"SineWaveUD/" + std::to_string(a) + "/" + std::to_string(wrap) + "/" + std::to_string(p),
                    [=](TFastDIB& b) { SineWaveUD(b, a, wrap, p, peaks); },
                    [=](const TFastDIB& s, TFastDIB& d) { SineWaveUD(s, d, a, wrap, p, peaks); }};
    };
    auto sineLR = [](int a, bool wrap, float p, bool peaks) {
        return Form{"SineWaveLR/" + std::to_string(a) + "/" + std::to_string(wrap) + "/" + std::to_string(p),
                    [=](TFastDIB& b) { SineWaveLR(b, a, wrap, p, peaks); },
                    [=](const TFastDIB& s, TFastDIB& d) { SineWaveLR(s, d, a, wrap, p, peaks); }};
    };
    auto sineBoth = [](int aUD, int aLR, float pUD, float pLR) {
        return Form{"SineWaveBoth/" + std::to_string(aUD) + "/" + std::to_string(pUD),
                    [=](TFastDIB& b) { SineWaveBoth(b, aUD, aLR, pUD, pLR); },
                    [=](const TFastDIB& s, TFastDIB& d) { SineWaveBoth(s, d, aUD, aLR, pUD, pLR); }};
    };
    return {
        conv(soften, 9, 16),
        conv(sharpen, 9, 1),
        conv(sharpen, 9, 3),
        conv(wide, 9, 700),
        conv(huge, 9, 65535),
        conv(soften, 9, 0), // refused: a copy
        conv(soften, 8, 1), // too few weights: a copy
        {"GrayScale24", [](TFastDIB& b) { GrayScale24(b); },
         [](const TFastDIB& s, TFastDIB& d) { GrayScale24(s, d); }},
        emboss(200),
        emboss(-7),
        button(9),
        button(1), // too narrow: a copy
        trace(1),
        trace(2),
        trace(0), // a copy
        ripple(5),
        ripple(1), // a copy
        sineUD(7, true, 2, true),
        sineUD(-9, false, 3, false),
        sineUD(40, false, 1.5f, true),
        sineUD(5, true, 0, true), // a copy
        sineLR(7, true, 2, true),
        sineLR(-9, false, 3, false),
        sineLR(40, false, 1.5f, true),
        sineLR(5, false, 0, false), // a copy
        sineBoth(5, 4, 2, 3),
        sineBoth(500, -300, 1, 7),
        sineBoth(5, 4, 0, 3), // a copy
        {"MirrorLR", [](TFastDIB& b) { MirrorLR(b); },
         [](const TFastDIB& s, TFastDIB& d) { MirrorLR(s, d); }},
        {"MirrorUD", [](TFastDIB& b) { b.Flop(); }, [](const TFastDIB& s, TFastDIB& d) { MirrorUD(s, d); }},
    };
}

// 203 x 67 splits into several bands with the threshold at 0.
const std::pair<int, int> Sizes[] = {{1, 1}, {1, 9}, {9, 1}, {2, 2}, {7, 5}, {203, 67}};

struct OutOfPlace : BandedTest {};

TEST_P(OutOfPlace, DestinationGetsTheInPlaceBytesAndSourceStaysAsItWas) {
    for (const Form& f : forms()) {
        for (auto [w, h] : Sizes) {
            SCOPED_TRACE(f.name + " " + std::to_string(w) + " x " + std::to_string(h));
            TFastDIB src, want, dst;
            randomImage(src, w, h, 11);
            randomImage(want, w, h, 11);
            f.inPlace(want);
            randomImage(dst, w, h, 12345); // garbage: every pixel must be written
            f.outOfPlace(src, dst);
            const TFastDIB& srcConst = src;
            EXPECT_EQ(pixelsOf(dst), pixelsOf(want));
            TFastDIB again;
            randomImage(again, w, h, 11);
            EXPECT_EQ(pixelsOf(srcConst), pixelsOf(again)) << "source changed";
        }
    }
}

TEST_P(OutOfPlace, AStopThrowsWithoutTouchingTheSourceAndAClearedRunIsWhole) {
    for (const Form& f : forms()) {
        for (auto [w, h] : {std::pair{1, 1}, std::pair{203, 67}}) {
            SCOPED_TRACE(f.name + " " + std::to_string(w) + " x " + std::to_string(h));
            TFastDIB src, orig, want, dst;
            randomImage(src, w, h, 21);
            randomImage(orig, w, h, 21);
            randomImage(want, w, h, 21);
            f.inPlace(want);
            randomImage(dst, w, h, 99);
            RequestWorkStop();
            EXPECT_THROW(f.outOfPlace(src, dst), EWorkStopped);
            EXPECT_EQ(pixelsOf(src), pixelsOf(orig));
            ClearWorkStop();
            f.outOfPlace(src, dst);
            EXPECT_EQ(pixelsOf(dst), pixelsOf(want));
        }
    }
}

// The bevel is laid strip after strip (right, left, bottom, top), each strip over all its rows; the
// routine works row by row in bands, which must give the same bytes, also where the strips overlap.
void refButtonize(TFastDIB& b, TColor Color1, TColor Color2, int Width) {
    const int w = b.Width, h = b.Height, e = std::min({Width, w, h}), d = e - 1;
    if (e < 2) return;
    const TFColor f1 = ColorToFColor(Color1), f2 = ColorToFColor(Color2);
    const int c1[3] = {f1.b, f1.g, f1.r}, c2[3] = {f2.b, f2.g, f2.r};
    auto toward = [d](std::uint8_t& v, int i, int c) {
        v = static_cast<std::uint8_t>(v + MulDiv(i, c - v, d));
    };
    auto from = [d](std::uint8_t& v, int i, int c) {
        v = static_cast<std::uint8_t>(c + MulDiv(i, v - c, d));
    };
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < e; ++i)
            for (int c = 0; c < 3; ++c) toward(b.Scanlines[y][3 * (w - e + i) + c], i, c1[c]);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < e; ++i)
            for (int c = 0; c < 3; ++c) from(b.Scanlines[y][3 * i + c], i, c2[c]);
    for (int j = 0; j < e; ++j)
        for (int x = e - j; x <= w - 1 - e + j; ++x)
            for (int c = 0; c < 3; ++c) toward(b.Scanlines[h - e + j][3 * x + c], j, c1[c]);
    for (int j = 0; j < e; ++j)
        for (int x = j; x <= w - 1 - j; ++x)
            for (int c = 0; c < 3; ++c) from(b.Scanlines[j][3 * x + c], j, c2[c]);
}

TEST_P(OutOfPlace, ButtonizeRowByRowGivesTheBytesOfStripAfterStrip) {
    for (auto [w, h, e] :
         {std::tuple{7, 5, 9}, std::tuple{30, 20, 12}, std::tuple{203, 67, 40}, std::tuple{2, 9, 3}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h) + " edge " + std::to_string(e));
        TFastDIB src, want, got, dst;
        randomImage(src, w, h, 4);
        randomImage(want, w, h, 4);
        randomImage(got, w, h, 4);
        randomImage(dst, w, h, 40);
        refButtonize(want, 0x3080F0, 0xC01020, e);
        Buttonize(got, 0x3080F0, 0xC01020, e);
        Buttonize(src, dst, 0x3080F0, 0xC01020, e);
        EXPECT_EQ(pixelsOf(got), pixelsOf(want));
        EXPECT_EQ(pixelsOf(dst), pixelsOf(want));
    }
}

INSTANTIATE_TEST_SUITE_P(Threads, OutOfPlace, ::testing::Values(1, 4));

TEST(OutOfPlaceTarget, DestinationOfAnotherSizeIsResizedAndAnEmptySourceLeavesItAlone) {
    TFastDIB src, dst, want;
    randomImage(src, 13, 6, 5);
    randomImage(want, 13, 6, 5);
    GrayScale24(want);
    randomImage(dst, 4, 40, 6);
    GrayScale24(src, dst);
    ASSERT_EQ(dst.Width, 13);
    ASSERT_EQ(dst.Height, 6);
    EXPECT_EQ(dst.Bpp, 24);
    EXPECT_EQ(pixelsOf(dst), pixelsOf(want));

    TFastDIB empty;
    const std::vector<std::uint8_t> before = pixelsOf(dst);
    MirrorLR(empty, dst);
    Convolve3x3(std::vector<int>(9, 1), 9, empty, dst);
    EXPECT_EQ(dst.Width, 13);
    EXPECT_EQ(pixelsOf(dst), before);
}

TEST(OutOfPlaceTarget, OneImageAsBothRunsInPlace) {
    for (const Form& f : forms()) {
        SCOPED_TRACE(f.name);
        TFastDIB b, want;
        randomImage(b, 17, 9, 8);
        randomImage(want, 17, 9, 8);
        f.inPlace(want);
        f.outOfPlace(b, b);
        EXPECT_EQ(pixelsOf(b), pixelsOf(want));
    }
}

// Worked by hand: a kernel that takes one neighbour moves the picture; at the edges that neighbour is
// the pixel at the opposite edge.
TEST(OutOfPlaceConvolve, EdgePixelsTakeTheirNeighboursFromTheOppositeEdge) {
    TFastDIB src, dst;
    src.SetSize(3, 2, 24, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            src.SetPixel(y, x, TFColor{std::uint8_t(10 * x + y), 7, std::uint8_t(100 + x)});
    randomImage(dst, 3, 2, 3);
    const int left[9] = {0, 0, 0, 1, 0, 0, 0, 0, 0}; // pixel (x - 1, y)
    Convolve3x3(left, 1, src, dst);
    EXPECT_EQ(dst.GetPixel(0, 0), (TFColor{20, 7, 102}));
    EXPECT_EQ(dst.GetPixel(0, 1), (TFColor{0, 7, 100}));
    EXPECT_EQ(dst.GetPixel(1, 2), (TFColor{11, 7, 101}));
    const int belowRight[9] = {0, 0, 0, 0, 0, 0, 0, 0, 2}; // 2 x pixel (x + 1, y + 1), halved
    Convolve3x3(belowRight, 2, src, dst);
    EXPECT_EQ(dst.GetPixel(1, 2), (TFColor{0, 7, 100}));
    EXPECT_EQ(dst.GetPixel(0, 0), (TFColor{11, 7, 101}));
    EXPECT_EQ(dst.GetPixel(0, 2), (TFColor{1, 7, 100}));
}

TEST(OutOfPlaceMirror, RowsAndColumnsComeReversed) {
    TFastDIB src, lr, ud;
    src.SetSize(2, 3, 24, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x) src.SetPixel(y, x, TFColor{std::uint8_t(x), std::uint8_t(y), 9});
    randomImage(lr, 2, 3, 1);
    randomImage(ud, 2, 3, 2);
    MirrorLR(src, lr);
    MirrorUD(src, ud);
    EXPECT_EQ(lr.GetPixel(0, 0), (TFColor{1, 0, 9}));
    EXPECT_EQ(lr.GetPixel(2, 1), (TFColor{0, 2, 9}));
    EXPECT_EQ(ud.GetPixel(0, 0), (TFColor{0, 2, 9}));
    EXPECT_EQ(ud.GetPixel(2, 1), (TFColor{1, 0, 9}));
    EXPECT_EQ(ud.GetPixel(1, 1), (TFColor{1, 1, 9}));
}

} // namespace
