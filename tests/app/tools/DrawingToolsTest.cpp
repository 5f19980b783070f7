// The drawing tools driven by mouse events on the image view: strokes in the Pen modes, shapes,
// flood fill, eye-dropper, undo and log lines, and the faults of drags that do not end as expected.
#include "DrawingTestSupport.h"

#include "app/dialogs/ToolBox.h"
#include "app/tools/ShapeDrawing.h"

#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

namespace {

using Tool_ = TDrawTool;

const TFColor Red = MakeFColor(255, 0, 0), Blue = MakeFColor(0, 0, 255);

} // namespace

// A horizontal free-hand stroke of pen 0xC3 grey over 0x5A grey: each mode's truth table worked by
// hand per byte (D = 0101 1010, P = 1100 0011).
TEST_F(DrawingTest, FreeHandStrokeInEveryPenMode) {
    const struct {
        const char* Item;
        int Expected;
    } modes[] = {{"Normal1", 0xC3},      {"MaskNotPen1", 0x18},  {"MaskPen1", 0x42},
                 {"MaskPenNot1", 0x81},  {"MergeNotPen1", 0x7E}, {"MergePen1", 0xDB},
                 {"MergePenNot1", 0xE7}, {"NotCopyPen1", 0x3C},  {"NotMaskPen1", 0xBD},
                 {"NotMergePen1", 0x24}, {"NotXORPen1", 0x66},   {"XORPen1", 0x99}};
    ToolSettings::SetPenColor(RGBColor(0xC3, 0xC3, 0xC3));
    Tool(Tool_::dtFreeHand);
    for (const auto& m : modes) {
        Paint(100, 60, Grey(0x5A));
        Trigger(m.Item);
        const int before = W->Ring.StackSize;
        Drag({{10, 20}, {40, 20}, {70, 20}});
        EXPECT_EQ(At(30, 20), Grey(m.Expected)) << m.Item;
        EXPECT_EQ(At(55, 20), Grey(m.Expected)) << m.Item << " second segment";
        EXPECT_EQ(At(40, 20), Grey(m.Expected)) << m.Item << " the joint, drawn once";
        EXPECT_EQ(At(30, 23), Grey(0x5A)) << m.Item << " off the stroke";
        EXPECT_EQ(W->Ring.StackSize, before + 1) << m.Item;
        // The whole stroke is one undo step.
        W->bUndoClick();
        EXPECT_EQ(At(30, 20), Grey(0x5A)) << m.Item;
    }
}

TEST_F(DrawingTest, ShapesFilledAndNotFilled) {
    ToolSettings::SetPenColor(RGBColor(255, 0, 0));
    ToolSettings::SetBrushColor(RGBColor(0, 0, 255));
    const struct {
        Tool_ T;
        bool Filled;
        TFColor Centre;
    } cases[] = {{Tool_::dtRectangle, true, Blue},
                 {Tool_::dtRectangle, false, Grey(90)},
                 {Tool_::dtEllipse, true, Blue},
                 {Tool_::dtEllipse, false, Grey(90)}};
    for (const auto& c : cases) {
        Paint(300, 200, Grey(90));
        Tool(c.T);
        ToolSettings::SetFillShape(c.Filled);
        Drag({{100, 50}, {160, 90}, {200, 150}});
        const int i = static_cast<int>(&c - cases);
        EXPECT_EQ(At(150, 100), c.Centre) << i;
        EXPECT_EQ(At(90, 40), Grey(90)) << i;
        EXPECT_EQ(At(210, 160), Grey(90)) << i;
        EXPECT_EQ(At(150, 45), Grey(90)) << i;
        // The outline: the left edge's middle.
        EXPECT_EQ(At(100, 100), Red) << i;
        // A corner of the box lies outside the ellipse but on the rectangle's outline.
        EXPECT_EQ(At(102, 52), c.T == Tool_::dtEllipse ? Grey(90) : c.Centre) << i;
    }
    // A line: pen colour along it, nothing beside it.
    Paint(300, 200, Grey(90));
    Tool(Tool_::dtLine);
    Drag({{20, 100}, {50, 120}, {220, 100}});
    EXPECT_EQ(At(120, 100), Red);
    EXPECT_EQ(At(120, 103), Grey(90));
    EXPECT_EQ(At(120, 97), Grey(90));
}

// The band lives over the view: during a drag neither the view nor the image changes, and a release
// away from the last move gives exactly the shape a straight drag to that point gives.
TEST_F(DrawingTest, BandsNeverReachTheImage) {
    ToolSettings::SetPenSizeText("5");
    for (Tool_ t : {Tool_::dtRectangle, Tool_::dtEllipse, Tool_::dtLine}) {
        Paint(200, 200, Grey(40));
        Tool(t);
        Press(30, 30);
        Move(150, 170);
        Move(90, 60);
        EXPECT_NE(W->imSine->Band().Shape, TBandShape::None);
        EXPECT_EQ(ViewAt(90, 60), Grey(40));
        EXPECT_EQ(ViewAt(150, 100), Grey(40));
        EXPECT_EQ(At(90, 45), Grey(40));
        Release(120, 110);
        EXPECT_EQ(W->imSine->Band().Shape, TBandShape::None);
        TFastDIB wandered;
        CopyDIB(W->z, wandered);

        Paint(200, 200, Grey(40));
        Drag({{30, 30}, {120, 110}});
        EXPECT_TRUE(SameDIB(W->z, wandered)) << static_cast<int>(t);
    }
}

TEST_F(DrawingTest, XorLineTwiceRestoresAndLogsItsMode) {
    Paint(100, 100, Grey(77));
    TFastDIB grey;
    CopyDIB(W->z, grey);
    ToolSettings::SetPenColor(RGBColor(200, 100, 50));
    ToolSettings::SetPenSizeText("3");
    Trigger("XORPen1");
    EXPECT_EQ(W->Rop2Mode, 11);
    Tool(Tool_::dtLine);
    StartLog();
    Drag({{10, 10}, {90, 50}});
    EXPECT_EQ(At(50, 30), MakeFColor(77 ^ 200, 77 ^ 100, 77 ^ 50));
    Drag({{10, 10}, {90, 50}});
    EXPECT_TRUE(SameDIB(W->z, grey));
    const QString line =
        "Line from X 10 Y 10 To X 90 Y 50, Pen Size 3, Pen Color R: 200 G: 100 B: 50, Pen XORPen";
    EXPECT_EQ(LogLines(), QStringList({line, line}));
}

TEST_F(DrawingTest, FloodFillIsFourConnectedAndExact) {
    // A white 12 x 12 image cut by a black diagonal: the two halves touch only at corners.
    Paint(12, 12, Grey(255));
    for (int i = 0; i < 12; ++i) W->z.Pixels24[i][i] = Grey(0);
    W->z.Pixels24[2][8] = Grey(254); // a near colour inside the upper half is not filled
    W->SetToIm(W->z);
    ToolSettings::SetBrushColor(RGBColor(255, 0, 0));
    // Whatever the last shape set up, the fill is solid in copy mode.
    Trigger("XORPen1");
    Tool(Tool_::dtFill);
    StartLog();
    Press(9, 3);
    Release(9, 3);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const TFColor want = x == y ? Grey(0) : (x == 8 && y == 2) ? Grey(254) : x > y ? Red : Grey(255);
            ASSERT_EQ(At(x, y), want) << x << "," << y;
        }
    // Filling with the colour already there changes nothing and ends.
    Press(9, 3, Qt::MiddleButton);
    Release(9, 3, Qt::MiddleButton);
    EXPECT_EQ(At(9, 3), Red);
    EXPECT_EQ(LogLines(), QStringList({"FloodFill at location X 9 Y 3, Brush Color R: 255 G: 0 B: 0",
                                       "FloodFill at location X 9 Y 3, Brush Color R: 255 G: 0 B: 0"}));
}

TEST_F(DrawingTest, EyeDropperPicksThePenColourWithEitherButton) {
    SetImage(20, 20);
    Tool(Tool_::dtEyeDrop);
    StartLog();
    const int before = W->Ring.StackSize;
    for (auto [b, x, y] : {std::tuple{Qt::LeftButton, 5, 7}, std::tuple{Qt::MiddleButton, 12, 3}}) {
        Press(x, y, b);
        Release(x, y, b);
        EXPECT_EQ(ToolSettings::PenColor(), FColorToColor(Pattern(x, y)));
    }
    // Each press left one snapshot equal to the image.
    EXPECT_EQ(W->Ring.StackSize, before + 2);
    TFastDIB pattern;
    PaintPattern(pattern, 20, 20);
    W->bUndoClick();
    EXPECT_TRUE(SameDIB(W->z, pattern));
    EXPECT_EQ(LogLines().mid(0, 2),
              QStringList({"Eyedropper at location X 5 Y 7", "Eyedropper at location X 12 Y 3"}));
}

TEST_F(DrawingTest, PenSizeErrorsChangeNothing) {
    Paint(50, 50, Grey(10));
    Tool(Tool_::dtFreeHand);
    const struct {
        const char* Text;
        const char* Message;
    } cases[] = {{"", "Pen size cannot be zero length.  Changed to 1"},
                 {"0", "Pen Size error. Changed to 1"},
                 {"-3", "Pen Size error. Changed to 1"},
                 {"ab", "Pen Size error. Changed to 1"},
                 {"2.5", "Pen Size error. Changed to 1"}};
    for (const auto& c : cases) {
        ToolSettings::SetPenSizeText(c.Text);
        Program->Asked.clear();
        Drag({{5, 5}, {40, 40}});
        EXPECT_EQ(Messages(), QStringList({c.Message})) << c.Text;
        EXPECT_EQ(ToolSettings::PenSizeText(), "1");
        EXPECT_EQ(At(20, 20), Grey(10));
        EXPECT_TRUE(W->Ring.Empty);
    }
}

TEST_F(DrawingTest, MiddleAndRightButtonsWithDragTools) {
    Paint(60, 60, Grey(10));
    Tool(Tool_::dtRectangle);
    StartLog();
    // Middle: one snapshot, no shape, no line.
    Drag({{5, 5}, {40, 40}});
    const int afterLeft = W->Ring.StackSize;
    Press(10, 10, Qt::MiddleButton);
    Move(50, 50, Qt::MiddleButton);
    Release(50, 50, Qt::MiddleButton);
    EXPECT_EQ(W->Ring.StackSize, afterLeft + 1);
    EXPECT_EQ(At(49, 49), Grey(10));
    // Right: nothing at all.
    Press(10, 10, Qt::RightButton);
    Release(10, 10, Qt::RightButton);
    EXPECT_EQ(W->Ring.StackSize, afterLeft + 1);
    EXPECT_EQ(LogLines().size(), 1);
}

TEST_F(DrawingTest, OtherButtonsDuringADragAreIgnored) {
    Paint(100, 100, Grey(10));
    Tool(Tool_::dtRectangle);
    Press(10, 10);
    Move(50, 50);
    const int stack = W->Ring.StackSize;
    Press(50, 50, Qt::MiddleButton);
    Release(50, 50, Qt::MiddleButton);
    EXPECT_TRUE(W->Drawing);
    EXPECT_EQ(W->Ring.StackSize, stack);
    Move(60, 70);
    Release(60, 70);
    EXPECT_FALSE(W->Drawing);
    EXPECT_EQ(At(10, 40), MakeFColor(0, 0, 0)); // the outline in the pen colour
}

TEST_F(DrawingTest, ALostReleaseDropsTheDrag) {
    for (Tool_ t : {Tool_::dtFreeHand, Tool_::dtEllipse}) {
        Paint(100, 100, Grey(10));
        ToolSettings::SetPenColor(RGBColor(255, 0, 0));
        Tool(t);
        Press(10, 10);
        Move(50, 50);
        // The pop-up menu takes the mouse.
        emit W->imSine->customContextMenuRequested(QPoint(50, 50));
        W->findChild<QMenu*>("PopupMenu1")->hide();
        EXPECT_FALSE(W->Drawing);
        EXPECT_EQ(W->imSine->Band().Shape, TBandShape::None);
        EXPECT_EQ(ViewAt(30, 30), Grey(10));
        Release(50, 50);
        EXPECT_EQ(At(30, 30), Grey(10));
        // A move that no longer holds the button: the release was lost.
        Press(10, 10);
        Move(50, 50);
        Move(70, 70, Qt::NoButton);
        EXPECT_FALSE(W->Drawing);
        EXPECT_EQ(ViewAt(30, 30), Grey(10));
        EXPECT_EQ(W->imSine->Band().Shape, TBandShape::None);
    }
}

TEST_F(DrawingTest, MovesWithoutAPressNeverDraw) {
    Paint(100, 100, Grey(10));
    Tool(Tool_::dtFreeHand);
    Move(10, 10, Qt::NoButton);
    Move(80, 80, Qt::NoButton);
    EXPECT_EQ(ViewAt(40, 40), Grey(10));
    EXPECT_EQ(W->stBar->PanelText(2), "X: 80");
    EXPECT_EQ(W->stBar->PanelText(3), "Y: 80");
    // A release without a press is no action.
    Release(80, 80);
    EXPECT_TRUE(W->Ring.Empty);
}

TEST_F(DrawingTest, DegenerateShapesDrawNothing) {
    ToolSettings::SetPenSizeText("4");
    for (Tool_ t : {Tool_::dtRectangle, Tool_::dtEllipse, Tool_::dtLine, Tool_::dtFreeHand}) {
        Paint(60, 60, Grey(10));
        Tool(t);
        Drag({{30, 30}, {30, 30}});
        Drag({{10, 20}, {50, 20}}); // no height
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x)
                if (t == Tool_::dtRectangle || t == Tool_::dtEllipse || y < 15 || y > 25) {
                    ASSERT_EQ(At(x, y), Grey(10)) << static_cast<int>(t) << " " << x << "," << y;
                }
    }
}

TEST_F(DrawingTest, ShapeLogLinesKeepTheDragDirection) {
    Paint(200, 200, Grey(0));
    ToolSettings::SetPenSizeText("2");
    ToolSettings::SetPenColor(RGBColor(1, 2, 3));
    ToolSettings::SetBrushColor(RGBColor(4, 5, 6));
    StartLog();
    Tool(Tool_::dtEllipse);
    Drag({{90, 80}, {10, 20}});
    ToolSettings::SetFillShape(false);
    Tool(Tool_::dtRectangle);
    Drag({{5, 6}, {70, 80}});
    Tool(Tool_::dtFreeHand);
    Drag({{5, 6}, {70, 80}});
    EXPECT_EQ(
        LogLines(),
        QStringList({"Ellipse from X 90 Y 80, To X 10 Y 20, Pen Size 2, Pen Color R: 1 G: 2 B: 3, Brush "
                     "Color R: 4 G: 5 B: 6, Filled",
                     "Rectangle from X 5 Y 6, To X 70 Y 80, Pen Size 2, Pen Color R: 1 G: 2 B: 3, Brush "
                     "Color R: 4 G: 5 B: 6, Not Filled",
                     "FreeHand Drawing, Pen Size 2, Pen Color R: 1 G: 2 B: 3"}));
}

TEST_F(DrawingTest, SetToolSetsFlagsAndCursor) {
    W->SetTool(false, true, Tool_::dtText, 0);
    EXPECT_TRUE(W->Texting);
    EXPECT_FALSE(W->Fill);
    EXPECT_EQ(W->imSine->cursor().shape(), Qt::IBeamCursor);
    W->SetTool(true, false, Tool_::dtFill, 14);
    EXPECT_TRUE(W->Fill);
    EXPECT_FALSE(W->Texting);
    EXPECT_EQ(W->Tool, Tool_::dtFill);
    EXPECT_EQ(W->imSine->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(DrawingTest, PenMenuItemsAreRadioItems) {
    Trigger("NotMergePen1");
    EXPECT_EQ(W->Rop2Mode, 9);
    int ticked = 0;
    for (QAction* a : W->PenItems) ticked += a->isChecked() ? 1 : 0;
    EXPECT_EQ(ticked, 1);
    EXPECT_TRUE(W->PenItems[9]->isChecked());
    EXPECT_EQ(PenModeName(42), "Normal");
}

TEST_F(DrawingTest, ColourSliderToggle) {
    auto* button = W->findChild<QToolButton*>("bColor");
    ASSERT_TRUE(button->isEnabled());
    ASSERT_FALSE(fToolBox->ColorSlidersShown());
    button->click();
    EXPECT_TRUE(fToolBox->ColorSlidersShown());
    W->bColorClick();
    EXPECT_FALSE(fToolBox->ColorSlidersShown());
}
