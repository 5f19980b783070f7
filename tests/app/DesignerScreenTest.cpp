// The gradient designers stay on the screen whatever size is typed (the picture scrolls inside them),
// and a size or angle text on its way to a number raises nothing until its value is used.

#include "AppTestSupport.h"

#include "app/dialogs/AllForms.h"
#include "app/dialogs/DesignerSupport.h"
#include "controls/GradientControl.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace {

class DesignerScreen : public ProgramTest {
protected:
    DesignerScreen() : ProgramTest(false) {}
    void TearDown() override {
        fGradient->hide();
        fMultGrad->hide();
        ProgramTest::TearDown();
    }
    // Shows the window and moves it near the bottom right corner, where a growing window leaves the
    // screen first.
    static void ShowInCorner(QWidget& w) {
        w.show();
        const QRect a = w.screen()->availableGeometry();
        w.move(a.right() - 200, a.bottom() - 150);
    }
    // Types the text into the edit key by key, as the user does.
    static void Type(QLineEdit* e, const QString& text) {
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
    }
    // Gives the window the keyboard, so that focus moves between its edits and buttons.
    static bool Activate(QWidget& w) {
        w.activateWindow();
        return QTest::qWaitForWindowActive(&w);
    }
};

// The window (frame included) and each of the widgets lie inside the screen's available area.
void ExpectOnScreen(const QWidget& w, std::initializer_list<const QWidget*> parts, const QString& what) {
    const QRect a = w.screen()->availableGeometry();
    EXPECT_TRUE(a.contains(w.frameGeometry())) << what.toStdString();
    for (const QWidget* p : parts)
        EXPECT_TRUE(a.contains(QRect(p->mapToGlobal(QPoint(0, 0)), p->size())))
            << what.toStdString() << " " << p->objectName().toStdString();
}

// How far the picture scrolls: 0 when it shows whole.
int ScrollRange(const QScrollArea* s, Qt::Orientation o) {
    const QScrollBar* b = o == Qt::Horizontal ? s->horizontalScrollBar() : s->verticalScrollBar();
    return b->maximum() - b->minimum();
}

} // namespace

TEST(DesignerGeometry, KeepInsideMovesAWindowBackOntoTheArea) {
    const QRect a(100, 30, 800, 600); // x 100..899, y 30..629
    const struct {
        QPoint at;
        QSize frame;
        QPoint want;
    } cases[] = {
        {{200, 100}, {300, 200}, {200, 100}}, // inside: stays
        {{800, 500}, {300, 200}, {600, 430}}, // past the right and bottom edges: back by the excess
        {{20, -40}, {300, 200}, {100, 30}},   // before the left and top edges
        {{500, 300}, {1000, 700}, {100, 30}}, // larger than the area: top left on the screen
        {{600, 429}, {300, 201}, {600, 429}}, // touches the bottom edge exactly
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeepInside(c.at, c.frame, a), c.want) << c.at.x() << "," << c.at.y();
}

TEST_F(DesignerScreen, TheTwoColourDesignerStaysOnTheScreenForEveryWidthAndHeight) {
    TfGradient& d = *fGradient;
    const auto* scroller = d.findChild<QScrollArea*>("sbGradient");
    ASSERT_NE(scroller, nullptr);
    ShowInCorner(d);
    const QSize a = d.screen()->availableGeometry().size();
    for (int w : {1, 2, 120, 799, 800, 1564, 9999, 16384}) {
        Type(d.meWide, QString::number(w));
        ASSERT_EQ(d.zGrad->width(), w);
        ExpectOnScreen(d, {d.bOK, d.meWide, d.meAngle}, QString("width %1").arg(w));
        if (w <= 120) {
            EXPECT_EQ(ScrollRange(scroller, Qt::Horizontal), 0) << w; // shown whole
        }
        if (w >= a.width()) {
            EXPECT_GT(ScrollRange(scroller, Qt::Horizontal), 0) << w; // scrolls inside
        }
    }
    for (int h : {2, 100, 600, 9999, 16384}) {
        Type(d.meHigh, QString::number(h));
        ASSERT_EQ(d.zGrad->height(), h);
        ExpectOnScreen(d, {d.bOK, d.meHigh}, QString("height %1").arg(h));
        if (h >= a.height()) {
            EXPECT_GT(ScrollRange(scroller, Qt::Vertical), 0) << h;
        }
    }
    // Back to a small gradient: the window shrinks around it again, the picture shown whole.
    Type(d.meWide, "100");
    Type(d.meHigh, "80");
    EXPECT_EQ(ScrollRange(scroller, Qt::Horizontal), 0);
    EXPECT_EQ(ScrollRange(scroller, Qt::Vertical), 0);
    EXPECT_EQ(scroller->size(), QSize(100, 80));
    EXPECT_EQ(d.size(), d.sizeHint());
    ExpectOnScreen(d, {d.bOK}, "small again");
    EXPECT_TRUE(Errors().isEmpty());
}

TEST_F(DesignerScreen, TheMultiColourDesignerStaysOnTheScreenBothWays) {
    TfMultGrad& d = *fMultGrad;
    d.Gradient = W->Gradient;
    ShowInCorner(d);
    d.Button3->click(); // no markers: every size from 1 is taken
    const auto* scroller = d.findChild<QScrollArea*>("sbGrad");
    ASSERT_NE(scroller, nullptr);
    const QSize a = d.screen()->availableGeometry().size();
    // Each side up to the largest, the other one small (a 16384 x 16384 picture would take 800 MB).
    for (bool rotated : {false, true}) {
        if (rotated) d.bRotate->click();
        for (QLineEdit* edit : {d.eWide, d.eHigh}) {
            const bool wide = edit == d.eWide;
            Type(wide ? d.eHigh : d.eWide, "40");
            for (int s : {1, 300, 1564, 9999, 16384}) {
                Type(edit, QString::number(s));
                ASSERT_EQ(wide ? d.grad.Width : d.grad.Height, s);
                ExpectOnScreen(
                    d, {d.Button1, d.Button2, d.eWide},
                    QString("%1 %2 rotated %3").arg(wide ? "width" : "height").arg(s).arg(rotated));
                if (s >= (wide ? a.width() : a.height())) {
                    EXPECT_GT(ScrollRange(scroller, wide ? Qt::Horizontal : Qt::Vertical), 0) << s;
                }
            }
        }
    }
    EXPECT_TRUE(Errors().isEmpty());
}

TEST_F(DesignerScreen, TwoColourEditsCheckTheirTextOnlyWhereTheValueIsUsed) {
    TfGradient& d = *fGradient;
    d.show();
    // On the way to -30 and through an empty field: no message, nothing changes until it is a number.
    Type(d.meAngle, "-");
    Type(d.meWide, "");
    QTest::keyClicks(d.meWide, "-");
    Type(d.meHigh, "+");
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(d.zGrad->size(), QSize(256, 256));
    Type(d.meAngle, "-30");
    EXPECT_EQ(d.zGrad->StartAngle(), -30);
    Type(d.meWide, "12x");
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(d.zGrad->width(), 12); // "12" on the way was a number

    // OK checks the edits in their order: the first that is no number is named, the dialog stays.
    d.bOK->click();
    EXPECT_EQ(Errors(), QStringList{"'12x' is not a valid integer value"});
    EXPECT_TRUE(d.isVisible());
    EXPECT_NE(d.result(), int(mrOk));
    EXPECT_EQ(d.meWide->selectedText(), "12x");
    Type(d.meWide, "40");
    d.bOK->click();
    EXPECT_EQ(Errors().size(), 2);
    EXPECT_EQ(Errors().value(1), "'+' is not a valid integer value");
    Type(d.meHigh, "");
    d.bOK->click(); // an empty field is no error: nothing was typed to use
    EXPECT_EQ(Errors().size(), 2);
    EXPECT_EQ(d.result(), int(mrOk));
    EXPECT_EQ(d.zGrad->size(), QSize(40, 256));
}

TEST_F(DesignerScreen, LeavingAnEditChecksItOnceAndGoingToOkLeavesItToOk) {
    TfGradient& d = *fGradient;
    d.show();
    if (!Activate(d)) GTEST_SKIP() << "this platform gives no window the keyboard";
    d.meAngle->setFocus(Qt::MouseFocusReason);
    Type(d.meAngle, "-");
    d.meWide->setFocus(Qt::TabFocusReason); // leaving the field
    EXPECT_EQ(Errors(), QStringList{"'-' is not a valid integer value"});
    Type(d.meWide, "-");
    d.bOK->setFocus(Qt::MouseFocusReason); // on the way to OK: OK says it
    EXPECT_EQ(Errors().size(), 1);
    // Enter in the field is OK: one message, not one for leaving and one for OK.
    d.meWide->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(d.meWide, Qt::Key_Return);
    EXPECT_EQ(Errors().size(), 2);
    EXPECT_TRUE(d.isVisible());
}

TEST_F(DesignerScreen, MultiColourSizeEditsCheckTheirTextOnlyWhereTheValueIsUsed) {
    TfMultGrad& d = *fMultGrad;
    d.Gradient = W->Gradient;
    d.show();
    const int w = d.grad.Width;
    Type(d.eWide, "-");
    Type(d.eHigh, "");
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(d.grad.Width, w);
    d.Button2->click(); // Cancel uses nothing, so it checks nothing
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(d.result(), int(mrCancel));

    d.show();
    Type(d.eWide, "3O0"); // a letter O
    d.Button1->click();
    EXPECT_EQ(Errors(), QStringList{"'3O0' is not a valid integer value"});
    EXPECT_TRUE(d.isVisible());
    Type(d.eWide, "300");
    d.Button1->click();
    EXPECT_EQ(Errors().size(), 1);
    EXPECT_EQ(d.result(), int(mrOk));
    EXPECT_EQ(d.grad.Width, 300);
}
