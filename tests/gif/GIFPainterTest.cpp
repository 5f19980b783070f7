// The painter on a fake clock: frame timing, speed, loops, restart, pause, stop, disposal, errors and
// the picture going away while painters run.
#include <gtest/gtest.h>

#include "FakePainterDriver.h"
#include "GifTestUtil.h"
#include "gif/GIFPainter.h"

namespace {

using FakeDriver = FakePainterDriver;

struct FakeCanvas : TGIFPaintCanvas {
    TFastDIB dib;
    bool gone = false;
    FakeCanvas(int w, int h) { dib.SetSize(w, h, 24, 0); }
    Surface Pixels() override { return gone ? Surface{} : dib.AsSurface(); }
    std::vector<int> Greys() const {
        std::vector<int> out;
        for (int x = 0; x < dib.Width; ++x) out.push_back(dib.Pixels24[0][x].g);
        return out;
    }
};

void AddGCE(TGIFSubImage* f, int delay, TDisposalMethod disposal = dmNoDisposal) {
    auto g = std::make_unique<TGIFGraphicControlExtension>(f);
    g->SetDelay(delay);
    g->SetDisposal(disposal);
    f->Extensions().Add(std::move(g));
}
void AddLoop(TGIFSubImage* f, int loops) {
    auto l = std::make_unique<TGIFAppExtNSLoop>(f);
    l->SetLoops(loops);
    f->Extensions().Add(std::move(l));
}

// Three frames: delay 1 with the looping block, delay 5000, no control extension.
struct Timed {
    WarnedImage W;
    FakeDriver Driver;
    FakeCanvas Canvas{1, 1};
    std::vector<std::pair<int, std::int64_t>> Drawn; // frame, time
    int DrawCost = 0;                                // milliseconds each drawing takes
    int Starts = 0, Loops = 0, Ends = 0;
    explicit Timed(int loops) {
        TGIFSubImage* f0 = AddFrame(W.Image, 0, 0, 1, 1);
        AddGCE(f0, 1);
        AddLoop(f0, loops);
        AddGCE(AddFrame(W.Image, 0, 0, 1, 1), 5000);
        AddFrame(W.Image, 0, 0, 1, 1);
    }
    TGIFPaintSettings Settings(TGIFDrawOptions options, int speed = 100) {
        TGIFPaintSettings s;
        s.DrawOptions = options;
        s.AnimationSpeed = speed;
        s.DrawFrame = [this](TGIFSubImage& f, const Surface&, const TGIFRect&, bool, bool) {
            Drawn.push_back({W.Image.Images().IndexOf(&f), Driver.now});
            Driver.now += DrawCost;
        };
        s.OnStartPaint = [this](TGIFPainter&) { ++Starts; };
        s.OnLoop = [this](TGIFPainter&) { ++Loops; };
        s.OnEndPaint = [this](TGIFPainter&) { ++Ends; };
        return s;
    }
    void Run(int maxDraws) {
        while (static_cast<int>(Drawn.size()) < maxDraws && Driver.Tick()) {
        }
    }
};

using Draws = std::vector<std::pair<int, std::int64_t>>;
constexpr TGIFDrawOptions Animated = DrawOptions({goAsync, goAnimate, goLoop});

} // namespace

TEST(gifPainter, FrameTimesOnAFakeClock) {
    struct Case {
        const char* what;
        int loops;
        TGIFDrawOptions options;
        int speed;
        int drawCost;
        Draws want;
    };
    // Delay 1 is raised to 3 hundredths (36 ms at 12 ms each), no extension gives 10 (120 ms), 5000
    // stays 5000 (60000 ms) when animating and is cut to 1000 (12000 ms) without goAsync, which also
    // waits 1 hundredth (12 ms) before the first frame.
    const Case cases[] = {
        {"endless with Loops 0", 0, Animated, 100, 0, {{0, 0}, {1, 36}, {2, 60036}, {0, 60156}, {1, 60192}}},
        {"speed 200 halves", 0, Animated, 200, 0, {{0, 0}, {1, 18}, {2, 30018}, {0, 30078}}},
        {"half the drawing time is taken off", 0, Animated, 100, 10, {{0, 0}, {1, 41}, {2, 60046}}},
        {"Loops 3 plays three times (3.6 ms rounds to 4)",
         3,
         Animated,
         1000,
         0,
         {{0, 0}, {1, 4}, {2, 6004}, {0, 6016}, {1, 6020}, {2, 12020}, {0, 12032}, {1, 12036}, {2, 18036}}},
        {"without goLoop once", 0, DrawOptions({goAsync, goAnimate}), 100, 0, {{0, 0}, {1, 36}, {2, 60036}}},
        {"without goAnimate frame 0 only", 0, DrawOptions({goAsync, goLoop}), 100, 0, {{0, 0}}},
        {"without goAsync, Loops 0 plays once",
         0,
         DrawOptions({goAnimate, goLoop}),
         100,
         0,
         {{0, 12}, {1, 48}, {2, 12048}}},
    };
    for (const Case& c : cases) {
        Timed t(c.loops);
        t.DrawCost = c.drawCost;
        TGIFPainter* ref = nullptr;
        TGIFPainter p(&t.W.Image, t.Canvas, {0, 0, 1, 1}, t.Settings(c.options, c.speed), t.Driver, &ref);
        EXPECT_EQ(ref, &p);
        p.Execute();
        t.Run(static_cast<int>(c.want.size()));
        EXPECT_EQ(t.Drawn, c.want) << c.what;
        const bool ends = !(c.options & DrawOption(goLoop)) || !(c.options & DrawOption(goAnimate)) ||
                          c.loops == 3 || !(c.options & DrawOption(goAsync));
        EXPECT_EQ(p.Finished(), ends) << c.what;
        EXPECT_EQ(t.Ends, ends ? 1 : 0) << c.what;
        EXPECT_EQ(t.W.Image.Painters().Count(), ends ? 0 : 1) << c.what;
        EXPECT_EQ(ref, ends ? nullptr : &p) << c.what;
        EXPECT_EQ(t.Starts, 1) << c.what;
        if (c.loops == 3) {
            EXPECT_EQ(t.Loops, 2);
        }
    }
    // The synchronous painter slept 12 and 36 ms, then 12000 ms in steps of 100.
    Timed s(0);
    TGIFPainter p(&s.W.Image, s.Canvas, {0, 0, 1, 1}, s.Settings(DrawOptions({goAnimate, goLoop})), s.Driver);
    p.Execute();
    ASSERT_EQ(s.Driver.sleeps.size(), 122u);
    EXPECT_EQ(s.Driver.sleeps[0], 12);
    EXPECT_EQ(s.Driver.sleeps[1], 36);
    EXPECT_EQ(s.Driver.sleeps[121], 100);
}

TEST(gifPainter, SpeedRestartPauseAndStop) {
    // Speed 0 holds the animation until the speed changes; the wait then ends at once.
    {
        Timed t(0);
        TGIFPainter p(&t.W.Image, t.Canvas, {0, 0, 1, 1}, t.Settings(Animated, 0), t.Driver);
        p.Start();
        EXPECT_FALSE(t.Driver.Tick());
        t.Driver.now = 5000;
        p.SetAnimationSpeed(100);
        t.Run(3);
        EXPECT_EQ(t.Drawn, (Draws{{0, 0}, {1, 5000}, {2, 65000}}));
    }
    // Restart: the frame being waited for is still shown, then frame 0 again with a new start.
    {
        Timed t(0);
        TGIFPainter p(&t.W.Image, t.Canvas, {0, 0, 1, 1}, t.Settings(Animated), t.Driver);
        p.Start();
        p.Restart();
        t.Run(3);
        EXPECT_EQ(t.Drawn, (Draws{{0, 0}, {1, 36}, {0, 36}}));
        EXPECT_EQ(t.Starts, 2);
    }
    // A handler that restarts after every frame: each new start returns to the driver first.
    {
        Timed t(0);
        TGIFPaintSettings s = t.Settings(Animated);
        s.OnAfterPaint = [](TGIFPainter& sender) { sender.Restart(); };
        TGIFPainter p(&t.W.Image, t.Canvas, {0, 0, 1, 1}, s, t.Driver);
        p.Start();
        EXPECT_EQ(t.Drawn, (Draws{{0, 0}}));
        t.Driver.Tick();
        EXPECT_EQ(t.Drawn, (Draws{{0, 0}, {0, 0}}));
    }
    // Pause holds the painter at its wait; Start resumes it, at once when the wait is over.
    {
        Timed t(0);
        TGIFPainter p(&t.W.Image, t.Canvas, {0, 0, 1, 1}, t.Settings(Animated), t.Driver);
        p.Start();
        p.Pause();
        EXPECT_FALSE(t.Driver.Tick());
        t.Driver.now = 1000;
        p.Start();
        EXPECT_EQ(t.Driver.pendingMs, 0);
        t.Run(2);
        EXPECT_EQ(t.Drawn, (Draws{{0, 0}, {1, 1000}}));
    }
    // Stop ends a waiting painter at once: it leaves the picture and clears the back-reference, and
    // events are no longer fired.
    {
        Timed t(0);
        TGIFPainter* ref = nullptr;
        TGIFPainter p(&t.W.Image, t.Canvas, {0, 0, 1, 1}, t.Settings(Animated), t.Driver, &ref);
        p.Start();
        t.W.Image.Painters().PaintStop();
        EXPECT_TRUE(p.Finished());
        EXPECT_EQ(t.Driver.pending, nullptr);
        EXPECT_EQ(t.Driver.finished, 1);
        EXPECT_EQ(ref, nullptr);
        EXPECT_EQ(t.W.Image.Painters().Count(), 0);
        EXPECT_EQ(t.Ends, 0);
        EXPECT_EQ(p.ActiveImage(), -1);
    }
}

TEST(gifPainter, ThePictureGoingDetachesItsPainters) {
    // Destroyed while a painter waits.
    {
        Timed t(0);
        auto image = std::make_unique<TGIFImage>();
        AddFrame(*image, 0, 0, 1, 1);
        AddFrame(*image, 0, 0, 1, 1);
        TGIFPaintSettings s;
        s.DrawOptions = Animated;
        TGIFPainter p(image.get(), t.Canvas, {0, 0, 1, 1}, s, t.Driver);
        p.Start();
        image.reset();
        EXPECT_EQ(p.Image(), nullptr);
        EXPECT_TRUE(p.Finished());
        EXPECT_EQ(t.Driver.pending, nullptr);
        p.Continue(); // a late timer does nothing
    }
    // Destroyed by a handler of the painter's own event, while it draws.
    {
        Timed t(0);
        auto image = std::make_unique<TGIFImage>();
        AddFrame(*image, 0, 0, 1, 1);
        AddFrame(*image, 0, 0, 1, 1);
        TGIFPaintSettings s;
        s.DrawOptions = Animated;
        int drawn = 0;
        s.DrawFrame = [&](TGIFSubImage&, const Surface&, const TGIFRect&, bool, bool) { ++drawn; };
        s.OnPaint = [&](TGIFPainter& sender) {
            if (sender.ActiveImage() == 1) image.reset();
        };
        TGIFPainter p(image.get(), t.Canvas, {0, 0, 1, 1}, s, t.Driver);
        p.Start();
        t.Run(5);
        EXPECT_EQ(drawn, 1);
        EXPECT_TRUE(p.Finished());
        EXPECT_EQ(t.Driver.finished, 1);
    }
}

TEST(gifPainter, ErrorsGoToTheWarningHandlerNotOutOfTheLoop) {
    for (bool warned : {true, false}) {
        Timed t(0);
        std::string handled;
        SetGIFPainterErrorHandler([&](const std::string& m) { handled = m; });
        if (!warned) t.W.Image.OnWarning = nullptr;
        TGIFPaintSettings s = t.Settings(Animated);
        s.DrawFrame = [&](TGIFSubImage& f, const Surface&, const TGIFRect&, bool, bool) {
            if (t.W.Image.Images().IndexOf(&f) == 1) GIFError("boom");
        };
        TGIFPainter p(&t.W.Image, t.Canvas, {0, 0, 1, 1}, s, t.Driver);
        p.Start();
        EXPECT_NO_THROW(t.Run(5));
        EXPECT_TRUE(p.Finished());
        EXPECT_EQ(p.Error(), "boom");
        EXPECT_EQ(t.W.Warned("boom"), warned);
        EXPECT_EQ(handled, warned ? "" : "boom");
        SetGIFPainterErrorHandler(nullptr);
    }
}

TEST(gifPainter, DisposalOnAFakeCanvas) {
    // Frames of one grey each on a 4 x 1 screen drawn into columns 1..4 of a 6 x 1 canvas that shows
    // 1, 50, 51, 52, 53, 2; the background colour is grey 99. Without goTransparent disposal to the
    // background fills with 99; with it, what the canvas showed before comes back.
    struct F {
        int left, width, grey;
        TDisposalMethod disposal;
    };
    const F frames[] = {{0, 4, 10, dmNone}, {1, 2, 20, dmBackground}, {2, 2, 30, dmPrevious},
                        {0, 1, 40, dmNone}, {1, 1, 50, dmPrevious},   {3, 1, 60, dmNone}};
    const std::vector<std::vector<int>> opaque = {{1, 10, 10, 10, 10, 2}, {1, 10, 20, 20, 10, 2},
                                                  {1, 10, 99, 30, 30, 2}, {1, 40, 99, 99, 10, 2},
                                                  {1, 40, 50, 99, 10, 2}, {1, 40, 99, 99, 60, 2}};
    const std::vector<std::vector<int>> transparent = {{1, 10, 10, 10, 10, 2}, {1, 10, 20, 20, 10, 2},
                                                       {1, 10, 51, 30, 30, 2}, {1, 40, 51, 52, 10, 2},
                                                       {1, 40, 50, 52, 10, 2}, {1, 40, 51, 52, 60, 2}};
    for (bool tr : {false, true}) {
        WarnedImage w;
        for (const F& f : frames) {
            TGIFSubImage* s = AddFrame(w.Image, f.left, 0, f.width, 1);
            s->ColorMap().Add(RGBColor(f.grey, f.grey, f.grey));
            AddGCE(s, 0, f.disposal);
        }
        w.Image.Header().SetWidth(4);
        w.Image.Header().SetHeight(1);
        FakeDriver driver;
        FakeCanvas canvas(6, 1);
        const int start[6] = {1, 50, 51, 52, 53, 2};
        for (int x = 0; x < 6; ++x)
            canvas.dib.Pixels24[0][x] =
                TFColor{std::uint8_t(start[x]), std::uint8_t(start[x]), std::uint8_t(start[x])};
        std::vector<std::vector<int>> shown;
        TGIFPaintSettings s;
        s.DrawOptions = Animated | (tr ? DrawOption(goTransparent) : 0);
        s.DrawBackgroundColor = RGBColor(99, 99, 99);
        s.OnAfterPaint = [&](TGIFPainter&) { shown.push_back(canvas.Greys()); };
        TGIFPainter p(&w.Image, canvas, {1, 0, 5, 1}, s, driver);
        p.Start();
        while (shown.size() < 6 && driver.Tick()) {
        }
        EXPECT_EQ(shown, tr ? transparent : opaque) << tr;
    }
}

TEST(gifPainter, CanvasThatGoesAndFrameDrawing) {
    // With goValidateCanvas a canvas that has gone ends the painter; without, frames are skipped.
    for (bool validate : {true, false}) {
        Timed t(0);
        TGIFPaintSettings s;
        s.DrawOptions = Animated | (validate ? DrawOption(goValidateCanvas) : 0);
        TGIFPainter p(&t.W.Image, t.Canvas, {0, 0, 1, 1}, s, t.Driver);
        p.Start();
        t.Canvas.gone = true;
        t.Driver.Tick();
        EXPECT_EQ(p.Finished(), validate);
    }
    // A 1 x 1 red frame at (1, 1) of a 2 x 2 screen: tiled over 5 x 5 from (0, 0) it lands at 1 and 3
    // in both directions; stretched into 4 x 4 it covers (2..3, 2..3); as the transparent index it
    // draws nothing.
    WarnedImage w;
    TGIFSubImage* f = AddFrame(w.Image, 1, 1, 1, 1);
    f->ColorMap().Add(RGBColor(255, 0, 0));
    w.Image.Header().SetWidth(2);
    w.Image.Header().SetHeight(2);
    auto reds = [](TFastDIB& d) {
        std::vector<std::pair<int, int>> out;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x)
                if (d.Pixels24[y][x].r == 255) out.push_back({x, y});
        return out;
    };
    TFastDIB c;
    c.SetSize(5, 5, 24, 0);
    DrawGIFFrame(*f, c.AsSurface(), {0, 0, 5, 5}, false, true);
    EXPECT_EQ(reds(c), (std::vector<std::pair<int, int>>{{1, 1}, {3, 1}, {1, 3}, {3, 3}}));
    TFastDIB d;
    d.SetSize(5, 5, 24, 0);
    DrawGIFFrame(*f, d.AsSurface(), {0, 0, 4, 4}, false, false);
    EXPECT_EQ(reds(d), (std::vector<std::pair<int, int>>{{2, 2}, {3, 2}, {2, 3}, {3, 3}}));
    auto g = std::make_unique<TGIFGraphicControlExtension>(f);
    g->SetTransparentColorIndex(0);
    g->SetTransparent(true);
    f->Extensions().Add(std::move(g));
    TFastDIB e;
    e.SetSize(5, 5, 24, 0);
    DrawGIFFrame(*f, e.AsSurface(), {0, 0, 4, 4}, true, false);
    EXPECT_TRUE(reds(e).empty());
    // A picture of width 0 draws nothing, tiled or not.
    w.Image.Header().SetWidth(0);
    DrawGIFFrame(*f, e.AsSurface(), {0, 0, 4, 4}, false, true);
    EXPECT_TRUE(reds(e).empty());
}
