// The Options menu's switches, the Pen menu, Set As Wallpaper and the help commands.

#include "app/main/ZorvTileMain.h"

#include "app/dialogs/ShapeAdjust.h"
#include "app/main/HelpPage.h"
#include "app/main/ShortcutList.h"

#include "platform/Folders.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"
#include "platform/SafeFile.h"
#include "platform/Shell.h"

#include <QAction>
#include <QCheckBox>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QStandardPaths>

#include <stdexcept>

// The switches: Qt has already ticked or unticked the item, whose state is the option's value.
void TfZorvTile::ShowDialogDuringSave1Click() {
    ShowDialogDuringSave1->setChecked(true);
}
void TfZorvTile::HideDialogDuringSave1Click() {
    HideDialogDuringSave1->setChecked(true);
}
void TfZorvTile::SaveImagewithLogFileName1Click() {}
void TfZorvTile::PromptforSaveAtTermination1Click() {}
void TfZorvTile::ShowSampleTextonTestPage1Click() {}
// The shape adjustment dialog's check boxes follow these two: "Do not show this dialog again" is the
// opposite of ShowAdj, "Center based on Width" agrees with CenterShapes.
void TfZorvTile::ShowAdjClick() {
    if (fAdjust) fAdjust->cbDontShow->setChecked(!ShowAdj->isChecked());
}
void TfZorvTile::CenterShapesClick() {
    if (fAdjust) fAdjust->cbCenter->setChecked(CenterShapes->isChecked());
}

void TfZorvTile::NormalPenClick(int index) {
    PenItems[static_cast<std::size_t>(index)]->setChecked(true);
    Rop2Mode = index;
}

void TfZorvTile::PrintShortcutKeyList1Click() {
    // The list is made from the menus at the moment it is printed, so it cannot go out of date.
    const QString path = QDir(ProgramDataFolder()).filePath("shortcuts.txt");
    QString why;
    if (!WriteFileAtomically(path, ShortcutKeyList(menuBar()).toUtf8(), &why))
        ThrowWriteError(path, why);
    if (QStandardPaths::findExecutable("lp").isEmpty()) {
        ShowMessage("The shortcut key list cannot be printed: the print command \"lp\" is not installed "
                    "(package cups-client).\rThe list is saved in " +
                    path);
        return;
    }
    if (!ShellPrintDocument(path))
        ShowMessage("The shortcut key list could not be printed: the print command refused it (is a "
                    "printer set up?).\rThe list is saved in " +
                    path);
}

QString TfZorvTile::WallpaperPath() const {
    return QDir(WindowsFolder()).filePath("ZorvTile.bmp");
}

void TfZorvTile::SetAsWallpaper1Click() {
    const QString path = WallpaperPath();
    // Written completely or not at all: a failed or short write keeps the previous wallpaper file.
    QByteArray bmp;
    QBuffer buffer(&bmp);
    if (!buffer.open(QIODevice::WriteOnly) || !imSine->Canvas().save(&buffer, "BMP") ||
        !WriteFileAtomically(path, bmp))
        throw std::runtime_error(("Unable to write to " + path).toStdString());
    Registry::WriteString("Control Panel\\desktop", "Wallpaper", path);
    // Only a desktop whose wallpaper was changed counts; anywhere else the user is told what to do.
    QString why;
    if (!SetDesktopWallpaper(path, &why))
        ShowMessage("The picture is saved in " + path +
                    ", but the desktop's wallpaper was not changed: " + why +
                    ".\rThis desktop's wallpaper must be set by hand: choose that file in its own settings.");
}

void TfZorvTile::Contents1Click() {
    // The help document ships inside the program; the desktop's viewer needs a file, written afresh
    // each time so that it names the folders in use now.
    const QDir data(ProgramDataFolder());
    const QString path = data.filePath("Mozaro.html");
    const THelpPlaces places{
        SettingsFileName(), Registry::StoreFileName(), LogPath(), path, data.filePath("shortcuts.txt"),
        WallpaperPath()};
    if (!WriteFileAtomically(path, HelpPageHtml(places).toUtf8()))
        throw std::runtime_error(("Unable to write to " + path).toStdString());
    if (!ShellOpenHelp(path))
        ShowMessage("The help cannot be shown: no web browser is set up to open it.\rThe help is the page " +
                    path);
}
