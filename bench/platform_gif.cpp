// Save As with a GIF name on a photo-sized picture: JPEG at quality 100, 8 bits again, one frame, the
// colour map optimised, the file encoded in memory.
#include "platform/GIFGraphic.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// A smooth picture with fine noise, as a photo has.
void photo(TFastDIB& d, int n) {
    d.SetSize(n, n, 24, 0);
    std::uint32_t seed = 1;
    for (int y = 0; y < n; ++y) {
        TFColor* row = d.Pixels24[y];
        for (int x = 0; x < n; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = static_cast<int>((seed >> 16) % 9) - 4;
            const auto c = [&](double v) {
                v += noise;
                return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
            };
            row[x] = {c(128 + 100 * std::sin(x / 97.0)), c(y * 255.0 / n),
                      c(128 + 100 * std::cos(y / 61.0 + x / 150.0))};
        }
    }
}

} // namespace

static void BM_SaveAsGif(benchmark::State& state) {
    TFastDIB d;
    photo(d, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<TGIFGraphic> gif = MakeGIFForSave(d);
        benchmark::DoNotOptimize(gif->SaveToMemory());
    }
}
BENCHMARK(BM_SaveAsGif)->Arg(1024)->Unit(benchmark::kMillisecond);
