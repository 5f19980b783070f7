#pragma once
// TfAbout: the About box. Each time it is shown it plays a short picture sequence on two transition
// controls, then shows the version and credits with a close button that lights up under the mouse.
// The sequence runs on a timer on the UI thread, so the box stays responsive and can be closed at any
// moment; closing stops the sequence, and the next showing plays it again from the first picture.

#include <QDialog>
#include <QTimer>

#include <functional>

class QFrame;
class QLabel;
class TLbl3D;
class TZorvFade;

class TfAbout : public QDialog {
public:
    explicit TfAbout(QWidget* parent = nullptr);
    void FormCreate() {}

    QFrame* Panel2 = nullptr; // the pictures
    TZorvFade* zf1 = nullptr;
    TZorvFade* zf2 = nullptr;
    QFrame* Panel1 = nullptr; // the texts
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    TLbl3D* Lbl3D1 = nullptr;
    TZorvFade* ZorvFade2 = nullptr; // the name plate
    TZorvFade* ZorvFade1 = nullptr; // the close button

    // The pauses of the sequence, in milliseconds: after the first blend, before zf2 blends back, and
    // before the texts appear.
    int FirstPause = 1500;
    int ReversePause = 1000;
    int LastPause = 1000;

    // The steps of the sequence.
    void FormShow();
    void FormHide();
    void WMStartAnimation();
    void zf1End();
    void zf2End();
    // True from the show until the texts appear (or the box is closed).
    bool Playing() const { return FPlaying; }

    void ZorvFade1MouseEnter();
    void ZorvFade1MouseLeave();
    void ZorvFade2MouseEnter();
    void ZorvFade2MouseLeave();
    void ZorvFade1Click();

    // Shows the box modally (the result is not used); tests answer through the hook.
    int Execute();
    using TExecuteHook = std::function<int(TfAbout&)>;
    static void SetExecuteHook(TExecuteHook hook);

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    // Runs `step` after `ms` milliseconds on the sequence's timer, unless the box has been closed.
    void After(int ms, void (TfAbout::*step)());
    void StartZf2();
    void zf2Blended();
    void zf2Back();
    void ShowTexts();
    void MakePictures();
    bool PicturesMade = false;
    void StopSequence();
    QTimer Sequence;
    void (TfAbout::*Next)() = nullptr;
    bool FPlaying = false;
    // Runs of the sequence's controls on the stack (a run processes events between its frames).
    int Running = 0;
    int Showing = 0; // counts the showings, so a run ending late is not taken for the new one's
    struct TRun {
        int& Count;
        explicit TRun(int& count) : Count(count) { ++Count; }
        ~TRun() { --Count; }
    };
};

extern TfAbout* fAbout;
