// The Filters group: the fixed 3 x 3 filters, the seamless Gaussian blur and the user filter.

#include "app/dialogs/FilterDesigner.h"
#include "app/effects/SeamlessBlur.h"
#include "app/main/ZorvTileMain.h"
#include "image/ZorvFX_Filters.h"
#include "platform/MessageBoxes.h"

#include <QLineEdit>

namespace {

bool RunKernel(TfZorvTile& w, int index) {
    const TFixedKernel& k = FixedKernel(index);
    TEffectFrame frame(w, QString(), true);
    Convolve3x3(k.Weights, k.Divisor, frame.Source(), w.z);
    return true;
}

} // namespace

bool TfZorvTile::DoSoftenMore() {
    return RunKernel(*this, 0);
}
bool TfZorvTile::DoSoftenLess() {
    return RunKernel(*this, 1);
}
bool TfZorvTile::DoEdgeEnhanceMore() {
    return RunKernel(*this, 2);
}
bool TfZorvTile::DoEdgeEnhanceLess() {
    return RunKernel(*this, 3);
}
bool TfZorvTile::DoEdgeEmbossMore() {
    return RunKernel(*this, 4);
}
bool TfZorvTile::DoEdgeEmbossLess() {
    return RunKernel(*this, 5);
}
bool TfZorvTile::DoHiPass() {
    return RunKernel(*this, 7);
}
bool TfZorvTile::DoSharpen() {
    return RunKernel(*this, 8);
}
bool TfZorvTile::DoLaplace() {
    return RunKernel(*this, 9);
}
bool TfZorvTile::DoBlur() {
    return RunKernel(*this, 10);
}
bool TfZorvTile::DoFindEdges() {
    return RunKernel(*this, 11);
}
bool TfZorvTile::DoGaussianSoft() {
    return RunKernel(*this, 12);
}

bool TfZorvTile::DoGaussianBlur(int Amount) {
    if (Amount < 0) return false; // the guard refuses it before; nothing to blur with
    TEffectFrame frame(*this, QString(), true);
    SeamlessGaussianBlur(frame.Source(), Amount, buf, z);
    return true;
}

bool TfZorvTile::RunDesignYourOwn() {
    if (!fFilter || fFilter->Execute() != mrOk) return false;
    // The dialog refuses bad texts while it is open; they are checked once more before the frame, for
    // a dialog answered without its OK button, so that a bad entry leaves no undo step behind.
    const TfFilter::TEntries entries = fFilter->Entries();
    if (!entries.Refusal.isEmpty()) {
        ShowMessage(entries.Refusal);
        return false;
    }
    {
        TEffectFrame frame(*this, QString(), true);
        Convolve3x3(entries.Kernel, entries.Divisor, frame.Source(), z);
    }
    QString line = "Design Your Own Filter, Settings: ";
    for (const QLineEdit* e : fFilter->Kernel()) line += e->text() + " ";
    LogLine(line + ", Divisor " + fFilter->eDiv->text());
    return true;
}

void TfZorvTile::DesignYourOwn1Click() {
    RunDesignYourOwn();
}
