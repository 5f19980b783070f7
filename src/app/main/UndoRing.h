#pragma once
// The undo ring: a fixed number of slots, each holding one snapshot of the image (three bytes per pixel,
// r, g, b), reused in a circle. Once every slot is used, a new snapshot replaces the oldest one. The
// snapshots together keep within a memory budget: a new snapshot that would pass it drops the oldest
// ones first, and when memory cannot be had the oldest are dropped and the allocation tried again. The
// newest snapshot is always kept, whatever its size.

#include "app/main/AppTypes.h"
#include "image/FastDIB.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct TUndoSize {
    int X = 0; // width
    int Y = 0; // height
};

// One snapshot: size() pixels as r, g, b bytes, row after row (y * width + x), or empty.
struct TUndoMap {
    std::unique_ptr<std::uint8_t[]> Rgb;
    std::size_t Pixels = 0;

    bool empty() const { return Pixels == 0; }
    std::size_t size() const { return Pixels; }
    std::int64_t Bytes() const { return 3 * static_cast<std::int64_t>(Pixels); }
    Trgb operator[](std::size_t i) const { return Trgb{Rgb[3 * i], Rgb[3 * i + 1], Rgb[3 * i + 2]}; }
};

class TUndoRing {
public:
    static constexpr int MinLevels = 1;
    static constexpr int MaxLevels = 100;

    explicit TUndoRing(int levels = 15);

    // Pushes a snapshot of z (a 24-bit image). Snapshots the slot count or the budget cannot keep beside
    // it go first, oldest first. When its memory cannot be had, the oldest snapshots are dropped one by
    // one and the allocation tried again; std::bad_alloc comes out only when the ring is empty and the
    // snapshot still does not fit.
    void CopyUnDo(const TFastDIB& z);
    // Pops the newest snapshot into z (resized to the snapshot's size, 24 bits). False when empty. A
    // failed allocation for a new size leaves the image and the ring as they were.
    bool DoUnDo(TFastDIB& z);
    // Drops every snapshot and gives the ring `levels` slots (MinLevels..MaxLevels, else invalid_argument).
    // The budget stays.
    void Reset(int levels);

    int Levels() const { return static_cast<int>(Pic.size()); }

    // The most the snapshots may hold together, in bytes (at least 1). By default a quarter of the
    // physical memory.
    std::int64_t Budget() const { return BudgetBytes; }
    void SetBudget(std::int64_t bytes);
    static std::int64_t DefaultBudget();
    // The bytes the snapshots hold now.
    std::int64_t HeldBytes() const;

    // Gives the memory of a new snapshot (std::bad_alloc when there is none); tests put in one that fails.
    std::function<std::unique_ptr<std::uint8_t[]>(std::size_t bytes)> Allocate;

    // Slot s holds one snapshot or is empty.
    std::vector<TUndoMap> Pic;
    std::vector<TUndoSize> Sizes;
    // Used slot numbers, oldest first; consecutive modulo the number of slots.
    std::vector<int> Entry;
    int StackSize = 0;
    bool Full = false;
    bool Empty = true;

private:
    void DropOldest();
    std::int64_t BudgetBytes;
};

