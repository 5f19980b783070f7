#pragma once
// The square noise image the image benchmarks work on, from the process-wide generator.
#include "image/FastDIB.h"
#include "image/Numeric.h"

#include <cstdint>

inline void NoiseImage(TFastDIB& b, int n, std::uint32_t seed) {
    SetRandSeed(seed);
    b.SetSize(n, n, 24, 0);
    for (int y = 0; y < n; ++y) {
        std::uint8_t* row = b.Scanlines[y];
        for (int i = 0; i < 3 * n; ++i) row[i] = static_cast<std::uint8_t>(Random(256));
    }
}
