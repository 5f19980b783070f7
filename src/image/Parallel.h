#pragma once
// Row bands on every core: a small pool of worker threads, created on first use and kept for the life of
// the process, runs a routine's rows in bands. Every band writes only its own rows, so the result is the
// same bytes whatever the number of threads. Small images stay on the calling thread.

#include "image/FastDIB.h"

#include <cstdint>
#include <functional>

// What one pixel costs a routine, in units of the cheapest work (a pixel copied or looked up in a table).
// A routine tells ParallelRows its pixels times its cost, so that cheap work on a small picture is not
// handed to the pool, whose start costs more than the work saves, while costly work of the same size is.
inline constexpr std::int64_t CostCopy = 1;   // copies and moves of whole rows
inline constexpr std::int64_t CostSimple = 4; // table look-ups, a few integer operations per channel
inline constexpr std::int64_t CostFloat = 16; // floating point per pixel (a bilinear sample)
inline constexpr std::int64_t CostHeavy = 64; // square roots, trigonometry or powers per pixel

inline std::int64_t WorkOf(const TFastDIB& Bmp, std::int64_t Cost) {
    return static_cast<std::int64_t>(Bmp.Width) * Bmp.Height * Cost;
}

// Below this much work (pixels times cost) a routine runs on the calling thread: waking the pool and
// waiting for its threads costs about as much as copying this many pixels on one thread (measured with
// bench_image's PoolCopy rows).
inline constexpr std::int64_t ParallelMinWorkDefault = 1024 * 1024;

// The threshold in force; tests set it to 0 to send every call to the pool. Set it while no routine runs.
void SetParallelMinWork(std::int64_t Work);
std::int64_t ParallelMinWork();

// Whether ParallelRows splits work of this size into bands (on the pool, or on the calling thread with a
// stop check between bands); false below the threshold and inside a band. Routines that prepare data per
// band ask it first.
bool ParallelSplits(std::int64_t Work);

// Calls Band(first, last) for consecutive bands of rows first .. last - 1 that together cover 0 .. Rows - 1,
// on the worker threads and the calling thread, and returns when every band is done. Work is the pixels
// the call touches times their cost; under ParallelMinWork() (or when called from inside a band) Band runs
// once over all rows on the calling thread. The first exception a band throws is rethrown here after the
// others have finished. Larger work checks for a stop request between bands (see WorkControl.h): the bands
// not yet started are skipped and EWorkStopped is thrown once the running ones are done.
void ParallelRows(int Rows, std::int64_t Work, const std::function<void(int first, int last)>& Band);

// ParallelRows that always runs to the end: no stop check, no watcher call. For copies that must never
// be left half done (undo snapshots, the display).
void ParallelRowsToEnd(int Rows, std::int64_t Work, const std::function<void(int first, int last)>& Band);

// The number of threads ParallelRows uses (the calling thread included). 0 means one per core. Meant
// for tests and measurements; set it while no routine runs.
void SetParallelThreads(int Threads);
int ParallelThreads();

// A 24-bit image of the given size for temporary use by the calling thread, keeping its memory from one
// call to the next so that repeated calls do not pay for fresh pages. Its pixels are left as the last
// user left them. Slot (0 .. 3) tells apart temporaries that are needed at the same time. Never hand a
// scratch image to code that may ask for the same slot.
TFastDIB& ScratchImage(int Slot, int Width, int Height);
