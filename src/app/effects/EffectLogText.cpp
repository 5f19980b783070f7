// The log line of each catalogue effect.

#include "app/effects/EffectRules.h"
#include "app/main/AppTypes.h"
#include "image/Numeric.h"
#include "platform/NumberText.h"

namespace {

QString N(int v) {
    return QString::number(v);
}

} // namespace

std::optional<QString> EffectLogLine(int lvl, const QString& effect, const TEffectParams& p,
                                     const TEffectContext& c) {
    QString line = effect;
    if (lvl < 6 || lvl >= EffectCount) return line;
    const QString V = N(p.Val(lvl));
    switch (lvl) {
    case 6:
        line += ", Lightness " + V;
        break;
    case 13:
        line += ", Blurriness " + V;
        break;
    case 15:
    case 16: {
        const float peak = lvl == 15 ? p.UDPeakVal : p.LRPeakVal;
        const float wave = lvl == 15 ? p.UDWavVal : p.LRWavVal;
        line += c.Peaks ? ", Peaks " + FloatText(peak) : ", WaveLength " + FloatText(wave);
        line += ", Height " + V;
        line += c.Wrap ? QStringLiteral(", Wrap = True") : QStringLiteral(", Wrap = False");
        break;
    }
    case 17:
        line += ", U/D Peaks " + FloatText(p.UDPeakVal) + ", U/D Height " + N(p.Val(15)) + ", L/R Peaks " +
                FloatText(p.LRPeakVal) + ", L/R Height " + N(p.Val(16));
        break;
    case 18:
        line += ", Looseness " + V;
        break;
    case 19:
        line += ", Magnification " + TwoDecimals(p.FishVal);
        break;
    case 21:
        line += ", Thickness " + V;
        break;
    case 22:
        line += ", Size Difference " + V;
        break;
    case 23:
        line += ", Size of Cell " + V;
        break;
    case 24:
        line += ", Size of Circle " + V;
        break;
    case 25:
        line += ", Noisiness " + V;
        break;
    case 26:
        line += ", Scatterosity " + V;
        break;
    case 27:
        line += ", SwizzleWidth " + V;
        break;
    case 28:
        line += ", Brightness " + V + ", " + c.MapBuf;
        break;
    case 29:
        line += ", Graininess " + V + ", Scale " + FloatText(p.ScaleVal) + ", Turbulence " + N(p.TurbVal);
        break;
    case 30:
        line += ", Bits " + V;
        break;
    case 34:
        line += ", Color " + ColorToRGBStr(c.TintColor);
        break;
    case 37:
        line += ", Pen " + ColorToRGBStr(c.Pen) + ", Brush " + ColorToRGBStr(c.Brush);
        break;
    case 43:
        line += ", Angle " + V;
        break;
    case 45:
        return std::nullopt;
    case 46:
        line += ", Size of Cell " + V;
        break;
    case 47:
        line += ", Number of Bars " + V;
        break;
    case 48:
        line += ", Width " + c.GradWide + ", Height " + c.GradHigh + ", Gradient " + c.GradStyle +
                ", From Color " + ColorToRGBStr(c.GradBegin) + ", To Color " + ColorToRGBStr(c.GradEnd) +
                ", Angle " + c.GradAngle;
        break;
    case 49:
        line += ", % of Gradient " + V;
        break;
    case 50:
        line += ", % of Buffer " + V;
        break;
    case 51:
        line += ", Edge Size " + V + ", Pen " + ColorToRGBStr(c.Pen) + ", Brush " + ColorToRGBStr(c.Brush);
        break;
    case 52:
        line += ", Graininess " + V;
        break;
    case 53:
    case 54:
        line += ", Left/Right " + V + ", Up/Down " + N(lvl == 53 ? p.UDSBlurBuf : p.UDSBlurSelf) +
                ", Repetitions " + N(p.SBlurReps);
        break;
    case 55:
    case 56:
        line += ", Left/Right " + V + ", Up/Down " + N(lvl == 55 ? p.UDWatBuf : p.UDWatSelf);
        break;
    case 57:
        line += ", Colors: " + ColorToRGBStr(c.Pen) + ", Radius " + V + ", Spokes " + N(p.NovaSpokVal) +
                ", Hue " + N(p.NovaHueVal) + ", X Pos: " + N(p.NovaXVal) + ", Y Pos: " + N(p.NovaYVal);
        break;
    case 58:
        line += ", Azimuth " + V + ", Elevation " + N(p.HytElVal) + ", Depth " + N(p.HytDpVal) +
                ", BumpMap " + BoolToTrueFalse(p.HytBmVal);
        break;
    case 59:
    case 60:
    case 62:
    case 63:
        line += ", Amount " + V;
        break;
    case 61:
        line += ", Intensity " + V + ", Color: " + ColorToRGBStr(p.TrUseVal ? c.Pen : 0);
        break;
    case 64:
        line += ", Amplitude " + V + ", Wave Length " + N(p.WvLenVal) + ", Phase " +
                QString::number(Round(p.WvPhsVal)) + ", Reflective " + BoolToTrueFalse(p.WvRflVal);
        break;
    case 65:
        line += ", Angle " + V + ", Pinch " + TwoDecimals(p.WhPchVal) + ", Radius " + TwoDecimals(p.WhRadVal);
        break;
    default:
        break;
    }
    return line;
}
