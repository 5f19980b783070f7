#pragma once
// Types shared by the editor's windows.

#include "image/Color.h"

#include <QString>
#include <cstdint>
#include <vector>

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
