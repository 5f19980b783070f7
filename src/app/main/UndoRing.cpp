#include "app/main/UndoRing.h"

#include <stdexcept>
#include <utility>

TUndoRing::TUndoRing(int levels) {
    Reset(levels);
}

void TUndoRing::Reset(int levels) {
    if (levels < MinLevels || levels > MaxLevels)
        throw std::invalid_argument("The number of undo levels must lie between 1 and 100.");
    Pic.clear();
    Pic.resize(static_cast<std::size_t>(levels));
    Sizes.assign(static_cast<std::size_t>(levels), TUndoSize{});
    Entry.clear();
    Entry.reserve(static_cast<std::size_t>(levels)); // pushing never allocates once a snapshot exists
    StackSize = 0;
    Full = false;
    Empty = true;
}

void TUndoRing::ShiftEntries() {
    if (Entry.empty()) return;
    const int first = Entry[0];
    for (std::size_t i = 1; i < Entry.size(); ++i) Entry[i - 1] = Entry[i];
    Entry.back() = first;
}

void TUndoRing::CopyUnDo(const TFastDIB& z) {
    const int w = z.Width, h = z.Height;
    // Take the snapshot first: if memory runs out, nothing below has happened yet.
    std::vector<Trgb> snap(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = z.Scanlines[y];
        Trgb* dst = snap.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x, src += 3) {
            dst[x].r = src[2];
            dst[x].g = src[1];
            dst[x].b = src[0];
        }
    }

    const int levels = Levels();
    if (StackSize + 1 > levels) {
        // The ring is full: the oldest slot moves to the top and is reused.
        Full = true;
        ShiftEntries();
    } else {
        ++StackSize;
        if (Empty) {
            Entry.push_back(0);
            Empty = false;
        } else {
            int next = Entry.back() + 1;
            if (next > levels - 1) next = 0;
            Entry.push_back(next);
        }
    }
    const int s = Entry.back();
    Pic[s] = std::move(snap);
    Sizes[s] = TUndoSize{w, h};
}

bool TUndoRing::DoUnDo(TFastDIB& z) {
    if (Empty) return false;
    const int s = Entry.back();
    const TUndoSize sz = Sizes[s];
    // Built aside and swapped in, so a failed allocation leaves both the image and the ring as they were.
    TFastDIB restored;
    restored.SetSize(sz.X, sz.Y, 24, 0);
    const std::vector<Trgb>& snap = Pic[s];
    for (int y = 0; y < sz.Y; ++y) {
        const Trgb* src = snap.data() + static_cast<std::size_t>(y) * sz.X;
        std::uint8_t* dst = restored.Scanlines[y];
        for (int x = 0; x < sz.X; ++x, dst += 3) {
            dst[0] = src[x].b;
            dst[1] = src[x].g;
            dst[2] = src[x].r;
        }
    }
    z.Swap(restored);
    std::vector<Trgb>().swap(Pic[s]);
    --StackSize;
    Full = false;
    Entry.pop_back();
    if (StackSize == 0) Empty = true;
    return true;
}
