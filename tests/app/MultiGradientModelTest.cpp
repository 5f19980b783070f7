// The multi-colour gradient's bands, stop order, record check and point position arithmetic.

#include "app/dialogs/MultiGradientModel.h"

#include <gtest/gtest.h>

namespace {

void Sized(TFastDIB& d, int w, int h) {
    d.SetSize(w, h, 24, 0);
}

TColor At(const TFastDIB& d, int x, int y) {
    return FColorToColor(d.GetPixel(y, x));
}

const TColor Stop0 = RGBColor(100, 200, 128);

} // namespace

TEST(MultiGradientDraw, BandsOfOneStopAlongEitherAxis) {
    // One stop at 10 on a 512-pixel axis, black ends. Worked by hand from the band bounds
    // MulDiv(i, b - a, 150) and channels c0 + MulDiv(i, c1 - c0, 150):
    //   place 0: band 7 of the first segment (bounds 0..1): 700/150, 1400/150, 896/150 -> 5, 9, 6;
    //   place 9: band 142 (bounds 9..10): 95, 189, 121;
    //   place 10: band 0 of the second segment: the stop's own colour;
    //   place 511: band 149 of the second segment (bounds 509..512): 100 - 99, 200 - 199, 128 - 127.
    const struct {
        int at;
        TColor want;
    } cases[] = {{0, RGBColor(5, 9, 6)}, {9, RGBColor(95, 189, 121)}, {10, Stop0}, {511, RGBColor(1, 1, 1)}};
    for (bool vert : {true, false}) {
        TFastDIB g;
        Sized(g, vert ? 512 : 3, vert ? 3 : 512);
        DrawGradient(g, {{10, Stop0}}, 0, vert);
        for (const auto& c : cases)
            for (int across = 0; across < 3; ++across) {
                const int x = vert ? c.at : across, y = vert ? across : c.at;
                EXPECT_EQ(At(g, x, y), c.want) << "vert " << vert << " at " << c.at << " across " << across;
            }
    }
}

TEST(MultiGradientDraw, NoStopsGiveTheEndColourAndStopsAreOrderedStably) {
    TFastDIB g;
    Sized(g, 40, 8);
    DrawGradient(g, {}, RGBColor(1, 2, 3), true);
    for (int x : {0, 20, 39}) EXPECT_EQ(At(g, x, 7), RGBColor(1, 2, 3));

    // Two stops at the same place: the segment between them is empty and the later one in the list
    // starts the last segment (20 to 40), whose band 3 (bounds 20 + 60/150 .. 20 + 80/150) covers place
    // 20 with 255 + MulDiv(3, -255, 150) = 250 of the later stop's channel.
    const TColor red = RGBColor(255, 0, 0), blue = RGBColor(0, 0, 255);
    DrawGradient(g, {{20, red}, {20, blue}}, 0, true);
    EXPECT_EQ(At(g, 20, 0), RGBColor(0, 0, 250));
    DrawGradient(g, {{20, blue}, {20, red}}, 0, true);
    EXPECT_EQ(At(g, 20, 0), RGBColor(250, 0, 0));

    const std::vector<TGradientStop> sorted = SortedStops({{30, 1}, {5, 2}, {30, 3}, {5, 4}});
    EXPECT_EQ(sorted, (std::vector<TGradientStop>{{5, 2}, {5, 4}, {30, 1}, {30, 3}}));
}

TEST(MultiGradientRecord, CheckMakesEveryRecordSafe) {
    auto record = [](int bars, std::size_t colours, std::vector<int> pos, int w, int h, bool vert) {
        TMgradNfo g;
        g.bars = static_cast<std::uint16_t>(bars);
        g.color.assign(colours, Trgb{1, 2, 3});
        g.pos = std::move(pos);
        g.width = w;
        g.height = h;
        g.vertical = vert;
        return g;
    };
    const struct {
        TMgradNfo in;
        int bars, width, height;
        std::vector<int> pos;
        bool changed;
    } cases[] = {
        {record(3, 3, {0, 50, 100}, 512, 512, true), 3, 512, 512, {0, 50, 100}, false},
        {record(3, 2, {0, 50, 100}, 512, 512, true), 2, 512, 512, {0, 50}, true},
        {record(1, 5, {7, 8}, 512, 512, true), 1, 512, 512, {7}, true},
        {record(2, 2, {600, -5}, 512, 512, true), 2, 512, 512, {511, 0}, true},
        {record(1, 1, {150}, 512, 100, false), 1, 512, 100, {99}, true},
        {record(1, 1, {600}, 0, 20000, true), 1, 512, 512, {511}, true},
        {record(0, 0, {}, 512, 512, true), 0, 512, 512, {}, false},
    };
    for (const auto& c : cases) {
        TMgradNfo g = c.in;
        EXPECT_EQ(CheckGradient(g), c.changed);
        EXPECT_EQ(g.bars, c.bars);
        EXPECT_EQ(g.color.size(), static_cast<std::size_t>(c.bars));
        EXPECT_EQ(g.pos, c.pos);
        EXPECT_EQ(g.width, c.width);
        EXPECT_EQ(g.height, c.height);
    }
}

TEST(MultiGradientPoint, PixelsAndPercentAreClampedAtBothEnds) {
    const struct {
        bool fromPixels;
        int value, gWidth, pix, pct;
        bool clamped;
    } cases[] = {
        {true, 256, 512, 256, 50, false}, {true, 5, 512, 5, 1, false}, // 0.977 per cent
        {true, 1, 200, 1, 0, false},                                   // 0.5 per cent, half to even
        {true, 3, 200, 3, 2, false},                                   // 1.5 per cent, half to even
        {true, 600, 512, 511, 99, true},  {true, -4, 512, 0, 0, true},
        {false, 50, 512, 256, 50, false}, {false, 1, 50, 0, 1, false}, // 0.5 pixel, half to even
        {false, 3, 50, 2, 3, false},                                   // 1.5 pixels
        {false, 117, 512, 511, 99, true}, {false, -3, 512, 0, 0, true},
    };
    for (const auto& c : cases) {
        const TPointPosition p =
            c.fromPixels ? PointFromPixels(c.value, c.gWidth) : PointFromPercent(c.value, c.gWidth);
        EXPECT_EQ(p.PixLeft, c.pix) << c.value;
        EXPECT_EQ(p.PctLeft, c.pct) << c.value;
        EXPECT_EQ(p.Clamped, c.clamped) << c.value;
    }
}

TEST(MultiGradientScreen, SixteenBitScreenStepsAreKeptWhenWidenedBack) {
    // 5 bits of red and blue, 6 of green; the top bits repeat below when widened to 8 bits.
    const struct {
        TColor in, out;
    } cases[] = {{RGBColor(255, 255, 255), RGBColor(255, 255, 255)},
                 {RGBColor(7, 3, 7), RGBColor(0, 0, 0)},
                 {RGBColor(8, 4, 8), RGBColor(8, 4, 8)},
                 {RGBColor(200, 100, 50), RGBColor(206, 101, 49)}};
    TFastDIB d;
    d.SetSize(4, 1, 24, 0);
    for (int i = 0; i < 4; ++i) d.SetPixel(0, i, ColorToFColor(cases[i].in));
    ReduceTo565(d);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(At(d, i, 0), cases[i].out) << i;
}
