#include "AppTestSupport.h"

#include "app/dialogs/InputBox.h"
#include "app/dialogs/JpegQuality.h"
#include "app/dialogs/LogViewer.h"
#include "app/dialogs/PrintOptions.h"
#include "app/dialogs/TransparentPaste.h"
#include "platform/Registry.h"

#include <QCoreApplication>

void Pump(int times) {
    for (int i = 0; i < times; ++i) QCoreApplication::processEvents();
}

TStartedProgram::TStartedProgram(const QString& iniDir, const QString& startFile, bool show) {
    EnsureQtApplication();
    Registry::WriteString("Software\\ZorvWare\\ZorvTile", "INILocation", iniDir);
    SetMessageHook([this](const QString& text, TMsgDlgType type, int buttons) {
        Asked.push_back({text, type, buttons});
        if (Answers.empty()) return DefaultAnswer;
        const int a = Answers.front();
        Answers.pop_front();
        return a;
    });
    UndoLevels = 15;
    Forms = std::make_unique<TApplicationForms>();
    Forms->CreateForms(startFile);
    if (show) {
        fZorvTile->show();
        Pump();
    }
}

void TStartedProgram::Destroy() {
    if (Forms) Forms->DestroyForms();
    Forms.reset();
}

TStartedProgram::~TStartedProgram() {
    Destroy();
    SetMessageHook({});
    UndoLevels = 15;
}

void ProgramTest::SetUp() {
    ASSERT_TRUE(Ini.isValid() && LogDir.isValid());
    TfZorvTile::SetLogFolder(LogDir.path());
    Program = std::make_unique<TStartedProgram>(Ini.path(), QString(), Show);
    W = fZorvTile;
    ASSERT_NE(W, nullptr);
}

void ProgramTest::TearDown() {
    Program.reset();
    TfZorvTile::SetFileDialogHook({});
    TfZorvTile::SetLogFolder(QString());
    TfJPGComp::SetExecuteHook({});
    TfTrans::SetExecuteHook({});
    TfTrans::SetColorDialogHook({});
    TfPrint::SetExecHook({});
    SetPrintDialogHook({});
    LogWindows::SetSaveDialogHook({});
    SetInputBoxHook({});
    SetFolderBrowserHook({});
}

QStringList ProgramTest::Messages() const {
    QStringList out;
    for (const TAskedBox& b : Program->Asked) out << b.Text;
    return out;
}

QStringList ProgramTest::Errors() const {
    QStringList out;
    for (const TAskedBox& b : Program->Asked)
        if (b.Type == TMsgDlgType::mtError) out << b.Text;
    return out;
}

QStringList FileLines(const QString& path) {
    QStringList out;
    for (QString line : QString::fromUtf8(ReadAll(path)).split('\n')) {
        line.remove('\r');
        if (!line.isEmpty()) out << line;
    }
    return out;
}
