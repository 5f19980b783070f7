#include "app/effects/SliderPreview.h"

#include "image/FastFX.h"

void PreviewAdjust(TFastDIB& Bmp, int l, int c, int s, int r, int g, int b) {
    if (l != 0) AdjustLightness(Bmp, l, l, l);
    if (c != 0) AdjustContrast(Bmp, c, c, c);
    if (s != 0) AdjustSaturation(Bmp, s);
    if (r != 0 || g != 0 || b != 0) AdjustRGB(Bmp, r, g, b);
}
