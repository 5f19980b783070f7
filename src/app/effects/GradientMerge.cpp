#include "app/effects/GradientMerge.h"

#include "app/effects/ColorEffects.h"

void MergeStretched(const TFastDIB& z, const TFastDIB& over, int percent, TFastDIB& buf) {
    if (z.Width <= 0 || z.Height <= 0) return;
    TFastDIB mixed;
    mixed.SetSize(z.Width, z.Height, 24, 0);
    z.Draw(mixed, 0, 0);
    MergeImagesFX(mixed, over, percent); // the same blend as Merge Buffer
    buf.Swap(mixed);
}
