// FastFX: channel tables, saturation and noise at every depth; wrap shift, mirror and rotation.
#include "image/FastFX.h"
#include "image/FastFX_Simd.h"
#include "image/Numeric.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

TFColor rgb(int r, int g, int b) {
    return MakeFColor(r, g, b);
}

// Every byte of the image's memory, gap bytes included.
std::vector<std::uint8_t> bytesOf(const TFastDIB& d) {
    return {d.Bits, d.Bits + d.ByteCount()};
}

// A w x h 24-bit image whose pixel (x, y) is r = x, g = y, b = 7 x + 3 y; gap bytes set to 0xEE.
void makePicture(TFastDIB& d, int w, int h, int bpp = 24) {
    d.SetSize(w, h, bpp, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) d.SetPixel(y, x, rgb(x, y, (7 * x + 3 * y) & 255));
        for (int i = d.BWidth - d.Gap; i < d.BWidth; ++i) d.Scanlines[y][i] = 0xEE;
    }
}

} // namespace

TEST(FastFXTables, ShiftContrastLightness) {
    // Table kind (S shift, C contrast, L lightness), amount, index, expected entry.
    struct Case {
        char kind;
        int amount, i, v;
    } cases[] = {
        {'S', 10, 0, 10},         {'S', 10, 245, 255},    {'S', 10, 250, 255},
        {'S', -10, 5, 0},         {'S', -10, 10, 0},      {'S', -10, 255, 245},
        {'S', 1000, 0, 255},      {'S', INT_MIN, 255, 0}, {'C', 255, 0, 0}, // 0 - 127 clamped
        {'C', 255, 64, 1},                                                  // 64 - 63
        {'C', 255, 126, 125},                                               // 126 - (2 * 255 div 256 = 1)
        {'C', 255, 127, 127},                                               // 127 + (255 div 256 = 0)
        {'C', 255, 128, 128},     {'C', 255, 192, 255},                     // 192 + 63
        {'C', 255, 255, 255},                                               // 255 + 126 clamped
        {'C', -255, 0, 127},                            // pulls in: d negative, truncated toward zero
        {'C', -255, 255, 129},                          // 255 + (-126)
        {'C', INT_MAX, 100, 0},                         // no overflow: plain black and white
        {'C', INT_MAX, 129, 255}, {'L', 255, 0, 254},   // 255 * 255 shr 8
        {'L', 255, 255, 255},     {'L', 255, 128, 254}, // 128 + (127 * 255 shr 8 = 126)
        {'L', 128, 128, 191},                           // 128 + (127 * 128 shr 8 = 63)
        {'L', -255, 255, 1},      {'L', -255, 0, 0},      {'L', -255, 100, 1}, // 100 - (25500 shr 8 = 99)
        {'L', INT_MIN, 200, 0},
    };
    TChannelTable t;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.kind) + " " + std::to_string(c.amount) + " [" + std::to_string(c.i) +
                     "]");
        (c.kind == 'S' ? ShiftTable : c.kind == 'C' ? ContrastTable : LightnessTable)(c.amount, t);
        EXPECT_EQ(t[c.i], c.v);
    }
    ContrastTable(1, t);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(t[i], i);
}

TEST(FastFXAdjust, RGBAtEveryDepth) {
    // AdjustRGB(10, 0, -10) on b 5, g 100, r 250: b 0, g 100, r 255.
    TFastDIB d;
    makePicture(d, 9, 2); // 27 bytes a row: one 8-pixel block and a one-pixel tail, gap 1
    d.SetPixel(1, 8, rgb(250, 100, 5));
    d.SetPixel(0, 3, rgb(250, 100, 5));
    AdjustRGB(d, 10, 0, -10);
    EXPECT_EQ(d.GetPixel(1, 8), rgb(255, 100, 0));
    EXPECT_EQ(d.GetPixel(0, 3), rgb(255, 100, 0));
    EXPECT_EQ(d.GetPixel(1, 5), rgb(15, 1, 28)); // r 5 + 10, g 1, b 38 - 10
    EXPECT_EQ(d.Scanlines[0][27], 0xEE);
    EXPECT_EQ(d.Scanlines[1][27], 0xEE);

    d.SetSize(3, 2, 32, 0);
    d.SetPixel(1, 2, rgb(250, 100, 5));
    d.Pixels32[1][2].a = 42;
    AdjustRGB(d, 10, 0, -10);
    EXPECT_EQ(d.Pixels32[1][2], (TFColorA{0, 100, 255, 42}));
    EXPECT_EQ(d.GetPixel(0, 0), rgb(10, 0, 0));

    // 565: r 248, g 252, b 8 unpack to those indexes; r 255 packs to 31, g 63, b 0.
    d.SetSize(3, 1, 16, 0);
    d.Pixels16[0][1] = (31 << 11) | (63 << 5) | 1;
    AdjustRGB(d, 10, 0, -10);
    EXPECT_EQ(d.Pixels16[0][1], (31 << 11) | (63 << 5) | 0);
    EXPECT_EQ(d.Pixels16[0][0], 1 << 11); // black: r 0 + 10 = 10 packs to 1

    // Palette depths change the colour table, never the indexes.
    for (int bpp : {1, 4, 8}) {
        d.SetSize(2, 1, bpp, 0);
        for (auto& c : *d.Colors) c = TFColorA{5, 100, 250, 3};
        d.Scanlines[0][0] = 0x40;
        AdjustRGB(d, 10, 0, -10);
        const int n = 1 << bpp;
        EXPECT_EQ((*d.Colors)[n - 1], (TFColorA{0, 100, 255, 3})) << bpp;
        if (n < 256) {
            EXPECT_EQ((*d.Colors)[n], (TFColorA{5, 100, 250, 3})) << bpp;
        }
        EXPECT_EQ(d.Scanlines[0][0], 0x40);
    }
}

TEST(FastFXAdjust, ContrastAndLightnessOnPixels) {
    TFastDIB d;
    d.SetSize(5, 1, 24, 0);
    const int in[] = {0, 64, 128, 192, 255};
    for (int x = 0; x < 5; ++x) d.SetPixel(0, x, rgb(in[x], in[x], in[x]));
    AdjustContrast(d, 255, 255, 0); // blue untouched (amount 0 gives d = 0)
    const int out[] = {0, 1, 128, 255, 255};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(d.GetPixel(0, x), rgb(out[x], out[x], in[x])) << x;

    d.SetSize(2, 1, 24, 0);
    d.SetPixel(0, 0, rgb(0, 255, 0));
    d.SetPixel(0, 1, rgb(255, 0, 255));
    AdjustLightness(d, 255, -255, 0);
    EXPECT_EQ(d.GetPixel(0, 0), rgb(254, 1, 0));
    EXPECT_EQ(d.GetPixel(0, 1), rgb(255, 0, 255));

    // Nothing to do on an image without pixels.
    TFastDIB empty;
    AdjustRGB(empty, 5, 5, 5);
    empty.SetSize(0, 4, 24, 0);
    AdjustLightness(empty, 5, 5, 5);
}

TEST(FastFXAdjust, Map16FollowsTheShifts) {
    TFastDIB d;
    d.SetSize(2, 1, 16, 555);
    TChannelTable r, g, b;
    for (int i = 0; i < 256; ++i) r[i] = g[i] = b[i] = static_cast<std::uint8_t>(255 - i);
    TMap16 map;
    BuildMap16(d, r, g, b, map);
    // 555 inverted: each 5-bit field c becomes (255 - 8c) shr 3 = 31 - c; bit 15 is dropped.
    EXPECT_EQ(map[0], 0x7FFF);
    EXPECT_EQ(map[0x7FFF], 0);
    EXPECT_EQ(map[(1 << 10) | (2 << 5) | 3], (30 << 10) | (29 << 5) | 28);
    d.Pixels16[0][1] = 0x7FFF;
    ApplyMap16(d, map);
    EXPECT_EQ(d.Pixels16[0][0], 0x7FFF);
    EXPECT_EQ(d.Pixels16[0][1], 0);
}

TEST(FastFXSaturation, UnchangedGreyAndSpread) {
    TFastDIB d;
    makePicture(d, 9, 3);
    const auto before = bytesOf(d);
    AdjustSaturation(d, 256);
    EXPECT_EQ(bytesOf(d), before);

    d.SetSize(3, 1, 24, 0);
    d.SetPixel(0, 0, rgb(30, 60, 90));
    d.SetPixel(0, 1, rgb(255, 0, 1)); // sum 256 = 3 * 85 + 1: grey 85
    d.SetPixel(0, 2, rgb(30, 60, 90));
    AdjustSaturation(d, 0);
    EXPECT_EQ(d.GetPixel(0, 0), rgb(60, 60, 60));
    EXPECT_EQ(d.GetPixel(0, 1), rgb(85, 85, 85));

    // 512: part[c] = 2 (c + 1), grey = 60 - 122 = -62: r 0, g 60, b 120.
    d.SetPixel(0, 0, rgb(30, 60, 90));
    AdjustSaturation(d, 512);
    EXPECT_EQ(d.GetPixel(0, 0), rgb(0, 60, 120));

    // A negative amount acts as 0: (0, 60, 120) sums to 180, grey 60.
    AdjustSaturation(d, -40);
    EXPECT_EQ(d.GetPixel(0, 0), rgb(60, 60, 60));

    TSaturationTables t;
    SaturationTables(100, t);
    EXPECT_EQ(t.part[255], 100); // 256 * 100 shr 8
    EXPECT_EQ(t.part[2], 1);     // 300 shr 8
    EXPECT_EQ(t.grey[3 * 255 + 2], 155);
}

TEST(FastFXSaturation, OtherDepths) {
    TFastDIB d;
    d.SetSize(1, 1, 32, 0);
    d.Pixels32[0][0] = TFColorA{90, 60, 30, 17};
    AdjustSaturation(d, 0);
    EXPECT_EQ(d.Pixels32[0][0], (TFColorA{60, 60, 60, 17}));

    // 565 pure red: indexes r 248, g 0, b 0, sum 248 = 3 * 82 + 2, grey 82 -> 82 shr 3, 82 shr 2, 82 shr 3.
    d.SetSize(1, 1, 16, 0);
    d.Pixels16[0][0] = 31 << 11;
    AdjustSaturation(d, 0);
    EXPECT_EQ(d.Pixels16[0][0], (10 << 11) | (20 << 5) | 10);

    d.SetSize(1, 1, 8, 0);
    (*d.Colors)[255] = TFColorA{90, 60, 30, 0};
    AdjustSaturation(d, 0);
    EXPECT_EQ((*d.Colors)[255], (TFColorA{60, 60, 60, 0}));
}

TEST(FastFXNoise, ZeroAndOneChangeNothing) {
    TFastDIB d;
    for (int bpp : {8, 16, 24, 32}) {
        makePicture(d, 5, 3, bpp);
        const auto before = bytesOf(d);
        AddNoise(d, 0, false);
        AddNoise(d, 1, false);
        AddNoise(d, 1, true);
        EXPECT_EQ(bytesOf(d), before) << bpp;
    }
}

TEST(FastFXNoise, RangeMonoAndTheSequence) {
    SetRandSeed(12345);
    TFastDIB d;
    d.SetSize(50, 20, 24, 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 50; ++x) d.SetPixel(y, x, rgb(128, 128, 128));
    // Amount 200: draws from -100 to 99.
    AddNoise(d, 200, true);
    int changed = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 50; ++x) {
            const TFColor c = d.GetPixel(y, x);
            EXPECT_EQ(c.r, c.g);
            EXPECT_EQ(c.g, c.b);
            EXPECT_GE(c.r, 28);
            EXPECT_LE(c.r, 227);
            changed += c.r != 128;
        }
    EXPECT_GT(changed, 900);

    // Amount 2: draws are -1 or 0, so black stays black and every channel moves alone.
    d.SetSize(40, 10, 24, 0);
    const auto black = bytesOf(d);
    AddNoise(d, 2, false);
    EXPECT_EQ(bytesOf(d), black);
    d.SetSize(40, 10, 32, 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 40; ++x) d.Pixels32[y][x] = TFColorA{100, 100, 100, 5};
    AddNoise(d, 2, false);
    bool channelsDiffer = false;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 40; ++x) {
            const TFColorA c = d.Pixels32[y][x];
            EXPECT_EQ(c.a, 5);
            for (int v : {c.b, c.g, c.r}) EXPECT_TRUE(v == 99 || v == 100) << v;
            channelsDiffer |= c.b != c.g || c.g != c.r;
        }
    EXPECT_TRUE(channelsDiffer);

    // One draw per channel, one per pixel when Mono, one per byte at 8 bits: afterwards the sequence
    // stands where that many calls of Random leave it (so the generator is never reseeded either).
    auto drawsTaken = [&](TFastDIB& img, bool mono) {
        SetRandSeed(99);
        AddNoise(img, 50, mono);
        const std::uint32_t after = RandSeed();
        SetRandSeed(99);
        int n = 0;
        while (RandSeed() != after && n < 1000) Random(1), ++n;
        return n;
    };
    makePicture(d, 4, 2);
    EXPECT_EQ(drawsTaken(d, false), 24);
    EXPECT_EQ(drawsTaken(d, true), 8);
    makePicture(d, 4, 2, 16);
    EXPECT_EQ(drawsTaken(d, false), 24);
    makePicture(d, 5, 2, 8);
    EXPECT_EQ(drawsTaken(d, true), 10);

    // At 8 bits the gap is never touched; at 1 and 4 bits nothing is.
    makePicture(d, 5, 2, 8); // gap bytes 5 .. 7 set to 0xEE
    AddNoise(d, 255, true);
    for (int y = 0; y < 2; ++y)
        for (int i = 5; i < 8; ++i) EXPECT_EQ(d.Scanlines[y][i], 0xEE);
    d.SetSize(8, 2, 4, 0);
    d.Scanlines[1][2] = 0x77;
    const auto nibbles = bytesOf(d);
    AddNoise(d, 255, false);
    EXPECT_EQ(bytesOf(d), nibbles);
}

TEST(FastFXWrapShift, MovesWithWrapAroundAndKeepsTheGap) {
    TFastDIB d;
    makePicture(d, 5, 3); // gap byte 15 of each row is 0xEE
    const auto before = bytesOf(d);
    for (auto [dx, dy] : {std::pair{5, 3}, {0, 0}, {-5, 0}, {0, -30}}) WrapShift(d, dx, dy);
    EXPECT_EQ(bytesOf(d), before);

    // (1, 0): pixel 0 goes to column 4, pixel x + 1 to column x.
    WrapShift(d, 1, 0);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(d.GetPixel(y, 4), rgb(0, y, 3 * y));
        for (int x = 0; x < 4; ++x) EXPECT_EQ(d.GetPixel(y, x).r, x + 1);
        EXPECT_EQ(d.Scanlines[y][15], 0xEE);
    }
    // (-1, -1) undoes it and moves the last row to the top.
    WrapShift(d, -1, 0);
    WrapShift(d, 0, -1);
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(d.GetPixel(0, x).g, 2);
        EXPECT_EQ(d.GetPixel(1, x).g, 0);
        EXPECT_EQ(d.GetPixel(0, x).r, x);
    }
    // True modulo for extreme amounts: INT_MIN mod 5 = 2, INT_MIN mod 3 = 1.
    makePicture(d, 5, 3);
    WrapShift(d, INT_MIN, INT_MIN);
    EXPECT_EQ(d.GetPixel(0, 0), rgb(2, 1, 17)); // former (2, 1)
    EXPECT_EQ(d.GetPixel(2, 4), rgb(1, 0, 7));  // former ((4 + 2) mod 5, (2 + 1) mod 3)
}

TEST(FastFXWrapShift, OtherDepthsAndEmptyImages) {
    TFastDIB d;
    d.SetSize(3, 2, 32, 0);
    for (int x = 0; x < 3; ++x) d.Pixels32[0][x] = TFColorA{static_cast<std::uint8_t>(x), 0, 0, 9};
    WrapShift(d, 2, 1);
    EXPECT_EQ(d.Pixels32[1][0].b, 2);
    EXPECT_EQ(d.Pixels32[1][1].b, 0);
    EXPECT_EQ(d.Pixels32[1][1].a, 9);

    d.SetSize(6, 1, 8, 0);
    for (int x = 0; x < 6; ++x) d.Scanlines[0][x] = static_cast<std::uint8_t>(x);
    d.Scanlines[0][6] = d.Scanlines[0][7] = 0xEE;
    WrapShift(d, -2, 0);
    EXPECT_EQ(bytesOf(d), (std::vector<std::uint8_t>{4, 5, 0, 1, 2, 3, 0xEE, 0xEE}));

    // Below 8 bits only rows move.
    d.SetSize(8, 2, 1, 0);
    d.Scanlines[0][0] = 0x81;
    WrapShift(d, 3, 1);
    EXPECT_EQ(d.Scanlines[1][0], 0x81);
    EXPECT_EQ(d.Scanlines[0][0], 0);

    TFastDIB empty;
    WrapShift(empty, 1, 1);
    empty.SetSize(0, 3, 24, 0);
    WrapShift(empty, 1, 1);
    empty.SetSize(3, 0, 24, 0);
    WrapShift(empty, 1, 1);
}

TEST(FastFXMirror, TwiceRestoresOnceReverses) {
    TFastDIB d;
    for (int bpp : {8, 16, 24, 32}) {
        for (int w : {1, 4, 5}) {
            d.SetSize(w, 2, bpp, 0);
            for (int y = 0; y < 2; ++y)
                for (std::int64_t i = 0; i < d.BWidth; ++i)
                    d.Scanlines[y][i] = static_cast<std::uint8_t>(i * 13 + y * 7 + 1);
            const auto before = bytesOf(d);
            MirrorLR(d);
            const int pb = bpp / 8;
            for (int y = 0; y < 2; ++y) {
                for (int x = 0; x < w; ++x)
                    for (int k = 0; k < pb; ++k)
                        EXPECT_EQ(d.Scanlines[y][x * pb + k], before[y * d.BWidth + (w - 1 - x) * pb + k])
                            << bpp << " " << w;
                for (int i = w * pb; i < d.BWidth; ++i)
                    EXPECT_EQ(d.Scanlines[y][i], before[y * d.BWidth + i]);
            }
            MirrorLR(d);
            EXPECT_EQ(bytesOf(d), before) << bpp << " " << w;
        }
    }
    d.SetSize(16, 1, 4, 0);
    d.Scanlines[0][0] = 0x12;
    MirrorLR(d);
    EXPECT_EQ(d.Scanlines[0][0], 0x12);
    TFastDIB empty;
    MirrorLR(empty);
    empty.SetSize(0, 2, 24, 0); // rows but no columns
    MirrorLR(empty);
}

TEST(FastFXRotate, ZeroDegreesCopiesExactly) {
    TFastDIB src, dst;
    for (int bpp : {8, 16, 24, 32}) {
        makePicture(src, 7, 5, bpp);
        dst.SetSize(7, 5, bpp, 0);
        RotateWrap(src, dst, 3, 2, 0.0L);
        for (int y = 0; y < 5; ++y)
            for (int i = 0; i < 7 * bpp / 8; ++i) EXPECT_EQ(dst.Scanlines[y][i], src.Scanlines[y][i]) << bpp;
    }
    // The fourth byte moves with the pixel at 32 bits.
    src.SetSize(1, 1, 32, 0);
    src.Pixels32[0][0] = TFColorA{1, 2, 3, 4};
    dst.SetSize(1, 1, 32, 0);
    RotateWrap(src, dst, 0, 0, 0.0L);
    EXPECT_EQ(dst.Pixels32[0][0], (TFColorA{1, 2, 3, 4}));
}

TEST(FastFXRotate, QuarterTurnAboutTheCentre) {
    // Source point of (x, y) is (1 + (y - 1), 1 - (x - 1)) = (y, 2 - x): a b c / d e f / g h i turns
    // into g d a / h e b / i f c.
    TFastDIB src, dst;
    src.SetSize(3, 3, 24, 0);
    dst.SetSize(3, 3, 24, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) src.SetPixel(y, x, rgb('a' + 3 * y + x, 0, 0));
    const auto before = bytesOf(src);
    RotateWrap(src, dst, 1, 1, 90.0L);
    const char* expected[] = {"gda", "heb", "ifc"};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(dst.GetPixel(y, x).r, expected[y][x]) << x << "," << y;
    // Onto itself: the same result as from a separate source; 270 degrees turns it back.
    RotateWrap(src, src, 1, 1, 90.0L);
    EXPECT_EQ(bytesOf(src), bytesOf(dst));
    RotateWrap(dst, src, 1, 1, 270.0L);
    EXPECT_EQ(bytesOf(src), before);
}

TEST(FastFXRotate, WrapsLeftOfColumnZeroAndOverLongRows) {
    // Angle 0, destination wider: ox = 1 gives u = -1.0 exactly, ox = 0.5 gives -0.5; both take
    // the last column. Source row A B C D.
    TFastDIB src, dst;
    src.SetSize(4, 1, 8, 0);
    for (int x = 0; x < 4; ++x) src.Scanlines[0][x] = static_cast<std::uint8_t>('A' + x);
    dst.SetSize(6, 1, 8, 0);
    RotateWrap(src, dst, 0, 0, 0.0L);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dst.Scanlines[0]), 6), "DABCDA");
    dst.SetSize(5, 1, 8, 0);
    RotateWrap(src, dst, 0, 0, 0.0L);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dst.Scanlines[0]), 5), "DABCD");

    // 70 000 columns from 3: ox = 34 998.5, so column x samples floor(x - 34 998.5) mod 3 = (x + 2) mod 3.
    // The 16.16 position passes 2^31 on the way: 64-bit sums keep it exact.
    src.SetSize(3, 1, 8, 0);
    for (int x = 0; x < 3; ++x) src.Scanlines[0][x] = static_cast<std::uint8_t>(x);
    dst.SetSize(70000, 1, 8, 0);
    RotateWrap(src, dst, 0, 0, 0.0L);
    int wrong = 0;
    for (int x = 0; x < 70000; ++x) wrong += dst.Scanlines[0][x] != (x + 2) % 3;
    EXPECT_EQ(wrong, 0);
}

TEST(FastFXRotate, MismatchedOrEmptyImagesDoNothing) {
    TFastDIB src, dst;
    makePicture(src, 4, 4, 24);
    dst.SetSize(4, 4, 32, 0);
    dst.Pixels32[1][1] = TFColorA{9, 9, 9, 9};
    const auto before = bytesOf(dst);
    RotateWrap(src, dst, 2, 2, 30.0L);
    EXPECT_EQ(bytesOf(dst), before);
    TFastDIB empty;
    RotateWrap(empty, dst, 0, 0, 10.0L);
    RotateWrap(src, empty, 0, 0, 10.0L);
    EXPECT_EQ(bytesOf(dst), before);
    dst.SetSize(4, 4, 24, 0);
    RotateWrap(src, dst, INT_MAX, INT_MIN, 45.0L); // far-away centres still wrap safely
    RotateWrap(src, dst, 2, 2, 1e30L);
}

// The vector kernels (where the processor has them) and the plain loops must give the same pixels
// at every row length, including rows that end inside a 64-byte block.
class FastFXBothPaths : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { fastfx_simd::SetEnabled(GetParam()); }
    void TearDown() override { fastfx_simd::SetEnabled(true); }
};

TEST_P(FastFXBothPaths, TablesAtManyWidths) {
    for (int w : {1, 2, 20, 21, 22, 23, 42, 43, 64, 85, 100, 517}) {
        TFastDIB d;
        makePicture(d, w, 3);
        AdjustRGB(d, 10, -3, 7);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < w; ++x) {
                const int b = (7 * x + 3 * y) & 255;
                ASSERT_EQ(d.GetPixel(y, x),
                          rgb(std::min(255, (x & 255) + 10), std::max(0, y - 3), std::min(255, b + 7)))
                    << w << ": " << x << "," << y;
            }
            for (int i = 3 * w; i < d.BWidth; ++i) ASSERT_EQ(d.Scanlines[y][i], 0xEE) << w;
        }
        TFastDIB q;
        q.SetSize(w, 2, 32, 0);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < w; ++x)
                q.Pixels32[y][x] =
                    TFColorA{static_cast<std::uint8_t>(x), 200, static_cast<std::uint8_t>(250 - y), 33};
        AdjustRGB(q, 10, -3, 7);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(q.Pixels32[y][x],
                          (TFColorA{static_cast<std::uint8_t>(std::min(255, (x & 255) + 7)), 197,
                                    static_cast<std::uint8_t>(std::min(255, 260 - y)), 33}))
                    << w << ": " << x;
    }
}

TEST_P(FastFXBothPaths, MirrorAtManyWidths) {
    for (int w : {1, 2, 3, 21, 22, 23, 42, 43, 44, 63, 64, 65, 85, 200, 513}) {
        TFastDIB d;
        makePicture(d, w, 2);
        MirrorLR(d);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < w; ++x) {
                const int sx = w - 1 - x;
                ASSERT_EQ(d.GetPixel(y, x), rgb(sx & 255, y, (7 * sx + 3 * y) & 255)) << w << ": " << x;
            }
            for (int i = 3 * w; i < d.BWidth; ++i) ASSERT_EQ(d.Scanlines[y][i], 0xEE) << w;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(VectorAndPlain, FastFXBothPaths, ::testing::Values(true, false),
                         [](const auto& p) { return p.param ? "Vector" : "Plain"; });
