#include "image/WorkControl.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::atomic<bool> StopFlag{false};
std::atomic<const char*> FinalStep{nullptr};

struct TWatcher {
    std::function<void()> Call;
    std::thread::id Thread;
    std::chrono::steady_clock::time_point Last;
};

// Set and read on the interface thread only; other threads compare the thread id, which is written
// before any work starts.
TWatcher& Watcher() {
    static TWatcher w;
    return w;
}
std::atomic<bool> HaveWatcher{false};

constexpr auto WatchInterval = std::chrono::milliseconds(15);

} // namespace

void RequestWorkStop() {
    StopFlag.store(true, std::memory_order_relaxed);
}

void ClearWorkStop() {
    StopFlag.store(false, std::memory_order_relaxed);
    FinalStep.store(nullptr, std::memory_order_relaxed);
}

bool WorkStopRequested() {
    return StopFlag.load(std::memory_order_relaxed);
}

namespace {
// Calls the watcher when this is its thread and, unless `always`, its interval has passed.
void watch(bool always) {
    if (!HaveWatcher.load(std::memory_order_acquire)) return;
    TWatcher& w = Watcher();
    if (w.Thread != std::this_thread::get_id()) return;
    const auto now = std::chrono::steady_clock::now();
    if (!always && now - w.Last < WatchInterval) return;
    w.Last = now;
    w.Call();
}
} // namespace

bool WorkPointNoThrow() {
    watch(false);
    return WorkStopRequested();
}

void WorkPoint() {
    if (WorkPointNoThrow()) throw EWorkStopped();
}

void BeginFinalWorkStep(const char* state) {
    if (WorkStopRequested()) throw EWorkStopped();
    FinalStep.store(state, std::memory_order_relaxed);
    watch(true);
}

const char* FinalWorkStep() {
    return FinalStep.load(std::memory_order_relaxed);
}

void SetWorkWatcher(std::function<void()> Call) {
    TWatcher& w = Watcher();
    HaveWatcher.store(false, std::memory_order_release);
    w.Call = std::move(Call);
    w.Thread = std::this_thread::get_id();
    w.Last = std::chrono::steady_clock::now();
    if (w.Call) HaveWatcher.store(true, std::memory_order_release);
}
