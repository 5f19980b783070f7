#include "app/effects/GradientMerge.h"

#include "app/effects/ColorEffects.h"
#include "image/ImagePair.h"

void MergeStretched(const TFastDIB& z, const TFastDIB& over, int percent, TFastDIB& buf) {
    if (&z != &buf && !PrepareTarget(z, buf)) return;
    if (over.Empty() || over.Width <= 0 || over.Height <= 0) {
        if (&z != &buf) CopyPixels(z, buf); // nothing to mix in
        return;
    }
    MergeImagesFX(z, buf, over, percent); // the same blend as Merge Buffer
}
