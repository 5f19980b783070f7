// Every routine with a loop of its own (outside the row bands, or in bands that are split on one thread)
// checks for a stop request before it writes its first row: asked to stop, it throws EWorkStopped with the
// picture untouched, and once the request is cleared the same call gives the result of a fresh run.
#include "BandedTest.h"
#include "image/FastFX.h"
#include "image/GaussianBlur.h"
#include "image/Numeric.h"
#include "image/Parallel.h"
#include "image/WorkControl.h"
#include "image/ZorvFX.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

void noise(TFastDIB& b, int w, int h, int bpp, std::uint32_t seed) {
    SetRandSeed(seed);
    b.SetSize(w, h, bpp, 0);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < b.BWidth; ++i) b.Scanlines[y][i] = static_cast<std::uint8_t>(Random(256));
}

std::vector<std::uint8_t> bytesOf(const TFastDIB& b) {
    return std::vector<std::uint8_t>(b.Bits, b.Bits + b.ByteCount());
}

struct Routine {
    std::string name;
    int bpp;
    std::function<void(TFastDIB&)> run;
};

std::vector<Routine> routines() {
    static const int soften[9] = {1, 2, 1, 2, 4, 2, 1, 2, 1};
    auto other = [](auto f) {
        return [f](TFastDIB& b) {
            TFastDIB o;
            f(b, o);
        };
    };
    return {
        {"SplitBlur", 24, [](TFastDIB& b) { SplitBlur(b, 3); }},
        {"AddNoise24", 24, [](TFastDIB& b) { AddNoise(b, 40, false); }},
        {"AddNoise32", 32, [](TFastDIB& b) { AddNoise(b, 40, true); }},
        {"AddNoise16", 16, [](TFastDIB& b) { AddNoise(b, 40, false); }},
        {"AddNoise8", 8, [](TFastDIB& b) { AddNoise(b, 40, false); }},
        {"AdjustRGB32", 32, [](TFastDIB& b) { AdjustRGB(b, 20, -20, 5); }},
        {"AdjustRGB16", 16, [](TFastDIB& b) { AdjustRGB(b, 20, -20, 5); }},
        {"AdjustSaturation32", 32, [](TFastDIB& b) { AdjustSaturation(b, 100); }},
        {"AdjustSaturation24", 24, [](TFastDIB& b) { AdjustSaturation(b, 100); }},
        {"WrapShift", 24, [](TFastDIB& b) { WrapShift(b, 5, 0); }},
        {"MirrorLR24", 24, [](TFastDIB& b) { MirrorLR(b); }},
        {"MirrorLR32", 32, [](TFastDIB& b) { MirrorLR(b); }},
        {"Buttonize", 24, [](TFastDIB& b) { Buttonize(b, 0xFFFFFF, 0x123456, 9); }},
        {"SeamlessEdge", 24, [](TFastDIB& b) { SeamlessEdge(b, 12); }},
        {"EdgeMerge", 24, [](TFastDIB& b) { EdgeMerge(b, 4); }},
        {"TraceEdges", 24, [](TFastDIB& b) { TraceEdges(b, 2, 0xFF00FF); }},
        {"HeightMap", 24, other([](TFastDIB& b, TFastDIB& o) { HeightMap(b, o, 20, 30, 45, 0); })},
        {"SuperNova", 24,
         [](TFastDIB& b) {
             TFastDIB src;
             src.SetSize(b.Width, b.Height, 24, 0);
             b.Draw(src, 0, 0);
             superNovaWithSeed(src, b, 40, 200, 90, 10, 12, 20, 64, 30, 4);
         }},
        {"FourCornerGradient", 24,
         [](TFastDIB& b) {
             FourCornerGradient(b, 0, 0, b.Width - 1, b.Height - 1, {1, 2, 3}, {250, 0, 9}, {}, {9, 9, 9});
         }},
        {"ResizeBilinear", 24, [](TFastDIB& b) { ResizeBilinear(b, 70, 40, true); }},
        {"ClassicEmboss", 24, other([](TFastDIB& b, TFastDIB& o) { ClassicEmboss(b, o, 200); })},
        {"Convolve3x3", 24, [](TFastDIB& b) { Convolve3x3(soften, 16, b); }},
        {"GBlur", 24, [](TFastDIB& b) { GBlur(b, 3); }},
        {"TwistFX", 24,
         [](TFastDIB& b) {
             TFastDIB src;
             src.SetSize(b.Width, b.Height, 24, 0);
             b.Draw(src, 0, 0);
             TwistFX(src, b, 40);
         }},
        {"SineWaveLR", 24, [](TFastDIB& b) { SineWaveLR(b, 7, true, 2, true); }},
    };
}

// On one thread and on several; every call is split into bands whatever its size.
struct StopChecks : BandedTest {};

TEST_P(StopChecks, AStoppedRoutineThrowsBeforeItsFirstRowAndRunsWhenCleared) {
    for (const Routine& r : routines()) {
        TFastDIB src;
        noise(src, 61, 47, r.bpp, 9);
        TFastDIB want;
        noise(want, 61, 47, r.bpp, 9);
        SetRandSeed(77);
        r.run(want);
        const std::uint32_t seedAfter = RandSeed();

        TFastDIB got;
        noise(got, 61, 47, r.bpp, 9);
        SetRandSeed(77);
        RequestWorkStop();
        EXPECT_THROW(r.run(got), EWorkStopped) << r.name;
        EXPECT_EQ(bytesOf(got), bytesOf(src)) << r.name << ": changed before the stop was seen";
        EXPECT_EQ(RandSeed(), 77u) << r.name << ": drew numbers before the stop was seen";

        // Scratch images and the random sequence are as they were: the next run is a fresh one.
        ClearWorkStop();
        EXPECT_NO_THROW(r.run(got)) << r.name;
        EXPECT_EQ(got.Width, want.Width) << r.name;
        EXPECT_EQ(bytesOf(got), bytesOf(want)) << r.name;
        EXPECT_EQ(RandSeed(), seedAfter) << r.name;
    }
}

// Split Gauss runs a split blur for every distance down to 0: a stop asked between two of them ends the
// next one at its first row.
TEST_P(StopChecks, RepeatedPassesEndAtTheNextPass) {
    TFastDIB b;
    noise(b, 40, 30, 24, 3);
    int passes = 0;
    EXPECT_THROW(
        for (int d = 50; d >= 0; --d) {
            SplitBlur(b, d);
            if (++passes == 3) RequestWorkStop();
        },
        EWorkStopped);
    EXPECT_EQ(passes, 3);
}

INSTANTIATE_TEST_SUITE_P(Threads, StopChecks, ::testing::Values(1, 4));

TEST(ParallelThreshold, CheapSmallWorkStaysOnTheCallingThreadInOnePiece) {
    SetParallelThreads(4);
    const int rows = 300;
    // The same rows and pixels: split only when their cost brings the work to the threshold.
    const std::int64_t pixels = ParallelMinWorkDefault / CostHeavy;
    int calls = 0;
    ParallelRows(rows, pixels * CostCopy, [&](int a, int b) {
        ++calls;
        EXPECT_EQ(a, 0);
        EXPECT_EQ(b, rows);
    });
    EXPECT_EQ(calls, 1);
    std::atomic<int> bands{0}, covered{0};
    ParallelRows(rows, pixels * CostHeavy, [&](int a, int b) {
        bands.fetch_add(1);
        covered.fetch_add(b - a);
    });
    EXPECT_GT(bands.load(), 1);
    EXPECT_EQ(covered.load(), rows);
    SetParallelThreads(0);
}

TEST(ParallelThreshold, WorkOfCountsInSixtyFourBits) {
    TFastDIB b;
    b.SetSize(3, 2, 24, 0);
    EXPECT_EQ(WorkOf(b, CostFloat), 6 * CostFloat);
    // A 16384 x 16384 picture at the highest cost passes 2^31 and must not wrap.
    const std::int64_t big = std::int64_t{16384} * 16384 * CostHeavy;
    EXPECT_EQ(big, std::int64_t{1} << 34);
    EXPECT_TRUE(ParallelSplits(big));
    EXPECT_FALSE(ParallelSplits(ParallelMinWork() - 1));
}

} // namespace
