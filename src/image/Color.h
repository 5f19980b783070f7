#pragma once
// Colours as the settings file, the log and effect parameters hold them: $00BBGGRR, red in the low
// byte. Pixels hold the same colour as the bytes b, g, r.

#include "image/FastDIB.h"

#include <cstdint>

using TColor = std::uint32_t;

constexpr TColor RGBColor(int r, int g, int b) {
    return static_cast<TColor>((r & 255) | ((g & 255) << 8) | ((b & 255) << 16));
}
constexpr int GetRValue(TColor c) { return c & 255; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 255; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 255; }

constexpr TFColor ColorToFColor(TColor c) {
    return TFColor{static_cast<std::uint8_t>(GetBValue(c)), static_cast<std::uint8_t>(GetGValue(c)),
                   static_cast<std::uint8_t>(GetRValue(c))};
}
constexpr TColor FColorToColor(TFColor p) { return RGBColor(p.r, p.g, p.b); }
