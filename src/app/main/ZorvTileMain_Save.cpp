// The main window's Save As: the file dialog, the format the name asks for and the GIF transparency
// question.

#include "app/dialogs/GifTransparency.h"
#include "app/main/WorkProgress.h"
#include "app/main/ZorvTileMain.h"

#include "platform/GIFGraphic.h"
#include "platform/MessageBoxes.h"
#include "platform/PictureSave.h"

#include <QAction>
#include <QFileInfo>

namespace {

// Whether the view paints z's own rows at z's size, so that what it shows is z itself.
bool viewShowsZ(const TfZorvTile& w) {
    const TImage* view = w.imSine;
    return !view || (view->ShownImage() == &w.z && w.z.Bpp == 24 && view->width() == w.z.Width &&
                     view->height() == w.z.Height);
}

QString savingName(const QString& fileName) {
    return QStringLiteral("Saving %1").arg(QFileInfo(fileName).fileName());
}

} // namespace

bool TfZorvTile::SaveImageAs(const QString& proposedName) {
    const QString name = RunFileDialog(true, "Save File As...", DefDir, SavePictureFilter, proposedName);
    if (name.isEmpty()) return false;
    DefDir = QFileInfo(name).absolutePath();
    // Only a name the program can open again: a file of another extension would hold JPEG data that
    // no program takes for what its name says.
    const QString ext = QFileInfo(name).suffix().toLower();
    if (!SavableExtensions().contains(ext)) {
        ShowMessage(QString("Cannot save as \"%1\": pictures are saved as .bmp, .jpg, .jpeg or .gif files.")
                        .arg(QFileInfo(name).fileName()));
        return false;
    }
    // The format comes from the file's own name; the file is replaced only once the new one is
    // complete. Long work shows the progress window; a stop leaves any existing file as it was.
    const TSaveFormat format = SaveFormatFromName(name);
    // What the view shows: z itself, or a copy of the view's canvas when that differs.
    TFastDIB copy;
    const TFastDIB* pic = &z;
    {
        TWorkScope work(savingName(name));
        if (!viewShowsZ(*this)) {
            const int w = imSine->width(), h = imSine->height();
            RunSaveWithinMemory(name, w, h, std::int64_t{w} * h * 3 + SaveMemoryNeed(format, w, h),
                                [&] { ShownPicture(copy); });
            pic = &copy;
        }
        if (format != TSaveFormat::GIF) {
            SavePictureFromDIB(*pic, name, jcv);
            return true;
        }
    }
    return SaveGIF(*pic, name);
}

bool TfZorvTile::SaveGIF(const TFastDIB& pic, const QString& name) {
    // 256 colours chosen by libjpeg's quantiser, one frame, one optimised colour table. The work before
    // the transparency dialog and the file after it each show the progress window when they take long.
    const std::int64_t need = SaveMemoryNeed(TSaveFormat::GIF, pic.Width, pic.Height);
    std::unique_ptr<TGIFGraphic> g;
    {
        TWorkScope work(savingName(name));
        RunSaveWithinMemory(name, pic.Width, pic.Height, need, [&] { g = MakeGIFForSave(pic); });
    }
    if (ShowDialogDuringSave1->isChecked() && fGif) {
        fGif->DoColors(g->Image());
        const int answer = fGif->Execute();
        if (answer == mrCancel) return false;
        TGIFSubImage* frame = g->Image().Images()[0];
        auto gce = std::make_unique<TGIFGraphicControlExtension>(frame);
        TGIFGraphicControlExtension* ext = gce.get();
        frame->Extensions().Add(std::move(gce));
        if (answer == mrOk) {
            ext->SetTransparentColorIndex(fGif->ndex & 0xFF);
            ext->SetTransparent(true);
        } else {
            ext->SetTransparent(false);
        }
    }
    // The file: the LZW stream and the copy written out, at most about a byte a pixel each.
    TWorkScope work(savingName(name));
    RunSaveWithinMemory(name, pic.Width, pic.Height, std::int64_t{pic.Width} * pic.Height * 2,
                        [&] { g->SaveToFile(name); });
    return true;
}

QStringList TfZorvTile::SavableExtensions() {
    return {"bmp", "jpg", "jpeg", "gif"};
}

void TfZorvTile::SaveAs1Click() {
    SaveImageAs();
}
