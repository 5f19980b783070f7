#pragma once
// Row bands on every core: a small pool of worker threads, created on first use and kept for the life of
// the process, runs a routine's rows in bands. Every band writes only its own rows, so the result is the
// same bytes whatever the number of threads. Small images stay on the calling thread.

#include "image/FastDIB.h"

#include <cstdint>
#include <functional>

// Below this many pixels a routine runs its rows on the calling thread.
inline constexpr std::int64_t ParallelMinPixels = 64 * 1024;

// Calls Band(first, last) for consecutive bands of rows first .. last - 1 that together cover 0 .. Rows - 1,
// on the worker threads and the calling thread, and returns when every band is done. Work is the number of
// pixels the call touches; under ParallelMinPixels (or when called from inside a band) Band runs once over
// all rows on the calling thread. The first exception a band throws is rethrown here after the others
// have finished. Larger work checks for a stop request between bands (see WorkControl.h): the bands not
// yet started are skipped and EWorkStopped is thrown once the running ones are done.
void ParallelRows(int Rows, std::int64_t Work, const std::function<void(int first, int last)>& Band);

// The number of threads ParallelRows uses (the calling thread included). 0 means one per core. Meant
// for tests and measurements; set it while no routine runs.
void SetParallelThreads(int Threads);
int ParallelThreads();

// A 24-bit image of the given size for temporary use by the calling thread, keeping its memory from one
// call to the next so that repeated calls do not pay for fresh pages. Its pixels are left as the last
// user left them. Slot (0 .. 3) tells apart temporaries that are needed at the same time. Never hand a
// scratch image to code that may ask for the same slot.
TFastDIB& ScratchImage(int Slot, int Width, int Height);
