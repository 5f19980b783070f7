// Timings of the wrap-around distortions on square noise images of 512 and 4096 pixels a side.
#include "NoiseImage.h"
#include "image/Numeric.h"
#include "image/ZorvFX.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

// Runs an in-place effect on one image over and over (the content changes; the work does not).
template <class F> void inPlace(benchmark::State& st, F fx) {
    const int n = static_cast<int>(st.range(0));
    TFastDIB b;
    NoiseImage(b, n, 1);
    for (auto _ : st) {
        fx(b);
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * n * n);
}

// Runs a source-to-destination effect, as the editor does from its scratch copy into the image.
template <class F> void srcToDst(benchmark::State& st, F fx) {
    const int n = static_cast<int>(st.range(0));
    TFastDIB src, dst;
    NoiseImage(src, n, 2);
    dst.SetSize(n, n, 24, 0);
    for (auto _ : st) {
        fx(src, dst);
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * n * n);
}

void BM_RadialWaves(benchmark::State& st) {
    inPlace(st, [](TFastDIB& b) { RadialWaves(b, 12, 40, 30, false); });
}
void BM_RadialWavesReflective(benchmark::State& st) {
    inPlace(st, [](TFastDIB& b) { RadialWaves(b, 12, 40, 30, true); });
}
void BM_WhirlPinch(benchmark::State& st) {
    inPlace(st, [](TFastDIB& b) { WhirlPinch(b, 120, 0.5, 1); });
}
void BM_WhirlOnly(benchmark::State& st) {
    inPlace(st, [](TFastDIB& b) { WhirlPinch(b, 120, 0, 1); });
}
void BM_FishEye(benchmark::State& st) {
    srcToDst(st, [](const TFastDIB& s, TFastDIB& d) { FishEye(s, d, 0.6L); });
}
void BM_TwistFX(benchmark::State& st) {
    srcToDst(st, [](const TFastDIB& s, TFastDIB& d) { TwistFX(s, d, 60); });
}
void BM_ArcTan2F(benchmark::State& st) {
    float acc = 0;
    for (auto _ : st) {
        for (int i = 0; i < 1024; ++i) acc += ArcTan2F(static_cast<float>(i - 512), 300.0f - i);
        benchmark::DoNotOptimize(acc);
    }
    st.SetItemsProcessed(st.iterations() * 1024);
}
void BM_ResizeBilinear(benchmark::State& st) {
    const int n = static_cast<int>(st.range(0));
    const bool tiled = st.range(1) != 0;
    TFastDIB src, b;
    NoiseImage(src, n, 3);
    for (auto _ : st) {
        st.PauseTiming();
        b.SetSize(n, n, 24, 0);
        src.Draw(b, 0, 0);
        st.ResumeTiming();
        ResizeBilinear(b, n + n / 4, n - n / 4, tiled);
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * (n + n / 4) * (n - n / 4));
}
void BM_WaterDisplace(benchmark::State& st) {
    const int n = static_cast<int>(st.range(0));
    TFastDIB map;
    NoiseImage(map, n, 4);
    inPlace(st, [&map](TFastDIB& b) { WaterDisplace(6, -9, map, b); });
}
void BM_WaterDisplaceSelf(benchmark::State& st) {
    inPlace(st, [](TFastDIB& b) { WaterDisplace(6, -9, b, b); });
}
void BM_RippleTooth(benchmark::State& st) {
    inPlace(st, [](TFastDIB& b) { RippleTooth(b, 40); });
}
void BM_SineWaveUD(benchmark::State& st) {
    const bool wrap = st.range(1) != 0;
    inPlace(st, [wrap](TFastDIB& b) { SineWaveUD(b, 20, wrap, 3, true); });
}
void BM_SineWaveLR(benchmark::State& st) {
    const bool wrap = st.range(1) != 0;
    inPlace(st, [wrap](TFastDIB& b) { SineWaveLR(b, 20, wrap, 3, true); });
}
void BM_SineWaveBoth(benchmark::State& st) {
    inPlace(st, [](TFastDIB& b) { SineWaveBoth(b, 20, 15, 3, 2); });
}
void BM_ScrollLR(benchmark::State& st) {
    inPlace(st, [](TFastDIB& b) { ScrollLR(b, 37); });
}

} // namespace

BENCHMARK(BM_RadialWaves)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RadialWavesReflective)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WhirlPinch)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WhirlOnly)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FishEye)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwistFX)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArcTan2F);
BENCHMARK(BM_ResizeBilinear)->Args({512, 0})->Args({512, 1})->Args({4096, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaterDisplace)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaterDisplaceSelf)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RippleTooth)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SineWaveUD)
    ->Args({512, 1})
    ->Args({512, 0})
    ->Args({4096, 1})
    ->Args({4096, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SineWaveLR)
    ->Args({512, 1})
    ->Args({512, 0})
    ->Args({4096, 1})
    ->Args({4096, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SineWaveBoth)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollLR)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
