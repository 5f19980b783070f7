// The main window's clipboard commands (Copy, Paste As Selection, Replace Image, Transparent) and the
// Buffer menu.

#include "app/dialogs/TransparentPaste.h"
#include "app/main/WorkProgress.h"
#include "app/main/ZorvTileMain.h"
#include "controls/Label3D.h"
#include "image/WorkControl.h"

#include "platform/FastDIBQt.h"
#include "platform/MessageBoxes.h"
#include "platform/Picture.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

void TfZorvTile::Copy1Click() {
    TFastDIB pic;
    ShownPicture(pic);
    CopyDIBToClipboard(pic);
    LogLine("Copy Image to Clipboard");
}

void TfZorvTile::ReplaceImage1Click() {
    // The clipboard is read first: no bitmap, or one too large, changes nothing.
    TFastDIB pic;
    if (!PasteDIBFromClipboard(pic)) return;
    // The pasted picture itself takes the image's place, and the image becomes the undo snapshot:
    // nothing is allocated once the clipboard is read, so nothing can fail half-way.
    SwapInResult(pic);
    LogLine("Paste Clipboard to Image");
}

// ---- Paste As Selection: Idle -> Floating (timer shows the offsets) -> Moving (dragged) -> Idle.

void TfZorvTile::AsSelection1Click() {
    auto* panel = findChild<QWidget*>("pPaste");
    auto* label = findChild<QLabel*>("imPaste");
    // While a selection floats nothing else changes it.
    if (!panel || !label || panel->isVisible()) return;
    TFastDIB pic;
    if (!PasteDIBFromClipboard(pic)) return;
    CopyDIB(pic, PasteDIB);
    ShowPasteFrame();
    panel->move(imSine->pos());
    panel->show();
    panel->raise();
    Pasting = false;
    PasteDragging = false;
    if (auto* timer = findChild<QTimer*>("Timer1")) timer->start();
}

void TfZorvTile::ShowPasteFrame() {
    auto* panel = findChild<QWidget*>("pPaste");
    auto* label = findChild<QLabel*>("imPaste");
    // The picture with a dotted focus rectangle along its inside edge; the rectangle is only shown,
    // never pasted.
    QImage shown = DIBView(PasteDIB).copy();
    if (!shown.isNull()) {
        QPainter p(&shown);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 1, Qt::DotLine));
        p.drawRect(0, 0, shown.width() - 1, shown.height() - 1);
    }
    label->setPixmap(QPixmap::fromImage(shown));
    label->resize(PasteDIB.Width, PasteDIB.Height);
    label->move(0, 0);
    panel->resize(PasteDIB.Width, PasteDIB.Height);
}

void TfZorvTile::Timer1Timer() {
    auto* panel = findChild<QWidget*>("pPaste");
    if (!panel) return;
    const QPoint d = panel->pos() - imSine->pos();
    stBar->SetPanelText(4, QString("Left: %1 Top: %2").arg(d.x()).arg(d.y()));
}

void TfZorvTile::imPasteMouseDown(const QPoint& globalPos) {
    auto* panel = findChild<QWidget*>("pPaste");
    if (!panel || !panel->isVisible()) return;
    Pasting = true;
    PasteDragging = true;
    PasteDragStart = globalPos;
    PastePanelStart = panel->pos();
}

void TfZorvTile::imPasteMouseDrag(const QPoint& globalPos) {
    auto* panel = findChild<QWidget*>("pPaste");
    if (panel && PasteDragging) panel->move(PastePanelStart + (globalPos - PasteDragStart));
}

void TfZorvTile::imPasteMouseUp() {
    PasteDragging = false;
}

void TfZorvTile::imPasteMouseMove() {
    auto* panel = findChild<QWidget*>("pPaste");
    if (!panel || !Pasting || PasteDragging) return;
    CopyUnDo();
    if (auto* timer = findChild<QTimer*>("Timer1")) timer->stop();
    stBar->SetPanelText(4, "Idle...");
    const QPoint d = panel->pos() - imSine->pos();
    // Parts outside the image are cut off.
    PasteDIB.Draw(z, d.x(), d.y());
    SetToIm(z);
    panel->hide();
    Pasting = false;
    LogLine(QString("Paste As Selection at Left %1, Top %2").arg(d.x()).arg(d.y()));
}

// ---- Paste Transparent

void TfZorvTile::Transparent1Click() {
    TFastDIB image; // the image as shown
    ShownPicture(image);
    TFastDIB t;
    if (!PasteDIBFromClipboard(t) || t.Empty()) return;
    const TFColor lowerLeft = t.Pixels24[t.Height - 1][0];
    AColor = FColorToColor(lowerLeft);
    if (!fTrans) return;
    if (fTrans->rbNorm->isChecked())
        fTrans->SetShape1Color(AColor);
    else if (fTrans->rbPen->isChecked())
        fTrans->SetShape1Color(ToolBoxPenColor());
    else if (fTrans->rbCustom->isChecked())
        fTrans->SetShape1Color(fTrans->ColorDialog1Color);
    if (fTrans->Execute() != mrOk) return;

    // The result is made aside and swapped in at the end: a failure on the way changes nothing.
    if (fTrans->cbReSize->isChecked() && (t.Width != image.Width || t.Height != image.Height)) {
        TFastDIB stretched;
        stretched.SetSize(image.Width, image.Height, 24, 0);
        t.Stretch(stretched, 0, 0, image.Width, image.Height);
        CopyDIB(stretched, t);
    }
    // Every pixel of the clipboard picture that is not the transparent colour covers the image.
    const TColor key = fTrans->Shape1Color();
    const TFColor k = ColorToFColor(key);
    const int w = std::min(t.Width, image.Width);
    const int h = std::min(t.Height, image.Height);
    for (int y = 0; y < h; ++y) {
        const TFColor* src = t.Pixels24[y];
        TFColor* dst = image.Pixels24[y];
        for (int x = 0; x < w; ++x)
            if (!(src[x] == k)) dst[x] = src[x];
    }
    SwapInResult(image);
    LogLine("Paste Transparent");
}

// ---- The buffer

void TfZorvTile::EnableBufferItems() {
    PasteBuffertoImage1->setEnabled(true);
    CopyBuffertoClipboard1->setEnabled(true);
    MergeBufferWithImage1->setEnabled(true);
    if (auto* b = findChild<QToolButton*>("bPstBufr")) b->setEnabled(true);
}

void TfZorvTile::TakeBufferPicture(const TFastDIB& pic) {
    CopyDIB(pic, bufr);
    imBuffer->setPixmap(QPixmap::fromImage(DIBView(bufr).copy()));
    EnableBufferItems();
}

void TfZorvTile::CopyImagetoBuffer1Click() {
    TFastDIB pic;
    ShownPicture(pic);
    TakeBufferPicture(pic);
    // The "Buffer" label turns from inset to raised once the buffer holds a copied image.
    if (auto* label = findChild<TLbl3D*>("Lbl3D2"); label && label->aTextStyle() == tsInset)
        label->SetTextStyle(tsRaised);
    LogLine("Copy Image to Buffer");
}

void TfZorvTile::PasteBuffertoImage1Click() {
    if (!PasteBuffertoImage1->isEnabled()) return;
    KeepPictureForUndo(bufr); // its memory first: a lack of it changes nothing
    SetToIm(z);
    LogLine("Paste Buffer to Image");
}

void TfZorvTile::imBufferDblClick() {
    if (PasteBuffertoImage1->isEnabled()) PasteBuffertoImage1Click();
}

void TfZorvTile::MergeBufferWithImage1Click() {
    // The Merge Buffer effect, as its menu command runs it, while a buffer exists.
    if (!PasteBuffertoImage1->isEnabled()) return;
    MergeBuffer1Click();
}

void TfZorvTile::LoadBufferfromFile1Click() {
    const QString name =
        RunFileDialog(false, "Open", QString(), OpenPictureFilterWithAllTypes(OpenPictureFilter), QString());
    if (name.isEmpty()) return;
    TFastDIB pic;
    {
        // One scope from the read to the thumbnail.
        TWorkScope scope("Opening " + QFileInfo(name).fileName());
        ReadPictureFile(name, pic, nullptr); // a file that cannot be read, or a stop, leaves the buffer
        BeginFinalWorkStep("Showing the picture...");
        TakeBufferPicture(pic);
    }
    LogLine("Load Buffer from File " + name);
}

void TfZorvTile::CopyBuffertoClipboard1Click() {
    if (!CopyBuffertoClipboard1->isEnabled()) return;
    CopyDIBToClipboard(bufr);
    LogLine("Copy Buffer to Clipboard");
}

void TfZorvTile::PasteClipboardtoBuffer1Click() {
    TFastDIB pic;
    if (!PasteDIBFromClipboard(pic)) return;
    TakeBufferPicture(pic);
    LogLine("Paste Clipboard to Buffer");
}
