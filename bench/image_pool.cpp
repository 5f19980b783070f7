// The row pool's own costs. Pool/Copy: a plain row copy of an n x n picture (the cheapest work, cost 1 a
// pixel) forced onto one thread or onto every core, for sizes around the threshold below which the
// library stays on the calling thread (ParallelMinWorkDefault); where "all" overtakes "1thread" is the
// break-even. Stop/: how long long work takes to end after a stop request from another thread.
#include "NoiseImage.h"
#include "image/FastFX.h"
#include "image/GaussianBlur.h"
#include "image/Parallel.h"
#include "image/WorkControl.h"
#include "image/ZorvFX.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

void PoolCopy(benchmark::State& st) {
    const int n = static_cast<int>(st.range(0));
    SetParallelThreads(static_cast<int>(st.range(1)));
    SetParallelMinWork(0);
    TFastDIB a, b;
    NoiseImage(a, n, 1);
    b.SetSize(n, n, 24, 0);
    const std::size_t bytes = 3 * static_cast<std::size_t>(n);
    for (auto _ : st) {
        ParallelRows(n, WorkOf(a, CostCopy), [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) std::memcpy(b.Scanlines[y], a.Scanlines[y], bytes);
        });
        benchmark::ClobberMemory();
    }
    SetParallelMinWork(ParallelMinWorkDefault);
    SetParallelThreads(0);
    st.counters["pixels"] = static_cast<double>(n) * n;
}
BENCHMARK(PoolCopy)
    ->ArgNames({"n", "threads"})
    ->ArgsProduct({{128, 256, 512, 724, 1024, 1448, 2048}, {1, 0}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// Starts Work on this thread, asks for a stop from another thread after `delay`, and reports the time
// from the request to the return ("stop_ms"); "ended_by_stop" is 0 when the work finished first.
void measureStop(benchmark::State& st, const std::function<void()>& Work, std::chrono::milliseconds delay) {
    double worst = 0, total = 0;
    int stopped = 0;
    for (auto _ : st) {
        ClearWorkStop();
        std::atomic<bool> done{false};
        std::atomic<Clock::rep> asked{0};
        std::thread stopper([&] {
            const auto until = Clock::now() + delay;
            while (!done.load() && Clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            asked.store(Clock::now().time_since_epoch().count());
            RequestWorkStop();
        });
        bool ended = false;
        try {
            Work();
        } catch (const EWorkStopped&) {
            ended = true;
        }
        const auto back = Clock::now();
        done.store(true);
        stopper.join();
        if (ended) {
            const double ms = std::chrono::duration<double, std::milli>(back.time_since_epoch() -
                                                                        Clock::duration(asked.load()))
                                  .count();
            worst = std::max(worst, ms);
            total += ms;
            ++stopped;
        }
    }
    ClearWorkStop();
    st.counters["stop_ms"] = stopped ? total / stopped : -1;
    st.counters["worst_stop_ms"] = worst;
    st.counters["ended_by_stop"] = stopped;
}

// Split Gauss as the editor runs it: a split blur for every distance from the amount down to 0.
void StopSplitGauss(benchmark::State& st) {
    const int n = static_cast<int>(st.range(0));
    SetParallelThreads(static_cast<int>(st.range(1)));
    TFastDIB b;
    NoiseImage(b, n, 2);
    measureStop(
        st,
        [&] {
            for (int d = 30000; d >= 0; --d) SplitBlur(b, d);
        },
        std::chrono::milliseconds(150));
    SetParallelThreads(0);
}
BENCHMARK(StopSplitGauss)
    ->ArgNames({"n", "threads"})
    ->Args({4096, 1})
    ->Args({4096, 0})
    ->Iterations(5)
    ->UseRealTime();

// Library passes repeated as a long effect repeats them: a Gaussian blur and a 3x3 filter.
void StopRepeatedPasses(benchmark::State& st) {
    const int n = static_cast<int>(st.range(0));
    SetParallelThreads(static_cast<int>(st.range(1)));
    TFastDIB b;
    NoiseImage(b, n, 3);
    static const int soften[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    measureStop(
        st,
        [&] {
            for (int i = 0; i < 1000; ++i) {
                GBlur(b, 6);
                Convolve3x3(soften, 9, b);
                AddNoise(b, 10, false);
            }
        },
        std::chrono::milliseconds(150));
    SetParallelThreads(0);
}
BENCHMARK(StopRepeatedPasses)
    ->ArgNames({"n", "threads"})
    ->Args({4096, 1})
    ->Args({4096, 0})
    ->Iterations(5)
    ->UseRealTime();

// The costliest warps, whose bands are sized by their cost so that a stop is seen within a few rows.
void StopWarps(benchmark::State& st) {
    const int n = static_cast<int>(st.range(0));
    SetParallelThreads(static_cast<int>(st.range(1)));
    TFastDIB src, dst;
    NoiseImage(src, n, 4);
    dst.SetSize(n, n, 24, 0);
    measureStop(
        st,
        [&] {
            for (int i = 0; i < 1000; ++i) {
                FishEye(src, dst, 0.6L);
                TwistFX(dst, src, 100);
            }
        },
        std::chrono::milliseconds(150));
    SetParallelThreads(0);
}
BENCHMARK(StopWarps)
    ->ArgNames({"n", "threads"})
    ->Args({4096, 1})
    ->Args({4096, 0})
    ->Iterations(5)
    ->UseRealTime();

} // namespace
