#pragma once
// The blend of Merge Gradient (and of any picture merged with the image by a percentage): the picture
// stretched over the image and mixed in with a weight of `percent` per cent.

#include "image/FastDIB.h"

// buf := `over` stretched to z's size (nearest neighbour); then every channel of buf :=
// nint(g * f + c * (1 - f)), g the stretched picture's channel, c z's, f = percent / 100 as a Single and
// 1 - f held as a Single; halves go to the even integer (percentages clamped to 0..100). z is not changed
// (unless it is buf itself); buf is made z's size, every pixel written.
void MergeStretched(const TFastDIB& z, const TFastDIB& over, int percent, TFastDIB& buf);
