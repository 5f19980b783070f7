#pragma once
// The effects that paint shapes over the image: astroid curves (one-pixel lines of our own), a mosaic
// of circles and squares along epicycloids (QPainter straight into the image's bytes, antialiasing off).

#include "image/FastDIB.h"

// Astroid curves of exponent n (made odd and kept to 1..9) about the centre, one per radius 0 ..
// 2 (H - 1), each in the colour of the first pixel of a row (rows taken in turn, wrapping).
void AstroidFX(TFastDIB& Bmp, int n);
// One filled circle per Mosaic cell in the colour of the cell's centre pixel; the former image shows
// between the circles. False (no change) when the cell size is refused (MosaicCellOk).
bool CircleMosaicFX(TFastDIB& Bmp, int N);
// Squares of half side R along epicycloids about the centre, their colour stepping from $F08000 by
// 16 per square (kept to 24 bits).
void CycloidMosaicFX(TFastDIB& Bmp, int R);
