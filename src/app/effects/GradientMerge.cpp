#include "app/effects/GradientMerge.h"

#include "app/effects/ColorEffects.h"

void MergeStretched(TFastDIB& z, const TFastDIB& over, int percent) {
    if (z.Width <= 0 || z.Height <= 0) return;
    MergeImagesFX(z, over, percent); // the same blend as Merge Buffer
}
