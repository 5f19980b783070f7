// The catalogue effects that run a library routine on the image directly, inside their caller's frame.

#include "app/effects/SeamlessBlur.h"
#include "app/main/ZorvTileMain.h"
#include "image/ZorvFX.h"

bool TfZorvTile::LibraryRoutineReplaces(int index) {
    // The routines below that read `source` and write every pixel of z.
    switch (index) {
    case 6:
    case 15:
    case 16:
    case 17:
    case 35:
    case 51:
    case 61:
    case 62:
        return true;
    default:
        return false;
    }
}

void TfZorvTile::RunLibraryRoutine(int index, const TFastDIB& source) {
    const int V = Val(index);
    const TColor pen = ToolBoxPenColor();
    switch (index) {
    case 6:
        ClassicEmboss(source, z, V);
        break;
    case 15:
    case 16: {
        const TEffectContext c = EffectContext();
        const float period =
            index == 15 ? (c.Peaks ? UDPeakVal : UDWavVal) : (c.Peaks ? LRPeakVal : LRWavVal);
        if (index == 15)
            SineWaveUD(source, z, V, c.Wrap, period, c.Peaks);
        else
            SineWaveLR(source, z, V, c.Wrap, period, c.Peaks);
        break;
    }
    case 17:
        SineWaveBoth(source, z, Val(15), Val(16), UDPeakVal, LRPeakVal);
        break;
    case 27:
        DoSwizzle(V);
        break;
    case 35:
        GrayScale24(source, z);
        break;
    case 51:
        Buttonize(source, z, pen, ToolBoxBrushColor(), V);
        break;
    case 55:
        WaterDisplace(UDWatBuf, V, bufr, z);
        break;
    case 56:
        WaterDisplace(UDWatSelf, V, z, z);
        break;
    case 57:
        // z starts as a copy of the source; the nova is painted over it.
        SuperNova(source, z, GetBValue(pen), GetGValue(pen), GetRValue(pen), NovaXVal, NovaYVal, V,
                  NovaSpokVal, NovaHueVal);
        break;
    case 58:
        HeightMap(z, buf, HytDpVal, V, HytElVal, HytBmVal ? 0 : 1);
        break;
    case 59:
        SplitBlur(z, V);
        break;
    case 60:
        SplitGauss(z, V);
        break;
    case 61:
        TraceEdges(source, z, V, TrUseVal ? pen : 0);
        break;
    case 62:
        RippleTooth(source, z, V);
        break;
    case 63:
        SeamlessEdge(z, V);
        break;
    case 64:
        RadialWaves(z, V, WvLenVal, static_cast<float>(WvPhsVal), WvRflVal);
        break;
    case 65:
        WhirlPinch(z, V, WhPchVal, WhRadVal);
        break;
    default:
        break;
    }
}
