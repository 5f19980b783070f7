#pragma once
// The 8-bit frames the GIF benchmarks code: noise, a smooth diagonal gradient and one flat colour, and
// our LZW coding of them.
#include "gif/GIFImage.h"

#include <cstdint>
#include <random>
#include <vector>

enum Pattern { Noise, Gradient, Flat };

inline std::vector<std::uint8_t> MakePixels(int size, Pattern pattern) {
    std::vector<std::uint8_t> px(static_cast<std::size_t>(size) * size);
    std::mt19937 rng(12345);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            px[static_cast<std::size_t>(y) * size + x] =
                pattern == Noise ? static_cast<std::uint8_t>(rng() & 255)
                : pattern == Flat
                    ? std::uint8_t{17}
                    : static_cast<std::uint8_t>((static_cast<std::int64_t>(x) + y) * 255 / (2 * size - 2));
    return px;
}

// The image data (code size and sub-blocks) of a size x size frame, coded by `encoder`.
inline std::vector<std::uint8_t> EncodeWith(TGIFEncoder&& encoder, int size,
                                            const std::vector<std::uint8_t>& px) {
    TMemoryStream s;
    encoder.Compress(s, 8, size, size, false, px.data(), 256);
    return s.TakeBytes();
}
