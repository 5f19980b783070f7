#pragma once
// Neighbourhood filters and edge treatments on 24-bit images. Filters that look at neighbours treat
// the image as a tile: the neighbour beyond an edge is the pixel at the opposite edge. Images of any
// other depth, and images without pixels, are left unchanged.
//
// Routines taking (Src, Dst) read Src and write every pixel of Dst, which they make Src's size at 24
// bits; they give the bytes the in-place routine gives on a copy of Src. Passing one image as both runs
// the in-place form. An Src without 24-bit pixels leaves Dst alone.

#include "image/Color.h"
#include "image/FastDIB.h"

#include <cstdint>
#include <span>

// 3x3 convolution with wrap-around. Kernel holds 9 weights in row order (row above, own row, row
// below; left, centre, right). Every channel := the weighted sum (64-bit) divided by Divisor, truncated
// toward zero and clamped to 0..255. A Divisor of 0 or fewer than 9 weights leave the image unchanged.
void Convolve3x3(std::span<const int> Kernel, std::uint16_t Divisor, TFastDIB& Bmp);
// The same from Src into Dst, without keeping rows aside; a Divisor of 0 or fewer than 9 weights copy Src.
void Convolve3x3(std::span<const int> Kernel, std::uint16_t Divisor, const TFastDIB& Src, TFastDIB& Dst);

// Every channel := (77 r + 151 g + 28 b) shr 8.
void GrayScale24(TFastDIB& Bmp);
void GrayScale24(const TFastDIB& Src, TFastDIB& Dst);

// Work becomes a copy of Bmp; then Bmp (x, y) := Amount div 2 + Work (x + 2, y + 2) - Work (x, y)
// per channel, wrapped and clamped.
void ClassicEmboss(TFastDIB& Bmp, TFastDIB& Work, int Amount);
// Dst (x, y) := Amount div 2 + Src (x + 2, y + 2) - Src (x, y), without a working copy.
void ClassicEmboss(const TFastDIB& Src, TFastDIB& Dst, int Amount);

// A bevel of Width pixels on every edge, fading to Color1 on the right and bottom and to Color2 on the
// left and top. The edge is limited to the image's size; an edge under 2 pixels changes nothing.
void Buttonize(TFastDIB& Bmp, TColor Color1, TColor Color2, int Width);
void Buttonize(const TFastDIB& Src, TFastDIB& Dst, TColor Color1, TColor Color2, int Width);

// In place from the top row, left to right: every channel := the mean (shr 2) of the four pixels at
// (x +- d, y +- d), wrapped. Pixels already rewritten are read in their new state.
void SplitBlur(TFastDIB& Bmp, int Distance);

// Paints Color on one side of every boundary between differently coloured areas (colours compared
// exactly); the image is treated as a tile. Passes after the second repeat the second.
void TraceEdges(TFastDIB& Bitmap, int Intensity, TColor Color);
void TraceEdges(const TFastDIB& Src, TFastDIB& Dst, int Intensity, TColor Color);

// Makes the image tileable: each edge strip of Width pixels fades into a mirror of the opposite edge
// (right and bottom first, then left and top against them). Too wide a strip is cut to half the
// smaller side; a strip under 2 pixels changes nothing.
void SeamlessEdge(TFastDIB& Bmp, int Width);

// Fades the right strip (Width div Divisor columns) and the bottom strip (Height div Divisor rows) into
// mirrors of the opposite edges. A strip under 2 pixels is skipped; Divisor below 1 changes nothing.
void EdgeMerge(TFastDIB& Bmp, int Divisor);
