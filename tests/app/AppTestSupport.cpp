#include "AppTestSupport.h"

#include "app/ZorvTileMain.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QFile>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<QApplication>& application() {
    static std::unique_ptr<QApplication> app;
    return app;
}

// The application must end before main returns.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void TearDown() override { application().reset(); }
};
[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

void EnsureTestApplication() {
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) application() = std::make_unique<QApplication>(argc, argv);
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

QByteArray ReadFileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFileBytes(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

QStringList FileLines(const QString& path) {
    QStringList out;
    for (QString line : QString::fromUtf8(ReadFileBytes(path)).split('\n')) {
        line.remove('\r');
        if (!line.isEmpty()) out << line;
    }
    return out;
}
