#pragma once
// Pixel drawing shared by the controls, on 24-bit images and without Qt: rectangles in the platform's
// convention (left and top included, right and bottom excluded), rectangle fills and the sunken or
// raised 3-D frame.

#include "image/Color.h"
#include "image/FastDIB.h"

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};

// Fills the pixels of `r` (clipped to the image) with `c`. A rectangle whose right lies left of its left
// (or bottom above its top) is taken with its corners exchanged, so it still covers min .. max - 1.
void FillRect(TFastDIB& bm, TRect r, TColor c);

// The platform's 3-D frame: lowers Right and Bottom by one, then, `width` times, draws bottom-left ->
// top-left -> top-right in `topLeft` and top-right -> bottom-right -> one left of bottom-left in
// `bottomRight` (each polyline without its last point) and insets by one. `r` comes back inset by `width`.
void Frame3D(TFastDIB& bm, TRect& r, TColor topLeft, TColor bottomRight, int width);
