// Colour lookups, ditherers, the octree quantiser and ReduceColors on small images worked by hand.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <tuple>

#include "gif/GIFColorReduction.h"
#include "gif/GIFImage.h"

namespace {

TLogPalette Palette(std::initializer_list<std::array<int, 3>> colors) {
    TLogPalette p;
    p.palVersion = 0x300;
    for (const auto& c : colors)
        p.entries.push_back({std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2]), 0});
    return p;
}

struct Found {
    int Index, R, G, B;
    bool operator==(const Found&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Found& f) {
    return os << f.Index << " (" << f.R << ", " << f.G << ", " << f.B << ")";
}
Found Ask(TColorLookup& lookup, int red, int green, int blue) {
    std::uint8_t r, g, b;
    const int i = lookup.Lookup(std::uint8_t(red), std::uint8_t(green), std::uint8_t(blue), r, g, b);
    return {i, r, g, b};
}

// A 24-bit image filled from a function of (x, y) giving (r, g, b).
template <class F> std::unique_ptr<TFastDIB> Image24(int w, int h, F color) {
    auto dib = std::make_unique<TFastDIB>();
    dib->SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto [r, g, b] = color(x, y);
            dib->Pixels24[y][x] = TFColor{std::uint8_t(b), std::uint8_t(g), std::uint8_t(r)};
        }
    return dib;
}

std::vector<int> Indices(const TFastDIB& dib) {
    std::vector<int> out;
    for (int y = 0; y < dib.Height; ++y)
        for (int x = 0; x < dib.Width; ++x) out.push_back(dib.Pixels8[y][x]);
    return out;
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const GIFException& e) {
        return e.what();
    }
    return "";
}

// A lookup that remembers the colour it was asked for last. It answers black for the first colour
// that is not black (so that pixel's whole value is its error) and every other colour exactly (no
// error), so the values asked afterwards show the shares of that one error.
class TProbeLookup final : public TColorLookup {
public:
    TProbeLookup() : TColorLookup(TLogPalette{}) { FColors = 256; }
    std::uint8_t Lookup(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue, std::uint8_t& R,
                        std::uint8_t& G, std::uint8_t& B) override {
        Asked = Red;
        if (Red != 0 && !Spent) {
            Spent = true;
            R = G = B = 0;
        } else {
            R = Red, G = Green, B = Blue;
        }
        return 0;
    }
    int Asked = 0;
    bool Spent = false;
};

// Walks a grey image serpentine through a ditherer and answers the value asked for at each pixel.
std::map<std::pair<int, int>, int> Walk(TDitherEngine& d, TProbeLookup& probe, int w, int h,
                                        const std::function<int(int, int)>& grey) {
    std::map<std::pair<int, int>, int> asked;
    std::uint8_t r, g, b;
    for (int y = 0; y < h; ++y) {
        for (int x = d.Column(); x >= 0 && x < w; x = d.Column()) {
            const std::uint8_t v = std::uint8_t(grey(x, y));
            d.Dither(v, v, v, r, g, b);
            asked[{x, y}] = probe.Asked;
        }
        d.NextLine();
    }
    return asked;
}

struct Weight {
    int dx, dy, w; // dx along the walking direction
};

} // namespace

TEST(gifColorReduction, LookupsWorkedByHand) {
    TNetscapeColorLookup web(WebPalette());
    TGrayScaleLookup grey(GrayScalePalette());
    TMonochromeLookup mono(MonochromePalette());
    // Cells: (8,0,0) owns cell 1, (0,0,0) cell 0, (10,10,10) and (200,0,0) others.
    const TLogPalette four = Palette({{0, 0, 0}, {10, 10, 10}, {200, 0, 0}, {8, 0, 0}});
    TFastColorLookup fast(four);
    TFastColorLookup fastTie(Palette({{10, 0, 0}, {0, 10, 0}}));
    TSlowColorLookup slow(Palette({{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {255, 0, 0}}));
    TSlowColorLookup slowTie(Palette({{10, 0, 0}, {0, 10, 0}}));

    struct Case {
        const char* what;
        TColorLookup& lookup;
        int r, g, b;
        Found want;
    };
    const Case cases[] = {
        {"web levels 0, 1, 1", web, 47, 48, 98, {7, 0, 51, 51}},
        {"web level 2 starts at 99", web, 99, 0, 0, {72, 102, 0, 0}},
        {"web levels 5, 5, 4", web, 252, 255, 251, {214, 255, 255, 204}},
        {"grey 21000 shr 8", grey, 100, 50, 200, {82, 82, 82, 82}},
        {"grey white", grey, 255, 255, 255, {255, 255, 255, 255}},
        {"mono 32768 is white", mono, 128, 128, 128, {1, 255, 255, 255}},
        {"mono 32512 is black", mono, 127, 127, 127, {0, 0, 0, 0}},
        {"mono pure red is dark", mono, 255, 0, 0, {0, 0, 0, 0}},
        {"mono pure green is light", mono, 0, 255, 0, {1, 255, 255, 255}},
        {"fast: own cell of entry 3", fast, 9, 0, 0, {3, 8, 0, 0}},
        {"fast: own cell of entry 0 wins over nearer entry 3", fast, 7, 0, 0, {0, 0, 0, 0}},
        {"fast: searched by summed differences", fast, 120, 0, 0, {2, 200, 0, 0}},
        {"fast: cell answered from the cache", fast, 127, 7, 7, {2, 200, 0, 0}},
        {"fast: tie goes to the lower index", fastTie, 5, 5, 0, {0, 10, 0, 0}},
        {"slow: nearest by squares", slow, 200, 100, 100, {2, 255, 0, 0}},
        {"slow: duplicate entries give the first", slow, 250, 10, 0, {2, 255, 0, 0}},
        {"slow: tie goes to the lower index", slowTie, 5, 5, 0, {0, 10, 0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(Ask(c.lookup, c.r, c.g, c.b), c.want) << c.what;
    EXPECT_EQ(web.Colors(), 216);
    EXPECT_EQ(mono.Colors(), 2);
    EXPECT_EQ(fast.Colors(), 4);
}

TEST(gifColorReduction, SlowLookupIsTheExactNearestEntry) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 20; ++trial) {
        TLogPalette p;
        const int n = 1 + int(rng() % 256);
        for (int i = 0; i < n; ++i)
            p.entries.push_back({std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()), 0});
        TSlowColorLookup slow(p);
        for (int k = 0; k < 2000; ++k) {
            const int r = int(rng() & 255), g = int(rng() & 255), b = int(rng() & 255);
            int best = 1 << 30, want = 0;
            for (int i = 0; i < n; ++i) {
                const int dr = p.entries[i].peRed - r, dg = p.entries[i].peGreen - g,
                          db = p.entries[i].peBlue - b;
                if (dr * dr + dg * dg + db * db < best) best = dr * dr + dg * dg + db * db, want = i;
            }
            ASSERT_EQ(Ask(slow, r, g, b).Index, want)
                << n << " entries, colour " << r << " " << g << " " << b;
        }
    }
}

TEST(gifColorReduction, FloydSteinbergOnFlatGrey) {
    // Grey 16 on 3 x 2, every pixel made black, so each error is the whole corrected value.
    // Row 0: 16; 16 + (7*16 + 8) div 16 = 23; 16 + (7*23 + 8) div 16 = 26.
    // Below: column 0 gets 5*16 + 3*23 = 149, column 1 16 + 5*23 + 3*26 = 209, column 2 23 + 5*26 = 153.
    // Row 1 from the right: 16 + (153 + 8) div 16 = 26; 16 + (7*26 + 209 + 8) div 16 = 40;
    // 16 + (7*40 + 149 + 8) div 16 = 43.
    class TBlack final : public TColorLookup {
    public:
        TBlack() : TColorLookup(TLogPalette{}) { FColors = 1; }
        std::uint8_t Lookup(std::uint8_t Red, std::uint8_t, std::uint8_t, std::uint8_t& R, std::uint8_t& G,
                            std::uint8_t& B) override {
            Asked.push_back(Red);
            R = G = B = 0;
            return 0;
        }
        std::vector<int> Asked;
    } black;
    TFloydSteinbergDitherer fs(3, black);
    std::uint8_t r, g, b;
    for (int y = 0; y < 2; ++y) {
        while (fs.Column() >= 0 && fs.Column() < 3) fs.Dither(16, 16, 16, r, g, b);
        fs.NextLine();
    }
    EXPECT_EQ(black.Asked, (std::vector<int>{16, 23, 26, 26, 40, 43}));
}

TEST(gifColorReduction, KernelsSpreadOneErrorByTheirWeights) {
    struct Kernel {
        TDitherMode mode;
        int divisor;
        std::vector<Weight> weights;
    };
    const Kernel kernels[] = {
        {dmFloydSteinberg, 16, {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}}},
        {dmStucki,
         42,
         {{1, 0, 8},
          {2, 0, 4},
          {-2, 1, 2},
          {-1, 1, 4},
          {0, 1, 8},
          {1, 1, 4},
          {2, 1, 2},
          {-2, 2, 1},
          {-1, 2, 2},
          {0, 2, 4},
          {1, 2, 2},
          {2, 2, 1}}},
        {dmSierra,
         32,
         {{1, 0, 5},
          {2, 0, 3},
          {-2, 1, 2},
          {-1, 1, 4},
          {0, 1, 5},
          {1, 1, 4},
          {2, 1, 2},
          {-1, 2, 2},
          {0, 2, 3},
          {1, 2, 2}}},
        {dmJaJuNI,
         48,
         {{1, 0, 7},
          {2, 0, 5},
          {-2, 1, 3},
          {-1, 1, 5},
          {0, 1, 7},
          {1, 1, 5},
          {2, 1, 3},
          {-2, 2, 1},
          {-1, 2, 3},
          {0, 2, 5},
          {1, 2, 3},
          {2, 2, 1}}},
        {dmSteveArche,
         200,
         {{2, 0, 32},
          {-3, 1, 12},
          {-1, 1, 26},
          {1, 1, 30},
          {3, 1, 16},
          {-2, 2, 12},
          {0, 2, 26},
          {2, 2, 12},
          {-3, 3, 5},
          {-1, 3, 12},
          {1, 3, 12},
          {3, 3, 5}}},
        {dmBurkes, 32, {{1, 0, 8}, {2, 0, 4}, {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4}, {2, 1, 2}}},
    };
    // One pixel of grey 160 at column 3 of row 0 (walked left to right) or row 1 (right to left) on
    // black; each pixel it reaches is asked for (weight x 160 + divisor div 2) div divisor.
    const int w = 7, h = 6, e = 160;
    for (const Kernel& k : kernels) {
        for (int row : {0, 1}) {
            TProbeLookup probe;
            auto d = MakeDitherer(k.mode, w, probe);
            auto asked = Walk(*d, probe, w, h, [&](int x, int y) { return x == 3 && y == row ? e : 0; });
            std::map<std::pair<int, int>, int> want;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) want[{x, y}] = 0;
            want[{3, row}] = e;
            const int dir = row == 0 ? 1 : -1;
            for (const Weight& wt : k.weights)
                want[{3 + dir * wt.dx, row + wt.dy}] = (wt.w * e + k.divisor / 2) / k.divisor;
            EXPECT_EQ(asked, want) << "mode " << k.mode << ", row " << row;
        }
    }
}

TEST(gifColorReduction, EveryDithererWalksNarrowImagesInsideItsBuffers) {
    for (int mode = dmNearest; mode <= dmBurkes; ++mode)
        for (int w : {1, 2, 3}) {
            auto src = Image24(w, 5, [](int x, int y) {
                return std::tuple{x * 90 + y * 20, 200 - y * 30, 77};
            });
            auto out = ReduceColors(*src, rmNetscape, TDitherMode(mode), 8);
            ASSERT_EQ(out->Bpp, 8);
            for (int i : Indices(*out)) EXPECT_LT(i, 216) << "mode " << mode << " width " << w;
        }
}

TEST(gifColorReduction, ReduceColorsNearestWritesEachPixelAtItsPlace) {
    // Row 1 is walked right to left; the grey levels still land where they were.
    auto src = Image24(3, 2, [](int x, int y) {
        return std::tuple{10 * x + 100 * y, 10 * x + 100 * y, 10 * x + 100 * y};
    });
    // (77 + 150 + 29) v shr 8 = v.
    auto out = ReduceColors(*src, rmGrayScale, dmNearest, 8);
    EXPECT_EQ(Indices(*out), (std::vector<int>{0, 10, 20, 100, 110, 120}));
}

TEST(gifColorReduction, QuantizerMergesTheDeepestNodesFirst) {
    // 255, 255, 255 and 250 red share a path down to level 5; blue leaves at level 0. With two colours
    // the chains fold from level 7 up until the two reds meet at level 5.
    TColorQuantizer q(2, 8);
    for (auto [r, g, b] :
         {std::tuple{255, 0, 0}, {255, 0, 0}, {255, 0, 0}, {250, 0, 0}, {0, 0, 255}, {0, 0, 255}})
        q.AddColor(std::uint8_t(r), std::uint8_t(g), std::uint8_t(b));
    EXPECT_EQ(q.LeafCount(), 2);
    // Child 1 (blue) before child 4 (red); red (3 x 255 + 250) div 4 = 253.
    EXPECT_EQ(q.GetColorTable(), (std::vector<TFColorA>{{255, 0, 0, 0}, {0, 0, 253, 0}}));

    // The Windows palette: static colours at 0..9 and 246..255, the image's colours from 10.
    auto src = Image24(2, 1, [](int x, int) { return x ? std::tuple{1, 2, 3} : std::tuple{200, 100, 50}; });
    const TLogPalette p = CreateOptimizedPaletteFromBitmap(*src, 256, 8, true);
    ASSERT_EQ(p.entries.size(), 256u);
    EXPECT_EQ(p.entries[7], (TPaletteEntry{192, 192, 192, 0}));
    EXPECT_EQ(p.entries[255], (TPaletteEntry{255, 255, 255, 0}));
    EXPECT_EQ(p.entries[10], (TPaletteEntry{1, 2, 3, 0}));      // child 0 of the root
    EXPECT_EQ(p.entries[11], (TPaletteEntry{200, 100, 50, 0})); // child 4
    EXPECT_EQ(p.entries[12], (TPaletteEntry{0, 0, 0, 0}));
}

TEST(gifColorReduction, ReduceColorsLeavesTheSourceAndBuildsTheTable) {
    // A 32-bit source is read through a 24-bit copy; it keeps its depth and bytes.
    TFastDIB src;
    src.SetSize(2, 1, 32, 0);
    src.Pixels32[0][0] = TFColorA{0, 0, 255, 9};
    src.Pixels32[0][1] = TFColorA{255, 255, 255, 9};
    const std::vector<std::uint8_t> before(src.Bits, src.Bits + src.ByteCount());
    auto out = ReduceColors(src, rmNetscape, dmFloydSteinberg, 8);
    EXPECT_EQ(src.Bpp, 32);
    EXPECT_EQ(std::vector<std::uint8_t>(src.Bits, src.Bits + src.ByteCount()), before);
    EXPECT_EQ(Indices(*out), (std::vector<int>{180, 215}));
    EXPECT_EQ(out->ClrUsed(), 256u);
    EXPECT_EQ(out->bmInfo.bmiHeader.biClrImportant, 216u);
    EXPECT_EQ((*out->Colors)[7], (TFColorA{51, 51, 0, 0}));
    EXPECT_EQ((*out->Colors)[216], (TFColorA{0, 0, 0, 0}));

    // rmNone: a 24-bit copy.
    auto copy = ReduceColors(src, rmNone, dmNearest, 8);
    EXPECT_EQ(copy->Bpp, 24);
    EXPECT_EQ(copy->Pixels24[0][0], (TFColor{0, 0, 255}));

    // Quantised to 1 bit: red (child 4 of the root) is entry 0, white (child 7) entry 1.
    auto two = ReduceColors(src, rmQuantize, dmNearest, 1);
    EXPECT_EQ(two->bmInfo.bmiHeader.biClrImportant, 2u);
    EXPECT_EQ(Indices(*two), (std::vector<int>{0, 1}));
    EXPECT_EQ((*two->Colors)[1], (TFColorA{255, 255, 255, 0}));
}

TEST(gifColorReduction, EmptyResultsAndRefusals) {
    auto src = Image24(2, 2, [](int, int) { return std::tuple{1, 2, 3}; });
    const TLogPalette none;
    struct Case {
        const char* what;
        TColorReduction rm;
        TDitherMode dm;
        int bits;
        const TLogPalette* palette;
    };
    const Case empty[] = {
        {"unknown method", TColorReduction(42), dmNearest, 8, nullptr},
        {"unknown dither mode", rmNetscape, TDitherMode(9), 8, nullptr},
        {"rmPalette without palette", rmPalette, dmNearest, 8, nullptr},
        {"rmPalette with an empty palette", rmPalette, dmNearest, 8, &none},
        {"rmQuantize at 9 bits", rmQuantize, dmNearest, 9, nullptr},
        {"rmQuantize at 0 bits", rmQuantize, dmNearest, 0, nullptr},
    };
    for (const Case& c : empty) {
        EXPECT_TRUE(ReduceColors(*src, c.rm, c.dm, c.bits, c.palette)->Empty()) << c.what;
        EXPECT_EQ(ErrorOf([&] { ReduceColorsForImport(*src, c.rm, c.dm, c.bits, c.palette); }),
                  "Invalid reduction method")
            << c.what;
    }
    TFastDIB blank, target;
    EXPECT_EQ(ErrorOf([&] { ReduceColors(blank, rmNetscape, dmNearest, 8); }), "Invalid image dimensions");
    EXPECT_EQ(ErrorOf([&] { TDIBWriter(target, pf8bit, 0, 10, none); }), "Invalid image dimensions");
    EXPECT_EQ(ErrorOf([&] { TDIBWriter(target, pf16bit, 1, 1, none); }), "Unsupported PixelFormat");
    EXPECT_EQ(ErrorOf([&] { TDIBReader r(*src, pf8bit); }), "Unsupported PixelFormat");
    EXPECT_EQ(ErrorOf([&] {
                  TDIBWriter w(target, pf24bit, 2, 2, none);
                  w.GetScanline(2);
              }),
              "Scan line index out of range");
    { TDIBWriter unused(blank, pf24bit, 2, 2, none); }
    EXPECT_TRUE(blank.Empty()); // a writer that never made its pixels leaves the bitmap alone
    {
        TDIBWriter w(target, pf8bit, 2, 1, Palette({{1, 2, 3}}));
        w.GetScanline(0)[1] = 5;
    }
    EXPECT_EQ(target.Bpp, 8);
    EXPECT_EQ(Indices(target), (std::vector<int>{0, 5}));
    EXPECT_EQ((*target.Colors)[0], (TFColorA{3, 2, 1, 0}));
    EXPECT_EQ(target.bmInfo.bmiHeader.biClrImportant, 1u);
}
