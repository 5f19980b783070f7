// The whole-image copies of the display path: CopyDIB between images and the image-to-view copy. Both
// run in row bands on several threads and must finish also while a stop request stands (a stopped
// effect's frame restores and shows the picture then).

#include "app/main/ZorvTileMain.h"
#include "app/tools/ImageView.h"
#include "image/Parallel.h"
#include "image/WorkControl.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstring>

namespace {

// Every pixel of a w x h image different: (b, g, r) = (x, y, x ^ y + k).
void Pattern(TFastDIB& d, int w, int h, int k) {
    d.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            d.SetPixel(y, x,
                       TFColor{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                               static_cast<std::uint8_t>((x ^ y) + k)});
}

// Several threads and a stop request for the duration of a test.
struct ImageCopies : ::testing::Test {
    void SetUp() override {
        SetParallelThreads(4);
        RequestWorkStop();
    }
    void TearDown() override {
        ClearWorkStop();
        SetParallelThreads(0);
    }
};

} // namespace

TEST_F(ImageCopies, CopyDibCopiesEveryRowIntoTheSameOrANewSize) {
    TFastDIB src, dst;
    Pattern(src, 333, 257, 1);
    // Same size: into the image's own memory.
    Pattern(dst, 333, 257, 9);
    const std::uint8_t* memory = dst.Bits;
    CopyDIB(src, dst);
    EXPECT_EQ(dst.Bits, memory);
    for (int y = 0; y < 257; ++y) ASSERT_EQ(std::memcmp(dst.Scanlines[y], src.Scanlines[y], 333 * 3), 0) << y;
    // Another size (and an image without pixels): sized first.
    for (const int side : {0, 40}) {
        TFastDIB other;
        if (side) Pattern(other, side, side, 2);
        CopyDIB(src, other);
        ASSERT_EQ(other.Width, 333);
        ASSERT_EQ(other.Height, 257);
        ASSERT_EQ(other.Bpp, 24);
        for (int y = 0; y < 257; ++y)
            ASSERT_EQ(std::memcmp(other.Scanlines[y], src.Scanlines[y], 333 * 3), 0) << y;
    }
    // A 32-bit source is converted, not copied byte for byte.
    TFastDIB deep;
    deep.SetSize(3, 2, 32, 888);
    deep.Pixels32[1][2] = TFColorA{10, 20, 30, 99};
    CopyDIB(deep, dst);
    ASSERT_EQ(dst.Bpp, 24);
    EXPECT_EQ(dst.GetPixel(1, 2).b, 10);
    EXPECT_EQ(dst.GetPixel(1, 2).g, 20);
    EXPECT_EQ(dst.GetPixel(1, 2).r, 30);
}

TEST_F(ImageCopies, ViewCopyShowsTheImageAndLeavesSharedCopiesAlone) {
    TFastDIB src;
    Pattern(src, 301, 290, 3);
    QImage view(301, 290, QImage::Format_BGR888);
    view.fill(Qt::black);
    const QImage before = view; // shares the view's pixels until the copy writes
    CopyDIBToView(src, view);
    for (int y = 0; y < 290; ++y)
        ASSERT_EQ(std::memcmp(view.constScanLine(y), src.Scanlines[y], 301 * 3), 0) << y;
    EXPECT_EQ(before.pixel(5, 5), qRgb(0, 0, 0));

    // A smaller view takes what fits; pixel (x, y) of the image at (x, y) of the view.
    QImage small(50, 20, QImage::Format_BGR888);
    CopyDIBToView(src, small);
    const TFColor c = src.GetPixel(19, 49);
    EXPECT_EQ(small.pixel(49, 19), qRgb(c.r, c.g, c.b));
}
