// The settings file: the sections and keys written at exit in their order, read back at the next start
// byte for byte, the gate, broken and out-of-range values, a failed write reported once, files that
// cannot be read or written kept, and the clean-up of killed saves at start, wherever they wrote.

#include "AppTestSupport.h"

#include "app/dialogs/InputBox.h"
#include "app/dialogs/JpegQuality.h"
#include "app/main/SettingsFile.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "platform/SafeFile.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApplication();
        ASSERT_TRUE(Dir.isValid());
        ResetSettingsFailureReport();
    }
    void TearDown() override { SetFolderBrowserHook({}); }
    QString Ini() const { return Dir.path() + "/ZorvTile.ini"; }
    QAction* Item(const char* name) { return fZorvTile->findChild<QAction*>(name); }

    QTemporaryDir Dir;
};

// The lines a first run writes, worked out from the built-in defaults. The first run sizes the window
// to show the whole start image (within the screen), so its size is the window's.
QStringList FirstRunLines(const QRect& window) {
    // The JPEG quality dialog is destroyed before the main window, so its key opens the file.
    QStringList l{"[MainForm]",
                  "JPGComp=90",
                  "TxtOnTst=0",
                  "SaveDlg=0",
                  "ShowAdj=1",
                  "CenterShape=0",
                  "SaveWithLog=0",
                  "PenStyle=0",
                  "Default Directory=",
                  QString("Top=%1").arg(window.top()),
                  QString("Left=%1").arg(window.left()),
                  QString("Width=%1").arg(window.width()),
                  QString("Height=%1").arg(window.height()),
                  "Status=1",
                  "UndoLevels=15"};
    // The filter designer and the tool box write their sections before the main window's values.
    l << QStringList{"[Filter]", "e1=2", "e2=1",  "e3=1",  "e4=1",  "e5=-3",
                     "e6=-1",    "e7=1", "e8=-1", "e9=-1", "eDiv=1"};
    l << QStringList{"[ToolBox]",  "Top=1",       "Left=3", "Pen Color=0", "Brush Color=16777215",
                     "Pen Size=2", "Fill Shape=1"};
    l << "[EffectVals]";
    const std::map<int, int> defs{
        {6, 250}, {13, 2},  {15, 50}, {16, 64},  {18, 100}, {21, 5},  {22, 25}, {23, 3},   {24, 6},  {25, 50},
        {26, 15}, {27, 64}, {28, 18}, {29, 700}, {30, 8},   {37, 25}, {43, 45}, {45, 64},  {46, 3},  {47, 3},
        {49, 50}, {50, 50}, {51, 20}, {52, 700}, {53, 1},   {54, -1}, {55, 64}, {56, 128}, {57, 32}, {58, 32},
        {59, 4},  {60, 3},  {61, 1},  {62, 16},  {63, 16},  {64, 24}, {65, 270}};
    for (int i = 0; i < 66; ++i) l << QString("EffectVals%1=%2").arg(i).arg(defs.count(i) ? defs.at(i) : 0);
    l << QStringList{"UDPeakVal=3",  "UDWavVal=32",    "LRPeakVal=2",  "LRWavVal=17",   "FishVal=0.75",
                     "ScaleVal=2",   "TurbVal=120",    "UDSBlurBuf=1", "UDSBlurSelf=1", "SBlurReps=32",
                     "UDWatBuf=100", "UDWatSelf=-128", "NovaSpok=64",  "NovaHue=32",    "NovaX=24",
                     "NovaY=36",     "HytEl=20",       "HytDp=16",     "HytBm=1",       "TrColVal=0",
                     "TrUseVal=0",   "WvLenVal=10",    "WvPhsVal=8",   "WvRflVal=0",    "WhPchVal=0.5",
                     "WhRadVal=1"};
    l << QStringList{"[MGradient]",   "bars=1",    "colors=100,200,128", "pos=10",
                     "bkcolor=0,0,0", "width=512", "height=512",         "vertical=1"};
    return l;
}

} // namespace

TEST_F(Settings, FirstRunWritesEverySectionAndKeyInOrder) {
    QRect window;
    {
        TStartedProgram p(Dir.path(), QString(), false);
        window = QRect(fZorvTile->pos(), fZorvTile->size());

        EXPECT_FALSE(QFile::exists(Ini()));
        // No file: the multi-colour gradient still gets its defaults.
        EXPECT_EQ(fZorvTile->Gradient.bars, 1);
        ASSERT_EQ(fZorvTile->Gradient.color.size(), 1u);
        EXPECT_EQ(fZorvTile->Gradient.color[0], (Trgb{100, 200, 128}));
        EXPECT_EQ(fZorvTile->Gradient.pos, std::vector<int>({10}));
        EXPECT_TRUE(fZorvTile->Gradient.vertical);
        p.Destroy();
        EXPECT_TRUE(p.Asked.empty());
    }
    EXPECT_EQ(FileLines(Ini()), FirstRunLines(window));
}

TEST_F(Settings, FirstRunStoresTheDocumentsFolderInTheKeyStore) {
    QFile::remove(Registry::StoreFileName());
    EnsureQtApplication();
    TApplicationForms forms;
    forms.CreateForms(QString());
    EXPECT_EQ(fZorvTile->INIDir, DocumentsFolder());
    EXPECT_EQ(Registry::ReadString("Software\\ZorvWare\\ZorvTile", "INILocation"), DocumentsFolder());
    forms.DestroyForms();
    EXPECT_TRUE(QFile::exists(DocumentsFolder() + "/ZorvTile.ini"));
    QFile::remove(DocumentsFolder() + "/ZorvTile.ini");
}

TEST_F(Settings, ValuesReadBackAndRewrittenByteForByte) {
    {
        TStartedProgram p(Dir.path(), QString(), false);
        TfZorvTile& w = *fZorvTile;
        // A stored amount of 0 for the gate key must not close the gate at the next start.
        w.EffectVals[6] = 0;
        w.EffectVals[65] = -7;
        w.FishVal = 0.3f;
        w.WvPhsVal = 2.5; // written as its nearest integer, halves to even
        w.HytBmVal = false;
        w.TrColVal = RGBColor(255, 0, 0);
        Item("XORPen1")->trigger();
        Item("PromptforSaveAtTermination1")->trigger();
        Item("CenterShapes")->trigger();
        Item("ShowAdj")->trigger();
        w.DefDir = "/some/where";
        UndoLevels = 42;
        w.Gradient.bars = 3;
        w.Gradient.color = {Trgb{255, 0, 0}, Trgb{0, 255, 0}, Trgb{0, 0, 255}};
        w.Gradient.pos = {0, 50, 100};
        w.Gradient.vertical = false;
        w.move(30, 40);
        w.resize(700, 500);
        p.Destroy();
    }
    const QByteArray first = ReadAll(Ini());
    const QStringList lines = FileLines(Ini());
    for (const char* line : {"EffectVals6=0", "FishVal=0.300000011920929", "WvPhsVal=2", "HytBm=0",
                             "TrColVal=255", "PenStyle=11", "SaveDlg=1", "UndoLevels=42",
                             "colors=255,0,0,0,255,0,0,0,255", "pos=0,50,100", "vertical=0"})
        EXPECT_TRUE(lines.contains(line)) << line;

    {
        TStartedProgram p(Dir.path(), QString(), false);
        TfZorvTile& w = *fZorvTile;
        EXPECT_EQ(w.EffectVals[6], 0);
        EXPECT_EQ(w.EffectVals[65], -7);
        EXPECT_EQ(w.EffectVals[18], 100);
        EXPECT_FLOAT_EQ(w.FishVal, 0.3f);
        EXPECT_EQ(w.WvPhsVal, 2.0);
        EXPECT_FALSE(w.HytBmVal);
        EXPECT_EQ(w.TrColVal, 255u);
        EXPECT_EQ(w.Rop2Mode, 11);
        EXPECT_TRUE(Item("XORPen1")->isChecked());
        EXPECT_FALSE(Item("Normal1")->isChecked());
        EXPECT_TRUE(Item("PromptforSaveAtTermination1")->isChecked());
        EXPECT_TRUE(Item("CenterShapes")->isChecked());
        EXPECT_FALSE(Item("ShowAdj")->isChecked());
        EXPECT_EQ(w.DefDir, "/some/where");
        EXPECT_EQ(UndoLevels, 42);
        EXPECT_EQ(w.Ring.Levels(), 42);
        ASSERT_EQ(w.Gradient.bars, 3);
        EXPECT_EQ(w.Gradient.color[1], (Trgb{0, 255, 0}));
        EXPECT_EQ(w.Gradient.pos, std::vector<int>({0, 50, 100}));
        EXPECT_FALSE(w.Gradient.vertical);
        EXPECT_EQ(w.x(), 30);
        EXPECT_EQ(w.y(), 40);
        EXPECT_EQ(w.width(), 700);
        EXPECT_EQ(w.height(), 500);
        p.Destroy();
    }
    EXPECT_EQ(ReadAll(Ini()), first);
}

TEST_F(Settings, GateIsTheKeysPresenceAndMGradientIsAlwaysRead) {
    // No EffectVals6: EffectVals and MainForm are not read; MGradient is.
    WriteAll(Ini(), "[EffectVals]\nEffectVals7=99\n[MainForm]\nUndoLevels=30\nSaveDlg=1\n"
                    "[MGradient]\nbars=3\ncolors=255,0,0,0,255,0,0,0,255\npos=0,50,100\n");
    {
        TStartedProgram p(Dir.path(), QString(), false);
        EXPECT_EQ(fZorvTile->EffectVals[7], 0);
        EXPECT_EQ(UndoLevels, 15);
        EXPECT_FALSE(Item("PromptforSaveAtTermination1")->isChecked());
        ASSERT_EQ(fZorvTile->Gradient.bars, 3);
        EXPECT_EQ(fZorvTile->Gradient.color[2], (Trgb{0, 0, 255}));
        EXPECT_EQ(fZorvTile->Gradient.pos[1], 50);
    }
}

TEST_F(Settings, BrokenAndOutOfRangeValues) {
    WriteAll(Ini(), "[EffectVals]\nEffectVals6=12\nEffectVals3=abc\nFishVal=0,5\nWhPchVal=junk\n"
                    "HytBm=256\nTrUseVal=257\n"
                    "[MainForm]\nUndoLevels=0\nWidth=5\nHeight=99999\nPenStyle=20\nSaveDlg=2\n"
                    "SaveWithLog=2\nCenterShape=0\n"
                    "[MGradient]\nbars=3\ncolors=1,2,3\npos=1,2,3\nbkcolor=300,2\nwidth=-1\n");
    {
        TStartedProgram p(Dir.path(), QString(), false);
        TfZorvTile& w = *fZorvTile;
        EXPECT_EQ(w.EffectVals[6], 12);
        EXPECT_EQ(w.EffectVals[3], 0);    // not a number: the current value
        EXPECT_FLOAT_EQ(w.FishVal, 0.5f); // a comma as decimal separator
        EXPECT_FLOAT_EQ(w.WhPchVal, 0.5f);
        EXPECT_FALSE(w.HytBmVal); // the low byte of 256
        EXPECT_TRUE(w.TrUseVal);
        EXPECT_EQ(UndoLevels, 15);
        EXPECT_EQ(w.Ring.Levels(), 15);
        EXPECT_EQ(w.width(), 541);
        EXPECT_EQ(w.height(), 446);
        // A pen style outside the menu means Normal.
        EXPECT_EQ(w.Rop2Mode, 0);
        EXPECT_TRUE(Item("Normal1")->isChecked());
        for (const char* pen : {"MaskNotPen1", "XORPen1", "NotXORPen1"})
            EXPECT_FALSE(Item(pen)->isChecked()) << pen;
        EXPECT_FALSE(Item("PromptforSaveAtTermination1")->isChecked());
        EXPECT_TRUE(Item("SaveImagewithLogFileName1")->isChecked());
        // Too few colours for three stops: the default gradient.
        EXPECT_EQ(w.Gradient.bars, 1);
        EXPECT_EQ(w.Gradient.color[0], (Trgb{100, 200, 128}));
        EXPECT_EQ(w.Gradient.bkcolor, (Trgb{0, 0, 0}));
        EXPECT_EQ(w.Gradient.width, 512);
        p.Destroy();
    }
    const QStringList lines = FileLines(Ini());
    for (const char* line : {"PenStyle=0", "UndoLevels=15", "FishVal=0.5"})
        EXPECT_TRUE(lines.contains(line)) << line;

    // Out of range from the other side, and the largest allowed value.
    for (const auto& [stored, kept] : {std::pair{"1000", 15}, std::pair{"100", 100}}) {
        WriteAll(Ini(), QByteArray("[EffectVals]\nEffectVals6=0\n[MainForm]\nUndoLevels=") + stored + "\n");
        TStartedProgram p(Dir.path(), QString(), false);
        EXPECT_EQ(UndoLevels, kept) << stored;
    }
}

TEST_F(Settings, EmptyOrCorruptFileGivesTheDefaults) {
    for (const QByteArray& content :
         {QByteArray(), QByteArray("\x00\xff\xfe[[[=\n=\n[EffectVals\nEffectVals6\n", 33),
          QByteArray(
              "[EffectVals]\nEffectVals6=\n[MainForm]\nUndoLevels=\n[MGradient]\nbars=\ncolors=,,\n")}) {
        WriteAll(Ini(), content);
        TStartedProgram p(Dir.path(), QString(), false);
        EXPECT_EQ(UndoLevels, 15);
        EXPECT_EQ(fZorvTile->EffectVals[6], 250);
        EXPECT_EQ(fZorvTile->Gradient.bars, 1);
        EXPECT_EQ(fZorvTile->z.Width, 512);
    }
}

TEST_F(Settings, WriteFailureIsReportedOnce) {
    // A folder below a plain file can never be created.
    WriteAll(Dir.path() + "/plain", "x");
    const QString bad = Dir.path() + "/plain/sub";
    {
        TStartedProgram p(bad, QString(), false);
        EXPECT_EQ(fZorvTile->INIDir, bad);
        p.Destroy();
        ASSERT_EQ(p.Asked.size(), 1u);
        EXPECT_EQ(p.Asked[0].Type, TMsgDlgType::mtError);
        EXPECT_TRUE(p.Asked[0].Text.startsWith("Unable to write to")) << p.Asked[0].Text.toStdString();
        // Another window writing its section to the same place reports nothing more.
        EXPECT_FALSE(
            WriteSettings(SettingsPath(bad), [](IniFile& ini) { ini.WriteString("ToolBox", "Top", "1"); }));
        EXPECT_EQ(p.Asked.size(), 1u);
    }
}

TEST_F(Settings, NoSettingsFolderWritesNothing) {
    // Before the folder is found the file name is relative; nothing may land in the current folder.
    const QString old = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Dir.path()));
    EXPECT_FALSE(
        WriteSettings(SettingsPath(QString()), [](IniFile& ini) { ini.WriteString("A", "b", "c"); }));
    EXPECT_FALSE(QFile::exists(Dir.path() + "/ZorvTile.ini"));
    QDir::setCurrent(old);
}

TEST_F(Settings, MaximisedWindowKeepsItsLastNormalPlace) {
    WriteAll(Ini(), "[EffectVals]\nEffectVals6=250\n[MainForm]\nTop=7\nLeft=8\nWidth=600\nHeight=400\n"
                    "Status=3\n");
    {
        TStartedProgram p(Dir.path(), QString(), false);
        EXPECT_TRUE(fZorvTile->windowState() & Qt::WindowMaximized);
        p.Destroy();
    }
    const QStringList lines = FileLines(Ini());
    for (const char* line : {"Status=3", "Top=7", "Left=8", "Width=600", "Height=400"})
        EXPECT_TRUE(lines.contains(line)) << line;
    // Kept in its place, before the keys written at exit.
    EXPECT_EQ(lines.indexOf("Top=7"), lines.indexOf("[MainForm]") + 1);
}

TEST_F(Settings, ChangeINIlocationMovesTheFileAndTheKeyStoreValue) {
    const QString key = "Software\\ZorvWare\\ZorvTile";
    WriteAll(Ini(), "[EffectVals]\nEffectVals6=250\n");
    QTemporaryDir target;
    ASSERT_TRUE(target.isValid());
    QString caption, start, answer;
    SetFolderBrowserHook([&](const QString& c, const QString& s) {
        caption = c;
        start = s;
        return answer;
    });
    {
        TStartedProgram p(Dir.path(), QString(), false);
        QAction* change = Item("ChangeINIlocation1");
        // Cancel: the value and the file stay where they were.
        answer.clear();
        change->trigger();
        EXPECT_EQ(caption, "Current Folder: " + Dir.path());
        EXPECT_EQ(start, Dir.path());
        EXPECT_EQ(Registry::ReadString(key, "INILocation"), Dir.path());
        EXPECT_TRUE(QFile::exists(Ini()));
        EXPECT_EQ(fZorvTile->INIDir, Dir.path());

        answer = target.path();
        change->trigger();
        EXPECT_EQ(Registry::ReadString(key, "INILocation"), target.path());
        EXPECT_FALSE(QFile::exists(Ini()));
        EXPECT_EQ(ReadAll(target.path() + "/ZorvTile.ini"), "[EffectVals]\nEffectVals6=250\n");
        EXPECT_EQ(fZorvTile->INIDir, target.path());
        p.Destroy();
        EXPECT_TRUE(p.Asked.empty());
    }
    // Written at exit in the new folder.
    EXPECT_TRUE(FileLines(target.path() + "/ZorvTile.ini").contains("UndoLevels=15"));
    EXPECT_FALSE(QFile::exists(Ini()));
}

namespace {

QByteArray Utf16Le(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    return bytes;
}

} // namespace

TEST_F(Settings, AFileAtTheReadLimitIsNeverLost) {
    // 10 bytes below the limit: every window's values are read; the first write that would pass the
    // limit is refused once with its reason, and the file stays byte for byte.
    QByteArray text = "[EffectVals]\nEffectVals6=250\n[MainForm]\nJPGComp=55\n; my own note\n";
    text += QByteArray(IniFile::MaxFileSize - 10 - text.size() - 1, ';') + "\n";
    WriteAll(Ini(), text);
    for (int run = 0; run < 2; ++run) {
        TStartedProgram p(Dir.path(), QString(), false);
        EXPECT_EQ(fJPGComp->eCVal->text(), "55");
        p.Destroy();
        ASSERT_EQ(p.Asked.size(), 1u) << run;
        EXPECT_EQ(p.Asked[0].Text, "Unable to write to " + Ini() +
                                       ": it would be larger than 1 MiB, the most a settings file may hold");
        EXPECT_EQ(ReadAll(Ini()), text) << run;
        ResetSettingsFailureReport();
    }
}

TEST_F(Settings, AUtf16FileIsReadAndKeptWithItsComments) {
    WriteAll(Ini(),
             Utf16Le("[EffectVals]\r\nEffectVals6=250\r\nEffectVals0=33\r\n[MainForm]\r\nJPGComp=42\r\n"
                     "; kept: Grüße\r\n"));
    {
        TStartedProgram p(Dir.path(), QString(), false);
        EXPECT_EQ(fJPGComp->eCVal->text(), "42");
        EXPECT_EQ(fZorvTile->EffectVals[0], 33);
        p.Destroy();
        EXPECT_TRUE(p.Asked.empty());
    }
    const QStringList lines = FileLines(Ini());
    for (const char* line : {"EffectVals0=33", "JPGComp=42", "; kept: Grüße"})
        EXPECT_TRUE(lines.contains(QString::fromUtf8(line))) << line;
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ZorvTile.ini"});
}

TEST_F(Settings, AnUnreadableFileIsKeptWithAMessageBeforeANewOneIsWritten) {
    QByteArray text = "[EffectVals]\nEffectVals6=250\nEffectVals0=33\n";
    text += QByteArray(IniFile::MaxFileSize, ';');
    WriteAll(Ini(), text);
    {
        TStartedProgram p(Dir.path(), QString(), false);
        EXPECT_NE(fZorvTile->EffectVals[0], 33) << "nothing of a file over the limit is read";
        p.Destroy();
        ASSERT_EQ(p.Asked.size(), 1u);
        EXPECT_EQ(p.Asked[0].Text, "The settings file " + Ini() +
                                       " could not be read: it is larger than 1 MiB.\r"
                                       "It is kept as " +
                                       Ini() + ".unreadable, and a new one is written.");
    }
    EXPECT_EQ(ReadAll(Ini() + ".unreadable"), text);
    EXPECT_TRUE(FileLines(Ini()).contains("EffectVals6=250"));
    // The next run finds a readable file: no message, nothing more kept.
    TStartedProgram p(Dir.path(), QString(), false);
    p.Destroy();
    EXPECT_TRUE(p.Asked.empty());
    EXPECT_FALSE(QFile::exists(Ini() + ".unreadable-2"));
}

TEST_F(Settings, AFolderThatCannotBeWrittenIsRefusedAtTheChoice) {
    const QString key = "Software\\ZorvWare\\ZorvTile";
    WriteAll(Ini(), "[EffectVals]\nEffectVals6=250\n");
    WriteAll(Dir.path() + "/plain", "x");
    QString answer;
    SetFolderBrowserHook([&](const QString&, const QString&) { return answer; });
    TStartedProgram p(Dir.path(), QString(), false);
    QAction* change = Item("ChangeINIlocation1");
    // A path below a plain file, and a folder no one may create files in (even with every right).
    for (const QString& bad : {Dir.path() + "/plain/sub", QString("/proc")}) {
        p.Asked.clear();
        answer = bad;
        change->trigger();
        ASSERT_EQ(p.Asked.size(), 1u) << bad.toStdString();
        const QString text = p.Asked[0].Text;
        EXPECT_TRUE(text.startsWith("The settings cannot be kept in " + bad + ": ")) << text.toStdString();
        EXPECT_TRUE(text.endsWith(".\rThey stay in " + Dir.path() + ".")) << text.toStdString();
        EXPECT_EQ(fZorvTile->INIDir, Dir.path());
        EXPECT_EQ(Registry::ReadString(key, "INILocation"), Dir.path());
        EXPECT_TRUE(QFile::exists(Ini()));
    }
    p.Asked.clear();
    p.Destroy();
    EXPECT_TRUE(p.Asked.empty());
    EXPECT_TRUE(FileLines(Ini()).contains("UndoLevels=15")) << "written at exit in the old place";
}

// A file as an earlier run left it, last changed `seconds` ago.
void Leave(const QString& fileName, const QByteArray& data, int seconds) {
    WriteAll(fileName, data);
    QFile f(fileName);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        f.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime));
}

TEST_F(Settings, TheStartRemovesStaleTemporariesOfKilledSaves) {
    const auto leave = [&](const QString& name, int seconds) { Leave(Dir.filePath(name), "half", seconds); };
    leave(".ZorvTile.ini.mozaro~tmp~00c0ffee00c0ffee", 600);
    leave(".ZorvTile.ini.mozaro~tmp~0123456789abcdef", 2); // another instance writing now
    // A person's own files beside the settings: never taken for ours, at the start or at the exit.
    leave(".notes.txt.mozaro-backup", 600);
    leave(".ZorvTile.ini.backup", 600);
    {
        TStartedProgram p(Dir.path(), QString(), false);
        EXPECT_FALSE(QFile::exists(Dir.filePath(".ZorvTile.ini.mozaro~tmp~00c0ffee00c0ffee")));
        EXPECT_TRUE(QFile::exists(Dir.filePath(".ZorvTile.ini.mozaro~tmp~0123456789abcdef")));
    }
    EXPECT_TRUE(QFile::exists(Dir.filePath("ZorvTile.ini"))) << "the settings were written at the exit";
    EXPECT_TRUE(QFile::exists(Dir.filePath(".notes.txt.mozaro-backup")));
    EXPECT_TRUE(QFile::exists(Dir.filePath(".ZorvTile.ini.backup")));
}

TEST_F(Settings, TheStartRemovesAKilledSavesTemporaryWhereverItWasWritten) {
    // Saves into a folder the settings do not know, as killed processes left them: each temporary with
    // its record, named by the temporary's digits and holding its full path.
    QTemporaryDir elsewhere;
    const QString records = SaveRecordFolder();
    ASSERT_TRUE(QDir().mkpath(records));
    const auto killed = [&](const QString& digits, int seconds, int recordSeconds = 0) {
        const QString temp = elsewhere.filePath(".photo.bmp.mozaro~tmp~" + digits);
        if (seconds >= 0) Leave(temp, "half a picture", seconds);
        Leave(records + "/" + digits, QFile::encodeName(temp), recordSeconds);
        return temp;
    };
    const QString stale = killed("00000000000000a1", 120);
    const QString young = killed("00000000000000a2", 5);
    const QString locked = killed("00000000000000a3", 120); // an old save still running in another process
    killed("00000000000000a4", -1, 120); // its temporary gone (a later save there removed it)
    const int lock = ::open(QFile::encodeName(locked).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    { TStartedProgram p(Dir.path(), QString(), false); }
    ::close(lock);
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_TRUE(QFile::exists(young));
    EXPECT_TRUE(QFile::exists(locked));
    EXPECT_EQ(QDir(records).entryList(QDir::Files), (QStringList{"00000000000000a2", "00000000000000a3"}));
    for (const char* digits : {"00000000000000a2", "00000000000000a3"}) QFile::remove(records + "/" + digits);
}
