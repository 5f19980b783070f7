// The main window's file commands (New, Open, Save As, Exit, the start-up file and dropped files),
// the file dialogs and the wiring of every file, clipboard and buffer command.

#include "app/dialogs/JpegQuality.h"
#include "app/dialogs/ToolBox.h"
#include "app/main/WorkProgress.h"
#include "app/main/ZorvTileMain.h"

#include "image/WorkControl.h"
#include "platform/ErrorGuard.h"
#include "platform/FastDIBQt.h"
#include "platform/FileDialogs.h"
#include "platform/GIFGraphic.h"
#include "platform/MessageBoxes.h"
#include "platform/Picture.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

const char* const TfZorvTile::OpenPictureFilter =
    "BMP, JPG, GIF|*.bmp;*.jpg;*.gif|JPEG Image File (*.jpg)|*.jpg|Bitmaps (*.bmp)|*.bmp|GIF (*.gif)|*.gif";
const char* const TfZorvTile::SavePictureFilter =
    "JPG,BMP,GIF(*.jpg,*.bmp,*.gif)|*.jpg;*.bmp;*.gif|JPEG Image "
    "File (*.jpg)|*.jpg|Bitmaps (*.bmp)|*.bmp|GIF (*.gif)|*.gif";

namespace {

TfZorvTile::TFileDialogHook& fileDialogHook() {
    static TfZorvTile::TFileDialogHook hook;
    return hook;
}

QString openingName(const QString& fileName) {
    return "Opening " + QFileInfo(fileName).fileName();
}

// The local files named by a drag's data.
QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}

// Routes the events of the image area (dropped files), the floating selection (dragging and
// committing it) and the buffer thumbnail (double-click) to the window's commands.
class TFileEventFilter : public QObject {
public:
    TFileEventFilter(TfZorvTile* w, QWidget* dropArea, QWidget* paste, QWidget* buffer)
        : QObject(w), W(w), DropArea(dropArea), Paste(paste), Buffer(buffer) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == DropArea) return dropEvent(event);
        if (watched == Paste) return pasteEvent(event);
        if (watched == Buffer && event->type() == QEvent::MouseButtonDblClick) {
            Guarded([this] { W->imBufferDblClick(); });
            return true;
        }
        return false;
    }

private:
    bool dropEvent(QEvent* event) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* e = static_cast<QDropEvent*>(event);
            if (LocalFiles(e->mimeData()).isEmpty())
                e->ignore();
            else
                e->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            const QStringList files = LocalFiles(e->mimeData());
            if (files.isEmpty()) {
                e->ignore();
                return true;
            }
            e->acceptProposedAction();
            Guarded([&] { W->DropFiles(files); });
            return true;
        }
        default:
            return false;
        }
    }

    bool pasteEvent(QEvent* event) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() == Qt::LeftButton)
                Guarded([&] { W->imPasteMouseDown(e->globalPosition().toPoint()); });
            return true;
        }
        case QEvent::MouseMove: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->buttons() & Qt::LeftButton)
                Guarded([&] { W->imPasteMouseDrag(e->globalPosition().toPoint()); });
            else
                Guarded([&] { W->imPasteMouseMove(); });
            return true;
        }
        case QEvent::MouseButtonRelease:
            Guarded([&] { W->imPasteMouseUp(); });
            return true;
        default:
            return false;
        }
    }

    TfZorvTile* W;
    QWidget* DropArea;
    QWidget* Paste;
    QWidget* Buffer;
};

} // namespace

void TfZorvTile::WireFileCommands() {
    auto action = [this](const char* name, void (TfZorvTile::*cmd)(), bool enabled = true) {
        auto* a = findChild<QAction*>(name);
        if (!a) return a;
        a->setEnabled(enabled);
        OnTriggered(a, cmd);
        return a;
    };
    auto button = [this](const char* name, void (TfZorvTile::*cmd)(), bool enabled = true) {
        auto* b = findChild<QToolButton*>(name);
        if (!b) return;
        b->setEnabled(enabled);
        connect(b, &QToolButton::clicked, this, [this, cmd] { Guarded([this, cmd] { (this->*cmd)(); }); });
    };

    action("New1", &TfZorvTile::New1Click);
    action("Open1", &TfZorvTile::Open1Click);
    action("SaveAs1", &TfZorvTile::SaveAs1Click);
    if (auto* exit = findChild<QAction*>("Exit1")) {
        // Exit is this unit's command now; it still goes through the close question.
        disconnect(exit, &QAction::triggered, this, nullptr);
        OnTriggered(exit, &TfZorvTile::Exit1Click);
    }
    action("Copy1", &TfZorvTile::Copy1Click);
    action("Copy2", &TfZorvTile::Copy1Click);
    action("AsSelection1", &TfZorvTile::AsSelection1Click);
    action("ReplaceImage1", &TfZorvTile::ReplaceImage1Click);
    action("Paste2", &TfZorvTile::ReplaceImage1Click);
    action("Transparent1", &TfZorvTile::Transparent1Click);
    action("CopyImagetoBuffer1", &TfZorvTile::CopyImagetoBuffer1Click);
    // The three buffer items are enabled when the buffer receives its first image.
    action("PasteBuffertoImage1", &TfZorvTile::PasteBuffertoImage1Click, false);
    action("MergeBufferWithImage1", &TfZorvTile::MergeBufferWithImage1Click, false);
    action("CopyBuffertoClipboard1", &TfZorvTile::CopyBuffertoClipboard1Click, false);
    action("LoadBufferfromFile1", &TfZorvTile::LoadBufferfromFile1Click);
    action("PasteClipboardtoBuffer1", &TfZorvTile::PasteClipboardtoBuffer1Click);
    action("SetJPGCompression2", &TfZorvTile::SetJPGCompression2Click);

    button("bOpen", &TfZorvTile::Open1Click);
    button("bSave", &TfZorvTile::SaveAs1Click);
    button("bCopy", &TfZorvTile::Copy1Click);
    button("bPaste", &TfZorvTile::ReplaceImage1Click);
    button("bCpyBufr", &TfZorvTile::CopyImagetoBuffer1Click);
    button("bPstBufr", &TfZorvTile::PasteBuffertoImage1Click, false);

    auto* paste = findChild<QWidget*>("pPaste");
    auto* imPaste = findChild<QLabel*>("imPaste");
    if (imPaste) {
        imPaste->setCursor(Qt::PointingHandCursor);
        imPaste->setMouseTracking(true);
    }
    if (paste) paste->hide();
    QWidget* dropArea = ScrollBox1 ? ScrollBox1->viewport() : nullptr;
    auto* filter = new TFileEventFilter(this, dropArea, imPaste, imBuffer);
    if (dropArea) {
        dropArea->setAcceptDrops(true);
        dropArea->installEventFilter(filter);
    }
    if (imPaste) imPaste->installEventFilter(filter);
    if (imBuffer) imBuffer->installEventFilter(filter);
    if (auto* timer = findChild<QTimer*>("Timer1")) {
        timer->stop();
        connect(timer, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });
    }
}

TColor TfZorvTile::ToolBoxBrushColor() const {
    return fToolBox ? fToolBox->BrushColor() : RGBColor(255, 255, 255);
}

TColor TfZorvTile::ToolBoxPenColor() const {
    return fToolBox ? fToolBox->PenColor() : RGBColor(0, 0, 0);
}

QString TfZorvTile::QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString& text = parts[i];
        const QStringList patternList = parts[i + 1].split(';', Qt::SkipEmptyParts);
        const QString patterns = patternList.join(' ');
        // Qt reads the patterns from the last parentheses of the text and shows the text as it
        // stands: a text that already ends with the same patterns (in any notation) loses them, so
        // each pattern is shown once.
        QString shown = text.trimmed();
        const qsizetype open = shown.lastIndexOf('(');
        if (open >= 0 && shown.endsWith(')')) {
            QStringList own = shown.mid(open + 1, shown.size() - open - 2)
                                  .split(QRegularExpression("[,; ]+"), Qt::SkipEmptyParts);
            QStringList wanted = patternList;
            own.sort(Qt::CaseInsensitive);
            wanted.sort(Qt::CaseInsensitive);
            if (own.join(' ').compare(wanted.join(' '), Qt::CaseInsensitive) == 0)
                shown = shown.left(open).trimmed();
        }
        out << shown + " (" + patterns + ")";
    }
    return out.join(";;");
}

void TfZorvTile::SetFileDialogHook(TFileDialogHook hook) {
    fileDialogHook() = std::move(hook);
}

QString TfZorvTile::RunFileDialog(bool save, const QString& caption, const QString& folder,
                                  const QString& filter, const QString& proposed) {
    QString name;
    if (fileDialogHook()) {
        name = fileDialogHook()(caption, folder, filter, proposed);
    } else {
        QFileDialog dialog(this, caption, folder);
        dialog.setNameFilters(QtNameFilters(filter).split(";;"));
        if (save) {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setDefaultSuffix("jpg");
            if (!proposed.isEmpty()) dialog.selectFile(proposed);
        } else {
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFile);
        }
        SizeFileDialog(dialog);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            name = dialog.selectedFiles().constFirst();
    }
    if (name.isEmpty()) return name;
    // The save dialog's default extension.
    if (save && QFileInfo(name).suffix().isEmpty()) name += ".jpg";
    return QFileInfo(name).absoluteFilePath();
}

void TfZorvTile::ShownPicture(TFastDIB& out) const {
    // What the view shows: its canvas, copied from the shown image when that is stale.
    if (imSine && !imSine->Canvas().isNull())
        LoadFromQImage(out, imSine->Canvas(), 24);
    else
        CopyDIB(z, out);
}

void TfZorvTile::ReadPictureFile(const QString& fileName, TFastDIB& pic, QStringList* warnings) {
    // Long reads show the progress window, and Esc or Cancel stops them between chunks or rows.
    TWorkScope scope(openingName(fileName));
    LoadPictureToDIB(fileName, pic, warnings);
}

void TfZorvTile::TakeLoadedPicture(TFastDIB& pic, const QString& fileName, bool undo) {
    // The copy Edit > Reset goes back to, the scratch image and the undo snapshot's room first: a lack
    // of memory leaves the image, the undo ring and the last opened picture as they were.
    TFastDIB kept, scratch;
    try {
        CopyDIB(pic, kept);
        scratch.SetSize(pic.Width, pic.Height, 24, 0);
        // A stop asked for until here is honoured; what follows (the swap and the first paint) is not
        // stopped, and the progress window says so.
        BeginFinalWorkStep("Showing the picture...");
        if (undo && !(z.Bits && z.Bpp == 24)) CopyUnDo();
    } catch (const std::bad_alloc&) {
        const std::int64_t needed = 2 * static_cast<std::int64_t>(pic.BWidth) * pic.Height;
        throw EPictureTooLarge(QString("%1 cannot be opened: there is not enough memory for its picture of "
                                       "%2 x %3 pixels and the copy Edit > Reset keeps, which need %4 MB")
                                   .arg(QFileInfo(fileName).fileName())
                                   .arg(pic.Width)
                                   .arg(pic.Height)
                                   .arg(MegabytesText(needed))
                                   .toStdString());
    }
    // The image before goes on the ring itself (it is replaced whole, so it need not be copied).
    if (undo && z.Bits && z.Bpp == 24) {
        Ring.PushTaken(z);
        UpdateUndoButton();
    }
    z.Swap(pic);
    orig.Swap(kept);
    buf.Swap(scratch);
    SetToIm(z);
}

void TfZorvTile::New1Click() {
    const TColor c = ToolBoxBrushColor();
    CopyUnDo();
    const TFColor p = ColorToFColor(c);
    for (int y = 0; y < z.Height; ++y) {
        TFColor* row = z.Pixels24[y];
        std::fill(row, row + z.Width, p);
    }
    SetToIm(z);
    LogLine("New Image, Color " + ColorToRGBStr(c));
}

void TfZorvTile::Open1Click() {
    // The dialog lists every picture type the installed readers know.
    const QString name =
        RunFileDialog(false, "Open", DefDir, OpenPictureFilterWithAllTypes(OpenPictureFilter), QString());
    if (name.isEmpty()) return;
    // The picture is read before anything changes: a file that cannot be read, or a stop, leaves the
    // image and the undo ring as they were.
    TFastDIB pic;
    QStringList warnings;
    {
        // One scope from the read to the first paint of the picture.
        TWorkScope scope(openingName(name));
        ReadPictureFile(name, pic, &warnings);
        TakeLoadedPicture(pic, name, true);
    }
    DefDir = QFileInfo(name).absolutePath();
    LogLine("Open File " + name);
    // A picture cut short shows what could be read, and says so.
    if (!warnings.isEmpty()) ShowMessage(warnings.join("\n"));
}

void TfZorvTile::OpenStartFile(const QString& fileName) {
    TFastDIB pic;
    QStringList warnings;
    {
        TWorkScope scope(openingName(fileName));
        ReadPictureFile(fileName, pic, &warnings);
        TakeLoadedPicture(pic, fileName, false);
    }
    // Shown first, then told what is missing, as Open does.
    if (!warnings.isEmpty()) ShowMessage(warnings.join("\n"));
}

void TfZorvTile::DropFiles(const QStringList& fileNames) {
    if (fileNames.size() > 1) {
        ShowMessage("You can only drop one file at a time");
        return;
    }
    if (!fileNames.isEmpty()) DropFile(fileNames.constFirst());
}

void TfZorvTile::DropFile(const QString& fileName) {
    const QString name = QFileInfo(fileName).absoluteFilePath();
    TFastDIB pic;
    QStringList warnings;
    try {
        TWorkScope scope(openingName(name));
        ReadPictureFile(name, pic, &warnings);
        TakeLoadedPicture(pic, name, true);
    } catch (const EPictureTooLarge& e) {
        // A picture of a known type that does not fit says so, as Open does.
        ShowMessage(QString::fromStdString(e.what()));
        return;
    } catch (const EInvalidGraphic&) {
        // Nothing has changed yet, so there is nothing to take back.
        ShowMessage("Unsupported image file, or not an image");
        return;
    }
    DefDir = QFileInfo(name).absolutePath();
    LogLine("Open File " + name);
    if (!warnings.isEmpty()) ShowMessage(warnings.join("\n"));
}

void TfZorvTile::Exit1Click() {
    close();
}

void TfZorvTile::SetJPGCompression2Click() {
    if (fJPGComp && fJPGComp->Execute() == mrOk) jcv = fJPGComp->sbCVal->value();
}
