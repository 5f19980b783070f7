// FastFX and TFastDIB copies on 24-bit tiles, beside a plain memcpy of the same pixel memory.
#include "image/FastDIB.h"
#include "image/FastFX.h"
#include "image/FastFX_Simd.h"
#include "image/Numeric.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

void fillNoise(TFastDIB& d, int n) {
    d.SetSize(n, n, 24, 0);
    SetRandSeed(1);
    for (std::int64_t i = 0; i < d.ByteCount(); ++i) d.Bits[i] = static_cast<std::uint8_t>(Random(256));
}

template <class Op> void run(benchmark::State& state, Op op) {
    const int n = static_cast<int>(state.range(0));
    TFastDIB d;
    fillNoise(d, n);
    for (auto _ : state) {
        op(d);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * d.ByteCount());
}

void BM_Memcpy(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TFastDIB d;
    fillNoise(d, n);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(d.ByteCount()));
    for (auto _ : state) {
        std::memcpy(out.data(), d.Bits, out.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * d.ByteCount());
}

void BM_ApplyTables24(benchmark::State& state) {
    int k = 0;
    // Alternate the direction so the image does not settle at black or white.
    run(state, [&](TFastDIB& d) { AdjustRGB(d, (k ^= 1) ? 7 : -7, 3, -5); });
}

// The same two routines through their plain loops, as on processors without the vector kernels.
void BM_ApplyTables24Plain(benchmark::State& state) {
    fastfx_simd::SetEnabled(false);
    BM_ApplyTables24(state);
    fastfx_simd::SetEnabled(true);
}

void BM_MirrorLRPlain(benchmark::State& state) {
    fastfx_simd::SetEnabled(false);
    run(state, [](TFastDIB& d) { MirrorLR(d); });
    fastfx_simd::SetEnabled(true);
}

void BM_ApplySaturation24(benchmark::State& state) {
    run(state, [](TFastDIB& d) { AdjustSaturation(d, 300); });
}

void BM_AddNoise(benchmark::State& state) {
    run(state, [](TFastDIB& d) { AddNoise(d, 40, false); });
}

void BM_WrapShiftX(benchmark::State& state) {
    run(state, [](TFastDIB& d) { WrapShift(d, 37, 0); });
}

void BM_WrapShiftY(benchmark::State& state) {
    run(state, [](TFastDIB& d) { WrapShift(d, 0, 37); });
}

void BM_MirrorLR(benchmark::State& state) {
    run(state, [](TFastDIB& d) { MirrorLR(d); });
}

void BM_RotateWrap(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TFastDIB src, dst;
    fillNoise(src, n);
    dst.SetSize(n, n, 24, 0);
    for (auto _ : state) {
        RotateWrap(src, dst, n / 2, n / 2, 33.0L);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * dst.ByteCount());
}

// The tile repeated over a full-HD target (bytes counted are the target's).
void BM_TileDraw1080p(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TFastDIB tile, target;
    fillNoise(tile, n);
    target.SetSize(1920, 1080, 24, 0);
    for (auto _ : state) {
        tile.TileDraw(target, 0, 0, 1920, 1080);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * target.ByteCount());
}

} // namespace

BENCHMARK(BM_Memcpy)->Arg(512)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ApplyTables24)->Arg(512)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ApplyTables24Plain)->Arg(512)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MirrorLRPlain)->Arg(512)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ApplySaturation24)->Arg(512)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AddNoise)->Arg(512)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WrapShiftX)->Arg(512)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WrapShiftY)->Arg(512)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MirrorLR)->Arg(512)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RotateWrap)->Arg(512)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TileDraw1080p)->Arg(512)->Arg(4096)->Unit(benchmark::kMicrosecond);
