#pragma once
// Helpers for the main window tests: the application object, the program's windows created as at
// start-up on a fresh settings folder, and message boxes answered from a list.

#include "app/StartUp.h"
#include "common/QtTestSupport.h"
#include "platform/MessageBoxes.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <memory>
#include <vector>

// Makes sure a QApplication exists (offscreen).
void EnsureTestApplication();
// Lets queued calls and paints run.
void Pump(int times = 5);

struct TAskedBox {
    QString Text;
    TMsgDlgType Type;
    int Buttons;
};

// The nineteen windows on a settings folder of their own; every message box is recorded and answered
// with the next answer queued (mrOk when none).
class TStartedProgram {
public:
    // `iniDir`: the settings folder stored in the key store before start (must exist).
    explicit TStartedProgram(const QString& iniDir, const QString& startFile = QString(), bool show = true);
    ~TStartedProgram();

    void Destroy(); // the windows in reverse order (writes the settings)

    std::vector<TAskedBox> Asked;
    std::deque<int> Answers;

private:
    std::unique_ptr<TApplicationForms> Forms;
};

// The lines of a text file without line ends and without blank lines.
QStringList FileLines(const QString& path);
