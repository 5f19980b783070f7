#pragma once
// The two-colour gradient as pure pixel code: eight styles painted into a 24-bit image, as the
// gradient control shows them. No Qt; the control (GradientControl.h) keeps the picture as its cache.

#include "image/Color.h"
#include "image/FastDIB.h"

#include <cstdint>

enum TGradientStyle : std::uint8_t {
    gsHorizontal,
    gsVertical,
    gsElliptic,
    gsRectangle,
    gsVertCenter,
    gsHorizCenter,
    gsRadial1,
    gsRadial2
};

struct TGradientSettings {
    TColor BeginColor = 0x800000; // navy
    TColor EndColor = 0xFFFF00;   // aqua
    TGradientStyle GradientStyle = gsVertical;
    int Steps = 255;
    bool Ctl3D = false;
    int StartAngle = 0;
};

// a * b / c with a 64-bit product and a division truncating toward zero (the gradient's own rule;
// the shared MulDiv rounds). c must not be 0.
int GradientMulDiv(int a, int b, int c);

// Step k of n between the two colours: each channel begin + GradientMulDiv(k, end - begin, n). Step 0
// is `begin`, step n is `end`. A divisor n of 0 gives `begin`.
TColor GradientStepColor(TColor begin, TColor end, int k, int n);

// The number of steps painting uses: Steps held to 1 .. 65535 (0 is handled by the painters, which
// then paint BeginColor alone).
int PaintSteps(int steps);

// Paints the gradient over the whole of `bm` (24 bits per pixel; an empty image paints nothing), then
// the sunken frame when Ctl3D is set. Pixels no shape covers (the strips gsRectangle leaves) keep what
// `bm` held.
void PaintGradient(TFastDIB& bm, const TGradientSettings& s);

// gsElliptic drawn as 156 ellipses one over the other: the same pixels as PaintGradient gives, much
// slower; kept to check the span painter against.
void PaintEllipticByEllipses(TFastDIB& bm, const TGradientSettings& s);
// gsRectangle drawn as its nested rectangles one over the other (the same check).
void PaintRectangleByRectangles(TFastDIB& bm, const TGradientSettings& s);

// Gives `bm` the size W x H at 24 bits per pixel, keeping the pixels of the part both sizes share and
// filling the rest with white (so nothing uninitialised can show). 0 x 0 releases the pixels.
void ResizeKeepingPixels(TFastDIB& bm, int W, int H);
