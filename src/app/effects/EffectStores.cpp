// Apply's checks and stores, and the guard of every effect.

#include "app/effects/EffectRules.h"
#include "platform/NumberText.h"

#include <array>

bool AnyAmountEmpty(const TToolBoxInputs& in) {
    for (const QString* t :
         {&in.eAmtMain, &in.eAmtSecond, &in.ePenSize, &in.eYPos, &in.eHeight2, &in.ePeaks2})
        if (t->isEmpty()) return true;
    return false;
}

bool AnyAmountNotNumeric(const TToolBoxInputs& in) {
    double v = 0;
    for (const QString* t :
         {&in.eAmtMain, &in.eAmtSecond, &in.ePenSize, &in.eYPos, &in.eHeight2, &in.ePeaks2})
        if (!TextToDouble(*t, v)) return true;
    return false;
}

void ApplyStores(int index, TToolBoxInputs& in, TEffectParams& p) {
    int& V = p.Val(index >= 0 && index < EffectCount ? index : 0);
    switch (index) {
    case 6:
    case 18:
    case 22:
    case 23:
    case 24:
    case 25:
    case 26:
    case 27:
    case 28:
    case 30:
    case 37:
    case 43:
    case 45:
    case 46:
    case 47:
    case 49:
    case 50:
    case 51:
    case 52:
    case 59:
    case 60:
    case 62:
    case 63:
        V = StrToInt(in.eAmtMain);
        break;
    case 13:
        if (StrToInt(in.eAmtMain) > 5) in.eAmtMain = QStringLiteral("1");
        V = StrToInt(in.eAmtMain);
        break;
    case 15:
    case 16: {
        V = StrToInt(in.eAmtSecond);
        float& peak = index == 15 ? p.UDPeakVal : p.LRPeakVal;
        float& wave = index == 15 ? p.UDWavVal : p.LRWavVal;
        (in.ckbxPeaks ? peak : wave) = StrToSingle(in.eAmtMain);
        break;
    }
    case 17:
        p.UDPeakVal = StrToSingle(in.eAmtMain);
        p.Val(15) = StrToInt(in.eAmtSecond);
        p.LRPeakVal = StrToSingle(in.ePeaks2);
        p.Val(16) = StrToInt(in.eHeight2);
        break;
    case 19:
        p.FishVal = StrToSingle(in.eAmtMain);
        break;
    case 21:
        V = StrToInt(in.eAmtMain);
        if (V % 2 == 0) V = V + 1;
        if (V > 9) V = 9;
        break;
    case 29:
        V = StrToInt(in.eAmtMain);
        p.ScaleVal = StrToSingle(in.eAmtSecond);
        p.TurbVal = StrToInt(in.ePeaks2);
        break;
    case 53:
    case 54:
        V = StrToInt(in.eAmtSecond);
        (index == 53 ? p.UDSBlurBuf : p.UDSBlurSelf) = StrToInt(in.eAmtMain);
        p.SBlurReps = StrToInt(in.ePeaks2);
        break;
    case 55:
    case 56:
        V = StrToInt(in.eAmtSecond);
        (index == 55 ? p.UDWatBuf : p.UDWatSelf) = StrToInt(in.eAmtMain);
        break;
    case 57:
        V = StrToInt(in.eAmtMain);
        p.NovaSpokVal = StrToInt(in.eAmtSecond);
        p.NovaHueVal = StrToInt(in.ePeaks2);
        p.NovaXVal = StrToInt(in.eHeight2);
        p.NovaYVal = StrToInt(in.eYPos);
        break;
    case 58:
        V = StrToInt(in.eAmtMain);
        p.HytElVal = StrToInt(in.eAmtSecond);
        p.HytDpVal = StrToInt(in.ePeaks2);
        p.HytBmVal = in.cbBump;
        break;
    case 61:
        V = StrToInt(in.eAmtMain);
        p.TrColVal = in.Pen;
        p.TrUseVal = in.cbBump;
        break;
    case 64:
        V = StrToInt(in.eAmtMain);
        p.WvLenVal = StrToInt(in.eAmtSecond);
        p.WvPhsVal = StrToInt(in.ePeaks2);
        p.WvRflVal = in.cbBump;
        break;
    case 65:
        V = StrToInt(in.eAmtMain);
        p.WhPchVal = StrToSingle(in.eAmtSecond);
        p.WhRadVal = StrToSingle(in.ePeaks2);
        if (p.WhPchVal > 1) p.WhPchVal = 1;
        if (p.WhPchVal < -1) p.WhPchVal = -1;
        if (p.WhRadVal < 0) p.WhRadVal = 0;
        break;
    default:
        break;
    }
}

std::optional<QString> EffectGuard(int index, const TEffectParams& p, const TEffectContext& c) {
    if (index < 0 || index >= EffectCount) return std::nullopt;
    const int V = p.Val(index);
    const auto refuse = [](const char* text) { return std::optional<QString>(QString::fromLatin1(text)); };
    switch (index) {
    case 13:
        if (V < 0) return refuse("Gaussian Blur: the Blurriness must be 0 or more (Range: 1 - 5).");
        break;
    case 15:
    case 16: {
        const char* name = index == 15 ? "SineWave U/D" : "SineWave L/R";
        const float period =
            c.Peaks ? (index == 15 ? p.UDPeakVal : p.LRPeakVal) : (index == 15 ? p.UDWavVal : p.LRWavVal);
        if (period == 0)
            return QString("%1: the %2 must not be 0.").arg(name, c.Peaks ? "Peaks" : "Wavelength");
        if (!c.Wrap && V < 0)
            return QString("%1: without Wrap the Height must be 0 or more (Range: 0 - %2).")
                .arg(name, index == 15 ? "Height" : "Width");
        break;
    }
    case 17:
        if (p.UDPeakVal == 0 || p.LRPeakVal == 0)
            return refuse("SineWave Both: Peaks U/D and Peaks L/R must not be 0.");
        break;
    case 18:
        if (V == 0) return refuse("Twist: the Looseness must not be 0 (Range: 1 - 500).");
        break;
    case 19:
        if (!(p.FishVal > 0))
            return refuse("FishEye: the Magnification must be above 0 (Range: 0.01 - 5.00).");
        break;
    case 21:
        if (V < 1) return refuse("Astroid: the Thickness must be 1 or more (Range: 1 - 9 (Odd)).");
        break;
    case 22:
        if (V < 1) return refuse("Concentric Rects: the Size Difference must be 1 or more (Range: 1 - 100).");
        break;
    case 23:
        if (V < 1) return refuse("Mosaic: the Size of Cell must be 1 or more (Range: 2 - 30).");
        break;
    case 24:
        if (V < 1) return refuse("Circle Mosaic: the Size of Circle must be 1 or more (Range: 4 - 40).");
        break;
    case 26:
        if (V < 0) return refuse("Spray: the Scatterosity must be 0 or more (Range: 1 - 250).");
        break;
    case 29:
        if (p.TurbVal == 0) return refuse("Turbulence cannot be zero");
        break;
    case 47:
        if (V < 1) return refuse("Gradient Bars: the Number of Bars must be 1 or more (Range: 1 - 50).");
        break;
    case 49:
        if (V < 0 || V > 100) return refuse("Merge Gradient: the % of Gradient must lie between 0 and 100.");
        break;
    case 50:
        if (V < 0 || V > 100) return refuse("Merge Buffer: the % of Buffer must lie between 0 and 100.");
        break;
    case 57:
        if (V == 0 || p.NovaSpokVal <= 0)
            return refuse("SuperNova: the Radius must not be 0 and the Spokes must be 1 or more.");
        break;
    case 58:
        if ((p.HytDpVal & 0xFFFF) == 0)
            return refuse("HeightMap: the Depth must not be 0 or a multiple of 65536 (Range: 1 - 65535).");
        break;
    case 63:
        if (V < 2) return refuse("Seamless Edge: the Amount must be 2 or more.");
        break;
    case 64:
        if (p.WvLenVal == 0) return refuse("Waves: the Wave Length must not be 0.");
        break;
    default:
        break;
    }
    return std::nullopt;
}
