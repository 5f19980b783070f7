// The image view showing an image from its own rows: what the screen shows after SetToIm, the canvas
// the tools draw on being brought up to date first, an image resized behind the view's back, and the
// shown pixels reaching Save.
#include "DrawingTestSupport.h"

#include "platform/FastDIBQt.h"

#include <QPixmap>

namespace {

QColor ToQ(TFColor c) {
    return QColor(c.r, c.g, c.b);
}

const TFColor Red = MakeFColor(255, 0, 0);

} // namespace

class ShownImage : public DrawingTest {
protected:
    // The view as painted on the screen.
    QImage Screen() const { return W->imSine->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QColor WindowColour() const { return W->imSine->palette().window().color(); }

    // The first pixel of `img` that differs from `expected(x, y)`, as a message; empty when all agree.
    template <class F> static std::string FirstDifference(const QImage& img, F expected) {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixelColor(x, y) != expected(x, y))
                    return "at " + std::to_string(x) + "," + std::to_string(y);
        return {};
    }
};

TEST_F(ShownImage, SetToImShowsTheImagesOwnRowsAndTheirChanges) {
    // 61 pixels: rows padded to 184 bytes, so a wrong stride shears the picture.
    SetImage(61, 47);
    EXPECT_EQ(W->imSine->ShownImage(), &W->z) << "shown without a copy";
    QImage shot = Screen();
    ASSERT_EQ(shot.size(), QSize(61, 47));
    EXPECT_EQ(FirstDifference(shot, [](int x, int y) { return ToQ(Pattern(x, y)); }), "");

    // z changed in place and shown again.
    for (int y = 0; y < 47; ++y)
        for (int x = 0; x < 61; ++x) W->z.Pixels24[y][x] = Pattern(60 - x, y);
    W->SetToIm(W->z);
    shot = Screen();
    EXPECT_EQ(FirstDifference(shot, [](int x, int y) { return ToQ(Pattern(60 - x, y)); }), "");

    // The slider preview shows buf; Bad shows z again.
    PaintPattern(W->buf, 61, 47);
    for (int x = 0; x < 61; ++x) W->buf.Pixels24[5][x] = Red;
    W->SetToIm(W->buf);
    shot = Screen();
    EXPECT_EQ(shot.pixelColor(30, 5), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(30, 6), ToQ(Pattern(30, 6)));
    W->SetToIm(W->z);
    EXPECT_EQ(Screen().pixelColor(30, 5), ToQ(Pattern(30, 5)));
}

TEST_F(ShownImage, BandIsPaintedOverTheShownImageAndStaysOffIt) {
    Paint(80, 40, Grey(0x5A));
    Tool(TDrawTool::dtLine);
    Press(5, 10);
    Move(60, 10);
    // The white exclusive-or band over 0x5A grey.
    EXPECT_EQ(Screen().pixelColor(30, 10), QColor(0xA5, 0xA5, 0xA5));
    EXPECT_EQ(Screen().pixelColor(30, 20), QColor(0x5A, 0x5A, 0x5A));
    EXPECT_EQ(At(30, 10), Grey(0x5A));
    EXPECT_EQ(W->imSine->ShownImage(), &W->z) << "a band alone needs no canvas";
    W->CancelDrag();
    EXPECT_EQ(Screen().pixelColor(30, 10), QColor(0x5A, 0x5A, 0x5A));
}

// The canvas holds an old picture (the pattern with a stroke) while z, changed since, is shown: every
// tool must draw on z's pixels, not on the old canvas.
TEST_F(ShownImage, ToolsDrawOnTheShownPixelsNotAnOldCanvas) {
    const auto staleCanvas = [this] {
        SetImage(90, 50);
        Tool(TDrawTool::dtLine);
        Drag({{2, 45}, {80, 45}});
        ASSERT_EQ(At(40, 45), Red);
        Paint(90, 50, Grey(90));
        ASSERT_EQ(W->imSine->ShownImage(), &W->z);
    };

    ToolSettings::SetPenColor(RGBColor(255, 0, 0));
    staleCanvas();
    Tool(TDrawTool::dtLine);
    Drag({{5, 10}, {60, 10}});
    EXPECT_EQ(At(30, 10), Red);
    EXPECT_EQ(At(30, 30), Grey(90)) << "the old canvas copied into z";
    EXPECT_EQ(At(40, 45), Grey(90)) << "the old stroke came back";
    EXPECT_EQ(Screen().pixelColor(30, 10), QColor(255, 0, 0));
    EXPECT_EQ(Screen().pixelColor(40, 45), QColor(90, 90, 90));

    staleCanvas();
    Tool(TDrawTool::dtFreeHand);
    Drag({{5, 20}, {30, 20}, {60, 20}});
    EXPECT_EQ(At(45, 20), Red);
    EXPECT_EQ(At(45, 30), Grey(90));
    EXPECT_EQ(At(40, 45), Grey(90));

    // A fill of the uniform grey covers all of it (on the pattern it would stop at one pixel).
    staleCanvas();
    ToolSettings::SetBrushColor(RGBColor(0, 0, 255));
    Tool(TDrawTool::dtFill);
    Press(10, 10);
    Release(10, 10);
    EXPECT_EQ(At(0, 0), MakeFColor(0, 0, 255));
    EXPECT_EQ(At(89, 49), MakeFColor(0, 0, 255));
    EXPECT_EQ(At(40, 45), MakeFColor(0, 0, 255));

    // The eye-dropper reads what is shown.
    staleCanvas();
    Tool(TDrawTool::dtEyeDrop);
    Press(40, 45);
    Release(40, 45);
    EXPECT_EQ(ToolSettings::PenColor(), RGBColor(90, 90, 90));
}

TEST_F(ShownImage, ImageResizedAfterShowImageIsPaintedAsFarAsItReaches) {
    SetImage(80, 60);
    // Smaller, without SetToIm: the view keeps its size; beyond the image the window colour.
    W->z.SetSize(30, 20, 24, 0);
    W->z.Pixels24[19][29] = Red;
    QImage shot = Screen();
    ASSERT_EQ(shot.size(), QSize(80, 60));
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(shot.pixelColor(29, 19), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(30, 19), WindowColour());
    EXPECT_EQ(shot.pixelColor(29, 20), WindowColour());
    EXPECT_EQ(shot.pixelColor(79, 59), WindowColour());

    // Larger: what fits the view.
    W->z.SetSize(300, 200, 24, 0);
    W->z.Pixels24[59][79] = Red;
    shot = Screen();
    EXPECT_EQ(shot.pixelColor(79, 59), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(78, 59), QColor(0, 0, 0));

    // No pixels at all.
    W->z.SetSize(0, 0, 24, 0);
    EXPECT_EQ(FirstDifference(Screen(), [&](int, int) { return WindowColour(); }), "");

    // The canvas made from a smaller image holds the window colour where the screen shows it.
    W->z.SetSize(30, 20, 24, 0);
    const QImage& canvas = W->imSine->Canvas();
    ASSERT_EQ(canvas.size(), QSize(80, 60));
    EXPECT_EQ(canvas.pixelColor(10, 10), QColor(0, 0, 0));
    EXPECT_EQ(canvas.pixelColor(50, 40), WindowColour());
    EXPECT_EQ(W->imSine->ShownImage(), nullptr);
}

TEST_F(ShownImage, ImageOfAnotherDepthIsShownThroughTheCanvas) {
    W->imSine->resize(3, 2);
    TFastDIB deep;
    deep.SetSize(3, 2, 32, 888);
    deep.Pixels32[1][2] = TFColorA{10, 20, 30, 0};
    W->imSine->ShowImage(deep);
    EXPECT_EQ(W->imSine->ShownImage(), nullptr) << "converted at once";
    EXPECT_EQ(Screen().pixelColor(2, 1), QColor(30, 20, 10));
    EXPECT_EQ(Screen().pixelColor(0, 0), QColor(0, 0, 0));
}

TEST_F(ShownImage, SaveWritesWhatIsShown) {
    const auto saveAs = [this](const char* name, TFastDIB& saved) {
        Chosen.push_back(File(name));
        Trigger("SaveAs1");
        ASSERT_TRUE(Errors().isEmpty()) << Errors().join("; ").toStdString();
        ASSERT_TRUE(LoadFromFile(saved, File(name)));
        ASSERT_EQ(saved.Width, 7);
        ASSERT_EQ(saved.Height, 5);
    };
    SetImage(7, 5);
    TFastDIB saved;
    saveAs("z.bmp", saved);
    EXPECT_EQ(saved.Pixels24[4][6], Pattern(6, 4));
    EXPECT_EQ(saved.Pixels24[0][0], Pattern(0, 0));

    // The preview of buf is what Save writes, not z.
    PaintPattern(W->buf, 7, 5);
    W->buf.Pixels24[2][3] = Red;
    W->SetToIm(W->buf);
    saveAs("shown.bmp", saved);
    EXPECT_EQ(saved.Pixels24[2][3], Red);
    EXPECT_EQ(saved.Pixels24[4][6], Pattern(6, 4));
    EXPECT_EQ(W->z.Pixels24[2][3], Pattern(3, 2)) << "z itself is unchanged";
}
