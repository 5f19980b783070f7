#include "image/Parallel.h"

#include "image/WorkControl.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace {

thread_local bool InsideBand = false;

std::atomic<std::int64_t> MinWork{ParallelMinWorkDefault};

// The most work (pixels times cost) one band is given: about a millisecond on one core.
constexpr std::int64_t BandWork = 2 * 1024 * 1024;

// Clears the upper halves of the AVX registers. A thread starts with its creator's register state; left
// dirty (by AVX code the creator ran before), every SSE instruction of the thread pays a transition
// penalty, which made the workers' trigonometry several times slower.
#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx"))) void ZeroUpperAvx() {
    __builtin_ia32_vzeroupper();
}
void CleanVectorState() {
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) ZeroUpperAvx();
}
#else
void CleanVectorState() {}
#endif

// The pool: workers sleep on a condition variable until a job's generation changes, then take bands
// from a shared counter until none are left. The calling thread takes bands too.
class Pool {
public:
    static Pool& Get() {
        static Pool pool;
        return pool;
    }

    int Threads() const { return threads_.load(std::memory_order_relaxed); }

    void SetThreads(int n) {
        const int hw = std::max(1u, std::thread::hardware_concurrency());
        threads_.store(n <= 0 ? static_cast<int>(hw) : std::min(n, 256), std::memory_order_relaxed);
    }

    // False when the pool is busy with another caller's job (a second thread using the library at the
    // same time): that caller then runs its rows itself.
    bool Run(int rows, int bands, int threads, bool stoppable, const std::function<void(int, int)>& band) {
        std::unique_lock<std::mutex> busy(runMutex_, std::try_to_lock);
        if (!busy.owns_lock()) return false;
        ensureWorkers(threads - 1);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            job_ = &band;
            rows_ = rows;
            bands_ = bands;
            next_.store(0, std::memory_order_relaxed);
            pending_ = bands;
            active_ = threads - 1;
            error_ = nullptr;
            stopped_.store(false, std::memory_order_relaxed);
            stoppable_ = stoppable;
            ++generation_;
        }
        wake_.notify_all();
        work();
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [&] { return pending_ == 0 && workersIn_ == 0; });
        job_ = nullptr;
        if (error_) std::rethrow_exception(error_);
        if (stopped_.load(std::memory_order_relaxed)) throw EWorkStopped();
        return true;
    }

    ~Pool() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        for (auto& t : workers_) t.join();
    }

private:
    Pool() { SetThreads(0); }

    void ensureWorkers(int n) {
        while (static_cast<int>(workers_.size()) < n) {
            const int index = static_cast<int>(workers_.size());
            workers_.emplace_back([this, index] { loop(index); });
        }
    }

    void loop(int index) {
        InsideBand = true; // a routine called from a band runs on its own thread
        std::uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
            if (stop_) return;
            seen = generation_;
            if (index >= active_ || !job_) continue; // not needed for this job
            ++workersIn_;
            lock.unlock();
            CleanVectorState();
            work();
            lock.lock();
            --workersIn_;
            if (pending_ == 0 && workersIn_ == 0) done_.notify_all();
        }
    }

    // Takes bands until none are left.
    void work() {
        const bool outer = InsideBand;
        InsideBand = true;
        for (;;) {
            const int b = next_.fetch_add(1, std::memory_order_relaxed);
            if (b >= bands_) break;
            // A stop request skips the bands not yet started; the caller's thread also lets the
            // interface's watcher run here.
            if (stoppable_ && (stopped_.load(std::memory_order_relaxed) || WorkPointNoThrow())) {
                stopped_.store(true, std::memory_order_relaxed);
                std::lock_guard<std::mutex> lock(mutex_);
                if (--pending_ == 0) done_.notify_all();
                continue;
            }
            const int first = static_cast<int>(static_cast<std::int64_t>(rows_) * b / bands_);
            const int last = static_cast<int>(static_cast<std::int64_t>(rows_) * (b + 1) / bands_);
            try {
                (*job_)(first, last);
            } catch (...) {
                std::lock_guard<std::mutex> lock(mutex_);
                if (!error_) error_ = std::current_exception();
            }
            std::lock_guard<std::mutex> lock(mutex_);
            if (--pending_ == 0) done_.notify_all();
        }
        InsideBand = outer;
    }

    std::atomic<int> threads_{1};
    std::mutex runMutex_; // one job at a time
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::vector<std::thread> workers_;
    const std::function<void(int, int)>* job_ = nullptr;
    int rows_ = 0, bands_ = 0, pending_ = 0, active_ = 0, workersIn_ = 0;
    std::atomic<int> next_{0};
    std::uint64_t generation_ = 0;
    std::exception_ptr error_;
    std::atomic<bool> stopped_{false};
    bool stoppable_ = true; // written with the job, before the workers wake
    bool stop_ = false;
};

} // namespace

void SetParallelMinWork(std::int64_t Work) {
    MinWork.store(std::max<std::int64_t>(Work, 0), std::memory_order_relaxed);
}

std::int64_t ParallelMinWork() {
    return MinWork.load(std::memory_order_relaxed);
}

bool ParallelSplits(std::int64_t Work) {
    return !InsideBand && Work >= ParallelMinWork();
}

namespace {

void RunRows(int Rows, std::int64_t Work, bool Stoppable, const std::function<void(int, int)>& Band) {
    if (Rows <= 0) return;
    if (!ParallelSplits(Work)) {
        Band(0, Rows);
        return;
    }
    Pool& pool = Pool::Get();
    const int threads = std::min(pool.Threads(), Rows);
    // Several bands per thread, so that one slow band does not leave the others idle, and bands of at
    // most about BandWork, so that a stop request is seen soon however costly the rows are.
    const std::int64_t byWork = Work / BandWork;
    CleanVectorState();
    if (threads > 1 &&
        pool.Run(Rows,
                 static_cast<int>(std::min<std::int64_t>(Rows, std::max<std::int64_t>(threads * 4, byWork))),
                 threads, Stoppable, Band))
        return;
    if (!Stoppable) {
        Band(0, Rows);
        return;
    }
    // On this thread alone: still in several bands, so that a stop request is seen part way.
    const int bands = static_cast<int>(std::min<std::int64_t>(Rows, std::max<std::int64_t>(32, byWork)));
    for (int b = 0; b < bands; ++b) {
        WorkPoint();
        Band(static_cast<int>(static_cast<std::int64_t>(Rows) * b / bands),
             static_cast<int>(static_cast<std::int64_t>(Rows) * (b + 1) / bands));
    }
}

} // namespace

void ParallelRows(int Rows, std::int64_t Work, const std::function<void(int, int)>& Band) {
    RunRows(Rows, Work, true, Band);
}

void ParallelRowsToEnd(int Rows, std::int64_t Work, const std::function<void(int, int)>& Band) {
    RunRows(Rows, Work, false, Band);
}

void SetParallelThreads(int Threads) {
    Pool::Get().SetThreads(Threads);
}

int ParallelThreads() {
    return Pool::Get().Threads();
}

TFastDIB& ScratchImage(int Slot, int Width, int Height) {
    thread_local TFastDIB slots[4];
    TFastDIB& s = slots[std::clamp(Slot, 0, 3)];
    s.SetSize(Width, Height, 24, 0); // keeps the memory when the size is unchanged
    return s;
}
