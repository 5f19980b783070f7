// Commands that hand work to the desktop (help, the shortcut key list, the wallpaper) say so when the
// desktop cannot do it, instead of doing nothing.
#include "AppTestSupport.h"

#include "app/main/ShortcutList.h"
#include "platform/Folders.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QRegularExpression>

namespace {

class DesktopCommands : public ProgramTest {
protected:
    DesktopCommands() : ProgramTest(false) {}
    void SetUp() override {
        for (const char* name : {"PATH", "BROWSER", "XDG_CURRENT_DESKTOP"})
            Saved.emplace_back(name, qgetenv(name));
        ASSERT_TRUE(Tools.isValid());
        qputenv("PATH", Tools.path().toUtf8()); // no desktop tool at all
        qunsetenv("BROWSER");
        qunsetenv("XDG_CURRENT_DESKTOP");
        ProgramTest::SetUp();
    }
    void TearDown() override {
        ProgramTest::TearDown();
        for (const auto& [name, value] : Saved) qputenv(name, value);
    }
    // A fake lp: copies the file it gets into the tools folder and ends with `rc`.
    void FakeLp(int rc) {
        const QString f = Tools.filePath("lp");
        WriteAll(f, "#!/bin/sh\n/bin/cp \"$1\" \"" + Tools.filePath("printed.txt").toUtf8() + "\"\nexit " +
                        QByteArray::number(rc) + "\n");
        QFile::setPermissions(f, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // A fake desktop tool: records its arguments in Calls() and ends with `rc`.
    void FakeTool(const QString& name, int rc) {
        const QString f = Tools.filePath(name);
        WriteAll(f, "#!/bin/sh\necho \"$*\" >> \"" + Calls().toUtf8() + "\"\nexit " + QByteArray::number(rc) +
                        "\n");
        QFile::setPermissions(f, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString Calls() const { return Tools.filePath("calls.txt"); }
    QString ListPath() const { return ProgramDataFolder() + "/shortcuts.txt"; }

    QTemporaryDir Tools;
    std::vector<std::pair<const char*, QByteArray>> Saved;
};

} // namespace

TEST_F(DesktopCommands, HelpWithoutABrowserSaysSo) {
    W->Contents1Click();
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].startsWith("The help cannot be shown")) << Messages()[0].toStdString();
    EXPECT_TRUE(Messages()[0].endsWith(ProgramDataFolder() + "/Mozaro.html"));
    EXPECT_TRUE(QFile::exists(ProgramDataFolder() + "/Mozaro.html")) << "the page is there to open by hand";
}

TEST_F(DesktopCommands, TheShortcutListIsMadeFromTheMenus) {
    const QString list = ShortcutKeyList(W->menuBar());
    const QStringList lines = list.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.value(0), "Mozaro - Shortcut Keys");
    auto line = [&](const QString& path) {
        for (const QString& l : lines)
            if (l.startsWith(path + "   ")) return l.simplified();
        return QString();
    };
    EXPECT_EQ(line("Edit > UnDo"), "Edit > UnDo Ctrl+Z");
    EXPECT_EQ(line("Edit > Paste > Replace Image"), "Edit > Paste > Replace Image Ctrl+V");
    EXPECT_EQ(line("Effects > Distortions > Twist"), "Effects > Distortions > Twist Ctrl+T");
    EXPECT_EQ(line("Gradient > Multi-Color..."), "Gradient > Multi-Color... Ctrl+Shift+F7");
    // Every item with keys is listed, and nothing else: a changed shortcut changes the list.
    int withKeys = 0;
    for (QAction* a : W->findChildren<QAction*>())
        if (!a->shortcut().isEmpty() && !a->menu()) ++withKeys;
    EXPECT_EQ(lines.size() - 1, withKeys);
    W->findChild<QAction*>("Twist1")->setShortcut(QKeySequence("Ctrl+Shift+T"));
    EXPECT_TRUE(ShortcutKeyList(W->menuBar()).contains(QRegularExpression("Twist +Ctrl\\+Shift\\+T\n")));
}

TEST_F(DesktopCommands, PrintingTheShortcutListSaysWhyItCannot) {
    // No print command: the list is saved and the message says where.
    W->PrintShortcutKeyList1Click();
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].contains("\"lp\" is not installed")) << Messages()[0].toStdString();
    EXPECT_EQ(ReadAll(ListPath()), ShortcutKeyList(W->menuBar()).toUtf8());

    // The print command refuses it.
    FakeLp(1);
    W->PrintShortcutKeyList1Click();
    ASSERT_EQ(Messages().size(), 2);
    EXPECT_TRUE(Messages()[1].contains("could not be printed")) << Messages()[1].toStdString();

    // Printed: lp gets the list, and nothing is said.
    FakeLp(0);
    W->PrintShortcutKeyList1Click();
    EXPECT_EQ(Messages().size(), 2);
    EXPECT_EQ(ReadAll(Tools.filePath("printed.txt")), ShortcutKeyList(W->menuBar()).toUtf8());
}

TEST_F(DesktopCommands, AWallpaperOnlyCountsWhereTheDesktopChangedIt) {
    // A gsettings that accepts everything, as it does with no GNOME running: it must not count.
    FakeTool("gsettings", 0);
    const struct {
        const char* desktop; // XDG_CURRENT_DESKTOP; null: not set
        int rc;              // what the fake tool answers
        const char* says;    // a part of the message; null: no message
        bool toolCalled;
    } cases[] = {
        {nullptr, 0, "does not say which it is", false},
        {"openbox", 0, "not of openbox", false},
        {"GNOME", 1, "\"gsettings\" did not accept the picture", true},
        {"KDE", 0, "\"plasma-apply-wallpaperimage\" is not installed", false},
        {"ubuntu:GNOME", 0, nullptr, true},
    };
    for (const auto& c : cases) {
        if (c.desktop)
            qputenv("XDG_CURRENT_DESKTOP", c.desktop);
        else
            qunsetenv("XDG_CURRENT_DESKTOP");
        FakeTool("gsettings", c.rc);
        QFile::remove(Calls());
        const int before = static_cast<int>(Messages().size());
        W->SetAsWallpaper1Click();
        const QStringList said = Messages().mid(before);
        const QString what = c.desktop ? c.desktop : "unset";
        EXPECT_TRUE(ReadAll(W->WallpaperPath()).startsWith("BM")) << what.toStdString();
        EXPECT_EQ(QFile::exists(Calls()), c.toolCalled) << what.toStdString();
        if (!c.says) {
            EXPECT_TRUE(said.isEmpty()) << what.toStdString();
            EXPECT_TRUE(ReadAll(Calls()).contains("picture-uri file://" + W->WallpaperPath().toUtf8()));
            continue;
        }
        ASSERT_EQ(said.size(), 1) << what.toStdString();
        EXPECT_TRUE(said[0].startsWith("The picture is saved in " + W->WallpaperPath() +
                                       ", but the desktop's wallpaper was not changed: "))
            << said[0].toStdString();
        EXPECT_TRUE(said[0].contains(c.says)) << said[0].toStdString();
        EXPECT_TRUE(said[0].contains("must be set by hand")) << said[0].toStdString();
    }
}
