// The colour button, the 3-D label and the text panel, driven through real widgets offscreen.
#include "common/QtTestSupport.h"
#include "controls/ColourButton.h"
#include "controls/ControlPaint.h"
#include "controls/Label3D.h"
#include "controls/QtColors.h"
#include "controls/TextPanel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

QImage Grab(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TColor At(const QImage& img, int x, int y) {
    return FromQColor(QColor(img.pixel(x, y)));
}

// Pixels of nearly colour `c` (black or white; text is anti-aliased) inside [x0, x1) x [y0, y1).
int Count(const QImage& img, TColor c, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const QColor q(img.pixel(x, y));
            const int lo = std::min({q.red(), q.green(), q.blue()}),
                      hi = std::max({q.red(), q.green(), q.blue()});
            n += c == clWhite ? lo > 200 : hi < 60;
        }
    return n;
}

class SmallControls : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApplication(); }
};

// --- colour button ---

TEST_F(SmallControls, ColourButtonStartsWhite85x35) {
    TColrBtn b;
    EXPECT_EQ(b.width(), 85);
    EXPECT_EQ(b.height(), 35);
    EXPECT_EQ(b.Color(), 0xFFFFFFu);
    EXPECT_EQ(b.myAvg, 255);
    EXPECT_EQ(ColrBtnPressed, 0);
    EXPECT_EQ(ColrBtnSwatchRect, (TRect{3, 3, 82, 32}));
}

TEST_F(SmallControls, CaptionIsWhiteOnDarkAndBlackOnLight) {
    struct Case {
        TColor colour;
        int mean;
        TColor caption;
    } cases[] = {
        {0x800000, 42, clWhite},                           // navy: (0 + 0 + 128) div 3
        {0xC0C0C0, 192, clBlack},                          // light grey
        {0x808080, 128, clWhite},                          // mean 128 is still dark
        {0x818181, 129, clBlack}, {0x00FF00, 85, clWhite}, // pure green: 255 div 3
    };
    for (const Case& c : cases) {
        TColrBtn b;
        b.SetCaption("MMMMMM");
        b.SetColor(c.colour);
        const QImage img = Grab(b);
        EXPECT_EQ(b.myAvg, c.mean) << std::hex << c.colour;
        const TColor other = c.caption == clWhite ? clBlack : clWhite;
        EXPECT_GT(Count(img, c.caption, 3, 3, 82, 32), 10) << std::hex << c.colour;
        EXPECT_EQ(Count(img, other, 3, 3, 82, 32), 0) << std::hex << c.colour;
    }
}

TEST_F(SmallControls, RaisedAndPressedLooks) {
    TColrBtn b;
    b.resize(40, 20);
    b.SetColor(0x123456);
    struct Case {
        std::uint8_t pressed;
        TColor topLeft, bottomRight;
        TRect swatch;
    } cases[] = {
        {0, clBtnHighlight, clBtnShadow, TRect{3, 3, 37, 17}},
        {1, clBtnShadow, clBtnHighlight, TRect{4, 4, 38, 18}},
    };
    for (const Case& c : cases) {
        ColrBtnPressed = c.pressed;
        const QImage img = Grab(b);
        ColrBtnPressed = 0;
        SCOPED_TRACE(int(c.pressed));
        EXPECT_EQ(ColrBtnSwatchRect, c.swatch);
        // Left column and top row (corners included) in the top-left colour, the rest of the ring in the
        // outline colour.
        EXPECT_EQ(At(img, 0, 0), c.topLeft);
        EXPECT_EQ(At(img, 0, 19), c.topLeft);
        EXPECT_EQ(At(img, 39, 0), c.topLeft);
        EXPECT_EQ(At(img, 39, 1), c.bottomRight);
        EXPECT_EQ(At(img, 39, 19), c.bottomRight);
        EXPECT_EQ(At(img, 1, 19), c.bottomRight);
        EXPECT_EQ(At(img, 1, 1), clBtnFace);
        // The swatch covers left..right-1, top..bottom-1; face around it.
        EXPECT_EQ(At(img, c.swatch.Left, c.swatch.Top), 0x123456u);
        EXPECT_EQ(At(img, c.swatch.Right - 1, c.swatch.Bottom - 1), 0x123456u);
        EXPECT_EQ(At(img, c.swatch.Left - 1, c.swatch.Top), clBtnFace);
        EXPECT_EQ(At(img, c.swatch.Right, c.swatch.Bottom - 1), clBtnFace);
        EXPECT_EQ(At(img, c.swatch.Left, c.swatch.Bottom), clBtnFace);
    }
}

TEST_F(SmallControls, SetColorRaisesChangedOnlyOnANewValue) {
    TColrBtn b;
    QSignalSpy changed(&b, &TColrBtn::OnChanged);
    b.SetColor(0xFFFFFF);
    EXPECT_EQ(changed.count(), 0);
    b.SetColor(0x00FF00);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(b.Color(), 0x00FF00u);
    b.SetColor(0x00FF00);
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(SmallControls, PressRunsTheDialogAndAlwaysRaisesChanged) {
    struct Case {
        Qt::MouseButton button;
        bool confirm;
        TColor expected;
    } cases[] = {
        {Qt::LeftButton, true, 0x0000FF},
        {Qt::LeftButton, false, 0x808000},
        {Qt::RightButton, true, 0x0000FF},
    };
    for (const Case& c : cases) {
        TColrBtn b;
        b.SetColor(0x808000);
        TColrBtn other;
        QSignalSpy changed(&b, &TColrBtn::OnChanged);
        QSignalSpy down(&b, &TColrBtn::OnMouseDown);
        int calls = 0;
        TColor offered = 0;
        std::uint8_t pressedInside = 0;
        QImage otherInside;
        ScopedColorDialogHook hook([&](TColrBtn* button, TColor& colour) {
            ++calls;
            EXPECT_EQ(button, &b);
            offered = colour;
            pressedInside = ColrBtnPressed;
            otherInside = Grab(other); // any colour button repainting now looks pressed
            colour = 0x0000FF;
            return c.confirm;
        });
        QTest::mousePress(&b, c.button, Qt::NoModifier, QPoint(10, 10));
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(offered, 0x808000u);
        EXPECT_EQ(pressedInside, 1);
        EXPECT_EQ(At(otherInside, 0, 0), clBtnShadow);
        EXPECT_EQ(b.Color(), c.expected);
        EXPECT_EQ(changed.count(), 1);
        EXPECT_EQ(down.count(), 1);
        EXPECT_EQ(ColrBtnPressed, 0);
        EXPECT_EQ(At(Grab(b), 0, 0), clBtnHighlight);
    }
}

TEST_F(SmallControls, ButtonDestroyedWhileItsDialogIsOpen) {
    auto* b = new TColrBtn;
    bool changed = false;
    QObject::connect(b, &TColrBtn::OnChanged, [&] { changed = true; });
    ScopedColorDialogHook hook([&](TColrBtn* button, TColor& colour) {
        delete button;
        colour = 1;
        return true;
    });
    QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(changed);
    EXPECT_EQ(ColrBtnPressed, 0);
}

TEST_F(SmallControls, ChangedHandlerMayDestroyTheButton) {
    auto* b = new TColrBtn;
    QObject::connect(b, &TColrBtn::OnChanged, [&](TColrBtn* sender) { delete sender; });
    ScopedColorDialogHook hook([](TColrBtn*, TColor&) { return false; });
    QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(ColrBtnPressed, 0);
}

// Runs `answer` on the colour dialog once it is open (polled, as the button processes events before
// it opens the dialog).
void WhenDialogOpens(std::function<void(QColorDialog*)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* d = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(d);
        }
    });
    poll->start(5);
}

TEST_F(SmallControls, RealColourDialog) {
    // Confirmed with a colour, then cancelled.
    TColrBtn b;
    QSignalSpy changed(&b, &TColrBtn::OnChanged);
    WhenDialogOpens([](QColorDialog* d) {
        d->setCurrentColor(QColor(10, 20, 30));
        d->accept();
    });
    QTest::mousePress(&b, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(b.Color(), RGBColor(10, 20, 30));
    WhenDialogOpens([](QColorDialog* d) {
        EXPECT_EQ(d->currentColor(), QColor(10, 20, 30)); // it opens on the button's colour
        d->setCurrentColor(QColor(99, 99, 99));
        d->reject();
    });
    QTest::mousePress(&b, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(b.Color(), RGBColor(10, 20, 30));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(ColrBtnPressed, 0);

    // The button (and with it its dialog) destroyed while the dialog is open.
    auto* gone = new TColrBtn;
    WhenDialogOpens([gone](QColorDialog*) { delete gone; });
    QTest::mousePress(gone, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(ColrBtnPressed, 0);
}

// --- 3-D label ---

TEST_F(SmallControls, LabelDefaults) {
    QWidget parent;
    TLbl3D l("Gradient", &parent);
    EXPECT_EQ(l.aTextStyle(), tsInset);
    EXPECT_EQ(l.aShadeType(), stLight);
    EXPECT_EQ(l.aHiliteClr(), 0xFFFFFFu);
    EXPECT_EQ(l.aShadowClr(), 0x808080u);
    EXPECT_EQ(l.alignment(), Qt::AlignCenter);
    EXPECT_TRUE(l.ParentColor());
    EXPECT_FALSE(l.Transparent());
    EXPECT_EQ(l.Caption(), "Gradient");
}

TEST_F(SmallControls, LabelDrawsItsCopiesInOrder) {
    const TColor back = 0x1E140A, font = 0x000000, hilite = 0x00FF00, shadow = 0x0000FF;
    struct Copy {
        int dx, dy;
        TColor c;
    };
    struct Case {
        TTextStyle style;
        TShadeType shade;
        std::vector<Copy> copies; // in drawing order, relative to the centred text
    } cases[] = {
        {tsNormal, stLight, {{0, 0, font}}},
        {tsNormal, stHeavy, {{0, 0, font}}},
        {tsRaised, stLight, {{-1, -1, hilite}, {0, 0, font}}},
        {tsRaised, stHeavy, {{-1, -1, hilite}, {1, 1, shadow}, {0, 0, font}}},
        {tsInset, stLight, {{1, 1, hilite}, {0, 0, font}}},
        {tsInset, stHeavy, {{-1, -1, shadow}, {1, 1, hilite}, {0, 0, font}}},
    };
    for (const Case& c : cases) {
        TLbl3D l("Wg&x");
        l.resize(90, 31);
        l.SetColor(back);
        l.SetFontColor(font);
        l.SetHiliteClr(hilite);
        l.SetShadowClr(shadow);
        l.SetTextStyle(c.style);
        l.SetShadeType(c.shade);
        const QFontMetrics fm(l.font());
        const int x = (90 - fm.horizontalAdvance("Wg&x")) / 2, y = (31 - fm.height()) / 2;
        EXPECT_EQ(l.TextOrigin(), QPoint(x, y));
        QImage expected(90, 31, QImage::Format_RGB32);
        expected.fill(ToQColor(back));
        {
            QPainter p(&expected);
            p.setFont(l.font());
            for (const Copy& k : c.copies) {
                p.setPen(ToQColor(k.c));
                p.drawText(x + k.dx, y + k.dy + fm.ascent(), "Wg&x");
            }
        }
        EXPECT_EQ(Grab(l), expected) << int(c.style) << "/" << int(c.shade);
    }
}

TEST_F(SmallControls, LabelTakesTheSizeOfItsCaption) {
    TLbl3D l("Gradient");
    const QFontMetrics fm(l.font());
    EXPECT_EQ(l.size(), QSize(fm.horizontalAdvance("Gradient") + 2, fm.height() + 2));
    l.SetAutoSize(false);
    l.SetCaption("Thumbnail Previews");
    EXPECT_EQ(l.width(), fm.horizontalAdvance("Gradient") + 2);
    l.SetAutoSize(true);
    EXPECT_EQ(l.width(), fm.horizontalAdvance("Thumbnail Previews") + 2);
}

TEST_F(SmallControls, LabelClickEvents) {
    TLbl3D l("Buffer");
    l.resize(60, 20);
    QSignalSpy click(&l, &TLbl3D::OnClick);
    QSignalSpy dbl(&l, &TLbl3D::OnDblClick);
    QTest::mouseClick(&l, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseDClick(&l, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_GE(click.count(), 1);
    EXPECT_EQ(dbl.count(), 1);
}

// --- text panel ---

TEST_F(SmallControls, TextPanelDefaultsAndBevelLimits) {
    TTextPanel t;
    EXPECT_EQ(t.width(), 75);
    EXPECT_EQ(t.height(), 25);
    EXPECT_EQ(t.BevelWidth(), 1);
    EXPECT_EQ(t.Alignment(), taCenter);
    EXPECT_EQ(t.Color(), clBtnFace);
    EXPECT_EQ(t.FontColor(), clBlack);
    EXPECT_EQ(t.font().pointSize(), 8);
    // 25 div 2 - 5 = 7.
    t.SetBevelWidth(8);
    EXPECT_EQ(t.BevelWidth(), 1);
    t.SetBevelWidth(7);
    EXPECT_EQ(t.BevelWidth(), 7);
    t.SetBevelWidth(-1);
    EXPECT_EQ(t.BevelWidth(), 7);
    // Wider and taller: 100 x 40 takes up to min(45, 15) = 15.
    t.resize(100, 40);
    t.SetBevelWidth(16);
    EXPECT_EQ(t.BevelWidth(), 7);
    t.SetBevelWidth(15);
    EXPECT_EQ(t.BevelWidth(), 15);
}

TEST_F(SmallControls, TextPanelSunkenBevel) {
    TTextPanel t;
    t.SetColor(0x102030);
    t.SetBevelWidth(2);
    const QImage img = Grab(t);
    // Ring 0 over (0, 0, 74, 24); ring 1 over (1, 1, 73, 23).
    EXPECT_EQ(At(img, 0, 0), clBtnShadow);
    EXPECT_EQ(At(img, 0, 23), clBtnShadow);
    EXPECT_EQ(At(img, 73, 0), clBtnShadow);
    EXPECT_EQ(At(img, 74, 0), clBtnHighlight);
    EXPECT_EQ(At(img, 0, 24), clBtnHighlight);
    EXPECT_EQ(At(img, 74, 24), clBtnHighlight);
    EXPECT_EQ(At(img, 1, 1), clBtnShadow);
    EXPECT_EQ(At(img, 73, 1), clBtnHighlight);
    EXPECT_EQ(At(img, 1, 23), clBtnHighlight);
    EXPECT_EQ(At(img, 2, 2), 0x102030u);
    EXPECT_EQ(At(img, 72, 22), 0x102030u);
}

// Red text on white: a pixel is ink when it is clearly redder than grey (the bevel is grey).
bool Ink(const QImage& img, int x, int y) {
    const QColor q(img.pixel(x, y));
    return q.red() - q.green() > 40;
}
// The first and last columns holding ink.
int FirstInk(const QImage& img, TColor = 0) {
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            if (Ink(img, x, y)) return x;
    return -1;
}
int LastInk(const QImage& img, TColor = 0) {
    for (int x = img.width() - 1; x >= 0; --x)
        for (int y = 0; y < img.height(); ++y)
            if (Ink(img, x, y)) return x;
    return -1;
}

TEST_F(SmallControls, TextPanelExpandsTabsAndDrawsAmpersands) {
    TTextPanel t;
    t.resize(300, 40);
    t.SetAlignment(taLeftJustify);
    t.SetColor(0xFFFFFF);
    t.SetFontColor(0x0000FF);
    t.SetText("X");
    const int plain = FirstInk(Grab(t), 0x0000FF);
    t.SetText("\tX");
    const int tabbed = FirstInk(Grab(t), 0x0000FF);
    ASSERT_GE(plain, 0);
    EXPECT_EQ(tabbed - plain, t.TabStop());

    t.SetText("b");
    const int bWidth = LastInk(Grab(t), 0x0000FF) - FirstInk(Grab(t), 0x0000FF);
    t.SetText("&b");
    const int ampWidth = LastInk(Grab(t), 0x0000FF) - FirstInk(Grab(t), 0x0000FF);
    EXPECT_GT(ampWidth, bWidth + 2);
}

TEST_F(SmallControls, TextPanelAlignmentMovesTheText) {
    TTextPanel t;
    t.resize(200, 30);
    t.SetColor(0xFFFFFF);
    t.SetFontColor(0x0000FF);
    t.SetText("Ab");
    t.SetAlignment(taLeftJustify);
    const int left = FirstInk(Grab(t), 0x0000FF);
    t.SetAlignment(taRightJustify);
    const int right = LastInk(Grab(t), 0x0000FF);
    t.SetAlignment(taCenter);
    const QImage centred = Grab(t);
    EXPECT_LE(left, 4);
    EXPECT_GE(right, 190);
    EXPECT_LT(right, 198); // clipped inside the box 2 .. Width - 2
    const int mid = (FirstInk(centred, 0x0000FF) + LastInk(centred, 0x0000FF)) / 2;
    EXPECT_NEAR(mid, 100, 4);
}

// --- the shared 3-D frame ---

TEST(ControlPaint, Frame3DRingsByHand) {
    TFastDIB bm;
    bm.SetSize(6, 5, 24, 0);
    FillRect(bm, TRect{0, 0, 6, 5}, 0x111111);
    TRect r{0, 0, 6, 5};
    Frame3D(bm, r, 0xAAAAAA, 0xBBBBBB, 1);
    EXPECT_EQ(r, (TRect{1, 1, 5, 4}));
    // A = top-left colour, B = bottom-right colour, . = untouched.
    const char* expected[] = {"AAAAAB", "A....B", "A....B", "A....B", "BBBBBB"};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const TColor want = expected[y][x] == 'A'   ? 0xAAAAAA
                                : expected[y][x] == 'B' ? 0xBBBBBB
                                                        : 0x111111;
            EXPECT_EQ(FColorToColor(bm.Pixels24[y][x]), want) << x << "," << y;
        }
}

TEST(ControlPaint, FillRectNormalisesAndClips) {
    TFastDIB bm;
    bm.SetSize(4, 4, 24, 0);
    FillRect(bm, TRect{3, 2, 1, 1}, 0x0000FF);    // covers columns 1..2, row 1
    FillRect(bm, TRect{-5, 3, 99, 99}, 0x00FF00); // clipped to row 3
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const TColor want = y == 3 ? 0x00FF00 : (y == 1 && (x == 1 || x == 2)) ? 0x0000FF : 0;
            EXPECT_EQ(FColorToColor(bm.Pixels24[y][x]), want) << x << "," << y;
        }
}

} // namespace
