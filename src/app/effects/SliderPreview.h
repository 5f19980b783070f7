#pragma once
// The colour sliders' adjustment, in its fixed order: lightness, contrast, saturation (the slider's
// position itself, skipped at 0), then the three channels; a zero amount skips its step.

#include "image/FastDIB.h"

void PreviewAdjust(TFastDIB& Bmp, int l, int c, int s, int r, int g, int b);
