// TFastDIB: layouts, pixel access, copies between images, colour-table helpers and failure handling.
#include "image/FastDIB.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#include <tuple>

namespace {

TFColor rgb(int r, int g, int b) {
    return MakeFColor(r, g, b);
}

void expectReleased(const TFastDIB& d) {
    EXPECT_EQ(d.Bits, nullptr);
    EXPECT_EQ(d.Scanlines, nullptr);
    EXPECT_EQ(d.Width, 0);
    EXPECT_EQ(d.Height, 0);
    EXPECT_EQ(d.Size(), 0u);
}

} // namespace

TEST(FastDIBLayout, RowStrideGapAndSizeAtEveryDepth) {
    TFastDIB d;
    d.SetSize(640, 480, 24, 0);
    EXPECT_EQ(d.BWidth, 1920);
    EXPECT_EQ(d.Gap, 0);
    EXPECT_EQ(d.Size(), 921600u);
    EXPECT_EQ(d.BHeight(), -480);
    EXPECT_EQ(d.Compression(), BI_RGB);
    EXPECT_EQ(d.bmInfo.bmiHeader.biBitCount, 24);

    d.SetSize(5, 3, 24, 0);
    EXPECT_EQ(d.Scanlines[2] - d.Scanlines[0], 32);
    EXPECT_EQ(d.Pixels24.rows, d.Scanlines);
    EXPECT_EQ(d.Pixels8.rows, d.Scanlines);
    for (int i = 0; i < 48; ++i) EXPECT_EQ(d.Bits[i], 0) << i;

    // Width 5 at each depth: bits per row rounded up to 32, gap = bytes past the whole pixel bytes.
    struct Case {
        int bpp, bwidth, gap;
    } cases[] = {{1, 4, 4}, {4, 4, 2}, {8, 8, 3}, {16, 12, 2}, {24, 16, 1}, {32, 20, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bpp);
        d.SetSize(5, 3, c.bpp, 0);
        EXPECT_EQ(d.BWidth, c.bwidth);
        EXPECT_EQ(d.Gap, c.gap);
        EXPECT_EQ(d.Size(), static_cast<std::uint32_t>(3 * c.bwidth));
    }
}

TEST(FastDIBLayout, BitFieldMasksAndShifts) {
    // Requested masks 505, 50, 666, -565 and 1565 have a zero digit or more bits than the depth:
    // the depth's default applies.
    struct Case {
        int bpp, ask, mask;
        std::uint32_t r, g, b;
        int bshr, gshr, gshl, rshr, rshl;
    } cases[] = {
        {16, 0, 565, 0xF800, 0x07E0, 0x001F, 3, 2, 5, 3, 11},
        {16, 555, 555, 0x7C00, 0x03E0, 0x001F, 3, 3, 5, 3, 10},
        {32, 0, 888, 0x00FF0000, 0x0000FF00, 0x000000FF, 0, 0, 8, 0, 16},
        {32, 880, 888, 0x00FF0000, 0x0000FF00, 0x000000FF, 0, 0, 8, 0, 16},
        {16, 505, 565, 0xF800, 0x07E0, 0x001F, 3, 2, 5, 3, 11},
        {16, 50, 565, 0xF800, 0x07E0, 0x001F, 3, 2, 5, 3, 11},
        {16, 666, 565, 0xF800, 0x07E0, 0x001F, 3, 2, 5, 3, 11},
        {16, -565, 565, 0xF800, 0x07E0, 0x001F, 3, 2, 5, 3, 11},
        {16, 1565, 565, 0xF800, 0x07E0, 0x001F, 3, 2, 5, 3, 11},
    };
    TFastDIB d;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ask);
        d.SetSize(8, 2, c.bpp, c.ask);
        EXPECT_EQ(d.Mask, c.mask);
        EXPECT_EQ(d.Compression(), BI_BITFIELDS);
        EXPECT_EQ(static_cast<std::uint32_t>(d.rMask()), c.r);
        EXPECT_EQ(static_cast<std::uint32_t>(d.gMask()), c.g);
        EXPECT_EQ(static_cast<std::uint32_t>(d.bMask()), c.b);
        EXPECT_EQ(d.bshr, c.bshr);
        EXPECT_EQ(d.gshr, c.gshr);
        EXPECT_EQ(d.gshl, c.gshl);
        EXPECT_EQ(d.rshr, c.rshr);
        EXPECT_EQ(d.rshl, c.rshl);
    }
}

TEST(FastDIBSize, SameCallKeepsPixelsOtherCallsRecreate) {
    TFastDIB d;
    d.SetSize(4, 4, 24, 0);
    std::uint8_t* bits = d.Bits;
    d.SetPixel(2, 3, rgb(1, 2, 3));
    d.SetSize(4, 4, 24, 0);
    EXPECT_EQ(d.Bits, bits);
    EXPECT_EQ(d.GetPixel(2, 3), rgb(1, 2, 3));

    // At 16 bits the stored mask (565) never equals the 0 passed, so the call recreates.
    d.SetSize(8, 2, 16, 0);
    d.SetPixel(1, 1, rgb(255, 255, 255));
    d.SetSize(8, 2, 16, 0);
    EXPECT_EQ(d.Pixels16[1][1], 0);
    d.SetPixel(1, 1, rgb(255, 255, 255));
    d.SetSize(8, 2, 16, 565);
    EXPECT_EQ(d.Pixels16[1][1], 0xFFFF);

    // A negative height gives a top-down image of that many rows and never matches.
    d.SetSize(4, -3, 24, 0);
    EXPECT_EQ(d.Height, 3);
    EXPECT_EQ(d.BHeight(), -3);
    d.SetPixel(2, 0, rgb(9, 9, 9));
    d.SetSize(4, -3, 24, 0);
    EXPECT_EQ(d.GetPixel(2, 0), rgb(0, 0, 0));

    // A real resize gives zero-filled pixels; size 0 releases.
    d.SetSize(4, 3, 24, 0);
    d.SetPixel(0, 0, rgb(5, 5, 5));
    d.SetSize(5, 3, 24, 0);
    EXPECT_EQ(d.GetPixel(0, 0), rgb(0, 0, 0));
    d.SetSize(0, 0, 0, 0);
    expectReleased(d);

    TFastDIB fresh;
    expectReleased(fresh);
    EXPECT_EQ(fresh.bmInfo.bmiHeader.biSize, 40u);
    EXPECT_EQ(fresh.bmInfo.bmiHeader.biPlanes, 1);
    EXPECT_EQ(fresh.Colors, &fresh.bmInfo.bmiColors);
}

TEST(FastDIBSize, UnclearedSizeHasTheSameLayoutAndKeepsPixelsOnTheSameSize) {
    TFastDIB a, b;
    a.SetSize(5, 3, 24, 0);
    b.SetSizeUncleared(5, 3, 24, 0);
    EXPECT_EQ(b.BWidth, 16);
    EXPECT_EQ(b.Gap, 1);
    EXPECT_EQ(b.Size(), a.Size());
    EXPECT_EQ(b.Scanlines[2] - b.Scanlines[0], 32);
    b.Scanlines[1][4] = 77;
    b.SetSizeUncleared(5, 3, 24, 0); // the same size: nothing is recreated
    EXPECT_EQ(b.Scanlines[1][4], 77);
    b.SetSize(5, 3, 24, 0);
    EXPECT_EQ(b.Scanlines[1][4], 77);
    b.SetSizeUncleared(0, 0, 0, 0);
    EXPECT_TRUE(b.Empty());
}

TEST(FastDIBSize, LargePicturesAreZeroFilledAndSurviveSwapsAndNewSizes) {
    // 3001 x 1000 at 24 bits: 9 004 000 bytes, past the size that gets a mapping of its own.
    TFastDIB big, small;
    big.SetSize(3001, 1000, 24, 0);
    ASSERT_EQ(big.BWidth, 9004);
#if defined(__linux__)
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(big.Bits) % (std::uintptr_t{2} << 20), 0u); // huge pages
#endif
    for (int y : {0, 499, 999})
        for (int i : {0, 4500, 9003}) ASSERT_EQ(big.Scanlines[y][i], 0) << y << " " << i;
    big.Scanlines[999][9002] = 7;
    small.SetSize(2, 2, 24, 0);
    small.Scanlines[1][5] = 9;
    big.Swap(small);
    EXPECT_EQ(big.Width, 2);
    EXPECT_EQ(big.Scanlines[1][5], 9);
    EXPECT_EQ(small.Width, 3001);
    EXPECT_EQ(small.Scanlines[999][9002], 7);
    // Map and unmap over and over, cleared and uncleared, then back to a small picture.
    for (int round = 0; round < 4; ++round) {
        small.SetSize(2048 + round, 1536, 24, 0);
        EXPECT_EQ(small.Scanlines[1535][3 * (2047 + round)], 0) << round;
        small.Scanlines[1535][0] = 1;
        small.SetSizeUncleared(4096, 1024 + round, 24, 0);
        std::memset(small.Bits, 0xAB, static_cast<std::size_t>(small.ByteCount()));
    }
    small.SetSize(3, 3, 24, 0);
    EXPECT_EQ(small.Scanlines[2][8], 0);
}

TEST(FastDIBSize, AbsurdSizesThrowAndLeaveTheObjectReleased) {
    // 300 000 bytes a row times 100 000 rows does not fit the 32-bit image size; INT_MAX at 32 bits
    // overflows the row stride.
    TFastDIB d;
    for (auto [w, h, bpp] :
         {std::tuple{100000, 100000, 24}, {INT_MAX, 1, 32}, {-5, 10, 24}, {5, INT_MIN, 24}}) {
        SCOPED_TRACE(w);
        d.SetSize(10, 10, 24, 0);
        EXPECT_THROW(d.SetSize(w, h, bpp, 0), std::bad_alloc);
        expectReleased(d);
    }
    // Still usable afterwards; a depth the class does not handle is refused and changes nothing.
    d.SetSize(2, 1, 24, 0);
    d.SetPixel(0, 1, rgb(1, 1, 1));
    EXPECT_THROW(d.SetSize(2, 1, 12, 0), std::invalid_argument);
    EXPECT_EQ(d.GetPixel(0, 1), rgb(1, 1, 1));
}

TEST(FastDIBPixels, SixteenBitPackingAndByteDepths) {
    TFastDIB d;
    d.SetSize(4, 1, 16, 0);
    d.SetPixel(0, 0, rgb(255, 255, 255));
    EXPECT_EQ(d.Pixels16[0][0], 0xFFFF);
    EXPECT_EQ(d.GetPixel(0, 0), rgb(248, 252, 248));
    // r 128, g 64, b 32: (16 shl 11) or (16 shl 5) or 4.
    d.SetPixel(0, 1, rgb(128, 64, 32));
    EXPECT_EQ(d.Pixels16[0][1], 0x8204);
    EXPECT_EQ(d.GetPixel(0, 1), rgb(128, 64, 32));

    d.SetSize(2, 1, 32, 0);
    d.Pixels32[0][1].a = 77;
    d.SetPixel(0, 1, rgb(1, 2, 3));
    EXPECT_EQ(d.Pixels32[0][1], (TFColorA{3, 2, 1, 77}));
    EXPECT_EQ(d.GetPixel(0, 1), rgb(1, 2, 3));

    d.SetSize(3, 1, 24, 0);
    d.SetPixel(0, 2, rgb(10, 20, 30));
    EXPECT_EQ(d.Scanlines[0][6], 30); // b, g, r in memory
    EXPECT_EQ(d.Scanlines[0][8], 10);
}

TEST(FastDIBPixels, PaletteIndexesClearTheOldBits) {
    // Each step writes one index into the byte as it stands after the step before.
    struct Step {
        int bpp, x, v, byteIndex, byteAfter;
    } steps[] = {{1, 2, 0, 0, 0xDF}, // bit 7 - 2 = 5, from 0xFF
                 {1, 2, 1, 0, 0xFF},
                 {1, 8, 1, 1, 0x80}, // leftmost pixel of the second byte is its top bit
                 {4, 0, 3, 0, 0x3B}, // from 0xAB
                 {4, 1, 5, 0, 0x35}};
    TFastDIB d;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.x + 10 * s.bpp);
        if (d.Bpp != s.bpp) {
            d.SetSize(16, 1, s.bpp, 0);
            d.Scanlines[0][0] = s.bpp == 1 ? 0xFF : 0xAB;
        }
        d.SetPixelB(0, s.x, s.v);
        EXPECT_EQ(d.Scanlines[0][s.byteIndex], s.byteAfter);
        EXPECT_EQ(d.GetPixelB(0, s.x), s.v);
    }
    EXPECT_EQ(d.GetPixelB(0, 0), 3);

    d.SetSize(4, 1, 8, 0);
    d.SetPixelB(0, 3, 200);
    EXPECT_EQ(d.GetPixelB(0, 3), 200);
    (*d.Colors)[200] = TFColorA{1, 2, 3, 0};
    EXPECT_EQ(d.GetPixel(0, 3), rgb(3, 2, 1));
}

TEST(FastDIBFlop, SwapsWholeRows) {
    TFastDIB d;
    d.SetSize(2, 1, 24, 0);
    d.SetPixel(0, 0, rgb(1, 2, 3));
    d.Flop();
    EXPECT_EQ(d.GetPixel(0, 0), rgb(1, 2, 3));

    d.SetSize(5, 3, 24, 0); // gap byte at offset 15 of each row travels with its row
    for (int y = 0; y < 3; ++y) {
        d.SetPixel(y, 0, rgb(y, 0, 0));
        d.Scanlines[y][15] = static_cast<std::uint8_t>(100 + y);
    }
    d.Flop();
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(d.GetPixel(y, 0), rgb(2 - y, 0, 0));
        EXPECT_EQ(d.Scanlines[y][15], 102 - y);
    }

    d.SetSize(1, 4, 8, 0);
    for (int y = 0; y < 4; ++y) d.Scanlines[y][0] = static_cast<std::uint8_t>(y);
    d.Flop();
    for (int y = 0; y < 4; ++y) EXPECT_EQ(d.Scanlines[y][0], 3 - y);

    TFastDIB empty;
    empty.Flop();
    empty.SetSize(0, 5, 24, 0); // rows but no columns
    empty.Flop();
}

TEST(FastDIBDraw, TileDrawRepeatsFromTheCorner) {
    // 64 x 64 image marked at (0, 0) over 300 x 100 at (10, 5) of a 320 x 110 target: markers at
    // x = 10 + 64k, k = 0..4 (the fifth copy cut to 44 columns) and y = 5, 69 (the second cut to 36 rows).
    TFastDIB tile, target;
    tile.SetSize(64, 64, 24, 0);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) tile.SetPixel(y, x, rgb(50, 50, 50));
    tile.SetPixel(0, 0, rgb(255, 0, 0));
    tile.SetPixel(63, 63, rgb(0, 0, 255));
    target.SetSize(320, 110, 24, 0);
    tile.TileDraw(target, 10, 5, 300, 100);
    int red = 0, blue = 0, grey = 0;
    for (int y = 0; y < 110; ++y)
        for (int x = 0; x < 320; ++x) {
            const TFColor c = target.GetPixel(y, x);
            const bool inside = x >= 10 && x < 310 && y >= 5 && y < 105;
            if (!inside) {
                EXPECT_EQ(c, rgb(0, 0, 0)) << x << "," << y;
            } else if (c == rgb(255, 0, 0)) {
                ++red;
                EXPECT_EQ((x - 10) % 64, 0);
                EXPECT_EQ((y - 5) % 64, 0);
            } else {
                ++(c == rgb(0, 0, 255) ? blue : grey);
            }
        }
    EXPECT_EQ(red, 10);
    EXPECT_EQ(blue, 4); // only the four whole copies of the top band show their last pixel
    EXPECT_EQ(red + blue + grey, 300 * 100);

    // Another depth: converted once, same phase. Part of the target off the left edge.
    TFastDIB t32;
    t32.SetSize(100, 10, 32, 0);
    tile.TileDraw(t32, -60, 0, 300, 10);
    EXPECT_EQ(t32.GetPixel(0, 4), rgb(255, 0, 0)); // -60 + 64
    EXPECT_EQ(t32.GetPixel(0, 68), rgb(255, 0, 0));
    EXPECT_EQ(t32.GetPixel(0, 5), rgb(50, 50, 50));

    // Nothing from an empty image, nothing outside a target smaller than the image.
    TFastDIB empty;
    empty.TileDraw(target, 0, 0, 50, 50);
    TFastDIB small;
    small.SetSize(3, 3, 24, 0);
    tile.TileDraw(small, 0, 0, 2, 2);
    EXPECT_EQ(small.GetPixel(0, 0), rgb(255, 0, 0));
    EXPECT_EQ(small.GetPixel(0, 2), rgb(0, 0, 0));
    EXPECT_EQ(small.GetPixel(2, 0), rgb(0, 0, 0));
}

TEST(FastDIBDraw, CopiesClipAndStretch) {
    // Source 2 x 2 with red 1, 2 / 3, 4; each call's result checked as (y, x, red) on a 6 x 6 target.
    TFastDIB src, dst;
    src.SetSize(2, 2, 24, 0);
    for (int i = 0; i < 4; ++i) src.SetPixel(i / 2, i % 2, rgb(i + 1, 0, 0));
    dst.SetSize(6, 6, 24, 0);
    struct Px {
        int y, x, r;
    };
    auto expectPixels = [&](std::initializer_list<Px> px) {
        for (const Px& p : px) EXPECT_EQ(dst.GetPixel(p.y, p.x), rgb(p.r, 0, 0)) << p.x << "," << p.y;
    };
    src.Draw(dst, -1, 5); // only source (1, 0) lands, at (0, 5)
    expectPixels({{5, 0, 2}, {5, 1, 0}});
    src.Stretch(dst, 0, 0, 4, 4);
    expectPixels({{0, 0, 1}, {1, 1, 1}, {0, 2, 2}, {3, 3, 4}, {3, 1, 3}, {4, 4, 0}});
    src.DrawRect(dst, 5, 0, 1, 1, 1, 1);
    expectPixels({{0, 5, 4}});
    src.StretchRect(dst, 4, 4, 2, 2, 1, 0, 1, 1); // source pixel (1, 0) blown up to 2 x 2
    expectPixels({{4, 4, 2}, {5, 5, 2}});

    // Within one image the source is read as it was: [1 2 3 4] shifted right by one is [1 1 2 3].
    TFastDIB row;
    row.SetSize(4, 1, 24, 0);
    for (int x = 0; x < 4; ++x) row.SetPixel(0, x, rgb(x + 1, 0, 0));
    row.DrawRect(row, 1, 0, 3, 1, 0, 0);
    const int shifted[] = {1, 1, 2, 3};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(row.GetPixel(0, x), rgb(shifted[x], 0, 0)) << x;
}

TEST(FastDIBDraw, ConvertsBetweenDepths) {
    TFastDIB pal, d24, d16, d555;
    pal.SetSize(2, 1, 8, 0);
    (*pal.Colors)[7] = TFColorA{30, 20, 10, 0};
    pal.SetPixelB(0, 1, 7);
    d24.SetSize(2, 1, 24, 0);
    pal.Draw(d24, 0, 0);
    EXPECT_EQ(d24.GetPixel(0, 1), rgb(10, 20, 30));
    EXPECT_EQ(d24.GetPixel(0, 0), rgb(0, 0, 0)); // entry 0 is black

    d24.SetPixel(0, 0, rgb(248, 128, 8));
    d16.SetSize(2, 1, 16, 0);
    d24.Draw(d16, 0, 0);
    EXPECT_EQ(d16.Pixels16[0][0], (31 << 11) | (32 << 5) | 1);
    d555.SetSize(2, 1, 16, 555);
    d16.Draw(d555, 0, 0); // 565 read as 565, written as 555
    EXPECT_EQ(d555.Pixels16[0][0], (31 << 10) | (16 << 5) | 1);
    EXPECT_EQ(d555.GetPixel(0, 0), rgb(248, 128, 8));
}

TEST(FastDIBColors, CountColors) {
    TFastDIB d;
    d.SetSize(3, 2, 24, 0);
    d.SetPixel(0, 0, rgb(1, 2, 3));
    d.SetPixel(1, 2, rgb(1, 2, 3));
    d.SetPixel(1, 1, rgb(3, 2, 1));
    EXPECT_EQ(d.CountColors(), 3); // black, (1, 2, 3), (3, 2, 1)

    d.SetSize(2, 1, 32, 0);
    d.Pixels32[0][1].a = 9; // the fourth byte does not make a colour
    EXPECT_EQ(d.CountColors(), 1);

    d.SetSize(3, 1, 16, 0);
    d.Pixels16[0][2] = 0x1234;
    EXPECT_EQ(d.CountColors(), 2);

    // At 4 bits only the whole bytes count: a 3-pixel row counts pixels 0 and 1.
    d.SetSize(3, 1, 4, 0);
    d.Scanlines[0][0] = 0x12;
    d.Scanlines[0][1] = 0x30;
    EXPECT_EQ(d.CountColors(), 2);

    d.SetSize(8, 1, 1, 0); // the table is shared with the masks of the 16-bit size before: set it
    (*d.Colors)[0] = (*d.Colors)[1] = TFColorA{0, 0, 0, 0};
    EXPECT_EQ(d.CountColors(), 1); // entries 0 and 1 the same colour
    (*d.Colors)[1] = TFColorA{255, 255, 255, 0};
    EXPECT_EQ(d.CountColors(), 2);
    TFastDIB empty;
    EXPECT_EQ(empty.CountColors(), 0);
}

TEST(FastDIBColors, ShiftColorsRotatesTheTable) {
    // Table entry i holds blue i; after the shift entry `at` holds `blue` (entry i moves to i + n).
    struct Case {
        int n, at, blue;
    } cases[] = {{-1, 0, 1},      {-1, 255, 0},  {3, 3, 0},        {3, 1, 254},
                 {256 + 3, 3, 0}, {256, 77, 77}, {INT_MIN, 77, 77}};
    TFastDIB d;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        for (int i = 0; i < 256; ++i) (*d.Colors)[i] = TFColorA{static_cast<std::uint8_t>(i), 0, 0, 0};
        d.ShiftColors(c.n);
        EXPECT_EQ((*d.Colors)[c.at].b, c.blue);
    }
}

TEST(FastDIBColors, FillColorsRamps) {
    TFastDIB d;
    for (auto& c : *d.Colors) c = TFColorA{7, 7, 7, 9};
    // 0..4 from r 0 to r 100: step 100 * 65536 div 4, entries 0, 25, 50, 75, 100.
    d.FillColors(0, 4, rgb(0, 10, 0), rgb(100, 10, 0));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ((*d.Colors)[i], (TFColorA{0, 10, static_cast<std::uint8_t>(25 * i), 9}));
    EXPECT_EQ((*d.Colors)[5].r, 7);

    // Falling: 200 + k * (-200 * 65536 div 3) shr 16 = 200, 133, 66, 0.
    d.FillColors(10, 13, rgb(0, 0, 200), rgb(0, 0, 0));
    const int falling[] = {200, 133, 66, 0};
    for (int k = 0; k < 4; ++k) EXPECT_EQ((*d.Colors)[10 + k].b, falling[k]) << k;

    // One entry: c1.
    d.FillColors(20, 20, rgb(1, 2, 3), rgb(200, 200, 200));
    EXPECT_EQ((*d.Colors)[20], (TFColorA{3, 2, 1, 9}));
    EXPECT_EQ((*d.Colors)[19].r, 7);
    EXPECT_EQ((*d.Colors)[21].r, 7);

    // i1 > i2 wraps past 255: entries 254, 255, 0, 1 (step 30 * 65536 div 3) = 10, 20, 30, 40.
    d.FillColors(254, 1, rgb(0, 0, 10), rgb(0, 0, 40));
    for (int k = 0; k < 4; ++k) EXPECT_EQ((*d.Colors)[(254 + k) & 255].b, 10 * (k + 1)) << k;
    EXPECT_EQ((*d.Colors)[2].r, 50); // untouched since the first ramp
    EXPECT_EQ((*d.Colors)[253].b, 7);

    // The whole table: 256 entries, step 65536, entry i = i.
    d.FillColors(0, 255, rgb(0, 0, 0), rgb(255, 0, 0));
    for (int i = 0; i < 256; ++i) EXPECT_EQ((*d.Colors)[i].r, i);
}

TEST(FastDIBColors, MakePaletteFromTheColourTable) {
    // 11 black entries, then table entries 0 .. count - 1; the count is limited to 235 and, at
    // 4 and 1 bits, to (1 shl Bpp) - 1. At 8 bits 255 never limits.
    struct Case {
        int bpp, ask;
        std::size_t n;
    } cases[] = {{8, 5, 5}, {8, 250, 235}, {8, 235, 235}, {4, 16, 15}, {1, 5, 1}, {24, 5, 0}, {32, 5, 0}};
    TFastDIB d;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bpp * 1000 + c.ask);
        d.SetSize(1, 1, c.bpp, 0);
        for (int i = 0; i < 256; ++i) (*d.Colors)[i] = TFColorA{1, 2, static_cast<std::uint8_t>(i), 0};
        const TLogPalette p = d.MakePalette(c.ask);
        if (c.n == 0) {
            EXPECT_TRUE(p.entries.empty());
            continue;
        }
        EXPECT_EQ(p.palVersion, 0x300);
        ASSERT_EQ(p.entries.size(), c.n + 11);
        for (int i = 0; i < 11; ++i) EXPECT_EQ(p.entries[i], TPaletteEntry{});
        EXPECT_EQ(p.entries[11], (TPaletteEntry{0, 2, 1, 0}));
        EXPECT_EQ(p.entries[c.n + 10], (TPaletteEntry{static_cast<std::uint8_t>(c.n - 1), 2, 1, 0}));
    }
}

TEST(FastDIBSize, SwapExchangesEverything) {
    TFastDIB a, b;
    a.SetSize(3, 2, 24, 0);
    a.SetPixel(1, 2, rgb(1, 2, 3));
    b.SetSize(2, 1, 8, 0);
    (*b.Colors)[5] = TFColorA{9, 8, 7, 0};
    b.SetPixelB(0, 1, 5);
    a.Swap(b);
    EXPECT_EQ(a.Bpp, 8);
    EXPECT_EQ(a.Width, 2);
    EXPECT_EQ(a.Colors, &a.bmInfo.bmiColors);
    EXPECT_EQ(a.GetPixel(0, 1), rgb(7, 8, 9));
    EXPECT_EQ(b.Bpp, 24);
    EXPECT_EQ(b.Height, 2);
    EXPECT_EQ(b.Colors, &b.bmInfo.bmiColors);
    EXPECT_EQ(b.Scanlines[1] - b.Scanlines[0], b.BWidth);
    EXPECT_EQ(b.GetPixel(1, 2), rgb(1, 2, 3));
    // Each still resizes and releases on its own.
    b.SetSize(0, 0, 0, 0);
    EXPECT_EQ(a.GetPixelB(0, 1), 5);
}
