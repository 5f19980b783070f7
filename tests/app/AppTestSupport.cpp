#include "AppTestSupport.h"
#include "common/QtTestSupport.h"

#include "app/ZorvTileMain.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QFile>

#include <gtest/gtest.h>

void EnsureTestApplication() {
    EnsureQtApplication();
}

void Pump(int times) {
    for (int i = 0; i < times; ++i) QCoreApplication::processEvents();
}

TStartedProgram::TStartedProgram(const QString& iniDir, const QString& startFile, bool show) {
    EnsureTestApplication();
    Registry::WriteString("Software\\ZorvWare\\ZorvTile", "INILocation", iniDir);
    SetMessageHook([this](const QString& text, TMsgDlgType type, int buttons) {
        Asked.push_back({text, type, buttons});
        if (Answers.empty()) return static_cast<int>(mrOk);
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

QStringList FileLines(const QString& path) {
    QStringList out;
    for (QString line : QString::fromUtf8(ReadAll(path)).split('\n')) {
        line.remove('\r');
        if (!line.isEmpty()) out << line;
    }
    return out;
}
