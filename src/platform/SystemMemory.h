#pragma once
// What memory the program may still use, as the system reports it.

#include <cstdint>
#include <functional>

// The memory the system can give now, in bytes (-1 when unknown: then no picture is refused for it).
std::int64_t FreeMemoryBytes();
// Tests: answers FreeMemoryBytes() instead of the system (an empty function restores it).
void SetFreeMemoryHook(std::function<std::int64_t()> hook);
