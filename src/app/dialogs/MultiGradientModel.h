#pragma once
// The multi-colour gradient without its window: drawing the colour bands of a list of stops, the
// position arithmetic of the point options (pixels and per cent) and the check that makes any record
// (from the settings file or the main window) safe to draw and to show as markers.

#include "app/main/AppTypes.h"
#include "image/Color.h"
#include "image/FastDIB.h"

#include <vector>

// Largest width or height of a gradient bitmap; larger values typed in the size edits are ignored.
constexpr int MaxGradientSide = 16384;

// One colour stop: its position along the gradient's axis (pixels) and its colour.
struct TGradientStop {
    int Pos = 0;
    TColor Color = 0;
    friend bool operator==(const TGradientStop&, const TGradientStop&) = default;
};

// The stops ordered by position; stops at equal positions keep their order.
std::vector<TGradientStop> SortedStops(std::vector<TGradientStop> stops);

// Paints the gradient into `grad` (24 bits, already sized): the axis runs along x when `vert`, else
// along y, from `endColor` at 0 through the stops (sorted by position) to `endColor` at the axis length;
// each segment is 151 bands of colours c0 + MulDiv(i, c1 - c0, 150), the band i covering
// a + MulDiv(i, b - a, 150) to a + MulDiv(i + 1, b - a, 150) and the whole other axis. Later segments
// overdraw the earlier ones' last band. Without stops the whole picture is `endColor`.
void DrawGradient(TFastDIB& grad, const std::vector<TGradientStop>& stops, TColor endColor, bool vert);

// The stops of a record, in record order.
std::vector<TGradientStop> StopsOf(const TMgradNfo& g);
TColor TrgbToColor(const Trgb& c);
Trgb ColorToTrgb(TColor c);

// Makes a record safe: width and height outside 1..MaxGradientSide become 512; `bars` is at most the
// length of the shorter list and both lists hold exactly `bars` entries; every stop position is clamped
// into the bar (0 .. axis length - 1). Returns true when something had to be changed.
bool CheckGradient(TMgradNfo& g);

// The position of a new stop in the point options: in pixels and in per cent of the axis length
// `gWidth` (at least 1), each computed from the other to the nearest integer (halves to even). A
// position past the end is clamped to gWidth - 1 pixels and 99 per cent; one before the start to 0
// and 0. `Clamped` says that the shown value must be replaced by the clamped one.
struct TPointPosition {
    int PixLeft = 0;
    int PctLeft = 0;
    bool Clamped = false;
};
int PercentOfAxis(int pixels, int gWidth);
TPointPosition PointFromPixels(int pixels, int gWidth);
TPointPosition PointFromPercent(int percent, int gWidth);

// Every colour reduced to 5 bits of red, 6 of green and 5 of blue and widened back to 8 bits (the top
// bits repeated below), as a picture drawn through a 16-bit screen bitmap shows it.
void ReduceTo565(TFastDIB& d);
