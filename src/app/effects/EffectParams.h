#pragma once
// TEffectParams: the parameters of the 66 catalogue effects - the main value of each effect, its
// built-in default and the named secondary values with their defaults. The main window holds them
// (it derives from this record), the tool box shows and edits them, the settings file keeps them.

#include "image/Color.h"

#include <array>

constexpr int EffectCount = 66;

struct TEffectParams {
    // Main parameter per effect index, and its built-in default.
    std::array<int, EffectCount> EffectVals{};
    std::array<int, EffectCount> EffectDefs{};

    float UDPeakVal = 0, LRPeakVal = 0, UDPeakDef = 3.0f, LRPeakDef = 2.0f;
    float UDWavVal = 0, LRWavVal = 0, UDWavDef = 32.0f, LRWavDef = 17.0f;
    float FishVal = 0, FishDef = 0.75f;
    float ScaleVal = 0, ScaleDef = 2.0f;
    int TurbVal = 0, TurbDef = 120;
    int UDWatSelf = 0, UDWatBuf = 0, UDSBlurSelf = 0, UDSBlurBuf = 0, SBlurReps = 0;
    int UDWatSelfDef = -128, UDWatBufDef = 100, UDSBlurSelfDef = 1, UDSBlurBufDef = 1, SBlurRepsDef = 32;
    int NovaSpokVal = 0, NovaHueVal = 0, NovaSpokDef = 64, NovaHueDef = 32;
    int NovaXVal = 0, NovaYVal = 0, NovaXDef = 24, NovaYDef = 36;
    int HytElVal = 0, HytDpVal = 0, HytElDef = 20, HytDpDef = 16;
    bool HytBmVal = true, HytBmDef = true;
    TColor TrColVal = 0, TrColDef = 0;
    bool TrUseVal = false, TrUseDef = false;
    int WvLenVal = 0, WvLenDef = 10;
    double WvPhsVal = 0, WvPhsDef = 8.0;
    bool WvRflVal = false, WvRflDef = false;
    float WhPchVal = 0, WhPchDef = 0.5f, WhRadVal = 0, WhRadDef = 1.0f;

    // The built-in defaults into EffectDefs, then every current value := its default.
    void SetEffectDefaults();
    // Default of the tool box: the main value of effect `index` and the secondary values it uses go
    // back to their defaults.
    void ResetEffectToDefault(int index);
    int& Val(int index) { return EffectVals[static_cast<std::size_t>(index)]; }
    int Val(int index) const { return EffectVals[static_cast<std::size_t>(index)]; }
    int Def(int index) const { return EffectDefs[static_cast<std::size_t>(index)]; }
};
