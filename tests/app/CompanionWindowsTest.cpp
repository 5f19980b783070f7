// The main window and its companions: menu shortcuts act while the tool box or the log viewer is the
// active window (a text field keeping its own editing keys), the tool box belongs to the main window (after
// the tile test too) and leaves its menu titles and tool bar buttons free, and every name shows whole.

#include "FileTestSupport.h"

#include "app/dialogs/AllForms.h"
#include "app/dialogs/InputBox.h"
#include "app/dialogs/LogViewer.h"
#include "app/main/WindowPlacement.h"

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QWindow>

namespace {

// The negative of Pattern(x, y): every byte b becomes 255 - b.
TFColor NegativePattern(int x, int y) {
    const TFColor p = Pattern(x, y);
    return MakeFColor(static_cast<std::uint8_t>(255 - p.r), static_cast<std::uint8_t>(255 - p.g),
                      static_cast<std::uint8_t>(255 - p.b));
}

class Companions : public FileCommandsBase {
protected:
    TfToolBox& T() { return *fToolBox; }
    // Makes `window` the active window, as a click on it would.
    void Activate(QWidget& window) {
        window.show();
        window.raise();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        Pump();
        ASSERT_EQ(QApplication::activeWindow(), &window);
    }
    bool ImageIsPattern() {
        for (int y = 0; y < W->z.Height; ++y)
            for (int x = 0; x < W->z.Width; ++x)
                if (!(W->z.Pixels24[y][x] == Pattern(x, y))) return false;
        return true;
    }
    bool ImageIsNegativePattern() {
        for (int y = 0; y < W->z.Height; ++y)
            for (int x = 0; x < W->z.Width; ++x)
                if (!(W->z.Pixels24[y][x] == NegativePattern(x, y))) return false;
        return true;
    }
    // The tool box's frame covers none of the main window's menu titles, tool bar buttons and title bar.
    ::testing::AssertionResult ClearOfBars() {
        const QRect frame(T().pos(), T().size().grownBy(WindowFrameMargins(&T())));
        std::vector<QRect> keep = BarItemRects(*W);
        // The main window's title bar, where a window manager draws one.
        keep.emplace_back(W->frameGeometry().topLeft(),
                          QSize(W->frameGeometry().width(), W->geometry().top() - W->frameGeometry().top()));
        for (const QRect& r : keep)
            if (frame.intersects(r))
                return ::testing::AssertionFailure()
                       << "tool box " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                       << frame.height() << " covers " << r.x() << "," << r.y() << " " << r.width() << "x"
                       << r.height();
        return ::testing::AssertionSuccess();
    }
};

} // namespace

TEST_F(Companions, MenuShortcutsRunWhileTheToolBoxIsActive) {
    SetImage(4, 3);
    W->Ring.Reset(UndoLevels);
    Activate(T());
    T().bGo2->setFocus();
    // Ctrl+N is Effects > Color > Negative, Ctrl+Z is Edit > UnDo.
    QTest::keyClick(T().bGo2, Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(ImageIsNegativePattern());
    EXPECT_EQ(W->Ring.StackSize, 1);
    QTest::keyClick(T().bGo2, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(ImageIsPattern());
    EXPECT_EQ(QApplication::activeWindow(), &T());
}

TEST_F(Companions, ATextFieldKeepsItsEditingKeys) {
    SetImage(4, 3);
    W->Ring.Reset(UndoLevels);
    W->lvl = 18; // Twist: one edit
    W->Effect = "Twist";
    W->ShowEffectControls();
    Activate(T());
    QLineEdit* edit = T().eAmtMain;
    ASSERT_FALSE(edit->isHidden());
    edit->setFocus();
    edit->end(false);
    const QString before = edit->text();
    QTest::keyClicks(edit, "7");
    ASSERT_EQ(edit->text(), before + "7");
    // Ctrl+Z undoes the typing, not the image; Ctrl+A selects the text instead of running Astroid.
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), before);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(edit->selectedText(), before);
    EXPECT_TRUE(ImageIsPattern());
    EXPECT_EQ(W->Ring.StackSize, 0);
    // A key the edit has no use for still reaches the menu.
    QTest::keyClick(edit, Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(ImageIsNegativePattern());
    EXPECT_EQ(edit->text(), before);
}

TEST_F(Companions, NoMenuShortcutWhileAColourPreviewWaits) {
    SetImage(4, 3);
    W->Ring.Reset(UndoLevels);
    Activate(T());
    T().sbGreen->setValue(400);
    Pump();
    ASSERT_TRUE(T().PreviewPending());
    T().bGood->setFocus();
    QTest::keyClick(T().bGood, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(W->Ring.StackSize, 0);
    QTest::mouseClick(T().bBad, Qt::LeftButton);
    EXPECT_TRUE(ImageIsPattern());
    // Once the preview has ended the shortcuts act again.
    Activate(T());
    QTest::keyClick(T().bGo2, Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(ImageIsNegativePattern());
}

TEST_F(Companions, MenuShortcutsRunWhileTheLogViewerIsActive) {
    SetImage(4, 3);
    StartLog();
    W->ViewLog1Click();
    ASSERT_TRUE(fLog->isVisible());
    Activate(*fLog);
    QTest::keyClick(fLog, Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(ImageIsNegativePattern());
    fLog->hide();
}

TEST_F(Companions, CtrlZInTheTileTestReturnsWithoutUndoing) {
    SetImage(4, 3);
    W->Ring.Reset(UndoLevels);
    Trigger("Negative1");
    ASSERT_TRUE(ImageIsNegativePattern());
    W->TestTiles1Click();
    Activate(*fTester);
    QTest::keyClick(fTester->Button1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(fTester->isVisible());
    EXPECT_TRUE(W->isVisible());
    EXPECT_TRUE(W->isEnabled());
    EXPECT_TRUE(ImageIsNegativePattern());
    EXPECT_EQ(W->Ring.StackSize, 1);
}

TEST_F(Companions, TheToolBoxIsAToolWindowOfTheMainWindowOnly) {
    ASSERT_TRUE(T().isVisible());
    EXPECT_EQ(T().windowType(), Qt::Tool);
    EXPECT_FALSE(T().windowFlags() & Qt::WindowStaysOnTopHint);
    ASSERT_NE(T().windowHandle(), nullptr);
    EXPECT_EQ(T().windowHandle()->transientParent(), W->windowHandle());
}

TEST_F(Companions, TheToolBoxIsMappedAfterTheMainWindowAndShowHideBringsACoveredOneToTheFront) {
    // Each map of the tool box: was the main window mapped by then (else it is stacked over the tool box)?
    std::vector<bool> shows;
    QObject spy;
    QObject::connect(T().windowHandle(), &QWindow::visibleChanged, &spy, [&](bool shown) {
        if (shown) shows.push_back(W->windowHandle()->isVisible());
    });
    W->showMaximized();
    W->TestTiles1Click();
    shows.clear();
    QTest::keyClick(fTester->Button1, Qt::Key_Z, Qt::ControlModifier);
    Pump();
    EXPECT_TRUE(T().isVisible());
    EXPECT_TRUE(!shows.empty() && shows.back());
    // Show/Hide Toolbox with the main window over the tool box's left half: the first press maps it again.
    TfToolBox::SetWindowAtHook([&](const QPoint& p) {
        return p.x() < T().geometry().center().x() ? W->windowHandle() : T().windowHandle();
    });
    shows.clear();
    QTest::mouseClick(W->findChild<QToolButton*>("bTools"), Qt::LeftButton);
    EXPECT_TRUE(T().isVisible());
    EXPECT_EQ(shows, std::vector<bool>{true});
    EXPECT_TRUE(W->TBFlag);
    TfToolBox::SetWindowAtHook({});
}

TEST_F(Companions, TheToolBoxLeavesTheMenuTitlesAndToolBarButtonsFree) {
    W->showNormal();
    Pump();
    // Over the File and Edit titles, then the main window is maximised.
    T().move(W->menuBar()->mapToGlobal(QPoint(0, 0)));
    Pump();
    ASSERT_FALSE(ClearOfBars());
    W->showMaximized();
    EXPECT_TRUE(QTest::qWaitFor([&] { return W->isMaximized() && bool(ClearOfBars()); }));
    const std::vector<QRect> bars = BarItemRects(*W);
    EXPECT_GE(bars.size(), 9u + 12u); // nine menu titles, twelve glyph buttons and Apply
    EXPECT_TRUE(ClearOfBars());
    const QRect frame(T().pos(), T().size().grownBy(WindowFrameMargins(&T())));
    EXPECT_TRUE(AvailableAreaAt(frame.center()).contains(frame));

    // The main window moved so that its tool bar comes under the tool box.
    W->showNormal();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !W->isMaximized(); }));
    QToolButton* apply = W->findChild<QToolButton*>("bGo");
    ASSERT_NE(apply, nullptr);
    const QPoint under = T().pos() + QPoint(20, 20) - apply->mapTo(W, QPoint(0, 0));
    W->move(under);
    EXPECT_TRUE(QTest::qWaitFor([&] { return bool(ClearOfBars()); }));
}

TEST_F(Companions, TheEffectTreeTheTextListsAndTheFolderBrowserShowEveryNameWhole) {
    for (int pointSize : {0, 15}) {
        std::unique_ptr<TStartedProgram> bigger;
        const QFont normal = QApplication::font();
        TfZorvTile* w = W;
        if (pointSize) {
            Program.reset();
            QFont f = normal;
            f.setPointSize(pointSize);
            QApplication::setFont(f);
            bigger = std::make_unique<TStartedProgram>(Ini.path(), QString(), true);
            w = fZorvTile;
        }
        QTreeWidget* tree = w->TreeView1;
        tree->expandAll();
        Pump();
        const QFontMetrics fm(tree->font());
        // "StretchBlur with Buffer" is the longest name: its item lies wholly in view.
        const QList<QTreeWidgetItem*> found =
            tree->findItems("StretchBlur with Buffer", Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1);
        const QRect item = tree->visualItemRect(found.first());
        EXPECT_GE(item.width(), fm.horizontalAdvance("StretchBlur with Buffer")) << pointSize;
        EXPECT_LE(item.right(), tree->viewport()->width() - 1) << pointSize;
        EXPECT_EQ(tree->horizontalScrollBar()->maximum(), 0) << pointSize;
        // Every family name (beside its mark), style and size lies wholly in its list's view.
        fText->show();
        Pump();
        for (QListWidget* list : {fText->lbFonts, fText->lbStyle, fText->lbSize})
            EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0) << pointSize;
        fText->hide();
        // The folder browser: every column, the date whole, within the list's view.
        QTimer::singleShot(0, [&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QFileDialog*>(top); d && d->isVisible()) {
                    Pump();
                    const QTreeView* view = d->findChild<QTreeView*>("treeView");
                    const QString date =
                        QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
                    EXPECT_GT(view->header()->sectionSize(3), view->fontMetrics().horizontalAdvance(date));
                    EXPECT_LE(view->header()->length(), view->viewport()->width()) << pointSize;
                    d->reject();
                }
        });
        EXPECT_EQ(BrowseForFolder(w, "Current Folder: " + Ini.path(), Ini.path()), "");
        // The file dialogs after it show their four columns.
        QFileDialog after;
        EXPECT_FALSE(after.findChild<QTreeView*>("treeView")->header()->isSectionHidden(1));
        if (pointSize) {
            bigger.reset();
            QApplication::setFont(normal);
        }
    }
}
