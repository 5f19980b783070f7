// Every library routine at 512 x 512 and 4096 x 4096, on one thread and on all cores, with its time as a
// multiple of a memcpy of the image ("x_memcpy"). Wall-clock times: the work runs on several threads.
// Run with --benchmark_filter=Cores/ to compare one thread with all cores for every routine. Rows named
// ...To run the form that reads the picture and writes a second one of the same size.
#include "NoiseImage.h"
#include "image/FastFX.h"
#include "image/GaussianBlur.h"
#include "image/Numeric.h"
#include "image/Parallel.h"
#include "image/ZorvFX.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

// Seconds of one memcpy of an n x n image, best of several.
double memcpySeconds(int n) {
    static std::map<int, double> known;
    if (auto it = known.find(n); it != known.end()) return it->second;
    std::vector<std::uint8_t> a(3ull * n * n, 1), b(a.size());
    double best = 1e9;
    for (int i = 0; i < 15; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        std::memcpy(b.data(), a.data(), a.size());
        benchmark::DoNotOptimize(b.data());
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return known[n] = best;
}

using Routine = std::function<void(TFastDIB& img, TFastDIB& other)>;

// A routine, and what must be done before each run outside the timing (a resize changes the picture's
// size, so it starts again from the noise picture).
struct Entry {
    std::string name;
    Routine routine;
    Routine prepare;
};

const std::vector<Entry>& routines() {
    static const int sharpen[9] = {-1, -1, -1, -1, 9, -1, -1, -1, -1};
    static const std::vector<Entry> r = {
        {"AdjustRGB", [](TFastDIB& b, TFastDIB&) { AdjustRGB(b, 10, -10, 5); }},
        {"AdjustContrast", [](TFastDIB& b, TFastDIB&) { AdjustContrast(b, 40, 40, 40); }},
        {"AdjustLightness", [](TFastDIB& b, TFastDIB&) { AdjustLightness(b, -30, -30, -30); }},
        {"AdjustSaturation", [](TFastDIB& b, TFastDIB&) { AdjustSaturation(b, 300); }},
        {"AddNoise", [](TFastDIB& b, TFastDIB&) { AddNoise(b, 20, false); }},
        {"WrapShift", [](TFastDIB& b, TFastDIB&) { WrapShift(b, 37, 11); }},
        {"MirrorLR", [](TFastDIB& b, TFastDIB&) { MirrorLR(b); }},
        {"MirrorLRTo", [](TFastDIB& b, TFastDIB& o) { MirrorLR(b, o); }},
        {"Flop", [](TFastDIB& b, TFastDIB&) { b.Flop(); }},
        {"MirrorUDTo", [](TFastDIB& b, TFastDIB& o) { MirrorUD(b, o); }},
        {"RotateWrap", [](TFastDIB& b, TFastDIB& o) { RotateWrap(b, o, b.Width / 2, b.Height / 2, 30); }},
        {"RadialWaves", [](TFastDIB& b, TFastDIB&) { RadialWaves(b, 12, 40, 30, false); }},
        {"RadialWavesReflective", [](TFastDIB& b, TFastDIB&) { RadialWaves(b, 12, 40, 30, true); }},
        {"WhirlPinch", [](TFastDIB& b, TFastDIB&) { WhirlPinch(b, 120, 0.5, 1); }},
        {"FishEye", [](TFastDIB& b, TFastDIB& o) { FishEye(b, o, 0.6L); }},
        {"TwistFX", [](TFastDIB& b, TFastDIB& o) { TwistFX(b, o, 100); }},
        {"ResizeBilinear",
         [](TFastDIB& b, TFastDIB& o) { ResizeBilinear(o, b.Width * 3 / 4, b.Height * 3 / 4, true); },
         [](TFastDIB& b, TFastDIB& o) {
             o.SetSize(b.Width, b.Height, 24, 0);
             b.Draw(o, 0, 0);
         }},
        {"ResizeBilinearUp",
         [](TFastDIB& b, TFastDIB& o) {
             ResizeBilinear(o, b.Width + b.Width / 4, b.Height - b.Height / 4, false);
         },
         [](TFastDIB& b, TFastDIB& o) {
             o.SetSize(b.Width, b.Height, 24, 0);
             b.Draw(o, 0, 0);
         }},
        {"WaterDisplace", [](TFastDIB& b, TFastDIB&) { WaterDisplace(20, 20, b, b); }},
        {"WaterDisplaceMap", [](TFastDIB& b, TFastDIB& o) { WaterDisplace(6, -9, o, b); }},
        {"RippleTooth", [](TFastDIB& b, TFastDIB&) { RippleTooth(b, 18); }},
        {"RippleToothTo", [](TFastDIB& b, TFastDIB& o) { RippleTooth(b, o, 18); }},
        {"SineWaveUD", [](TFastDIB& b, TFastDIB&) { SineWaveUD(b, 20, true, 3, true); }},
        {"SineWaveUDTo", [](TFastDIB& b, TFastDIB& o) { SineWaveUD(b, o, 20, true, 3, true); }},
        {"SineWaveLR", [](TFastDIB& b, TFastDIB&) { SineWaveLR(b, 20, true, 3, true); }},
        {"SineWaveLRTo", [](TFastDIB& b, TFastDIB& o) { SineWaveLR(b, o, 20, true, 3, true); }},
        {"SineWaveUDNoWrap", [](TFastDIB& b, TFastDIB&) { SineWaveUD(b, 20, false, 3, true); }},
        {"SineWaveLRNoWrap", [](TFastDIB& b, TFastDIB&) { SineWaveLR(b, 20, false, 3, true); }},
        {"SineWaveBoth", [](TFastDIB& b, TFastDIB&) { SineWaveBoth(b, 20, 20, 3, 2); }},
        {"SineWaveBothTo", [](TFastDIB& b, TFastDIB& o) { SineWaveBoth(b, o, 20, 20, 3, 2); }},
        {"ScrollLR", [](TFastDIB& b, TFastDIB&) { ScrollLR(b, 37); }},
        {"Convolve3x3", [](TFastDIB& b, TFastDIB&) { Convolve3x3(sharpen, 1, b); }},
        {"Convolve3x3To", [](TFastDIB& b, TFastDIB& o) { Convolve3x3(sharpen, 1, b, o); }},
        {"GrayScale24", [](TFastDIB& b, TFastDIB&) { GrayScale24(b); }},
        {"GrayScale24To", [](TFastDIB& b, TFastDIB& o) { GrayScale24(b, o); }},
        {"ClassicEmboss", [](TFastDIB& b, TFastDIB& o) { ClassicEmboss(b, o, 250); }},
        {"ClassicEmbossTo",
         [](TFastDIB& b, TFastDIB& o) { ClassicEmboss(static_cast<const TFastDIB&>(b), o, 250); }},
        {"Buttonize", [](TFastDIB& b, TFastDIB&) { Buttonize(b, 0xFFFFFF, 0, 20); }},
        {"ButtonizeTo", [](TFastDIB& b, TFastDIB& o) { Buttonize(b, o, 0xFFFFFF, 0, 20); }},
        {"SplitBlur", [](TFastDIB& b, TFastDIB&) { SplitBlur(b, 3); }},
        {"TraceEdges", [](TFastDIB& b, TFastDIB&) { TraceEdges(b, 2, 0); }},
        {"TraceEdgesTo", [](TFastDIB& b, TFastDIB& o) { TraceEdges(b, o, 2, 0); }},
        {"SeamlessEdge", [](TFastDIB& b, TFastDIB&) { SeamlessEdge(b, 64); }},
        {"EdgeMerge", [](TFastDIB& b, TFastDIB&) { EdgeMerge(b, 8); }},
        {"GBlur1", [](TFastDIB& b, TFastDIB&) { GBlur(b, 1); }},
        {"GBlur6", [](TFastDIB& b, TFastDIB&) { GBlur(b, 6); }},
        {"HeightMap", [](TFastDIB& b, TFastDIB& o) { HeightMap(b, o, 16, 30, 45, 0); }},
        {"HeightMapGrey", [](TFastDIB& b, TFastDIB& o) { HeightMap(b, o, 16, 30, 45, 1); }},
        {"SuperNova",
         [](TFastDIB& b, TFastDIB& o) { superNovaWithSeed(b, o, 40, 200, 90, 100, 60, 64, 64, 32, 1); }},
        {"FourCornerGradient",
         [](TFastDIB& b, TFastDIB&) {
             FourCornerGradient(b, 0, 0, b.Width - 1, b.Height - 1, {0, 0, 255}, {0, 255, 0}, {255, 0, 0},
                                {9, 9, 9});
         }},
        {"ColorWheel", [](TFastDIB& b, TFastDIB&) { ColorWheel(b); }},
    };
    return r;
}

void run(benchmark::State& st, const Entry& e, int n, int threads) {
    SetParallelThreads(threads);
    TFastDIB img, other;
    NoiseImage(img, n, 5);
    NoiseImage(other, n, 6);
    double seconds = 0;
    for (auto _ : st) {
        if (e.prepare) {
            st.PauseTiming();
            e.prepare(img, other);
            st.ResumeTiming();
        }
        const auto t0 = std::chrono::steady_clock::now();
        e.routine(img, other);
        benchmark::ClobberMemory();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    SetParallelThreads(0);
    st.counters["x_memcpy"] = seconds / static_cast<double>(st.iterations()) / memcpySeconds(n);
}

const bool registered = [] {
    for (const Entry& e : routines())
        for (int n : {512, 4096})
            for (int threads : {1, 0}) {
                const std::string label =
                    "Cores/" + e.name + "/" + std::to_string(n) + (threads == 1 ? "/1thread" : "/all");
                benchmark::RegisterBenchmark(
                    label.c_str(), [&e, n, threads](benchmark::State& st) { run(st, e, n, threads); })
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime()
                    ->MinTime(n > 1000 ? 0.5 : 0.1);
            }
    return true;
}();

} // namespace
