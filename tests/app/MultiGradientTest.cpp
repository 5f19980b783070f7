// The multi-colour gradient designer through its widgets, and the main window's Multi-Color command:
// the image, the record taken back from the markers, the log lines and Cancel.

#include "AppTestSupport.h"

#include "app/dialogs/AllForms.h"
#include "app/dialogs/MultiGradientModel.h"
#include "controls/ColourButton.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

namespace {

class MultiGradient : public ProgramTest {
protected:
    MultiGradient() : ProgramTest(false) {}
    void TearDown() override {
        TfMultGrad::SetExecuteHook({});
        TfMultGrad::SetColorDialogHook({});
        TfMultOpt::SetExecuteHook({});
        ProgramTest::TearDown();
    }
    TfMultGrad& D() { return *fMultGrad; }
    // The designer shown on the main window's record, as the command shows it.
    void ShowDesigner() {
        D().Gradient = W->Gradient;
        D().FormShow();
    }
    std::vector<TGradientStop> Markers() {
        std::vector<TGradientStop> out;
        for (const TGradientMarker* m : D().mrkPnl) out.push_back({m->Pos(), m->Color()});
        return out;
    }
    QString logPath() const { return LogDir.filePath("ZorvLog.txt"); }
};

const std::vector<TGradientStop> DefaultStops = {
    {45, RGBColor(235, 150, 50)}, {90, RGBColor(0, 0, 0)}, {135, RGBColor(150, 125, 225)}};

} // namespace

TEST_F(MultiGradient, DefaultDeleteAndRotate) {
    ShowDesigner();
    D().Button4->click();
    EXPECT_EQ(Markers(), DefaultStops);
    EXPECT_EQ(D().grad.Width, 512);
    EXPECT_EQ(D().pBackColor(), 0u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(D().mrkPnl[static_cast<std::size_t>(i)]->Tag, i);

    // Rotate twice gives back the sizes and the stops; once exchanges the size edits.
    D().eWide->setText("300");
    ASSERT_EQ(D().grad.Width, 300);
    D().bRotate->click();
    EXPECT_FALSE(D().vert);
    EXPECT_EQ(D().grad.Width, 512);
    EXPECT_EQ(D().grad.Height, 300);
    EXPECT_EQ(D().eWide->text(), "512");
    EXPECT_EQ(D().eHigh->text(), "300");
    EXPECT_EQ(D().mrkPnl[1]->geometry(), QRect(-24, 90, 98, 5));
    D().bRotate->click();
    EXPECT_TRUE(D().vert);
    EXPECT_EQ(D().grad.Width, 300);
    EXPECT_EQ(D().grad.Height, 512);
    EXPECT_EQ(Markers(), DefaultStops);
    EXPECT_EQ(D().mrkPnl[1]->geometry(), QRect(90, -24, 5, 98));

    // Deleting the first of three leaves the former second and third, tags following indices.
    QTest::mouseClick(D().mrkPnl[0], Qt::RightButton);
    EXPECT_EQ(Markers(), (std::vector<TGradientStop>{DefaultStops[1], DefaultStops[2]}));
    EXPECT_EQ(D().mrkSize, 2);
    EXPECT_EQ(D().mrkPnl[1]->Tag, 1);

    // Clear: the end colour alone.
    D().Button3->click();
    EXPECT_EQ(D().mrkSize, 0);
    EXPECT_EQ(D().grad.GetPixel(10, 10), (TFColor{0, 0, 0}));
}

TEST_F(MultiGradient, SizeEditsIgnoreWhatTheMarkersOrTheCapsForbid) {
    ShowDesigner();
    D().Button4->click(); // markers reach 135 + 5
    const struct {
        const char* text;
        int width;
    } cases[] = {{"139", 512}, {"140", 140}, {"0", 140}, {"16385", 140}, {"16384", 16384}, {"", 16384}};
    for (const auto& c : cases) {
        D().eWide->setText(c.text);
        EXPECT_EQ(D().grad.Width, c.width) << c.text;
    }
    // A text that is no number changes nothing and says nothing while it is typed; OK refuses it.
    D().eHigh->setText("abc");
    EXPECT_TRUE(Errors().isEmpty());
    EXPECT_EQ(D().grad.Height, 512);
    D().Button1->click();
    EXPECT_EQ(Errors(), QStringList{"'abc' is not a valid integer value"});
}

TEST_F(MultiGradient, MarkersAreAddedRecolouredAndDraggedAlongTheBarOnly) {
    ShowDesigner();
    D().Button3->click();
    int asked = 0;
    TfMultGrad::SetColorDialogHook([&](TColor& c) {
        ++asked;
        c = RGBColor(10, 20, 30);
        return true;
    });
    QTest::mouseClick(D().pBack, Qt::RightButton, {}, QPoint(100, 5));
    ASSERT_EQ(Markers(), (std::vector<TGradientStop>{{100, RGBColor(10, 20, 30)}}));
    // A left click adds nothing.
    QTest::mouseClick(D().pBack, Qt::LeftButton, {}, QPoint(200, 5));
    EXPECT_EQ(D().mrkSize, 1);
    EXPECT_EQ(asked, 1);

    // Cancelled colour dialogs change nothing.
    TfMultGrad::SetColorDialogHook([](TColor&) { return false; });
    QTest::mouseClick(D().pBack, Qt::RightButton, {}, QPoint(300, 5));
    QTest::mouseDClick(D().mrkPnl[0], Qt::LeftButton);
    EXPECT_EQ(Markers(), (std::vector<TGradientStop>{{100, RGBColor(10, 20, 30)}}));

    TGradientMarker* m = D().mrkPnl[0];
    m->show();
    // Dragged far past either end, the marker stops at the bar's ends.
    QTest::mousePress(m, Qt::LeftButton, {}, QPoint(2, 30));
    QMouseEvent move(QEvent::MouseMove, QPointF(2 + 1000, 30), m->mapToGlobal(QPointF(2 + 1000, 30)),
                     Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(m, &move);
    QTest::mouseRelease(m, Qt::LeftButton, {}, QPoint(2, 30));
    EXPECT_EQ(m->Pos(), 511);
    EXPECT_EQ(m->geometry(), QRect(511, -24, 5, 98));
    QTest::mousePress(m, Qt::LeftButton, {}, QPoint(2, 30));
    QMouseEvent back(QEvent::MouseMove, QPointF(2 - 2000, 30), m->mapToGlobal(QPointF(2 - 2000, 30)),
                     Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(m, &back);
    QTest::mouseRelease(m, Qt::LeftButton, {}, QPoint(2, 30));
    EXPECT_EQ(m->Pos(), 0);
}

TEST_F(MultiGradient, OkPaintsTheImageTakesTheMarkersBackAndLogs) {
    W->LogthisSession1Click();
    ASSERT_TRUE(W->Logging);
    TfMultGrad::SetExecuteHook([](TfMultGrad& d) {
        d.Button4Click();
        d.bRotateClick();
        return int(mrOk);
    });
    W->findChild<QAction*>("MultiColor1")->trigger();

    EXPECT_FALSE(W->Ring.Empty);
    EXPECT_TRUE(SameDIB(W->z, D().grad));
    // Row 90, the black stop: band 1 of the segment to (150, 125, 225) covers it, with
    // MulDiv(1, 150, 150), MulDiv(1, 125, 150) = 0.83 and MulDiv(1, 225, 150) = 1.5 rounded away from 0.
    for (int x : {0, 300, 511}) EXPECT_EQ(W->z.GetPixel(90, x), ColorToFColor(RGBColor(1, 1, 2))) << x;

    EXPECT_EQ(W->Gradient.bars, 3);
    EXPECT_FALSE(W->Gradient.vertical);
    EXPECT_EQ(W->Gradient.pos, (std::vector<int>{45, 90, 135}));
    EXPECT_EQ(W->Gradient.color[2], (Trgb{150, 125, 225}));
    W->CloseLog1Click();
    const QStringList lines = FileLines(logPath());
    EXPECT_EQ(lines.mid(1), (QStringList{"MultiGradient,  Width 512, Height 512, Horizontal",
                                         "  Background: R-0 G-0 B-0", "  Top 45 R-235 G-150 B-50",
                                         "  Top 90 R-0 G-0 B-0", "  Top 135 R-150 G-125 B-225"}));
}

TEST_F(MultiGradient, CancelLeavesTheRecordAndTheImage) {
    const TMgradNfo before = W->Gradient;
    TfMultGrad::SetExecuteHook([](TfMultGrad& d) {
        QTest::mouseClick(d.mrkPnl[0], Qt::RightButton);
        return int(mrCancel);
    });
    W->MultiGradient1Click();
    EXPECT_EQ(W->Gradient.pos, before.pos);
    EXPECT_EQ(W->Gradient.bars, before.bars);
    EXPECT_TRUE(W->Ring.Empty);
    // Reopening shows the old stop again.
    TfMultGrad::SetExecuteHook([](TfMultGrad&) { return int(mrCancel); });
    W->MultiGradient1Click();
    EXPECT_EQ(Markers(), (std::vector<TGradientStop>{{10, RGBColor(100, 200, 128)}}));
}

TEST_F(MultiGradient, PointOptionsPlaceTheStopAndKeepTheTypedColour) {
    ShowDesigner();
    D().Button3->click();
    D().cbShowOpts->setChecked(true);
    TfMultOpt& o = *fMultOpt;
    auto addAt = [&](int x, std::function<void()> work) {
        TfMultOpt::SetExecuteHook([&](TfMultOpt&) {
            work();
            return int(mrOk);
        });
        QTest::mouseClick(D().pBack, Qt::RightButton, {}, QPoint(x, 5));
    };

    // 600 pixels on a 512-pixel gradient: 511 and 99 per cent, shown as 511; the stop goes to 511.
    addAt(10, [&] {
        EXPECT_EQ(o.Label1->text(), "Left");
        EXPECT_EQ(o.seLeft->value(), 10);
        o.seLeft->setValue(600);
        EXPECT_EQ(o.pixLeft, 511);
        EXPECT_EQ(o.pctLeft, 99);
        EXPECT_EQ(o.seLeft->value(), 511);
    });
    ASSERT_EQ(D().mrkSize, 1);
    EXPECT_EQ(D().mrkPnl[0]->Pos(), 511);

    // Switching to per cent and back shows the same stop in the other unit and never moves it.
    addAt(3, [&] {
        o.rbPct->click();
        EXPECT_EQ(o.seLeft->value(), 1); // 0.59 per cent
        EXPECT_EQ(o.pixLeft, 3);
        o.rbPix->click();
        EXPECT_EQ(o.seLeft->value(), 3);
        o.rbPct->click();
        o.seLeft->setValue(50);
        EXPECT_EQ(o.pixLeft, 256);
        o.seLeft->setValue(150); // past the end in per cent: shown as 99
        EXPECT_EQ(o.seLeft->value(), 99);
        EXPECT_EQ(o.pixLeft, 511);
        o.seLeft->setValue(25);
        o.rbPix->click();
    });
    EXPECT_EQ(D().mrkPnl[1]->Pos(), 128);

    // A colour from the button, then a typed green: the typed value wins.
    ScopedColorDialogHook button([](TColrBtn*, TColor& c) {
        c = RGBColor(200, 0, 0);
        return true;
    });
    addAt(40, [&] {
        QTest::mouseClick(o.bColor, Qt::LeftButton);
        EXPECT_TRUE(o.bFlag);
        EXPECT_EQ(o.seRed->value(), 200);
        o.seGreen->setValue(77);
        EXPECT_FALSE(o.bFlag);
    });
    EXPECT_EQ(D().mrkPnl[2]->Color(), RGBColor(200, 77, 0));
    EXPECT_EQ(D().CDColor, RGBColor(200, 77, 0));

    // Cancel adds nothing.
    TfMultOpt::SetExecuteHook([](TfMultOpt&) { return int(mrCancel); });
    QTest::mouseClick(D().pBack, Qt::RightButton, {}, QPoint(50, 5));
    EXPECT_EQ(D().mrkSize, 3);
}

TEST_F(MultiGradient, SettingsClampStopsIntoTheBar) {
    Program.reset();
    WriteAll(Ini.filePath("ZorvTile.ini"),
             "[MGradient]\nbars=2\ncolors=1,2,3,4,5,6\npos=900,-7\nwidth=300\nheight=40\nvertical=0\n");
    Program = std::make_unique<TStartedProgram>(Ini.path(), QString(), false);
    W = fZorvTile;
    // Horizontal: the bar runs along the height of 40.
    EXPECT_EQ(W->Gradient.pos, (std::vector<int>{39, 0}));
    EXPECT_EQ(W->Gradient.width, 300);
}

TEST_F(MultiGradient, AnAcceptedDesignSurvivesARestartAndUndoRestoresTheImage) {
    TfMultGrad::SetExecuteHook([](TfMultGrad& d) {
        d.Button4Click();
        d.eHigh->setText("80"); // upright markers reach 74 pixels down: lower heights are refused
        QTest::mouseClick(d.mrkPnl[1], Qt::RightButton);
        return int(mrOk);
    });
    W->MultiGradient1Click();
    ASSERT_EQ(W->z.Height, 80);
    W->UnDo1Click();
    EXPECT_EQ(W->z.Height, 512);

    Program.reset(); // writes the settings
    Program = std::make_unique<TStartedProgram>(Ini.path(), QString(), false);
    W = fZorvTile;
    EXPECT_EQ(W->Gradient.bars, 2);
    EXPECT_EQ(W->Gradient.pos, (std::vector<int>{45, 135}));
    EXPECT_EQ(W->Gradient.color[1], (Trgb{150, 125, 225}));
    EXPECT_EQ(W->Gradient.height, 80);
    EXPECT_TRUE(W->Gradient.vertical);
    // The designer opens on the stored stops.
    TfMultGrad::SetExecuteHook([](TfMultGrad&) { return int(mrCancel); });
    W->MultiGradient1Click();
    EXPECT_EQ(Markers(), (std::vector<TGradientStop>{DefaultStops[0], DefaultStops[2]}));
}
