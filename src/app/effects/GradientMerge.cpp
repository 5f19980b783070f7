#include "app/effects/GradientMerge.h"

#include "image/Numeric.h"

#include <algorithm>
#include <array>

int MergePercent(int percent) {
    return std::clamp(percent, 0, 100);
}

void MergeStretched(const TFastDIB& z, const TFastDIB& over, int percent, TFastDIB& buf) {
    const int w = z.Width, h = z.Height;
    if (w <= 0 || h <= 0) return;
    {
        TFastDIB sized;
        sized.SetSize(w, h, 24, 0);
        if (!over.Empty()) over.Stretch(sized, 0, 0, w, h);
        buf.Swap(sized);
    }
    const float f = static_cast<float>(MergePercent(percent)) / 100.0f;
    const float rest = 1.0f - f;
    // The two products of every channel value, so the pixel loop only adds and rounds.
    std::array<double, 256> fromOver{}, fromImage{};
    for (int v = 0; v < 256; ++v) {
        fromOver[static_cast<std::size_t>(v)] = static_cast<double>(v) * f;
        fromImage[static_cast<std::size_t>(v)] = static_cast<double>(v) * rest;
    }
    const std::size_t bytes = static_cast<std::size_t>(w) * 3;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* b = buf.Scanlines[y];
        const std::uint8_t* c = z.Scanlines[y];
        for (std::size_t i = 0; i < bytes; ++i)
            b[i] = static_cast<std::uint8_t>(RoundI(fromOver[b[i]] + fromImage[c[i]]) & 0xFF);
    }
}
