#pragma once
// The one size limit of every picture the program opens or makes: opened files of every format, the
// size window, resizes, the gradient designers and pasted pictures. What the program can make, it
// can open again.

#include <cstdint>

struct PictureSizeLimits {
    int maxSide = 16384;
    std::int64_t maxPixels = std::int64_t{16384} * 16384;
};

// Process-wide; tests and the fuzz harness may lower it.
inline PictureSizeLimits& PictureLimits() {
    static PictureSizeLimits limits;
    return limits;
}

// True when a picture of `width` x `height` is at least 1 x 1 and within PictureLimits().
inline bool PictureSizeFits(std::int64_t width, std::int64_t height) {
    const PictureSizeLimits& l = PictureLimits();
    // Both factors are at most maxSide when the product is formed, so it cannot overflow.
    return width >= 1 && height >= 1 && width <= l.maxSide && height <= l.maxSide &&
           width * height <= l.maxPixels;
}
