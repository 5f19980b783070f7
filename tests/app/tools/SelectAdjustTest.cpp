// The select tool with each action of the selection dialog, the shape adjustment dialog's preview,
// OK and Cancel, and the flood fill against a plain breadth-first fill.
#include "DrawingTestSupport.h"

#include "app/dialogs/ToolBox.h"
#include "app/tools/FloodFill.h"
#include "image/Numeric.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <deque>

namespace {

class SelectTool : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        QGuiApplication::clipboard()->clear();
        SetImage(80, 60);
        Tool(TDrawTool::dtSelect);
        TfSelect::SetExecuteHook([this](TfSelect& d) {
            Shown.push_back(d.Selection());
            if (Edit) Edit(d);
            return Answer;
        });
    }
    int Answer = mrCancel;
    std::function<void(TfSelect&)> Edit;
    std::vector<QRect> Shown; // the fields as the dialog showed them
};

} // namespace

TEST_F(SelectTool, EachAction) {
    StartLog();
    TFastDIB pattern;
    PaintPattern(pattern, 80, 60);

    Answer = mrOk; // Copy to Clipboard
    Drag({{30, 25}, {50, 40}, {10, 5}});
    ASSERT_EQ(Shown.back(), QRect(10, 5, 20, 20));
    const QImage clip = QGuiApplication::clipboard()->image();
    ASSERT_EQ(clip.size(), QSize(20, 20));
    EXPECT_EQ(clip.pixelColor(0, 0), QColor(Pattern(10, 5).r, Pattern(10, 5).g, Pattern(10, 5).b));
    EXPECT_EQ(W->stBar->PanelText(4), "Idle...");

    Answer = mrNo; // Copy to Buffer
    Drag({{2, 3}, {12, 9}});
    EXPECT_EQ(W->bufr.Width, 10);
    EXPECT_EQ(W->bufr.Height, 6);
    EXPECT_EQ(W->bufr.Pixels24[1][1], Pattern(3, 4));
    EXPECT_TRUE(W->PasteBuffertoImage1->isEnabled());
    EXPECT_TRUE(W->CopyBuffertoClipboard1->isEnabled());

    Answer = mrCancel;
    Drag({{2, 3}, {12, 9}});

    Answer = mrYes; // Crop to Selection
    Drag({{40, 30}, {70, 50}});
    EXPECT_EQ(W->z.Width, 30);
    EXPECT_EQ(W->z.Height, 20);
    EXPECT_EQ(At(0, 0), Pattern(40, 30));
    EXPECT_EQ(At(29, 19), Pattern(69, 49));
    EXPECT_EQ(W->orig.Width, 512) << "the last opened image stays";
    EXPECT_EQ(W->imSine->size(), QSize(30, 20));
    EXPECT_EQ(W->imSine->Band().Shape, TBandShape::None);

    EXPECT_EQ(LogLines(),
              QStringList({"Select Area From Left 10 Top 5, Right 30 Bottom 25, Copy to Clipboard",
                           "Select Area From Left 2 Top 3, Right 12 Bottom 9, Copy to Buffer",
                           "Select Area From Left 40 Top 30, Right 70 Bottom 50, Crop to Selection"}));
    // The crop is one undo step; the selections before it left snapshots equal to the image.
    W->bUndoClick();
    EXPECT_TRUE(SameDIB(W->z, pattern));
}

TEST_F(SelectTool, SelectionsAreCutToTheImageAndEmptyOnesCancel) {
    StartLog();
    Answer = mrYes;
    // Dragged from beyond the left edge past the bottom: the fields show the part inside.
    Drag({{-15, 20}, {30, 90}});
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0], QRect(0, 20, 30, 40));
    EXPECT_EQ(W->z.Width, 30);
    EXPECT_EQ(W->z.Height, 40);
    EXPECT_EQ(At(0, 0), Pattern(0, 20));
    W->bUndoClick();
    // A click marks nothing: no dialog, no line.
    Drag({{5, 5}, {5, 5}});
    EXPECT_EQ(Shown.size(), 1u);
    // Sizes typed beyond the image are cut; a width of 0 acts as Cancel.
    Edit = [](TfSelect& d) { d.meWidth->setText("9999"); };
    Drag({{70, 10}, {75, 20}});
    EXPECT_EQ(W->z.Width, 10);
    W->bUndoClick();
    Edit = [](TfSelect& d) { d.meWidth->setText("0"); };
    Drag({{10, 10}, {20, 20}});
    EXPECT_EQ(W->z.Width, 80);
    EXPECT_EQ(
        LogLines(),
        QStringList({"Select Area From Left 0 Top 20, Right 30 Bottom 60, Crop to Selection", "UnDo",
                     "Select Area From Left 70 Top 10, Right 80 Bottom 20, Crop to Selection", "UnDo"}));
}

TEST_F(SelectTool, FieldsTakeOnlyDigits) {
    QLineEdit* e = fSelect->meX;
    e->clear();
    QTest::keyClicks(e, "1a-2.3456");
    EXPECT_EQ(e->text(), "1234");
    e->clear();
    EXPECT_EQ(fSelect->Selection().x(), 0);
}

TEST_F(SelectTool, BandSizeInTheStatusBarAndScrollingPastTheEdge) {
    Paint(2000, 2000, Grey(5));
    Press(10, 10);
    Move(40, 30);
    EXPECT_EQ(W->stBar->PanelText(4), "Width: 30  Height: 20");
    QScrollBar* h = W->ScrollBox1->horizontalScrollBar();
    QScrollBar* v = W->ScrollBox1->verticalScrollBar();
    ASSERT_GT(h->maximum(), 0);
    const int port = W->ScrollBox1->viewport()->width();
    for (int i = 1; i <= 3; ++i) {
        Move(port + 50, 30);
        EXPECT_EQ(h->value(), i);
    }
    Move(port + 50, W->ScrollBox1->viewport()->height() + 50);
    EXPECT_EQ(v->value(), 1);
    Release(40, 30);
    EXPECT_EQ(W->stBar->PanelText(4), "Idle...");
}

namespace {

class AdjustTool : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        W->ShowAdj->setChecked(true);
        fAdjust->cbCenter->setChecked(false);
        Paint(200, 120, Grey(0));
        ToolSettings::SetPenColor(RGBColor(255, 255, 255));
        ToolSettings::SetFillShape(false);
        TfAdjust::SetExecuteHook([this](TfAdjust& d) {
            Preview = W->imSine->Band();
            Fields = QRect(d.seX->value(), d.seY->value(), d.seW->value(), d.seH->value());
            if (Edit) Edit(d);
            After = W->imSine->Band();
            return Answer;
        });
    }
    int Answer = mrOk;
    std::function<void(TfAdjust&)> Edit;
    TBand Preview, After;
    QRect Fields;
};

} // namespace

TEST_F(AdjustTool, OkDrawsWhereThePreviewStands) {
    StartLog();
    Tool(TDrawTool::dtRectangle);
    Drag({{90, 80}, {10, 20}});
    EXPECT_EQ(Fields, QRect(10, 20, 80, 60));
    EXPECT_EQ(Preview.Shape, TBandShape::Rectangle);
    EXPECT_EQ(QRect(Preview.A, Preview.B).normalized(), QRect(QPoint(10, 20), QPoint(90, 80)));
    EXPECT_EQ(W->imSine->Band().Shape, TBandShape::None);
    EXPECT_EQ(At(10, 50), Grey(255));
    EXPECT_EQ(At(50, 50), Grey(0));

    // Moved and resized in the dialog, with a negative height: drawn from the adjusted corners.
    Edit = [](TfAdjust& d) {
        d.seX->setValue(100);
        d.seW->setValue(50);
        d.seH->setValue(-30);
    };
    Drag({{10, 50}, {40, 90}});
    EXPECT_EQ(After.A, QPoint(100, 50));
    EXPECT_EQ(After.B, QPoint(150, 20));
    EXPECT_EQ(At(100, 30), Grey(255));
    EXPECT_EQ(At(25, 50), Grey(0)) << "nothing where the drag was";
    EXPECT_EQ(
        LogLines(),
        QStringList({"Rectangle from X 10 Y 20, To X 90 Y 80, Pen Size 1, Pen Color R: 255 G: 255 B: 255, "
                     "Brush Color R: 255 G: 255 B: 255, Not Filled",
                     "Rectangle from X 100 Y 20, To X 150 Y 50, Pen Size 1, Pen Color R: 255 G: 255 B: 255, "
                     "Brush Color R: 255 G: 255 B: 255, Not Filled"}));
}

TEST_F(AdjustTool, CancelDropsTheShape) {
    StartLog();
    Tool(TDrawTool::dtEllipse);
    Answer = mrCancel;
    Drag({{10, 10}, {100, 100}});
    EXPECT_EQ(W->imSine->Band().Shape, TBandShape::None);
    EXPECT_EQ(W->Ring.StackSize, 1);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 200; ++x) ASSERT_EQ(At(x, y), Grey(0)) << x << "," << y;
    EXPECT_TRUE(LogLines().isEmpty());
}

TEST_F(AdjustTool, PressLeftOfTheImageStartsAtZero) {
    Tool(TDrawTool::dtRectangle);
    Drag({{-30, 10}, {40, 50}});
    EXPECT_EQ(Fields, QRect(0, 10, 70, 40));
    // The outline on OK is where it stood; nothing is left of a band at the press point.
    EXPECT_EQ(QRect(Preview.A, Preview.B), QRect(QPoint(0, 10), QPoint(70, 50)));
    EXPECT_EQ(At(0, 30), Grey(255));
    EXPECT_EQ(W->imSine->Band().Shape, TBandShape::None);
}

TEST_F(AdjustTool, CentringByWidth) {
    Tool(TDrawTool::dtEllipse);
    fAdjust->cbCenter->setChecked(true);
    EXPECT_TRUE(W->CenterShapes->isChecked());
    Edit = [](TfAdjust& d) { d.seW->setValue(41); };
    Drag({{10, 10}, {30, 90}});
    // (200 - 20) div 2 at the show, then (200 - 41) div 2 = 79 with the new width, square.
    EXPECT_EQ(QRect(Preview.A, Preview.B), QRect(QPoint(90, 90), QPoint(110, 110)));
    EXPECT_EQ(QRect(After.A, After.B), QRect(QPoint(79, 79), QPoint(120, 120)));
    EXPECT_FALSE(fAdjust->seX->isEnabled());
    EXPECT_TRUE(fAdjust->seW->isEnabled());
    // Unticking the menu item unticks the box.
    W->findChild<QAction*>("CenterShapes")->trigger();
    EXPECT_FALSE(fAdjust->cbCenter->isChecked());
    EXPECT_TRUE(fAdjust->seX->isEnabled());
}

TEST_F(AdjustTool, DoNotShowAgainFollowsTheOptionsItem) {
    fAdjust->cbDontShow->setChecked(true);
    EXPECT_FALSE(W->ShowAdj->isChecked());
    // Now the shape is drawn at once.
    bool asked = false;
    TfAdjust::SetExecuteHook([&](TfAdjust&) {
        asked = true;
        return mrOk;
    });
    Tool(TDrawTool::dtRectangle);
    Drag({{10, 10}, {50, 50}});
    EXPECT_FALSE(asked);
    EXPECT_EQ(At(10, 30), Grey(255));
    W->findChild<QAction*>("ShowAdj")->trigger();
    EXPECT_TRUE(W->ShowAdj->isChecked());
    EXPECT_FALSE(fAdjust->cbDontShow->isChecked());
}

// Flood fill against a plain breadth-first fill of the same 4-connected area, on random pictures of
// few colours (many narrow, winding areas).
TEST(FloodFill, AgreesWithABreadthFirstFill) {
    SetRandSeed(12345);
    for (int round = 0; round < 200; ++round) {
        const int w = 1 + Random(40), h = 1 + Random(40);
        TFastDIB a, b;
        a.SetSize(w, h, 24, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) a.Pixels24[y][x] = Grey(Random(3));
        CopyDIB(a, b);
        const int sx = Random(w), sy = Random(h);
        const TFColor fill = Grey(7), old = b.Pixels24[sy][sx];
        std::deque<std::pair<int, int>> todo{{sx, sy}};
        b.Pixels24[sy][sx] = fill;
        while (!todo.empty()) {
            const auto [x, y] = todo.front();
            todo.pop_front();
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                const int nx = x + dx, ny = y + dy;
                if (nx >= 0 && ny >= 0 && nx < w && ny < h && b.Pixels24[ny][nx] == old) {
                    b.Pixels24[ny][nx] = fill;
                    todo.emplace_back(nx, ny);
                }
            }
        }
        EXPECT_TRUE(FloodFill(a.AsSurface(), sx, sy, fill));
        ASSERT_TRUE(SameDIB(a, b)) << "round " << round;
    }
}

TEST(FloodFill, RefusesOutsidePointsAndTheSameColour) {
    TFastDIB a;
    a.SetSize(4, 4, 24, 0);
    EXPECT_FALSE(FloodFill(a.AsSurface(), -1, 0, Grey(1)));
    EXPECT_FALSE(FloodFill(a.AsSurface(), 0, 4, Grey(1)));
    EXPECT_FALSE(FloodFill(a.AsSurface(), 1, 1, Grey(0)));
    EXPECT_EQ(a.Pixels24[1][1], Grey(0));
}

// The real dialog, shown modally from the release: its show starts the preview, OK takes the values.
TEST_F(AdjustTool, RealDialogFromTheRelease) {
    TfAdjust::SetExecuteHook({});
    fToolBox->bEllip->click();
    EXPECT_EQ(W->Tool, TDrawTool::dtEllipse);
    TBand shown;
    QTimer::singleShot(0, [&] {
        shown = W->imSine->Band();
        fAdjust->seW->setValue(100);
        fAdjust->Button1->click();
    });
    Drag({{10, 10}, {50, 50}});
    EXPECT_FALSE(fAdjust->isVisible());
    EXPECT_EQ(QRect(shown.A, shown.B), QRect(QPoint(10, 10), QPoint(50, 50)));
    EXPECT_EQ(shown.Shape, TBandShape::Ellipse);
    EXPECT_EQ(W->aX, 10);
    EXPECT_EQ(W->zX, 110);
    EXPECT_EQ(At(60, 10), Grey(255)); // the top of the wider ellipse
    EXPECT_FALSE(fAdjust->AdjustShowing);
}

TEST_F(SelectTool, RealDialogFromTheRelease) {
    TfSelect::SetExecuteHook({});
    QString shownX;
    QTimer::singleShot(0, [&] {
        shownX = fSelect->meX->text();
        fSelect->meHeight->setText("5");
        fSelect->bCrop2->click();
    });
    Drag({{20, 10}, {60, 40}});
    EXPECT_EQ(shownX, "20");
    EXPECT_EQ(W->z.Width, 40);
    EXPECT_EQ(W->z.Height, 5);
}
