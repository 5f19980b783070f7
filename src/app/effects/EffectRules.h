#pragma once
// The rules of the catalogue that need no window: what Apply checks and stores from the tool box, the
// guard that refuses parameters an effect cannot take, the log line of each effect and the tool box's
// parameter panel for each effect.

#include "app/effects/EffectParams.h"
#include "image/Color.h"

#include <QString>

#include <optional>

// What Apply reads from the tool box: the six edits, the check boxes and the two colour buttons.
struct TToolBoxInputs {
    QString eAmtMain, eAmtSecond, ePenSize, eYPos, eHeight2, ePeaks2;
    bool cbBump = false, ckbxPeaks = true, ckbxWrap = true;
    TColor Pen = 0, Brush = 0xFFFFFF;
};

// True when any of the six edits is empty.
bool AnyAmountEmpty(const TToolBoxInputs& in);
// True when any of the six edits is not a decimal number (tested one after another).
bool AnyAmountNotNumeric(const TToolBoxInputs& in);

// Apply's stores for effect `index`, in their order. A text that does not convert raises the
// conversion error; what was stored before it stays stored. Gaussian Blur may rewrite in.eAmtMain
// (an amount above 5 becomes "1"); Astroid is made odd and at most 9; Whirl/Pinch's pinch is limited
// to -1..1 and its radius to 0 and more.
void ApplyStores(int index, TToolBoxInputs& in, TEffectParams& p);

// What an effect reads besides its parameters.
struct TEffectContext {
    bool Peaks = true, Wrap = true; // the tool box's Use Peaks and Wrap
    TColor Pen = 0, Brush = 0xFFFFFF;
    QString MapBuf;       // the texture Map Texture used last
    TColor TintColor = 0; // the colour Tint used last
    // The gradient designer's width, height, style, colours and angle texts.
    QString GradWide, GradHigh, GradStyle, GradAngle;
    TColor GradBegin = 0, GradEnd = 0;
};

// Nothing when effect `index` can run with the stored values, else the message that refuses them with
// the allowed range. Values inside the limits run unchanged.
std::optional<QString> EffectGuard(int index, const TEffectParams& p, const TEffectContext& c);

// The log line of the current effect (`lvl`, `effect`) with the stored values; nothing for Scroll.
std::optional<QString> EffectLogLine(int lvl, const QString& effect, const TEffectParams& p,
                                     const TEffectContext& c);

// The tool box's parameter panel for an effect index.
struct TPanelEdit {
    bool Visible = false;
    QString Label; // the text of the edit's label
    QString Text;  // the value put into the edit
};
struct TEffectPanel {
    QString Help;
    TPanelEdit Main, Second, Peaks2, Height2, YPos;
    bool PeaksWrap = false;  // ckbxPeaks and ckbxWrap
    bool ButtonHint = false; // lblBtn
    bool Bump = false;       // cbBump, with its caption and tick
    QString BumpCaption;
    bool BumpChecked = false;
    bool ScrollBars = false; // sbLR and sbUD
    bool Default = false;    // btnDefault
};
TEffectPanel EffectPanel(int lvl, const TEffectParams& p, bool peaksTicked);
