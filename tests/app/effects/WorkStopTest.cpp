// Long work stopped by the user: the picture, the undo ring and the log stay as they were before the
// command, no error is shown, input to the other windows is blocked meanwhile, and the next command runs.
#include "app/AppTestSupport.h"
#include "app/dialogs/ToolBox.h"
#include "app/effects/EffectTestImages.h"
#include "app/main/WorkProgress.h"
#include "controls/GradientControl.h"
#include "image/WorkControl.h"
#include "platform/Cursor.h"
#include "platform/Picture.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstring>

using namespace efx;

namespace {

// What a stopped command must leave as it found it.
struct TState {
    std::vector<std::uint8_t> Bytes;
    int Width = 0, Height = 0;
    int StackSize = 0;
    bool Full = false;
    std::vector<int> Entry;
    std::vector<Trgb> Top; // the newest undo snapshot
    QStringList Log;
    bool operator==(const TState&) const = default;
};

class WorkStop : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        W->LogthisSession1Click();
        ASSERT_TRUE(W->Logging);
        tagged(W->z, 64, 48);
        W->SetToIm(W->z);
    }
    void TearDown() override {
        TWorkScope::SetWatchHook({});
        TWorkScope::SetShowDelay(500);
        ClearWorkStop();
        ProgramTest::TearDown();
    }
    TState State() const {
        TState s;
        const TFastDIB& z = W->z;
        s.Width = z.Width;
        s.Height = z.Height;
        s.Bytes.assign(z.Bits, z.Bits + z.ByteCount());
        s.StackSize = W->Ring.StackSize;
        s.Full = W->Ring.Full;
        s.Entry = W->Ring.Entry;
        if (!W->Ring.Entry.empty()) {
            const TUndoMap& top = W->Ring.Pic[static_cast<std::size_t>(W->Ring.Entry.back())];
            for (std::size_t i = 0; i < top.size(); ++i) s.Top.push_back(top[i]);
        }
        s.Log = FileLines(W->LogPath());
        return s;
    }
    void Trigger(const char* name) {
        QAction* a = W->findChild<QAction*>(name);
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    // Two levels of undo, both used: a push would drop the oldest snapshot.
    void FillTwoLevelRing() {
        W->Ring.Reset(2);
        Trigger("Negative1");
        Trigger("Brighten1");
        ASSERT_EQ(W->Ring.StackSize, W->Ring.Levels());
    }
    // Stops the work at the given watch.
    static void StopAt(int watch) {
        TWorkScope::SetWatchHook([watch](int n) {
            if (n == watch) RequestWorkStop();
        });
    }
};

} // namespace

TEST_F(WorkStop, StoppedLongEffectsLeavePictureUndoAndLogAsBefore) {
    // Split Gauss with a pass count that never ends, StretchBlur with a million repetitions (as settings
    // files have held them), each run from its menu item on a full undo ring.
    FillTwoLevelRing();
    W->EffectVals[60] = 2000000000;
    W->SBlurReps = 1000000;
    W->UDSBlurSelf = 1;
    W->EffectVals[54] = 3;
    for (const char* item : {"SplitGauss1", "StretchBlurwithSelf1"}) {
        SCOPED_TRACE(item);
        const TState before = State();
        int watches = 0;
        TWorkScope::SetWatchHook([&](int n) {
            watches = n;
            if (n == 4) RequestWorkStop();
        });
        Trigger(item);
        EXPECT_EQ(watches, 4) << "the work ran until the stop";
        EXPECT_TRUE(State() == before);
        EXPECT_TRUE(Errors().isEmpty()) << Errors().join('\n').toStdString();
        EXPECT_EQ(HourGlass::Depth(), 0);
        EXPECT_FALSE(TWorkScope::Active());
        EXPECT_FALSE(WorkStopRequested());
        EXPECT_TRUE(W->bUndo->isEnabled());
    }

    // The next command runs normally: no stale stop, one more log line, the ring's newest snapshot is
    // the picture before it.
    TWorkScope::SetWatchHook({});
    const TState before = State();
    W->EffectVals[60] = 1;
    Trigger("SplitGauss1");
    EXPECT_NE(State().Bytes, before.Bytes);
    EXPECT_EQ(W->Ring.StackSize, 2);
    EXPECT_EQ(W->Ring.Pic[static_cast<std::size_t>(W->Ring.Entry.back())].size(), 64u * 48u);
    EXPECT_EQ(FileLines(W->LogPath()).size(), before.Log.size() + 1);
    EXPECT_EQ(FileLines(W->LogPath()).last(), "Split Gauss, Amount 1");
    W->DoUnDo();
    EXPECT_EQ(std::vector<std::uint8_t>(W->z.Bits, W->z.Bits + W->z.ByteCount()), before.Bytes);
}

TEST_F(WorkStop, ApplyStoppedWritesNothingAndAStaleRequestDoesNotStopTheNextCommand) {
    // Split Gauss is the current effect; the tool box's Apply runs it with the amount typed into it and
    // the stop comes at the second watch.
    W->lvl = 60;
    W->Effect = "Split Gauss";
    W->ShowEffectControls();
    fToolBox->eAmtMain->setText("2000000000");
    StopAt(2);
    const TState before = State();
    fToolBox->bGo2->click();
    EXPECT_TRUE(State() == before);
    EXPECT_TRUE(Errors().isEmpty());

    // A request left over from before a command is cleared when the command starts.
    TWorkScope::SetWatchHook({});
    W->EffectVals[60] = 2;
    RequestWorkStop();
    const int size = W->Ring.StackSize;
    Trigger("SplitGauss1");
    EXPECT_EQ(W->Ring.StackSize, size + 1);
    EXPECT_EQ(FileLines(W->LogPath()).last(), "Split Gauss, Amount 2");
    EXPECT_FALSE(WorkStopRequested());
}

TEST_F(WorkStop, ProgressWindowNamesTheEffectBlocksOtherInputAndStopsOnEscOrCancel) {
    W->EffectVals[60] = 2000000000;
    Trigger("Negative1"); // something to undo, so that a click on Undo would show
    QToolButton* undo = W->bUndo;
    const QPoint undoAt = undo->mapTo(W, undo->rect().center());
    TWorkScope::SetShowDelay(0);
    // Esc to the progress window, Esc to the main window (the window manager may not have moved the
    // keyboard yet), Cancel.
    for (const int how : {0, 1, 2}) {
        SCOPED_TRACE(how);
        const TState before = State();
        QString name, stateAfter;
        bool modal = false;
        TWorkScope::SetWatchHook([&](int n) {
            QDialog* d = TWorkScope::ProgressWindow();
            if (n < 3 || !d) return;
            if (!name.isEmpty()) return; // answered already; the work is ending
            name = d->findChild<QLabel*>("lblWorkName")->text();
            modal = d->windowModality() == Qt::ApplicationModal && QApplication::activeModalWidget() == d;
            // A click on the main window's Undo button would undo under the running effect.
            QTest::mouseClick(W->windowHandle(), Qt::LeftButton, {}, undoAt);
            if (how < 2)
                QTest::keyClick(how == 0 ? static_cast<QWidget*>(d) : W, Qt::Key_Escape);
            else
                QTest::mouseClick(d->findChild<QPushButton*>("bWorkCancel"), Qt::LeftButton);
            stateAfter = d->findChild<QLabel*>("lblWorkState")->text();
            EXPECT_TRUE(d->isVisible()) << "the window stays until the work has ended";
        });
        Trigger("SplitGauss1");
        EXPECT_EQ(name, "Split Gauss");
        EXPECT_TRUE(modal);
        EXPECT_EQ(stateAfter, "Stopping...");
        EXPECT_EQ(TWorkScope::ProgressWindow(), nullptr);
        EXPECT_TRUE(State() == before);
        EXPECT_TRUE(Errors().isEmpty());
    }
    // Without the window, the same click reaches Undo.
    TWorkScope::SetWatchHook({});
    const int size = W->Ring.StackSize;
    QTest::mouseClick(W->windowHandle(), Qt::LeftButton, {}, undoAt);
    EXPECT_EQ(W->Ring.StackSize, size - 1);
}

TEST_F(WorkStop, NothingStartsWhileAnEffectRuns) {
    // Each kind of event comes at the first watch of an effect stopped at the fifth; none may start its
    // command meanwhile (logging is on: a command that ran leaves its line). Drops: FileOpenTest.
    TFastDIB clip;
    tagged(clip, 16, 16);
    CopyDIBToClipboard(clip);
    bool timerRan = false, timerRanInWork = false;
    QMenuBar* bar = W->menuBar();
    const std::vector<std::pair<const char*, std::function<void()>>> kinds = {
        {"paste shortcut", [&] { QTest::keyClick(W, Qt::Key_V, Qt::ControlModifier); }},
        {"menu",
         [&] {
             QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[0]).center());
         }},
        {"tool bar", [&] { QTest::mouseClick(W->findChild<QToolButton*>("bCpyBufr"), Qt::LeftButton); }},
        {"close", [&] { W->close(); }},
        {"timer",
         [&] { QTimer::singleShot(1, W, [&] { timerRan = true, timerRanInWork = TWorkScope::Active(); }); }},
    };
    W->EffectVals[60] = 2000000000;
    for (const auto& [kind, send] : kinds) {
        SCOPED_TRACE(kind);
        const TState before = State();
        TWorkScope::SetWatchHook([&](int n) {
            if (n == 1) send();
            if (n == 5) RequestWorkStop();
        });
        Trigger("SplitGauss1");
        EXPECT_TRUE(State() == before);
        EXPECT_TRUE(W->isVisible());
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        TWorkScope::SetWatchHook({});
        QTest::qWait(20); // what waited runs now
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        W->show();
    }
    EXPECT_TRUE(timerRan);
    EXPECT_FALSE(timerRanInWork);
}

TEST_F(WorkStop, FramePutsThePictureBackOnAnErrorAndOnAStop) {
    W->Ring.Reset(2);
    Trigger("Negative1"); // an undo step to keep
    const TState before = State();
    // An error inside the work: the change and its undo snapshot go, as on a stop.
    try {
        TEffectFrame frame(*W);
        W->z.Pixels24[0][0] = TFColor{1, 2, 3};
        throw std::runtime_error("inside");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(State() == before);

    // A stop inside a light frame that also changed the size: the picture comes back whole.
    try {
        TLightFrame frame(*W);
        W->z.SetSize(5, 7, 24, 0);
        RequestWorkStop();
        WorkPoint();
        ADD_FAILURE() << "WorkPoint did not stop";
    } catch (const EWorkStopped&) {
    }
    ClearWorkStop();
    EXPECT_TRUE(State() == before);
    EXPECT_EQ(W->imSine->width(), 64);
}

TEST_F(WorkStop, GradientPaintCutShortIsPaintedAgainAtTheNextRead) {
    TZorvGradient cut, whole;
    for (TZorvGradient* g : {&cut, &whole}) {
        g->SetBeginColor(0x0000FF);
        g->SetEndColor(0xFF0000);
        g->SetGradientStyle(TGradientStyle::gsRadial1);
        g->resize(300, 200);
    }
    RequestWorkStop();
    EXPECT_THROW(cut.bm(), EWorkStopped);
    ClearWorkStop();
    const TFastDIB& a = cut.bm();
    const TFastDIB& b = whole.bm();
    ASSERT_EQ(a.Width, 300);
    ASSERT_EQ(a.ByteCount(), b.ByteCount());
    EXPECT_EQ(std::memcmp(a.Bits, b.Bits, static_cast<std::size_t>(a.ByteCount())), 0);
}

TEST_F(WorkStop, WhileTheWorkRunsTheViewShowsThePictureBeforeIt) {
    // The worker threads write z meanwhile; a repaint must never show their half-done rows.
    const TState before = State();
    const auto shownBefore = [&](int x, int y) {
        const std::uint8_t* p = before.Bytes.data() + static_cast<std::size_t>(y) * W->z.BWidth + 3 * x;
        return QColor(p[2], p[1], p[0]);
    };
    W->EffectVals[60] = 2000000000;
    int watched = 0;
    TWorkScope::SetWatchHook([&](int n) {
        if (n != 3) return;
        watched = n;
        EXPECT_NE(W->imSine->ShownImage(), &W->z);
        const QImage shot = W->imSine->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shot.size(), QSize(64, 48));
        int differ = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) differ += shot.pixelColor(x, y) != shownBefore(x, y);
        EXPECT_EQ(differ, 0);
        RequestWorkStop();
    });
    Trigger("SplitGauss1");
    EXPECT_EQ(watched, 3);
    EXPECT_EQ(W->imSine->ShownImage(), &W->z);
    EXPECT_TRUE(State() == before);
}
