#pragma once
// What the routines that read one 24-bit image and write another share: checking the pair and copying
// pixels from one to the other in row bands. Those routines write every pixel of the destination, so
// its bytes on entry do not matter.

#include "image/FastDIB.h"

// Whether Src is a 24-bit image with pixels. If so, Dst is made Src's size at 24 bits, keeping its
// memory (and, unwritten, its bytes) when it already has that size. An unusable Src leaves Dst alone.
bool PrepareTarget(const TFastDIB& Src, TFastDIB& Dst);

// Dst := Src, row by row in bands; both have the same size and 24 bits. A stop request may end it part
// way (EWorkStopped); Src is only read.
void CopyPixels(const TFastDIB& Src, TFastDIB& Dst);
