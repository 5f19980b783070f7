#pragma once
// Helpers for the main window tests: the program's windows created as at start-up on a fresh settings
// folder, message boxes answered from a list, and the fixture most window tests share.

#include "app/main/StartUp.h"
#include "app/main/ZorvTileMain.h"
#include "common/QtTestSupport.h"
#include "platform/MessageBoxes.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <memory>
#include <vector>

// Lets queued calls and paints run.
void Pump(int times = 5);

struct TAskedBox {
    QString Text;
    TMsgDlgType Type;
    int Buttons;
};

// The nineteen windows on a settings folder of their own; every message box is recorded and answered
// with the next answer queued, or DefaultAnswer when none is.
class TStartedProgram {
public:
    // `iniDir`: the settings folder stored in the key store before start (must exist).
    explicit TStartedProgram(const QString& iniDir, const QString& startFile = QString(), bool show = true);
    ~TStartedProgram();

    void Destroy(); // the windows in reverse order (writes the settings)

    std::vector<TAskedBox> Asked;
    std::deque<int> Answers;
    int DefaultAnswer = mrOk;

private:
    std::unique_ptr<TApplicationForms> Forms;
};

// The program started on settings and log folders of their own; every hook is reset afterwards.
class ProgramTest : public ::testing::Test {
protected:
    explicit ProgramTest(bool show = true) : Show(show) {}
    void SetUp() override;
    void TearDown() override;

    QStringList Messages() const; // every box's text
    QStringList Errors() const;   // the error boxes' texts

    QTemporaryDir Ini, LogDir;
    std::unique_ptr<TStartedProgram> Program;
    TfZorvTile* W = nullptr;
    const bool Show;
};

// The lines of a text file without line ends and without blank lines.
QStringList FileLines(const QString& path);
