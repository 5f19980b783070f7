#include "app/main/UndoRing.h"

#include "image/Parallel.h"
#include "platform/SystemMemory.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

bool HasSize(const TFastDIB& d, int w, int h) {
    return d.Bits && d.Bpp == 24 && d.Width == w && d.Height == h;
}

// Frees d's pixels (d is left empty) without anything that could throw.
void Release(TFastDIB& d) noexcept {
    TFastDIB gone;
    gone.Swap(d);
}

} // namespace

std::int64_t TUndoRing::DefaultBudget() {
    const std::int64_t limit = MemoryLimitBytes();
    if (limit <= 0) return std::int64_t{1} << 30; // unknown: 1 GiB
    return std::max<std::int64_t>(limit / 4, 1);
}

TUndoRing::TUndoRing(int levels) : BudgetBytes(DefaultBudget()) {
    // Zeroed memory: the rows' padding stays zero whatever is written into the pixels later.
    Allocate = [](TFastDIB& d, int w, int h) { d.SetSize(w, h, 24, 0); };
    Reset(levels);
}

void TUndoRing::SetBudget(std::int64_t bytes) {
    BudgetBytes = std::max<std::int64_t>(bytes, 1);
}

std::int64_t TUndoRing::HeldBytes() const noexcept {
    std::int64_t held = 0;
    for (const int s : Entry) held += Pic[static_cast<std::size_t>(s)].Bytes();
    return held;
}

void TUndoRing::Reset(int levels) {
    if (levels < MinLevels || levels > MaxLevels)
        throw std::invalid_argument("The number of undo levels must lie between 1 and 100.");
    Pic.clear();
    Pic.resize(static_cast<std::size_t>(levels));
    // Every slot has its picture object from now on, so that storing a snapshot allocates nothing.
    for (TUndoMap& slot : Pic) slot.Image = std::make_unique<TFastDIB>();
    Sizes.assign(static_cast<std::size_t>(levels), TUndoSize{});
    Entry.clear();
    Entry.reserve(static_cast<std::size_t>(levels)); // pushing never allocates once a snapshot exists
    Release(Spare);
    StackSize = 0;
    Full = false;
    Empty = true;
}

void TUndoRing::Clear(std::size_t s) noexcept {
    if (Pic[s].Image) Release(*Pic[s].Image);
    Sizes[s] = TUndoSize{};
}

void TUndoRing::DropOldest() noexcept {
    Clear(static_cast<std::size_t>(Entry.front()));
    Entry.erase(Entry.begin());
    --StackSize;
    Full = false;
    if (StackSize == 0) Empty = true;
}

void TUndoRing::AllocateFreeing(TFastDIB& d, int w, int h, bool snapshots) {
    for (;;) {
        try {
            Allocate(d, w, h);
            if (!HasSize(d, w, h)) throw std::bad_alloc();
            return;
        } catch (const std::bad_alloc&) {
            // Memory is short: the spare goes, then (when allowed) the oldest snapshots one by one, and it
            // is tried again.
            if (!Spare.Empty()) {
                Release(Spare);
                continue;
            }
            if (!snapshots || StackSize == 0) throw;
            DropOldest();
        }
    }
}

int TUndoRing::DropCount(std::int64_t bytes) const noexcept {
    // The oldest snapshots that cannot stay beside a new one: one when every slot is used, and as many
    // more as the budget asks for.
    int drop = StackSize >= Levels() ? 1 : 0;
    std::int64_t kept = HeldBytes();
    for (int i = 0; i < drop; ++i)
        kept -= Pic[static_cast<std::size_t>(Entry[static_cast<std::size_t>(i)])].Bytes();
    while (drop < StackSize && kept + bytes > BudgetBytes) {
        kept -= Pic[static_cast<std::size_t>(Entry[static_cast<std::size_t>(drop)])].Bytes();
        ++drop;
    }
    return drop;
}

void TUndoRing::Store(int drop, TFastDIB& snap) noexcept {
    const bool wraps = StackSize >= Levels();
    TFastDIB freed;
    for (int i = 0; i < drop; ++i) {
        TUndoMap& old = Pic[static_cast<std::size_t>(Entry.front())];
        if (freed.Empty() && !old.empty() && HasSize(*old.Image, snap.Width, snap.Height))
            freed.Swap(*old.Image);
        DropOldest();
    }
    // A dropped snapshot of this size is what the next snapshot or frame needs; the spare stays only
    // while the budget has room for it.
    if (!freed.Empty()) {
        Release(Spare);
        Spare.Swap(freed);
    }
    if (HeldBytes() + snap.ByteCount() + SpareBytes() > BudgetBytes) Release(Spare);

    ++StackSize;
    if (Empty) {
        Entry.push_back(0);
        Empty = false;
    } else {
        // The slot after the newest; after a drop for lack of slots that is the one just freed.
        int next = Entry.back() + 1;
        if (next > Levels() - 1) next = 0;
        Entry.push_back(next);
    }
    Full = wraps && StackSize == Levels();
    const auto s = static_cast<std::size_t>(Entry.back());
    Release(*Pic[s].Image);
    Pic[s].Image->Swap(snap);
    Sizes[s] = TUndoSize{Pic[s].Image->Width, Pic[s].Image->Height};
}

void TUndoRing::CopyUnDo(const TFastDIB& z) {
    const int w = z.Width, h = z.Height;
    TFastDIB snap;
    int drop = DropCount(z.Empty() ? 0 : static_cast<std::int64_t>(((w * 24 + 31) / 32) * 4) * h);
    if (!z.Empty()) {
        // The memory: that of a same-sized snapshot that goes anyway, or the spare (no fresh pages to
        // fault in), or a new allocation. Until it is had the ring is unchanged, unless memory is short.
        for (int i = 0; i < drop && snap.Empty(); ++i) {
            TUndoMap& old = Pic[static_cast<std::size_t>(Entry[static_cast<std::size_t>(i)])];
            if (!old.empty() && HasSize(*old.Image, w, h)) snap.Swap(*old.Image);
        }
        if (snap.Empty() && HasSize(Spare, w, h)) snap.Swap(Spare);
        if (snap.Empty()) {
            const int before = StackSize;
            AllocateFreeing(snap, w, h, true);
            drop = std::max(drop - (before - StackSize), 0);
        }
        if (z.Bpp == 24) {
            const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
            ParallelRowsToEnd(h, static_cast<std::int64_t>(w) * h, [&](int first, int last) {
                for (int y = first; y < last; ++y) std::memcpy(snap.Scanlines[y], z.Scanlines[y], rowBytes);
            });
        } else {
            z.Draw(snap, 0, 0);
        }
    }
    Store(drop, snap);
}

void TUndoRing::PushTaken(TFastDIB& snapshot) noexcept {
    Store(DropCount(snapshot.ByteCount()), snapshot);
    Release(snapshot);
}

bool TUndoRing::DoUnDo(TFastDIB& z) {
    if (Empty) return false;
    const auto s = static_cast<std::size_t>(Entry.back());
    z.Swap(*Pic[s].Image);
    GiveSpare(*Pic[s].Image);
    Clear(s);
    --StackSize;
    Full = false;
    Entry.pop_back();
    if (StackSize == 0) Empty = true;
    return true;
}

void TUndoRing::TakeSpare(TFastDIB& d, int w, int h) {
    if (HasSize(Spare, w, h)) {
        d.Swap(Spare);
        Release(Spare);
        return;
    }
    // The work this memory is for may still fail, so no snapshot is given up for it; only a spare of
    // another size goes when memory is short.
    AllocateFreeing(d, w, h, false);
}

void TUndoRing::GiveSpare(TFastDIB& d) {
    Release(Spare);
    if (d.Bits && d.Bpp == 24) Spare.Swap(d);
    Release(d);
}
