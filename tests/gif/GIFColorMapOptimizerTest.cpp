// The colour-map optimiser on frames with local and global tables, transparency and bad indices.
#include <gtest/gtest.h>

#include "GifTestUtil.h"
#include "gif/GIFColorMapOptimizer.h"

namespace {

constexpr TColor Red = RGBColor(255, 0, 0), Green = RGBColor(0, 255, 0), Blue = RGBColor(0, 0, 255),
                 White = RGBColor(255, 255, 255), Black = RGBColor(0, 0, 0);

// A frame of n x 1 pixels with its own table (or the global one when `table` is empty).
TGIFSubImage* Frame(TGIFImage& image, const std::vector<TColor>& table, const Bytes& pixels,
                    int transparent = -1) {
    TGIFSubImage* f = AddFrame(image, 0, 0, static_cast<int>(pixels.size()), 1);
    for (TColor c : table) f->ColorMap().Add(c);
    std::copy(pixels.begin(), pixels.end(), f->Data());
    if (transparent >= 0) {
        auto g = std::make_unique<TGIFGraphicControlExtension>(f);
        g->SetTransparentColorIndex(transparent);
        g->SetTransparent(true);
        f->Extensions().Add(std::move(g));
    }
    return f;
}

std::vector<TColor> Table(TGIFImage& image) {
    std::vector<TColor> out;
    for (int i = 0; i < image.GlobalColorMap().Count(); ++i) out.push_back(image.GlobalColorMap().Colors(i));
    return out;
}

// Each pixel's colour through the global table (-1 for the transparent index).
std::vector<std::int64_t> Shown(TGIFImage& image, TGIFSubImage& f) {
    std::vector<std::int64_t> out;
    for (std::size_t i = 0; i < f.DataSize(); ++i) {
        const int v = f.Data()[i];
        out.push_back(f.Transparent() && v == f.GraphicControlExtension()->TransparentColorIndex()
                          ? -1
                          : std::int64_t{image.GlobalColorMap().Colors(v)});
    }
    return out;
}

} // namespace

TEST(gifColorMapOptimizer, EqualColoursOfTwoLocalTablesMerge) {
    // Red 2 + 1 and blue 1 + 3: blue (4) comes first, then red (3).
    WarnedImage w;
    TGIFSubImage* a = Frame(w.Image, {Red, Blue}, B({0, 0, 1}));
    TGIFSubImage* b = Frame(w.Image, {Blue, Red}, B({0, 0, 0, 1}));
    OptimizeColorMap(w.Image);
    EXPECT_EQ(Table(w.Image), (std::vector<TColor>{Blue, Red}));
    EXPECT_EQ(FrameBytes(*a), B({1, 1, 0}));
    EXPECT_EQ(FrameBytes(*b), B({0, 0, 0, 1}));
    EXPECT_EQ(a->ColorMap().Count(), 0);
    EXPECT_EQ(b->ColorMap().Count(), 0);
    EXPECT_TRUE(w.Image.GlobalColorMap().Optimized());
    EXPECT_FALSE(w.Warned("Color not in color table"));
}

TEST(gifColorMapOptimizer, MoreThan256ColoursKeepTheMostUsed) {
    // Frame 1: greys 0..199, three pixels each. Frame 2: greys 200..255 twice each, and 44 reds
    // (100 + k, 10, 10) once each. The 256 greys are kept; each red is nearest (by summed absolute
    // differences, 90 + k) to grey 10; the summed signed differences would pick grey (120 + k) / 3.
    // With a transparent pixel in frame 1 (its own entry, magenta) one grey used twice gives way to
    // the shared black and shows as a neighbouring grey.
    for (bool transparent : {false, true}) {
        WarnedImage w;
        std::vector<TColor> t1, t2;
        Bytes p1, p2;
        for (int g = 0; g < 200; ++g) {
            t1.push_back(RGBColor(g, g, g));
            p1.insert(p1.end(), {std::uint8_t(g), std::uint8_t(g), std::uint8_t(g)});
        }
        t1.push_back(RGBColor(255, 0, 255));
        if (transparent) p1.push_back(200);
        for (int g = 200; g < 256; ++g) {
            t2.push_back(RGBColor(g, g, g));
            p2.insert(p2.end(), {std::uint8_t(g - 200), std::uint8_t(g - 200)});
        }
        for (int k = 0; k < 44; ++k) {
            t2.push_back(RGBColor(100 + k, 10, 10));
            p2.push_back(std::uint8_t(56 + k));
        }
        TGIFSubImage* f1 = Frame(w.Image, t1, p1, transparent ? 200 : -1);
        TGIFSubImage* f2 = Frame(w.Image, t2, p2);
        OptimizeColorMap(w.Image);

        const std::vector<TColor> table = Table(w.Image);
        ASSERT_EQ(table.size(), 256u) << transparent;
        std::vector<std::int64_t> want1;
        for (std::uint8_t v : p1) want1.push_back(v == 200 ? -1 : std::int64_t{RGBColor(v, v, v)});
        EXPECT_EQ(Shown(w.Image, *f1), want1) << transparent;
        const auto shown2 = Shown(w.Image, *f2);
        for (int k = 0; k < 44; ++k) EXPECT_EQ(shown2[112 + k], RGBColor(10, 10, 10)) << k;
        int dropped = 0;
        for (int i = 0; i < 112; ++i) {
            const int g = 200 + i / 2, s = GetRValue(TColor(shown2[i]));
            EXPECT_EQ(TColor(shown2[i]), RGBColor(s, s, s)) << i;
            EXPECT_LE(std::abs(s - g), 1) << i;
            dropped += s != g;
        }
        EXPECT_EQ(dropped, transparent ? 2 : 0);
        if (transparent) {
            EXPECT_EQ(table[255], Black);
            EXPECT_EQ(f1->GraphicControlExtension()->TransparentColorIndex(), 255);
        }
    }
}

TEST(gifColorMapOptimizer, TransparentFramesShareTheLastEntry) {
    // Global white, black, red with red transparent in frame A; local green (transparent), blue in B.
    // Counted: white 1, black 1, blue 2; blue, white, black are kept and black is added for
    // transparency at 3.
    WarnedImage w;
    for (TColor c : {White, Black, Red}) w.Image.GlobalColorMap().Add(c);
    w.Image.Header().SetBackgroundColorIndex(1);
    TGIFSubImage* a = Frame(w.Image, {}, B({0, 2, 1}), 2);
    TGIFSubImage* b = Frame(w.Image, {Green, Blue}, B({0, 1, 1}), 0);
    OptimizeColorMap(w.Image);
    EXPECT_EQ(Table(w.Image), (std::vector<TColor>{Blue, White, Black, Black}));
    EXPECT_EQ(FrameBytes(*a), B({1, 3, 2}));
    EXPECT_EQ(FrameBytes(*b), B({3, 0, 0}));
    EXPECT_EQ(a->GraphicControlExtension()->TransparentColorIndex(), 3);
    EXPECT_EQ(b->GraphicControlExtension()->TransparentColorIndex(), 3);
    EXPECT_TRUE(a->Transparent() && b->Transparent());
    EXPECT_EQ(w.Image.Header().BackgroundColorIndex(), 2); // black moved from 1 to 2
}

TEST(gifColorMapOptimizer, UnusedTransparencyAndBadIndices) {
    // A transparent index that never occurs: the frame turns opaque and no black is added.
    WarnedImage w;
    TGIFSubImage* f = Frame(w.Image, {Red, Green}, B({0, 0}), 1);
    OptimizeColorMap(w.Image);
    EXPECT_EQ(Table(w.Image), (std::vector<TColor>{Red}));
    EXPECT_FALSE(f->Transparent());
    EXPECT_FALSE(w.Image.IsTransparent());

    // Index 200 in a table of 16: each such pixel becomes 0 with a warning.
    WarnedImage bad;
    std::vector<TColor> sixteen;
    for (int i = 0; i < 16; ++i) sixteen.push_back(RGBColor(i * 16, 0, 0));
    TGIFSubImage* g = Frame(bad.Image, sixteen, B({200, 3, 200}));
    OptimizeColorMap(bad.Image);
    EXPECT_EQ(std::count(bad.Warnings.begin(), bad.Warnings.end(), "Color not in color table"), 2);
    EXPECT_EQ(Table(bad.Image), (std::vector<TColor>{RGBColor(0, 0, 0), RGBColor(48, 0, 0)}));
    EXPECT_EQ(FrameBytes(*g), B({0, 1, 0}));

    // No frames: an empty global table, marked optimised.
    WarnedImage none;
    OptimizeColorMap(none.Image);
    EXPECT_EQ(none.Image.GlobalColorMap().Count(), 0);
    EXPECT_TRUE(none.Image.GlobalColorMap().Optimized());
}

TEST(gifColorMapOptimizer, OptionsAreCheckedBeforeAnyPass) {
    const auto o = [](std::initializer_list<TGIFOptimizeOption> l) {
        TGIFOptimizeOptions s = 0;
        for (auto x : l) s |= OptimizeOption(x);
        return s;
    };
    EXPECT_THROW(CheckOptimizeOptions(o({ooReduceColors, ooCrop}), rmPalette), GIFException);
    EXPECT_NO_THROW(CheckOptimizeOptions(o({ooReduceColors, ooCleanup}), rmPalette));
    EXPECT_NO_THROW(CheckOptimizeOptions(o({ooReduceColors}), rmNetscape));
    EXPECT_NO_THROW(CheckOptimizeOptions(o({ooColorMap}), rmPalette));
}
