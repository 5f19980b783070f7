// Apply, the menu handlers, the effect tree and the effects menu, driven through the real widgets.

#include "../FileTestSupport.h"

#include "app/dialogs/FilterDesigner.h"
#include "app/dialogs/ToolBox.h"
#include "app/effects/EffectCatalogue.h"
#include "controls/Label3D.h"
#include "platform/Cursor.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

class Dispatch : public FileCommandsBase {
protected:
    void TearDown() override {
        TfToolBox::SetShowEmHook({});
        FileCommandsBase::TearDown();
    }
    TfToolBox& T() { return *fToolBox; }
    void Select(const QString& text) {
        const auto items = W->TreeView1->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(items.size(), 1) << text.toStdString();
        W->TreeView1->setCurrentItem(items[0]);
    }
    void Apply() { QTest::mouseClick(T().bGo2, Qt::LeftButton); }
    QString LastBox() const { return Program->Asked.empty() ? QString() : Program->Asked.back().Text; }
};

} // namespace

TEST_F(Dispatch, ApplyChecksInOrder) {
    Apply();
    EXPECT_EQ(LastBox(), "First Select an Effect");
    Select("Negative");
    T().ePenSize->setText("");
    Apply();
    EXPECT_EQ(LastBox(), "Amounts cannot be zero-length");
    T().ePenSize->setText("2");
    T().eYPos->setText("abc"); // hidden for Negative, still checked
    Apply();
    EXPECT_EQ(LastBox(), "Amounts must be numeric");
}

TEST_F(Dispatch, ApplyStoresRunsAndLogs) {
    StartLog();
    SetImage(16, 12);
    Select("Gaussian Blur");
    T().eAmtMain->setText("7");
    Apply();
    EXPECT_EQ(T().eAmtMain->text(), "1");
    EXPECT_EQ(W->EffectVals[13], 1);

    Select("SineWave U/D");
    T().ckbxPeaks->setChecked(true);
    T().ckbxWrap->setChecked(true);
    T().eAmtMain->setText("3");
    T().eAmtSecond->setText("50");
    Apply();

    Select("Whirl/Pinch");
    T().eAmtSecond->setText("3");
    T().ePeaks2->setText("-2");
    Apply();

    Select("Waves");
    T().eAmtMain->setText("5");
    T().eAmtSecond->setText("7");
    T().ePeaks2->setText("2.5");
    const int stack = W->Ring.StackSize;
    Apply();
    EXPECT_EQ(LastBox(), "'2.5' is not a valid integer value");
    EXPECT_EQ(W->EffectVals[64], 5);
    EXPECT_EQ(W->WvLenVal, 7);
    EXPECT_EQ(W->Ring.StackSize, stack);

    EXPECT_EQ(LogLines(),
              (QStringList{"Gaussian Blur, Blurriness 1", "SineWave U/D, Peaks 3, Height 50, Wrap = True",
                           "Whirl/Pinch, Angle 270, Pinch 1.00, Radius 0.00"}));
    EXPECT_EQ(W->WhPchVal, 1.0f);
    EXPECT_EQ(W->WhRadVal, 0.0f);
    EXPECT_EQ(HourGlass::Depth(), 0);
}

TEST_F(Dispatch, GuardsRefuseBeforeTheFrame) {
    StartLog();
    SetImage(8, 8);
    TFastDIB before;
    PaintPattern(before, 8, 8);
    struct Case {
        const char* Tree;
        std::function<void(TfToolBox&)> Type;
        const char* Menu;
        std::function<void(TfZorvTile&)> Store;
    };
    const Case cases[] = {
        {"Gaussian Blur", [](TfToolBox& t) { t.eAmtMain->setText("-1"); }, "GaussianBlur1",
         [](TfZorvTile& w) { w.EffectVals[13] = -4; }},
        {"HeightMap", [](TfToolBox& t) { t.ePeaks2->setText("65536"); }, "HeightMap1",
         [](TfZorvTile& w) { w.HytDpVal = 0; }},
        {"SuperNova", [](TfToolBox& t) { t.eAmtSecond->setText("0"); }, "SuperNova1",
         [](TfZorvTile& w) { w.EffectVals[57] = 0; }},
        {"Waves", [](TfToolBox& t) { t.eAmtSecond->setText("0"); }, "Waves1",
         [](TfZorvTile& w) { w.WvLenVal = 0; }},
        {"Seamless Edge", [](TfToolBox& t) { t.eAmtMain->setText("1"); }, "SeamlessEdge1",
         [](TfZorvTile& w) { w.EffectVals[63] = 0; }},
    };
    for (const Case& c : cases) {
        Select(c.Tree);
        c.Type(T());
        const std::size_t boxes = Program->Asked.size();
        Apply();
        EXPECT_EQ(Program->Asked.size(), boxes + 1) << c.Tree;
        EXPECT_TRUE(LastBox().contains("must")) << LastBox().toStdString();
        W->SetEffectDefaults();
        c.Store(*W);
        Trigger(c.Menu); // a stored value gets the same check
        EXPECT_EQ(Program->Asked.size(), boxes + 2) << c.Tree;
        EXPECT_EQ(W->lvl, EffectIndexOf(c.Tree)); // current, so the panel shows the value to mend
        EXPECT_TRUE(SameDIB(W->z, before));
        W->SetEffectDefaults();
    }
    EXPECT_EQ(W->Ring.StackSize, 0);
    EXPECT_TRUE(LogLines().isEmpty());
    EXPECT_EQ(HourGlass::Depth(), 0);
}

TEST_F(Dispatch, MenuHandlersRunInTheirOrder) {
    // At the moment the handler shows the panel: is the frame open, has the image changed, is the
    // effect current already?
    struct Seen {
        bool Called = false, FrameOpen = false, Changed = false;
        int Lvl = -2;
        QString Effect;
    } seen;
    TFastDIB before;
    TfToolBox::SetShowEmHook([&](int lvl, const QString& effect) {
        if (seen.Called) return;
        seen = Seen{true, HourGlass::Depth() > 0, !SameDIB(W->z, before), lvl, effect};
    });
    struct Case {
        const char* Item;
        int Index;
        bool FrameOpen, Changed;
        const char* Effect;
    };
    const Case cases[] = {
        {"HiPass1", 7, false, true, "HiPass"},
        {"ClassicEmboss1", 6, true, true, "Classic Emboss"},
        {"GrayScale1", 35, false, true, "Gray Scale"},
        {"Buttonize1", 51, false, true, "Buttonize"},
        {"SineWaveLR1", 16, true, true, "SineWave L/R"},
        {"Trace1", 61, true, true, "Trace"},
        {"WaterwithSelf1", 56, false, false, "Water with Self"},
        {"Scroll1", 45, false, false, "Scroll"},
    };
    StartLog();
    for (const Case& c : cases) {
        SetImage(12, 10);
        PaintPattern(before, 12, 10);
        seen = Seen{};
        W->lvl = -1;
        Trigger(c.Item);
        EXPECT_TRUE(seen.Called) << c.Item;
        EXPECT_EQ(seen.FrameOpen, c.FrameOpen) << c.Item;
        EXPECT_EQ(seen.Changed, c.Changed) << c.Item;
        EXPECT_EQ(seen.Lvl, c.Index) << c.Item;
        EXPECT_EQ(seen.Effect, c.Effect) << c.Item;
        EXPECT_EQ(W->Effect, c.Effect);
        EXPECT_EQ(HourGlass::Depth(), 0);
    }
    const QStringList lines = LogLines();
    EXPECT_EQ(lines.first(), "HiPass");
    EXPECT_EQ(lines.size(), 7); // Scroll logs nothing
    EXPECT_EQ(lines[4], "SineWave L/R, Peaks 2, Height 64, Wrap = True");
}

TEST_F(Dispatch, TreeSelectsAppliesAndShowsTheStatus) {
    StartLog();
    SetImage(10, 10);
    Select("Twist");
    EXPECT_EQ(W->lvl, 18);
    EXPECT_EQ(W->stBar->PanelText(4), "Twist Ctrl-T");
    EXPECT_EQ(T().lblEffect->text(), "Twist");
    EXPECT_EQ(T().lblMain->text(), "Looseness");
    Select("Filters");
    EXPECT_EQ(W->lvl, -1);
    EXPECT_EQ(W->Effect, "");
    EXPECT_EQ(W->stBar->PanelText(4), "Idle...");
    EXPECT_EQ(T().lblHelp->text(), "Choose an effect...");
    EXPECT_TRUE(T().btnDefault->isHidden());
    // A double-click on a group node only selects it.
    const std::size_t boxes = Program->Asked.size();
    W->TreeView1DblClick();
    EXPECT_EQ(Program->Asked.size(), boxes);
    // Enter applies the current effect.
    Select("Blur");
    QTest::keyClick(W->TreeView1, Qt::Key_Return);
    W->TreeView1DblClick();
    EXPECT_EQ(LogLines(), (QStringList{"Blur", "Blur"}));
    EXPECT_EQ(W->stBar->PanelText(4), "Blur Ctrl-Alt-H");
    // The menu command FishEye's literal finds Fisheye's shortcut; HiPass finds none.
    W->lvl = 19;
    W->Effect = "FishEye";
    W->ShowEffectControls();
    EXPECT_EQ(W->stBar->PanelText(4), "FishEye Ctrl-F");
    W->lvl = 7;
    W->Effect = "HiPass";
    W->ShowEffectControls();
    EXPECT_EQ(W->stBar->PanelText(4), "HiPass");
    // Expand and collapse.
    auto* expand = W->findChild<QToolButton*>("bExpand");
    QTest::mouseClick(expand, Qt::LeftButton);
    EXPECT_EQ(expand->text(), "C");
    EXPECT_TRUE(W->TreeView1->topLevelItem(2)->isExpanded());
    QTest::mouseClick(expand, Qt::LeftButton);
    EXPECT_EQ(expand->text(), "E");
}

TEST_F(Dispatch, EveryEffectsStatusTextFitsItsPanel) {
    // Panel 4 keeps its width; its text is drawn 3 pixels in from either side.
    const int room = W->stBar->PanelRect(4).width() - 6;
    for (int i = 0; i < 66; ++i) {
        Select(W->Effects[i]);
        const QString text = W->stBar->PanelText(4);
        EXPECT_LE(W->stBar->fontMetrics().horizontalAdvance(text), room) << text.toStdString();
    }
}

TEST_F(Dispatch, EffectsMenuHasFiveSortedGroupsWithEveryItemEnabled) {
    auto* effects = W->findChild<QMenu*>("Effects1");
    ASSERT_NE(effects, nullptr);
    EXPECT_EQ(effects->title(), "Effec&ts");
    QStringList groups;
    for (QAction* a : effects->actions()) groups << a->text();
    EXPECT_EQ(groups, (QStringList{"&Color", "&Distortions", "Dra&w", "&Filters", "&Size/Aspect"}));
    auto* filters = W->findChild<QMenu*>("Filters1");
    QStringList captions;
    for (QAction* a : filters->actions()) captions << a->text();
    EXPECT_EQ(captions.size(), 17);
    EXPECT_EQ(captions.mid(0, 4),
              (QStringList{"Blur", "Classic Emboss", "Design Your Own", "Edge Emboss Less"}));
    EXPECT_EQ(W->findChild<QAction*>("SplitBlur1")->shortcut(), QKeySequence("Ctrl+F12"));
    EXPECT_EQ(W->findChild<QAction*>("SplitGauss1")->shortcut(), QKeySequence("Shift+Ctrl+F12"));
    for (int i = 0; i < 66; ++i) {
        QAction* a = W->findChild<QAction*>(EffectCatalogue[static_cast<std::size_t>(i)].ItemName);
        ASSERT_NE(a, nullptr) << i;
        EXPECT_EQ(a, W->EffectItems[static_cast<std::size_t>(i)]);
        EXPECT_TRUE(a->isEnabled()) << i;
    }
}

TEST_F(Dispatch, ApplyAfterTheirOwnLinesAndForScroll) {
    StartLog();
    SetImage(6, 6);
    TfFilter::SetExecuteHook([](TfFilter&) { return mrOk; });
    Select("Design Your Own");
    Apply();
    TfFilter::SetExecuteHook({});
    // Scroll stores its amount and writes nothing.
    Select("Scroll");
    T().eAmtMain->setText("12");
    Apply();
    EXPECT_EQ(W->EffectVals[45], 12);
    EXPECT_EQ(LogLines(), (QStringList{"Design Your Own Filter, Settings: 2 1 1 1 -3 -1 1 -1 -1 , Divisor 1",
                                       "Design Your Own"}));
    // A scroll bar with a main field that is no integer: nothing scrolls, the bar's last place stays.
    T().eAmtMain->setText("1.5");
    const int before = T().LRPos;
    T().sbLR->setValue(before + 5);
    EXPECT_EQ(T().LRPos, before);
    EXPECT_EQ(LastBox(), "'1.5' is not a valid integer value");
}
