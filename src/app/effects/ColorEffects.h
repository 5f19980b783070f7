#pragma once
// Colour, blend and merge effects of the editor as pure functions on 24-bit images. Each leaves alone
// an image without pixels or of another depth. The forms taking (Src, Dst) read Src and write every
// pixel of Dst, which must have Src's size (they may be one image); they give the in-place result.

#include "image/Color.h"
#include "image/FastDIB.h"

#include <array>
#include <cstdint>

// Lighten's table: entry i = nint((i / 255) ^ 0.85 * 255).
std::array<std::uint16_t, 256> MakeLiteRay();

// Rotates every pixel's 24-bit value R | G << 8 | B << 16 left by N bits (N taken modulo 24; N <= 0
// changes nothing).
void ColorRotateFX(TFastDIB& Bmp, int N);
void ColorRotateFX(const TFastDIB& Src, TFastDIB& Dst, int N);
// The one-bit step of Color Rotate on a 24-bit value.
constexpr std::uint32_t RotateColorLeft(std::uint32_t v) {
    return ((v << 1) | ((v >> 23) & 1u)) & 0xFFFFFFu;
}
// Every channel c := 255 - c.
void NegativeFX(TFastDIB& Bmp);
void NegativeFX(const TFastDIB& Src, TFastDIB& Dst);
// Every channel c := c + nint(c * 0.05), at most 255.
void BrightenFX(TFastDIB& Bmp);
void BrightenFX(const TFastDIB& Src, TFastDIB& Dst);
// Every channel c := the low byte of LiteRay[c].
void LightenFX(TFastDIB& Bmp, const std::array<std::uint16_t, 256>& LiteRay);
void LightenFX(const TFastDIB& Src, TFastDIB& Dst, const std::array<std::uint16_t, 256>& LiteRay);
// Every pixel := the tint colour scaled by max(R, G, B) / 255.
void TintImage(TFastDIB& Bmp, std::uint8_t R, std::uint8_t G, std::uint8_t B);
void TintImage(const TFastDIB& Src, TFastDIB& Dst, std::uint8_t R, std::uint8_t G, std::uint8_t B);
// Every pixel := black.
void EraseToBlackFX(TFastDIB& Bmp);
// Pixels whose channels each lie within Tolerance of From's become To.
void ExchangeColorFX(TFastDIB& Bmp, TColor From, TColor To, std::uint16_t Tolerance);
void ExchangeColorFX(const TFastDIB& Src, TFastDIB& Dst, TColor From, TColor To, std::uint16_t Tolerance);
// N bars of |sine| blends from c1 to c2 across the width, every row alike. False (no change) for N < 1.
bool GradientBarsFX(TFastDIB& Bmp, TColor c1, TColor c2, int N);
// Bmp := Other (stretched to Bmp's size, nearest neighbour) weighted by P percent over Bmp. P is kept
// to 0..100. An Other without pixels leaves Bmp alone.
void MergeImagesFX(TFastDIB& Bmp, const TFastDIB& Other, int P);
void MergeImagesFX(const TFastDIB& Src, TFastDIB& Dst, const TFastDIB& Other, int P);

// Reps passes of: shift Bmp by (LR, UD) with wrap-around and blend it over the previous pass, weighted
// by Weight (stretched to Bmp's size) or, with Weight nil, by the previous pass itself; then a
// contrast step of 1 and a shift back by half the total. False (no change) when LR and UD are both 0.
bool StretchBlurFX(TFastDIB& Bmp, const TFastDIB* Weight, int LR, int UD, int Reps);
// StretchBlur uses a vector kernel where the processor has one; tests switch it off to compare.
void SetBlendKernelEnabled(bool enabled);
bool BlendKernelEnabled();
