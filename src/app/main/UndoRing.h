#pragma once
// The undo ring: a fixed number of slots, each holding one snapshot of the image (three bytes per pixel,
// r, g, b), reused in a circle. Once every slot is used, a new snapshot replaces the oldest one.

#include "app/main/AppTypes.h"
#include "image/FastDIB.h"

#include <vector>

struct TUndoSize {
    int X = 0; // width
    int Y = 0; // height
};

class TUndoRing {
public:
    static constexpr int MinLevels = 1;
    static constexpr int MaxLevels = 100;

    explicit TUndoRing(int levels = 15);

    // Pushes a snapshot of z (a 24-bit image). The snapshot is taken before the ring changes, so a failed
    // allocation (std::bad_alloc) leaves the ring as it was.
    void CopyUnDo(const TFastDIB& z);
    // Pops the newest snapshot into z (resized to the snapshot's size, 24 bits). False when empty.
    bool DoUnDo(TFastDIB& z);
    // Drops every snapshot and gives the ring `levels` slots (MinLevels..MaxLevels, else invalid_argument).
    void Reset(int levels);

    int Levels() const { return static_cast<int>(Pic.size()); }

    // Slot s holds one snapshot (row-major, y * width + x) or is empty.
    std::vector<std::vector<Trgb>> Pic;
    std::vector<TUndoSize> Sizes;
    // Used slot numbers, oldest first; consecutive modulo the number of slots.
    std::vector<int> Entry;
    int StackSize = 0;
    bool Full = false;
    bool Empty = true;

private:
    void ShiftEntries();
};
