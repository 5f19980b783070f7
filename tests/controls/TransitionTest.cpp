// The picture-transition control: the blend arithmetic, the dissolve's pixel list, and the runs with
// their frames, events, reversal and early ends, driven on real controls offscreen.
#include "common/QtTestSupport.h"
#include "controls/TransitionControl.h"
#include "controls/TransitionFrames.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTimer>

#include <chrono>
#include <cstring>
#include <functional>
#include <set>
#include <string>

namespace {

// Every byte of the picture's memory (padding included) set from `f(k)`.
void FillBytes(TFastDIB& bm, int W, int H, const std::function<int(std::size_t)>& f) {
    bm.SetSize(W, H, 24, 0);
    for (std::size_t k = 0; k < static_cast<std::size_t>(bm.ByteCount()); ++k)
        bm.Bits[k] = static_cast<std::uint8_t>(f(k));
}

TEST(TransitionFrames, BlendBitsByHand) {
    struct Case {
        int from, to, w, want;
    } cases[] = {
        {200, 10, 5, 170},  // (200 * 27 + 10 * 5) div 32 = 5450 div 32
        {200, 10, 16, 105}, // (3200 + 160) div 32
        {255, 0, 1, 247},   // 7905 div 32
        {1, 254, 31, 246},  // (1 + 7874) div 32
        {0, 255, 32, 255},  // the last weight gives the target exactly
        {77, 3, 32, 3},
    };
    for (const Case& c : cases) {
        TFastDIB from, to, dest;
        // 5 x 3: 16 bytes a row (15 of pixels, one of padding), so every byte lane of a word is used.
        FillBytes(from, 5, 3, [&](std::size_t) { return c.from; });
        FillBytes(to, 5, 3, [&](std::size_t) { return c.to; });
        FillBytes(dest, 5, 3, [&](std::size_t) { return 9; });
        ASSERT_TRUE(BlendBits(from, to, dest, c.w));
        for (std::size_t k = 0; k < 48; ++k)
            ASSERT_EQ(dest.Bits[k], c.want) << c.from << " " << c.to << " " << c.w;
    }
}

TEST(TransitionFrames, BlendBitsEveryLaneByTheFormula) {
    TFastDIB from, to, dest;
    FillBytes(from, 7, 5, [](std::size_t k) { return static_cast<int>((k * 37 + 11) % 256); });
    FillBytes(to, 7, 5, [](std::size_t k) { return static_cast<int>((k * 101 + 200) % 256); });
    for (int w = 0; w <= 32; ++w) {
        FillBytes(dest, 7, 5, [](std::size_t) { return 42; });
        ASSERT_TRUE(BlendBits(from, to, dest, w));
        for (std::size_t k = 0; k < static_cast<std::size_t>(dest.ByteCount()); ++k) {
            const int want = w == 0 ? 42 : (from.Bits[k] * (32 - w) + to.Bits[k] * w) / 32;
            ASSERT_EQ(dest.Bits[k], want) << "w " << w << " byte " << k;
        }
    }
    // Pictures of different sizes are left alone.
    TFastDIB small;
    FillBytes(small, 6, 5, [](std::size_t) { return 1; });
    EXPECT_FALSE(BlendBits(small, to, dest, 10));
}

TEST(TransitionFrames, WeightsAndChunks) {
    for (int i = 0; i <= 32; ++i) EXPECT_EQ(BlendWeight(i, 32), i);
    // Rate 64: each weight twice, 32 once at the end.
    for (int i = 0; i <= 64; ++i) EXPECT_EQ(BlendWeight(i, 64), i / 2);
    EXPECT_EQ(DissolveChunk(256 * 180, 550), 83);
    EXPECT_EQ(DissolveChunk(75 * 75, 125), 45);
    EXPECT_EQ(DissolveChunk(16, 0), 16); // a rate of 0 counts as 1
    EXPECT_EQ(DissolveChunk(100, 101), 0);
}

TEST(TransitionFrames, PixelListIsAPermutation) {
    const std::vector<TPixelPair> list = BuildPixelList(13, 7);
    ASSERT_EQ(list.size(), 91u);
    std::set<int> seen;
    for (const TPixelPair& p : list) {
        ASSERT_TRUE(p.row >= 0 && p.row < 7 && p.col >= 0 && p.col < 13);
        seen.insert(p.row * 13 + p.col);
    }
    EXPECT_EQ(seen.size(), 91u);
    EXPECT_TRUE(BuildPixelList(0, 5).empty());
}

TEST(TransitionFrames, CopyPixelsSkipsPairsOutsideThePictures) {
    TFastDIB from, to;
    FillBytes(from, 4, 4, [](std::size_t) { return 200; });
    FillBytes(to, 2, 2, [](std::size_t) { return 0; });
    const TPixelPair pairs[] = {{0, 0}, {3, 3}, {1, 1}, {-1, 0}, {0, 2}};
    CopyPixels(pairs, pairs + 5, from, to);
    EXPECT_EQ(to.Pixels24[0][0].r, 200);
    EXPECT_EQ(to.Pixels24[1][1].g, 200);
    EXPECT_EQ(to.Pixels24[0][1].b, 0);
    EXPECT_EQ(to.Pixels24[1][0].b, 0);
}

// --- the control ---

// Records what every frame shows.
class RecordingFade : public TZorvFade {
public:
    using TZorvFade::TZorvFade;
    std::vector<TFColor> firstPixel;
    std::vector<std::int64_t> changed; // pixels of bmF that differ from bmT, per frame
    bool countChanged = false;
    std::function<void(int frame)> onFrame;

protected:
    void FrameShown() override {
        firstPixel.push_back(bmF().Pixels24[0][0]);
        if (countChanged) {
            std::int64_t n = 0;
            for (int y = 0; y < bmF().Height; ++y)
                for (int x = 0; x < bmF().Width; ++x) n += !(bmF().Pixels24[y][x] == bmT().Pixels24[y][x]);
            changed.push_back(n);
        }
        if (onFrame) onFrame(static_cast<int>(firstPixel.size()) - 1);
    }
};

// A picture whose every pixel differs from Pattern(…, 1): r = x, g = y, b = seed.
struct Pattern {
    TFastDIB bm;
    Pattern(int W, int H, int seed) {
        bm.SetSize(W, H, 24, 0);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                bm.Pixels24[y][x] = TFColor{static_cast<std::uint8_t>(seed), static_cast<std::uint8_t>(y),
                                            static_cast<std::uint8_t>(x)};
    }
    operator const TFastDIB&() const { return bm; }
};

class Fade : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApplication(); }
    // Runs fast: no frame time, no pause before a reversal.
    static void Quick(TZorvFade& f) {
        f.SetMsecPerFrame(0);
        f.SetSwapDelay(0);
    }
};

TEST_F(Fade, Defaults) {
    TZorvFade f;
    EXPECT_EQ(f.width(), 75);
    EXPECT_EQ(f.height(), 75);
    EXPECT_EQ(f.ColorFrom(), clBlack);
    EXPECT_EQ(f.ColorTo(), clWhite);
    EXPECT_EQ(f.DisolvRate(), 125);
    EXPECT_EQ(f.BlendRate(), 32);
    EXPECT_EQ(f.MsecPerFrame(), 40);
    EXPECT_TRUE(f.StretchToFit());
    EXPECT_FALSE(f.ProcessMsgs());
    EXPECT_FALSE(f.Finish());
    EXPECT_FALSE(f.AutoReverse());
    EXPECT_TRUE(f.SwapOnReverse());
    EXPECT_EQ(f.SwapDelay(), 1);
    EXPECT_EQ(f.EffectMode(), zemBlend);
    EXPECT_EQ(f.CustomTransition(), nullptr);
    EXPECT_EQ(f.bmF().Width, 75);
    EXPECT_EQ(f.bmF().Height, 75);
    EXPECT_EQ(f.bmF().Pixels24[40][40], (TFColor{0, 0, 0}));
}

TEST_F(Fade, RatesAreHeldInRange) {
    TZorvFade f;
    f.SetDisolvRate(0);
    EXPECT_EQ(f.DisolvRate(), 1);
    f.SetDisolvRate(100000);
    EXPECT_EQ(f.DisolvRate(), 5625);
    f.SetBlendRate(-4);
    EXPECT_EQ(f.BlendRate(), 1);
}

TEST_F(Fade, BlendFramesAndEvents) {
    struct Case {
        int rate;
        int frames;
    } cases[] = {{32, 33}, {64, 65}, {1, 2}};
    for (const Case& c : cases) {
        RecordingFade f;
        Quick(f);
        f.SetBlendRate(c.rate);
        std::string order;
        QObject::connect(&f, &TZorvFade::OnReset, [&] { order += "R"; });
        QObject::connect(&f, &TZorvFade::OnBegin, [&] { order += "B"; });
        QObject::connect(&f, &TZorvFade::OnEnd, [&] { order += "E"; });
        f.Blend();
        EXPECT_EQ(order, "RBE");
        ASSERT_EQ(static_cast<int>(f.firstPixel.size()), c.frames);
        // From black to white: frame i shows (255 * w) div 32 with w = (i * 32) div rate.
        for (int i = 0; i < c.frames; ++i) {
            const int w = (i * 32) / c.rate;
            EXPECT_EQ(f.firstPixel[i].r, (255 * w) / 32) << c.rate << " frame " << i;
        }
        EXPECT_TRUE(SameDIB(f.bmF(), f.bmT()));
    }
}

TEST_F(Fade, DissolveEndsExactlyOnTheTarget) {
    struct Case {
        int W, H, rate;
        int perFrame, frames, rest;
    } cases[] = {
        {75, 75, 125, 45, 125, 0},
        {256, 180, 550, 83, 555, 15},
        {7, 3, 4, 5, 4, 1},
    };
    for (const Case& c : cases) {
        RecordingFade f;
        Quick(f);
        f.resize(c.W, c.H);
        f.SetPicFrom(Pattern(c.W, c.H, 1));
        f.SetPicTo(Pattern(c.W, c.H, 2));
        f.SetDisolvRate(c.rate);
        f.countChanged = true;
        f.Dissolve();
        EXPECT_EQ(f.NumPix(), static_cast<std::int64_t>(c.W) * c.H);
        // The paced frames, then one more with the remainder.
        ASSERT_EQ(static_cast<int>(f.changed.size()), c.frames + 1) << c.W;
        for (int i = 0; i < c.frames; ++i)
            ASSERT_EQ(f.changed[i],
                      static_cast<std::int64_t>(c.W) * c.H - static_cast<std::int64_t>(c.perFrame) * (i + 1));
        EXPECT_EQ(f.changed.back(), 0);
        EXPECT_TRUE(SameDIB(f.bmF(), f.bmT()));
        EXPECT_TRUE(SameDIB(f.bmT(), Pattern(c.W, c.H, 2)));
    }
}

TEST_F(Fade, DissolveRefusesMoreRateThanPixels) {
    TZorvFade f;
    Quick(f);
    f.SetPicFrom(Pattern(75, 75, 1));
    f.resize(10, 10); // the rate of 125 was set for 75 x 75
    QSignalSpy begin(&f, &TZorvFade::OnBegin);
    try {
        f.Dissolve();
        FAIL() << "no exception";
    } catch (const EZorvFade& e) {
        EXPECT_STREQ(e.what(), "DisolvRate cannot be > Width * Height!");
    }
    EXPECT_EQ(begin.count(), 0);
    EXPECT_EQ(f.bmF().Width, 10); // rendered again at the new size

    // A reverse dissolve that refuses leaves nothing swapped.
    f.SetColorFrom(0x000011);
    f.SetColorTo(0x002200);
    f.SetStretchToFit(true);
    EXPECT_THROW(f.UnDissolve(), EZorvFade);
    EXPECT_FALSE(f.Reversed());
    EXPECT_EQ(f.ColorFrom(), 0x000011u);
    EXPECT_EQ(f.ColorTo(), 0x002200u);
}

TEST_F(Fade, DissolveRateZeroCountsAsOne) {
    TZorvFade f;
    Quick(f);
    f.resize(0, 0);
    f.SetDisolvRate(5); // no area: stored as 0
    EXPECT_EQ(f.DisolvRate(), 0);
    f.resize(4, 4);
    f.SetColorTo(0x0000FF);
    f.Dissolve();
    EXPECT_TRUE(SameDIB(f.bmF(), f.bmT()));
    EXPECT_EQ(f.bmF().Pixels24[3][3], (TFColor{0, 0, 255}));
}

TEST_F(Fade, AutoReverseRunsTheOtherEffectBack) {
    for (bool swapEffect : {true, false}) {
        for (bool startWithBlend : {true, false}) {
            RecordingFade f;
            Quick(f);
            f.resize(20, 10);
            f.SetPicFrom(Pattern(20, 10, 1));
            f.SetPicTo(Pattern(20, 10, 2));
            f.SetDisolvRate(10);
            f.SetAutoReverse(true);
            f.SetSwapOnReverse(swapEffect);
            QSignalSpy begin(&f, &TZorvFade::OnBegin);
            QSignalSpy end(&f, &TZorvFade::OnEnd);
            if (startWithBlend)
                f.Blend();
            else
                f.Dissolve();
            EXPECT_EQ(begin.count(), 1);
            EXPECT_EQ(end.count(), 1);
            EXPECT_FALSE(f.Reversed());
            EXPECT_TRUE(SameDIB(f.bmF(), Pattern(20, 10, 1))); // back on the From picture
            EXPECT_TRUE(SameDIB(f.PicFrom(), Pattern(20, 10, 1)));
            EXPECT_TRUE(SameDIB(f.PicTo(), Pattern(20, 10, 2)));
            // Forward frames (blend 33, dissolve 10 + 1), then the way back: a blend reverses as a
            // dissolve when SwapOnReverse is set.
            const bool backIsBlend = startWithBlend != swapEffect;
            const int forward = startWithBlend ? 33 : 11, back = backIsBlend ? 33 : 11;
            EXPECT_EQ(static_cast<int>(f.firstPixel.size()), forward + back);
        }
    }
}

TEST_F(Fade, NegativeSwapDelayWaitsNothing) {
    TZorvFade f;
    Quick(f);
    f.resize(4, 4);
    f.SetAutoReverse(true);
    f.SetSwapOnReverse(false);
    f.SetSwapDelay(-5);
    const auto t0 = std::chrono::steady_clock::now();
    f.Blend();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
}

TEST_F(Fade, FramesArePacedFromTheStart) {
    TZorvFade f;
    f.resize(4, 4);
    f.SetMsecPerFrame(15);
    f.SetBlendRate(4); // 5 frames, each waiting for its deadline
    const auto t0 = std::chrono::steady_clock::now();
    f.Blend();
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_GE(ms, 70);
    EXPECT_LT(ms, 3000);
}

TEST_F(Fade, FinishEndsARunOnlyWhileMessagesAreProcessed) {
    for (bool process : {true, false}) {
        RecordingFade f;
        Quick(f);
        f.resize(6, 6);
        f.SetProcessMsgs(process);
        f.SetAutoReverse(true);
        f.SetSwapOnReverse(false);
        f.onFrame = [&](int frame) {
            if (frame == 3) f.SetFinish(true);
        };
        QSignalSpy end(&f, &TZorvFade::OnEnd);
        f.Blend();
        if (process) {
            EXPECT_EQ(f.firstPixel.size(), 4u); // ended after frame 3, without reversing
            EXPECT_FALSE(f.Finish());
        } else {
            EXPECT_EQ(f.firstPixel.size(), 66u); // 33 there, 33 back
            EXPECT_TRUE(f.Finish());
        }
        EXPECT_EQ(end.count(), 1);
        if (process) {
            EXPECT_TRUE(SameDIB(f.bmF(), f.bmT())); // the target stays shown
        }
    }
}

TEST_F(Fade, FinishItLeavesTheTargetShown) {
    TZorvFade f;
    f.SetPicFrom(Pattern(75, 75, 1));
    f.SetPicTo(Pattern(75, 75, 2));
    f.SetFinish(true);
    QSignalSpy end(&f, &TZorvFade::OnEnd);
    f.FinishIt();
    EXPECT_EQ(end.count(), 1);
    EXPECT_FALSE(f.Finish());
    EXPECT_TRUE(SameDIB(f.bmF(), f.bmT()));
}

TEST_F(Fade, ReverseRunEndedEarlyRestoresItsState) {
    RecordingFade f;
    Quick(f);
    f.SetProcessMsgs(true);
    f.SetStretchToFit(false);
    f.SetColorFrom(0x000011);
    f.SetColorTo(0x002200);
    f.onFrame = [&](int frame) {
        EXPECT_TRUE(f.Reversed());
        EXPECT_TRUE(f.StretchToFit());
        if (frame == 2) f.SetFinish(true);
    };
    f.UnBlend();
    EXPECT_EQ(f.firstPixel.size(), 3u);
    EXPECT_FALSE(f.Reversed());
    EXPECT_FALSE(f.StretchToFit());
    EXPECT_EQ(f.ColorFrom(), 0x000011u);
    EXPECT_EQ(f.ColorTo(), 0x002200u);
    EXPECT_EQ(f.bmF().Pixels24[0][0], (TFColor{0, 0, 0x11})); // the From colour, red 0x11
}

TEST_F(Fade, ReverseRunsSurviveResetsAndNesting) {
    // A change of size during a reverse run puts everything back at once; the run's end leaves it so.
    {
        RecordingFade f;
        Quick(f);
        f.SetProcessMsgs(true);
        f.SetColorFrom(0x000011);
        f.SetColorTo(0x002200);
        f.SetPicFrom(Pattern(75, 75, 1));
        f.SetPicTo(Pattern(75, 75, 2));
        f.onFrame = [&](int frame) {
            if (frame == 1) f.resize(40, 30);
        };
        f.UnBlend();
        EXPECT_FALSE(f.Reversed());
        EXPECT_EQ(f.ColorFrom(), 0x000011u);
        EXPECT_TRUE(SameDIB(f.PicFrom(), Pattern(75, 75, 1)));
        EXPECT_TRUE(SameDIB(f.PicTo(), Pattern(75, 75, 2)));
    }
    // A reverse run started inside another (from an event handler) leaves the user's settings.
    {
        RecordingFade f;
        Quick(f);
        f.SetProcessMsgs(true);
        f.SetStretchToFit(false);
        f.SetColorFrom(0x000011);
        f.SetColorTo(0x002200);
        bool nested = false;
        f.onFrame = [&](int) {
            if (nested) return;
            nested = true;
            f.UnBlend();
        };
        f.UnBlend();
        EXPECT_FALSE(f.Reversed());
        EXPECT_FALSE(f.StretchToFit());
        EXPECT_EQ(f.ColorFrom(), 0x000011u);
        EXPECT_EQ(f.ColorTo(), 0x002200u);
    }
}

TEST_F(Fade, OnlyAToPictureSetsTheSize) {
    TZorvFade f;
    f.SetStretchToFit(false);
    f.SetPicTo(Pattern(30, 20, 2));
    EXPECT_EQ(f.width(), 30);
    EXPECT_EQ(f.height(), 20);
    EXPECT_TRUE(SameDIB(f.bmT(), Pattern(30, 20, 2)));
    EXPECT_EQ(f.bmF().Pixels24[5][5], (TFColor{0, 0, 0}));
    EXPECT_EQ(f.bmZ().Width, 30);
}

class CountingTransition : public TZorvCustomTransitionBase {
public:
    int calls = 0;
    TZorvFade* seen = nullptr;
    void Transition(TZorvFade* ZorvFade, TFastDIB& bmpFrom, TFastDIB& bmpTo, TFastDIB&) override {
        ++calls;
        seen = ZorvFade;
        std::memcpy(bmpFrom.Bits, bmpTo.Bits, static_cast<std::size_t>(bmpTo.ByteCount()));
    }
    void UnTransition(TZorvFade*, TFastDIB&, TFastDIB&, TFastDIB&) override {}
};

TEST_F(Fade, CustomTransitionAndItsFallback) {
    TZorvFade f;
    Quick(f);
    f.resize(8, 8);
    f.SetEffectMode(zemCustom);
    QSignalSpy begin(&f, &TZorvFade::OnBegin);
    QSignalSpy end(&f, &TZorvFade::OnEnd);
    f.Transition(); // no object: Blend inside the outer pair
    EXPECT_EQ(begin.count(), 2);
    EXPECT_EQ(end.count(), 2);

    auto* custom = new CountingTransition;
    f.SetCustomTransition(custom);
    f.Reset();
    f.Transition();
    EXPECT_EQ(custom->calls, 1);
    EXPECT_EQ(custom->seen, &f);
    EXPECT_EQ(begin.count(), 3);
    EXPECT_EQ(end.count(), 3);
    EXPECT_TRUE(SameDIB(f.bmF(), f.bmT()));

    delete custom; // the control forgets it
    EXPECT_EQ(f.CustomTransition(), nullptr);
    f.Transition();
    EXPECT_EQ(begin.count(), 5);
}

TEST_F(Fade, DestroyedWhileItsRunProcessesEvents) {
    auto* f = new TZorvFade;
    f->SetMsecPerFrame(5);
    f->SetProcessMsgs(true);
    f->SetAutoReverse(true);
    QTimer::singleShot(0, [f] { delete f; });
    f->Blend(); // returns at the first frame's wait, touching nothing after
    SUCCEED();
}

TEST_F(Fade, MouseEnterAndLeave) {
    TZorvFade f;
    QSignalSpy enter(&f, &TZorvFade::OnMouseEnter);
    QSignalSpy leave(&f, &TZorvFade::OnMouseLeave);
    QEnterEvent in(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&f, &in);
    QEvent out(QEvent::Leave);
    QCoreApplication::sendEvent(&f, &out);
    EXPECT_EQ(enter.count(), 1);
    EXPECT_EQ(leave.count(), 1);
}

} // namespace
