#pragma once
// A test run on the number of threads given as its parameter, with every call split into row bands
// whatever its size, and no stop request left over before or after.

#include "image/Parallel.h"
#include "image/WorkControl.h"

#include <gtest/gtest.h>

struct BandedTest : ::testing::TestWithParam<int> {
    void SetUp() override {
        SetParallelThreads(GetParam());
        SetParallelMinWork(0);
        ClearWorkStop();
    }
    void TearDown() override {
        ClearWorkStop();
        SetParallelMinWork(ParallelMinWorkDefault);
        SetParallelThreads(0);
    }
};
