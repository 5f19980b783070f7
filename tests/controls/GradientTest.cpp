// The two-colour gradient: step colours and every style at chosen pixels, worked by hand from the
// painting rules; the faults the control guards against; the cache of the control itself.
#include "common/QtTestSupport.h"
#include "controls/GradientControl.h"
#include "controls/GradientPainter.h"
#include "controls/SystemColors.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

// Begin (r 200, g 10, b 0), end (r 0, g 110, b 255): one channel falls, two rise, so truncation toward
// zero shows on both sides.
constexpr TColor Begin = RGBColor(200, 10, 0);
constexpr TColor End = RGBColor(0, 110, 255);
constexpr TColor Sentinel = RGBColor(1, 2, 3);

TGradientSettings Settings(TGradientStyle style, int steps = 255, int angle = 0) {
    TGradientSettings s;
    s.BeginColor = Begin;
    s.EndColor = End;
    s.GradientStyle = style;
    s.Steps = steps;
    s.StartAngle = angle;
    return s;
}

// A W x H image filled with the sentinel, painted with `s`.
struct Painted {
    TFastDIB bm;
    Painted(int W, int H, const TGradientSettings& s) {
        bm.SetSize(W, H, 24, 0);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) bm.Pixels24[y][x] = ColorToFColor(Sentinel);
        PaintGradient(bm, s);
    }
    TColor at(int x, int y) const { return FColorToColor(bm.Pixels24[y][x]); }
};

struct Probe {
    int x, y;
    TColor want;
};

void ExpectProbes(const Painted& p, std::initializer_list<Probe> probes) {
    for (const Probe& q : probes) EXPECT_EQ(p.at(q.x, q.y), q.want) << "(" << q.x << ", " << q.y << ")";
}

TEST(GradientPainter, StepColoursTruncateTowardZero) {
    struct Case {
        int k, n;
        TColor want;
    } cases[] = {
        {0, 255, Begin},
        {255, 255, End},
        {100, 255, RGBColor(122, 49, 100)}, // 200 + trunc(-78.4), 10 + trunc(39.2), trunc(100)
        {1, 3, RGBColor(134, 43, 85)},
        {2, 3, RGBColor(67, 76, 170)},
        {3, 4, RGBColor(50, 85, 191)},
        {7, 0, Begin}, // a divisor of 0 gives the first colour
    };
    for (const Case& c : cases)
        EXPECT_EQ(GradientStepColor(Begin, End, c.k, c.n), c.want) << c.k << "/" << c.n;
    EXPECT_EQ(GradientMulDiv(-7, 2, 4), -3);                 // -3.5 toward zero
    EXPECT_EQ(GradientMulDiv(2000000000, 3, 4), 1500000000); // 64-bit product
}

TEST(GradientPainter, BandsAcrossAndDown) {
    // 256 columns, Steps 255: column i is step i; the last column is exactly the end colour.
    Painted wide(256, 3, Settings(gsHorizontal));
    ExpectProbes(wide, {{0, 0, Begin}, {100, 2, RGBColor(122, 49, 100)}, {255, 1, End}});
    // Steps 3 on 10 columns: four bands [0,2) [2,5) [5,7) [7,10).
    Painted h(10, 2, Settings(gsHorizontal, 3));
    ExpectProbes(h, {{1, 0, Begin},
                     {2, 1, RGBColor(134, 43, 85)},
                     {4, 0, RGBColor(134, 43, 85)},
                     {5, 0, RGBColor(67, 76, 170)},
                     {7, 1, End},
                     {9, 1, End}});
    Painted v(2, 10, Settings(gsVertical, 3));
    ExpectProbes(v,
                 {{0, 1, Begin}, {1, 4, RGBColor(134, 43, 85)}, {0, 6, RGBColor(67, 76, 170)}, {1, 9, End}});
}

TEST(GradientPainter, CentreStylesMirrorTheirBands) {
    const TColor c1 = RGBColor(150, 35, 63), c2 = RGBColor(100, 60, 127), c3of3 = End;
    // H = 8, half 4: rows 0..4 from the top pass; the bottom pass paints row H - i - 1, so row 3 is
    // repainted with step 4 after row 4 took it.
    Painted even(3, 8, Settings(gsVertCenter));
    const TColor rowsEven[] = {Begin, c1, c2, End, End, c2, c1, Begin};
    for (int y = 0; y < 8; ++y) EXPECT_EQ(even.at(1, y), rowsEven[y]) << y;
    // H = 7, half 3: the middle row is step 3 of 3.
    Painted odd(2, 7, Settings(gsVertCenter));
    const TColor c1of3 = RGBColor(134, 43, 85), c2of3 = RGBColor(67, 76, 170);
    const TColor rowsOdd[] = {Begin, c1of3, c2of3, c3of3, c2of3, c1of3, Begin};
    for (int y = 0; y < 7; ++y) EXPECT_EQ(odd.at(0, y), rowsOdd[y]) << y;
    // The same across the width.
    Painted across(8, 2, Settings(gsHorizCenter));
    for (int x = 0; x < 8; ++x) EXPECT_EQ(across.at(x, 1), rowsEven[x]) << x;
}

TEST(GradientPainter, NestedRectangles) {
    // 8 x 8, Steps 4: dx = 1; rectangles [1,9) [2,8) [3,7) [4,6), the fifth empty. Row and column 0 are
    // not covered and keep what the image held.
    const TColor c1 = RGBColor(150, 35, 63), c2 = RGBColor(100, 60, 127), c3 = RGBColor(50, 85, 191);
    Painted p(8, 8, Settings(gsRectangle, 4));
    ExpectProbes(p, {{0, 0, Sentinel},
                     {0, 5, Sentinel},
                     {5, 0, Sentinel},
                     {1, 1, Begin},
                     {1, 7, Begin},
                     {2, 2, c1},
                     {7, 7, c1},
                     {3, 3, c2},
                     {6, 6, c2},
                     {4, 4, c3},
                     {5, 5, c3},
                     {4, 6, c2}});
    // 512 wide with Steps 255: dx > 1, so the leftmost column and the top row stay uncovered.
    Painted big(512, 512, Settings(gsRectangle));
    ExpectProbes(big, {{0, 100, Sentinel}, {100, 0, Sentinel}, {1, 100, Begin}, {511, 100, Begin}});
    // 8 x 8 with Steps 2: dx = 2, the last rectangle comes out inverted (x1 6, x2 4) and, corners
    // exchanged like every fill, covers [4,6) in the end colour.
    Painted inv(8, 8, Settings(gsRectangle, 2));
    ExpectProbes(inv,
                 {{1, 1, Sentinel}, {2, 2, Begin}, {7, 7, Begin}, {4, 4, End}, {5, 5, End}, {3, 3, Begin}});
}

TEST(GradientPainter, EllipticFromCornerToCentre) {
    Painted p(75, 75, Settings(gsElliptic));
    // The innermost ellipse (i = 155) is bounded by (37, 37, 41, 41); the corner pixel lies in the
    // ellipses 0 to 6 only (ellipse 7, bounds (-15, -15, 94, 94), leaves it out): step 6 of 155. The +4
    // of the far bounds puts the centre at 39.5, so the far corner, 35 from it, lies deeper: in ellipse
    // 23, bounds (-10, -10, 89, 89), but not 24, bounds (-9, -9, 88, 88): step 23.
    ExpectProbes(
        p, {{39, 39, End}, {38, 38, End}, {0, 0, RGBColor(193, 13, 9)}, {74, 74, RGBColor(171, 24, 37)}});
    // Steps does not apply.
    Painted few(75, 75, Settings(gsElliptic, 3));
    EXPECT_TRUE(SameDIB(p.bm, few.bm));
}

TEST(GradientPainter, EllipticSpansMatchDrawingEveryEllipse) {
    // Sizes below and above 413 (where the last ellipse turns inside out), odd and flat ones.
    const int sizes[][2] = {{75, 75}, {1, 1}, {2, 9}, {31, 17}, {600, 450}, {450, 3}};
    for (const auto& sz : sizes) {
        Painted fast(sz[0], sz[1], Settings(gsElliptic));
        TFastDIB slow;
        slow.SetSize(sz[0], sz[1], 24, 0);
        for (int y = 0; y < sz[1]; ++y)
            for (int x = 0; x < sz[0]; ++x) slow.Pixels24[y][x] = ColorToFColor(Sentinel);
        PaintEllipticByEllipses(slow, Settings(gsElliptic));
        EXPECT_TRUE(SameDIB(fast.bm, slow)) << sz[0] << " x " << sz[1];
    }
    for (int steps : {1, 2, 4, 255, 1000}) {
        Painted fast(97, 61, Settings(gsRectangle, steps));
        TFastDIB slow;
        slow.SetSize(97, 61, 24, 0);
        for (int y = 0; y < 61; ++y)
            for (int x = 0; x < 97; ++x) slow.Pixels24[y][x] = ColorToFColor(Sentinel);
        PaintRectangleByRectangles(slow, Settings(gsRectangle, steps));
        EXPECT_TRUE(SameDIB(fast.bm, slow)) << steps;
    }
}

TEST(GradientPainter, RadialWedges) {
    // 200 x 200: centre (100, 100), r 100. Each pixel takes the wedge of the one-degree sector between
    // the rays to P(S + j) and P(S + j + 1) it lies in (the rays checked by hand against the pixels).
    struct Case {
        TGradientStyle style;
        int angle;
        Probe probe;
    } cases[] = {
        {gsRadial1, 0, {100, 10, Begin}},                   // bearing 0.3: sector 0, drawn last by wedge 359
        {gsRadial1, 0, {190, 99, RGBColor(102, 59, 126)}},  // 89.7: step 89 of 180
        {gsRadial1, 0, {134, 135, RGBColor(50, 85, 191)}},  // 135.8: step 135 of 180
        {gsRadial1, 0, {78, 156, RGBColor(24, 98, 225)}},   // 200.8: run 2, step 359 - 200 of 180
        {gsRadial2, 0, {134, 135, RGBColor(103, 58, 124)}}, // sector 135: step 179 - 135 of 90
        {gsRadial2, 0, {78, 156, RGBColor(156, 32, 56)}},   // sector 200: step 20 of 90
        {gsRadial1, 90, {134, 135, RGBColor(150, 35, 63)}}, // sector 45 from the start angle
        {gsRadial1, 450, {134, 135, RGBColor(150, 35, 63)}},
    };
    for (const Case& c : cases) {
        Painted p(200, 200, Settings(c.style, 255, c.angle));
        ExpectProbes(p, {c.probe});
        EXPECT_NE(p.at(0, 0), Sentinel); // the bounding ellipse reaches past the corners
        EXPECT_NE(p.at(199, 199), Sentinel);
    }
}

TEST(GradientPainter, SmallRadialsPaintEveryPixel) {
    // Rays rounded onto few pixels stall or turn back; every pixel still gets a wedge colour.
    for (int n : {1, 2, 3, 5, 8, 13, 40}) {
        for (TGradientStyle style : {gsRadial1, gsRadial2}) {
            Painted p(n, n + 1, Settings(style, 255, 37));
            for (int y = 0; y <= n; ++y)
                for (int x = 0; x < n; ++x) ASSERT_NE(p.at(x, y), Sentinel) << n << " " << x << "," << y;
        }
    }
    Painted dot(1, 1, Settings(gsRadial1));
    EXPECT_EQ(dot.at(0, 0), Begin); // every wedge is the whole ellipse: the last one, step 0
}

TEST(GradientPainter, SunkenFrameOverTheGradient) {
    TGradientSettings s = Settings(gsHorizontal);
    s.BeginColor = s.EndColor = RGBColor(9, 9, 9);
    s.Ctl3D = true;
    Painted p(10, 10, s);
    ExpectProbes(p, {{0, 0, clGray},
                     {0, 8, clGray},
                     {8, 0, clGray},
                     {9, 0, clWhite},
                     {0, 9, clWhite},
                     {9, 9, clWhite},
                     {1, 1, clBlack},
                     {1, 7, clBlack},
                     {7, 1, clBlack},
                     {8, 1, clSilver},
                     {1, 8, clSilver},
                     {8, 8, clSilver},
                     {2, 2, RGBColor(9, 9, 9)},
                     {7, 7, RGBColor(9, 9, 9)}});
}

TEST(GradientPainter, OneColourFillsEverything) {
    for (TGradientStyle style : {gsHorizontal, gsVertical, gsElliptic, gsRectangle, gsVertCenter,
                                 gsHorizCenter, gsRadial1, gsRadial2}) {
        TGradientSettings s = Settings(style);
        s.EndColor = Begin;
        Painted p(40, 30, s);
        // (W / 2) / Steps is below 1 here, so the rectangles leave no strip.
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) ASSERT_EQ(p.at(x, y), Begin) << int(style) << " " << x << "," << y;
    }
}

// --- faults the painter guards against ---

TEST(GradientPainter, DivisorsOfZeroPaintTheFirstColour) {
    for (TGradientStyle style : {gsHorizontal, gsVertical, gsRectangle}) {
        Painted p(6, 5, Settings(style, 0));
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) ASSERT_EQ(p.at(x, y), Begin) << int(style);
    }
    Painted flat(6, 1, Settings(gsVertCenter)); // half = 0
    Painted thin(1, 6, Settings(gsHorizCenter));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(flat.at(i, 0), Begin);
        EXPECT_EQ(thin.at(0, i), Begin);
    }
}

TEST(GradientPainter, StepsHeldTo1Through65535) {
    // Negative: one step, two bands.
    Painted neg(4, 1, Settings(gsHorizontal, -5));
    ExpectProbes(neg, {{0, 0, Begin}, {1, 0, Begin}, {2, 0, End}, {3, 0, End}});
    // 100000 paints as 65535: column 0 ends in band 16383 (trunc(4 * 16383 / 65536) = 0), step 16383 of
    // 65535; with 100000 steps it would be step 25000 of 100000, red 150 instead of 151.
    Painted many(4, 1, Settings(gsHorizontal, 100000));
    ExpectProbes(many, {{0, 0, RGBColor(151, 34, 63)}, {3, 0, End}});
    EXPECT_EQ(PaintSteps(0), 1);
    EXPECT_EQ(PaintSteps(70000), 65535);
}

TEST(GradientPainter, EmptyImagesPaintNothing) {
    TFastDIB empty;
    PaintGradient(empty, Settings(gsElliptic));
    EXPECT_TRUE(empty.Empty());
    ResizeKeepingPixels(empty, 0, 7);
    EXPECT_TRUE(empty.Empty());
}

TEST(GradientPainter, ResizeKeepsTheSharedPartAndWhitensTheRest) {
    Painted p(3, 2, Settings(gsHorizontal, 2));
    const TColor mid = p.at(1, 0);
    ResizeKeepingPixels(p.bm, 5, 4);
    ASSERT_EQ(p.bm.Width, 5);
    ASSERT_EQ(p.bm.Height, 4);
    EXPECT_EQ(p.at(0, 0), Begin);
    EXPECT_EQ(p.at(1, 1), mid);
    EXPECT_EQ(p.at(3, 0), clWhite);
    EXPECT_EQ(p.at(0, 2), clWhite);
    EXPECT_EQ(p.at(4, 3), clWhite);
}

// --- the control ---

class GradientControl : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApplication(); }
};

TEST_F(GradientControl, DefaultsAndTheCache) {
    TZorvGradient g;
    EXPECT_EQ(g.BeginColor(), 0x800000u);
    EXPECT_EQ(g.EndColor(), 0xFFFF00u);
    EXPECT_EQ(g.GradientStyle(), gsVertical);
    EXPECT_EQ(g.Steps(), 255);
    EXPECT_FALSE(g.Ctl3D());
    EXPECT_EQ(g.StartAngle(), 0);
    EXPECT_EQ(g.width(), 75);
    EXPECT_EQ(g.height(), 75);
    EXPECT_TRUE(g.Stale());

    const TFastDIB& bm = g.bm();
    EXPECT_EQ(bm.Width, 75);
    EXPECT_EQ(bm.Height, 75);
    EXPECT_EQ(g.RenderCount(), 1);
    // Row 0 holds bands 0 to 3 (band 4 starts at trunc(4 * 75 / 256) = 1): step 3 of 255 from navy
    // (0, 0, 128) to aqua (0, 255, 255); the last row is aqua.
    EXPECT_EQ(FColorToColor(bm.Pixels24[0][0]), RGBColor(0, 3, 129));
    EXPECT_EQ(FColorToColor(bm.Pixels24[74][0]), 0xFFFF00u);

    // Equal values change nothing; the screen is refreshed from the cache.
    g.SetBeginColor(0x800000);
    g.SetSteps(255);
    g.SetGradientStyle(gsVertical);
    g.SetCtl3D(false);
    g.SetStartAngle(0);
    g.SetEndColor(0xFFFF00);
    EXPECT_FALSE(g.Stale());
    const QImage shown = g.grab().toImage();
    g.bm();
    EXPECT_EQ(g.RenderCount(), 1);
    EXPECT_EQ(QColor(shown.pixel(0, 74)), QColor(0, 255, 255));

    // A new value is painted before the accessor returns.
    g.SetEndColor(Begin);
    EXPECT_TRUE(g.Stale());
    EXPECT_EQ(FColorToColor(g.bm().Pixels24[74][0]), Begin);
    EXPECT_EQ(g.RenderCount(), 2);
    // So is a new size alone.
    g.resize(30, 20);
    EXPECT_TRUE(g.Stale());
    EXPECT_EQ(g.bm().Width, 30);
    EXPECT_EQ(g.bm().Height, 20);
    EXPECT_EQ(g.RenderCount(), 3);
}

TEST_F(GradientControl, StepsStoredAsGivenAndNewAreaWhite) {
    TZorvGradient g;
    g.resize(4, 4);
    g.SetBeginColor(Begin);
    g.SetEndColor(End);
    g.bm(); // vertical bands at 4 x 4: row 0 ends in band 63, step 63 of 255
    g.resize(8, 8);
    g.SetGradientStyle(gsRectangle);
    g.SetSteps(-3);
    EXPECT_EQ(g.Steps(), -3);
    const TFastDIB& bm = g.bm();
    // Steps -3 paints as 1: dx = 4, rectangles [4,6) and, inverted, [2,8) in the end colour; columns 0
    // and 1 stay uncovered: the old picture in its first four rows, white below.
    EXPECT_EQ(FColorToColor(bm.Pixels24[3][3]), End);
    EXPECT_EQ(FColorToColor(bm.Pixels24[0][0]), RGBColor(151, 34, 63));
    EXPECT_EQ(FColorToColor(bm.Pixels24[6][0]), clWhite);
    g.resize(0, 0);
    EXPECT_TRUE(g.bm().Empty());
    g.grab(); // paints nothing, and does not fail
}

} // namespace
