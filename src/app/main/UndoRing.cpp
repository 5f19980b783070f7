#include "app/main/UndoRing.h"

#include "image/Parallel.h"

#include <unistd.h>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

#if defined(__x86_64__) && defined(__GNUC__)
// Five pixels a step with one byte shuffle; returns the pixels done. Each step stores 16 bytes, the
// last of them the first byte of the next pixel, which the next step (or the caller) writes again, so
// it stops while a pixel follows the five.
__attribute__((target("ssse3"))) int SwapRedBlueWide(const std::uint8_t* src, std::uint8_t* dst, int n) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    int x = 0;
    for (; x + 6 <= n; x += 5) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 3 * x), _mm_shuffle_epi8(v, order));
    }
    return x;
}
#endif

// n three-byte pixels from src to dst (separate memory) with the first and third byte exchanged:
// b, g, r becomes r, g, b and back.
void SwapRedBlue(const std::uint8_t* src, std::uint8_t* dst, int n) {
    int x = 0;
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool wide = __builtin_cpu_supports("ssse3");
    if (wide) x = SwapRedBlueWide(src, dst, n);
#endif
    for (src += 3 * x, dst += 3 * x; x < n; ++x, src += 3, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}

} // namespace

std::int64_t TUndoRing::DefaultBudget() {
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return std::int64_t{1} << 30; // unknown: 1 GiB
    return static_cast<std::int64_t>(pages) * pageSize / 4;
}

TUndoRing::TUndoRing(int levels) : BudgetBytes(DefaultBudget()) {
    Allocate = [](std::size_t bytes) { return std::unique_ptr<std::uint8_t[]>(new std::uint8_t[bytes]); };
    Reset(levels);
}

void TUndoRing::SetBudget(std::int64_t bytes) {
    BudgetBytes = std::max<std::int64_t>(bytes, 1);
}

std::int64_t TUndoRing::HeldBytes() const {
    std::int64_t held = 0;
    for (const int s : Entry) held += Pic[static_cast<std::size_t>(s)].Bytes();
    return held;
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

void TUndoRing::DropOldest() {
    const auto s = static_cast<std::size_t>(Entry.front());
    Pic[s] = TUndoMap{};
    Sizes[s] = TUndoSize{};
    Entry.erase(Entry.begin());
    --StackSize;
    Full = false;
    if (StackSize == 0) Empty = true;
}

void TUndoRing::CopyUnDo(const TFastDIB& z) {
    const int w = z.Width, h = z.Height;
    const std::size_t pixels = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    const std::int64_t bytes = 3 * static_cast<std::int64_t>(pixels);

    // The oldest snapshots that cannot stay beside the new one: one when every slot is used, and as
    // many more as the budget asks for.
    const bool wraps = StackSize >= Levels();
    int drop = wraps ? 1 : 0;
    std::int64_t kept = HeldBytes();
    for (int i = 0; i < drop; ++i) kept -= Pic[static_cast<std::size_t>(Entry[i])].Bytes();
    while (drop < StackSize && kept + bytes > BudgetBytes) {
        kept -= Pic[static_cast<std::size_t>(Entry[static_cast<std::size_t>(drop)])].Bytes();
        ++drop;
    }

    // The memory: that of a snapshot of the same size that goes anyway (no fresh pages to fault in), or
    // a new allocation. Until the allocation succeeds the ring is unchanged, unless memory is short.
    TUndoMap snap;
    for (int i = 0; i < drop && pixels > 0; ++i) {
        TUndoMap& old = Pic[static_cast<std::size_t>(Entry[static_cast<std::size_t>(i)])];
        if (old.Pixels == pixels) {
            snap = std::move(old);
            break;
        }
    }
    if (!snap.Rgb && pixels > 0) {
        for (;;) {
            try {
                snap.Rgb = Allocate(static_cast<std::size_t>(bytes));
                if (!snap.Rgb) throw std::bad_alloc();
                break;
            } catch (const std::bad_alloc&) {
                // Memory is short: the oldest snapshot goes for good, and the allocation is tried again.
                if (StackSize == 0) throw;
                DropOldest();
                drop = std::max(drop - 1, 0);
            }
        }
    }
    snap.Pixels = pixels;

    if (pixels > 0) {
        std::uint8_t* out = snap.Rgb.get();
        ParallelRowsToEnd(h, static_cast<std::int64_t>(pixels), [&](int first, int last) {
            for (int y = first; y < last; ++y)
                SwapRedBlue(z.Scanlines[y],
                            out + static_cast<std::size_t>(y) * 3 * static_cast<std::size_t>(w), w);
        });
    }

    const bool dropsForSlots = wraps && drop > 0;
    for (int i = 0; i < drop; ++i) DropOldest();
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
    Full = dropsForSlots && StackSize == Levels();
    const auto s = static_cast<std::size_t>(Entry.back());
    Pic[s] = std::move(snap);
    Sizes[s] = TUndoSize{w, h};
}

bool TUndoRing::DoUnDo(TFastDIB& z) {
    if (Empty) return false;
    const auto s = static_cast<std::size_t>(Entry.back());
    const TUndoSize sz = Sizes[s];
    // Into the image itself when it has the snapshot's size; otherwise built aside and swapped in, so a
    // failed allocation leaves both the image and the ring as they were.
    TFastDIB restored;
    const bool inPlace = z.Bits && z.Bpp == 24 && z.Width == sz.X && z.Height == sz.Y;
    TFastDIB& target = inPlace ? z : restored;
    if (!inPlace) restored.SetSize(sz.X, sz.Y, 24, 0);
    const std::uint8_t* snap = Pic[s].Rgb.get();
    if (snap) {
        const int w = sz.X;
        ParallelRowsToEnd(sz.Y, static_cast<std::int64_t>(w) * sz.Y, [&](int first, int last) {
            for (int y = first; y < last; ++y)
                SwapRedBlue(snap + static_cast<std::size_t>(y) * 3 * static_cast<std::size_t>(w),
                            target.Scanlines[y], w);
        });
    }
    if (!inPlace) z.Swap(restored);
    Pic[s] = TUndoMap{};
    Sizes[s] = TUndoSize{};
    --StackSize;
    Full = false;
    Entry.pop_back();
    if (StackSize == 0) Empty = true;
    return true;
}
