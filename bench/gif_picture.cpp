// Whole pictures: saving and destroying pictures of many frames (linear in the frame count), and
// loading a small animation.
#include <benchmark/benchmark.h>

#include <cstring>

#include "gif/GIFImage.h"

namespace {

void AddFrames(TGIFImage& image, int count, int size) {
    for (int i = 0; i < count; ++i) {
        auto f = std::make_unique<TGIFSubImage>(&image);
        f->SetBounds(0, 0, size, size);
        for (std::size_t p = 0; p < f->DataSize(); ++p) f->Data()[p] = static_cast<std::uint8_t>((p + i) & 1);
        image.Images().Add(std::move(f));
    }
    image.GlobalColorMap().Add(0);
    image.GlobalColorMap().Add(0xFFFFFF);
}

} // namespace

// Saving frames of one pixel: time per frame stays flat as the count grows.
static void BM_SaveManyFrames(benchmark::State& state) {
    TGIFImage image;
    AddFrames(image, static_cast<int>(state.range(0)), 1);
    for (auto _ : state) {
        TMemoryStream s;
        image.SaveToStream(s);
        benchmark::DoNotOptimize(s.Bytes().data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_SaveManyFrames)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Building and destroying a picture of many small frames.
static void BM_DestroyManyFrames(benchmark::State& state) {
    for (auto _ : state) {
        auto image = std::make_unique<TGIFImage>();
        AddFrames(*image, static_cast<int>(state.range(0)), 1);
        image.reset();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_DestroyManyFrames)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Loading a 100-frame 256 x 256 animation from memory.
static void BM_LoadAnimation(benchmark::State& state) {
    TGIFImage image;
    AddFrames(image, 100, 256);
    TMemoryStream out;
    image.SaveToStream(out);
    const std::vector<std::uint8_t> bytes = out.TakeBytes();
    for (auto _ : state) {
        TGIFImage loaded;
        TByteViewStream in(bytes.data(), bytes.size());
        loaded.LoadFromStream(in);
        benchmark::DoNotOptimize(loaded.Images().Count());
    }
}
BENCHMARK(BM_LoadAnimation)->Unit(benchmark::kMillisecond);

// Rendering a transparent 4096 x 4096 frame with its mask, against copying its indices into 24-bit
// pixels through a colour table.
static void BM_RenderWithMask(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TGIFImage image;
    for (int i = 0; i < 256; ++i) image.GlobalColorMap().Add(static_cast<TColor>(i * 0x010101));
    auto f = std::make_unique<TGIFSubImage>(&image);
    f->SetBounds(0, 0, n, n);
    for (std::size_t p = 0; p < f->DataSize(); ++p)
        f->Data()[p] = static_cast<std::uint8_t>((p * 7) ^ (p >> 9));
    TGIFSubImage* frame = f.get();
    image.Images().Add(std::move(f));
    auto gce = std::make_unique<TGIFGraphicControlExtension>(frame);
    TGIFGraphicControlExtension* g = gce.get();
    frame->Extensions().Add(std::move(gce));
    g->SetTransparentColorIndex(3);
    g->SetTransparent(true);
    for (auto _ : state) {
        frame->FreeBitmap();
        frame->FreeMask();
        benchmark::DoNotOptimize(frame->Bitmap());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * n * n);
}
BENCHMARK(BM_RenderWithMask)->Arg(4096)->Unit(benchmark::kMillisecond);

static void BM_IndicesTo24Bit(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<std::uint8_t> px(static_cast<std::size_t>(n) * n);
    for (std::size_t p = 0; p < px.size(); ++p) px[p] = static_cast<std::uint8_t>((p * 7) ^ (p >> 9));
    std::vector<std::uint8_t> out(px.size() * 3);
    std::uint8_t table[256][3];
    for (int i = 0; i < 256; ++i) table[i][0] = table[i][1] = table[i][2] = static_cast<std::uint8_t>(i);
    for (auto _ : state) {
        std::uint8_t* d = out.data();
        for (std::uint8_t p : px) {
            std::memcpy(d, table[p], 3);
            d += 3;
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * n * n);
}
BENCHMARK(BM_IndicesTo24Bit)->Arg(4096)->Unit(benchmark::kMillisecond);

// Merging, cropping and cleaning up a picture of many transparent frames that all crop away but the
// first.
static void BM_OptimizeManyFrames(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        TGIFImage image;
        AddFrames(image, static_cast<int>(state.range(0)), 1);
        for (int i = 0; i < image.Images().Count(); ++i) {
            TGIFSubImage* f = image.Images()[i];
            f->Data()[0] = 0;
            auto gce = std::make_unique<TGIFGraphicControlExtension>(f);
            TGIFGraphicControlExtension* g = gce.get();
            f->Extensions().Add(std::move(gce));
            g->SetTransparentColorIndex(i == 0 ? 1 : 0);
            g->SetTransparent(true);
        }
        state.ResumeTiming();
        image.Optimize(OptimizeOption(ooMerge) | OptimizeOption(ooCrop) | OptimizeOption(ooCleanup),
                       rmNetscape, dmNearest, 8);
        benchmark::DoNotOptimize(image.Images().Count());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_OptimizeManyFrames)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
