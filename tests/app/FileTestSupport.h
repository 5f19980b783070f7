#pragma once
// Shared fixture of the file, clipboard and buffer command tests: the program's windows on folders of
// their own, the file dialogs answered from a queue, the log open in a folder of its own.

#include "AppTestSupport.h"
#include "app/ZorvTileMain.h"
#include "image/FastDIB.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QTemporaryDir>

#include <deque>
#include <memory>

struct TAskedDialog {
    QString Caption, Folder, Filter, Proposed;
};

class FileCommandsBase : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs a menu item as the user would (through its action and the error guard).
    void Trigger(const char* name);
    // The image set to Pattern(x, y) at w x h and shown.
    void SetImage(int w, int h);
    void StartLog();
    QStringList LogLines() const;
    // Texts of the error boxes shown so far.
    QStringList Errors() const;
    QStringList Messages() const; // every box's text
    QString File(const QString& name) const { return Files.filePath(name); }

    QTemporaryDir Ini, Files, LogDir;
    std::unique_ptr<TStartedProgram> Program;
    TfZorvTile* W = nullptr;
    std::deque<QString> Chosen; // answers of the file dialogs ("" = Cancel)
    std::vector<TAskedDialog> Dialogs;
};

// A picture whose every pixel differs from its neighbours.
TFColor Pattern(int x, int y);
void PaintPattern(TFastDIB& d, int w, int h);
// Both images have the same size and the same pixels.
::testing::AssertionResult SamePixels(const TFastDIB& a, const TFastDIB& b);
