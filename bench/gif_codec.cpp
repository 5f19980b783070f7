// Throughput of the GIF image data coders on 8-bit frames of noise and of smooth gradients,
// in pixels (one byte each) per second.
#include <benchmark/benchmark.h>

#include "GifFrames.h"

namespace {

template <class Encoder> void BM_Encode(benchmark::State& state, Pattern pattern) {
    const int size = static_cast<int>(state.range(0));
    const auto px = MakePixels(size, pattern);
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto out = EncodeWith(Encoder(), size, px);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * size * size);
    state.counters["ratio"] = static_cast<double>(bytes) / (static_cast<double>(size) * size);
}

template <class Encoder> void BM_Decode(benchmark::State& state, Pattern pattern) {
    const int size = static_cast<int>(state.range(0));
    const auto data = EncodeWith(Encoder(), size, MakePixels(size, pattern));
    TGIFImage image;
    auto frame = std::make_unique<TGIFSubImage>(&image);
    frame->SetBounds(0, 0, size, size);
    for (auto _ : state) {
        TByteViewStream s(data.data(), data.size());
        frame->Decompress(s);
        benchmark::DoNotOptimize(frame->Data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * size * size);
}

} // namespace

void BM_EncodeLZW(benchmark::State& s, Pattern p) {
    BM_Encode<TLZWEncoder>(s, p);
}
void BM_EncodeRLE(benchmark::State& s, Pattern p) {
    BM_Encode<TRLEEncoder>(s, p);
}
void BM_DecodeLZW(benchmark::State& s, Pattern p) {
    BM_Decode<TLZWEncoder>(s, p);
}
void BM_DecodeRLE(benchmark::State& s, Pattern p) {
    BM_Decode<TRLEEncoder>(s, p);
}

BENCHMARK_CAPTURE(BM_EncodeLZW, noise, Noise)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EncodeLZW, gradient, Gradient)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EncodeRLE, noise, Noise)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EncodeRLE, gradient, Gradient)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeLZW, noise, Noise)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeLZW, gradient, Gradient)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeRLE, noise, Noise)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeRLE, gradient, Gradient)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EncodeLZW, flat, Flat)->Arg(2048)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EncodeRLE, flat, Flat)->Arg(2048)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeLZW, flat, Flat)->Arg(2048)->Arg(4096)->Unit(benchmark::kMillisecond);
