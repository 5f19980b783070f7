// The activity log: the log file and its lines, the File > Log commands, the status panel, and the
// viewer and editor windows.
#include "AppTestSupport.h"
#include "app/AppTypes.h"
#include "app/Log1.h"
#include "app/Log2.h"
#include "app/PendingForms.h"
#include "app/Print1.h"
#include "app/ZorvTileMain.h"
#include "platform/MessageBoxes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <memory>
#include <vector>

#include <sys/resource.h>

namespace {

struct Asked {
    QString text;
    TMsgDlgType type;
    int buttons;
};

// The program's windows as at start-up, with a settings folder and a log folder of their own; every
// message box is recorded and answered by `answer`.
class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(settings.isValid());
        TfZorvTile::SetLogFolder(folder.path());
        program = std::make_unique<TStartedProgram>(settings.path(), QString(), false);
        SetMessageHook([this](const QString& text, TMsgDlgType type, int buttons) {
            asked.push_back({text, type, buttons});
            return answer;
        });
        main = fZorvTile;
        toolBox = fToolBox;
        viewer = fLog;
        editor = fELog;
        ASSERT_TRUE(main && toolBox && viewer && editor);
    }
    void TearDown() override {
        program.reset();
        SetPrintDialogHook({});
        LogWindows::SetSaveDialogHook({});
        TfZorvTile::SetLogFolder(QString());
    }

    QString logPath() const { return folder.filePath(QStringLiteral("ZorvLog.txt")); }
    QByteArray logBytes() const {
        QFile f(logPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void writeLog(const QByteArray& bytes) const {
        QFile f(logPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QStringList askedTexts() const {
        QStringList texts;
        for (const Asked& a : asked) texts << a.text;
        return texts;
    }

    QTemporaryDir folder, settings;
    std::unique_ptr<TStartedProgram> program;
    std::vector<Asked> asked;
    int answer = mrYes;
    TfZorvTile* main = nullptr;
    TfToolBox* toolBox = nullptr;
    TfLog* viewer = nullptr;
    TfELog* editor = nullptr;
};

// The first line for the 512 x 512 start image and the gradient designer's start values
// (VertCenter, $800000 to $FFFF00, angle 0).
const QByteArray kFirstLine = "Log starts  - current Gradient: Width 512, Height 512, Gradient VertCenter, "
                              "From Color R: 0 G: 0 B: 128, To Color R: 0 G: 255 B: 255, Angle 0\r\n";

} // namespace

TEST(LogTexts, ColoursAndBooleans) {
    EXPECT_EQ(ColorToRGBStr(RGBColor(255, 0, 0)), "R: 255 G: 0 B: 0");
    EXPECT_EQ(ColorToRGBStr(0x800000u), "R: 0 G: 0 B: 128");
    EXPECT_EQ(ColorToRGBStr(0xFFFF00u), "R: 0 G: 255 B: 255");
    // $123456: red is the low byte $56 = 86, green $34 = 52, blue $12 = 18.
    EXPECT_EQ(ColorToRGBStr(0x123456u), "R: 86 G: 52 B: 18");
    EXPECT_EQ(BoolToTrueFalse(true), "True");
    EXPECT_EQ(BoolToTrueFalse(false), "False");
}

TEST_F(LogTest, StartNewWritesTheFirstLineThenEveryLineUntilClosed) {
    EXPECT_EQ(main->LogPath(), logPath());
    EXPECT_FALSE(main->Logging);
    main->LogLine("not logging yet"); // written nowhere
    EXPECT_FALSE(QFile::exists(logPath()));

    main->LogthisSession1Click();
    EXPECT_TRUE(asked.empty()) << "no log file yet, so nothing to confirm";
    EXPECT_TRUE(main->Logging);
    main->LogLine("UnDo");
    main->LogLine("Image Reset");
    EXPECT_EQ(logBytes(), kFirstLine + "UnDo\r\nImage Reset\r\n") << "each line is on disk once written";

    main->CloseLog1Click();
    EXPECT_FALSE(main->Logging);
    main->LogLine("after close");
    EXPECT_EQ(logBytes(), kFirstLine + "UnDo\r\nImage Reset\r\n");
    EXPECT_TRUE(asked.empty());

    main->CloseLog1Click();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "Log already Closed");
}

TEST_F(LogTest, StartOrAppendWhileLoggingSaysAlreadyLoggingAndChangesNothing) {
    main->LogthisSession1Click();
    main->LogLine("one");
    main->LogthisSession1Click();
    main->AppendtoLog1Click();
    EXPECT_EQ(askedTexts(), QStringList({"Already Logging", "Already Logging"}));
    EXPECT_TRUE(main->Logging);
    main->LogLine("two");
    EXPECT_EQ(logBytes(), kFirstLine + "one\r\ntwo\r\n");
}

TEST_F(LogTest, OverwritePromptAnsweredNoKeepsTheOldLogAndYesReplacesIt) {
    writeLog("old line\r\n");
    answer = mrNo;
    main->LogthisSession1Click();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "Overwrite Existing Log?");
    EXPECT_EQ(asked[0].type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(asked[0].buttons, mbYes | mbNo);
    EXPECT_FALSE(main->Logging);
    EXPECT_EQ(logBytes(), "old line\r\n");

    answer = mrYes;
    main->LogthisSession1Click();
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_TRUE(main->Logging);
    EXPECT_EQ(logBytes(), kFirstLine);
}

TEST_F(LogTest, AppendKeepsTheOldLinesAndMarksTheJoin) {
    writeLog("old line\r\n");
    main->AppendtoLog1Click();
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(main->Logging);
    main->LogLine("Twist");
    EXPECT_EQ(logBytes(), "old line\r\n<=Appending to Existing Log=>\r\nTwist\r\n");
}

TEST_F(LogTest, AppendToAMissingLogOffersANewOne) {
    answer = mrNo;
    main->AppendtoLog1Click();
    EXPECT_EQ(askedTexts(), QStringList({"File not found, starting New Log. OK?"}));
    EXPECT_FALSE(main->Logging);
    EXPECT_FALSE(QFile::exists(logPath()));

    answer = mrYes;
    main->AppendtoLog1Click();
    // Only the one question: the new log finds no file to overwrite.
    EXPECT_EQ(askedTexts(), QStringList({"File not found, starting New Log. OK?",
                                         "File not found, starting New Log. OK?"}));
    EXPECT_TRUE(main->Logging);
    EXPECT_EQ(logBytes(), kFirstLine);
}

TEST_F(LogTest, FirstLineQuotesTheImageControlsSize) {
    main->z.SetSize(300, 200, 24, 0);
    main->SetToIm(main->z);
    main->LogthisSession1Click();
    EXPECT_TRUE(logBytes().startsWith("Log starts  - current Gradient: Width 300, Height 200, Gradient "));
}

TEST_F(LogTest, ViewAndEditWithoutALogSayNotFound) {
    main->ViewLog1Click();
    main->EditLog1Click();
    EXPECT_EQ(askedTexts(), QStringList({"Log File Not Found in Current Directory",
                                         "Log File Not Found in Current Directory"}));
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(LogTest, ALogThatCannotBeCreatedLeavesLoggingOffWithAMessage) {
    // A folder where the log file should be: the file cannot be created.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("ZorvLog.txt")));
    answer = mrYes; // overwrite the "existing" log
    main->LogthisSession1Click();
    EXPECT_FALSE(main->Logging);
    EXPECT_EQ(main->LogFile, nullptr);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].type, TMsgDlgType::mtError);
    EXPECT_TRUE(asked[1].text.contains("ZorvLog.txt")) << asked[1].text.toStdString();
    main->LogLine("no crash, no write");
    main->CloseLog1Click();
    EXPECT_EQ(asked.back().text, "Log already Closed");
}

TEST_F(LogTest, DestroyingTheWindowClosesTheLog) {
    main->LogthisSession1Click();
    main->LogLine("last line");
    program->Destroy();
    EXPECT_EQ(fZorvTile, nullptr);
    EXPECT_EQ(logBytes(), kFirstLine + "last line\r\n");
    // The file is no longer held open for writing: it can be replaced at once.
    EXPECT_TRUE(QFile::remove(logPath()));
}

TEST_F(LogTest, StatusPanelShowsTheIconAndLoggingExactlyWhileLogging) {
    const QRect r(0, 0, 120, 20);
    QPalette palette = main->stBar->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    main->stBar->setPalette(palette);
    ASSERT_EQ(main->stBar->palette().color(QPalette::WindowText), QColor(Qt::black));
    auto paint = [&] {
        QImage img(r.size(), QImage::Format_RGB32);
        img.fill(QColor(128, 128, 128));
        QPainter p(&img);
        main->stBarDrawPanel(p, r);
        p.end();
        return img;
    };
    auto countWhite = [](const QImage& img) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == qRgb(255, 255, 255);
        return n;
    };
    // The first column from `from` on holding a dark (text or frame) pixel.
    auto firstDarkColumn = [](const QImage& img, int from) {
        for (int x = from; x < img.width(); ++x)
            for (int y = 0; y < img.height(); ++y)
                if (qGray(img.pixel(x, y)) < 64) return x;
        return -1;
    };

    const QImage off = paint();
    EXPECT_EQ(countWhite(off), 0) << "no icon";
    const int offText = firstDarkColumn(off, 0);
    EXPECT_GE(offText, 5);
    EXPECT_LT(offText, 12) << "\"Not Logging\" starts 5 pixels in";

    main->LogthisSession1Click();
    const QImage on = paint();
    EXPECT_GT(countWhite(on), 0) << "the icon's page";
    EXPECT_EQ(on.pixel(5, 3), qRgb(0, 0, 0)) << "the icon's corner at (R.Left + 5, R.Top + 3)";
    EXPECT_EQ(firstDarkColumn(on, 0), 5);
    const int onText = firstDarkColumn(on, 15);
    EXPECT_GE(onText, 18) << "\"Logging\" starts 18 pixels in";
    EXPECT_LT(onText, 25);

    main->CloseLog1Click();
    EXPECT_EQ(countWhite(paint()), 0);
}

TEST_F(LogTest, ViewerShowsTheLogWhileLoggingGoesOn) {
    writeLog("old line\r\n");
    main->AppendtoLog1Click();
    main->LogLine("Blur");
    toolBox->show();
    main->ViewLog1Click();
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(toolBox->isVisible());
    EXPECT_EQ(viewer->mLog->toPlainText(), "old line\n<=Appending to Existing Log=>\nBlur");
    EXPECT_TRUE(viewer->mLog->isReadOnly());

    // Logging goes on into the same file, and Refresh shows the new line.
    EXPECT_TRUE(main->Logging);
    main->LogLine("Twist");
    QTest::mouseClick(viewer->bRefresh, Qt::LeftButton);
    EXPECT_EQ(viewer->mLog->toPlainText(), "old line\n<=Appending to Existing Log=>\nBlur\nTwist");
    EXPECT_EQ(logBytes(), "old line\r\n<=Appending to Existing Log=>\r\nBlur\r\nTwist\r\n");

    QTest::mouseClick(viewer->bOK, Qt::LeftButton);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_TRUE(toolBox->isVisible());
    EXPECT_TRUE(asked.empty());
}

TEST_F(LogTest, ViewerSaveAsWritesTheLinesAndRefusesAnEmptyMemo) {
    writeLog("a\r\nb\r\n");
    main->DefDir = folder.path();
    QString startDir;
    const QString target = folder.filePath(QStringLiteral("copy.txt"));
    LogWindows::SetSaveDialogHook([&](QFileDialog& d) {
        startDir = d.directory().absolutePath();
        EXPECT_EQ(d.windowTitle(), "Save Mozaro Log");
        EXPECT_EQ(d.defaultSuffix(), "txt");
        return target;
    });
    main->ViewLog1Click();
    QTest::mouseClick(viewer->bSaveAs, Qt::LeftButton);
    EXPECT_EQ(startDir, QDir(folder.path()).absolutePath());
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "a\r\nb\r\n");

    writeLog("");
    QTest::mouseClick(viewer->bRefresh, Qt::LeftButton);
    startDir.clear();
    QTest::mouseClick(viewer->bSaveAs, Qt::LeftButton);
    EXPECT_EQ(askedTexts(), QStringList({"Nothing to Save!"}));
    EXPECT_TRUE(startDir.isEmpty()) << "no dialog for an empty memo";
}

TEST(LogImageName, FirstTxtBecomesJpg) {
    EXPECT_EQ(LogWindows::ImageNameForLog("/logs/test.txt"), "test.jpg");
    EXPECT_EQ(LogWindows::ImageNameForLog("/logs/TEST.TXT"), "TEST.jpg");
    // The first "txt" lies in the folder name: the file name keeps its own and gains ".jpg".
    EXPECT_EQ(LogWindows::ImageNameForLog("/txtdir/a.log"), "a.log.jpg");
    EXPECT_EQ(LogWindows::ImageNameForLog("/logs/a.txt.txt"), "a.jpg.txt.jpg");
    EXPECT_EQ(LogWindows::ImageNameForLog("/logs/pic.JPG"), "pic.JPG.jpg");
}

TEST_F(LogTest, ViewerSaveAsWithTheImageOptionMovesDefDirToTheLogsFolder) {
    writeLog("a\r\n");
    main->DefDir = QStringLiteral("/somewhere/else");
    ASSERT_TRUE(QDir(folder.path()).mkdir("logs"));
    const QString target = folder.filePath(QStringLiteral("logs/test.txt"));
    LogWindows::SetSaveDialogHook([&](QFileDialog&) { return target; });
    QString proposedImage, imageFolder;
    TfZorvTile::SetFileDialogHook(
        [&](const QString&, const QString& dir, const QString&, const QString& proposed) {
            proposedImage = proposed;
            imageFolder = dir;
            return QDir(dir).filePath(proposed);
        });
    main->SaveImagewithLogFileName1->setChecked(true);
    main->ViewLog1Click();
    QTest::mouseClick(viewer->bSaveAs, Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_EQ(main->DefDir, folder.filePath("logs"));
    // The image's save dialog proposes the log's name with "jpg" in the log's folder.
    ASSERT_EQ(proposedImage, QStringLiteral("test.jpg"));
    EXPECT_EQ(imageFolder, folder.filePath("logs"));
    EXPECT_GT(QFileInfo(folder.filePath("logs/test.jpg")).size(), 0);
    EXPECT_TRUE(asked.empty());
    TfZorvTile::SetFileDialogHook({});
}

TEST_F(LogTest, EditLogWhileLoggingAsksToCloseAndNoKeepsLogging) {
    main->LogthisSession1Click();
    answer = mrNo;
    main->EditLog1Click();
    EXPECT_EQ(askedTexts(), QStringList({"This will Close the Log. OK?"}));
    EXPECT_TRUE(main->Logging);
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(LogTest, EditorOKWritesTheMemoOverTheLogAndLoggingStaysOff) {
    main->LogthisSession1Click();
    main->LogLine("Blur");
    toolBox->show();
    bool sawEditor = false;
    QTimer::singleShot(0, [&] {
        sawEditor = editor->isVisible();
        EXPECT_FALSE(toolBox->isVisible());
        EXPECT_FALSE(main->Logging);
        EXPECT_EQ(editor->mLog->toPlainText(), QString::fromUtf8(kFirstLine.chopped(2)) + "\nBlur");
        EXPECT_FALSE(editor->SaveFlag) << "loading is not a change";
        editor->mLog->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor->mLog, "!");
        EXPECT_TRUE(editor->SaveFlag);
        QTest::mouseClick(editor->bOK, Qt::LeftButton);
    });
    main->EditLog1Click();
    EXPECT_TRUE(sawEditor);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(askedTexts(), QStringList({"This will Close the Log. OK?"}));
    EXPECT_FALSE(main->Logging);
    EXPECT_EQ(logBytes(), kFirstLine + "Blur!\r\n");
    EXPECT_TRUE(toolBox->isVisible());
}

TEST_F(LogTest, EditorCancelDropsChangesWithoutAQuestion) {
    writeLog("line\r\n");
    QTimer::singleShot(0, [&] {
        QTest::keyClicks(editor->mLog, "xyz");
        QTest::mouseClick(editor->bCancel, Qt::LeftButton);
    });
    main->EditLog1Click();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(logBytes(), "line\r\n");
}

TEST_F(LogTest, EditorClosedWithChangesAsksAndNoKeepsItOpen) {
    writeLog("line\r\n");
    bool stillOpen = false;
    QTimer::singleShot(0, [&] {
        QTest::keyClicks(editor->mLog, "xyz");
        answer = mrNo;
        editor->close();
        stillOpen = editor->isVisible();
        answer = mrYes;
        editor->close();
    });
    main->EditLog1Click();
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(askedTexts(), QStringList({"Changes not saved.  Do you still wish to exit?",
                                         "Changes not saved.  Do you still wish to exit?"}));
    EXPECT_EQ(logBytes(), "line\r\n");
}

TEST_F(LogTest, EditorSaveAsClearsTheUnsavedFlagButLeavesTheLog) {
    writeLog("line\r\n");
    const QString target = folder.filePath(QStringLiteral("edited.txt"));
    LogWindows::SetSaveDialogHook([&](QFileDialog&) { return target; });
    QTimer::singleShot(0, [&] {
        editor->mLog->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor->mLog, "2");
        QTest::mouseClick(editor->bSaveAs, Qt::LeftButton);
        EXPECT_FALSE(editor->SaveFlag);
        editor->close(); // no question now
    });
    main->EditLog1Click();
    EXPECT_TRUE(asked.empty()) << askedTexts().join("|").toStdString();
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "line2\r\n");
    EXPECT_EQ(logBytes(), "line\r\n");
}

TEST_F(LogTest, AnUnreadableLogIsReportedAndTheEditorStaysClosed) {
    // A folder in place of the log file: it exists but cannot be read.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("ZorvLog.txt")));
    bool opened = false;
    QTimer::singleShot(0, [&] {
        opened = editor->isVisible();
        editor->close();
    });
    main->EditLog1Click();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].type, TMsgDlgType::mtError);
    EXPECT_TRUE(asked[0].text.contains("ZorvLog.txt")) << asked[0].text.toStdString();
    EXPECT_FALSE(opened);
    QCoreApplication::processEvents(); // the timer, should the editor not have opened
}

TEST_F(LogTest, ViewerPrintsItsLinesOnlyWhenThereAreAny) {
    writeLog("first line\r\nsecond line\r\n");
    const QString pdf = folder.filePath(QStringLiteral("log.pdf"));
    int dialogs = 0;
    SetPrintDialogHook([&](QPrinter& printer) {
        ++dialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    main->ViewLog1Click();
    QTest::mouseClick(viewer->bPrint, Qt::LeftButton);
    EXPECT_EQ(dialogs, 1);
    QFile printed(pdf);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(printed.readAll().startsWith("%PDF"));
    printed.close();

    ASSERT_TRUE(QFile::remove(pdf));
    writeLog("");
    QTest::mouseClick(viewer->bRefresh, Qt::LeftButton);
    QTest::mouseClick(viewer->bPrint, Qt::LeftButton);
    EXPECT_EQ(dialogs, 1) << "an empty memo prints nothing";
    EXPECT_FALSE(QFile::exists(pdf));
    SetPrintDialogHook({});
    EXPECT_TRUE(asked.empty());
}

TEST_F(LogTest, ALogThatCannotBeReopenedAfterViewingEndsLogging) {
    main->LogthisSession1Click();
    // The log file is replaced by a folder behind the program's back.
    ASSERT_TRUE(QFile::remove(logPath()));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("ZorvLog.txt")));
    main->ViewLog1Click();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].type, TMsgDlgType::mtError);
    EXPECT_FALSE(main->Logging);
    EXPECT_EQ(main->LogFile, nullptr);
    main->LogLine("goes nowhere, raises nothing");
    EXPECT_EQ(asked.size(), 1u);
}

TEST_F(LogTest, EditorOKThatCannotWriteEverythingKeepsTheOldLogAndTheWindow) {
    writeLog("old line\r\n");
    bool stillOpen = false;
    QTimer::singleShot(0, [&] {
        editor->mLog->setPlainText(QString(3000, QLatin1Char('x')));
        // Files may not grow past 1000 bytes: the write stops part way.
        rlimit old{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 1000;
        auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        QTest::mouseClick(editor->bOK, Qt::LeftButton);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        stillOpen = editor->isVisible();
        answer = mrYes;
        editor->close(); // leave without saving
    });
    main->EditLog1Click();
    EXPECT_TRUE(stillOpen) << "a failed write keeps the editor and its changes";
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(asked[0].text.startsWith("Unable to write to")) << asked[0].text.toStdString();
    EXPECT_EQ(asked[1].text, "Changes not saved.  Do you still wish to exit?");
    EXPECT_EQ(logBytes(), QByteArray("old line\r\n"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ZorvLog.txt"})
        << "no temporary file is left";
}
