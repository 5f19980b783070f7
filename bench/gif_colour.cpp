// ReduceColors on a 1024 x 1024 24-bit image of noise: the web palette (its own lookup), the octree
// quantiser (the cached lookup) and the Windows halftone palette (the exact nearest-entry lookup), each
// with the nearest colour and with Floyd-Steinberg.
#include <benchmark/benchmark.h>

#include <random>

#include "gif/GIFColorReduction.h"

namespace {

const TFastDIB& Noise() {
    static TFastDIB dib;
    if (dib.Empty()) {
        dib.SetSize(1024, 1024, 24, 0);
        std::mt19937 rng(2024);
        for (int y = 0; y < dib.Height; ++y)
            for (int i = 0; i < 3 * dib.Width; ++i) dib.Scanlines[y][i] = static_cast<std::uint8_t>(rng());
    }
    return dib;
}

void BM_ReduceColors(benchmark::State& state, TColorReduction rm, TDitherMode dm) {
    const TFastDIB& src = Noise();
    for (auto _ : state) {
        auto out = ReduceColors(src, rm, dm, 8);
        benchmark::DoNotOptimize(out->Bits);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * src.Width * src.Height);
}

} // namespace

BENCHMARK_CAPTURE(BM_ReduceColors, Netscape_Nearest, rmNetscape, dmNearest)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReduceColors, Netscape_FloydSteinberg, rmNetscape, dmFloydSteinberg)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReduceColors, Quantize_Nearest, rmQuantize, dmNearest)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReduceColors, Quantize_FloydSteinberg, rmQuantize, dmFloydSteinberg)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReduceColors, Windows256_Nearest, rmWindows256, dmNearest)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReduceColors, Windows256_FloydSteinberg, rmWindows256, dmFloydSteinberg)
    ->Unit(benchmark::kMillisecond);
