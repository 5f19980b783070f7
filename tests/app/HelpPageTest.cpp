// The help page documents what the user meets: every menu command, every effect of the tree, the tool
// bar and the drawing tools; and it names the folders really in use, also on an account without a
// documents folder.

#include "AppTestSupport.h"
#include "FreshAccount.h"

#include "app/dialogs/ToolBox.h"
#include "app/main/HelpPage.h"
#include "platform/Picture.h"
#include "app/main/SettingsFile.h"
#include "app/main/StartUp.h"
#include "platform/Folders.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"

#include <QActionGroup>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <map>
#include <set>

namespace {

// The page as a reader sees it: markup gone, entities decoded.
QString PlainText(const QString& html) {
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText();
}

// A caption as the menu shows it: "&&" is an ampersand, a lone '&' only marks the access key.
QString Shown(QString caption) {
    caption.replace("&&", QString(QChar(0xE000)));
    caption.remove('&');
    caption.replace(QChar(0xE000), "&");
    return caption;
}

void CollectCaptions(const QMenu* menu, QStringList& out) {
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        out << Shown(a->text());
        if (a->menu()) CollectCaptions(a->menu(), out);
    }
}

class HelpPage : public ProgramTest {
protected:
    QString Text() { return PlainText(HelpPageHtml(THelpPlaces{})); }
};

} // namespace

TEST_F(HelpPage, EveryMenuCommandIsDocumented) {
    QStringList captions;
    for (QAction* top : W->menuBar()->actions()) {
        captions << Shown(top->text());
        ASSERT_NE(top->menu(), nullptr);
        CollectCaptions(top->menu(), captions);
    }
    // The image's pop-up menu is a menu the user meets as well.
    auto* popup = W->findChild<QMenu*>("PopupMenu1");
    ASSERT_NE(popup, nullptr);
    CollectCaptions(popup, captions);
    // Sanity of the walk: the nine menus with their nested items, the Pen modes and all effects.
    ASSERT_GT(captions.size(), 9 + 66 + 12 + 40);
    ASSERT_TRUE(captions.contains("Save As...")) << "access keys are removed: &Save As...";
    ASSERT_TRUE(captions.contains("1/16"));
    ASSERT_TRUE(captions.contains("Multi Gradient..."));

    const QString text = Text();
    for (const QString& c : captions) EXPECT_TRUE(text.contains(c)) << c.toStdString();
}

TEST_F(HelpPage, TheEffectTreeTheToolBarAndTheToolBoxAreDocumented) {
    const QString text = Text();
    int leaves = 0;
    for (int g = 0; g < W->TreeView1->topLevelItemCount(); ++g) {
        const QTreeWidgetItem* group = W->TreeView1->topLevelItem(g);
        EXPECT_TRUE(text.contains(group->text(0))) << group->text(0).toStdString();
        for (int i = 0; i < group->childCount(); ++i, ++leaves)
            EXPECT_TRUE(text.contains(group->child(i)->text(0))) << group->child(i)->text(0).toStdString();
    }
    EXPECT_EQ(leaves, 66);
    // Tree names that differ from the menu captions ("Hi Pass" is "HiPass" in the menu) are there too.
    EXPECT_TRUE(text.contains("Hi Pass"));
    EXPECT_TRUE(text.contains("Rotate 90 Clockwise"));

    int hints = 0;
    for (QToolButton* b : W->findChild<QToolBar*>("ToolBar1")->findChildren<QToolButton*>()) {
        const QString hint = b->toolTip().trimmed();
        if (hint.isEmpty()) continue;
        ++hints;
        EXPECT_TRUE(text.contains(hint)) << hint.toStdString();
    }
    EXPECT_GE(hints, 13); // twelve glyph buttons and Apply
    for (QToolButton* b : fToolBox->findChildren<QToolButton*>()) {
        const QString hint = b->toolTip().trimmed();
        if (!hint.isEmpty()) {
            EXPECT_TRUE(text.contains(hint)) << hint.toStdString();
        }
    }
    for (const char* tool :
         {"Free Hand", "Ellipse", "Rectangle", "Line", "Flood Fill", "Text", "Select", "Eye Dropper"})
        EXPECT_TRUE(text.contains(tool)) << tool;
}

TEST_F(HelpPage, ListsThePictureTypesThatOpenAndTellsHowToStopLongWork) {
    const QString text = Text();
    ASSERT_FALSE(text.contains("@PICTURE_TYPES@"));
    // Every type the installed readers know is named where opening is described.
    const qsizetype at = text.indexOf("read these picture types:");
    ASSERT_GE(at, 0);
    const QString list = text.mid(at, text.indexOf('.', at) - at);
    for (const QString& ext : QtPictureExtensions() + QStringList{"bmp", "jpeg", "gif"})
        EXPECT_TRUE(list.contains(ext.toUpper())) << ext.toStdString();
    EXPECT_TRUE(text.contains("Esc or Cancel stops the work"));
}

TEST_F(HelpPage, TheOptionsTableSaysWhichTicksComeBackAtTheNextStart) {
    // The page's row of each option and whether its last cell says "Kept".
    const QString html = HelpPageHtml(THelpPlaces{});
    const qsizetype from = html.indexOf("<h2 id=\"options\">");
    static const QRegularExpression row(R"(<tr><td class="cmd">(.*?)</td><td>.*?</td><td>(.*?)</td></tr>)",
                                        QRegularExpression::DotMatchesEverythingOption);
    std::map<QString, bool> kept;
    for (auto it = row.globalMatch(html.mid(from, html.indexOf("</table>", from) - from)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        kept[m.captured(1)] = m.captured(2).startsWith("Kept");
    }
    // Every tickable item flipped (a radio group by ticking one unticked item), then a new start on the
    // settings written at exit: the ticks that come back are the kept ones.
    std::vector<std::pair<QAction*, QString>> items; // the item and its row: the submenu's or its own
    for (QAction* a : W->findChild<QMenu*>("Options1")->actions()) {
        if (a->isSeparator()) continue;
        ASSERT_TRUE(kept.count(Shown(a->text()))) << "no row for " << Shown(a->text()).toStdString();
        for (QAction* item : a->menu() ? a->menu()->actions() : QList<QAction*>{a})
            if (item->isCheckable()) items.emplace_back(item, Shown(a->text()));
    }
    ASSERT_GE(items.size(), 7u);
    std::set<QActionGroup*> groups;
    for (const auto& [item, name] : items)
        if (!item->actionGroup() || (!item->isChecked() && groups.insert(item->actionGroup()).second))
            item->trigger();
    std::vector<std::pair<QString, bool>> flipped;
    for (const auto& [item, name] : items) flipped.emplace_back(item->objectName(), item->isChecked());
    Program.reset();
    Program = std::make_unique<TStartedProgram>(Ini.path());
    W = fZorvTile;
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(W->findChild<QAction*>(flipped[i].first)->isChecked() == flipped[i].second,
                  kept[items[i].second])
            << flipped[i].first.toStdString();
}

TEST(HelpPageText, PlacesAreFilledInAsText) {
    EnsureQtApplication();
    const THelpPlaces places{"/home/a&b/Documents/ZorvTile.ini",
                             "/home/x/.config/ZorvWare/registry.ini",
                             "/data/<log>/ZorvLog.txt",
                             "/data/@LOG_FILE@/Mozaro.html",
                             "/data/shortcuts.txt",
                             "/data/ZorvTile.bmp"};
    const QString html = HelpPageHtml(places);
    EXPECT_TRUE(html.contains("/home/a&amp;b/Documents/ZorvTile.ini"));
    EXPECT_TRUE(html.contains("/data/&lt;log&gt;/ZorvLog.txt")) << "a path never becomes markup";
    EXPECT_FALSE(html.contains("<log>"));
    const QString text = PlainText(html);
    for (const QString* p : {&places.SettingsFile, &places.KeyStore, &places.LogFile, &places.HelpFile,
                             &places.ShortcutFile, &places.WallpaperFile})
        EXPECT_TRUE(text.contains(*p)) << p->toStdString();
    // Each mark is filled once: the mark inside the help file's own path stays as the path has it.
    EXPECT_EQ(text.count("@LOG_FILE@"), 1);
    EXPECT_EQ(text.count("/data/<log>/ZorvLog.txt"), 1);
    for (const char* mark :
         {"@SETTINGS_FILE@", "@KEY_STORE@", "@HELP_FILE@", "@SHORTCUT_FILE@", "@WALLPAPER_FILE@"})
        EXPECT_FALSE(text.contains(mark)) << mark;
}

namespace {

// An account without a documents folder and with no desktop tools (so no browser opens).
class HelpOnAFreshAccount : public FreshAccount {
protected:
    void SetUp() override {
        FreshAccount::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(Tools.isValid());
        Keep("PATH");
        Keep("BROWSER");
        qputenv("PATH", Tools.path().toUtf8());
        qunsetenv("BROWSER");
    }

    QTemporaryDir Tools;
};

} // namespace

TEST_F(HelpOnAFreshAccount, ThePageNamesTheSettingsFolderInUse) {
    ASSERT_EQ(DocumentsFolder(), QString());
    QStringList said;
    ScopedMessageHook hook([&](const QString& text, TMsgDlgType, int) {
        said << text;
        return int(mrOk);
    });
    const QString config = Home.path() + "/.config/ZorvWare/ZorvTile";
    const QString data = Home.path() + "/.local/share/ZorvWare/ZorvTile";
    {
        TApplicationForms forms;
        forms.CreateForms(QString());
        fZorvTile->Contents1Click();
        forms.DestroyForms();
    }
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].endsWith(data + "/Mozaro.html")) << said[0].toStdString();
    const QString text = PlainText(QString::fromUtf8(ReadAll(data + "/Mozaro.html")));
    EXPECT_TRUE(text.contains(config + "/ZorvTile.ini")) << "no documents folder: the configuration folder";
    EXPECT_TRUE(text.contains(Home.path() + "/.config/ZorvWare/registry.ini"));
    EXPECT_TRUE(text.contains(data + "/ZorvLog.txt"));
    EXPECT_TRUE(text.contains(data + "/Mozaro.html"));
    EXPECT_TRUE(text.contains(data + "/shortcuts.txt"));
    EXPECT_TRUE(text.contains(data + "/ZorvTile.bmp"));
    EXPECT_FALSE(text.contains("Documents/ZorvTile.ini"));

    // With a documents folder the next page names it instead; the key store still holds the folder
    // of the first start, so it is moved there the way a user does.
    QDir(Home.path()).mkpath("Documents");
    Registry::WriteString("Software\\ZorvWare\\ZorvTile", "INILocation", Home.path() + "/Documents");
    {
        TApplicationForms forms;
        forms.CreateForms(QString());
        fZorvTile->Contents1Click();
        forms.DestroyForms();
    }
    const QString again = PlainText(QString::fromUtf8(ReadAll(data + "/Mozaro.html")));
    EXPECT_TRUE(again.contains(Home.path() + "/Documents/ZorvTile.ini"));
    EXPECT_FALSE(again.contains(config + "/ZorvTile.ini"));
}
