#pragma once
// Shared fixture of the file, clipboard and buffer command tests: the program's windows on folders of
// their own, shown, with the file dialogs answered from a queue.

#include "AppTestSupport.h"
#include "image/FastDIB.h"

#include <QAction>

struct TAskedDialog {
    QString Caption, Folder, Filter, Proposed;
};

class FileCommandsBase : public ProgramTest {
protected:
    void SetUp() override;

    // Runs a menu item as the user would (through its action and the error guard).
    void Trigger(const char* name);
    // The image set to Pattern(x, y) at w x h and shown.
    void SetImage(int w, int h);
    void StartLog();
    QStringList LogLines() const; // without the "Log starts" line
    QString File(const QString& name) const { return Files.filePath(name); }

    QTemporaryDir Files;
    std::deque<QString> Chosen; // answers of the file dialogs ("" = Cancel)
    std::vector<TAskedDialog> Dialogs;
};

// A picture whose every pixel differs from its neighbours.
TFColor Pattern(int x, int y);
void PaintPattern(TFastDIB& d, int w, int h);
