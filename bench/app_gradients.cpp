// The multi-colour gradient's band drawing at the largest common sizes.

#include "app/dialogs/MultiGradientModel.h"

#include <benchmark/benchmark.h>

static void BM_DrawGradient20Stops(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const bool vert = state.range(1) != 0;
    TFastDIB grad;
    grad.SetSize(side, side, 24, 0);
    std::vector<TGradientStop> stops;
    for (int i = 0; i < 20; ++i) stops.push_back({(i * 7919) % side, RGBColor(i * 13, 255 - i * 11, i * 5)});
    for (auto _ : state) {
        DrawGradient(grad, stops, RGBColor(0, 0, 0), vert);
        benchmark::DoNotOptimize(grad.Bits);
    }
}
BENCHMARK(BM_DrawGradient20Stops)
    ->Args({4096, 1})
    ->Args({4096, 0})
    ->Args({512, 1})
    ->Unit(benchmark::kMillisecond);
