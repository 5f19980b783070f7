#include "app/main/StartUp.h"

#include "app/dialogs/LogViewer.h"
#include "app/dialogs/LogEditor.h"
#include "app/dialogs/AllForms.h"
#include "app/dialogs/PrintOptions.h"
#include "app/main/ZorvTileMain.h"
#include "platform/Folders.h"
#include "platform/Registry.h"
#include "platform/SafeFile.h"

#include <QFileInfo>
#include <QStringList>

namespace {

// Constructs a form, stores it in its global and remembers how to run its FormCreate.
template <class T>
T* Construct(std::vector<std::unique_ptr<QWidget>>& owned, std::vector<void (*)()>& clears, T*& global,
             void (*clear)()) {
    auto form = std::make_unique<T>();
    global = form.get();
    owned.push_back(std::move(form));
    clears.push_back(clear);
    return global;
}

// Temporary files of saves that were killed half-way: wherever the records of saves in progress say
// they were written, and in the folders the program writes to (the settings and key store folders, its
// data folder, the folder of the last picture), for those whose record could not be written.
void RemoveOwnStaleTemporaries() {
    RemoveTemporariesOfKilledSaves();
    QStringList folders{fZorvTile->INIDir, fZorvTile->DefDir, ProgramDataFolder(),
                        QFileInfo(Registry::StoreFileName()).absolutePath()};
    folders.removeDuplicates();
    for (const QString& folder : folders) RemoveStaleTemporaries(folder);
}

} // namespace

void TApplicationForms::CreateForms(const QString& startFile) {
    std::vector<std::unique_ptr<QWidget>> owned;
    std::vector<void (*)()> clears;
    Construct(owned, clears, fZorvTile, [] { fZorvTile = nullptr; });
    Construct(owned, clears, fToolBox, [] { fToolBox = nullptr; });
    Construct(owned, clears, fGradient, [] { fGradient = nullptr; });
    Construct(owned, clears, fFilter, [] { fFilter = nullptr; });
    Construct(owned, clears, fSelect, [] { fSelect = nullptr; });
    Construct(owned, clears, fText, [] { fText = nullptr; });
    Construct(owned, clears, fJPGComp, [] { fJPGComp = nullptr; });
    Construct(owned, clears, fTrans, [] { fTrans = nullptr; });
    Construct(owned, clears, fTexture, [] { fTexture = nullptr; });
    Construct(owned, clears, frmSizer, [] { frmSizer = nullptr; });
    Construct(owned, clears, fTester, [] { fTester = nullptr; });
    Construct(owned, clears, fAbout, [] { fAbout = nullptr; });
    Construct(owned, clears, fPrint, [] { fPrint = nullptr; });
    Construct(owned, clears, fGif, [] { fGif = nullptr; });
    Construct(owned, clears, fLog, [] { fLog = nullptr; });
    Construct(owned, clears, fELog, [] { fELog = nullptr; });
    Construct(owned, clears, fMultGrad, [] { fMultGrad = nullptr; });
    Construct(owned, clears, fAdjust, [] { fAdjust = nullptr; });
    Construct(owned, clears, fMultOpt, [] { fMultOpt = nullptr; });
    for (std::size_t i = 0; i < owned.size(); ++i) Forms.push_back(TForm{std::move(owned[i]), clears[i]});

    fZorvTile->StartFile = startFile;
    // Second phase, in the same order: the main window first, so the dialogs can read its settings
    // folder and options.
    fZorvTile->FormCreate();
    RemoveOwnStaleTemporaries();
    fToolBox->FormCreate();
    fGradient->FormCreate();
    fFilter->FormCreate();
    fSelect->FormCreate();
    fText->FormCreate();
    fJPGComp->FormCreate();
    fTrans->FormCreate();
    fTexture->FormCreate();
    frmSizer->FormCreate();
    fTester->FormCreate();
    fAbout->FormCreate();
    fPrint->FormCreate();
    fGif->FormCreate();
    fLog->FormCreate();
    fELog->FormCreate();
    fMultGrad->FormCreate();
    fAdjust->FormCreate();
    fMultOpt->FormCreate();
}

void TApplicationForms::DestroyForms() {
    while (!Forms.empty()) {
        TForm form = std::move(Forms.back());
        Forms.pop_back();
        form.Widget.reset();
        form.ClearGlobal();
    }
}
