// The tool box's parameter panel for each effect index.

#include "app/effects/EffectRules.h"
#include "image/Numeric.h"
#include "platform/NumberText.h"

namespace {

TPanelEdit Edit(const char* label, const QString& text) {
    return TPanelEdit{true, QString::fromLatin1(label), text};
}
TPanelEdit Edit(const char* label, int v) {
    return Edit(label, QString::number(v));
}

// Effects whose panel is a single edit with the main value: help text and label.
struct TSingle {
    int Index;
    const char* Help;
    const char* Label;
};
constexpr TSingle Singles[] = {
    {6, "Range: 1 - 510", "Lightness"},         {13, "Range: 1 - 5", "Blurriness"},
    {18, "Range: 1 - 500", "Looseness"},        {21, "Range: 1 - 9 (Odd)", "Thickness"},
    {22, "Range: 1 - 100", "Size Difference"},  {23, "Range: 2 - 30", "Size of Cell"},
    {24, "Range: 4 - 40", "Size of Circle"},    {25, "Range: 1 - 500", "Noisiness"},
    {26, "Range: 1 - 250", "Scatterosity"},     {27, "Range: 1 - 200", "SwizzleWidth"},
    {28, "Range: 10 - 30", "Brightness"},       {30, "Range: 1 - 8", "Bits to Rotate"},
    {37, "Exchg Pen < Brush", "Tolerance Amt"}, {43, "Range: 1 - 359", "Angle"},
    {45, "Range: 1 - Width", "Scroll Amt"},     {46, "Range: 3 - 30", "Size of Cell"},
    {47, "Range: 1 - 50", "Number of Bars"},    {49, "Range: 1 - 99", "% of Gradient"},
    {50, "Range: 1 - 99", "% of Buffer"},       {51, "Range: 1 - 45", "Edge Size"},
    {52, "Lower = Smoother", "Graininess"},     {59, "Split offset", "Split Amount"},
    {60, "Bluriness", "Blur Amount"},           {61, "Default is Black", "Intensity"},
    {62, "Width of Ripple", "Amount"},          {63, "Width of Seam", "Amount"},
};

} // namespace

TEffectPanel EffectPanel(int lvl, const TEffectParams& p, bool peaksTicked) {
    TEffectPanel panel;
    panel.Help = QStringLiteral("No User Settings");
    if (lvl == -1) panel.Help = QStringLiteral("Choose an effect...");
    if (lvl >= 0 && lvl < EffectCount) {
        const int V = p.Val(lvl);
        for (const TSingle& s : Singles)
            if (s.Index == lvl) {
                panel.Help = QString::fromLatin1(s.Help);
                panel.Main = Edit(s.Label, V);
            }
        switch (lvl) {
        case 15:
        case 16:
            panel.Help = lvl == 15 ? QStringLiteral("Range: 1 - Height") : QStringLiteral("Range: 1 - Width");
            panel.Main = peaksTicked ? Edit("Peaks", FloatText(lvl == 15 ? p.UDPeakVal : p.LRPeakVal))
                                     : Edit("Wavelength", FloatText(lvl == 15 ? p.UDWavVal : p.LRWavVal));
            panel.Second = Edit("Height", V);
            panel.PeaksWrap = true;
            break;
        case 17:
            panel.Help = QString(); // "Range: 1 - Width" is emptied again: the label shows nothing
            panel.Main = Edit("Peaks U/D", FloatText(p.UDPeakVal));
            panel.Second = Edit("Height", p.Val(15));
            panel.Peaks2 = Edit("Peaks L/R", FloatText(p.LRPeakVal));
            panel.Height2 = Edit("Height", p.Val(16));
            break;
        case 19:
            panel.Help = QStringLiteral("Range: 0.01 - 5.00");
            panel.Main = Edit("Magnification", TwoDecimals(p.FishVal));
            break;
        case 29:
            panel.Help = QStringLiteral("Marble Ctls");
            panel.Main = Edit("Graininess", V);
            panel.Second = Edit("Scale", FloatText(p.ScaleVal));
            panel.Peaks2 = Edit("Turbulence", p.TurbVal);
            break;
        case 45:
            panel.ScrollBars = true;
            break;
        case 51:
            panel.ButtonHint = true;
            break;
        case 53:
        case 54:
            panel.Help = QStringLiteral("-Width/Hgt to Width/Hgt");
            panel.Main = Edit("U/D Amount", lvl == 53 ? p.UDSBlurBuf : p.UDSBlurSelf);
            panel.Second = Edit("L/R Amount", V);
            panel.Peaks2 = Edit("Repetitions", p.SBlurReps);
            break;
        case 55:
        case 56:
            panel.Help = QStringLiteral("-Width/Hgt to Width/Hgt");
            panel.Main = Edit("U/D Amount", lvl == 55 ? p.UDWatBuf : p.UDWatSelf);
            panel.Second = Edit("L/R Amount", V);
            break;
        case 57:
            panel.Help = QStringLiteral("Hue 0 - 360");
            panel.Main = Edit("Radius", V);
            panel.Second = Edit("Spokes", p.NovaSpokVal);
            panel.Peaks2 = Edit("Random Hue", p.NovaHueVal);
            panel.Height2 = Edit("X Pos", p.NovaXVal);
            panel.YPos = Edit("Y Pos", p.NovaYVal);
            break;
        case 58:
            panel.Help = QStringLiteral("Azimuth is Angle");
            panel.Main = Edit("Azimuth", V);
            panel.Second = Edit("Elevation", p.HytElVal);
            panel.Peaks2 = Edit("Depth", p.HytDpVal);
            panel.Bump = true;
            panel.BumpCaption = QStringLiteral("Bump Map");
            panel.BumpChecked = p.HytBmVal;
            break;
        case 61:
            panel.Bump = true;
            panel.BumpCaption = QStringLiteral("Use Pen Color");
            panel.BumpChecked = p.TrUseVal;
            break;
        case 64:
            panel.Help = QStringLiteral("Phase is Shift Point");
            panel.Main = Edit("Amplitude", V);
            panel.Second = Edit("Wave Length", p.WvLenVal);
            panel.Peaks2 = Edit("Phase", QString::number(Round(p.WvPhsVal)));
            panel.Bump = true;
            panel.BumpCaption = QStringLiteral("Reflective");
            panel.BumpChecked = p.WvRflVal;
            break;
        case 65:
            panel.Help = QStringLiteral("Angle is Amount of Effect");
            panel.Main = Edit("Angle", V);
            panel.Second = Edit("Pinch (-1 to 1)", TwoDecimals(p.WhPchVal));
            panel.Peaks2 = Edit("Radius (0 to 2)", TwoDecimals(p.WhRadVal));
            break;
        default:
            break;
        }
    }
    panel.Default =
        panel.Help != QLatin1String("No User Settings") && panel.Help != QLatin1String("Choose an effect...");
    return panel;
}
