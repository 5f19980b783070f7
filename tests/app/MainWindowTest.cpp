// The main window as the program starts it: start state, a picture on the command line, closing,
// the tool box across hide and show, and the undo commands through the real widgets.

#include "AppTestSupport.h"

#include "app/dialogs/InputBox.h"
#include "app/dialogs/LogViewer.h"
#include "app/dialogs/LogEditor.h"
#include "app/dialogs/AllForms.h"
#include "app/dialogs/PrintOptions.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApplication();
        ASSERT_TRUE(Dir.isValid());
    }
    QAction* Item(const char* name) { return fZorvTile->findChild<QAction*>(name); }
    QToolButton* Button(const char* name) { return fZorvTile->findChild<QToolButton*>(name); }
    QString Panel(int i) { return fZorvTile->findChild<TStatusBar*>("stBar")->PanelText(i); }

    QTemporaryDir Dir;
};

bool AllBlack(const TFastDIB& d) {
    for (int y = 0; y < d.Height; ++y)
        for (int x = 0; x < d.BWidth; ++x)
            if (d.Scanlines[y][x] != 0) return false;
    return true;
}

// A 40 x 30 picture: blue left half, pixel (5, 7) red.
QString WritePicture(const QString& folder) {
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(QColor(0, 0, 255));
    img.setPixelColor(5, 7, QColor(255, 0, 0));
    const QString path = folder + "/start.bmp";
    img.save(path, "BMP");
    return path;
}

} // namespace

TEST_F(MainWindow, FreshStartState) {
    TStartedProgram p(Dir.path());
    ASSERT_NE(fZorvTile, nullptr);
    EXPECT_EQ(fZorvTile->windowTitle(), "Mozaro");
    // Every window of the order exists, with its caption.
    EXPECT_EQ(fToolBox->windowTitle(), "Tool Box");
    EXPECT_EQ(fAbout->windowTitle(), "Do It with Mozaro");
    EXPECT_EQ(frmSizer->windowTitle(), "Set Size");
    for (QWidget* w :
         std::initializer_list<QWidget*>{fGradient, fFilter, fSelect, fText, fJPGComp, fTrans, fTexture,
                                         fTester, fPrint, fGif, fLog, fELog, fMultGrad, fAdjust, fMultOpt})
        EXPECT_NE(w, nullptr);

    const QStringList panels{"Width: 512", "Height: 512", "X:", "Y:", "Idle..."};
    for (int i = 0; i < panels.size(); ++i) EXPECT_EQ(Panel(i), panels[i]) << i;

    EXPECT_EQ(fZorvTile->z.Width, 512);
    EXPECT_EQ(fZorvTile->z.Height, 512);
    EXPECT_EQ(fZorvTile->z.Bpp, 24);
    EXPECT_TRUE(AllBlack(fZorvTile->z));
    EXPECT_TRUE(AllBlack(fZorvTile->orig));
    auto* im = fZorvTile->findChild<TImage*>("imSine");
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->size(), QSize(512, 512));
    EXPECT_EQ(fZorvTile->findChild<QWidget*>("pnlSine")->size(), QSize(512, 512));
    EXPECT_EQ(im->Canvas().pixelColor(300, 200), QColor(0, 0, 0));

    EXPECT_TRUE(fToolBox->isVisible());
    EXPECT_TRUE(fZorvTile->WeShowed);
    EXPECT_FALSE(Button("bUndo")->isEnabled());
    EXPECT_TRUE(Button("bTest")->isEnabled());
    EXPECT_TRUE(fZorvTile->Ring.Empty);
    EXPECT_EQ(fZorvTile->Ring.Levels(), 15);
    EXPECT_EQ(fZorvTile->jcv, 90);
    EXPECT_EQ(fZorvTile->lvl, -1);

    // Option ticks without a settings file.
    for (const char* on : {"HideDialogDuringSave1", "ShowAdj", "Normal1"})
        EXPECT_TRUE(Item(on)->isChecked()) << on;
    for (const char* off : {"PromptforSaveAtTermination1", "ShowDialogDuringSave1", "CenterShapes",
                            "SaveImagewithLogFileName1", "ShowSampleTextonTestPage1", "XORPen1"})
        EXPECT_FALSE(Item(off)->isChecked()) << off;

    // The menu tree: captions, shortcuts; the buffer's commands wait for a buffer.
    EXPECT_EQ(Item("UnDo1")->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(Item("ReplaceImage1")->text(), "Re&place Image");
    // The first show made the designer's default gradient the current one.
    EXPECT_TRUE(Item("PasteToImage1")->isEnabled());
    EXPECT_FALSE(Item("PasteBuffertoImage1")->isEnabled());
    EXPECT_EQ(Item("MultiColor1")->shortcut(), QKeySequence("Shift+Ctrl+F7"));
    EXPECT_EQ(Item("SplitGauss1")->shortcut(), QKeySequence("Shift+Ctrl+F12"));
    EXPECT_EQ(Item("FishEye1")->text(), "FishEye");
    EXPECT_TRUE(Item("Twist1")->isEnabled());
    EXPECT_TRUE(Item("MergeGradient1")->isEnabled());
    EXPECT_EQ(Item("N1161")->text(), "1/16");
    // Effects' groups in alphabetical order of caption.
    auto* color = fZorvTile->findChild<QMenu*>("Color1");
    ASSERT_NE(color, nullptr);
    QStringList captions;
    for (QAction* a : color->actions()) captions << a->text();
    EXPECT_EQ(captions, QStringList({"Brighten", "Color Rotate", "Erase to Black", "Exchange Color",
                                     "Gray Scale", "Lighten", "Negative", "Tint"}));
    int effects = 0;
    for (const char* g : {"Color1", "Distortions1", "Draw1", "Filters1", "SizeAspect1"})
        effects += static_cast<int>(fZorvTile->findChild<QMenu*>(g)->actions().size());
    EXPECT_EQ(effects, 66);
    EXPECT_TRUE(p.Asked.empty());
}

TEST_F(MainWindow, StartWithPictureShowsItWithoutUndoAndResetReturnsToIt) {
    TStartedProgram p(Dir.path(), WritePicture(Dir.path()));
    TfZorvTile& w = *fZorvTile;
    ASSERT_TRUE(p.Asked.empty());
    EXPECT_EQ(w.z.Width, 40);
    EXPECT_EQ(w.z.Height, 30);
    EXPECT_EQ(w.z.GetPixel(7, 5).r, 255);
    EXPECT_EQ(w.z.GetPixel(7, 5).b, 0);
    EXPECT_EQ(w.z.GetPixel(0, 0).b, 255);
    EXPECT_EQ(w.orig.Width, 40);
    EXPECT_EQ(w.buf.Width, 40);
    EXPECT_EQ(w.findChild<TImage*>("imSine")->size(), QSize(40, 30));
    EXPECT_EQ(Panel(0), "Width: 40");
    EXPECT_EQ(Panel(1), "Height: 30");
    EXPECT_FALSE(Button("bUndo")->isEnabled());
    EXPECT_TRUE(w.Ring.Empty);
    EXPECT_NE(w.DefDir, QDir(Dir.path()).absolutePath()) << "the start file does not move DefDir";

    // An effect-like change, then Reset: back to the start picture, and Reset is undoable.
    {
        TEffectFrame frame(w);
        w.z.SetSize(10, 10, 24, 0);
    }
    EXPECT_EQ(Panel(0), "Width: 10");
    EXPECT_TRUE(Button("bUndo")->isEnabled());
    Item("Reset1")->trigger();
    EXPECT_EQ(w.z.Width, 40);
    EXPECT_EQ(w.z.GetPixel(7, 5).r, 255);
    EXPECT_EQ(w.Ring.StackSize, 2);
    QTest::mouseClick(Button("bUndo"), Qt::LeftButton);
    EXPECT_EQ(w.z.Width, 10);
    EXPECT_EQ(Panel(1), "Height: 10");
    Item("UnDo1")->trigger();
    EXPECT_EQ(w.z.Width, 40);
    EXPECT_FALSE(Button("bUndo")->isEnabled());
    // Undo on an empty ring changes nothing.
    Item("UnDo1")->trigger();
    EXPECT_EQ(w.z.Width, 40);
    EXPECT_TRUE(p.Asked.empty());
}

TEST_F(MainWindow, StartWithFileThatIsNotAPictureShowsMessageAndKeepsBlackImage) {
    const QString path = Dir.path() + "/notes.bmp";
    WriteAll(path, "This is not a picture at all.\n");
    TStartedProgram p(Dir.path(), path);
    ASSERT_EQ(p.Asked.size(), 1u);
    EXPECT_EQ(p.Asked[0].Type, TMsgDlgType::mtError);
    EXPECT_FALSE(p.Asked[0].Text.isEmpty());
    EXPECT_EQ(fZorvTile->z.Width, 512);
    EXPECT_EQ(fZorvTile->z.Height, 512);
    EXPECT_TRUE(AllBlack(fZorvTile->z));
    EXPECT_EQ(Panel(0), "Width: 512");
    EXPECT_TRUE(fToolBox->isVisible());
    EXPECT_FALSE(Button("bUndo")->isEnabled());
}

TEST_F(MainWindow, ClosePromptAnswers) {
    TStartedProgram p(Dir.path());
    const QString question =
        "Save the Current Image?\r\r(To avoid this prompt, uncheck the menu item under the Options menu)";

    // Unticked: closes without a question.
    {
        EXPECT_TRUE(fZorvTile->close());
        EXPECT_TRUE(p.Asked.empty());
        fZorvTile->show();
        Pump();
    }
    Item("PromptforSaveAtTermination1")->trigger();
    ASSERT_TRUE(Item("PromptforSaveAtTermination1")->isChecked());

    // Cancel keeps the window.
    p.Answers = {mrCancel};
    EXPECT_FALSE(fZorvTile->close());
    EXPECT_TRUE(fZorvTile->isVisible());
    ASSERT_EQ(p.Asked.size(), 1u);
    EXPECT_EQ(p.Asked[0].Text, question);
    EXPECT_EQ(p.Asked[0].Type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(p.Asked[0].Buttons, mbYes | mbNo | mbCancel);

    // Yes, then the save dialog cancelled: nothing is saved and the window stays.
    QString proposedFolder;
    QString chosen;
    TfZorvTile::SetFileDialogHook([&](const QString&, const QString& folder, const QString&, const QString&) {
        proposedFolder = folder;
        return chosen;
    });
    p.Answers = {mrYes};
    EXPECT_FALSE(fZorvTile->close());
    EXPECT_TRUE(fZorvTile->isVisible());
    ASSERT_EQ(p.Asked.size(), 2u);
    EXPECT_EQ(p.Asked[1].Text, question);

    // No closes.
    p.Answers = {mrNo};
    EXPECT_TRUE(fZorvTile->close());
    EXPECT_FALSE(fZorvTile->isVisible());
    EXPECT_FALSE(fToolBox->isVisible());
    EXPECT_EQ(p.Asked.size(), 3u);

    // Yes with a name: the image is saved, then the window closes.
    fZorvTile->show();
    Pump();
    chosen = QDir(Dir.path()).filePath("closing.bmp");
    p.Answers = {mrYes};
    EXPECT_TRUE(fZorvTile->close());
    EXPECT_FALSE(fZorvTile->isVisible());
    EXPECT_EQ(p.Asked.size(), 4u);
    EXPECT_TRUE(QFileInfo(chosen).size() > 512 * 512 * 3);
    TfZorvTile::SetFileDialogHook({});
}

TEST_F(MainWindow, ToolBoxFollowsHideAndShowOnlyWhenItWasVisible) {
    TStartedProgram p(Dir.path());
    TfZorvTile& w = *fZorvTile;
    ASSERT_TRUE(fToolBox->isVisible());
    EXPECT_FALSE(w.TBFlag);

    w.hide();
    Pump();
    EXPECT_FALSE(fToolBox->isVisible());
    EXPECT_TRUE(w.TBFlag);
    // Showing again brings the tool box back and does not run the first-show work again.
    w.z.SetPixel(0, 0, TFColor{1, 2, 3});
    w.StartFile = WritePicture(Dir.path());
    w.show();
    Pump();
    EXPECT_TRUE(fToolBox->isVisible());
    EXPECT_EQ(w.z.Width, 512);
    EXPECT_EQ(w.z.GetPixel(0, 0).r, 3);

    // The tool bar's Show/Hide Toolbox: hidden, and it stays hidden across a hide and show.
    QTest::mouseClick(Button("bTools"), Qt::LeftButton);
    EXPECT_FALSE(fToolBox->isVisible());
    EXPECT_FALSE(w.TBFlag);
    w.hide();
    Pump();
    w.show();
    Pump();
    EXPECT_FALSE(fToolBox->isVisible());
    QTest::mouseClick(Button("bTools"), Qt::LeftButton);
    EXPECT_TRUE(fToolBox->isVisible());
    EXPECT_TRUE(w.TBFlag);
}

TEST_F(MainWindow, ChangeUndoQuantity) {
    TStartedProgram p(Dir.path());
    TfZorvTile& w = *fZorvTile;
    w.CopyUnDo();
    w.CopyUnDo();
    ASSERT_EQ(w.Ring.StackSize, 2);
    QString offered, caption, prompt;
    QString reply;
    SetInputBoxHook([&](const QString& c, const QString& pr, const QString& v) {
        caption = c;
        prompt = pr;
        offered = v;
        return reply;
    });
    QAction* change = Item("ChangeUndoQuantity1");

    // The same number (also what Cancel returns): no question, snapshots kept.
    reply = "15";
    change->trigger();
    EXPECT_EQ(caption, "Change Number of Undo");
    EXPECT_EQ(prompt, "Enter a New Maximum Undo: ");
    EXPECT_EQ(offered, "15");
    EXPECT_TRUE(p.Asked.empty());
    EXPECT_EQ(w.Ring.StackSize, 2);

    // Not a number: the conversion error, nothing changes.
    reply = "many";
    change->trigger();
    ASSERT_EQ(p.Asked.size(), 1u);
    EXPECT_EQ(p.Asked[0].Text, "'many' is not a valid integer value");
    EXPECT_EQ(UndoLevels, 15);
    EXPECT_EQ(w.Ring.StackSize, 2);

    // Outside 1..100: refused.
    for (const char* bad : {"0", "-4", "101"}) {
        reply = bad;
        change->trigger();
        EXPECT_EQ(p.Asked.back().Text, "The number of undo levels must lie between 1 and 100.") << bad;
    }
    EXPECT_EQ(p.Asked.size(), 4u);
    EXPECT_EQ(UndoLevels, 15);
    EXPECT_EQ(w.Ring.StackSize, 2);

    // Another number, answered No: nothing changes.
    reply = "20";
    p.Answers = {mrNo};
    change->trigger();
    ASSERT_EQ(p.Asked.size(), 5u);
    EXPECT_EQ(p.Asked[4].Text,
              " This will clear current Undo buffers \rand reset all pointers.  Continue with \r"
              "          Undo modification?");
    EXPECT_EQ(p.Asked[4].Buttons, mbYes | mbNo);
    EXPECT_EQ(UndoLevels, 15);
    EXPECT_TRUE(Button("bUndo")->isEnabled());

    // Yes: the ring is emptied and resized, UnDo disabled.
    p.Answers = {mrYes};
    change->trigger();
    EXPECT_EQ(UndoLevels, 20);
    EXPECT_EQ(w.Ring.Levels(), 20);
    EXPECT_TRUE(w.Ring.Empty);
    EXPECT_FALSE(Button("bUndo")->isEnabled());
    SetInputBoxHook({});
}

TEST_F(MainWindow, PenMenuIsARadioGroup) {
    TStartedProgram p(Dir.path());
    Item("MergePen1")->trigger();
    EXPECT_EQ(fZorvTile->Rop2Mode, 5);
    EXPECT_TRUE(Item("MergePen1")->isChecked());
    EXPECT_FALSE(Item("Normal1")->isChecked());
    // Choosing the ticked item again keeps it ticked.
    Item("MergePen1")->trigger();
    EXPECT_TRUE(Item("MergePen1")->isChecked());
    Item("NotXORPen1")->trigger();
    EXPECT_EQ(fZorvTile->Rop2Mode, 10);
    EXPECT_FALSE(Item("MergePen1")->isChecked());
}

TEST_F(MainWindow, SetAsWallpaperWritesTheShownImageEachTime) {
    TStartedProgram p(Dir.path());
    TfZorvTile& w = *fZorvTile;
    const QString path = w.WallpaperPath();
    EXPECT_TRUE(path.endsWith("/ZorvTile.bmp"));
    Item("SetAsWallpaper1")->trigger();
    p.Asked.clear(); // whether this desktop's wallpaper changes is DesktopCommandsTest's matter
    QImage first(path, "BMP");
    EXPECT_EQ(first.size(), QSize(512, 512));
    EXPECT_EQ(first.pixelColor(10, 10), QColor(0, 0, 0));

    w.z.SetSize(40, 30, 24, 0);
    w.z.SetPixel(2, 3, TFColor{0, 0, 255});
    w.SetToIm(w.z);
    Item("SetAsWallpaper1")->trigger();
    QImage second(path, "BMP");
    EXPECT_EQ(second.size(), QSize(40, 30));
    EXPECT_EQ(second.pixelColor(3, 2), QColor(255, 0, 0));

    // A write that stops part way (files may not grow past 1000 bytes) is reported, and the previous
    // wallpaper file stays whole.
    p.Asked.clear();
    const QByteArray before = ReadAll(path);
    w.z.SetSize(64, 64, 24, 0);
    w.SetToIm(w.z);
    {
        FileSizeLimit limit(1000);
        Item("SetAsWallpaper1")->trigger();
    }
    ASSERT_EQ(p.Asked.size(), 1u);
    EXPECT_EQ(p.Asked[0].Text, "Unable to write to " + path);
    EXPECT_EQ(ReadAll(path), before);
}

TEST_F(MainWindow, UndoAndResetLogTheirLinesAndDestructionClosesTheLogWhenSettingsFail) {
    QTemporaryDir logDir;
    ASSERT_TRUE(logDir.isValid());
    TfZorvTile::SetLogFolder(logDir.path());
    {
        TStartedProgram p(Dir.path());
        TfZorvTile& w = *fZorvTile;
        Item("LogthisSession1")->trigger();
        ASSERT_TRUE(w.Logging);
        Item("Reset1")->trigger();
        Item("UnDo1")->trigger();
        Item("UnDo1")->trigger(); // empty ring: no line
        // The settings cannot be written at exit; the log is closed all the same.
        WriteAll(Dir.path() + "/plain", "x");
        w.INIDir = Dir.path() + "/plain/sub";
        p.Destroy();
        ASSERT_EQ(p.Asked.size(), 1u);
        EXPECT_TRUE(p.Asked[0].Text.startsWith("Unable to write to"));
    }
    const QStringList lines = FileLines(logDir.path() + "/ZorvLog.txt");
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("Log starts"));
    EXPECT_EQ(lines[1], "Image Reset");
    EXPECT_EQ(lines[2], "UnDo");
    TfZorvTile::SetLogFolder(QString());
}

TEST_F(MainWindow, ToolBarButtonsHintsAndGroupsAndTheMenuBar) {
    TStartedProgram p(Dir.path());
    auto* bar = fZorvTile->findChild<QToolBar*>("ToolBar1");
    ASSERT_NE(bar, nullptr);
    // Each button's hint in order, "|" for a separator between groups.
    QStringList hints;
    for (QAction* a : bar->actions()) {
        if (a->isSeparator()) {
            hints << "|";
            continue;
        }
        auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a));
        ASSERT_NE(b, nullptr);
        hints << b->toolTip();
    }
    EXPECT_EQ(hints.join(";"),
              "Open a File...;Save File As...;|;Copy To Clipboard;Paste From Clipboard;|;"
              "Show/Hide Toolbox;Show/Hide Color Sliders on Toolbox;|;Apply Current Effect;|;"
              "UnDo ;|;Print...;|;Paste Gradient to Image;|;Copy Image to Buffer;"
              "Paste Buffer to Image;|;Test Tiles");
    EXPECT_EQ(Button("bGo")->text(), "Apply");

    QStringList menus;
    for (QAction* a : fZorvTile->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&Gradient", "&Buffer", "&Image", "Effec&ts", "Pen",
                                  "&Options", "&Help"}));
    auto captions = [](const char* menu) {
        QStringList out;
        for (QAction* a : fZorvTile->findChild<QMenu*>(menu)->actions())
            if (!a->isSeparator()) out << a->text();
        return out;
    };
    EXPECT_EQ(captions("File1"), QStringList({"&Open", "&New", "&Save As...", "&Print...", "&Log", "E&xit"}));
    EXPECT_EQ(captions("Log1"),
              QStringList({"Start &New Log", "&Close Log", "&Append to Log", "&View Log", "&Edit Log"}));
    EXPECT_EQ(captions("Edit1"), QStringList({"UnDo", "&Copy", "&Paste", "&Reset"}));
    EXPECT_EQ(captions("Paste1"), QStringList({"As &Selection", "Re&place Image", "&Transparent"}));
    EXPECT_EQ(captions("Gradient1"),
              QStringList({"&Two-Color...", "&Paste To Image", "&Merge With Image", "&Multi-Color..."}));
    EXPECT_EQ(captions("Image1"), QStringList({"&Test Tiles", "&Seamless", "Set As &Wallpaper"}));
    EXPECT_EQ(
        captions("Options1"),
        QStringList({"Set &JPG Compression", "&GIF Transparency...", "&Log File", "Change &Undo Quantity",
                     "&Prompt for Save At Termination", "Print &Shortcut Key List", "Change INI location",
                     "Show Sample &Text on Test Page", "Show Adjustment Dialog When Drawing",
                     "Center Shapes When Drawing"}));
    EXPECT_EQ(captions("Help1"), QStringList({"&Contents", "&About"}));
    EXPECT_EQ(Item("Copy1")->shortcut(), QKeySequence("Ctrl+C"));
    EXPECT_EQ(Item("ReplaceImage1")->shortcut(), QKeySequence("Ctrl+V"));
    auto* st = fZorvTile->findChild<TStatusBar*>("stBar");
    ASSERT_EQ(st->PanelCount(), 6);
    const int widths[6] = {75, 75, 50, 50, 175, 50};
    // At least as wide as laid out, wider where the running font needs it (StatusBarTest).
    for (int i = 0; i < 6; ++i) EXPECT_GE(st->PanelRect(i).width(), widths[i]) << "panel " << i;
}
