// Edge Merge between an effect and Apply: it writes its own line and leaves the current effect alone,
// so Apply repeats the effect chosen before it.

#include "../FileTestSupport.h"

#include "app/dialogs/ToolBox.h"
#include "app/effects/EffectTestImages.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class EdgeMergeSequence : public FileCommandsBase {
protected:
    void Apply() { QTest::mouseClick(fToolBox->bGo2, Qt::LeftButton); }
};

} // namespace

TEST_F(EdgeMergeSequence, ApplyAfterEdgeMergeRepeatsTwist) {
    StartLog();
    SetImage(64, 48);
    Trigger("Twist1");
    ASSERT_EQ(W->lvl, 18);
    Trigger("N1161");
    EXPECT_EQ(W->lvl, 18);
    EXPECT_EQ(W->Effect, "Twist");
    fToolBox->eAmtMain->setText("40");
    Apply();
    EXPECT_EQ(W->EffectVals[18], 40);
    EXPECT_EQ(LogLines(), (QStringList{"Twist, Looseness 100", "Edge Merge 1/16", "Twist, Looseness 40"}));
}

TEST_F(EdgeMergeSequence, ApplyAfterEdgeMergeRepeatsNegativeOnTheMergedImage) {
    StartLog();
    SetImage(32, 32);
    Trigger("Negative1");
    Trigger("N181");
    Trigger("N141");
    EXPECT_EQ(W->lvl, 31);
    EXPECT_EQ(W->Effect, "Negative");
    TFastDIB merged;
    efx::copyOf(W->z, merged);
    const int steps = W->Ring.StackSize;
    Apply();
    // Negative again, not a third merge: every channel c of the merged image becomes 255 - c.
    EXPECT_EQ(W->Ring.StackSize, steps + 1);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const TFColor m = efx::at(merged, x, y), n = efx::at(W->z, x, y);
            ASSERT_EQ(int(n.r), 255 - m.r) << x << "," << y;
            ASSERT_EQ(int(n.g), 255 - m.g) << x << "," << y;
            ASSERT_EQ(int(n.b), 255 - m.b) << x << "," << y;
        }
    EXPECT_EQ(LogLines(), (QStringList{"Negative", "Edge Merge 1/8", "Edge Merge 1/4", "Negative"}));
}

TEST_F(EdgeMergeSequence, ATreeSelectionSurvivesEdgeMerge) {
    StartLog();
    SetImage(16, 16);
    W->lvl = 19;
    W->Effect = "Fisheye"; // as the tree sets it (the menu item says "FishEye")
    Trigger("N181");
    EXPECT_EQ(W->lvl, 19);
    EXPECT_EQ(W->Effect, "Fisheye");
    EXPECT_EQ(LogLines(), QStringList{"Edge Merge 1/8"});
}
