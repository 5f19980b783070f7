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
