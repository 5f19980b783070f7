// The main window's Save As: the file dialog, the format the name asks for and the GIF transparency
// question.

#include "app/dialogs/GifTransparency.h"
#include "app/main/ZorvTileMain.h"

#include "platform/GIFGraphic.h"
#include "platform/MessageBoxes.h"
#include "platform/Picture.h"

#include <QAction>
#include <QFileInfo>

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
    TFastDIB pic;
    ShownPicture(pic);
    // The format comes from the file's own name; the file is replaced only once the new one is
    // complete.
    if (SaveFormatFromName(name) == TSaveFormat::GIF) return SaveGIF(pic, name);
    SavePictureFromDIB(pic, name, jcv);
    return true;
}

bool TfZorvTile::SaveGIF(const TFastDIB& pic, const QString& name) {
    // 256 colours chosen by libjpeg's quantiser, one frame, one optimised colour table.
    std::unique_ptr<TGIFGraphic> g = MakeGIFForSave(pic);
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
    g->SaveToFile(name);
    return true;
}

QStringList TfZorvTile::SavableExtensions() {
    return {"bmp", "jpg", "jpeg", "gif"};
}

void TfZorvTile::SaveAs1Click() {
    SaveImageAs();
}
