#pragma once
// Geometric, mosaic and remapping effects of the editor as pure functions on 24-bit images. An effect
// that gives the image a new size builds it aside and swaps it in, so a failed allocation leaves the
// image as it was. Each leaves alone an image without pixels or of another depth.

#include "image/FastDIB.h"

// Spiral remap: rows of Src are laid along 721 spirals about the centre of Dst (same size as Src);
// pixels no spiral reaches keep their value in Dst.
void CircularFX(const TFastDIB& Src, TFastDIB& Dst);
// Repeatedly shrunk copies drawn centred, N pixels smaller on each side per step. False (no change)
// for N < 1.
bool ConcentricRectsFX(TFastDIB& Bmp, int N);
// Whether Mosaic and Circle Mosaic accept the cell size N for a W x H image.
bool MosaicCellOk(int W, int H, int N);
// N x N cells of one colour (the centre pixel of the cell); the partial cells at the right and bottom
// take pixels of the last column and row. False (no change) when the cell size is refused.
bool MosaicFX(TFastDIB& Bmp, int N);
// Dst (x, y) := Src at a random offset of up to Amount in each direction, wrapped. Amount <= 0 copies.
void SprayPixels(const TFastDIB& Src, TFastDIB& Dst, int Amount);
// D becomes 2W x 2H: itself, mirrored left-right to its right, upside down below, both to the
// bottom-right.
void FourWayFlip(TFastDIB& D);
// Sine wave of amplitude N (peaks mode, wrapped), four-way flip, then back to the former size.
void SwizzleFX(TFastDIB& Bmp, int N);
// Lights each channel of Bmp by sin(t / 255) * m, t the same channel of Texture (resized to Bmp's
// size, bilinear, when it differs; a texture one pixel wide or high is repeated).
void MapTextureFX(TFastDIB& Bmp, const TFastDIB& Texture, float m);
// Quarter turn clockwise: pixel (x, y) goes to (H - 1 - y, x).
void Rotate90(TFastDIB& Bmp);
// The same from Src into Dst (a second image, made H x W).
void Rotate90(const TFastDIB& Src, TFastDIB& Dst);
// Dst := Src stretched to W x H, nearest neighbour (sizes below 1 leave Dst alone).
void ResizeFastFX(const TFastDIB& Src, TFastDIB& Dst, int W, int H);
// Dst := Src turned by Angle degrees about (cx, cy) with bilinear wrap-around sampling; Src is centred
// in Dst when their sizes differ.
void RotateWrapped(const TFastDIB& Src, TFastDIB& Dst, int cx, int cy, double Angle);
// A 45-degree turn of a square image that keeps it seamless. False (no change) when not square.
bool RotateSeamlessFX(TFastDIB& Bmp);
