// The Options menu's switches, the Pen menu, Set As Wallpaper and the help commands.

#include "app/main/ZorvTileMain.h"

#include "app/dialogs/ShapeAdjust.h"
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
        throw std::runtime_error(QString("Cannot write %1: %2").arg(path, InSentence(why)).toStdString());
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
    if (!buffer.open(QIODevice::WriteOnly) || !imSine->Picture.save(&buffer, "BMP") ||
        !WriteFileAtomically(path, bmp))
        throw std::runtime_error(("Unable to write to " + path).toStdString());
    Registry::WriteString("Control Panel\\desktop", "Wallpaper", path);
    if (!SetDesktopWallpaper(path))
        ShowMessage("The picture is saved in " + path +
                    ", but this desktop's wallpaper cannot be set by Mozaro (it sets it on GNOME, KDE Plasma "
                    "and Xfce).\rChoose that file in the desktop's own settings.");
}

void TfZorvTile::Contents1Click() {
    // The help document ships inside the program; the desktop's viewer needs a file.
    const QString path = QDir(ProgramDataFolder()).filePath("Mozaro.html");
    QFile::remove(path);
    if (!QFile::copy(":/help/Mozaro.html", path))
        throw std::runtime_error(QString("Cannot write %1").arg(path).toStdString());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (!ShellOpenHelp(path))
        ShowMessage("The help cannot be shown: no web browser is set up to open it.\rThe help is the page " +
                    path);
}
