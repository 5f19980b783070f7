// Stopping long work: the row bands skip what is not started once a stop is asked, on one thread and on
// many, and the interface's watcher runs on its own thread only.
#include "image/Parallel.h"
#include "image/WorkControl.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

struct WorkControl : ::testing::TestWithParam<int> {
    void SetUp() override {
        SetParallelThreads(GetParam());
        ClearWorkStop();
    }
    void TearDown() override {
        SetWorkWatcher({});
        ClearWorkStop();
        SetParallelThreads(0);
    }
};

constexpr int Rows = 512;
constexpr std::int64_t Work = std::int64_t{Rows} * 4096;

TEST_P(WorkControl, WithoutAStopEveryRowRunsOnce) {
    std::vector<std::atomic<int>> seen(Rows);
    ParallelRows(Rows, Work, [&](int first, int last) {
        for (int y = first; y < last; ++y) seen[static_cast<std::size_t>(y)].fetch_add(1);
    });
    for (int y = 0; y < Rows; ++y) EXPECT_EQ(seen[static_cast<std::size_t>(y)].load(), 1) << y;
}

TEST_P(WorkControl, AStopAskedInsideABandSkipsTheRestAndThrows) {
    std::atomic<int> rows{0};
    EXPECT_THROW(ParallelRows(Rows, Work,
                              [&](int first, int last) {
                                  RequestWorkStop();
                                  rows.fetch_add(last - first);
                              }),
                 EWorkStopped);
    // Only the bands already running when the stop came finish: at most one per thread.
    EXPECT_GT(rows.load(), 0);
    EXPECT_LT(rows.load(), Rows);
    EXPECT_TRUE(WorkStopRequested());
    EXPECT_THROW(WorkPoint(), EWorkStopped);
    ClearWorkStop();
    EXPECT_NO_THROW(WorkPoint());
}

TEST_P(WorkControl, RowsToTheEndIgnoreAStopAndTheWatcher) {
    RequestWorkStop();
    std::atomic<int> watched{0};
    SetWorkWatcher([&] { watched.fetch_add(1); });
    std::vector<std::atomic<int>> seen(Rows);
    EXPECT_NO_THROW(ParallelRowsToEnd(Rows, Work, [&](int first, int last) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        for (int y = first; y < last; ++y) seen[static_cast<std::size_t>(y)].fetch_add(1);
    }));
    for (int y = 0; y < Rows; ++y) EXPECT_EQ(seen[static_cast<std::size_t>(y)].load(), 1) << y;
    EXPECT_EQ(watched.load(), 0);
    EXPECT_TRUE(WorkStopRequested()); // still standing for the work it was meant for
}

TEST_P(WorkControl, SmallWorkIsNotInterrupted) {
    RequestWorkStop();
    int rows = 0;
    EXPECT_NO_THROW(ParallelRows(8, 64, [&](int first, int last) { rows += last - first; }));
    EXPECT_EQ(rows, 8);
}

TEST_P(WorkControl, TheWatcherRunsOnItsThreadAndCanStopTheWork) {
    const auto me = std::this_thread::get_id();
    std::atomic<int> calls{0}, elsewhere{0};
    SetWorkWatcher([&] {
        if (std::this_thread::get_id() != me) elsewhere.fetch_add(1);
        calls.fetch_add(1);
        RequestWorkStop();
    });
    std::atomic<int> rows{0};
    EXPECT_THROW(ParallelRows(Rows, Work,
                              [&](int first, int last) {
                                  std::this_thread::sleep_for(std::chrono::milliseconds(30));
                                  rows.fetch_add(last - first);
                              }),
                 EWorkStopped);
    EXPECT_GE(calls.load(), 1);
    EXPECT_EQ(elsewhere.load(), 0);
    EXPECT_LT(rows.load(), Rows);
}

INSTANTIATE_TEST_SUITE_P(Threads, WorkControl, ::testing::Values(1, 4));

} // namespace
