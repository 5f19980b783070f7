#pragma once
// Wrap-around distortions of 24-bit images: radial waves, whirl and pinch, fish-eye, twist, water
// displacement, the ripple tooth, the sine waves and the horizontal scroll, and the bilinear resize that
// other effects use. A sample that falls outside the image wraps to the opposite edge, so an effect on a
// seamless tile leaves it seamless; the reflective radial waves and the sine waves without wrap clamp to
// the edge instead.
//
// Every routine leaves alone an image that has no pixels or is not 24 bits per pixel, and arguments the
// arithmetic cannot take (a zero wavelength, twist amount, fish-eye amount, period or peaks value, or a
// value that is not finite) leave the image unchanged.
//
// The forms taking (Src, Dst) read Src and write every pixel of Dst, which they make Src's size at 24
// bits: Dst gets the bytes the in-place form gives on a copy of Src (a copy of Src where that form would
// leave the image unchanged). Passing one image as both runs the in-place form; an Src without 24-bit
// pixels leaves Dst alone.

#include "image/FastDIB.h"

#include <cmath>
#include <numbers>
#include <vector>

// Concentric waves about the centre, measured as if the image were stretched to a square. Phase is in
// degrees. Reflective waves move samples along the radius and clamp at the edges; the others shift
// them diagonally and wrap. A Wavelength of 0 leaves the image unchanged.
void RadialWaves(TFastDIB& Bmp, int Amplitude, int Wavelength, float Phase, bool Reflective);

// Whirls by Angle degrees (strongest at the centre) and pinches (Pinch limited to -1 .. 1) inside a
// circle scaled by Radius; a Radius of 0 or less, or an image smaller than 3 x 3, is left unchanged.
void WhirlPinch(TFastDIB& Bmp, double Angle, double Pinch, double Radius);

// Dst := Src seen through a fish-eye lens of radius Dst.Width * Amount, sampled bilinearly with
// wrap-around. An Amount of 0 copies Src (tiled over Dst when the sizes differ).
void FishEye(const TFastDIB& Src, TFastDIB& Dst, long double Amount);

// Dst := Src twisted about its centre: a point at distance r is turned by a quarter turn less
// r / Amount radians, sampled bilinearly with wrap-around. An Amount of 0 copies Src.
void TwistFX(const TFastDIB& Src, TFastDIB& Dst, int Amount);

// The angle of (x, y) in radians: +-pi/2 on the vertical axis (y <= 0 gives -pi/2), otherwise
// arctan(y / x), plus pi for x < 0 (so the result lies in -pi/2 .. 3 pi/2).
inline float ArcTan2F(float y, float x) {
    constexpr float pi = std::numbers::pi_v<float>;
    if (x == 0) return y <= 0 ? -pi / 2 : pi / 2;
    const float a = std::atan(y / x);
    return x < 0 ? a + pi : a;
}

// Resamples Bmp in place to NewWidth x NewHeight with bilinear weights. Tiled takes the neighbours past
// the right and bottom edges from column 0 and row 0 (for seamless tiles); otherwise samples stay
// inside the image, and a source one pixel wide or high repeats its single column or row. New sizes of
// 0 or less leave the image unchanged.
void ResizeBilinear(TFastDIB& Bmp, int NewWidth, int NewHeight, bool Tiled);
// The same from Bmp into Dst, a second image made NewWidth x NewHeight (a copy at the same size).
void ResizeBilinear(const TFastDIB& Bmp, TFastDIB& Dst, int NewWidth, int NewHeight, bool Tiled);

// Each pixel of Target takes the one dx .. 2 dx to its right and dy .. 2 dy below it (wrapping), the
// further the brighter the pixel of Map (resized to Target's size when it differs). Map may be Target
// itself: the weights are taken before any pixel changes.
void WaterDisplace(int dy, int dx, const TFastDIB& Map, TFastDIB& Target);

// Saw-tooth shear downwards with wrap-around: column x moves down by x mod P, P the smallest of Amount,
// Height div 2 and 256; a P of 1 or less leaves the image unchanged.
void RippleTooth(TFastDIB& Bmp, int Amount);
void RippleTooth(const TFastDIB& Src, TFastDIB& Dst, int Amount);

// Moves each column up or down by Round(sin(x / p) * Amplitude), p = Width / pi / Period when Peaks
// (Period then counts half waves across the image), otherwise p = Period. With Wrap the column rolls
// around; without, the edge row is repeated where the picture is pulled away from an edge.
void SineWaveUD(TFastDIB& Bmp, int Amplitude, bool Wrap, float Period, bool Peaks);
void SineWaveUD(const TFastDIB& Src, TFastDIB& Dst, int Amplitude, bool Wrap, float Period, bool Peaks);
// The same with rows moved sideways by their y (p from the Height when Peaks).
void SineWaveLR(TFastDIB& Bmp, int Amplitude, bool Wrap, float Period, bool Peaks);
void SineWaveLR(const TFastDIB& Src, TFastDIB& Dst, int Amplitude, bool Wrap, float Period, bool Peaks);
// Both waves at once, gathered with wrap-around: pixel (x, y) comes from
// (x + Round(sin(y / pLR) * AmplitudeLR), y + Round(sin(x / pUD) * AmplitudeUD)) with
// pUD = Width / pi / PeaksUD and pLR = Height / pi / PeaksLR, each amplitude at most the image's size
// on its axis. A peaks value of 0 leaves the image unchanged.
void SineWaveBoth(TFastDIB& Bmp, int AmplitudeUD, int AmplitudeLR, float PeaksUD, float PeaksLR);
void SineWaveBoth(const TFastDIB& Src, TFastDIB& Dst, int AmplitudeUD, int AmplitudeLR, float PeaksUD,
                  float PeaksLR);

// Rolls the image right by Amount columns (left when negative), taken modulo the width.
void ScrollLR(TFastDIB& Bmp, int Amount);
