// The effects of the Filters group and one step of the colour slider preview, against a plain copy of
// the image's bytes, on one core.

#include "app/effects/SeamlessBlur.h"
#include "app/effects/SliderPreview.h"
#include "image/Parallel.h"
#include "image/ZorvFX_Filters.h"
#include "platform/FastDIBQt.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <cstring>
#include <vector>

namespace {

// The targets are for one core: the image routines' row bands stay on the calling thread.
const int OneThread = (SetParallelThreads(1), 1);

void Fill(TFastDIB& d, int w, int h) {
    d.SetSize(w, h, 24, 0);
    std::uint32_t s = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1103515245u + 12345u;
            d.Pixels24[y][x] = TFColor{static_cast<std::uint8_t>(s >> 24), static_cast<std::uint8_t>(s >> 16),
                                       static_cast<std::uint8_t>(s >> 8)};
        }
}

void BM_Memcpy(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TFastDIB a, b;
    Fill(a, n, n);
    b.SetSize(n, n, 24, 0);
    for (auto _ : state) {
        std::memcpy(b.Bits, a.Bits, static_cast<std::size_t>(a.ByteCount()));
        benchmark::ClobberMemory();
    }
}

void BM_SeamlessBlur5(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TFastDIB img, work;
    Fill(img, n, n);
    for (auto _ : state) SeamlessGaussianBlur(img, 5, work);
}

void BM_Sharpen(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TFastDIB img;
    Fill(img, n, n);
    const TFixedKernel& k = FixedKernel(8);
    for (auto _ : state) Convolve3x3(k.Weights, k.Divisor, img);
}

// One slider step: z copied into the preview, all six adjustments, the preview drawn into the view.
void BM_SliderStep(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TFastDIB z, buf;
    Fill(z, n, n);
    buf.SetSize(n, n, 24, 0);
    QImage view(n, n, QImage::Format_BGR888);
    int step = 0;
    for (auto _ : state) {
        const int d = 1 + (step++ % 40);
        z.Draw(buf, 0, 0);
        PreviewAdjust(buf, d, -d, 255 + d, d, -d, 2 * d);
        QPainter p(&view);
        DrawDIB(p, buf, 0, 0);
    }
}

} // namespace

BENCHMARK(BM_Memcpy)->Arg(512)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeamlessBlur5)->Arg(512)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sharpen)->Arg(512)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SliderStep)->Arg(512)->Arg(2048)->Unit(benchmark::kMillisecond);
