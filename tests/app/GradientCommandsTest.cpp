// The two-colour gradient designer through its widgets, and the main window's gradient commands:
// design, paste to image, the thumbnail and the tool-bar button, and the log lines they write.

#include "AppTestSupport.h"

#include "app/dialogs/AllForms.h"
#include "controls/GradientControl.h"
#include "controls/Label3D.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>

namespace {

class GradientCommands : public ProgramTest {
protected:
    GradientCommands() : ProgramTest(false) {}
    void TearDown() override {
        TfGradient::SetExecuteHook({});
        TfGradient::SetColorDialogHook({});
        ProgramTest::TearDown();
    }
    TfGradient& D() { return *fGradient; }
    QAction* Item(const char* name) { return W->findChild<QAction*>(name); }
    QString logPath() const { return LogDir.filePath("ZorvLog.txt"); }
    QStringList LogLines() {
        W->CloseLog1Click();
        return FileLines(logPath()).mid(1);
    }
    void DoubleClickThumbnail() {
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(3, 3),
                        QPointF(W->imGrad->mapToGlobal(QPoint(3, 3))), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
        QCoreApplication::sendEvent(W->imGrad, &dbl);
    }
};

TColor Pixel(const TFastDIB& d, int x, int y) {
    return FColorToColor(d.GetPixel(y, x));
}

} // namespace

TEST_F(GradientCommands, DesignerEditsActOnTheControlAtOnce) {
    TGradientStyle style = gsVertical;
    const struct {
        QLineEdit* edit;
        const char* text;
        int width, height, angle;
    } cases[] = {
        {D().meWide, "300", 300, 256, 0},   {D().meWide, "0", 300, 256, 0},  // below 1: ignored
        {D().meWide, "16385", 300, 256, 0}, {D().meWide, "1", 1, 256, 0},    // 1 is taken
        {D().meHigh, "1", 1, 256, 0},       {D().meHigh, "2", 1, 2, 0},      // heights from 2
        {D().meHigh, "", 1, 2, 0},          {D().meAngle, "400", 1, 2, 400}, // any angle
        {D().meAngle, "-30", 1, 2, -30},
    };
    for (const auto& c : cases) {
        c.edit->setText(c.text);
        EXPECT_EQ(D().zGrad->width(), c.width) << c.text;
        EXPECT_EQ(D().zGrad->height(), c.height) << c.text;
        EXPECT_EQ(D().zGrad->StartAngle(), c.angle) << c.text;
    }
    // A text that is no number changes nothing and says nothing while it is typed; OK refuses it.
    D().meWide->setText("12x");
    EXPECT_TRUE(Errors().isEmpty());
    EXPECT_EQ(D().zGrad->width(), 1);
    D().bOK->click();
    EXPECT_EQ(Errors(), QStringList{"'12x' is not a valid integer value"});
    D().meWide->setText("1");

    // The items map to the styles by name, not by their order.
    for (const auto& [index, want] : {std::pair{2, gsHorizontal}, std::pair{0, gsVertical},
                                      std::pair{5, gsElliptic}, std::pair{1, gsVertCenter}}) {
        D().cbStyle->setCurrentIndex(index);
        style = D().zGrad->GradientStyle();
        EXPECT_EQ(style, want) << index;
    }

    TfGradient::SetColorDialogHook([](TColor& c) {
        c = c == 0x800000u ? RGBColor(1, 2, 3) : RGBColor(4, 5, 6);
        return true;
    });
    D().bFromCl->click();
    D().bClTo->click();
    EXPECT_EQ(D().zGrad->BeginColor(), RGBColor(1, 2, 3));
    EXPECT_EQ(D().zGrad->EndColor(), RGBColor(4, 5, 6));

    // Defaults: the angle edit keeps its text while the control's angle is 0.
    D().cbStyle->setCurrentIndex(6);
    D().bDefault->click();
    EXPECT_EQ(D().zGrad->BeginColor(), 0x800000u);
    EXPECT_EQ(D().zGrad->EndColor(), 0xFFFF00u);
    EXPECT_EQ(D().zGrad->GradientStyle(), gsVertCenter);
    EXPECT_EQ(D().zGrad->size(), QSize(256, 256));
    EXPECT_EQ(D().zGrad->StartAngle(), 0);
    EXPECT_EQ(D().meAngle->text(), "-30");
    EXPECT_EQ(D().cbStyle->currentText(), "VertCenter");
}

TEST_F(GradientCommands, DesignPasteAndThumbnail) {
    W->LogthisSession1Click();
    // The paste of an unshown window: the menu item is still disabled, the tool-bar button works.
    ASSERT_FALSE(Item("PasteToImage1")->isEnabled());
    DoubleClickThumbnail();
    EXPECT_TRUE(W->Ring.Empty);

    // Two-Color on a 300 x 200 image, closed with the window: nothing changes.
    W->z.SetSize(300, 200, 24, 0);
    TfGradient::SetExecuteHook([](TfGradient& d) {
        EXPECT_EQ(d.meWide->text(), "300");
        EXPECT_EQ(d.meHigh->text(), "200");
        d.cbStyle->setCurrentIndex(2); // Horizontal
        d.meWide->setText("256");
        return int(mrCancel);
    });
    Item("Design1")->trigger();
    EXPECT_FALSE(W->imGrad->isVisible() && !W->imGrad->isHidden());
    EXPECT_FALSE(Item("PasteToImage1")->isEnabled());

    // The same with OK: thumbnail, label and items; no undo step (the image does not change).
    TfGradient::SetExecuteHook([](TfGradient& d) {
        d.cbStyle->setCurrentIndex(2);
        d.meWide->setText("256");
        d.bOK->click();
        return int(mrOk);
    });
    Item("Design1")->trigger();
    EXPECT_TRUE(Item("PasteToImage1")->isEnabled());
    EXPECT_TRUE(Item("MergeWithImage1")->isEnabled());
    EXPECT_FALSE(W->imGrad->isHidden());
    EXPECT_EQ(W->findChild<TLbl3D*>("Lbl3D1")->aTextStyle(), tsRaised);
    EXPECT_EQ(W->imGrad->toolTip(), "W: 256  H: 200 - Dbl Click to Paste into Image");
    EXPECT_TRUE(W->Ring.Empty);

    // Paste through the thumbnail: the image takes the gradient's size and pixels; one undo step.
    DoubleClickThumbnail();
    EXPECT_FALSE(W->Ring.Empty);
    ASSERT_EQ(W->z.Width, 256);
    ASSERT_EQ(W->z.Height, 200);
    EXPECT_EQ(W->stBar->PanelText(0), "Width: 256");
    // Horizontal, 256 columns and 255 steps: column i is step i; step 128 of $800000 to $FFFF00 has
    // green 128 * 255 / 255 = 128 and blue 128 + 128 * 127 / 255 = 191 (truncated).
    for (int y : {0, 199}) {
        EXPECT_EQ(Pixel(W->z, 0, y), 0x800000u);
        EXPECT_EQ(Pixel(W->z, 128, y), RGBColor(0, 128, 191));
        EXPECT_EQ(Pixel(W->z, 255, y), 0xFFFF00u);
    }
    // UnDo gives back the 300 x 200 image; paste again.
    Item("UnDo1")->trigger();
    EXPECT_EQ(W->z.Width, 300);
    DoubleClickThumbnail();
    ASSERT_EQ(W->z.Width, 256);
    // Edit > Reset returns to the gradient.
    W->z.SetPixel(5, 5, TFColor{1, 1, 1});
    Item("Reset1")->trigger();
    EXPECT_EQ(Pixel(W->z, 5, 5), Pixel(W->z, 5, 6));

    W->findChild<QToolButton*>("bPstGrad")->click();
    EXPECT_EQ(
        LogLines(),
        (QStringList{"Design Gradient, Width 256, Height 200, Gradient Horizontal, From Color R: 0 G: 0 "
                     "B: 128, To Color R: 0 G: 255 B: 255, Angle 0",
                     "Paste Gradient to Image", "UnDo", "Paste Gradient to Image", "Image Reset",
                     "Paste Gradient to Image"}));
}

TEST_F(GradientCommands, TheLogsFirstLineQuotesTheDesigner) {
    D().cbStyle->setCurrentIndex(7);
    D().meAngle->setText("45");
    TfGradient::SetColorDialogHook([](TColor& c) {
        c = RGBColor(9, 8, 7);
        return true;
    });
    D().bClTo->click();
    W->LogthisSession1Click();
    W->CloseLog1Click();
    EXPECT_EQ(FileLines(logPath()).value(0),
              "Log starts  - current Gradient: Width 512, Height 512, Gradient Radial2, From Color R: 0 G: 0 "
              "B: 128, To Color R: 9 G: 8 B: 7, Angle 45");
}

TEST_F(GradientCommands, AnEmptyGradientIsNotPasted) {
    D().zGrad->resize(0, 40);
    W->PasteToImage1Click();
    EXPECT_EQ(Messages(), QStringList{"There is no gradient to paste: its width or height is 0."});
    EXPECT_TRUE(W->Ring.Empty);
    EXPECT_EQ(W->z.Width, 512);
}

TEST_F(GradientCommands, DrawGradientPastesOnlyAfterOkAndWritesOnlyItsOwnLine) {
    W->LogthisSession1Click();
    // Closed without OK: nothing is pasted and nothing logged.
    TfGradient::SetExecuteHook([](TfGradient&) { return int(mrCancel); });
    Item("Gradient2")->trigger();
    EXPECT_TRUE(W->Ring.Empty);
    EXPECT_EQ(W->z.Width, 512);
    EXPECT_TRUE(W->DesnGFlag);
    EXPECT_FALSE(W->DrawGFlag);

    TfGradient::SetExecuteHook([](TfGradient& d) {
        EXPECT_TRUE(fZorvTile->DrawGFlag);
        d.meHigh->setText("100");
        d.bOK->click();
        return int(mrOk);
    });
    Item("Gradient2")->trigger();
    EXPECT_FALSE(W->Ring.Empty);
    EXPECT_EQ(W->z.Height, 100);
    EXPECT_EQ(W->lvl, 48);
    EXPECT_TRUE(W->DesnGFlag && W->PasteGFlag);
    EXPECT_FALSE(W->DrawGFlag);
    EXPECT_EQ(LogLines(),
              QStringList{"Draw Gradient, Width 512, Height 100, Gradient VertCenter, From Color R: 0 "
                          "G: 0 B: 128, To Color R: 0 G: 255 B: 255, Angle 0"});
}

TEST_F(GradientCommands, MergeWithImageBlendsOnlyWhileThereIsAGradient) {
    W->LogthisSession1Click();
    TfGradient::SetColorDialogHook([](TColor& c) {
        c = RGBColor(200, 100, 50);
        return true;
    });
    D().bFromCl->click();
    D().bClTo->click();
    W->EffectVals[49] = 50;
    // Disabled until a gradient is current: nothing happens.
    W->MergeWithImage1Click();
    EXPECT_TRUE(W->Ring.Empty);

    TfGradient::SetExecuteHook([](TfGradient&) { return int(mrOk); });
    W->Design1Click();
    W->z.SetPixel(3, 3, ColorToFColor(RGBColor(100, 0, 255)));
    Item("MergeWithImage1")->trigger();
    EXPECT_FALSE(W->Ring.Empty);
    EXPECT_EQ(W->lvl, 49);
    // Half of (200, 100, 50) over black; over (100, 0, 255): 150, 50, 152.5 -> 152 (half to even).
    EXPECT_EQ(Pixel(W->z, 0, 0), RGBColor(100, 50, 25));
    EXPECT_EQ(Pixel(W->z, 3, 3), RGBColor(150, 50, 152));
    EXPECT_EQ(LogLines().mid(1), QStringList{"Merge Gradient, % of Gradient 50"});
}
