// The filters and the Gaussian blur at 512 x 512 and 4096 x 4096, with a plain copy of the 4096 image
// as the baseline.
#include "NoiseImage.h"
#include "image/FastDIB.h"
#include "image/GaussianBlur.h"
#include "image/Numeric.h"
#include "image/ZorvFX.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

// Runs f on a fresh copy of a noise image each iteration; the copy is not timed.
template <class F> void runOn(benchmark::State& state, F f) {
    const int size = static_cast<int>(state.range(0));
    TFastDIB src, img;
    NoiseImage(src, size, 1234);
    img.SetSize(size, size, 24, 0);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(img.Bits, src.Bits, static_cast<std::size_t>(src.ByteCount()));
        state.ResumeTiming();
        f(img);
        benchmark::DoNotOptimize(img.Bits);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * src.ByteCount());
}

constexpr std::array<int, 9> kSharpen{-1, -1, -1, -1, 16, -1, -1, -1, -1};
constexpr std::array<int, 9> kBig{-1000, 2000, -1000, 500, 100000, 500, -1000, 2000, -1000};

void BM_Memcpy4096(benchmark::State& state) {
    TFastDIB a, b;
    NoiseImage(a, 4096, 1234);
    b.SetSize(4096, 4096, 24, 0);
    for (auto _ : state) {
        std::memcpy(b.Bits, a.Bits, static_cast<std::size_t>(a.ByteCount()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * a.ByteCount());
}

void BM_Convolve3x3(benchmark::State& s) {
    runOn(s, [](TFastDIB& b) { Convolve3x3(kSharpen, 8, b); });
}
void BM_Convolve3x3Wide(benchmark::State& s) {
    runOn(s, [](TFastDIB& b) { Convolve3x3(kBig, 7, b); });
}
void BM_GrayScale24(benchmark::State& s) {
    runOn(s, [](TFastDIB& b) { GrayScale24(b); });
}
void BM_ClassicEmboss(benchmark::State& s) {
    TFastDIB work;
    runOn(s, [&](TFastDIB& b) { ClassicEmboss(b, work, 256); });
}
void BM_Buttonize(benchmark::State& s) {
    runOn(s, [](TFastDIB& b) { Buttonize(b, 0xFFFFFF, 0x404040, 24); });
}
void BM_SplitBlur(benchmark::State& s) {
    runOn(s, [](TFastDIB& b) { SplitBlur(b, 3); });
}
void BM_TraceEdges(benchmark::State& s) {
    runOn(s, [](TFastDIB& b) { TraceEdges(b, 2, 0); });
}
void BM_SeamlessEdge(benchmark::State& s) {
    runOn(s, [](TFastDIB& b) { SeamlessEdge(b, 32); });
}
void BM_EdgeMerge(benchmark::State& s) {
    runOn(s, [](TFastDIB& b) { EdgeMerge(b, 4); });
}
void BM_GBlur6(benchmark::State& s) {
    runOn(s, [](TFastDIB& b) { GBlur(b, 6); });
}
void BM_GBlur1(benchmark::State& s) {
    runOn(s, [](TFastDIB& b) { GBlur(b, 1); });
}

} // namespace

BENCHMARK(BM_Memcpy4096)->Unit(benchmark::kMillisecond);
#define FILTER_BENCH(name) BENCHMARK(name)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond)
FILTER_BENCH(BM_Convolve3x3);
FILTER_BENCH(BM_Convolve3x3Wide);
FILTER_BENCH(BM_GrayScale24);
FILTER_BENCH(BM_ClassicEmboss);
FILTER_BENCH(BM_Buttonize);
FILTER_BENCH(BM_SplitBlur);
FILTER_BENCH(BM_TraceEdges);
FILTER_BENCH(BM_SeamlessEdge);
FILTER_BENCH(BM_EdgeMerge);
FILTER_BENCH(BM_GBlur6);
FILTER_BENCH(BM_GBlur1);
