// How soon long work ends after a stop request, at 4096 x 4096: Split Gauss with a pass count that would
// never end and StretchBlur with a million repetitions. Another thread asks for the stop after the given
// number of milliseconds (so it falls anywhere inside a pass); the time reported is from the request to
// the routine's end (manual time). Beside them, what the effect frame pays to be able to put the picture
// back: keeping a copy aside, against the undo snapshot every framed effect took already. Built into
// bench_app.
#include "app/effects/ColorEffects.h"
#include "app/effects/SeamlessBlur.h"
#include "app/main/UndoRing.h"
#include "app/main/ZorvTileMain.h"
#include "image/Numeric.h"
#include "image/WorkControl.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

constexpr int Side = 4096;
using Clock = std::chrono::steady_clock;

const TFastDIB& Photo() {
    static TFastDIB pic;
    if (pic.Empty()) {
        pic.SetSize(Side, Side, 24, 0);
        SetRandSeed(7);
        for (int y = 0; y < Side; ++y)
            for (int x = 0; x < Side; ++x)
                pic.Pixels24[y][x] =
                    TFColor{static_cast<std::uint8_t>(Random(256)), static_cast<std::uint8_t>((x + y) & 255),
                            static_cast<std::uint8_t>((x * y) & 255)};
    }
    return pic;
}

template <class F> void StopLatency(benchmark::State& state, F run) {
    TFastDIB img;
    double worst = 0;
    for (auto _ : state) {
        img.SetSize(Side, Side, 24, 0);
        Photo().Draw(img, 0, 0);
        ClearWorkStop();
        std::atomic<Clock::rep> requested{0};
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(state.range(0)));
            requested = Clock::now().time_since_epoch().count();
            RequestWorkStop();
        });
        bool stopped = false;
        try {
            run(img);
        } catch (const EWorkStopped&) {
            stopped = true;
        }
        const Clock::time_point end = Clock::now();
        stopper.join();
        ClearWorkStop();
        if (!stopped) {
            state.SkipWithError("the work ended before the stop request");
            break;
        }
        const double s =
            std::chrono::duration<double>(end - Clock::time_point(Clock::duration(requested.load()))).count();
        worst = std::max(worst, s);
        state.SetIterationTime(s);
    }
    state.counters["worst_ms"] = worst * 1000;
}

void BM_StopSplitGauss(benchmark::State& state) {
    StopLatency(state, [](TFastDIB& img) { SplitGauss(img, 2000000000); });
}

void BM_StopStretchBlur(benchmark::State& state) {
    StopLatency(state, [](TFastDIB& img) { StretchBlurFX(img, nullptr, 3, 1, 1000000); });
}

// The copy a frame that changes the picture in place keeps aside while the work runs (a replacing
// frame keeps the picture itself).
void BM_FrameKeepsPictureAside(benchmark::State& state) {
    TFastDIB aside;
    for (auto _ : state) {
        CopyDIB(Photo(), aside);
        benchmark::DoNotOptimize(aside.Bits);
    }
}

// An undo snapshot copied from the picture, as the drawing tools and Edit > Reset take it (a frame
// pushes its kept picture without a copy).
void BM_FrameUndoSnapshot(benchmark::State& state) {
    TUndoRing ring(2);
    for (auto _ : state) ring.CopyUnDo(Photo());
}

} // namespace

BENCHMARK(BM_FrameKeepsPictureAside)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameUndoSnapshot)->Unit(benchmark::kMillisecond);
// The stop request after 150, 400 and 777 ms of work.
BENCHMARK(BM_StopSplitGauss)
    ->Arg(150)
    ->Arg(400)
    ->Arg(777)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_StopStretchBlur)
    ->Arg(150)
    ->Arg(400)
    ->Arg(777)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
