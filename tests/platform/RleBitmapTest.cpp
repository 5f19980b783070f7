// Run-length coded bitmaps (RLE8, RLE4) built from small crafted files: every pixel is defined, also
// those the codes skip (end of line, delta, early end of bitmap), so a file gives the same picture on
// every load.
#include "common/QtTestSupport.h"
#include "platform/Picture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

void le(QByteArray& b, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b += char((v >> (8 * i)) & 255);
}

// A bitmap file of w x h at `bpp` (4 or 8) with the colour table (b, g, r each) and the coded pixels.
QByteArray RleBmp(int w, int h, int bpp, const std::vector<TFColor>& table, const QByteArray& codes) {
    const std::uint32_t offBits = 14 + 40 + 4 * static_cast<std::uint32_t>(table.size());
    QByteArray f = "BM";
    le(f, offBits + codes.size(), 4);
    le(f, 0, 4);
    le(f, offBits, 4);
    le(f, 40, 4);
    le(f, static_cast<std::uint32_t>(w), 4);
    le(f, static_cast<std::uint32_t>(h), 4);
    le(f, 1, 2);
    le(f, static_cast<std::uint32_t>(bpp), 2);
    le(f, bpp == 8 ? 1 : 2, 4); // compression
    le(f, static_cast<std::uint32_t>(codes.size()), 4);
    le(f, 2835, 4);
    le(f, 2835, 4);
    le(f, static_cast<std::uint32_t>(table.size()), 4);
    le(f, 0, 4);
    for (const TFColor& c : table) {
        f += char(c.b);
        f += char(c.g);
        f += char(c.r);
        f += char(0);
    }
    return f + codes;
}

QByteArray Bytes(std::initializer_list<int> v) {
    QByteArray b;
    for (int x : v) b += char(x);
    return b;
}

} // namespace

TEST(RleBitmap, SkippedPixelsAreColourZeroAndRunsLandWhereCoded) {
    EnsureQtApplication();
    const TFColor c0{10, 20, 30}, c1{0, 0, 255}, c2{0, 255, 0}, c3{255, 0, 0}, c4{9, 9, 9}, k{0, 0, 0};
    struct Case {
        const char* why;
        int w, h, bpp;
        std::vector<TFColor> table;
        QByteArray codes;
        std::vector<std::vector<TFColor>> rows; // top row first
    };
    const Case cases[] = {
        // Bottom row: two of colour 1, the rest skipped by the end of line. Delta right 1, up 1 from
        // the start of the middle row: one of colour 2 at x 1 of the top row; then the end.
        {"RLE8 end of line and delta",
         4,
         3,
         8,
         {c0, c1, c2},
         Bytes({2, 1, 0, 0, 0, 2, 1, 1, 1, 2, 0, 1}),
         {{c0, c2, c0, c0}, {c0, c0, c0, c0}, {c1, c1, c0, c0}}},
        // Index 5 lies beyond the three-colour table: black.
        {"RLE8 index past the table", 2, 1, 8, {c0, c1, c2}, Bytes({1, 5, 1, 2, 0, 1}), {{k, c2}}},
        // Five pixels given one by one (nibbles 1 2 3 0 4, three bytes and a pad byte), end of line,
        // then a run of three alternating 2 and 1.
        {"RLE4 absolute and run",
         5,
         2,
         4,
         {c0, c1, c2, c3, c4},
         Bytes({0, 5, 0x12, 0x30, 0x40, 0, 0, 0, 3, 0x21, 0, 1}),
         {{c2, c1, c2, c0, c0}, {c1, c2, c3, c0, c4}}},
        // The end of the bitmap after one pixel: everything else is colour 0.
        {"early end", 3, 2, 8, {c0, c1}, Bytes({1, 1, 0, 1}), {{c0, c0, c0}, {c1, c0, c0}}},
        // A run longer than the row is clipped at its edge.
        {"clipped run", 2, 1, 8, {c0, c1}, Bytes({9, 1, 0, 1}), {{c1, c1}}},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const QString file = dir.filePath("rle.bmp");
        WriteAll(file, RleBmp(c.w, c.h, c.bpp, c.table, c.codes));
        // Loaded twice, with memory reused in between: the same, expected picture each time.
        for (int load = 0; load < 2; ++load) {
            { // memory full of junk, freed: a reader that leaves pixels unwritten would show it
                std::vector<std::uint8_t> junk(size_t(c.w) * c.h * 4, 0xAB);
                EXPECT_EQ(junk.back(), 0xAB);
            }
            TFastDIB d;
            LoadPictureToDIB(file, d);
            ASSERT_EQ(d.Width, c.w);
            ASSERT_EQ(d.Height, c.h);
            for (int y = 0; y < c.h; ++y)
                for (int x = 0; x < c.w; ++x)
                    EXPECT_EQ(d.Pixels24[y][x], c.rows[size_t(y)][size_t(x)]) << "x " << x << " y " << y;
        }
    }
}

TEST(RleBitmap, InconsistentHeadersAreRefused) {
    EnsureQtApplication();
    QTemporaryDir dir;
    const QString file = dir.filePath("bad.bmp");
    TFastDIB d;
    // RLE8 compression on a 4-bit picture; compressed rows marked top-down; an absolute run cut off.
    QByteArray mixed = RleBmp(2, 1, 4, {TFColor{}}, Bytes({1, 1, 0, 1}));
    mixed[30] = 1;
    QByteArray topDown = RleBmp(2, 1, 8, {TFColor{}}, Bytes({1, 1, 0, 1}));
    topDown[22] = char(0xFF), topDown[23] = char(0xFF), topDown[24] = char(0xFF), topDown[25] = char(0xFF);
    const QByteArray cut = RleBmp(8, 1, 8, {TFColor{}}, Bytes({0, 8, 1, 2, 3}));
    for (const QByteArray& bytes : {mixed, topDown, cut}) {
        WriteAll(file, bytes);
        EXPECT_THROW(LoadPictureToDIB(file, d), EInvalidGraphic);
        EXPECT_TRUE(d.Empty());
    }
}
