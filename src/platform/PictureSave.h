#pragma once
// Saves and the memory they take: a save that lacks memory says which file, the picture's size, what
// the save needs and what is free, instead of a bare "Out of memory".

#include "platform/Picture.h"

#include <cstdint>
#include <functional>

// About what saving a width x height 24-bit picture in `format` takes beyond the picture itself, at
// its peak.
std::int64_t SaveMemoryNeed(TSaveFormat format, int width, int height);

// Runs `save`, which saves a width x height picture to `fileName` and takes about `needBytes` beyond
// it. Throws std::runtime_error "Not enough memory to save <file>: <w> x <h> pixels need N MB; M MB
// are free" before it starts when FreeMemoryBytes() (SystemMemory.h) is known to be smaller than a
// need of some size, and when an allocation of the save fails (std::bad_alloc).
void RunSaveWithinMemory(const QString& fileName, int width, int height, std::int64_t needBytes,
                         const std::function<void()>& save);
