// The controls' picture work: every two-colour gradient style, and one frame of each transition.
#include "controls/GradientPainter.h"
#include "controls/TransitionFrames.h"
#include "image/Numeric.h"

#include <benchmark/benchmark.h>

namespace {

void BM_GradientStyle(benchmark::State& state) {
    const int n = static_cast<int>(state.range(1));
    TGradientSettings s;
    s.GradientStyle = static_cast<TGradientStyle>(state.range(0));
    s.StartAngle = 30;
    TFastDIB bm;
    bm.SetSize(n, n, 24, 0);
    for (auto _ : state) {
        PaintGradient(bm, s);
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(n) + " x " + std::to_string(n));
}
BENCHMARK(BM_GradientStyle)
    ->ArgsProduct({{gsHorizontal, gsVertical, gsElliptic, gsRectangle, gsVertCenter, gsHorizCenter, gsRadial1,
                    gsRadial2},
                   {2048}})
    ->Unit(benchmark::kMillisecond);

// The elliptic style drawn one ellipse over the other, for comparison with the span painter.
void BM_EllipticByEllipses(benchmark::State& state) {
    TGradientSettings s;
    s.GradientStyle = gsElliptic;
    TFastDIB bm;
    bm.SetSize(2048, 2048, 24, 0);
    for (auto _ : state) {
        PaintEllipticByEllipses(bm, s);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EllipticByEllipses)->Unit(benchmark::kMillisecond);

void Noise(TFastDIB& bm, int W, int H) {
    bm.SetSize(W, H, 24, 0);
    SetRandSeed(5);
    for (std::int64_t k = 0; k < bm.ByteCount(); ++k) bm.Bits[k] = static_cast<std::uint8_t>(Random(256));
}

void BM_BlendFrame(benchmark::State& state) {
    TFastDIB from, to, shown;
    Noise(from, 1920, 1080);
    Noise(to, 1920, 1080);
    shown.SetSize(1920, 1080, 24, 0);
    int i = 0;
    for (auto _ : state) {
        BlendBits(from, to, shown, BlendWeight(i++ % 33, 32));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BlendFrame)->Unit(benchmark::kMillisecond);

// One frame of the default dissolve (rate 125: 16588 pixels of 1920 x 1080), and building the list.
void BM_DissolveFrame(benchmark::State& state) {
    TFastDIB to, shown;
    Noise(to, 1920, 1080);
    shown.SetSize(1920, 1080, 24, 0);
    const std::vector<TPixelPair> list = BuildPixelList(1920, 1080);
    const std::int64_t n = DissolveChunk(static_cast<std::int64_t>(list.size()), 125);
    std::int64_t f = 0;
    for (auto _ : state) {
        const TPixelPair* first = list.data() + (f++ % 125) * n;
        CopyPixels(first, first + n, to, shown);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DissolveFrame)->Unit(benchmark::kMicrosecond);

void BM_DissolvePixelList(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(BuildPixelList(1920, 1080));
}
BENCHMARK(BM_DissolvePixelList)->Unit(benchmark::kMillisecond);

} // namespace
