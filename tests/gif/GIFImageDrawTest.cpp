// The picture's animated drawing on a fake clock: painters started by Draw and Paint, the painting
// controls, options and speed handed to the drawing painter, and the picture going while one plays.
#include <gtest/gtest.h>

#include "FakePainterDriver.h"
#include "GifTestUtil.h"
#include "gif/GIFPainter.h"

namespace {

// The fake clock, owning the painters it makes.
struct OwningDriver : FakePainterDriver {
    int created = 0;
    std::vector<std::pair<std::unique_ptr<TGIFPaintCanvas>, std::unique_ptr<TGIFPainter>>> owned;
    ~OwningDriver() override { owned.clear(); }
    TGIFPainter* CreatePainter(TGIFImage& image, std::unique_ptr<TGIFPaintCanvas> canvas,
                               const TGIFRect& rect, const TGIFPaintSettings& settings,
                               TGIFPainter** ref) override {
        ++created;
        auto p = std::make_unique<TGIFPainter>(&image, *canvas, rect, settings, *this, ref);
        TGIFPainter* raw = p.get();
        owned.emplace_back(std::move(canvas), std::move(p));
        return raw;
    }
};

struct Canvas : TGIFPaintCanvas {
    TFastDIB dib;
    Canvas(int w, int h) {
        dib.SetSize(w, h, 24, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) dib.Pixels24[y][x] = TFColor{1, 1, 1};
    }
    Surface Pixels() override { return dib.AsSurface(); }
    int Grey(int x, int y) const { return dib.Pixels24[y][x].g; }
};

// n frames of 1 x 1, frame i grey 10 (i + 1) shown for i + 3 hundredths (36, 48, 60 ms).
std::unique_ptr<TGIFImage> Animation(OwningDriver& driver, int n) {
    auto image = std::make_unique<TGIFImage>();
    image->SetPainterDriver(&driver);
    for (int i = 0; i < n; ++i) {
        TGIFSubImage* f = AddFrame(*image, 0, 0, 1, 1);
        f->ColorMap().Add(RGBColor(10 * (i + 1), 10 * (i + 1), 10 * (i + 1)));
        auto g = std::make_unique<TGIFGraphicControlExtension>(f);
        g->SetDelay(i + 3);
        f->Extensions().Add(std::move(g));
    }
    image->FitLogicalScreen();
    return image;
}

using Shown = std::vector<std::pair<int, std::int64_t>>; // grey, time

} // namespace

TEST(gifImageDraw, FramesAppearInOrderWithTheirDelays) {
    // Into the cached bitmap (each Draw puts it on the canvas, stretched into columns 1..2 of a 4 x 2
    // canvas), and straight on the canvas with goDirectDraw. With goLoopContinously the first frame
    // comes back after the last one's 60 ms.
    for (bool direct : {false, true}) {
        OwningDriver driver;
        auto image = Animation(driver, 3);
        image->SetDrawOptions(image->DrawOptions() | DrawOption(goLoopContinously) |
                              (direct ? DrawOption(goDirectDraw) : 0));
        Canvas canvas(4, 2);
        const TGIFRect rect{1, 0, 3, 2};
        int changes = 0;
        image->OnChange = [&](const void*) { ++changes; };
        Shown shown;
        image->Draw(canvas, rect);
        for (int i = 0; i < 4; ++i) {
            if (i > 0) {
                ASSERT_TRUE(driver.Tick()) << direct;
            }
            image->Draw(canvas, rect); // no new painter: the one running keeps the picture current
            shown.push_back({canvas.Grey(2, 1), driver.now});
            EXPECT_EQ(canvas.Grey(1, 0), canvas.Grey(2, 1)) << direct;
            EXPECT_EQ(canvas.Grey(0, 0), 1) << direct;
            EXPECT_EQ(canvas.Grey(3, 1), 1) << direct;
        }
        EXPECT_EQ(shown, (Shown{{10, 0}, {20, 36}, {30, 84}, {10, 144}})) << direct;
        EXPECT_EQ(driver.created, 1) << direct;
        EXPECT_EQ(changes, direct ? 0 : 4) << direct;
        // The drawing painter got the picture's options; another rectangle starts a new painter.
        ASSERT_NE(image->DrawPainter(), nullptr);
        EXPECT_EQ(image->DrawPainter()->DrawOptions(), image->DrawOptions());
        image->SetDrawOptions(image->DrawOptions() & ~DrawOption(goLoopContinously));
        EXPECT_EQ(image->DrawPainter(), nullptr) << "changing the options stops the drawing painter";
        image->Draw(canvas, rect);
        image->Draw(canvas, {0, 0, 4, 2});
        EXPECT_EQ(driver.created, direct ? 3 : 2) << direct;
        EXPECT_EQ(image->Painters().Count(), 1) << direct;
    }
}

TEST(gifImageDraw, PlaysOnceWithoutLoopingAndStopsPausesResumes) {
    OwningDriver driver;
    auto image = Animation(driver, 3);
    Canvas canvas(1, 1);
    image->Draw(canvas, {0, 0, 1, 1});
    TGIFPainter* painter = image->DrawPainter();
    ASSERT_NE(painter, nullptr);
    // The speed goes to the drawing painter; 200 percent halves the next wait (36 -> 18 ms).
    image->SetAnimationSpeed(200);
    EXPECT_EQ(painter->AnimationSpeed(), 200);
    ASSERT_TRUE(driver.Tick()); // the wait is cut short by the change: frame 1 at once
    EXPECT_EQ(driver.now, 0);
    image->Draw(canvas, {0, 0, 1, 1});
    EXPECT_EQ(canvas.Grey(0, 0), 20);
    // Paused: nothing waits with a time-out; resumed: the rest of the wait, 48 ms at 200 percent.
    image->PaintPause();
    EXPECT_FALSE(driver.Tick());
    image->PaintResume();
    EXPECT_EQ(driver.pendingMs, 24);
    ASSERT_TRUE(driver.Tick());
    image->Draw(canvas, {0, 0, 1, 1});
    EXPECT_EQ(canvas.Grey(0, 0), 30);
    // Without goLoopContinously and a looping block the frames play once: the painter has ended.
    EXPECT_EQ(image->DrawPainter(), nullptr);
    EXPECT_EQ(image->Painters().Count(), 0);
    EXPECT_FALSE(driver.Tick());

    // Stop ends a waiting painter at once; the next Draw starts again at the first frame.
    image->Draw(canvas, {0, 0, 1, 1});
    EXPECT_EQ(canvas.Grey(0, 0), 30) << "the cached bitmap stays shown";
    image->StopDraw();
    image->Draw(canvas, {0, 0, 1, 1});
    EXPECT_EQ(canvas.Grey(0, 0), 10);
    image->PaintStop();
    EXPECT_EQ(image->DrawPainter(), nullptr);
    EXPECT_EQ(image->Painters().Count(), 0);
    EXPECT_EQ(driver.pending, nullptr);
    EXPECT_EQ(image->Bitmap()->Pixels24[0][0].g, 10) << "a new still rendering after the stop";

    // Paint starts a painter of its own; PaintRestart begins again at frame 0 after the frame waited for.
    Canvas other(1, 1);
    std::vector<int> greys;
    image->OnAfterPaint = [&](TGIFPainter&) { greys.push_back(other.Grey(0, 0)); };
    TGIFPainter* p = image->Paint(other, {0, 0, 1, 1}, DrawOptions({goAsync, goAnimate, goLoop}));
    ASSERT_NE(p, nullptr);
    image->PaintRestart();
    driver.Tick();
    driver.Tick();
    EXPECT_EQ(greys, (std::vector<int>{10, 20, 10}));
    image->PaintStop();
}

TEST(gifImageDraw, DestroyingThePictureDetachesItsPainters) {
    // While the drawing painter waits, and from the picture's change handler while it draws frame 1.
    for (bool fromHandler : {false, true}) {
        OwningDriver driver;
        auto image = Animation(driver, 3);
        image->SetDrawOptions(image->DrawOptions() | DrawOption(goLoopContinously));
        Canvas canvas(1, 1), other(1, 1);
        image->Paint(other, {0, 0, 1, 1}, image->DrawOptions());
        image->Draw(canvas, {0, 0, 1, 1}); // its painter waits on the fake clock
        int frames = 0;
        image->OnChange = [&](const void*) {
            if (++frames == 1 && fromHandler) image.reset();
        };
        if (fromHandler)
            driver.Tick();
        else
            image.reset();
        ASSERT_EQ(driver.owned.size(), 2u);
        for (auto& [c, p] : driver.owned) {
            EXPECT_EQ(p->Image(), nullptr);
            EXPECT_TRUE(p->Finished());
        }
        EXPECT_FALSE(driver.Tick());
    }
}

TEST(gifImageDraw, StillPicturesDrawWithoutAPainter) {
    struct Case {
        const char* what;
        int frames;
        bool animate;
        int forceFrame;
        int grey;
    };
    const Case cases[] = {
        {"one frame, animating options", 1, true, -1, 10},
        {"goAnimate clear", 3, false, -1, 10},
        {"goAnimate clear, ForceFrame 2", 3, false, 2, 30},
        {"ForceFrame out of range", 3, false, 3, 10},
    };
    for (const Case& c : cases) {
        OwningDriver driver;
        auto image = Animation(driver, c.frames);
        image->SetAnimate(c.animate);
        image->SetForceFrame(c.forceFrame);
        Canvas canvas(2, 1);
        image->Draw(canvas, {0, 0, 2, 1});
        EXPECT_EQ(canvas.Grey(1, 0), c.grey) << c.what;
        EXPECT_EQ(driver.created, 0) << c.what;
        EXPECT_EQ(image->DrawPainter(), nullptr) << c.what;
    }
    // Paint of one frame runs without goAsync and goAnimate: drawn in the call, nothing left running.
    OwningDriver driver;
    auto image = Animation(driver, 1);
    Canvas canvas(1, 1);
    EXPECT_EQ(image->Paint(canvas, {0, 0, 1, 1}, GIFDefaultDrawOptions), nullptr);
    EXPECT_EQ(canvas.Grey(0, 0), 10);
    EXPECT_EQ(image->Painters().Count(), 0);
    EXPECT_EQ(image->Paint(canvas, {0, 0, 0, 1}, GIFDefaultDrawOptions), nullptr) << "empty rectangle";
    // Without a painter driver an animation draws its first frame like a still picture.
    image = Animation(driver, 3);
    image->SetPainterDriver(nullptr);
    Canvas still(1, 1);
    image->Draw(still, {0, 0, 1, 1});
    EXPECT_EQ(still.Grey(0, 0), 10);
    EXPECT_EQ(image->DrawPainter(), nullptr);
}
