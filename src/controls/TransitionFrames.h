#pragma once
// The frame arithmetic of the picture-transition control, without Qt: the cross-fade of two 24-bit
// pictures by a weight out of 32, and the shuffled pixel list of the random-pixel dissolve.

#include "image/FastDIB.h"

#include <cstdint>
#include <vector>

// Weight of frame i of a blend with `rate` frames after the first: (i * 32) div rate.
int BlendWeight(std::int64_t i, int rate);

// dest := (from * (32 - w) + to * w) div 32 for every byte of the pictures' memory (the row padding
// included), two bytes per multiplication on whole 32-bit words. w = 0 writes nothing. The three
// pictures must be 24-bit and of one size; otherwise nothing is written and false comes back.
bool BlendBits(const TFastDIB& from, const TFastDIB& to, TFastDIB& dest, int w);

struct TPixelPair {
    int row, col;
};

// Every pixel of a W x H picture, listed row by row, then shuffled by swapping pair i with a random
// pair for every i. The process-wide generator is reseeded from the clock first.
std::vector<TPixelPair> BuildPixelList(int W, int H);

// Pixels per dissolve frame: numPix div rate, a rate below 1 taken as 1. 0 when there are fewer pixels
// than the rate.
std::int64_t DissolveChunk(std::int64_t numPix, int rate);

// Copies the listed pixels from `from` to `to` (both 24-bit). A pair outside either picture (one made
// smaller since the list was built) is skipped.
void CopyPixels(const TPixelPair* first, const TPixelPair* last, const TFastDIB& from, TFastDIB& to);
