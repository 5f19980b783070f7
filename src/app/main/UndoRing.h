#pragma once
// The undo ring: a fixed number of slots, each holding one snapshot of the image (a 24-bit picture in
// the image's own layout), reused in a circle. Once every slot is used, a new snapshot replaces the
// oldest one. The snapshots together keep within a memory budget: a new snapshot that would pass it
// drops the oldest ones first. The newest snapshot is always kept, whatever its size.
//
// Pixel memory circulates instead of being freed and faulted in again: a dropped snapshot, or the image
// an undo replaces, becomes the ring's spare, which the next snapshot or effect frame of that size takes.
//
// A command that may still fail gives up nothing the ring holds: the memory it takes before its work
// ends is the spare (lent, and given back when the work fails) or new memory, never a snapshot's.
// Snapshots are dropped only by a push, which commits: PushTaken allocates nothing and cannot fail.

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

// One snapshot: a 24-bit picture, or empty. Pixel i is (i mod width, i div width).
struct TUndoMap {
    std::unique_ptr<TFastDIB> Image;

    bool empty() const { return !Image || Image->Empty(); }
    std::size_t size() const {
        return empty() ? 0 : static_cast<std::size_t>(Image->Width) * static_cast<std::size_t>(Image->Height);
    }
    std::int64_t Bytes() const { return empty() ? 0 : Image->ByteCount(); }
    Trgb operator[](std::size_t i) const {
        const auto w = static_cast<std::size_t>(Image->Width);
        const std::uint8_t* p = Image->Scanlines[i / w] + 3 * (i % w);
        return Trgb{p[2], p[1], p[0]};
    }
};

class TUndoRing {
public:
    static constexpr int MinLevels = 1;
    static constexpr int MaxLevels = 100;

    explicit TUndoRing(int levels = 15);

    // Pushes a copy of z (any depth; kept as 24 bits). Snapshots the slot count or the budget cannot keep
    // beside it go first, oldest first. When its memory cannot be had, the oldest snapshots are dropped
    // one by one and the allocation tried again; std::bad_alloc comes out only when the ring is empty and
    // the snapshot still does not fit. So it suits a change that ends with the push; work that may still
    // fail after it takes its memory with TakeSpare and pushes with PushTaken at its end.
    void CopyUnDo(const TFastDIB& z);
    // Pushes `snapshot` itself (24 bits, or empty), without a copy: its pixels move into the ring and it
    // is left empty. Nothing is allocated, so nothing can fail.
    void PushTaken(TFastDIB& snapshot) noexcept;
    // Pops the newest snapshot into z, which takes its pixels (size and all); z's own pixels become the
    // spare. False when empty.
    bool DoUnDo(TFastDIB& z);

    // Gives `d` w x h 24-bit pixels of unspecified content: the spare's when it has that size, else new
    // memory (a spare of another size is freed first when memory is short). No snapshot is dropped for
    // it: std::bad_alloc leaves every snapshot as it was.
    void TakeSpare(TFastDIB& d, int w, int h);
    // Takes d's pixels as the spare (the previous spare is freed); d is left empty.
    void GiveSpare(TFastDIB& d);
    // The bytes the spare holds (not counted in HeldBytes, but given up first when a push needs room).
    std::int64_t SpareBytes() const { return Spare.ByteCount(); }
    // Drops every snapshot and gives the ring `levels` slots (MinLevels..MaxLevels, else invalid_argument).
    // The budget stays.
    void Reset(int levels);

    int Levels() const { return static_cast<int>(Pic.size()); }

    // The most the snapshots may hold together, in bytes (at least 1). By default a quarter of the
    // memory the program may use: the lowest of the physical memory, the memory cgroup's limit and the
    // address-space limit (MemoryLimitBytes); 1 GiB when none is known.
    std::int64_t Budget() const { return BudgetBytes; }
    void SetBudget(std::int64_t bytes);
    static std::int64_t DefaultBudget();
    // The bytes the snapshots hold now.
    std::int64_t HeldBytes() const noexcept;

    // Gives d new w x h 24-bit pixels (std::bad_alloc when there is no memory); tests put in one that fails.
    std::function<void(TFastDIB& d, int w, int h)> Allocate;

    // Slot s holds one snapshot or is empty.
    std::vector<TUndoMap> Pic;
    std::vector<TUndoSize> Sizes;
    // Used slot numbers, oldest first; consecutive modulo the number of slots.
    std::vector<int> Entry;
    int StackSize = 0;
    bool Full = false;
    bool Empty = true;

private:
    void DropOldest() noexcept;
    // Empties slot s (its picture object stays, so a push never allocates one).
    void Clear(std::size_t s) noexcept;
    // How many of the oldest snapshots must go for a new one of `bytes`.
    int DropCount(std::int64_t bytes) const noexcept;
    // Allocates d with w x h pixels; while memory is short the spare is freed, and with `snapshots` then
    // the oldest snapshots one by one.
    void AllocateFreeing(TFastDIB& d, int w, int h, bool snapshots);
    // Drops the `drop` oldest snapshots and stores `snap` (its pixels move) as the newest.
    void Store(int drop, TFastDIB& snap) noexcept;
    std::int64_t BudgetBytes;
    TFastDIB Spare;
};
