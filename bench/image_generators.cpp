#include "NoiseImage.h"
#include "image/Numeric.h"
#include "image/ZorvFX.h"

#include <benchmark/benchmark.h>

namespace {

void BM_HeightMap(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int grey = static_cast<int>(state.range(1));
    TFastDIB src, bmp, work;
    NoiseImage(src, n, 17);
    bmp.SetSize(n, n, 24, 0);
    for (auto _ : state) {
        state.PauseTiming();
        src.Draw(bmp, 0, 0);
        state.ResumeTiming();
        HeightMap(bmp, work, 20, 30, 45, grey);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_HeightMap)->ArgsProduct({{512, 4096}, {0, 1}})->Unit(benchmark::kMillisecond);

void BM_SuperNova(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TFastDIB src, dst;
    NoiseImage(src, n, 17);
    for (auto _ : state) {
        SuperNova(src, dst, 40, 200, 255, n / 2, n / 3, n / 8, 48, 60);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SuperNova)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);

void BM_FourCornerGradient(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TFastDIB bmp;
    bmp.SetSize(n, n, 24, 0);
    for (auto _ : state) {
        FourCornerGradient(bmp, 0, 0, n - 1, n - 1, TFColor{255, 0, 0}, TFColor{255, 0, 255},
                           TFColor{0, 128, 0}, TFColor{148, 80, 64});
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FourCornerGradient)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);

// The wheel itself is always 256 x 256; the image size only shows that it does not matter.
void BM_ColorWheel(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TFastDIB bmp;
    bmp.SetSize(n, n, 24, 0);
    for (auto _ : state) {
        ColorWheel(bmp);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ColorWheel)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);

} // namespace
