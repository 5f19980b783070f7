#pragma once
// The seamless Gaussian blur and the fixed 3 x 3 kernels of the Filters group, on 24-bit images without
// any window, so that tests and benchmarks reach them directly.

#include "image/FastDIB.h"

#include <array>
#include <cstdint>

// The margin of wrapped pixels around the image while it is blurred: the widest half kernel of the
// Gaussian blur, so that every pixel near an edge sees the pixels of the opposite edge.
constexpr int SeamlessBlurMargin = 9;

// Work := Img surrounded by a Margin-pixel border taken from the opposite sides as if the tile were
// repeated (any margin, also one wider than the image: every border pixel wraps on its own).
void WrapPad(const TFastDIB& Img, TFastDIB& Work, int Margin);

// Blurs Img with radius Amount + 1 as a periodic tile: the result equals a blur of the endlessly
// repeated image. Work is scratch. An Amount below 0 leaves the image unchanged.
void SeamlessGaussianBlur(TFastDIB& Img, int Amount, TFastDIB& Work);
// The same from Src into Dst (Src's size and 24 bits; every pixel written; Dst may be Src).
void SeamlessGaussianBlur(const TFastDIB& Src, int Amount, TFastDIB& Work, TFastDIB& Dst);

// Split Gauss: Split Blur passes of amount V, V - 1, ..., 0 (none when V < 0). Each pass starts with a
// stop check, so a pass count that would never end can still be stopped.
void SplitGauss(TFastDIB& Img, int V);

// A fixed filter: nine weights row by row and the divisor.
struct TFixedKernel {
    std::array<int, 9> Weights;
    std::uint16_t Divisor;
};
// The kernel of effect index 0 to 12 (not 6, Classic Emboss); nothing else is asked for.
const TFixedKernel& FixedKernel(int index);
