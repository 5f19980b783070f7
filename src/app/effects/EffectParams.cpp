#include "app/effects/EffectParams.h"

#include <utility>

void TEffectParams::SetEffectDefaults() {
    EffectDefs.fill(0);
    constexpr std::pair<int, int> defs[] = {
        {6, 250}, {13, 2},  {15, 50}, {16, 64},  {18, 100}, {21, 5},  {22, 25}, {23, 3},   {24, 6},  {25, 50},
        {26, 15}, {27, 64}, {28, 18}, {29, 700}, {30, 8},   {37, 25}, {43, 45}, {45, 64},  {46, 3},  {47, 3},
        {49, 50}, {50, 50}, {51, 20}, {52, 700}, {53, 1},   {54, -1}, {55, 64}, {56, 128}, {57, 32}, {58, 32},
        {59, 4},  {60, 3},  {61, 1},  {62, 16},  {63, 16},  {64, 24}, {65, 270}};
    for (const auto& [i, v] : defs) EffectDefs[static_cast<std::size_t>(i)] = v;
    EffectVals = EffectDefs;
    UDPeakVal = UDPeakDef;
    LRPeakVal = LRPeakDef;
    UDWavVal = UDWavDef;
    LRWavVal = LRWavDef;
    FishVal = FishDef;
    ScaleVal = ScaleDef;
    TurbVal = TurbDef;
    UDWatSelf = UDWatSelfDef;
    UDWatBuf = UDWatBufDef;
    UDSBlurSelf = UDSBlurSelfDef;
    UDSBlurBuf = UDSBlurBufDef;
    SBlurReps = SBlurRepsDef;
    NovaSpokVal = NovaSpokDef;
    NovaHueVal = NovaHueDef;
    NovaXVal = NovaXDef;
    NovaYVal = NovaYDef;
    HytElVal = HytElDef;
    HytDpVal = HytDpDef;
    HytBmVal = HytBmDef;
    TrColVal = TrColDef;
    TrUseVal = TrUseDef;
    WvLenVal = WvLenDef;
    WvPhsVal = WvPhsDef;
    WvRflVal = WvRflDef;
    WhPchVal = WhPchDef;
    WhRadVal = WhRadDef;
}

void TEffectParams::ResetEffectToDefault(int index) {
    if (index < 0 || index >= EffectCount) return;
    Val(index) = Def(index);
    switch (index) {
    case 15:
        UDPeakVal = UDPeakDef;
        UDWavVal = UDWavDef;
        break;
    case 16:
        LRPeakVal = LRPeakDef;
        LRWavVal = LRWavDef;
        break;
    case 17:
        UDPeakVal = UDPeakDef;
        LRPeakVal = LRPeakDef;
        Val(15) = Def(15);
        Val(16) = Def(16);
        break;
    case 19:
        FishVal = FishDef;
        break;
    case 29:
        ScaleVal = ScaleDef;
        TurbVal = TurbDef;
        break;
    case 53:
        UDSBlurBuf = UDSBlurBufDef;
        SBlurReps = SBlurRepsDef;
        break;
    case 54:
        UDSBlurSelf = UDSBlurSelfDef;
        SBlurReps = SBlurRepsDef;
        break;
    case 55:
        UDWatBuf = UDWatBufDef;
        break;
    case 56:
        UDWatSelf = UDWatSelfDef;
        break;
    case 57:
        NovaSpokVal = NovaSpokDef;
        NovaHueVal = NovaHueDef;
        NovaXVal = NovaXDef;
        NovaYVal = NovaYDef;
        break;
    case 58:
        HytElVal = HytElDef;
        HytDpVal = HytDpDef;
        HytBmVal = HytBmDef;
        break;
    case 61:
        TrColVal = TrColDef;
        TrUseVal = TrUseDef;
        break;
    case 64:
        WvLenVal = WvLenDef;
        WvPhsVal = WvPhsDef;
        WvRflVal = WvRflDef;
        break;
    case 65:
        WhPchVal = WhPchDef;
        WhRadVal = WhRadDef;
        break;
    default:
        break;
    }
}
