// Whole pictures: saving and destroying pictures of many frames (linear in the frame count), and
// loading a small animation.
#include <benchmark/benchmark.h>

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
