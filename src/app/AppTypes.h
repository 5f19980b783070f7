#pragma once
// Types shared by the editor's windows.

#include <QString>
#include <cstdint>
#include <vector>

// A colour as the settings file and the log know it: $00BBGGRR (red in the low byte).
using TColor = std::uint32_t;
constexpr TColor RGBColor(int r, int g, int b) {
    return static_cast<TColor>((r & 255) | ((g & 255) << 8) | ((b & 255) << 16));
}
constexpr int GetRValue(TColor c) { return c & 255; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 255; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 255; }

// A colour as three bytes r, g, b (undo snapshots, gradient stops).
struct Trgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Trgb&, const Trgb&) = default;
};

// A multi-colour gradient.
struct TMgradNfo {
    std::uint16_t bars = 0;
    std::vector<Trgb> color;
    std::vector<int> pos;
    Trgb bkcolor;
    int width = 0;
    int height = 0;
    bool vertical = false;
};

enum class TDrawTool { dtFreeHand, dtEllipse, dtRectangle, dtLine, dtText, dtSelect, dtFill, dtEyeDrop };

// The text forms of colours and booleans in log lines.
QString ColorToRGBStr(TColor c);
QString BoolToTrueFalse(bool b);
