// The main window's colour, blend, plasma and merge effects.

#include "app/dialogs/GradientDesigner.h"
#include "app/effects/ColorEffects.h"
#include "app/effects/Plasma.h"
#include "app/main/ZorvTileMain.h"
#include "controls/GradientControl.h"
#include "image/FastFX.h"
#include "image/Numeric.h"
#include "platform/MessageBoxes.h"

#include <QAction>
#include <QColorDialog>

namespace {

const std::array<std::uint16_t, 256>& LiteRay() {
    static const auto table = MakeLiteRay();
    return table;
}

TfZorvTile::TColorDialogHook& colorDialogHook() {
    static TfZorvTile::TColorDialogHook hook;
    return hook;
}

} // namespace

void TfZorvTile::SetColorDialogHook(TColorDialogHook hook) {
    colorDialogHook() = std::move(hook);
}

bool TfZorvTile::DoColorNoise(int Amount) {
    TEffectFrame frame(*this);
    AddNoise(z, static_cast<std::uint8_t>(Amount & 255), false);
    return true;
}

bool TfZorvTile::DoMarble(int Roughness, int Turb, float Scale) {
    if (Turb == 0) {
        ShowMessage("Turbulence cannot be zero");
        return false;
    }
    if (z.Width < 2 || z.Height < 2) return false;
    // One seed for both fields, so that they differ however fast the clock runs.
    Randomize();
    TEffectFrame frame(*this);
    MarbleFX(z, Roughness, Turb, Scale);
    return true;
}

bool TfZorvTile::DoColorRotate(int N) {
    TEffectFrame frame(*this, QString(), true);
    ColorRotateFX(frame.Source(), z, N);
    return true;
}

bool TfZorvTile::DoNegative() {
    TLightFrame frame(*this, QString(), true);
    NegativeFX(frame.Source(), z);
    return true;
}

bool TfZorvTile::DoBrighten() {
    TEffectFrame frame(*this, QString(), true);
    BrightenFX(frame.Source(), z);
    return true;
}

bool TfZorvTile::DoLighten() {
    TEffectFrame frame(*this, QString(), true);
    LightenFX(frame.Source(), z, LiteRay());
    return true;
}

bool TfZorvTile::DoTint() {
    std::optional<TColor> chosen;
    if (colorDialogHook()) {
        chosen = colorDialogHook()(TintColor);
    } else {
        const QColor c = QColorDialog::getColor(
            QColor(GetRValue(TintColor), GetGValue(TintColor), GetBValue(TintColor)), this);
        if (c.isValid()) chosen = RGBColor(c.red(), c.green(), c.blue());
    }
    if (!chosen) return false;
    TintColor = *chosen;
    TEffectFrame frame(*this, QString(), true);
    TintImage(frame.Source(), z, static_cast<std::uint8_t>(GetRValue(TintColor)),
              static_cast<std::uint8_t>(GetGValue(TintColor)),
              static_cast<std::uint8_t>(GetBValue(TintColor)));
    return true;
}

bool TfZorvTile::DoEraseToBlack() {
    TLightFrame frame(*this, QString(), true); // every pixel is written, none read
    EraseToBlackFX(z);
    return true;
}

bool TfZorvTile::DoExchangeColor(TColor From, TColor To, std::uint16_t Tolerance) {
    TEffectFrame frame(*this, QString(), true);
    ExchangeColorFX(frame.Source(), z, From, To, Tolerance);
    return true;
}

bool TfZorvTile::DoGradientBars(int N) {
    if (N < 1) return false;
    // The two colours of the gradient designer's gradient control.
    const TColor c1 = fGradient->zGrad->BeginColor(), c2 = fGradient->zGrad->EndColor();
    TEffectFrame frame(*this, QString(), true); // every pixel is written, none read
    GradientBarsFX(z, c1, c2, N);
    return true;
}

bool TfZorvTile::DoMergeBuffer(int P) {
    // With a buffer to mix in, every pixel is written from the picture.
    const bool mixes = !bufr.Empty() && bufr.Width > 0 && bufr.Height > 0;
    TEffectFrame frame(*this, QString(), mixes);
    MergeImagesFX(frame.Source(), z, bufr, P);
    return true;
}

bool TfZorvTile::DoPlasmaCloud(int Roughness) {
    if (z.Width < 2 || z.Height < 2) return false;
    Randomize();
    TEffectFrame frame(*this);
    PlasmaCloudFX(z, Roughness);
    return true;
}

bool TfZorvTile::DoStretchBlur(int UD, int LR, TFastDIB& Src, int Reps) {
    if (UD == 0 && LR == 0) return false;
    TEffectFrame frame(*this);
    // Effect 53 weighs by the buffer; 54 by each previous pass of the image itself.
    StretchBlurFX(z, lvl == 53 ? &Src : nullptr, LR, UD, Reps);
    return true;
}
