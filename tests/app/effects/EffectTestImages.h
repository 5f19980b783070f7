#pragma once
// Small images for the effect tests: every pixel tagged by its position, random tiles, uniform fills.

#include "image/FastDIB.h"
#include "image/Numeric.h"

#include <functional>

namespace efx {

inline TFColor tag(int x, int y) {
    return TFColor{std::uint8_t(x), std::uint8_t(y), std::uint8_t(37 * x + 11 * y)};
}
inline void fill(TFastDIB& b, int w, int h, const std::function<TFColor(int, int)>& f) {
    b.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.Pixels24[y][x] = f(x, y);
}
inline void tagged(TFastDIB& b, int w, int h) {
    fill(b, w, h, tag);
}
inline void uniform(TFastDIB& b, int w, int h, TFColor c) {
    fill(b, w, h, [c](int, int) { return c; });
}
inline void randomTile(TFastDIB& b, int w, int h, std::uint32_t seed) {
    SetRandSeed(seed);
    fill(b, w, h, [](int, int) {
        return TFColor{std::uint8_t(Random(256)), std::uint8_t(Random(256)), std::uint8_t(Random(256))};
    });
}
inline void copyOf(const TFastDIB& s, TFastDIB& d) {
    d.SetSize(s.Width, s.Height, 24, 0);
    s.Draw(d, 0, 0);
}
inline TFColor at(const TFastDIB& b, int x, int y) {
    return b.Pixels24[y][x];
}
inline TFColor rgb(int r, int g, int b) {
    return TFColor{std::uint8_t(b), std::uint8_t(g), std::uint8_t(r)};
}

} // namespace efx
