// Picture encoding and decoding at the editor's tile size and at a large size.
#include "platform/JPEGImage.h"
#include "platform/Picture.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void fill(TFastDIB& d, int n) {
    d.SetSize(n, n, 24, 0);
    for (int y = 0; y < n; ++y) {
        TFColor* row = d.Pixels24[y];
        for (int x = 0; x < n; ++x)
            row[x] = TFColor{std::uint8_t(x), std::uint8_t(y), std::uint8_t((x * y) >> 4)};
    }
}

void BM_EncodeJPEG(benchmark::State& state) {
    TFastDIB d;
    fill(d, static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(EncodeJPEG(d, 90));
}
BENCHMARK(BM_EncodeJPEG)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);

void BM_DecodeJPEG(benchmark::State& state) {
    TFastDIB d, out;
    fill(d, static_cast<int>(state.range(0)));
    const QByteArray jpg = EncodeJPEG(d, 90);
    const auto* p = reinterpret_cast<const std::uint8_t*>(jpg.constData());
    for (auto _ : state) DecodeJPEG(p, static_cast<std::size_t>(jpg.size()), out);
}
BENCHMARK(BM_DecodeJPEG)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);

void BM_DecodeJPEG8Bit(benchmark::State& state) {
    TFastDIB d, out;
    fill(d, static_cast<int>(state.range(0)));
    const QByteArray jpg = EncodeJPEG(d, 100);
    const auto* p = reinterpret_cast<const std::uint8_t*>(jpg.constData());
    for (auto _ : state) DecodeJPEG(p, static_cast<std::size_t>(jpg.size()), out, TJPEGPixelFormat::jf8Bit);
}
BENCHMARK(BM_DecodeJPEG8Bit)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);

void BM_BitmapRoundTrip(benchmark::State& state) {
    TFastDIB d, out;
    fill(d, static_cast<int>(state.range(0)));
    TBitmap b;
    b.Assign(d);
    for (auto _ : state) {
        const QByteArray bmp = b.SaveToMemory();
        LoadPictureToDIB(reinterpret_cast<const std::uint8_t*>(bmp.constData()),
                         static_cast<std::size_t>(bmp.size()), QStringLiteral("bmp"), out);
    }
}
BENCHMARK(BM_BitmapRoundTrip)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);

// Opening the largest picture the program makes, 16384 x 16384, from a BMP file (read from the page
// cache after the first round): the file's bytes, the size and memory checks and the rows' copy.
void BM_OpenLargestBMP(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("largest.bmp"));
    {
        TFastDIB d;
        fill(d, n);
        TBitmap b;
        b.Assign(d);
        b.SaveToFile(name);
    }
    TFastDIB out;
    for (auto _ : state) {
        LoadPictureToDIB(name, out);
        benchmark::DoNotOptimize(out.Bits);
    }
}
BENCHMARK(BM_OpenLargestBMP)->Arg(4096)->Arg(16384)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
