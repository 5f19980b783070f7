// The fixed kernels through the main window's filter methods, the seamless Gaussian blur and the user
// filter dialog.

#include "../FileTestSupport.h"

#include "app/dialogs/FilterDesigner.h"
#include "app/effects/SeamlessBlur.h"
#include "image/GaussianBlur.h"
#include "image/Numeric.h"
#include "platform/Cursor.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

class Filters : public FileCommandsBase {
protected:
    void TearDown() override {
        TfFilter::SetExecuteHook({});
        FileCommandsBase::TearDown();
    }
    // 3 x 3, every channel of row y, column x = 10 * (3y + x + 1).
    void SetNine() {
        W->z.SetSize(3, 3, 24, 0);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) {
                const auto v = static_cast<std::uint8_t>(10 * (3 * y + x + 1));
                W->z.Pixels24[y][x] = TFColor{v, v, v};
            }
        W->SetToIm(W->z);
    }
    int At(int x, int y) const { return W->z.Pixels24[y][x].g; }
};

void RandomImage(TFastDIB& d, int w, int h, std::uint32_t seed) {
    d.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            d.Pixels24[y][x] =
                TFColor{static_cast<std::uint8_t>(seed >> 24), static_cast<std::uint8_t>(seed >> 16),
                        static_cast<std::uint8_t>(seed >> 8)};
        }
}

} // namespace

TEST_F(Filters, KernelsWrapAroundTheBorders) {
    // Values worked by hand from each kernel: the neighbours of a pixel on an edge are taken from the
    // opposite edge.
    struct Case {
        bool (*Method)(TfZorvTile&);
        int X, Y, Expected;
    };
    const Case cases[] = {
        {[](TfZorvTile& w) { return w.DoSoftenLess(); }, 0, 0, 30},       // (70 + 30 + 2*10 + 20 + 40) / 6
        {[](TfZorvTile& w) { return w.DoSoftenLess(); }, 1, 1, 50},       // (20 + 40 + 100 + 60 + 80) / 6
        {[](TfZorvTile& w) { return w.DoSoftenMore(); }, 0, 0, 55},       // 2 * 440 / 16
        {[](TfZorvTile& w) { return w.DoSharpen(); }, 0, 0, 0},           // (160 - 440) / 8 clamped
        {[](TfZorvTile& w) { return w.DoSharpen(); }, 2, 2, 135},         // (1440 - 360) / 8
        {[](TfZorvTile& w) { return w.DoEdgeEmbossMore(); }, 0, 0, 170},  // 2*90 + 2*80 + 2*60 - 6*50 + 10
        {[](TfZorvTile& w) { return w.DoEdgeEmbossMore(); }, 1, 1, 0},    // 20 + 60 + 140 - 540 + 50 clamped
        {[](TfZorvTile& w) { return w.DoEdgeEmbossLess(); }, 0, 0, 130},  // 90 + 80 + 60 - 2*50
        {[](TfZorvTile& w) { return w.DoFindEdges(); }, 1, 0, 90},        // 240 + 10 + 30 - 40 - 150
        {[](TfZorvTile& w) { return w.DoBlur(); }, 0, 0, 43},             // (3 * 440 + 80) / 32 truncated
        {[](TfZorvTile& w) { return w.DoGaussianSoft(); }, 0, 0, 40},     // (280 + 2 * 160 + 40) / 16
        {[](TfZorvTile& w) { return w.DoEdgeEnhanceLess(); }, 0, 0, 0},   // 50 - 70 - 30 - 20 - 40 clamped
        {[](TfZorvTile& w) { return w.DoEdgeEnhanceLess(); }, 2, 2, 210}, // 450 - 60 - 30 - 80 - 70
        {[](TfZorvTile& w) { return w.DoEdgeEnhanceMore(); }, 2, 2, 255}, // 810 - 360
        {[](TfZorvTile& w) { return w.DoHiPass(); }, 1, 1, 50},           // 450 - 400
        {[](TfZorvTile& w) { return w.DoLaplace(); }, 1, 1, 0},           // 400 - 400
        {[](TfZorvTile& w) { return w.DoLaplace(); }, 2, 2, 255},         // 720 - 360
    };
    for (const Case& c : cases) {
        SetNine();
        W->Ring.Reset(UndoLevels);
        EXPECT_TRUE(c.Method(*W));
        EXPECT_EQ(At(c.X, c.Y), c.Expected) << c.X << "," << c.Y;
        EXPECT_EQ(W->Ring.StackSize, 1); // exactly one snapshot
        EXPECT_EQ(HourGlass::Depth(), 0);
    }
}

TEST_F(Filters, OneColourStaysExceptForZeroSumKernels) {
    struct Method {
        bool (*Run)(TfZorvTile&);
        bool ZeroSum;
    };
    const Method methods[] = {
        {[](TfZorvTile& w) { return w.DoSoftenMore(); }, false},
        {[](TfZorvTile& w) { return w.DoSoftenLess(); }, false},
        {[](TfZorvTile& w) { return w.DoEdgeEnhanceMore(); }, false},
        {[](TfZorvTile& w) { return w.DoEdgeEnhanceLess(); }, false},
        {[](TfZorvTile& w) { return w.DoEdgeEmbossMore(); }, false},
        {[](TfZorvTile& w) { return w.DoEdgeEmbossLess(); }, false},
        {[](TfZorvTile& w) { return w.DoHiPass(); }, false},
        {[](TfZorvTile& w) { return w.DoSharpen(); }, false},
        {[](TfZorvTile& w) { return w.DoLaplace(); }, true},
        {[](TfZorvTile& w) { return w.DoBlur(); }, false},
        {[](TfZorvTile& w) { return w.DoFindEdges(); }, true},
        {[](TfZorvTile& w) { return w.DoGaussianSoft(); }, false},
    };
    for (const Method& m : methods) {
        W->z.SetSize(5, 4, 24, 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) W->z.Pixels24[y][x] = TFColor{40, 90, 200};
        m.Run(*W);
        EXPECT_EQ(W->z.Pixels24[2][3], m.ZeroSum ? (TFColor{0, 0, 0}) : (TFColor{40, 90, 200}));
    }
    // One undo after Gaussian Soft restores the image.
    SetImage(6, 5);
    TFastDIB before;
    PaintPattern(before, 6, 5);
    W->GaussianSoft1Click();
    EXPECT_FALSE(SameDIB(W->z, before));
    W->bUndoClick();
    EXPECT_TRUE(SameDIB(W->z, before));
}

TEST(SeamlessBlur, EqualsABlurOfTheRepeatedTile) {
    struct Case {
        int W, H, Amount;
    };
    // The last case is narrower and lower than the margin: its border wraps pixel by pixel.
    const Case cases[] = {{20, 13, 0}, {20, 13, 2}, {31, 17, 5}, {4, 3, 5}, {1, 1, 3}};
    for (const Case& c : cases) {
        TFastDIB img, work, tiled;
        RandomImage(img, c.W, c.H, static_cast<std::uint32_t>(c.W * 1000 + c.Amount));
        // The periodic reference: a blur of the tile repeated so often that the kernel never reaches
        // past the repetitions around the centre copy.
        const int n = 2 * (SeamlessBlurMargin / std::min(c.W, c.H) + 1) + 1;
        tiled.SetSize(c.W * n, c.H * n, 24, 0);
        for (int y = 0; y < tiled.Height; ++y)
            for (int x = 0; x < tiled.Width; ++x) tiled.Pixels24[y][x] = img.Pixels24[y % c.H][x % c.W];
        GBlur(tiled, c.Amount + 1.0);
        SeamlessGaussianBlur(img, c.Amount, work);
        const int ox = c.W * (n / 2), oy = c.H * (n / 2);
        int differ = 0;
        for (int y = 0; y < c.H; ++y)
            for (int x = 0; x < c.W; ++x) differ += !(img.Pixels24[y][x] == tiled.Pixels24[oy + y][ox + x]);
        EXPECT_EQ(differ, 0) << c.W << "x" << c.H << " amount " << c.Amount;
    }
}

TEST_F(Filters, GaussianBlurSpreadsALineAtTheLeftEdgeIntoTheRightColumns) {
    W->z.SetSize(32, 8, 24, 0);
    for (int y = 0; y < 8; ++y) W->z.Pixels24[y][0] = TFColor{255, 255, 255};
    W->SetToIm(W->z);
    EXPECT_TRUE(W->DoGaussianBlur(0));
    EXPECT_GT(W->z.Pixels24[4][31].g, 0);
    EXPECT_EQ(W->z.Pixels24[4][31], W->z.Pixels24[4][1]); // symmetric about column 0
    EXPECT_EQ(W->z.Pixels24[4][16], (TFColor{0, 0, 0}));
}

TEST_F(Filters, DesignYourOwnRunsLogsAndRefusesBadEntriesBeforeTheFrame) {
    StartLog();
    struct Case {
        std::function<void(TfFilter&)> Edit;
        int Answer;
        bool Runs;
        const char* Message;
    };
    const Case cases[] = {
        {[](TfFilter&) {}, mrCancel, false, nullptr},
        {[](TfFilter&) {}, mrOk, true, nullptr},
        {[](TfFilter& f) { f.eDiv->setText("0"); }, mrOk, false, "divisor"},
        {[](TfFilter& f) { f.eDiv->setText("65536"); }, mrOk, false, "divisor"},
        {[](TfFilter& f) { f.e5->setText("1.5"); }, mrOk, false, "'1.5' is not a valid integer value"},
        {[](TfFilter& f) { f.e9->setText("0x3"); }, mrOk, false, "'0x3' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        SetImage(5, 4);
        TfFilter::SetExecuteHook([&](TfFilter& f) {
            for (QLineEdit* e : f.Kernel()) e->setText(e->objectName() == "e5" ? "-3" : e->text());
            f.eDiv->setText("1");
            c.Edit(f);
            return c.Answer;
        });
        const int stack = W->Ring.StackSize;
        const int lines = LogLines().size();
        const int boxes = static_cast<int>(Program->Asked.size());
        Trigger("DesignYourOwn1");
        EXPECT_EQ(W->Ring.StackSize, stack + (c.Runs ? 1 : 0));
        EXPECT_EQ(LogLines().size(), lines + (c.Runs ? 1 : 0));
        EXPECT_EQ(HourGlass::Depth(), 0);
        if (c.Message) {
            ASSERT_EQ(static_cast<int>(Program->Asked.size()), boxes + 1);
            EXPECT_TRUE(Program->Asked.back().Text.contains(c.Message))
                << Program->Asked.back().Text.toStdString();
        }
    }
    // The initial kernel: the log line of the dialog, lvl and Effect untouched.
    EXPECT_EQ(LogLines()[0], "Design Your Own Filter, Settings: 2 1 1 1 -3 -1 1 -1 -1 , Divisor 1");
    EXPECT_EQ(W->lvl, -1);
}

TEST_F(Filters, TheDialogRefusesABadEntryWhileItIsOpenAndKeepsTheFocusOnIt) {
    TfFilter::SetExecuteHook({}); // the real dialog and its OK button
    SetImage(5, 4);
    TFastDIB before;
    PaintPattern(before, 5, 4);
    const int stack = W->Ring.StackSize;
    struct Case {
        QLineEdit* Edit;
        const char* Text;
        const char* Message;
    };
    const Case cases[] = {{fFilter->eDiv, "0", "divisor"}, {fFilter->e7, "x", "'x' is not a valid integer"}};
    for (const Case& c : cases) {
        QWidget* over = nullptr;
        QString refusal;
        ScopedMessageHook hook([&](const QString& text, TMsgDlgType, int) {
            refusal = text;
            over = QApplication::activeModalWidget();
            return int(mrOk);
        });
        QTimer::singleShot(0, [&] {
            c.Edit->setText(c.Text);
            fFilter->BitBtn1->click();
            EXPECT_TRUE(fFilter->isVisible());
            EXPECT_EQ(fFilter->focusWidget(), c.Edit);
            EXPECT_EQ(c.Edit->selectedText(), c.Text);
            EXPECT_TRUE(SameDIB(W->z, before));
            fFilter->BitBtn2->click();
        });
        Trigger("DesignYourOwn1");
        EXPECT_TRUE(refusal.contains(c.Message)) << refusal.toStdString();
        EXPECT_EQ(over, fFilter) << "the refusal belongs over the open dialog";
    }
    EXPECT_EQ(W->Ring.StackSize, stack);
    EXPECT_TRUE(SameDIB(W->z, before));
}

TEST_F(Filters, DesignYourOwnDividesByTheLow16BitsOfTheDivisor) {
    W->z.SetSize(2, 2, 24, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) W->z.Pixels24[y][x] = TFColor{200, 200, 200};
    TfFilter::SetExecuteHook([](TfFilter& f) {
        const char* k[9] = {"0", "0", "0", "0", "30000", "0", "0", "0", "0"};
        for (int i = 0; i < 9; ++i) f.Kernel()[static_cast<std::size_t>(i)]->setText(k[i]);
        f.eDiv->setText("-1"); // 65535
        return mrOk;
    });
    W->DesignYourOwn1Click();
    EXPECT_EQ(W->z.Pixels24[0][0].g, 91); // 200 * 30000 / 65535 = 91.55
}

TEST_F(Filters, DesignYourOwnSumsWithoutOverflow) {
    W->z.SetSize(2, 2, 24, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) W->z.Pixels24[y][x] = TFColor{200, 200, 200};
    TfFilter::SetExecuteHook([](TfFilter& f) {
        for (QLineEdit* e : f.Kernel()) e->setText("0");
        f.e5->setText("2147483647");
        f.eDiv->setText("65535");
        return mrOk;
    });
    W->DesignYourOwn1Click();
    // 200 * 2147483647 / 65535 is far above 255; a 32-bit sum would wrap to a negative value.
    EXPECT_EQ(W->z.Pixels24[1][1], (TFColor{255, 255, 255}));
}

TEST_F(Filters, AnExceptionInsideTheFrameRestoresTheCursor) {
    try {
        TEffectFrame frame(*W);
        EXPECT_GT(HourGlass::Depth(), 0);
        throw std::runtime_error("inside");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(HourGlass::Depth(), 0);
}
