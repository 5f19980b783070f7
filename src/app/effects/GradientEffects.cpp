// The two gradient effects of the Draw group: Gradient (the designer, then the paste) and Merge
// Gradient (the designer's gradient stretched over the image and mixed in by a percentage).

#include "app/dialogs/AllForms.h"
#include "app/effects/GradientMerge.h"
#include "app/main/ZorvTileMain.h"
#include "controls/GradientControl.h"
#include "platform/MessageBoxes.h"

bool TfZorvTile::DoDrawGradient() {
    // The design and paste commands write no log lines of their own meanwhile; the flags come back
    // whatever happens.
    struct Flags {
        TfZorvTile& W;
        Flags(TfZorvTile& w) : W(w) {
            W.DrawGFlag = true;
            W.PasteGFlag = false;
            W.DesnGFlag = false;
        }
        ~Flags() {
            W.DrawGFlag = false;
            W.PasteGFlag = true;
            W.DesnGFlag = true;
        }
    } flags(*this);
    // Only a design closed with OK is pasted.
    if (!DesignGradient()) return false;
    PasteToImage1Click();
    return true;
}

bool TfZorvTile::DoMergeGradient(int P) {
    const TFastDIB& g = fGradient->zGrad->bm();
    if (g.Empty()) {
        ShowMessage("There is no gradient to merge: its width or height is 0.");
        return false;
    }
    TEffectFrame frame(*this, QString(), true);
    MergeStretched(frame.Source(), g, P, z);
    return true;
}
