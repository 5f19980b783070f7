// The main window's drawing tools: choosing a tool, the press, move and release on the image, the
// rubber bands, the final shapes, flood fill, eye-dropper and selection, and the tool-bar toggles.

#include "app/main/ZorvTileMain.h"

#include "app/dialogs/AllForms.h"
#include "app/main/Glyphs.h"
#include "app/tools/FloodFill.h"
#include "app/tools/ShapeDrawing.h"
#include "app/tools/ToolSettings.h"
#include "platform/ErrorGuard.h"
#include "platform/FastDIBQt.h"
#include "platform/MessageBoxes.h"
#include "platform/NumberText.h"
#include "platform/Picture.h"

#include <QAction>
#include <QCursor>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include <cstdlib>

namespace {

QRect SegmentRect(QPoint a, QPoint b, int width) {
    const int m = width / 2 + 2;
    return QRect(a, b).normalized().adjusted(-m, -m, m, m);
}

} // namespace

void TfZorvTile::WireDrawingTools() {
    imSine->OnMouseDown = [this](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
        Guarded([&] { imSineMouseDown(b, m, x, y); });
    };
    imSine->OnMouseMove = [this](Qt::MouseButtons b, Qt::KeyboardModifiers m, int x, int y) {
        Guarded([&] { imSineMouseMove(b, m, x, y); });
    };
    imSine->OnMouseUp = [this](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
        Guarded([&] { imSineMouseUp(b, m, x, y); });
    };
    // The pop-up menu takes the mouse: a drag it interrupts is dropped.
    connect(imSine, &QWidget::customContextMenuRequested, this, [this] { CancelDrag(); });
    if (auto* b = findChild<QToolButton*>("bColor")) {
        b->setEnabled(true);
        connect(b, &QToolButton::clicked, this, [this] { Guarded([this] { bColorClick(); }); });
    }
}

void TfZorvTile::SetTool(bool Fil, bool Txtn, TDrawTool Tewl, int crs) {
    // A tool change ends what the old tool had going.
    CancelDrag();
    CancelFloatingText();
    Fill = Fil;
    Texting = Txtn;
    Tool = Tewl;
    imSine->setCursor(crs == 0 ? QCursor(Qt::IBeamCursor) : DrawingCursor(crs));
}

void TfZorvTile::CopyViewToImage() {
    CopyViewTo(imSine->Canvas(), z);
}

void TfZorvTile::CancelDrag() {
    if (!Drawing) return;
    Drawing = false;
    PressButton = Qt::NoButton;
    imSine->ClearBand();
    // A free-hand stroke is already on the view: the view goes back to the image.
    if (Tool == TDrawTool::dtFreeHand) SetToIm(z);
    if (Tool == TDrawTool::dtSelect) stBar->SetPanelText(4, "Idle...");
}

void TfZorvTile::imSineMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int Y) {
    // A drag in progress owns the mouse: presses of other buttons change nothing.
    if (Drawing) return;
    const QString sizeText = ToolSettings::PenSizeText();
    if (sizeText.isEmpty()) {
        ShowMessage("Pen size cannot be zero length.  Changed to 1");
        ToolSettings::SetPenSizeText("1");
        return;
    }
    int penSize = 0;
    if (!TextToInt(sizeText, penSize) || penSize < 1) {
        ShowMessage("Pen Size error. Changed to 1");
        ToolSettings::SetPenSizeText("1");
        return;
    }
    // The right button belongs to the pop-up menu; other buttons than left and middle do nothing.
    if (Button != Qt::LeftButton && Button != Qt::MiddleButton) return;

    CopyUnDo();
    PressButton = Button;
    if (Tool == TDrawTool::dtEyeDrop) {
        const QImage& pic = imSine->Canvas();
        if (pic.rect().contains(X, Y)) {
            const QColor c = pic.pixelColor(X, Y);
            ToolSettings::SetPenColor(RGBColor(c.red(), c.green(), c.blue()));
        }
        LogLine(QString("Eyedropper at location X %1 Y %2").arg(X).arg(Y));
        return;
    }
    if (Fill) {
        // Always a solid fill in the brush colour, whatever the last shape left set.
        QImage& pic = imSine->Canvas();
        const Surface s{pic.bits(), pic.width(), pic.height(), static_cast<int>(pic.bytesPerLine()), 24};
        if (FloodFill(s, X, Y, ColorToFColor(ToolSettings::BrushColor()))) imSine->update();
        LogLine(QString("FloodFill at location X %1 Y %2, Brush Color %3")
                    .arg(X)
                    .arg(Y)
                    .arg(ColorToRGBStr(ToolSettings::BrushColor())));
        return;
    }
    if (Texting) {
        TextPress(X, Y);
        return;
    }
    if (Button != Qt::LeftButton) return;

    Drawing = true;
    aX = zX = X;
    aY = zY = Y;
    PenWidth = penSize;
    PenPos = QPoint(X, Y);
    DragPenColor = ToolSettings::PenColor();
    // The band of a drag starts with no extent, so nothing shows until the pointer moves.
    switch (Tool) {
    case TDrawTool::dtEllipse:
        imSine->SetBand({TBandShape::Ellipse, {aX, aY}, {zX, zY}, PenWidth});
        break;
    case TDrawTool::dtRectangle:
        imSine->SetBand({TBandShape::Rectangle, {aX, aY}, {zX, zY}, PenWidth});
        break;
    case TDrawTool::dtLine:
        imSine->SetBand({TBandShape::Line, {aX, aY}, {zX, zY}, PenWidth});
        break;
    case TDrawTool::dtSelect:
        imSine->SetBand({TBandShape::Selection, {aX, aY}, {zX, zY}, 1});
        break;
    default:
        break;
    }
}

void TfZorvTile::imSineMouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers, int X, int Y) {
    stBar->SetPanelText(2, "X: " + QString::number(X));
    stBar->SetPanelText(3, "Y: " + QString::number(Y));
    if (!Drawing) return;
    // The button of the drag was let go where the view did not see it (a pop-up took the release):
    // the drag is dropped.
    if (!(Buttons & PressButton)) {
        CancelDrag();
        return;
    }
    switch (Tool) {
    case TDrawTool::dtFreeHand: {
        const QPoint to(X, Y);
        {
            QPainter p(&imSine->Canvas());
            p.setCompositionMode(PenMode(Rop2Mode));
            p.setPen(GdiPen(QColor(GetRValue(DragPenColor), GetGValue(DragPenColor), GetBValue(DragPenColor)),
                            PenWidth));
            DrawGdiLine(p, PenPos, to);
        }
        imSine->update(SegmentRect(PenPos, to, PenWidth));
        PenPos = to;
        break;
    }
    case TDrawTool::dtEllipse:
    case TDrawTool::dtRectangle:
    case TDrawTool::dtLine:
    case TDrawTool::dtSelect: {
        zX = X;
        zY = Y;
        TBand band = imSine->Band();
        band.B = QPoint(zX, zY);
        imSine->SetBand(band);
        if (Tool == TDrawTool::dtSelect) {
            stBar->SetPanelText(
                4, QString("Width: %1  Height: %2").arg(std::abs(zX - aX)).arg(std::abs(zY - aY)));
            AutoScroll(X, Y);
        }
        break;
    }
    default:
        break;
    }
}

void TfZorvTile::AutoScroll(int X, int Y) {
    QScrollBar* h = ScrollBox1->horizontalScrollBar();
    QScrollBar* v = ScrollBox1->verticalScrollBar();
    const QWidget* port = ScrollBox1->viewport();
    // Past the right or bottom edge of what shows: one pixel on.
    if (X > h->value() + port->width()) h->setValue(h->value() + 1);
    if (Y > v->value() + port->height()) v->setValue(v->value() + 1);
    // Past the left or top edge: one pixel back, and the pointer is nudged so that moves keep coming.
    if (X < h->value() && h->value() > h->minimum()) {
        h->setValue(h->value() - 1);
        QCursor::setPos(QCursor::pos() + QPoint(1, 0));
    }
    if (Y < v->value() && v->value() > v->minimum()) {
        v->setValue(v->value() - 1);
        QCursor::setPos(QCursor::pos() + QPoint(0, 1));
    }
}

void TfZorvTile::imSineMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int Y) {
    // Only the release of the button whose press the view took ends an action.
    if (Button == Qt::RightButton || Button != PressButton) return;
    PressButton = Qt::NoButton;
    const bool wasDrawing = Drawing;
    Drawing = false;
    if (Fill) {
        CopyViewToImage();
        SetToIm(z);
        return;
    }
    if (wasDrawing) {
        zX = X;
        zY = Y;
        if (Tool != TDrawTool::dtFreeHand) {
            TBand band = imSine->Band();
            band.B = QPoint(zX, zY);
            imSine->SetBand(band);
        }
        FinishShape();
        return;
    }
    CopyViewToImage();
}

void TfZorvTile::FinishShape() {
    const QString penSize = ToolSettings::PenSizeText();
    const QString penColor = ColorToRGBStr(ToolSettings::PenColor());
    const QString brushColor = ColorToRGBStr(ToolSettings::BrushColor());
    const QString fillWord = ToolSettings::FillShape() ? "Filled" : "Not Filled";
    const QColor pen(GetRValue(DragPenColor), GetGValue(DragPenColor), GetBValue(DragPenColor));
    switch (Tool) {
    case TDrawTool::dtFreeHand:
        LogLine(QString("FreeHand Drawing, Pen Size %1, Pen Color %2").arg(penSize, penColor));
        break;
    case TDrawTool::dtEllipse:
    case TDrawTool::dtRectangle: {
        const bool ellipse = Tool == TDrawTool::dtEllipse;
        // The adjustment dialog may move the corners or drop the shape (then nothing is drawn,
        // logged or copied).
        if (ShowAdj->isChecked() && fAdjust && !fAdjust->AdjustShape()) {
            imSine->ClearBand();
            return;
        }
        imSine->ClearBand();
        {
            QPainter p(&imSine->Canvas());
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.setPen(GdiPen(pen, PenWidth));
            const TColor b = ToolSettings::BrushColor();
            if (ToolSettings::FillShape())
                p.setBrush(QColor(GetRValue(b), GetGValue(b), GetBValue(b)));
            else
                p.setBrush(Qt::NoBrush);
            if (ellipse)
                DrawGdiEllipse(p, {aX, aY}, {zX, zY});
            else
                DrawGdiRectangle(p, {aX, aY}, {zX, zY});
        }
        imSine->update();
        LogLine(QString("%1 from X %2 Y %3, To X %4 Y %5, Pen Size %6, Pen Color %7, Brush Color %8, %9")
                    .arg(ellipse ? "Ellipse" : "Rectangle")
                    .arg(aX)
                    .arg(aY)
                    .arg(zX)
                    .arg(zY)
                    .arg(penSize, penColor, brushColor, fillWord));
        break;
    }
    case TDrawTool::dtLine: {
        imSine->ClearBand();
        {
            QPainter p(&imSine->Canvas());
            p.setCompositionMode(PenMode(Rop2Mode));
            p.setPen(GdiPen(pen, PenWidth));
            DrawGdiLine(p, {aX, aY}, {zX, zY});
        }
        imSine->update();
        LogLine(QString("Line from X %1 Y %2 To X %3 Y %4, Pen Size %5, Pen Color %6, Pen %7")
                    .arg(aX)
                    .arg(aY)
                    .arg(zX)
                    .arg(zY)
                    .arg(penSize, penColor, PenModeName(Rop2Mode)));
        break;
    }
    case TDrawTool::dtSelect:
        SelectionAction();
        break;
    default:
        break;
    }
    CopyViewToImage();
}

void TfZorvTile::SelectionAction() {
    // The selection always lies within the image: a drag past an edge is cut there.
    const QRect image = imSine->Canvas().rect();
    const QRect dragged =
        QRect(QPoint(std::min(aX, zX), std::min(aY, zY)), QSize(std::abs(zX - aX), std::abs(zY - aY)))
            .intersected(image);
    int r = mrCancel;
    if (!dragged.isEmpty()) {
        fSelect->SetSelection(dragged);
        r = fSelect->Execute(); // the band stays while the dialog is up
    }
    imSine->ClearBand();
    stBar->SetPanelText(4, "Idle...");
    if (r != mrOk && r != mrNo && r != mrYes) return;
    // The fields as the user left them, cut to the image; nothing left acts as Cancel.
    const QRect sel = fSelect->Selection().intersected(image);
    if (sel.isEmpty()) return;
    aX = sel.left();
    aY = sel.top();
    zX = sel.left() + sel.width();
    zY = sel.top() + sel.height();
    const QImage part = imSine->Canvas().copy(sel);
    TFastDIB cut;
    LoadFromQImage(cut, part, 24);
    const QString area =
        QString("Select Area From Left %1 Top %2, Right %3 Bottom %4").arg(aX).arg(aY).arg(zX).arg(zY);
    if (r == mrOk) {
        CopyDIBToClipboard(cut);
        LogLine(area + ", Copy to Clipboard");
    } else if (r == mrNo) {
        TakeBufferPicture(cut);
        LogLine(area + ", Copy to Buffer");
    } else {
        CopyDIB(cut, z);
        SetToIm(z);
        LogLine(area + ", Crop to Selection");
    }
}

void TfZorvTile::bColorClick() {
    if (fToolBox) fToolBox->ShowColorSliders(!fToolBox->ColorSlidersShown());
}
