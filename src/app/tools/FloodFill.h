#pragma once
// Flood fill of a 24-bit surface (bytes b, g, r): the area of pixels that have exactly the colour of
// the start pixel and are joined to it through their left, right, upper and lower neighbours (never
// diagonally) takes the fill colour. Scan-line spans, so each row of the area is visited a few times.

#include "image/FastDIB.h"

// False, and nothing changed, when (x, y) lies outside the surface or the start pixel already has
// the fill colour (filling would change nothing).
bool FloodFill(const Surface& s, int x, int y, TFColor fill);
