// Damaged files: extension blocks of other sizes than the standard ones, files and image data cut
// short. What can be read loads, with a warning; what is saved is always well formed.
#include <gtest/gtest.h>

#include "GifTestUtil.h"

namespace {

const std::string Incomplete = "Image data end before the last pixel: the picture is incomplete";
const std::string FileCut = "The file ends before its trailer: the picture is incomplete";
const std::string GCELayout = "Graphic control extension block has a non-standard layout";
const std::string TextLayout = "Plain text extension block has a non-standard layout";

// A 2 x 1 frame on a 4-entry global table: clear 4, pixels 1 and 2, end 5, all 3-bit codes.
Bytes TwoPixelFrame() {
    return Cat({Descriptor(0, 0, 2, 1), PackCodes(2, {{4, 3}, {1, 3}, {2, 3}, {5, 3}})});
}

Bytes FileWith(const Bytes& extension) {
    return Cat({Header87(2, 1, 1), extension, TwoPixelFrame(), B({';'})});
}

// The extension bytes a picture writes for its first frame.
Bytes SavedExtensions(TGIFImage& image) {
    TMemoryStream s;
    image.Images()[0]->Extensions().SaveToStream(s);
    return s.Bytes();
}

} // namespace

TEST(gifDamaged, GraphicControlExtensionReadBySize) {
    struct Case {
        const char* Name;
        Bytes Block;
        int Delay, Index;
        bool Transparent;
        std::vector<std::string> Warnings;
    };
    const std::vector<Case> cases = {
        // Size 5: the fields are the first four of its five bytes.
        {"size five", B({'!', 0xF9, 5, 0x01, 0x0A, 0x00, 0x01, 0x07, 0x00}), 10, 1, true, {GCELayout}},
        // A further data sub-block after the fields is skipped; the frame behind it still loads.
        {"extra block",
         B({'!', 0xF9, 4, 0x01, 0x0A, 0x00, 0x01, 0x02, 0xAA, 0xBB, 0x00}),
         10,
         1,
         true,
         {GCELayout}},
        // Fewer than four bytes: no fields are taken.
        {"size two", B({'!', 0xF9, 2, 0x01, 0x0A, 0x00}), 0, 0, false, {GCELayout}},
        // The size byte is the terminator itself.
        {"size zero", B({'!', 0xF9, 0}), 0, 0, false, {GCELayout}},
        {"standard", B({'!', 0xF9, 4, 0x01, 0x0A, 0x00, 0x01, 0x00}), 10, 1, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WarnedImage w;
        w.Load(FileWith(c.Block));
        ASSERT_EQ(w.Image.Images().Count(), 1);
        TGIFSubImage* f = w.Image.Images()[0];
        EXPECT_EQ(FrameBytes(*f), B({1, 2}));
        auto* g = f->GraphicControlExtension();
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->Delay(), c.Delay);
        EXPECT_EQ(g->TransparentColorIndex(), c.Index);
        EXPECT_EQ(f->Transparent(), c.Transparent);
        EXPECT_EQ(w.Warnings, c.Warnings);
        // Written in the standard layout: size 4, the four fields, terminator 0.
        EXPECT_EQ(SavedExtensions(w.Image), B({'!', 0xF9, 4, c.Transparent ? 1 : 0, c.Delay, 0, c.Index, 0}));
        WarnedImage again;
        again.Load(w.Save());
        EXPECT_TRUE(again.Warnings.empty());
        EXPECT_EQ(FrameBytes(*again.Image.Images()[0]), B({1, 2}));
    }
}

TEST(gifDamaged, PlainTextExtensionReadBySize) {
    // A first block of four bytes: Left 1, Top $067F, the rest 0; no text.
    WarnedImage w;
    w.Load(FileWith(B({'!', 0x01, 4, 0x01, 0x00, 0x7F, 0x06, 0x00})));
    ASSERT_EQ(w.Image.Images().Count(), 1);
    TGIFSubImage* f = w.Image.Images()[0];
    EXPECT_EQ(FrameBytes(*f), B({1, 2}));
    ASSERT_EQ(f->Extensions().Count(), 1);
    auto* t = dynamic_cast<TGIFTextExtension*>(f->Extensions()[0]);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Left(), 1);
    EXPECT_EQ(t->Top(), 0x067F);
    EXPECT_EQ(t->GridWidth(), 0);
    EXPECT_TRUE(t->Text().empty());
    EXPECT_EQ(w.Warnings, std::vector<std::string>{TextLayout});
    EXPECT_EQ(SavedExtensions(w.Image), B({'!', 0x01, 12, 1, 0, 0x7F, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    // A longer first block: the twelve fields, the rest of the block skipped, the text after it.
    WarnedImage longer;
    longer.Load(FileWith(
        Cat({B({'!', 0x01, 14, 1, 0, 2, 0, 3, 0, 4, 0, 5, 6, 7, 8, 0xEE, 0xEE}), B({2, 'h', 'i', 0})})));
    auto* l = dynamic_cast<TGIFTextExtension*>(longer.Image.Images()[0]->Extensions()[0]);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->GridHeight(), 4);
    EXPECT_EQ(l->BackgroundColorIndex(), 8);
    EXPECT_EQ(l->Text(), std::vector<std::string>{"hi"});
    EXPECT_EQ(longer.Warnings, std::vector<std::string>{TextLayout});
}

TEST(gifDamaged, FrameCutAtTheEndOfItsFirstSubBlock) {
    // A 64 x 64 frame of values 1 to 3 (never the fill 0) needs several sub-blocks.
    WarnedImage w;
    TGIFSubImage* f = AddFrame(w.Image, 0, 0, 64, 64);
    GreyTable(w.Image.GlobalColorMap(), 4);
    std::uint32_t seed = 12345;
    for (int i = 0; i < 64 * 64; ++i) {
        seed = seed * 1103515245u + 12345u;
        f->Data()[i] = static_cast<std::uint8_t>(1 + (seed >> 16) % 3);
    }
    const Bytes original = FrameBytes(*f);
    const Bytes file = w.Save();
    // Header and table (13 + 12), descriptor 10, code size 1, then the first sub-block of 255 bytes.
    ASSERT_EQ(file[13 + 12 + 10 + 1], 255);
    const Bytes cut(file.begin(), file.begin() + 13 + 12 + 10 + 1 + 1 + 255);

    WarnedImage r;
    r.Load(cut);
    ASSERT_EQ(r.Image.Images().Count(), 1);
    const Bytes px = FrameBytes(*r.Image.Images()[0]);
    std::size_t same = 0;
    while (same < px.size() && px[same] == original[same]) ++same;
    EXPECT_GT(same, 255u); // 255 bytes of codes of at most 12 bits hold more than 170 pixels
    EXPECT_LT(same, px.size());
    for (std::size_t i = same; i < px.size(); ++i) ASSERT_EQ(px[i], 0) << i;
    EXPECT_EQ(r.Warnings, (std::vector<std::string>{Incomplete, FileCut}));
}

TEST(gifDamaged, FileCutBetweenFramesAndInsideBlocks) {
    const Bytes frame = TwoPixelFrame();
    const Bytes whole = Cat({Header87(2, 1, 1), frame, frame, B({';'})});
    struct Case {
        const char* Name;
        std::size_t Keep; // bytes of `whole` kept
        int Frames;
        std::vector<std::string> Warnings;
    };
    const std::size_t header = 13 + 12, one = frame.size();
    const std::vector<Case> cases = {
        {"between frames", header + one, 1, {FileCut}},
        {"inside the second descriptor", header + one + 4, 1, {FileCut}},
        // The second frame's code-size byte is there, its data are not.
        {"before the second frame's data", header + one + 11, 2, {Incomplete, FileCut}},
        {"right after the header", header, 0, {FileCut}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WarnedImage w;
        w.Load(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(c.Keep)));
        EXPECT_EQ(w.Image.Images().Count(), c.Frames);
        if (c.Frames > 0) {
            EXPECT_EQ(FrameBytes(*w.Image.Images()[0]), B({1, 2}));
        }
        EXPECT_EQ(w.Warnings, c.Warnings);
    }

    // A file cut inside a comment in front of the second frame keeps the first frame.
    WarnedImage comment;
    comment.Load(Cat({Header87(2, 1, 1), frame, B({'!', 0xFE, 5, 'a', 'b'})}));
    EXPECT_EQ(comment.Image.Images().Count(), 1);
    EXPECT_EQ(comment.Warnings, std::vector<std::string>{FileCut});
    // The header alone cut short has nothing to keep: refused.
    WarnedImage header8;
    EXPECT_THROW(header8.Load(Bytes(whole.begin(), whole.begin() + 8)), GIFException);
}

TEST(gifDamaged, DataWithoutEndCode) {
    // Every pixel there, no end code before the terminator: nothing is missing.
    WarnedImage all;
    all.Load(
        Cat({Header87(2, 1, 1), Descriptor(0, 0, 2, 1), PackCodes(2, {{4, 3}, {1, 3}, {2, 3}}), B({';'})}));
    EXPECT_EQ(FrameBytes(*all.Image.Images()[0]), B({1, 2}));
    EXPECT_TRUE(all.Warnings.empty());
    // One pixel of four, then the terminator: the frame is incomplete.
    WarnedImage part;
    part.Load(Cat({Header87(4, 1, 1), Descriptor(0, 0, 4, 1), PackCodes(2, {{4, 3}, {3, 3}}), B({';'})}));
    EXPECT_EQ(FrameBytes(*part.Image.Images()[0]), B({3, 0, 0, 0}));
    EXPECT_TRUE(part.Warned(Incomplete));
    // The file ends inside the data, no end code, no terminator, no trailer.
    WarnedImage cut;
    cut.Load(Cat({Header87(4, 1, 1), Descriptor(0, 0, 4, 1), B({2, 1, 0x1C})}));
    EXPECT_EQ(FrameBytes(*cut.Image.Images()[0]), B({3, 0, 0, 0}));
    EXPECT_TRUE(cut.Warned(Incomplete));
    EXPECT_TRUE(cut.Warned(FileCut));
}

TEST(gifDamaged, RawApplicationDataUnderARegisteredIdentifier) {
    // Read with block size 13, so kept as raw data; written with size 11, the looping class would
    // read them: they go out through it when it can read them, and not at all when it cannot.
    const Bytes readable = Cat({B({'!', 0xFF, 13}), Str("NETSCAPE2.0xy"), B({3, 1, 4, 0, 0})});
    const Bytes unreadable = Cat({B({'!', 0xFF, 13}), Str("NETSCAPE2.0xy"), B({1, 1, 0})});
    WarnedImage good;
    good.Load(FileWith(readable));
    EXPECT_EQ(SavedExtensions(good.Image), Cat({B({'!', 0xFF, 11}), Str("NETSCAPE2.0"), B({3, 1, 4, 0, 0})}));
    WarnedImage bad;
    bad.Load(FileWith(unreadable));
    ASSERT_EQ(bad.Image.Images()[0]->Extensions().Count(), 1);
    EXPECT_EQ(SavedExtensions(bad.Image), Bytes{});
    WarnedImage again;
    again.Load(bad.Save());
    EXPECT_TRUE(again.Warnings.empty());
    EXPECT_EQ(FrameBytes(*again.Image.Images()[0]), B({1, 2}));
}

TEST(gifCore, OptimizeKeepsTheBackgroundColour) {
    // Entries 0..3 = red, green, blue, white; pixels use blue twice and green once; the background
    // is white (3), used by no pixel. Sorted by use: blue 2, green 1, then white counted once for
    // the screen (ties keep no fixed order), red dropped.
    const TColor red = 0x0000FF, green = 0x00FF00, blue = 0xFF0000, white = 0xFFFFFF;
    WarnedImage w;
    for (TColor c : {red, green, blue, white}) w.Image.GlobalColorMap().Add(c);
    w.Image.Header().SetBackgroundColorIndex(3);
    TGIFSubImage* f = AddFrame(w.Image, 0, 0, 3, 1);
    f->Data()[0] = 2;
    f->Data()[1] = 1;
    f->Data()[2] = 2;
    ASSERT_TRUE(w.Image.GlobalColorMap().Optimize());
    TGIFGlobalColorMap& map = w.Image.GlobalColorMap();
    ASSERT_EQ(map.Count(), 3);
    EXPECT_EQ(map.Colors(0), blue);
    EXPECT_EQ(map.Colors(w.Image.Header().BackgroundColorIndex()), white);
    EXPECT_EQ(map.Colors(f->Data()[1]), green);
    EXPECT_EQ(FrameBytes(*f), B({0, f->Data()[1], 0}));
}

TEST(gifDecoder, ContiguousAndRowByRowDecodingAgree) {
    // Decoding by copying strings within the output and decoding by walking every string give the
    // same pixels, warnings and end, on valid streams (runs, noise, every code size, cut short) and
    // on random bytes.
    std::uint32_t seed = 99;
    const auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (int round = 0; round < 400; ++round) {
        const int w = 1 + static_cast<int>(next() % 3000);
        Bytes data;
        if (round % 2 == 0) {
            const int bpp = 2 + static_cast<int>(next() % 7);
            Bytes px(static_cast<std::size_t>(w));
            std::uint8_t v = 0;
            for (auto& p : px) {
                if (next() % 8 == 0) v = static_cast<std::uint8_t>(next() % (1u << bpp));
                p = v;
            }
            TMemoryStream s;
            TLZWEncoder().Compress(s, bpp, w, 1, false, px.data(), 1 << bpp);
            data = s.Bytes();
            if (round % 4 == 2) data.resize(data.size() * (next() % 100) / 100); // cut short
        } else {
            data.push_back(static_cast<std::uint8_t>(2 + next() % 7));
            const std::size_t n = next() % 600;
            for (std::size_t i = 0; i < n; ++i) data.push_back(static_cast<std::uint8_t>(next()));
        }
        struct Run {
            Bytes Pixels;
            std::vector<std::string> Warnings;
            std::int64_t End;
        };
        const auto decode = [&](bool fast) {
            WarnedImage wi;
            TGIFSubImage* f = AddFrame(wi.Image, 0, 0, w, 1);
            GIFFastDecoding() = fast;
            TMemoryStream s(data);
            f->Decompress(s);
            GIFFastDecoding() = true;
            return Run{FrameBytes(*f), wi.Warnings, s.Position()};
        };
        const Run a = decode(true), b = decode(false);
        ASSERT_EQ(a.Pixels, b.Pixels) << round;
        ASSERT_EQ(a.Warnings, b.Warnings) << round;
        ASSERT_EQ(a.End, b.End) << round;
    }
}

TEST(gifDecoder, InterlacedRowsAreThePlainRunPutInPlace) {
    // The same data decoded as an interlaced frame hold the rows of the plain decoding in interlace
    // order (passes from rows 0, 4, 2, 1), the fill included where the data end early.
    std::uint32_t seed = 7;
    const auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (int round = 0; round < 200; ++round) {
        const int w = 1 + static_cast<int>(next() % 40), h = 1 + static_cast<int>(next() % 40);
        Bytes data{static_cast<std::uint8_t>(2 + next() % 7)};
        if (round % 2 == 0) {
            Bytes px(static_cast<std::size_t>(w) * h);
            for (auto& p : px) p = static_cast<std::uint8_t>(next() % 4);
            TMemoryStream s;
            TLZWEncoder().Compress(s, 2, w, h, false, px.data(), 4);
            data = s.Bytes();
            data.resize(data.size() * (50 + next() % 51) / 100);
        } else {
            for (std::size_t i = next() % 300; i > 0; --i) data.push_back(static_cast<std::uint8_t>(next()));
        }
        const auto decode = [&](bool interlaced) {
            WarnedImage wi;
            TGIFSubImage* f = AddFrame(wi.Image, 0, 0, w, h);
            f->SetInterlaced(interlaced);
            auto g = std::make_unique<TGIFGraphicControlExtension>(f);
            g->SetTransparentColorIndex(0);
            TGIFGraphicControlExtension* gp = g.get();
            f->Extensions().Add(std::move(g));
            gp->SetTransparent(true); // a fill of 0 for the pixels never reached
            TMemoryStream s(data);
            f->Decompress(s);
            return std::make_pair(FrameBytes(*f), wi.Warnings);
        };
        const auto plain = decode(false), interlaced = decode(true);
        ASSERT_EQ(plain.second, interlaced.second) << round;
        static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        int row = 0;
        for (int pass = 0; pass < 4; ++pass)
            for (int y = start[pass]; y < h; y += step[pass], ++row)
                ASSERT_TRUE(std::equal(interlaced.first.begin() + y * w,
                                       interlaced.first.begin() + (y + 1) * w, plain.first.begin() + row * w))
                    << round << " row " << y;
    }
}
