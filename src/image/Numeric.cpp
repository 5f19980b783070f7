#include "image/Numeric.h"

#include <chrono>

std::uint32_t& RandSeed() {
    static std::uint32_t seed = 0;
    return seed;
}

void SetRandSeed(std::uint32_t seed) { RandSeed() = seed; }

void Randomize() {
    auto t = std::chrono::steady_clock::now().time_since_epoch().count() ^
             std::chrono::system_clock::now().time_since_epoch().count();
    RandSeed() = static_cast<std::uint32_t>(t ^ (t >> 32));
}
