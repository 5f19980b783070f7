// The About box: its sequence runs to the texts without blocking, closing stops it at any step, the
// next showing replays it from the first picture, and the close button lights up and closes.

#include "AppTestSupport.h"

#include "app/dialogs/AllForms.h"
#include "controls/TransitionControl.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QTest>
#include <QTimer>

namespace {

class AboutBox : public ProgramTest {
protected:
    AboutBox() : ProgramTest(false) {}
    TfAbout& A() { return *fAbout; }
    // Short pauses and frames, so a whole sequence takes a moment.
    void Quick() {
        A().FirstPause = A().ReversePause = A().LastPause = 1;
        for (TZorvFade* f : {A().zf1, A().zf2}) f->SetMsecPerFrame(0);
    }
    // Lets the sequence run until it has ended or `ms` have passed.
    void RunFor(int ms) {
        QElapsedTimer t;
        t.start();
        while (A().Playing() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

} // namespace

TEST_F(AboutBox, TheSequenceEndsOnTheTextsAndTheNextShowingReplaysIt) {
    Quick();
    for (int showing = 0; showing < 2; ++showing) {
        A().show();
        EXPECT_TRUE(A().Playing());
        EXPECT_TRUE(A().Panel2->isVisible());
        EXPECT_FALSE(A().Panel1->isVisible());
        EXPECT_FALSE(A().ZorvFade1->isVisible());
        RunFor(5000);
        ASSERT_FALSE(A().Playing()) << showing;
        EXPECT_TRUE(A().Panel1->isVisible());
        EXPECT_FALSE(A().Panel2->isVisible());
        EXPECT_TRUE(A().ZorvFade1->isVisible());
        // zf1 ended on its target; zf2 blended there and back to its first picture.
        EXPECT_TRUE(SameDIB(A().zf1->bmF(), A().zf1->bmT()));
        EXPECT_TRUE(SameDIB(A().zf2->bmF(), A().zf2->PicFrom()));
        A().hide();
        EXPECT_TRUE(A().Panel2->isVisible() || !A().isVisible());
        EXPECT_TRUE(A().Panel1->isHidden());
    }
}

TEST_F(AboutBox, ClosingStopsTheSequenceDuringAPauseAndDuringABlend) {
    Quick();
    A().FirstPause = 60000;
    A().show();
    RunFor(300); // zf1 blends, then the long pause begins
    ASSERT_TRUE(A().Playing());
    A().hide();
    EXPECT_FALSE(A().Playing());
    QTest::qWait(50);
    EXPECT_TRUE(A().zf2->isHidden());
    EXPECT_TRUE(A().Panel1->isHidden());

    // A slow blend: 33 frames of 100 ms. Closing after 200 ms ends it at its next frame.
    A().zf1->SetMsecPerFrame(100);
    A().show();
    QTimer::singleShot(200, &A(), [this] { A().hide(); });
    QElapsedTimer t;
    t.start();
    RunFor(10000);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_FALSE(A().Playing());
    EXPECT_TRUE(A().zf2->isHidden());
}

TEST_F(AboutBox, TheCloseButtonLightsUpAndCloses) {
    Quick();
    A().show();
    RunFor(5000);
    TZorvFade* button = A().ZorvFade1;
    A().ZorvFade1MouseEnter();
    EXPECT_TRUE(SameDIB(button->bmF(), button->bmT()));
    A().ZorvFade1MouseLeave();
    EXPECT_TRUE(SameDIB(button->bmF(), button->PicFrom()));
    A().ZorvFade1Click();
    EXPECT_EQ(A().result(), mrOk);
    EXPECT_FALSE(A().isVisible());
}

TEST_F(AboutBox, ShownAgainWhileTheLastBlendIsEndingItPlaysFromTheFirstPicture) {
    Quick();
    A().zf1->SetMsecPerFrame(100);
    A().show();
    int starts = 0;
    QObject::connect(A().zf1, &TZorvFade::OnBegin, &A(), [&] { ++starts; });
    // Closed and shown again from inside the slow blend's frames.
    QTimer::singleShot(250, &A(), [this] {
        A().hide();
        A().zf1->SetMsecPerFrame(0);
        A().show();
    });
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 8000 && (A().Playing() || starts < 2))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(starts, 2);
    EXPECT_FALSE(A().Playing());
    EXPECT_TRUE(A().Panel1->isVisible());
    EXPECT_TRUE(SameDIB(A().zf1->bmF(), A().zf1->bmT()));
}
