// The key store, the folders, message boxes and their seam, the error guard, the hourglass and the
// shell adaptors.
#include "common/QtTestSupport.h"
#include "platform/Cursor.h"
#include "platform/ErrorGuard.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

const QString Key = "Software\\ZorvWare\\ZorvTile\\";

TEST(Registry, StoreLivesInTheConfigFolderAndMatchesPathsLoosely) {
    const QString file = qEnvironmentVariable("XDG_CONFIG_HOME") + "/ZorvWare/registry.ini";
    EXPECT_EQ(Registry::StoreFileName(), file);
    QFile::remove(file);
    EXPECT_FALSE(Registry::KeyExists("SOFTWARE\\ZorvWare\\ZorvTile\\"));
    EXPECT_EQ(Registry::ReadString(Key, "INILocation", "none"), "none");

    Registry::WriteString(Key, "INILocation", "/home/u/Documents");
    EXPECT_TRUE(Registry::KeyExists("SOFTWARE\\ZorvWare\\ZorvTile\\"));
    EXPECT_TRUE(Registry::ValueExists("\\software\\zorvware\\\\zorvtile", "inilocation"));
    EXPECT_EQ(Registry::ReadString("SOFTWARE\\ZorvWare\\ZorvTile", "INILocation"), "/home/u/Documents");
    Registry::WriteString(Key, "Wallpaper", "1");
    EXPECT_EQ(ReadAll(file),
              QByteArray("[Software\\ZorvWare\\ZorvTile]\nINILocation=/home/u/Documents\nWallpaper=1\n"));

    Registry::CreateKey("Software\\ZorvWare\\Other");
    EXPECT_TRUE(Registry::KeyExists("Software\\ZorvWare\\Other"));
    EXPECT_FALSE(Registry::ValueExists("Software\\ZorvWare\\Other", "@"));
    QFile::remove(file);
}

TEST(Registry, UnwritableStoreRaises) {
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    QTemporaryDir dir;
    const QString blocker = dir.filePath("file");
    WriteAll(blocker, "x"); // a file where the config folder should be: nothing can be created in it
    qputenv("XDG_CONFIG_HOME", blocker.toUtf8());
    EXPECT_THROW(Registry::WriteString(Key, "INILocation", "/x"), std::runtime_error);
    EXPECT_EQ(Registry::ReadString(Key, "INILocation", "d"), "d");
    qputenv("XDG_CONFIG_HOME", old);
}

TEST(Folders, EachFolderIsAbsoluteWithoutTrailingSlash) {
    EnsureQtApplication();
    const QString home = qEnvironmentVariable("HOME");
    EXPECT_EQ(DocumentsFolder(), home + "/Documents");
    EXPECT_EQ(TempFolder(), QDir::cleanPath(QDir::tempPath()));
    EXPECT_EQ(ProgramFolder(), QFileInfo(QCoreApplication::applicationFilePath()).absolutePath());
    const QString own = qEnvironmentVariable("XDG_DATA_HOME") + "/ZorvWare/ZorvTile";
    EXPECT_EQ(WindowsFolder(), own);
    EXPECT_TRUE(QFileInfo(own).isDir()); // created on demand
    // The program's own files never go beside the executable, even where that folder is writable.
    EXPECT_EQ(ProgramDataFolder(), own);
    EXPECT_EQ(SettingsFallbackFolder(), qEnvironmentVariable("XDG_CONFIG_HOME") + "/ZorvWare/ZorvTile");
    for (const QString& f : {DocumentsFolder(), TempFolder(), ProgramFolder(), WindowsFolder()})
        EXPECT_FALSE(f.endsWith(u'/')) << f.toStdString();

    // A home without a documents folder has none: the caller falls back to the temporary folder.
    QTemporaryDir bare;
    qputenv("HOME", bare.path().toUtf8());
    EXPECT_EQ(DocumentsFolder(), QString());
    qputenv("HOME", home.toUtf8());
    EXPECT_EQ(DocumentsFolder(), home + "/Documents");
}

TEST(MessageBoxes, HookAnswersInsteadOfABox) {
    struct Call {
        QString text;
        TMsgDlgType type;
        int buttons;
    };
    std::vector<Call> calls;
    {
        ScopedMessageHook hook([&](const QString& t, TMsgDlgType ty, int b) {
            calls.push_back({t, ty, b});
            return calls.size() == 1 ? int(mrNo) : int(mrOk);
        });
        EXPECT_EQ(MessageDlg("Save the Current Image?", TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel),
                  mrNo);
        ShowMessage("You can only drop one file at a time");
        EXPECT_EQ(MessageDlg("x", TMsgDlgType::mtWarning, 0), mrOk);
    }
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].text, "Save the Current Image?");
    EXPECT_EQ(calls[0].type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(calls[0].buttons, 11);
    EXPECT_EQ(calls[1].text, "You can only drop one file at a time");
    EXPECT_EQ(calls[1].type, TMsgDlgType::mtCustom);
    EXPECT_EQ(calls[1].buttons, int(mbOK));
    EXPECT_EQ(calls[2].buttons, int(mbOK)); // no buttons asked: an OK box
    EXPECT_EQ(MessageDisplayText("a\rb\r\nc\nd"), "a\nb\nc\nd");
}

TEST(MessageBoxes, RealBoxShowsTheDisplayTextAndReturnsTheButton) {
    EnsureQtApplication();
    SetMessageHook({});
    QString shown;
    // Answers the box from inside its own event loop: the No button.
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible()) continue;
            shown = box->text();
            box->button(QMessageBox::No)->click();
        }
    });
    EXPECT_EQ(MessageDlg("line one\rline two", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrNo);
    EXPECT_EQ(shown, "line one\nline two");
}

TEST(ErrorGuard, ShowsTheExceptionTextAndEndsTheCommand) {
    std::vector<QString> shown;
    ScopedMessageHook hook([&](const QString& t, TMsgDlgType type, int b) {
        EXPECT_EQ(type, TMsgDlgType::mtError);
        EXPECT_EQ(b, int(mbOK));
        shown.push_back(t);
        return int(mrOk);
    });
    bool after = false;
    Guarded([&] {
        throw std::runtime_error("Unable to write to /x/ZorvTile.ini");
        after = true;
    });
    Guarded([] { throw std::bad_alloc(); });
    Guarded([] { throw 42; });
    bool ran = false;
    Guarded([&] { ran = true; });
    EXPECT_FALSE(after);
    EXPECT_TRUE(ran);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], "Unable to write to /x/ZorvTile.ini");
    EXPECT_EQ(shown[1], "Out of memory");
    EXPECT_EQ(shown[2], "Unknown error");
}

class Thrower : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("from a handler");
        return QObject::event(e);
    }
};

TEST(ErrorGuard, ApplicationCatchesWhatEscapesAHandler) {
    EnsureQtApplication(); // the shared application is a GuardedApplication
    ASSERT_NE(dynamic_cast<GuardedApplication*>(QCoreApplication::instance()), nullptr);
    std::vector<QString> shown;
    ScopedMessageHook hook([&](const QString& t, TMsgDlgType, int) {
        shown.push_back(t);
        return int(mrOk);
    });
    Thrower target;
    QEvent ev(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&target, &ev));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "from a handler");
}

TEST(HourGlass, NestedGuardsDoNotStack) {
    EnsureQtApplication();
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        HourGlass outer;
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            HourGlass inner;
            EXPECT_EQ(HourGlass::Depth(), 2);
        }
        // The inner guard's end keeps the hourglass for the outer one.
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QGuiApplication::restoreOverrideCursor(); // exactly one override was pushed
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(HourGlass::Depth(), 0);
}

// Puts fake desktop tools first on PATH; each records its arguments in a log file.
class FakeTools : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray oldPath = qgetenv("PATH");
    QByteArray oldDesktop = qgetenv("XDG_CURRENT_DESKTOP");
    void SetUp() override { qputenv("PATH", dir.path().toUtf8() + ":/usr/bin:/bin"); }
    void TearDown() override {
        qputenv("PATH", oldPath);
        qputenv("XDG_CURRENT_DESKTOP", oldDesktop);
    }
    void tool(const QString& name, const QByteArray& extra = QByteArray(), int rc = 0) {
        const QString f = dir.filePath(name);
        WriteAll(f, "#!/bin/sh\necho \"" + name.toUtf8() + " $*\" >> \"" + log().toUtf8() + "\"\n" + extra +
                        "exit " + QByteArray::number(rc) + "\n");
        QFile::setPermissions(f, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString log() const { return dir.filePath("calls.log"); }
    QString file(const QString& name) {
        const QString f = dir.filePath(name);
        WriteAll(f, "BM");
        return f;
    }
};

TEST_F(FakeTools, PrintGoesToLpOnlyWhenItIsInstalled) {
    const QString doc = file("shortcuts.doc");
    qputenv("PATH", dir.path().toUtf8()); // no lp anywhere
    EXPECT_FALSE(ShellPrintDocument(doc));
    tool("lp");
    EXPECT_FALSE(ShellPrintDocument(dir.filePath("missing.doc")));
    EXPECT_TRUE(ShellPrintDocument(doc));
    EXPECT_EQ(ReadAll(log()), "lp " + doc.toUtf8() + "\n");
}

TEST_F(FakeTools, WallpaperUsesTheRunningDesktopsTool) {
    const QString bmp = file("ZorvTile.bmp");
    tool("gsettings");
    tool("plasma-apply-wallpaperimage");
    tool("xfconf-query",
         "[ \"$3\" = \"-l\" ] && printf '/backdrop/screen0/monitor0/workspace0/last-image\\n/other\\n'\n");

    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_TRUE(SetDesktopWallpaper(bmp));
    EXPECT_EQ(ReadAll(log()), "plasma-apply-wallpaperimage " + bmp.toUtf8() + "\n");

    QFile::remove(log());
    qputenv("XDG_CURRENT_DESKTOP", "XFCE");
    EXPECT_TRUE(SetDesktopWallpaper(bmp));
    EXPECT_EQ(ReadAll(log()), "xfconf-query -c xfce4-desktop -l\nxfconf-query -c xfce4-desktop -p "
                              "/backdrop/screen0/monitor0/workspace0/last-image -s " +
                                  bmp.toUtf8() + "\n");

    QFile::remove(log());
    qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    EXPECT_TRUE(SetDesktopWallpaper(bmp));
    const QByteArray uri = "file://" + bmp.toUtf8();
    EXPECT_EQ(ReadAll(log()), "gsettings set org.gnome.desktop.background picture-uri " + uri +
                                  "\ngsettings set org.gnome.desktop.background picture-uri-dark " + uri +
                                  "\ngsettings set org.gnome.desktop.background picture-options wallpaper\n");

    EXPECT_FALSE(SetDesktopWallpaper(dir.filePath("missing.bmp")));
}

TEST_F(FakeTools, WallpaperFailsWhenTheToolRefuses) {
    const QString bmp = file("ZorvTile.bmp");
    tool("plasma-apply-wallpaperimage", QByteArray(), 1);
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_FALSE(SetDesktopWallpaper(bmp));
    qputenv("XDG_CURRENT_DESKTOP", "GNOME"); // its tool is not installed here
    qputenv("PATH", dir.path().toUtf8());
    EXPECT_FALSE(SetDesktopWallpaper(bmp));
}

TEST(Shell, HelpForAMissingDocumentIsRefused) {
    EnsureQtApplication();
    EXPECT_FALSE(ShellOpenHelp("/no/such/Mozaro.html"));
    EXPECT_FALSE(ShellOpenHelp("file:///no/such/Mozaro.html"));
    EXPECT_FALSE(ShellOpenHelp("NoSuchHelp.html")); // a bare missing name is not a web address
}

} // namespace
