// The live preview of the tool box's six colour sliders.

#include "app/effects/SliderPreview.h"
#include "app/dialogs/ToolBox.h"
#include "app/main/ZorvTileMain.h"
#include "image/FastFX.h"

#include <QScrollBar>

void TfZorvTile::ToolScroll() {
    if (!fToolBox) return;
    // buf takes z's size and pixels: z may have changed size since the preview began, and copying its
    // bytes into a buffer of the old size would overrun it.
    CopyDIB(z, buf);
    PreviewAdjust(buf, fToolBox->sbBright->value() - 255, fToolBox->sbContrast->value() - 255,
                  fToolBox->sbSaturation->value(), fToolBox->sbRed->value() - 255,
                  fToolBox->sbGreen->value() - 255, fToolBox->sbBlue->value() - 255);
    SetToIm(buf);
}

void PreviewAdjust(TFastDIB& Bmp, int l, int c, int s, int r, int g, int b) {
    if (l != 0) AdjustLightness(Bmp, l, l, l);
    if (c != 0) AdjustContrast(Bmp, c, c, c);
    if (s != 0) AdjustSaturation(Bmp, s);
    if (r != 0 || g != 0 || b != 0) AdjustRGB(Bmp, r, g, b);
}
