// The tool box through its widgets: the panel, Default, the check boxes, the colour slider preview,
// the slider toggle, closing, the settings and the first place.

#include "../FileTestSupport.h"

#include "app/dialogs/ToolBox.h"
#include "app/effects/SliderPreview.h"
#include "app/main/SettingsFile.h"
#include "controls/ColourButton.h"
#include "controls/Label3D.h"
#include "platform/IniFile.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

namespace {

class ToolBox : public FileCommandsBase {
protected:
    TfToolBox& T() { return *fToolBox; }
    void Show(int lvl) {
        W->lvl = lvl;
        W->Effect = W->Effects.value(lvl);
        W->ShowEffectControls();
    }
    QStringList Shown() {
        QStringList out;
        for (QWidget* w : std::initializer_list<QWidget*>{
                 T().eAmtMain, T().eAmtSecond, T().ePeaks2, T().eHeight2, T().eYPos, T().ckbxPeaks,
                 T().ckbxWrap, T().cbBump, T().lblBtn, T().sbLR, T().sbUD, T().btnDefault})
            if (!w->isHidden()) out << w->objectName();
        return out;
    }
};

} // namespace

TEST_F(ToolBox, PanelsThroughTheWidgets) {
    Show(-1);
    EXPECT_EQ(T().lblHelp->text(), "Choose an effect...");
    EXPECT_TRUE(Shown().isEmpty());
    Show(31);
    EXPECT_EQ(T().lblHelp->text(), "No User Settings");
    EXPECT_TRUE(Shown().isEmpty());
    EXPECT_EQ(W->stBar->PanelText(4), "Negative Ctrl-N");

    Show(15);
    EXPECT_EQ(Shown(), (QStringList{"eAmtMain", "eAmtSecond", "ckbxPeaks", "ckbxWrap", "btnDefault"}));
    EXPECT_EQ(T().lblMain->text(), "Peaks");
    EXPECT_EQ(T().eAmtMain->text(), "3");
    QTest::mouseClick(T().ckbxPeaks, Qt::LeftButton, {}, QPoint(8, 9)); // unticks and shows the panel again
    EXPECT_EQ(T().lblMain->text(), "Wavelength");
    EXPECT_EQ(T().eAmtMain->text(), "32");
    QTest::mouseClick(T().ckbxPeaks, Qt::LeftButton, {}, QPoint(8, 9));

    Show(17);
    EXPECT_EQ(T().lblHelp->text(), "");
    EXPECT_FALSE(T().btnDefault->isHidden());
    Show(65);
    EXPECT_EQ(T().eAmtMain->text() + " " + T().eAmtSecond->text() + " " + T().ePeaks2->text(),
              "270 0.50 1.00");
    Show(57);
    EXPECT_EQ(Shown(), (QStringList{"eAmtMain", "eAmtSecond", "ePeaks2", "eHeight2", "eYPos", "btnDefault"}));
    EXPECT_EQ(T().eYPos->text(), "36");
    Show(45);
    EXPECT_EQ(T().sbLR->maximum(), W->imSine->width());
    EXPECT_EQ(T().sbUD->minimum(), -W->imSine->height());

    // Only Use Peaks and Wrap show the panel again: a click on the bump box keeps its tick.
    Show(58);
    EXPECT_TRUE(T().cbBump->isChecked());
    EXPECT_EQ(T().cbBump->text(), "Bump Map");
    T().eAmtMain->setText("99");
    QTest::mouseClick(T().cbBump, Qt::LeftButton, {}, QPoint(8, T().cbBump->height() / 2));
    EXPECT_FALSE(T().cbBump->isChecked());
    EXPECT_EQ(T().eAmtMain->text(), "99");
}

TEST_F(ToolBox, DefaultRestoresTheEffectsValues) {
    W->EffectVals[29] = 5;
    W->ScaleVal = 9;
    W->TurbVal = 1;
    W->lvl = 29;
    W->Effect = "Marble";
    W->ShowEffectControls();
    EXPECT_EQ(T().eAmtMain->text(), "5");
    QTest::mouseClick(T().btnDefault, Qt::LeftButton);
    EXPECT_EQ(T().eAmtMain->text() + " " + T().eAmtSecond->text() + " " + T().ePeaks2->text(), "700 2 120");
    // After a menu literal the label shows the catalogue name.
    W->lvl = 19;
    W->Effect = "FishEye";
    W->ShowEffectControls();
    QTest::mouseClick(T().btnDefault, Qt::LeftButton);
    EXPECT_EQ(T().lblEffect->text(), "Fisheye");
}

TEST_F(ToolBox, SliderPreviewOkCancelAndTheControlsItLocks) {
    StartLog();
    SetImage(9, 7);
    TFastDIB original;
    PaintPattern(original, 9, 7);
    W->Ring.Reset(UndoLevels);
    // Two moves before OK: the final state is the last positions; OK leaves one snapshot.
    T().sbBright->setValue(300);
    T().sbRed->setValue(200);
    Pump();
    EXPECT_FALSE(T().bGood->isHidden());
    EXPECT_FALSE(W->isEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{T().bGo2, T().SpeedButton1, T().bCols2, T().sbLR})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(SameDIB(W->z, original)); // the preview leaves z alone
    QTest::mouseClick(T().bGood, Qt::LeftButton);
    TFastDIB expected;
    PaintPattern(expected, 9, 7);
    PreviewAdjust(expected, 45, 0, 255, -55, 0, 0);
    EXPECT_TRUE(SameDIB(W->z, expected));
    EXPECT_EQ(W->Ring.StackSize, 1);
    EXPECT_TRUE(W->isEnabled());
    EXPECT_TRUE(T().bGood->isHidden());
    EXPECT_EQ(T().sbBright->value(), 255);
    EXPECT_TRUE(T().bGo2->isEnabled());
    EXPECT_EQ(
        LogLines().last(),
        "ToolBox Sliders to positions:  Lightness 45, Contrast 0, Saturation 0, Red -55, Green 0, Blue 0");

    // Cancel shows z again; nothing changes.
    T().sbContrast->setValue(400);
    Pump();
    QTest::mouseClick(T().bBad, Qt::LeftButton);
    EXPECT_TRUE(SameDIB(W->z, expected));
    EXPECT_EQ(W->Ring.StackSize, 1);
    EXPECT_EQ(T().sbContrast->value(), 255);

    // The image changed size after the preview began (an undo): the preview follows z's size.
    T().sbBlue->setValue(100);
    Pump();
    W->z.SetSize(20, 3, 24, 0);
    T().sbBlue->setValue(90);
    Pump();
    EXPECT_EQ(W->buf.Width, 20);
    EXPECT_EQ(W->buf.Height, 3);
    QTest::mouseClick(T().bBad, Qt::LeftButton);
}

TEST_F(ToolBox, SliderToggleHeightsAndClosing) {
    EXPECT_TRUE(T().pnlColors->isHidden());
    const int hidden = T().height();
    QTest::mouseClick(T().bCols2, Qt::LeftButton);
    EXPECT_FALSE(T().pnlColors->isHidden());
    EXPECT_EQ(T().height() - hidden, TfToolBox::HeightWithSliders - TfToolBox::HeightWithoutSliders);
    QTest::mouseClick(T().bCols2, Qt::LeftButton);
    EXPECT_EQ(T().height(), hidden);

    // Closed by its close box: TBFlag cleared, the tool box stays hidden when the main window returns.
    ASSERT_TRUE(T().isVisible());
    W->TBFlag = true;
    T().close();
    EXPECT_FALSE(W->TBFlag);
    W->hide();
    W->show();
    Pump();
    EXPECT_FALSE(T().isVisible());
    // Hidden with the main window and shown again with it.
    T().show();
    W->hide();
    EXPECT_TRUE(W->TBFlag);
    EXPECT_FALSE(T().isVisible());
    W->show();
    Pump();
    EXPECT_TRUE(T().isVisible());
}

TEST_F(ToolBox, TheToolButtonsChooseTheTool) {
    struct Case {
        QToolButton* TfToolBox::*Button;
        TDrawTool Tool;
        bool Fill, Text;
    };
    const Case cases[] = {{&TfToolBox::bEllip, TDrawTool::dtEllipse, false, false},
                          {&TfToolBox::bFill, TDrawTool::dtFill, true, false},
                          {&TfToolBox::bText, TDrawTool::dtText, false, true},
                          {&TfToolBox::bEyeDrop, TDrawTool::dtEyeDrop, false, false},
                          {&TfToolBox::bFree, TDrawTool::dtFreeHand, false, false}};
    for (const Case& c : cases) {
        QTest::mouseClick(T().*c.Button, Qt::LeftButton);
        EXPECT_EQ(W->Tool, c.Tool);
        EXPECT_EQ(W->Fill, c.Fill);
        EXPECT_EQ(W->Texting, c.Text);
        EXPECT_TRUE((T().*c.Button)->isChecked());
    }
    EXPECT_FALSE(T().bEllip->isChecked());
}

TEST(ToolBoxSettings, WrittenAtExitReadOnTheNextStartAndClampedOntoTheScreen) {
    QTemporaryDir dir;
    {
        TStartedProgram p(dir.path(), QString(), false);
        fToolBox->SetPenColor(0x0000FF);
        fToolBox->ePenSize->setText("5");
        fToolBox->cFill->setChecked(false);
        p.Destroy();
    }
    IniFile ini(SettingsPath(dir.path()));
    EXPECT_EQ(ini.ReadInteger("ToolBox", "Pen Color", -1), 255);
    EXPECT_EQ(ini.ReadInteger("ToolBox", "Brush Color", -1), 0xFFFFFF);
    EXPECT_EQ(ini.ReadString("ToolBox", "Pen Size", ""), "5");
    ini.WriteInteger("ToolBox", "Left", 100000);
    ini.WriteInteger("ToolBox", "Top", -5000);
    {
        TStartedProgram p(dir.path(), QString(), true);
        EXPECT_EQ(fToolBox->PenColor(), 0x0000FFu);
        EXPECT_EQ(fToolBox->ePenSize->text(), "5");
        EXPECT_FALSE(fToolBox->cFill->isChecked());
        const QRect avail = fToolBox->screen()->availableGeometry();
        EXPECT_TRUE(avail.contains(fToolBox->frameGeometry().topLeft()));
        EXPECT_TRUE(avail.contains(fToolBox->frameGeometry().bottomRight()));
    }
}
