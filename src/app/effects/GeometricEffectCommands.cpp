// The main window's geometric, mosaic and scrolling effects, the Image > Seamless commands, Test Tiles
// and the image pop-up menu's Color Wheel, Rainbow and Resize. Effects that give the image a new size
// build it aside before the undo snapshot is taken, so a failed allocation leaves the image and the
// undo ring as they were.

#include "app/dialogs/SizeDialog.h"
#include "app/dialogs/TextureDialog.h"
#include "app/dialogs/TileTester.h"
#include "app/effects/GeometricEffects.h"
#include "app/effects/ShapeEffects.h"
#include "app/main/ZorvTileMain.h"
#include "image/FastFX.h"
#include "image/ZorvFX.h"
#include "platform/Cursor.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBoxes.h"
#include "platform/Picture.h"

#include <QAction>
#include <QToolButton>

bool TfZorvTile::DoTwist(int Amount) {
    if (Amount == 0) return false;
    TEffectFrame frame(*this, QString(), true);
    TwistFX(frame.Source(), z, Amount);
    return true;
}

bool TfZorvTile::DoFishEye(float Amount) {
    if (!(Amount > 0)) return false;
    TEffectFrame frame(*this, QString(), true);
    FishEye(frame.Source(), z, Amount);
    return true;
}

bool TfZorvTile::DoCircular() {
    if ((imSine->width() != 256 || imSine->height() != 256) &&
        MessageDlg("Circular only works correctly with a 256 x 256 image. OK?", TMsgDlgType::mtWarning,
                   mbOK | mbCancel) != mrOk)
        return false;
    TEffectFrame frame(*this);
    CircularFX(frame.Source(), z); // over a copy of the source: only the spiral's pixels change
    return true;
}

bool TfZorvTile::DoAstroid(int N) {
    TEffectFrame frame(*this);
    AstroidFX(z, N);
    return true;
}

bool TfZorvTile::DoConcentricRects(int N) {
    if (N < 1) return false;
    TFastDIB work;
    CopyDIB(z, work);
    ConcentricRectsFX(work, N);
    SwapInResult(work);
    return true;
}

bool TfZorvTile::DoMosaic(int N) {
    if (!MosaicCellOk(z.Width, z.Height, N)) return false;
    TEffectFrame frame(*this);
    MosaicFX(z, N);
    return true;
}

bool TfZorvTile::DoCircleMosaic(int N) {
    if (!MosaicCellOk(z.Width, z.Height, N)) return false;
    TEffectFrame frame(*this);
    CircleMosaicFX(z, N);
    return true;
}

bool TfZorvTile::DoSpray(int Amount) {
    TEffectFrame frame(*this, QString(), true);
    SprayPixels(frame.Source(), z, Amount);
    return true;
}

bool TfZorvTile::DoSwizzle(int N) {
    HourGlass hourglass;
    SwizzleFX(z, N); // the caller's frame keeps the picture
    return true;
}

bool TfZorvTile::DoMapTexture(float M) {
    MapBuf = "Use Current Texture";
    if (!FlagB && PasteBuffertoImage1->isEnabled()) {
        FlagB = true;
        MapBuf = "Use Buffer";
        fTexture->SetTexture(bufr);
    }
    if (fTexture->Execute() != mrOk) return false;
    TFastDIB work;
    CopyDIB(z, work);
    MapTextureFX(work, fTexture->Texture, M);
    SwapInResult(work);
    return true;
}

bool TfZorvTile::DoReSizeFast() {
    if (frmSizer->Execute() != mrOk) return false;
    if (frmSizer->Wide < 1 || frmSizer->High < 1) return false;
    CheckPictureSize(frmSizer->Wide, frmSizer->High); // the memory the new picture needs
    TFastDIB work;
    ResizeFastFX(z, work, frmSizer->Wide, frmSizer->High);
    SwapInResult(work);
    LogLine(QString("Resize Fast, Width %1, Height %2").arg(z.Width).arg(z.Height));
    return true;
}

bool TfZorvTile::DoReSizeSmooth() {
    if (frmSizer->Execute() != mrOk) return false;
    if (frmSizer->Wide < 1 || frmSizer->High < 1) return false;
    CheckPictureSize(frmSizer->Wide, frmSizer->High); // the memory the new picture needs
    TFastDIB work;
    ResizeBilinear(z, work, frmSizer->Wide, frmSizer->High, false);
    SwapInResult(work);
    LogLine(QString("Resize Smooth, Width %1, Height %2").arg(z.Width).arg(z.Height));
    return true;
}

bool TfZorvTile::DoRotate90() {
    TFastDIB work;
    Rotate90(z, work);
    SwapInResult(work);
    return true;
}

bool TfZorvTile::DoMirrorLR() {
    TLightFrame frame(*this, QString(), true);
    MirrorLR(frame.Source(), z);
    return true;
}

bool TfZorvTile::DoMirrorUD() {
    TLightFrame frame(*this, QString(), true);
    MirrorUD(frame.Source(), z);
    return true;
}

bool TfZorvTile::DoRotateAngle(int Degrees) {
    TLightFrame frame(*this, QString(), true);
    RotateWrap(frame.Source(), z, z.Width / 2, z.Height / 2, Degrees);
    return true;
}

bool TfZorvTile::DoRotateSeamless() {
    // The snapshot comes first, also when the image turns out not to be square.
    bool square = false;
    {
        TEffectFrame frame(*this);
        square = RotateSeamlessFX(z);
    }
    if (!square) ShowMessage("Image must be square.  ReSize and try again.");
    return square;
}

bool TfZorvTile::DoCycloidMosaic(int R) {
    TEffectFrame frame(*this);
    CycloidMosaicFX(z, R);
    return true;
}

void TfZorvTile::ScrollImLR(int Flag) {
    if (lvl < 0 || lvl >= static_cast<int>(EffectVals.size())) return;
    const int n = EffectVals[static_cast<std::size_t>(lvl)];
    TEffectFrame frame(*this);
    if (Flag < 1) {
        ScrollLR(z, -n);
        LogLine("Scroll Left " + QString::number(n));
    } else {
        ScrollLR(z, n);
        LogLine("Scroll Right " + QString::number(n));
    }
}

void TfZorvTile::ScrollImUD(int Flag) {
    if (lvl < 0 || lvl >= static_cast<int>(EffectVals.size())) return;
    const int n = EffectVals[static_cast<std::size_t>(lvl)];
    TLightFrame frame(*this);
    if (Flag < 1) {
        WrapShift(z, 0, n);
        LogLine("Scroll Up " + QString::number(n));
    } else {
        WrapShift(z, 0, -n);
        LogLine("Scroll Down " + QString::number(n));
    }
}

void TfZorvTile::N4WayFlip1Click() {
    TWorkScope watch("4 Way Flip");
    TFastDIB work;
    CopyDIB(z, work);
    FourWayFlip(work);
    SwapInResult(work);
    LogLine("4 Way Flip");
}

// Edge Merge is outside the catalogue: it writes its own line and leaves `lvl` and `Effect` alone, so
// Apply still repeats (and logs) the effect chosen before it.
void TfZorvTile::EdgeMergeCommand(int Divisor) {
    {
        TEffectFrame frame(*this);
        EdgeMerge(z, Divisor);
    }
    LogLine("Edge Merge 1/" + QString::number(Divisor));
}

void TfZorvTile::N1161Click() {
    EdgeMergeCommand(16);
}
void TfZorvTile::N181Click() {
    EdgeMergeCommand(8);
}
void TfZorvTile::N141Click() {
    EdgeMergeCommand(4);
}

void TfZorvTile::Resize1Click() {
    ReSizeSmooth1Click();
}

void TfZorvTile::TestTiles1Click() {
    fTester->Show();
    setEnabled(false);
    hide();
}

void TfZorvTile::ColorWheel1Click() {
    TFastDIB wheel;
    wheel.SetSize(256, 256, 24, 0);
    ColorWheel(wheel);
    SwapInResult(wheel);
    LogLine("Color Wheel");
}

void TfZorvTile::Rainbow1Click() {
    {
        TLightFrame frame(*this, "Rainbow");
        FourCornerGradient(z, 0, 0, z.Width - 1, z.Height - 1, MakeFColor(0, 0, 255), MakeFColor(255, 0, 255),
                           MakeFColor(0, 255, 0), MakeFColor(64, 80, 148));
    }
    LogLine("Rainbow");
}

void TfZorvTile::WireImageCommands() {
    const std::pair<const char*, void (TfZorvTile::*)()> items[] = {
        {"TestTiles1", &TfZorvTile::TestTiles1Click},
        {"N1161", &TfZorvTile::N1161Click},
        {"N181", &TfZorvTile::N181Click},
        {"N141", &TfZorvTile::N141Click},
        {"N4WayFlip1", &TfZorvTile::N4WayFlip1Click},
        {"ColorWheel1", &TfZorvTile::ColorWheel1Click},
        {"Rainbow1", &TfZorvTile::Rainbow1Click},
        {"Resize1", &TfZorvTile::Resize1Click}};
    for (const auto& [name, cmd] : items) {
        if (QAction* a = findChild<QAction*>(name)) {
            a->setEnabled(true);
            OnTriggered(a, cmd);
        }
    } // The tool bar's Test Tiles button runs the same command.
    if (auto* b = findChild<QToolButton*>("bTest")) {
        b->setEnabled(true);
        connect(b, &QToolButton::clicked, this, [this] { Guarded([this] { TestTiles1Click(); }); });
    }
}
