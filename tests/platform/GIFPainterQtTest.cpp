// GIF painters on the user-interface thread: timers drive animating painters, painters without goAsync
// sleep while other events go on, and ended painters are freed.
#include "platform/GIFPainterQt.h"

#include "common/QtTestSupport.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

namespace {

// A picture of n frames of 1 x 1, frame i showing grey 10 (i + 1), each shown for 2 hundredths.
std::unique_ptr<TGIFImage> Picture(int n) {
    auto image = std::make_unique<TGIFImage>();
    for (int i = 0; i < n; ++i) {
        auto f = std::make_unique<TGIFSubImage>(image.get());
        f->SetBounds(0, 0, 1, 1);
        f->ColorMap().Add(RGBColor(10 * (i + 1), 10 * (i + 1), 10 * (i + 1)));
        auto g = std::make_unique<TGIFGraphicControlExtension>(f.get());
        g->SetDelay(2);
        f->Extensions().Add(std::move(g));
        image->Images().Add(std::move(f));
    }
    image->FitLogicalScreen();
    return image;
}

} // namespace

TEST(GIFPainterQt, TimersPlayTheAnimationUntilStopped) {
    EnsureQtApplication();
    TGIFPainterTimer& driver = TGIFPainterTimer::Instance();
    auto image = Picture(3);
    QImage shown(1, 1, QImage::Format_RGB32);
    shown.fill(Qt::black);
    std::vector<int> greys;
    TGIFPaintSettings s;
    s.DrawOptions = DrawOptions({goAsync, goAnimate, goLoop, goLoopContinously});
    s.OnAfterPaint = [&](TGIFPainter&) { greys.push_back(qGreen(shown.pixel(0, 0))); };
    TGIFPainter* ref = nullptr;
    TGIFPainter* p =
        driver.CreatePainter(*image, std::make_unique<TGIFImageCanvas>(shown), {0, 0, 1, 1}, s, &ref);
    EXPECT_EQ(ref, p);
    p->Start();
    EXPECT_EQ(greys, (std::vector<int>{10})); // the first frame at once
    ASSERT_TRUE(QTest::qWaitFor([&] { return greys.size() >= 5; }, 2000));
    EXPECT_EQ(std::vector<int>(greys.begin(), greys.begin() + 5), (std::vector<int>{10, 20, 30, 10, 20}));
    image->Painters().PaintStop();
    EXPECT_EQ(ref, nullptr);
    EXPECT_EQ(image->Painters().Count(), 0);
    QTest::qWait(10);
    EXPECT_EQ(driver.Count(), 0);
}

TEST(GIFPainterQt, APictureDestroyedWhileAnimatingFreesItsPainter) {
    EnsureQtApplication();
    TGIFPainterTimer& driver = TGIFPainterTimer::Instance();
    auto image = Picture(2);
    QImage shown(1, 1, QImage::Format_BGR888);
    TGIFPaintSettings s;
    s.DrawOptions = DrawOptions({goAsync, goAnimate, goLoop, goLoopContinously});
    int frames = 0;
    s.OnAfterPaint = [&](TGIFPainter&) { ++frames; };
    driver.CreatePainter(*image, std::make_unique<TGIFImageCanvas>(shown), {0, 0, 1, 1}, s)->Start();
    QTest::qWait(60);
    image.reset();
    const int seen = frames;
    QTest::qWait(60);
    EXPECT_EQ(frames, seen);
    EXPECT_EQ(driver.Count(), 0);
}

TEST(GIFPainterQt, APainterWithoutAsyncRunsToItsEndWhileTimersGoOn) {
    EnsureQtApplication();
    auto image = Picture(3);
    QImage shown(1, 1, QImage::Format_RGB32);
    std::vector<int> greys;
    TGIFPaintSettings s;
    s.DrawOptions = DrawOptions({goAnimate, goLoop});
    s.OnAfterPaint = [&](TGIFPainter&) { greys.push_back(qGreen(shown.pixel(0, 0))); };
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    TGIFImageCanvas canvas(shown);
    RunGIFPainter(*image, canvas, {0, 0, 1, 1}, s);
    EXPECT_EQ(greys, (std::vector<int>{10, 20, 30})); // no looping block: once
    EXPECT_TRUE(timerRan);
    EXPECT_EQ(image->Painters().Count(), 0);
}

TEST(GIFPainterQt, APictureDrawnOnAWidgetImagePlaysThroughTheProgramsDriver) {
    EnsureQtApplication();
    TGIFPainterTimer& driver = TGIFPainterTimer::Instance();
    auto image = Picture(3);
    image->SetPainterDriver(&driver);
    image->SetDrawOptions(image->DrawOptions() | DrawOption(goLoopContinously));
    QImage shown(2, 2, QImage::Format_RGB32);
    shown.fill(Qt::black);
    TGIFImageCanvas canvas(shown);
    image->Draw(canvas, {0, 0, 2, 2});
    EXPECT_EQ(qGreen(shown.pixel(0, 0)), 10);
    // Every later change of the cached bitmap is drawn again, as a widget's repaint would.
    std::vector<int> greys;
    image->OnChange = [&](const void*) {
        image->Draw(canvas, {0, 0, 2, 2});
        greys.push_back(qGreen(shown.pixel(1, 1)));
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return greys.size() >= 4; }, 2000));
    ASSERT_GE(greys.size(), 4u);
    EXPECT_EQ(std::vector<int>(greys.begin(), greys.begin() + 4), (std::vector<int>{20, 30, 10, 20}));
    EXPECT_EQ(driver.Count(), 1);
    // The picture goes while its painter plays: the painter ends and is freed, nothing is drawn again.
    image.reset();
    const std::vector<int> seen = greys;
    QTest::qWait(60);
    EXPECT_EQ(greys, seen);
    EXPECT_EQ(driver.Count(), 0);
}
