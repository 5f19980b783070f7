// The Filters group: the fixed 3 x 3 filters, the seamless Gaussian blur and the user filter.

#include "app/dialogs/FilterDesigner.h"
#include "app/effects/SeamlessBlur.h"
#include "app/main/ZorvTileMain.h"
#include "image/ZorvFX_Filters.h"
#include "platform/MessageBoxes.h"
#include "platform/NumberText.h"

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
    // Every text is converted, and the divisor checked, before the frame: a bad entry leaves no undo
    // step behind.
    std::array<int, 9> kernel{};
    const auto edits = fFilter->Kernel();
    for (std::size_t i = 0; i < 9; ++i) kernel[i] = StrToInt(edits[i]->text());
    const int divisor = StrToInt(fFilter->eDiv->text());
    const auto d = static_cast<std::uint16_t>(static_cast<unsigned>(divisor) & 0xFFFFu);
    if (d == 0) {
        ShowMessage("The divisor cannot be 0 or a multiple of 65536 (Range: 1 - 65535, or a negative "
                    "number down to -65535).");
        return false;
    }
    {
        TEffectFrame frame(*this, QString(), true);
        Convolve3x3(kernel, d, frame.Source(), z);
    }
    QString line = "Design Your Own Filter, Settings: ";
    for (const QLineEdit* e : edits) line += e->text() + " ";
    LogLine(line + ", Divisor " + fFilter->eDiv->text());
    return true;
}

void TfZorvTile::DesignYourOwn1Click() {
    RunDesignYourOwn();
}
