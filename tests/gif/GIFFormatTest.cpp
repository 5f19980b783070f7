// File layout: header, screen descriptor, colour tables, frames, trailer, version rule, block walk.
#include <gtest/gtest.h>

#include "GifTestUtil.h"

namespace {

// Global table (1,2,3), (4,5,6), (7,8,9); one 1 x 1 frame of index 0 without local table.
void ThreeColourPicture(TGIFImage& image) {
    image.GlobalColorMap().Add(0x030201);
    image.GlobalColorMap().Add(0x060504);
    image.GlobalColorMap().Add(0x090807);
    AddFrame(image, 0, 0, 1, 1);
}

} // namespace

TEST(gifFormat, HeaderScreenDescriptorAndColourTableBytes) {
    WarnedImage w;
    ThreeColourPicture(w.Image);
    // 3 colours: 2 bits per pixel, table padded with (0,0,0) to 4 entries, size bits 1; colour
    // resolution 1 in bits 4-6. The pixel data: code size 2, clear 4, pixel 0, end 5 in 3-bit codes.
    const Bytes expected =
        Cat({Str("GIF87a"), B({1, 0, 1, 0, 0x91, 0, 0}), B({1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}),
             Descriptor(0, 0, 1, 1), B({2, 2, 0x44, 0x01, 0}), B({';'})});
    EXPECT_EQ(w.Save(), expected);
    EXPECT_TRUE(w.Warnings.empty());

    WarnedImage r;
    r.Load(expected);
    EXPECT_EQ(r.Image.Width(), 1);
    EXPECT_EQ(r.Image.Height(), 1);
    // The table read from the file holds all four entries of its stated size.
    ASSERT_EQ(r.Image.GlobalColorMap().Count(), 4);
    EXPECT_EQ(r.Image.GlobalColorMap().Colors(1), 0x060504u);
    EXPECT_EQ(r.Image.GlobalColorMap().Colors(3), 0u);
    ASSERT_EQ(r.Image.Images().Count(), 1);
    EXPECT_EQ(r.Image.Images()[0]->Pixels(0, 0), 0);
    EXPECT_TRUE(r.Warnings.empty());
}

TEST(gifFormat, OneEntryTableIsWrittenAsTwo) {
    TGIFImage image;
    image.GlobalColorMap().Add(0xFFFFFF);
    TMemoryStream s;
    image.GlobalColorMap().SaveToStream(s);
    EXPECT_EQ(s.Bytes(), B({255, 255, 255, 0, 0, 0}));
    AddFrame(image, 0, 0, 1, 1);
    TMemoryStream file;
    image.SaveToStream(file);
    EXPECT_EQ(file.Bytes()[10], 0x80); // table present, resolution 0, size bits 0
}

TEST(gifFormat, HeaderWithoutGlobalTableTakesSizeBitsFromEmptyTable) {
    // Packed byte: no table flag; resolution of the local table (4 colours: 1) in bits 4-6; the
    // size bits are (0 - 1) and 7 = 7 for the empty global table.
    TGIFImage image;
    TGIFSubImage* f = AddFrame(image, 0, 0, 2, 3);
    for (int i = 0; i < 4; ++i) f->ColorMap().Add(static_cast<TColor>(i));
    TMemoryStream s;
    image.SaveToStream(s);
    EXPECT_EQ(s.Bytes()[10], 0x17);
}

TEST(gifFormat, LocalTableFrameIsWrittenInPlainRowOrder) {
    TGIFImage image;
    TGIFSubImage* f = AddFrame(image, 0, 0, 2, 3);
    for (int i = 0; i < 4; ++i) f->ColorMap().Add(static_cast<TColor>(0x010101 * i));
    const std::uint8_t px[6] = {0, 0, 1, 1, 2, 2};
    std::copy(px, px + 6, f->Data());
    f->SetInterlaced(true);
    TMemoryStream s;
    f->SaveToStream(s);
    // Descriptor without the interlace bit: $80 + resolution 1. LZW codes of 0 0 1 1 2 2 in plain
    // order: clear 4, 0, 0, 1 (3 bits), then 1, 2, 2, end 5 (4 bits).
    const Bytes expected = Cat({Descriptor(0, 0, 2, 3, 0x81), B({0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3}),
                                B({2, 4, 0x04, 0x12, 0x22, 0x05, 0})});
    EXPECT_EQ(s.Bytes(), expected);
    EXPECT_FALSE(f->Interlaced());
}

TEST(gifFormat, SignatureVariants) {
    const Bytes body = Cat({B({1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255}), Descriptor(0, 0, 1, 1),
                            B({2, 2, 0x44, 0x01, 0, ';'})});
    for (const Bytes& sig : {Str("GIF87a"), Str("gif89a"), Str("GIF12z"), Str("XYZWGIF87a")}) {
        WarnedImage w;
        w.Load(Cat({sig, body}));
        EXPECT_EQ(w.Image.Images().Count(), 1);
        EXPECT_TRUE(w.Warnings.empty());
    }
    WarnedImage bad;
    try {
        bad.Load(Cat({Str("PNG87a"), body}));
        FAIL() << "a stream without GIF signature loaded";
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Invalid GIF signature");
    }
    WarnedImage shortFile;
    EXPECT_THROW(shortFile.Load(Str("GIF8")), GIFException);
}

TEST(gifFormat, VersionRule) {
    TGIFImage image;
    EXPECT_EQ(image.Version(), gvUnknown);
    TMemoryStream s;
    try {
        image.SaveToStream(s);
        FAIL() << "a picture without frames saved";
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Unsupported GIF version");
    }
    ThreeColourPicture(image);
    EXPECT_EQ(image.Version(), gv87a);
    // An optimised global table or an aspect ratio makes the header 89a, but the header does not
    // enter the version written.
    image.Header().SetAspectRatio(49);
    EXPECT_EQ(image.Header().Version(), gv89a);
    EXPECT_EQ(image.Version(), gv87a);
    TGIFSubImage* f = image.Images()[0];
    f->Extensions().Add(std::make_unique<TGIFCommentExtension>(f));
    EXPECT_EQ(image.Version(), gv89a);
    TMemoryStream out;
    image.SaveToStream(out);
    EXPECT_EQ(Bytes(out.Bytes().begin(), out.Bytes().begin() + 6), Str("GIF89a"));
}

TEST(gifFormat, StrayZeroBytesBetweenBlocksAreSkipped) {
    // Zeros after the header, between the graphic control extension and its frame, and before the
    // trailer: the extension still belongs to the frame that follows it.
    const Bytes file = Cat({Header87(1, 1, 0), B({0, 0}), TransparentGCE(1), B({0}), Descriptor(0, 0, 1, 1),
                            B({2, 2, 0x44, 0x01, 0}), B({0, 0, ';'})});
    WarnedImage w;
    w.Load(file);
    ASSERT_EQ(w.Image.Images().Count(), 1);
    TGIFSubImage* f = w.Image.Images()[0];
    EXPECT_EQ(f->Extensions().Count(), 1);
    EXPECT_TRUE(f->Transparent());
    EXPECT_FALSE(f->Empty());
    EXPECT_TRUE(w.Warnings.empty());
}

TEST(gifFormat, TrailerAndUnknownBlocks) {
    const Bytes frame = Cat({Descriptor(0, 0, 1, 1), B({2, 2, 0x44, 0x01, 0})});
    WarnedImage noTrailer;
    noTrailer.Load(Cat({Header87(1, 1, 0), frame}));
    EXPECT_EQ(noTrailer.Image.Images().Count(), 1);
    // Without the trailer the file may have lost frames: it loads and says so.
    EXPECT_EQ(noTrailer.Warnings, std::vector<std::string>{"The file ends before its trailer: the picture is incomplete"});

    WarnedImage other;
    other.Load(Cat({Header87(1, 1, 0), frame, B({'X', ',', ';'})}));
    EXPECT_EQ(other.Image.Images().Count(), 1); // reading of frames stops at the unknown byte
    EXPECT_TRUE(other.Warned("Unknown GIF block type"));
    EXPECT_TRUE(other.Warned("Invalid Image trailer"));
}

TEST(gifFormat, ZeroWidthFrameTakesScreenSize) {
    // A 3 x 2 screen; the frame says 0 x 0 and gets 3 x 2; its data: clear, 1, end (bits 2).
    const Bytes file = Cat({Header87(3, 2, 0), Descriptor(0, 0, 0, 0), B({2, 2, 0x4C, 0x01, 0, ';'})});
    WarnedImage w;
    w.Load(file);
    ASSERT_EQ(w.Image.Images().Count(), 1);
    EXPECT_EQ(w.Image.Images()[0]->Width(), 3);
    EXPECT_EQ(w.Image.Images()[0]->Height(), 2);
    EXPECT_EQ(FrameBytes(*w.Image.Images()[0]), B({1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(w.Warnings, (std::vector<std::string>{"Image exceeds Logical Screen size", "Image data end before the last pixel: the picture is incomplete"}));
}

TEST(gifFormat, ScreenGrowsToCoverFramesAndSetBoundsWarns) {
    TGIFImage image;
    std::vector<std::string> warnings;
    image.OnWarning = [&](const void*, TGIFSeverity s, const std::string& m) {
        EXPECT_EQ(s, gsWarning);
        warnings.push_back(m);
    };
    TGIFSubImage* f = AddFrame(image, 2, 3, 4, 5); // screen 0 x 0 grows silently
    EXPECT_EQ(image.Width(), 6);
    EXPECT_EQ(image.Height(), 8);
    EXPECT_TRUE(warnings.empty());
    f->SetBounds(3, 3, 4, 5); // passes the non-zero width only
    EXPECT_EQ(image.Width(), 7);
    EXPECT_EQ(warnings, (std::vector<std::string>{"Image width too small for contained frames",
                                                  "Image exceeds Logical Screen size"}));
    EXPECT_EQ(f->BoundsRect(), (TGIFRect{3, 3, 7, 8}));
    EXPECT_EQ(f->ClientRect(), (TGIFRect{0, 0, 4, 5}));
}

TEST(gifFormat, FramePixelAccess) {
    TGIFImage image;
    TGIFSubImage* f = AddFrame(image, 0, 0, 3, 2);
    EXPECT_EQ(f->DataSize(), 6u);
    f->SetPixel(2, 1, 9);
    EXPECT_EQ(f->Data()[5], 9);
    EXPECT_EQ(f->Scanline(1), f->Data() + 3);
    for (auto [x, y] : {std::pair{3, 0}, std::pair{-1, 0}, std::pair{0, 2}, std::pair{0, -1}}) {
        try {
            f->Pixels(x, y);
            ADD_FAILURE() << x << "," << y;
        } catch (const GIFException& e) {
            EXPECT_STREQ(e.what(), "Invalid pixel coordinates");
        }
    }
    TGIFSubImage empty(&image);
    try {
        empty.NeedImage();
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Image is empty");
    }
    EXPECT_TRUE(empty.Empty());
}

TEST(gifFormat, UnitRoutines) {
    EXPECT_EQ(Colors2bpp(0), 0);
    EXPECT_EQ(Colors2bpp(1), 1);
    EXPECT_EQ(Colors2bpp(2), 1);
    EXPECT_EQ(Colors2bpp(3), 2);
    EXPECT_EQ(Colors2bpp(4), 2);
    EXPECT_EQ(Colors2bpp(5), 3);
    EXPECT_EQ(Colors2bpp(129), 8);
    EXPECT_EQ(Colors2bpp(256), 8);
    // ((10 x 8 + 31) and not 31) shr 3 = 96 shr 3 = 12; ((3 x 1 + 7) and not 7) shr 3 = 1.
    EXPECT_EQ(AlignBit(10, 8, 32), 12);
    EXPECT_EQ(AlignBit(3, 1, 8), 1);
    EXPECT_EQ(AlignBit(5, 24, 32), 16);

    TMemoryStream s;
    WriteStrings(s, {std::string(600, 'x'), "", "ab"});
    const Bytes& b = s.Bytes();
    ASSERT_EQ(b.size(), 1 + 255 + 1 + 255 + 1 + 90 + 1 + 2 + 1u);
    EXPECT_EQ(b[0], 255);
    EXPECT_EQ(b[256], 255);
    EXPECT_EQ(b[512], 90);
    EXPECT_EQ(b[603], 2);
    EXPECT_EQ(b.back(), 0);

    // A sub-block becomes one line up to its first zero byte; a short one is an error.
    TMemoryStream in(B({3, 'a', 0, 'b', 1, 'c', 0}));
    std::vector<std::string> lines{"old"};
    ReadStrings(in, lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "c"}));
    TMemoryStream cut(B({5, 'a', 'b'}));
    EXPECT_THROW(ReadStrings(cut, lines), GIFException);
    TMemoryStream empty;
    EXPECT_EQ(ReadByte(empty), 0);
}

TEST(gifFormat, ListOwnershipAndOrder) {
    TGIFImage image;
    TGIFSubImage* a = AddFrame(image, 0, 0, 1, 1);
    TGIFSubImage* b = AddFrame(image, 0, 0, 2, 2);
    TGIFSubImage* c = AddFrame(image, 0, 0, 3, 3);
    EXPECT_EQ(image.PixelBytes(), 1 + 4 + 9);
    image.Images().Exchange(0, 2);
    EXPECT_EQ(image.Images()[0], c);
    image.Images().Move(0, 2); // c, b, a -> b, a, c
    EXPECT_EQ(image.Images()[2], c);
    EXPECT_EQ(image.Images().IndexOf(b), 0);
    EXPECT_EQ(image.Images().IndexOf(a), 1);
    std::unique_ptr<TGIFItem> taken = image.Images().Remove(a);
    EXPECT_EQ(taken.get(), a);
    EXPECT_EQ(image.Images().Count(), 2);
    taken.reset();
    EXPECT_EQ(image.PixelBytes(), 4 + 9);
    image.Images().Delete(0); // b
    EXPECT_EQ(image.Images().First(), c);
    EXPECT_EQ(image.PixelBytes(), 9);
    image.Clear();
    EXPECT_EQ(image.PixelBytes(), 0);
    EXPECT_TRUE(image.Empty());
    EXPECT_THROW(image.Images().Delete(0), std::out_of_range);
}

TEST(gifFormat, ExtensionsWithoutFrameAreKeptAndWrittenBack) {
    const Bytes comment = B({'!', 0xFE, 2, 'o', 'k', 0});
    const Bytes file =
        Cat({Header87(1, 1, 0), Descriptor(0, 0, 1, 1), B({2, 2, 0x44, 0x01, 0}), comment, B({';'})});
    WarnedImage w;
    w.Load(file);
    ASSERT_EQ(w.Image.Images().Count(), 2);
    EXPECT_TRUE(w.Image.Images()[1]->Empty());
    EXPECT_EQ(w.Image.Images()[1]->Extensions().Count(), 1);
    const Bytes saved = w.Save();
    EXPECT_EQ(Bytes(saved.end() - 7, saved.end()), Cat({comment, B({';'})}));
    EXPECT_EQ(Bytes(saved.begin(), saved.begin() + 6), Str("GIF89a"));
}

TEST(gifFormat, ProgressOfLoadAndSave) {
    const Bytes frame = Cat({Descriptor(0, 0, 1, 1), B({2, 2, 0x44, 0x01, 0})});
    TGIFImage image;
    std::vector<std::string> events;
    image.OnProgress = [&](TProgressStage stage, int percent, bool, const std::string& msg) {
        events.push_back(std::to_string(stage) + ":" + std::to_string(percent) + ":" + msg);
    };
    const Bytes file = Cat({Header87(1, 1, 0), frame, frame, B({';'})});
    TMemoryStream in(file);
    image.LoadFromStream(in);
    // Header 19 bytes, frames of 15: they end at bytes 34 and 49 of 50.
    EXPECT_EQ(events, (std::vector<std::string>{"0:0:Loading...", "1:68:Loading...", "1:98:Loading...",
                                                "2:100:Loading..."}));
    events.clear();
    TMemoryStream out;
    image.SaveToStream(out);
    EXPECT_EQ(events, (std::vector<std::string>{"0:0:Saving...", "1:50:Saving...", "1:100:Saving...",
                                                "2:100:Saving..."}));
}

TEST(gifFormat, HeaderAssignAndBackgroundColour) {
    TGIFImage a;
    a.GlobalColorMap().Add(0x0000FF);
    a.Header().SetAspectRatio(7);
    a.Header().SetBackgroundColor(0x00FF00); // appended as entry 1
    EXPECT_EQ(a.Header().BackgroundColorIndex(), 1);
    EXPECT_EQ(a.Header().BackgroundColor(), 0x00FF00u);
    TGIFImage b;
    b.Header().Assign(a.Header());
    EXPECT_EQ(b.GlobalColorMap().Count(), 2);
    EXPECT_EQ(b.Header().AspectRatio(), 7);
    EXPECT_EQ(b.Header().BackgroundColorIndex(), 1);
    b.Header().Assign(static_cast<const TGIFColorMap&>(a.GlobalColorMap()));
    EXPECT_EQ(b.Header().AspectRatio(), 0);
    EXPECT_EQ(b.GlobalColorMap().Count(), 2);
}
