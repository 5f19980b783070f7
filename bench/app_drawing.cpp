// The drawing tools at 4096 x 4096: a rectangle band dragged over the image with the repaint of what
// changed, flood fill of a uniform image, and the view-to-image copy against a plain memcpy.
#include "app/tools/FloodFill.h"
#include "app/tools/ImageView.h"

#include <QApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int Side = 4096;

// The image view is a widget: an application object (offscreen unless a display is asked for) lives
// from the first benchmark that needs it to the end.
void EnsureApplication() {
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_app";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

// One move of a rectangle band: the band follows the pointer and the region the old and the new band
// cover is painted as a paint event would (image, then the band in exclusive-or) into a window-sized
// target.
void BM_RectangleBandMove(benchmark::State& state) {
    EnsureApplication();
    TImageView view;
    view.resize(Side, Side);
    view.Canvas() = QImage(Side, Side, QImage::Format_BGR888);
    view.Canvas().fill(QColor(90, 120, 150));
    QImage screen(Side, Side, QImage::Format_ARGB32_Premultiplied);
    screen.fill(Qt::black);
    TBand band{TBandShape::Rectangle, QPoint(40, 40), QPoint(40, 40), 3};
    int step = 0;
    for (auto _ : state) {
        const TBand old = band;
        const int d = 200 + (step++ % 3800);
        band.B = QPoint(d, Side - d / 2);
        view.SetBand(band);
        QPainter p(&screen);
        view.PaintView(p, TImageView::BandRegion(old) + TImageView::BandRegion(band));
        benchmark::DoNotOptimize(screen.constBits());
    }
    state.counters["moves/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RectangleBandMove)->Unit(benchmark::kMillisecond);

void BM_FloodFillUniform(benchmark::State& state) {
    TFastDIB img;
    img.SetSize(Side, Side, 24, 0);
    std::uint8_t v = 1;
    for (auto _ : state) {
        FloodFill(img.AsSurface(), Side / 2, Side / 3, TFColor{v, v, v});
        ++v;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FloodFillUniform)->Unit(benchmark::kMillisecond);

void BM_ViewToImageCopy(benchmark::State& state) {
    QImage view(Side, Side, QImage::Format_BGR888);
    view.fill(QColor(1, 2, 3));
    TFastDIB z;
    z.SetSize(Side, Side, 24, 0);
    for (auto _ : state) {
        CopyViewTo(view, z);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * z.ByteCount());
}
BENCHMARK(BM_ViewToImageCopy)->Unit(benchmark::kMillisecond);

void BM_MemcpyOfTheImage(benchmark::State& state) {
    const std::size_t bytes = static_cast<std::size_t>(Side) * Side * 3;
    std::vector<std::uint8_t> a(bytes, 1), b(bytes, 0);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_MemcpyOfTheImage)->Unit(benchmark::kMillisecond);

} // namespace
