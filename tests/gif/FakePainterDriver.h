#pragma once
// A painter driver for tests: a clock that moves only when told, with the one pending wait.
#include "gif/GIFPainter.h"

#include <cstdint>
#include <vector>

struct FakePainterDriver : TGIFPainterDriver {
    std::int64_t now = 0;
    TGIFPainter* pending = nullptr;
    int pendingMs = 0;
    std::vector<int> sleeps;
    int finished = 0;
    std::int64_t Now() override { return now; }
    void Schedule(TGIFPainter& p, int ms) override { pending = &p, pendingMs = ms; }
    void Cancel(TGIFPainter& p) override {
        if (pending == &p) pending = nullptr;
    }
    bool Sleep(int ms) override {
        sleeps.push_back(ms);
        now += ms;
        return true;
    }
    void Finished(TGIFPainter&) override { ++finished; }
    // Lets the pending wait run out; false when nothing waits with a time-out.
    bool Tick() {
        if (!pending || pendingMs < 0) return false;
        now += pendingMs;
        TGIFPainter* p = pending;
        pending = nullptr;
        p->Continue();
        return true;
    }
};
