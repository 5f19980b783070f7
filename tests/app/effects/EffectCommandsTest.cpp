// The geometric, colour and merge effects run through the main window: frames, undo steps, guards,
// dialogs and log lines.
#include "app/AppTestSupport.h"
#include "app/dialogs/GradientDesigner.h"
#include "app/dialogs/SizeDialog.h"
#include "app/dialogs/TextureDialog.h"
#include "app/dialogs/TileTester.h"
#include "app/effects/EffectTestImages.h"

#include "controls/GradientControl.h"
#include "platform/Picture.h"

#include <QAction>
#include <QKeyEvent>
#include <QPushButton>

using namespace efx;

namespace {

class EffectCommands : public ProgramTest {
protected:
    void TearDown() override {
        TfTexture::SetExecuteHook({});
        TfrmSizer::SetExecuteHook({});
        TfZorvTile::SetColorDialogHook({});
        ProgramTest::TearDown();
    }
    void ImageOf(int w, int h) {
        tagged(W->z, w, h);
        W->SetToIm(W->z);
    }
    void StartLog() {
        W->LogthisSession1Click();
        ASSERT_TRUE(W->Logging);
    }
    // The log's lines after its first.
    QStringList LogLines() {
        QStringList l = FileLines(W->LogPath());
        if (!l.isEmpty()) l.removeFirst();
        return l;
    }
    void Trigger(const char* name) {
        QAction* a = W->findChild<QAction*>(name);
        ASSERT_NE(a, nullptr) << name;
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
    }
};

} // namespace

TEST_F(EffectCommands, EveryEffectOfTheseFamiliesRunsFromItsMenuItem) {
    W->PasteBuffertoImage1->setEnabled(true); // a buffer exists (a copy of the start image)
    TfTexture::SetExecuteHook([](TfTexture&) { return int(mrOk); });
    TfrmSizer::SetExecuteHook([](TfrmSizer& s) {
        s.Wide = 300;
        s.High = 200;
        return int(mrOk);
    });
    TfZorvTile::SetColorDialogHook([](TColor) { return std::optional<TColor>(0x00FF00); });
    Program->DefaultAnswer = mrOk; // Circular's question on a 512 x 512 image
    struct Case {
        const char* item;
        int lvl;
    };
    for (const Case& k : std::initializer_list<Case>{{"Twist1", 18},
                                                     {"FishEye1", 19},
                                                     {"Circular1", 20},
                                                     {"Astroid1", 21},
                                                     {"ConcentricRects1", 22},
                                                     {"Mosaic1", 23},
                                                     {"CircleMosaic1", 24},
                                                     {"ColorNoise1", 25},
                                                     {"Spray1", 26},
                                                     {"ZorvSwizzle1", 27},
                                                     {"MapTexture1", 28},
                                                     {"Marble1", 29},
                                                     {"ColorRotate1", 30},
                                                     {"Negative1", 31},
                                                     {"Brighten1", 32},
                                                     {"Lighten1", 33},
                                                     {"Tint1", 34},
                                                     {"ErasetoBlack1", 36},
                                                     {"ExchangeColor1", 37},
                                                     {"ReSizeFast1", 38},
                                                     {"ReSizeSmooth1", 39},
                                                     {"Rotate901", 40},
                                                     {"MirrorLR1", 41},
                                                     {"MirrorUD1", 42},
                                                     {"RotateAngle1", 43},
                                                     {"CycloidMosaic1", 46},
                                                     {"GradientBars1", 47},
                                                     {"MergeBuffer1", 50},
                                                     {"PlasmaCloud1", 52},
                                                     {"StretchBlurwithBuffer1", 53},
                                                     {"StretchBlurwithSelf1", 54}}) {
        randomTile(W->z, 64, 64, 5);
        W->SetToIm(W->z);
        const int before = W->Ring.StackSize;
        Trigger(k.item);
        EXPECT_EQ(W->lvl, k.lvl) << k.item;
        EXPECT_EQ(W->Ring.StackSize, std::min(before + 1, UndoLevels)) << k.item;
        EXPECT_EQ(W->imSine->width(), W->z.Width) << k.item;
    }
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("\n").toStdString();
}

TEST_F(EffectCommands, GuardsChangeNothingAndTakeNoUndoStep) {
    ImageOf(40, 30);
    TFastDIB before;
    copyOf(W->z, before);
    struct Case {
        const char* what;
        std::function<bool()> run;
    };
    for (const Case& k :
         std::initializer_list<Case>{{"Twist 0", [&] { return W->DoTwist(0); }},
                                     {"FishEye 0", [&] { return W->DoFishEye(0.0f); }},
                                     {"FishEye -1", [&] { return W->DoFishEye(-1.0f); }},
                                     {"Mosaic 1", [&] { return W->DoMosaic(1); }},
                                     {"Mosaic 16", [&] { return W->DoMosaic(16); }},
                                     {"Circle Mosaic 0", [&] { return W->DoCircleMosaic(0); }},
                                     {"Concentric 0", [&] { return W->DoConcentricRects(0); }},
                                     {"Gradient Bars 0", [&] { return W->DoGradientBars(0); }},
                                     {"StretchBlur 0 0", [&] { return W->DoStretchBlur(0, 0, W->z, 32); }},
                                     {"Marble turbulence 0", [&] { return W->DoMarble(700, 0, 2.0f); }}}) {
        EXPECT_FALSE(k.run()) << k.what;
        EXPECT_EQ(W->Ring.StackSize, 0) << k.what;
        EXPECT_TRUE(SameDIB(before, W->z)) << k.what;
    }
    EXPECT_EQ(Messages(), QStringList{"Turbulence cannot be zero"});

    // Plasma and Marble on an image one pixel high.
    ImageOf(9, 1);
    copyOf(W->z, before);
    EXPECT_FALSE(W->DoPlasmaCloud(700));
    EXPECT_FALSE(W->DoMarble(700, 120, 2.0f));
    EXPECT_TRUE(SameDIB(before, W->z));
    EXPECT_EQ(W->Ring.StackSize, 0);
}

TEST_F(EffectCommands, AResizeTheFreeMemoryCannotHoldIsRefusedBeforeAnythingChanges) {
    StartLog();
    ImageOf(20, 10);
    TFastDIB before;
    copyOf(W->z, before);
    TfrmSizer::SetExecuteHook([](TfrmSizer& s) {
        s.Wide = 9999;
        s.High = 9999;
        return int(mrOk);
    });
    // 9999 x 9999 x 3 bytes = 299 940 003, about 300 MB; 100 MB are free.
    SetFreeMemoryHook([] { return std::int64_t{100} * 1000 * 1000; });
    Trigger("ReSizeFast1");
    Trigger("ReSizeSmooth1");
    SetFreeMemoryHook({});
    const QString said = "The picture is too large for the free memory: 9999 x 9999 pixels needs 300 MB; "
                         "100 MB are free";
    EXPECT_EQ(Messages(), QStringList({said, said}));
    EXPECT_TRUE(SameDIB(before, W->z));
    EXPECT_EQ(W->Ring.StackSize, 0);
    EXPECT_TRUE(LogLines().isEmpty());
}

TEST_F(EffectCommands, QuestionsAndCancelledDialogsTakeNoUndoStep) {
    Program->Answers = {mrCancel};
    EXPECT_FALSE(W->DoCircular()); // 512 x 512: asked first
    EXPECT_EQ(Messages(), QStringList{"Circular only works correctly with a 256 x 256 image. OK?"});
    TfrmSizer::SetExecuteHook([](TfrmSizer&) { return int(mrCancel); });
    TfTexture::SetExecuteHook([](TfTexture&) { return int(mrCancel); });
    TfZorvTile::SetColorDialogHook([](TColor) { return std::optional<TColor>(); });
    EXPECT_FALSE(W->DoReSizeFast());
    EXPECT_FALSE(W->DoReSizeSmooth());
    EXPECT_FALSE(W->DoMapTexture(1.8f));
    EXPECT_FALSE(W->DoTint());
    EXPECT_EQ(W->Ring.StackSize, 0);
    EXPECT_EQ(W->z.Width, 512);

    // Rotate Seamless on a rectangle: said, image unchanged, the snapshot taken first stays.
    ImageOf(20, 10);
    TFastDIB before;
    copyOf(W->z, before);
    EXPECT_FALSE(W->DoRotateSeamless());
    EXPECT_EQ(Messages().last(), "Image must be square.  ReSize and try again.");
    EXPECT_EQ(W->Ring.StackSize, 1);
    EXPECT_TRUE(SameDIB(before, W->z));
}

TEST_F(EffectCommands, ResizesLogTheirOwnLinesAndUndoRestoresTheSize) {
    StartLog();
    TfrmSizer::SetExecuteHook([](TfrmSizer& s) {
        s.Wide = 30;
        s.High = 20;
        return int(mrOk);
    });
    Trigger("ReSizeFast1");
    EXPECT_EQ(W->z.Width, 30);
    EXPECT_EQ(W->imSine->height(), 20);
    Trigger("Resize1"); // the pop-up menu's Resize... is ReSize Smooth
    EXPECT_EQ(W->lvl, 39);
    EXPECT_EQ(LogLines(),
              QStringList({"Resize Fast, Width 30, Height 20", "Resize Smooth, Width 30, Height 20"}));
    W->bUndoClick();
    W->bUndoClick();
    EXPECT_EQ(W->z.Width, 512);
}

TEST_F(EffectCommands, ImageMenuAndPopUpCommandsKeepTheCurrentEffect) {
    StartLog();
    W->lvl = 23;
    W->Effect = "Mosaic";
    ImageOf(100, 60);
    TFastDIB src;
    copyOf(W->z, src);
    Trigger("N4WayFlip1");
    EXPECT_EQ(W->z.Width, 200);
    EXPECT_EQ(W->z.Height, 120);
    EXPECT_EQ(at(W->z, 150, 90), at(src, 49, 29));
    Trigger("N181");
    EXPECT_EQ(W->Effect, "Mosaic");
    Trigger("ColorWheel1");
    EXPECT_EQ(W->z.Width, 256);
    EXPECT_EQ(W->imSine->height(), 256);
    ImageOf(20, 10);
    Trigger("Rainbow1");
    EXPECT_EQ(W->z.Width, 20);
    EXPECT_EQ(at(W->z, 0, 0), rgb(0, 0, 255));
    EXPECT_EQ(W->lvl, 23);
    EXPECT_EQ(LogLines(), QStringList({"4 Way Flip", "Edge Merge 1/8", "Color Wheel", "Rainbow"}));
    W->bUndoClick();
    EXPECT_EQ(W->z.Width, 20);
}

TEST_F(EffectCommands, ScrollsRestoreEachOtherAndLog) {
    StartLog();
    ImageOf(30, 20);
    TFastDIB src;
    copyOf(W->z, src);
    W->lvl = 45;
    W->EffectVals[45] = 7;
    W->ScrollImLR(0);
    EXPECT_EQ(at(W->z, 0, 0), at(src, 7, 0));
    W->ScrollImLR(1);
    W->ScrollImUD(0);
    EXPECT_EQ(at(W->z, 0, 0), at(src, 0, 7));
    W->ScrollImUD(1);
    EXPECT_TRUE(SameDIB(src, W->z));
    W->EffectVals[45] = 65; // more than the width: taken modulo it
    W->ScrollImLR(1);
    EXPECT_EQ(at(W->z, 5, 0), at(src, 0, 0));
    EXPECT_EQ(LogLines(), QStringList({"Scroll Left 7", "Scroll Right 7", "Scroll Up 7", "Scroll Down 7",
                                       "Scroll Right 65"}));
    EXPECT_EQ(W->Ring.StackSize, 5);
}

TEST_F(EffectCommands, MapTextureTakesTheGreyBufferOnce) {
    fill(W->bufr, 4, 4, [](int, int) { return rgb(255, 0, 0); });
    W->PasteBuffertoImage1->setEnabled(true);
    TfTexture::SetExecuteHook([](TfTexture&) { return int(mrOk); });
    uniform(W->z, 8, 8, rgb(100, 100, 100));
    W->SetToIm(W->z);
    ASSERT_TRUE(W->DoMapTexture(1.8f));
    EXPECT_EQ(W->MapBuf, "Use Buffer");
    const int grey = (77 * 255) >> 8; // 76: sin(76 / 255) * 1.8 = 0.52853; 100 * that = 52.85
    EXPECT_EQ(at(fTexture->Texture, 0, 0), rgb(grey, grey, grey));
    EXPECT_EQ(at(W->z, 7, 7), rgb(53, 53, 53));
    fill(W->bufr, 4, 4, [](int, int) { return rgb(0, 0, 255); });
    ASSERT_TRUE(W->DoMapTexture(1.8f));
    EXPECT_EQ(W->MapBuf, "Use Current Texture");
    EXPECT_EQ(at(fTexture->Texture, 0, 0), rgb(grey, grey, grey));
}

TEST_F(EffectCommands, MergeBufferWithImageRunsTheMergeEffect) {
    uniform(W->z, 4, 4, rgb(100, 100, 100));
    W->SetToIm(W->z);
    Trigger("CopyImagetoBuffer1");
    uniform(W->z, 4, 4, rgb(0, 0, 0));
    W->SetToIm(W->z);
    W->EffectVals[50] = 50;
    Trigger("MergeBufferWithImage1");
    EXPECT_EQ(W->lvl, 50);
    EXPECT_EQ(at(W->z, 3, 3), rgb(50, 50, 50));
    EXPECT_TRUE(W->DoMergeBuffer(150)); // the method itself clamps the percentage
    EXPECT_EQ(at(W->z, 3, 3), rgb(100, 100, 100));
}

TEST_F(EffectCommands, TestTilesHidesTheMainWindowUntilTheTesterCloses) {
    Trigger("TestTiles1");
    EXPECT_TRUE(fTester->isVisible());
    EXPECT_FALSE(W->isVisible());
    EXPECT_FALSE(W->isEnabled());
    fTester->Button1->click();
    EXPECT_FALSE(fTester->isVisible());
    EXPECT_TRUE(W->isVisible());
    EXPECT_TRUE(W->isEnabled());
}

TEST_F(EffectCommands, EdgeMergeLeavesAnAxisWithANarrowStripAlone) {
    // 20 wide: the right strip of 20 div 16 = 1 column is skipped; 64 high: the bottom 4 rows blend.
    ImageOf(20, 64);
    TFastDIB src;
    copyOf(W->z, src);
    Trigger("N1161");
    for (int y = 0; y < 60; ++y) EXPECT_EQ(at(W->z, 19, y), at(src, 19, y)) << y;
    bool bottomChanged = false;
    for (int x = 0; x < 20; ++x) bottomChanged |= !(at(W->z, x, 63) == at(src, x, 63));
    EXPECT_TRUE(bottomChanged);
}

TEST_F(EffectCommands, ColorNoiseTakesTheLowByteOfItsAmount) {
    ImageOf(16, 16);
    TFastDIB a, b;
    SetRandSeed(77);
    W->DoColorNoise(256 + 50);
    copyOf(W->z, a);
    ImageOf(16, 16);
    SetRandSeed(77);
    W->DoColorNoise(50);
    copyOf(W->z, b);
    EXPECT_TRUE(SameDIB(a, b));
}

TEST_F(EffectCommands, AResizeThatCannotBeAllocatedLeavesTheImageAndTheUndoRing) {
    ImageOf(40, 30);
    TFastDIB before;
    copyOf(W->z, before);
    // 100000 x 100000 pixels pass the picture size limit: refused with it before anything changes.
    TfrmSizer::SetExecuteHook([](TfrmSizer& s) {
        s.Wide = 100000;
        s.High = 100000;
        return int(mrOk);
    });
    EXPECT_THROW(W->DoReSizeFast(), EPictureTooLarge);
    EXPECT_THROW(W->DoReSizeSmooth(), EPictureTooLarge);
    EXPECT_EQ(W->Ring.StackSize, 0);
    EXPECT_TRUE(SameDIB(before, W->z));
    EXPECT_EQ(W->imSine->width(), 40);
}

TEST_F(EffectCommands, GradientBarsTakeTheGradientControlsColours) {
    fGradient->zGrad->SetBeginColor(RGBColor(10, 20, 30));
    fGradient->zGrad->SetEndColor(RGBColor(200, 100, 0));
    ImageOf(8, 3);
    ASSERT_TRUE(W->DoGradientBars(1));
    EXPECT_EQ(at(W->z, 0, 2), rgb(10, 20, 30));  // s = 0: the begin colour
    EXPECT_EQ(at(W->z, 4, 1), rgb(200, 100, 0)); // the middle column, s = 255: the end colour
}
