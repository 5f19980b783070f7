// The undo ring on its own: push, pop, wrap-around, slot reuse, a change of the number of slots, the
// memory budget and copies that a stop request does not cut short.

#include "app/main/UndoRing.h"
#include "image/Parallel.h"
#include "image/WorkControl.h"
#include "platform/SystemMemory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// A w x h image whose every pixel is (b, g, r) = (k, k + 1, k + 2).
void Paint(TFastDIB& d, int w, int h, int k) {
    d.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            d.SetPixel(y, x,
                       TFColor{static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(k + 1),
                               static_cast<std::uint8_t>(k + 2)});
}

int Mark(const TFastDIB& d) {
    return d.GetPixel(0, 0).b;
}

} // namespace

TEST(UndoRing, SnapshotKeepsRgbAndPopRestoresPixelsAndSize) {
    TUndoRing ring(15);
    TFastDIB z;
    z.SetSize(3, 2, 24, 0);
    z.SetPixel(0, 0, TFColor{1, 2, 3}); // b, g, r
    z.SetPixel(1, 2, TFColor{10, 20, 30});
    ring.CopyUnDo(z);
    EXPECT_FALSE(ring.Empty);
    EXPECT_EQ(ring.StackSize, 1);
    ASSERT_EQ(ring.Entry, std::vector<int>({0}));
    EXPECT_EQ(ring.Sizes[0].X, 3);
    EXPECT_EQ(ring.Sizes[0].Y, 2);
    // Snapshots hold r, g, b.
    ASSERT_EQ(ring.Pic[0].size(), 6u);
    EXPECT_EQ(ring.Pic[0][0], (Trgb{3, 2, 1}));
    EXPECT_EQ(ring.Pic[0][1 * 3 + 2], (Trgb{30, 20, 10}));

    // A resize is undone with the pixels.
    Paint(z, 7, 5, 99);
    ASSERT_TRUE(ring.DoUnDo(z));
    EXPECT_EQ(z.Width, 3);
    EXPECT_EQ(z.Height, 2);
    EXPECT_EQ(z.Bpp, 24);
    EXPECT_EQ(z.GetPixel(0, 0).r, 3);
    EXPECT_EQ(z.GetPixel(0, 0).b, 1);
    EXPECT_EQ(z.GetPixel(1, 2).g, 20);
    EXPECT_EQ(z.GetPixel(1, 1).r, 0);
    EXPECT_TRUE(ring.Empty);
    EXPECT_EQ(ring.StackSize, 0);
    EXPECT_TRUE(ring.Entry.empty());
    EXPECT_TRUE(ring.Pic[0].empty());
    // Empty: nothing happens.
    EXPECT_FALSE(ring.DoUnDo(z));
    EXPECT_EQ(z.Width, 3);
}

TEST(UndoRing, WrapsAroundDroppingTheOldestAndReusesTheFreedSlot) {
    // Three slots, four effects: images 1..4 after the effects, 0 the start.
    TUndoRing ring(3);
    TFastDIB z;
    Paint(z, 4, 4, 0);
    for (int k = 1; k <= 4; ++k) {
        ring.CopyUnDo(z);
        Paint(z, 4, 4, 10 * k);
    }
    EXPECT_TRUE(ring.Full);
    EXPECT_EQ(ring.StackSize, 3);
    // Slots 0, 1, 2 were used by the first three; the fourth reused slot 0, now the newest.
    EXPECT_EQ(ring.Entry, std::vector<int>({1, 2, 0}));

    ASSERT_TRUE(ring.DoUnDo(z));
    EXPECT_EQ(Mark(z), 30);
    EXPECT_FALSE(ring.Full);
    EXPECT_EQ(ring.Entry, std::vector<int>({1, 2}));

    // After a pop from a full ring the next push appends again and takes the slot just freed.
    Paint(z, 4, 4, 77);
    ring.CopyUnDo(z);
    EXPECT_FALSE(ring.Full);
    EXPECT_EQ(ring.StackSize, 3);
    EXPECT_EQ(ring.Entry, std::vector<int>({1, 2, 0}));
    // And the one after wraps again, replacing the oldest (slot 1).
    Paint(z, 4, 4, 88);
    ring.CopyUnDo(z);
    EXPECT_TRUE(ring.Full);
    EXPECT_EQ(ring.Entry, std::vector<int>({2, 0, 1}));

    Paint(z, 4, 4, 200);
    ASSERT_TRUE(ring.DoUnDo(z));
    EXPECT_EQ(Mark(z), 88);
    ASSERT_TRUE(ring.DoUnDo(z));
    EXPECT_EQ(Mark(z), 77);
    ASSERT_TRUE(ring.DoUnDo(z));
    EXPECT_EQ(Mark(z), 20);
    EXPECT_TRUE(ring.Empty);
    EXPECT_FALSE(ring.DoUnDo(z));
    EXPECT_EQ(Mark(z), 20);
}

TEST(UndoRing, FifteenSlotsSixteenEffectsSixteenUndos) {
    TUndoRing ring(15);
    TFastDIB z;
    Paint(z, 2, 2, 0);
    for (int k = 1; k <= 16; ++k) {
        ring.CopyUnDo(z);
        Paint(z, 2, 2, k);
    }
    // The images after effects 15 down to 1 come back; the state before the first effect is lost.
    for (int k = 15; k >= 1; --k) {
        ASSERT_TRUE(ring.DoUnDo(z));
        EXPECT_EQ(Mark(z), k);
    }
    EXPECT_FALSE(ring.DoUnDo(z));
    EXPECT_EQ(Mark(z), 1);
}

TEST(UndoRing, ResetEmptiesTheRingAndRefusesCountsOutside1To100) {
    TUndoRing ring(15);
    TFastDIB z;
    Paint(z, 2, 2, 5);
    ring.CopyUnDo(z);
    ring.CopyUnDo(z);

    EXPECT_THROW(ring.Reset(0), std::invalid_argument);
    EXPECT_THROW(ring.Reset(101), std::invalid_argument);
    EXPECT_THROW(ring.Reset(-3), std::invalid_argument);
    // A refused count leaves the snapshots alone.
    EXPECT_EQ(ring.StackSize, 2);
    EXPECT_EQ(ring.Levels(), 15);

    ring.Reset(100);
    EXPECT_EQ(ring.Levels(), 100);
    EXPECT_TRUE(ring.Empty);
    EXPECT_FALSE(ring.Full);
    EXPECT_EQ(ring.StackSize, 0);
    EXPECT_TRUE(ring.Entry.empty());
    EXPECT_FALSE(ring.DoUnDo(z));

    // One slot: every push replaces the only snapshot.
    ring.Reset(1);
    ring.CopyUnDo(z);
    Paint(z, 2, 2, 6);
    ring.CopyUnDo(z);
    EXPECT_TRUE(ring.Full);
    EXPECT_EQ(ring.Entry, std::vector<int>({0}));
    Paint(z, 2, 2, 7);
    ASSERT_TRUE(ring.DoUnDo(z));
    EXPECT_EQ(Mark(z), 6);
    EXPECT_FALSE(ring.DoUnDo(z));
}

namespace {

constexpr std::int64_t Snap4x4 = 4 * 4 * 3; // bytes of one 4 x 4 snapshot

} // namespace

TEST(UndoRing, BudgetDropsTheOldestSnapshotsAndKeepsTheNewestWhateverItsSize) {
    TUndoRing ring(10);
    ring.SetBudget(3 * Snap4x4);
    TFastDIB z;
    for (int k = 1; k <= 4; ++k) {
        Paint(z, 4, 4, 10 * k);
        ring.CopyUnDo(z);
    }
    // Four pushes, room for three: the first went although six slots are free; the ring has not wrapped.
    EXPECT_EQ(ring.StackSize, 3);
    EXPECT_FALSE(ring.Full);
    EXPECT_EQ(ring.HeldBytes(), 3 * Snap4x4);
    EXPECT_EQ(ring.Entry, std::vector<int>({1, 2, 3}));
    EXPECT_TRUE(ring.Pic[0].empty());

    // A snapshot larger than the whole budget stays alone.
    Paint(z, 8, 8, 50);
    ring.CopyUnDo(z);
    EXPECT_EQ(ring.StackSize, 1);
    EXPECT_EQ(ring.HeldBytes(), 8 * 8 * 3);
    // A small one after it needs the large one's room.
    Paint(z, 4, 4, 60);
    ring.CopyUnDo(z);
    EXPECT_EQ(ring.StackSize, 1);
    ASSERT_TRUE(ring.DoUnDo(z));
    EXPECT_EQ(Mark(z), 60);
    EXPECT_TRUE(ring.Empty);

    // A larger budget keeps more; the slot count stays the upper bound.
    ring.SetBudget(100 * Snap4x4);
    for (int k = 1; k <= 12; ++k) {
        Paint(z, 4, 4, k);
        ring.CopyUnDo(z);
    }
    EXPECT_EQ(ring.StackSize, 10);
    EXPECT_TRUE(ring.Full);
    for (int k = 12; k >= 3; --k) {
        ASSERT_TRUE(ring.DoUnDo(z));
        EXPECT_EQ(Mark(z), k);
    }
    EXPECT_FALSE(ring.DoUnDo(z));
    EXPECT_EQ(ring.HeldBytes(), 0);
}

TEST(UndoRing, FailedAllocationDropsOldSnapshotsAndTriesAgain) {
    TUndoRing ring(15);
    TFastDIB z;
    for (int k = 1; k <= 4; ++k) {
        Paint(z, 4, 4, k);
        ring.CopyUnDo(z);
    }
    // Memory for the fifth is there only once two snapshots are gone.
    int calls = 0;
    ring.Allocate = [&](TFastDIB& d, int w, int h) {
        ++calls;
        if (ring.StackSize > 2) throw std::bad_alloc();
        d.SetSize(w, h, 24, 0);
    };
    Paint(z, 4, 4, 5);
    ring.CopyUnDo(z);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(ring.StackSize, 3);
    Paint(z, 4, 4, 99);
    for (int k = 5; k >= 3; --k) {
        ASSERT_TRUE(ring.DoUnDo(z));
        EXPECT_EQ(Mark(z), k);
    }
    EXPECT_TRUE(ring.Empty);

    // No memory at all: the ring is emptied, then the failure comes out.
    ring.CopyUnDo(z);
    ring.Allocate = [](TFastDIB&, int, int) { throw std::bad_alloc(); };
    Paint(z, 4, 4, 7);
    EXPECT_THROW(ring.CopyUnDo(z), std::bad_alloc);
    EXPECT_TRUE(ring.Empty);
    EXPECT_EQ(ring.StackSize, 0);
    EXPECT_TRUE(ring.Entry.empty());
}

TEST(UndoRing, CopiesRunToTheEndOnEveryCoreAlsoWhenAStopIsRequested) {
    // Every call goes to the row bands of several threads; every pixel different.
    SetParallelThreads(4);
    SetParallelMinWork(0);
    const int w = 301, h = 283;
    TFastDIB z;
    z.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            z.SetPixel(y, x,
                       TFColor{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                               static_cast<std::uint8_t>(x ^ y)});
    TFastDIB original;
    original.SetSize(w, h, 24, 0);
    z.Draw(original, 0, 0);

    TUndoRing ring(2);
    RequestWorkStop(); // a stopped effect's frame pushes and pops with the request still standing
    ring.CopyUnDo(z);
    ASSERT_EQ(ring.Pic[0].size(), static_cast<std::size_t>(w) * h);
    EXPECT_EQ(ring.Pic[0][0], (Trgb{0, 0, 0}));
    EXPECT_EQ(ring.Pic[0][static_cast<std::size_t>(h - 1) * w + (w - 1)],
              (Trgb{static_cast<std::uint8_t>((w - 1) ^ (h - 1)), static_cast<std::uint8_t>(h - 1),
                    static_cast<std::uint8_t>(w - 1)}));

    // Back into the image of the same size (in place) and into one of another size.
    for (const int otherSide : {0, 17}) {
        if (otherSide)
            Paint(z, otherSide, otherSide, 3);
        else
            std::memset(z.Bits, 0xAB, static_cast<std::size_t>(z.ByteCount()));
        if (ring.Empty) ring.CopyUnDo(original);
        ASSERT_TRUE(ring.DoUnDo(z));
        ASSERT_EQ(z.Width, w);
        ASSERT_EQ(z.Height, h);
        for (int y = 0; y < h; ++y)
            ASSERT_EQ(std::memcmp(z.Scanlines[y], original.Scanlines[y], static_cast<std::size_t>(3) * w), 0)
                << "row " << y;
    }

    // The helper alone: every row once, stop or no stop.
    std::vector<int> seen(5000, 0);
    ParallelRowsToEnd(5000, 5000 * 100, [&](int first, int last) {
        for (int y = first; y < last; ++y) ++seen[static_cast<std::size_t>(y)];
    });
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 5000);
    ClearWorkStop();
    SetParallelMinWork(ParallelMinWorkDefault);
    SetParallelThreads(0);
}

TEST(UndoRing, SnapshotsSwapRedAndBlueAtEveryRowWidth) {
    // Widths around the five-pixel steps of the wide copy, every byte of a row different.
    TUndoRing ring(1);
    for (int w = 1; w <= 13; ++w) {
        TFastDIB z;
        z.SetSize(w, 2, 24, 0);
        for (int y = 0; y < 2; ++y)
            for (int i = 0; i < 3 * w; ++i) z.Scanlines[y][i] = static_cast<std::uint8_t>(100 * y + i);
        ring.CopyUnDo(z);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < w; ++x) {
                const int b = 100 * y + 3 * x;
                ASSERT_EQ(ring.Pic[0][static_cast<std::size_t>(y * w + x)],
                          (Trgb{static_cast<std::uint8_t>(b + 2), static_cast<std::uint8_t>(b + 1),
                                static_cast<std::uint8_t>(b)}))
                    << "width " << w << " pixel " << x << ", " << y;
            }
        TFastDIB back;
        ASSERT_TRUE(ring.DoUnDo(back));
        for (int y = 0; y < 2; ++y)
            ASSERT_EQ(std::memcmp(back.Scanlines[y], z.Scanlines[y], static_cast<std::size_t>(3) * w), 0)
                << "width " << w;
    }
}

TEST(UndoRing, PixelMemoryMovesInsteadOfBeingCopiedAndIsRecycled) {
    TUndoRing ring(2);
    TFastDIB z, snap;
    Paint(snap, 5, 3, 10);
    const std::uint8_t* first = snap.Bits;
    ring.PushTaken(snap); // no copy: the ring holds these very pixels
    EXPECT_TRUE(snap.Empty());
    EXPECT_EQ(ring.Pic[0].Image->Bits, first);
    EXPECT_EQ(ring.Pic[0][0], (Trgb{12, 11, 10}));
    // Memory the ring allocates has zero row padding (a 5-pixel row is 15 bytes padded to 16), so
    // pictures made in it never carry stray bytes into files.
    TFastDIB fresh;
    ring.TakeSpare(fresh, 5, 3);
    ASSERT_EQ(fresh.BWidth, 16);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(fresh.Scanlines[y][15], 0);

    // Undo hands the pixels to the image; the image's own become the spare, which a frame of that size
    // takes next, while another size gets memory of its own.
    Paint(z, 5, 3, 20);
    const std::uint8_t* shown = z.Bits;
    ASSERT_TRUE(ring.DoUnDo(z));
    EXPECT_EQ(z.Bits, first);
    EXPECT_EQ(Mark(z), 10);
    EXPECT_EQ(ring.SpareBytes(), z.ByteCount());
    TFastDIB other, same;
    ring.TakeSpare(other, 6, 3);
    EXPECT_NE(other.Bits, shown);
    EXPECT_EQ(other.Width, 6);
    ring.TakeSpare(same, 5, 3);
    EXPECT_EQ(same.Bits, shown);
    EXPECT_EQ(ring.SpareBytes(), 0);

    // A full ring: the snapshot that goes becomes the spare; a copy takes the memory of the snapshot it
    // drops and leaves the spare for the next frame.
    Paint(snap, 5, 3, 30);
    const std::uint8_t* oldest = snap.Bits;
    ring.PushTaken(snap);
    Paint(snap, 5, 3, 40);
    const std::uint8_t* second = snap.Bits;
    ring.PushTaken(snap);
    Paint(snap, 5, 3, 50);
    ring.PushTaken(snap);
    EXPECT_TRUE(ring.Full);
    EXPECT_EQ(ring.SpareBytes(), z.ByteCount());
    Paint(z, 5, 3, 60);
    ring.CopyUnDo(z);
    EXPECT_EQ(ring.Pic[static_cast<std::size_t>(ring.Entry.back())].Image->Bits, second);
    EXPECT_EQ(ring.SpareBytes(), z.ByteCount());
    TFastDIB next;
    ring.TakeSpare(next, 5, 3);
    EXPECT_EQ(next.Bits, oldest);
    ASSERT_TRUE(ring.DoUnDo(z));
    EXPECT_EQ(Mark(z), 60);
    ASSERT_TRUE(ring.DoUnDo(z));
    EXPECT_EQ(Mark(z), 50);
    EXPECT_TRUE(ring.Empty);
}

TEST(UndoRing, TheSpareGivesWayToTheBudgetAndToShortMemory) {
    TUndoRing ring(10);
    ring.SetBudget(2 * Snap4x4);
    TFastDIB z;
    for (int k = 1; k <= 3; ++k) {
        Paint(z, 4, 4, k);
        ring.PushTaken(z);
    }
    // The first went for the budget; its memory cannot stay beside the two kept.
    EXPECT_EQ(ring.StackSize, 2);
    EXPECT_EQ(ring.HeldBytes(), 2 * Snap4x4);
    EXPECT_EQ(ring.SpareBytes(), 0);

    // With room, an undo's pixels stay as the spare; when memory is short the spare goes before any
    // snapshot.
    ring.SetBudget(100 * Snap4x4);
    Paint(z, 4, 4, 9);
    ASSERT_TRUE(ring.DoUnDo(z));
    EXPECT_EQ(ring.SpareBytes(), Snap4x4);
    int calls = 0;
    ring.Allocate = [&](TFastDIB& d, int w, int h) {
        if (++calls == 1) throw std::bad_alloc();
        d.SetSize(w, h, 24, 0);
    };
    TFastDIB big;
    ring.TakeSpare(big, 8, 8);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(ring.SpareBytes(), 0);
    EXPECT_EQ(ring.StackSize, 1);
    EXPECT_EQ(big.Width, 8);
    // Memory taken for work that may still fail costs no snapshot.
    ring.Allocate = [](TFastDIB&, int, int) { throw std::bad_alloc(); };
    EXPECT_THROW(ring.TakeSpare(big, 9, 9), std::bad_alloc);
    EXPECT_EQ(ring.StackSize, 1);
}

TEST(UndoRing, BudgetAndFreeMemoryFollowTheLowestOfMemoryCgroupAndAddressSpaceLimits) {
    constexpr std::int64_t MiB = std::int64_t{1} << 20;
    // Beside 16 GiB of memory, 8 GiB available. Version 2: no limit on the scope, 2.5 GiB on its slice
    // with 1 GiB used, 256 MiB of it file cache: 2560 - 768 free. Version 1 in a container (only the
    // controller's top is mounted; a huge value is none): 1024 - (300 - 100). ulimit -v 3 GiB, 1 GiB used.
    const struct {
        const char* files;
        std::int64_t addressSpace, budget, free;
    } cases[] = {
        {"proc/self/cgroup=0::/a/b|sys/fs/cgroup/a/b/memory.max=max|sys/fs/cgroup/a/memory.max=2684354560|"
         "sys/fs/cgroup/a/memory.current=1073741824|sys/fs/cgroup/a/memory.stat=inactive_file 268435456",
         -1, 640 * MiB, 1792 * MiB},
        {"proc/self/cgroup=4:memory:/d/e|sys/fs/cgroup/memory/memory.limit_in_bytes=1073741824|"
         "sys/fs/cgroup/memory/memory.usage_in_bytes=314572800|sys/fs/cgroup/memory/memory.stat="
         "total_inactive_file 104857600|sys/fs/cgroup/memory/d/memory.limit_in_bytes=9223372036854771712",
         -1, 256 * MiB, 824 * MiB},
        {"proc/self/status=VmSize:\t 1048576 kB", 3072 * MiB, 768 * MiB, 2048 * MiB}};
    for (const auto& c : cases) {
        QTemporaryDir root;
        const QStringList files = QString(c.files).split('|')
                                  << "proc/meminfo=MemTotal: 16777216 kB\nMemAvailable: 8388608 kB";
        for (const QString& file : files) {
            const QString name = root.filePath(file.section('=', 0, 0));
            QDir().mkpath(QFileInfo(name).path());
            QFile f(name);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(file.section('=', 1).toUtf8());
        }
        SetSystemFilesRoot(root.path());
        SetAddressSpaceLimitHook([&c] { return c.addressSpace; });
        EXPECT_EQ(TUndoRing().Budget(), c.budget) << c.files;
        EXPECT_EQ(FreeMemoryBytes(), c.free) << c.files;
    }
    SetSystemFilesRoot(QString());
    SetAddressSpaceLimitHook({});
}
