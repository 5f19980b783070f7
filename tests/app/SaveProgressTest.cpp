// Save As runs under the progress window named after the file; a stop at any point leaves the old file
// byte for byte and no temporary file, and says nothing.
#include "FileTestSupport.h"

#include "app/dialogs/ToolBox.h"
#include "app/main/WorkProgress.h"
#include "image/WorkControl.h"
#include "platform/Picture.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {
class SaveProgress : public FileCommandsBase {
protected:
    void TearDown() override {
        TWorkScope::SetWatchHook({});
        TWorkScope::SetShowDelay(500);
        SetScreenDepthHook({});
        ClearWorkStop();
        FileCommandsBase::TearDown();
    }
    QStringList Folder() const { return QDir(Files.path()).entryList(QDir::Files | QDir::Hidden); }
};
} // namespace

TEST_F(SaveProgress, AStoppedSaveLeavesTheOldFileAndNoTemporary) {
    SetImage(3000, 3000); // large enough for the first watch (after 15 ms of work) in each
    SetScreenDepthHook([] { return 16; }); // BMP rows converted pixel by pixel while the file is written
    for (const QString name : {"tile.bmp", "tile.jpg", "tile.gif"}) {
        SCOPED_TRACE(name.toStdString());
        WriteAll(File(name), "the old picture");
        const qsizetype before = Folder().size();
        QStringList shown;
        qsizetype filesAtStop = 0;
        TWorkScope::SetWatchHook([&](int n) {
            shown << TWorkScope::Name();
            filesAtStop = Folder().size();
            if (n == 1) RequestWorkStop();
        });
        Chosen.push_back(File(name));
        Trigger("SaveAs1");
        EXPECT_EQ(shown, QStringList{"Saving " + name}) << "one watch, then the stop";
        // The bitmap is written as it is made: the stop met its temporary file.
        EXPECT_TRUE(!name.endsWith("bmp") || filesAtStop == before + 1);
        EXPECT_EQ(ReadAll(File(name)), "the old picture");
        EXPECT_EQ(Folder().size(), before);
        EXPECT_FALSE(TWorkScope::Active());
    }
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join('\n').toStdString();

    // Not stopped, the save replaces the file, from z itself (the view still paints z, no copy).
    TWorkScope::SetWatchHook({});
    Chosen.push_back(File("tile.bmp"));
    Trigger("SaveAs1");
    EXPECT_EQ(ReadAll(File("tile.bmp")).size(), 66 + 6000 * 3000);
    EXPECT_EQ(W->imSine->ShownImage(), &W->z);
}

TEST_F(SaveProgress, TheWindowOpensOverTheMainWindowAndOffersNoStopInTheFinalStep) {
    // After Save As the tool box is often the active window; the progress window still centres on the
    // main window.
    SetImage(3000, 3000);
    SetScreenDepthHook([] { return 16; }); // several watches: the rows are converted one by one
    fToolBox->show();
    fToolBox->activateWindow();
    TWorkScope::SetShowDelay(0);
    QRect shown;
    TWorkScope::SetWatchHook([&](int) {
        if (QDialog* d = TWorkScope::ProgressWindow(); d && shown.isNull()) shown = d->frameGeometry();
    });
    Chosen.push_back(File("tile.bmp"));
    Trigger("SaveAs1");
    EXPECT_LE((shown.center() - W->frameGeometry().center()).manhattanLength(), 2) << shown.isNull();

    // The save's flush and rename are its final step: the window says so, and Esc there stops nothing.
    QString state;
    bool cancel = true;
    TWorkScope::SetWatchHook([&](int) {
        QDialog* d = TWorkScope::ProgressWindow();
        if (!FinalWorkStep() || !d || !state.isEmpty()) return;
        state = d->findChild<QLabel*>("lblWorkState")->text();
        cancel = d->findChild<QPushButton*>("bWorkCancel")->isEnabled();
        QTest::keyClick(d, Qt::Key_Escape);
        QTest::keyClick(W, Qt::Key_Escape);
    });
    const qsizetype before = Folder().size();
    Chosen.push_back(File("tile.bmp"));
    Trigger("SaveAs1");
    EXPECT_EQ(state, "Finishing the save...");
    EXPECT_FALSE(cancel);
    EXPECT_EQ(ReadAll(File("tile.bmp")).size(), 66 + 6000 * 3000);
    EXPECT_EQ(Folder().size(), before);
    // A stop asked for before it is honoured as the step begins.
    TWorkScope work("Saving tile.bmp");
    RequestWorkStop();
    EXPECT_THROW(BeginFinalWorkStep("Finishing the save..."), EWorkStopped);
}
