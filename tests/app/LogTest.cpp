// The activity log: the log file and its lines, the File > Log commands, the status panel, and the
// viewer and editor windows (long logs, Latin-1 lines, a log that cannot be written).
#include "AppTestSupport.h"
#include "app/main/AppTypes.h"
#include "app/dialogs/LogViewer.h"
#include "app/dialogs/LogEditor.h"
#include "app/dialogs/AllForms.h"
#include "app/dialogs/PrintOptions.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

// The windows unshown, a log folder of their own; message boxes are answered Yes unless a test says.
class LogTest : public ProgramTest {
protected:
    LogTest() : ProgramTest(false) {}
    void SetUp() override {
        ProgramTest::SetUp();
        Program->DefaultAnswer = mrYes;
        toolBox = fToolBox;
        viewer = fLog;
        editor = fELog;
        ASSERT_TRUE(toolBox && viewer && editor);
    }
    QString logPath() const { return LogDir.filePath(QStringLiteral("ZorvLog.txt")); }
    QByteArray logBytes() const { return ReadAll(logPath()); }
    void writeLog(const QByteArray& bytes) const { WriteAll(logPath(), bytes); }
    const std::vector<TAskedBox>& asked() const { return Program->Asked; }
    void answer(int a) { Program->DefaultAnswer = a; }

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
    EXPECT_EQ(W->LogPath(), logPath());
    EXPECT_FALSE(W->Logging);
    W->LogLine("not logging yet"); // written nowhere
    EXPECT_FALSE(QFile::exists(logPath()));
    W->ViewLog1Click();
    W->EditLog1Click();
    // The message names the folder where the log is kept.
    EXPECT_EQ(Messages(), QStringList({"Log File Not Found in " + LogDir.path(),
                                       "Log File Not Found in " + LogDir.path()}));
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_FALSE(editor->isVisible());
    Program->Asked.clear();

    W->LogthisSession1Click();
    EXPECT_TRUE(asked().empty()) << "no log file yet, so nothing to confirm";
    EXPECT_TRUE(W->Logging);
    W->LogLine("UnDo");
    W->LogLine("Image Reset");
    EXPECT_EQ(logBytes(), kFirstLine + "UnDo\r\nImage Reset\r\n") << "each line is on disk once written";
    // Start or append while logging: said, and nothing changes.
    W->LogthisSession1Click();
    W->AppendtoLog1Click();
    EXPECT_EQ(Messages(), QStringList({"Already Logging", "Already Logging"}));
    EXPECT_TRUE(W->Logging);
    EXPECT_EQ(logBytes(), kFirstLine + "UnDo\r\nImage Reset\r\n");
    Program->Asked.clear();

    W->CloseLog1Click();
    EXPECT_FALSE(W->Logging);
    W->LogLine("after close");
    EXPECT_EQ(logBytes(), kFirstLine + "UnDo\r\nImage Reset\r\n");
    EXPECT_TRUE(asked().empty());

    W->CloseLog1Click();
    EXPECT_EQ(Messages(), QStringList{"Log already Closed"});
}

TEST_F(LogTest, OverwritePromptAnsweredNoKeepsTheOldLogAndYesReplacesIt) {
    writeLog("old line\r\n");
    answer(mrNo);
    W->LogthisSession1Click();
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].Text, "Overwrite Existing Log?");
    EXPECT_EQ(asked()[0].Type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(asked()[0].Buttons, mbYes | mbNo);
    EXPECT_FALSE(W->Logging);
    EXPECT_EQ(logBytes(), "old line\r\n");

    answer(mrYes);
    W->LogthisSession1Click();
    EXPECT_EQ(asked().size(), 2u);
    EXPECT_TRUE(W->Logging);
    EXPECT_EQ(logBytes(), kFirstLine);
}

TEST_F(LogTest, AppendKeepsTheOldLinesAndMarksTheJoin) {
    writeLog("old line\r\n");
    W->AppendtoLog1Click();
    EXPECT_TRUE(asked().empty());
    EXPECT_TRUE(W->Logging);
    W->LogLine("Twist");
    EXPECT_EQ(logBytes(), "old line\r\n<=Appending to Existing Log=>\r\nTwist\r\n");
}

TEST_F(LogTest, AppendToAMissingLogOffersANewOne) {
    answer(mrNo);
    W->AppendtoLog1Click();
    EXPECT_EQ(Messages(), QStringList({"File not found, starting New Log. OK?"}));
    EXPECT_FALSE(W->Logging);
    EXPECT_FALSE(QFile::exists(logPath()));

    answer(mrYes);
    W->AppendtoLog1Click();
    // Only the one question: the new log finds no file to overwrite.
    EXPECT_EQ(Messages(), QStringList({"File not found, starting New Log. OK?",
                                       "File not found, starting New Log. OK?"}));
    EXPECT_TRUE(W->Logging);
    EXPECT_EQ(logBytes(), kFirstLine);
}

TEST_F(LogTest, FirstLineQuotesTheImageControlsSize) {
    W->z.SetSize(300, 200, 24, 0);
    W->SetToIm(W->z);
    W->LogthisSession1Click();
    EXPECT_TRUE(logBytes().startsWith("Log starts  - current Gradient: Width 300, Height 200, Gradient "));
}

TEST_F(LogTest, ALogThatCannotBeCreatedLeavesLoggingOffWithAMessage) {
    // A folder where the log file should be: the file cannot be created.
    ASSERT_TRUE(QDir(LogDir.path()).mkdir(QStringLiteral("ZorvLog.txt")));
    answer(mrYes); // overwrite the "existing" log
    W->LogthisSession1Click();
    EXPECT_FALSE(W->Logging);
    EXPECT_EQ(W->LogFile, nullptr);
    ASSERT_EQ(asked().size(), 2u);
    EXPECT_EQ(asked()[1].Type, TMsgDlgType::mtError);
    EXPECT_TRUE(asked()[1].Text.contains("ZorvLog.txt")) << asked()[1].Text.toStdString();
    W->LogLine("no crash, no write");
    W->CloseLog1Click();
    EXPECT_EQ(asked().back().Text, "Log already Closed");
}

TEST_F(LogTest, StatusPanelShowsTheIconAndLoggingExactlyWhileLogging) {
    const QRect r(0, 0, 120, 20);
    QPalette palette = W->stBar->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    W->stBar->setPalette(palette);
    ASSERT_EQ(W->stBar->palette().color(QPalette::WindowText), QColor(Qt::black));
    auto paint = [&] {
        QImage img(r.size(), QImage::Format_RGB32);
        img.fill(QColor(128, 128, 128));
        QPainter p(&img);
        W->stBarDrawPanel(p, r);
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

    W->LogthisSession1Click();
    const QImage on = paint();
    EXPECT_GT(countWhite(on), 0) << "the icon's page";
    EXPECT_EQ(on.pixel(5, 3), qRgb(0, 0, 0)) << "the icon's corner at (R.Left + 5, R.Top + 3)";
    EXPECT_EQ(firstDarkColumn(on, 0), 5);
    const int onText = firstDarkColumn(on, 15);
    EXPECT_GE(onText, 18) << "\"Logging\" starts 18 pixels in";
    EXPECT_LT(onText, 25);

    W->CloseLog1Click();
    EXPECT_EQ(countWhite(paint()), 0);
}

TEST_F(LogTest, ViewerShowsTheLogWhileLoggingGoesOn) {
    writeLog("old line\r\n");
    W->AppendtoLog1Click();
    W->LogLine("Blur");
    toolBox->show();
    W->ViewLog1Click();
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(toolBox->isVisible());
    EXPECT_EQ(viewer->mLog->toPlainText(), "old line\n<=Appending to Existing Log=>\nBlur");
    EXPECT_TRUE(viewer->mLog->isReadOnly());

    // Logging goes on into the same file, and Refresh shows the new line.
    EXPECT_TRUE(W->Logging);
    W->LogLine("Twist");
    QTest::mouseClick(viewer->bRefresh, Qt::LeftButton);
    EXPECT_EQ(viewer->mLog->toPlainText(), "old line\n<=Appending to Existing Log=>\nBlur\nTwist");
    EXPECT_EQ(logBytes(), "old line\r\n<=Appending to Existing Log=>\r\nBlur\r\nTwist\r\n");

    QTest::mouseClick(viewer->bOK, Qt::LeftButton);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_TRUE(toolBox->isVisible());
    EXPECT_TRUE(asked().empty());
}

TEST_F(LogTest, ViewerSaveAsWritesTheLinesAndRefusesAnEmptyMemo) {
    writeLog("a\r\nb\r\n");
    W->DefDir = LogDir.path();
    QString startDir;
    const QString target = LogDir.filePath(QStringLiteral("copy.txt"));
    LogWindows::SetSaveDialogHook([&](QFileDialog& d) {
        startDir = d.directory().absolutePath();
        EXPECT_EQ(d.windowTitle(), "Save Mozaro Log");
        EXPECT_EQ(d.defaultSuffix(), "txt");
        EXPECT_EQ(d.viewMode(), QFileDialog::Detail); // sized for its columns like every file dialog
        return target;
    });
    W->ViewLog1Click();
    QTest::mouseClick(viewer->bSaveAs, Qt::LeftButton);
    EXPECT_EQ(startDir, QDir(LogDir.path()).absolutePath());
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "a\r\nb\r\n");

    writeLog("");
    QTest::mouseClick(viewer->bRefresh, Qt::LeftButton);
    startDir.clear();
    QTest::mouseClick(viewer->bSaveAs, Qt::LeftButton);
    EXPECT_EQ(Messages(), QStringList({"Nothing to Save!"}));
    EXPECT_TRUE(startDir.isEmpty()) << "no dialog for an empty memo";
}

TEST(LogImageName, FirstTxtBecomesJpg) {
    // "/txtdir/a.log": the first "txt" lies in the folder, so the file name keeps its own and gains ".jpg".
    const char* cases[][2] = {{"/logs/test.txt", "test.jpg"},
                              {"/logs/TEST.TXT", "TEST.jpg"},
                              {"/txtdir/a.log", "a.log.jpg"},
                              {"/logs/a.txt.txt", "a.jpg.txt.jpg"},
                              {"/logs/pic.JPG", "pic.JPG.jpg"}};
    for (const auto& [path, name] : cases) EXPECT_EQ(LogWindows::ImageNameForLog(path), name) << path;
}

TEST_F(LogTest, ViewerSaveAsWithTheImageOptionMovesDefDirToTheLogsFolder) {
    writeLog("a\r\n");
    W->DefDir = QStringLiteral("/somewhere/else");
    ASSERT_TRUE(QDir(LogDir.path()).mkdir("logs"));
    const QString target = LogDir.filePath(QStringLiteral("logs/test.txt"));
    LogWindows::SetSaveDialogHook([&](QFileDialog&) { return target; });
    QString proposedImage, imageFolder;
    TfZorvTile::SetFileDialogHook(
        [&](const QString&, const QString& dir, const QString&, const QString& proposed) {
            proposedImage = proposed;
            imageFolder = dir;
            return QDir(dir).filePath(proposed);
        });
    W->SaveImagewithLogFileName1->setChecked(true);
    W->ViewLog1Click();
    QTest::mouseClick(viewer->bSaveAs, Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_EQ(W->DefDir, LogDir.filePath("logs"));
    // The image's save dialog proposes the log's name with "jpg" in the log's LogDir.
    ASSERT_EQ(proposedImage, QStringLiteral("test.jpg"));
    EXPECT_EQ(imageFolder, LogDir.filePath("logs"));
    EXPECT_GT(QFileInfo(LogDir.filePath("logs/test.jpg")).size(), 0);
    EXPECT_TRUE(asked().empty());
}

TEST_F(LogTest, EditorOKWritesTheMemoOverTheLogAndLoggingStaysOff) {
    W->LogthisSession1Click();
    W->LogLine("Blur");
    answer(mrNo); // to "This will Close the Log. OK?": logging goes on, no editor
    W->EditLog1Click();
    EXPECT_TRUE(W->Logging);
    EXPECT_FALSE(editor->isVisible());
    answer(mrYes);
    toolBox->show();
    bool sawEditor = false;
    QTimer::singleShot(0, [&] {
        sawEditor = editor->isVisible();
        EXPECT_FALSE(toolBox->isVisible());
        EXPECT_FALSE(W->Logging);
        EXPECT_EQ(editor->mLog->toPlainText(), QString::fromUtf8(kFirstLine.chopped(2)) + "\nBlur");
        EXPECT_FALSE(editor->SaveFlag) << "loading is not a change";
        editor->mLog->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor->mLog, "!");
        EXPECT_TRUE(editor->SaveFlag);
        QTest::mouseClick(editor->bOK, Qt::LeftButton);
    });
    W->EditLog1Click();
    EXPECT_TRUE(sawEditor);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Messages(), QStringList({"This will Close the Log. OK?", "This will Close the Log. OK?"}));
    EXPECT_FALSE(W->Logging);
    EXPECT_EQ(logBytes(), kFirstLine + "Blur!\r\n");
    EXPECT_TRUE(toolBox->isVisible());
}

TEST_F(LogTest, EditorCancelDropsChangesWithoutAQuestion) {
    writeLog("line\r\n");
    QTimer::singleShot(0, [&] {
        QTest::keyClicks(editor->mLog, "xyz");
        QTest::mouseClick(editor->bCancel, Qt::LeftButton);
    });
    W->EditLog1Click();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(asked().empty());
    EXPECT_EQ(logBytes(), "line\r\n");
}

TEST_F(LogTest, EditorClosedWithChangesAsksAndNoKeepsItOpen) {
    writeLog("line\r\n");
    bool stillOpen = false;
    QTimer::singleShot(0, [&] {
        QTest::keyClicks(editor->mLog, "xyz");
        answer(mrNo);
        editor->close();
        stillOpen = editor->isVisible();
        answer(mrYes);
        editor->close();
    });
    W->EditLog1Click();
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Messages(), QStringList({"Changes not saved.  Do you still wish to exit?",
                                       "Changes not saved.  Do you still wish to exit?"}));
    EXPECT_EQ(logBytes(), "line\r\n");
}

TEST_F(LogTest, EditorSaveAsClearsTheUnsavedFlagButLeavesTheLog) {
    writeLog("line\r\n");
    const QString target = LogDir.filePath(QStringLiteral("edited.txt"));
    LogWindows::SetSaveDialogHook([&](QFileDialog&) { return target; });
    QTimer::singleShot(0, [&] {
        editor->mLog->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor->mLog, "2");
        QTest::mouseClick(editor->bSaveAs, Qt::LeftButton);
        EXPECT_FALSE(editor->SaveFlag);
        editor->close(); // no question now
    });
    W->EditLog1Click();
    EXPECT_TRUE(asked().empty()) << Messages().join("|").toStdString();
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "line2\r\n");
    EXPECT_EQ(logBytes(), "line\r\n");
}

TEST_F(LogTest, AnUnreadableLogIsReportedAndTheEditorStaysClosed) {
    // A folder in place of the log file: it exists but cannot be read.
    ASSERT_TRUE(QDir(LogDir.path()).mkdir(QStringLiteral("ZorvLog.txt")));
    bool opened = false;
    QTimer::singleShot(0, [&] {
        opened = editor->isVisible();
        editor->close();
    });
    W->EditLog1Click();
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].Type, TMsgDlgType::mtError);
    EXPECT_TRUE(asked()[0].Text.contains("ZorvLog.txt")) << asked()[0].Text.toStdString();
    EXPECT_FALSE(opened);
    QCoreApplication::processEvents(); // the timer, should the editor not have opened
}

TEST_F(LogTest, ViewerPrintsItsLinesOnlyWhenThereAreAny) {
    writeLog("first line\r\nsecond line\r\n");
    const QString pdf = LogDir.filePath(QStringLiteral("log.pdf"));
    int dialogs = 0;
    SetPrintDialogHook([&](QPrinter& printer) {
        ++dialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    W->ViewLog1Click();
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
    EXPECT_TRUE(asked().empty());
}

TEST_F(LogTest, ALogThatCannotBeReopenedAfterViewingEndsLogging) {
    W->LogthisSession1Click();
    // The log file is replaced by a folder behind the program's back.
    ASSERT_TRUE(QFile::remove(logPath()));
    ASSERT_TRUE(QDir(LogDir.path()).mkdir(QStringLiteral("ZorvLog.txt")));
    W->ViewLog1Click();
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].Type, TMsgDlgType::mtError);
    EXPECT_FALSE(W->Logging);
    EXPECT_EQ(W->LogFile, nullptr);
    W->LogLine("goes nowhere, raises nothing");
    EXPECT_EQ(asked().size(), 1u);
}

TEST_F(LogTest, EditorOKThatCannotWriteEverythingKeepsTheOldLogAndTheWindow) {
    writeLog("old line\r\n");
    bool stillOpen = false;
    QTimer::singleShot(0, [&] {
        editor->mLog->setPlainText(QString(3000, QLatin1Char('x')));
        {
            FileSizeLimit limit(1000); // the write stops part way
            QTest::mouseClick(editor->bOK, Qt::LeftButton);
        }
        stillOpen = editor->isVisible();
        answer(mrYes);
        editor->close(); // leave without saving
    });
    W->EditLog1Click();
    EXPECT_TRUE(stillOpen) << "a failed write keeps the editor and its changes";
    ASSERT_EQ(asked().size(), 2u);
    EXPECT_TRUE(asked()[0].Text.startsWith("Unable to write to")) << asked()[0].Text.toStdString();
    EXPECT_EQ(asked()[1].Text, "Changes not saved.  Do you still wish to exit?");
    EXPECT_EQ(logBytes(), QByteArray("old line\r\n"));
    EXPECT_EQ(QDir(LogDir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({".ZorvLog.txt.lock", "ZorvLog.txt"}))
        << "no temporary file is left";
}

TEST_F(LogTest, AFailedWriteStopsLoggingWithOneMessageThatSaysWhy) {
    W->LogthisSession1Click();
    W->LogLine("Blur");
    const QByteArray before = logBytes();
    {
        FileSizeLimit limit(before.size() + 4); // "Twist" and its line end stop after 4 of 7 bytes
        W->LogLine("Twist");
        W->LogLine("Emboss");
        W->LogLine("Emboss");
    }
    EXPECT_FALSE(W->Logging);
    EXPECT_EQ(W->LogFile, nullptr);
    EXPECT_EQ(Messages(), QStringList{"The activity log " + logPath() +
                                      " cannot be written: file too large.\rLogging has stopped."});
    EXPECT_EQ(logBytes(), before) << "no cut line is left";
    // Logging can start again once the log can be written.
    W->AppendtoLog1Click();
    W->LogLine("Twist");
    EXPECT_EQ(logBytes(), before + "<=Appending to Existing Log=>\r\nTwist\r\n");
}

TEST_F(LogTest, EditorOKWithoutAnEditLeavesALatin1LogByteForByte) {
    const QByteArray latin1 = "Open File /home/j\xfcrgen/Gr\xfc\xdf\x65.jpg\nBlur\r\n\r\n\r\n";
    writeLog(latin1);
    QString shown;
    bool noted = true;
    QTimer::singleShot(0, [&] {
        shown = editor->mLog->toPlainText();
        noted = !editor->lNote->isHidden();
        QTest::mouseClick(editor->bOK, Qt::LeftButton);
    });
    W->EditLog1Click();
    EXPECT_EQ(shown, QString("Open File /home/jürgen/Grüße.jpg\nBlur\n\n\n"));
    EXPECT_FALSE(noted) << "a short log is shown whole";
    EXPECT_EQ(logBytes(), latin1);
    EXPECT_TRUE(asked().empty());
}

TEST_F(LogTest, EditorOKWithAnEditKeepsLatin1LinesAndTrailingBlankLines) {
    writeLog("Gr\xfc\xdf\x65\r\nx\r\n\r\n\r\n");
    QTimer::singleShot(0, [&] {
        QTextCursor cursor(editor->mLog->document()->findBlockByNumber(1));
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(QString("\u00e9"));
        EXPECT_TRUE(editor->SaveFlag);
        QTest::mouseClick(editor->bOK, Qt::LeftButton);
    });
    W->EditLog1Click();
    // The untouched Latin-1 line keeps its byte; the typed one is UTF-8; both blank lines stay.
    EXPECT_EQ(logBytes(), QByteArray("Gr\xfc\xdf\x65\r\n\xc3\xa9\r\n\r\n\r\n"));
}

TEST_F(LogTest, ALongLogShowsItsEndWithANoteAndNothingElseIsLost) {
    // 240000 lines of 14 bytes: 3360000 bytes. The last MiB starts 2311424 bytes in, inside line
    // 165101, so the first whole line shown is line 165102, 74898 lines in all.
    QByteArray log;
    for (int i = 0; i < 240000; ++i) log += "line " + QByteArray::number(i).rightJustified(7, '0') + "\r\n";
    ASSERT_EQ(log.size(), 3360000);
    writeLog(log);
    const QString note = "The log is 3.2 MB long; its last 1.0 MB are shown.";

    W->ViewLog1Click();
    const QStringList lines = LogWindows::MemoLines(*viewer->mLog);
    ASSERT_EQ(lines.size(), 74898);
    EXPECT_EQ(lines.first(), "line 0165102");
    EXPECT_EQ(lines.last(), "line 0239999");
    EXPECT_FALSE(viewer->lNote->isHidden());
    EXPECT_EQ(viewer->lNote->text(), note);
    // Save As saves the whole log, the part not shown included.
    const QString copy = LogDir.filePath(QStringLiteral("copy.txt"));
    LogWindows::SetSaveDialogHook([&](QFileDialog&) { return copy; });
    QTest::mouseClick(viewer->bSaveAs, Qt::LeftButton);
    EXPECT_EQ(ReadAll(copy), log);
    viewer->close();

    QString editorNote;
    QTimer::singleShot(0, [&] {
        editorNote = editor->lNote->isHidden() ? QString() : editor->lNote->text();
        QString text = editor->mLog->toPlainText();
        EXPECT_TRUE(text.endsWith("\nline 0239999"));
        text.chop(12);
        editor->mLog->setPlainText(text + "last line");
        QTest::mouseClick(editor->bOK, Qt::LeftButton);
    });
    W->EditLog1Click();
    EXPECT_EQ(editorNote, note);
    EXPECT_EQ(logBytes(), log.left(log.size() - 14) + "last line\r\n");
    EXPECT_TRUE(asked().empty()) << Messages().join("|").toStdString();
}

TEST_F(LogTest, EditorOKKeepsTheBytesOfEveryUntouchedLineByItsPlace) {
    // Latin-1 "café", a line to edit, UTF-8 "café" (the same text) and Latin-1 "1", no-break space, "2".
    writeLog("caf\xe9\r\nx\r\ncaf\xc3\xa9\r\n1\xa0"
             "2\r\n");
    QTimer::singleShot(0, [&] {
        QTextDocument* doc = editor->mLog->document();
        QTextCursor(doc->findBlockByNumber(1)).insertText("!"); // "x" becomes "!x"
        QTextCursor(doc->firstBlock()).insertText("new\n");     // every line moves down one
        QTest::mouseClick(editor->bOK, Qt::LeftButton);
    });
    W->EditLog1Click();
    EXPECT_EQ(logBytes(), QByteArray("new\r\ncaf\xe9\r\n!x\r\ncaf\xc3\xa9\r\n1\xa0"
                                     "2\r\n"));
}

TEST_F(LogTest, ALineTooLongToShowShowsItsStartAndKeepsItsBytes) {
    // 1020000 bytes of Latin-1 "Grüße ": the first 4096 are shown, 1015904 are not.
    const QByteArray longLine = QByteArray("Gr\xfc\xdf\x65 ").repeated(170000);
    writeLog("first\r\n" + longLine + "\r\nlast\r\n");
    const QString mark =
        QString::fromUtf8("\u2026 [1015904 more bytes of line 2 not shown, kept as they are]");
    W->ViewLog1Click();
    QStringList lines = LogWindows::MemoLines(*viewer->mLog);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1] == QString::fromLatin1(longLine.left(4096)) + mark);
    EXPECT_EQ(viewer->lNote->text(),
              "One line is too long to show whole: the start is shown, and the rest is kept as it is.");
    viewer->close();

    QTimer::singleShot(0, [&] {
        EXPECT_FALSE(editor->lNote->isHidden());
        EXPECT_LT(editor->mLog->toPlainText().size(), 5000);
        QTextDocument* doc = editor->mLog->document();
        QTextCursor(doc->findBlockByNumber(1)).insertText("z"); // edited before its mark
        QTextCursor(doc->firstBlock()).insertText("the ");
        QTest::mouseClick(editor->bOK, Qt::LeftButton);
    });
    W->EditLog1Click();
    EXPECT_TRUE(logBytes() == "the first\r\nz" + longLine + "\r\nlast\r\n");
}

TEST_F(LogTest, EachLineGoesToTheFileThePathNamesNow) {
    W->LogthisSession1Click();
    W->LogLine("Blur");
    // Another instance's Edit Log puts a new file in the log's place.
    const QString other = LogDir.filePath(QStringLiteral("other.txt"));
    WriteAll(other, "edited elsewhere\r\n");
    ASSERT_EQ(std::rename(QFile::encodeName(other).constData(), QFile::encodeName(logPath()).constData()), 0);
    W->LogLine("Twist");
    EXPECT_EQ(logBytes(), "edited elsewhere\r\nTwist\r\n");
    // Removed: the next line starts the file again.
    ASSERT_TRUE(QFile::remove(logPath()));
    W->LogLine("Emboss");
    EXPECT_EQ(logBytes(), "Emboss\r\n");
    EXPECT_TRUE(W->Logging);
    EXPECT_TRUE(asked().empty());
}

namespace {
// A cursor in the editor's memo at `column` of block `block`; with `to`, selecting up to block `to`.
QTextCursor At(int block, int column = 0, int to = -1) {
    QTextDocument* doc = fELog->mLog->document();
    QTextCursor cursor(doc->findBlockByNumber(block));
    cursor.setPosition(cursor.position() + column);
    if (to >= 0) cursor.setPosition(doc->findBlockByNumber(to).position(), QTextCursor::KeepAnchor);
    return cursor;
}
void TypeAtTop(const char* text) {
    fELog->mLog->setTextCursor(At(0));
    QTest::keyClicks(fELog->mLog, text);
    QTest::keyClick(fELog->mLog, Qt::Key_Return);
}
} // namespace

TEST_F(LogTest, EditorWritesEveryUntouchedLineWithItsOwnBytesAndLineEnd) {
    // 20000 lines by fours: Latin-1 and UTF-8 "café k" (the same shown text), Latin-1 "a", no-break space,
    // "b k" and "a b k" (read back alike); CR LF and LF ends; the last line without one.
    auto line = [](int i) {
        const QByteArray k = QByteArray::number(i / 4);
        const char* const form[] = {"caf\xe9 %1\r\n", "caf\xc3\xa9 %1\n", "a\240b %1\n", "a b %1\r\n"};
        return QByteArray(form[i % 4]).replace("%1", k);
    };
    QByteArray log, expected = "new\r\n";
    for (int i = 0; i < 20000; ++i) {
        log += line(i);
        if (i == 19000) expected += "pasted\r\n";
        if (i < 9000 || (i >= 10500 && i < 19999)) expected += line(i);
    }
    log.chop(2);
    writeLog(log);
    QTimer::singleShot(0, [&] {
        At(19999, 8).insertText(" mended"); // "a b 4999"
        QGuiApplication::clipboard()->setText("pasted\n");
        editor->mLog->setTextCursor(At(19000));
        editor->mLog->paste();
        At(9000, 0, 10500).removeSelectedText();
        At(5000, 0, 5004).removeSelectedText(); // and back
        editor->mLog->undo();
        TypeAtTop("new");
        QTest::mouseClick(editor->bOK, Qt::LeftButton);
    });
    W->EditLog1Click();
    EXPECT_TRUE(logBytes() == expected + "a b 4999 mended\r\n");
}

TEST_F(LogTest, TheMarkOfALineShownInPartKeepsTheHiddenBytesWhateverIsTypedAroundIt) {
    // 10000 digits: 4096 shown, 5904 hidden.
    const QByteArray digits = QByteArray("0123456789").repeated(1000);
    writeLog("first\r\n" + digits + "\r\nnext\r\n");
    QString shown;
    QTimer::singleShot(0, [&] {
        shown = At(1).block().text();
        QTextCursor end = At(1, int(shown.size()));
        end.insertText(QString("\u00e9")); // after the mark
        end.deleteChar();                  // "next" joined onto the line
        QTest::mouseClick(editor->bOK, Qt::LeftButton);
    });
    W->EditLog1Click();
    EXPECT_EQ(shown, QString::fromLatin1(digits.left(4096)) +
                         QString("\u2026 [5904 more bytes of line 2 not shown, kept as they are]"));
    EXPECT_TRUE(logBytes() == "first\r\n" + digits + "\xc3\xa9next\r\n");
}

TEST_F(LogTest, AChangedMarkStopsOKUntilItsLineIsDeletedWhole) {
    const QByteArray log = "first\r\n" + QByteArray("0123456789").repeated(1000) + "\r\nnext\r\n";
    writeLog(log);
    bool refused = false;
    QTimer::singleShot(0, [&] {
        At(1, 4096 + 3).insertText("x"); // inside the mark: its 5904 bytes would have no place
        QTest::mouseClick(editor->bOK, Qt::LeftButton);
        refused = editor->isVisible() && logBytes() == log;
        QTextCursor line = At(1);
        line.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        line.removeSelectedText(); // the whole line: its hidden bytes go with it
        QTest::mouseClick(editor->bOK, Qt::LeftButton);
    });
    W->EditLog1Click();
    EXPECT_TRUE(refused);
    EXPECT_TRUE(Messages().join("").startsWith("The mark \"\u2026 [5904 more bytes of line 2 not shown"));
    EXPECT_EQ(logBytes(), "first\r\nnext\r\n");
}

TEST_F(LogTest, ALastLineLongerThanTheShownPartShowsItsStart) {
    // 7 + 1100000 bytes without a final line end: the last MiB lies inside the last line, from byte 7.
    const QByteArray log = "first\r\n" + QByteArray(1100000, 'x');
    writeLog(log);
    W->ViewLog1Click();
    EXPECT_EQ(viewer->mLog->toPlainText(),
              QString(4096, 'x') +
                  QString("\u2026 [1095904 more bytes of line 1 not shown, kept as they are]"));
    EXPECT_TRUE(
        viewer->lNote->text().startsWith("The log is 1.0 MB long; its last 1.0 MB are shown. One line"));
    const QString copy = LogDir.filePath(QStringLiteral("copy.txt"));
    LogWindows::SetSaveDialogHook([&](QFileDialog&) { return copy; });
    QTest::mouseClick(viewer->bSaveAs, Qt::LeftButton);
    EXPECT_TRUE(ReadAll(copy) == log);
    viewer->close();

    QTimer::singleShot(0, [&] {
        At(0, 4096 + 60).insertText("\nz"); // after the mark: the line is untouched, and gains an end
        QTest::mouseClick(editor->bOK, Qt::LeftButton);
    });
    W->EditLog1Click();
    EXPECT_TRUE(logBytes() == log + "\r\nz\r\n");
}

TEST_F(LogTest, EditLogKeepsEveryLineAnotherInstanceLogsMeanwhileInOrder) {
    writeLog("old\r\n");
    std::atomic<int> written{0};
    std::atomic<bool> loaded{false};
    auto waitFor = [](auto done) { // 10 s at most, so that a fault fails the test rather than hangs it
        for (int ms = 0; ms < 10000 && !done(); ++ms)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    // The other instance logs 40 lines; from the 11th on only once the editor has read the log.
    std::thread other([&] {
        auto file = std::make_unique<QFile>(logPath());
        if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) written = 40;
        for (int i = written; i < 40; ++i) {
            if (i == 10) waitFor([&] { return bool(loaded); });
            EXPECT_EQ(LogWindows::AppendLogLine(file, "B " + QByteArray::number(i) + "\r\n"), "");
            ++written;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    waitFor([&] { return written >= 10; });
    QTimer::singleShot(0, [&] {
        loaded = true;
        waitFor([&] { return written >= 30; });
        At(0).insertText("A\n");
        QTest::mouseClick(editor->bOK, Qt::LeftButton); // while lines 30 to 39 are written
    });
    W->EditLog1Click();
    other.join();
    QByteArray expected = "A\r\nold\r\n";
    for (int i = 0; i < 40; ++i) expected += "B " + QByteArray::number(i) + "\r\n";
    EXPECT_EQ(logBytes(), expected);
}

TEST_F(LogTest, EditLogSaysSoWhenTheLogWasReplacedMeanwhileAndWritesNothing) {
    writeLog("old\r\n");
    const QString other = LogDir.filePath(QStringLiteral("other.txt"));
    bool stillOpen = false;
    QTimer::singleShot(0, [&] {
        WriteAll(other, "another instance's edit\r\n");
        ASSERT_EQ(std::rename(QFile::encodeName(other).constData(), QFile::encodeName(logPath()).constData()),
                  0);
        At(0).insertText("A\n");
        QTest::mouseClick(editor->bOK, Qt::LeftButton);
        stillOpen = editor->isVisible();
        QTest::mouseClick(editor->bCancel, Qt::LeftButton);
    });
    W->EditLog1Click();
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(
        Messages().join("").startsWith("The log file " + logPath() + " was replaced, shortened or removed"));
    EXPECT_EQ(logBytes(), "another instance's edit\r\n");
}
