// Apply, the menu handlers' common steps, the log line, the effect tree and the tool box's panel.

#include "app/dialogs/AllForms.h"
#include "app/effects/EffectCatalogue.h"
#include "app/main/WorkProgress.h"
#include "app/main/ZorvTileMain.h"
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeWidget>

TToolBoxInputs TfZorvTile::ToolBoxInputs() const {
    TToolBoxInputs in;
    if (!fToolBox) return in;
    in.eAmtMain = fToolBox->eAmtMain->text();
    in.eAmtSecond = fToolBox->eAmtSecond->text();
    in.ePenSize = fToolBox->ePenSize->text();
    in.eYPos = fToolBox->eYPos->text();
    in.eHeight2 = fToolBox->eHeight2->text();
    in.ePeaks2 = fToolBox->ePeaks2->text();
    in.cbBump = fToolBox->cbBump->isChecked();
    in.ckbxPeaks = fToolBox->ckbxPeaks->isChecked();
    in.ckbxWrap = fToolBox->ckbxWrap->isChecked();
    in.Pen = ToolBoxPenColor();
    in.Brush = ToolBoxBrushColor();
    return in;
}

TEffectContext TfZorvTile::EffectContext() const {
    TEffectContext c;
    if (fToolBox) {
        c.Peaks = fToolBox->ckbxPeaks->isChecked();
        c.Wrap = fToolBox->ckbxWrap->isChecked();
    }
    c.Pen = ToolBoxPenColor();
    c.Brush = ToolBoxBrushColor();
    c.MapBuf = MapBuf;
    c.TintColor = TintColor;
    GradientLogTexts(c);
    return c;
}

bool TfZorvTile::EffectAllowed(int index) {
    if (const auto refusal = EffectGuard(index, *this, EffectContext())) {
        ShowMessage(*refusal);
        return false;
    }
    return true;
}

void TfZorvTile::bGoClick() {
    if (lvl < 0) {
        ShowMessage("First Select an Effect");
        return;
    }
    TToolBoxInputs in = ToolBoxInputs();
    if (AnyAmountEmpty(in)) {
        ShowMessage("Amounts cannot be zero-length");
        return;
    }
    if (AnyAmountNotNumeric(in)) {
        ShowMessage("Amounts must be numeric");
        return;
    }
    if (lvl >= EffectCount) return;
    const QString before = in.eAmtMain;
    ApplyStores(lvl, in, *this); // a text that does not convert ends Apply here
    if (fToolBox && in.eAmtMain != before) fToolBox->eAmtMain->setText(in.eAmtMain);
    if (!EffectAllowed(lvl)) return;
    TWorkScope work(Effect);
    if (RunEffect(lvl)) WriteLog();
}

void TfZorvTile::WriteLog() {
    if (!Logging) return;
    if (const auto line = EffectLogLine(lvl, Effect, *this, EffectContext())) LogLine(*line);
}

void TfZorvTile::ShowEffectControls() {
    if (fToolBox) fToolBox->ShowEm(lvl, Effect);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfZorvTile::ckbxclk() {
    ShowEffectControls();
}

bool TfZorvTile::RunEffect(int index) {
    if (index < 0 || index >= EffectCount) return false;
    const TEffectInfo& e = EffectCatalogue[static_cast<std::size_t>(index)];
    if (e.Framed) {
        TEffectFrame frame(*this, QString(), LibraryRoutineReplaces(index));
        RunLibraryRoutine(index, frame.Source());
        return true;
    }
    const int V = Val(index);
    switch (index) {
    case 0:
        return DoSoftenMore();
    case 1:
        return DoSoftenLess();
    case 2:
        return DoEdgeEnhanceMore();
    case 3:
        return DoEdgeEnhanceLess();
    case 4:
        return DoEdgeEmbossMore();
    case 5:
        return DoEdgeEmbossLess();
    case 7:
        return DoHiPass();
    case 8:
        return DoSharpen();
    case 9:
        return DoLaplace();
    case 10:
        return DoBlur();
    case 11:
        return DoFindEdges();
    case 12:
        return DoGaussianSoft();
    case 13:
        return DoGaussianBlur(V);
    case 14:
        return RunDesignYourOwn();
    case 18:
        return DoTwist(V);
    case 19:
        return DoFishEye(FishVal);
    case 20:
        return DoCircular();
    case 21:
        return DoAstroid(V);
    case 22:
        return DoConcentricRects(V);
    case 23:
        return DoMosaic(V);
    case 24:
        return DoCircleMosaic(V);
    case 25:
        return DoColorNoise(V);
    case 26:
        return DoSpray(V);
    case 28:
        return DoMapTexture(static_cast<float>(V / 10.0));
    case 29:
        return DoMarble(V, TurbVal, ScaleVal);
    case 30:
        return DoColorRotate(V);
    case 31:
        return DoNegative();
    case 32:
        return DoBrighten();
    case 33:
        return DoLighten();
    case 34:
        return DoTint();
    case 36:
        return DoEraseToBlack();
    case 37:
        return DoExchangeColor(ToolBoxPenColor(), ToolBoxBrushColor(), static_cast<std::uint16_t>(V));
    case 38:
        return DoReSizeFast();
    case 39:
        return DoReSizeSmooth();
    case 40:
        return DoRotate90();
    case 41:
        return DoMirrorLR();
    case 42:
        return DoMirrorUD();
    case 43:
        return DoRotateAngle(V);
    case 44:
        return DoRotateSeamless();
    case 45:
        return true; // the tool box's scroll bars scroll the image
    case 46:
        return DoCycloidMosaic(V);
    case 47:
        return DoGradientBars(V);
    case 48:
        return DoDrawGradient();
    case 49:
        return DoMergeGradient(V);
    case 50:
        return DoMergeBuffer(V);
    case 52:
        return DoPlasmaCloud(V);
    case 53:
        return DoStretchBlur(UDSBlurBuf, V, bufr, SBlurReps);
    case 54:
        return DoStretchBlur(UDSBlurSelf, V, z, SBlurReps);
    default:
        return false;
    }
}

void TfZorvTile::EffectMenuCommand(int index) {
    if (index < 0 || index >= EffectCount) return;
    const TEffectInfo& e = EffectCatalogue[static_cast<std::size_t>(index)];
    const auto makeCurrent = [&] {
        lvl = index;
        Effect = QString::fromLatin1(e.Literal);
    };
    TWorkScope work(QString::fromLatin1(e.Literal));
    if (e.Order == THandlerOrder::DesignYourOwn) {
        RunDesignYourOwn();
        return;
    }
    if (e.Order == THandlerOrder::Scroll) {
        makeCurrent();
        ShowEffectControls();
        return;
    }
    // A refused value: the effect becomes current, so its panel shows the value to correct, but it
    // neither runs nor logs.
    if (!EffectAllowed(index)) {
        makeCurrent();
        ShowEffectControls();
        return;
    }
    switch (e.Order) {
    case THandlerOrder::Filter: {
        const bool ran = RunEffect(index);
        makeCurrent();
        if (fToolBox) fToolBox->ShowEm(lvl, Effect);
        if (ran) WriteLog();
        break;
    }
    case THandlerOrder::ClassicEmboss:
        makeCurrent();
        {
            TEffectFrame frame(*this, QString(), LibraryRoutineReplaces(index));
            RunLibraryRoutine(index, frame.Source());
            if (fToolBox) fToolBox->ShowEm(lvl, Effect);
        }
        WriteLog();
        break;
    case THandlerOrder::GrayScale: {
        TEffectFrame frame(*this, QString(), LibraryRoutineReplaces(index));
        RunLibraryRoutine(index, frame.Source());
    }
        makeCurrent();
        ShowEffectControls();
        WriteLog();
        break;
    case THandlerOrder::Buttonize: {
        TEffectFrame frame(*this, QString(), LibraryRoutineReplaces(index));
        RunLibraryRoutine(index, frame.Source());
        makeCurrent();
    }
        ShowEffectControls();
        WriteLog();
        break;
    case THandlerOrder::Framed: {
        TEffectFrame frame(*this, QString(), LibraryRoutineReplaces(index));
        RunLibraryRoutine(index, frame.Source());
        makeCurrent();
        ShowEffectControls();
        WriteLog();
        break;
    }
    case THandlerOrder::Water:
        makeCurrent();
        ShowEffectControls();
        {
            TEffectFrame frame(*this, QString(), LibraryRoutineReplaces(index));
            RunLibraryRoutine(index, frame.Source());
        }
        WriteLog();
        break;
    case THandlerOrder::StretchBlur:
        makeCurrent();
        ShowEffectControls();
        if (RunEffect(index)) WriteLog();
        break;
    case THandlerOrder::Resize:
        RunEffect(index);
        makeCurrent();
        ShowEffectControls();
        break;
    default: {
        const bool ran = RunEffect(index);
        makeCurrent();
        ShowEffectControls();
        if (ran) WriteLog();
        break;
    }
    }
}

namespace {

// Steps 1 to 3 of a selection in the tree; true when a node was selected.
bool SelectTreeNode(TfZorvTile& w) {
    const QTreeWidgetItem* node = w.TreeView1->currentItem();
    if (!node) return false;
    w.Effect = node->text(0);
    w.lvl = -1;
    for (int i = 0; i < w.Effects.size(); ++i)
        if (w.Effects[i].compare(w.Effect, Qt::CaseInsensitive) == 0) {
            w.lvl = i;
            break;
        }
    if (w.lvl < 0) {
        w.Effect.clear();
        w.stBar->SetPanelText(4, "Idle...");
    }
    if (fToolBox) fToolBox->SetEffectCaption(w.Effect);
    return true;
}

void ShowSelectedInStatus(TfZorvTile& w) {
    if (w.lvl >= 0) w.stBar->SetPanelText(4, w.Effect + w.fxShortCut.value(w.lvl));
}

} // namespace

void TfZorvTile::TreeView1MouseDown() {
    if (!SelectTreeNode(*this)) return;
    ShowSelectedInStatus(*this);
    ShowEffectControls();
}

void TfZorvTile::TreeView1Change() {
    TreeView1MouseDown();
}

void TfZorvTile::TreeView1DblClick() {
    if (!SelectTreeNode(*this)) return;
    if (lvl >= 0) {
        bGoClick();
        ShowSelectedInStatus(*this);
    }
}

bool TfZorvTile::TreeView1KeyPress(QChar key) {
    if (key != QChar(13)) return false;
    bGoClick();
    return true;
}

void TfZorvTile::bExpandClick() {
    auto* expand = findChild<QToolButton*>("bExpand");
    if (!expand) return;
    if (expand->text() == "E") {
        TreeView1->expandAll();
        expand->setText("C");
    } else {
        TreeView1->collapseAll();
        expand->setText("E");
    }
}
