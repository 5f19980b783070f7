// Mozaro's start-up: the splash, the nineteen windows, the message loop, and the windows destroyed in
// the reverse order of their creation.

#include "app/main/Splash.h"
#include "app/main/StartUp.h"
#include "app/main/ZorvTileMain.h"
#include "platform/ErrorGuard.h"
#include "platform/Folders.h"

#include <QDir>
#include <QThread>

#include <memory>

int main(int argc, char** argv) {
    GuardedApplication app(argc, argv);

    auto splash = std::make_unique<TfSplash>();
    fSplash = splash.get();
    fSplash->FormCreate();
    fSplash->show();
    QApplication::processEvents();
    QThread::msleep(1500);
    fSplash->update();
    QApplication::processEvents();

    QApplication::setApplicationName("Mozaro");
    // No application display name: the window manager would show it after every window's own caption
    // ("Tool Box - Mozaro"), which the narrow tool box cuts.
    // The help file's place; Help > Contents opens the document shipped with the program.
    app.setProperty("HelpFile", QDir(ProgramFolder()).filePath("Mozaro.chm"));

    const QStringList args = QApplication::arguments();
    TApplicationForms forms;
    int result = 1;
    try {
        forms.CreateForms(args.size() > 1 ? args[1] : QString());
        fSplash->hide();
        splash.reset();
        fSplash = nullptr;
        fZorvTile->show();
        result = QApplication::exec();
    } catch (const std::exception& e) {
        ShowException(e);
    }
    splash.reset();
    fSplash = nullptr;
    forms.DestroyForms();
    return result;
}
