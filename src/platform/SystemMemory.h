#pragma once
// What memory the program may use and may still use, as the system reports it. Three limits count: the
// physical memory, the memory cgroup the process runs in (a container, a service or a sandbox given a
// memory ceiling) and the address-space limit (ulimit -v). Whichever is lowest is the one that bites.

#include <cstdint>
#include <functional>

class QString;

// The most memory the program may use, in bytes: the lowest of the physical memory, the cgroup's limit
// and the address-space limit (-1 when none is known).
std::int64_t MemoryLimitBytes();

// The memory the system can give now, in bytes: the lowest of what the system has available, what the
// cgroup's limit leaves beside its usage, and what the address-space limit leaves beside the process's
// size (-1 when none is known: then no picture is refused for it).
std::int64_t FreeMemoryBytes();

// Bytes as megabytes are written in messages: 10^6 bytes, as on a memory label, to the nearest.
QString MegabytesText(std::int64_t bytes);

// Tests: answers FreeMemoryBytes() instead of the system (an empty function restores it).
void SetFreeMemoryHook(std::function<std::int64_t()> hook);

// Tests: the folder that stands for "/" where the proc and sys files are read (fake cgroup files, a fake
// meminfo); an empty text restores the root.
void SetSystemFilesRoot(const QString& root);

// Tests: the address-space limit in bytes (-1 for none) instead of the process's own; an empty function
// restores it.
void SetAddressSpaceLimitHook(std::function<std::int64_t()> hook);
