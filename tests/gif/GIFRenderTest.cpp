// Frame rendering with its mask, palettes, import from bitmaps and masks, Crop, Merge, and drawing
// onto a 24-bit surface, with values worked by hand.
#include <gtest/gtest.h>

#include "GifTestUtil.h"

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, White = 0xFFFFFF;

// A frame of w x h with the given pixels on a global table of the given colours.
TGIFSubImage* Frame(TGIFImage& image, int w, int h, const Bytes& px, std::initializer_list<TColor> colors,
                    int left = 0, int top = 0) {
    if (image.GlobalColorMap().Count() == 0)
        for (TColor c : colors) image.GlobalColorMap().Add(c);
    TGIFSubImage* f = AddFrame(image, left, top, w, h);
    std::copy(px.begin(), px.end(), f->Data());
    return f;
}

void MakeTransparent(TGIFSubImage* f, int index) {
    auto g = std::make_unique<TGIFGraphicControlExtension>(f);
    TGIFGraphicControlExtension* p = g.get();
    f->Extensions().Add(std::move(g));
    p->SetTransparentColorIndex(index);
    p->SetTransparent(true);
}

// A 24-bit canvas filled with one colour.
struct Canvas {
    TFastDIB Dib;
    Canvas(int w, int h, TFColor fill = {9, 9, 9}) {
        Dib.SetSize(w, h, 24, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) Dib.Pixels24[y][x] = fill;
    }
    TFColor At(int x, int y) const { return Dib.Pixels24[y][x]; }
};

} // namespace

TEST(gifRender, MaskBitsAndRowPadding) {
    // 3 x 2, transparent index 1 in the four corners: row bytes 1010 0000, rows 2 bytes long.
    TGIFImage image;
    TGIFSubImage* f = Frame(image, 3, 2, B({1, 0, 1, 1, 0, 1}), {Red, Green});
    MakeTransparent(f, 1);
    ASSERT_TRUE(f->HasMask());
    EXPECT_EQ(f->MaskRowBytes(), 2);
    EXPECT_EQ(f->MaskBits(), B({0xA0, 0x00, 0xA0, 0x00}));
    // 17 pixels wide: two 16-bit words a row; pixel 16 is bit 7 of the third byte.
    TGIFImage wide;
    Bytes px(17, 0);
    px[0] = px[9] = px[16] = 1;
    TGIFSubImage* g = Frame(wide, 17, 1, px, {Red, Green});
    MakeTransparent(g, 1);
    ASSERT_TRUE(g->HasMask());
    EXPECT_EQ(g->MaskBits(), B({0x80, 0x40, 0x80, 0x00}));
    // No pixel transparent: no mask.
    TGIFImage none;
    TGIFSubImage* n = Frame(none, 2, 1, B({0, 0}), {Red, Green});
    MakeTransparent(n, 1);
    EXPECT_FALSE(n->HasMask());
}

TEST(gifRender, PlainRenderingAndPalettePrecedence) {
    TGIFImage image;
    TGIFSubImage* f = Frame(image, 3, 1, B({0, 1, 7}), {Red, Green});
    const TFastDIB* bmp = f->Bitmap();
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->Bpp, 8);
    EXPECT_EQ(bmp->Pixels8[0][2], 7);
    // The global table's two colours, then opaque black up to 256 entries: index 7 shows black.
    EXPECT_EQ((*bmp->Colors)[0], (TFColorA{0, 0, 255, 0}));
    EXPECT_EQ((*bmp->Colors)[1], (TFColorA{0, 255, 0, 0}));
    EXPECT_EQ((*bmp->Colors)[7], (TFColorA{0, 0, 0, 0}));
    EXPECT_EQ((*bmp->Colors)[255], (TFColorA{0, 0, 0, 0}));
    EXPECT_EQ(f->Palette().entries.size(), 2u);
    // A local table takes precedence, and changing it drops the rendering.
    f->ColorMap().Add(Blue);
    EXPECT_FALSE(f->HasBitmap());
    ASSERT_EQ(f->Palette().entries.size(), 1u);
    EXPECT_EQ(f->Palette().entries[0].peBlue, 255);
    // Dithering on (the display's choice ignored): the 216-entry web palette, entry 36r + 6g + b.
    TGIFImage dither;
    dither.SetDrawOptions(DrawOption(goDither));
    TGIFSubImage* d = Frame(dither, 1, 1, B({0}), {Red});
    ASSERT_EQ(d->Palette().entries.size(), 216u);
    const TPaletteEntry e = d->Palette().entries[36 * 5 + 6 * 2 + 1];
    EXPECT_EQ((std::array<int, 3>{e.peRed, e.peGreen, e.peBlue}), (std::array<int, 3>{255, 102, 51}));
    // No colour table anywhere: an empty palette, all black, no error.
    TGIFImage bare;
    TGIFSubImage* b = AddFrame(bare, 0, 0, 1, 1);
    EXPECT_TRUE(b->Palette().entries.empty());
    ASSERT_NE(b->Bitmap(), nullptr);
}

TEST(gifRender, AbortedRenderingLeavesNoBitmap) {
    TGIFImage image;
    TGIFSubImage* f = Frame(image, 4, 40, Bytes(160, 1), {Red, Green});
    MakeTransparent(f, 1);
    image.OnProgress = [](TProgressStage stage, int, bool, const std::string&) {
        if (stage == psRunning) throw EGIFAbort();
    };
    EXPECT_EQ(f->Bitmap(), nullptr);
    EXPECT_FALSE(f->HasBitmap());
    EXPECT_TRUE(f->MaskBits().empty());
    Canvas c(4, 40);
    f->Draw(c.Dib.AsSurface(), {0, 0, 4, 40}, true, false); // draws nothing, no crash
    EXPECT_EQ(c.At(0, 0), (TFColor{9, 9, 9}));
    image.OnProgress = nullptr;
    EXPECT_TRUE(f->HasMask()); // made again on demand
}

TEST(gifImport, IndexedMonoAndTrueColourBitmaps) {
    // 8 bits: the bitmap's colour table in its order, the indices as they stand.
    TFastDIB b8;
    b8.SetSize(3, 1, 8, 0);
    b8.bmInfo.bmiHeader.biClrUsed = 3;
    (*b8.Colors)[0] = {10, 20, 30, 0};
    (*b8.Colors)[1] = {40, 50, 60, 0};
    (*b8.Colors)[2] = {70, 80, 90, 0};
    b8.Pixels8[0][0] = 2;
    b8.Pixels8[0][1] = 0;
    b8.Pixels8[0][2] = 1;
    TGIFImage i8;
    i8.Assign(b8);
    ASSERT_EQ(i8.Images().Count(), 1);
    TGIFSubImage* f8 = i8.Images()[0];
    EXPECT_EQ(FrameBytes(*f8), B({2, 0, 1}));
    ASSERT_EQ(f8->ColorMap().Count(), 3);
    EXPECT_EQ(f8->ColorMap().Colors(1), RGBColor(60, 50, 40));
    EXPECT_EQ(i8.Width(), 3);

    // 1 bit: indices 0 and 1, most significant bit first, and the two palette colours.
    TFastDIB b1;
    b1.SetSize(10, 1, 1, 0);
    (*b1.Colors)[0] = {0, 0, 0, 0};
    (*b1.Colors)[1] = {255, 255, 255, 0};
    b1.Scanlines[0][0] = 0xA1; // 1010 0001
    b1.Scanlines[0][1] = 0x80; // 10
    TGIFImage i1;
    i1.Assign(b1);
    EXPECT_EQ(FrameBytes(*i1.Images()[0]), B({1, 0, 1, 0, 0, 0, 0, 1, 1, 0}));
    EXPECT_EQ(i1.Images()[0]->ColorMap().Count(), 2);

    // 4 bits: high nibble first.
    TFastDIB b4;
    b4.SetSize(3, 1, 4, 0);
    b4.Scanlines[0][0] = 0x3C;
    b4.Scanlines[0][1] = 0x50;
    TGIFImage i4;
    i4.Assign(b4);
    EXPECT_EQ(FrameBytes(*i4.Images()[0]), B({3, 12, 5}));
    EXPECT_EQ(i4.Images()[0]->ColorMap().Count(), 16);

    // 24 bits without reduction: colours enter the table in order of first appearance.
    TFastDIB b24;
    b24.SetSize(5, 1, 24, 0);
    const TFColor c[5] = {{0, 0, 255}, {0, 255, 0}, {0, 0, 255}, {255, 0, 0}, {0, 255, 0}};
    for (int x = 0; x < 5; ++x) b24.Pixels24[0][x] = c[x];
    TGIFImage i24;
    i24.SetColorReduction(rmNone);
    i24.Assign(b24);
    TGIFSubImage* f24 = i24.Images()[0];
    EXPECT_EQ(FrameBytes(*f24), B({0, 1, 0, 2, 1}));
    EXPECT_EQ(f24->ColorMap().Colors(0), Red);
    EXPECT_EQ(f24->ColorMap().Colors(2), Blue);

    // 300 colours without reduction overflow the table.
    TFastDIB many;
    many.SetSize(300, 1, 24, 0);
    for (int x = 0; x < 300; ++x)
        many.Pixels24[0][x] = {static_cast<std::uint8_t>(x & 255), static_cast<std::uint8_t>(x >> 8), 7};
    TGIFImage overflow;
    overflow.SetColorReduction(rmNone);
    try {
        overflow.Assign(many);
        ADD_FAILURE() << "no overflow";
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Color table overflow");
    }
}

TEST(gifImport, MaskImport) {
    TGIFImage image;
    TFastDIB b;
    b.SetSize(3, 2, 8, 0);
    b.bmInfo.bmiHeader.biClrUsed = 2;
    (*b.Colors)[0] = {0, 0, 255, 0};
    (*b.Colors)[1] = {0, 255, 0, 0};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) b.Pixels8[y][x] = x == 2 ? 1 : 0; // index 0 used four times, 1 twice
    image.Assign(b);
    TGIFSubImage* f = image.Images()[0];
    // A mask larger than the frame: only the overlap counts. Marks (2, 0) and (0, 1).
    const Bytes mask = B({0, 0, 5, 9, 1, 0, 0, 9, 9, 9, 9, 9});
    f->ImportMask(mask.data(), 4, 3, 4);
    // Optimised first (already in order of use), black appended as index 2.
    ASSERT_EQ(f->ColorMap().Count(), 3);
    EXPECT_EQ(f->ColorMap().Colors(2), 0u);
    EXPECT_TRUE(f->Transparent());
    ASSERT_NE(f->GraphicControlExtension(), nullptr);
    EXPECT_EQ(f->GraphicControlExtension()->TransparentColorIndex(), 2);
    EXPECT_EQ(f->Pixels(2, 0), 2);
    EXPECT_EQ(f->Pixels(0, 1), 2);
    EXPECT_EQ(f->Pixels(1, 0), 0);
    EXPECT_EQ(f->Pixels(2, 1), 1);
    // A mask that marks nothing leaves no new entry and no extension.
    TGIFImage clean;
    clean.Assign(b);
    const Bytes zero(6, 0);
    clean.Images()[0]->ImportMask(zero.data(), 3, 2, 3);
    EXPECT_EQ(clean.Images()[0]->ColorMap().Count(), 2);
    EXPECT_FALSE(clean.Images()[0]->Transparent());
    // A table of 256 entries leaves the frame opaque.
    TGIFImage full;
    TGIFSubImage* g = AddFrame(full, 0, 0, 256, 1);
    for (int i = 0; i < 256; ++i) {
        g->ColorMap().Add(static_cast<TColor>(i));
        g->Data()[i] = static_cast<std::uint8_t>(i);
    }
    const Bytes ones(256, 1);
    g->ImportMask(ones.data(), 256, 1, 256);
    EXPECT_FALSE(g->Transparent());
    EXPECT_EQ(g->ColorMap().Count(), 256);
}

TEST(gifEdit, Crop) {
    // 4 x 3, transparent index 0; the opaque pixels span columns 1..2 and rows 1..2.
    TGIFImage image;
    TGIFSubImage* f = Frame(image, 4, 3, B({0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2, 0}), {Red, Green, Blue}, 5, 6);
    MakeTransparent(f, 0);
    f->Crop();
    EXPECT_EQ(f->Left(), 6);
    EXPECT_EQ(f->Top(), 7);
    EXPECT_EQ(f->Width(), 2);
    EXPECT_EQ(f->Height(), 2);
    EXPECT_EQ(FrameBytes(*f), B({1, 0, 0, 2}));
    // Every pixel transparent: the frame is emptied.
    TGIFSubImage* g = Frame(image, 2, 2, B({0, 0, 0, 0}), {});
    MakeTransparent(g, 0);
    g->Crop();
    EXPECT_TRUE(g->Empty());
}

TEST(gifEdit, MergeMakesRepeatedPixelsTransparent) {
    // Previous frame 3 x 1 at 0: R G B; this frame 2 x 1 at 1: G W (same global table).
    TGIFImage image;
    TGIFSubImage* prev = Frame(image, 3, 1, B({0, 1, 2}), {Red, Green, Blue, White});
    TGIFSubImage* f = Frame(image, 2, 1, B({1, 3}), {}, 1, 0);
    f->Merge(prev);
    // Green repeats: it takes a new transparent index, black appended to the global table (4).
    ASSERT_TRUE(f->Transparent());
    EXPECT_EQ(f->GraphicControlExtension()->TransparentColorIndex(), 4);
    EXPECT_EQ(FrameBytes(*f), B({4, 3}));
    EXPECT_EQ(image.GlobalColorMap().Count(), 5);

    // Another frame's transparent index is reused only when no pixel of this frame uses it.
    TGIFImage two;
    TGIFSubImage* a = Frame(two, 2, 1, B({0, 1}), {Red, Green, Blue});
    TGIFSubImage* lender = Frame(two, 1, 1, B({2}), {}, 0, 0);
    MakeTransparent(lender, 2);
    TGIFSubImage* b = Frame(two, 2, 1, B({0, 2}), {}, 0, 0);
    b->Merge(a);
    // Index 2 (blue) is used by b's second pixel: black appended instead (3).
    EXPECT_EQ(b->GraphicControlExtension()->TransparentColorIndex(), 3);
    EXPECT_EQ(FrameBytes(*b), B({3, 2}));
    TGIFSubImage* c = Frame(two, 2, 1, B({0, 1}), {}, 0, 0);
    c->Merge(a);
    EXPECT_EQ(c->GraphicControlExtension()->TransparentColorIndex(), 2); // unused by c: reused
    EXPECT_EQ(FrameBytes(*c), B({2, 2}));

    // A previous frame disposed to the background changes nothing.
    TGIFImage disp;
    TGIFSubImage* p = Frame(disp, 1, 1, B({0}), {Red, Green});
    MakeTransparent(p, 1);
    p->GraphicControlExtension()->SetDisposal(dmPrevious);
    TGIFSubImage* q = Frame(disp, 1, 1, B({0}), {});
    q->Merge(p);
    EXPECT_FALSE(q->Transparent());
    EXPECT_EQ(FrameBytes(*q), B({0}));
}

TEST(gifDraw, ScaleRectStretchAndTiles) {
    // A 10 x 10 screen with a 4 x 2 frame at (2, 5), drawn into (100, 50)-(120, 70): scale 2.
    TGIFImage image;
    image.Header().SetWidth(10);
    image.Header().SetHeight(10);
    TGIFSubImage* f = Frame(image, 4, 2, B({0, 1, 1, 0, 1, 1, 1, 1}), {Red, Green}, 2, 5);
    EXPECT_EQ(f->ScaleRect({100, 50, 120, 70}), (TGIFRect{104, 60, 112, 64}));
    // Drawn into (0, 0)-(20, 20) of a 20 x 20 canvas: pixel (1, 0) covers (6..7, 10..11).
    Canvas c(20, 20);
    f->Draw(c.Dib.AsSurface(), {0, 0, 20, 20}, false, false);
    EXPECT_EQ(c.At(4, 10), (TFColor{0, 0, 255}));
    EXPECT_EQ(c.At(6, 10), (TFColor{0, 255, 0}));
    EXPECT_EQ(c.At(7, 11), (TFColor{0, 255, 0}));
    EXPECT_EQ(c.At(3, 10), (TFColor{9, 9, 9}));
    EXPECT_EQ(c.At(12, 12), (TFColor{9, 9, 9}));
    // Transparent index 1: only pixels 0 of the frame are drawn.
    MakeTransparent(f, 1);
    Canvas t(20, 20);
    f->Draw(t.Dib.AsSurface(), {0, 0, 20, 20}, true, false);
    EXPECT_EQ(t.At(4, 10), (TFColor{0, 0, 255}));
    EXPECT_EQ(t.At(6, 10), (TFColor{9, 9, 9}));

    // Tiling a 10 x 10 picture into a 25 x 25 rectangle: tiles at 0, 10, 20 in each direction.
    TGIFImage tiled;
    tiled.GlobalColorMap().Add(Red);
    AddFrame(tiled, 0, 0, 10, 10);
    Canvas k(40, 40);
    tiled.Images()[0]->Draw(k.Dib.AsSurface(), {0, 0, 25, 25}, false, true);
    EXPECT_EQ(k.At(29, 29), (TFColor{0, 0, 255})); // the third tile, at its own size
    EXPECT_EQ(k.At(30, 5), (TFColor{9, 9, 9}));
    EXPECT_EQ(k.At(5, 30), (TFColor{9, 9, 9}));
    // Starting far to the left and above: only the tiles that reach the canvas are visited.
    Canvas far(10, 10);
    tiled.Images()[0]->Draw(far.Dib.AsSurface(), {-1000000, -1000000, 10, 10}, false, true);
    EXPECT_EQ(far.At(9, 9), (TFColor{0, 0, 255}));
    // A picture without size draws nothing.
    TGIFImage zero;
    zero.GlobalColorMap().Add(Red);
    TGIFSubImage* z = AddFrame(zero, 0, 0, 2, 2);
    zero.Header().SetWidth(0);
    Canvas e(4, 4);
    z->Draw(e.Dib.AsSurface(), {0, 0, 4, 4}, false, true);
    EXPECT_EQ(e.At(0, 0), (TFColor{9, 9, 9}));
}

TEST(gifPicture, OptimizePasses) {
    // Options are checked before any pass: reduction to a given palette needs the cleanup pass.
    TGIFImage image;
    TGIFSubImage* a = Frame(image, 2, 1, B({1, 1}), {Red, Green});
    MakeTransparent(a, 0);
    a->GraphicControlExtension()->SetDelay(65000);
    TGIFSubImage* b = Frame(image, 2, 1, B({0, 0}), {});
    MakeTransparent(b, 0);
    b->GraphicControlExtension()->SetDelay(1000);
    EXPECT_THROW(
        image.Optimize(OptimizeOption(ooCrop) | OptimizeOption(ooReduceColors), rmPalette, dmNearest, 8),
        GIFException);
    EXPECT_EQ(image.Images().Count(), 2);
    // Cropping empties the second frame: its delay goes to the first, at most 65535.
    image.Optimize(OptimizeOption(ooCrop), rmNetscape, dmNearest, 8);
    ASSERT_EQ(image.Images().Count(), 1);
    EXPECT_EQ(image.Images()[0]->GraphicControlExtension()->Delay(), 65535);
}

TEST(gifRender, DitheredRenderingOnTheWebPalette) {
    // Red (255, 0, 0) is web entry 36 x 5 = 180 and (102, 51, 0) entry 36 x 2 + 6 = 78, both exact
    // (no error to diffuse).
    TGIFImage image;
    image.SetDrawOptions(DrawOption(goDither));
    TGIFSubImage* f = Frame(image, 3, 1, B({0, 1, 0}), {RGBColor(255, 0, 0), RGBColor(102, 51, 0)});
    const TFastDIB* plain = f->Bitmap();
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ((std::array<int, 3>{plain->Pixels8[0][0], plain->Pixels8[0][1], plain->Pixels8[0][2]}),
              (std::array<int, 3>{180, 78, 180}));
    EXPECT_EQ((*plain->Colors)[78], (TFColorA{0, 51, 102, 0}));
    EXPECT_EQ((*plain->Colors)[216], (TFColorA{0, 0, 0, 0}));
    // Index 1 transparent: its pixel keeps the fill byte, one more than its web entry
    // (36 x 102 / 51 + 6 x 51 / 51 + 0 / 51 + 1 = 79), and sets its mask bit.
    MakeTransparent(f, 1);
    ASSERT_TRUE(f->HasMask());
    const TFastDIB* masked = f->Bitmap();
    EXPECT_EQ((std::array<int, 3>{masked->Pixels8[0][0], masked->Pixels8[0][1], masked->Pixels8[0][2]}),
              (std::array<int, 3>{180, 79, 180}));
    EXPECT_EQ(f->MaskBits(), B({0x40, 0x00}));
}

TEST(gifPicture, SettersAndCopies) {
    TGIFImage image;
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Bitmap(), nullptr);
    EXPECT_FALSE(image.IsTransparent());
    EXPECT_EQ(image.Version(), gvUnknown);
    // Reduction depth 3..8; anything else refused and the old value kept.
    for (int bad : {2, 9}) EXPECT_THROW(image.SetReductionBits(bad), GIFException);
    EXPECT_EQ(image.ReductionBits(), 8);
    image.SetReductionBits(3);
    EXPECT_EQ(image.ReductionBits(), 3);
    image.SetAnimationSpeed(5000);
    EXPECT_EQ(image.AnimationSpeed(), 1000);
    image.SetAnimationSpeed(-1);
    EXPECT_EQ(image.AnimationSpeed(), 0);
    // The screen cannot shrink below a frame.
    TGIFSubImage* f = Frame(image, 4, 2, B({0, 1, 1, 0, 1, 1, 1, 1}), {Red, Green}, 3, 1);
    MakeTransparent(f, 0);
    EXPECT_THROW(image.SetWidth(6), GIFException);
    EXPECT_EQ(image.Width(), 7);
    image.SetHeight(10);
    EXPECT_EQ(image.Height(), 10);
    // A copy: frames, header and drawing options, without the handlers.
    int warnings = 0;
    image.OnWarning = [&](const void*, TGIFSeverity, const std::string&) { ++warnings; };
    image.SetDrawOptions(DrawOption(goTile));
    image.SetCompression(gcRLE);
    TGIFImage copy;
    copy.Assign(&image);
    EXPECT_EQ(copy.Images().Count(), 1);
    EXPECT_EQ(copy.Width(), 7);
    EXPECT_EQ(copy.Height(), 10);
    EXPECT_EQ(FrameBytes(*copy.Images()[0]), FrameBytes(*f));
    EXPECT_TRUE(copy.IsTransparent());
    EXPECT_EQ(copy.DrawOptions(), DrawOption(goTile));
    EXPECT_EQ(copy.Compression(), gcLZW); // not copied
    EXPECT_EQ(copy.ReductionBits(), 8);   // not copied
    EXPECT_FALSE(copy.OnWarning);
    EXPECT_FALSE(copy.OnProgress);
    // The rendering of the screen: palette entry 0 around the frame, the frame drawn opaque.
    const TFastDIB* bmp = copy.Bitmap();
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->Bpp, 24);
    EXPECT_EQ(bmp->Pixels24[0][0], (TFColor{0, 0, 255}));
    EXPECT_EQ(bmp->Pixels24[1][4], (TFColor{0, 255, 0}));
}

TEST(gifPicture, CleanupOfASingleFrame) {
    // One frame with a looping extension, an empty graphic control extension and a comment: all go.
    TGIFImage image;
    TGIFSubImage* f = Frame(image, 1, 1, B({0}), {Red});
    f->Extensions().Add(std::make_unique<TGIFAppExtNSLoop>(f));
    f->Extensions().Add(std::make_unique<TGIFGraphicControlExtension>(f));
    f->Extensions().Add(std::make_unique<TGIFCommentExtension>(f));
    image.Optimize(OptimizeOption(ooCleanup), rmNetscape, dmNearest, 8);
    ASSERT_EQ(image.Images().Count(), 1);
    EXPECT_EQ(image.Images()[0]->Extensions().Count(), 0);
    // A transparent one stays.
    TGIFSubImage* g = Frame(image, 1, 1, B({0}), {});
    MakeTransparent(g, 0);
    image.Optimize(OptimizeOption(ooCleanup), rmNetscape, dmNearest, 8);
    EXPECT_EQ(image.Images()[1]->Extensions().Count(), 1);
}

TEST(gifPicture, MergePassSharesOneTransparentIndex) {
    // Three equal frames on the global table (red, green): from the last down, each becomes
    // transparent where it repeats the one before. The third takes black appended as index 2; the
    // second borrows index 2 from it (no pixel of the second uses 2); the first stays as it is.
    TGIFImage image;
    TGIFSubImage* a = Frame(image, 2, 1, B({0, 1}), {Red, Green});
    TGIFSubImage* b = Frame(image, 2, 1, B({0, 1}), {});
    TGIFSubImage* c = Frame(image, 2, 1, B({0, 1}), {});
    image.Optimize(OptimizeOption(ooMerge), rmNetscape, dmNearest, 8);
    EXPECT_EQ(image.GlobalColorMap().Count(), 3);
    EXPECT_FALSE(a->Transparent());
    EXPECT_EQ(FrameBytes(*a), B({0, 1}));
    for (TGIFSubImage* f : {b, c}) {
        ASSERT_TRUE(f->Transparent());
        EXPECT_EQ(f->GraphicControlExtension()->TransparentColorIndex(), 2);
        EXPECT_EQ(FrameBytes(*f), B({2, 2}));
    }
}
