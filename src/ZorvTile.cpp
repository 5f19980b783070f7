// Mozaro's start-up: the splash, the nineteen windows, the message loop, and the windows destroyed in
// the reverse order of their creation.

#include "app/main/Splash.h"
#include "app/main/StartUp.h"
#include "app/main/ZorvTileMain.h"
#include "platform/ErrorGuard.h"
#include "platform/Folders.h"
#include "platform/GIFGraphic.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>

#include <memory>

int main(int argc, char** argv) {
    GuardedApplication app(argc, argv);
    // Unit initialisation: the GIF codec registers its picture class and notes the display's depth.
    RegisterGIFGraphic();

    // The desktop entry installed with the program, and its icon, for the window manager.
    QGuiApplication::setDesktopFileName("mozaro");
    QApplication::setWindowIcon(QIcon(":/icons/mozaro.png"));

    auto splash = std::make_unique<TfSplash>();
    fSplash = splash.get();
    fSplash->FormCreate();
    fSplash->ShowFor(1500);

    // The name only: a display name would be appended to every window's and dialog's title.
    QApplication::setApplicationName("Mozaro");
    // The help file's place: Help > Contents writes the page shipped inside the program there.
    app.setProperty("HelpFile", QDir(ProgramDataFolder()).filePath("Mozaro.html"));

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
