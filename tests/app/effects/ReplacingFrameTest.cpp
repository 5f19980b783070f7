// Effects whose frame hands the picture itself to the undo ring and lets the work write new pixels:
// every pixel of the result is written (recycled memory full of junk never shows), undo gives the
// picture back, and a stop or a failure leaves picture and ring as they were.
#include "app/AppTestSupport.h"
#include "app/dialogs/GradientDesigner.h"
#include "app/effects/ColorEffects.h"
#include "app/effects/EffectTestImages.h"
#include "app/effects/GeometricEffects.h"
#include "app/effects/SeamlessBlur.h"
#include "app/main/WorkProgress.h"
#include "controls/GradientControl.h"
#include "image/FastFX.h"
#include "image/Parallel.h"
#include "image/WorkControl.h"
#include "image/ZorvFX.h"
#include "image/ZorvFX_Filters.h"

#include <QAction>

#include <chrono>
#include <cstring>
#include <functional>
#include <new>
#include <thread>
#include <utility>

using namespace efx;

namespace {

bool SameBytes(const TFastDIB& a, const TFastDIB& b) {
    if (a.Width != b.Width || a.Height != b.Height || a.Bpp != 24 || b.Bpp != 24) return false;
    for (int y = 0; y < a.Height; ++y)
        if (std::memcmp(a.Scanlines[y], b.Scanlines[y], static_cast<std::size_t>(3) * a.Width) != 0)
            return false;
    return true;
}

class ReplacingFrame : public ProgramTest {
protected:
    void TearDown() override {
        ClearWorkStop();
        TfGradient::SetExecuteHook({});
        ProgramTest::TearDown();
    }
    void Trigger(const char* name) {
        QAction* a = W->findChild<QAction*>(name);
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    // Memory of the picture's size full of junk, as the next frame will take it from the ring.
    void JunkSpare() {
        TFastDIB junk;
        junk.SetSize(W->z.Width, W->z.Height, 24, 0);
        std::memset(junk.Bits, 0xA5, static_cast<std::size_t>(junk.ByteCount()));
        W->Ring.GiveSpare(junk);
        ASSERT_EQ(W->Ring.SpareBytes(), W->z.ByteCount());
    }
    // No spare; new pixel memory for `pictures` pictures, more only once the undo ring has given up
    // every snapshot.
    void ShortMemory(int pictures) {
        TFastDIB none;
        W->Ring.GiveSpare(none);
        W->Ring.Allocate = [this, pictures, calls = 0](TFastDIB& d, int w, int h) mutable {
            if (++calls > pictures && W->Ring.StackSize > 0) throw std::bad_alloc();
            d.SetSize(w, h, 24, 0);
        };
    }
    // The picture, the undo depth, every snapshot's pixels (not the rows' padding) and the log.
    QByteArray State() {
        std::vector<const TFastDIB*> all{&W->z};
        for (const int s : W->Ring.Entry) all.push_back(W->Ring.Pic[static_cast<std::size_t>(s)].Image.get());
        QByteArray b = QByteArray::number(W->Ring.StackSize);
        for (const TFastDIB* d : all)
            for (int y = 0; y < d->Height; ++y)
                b.append(reinterpret_cast<const char*>(d->Scanlines[y]), 3 * d->Width);
        return b + FileLines(W->LogPath()).join('\n').toUtf8();
    }
};

} // namespace

TEST_F(ReplacingFrame, EffectsWriteEveryPixelOverRecycledMemoryAndUndoGivesThePictureBack) {
    Program->DefaultAnswer = mrOk;  // Circular's question on a picture that is not 256 x 256
    randomTile(W->bufr, 13, 11, 5); // a buffer to merge, of another size
    struct Case {
        const char* item;
        int lvl;
        std::function<void(const TFastDIB& src, TFastDIB& dst)> library; // dst starts as a copy of src
    };
    const std::initializer_list<Case> cases{
        {"SoftenMore1", 0,
         [](const TFastDIB&, TFastDIB& d) {
             Convolve3x3(FixedKernel(0).Weights, FixedKernel(0).Divisor, d);
         }},
        {"ClassicEmboss1", 6,
         [&](const TFastDIB&, TFastDIB& d) {
             TFastDIB work;
             ClassicEmboss(d, work, W->Val(6));
         }},
        {"SineWaveUD1", 15,
         [&](const TFastDIB&, TFastDIB& d) {
             const TEffectContext c = W->EffectContext();
             SineWaveUD(d, W->Val(15), c.Wrap, c.Peaks ? W->UDPeakVal : W->UDWavVal, c.Peaks);
         }},
        {"SineWaveLR1", 16,
         [&](const TFastDIB&, TFastDIB& d) {
             const TEffectContext c = W->EffectContext();
             SineWaveLR(d, W->Val(16), c.Wrap, c.Peaks ? W->LRPeakVal : W->LRWavVal, c.Peaks);
         }},
        {"SineWaveBoth1", 17,
         [&](const TFastDIB&, TFastDIB& d) {
             SineWaveBoth(d, W->Val(15), W->Val(16), W->UDPeakVal, W->LRPeakVal);
         }},
        {"GrayScale1", 35, [](const TFastDIB&, TFastDIB& d) { GrayScale24(d); }},
        {"MirrorLR1", 41, [](const TFastDIB&, TFastDIB& d) { MirrorLR(d); }},
        {"MirrorUD1", 42, [](const TFastDIB&, TFastDIB& d) { d.Flop(); }},
        {"Buttonize1", 51,
         [&](const TFastDIB&, TFastDIB& d) {
             Buttonize(d, W->ToolBoxPenColor(), W->ToolBoxBrushColor(), W->Val(51));
         }},
        {"Trace1", 61,
         [&](const TFastDIB&, TFastDIB& d) {
             TraceEdges(d, W->Val(61), W->TrUseVal ? W->ToolBoxPenColor() : 0);
         }},
        {"RippleTooth1", 62, [&](const TFastDIB&, TFastDIB& d) { RippleTooth(d, W->Val(62)); }},
        {"GaussianBlur1", 13,
         [&](const TFastDIB&, TFastDIB& d) {
             TFastDIB work;
             SeamlessGaussianBlur(d, W->Val(13), work);
         }},
        {"ColorRotate1", 30, [&](const TFastDIB&, TFastDIB& d) { ColorRotateFX(d, W->Val(30)); }},
        {"Negative1", 31, [](const TFastDIB&, TFastDIB& d) { NegativeFX(d); }},
        {"Brighten1", 32, [](const TFastDIB&, TFastDIB& d) { BrightenFX(d); }},
        {"Lighten1", 33, [](const TFastDIB&, TFastDIB& d) { LightenFX(d, MakeLiteRay()); }},
        {"ErasetoBlack1", 36, [](const TFastDIB&, TFastDIB& d) { EraseToBlackFX(d); }},
        {"GradientBars1", 47,
         [&](const TFastDIB&, TFastDIB& d) {
             GradientBarsFX(d, fGradient->zGrad->BeginColor(), fGradient->zGrad->EndColor(), W->Val(47));
         }},
        {"MergeGradient1", 49,
         [&](const TFastDIB&, TFastDIB& d) { MergeImagesFX(d, fGradient->zGrad->bm(), W->Val(49)); }},
        {"MergeBuffer1", 50, [&](const TFastDIB&, TFastDIB& d) { MergeImagesFX(d, W->bufr, W->Val(50)); }},
        {"Twist1", 18, [&](const TFastDIB& s, TFastDIB& d) { TwistFX(s, d, W->Val(18)); }},
        {"FishEye1", 19, [&](const TFastDIB& s, TFastDIB& d) { FishEye(s, d, W->FishVal); }},
        {"Circular1", 20, [](const TFastDIB& s, TFastDIB& d) { CircularFX(s, d); }},
        {"Spray1", 26, [&](const TFastDIB& s, TFastDIB& d) { SprayPixels(s, d, W->Val(26)); }},
        // Worked out aside, then swapped in.
        {"ConcentricRects1", 22, [&](const TFastDIB&, TFastDIB& d) { ConcentricRectsFX(d, W->Val(22)); }},
        {"ZorvSwizzle1", 27, [&](const TFastDIB&, TFastDIB& d) { SwizzleFX(d, W->Val(27)); }},
        {"Rotate901", 40, [](const TFastDIB&, TFastDIB& d) { Rotate90(d); }},
        {"RotateAngle1", 43,
         [&](const TFastDIB& s, TFastDIB& d) { RotateWrap(s, d, s.Width / 2, s.Height / 2, W->Val(43)); }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.item);
        randomTile(W->z, 37, 29, 9);
        W->SetToIm(W->z);
        TFastDIB before, expected;
        copyOf(W->z, before);
        copyOf(W->z, expected);
        SetRandSeed(77);
        k.library(before, expected);

        JunkSpare();
        const int depth = W->Ring.StackSize;
        SetRandSeed(77);
        Trigger(k.item);
        EXPECT_EQ(W->lvl, k.lvl);
        EXPECT_TRUE(SameBytes(W->z, expected));
        EXPECT_EQ(W->Ring.StackSize, depth + 1);
        W->DoUnDo();
        EXPECT_TRUE(SameBytes(W->z, before));
    }
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("\n").toStdString();
}

TEST_F(ReplacingFrame, AStopPutsThePictureBackAndLeavesTheRingAsItWas) {
    randomTile(W->z, 64, 48, 3);
    W->SetToIm(W->z);
    W->Ring.Reset(2);
    Trigger("Negative1");
    Trigger("Twist1");
    ASSERT_EQ(W->Ring.StackSize, 2);
    TFastDIB before;
    copyOf(W->z, before);
    const std::vector<int> entry = W->Ring.Entry;
    const std::uint8_t* newest = W->Ring.Pic[static_cast<std::size_t>(entry.back())].Image->Bits;

    // Work stopped halfway, in either kind of frame: the new pixels partly written, then the stop.
    for (const bool replace : {true, false}) {
        SCOPED_TRACE(replace ? "replacing" : "copying");
        JunkSpare();
        try {
            TEffectFrame frame(*W, "Stopped", replace);
            EXPECT_TRUE(SameBytes(frame.Source(), before));
            std::memset(W->z.Bits, 0, static_cast<std::size_t>(W->z.ByteCount()) / 2);
            RequestWorkStop();
            throw EWorkStopped();
        } catch (const EWorkStopped&) {
        }
        EXPECT_TRUE(SameBytes(W->z, before));
        EXPECT_EQ(W->Ring.Entry, entry);
        EXPECT_EQ(W->Ring.Pic[static_cast<std::size_t>(entry.back())].Image->Bits, newest);
    }
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("\n").toStdString();

    // The next replacing command runs and is undone to the same picture.
    Trigger("Spray1");
    EXPECT_FALSE(SameBytes(W->z, before));
    W->DoUnDo();
    EXPECT_TRUE(SameBytes(W->z, before));
}

TEST_F(ReplacingFrame, APastedGradientTakesNewPixelsAndTheRingThePictureItself) {
    randomTile(W->z, 40, 30, 4);
    W->SetToIm(W->z);
    TFastDIB before;
    copyOf(W->z, before);
    const std::uint8_t* picture = W->z.Bits;
    const TFastDIB& g = fGradient->zGrad->bm();
    ASSERT_FALSE(g.Empty());
    Trigger("PasteToImage1");
    EXPECT_TRUE(SameBytes(W->z, g));
    EXPECT_TRUE(SameBytes(W->orig, g));
    EXPECT_EQ(W->Ring.Pic[static_cast<std::size_t>(W->Ring.Entry.back())].Image->Bits, picture);

    // Draw > Gradient without memory for the new picture, or for the Reset copy once the picture is
    // made (the last opened picture has another size): picture, Reset copy, undo ring and log stay. So
    // do Edit > Reset and Paste Buffer to Image without memory for their picture.
    W->DoUnDo();
    ASSERT_TRUE(SameBytes(W->z, before));
    W->LogthisSession1Click();
    Trigger("Negative1"); // an undo step to keep
    TfGradient::SetExecuteHook([](TfGradient&) { return int(mrOk); });
    W->orig.SetSize(7, 5, 24, 0);
    TFastDIB orig;
    copyOf(W->orig, orig);
    Trigger("CopyImagetoBuffer1");
    const QByteArray state = State();
    for (const auto& [item, pictures] : std::initializer_list<std::pair<const char*, int>>{
             {"Gradient2", 0}, {"Gradient2", 1}, {"Reset1", 0}, {"PasteBuffertoImage1", 0}}) {
        ShortMemory(pictures);
        Trigger(item);
        EXPECT_TRUE(State() == state && SameBytes(W->orig, orig)) << item << pictures;
    }
    EXPECT_EQ(Errors(), QStringList(4, "Out of memory"));
}

TEST_F(ReplacingFrame, AFailureInsideTheWorkPutsThePictureBackAndLeavesTheRingAndTheLog) {
    Program->DefaultAnswer = mrOk;
    randomTile(W->bufr, 13, 11, 5);
    W->LogthisSession1Click();
    randomTile(W->z, 37, 29, 2);
    Trigger("Negative1");
    Trigger("Twist1");
    W->EffectVals[24] = 2; // cells enough for Circle Mosaic's stop check
    // Replacing and copying frames, each with a stop check inside its work on this small picture.
    const QByteArray items =
        "SoftenMore1 ClassicEmboss1 SineWaveUD1 SineWaveLR1 SineWaveBoth1 GrayScale1 Buttonize1 Trace1 "
        "RippleTooth1 GaussianBlur1 ColorRotate1 Negative1 Brighten1 Lighten1 ErasetoBlack1 ExchangeColor1 "
        "GradientBars1 MergeGradient1 MergeBuffer1 Twist1 FishEye1 Spray1 MirrorLR1 MirrorUD1 RotateAngle1 "
        "Circular1 Astroid1 Mosaic1 CircleMosaic1 ColorNoise1 Marble1 PlasmaCloud1 CycloidMosaic1 "
        "WaterwithSelf1 WaterwithBuffer1 SuperNova1 HeightMap1 SplitBlur1 SplitGauss1 SeamlessEdge1 Waves1 "
        "WhirlPinch1 ZorvSwizzle1 StretchBlurwithSelf1 StretchBlurwithBuffer1 N141 Rainbow1";
    const int threads = ParallelThreads();
    SetParallelThreads(1); // every row loop runs here, checking between its bands
    SetParallelMinWork(0);
    // Each command with the spare the frame takes (memory -1); then without it, with memory for nothing
    // unless the undo ring gives up its snapshots (0) or for the frame's picture (1).
    const QList<QByteArray> list = items.split(' ');
    for (int i = 0; i < 3 * list.size(); ++i) {
        const QByteArray& item = list[i % list.size()];
        const int memory = static_cast<int>(i / list.size()) - 1;
        SCOPED_TRACE((item + " memory " + QByteArray::number(memory)).constData());
        randomTile(W->z, 66, 64, 9);
        W->SetToIm(W->z);
        const QByteArray before = State();
        Program->Asked.clear();
        if (memory < 0)
            JunkSpare();
        else
            ShortMemory(memory);
        // The first stop check throws, as an allocation failing in the work would (this scope is the
        // outermost: the command's leave the watcher, first called after 15 ms). The frame took the spare.
        bool thrown = false, inFrame = false;
        {
            TWorkScope outer("Failing");
            SetWorkWatcher([&] {
                if (std::exchange(thrown, true)) return;
                inFrame = W->Ring.SpareBytes() == 0;
                throw std::bad_alloc();
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            Trigger(item.constData());
        }
        EXPECT_TRUE(memory == 0 || (thrown && inFrame));
        EXPECT_TRUE(State() == before);
        EXPECT_EQ(Errors(), QStringList{"Out of memory"});
    }
    SetParallelThreads(threads);
    SetParallelMinWork(ParallelMinWorkDefault);

    // A result worked out aside enters without memory of the ring's: the snapshots stay.
    ShortMemory(0);
    const QByteArray before = State();
    Trigger("Rotate901");
    W->DoUnDo();
    EXPECT_EQ(State(), before + "\nRotate 90\nUnDo"); // its log line and the undo's
}
