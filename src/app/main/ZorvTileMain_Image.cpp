// The main window's images, their display and the undo ring.

#include "app/main/ZorvTileMain.h"

#include "app/dialogs/InputBox.h"
#include "image/Parallel.h"
#include "platform/Cursor.h"
#include "platform/ErrorGuard.h"
#include "platform/FastDIBQt.h"
#include "platform/MessageBoxes.h"

#include <QToolButton>

#include <algorithm>
#include <cstring>
#include <exception>
#include <stdexcept>

void CopyDIB(const TFastDIB& Src, TFastDIB& Dst) {
    if (&Src == &Dst) return;
    const bool sameSize = Dst.Bits && Dst.Bpp == 24 && Dst.Width == Src.Width && Dst.Height == Src.Height;
    // A new size is built aside and swapped in, so a failed allocation leaves Dst as it was.
    TFastDIB sized;
    if (!sameSize) sized.SetSize(Src.Width, Src.Height, 24, 0);
    TFastDIB& target = sameSize ? Dst : sized;
    if (Src.Bpp == 24 && Src.Bits && target.Bits) {
        // Rows in bands on every core, never cut short by a stop request.
        const std::size_t rowBytes = static_cast<std::size_t>(Src.Width) * 3;
        ParallelRowsToEnd(Src.Height, static_cast<std::int64_t>(Src.Width) * Src.Height,
                          [&](int first, int last) {
                              for (int y = first; y < last; ++y)
                                  std::memcpy(target.Scanlines[y], Src.Scanlines[y], rowBytes);
                          });
    } else {
        Src.Draw(target, 0, 0);
    }
    if (!sameSize) Dst.Swap(sized);
}

void CopyMe(QImage& Dest, const QImage& Src) {
    Dest = Src.convertToFormat(QImage::Format_BGR888);
}

void CopyFB(QImage& Dest, const TFastDIB& Src) {
    Dest = QImage(Src.Width, Src.Height, QImage::Format_BGR888);
    if (Dest.isNull()) return;
    QPainter p(&Dest);
    DrawDIB(p, Src, 0, 0);
}

void TfZorvTile::SetToIm(TFastDIB& D) {
    if (pnlSine->width() != D.Width || pnlSine->height() != D.Height) pnlSine->resize(D.Width, D.Height);
    if (imSine->width() != D.Width || imSine->height() != D.Height) imSine->resize(D.Width, D.Height);
    stBar->SetPanelText(0, "Width: " + QString::number(imSine->width()));
    stBar->SetPanelText(1, "Height: " + QString::number(imSine->height()));
    // The view paints D's own rows: only what is visible costs, whatever the image's size.
    imSine->ShowImage(D);
    imSine->repaint();
}

void TfZorvTile::ztobuf() {
    CopyDIB(z, buf);
}

void TfZorvTile::buftoz(int lightness, int contrast, int saturation, int red, int green, int blue) {
    CopyDIB(buf, z);
    LogLine(QString("ToolBox Sliders to positions:  Lightness %1, Contrast %2, Saturation %3, Red %4, "
                    "Green %5, Blue %6")
                .arg(lightness - 255)
                .arg(contrast - 255)
                .arg(saturation - 255)
                .arg(red - 255)
                .arg(green - 255)
                .arg(blue - 255));
}

void TfZorvTile::UpdateUndoButton() {
    bUndo->setEnabled(!Ring.Empty);
}

void TfZorvTile::CopyUnDo() {
    Ring.CopyUnDo(z);
    UpdateUndoButton();
}

void TfZorvTile::DoUnDo() {
    if (Ring.Empty) return;
    {
        HourGlass wait;
        Ring.DoUnDo(z);
        UpdateUndoButton();
    }
    LogLine("UnDo");
}

void TfZorvTile::BeginEffect(TFastDIB& Before, bool Cursor, bool Replace) {
    if (Cursor) EffectCursor = std::make_unique<HourGlass>();
    try {
        // Recycled pixel memory (the ring's spare) when it has the size: no fresh pages to fault in. The
        // ring lends it without giving up a snapshot; EndEffect gives it back when the work fails.
        const bool whole = z.Bits && z.Bpp == 24;
        if (whole) Ring.TakeSpare(Before, z.Width, z.Height);
        if (Replace && whole)
            z.Swap(Before);
        else
            CopyDIB(z, Before);
        // While the work writes z, the view shows the kept picture (same pixels, never written);
        // EndEffect shows z again on every way out.
        if (imSine) imSine->ShowImage(Before);
    } catch (...) {
        EffectCursor.reset();
        throw;
    }
}

void TfZorvTile::EndEffect(TFastDIB& Before, bool PutBack, bool Cursor) {
    struct CursorReset {
        std::unique_ptr<HourGlass>* C;
        ~CursorReset() {
            if (C) C->reset();
        }
    } reset{Cursor ? &EffectCursor : nullptr};
    if (PutBack) {
        z.Swap(Before);
        if (!Before.Empty()) Ring.GiveSpare(Before);
    } else {
        // The kept picture itself becomes the snapshot (BeginEffect made it 24 bits): nothing is
        // allocated, so the change, once worked out, is always kept.
        Ring.PushTaken(Before);
        UpdateUndoButton();
    }
    SetToIm(z);
}

void TfZorvTile::KeepPictureForUndo(const TFastDIB& Next, TFastDIB* Also) {
    // Everything the change needs is had first: the new picture, written into the ring's spare when it
    // has the size; new pixels for Also when its size differs; a 24-bit snapshot when z is of another
    // kind. A failure on the way gives the lent pixels back and leaves the picture, Also and the undo
    // ring as they were; past it nothing can fail.
    const auto fits = [&](const TFastDIB& d) {
        return d.Bits && d.Bpp == 24 && d.Width == Next.Width && d.Height == Next.Height;
    };
    TFastDIB next, also, snap;
    Ring.TakeSpare(next, Next.Width, Next.Height);
    try {
        CopyDIB(Next, next);
        if (Also && !fits(*Also)) {
            Ring.TakeSpare(also, Next.Width, Next.Height);
            CopyDIB(Next, also);
        }
        if (!z.Bits || z.Bpp != 24) CopyDIB(z, snap);
    } catch (...) {
        Ring.GiveSpare(next);
        throw;
    }
    Ring.PushTaken(z.Bits && z.Bpp == 24 ? z : snap);
    z.Swap(next);
    if (Also) {
        if (also.Empty())
            CopyDIB(z, *Also); // the same size: copied in place
        else
            Also->Swap(also);
    }
    UpdateUndoButton();
}

void TfZorvTile::SwapInResult(TFastDIB& Result) {
    // Nothing is allocated (unless z is not a 24-bit picture, whose snapshot is copied first): the
    // picture itself becomes the undo snapshot and the result takes its place, so a result once worked
    // out always enters.
    TFastDIB snap;
    if (!z.Bits || z.Bpp != 24) CopyDIB(z, snap);
    Ring.PushTaken(z.Bits && z.Bpp == 24 ? z : snap);
    z.Swap(Result);
    TFastDIB().Swap(Result);
    UpdateUndoButton();
    SetToIm(z);
}

TUndoFrame::TUndoFrame(TfZorvTile& w, const QString& name, bool cursor, bool replace)
    : W(w), Work(name.isEmpty() ? QStringLiteral("Working") : name), Unwinding(std::uncaught_exceptions()),
      Cursor(cursor) {
    W.BeginEffect(Before, cursor, replace);
}

TUndoFrame::~TUndoFrame() {
    // Work that ends by an exception (a stop, no memory, any failure) may have left z half written, or
    // holding recycled pixels it never wrote: the picture is put back and the undo ring left as it was.
    const bool failed = std::uncaught_exceptions() > Unwinding;
    try {
        W.EndEffect(Before, failed, Cursor);
    } catch (const std::exception& e) {
        ShowException(e);
    }
}

void TfZorvTile::bUndoClick() {
    DoUnDo();
    SetToIm(z);
}

void TfZorvTile::UnDo1Click() {
    bUndoClick();
}

void TfZorvTile::Reset1Click() {
    KeepPictureForUndo(orig);
    SetToIm(z);
    LogLine("Image Reset");
}

void TfZorvTile::ChangeUndoQuantity1Click() {
    const QString text =
        InputBox(this, "Change Number of Undo", "Enter a New Maximum Undo: ", QString::number(UndoLevels));
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok) throw std::runtime_error(QString("'%1' is not a valid integer value").arg(text).toStdString());
    if (n < TUndoRing::MinLevels || n > TUndoRing::MaxLevels) {
        ShowMessage("The number of undo levels must lie between 1 and 100.");
        return;
    }
    if (n == UndoLevels) return;
    if (MessageDlg(" This will clear current Undo buffers \rand reset all pointers.  Continue with \r"
                   "          Undo modification?",
                   TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    Ring.Reset(n);
    UndoLevels = n;
    UpdateUndoButton();
}
