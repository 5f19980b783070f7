#pragma once
// Separable Gaussian blur of a 24-bit image: every row, then every column, with a kernel of at most
// 19 taps; samples beyond an end repeat the end pixel. Callers that want a seamless result pad the
// image with wrapped pixels first.

#include "image/FastDIB.h"

#include <array>
#include <cstdint>

// Weights are indexed -10..10; after BuildGaussKernel only -Size..Size are used.
struct TGaussWeights {
    std::array<float, 21> w{};
    float& operator[](int j) { return w[static_cast<std::size_t>(j + 10)]; }
    float operator[](int j) const { return w[static_cast<std::size_t>(j + 10)]; }
};

struct TGaussKernel {
    std::uint8_t Size = 0; // 1..9 once built
    TGaussWeights Weights;
};

// Normalised Gaussian weights of the given radius, the tail trimmed while it weighs less than
// Step / (2 * Range), then normalised again.
void BuildGaussKernel(TGaussKernel& K, double Radius, double Range, double Step);

// High for i > High, 0 for i < 0, else i.
int ClampIndex(int High, int i);

// lo below lo, hi from hi on, else truncated. A sum of weights that falls a hair short of 1 must not
// lose a level, so the value is truncated after adding a tiny amount (2^-13).
int ClampRound(int lo, int hi, double x);

// Blurs Line[0..High] with K (ends repeated) through Temp (at least High + 1 pixels).
void BlurLine(TFColor* Line, int High, const TGaussKernel& K, TFColor* Temp);

// Blurs rows then columns. Throws std::runtime_error for anything but a 24-bit image; a Radius that is
// not above 0 leaves the image unchanged.
void GBlur(TFastDIB& Bitmap, double Radius);
