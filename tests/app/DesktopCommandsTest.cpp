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

TEST_F(DesktopCommands, AWallpaperThisDesktopCannotTakeIsSaidAndTheBitmapKept) {
    W->SetAsWallpaper1Click();
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].contains("cannot be set")) << Messages()[0].toStdString();
    EXPECT_TRUE(Messages()[0].contains(W->WallpaperPath()));
    EXPECT_TRUE(ReadAll(W->WallpaperPath()).startsWith("BM"));
}
