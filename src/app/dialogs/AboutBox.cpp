#include "app/dialogs/AboutBox.h"

#include "app/dialogs/AboutPictures.h"
#include "controls/Label3D.h"
#include "controls/TransitionControl.h"
#include "platform/ErrorGuard.h"
#include "platform/FastDIBQt.h"
#include "platform/MessageBoxes.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QShowEvent>

TfAbout* fAbout = nullptr;

namespace {

TfAbout::TExecuteHook& executeHook() {
    static TfAbout::TExecuteHook hook;
    return hook;
}

TFastDIB& Picture(TFastDIB& d, const QImage& img) {
    LoadFromQImage(d, img, 24);
    return d;
}

QFrame* Panel(QWidget* parent, const char* name, const QRect& place) {
    auto* p = new QFrame(parent);
    p->setObjectName(name);
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Sunken);
    p->setGeometry(place);
    return p;
}

// A transition control at its place; it shows its pictures at their own size once they are given.
TZorvFade* Fade(QWidget* parent, const char* name, const QRect& place, int msecPerFrame) {
    auto* f = new TZorvFade(parent);
    f->setObjectName(name);
    f->setGeometry(place);
    f->SetStretchToFit(false);
    f->SetMsecPerFrame(msecPerFrame);
    f->SetBlendRate(32);
    f->SetEffectMode(zemBlend);
    return f;
}

void SetPictures(TZorvFade* f, const QImage& from, const QImage& to) {
    TFastDIB a, b;
    f->SetPicFrom(Picture(a, from));
    f->SetPicTo(Picture(b, to));
}

QLabel* Text(QWidget* parent, const char* name, const QString& text, const QRect& place) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(place);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

} // namespace

TfAbout::TfAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("fAbout");
    setWindowTitle("Do It with Mozaro");
    setFixedSize(277, 261);
    using namespace AboutPictures;

    Panel2 = Panel(this, "Panel2", QRect(8, 8, 260, 184));
    zf1 = Fade(Panel2, "zf1", QRect(2, 2, SceneWidth, SceneHeight), 15);
    zf2 = Fade(Panel2, "zf2", QRect(2, 2, SceneWidth, SceneHeight), 15);
    for (TZorvFade* f : {zf1, zf2}) {
        f->SetColorFrom(clSilver);
        f->SetColorTo(clSilver);
        // Frames are paced between events, so the box answers the mouse and can be closed meanwhile.
        f->SetProcessMsgs(true);
        f->hide();
    }
    zf1->SetDisolvRate(550);
    zf2->SetDisolvRate(200);
    // zf2 blends back after a pause; the pause runs on the box's timer instead of the control's sleep.
    zf2->SetAutoReverse(false);
    zf2->SetSwapOnReverse(false);

    Panel1 = Panel(this, "Panel1", QRect(8, 10, 260, 184));
    Panel1->hide();
    Label1 = Text(Panel1, "Label1", "Mozaro Version 3.0", QRect(2, 6, 256, 16));
    Label2 = Text(Panel1, "Label2", "An editor of seamless tiles and textures", QRect(2, 23, 256, 16));
    Label3 = Text(Panel1, "Label3", "Free to use, to share and to change", QRect(2, 40, 256, 16));
    Label5 = Text(Panel1, "Label5", "Written by the Mozaro developers", QRect(30, 58, 200, 30));
    Label5->setWordWrap(true);
    {
        QPalette pal = Label5->palette();
        pal.setColor(QPalette::WindowText, QColor(128, 0, 128));
        Label5->setPalette(pal);
    }
    Lbl3D1 = new TLbl3D("The Mozaro Project", Panel1);
    Lbl3D1->setObjectName("Lbl3D1");
    Lbl3D1->setGeometry(30, 90, 200, 22);
    Lbl3D1->SetShadowClr(RGBColor(0, 0, 0)); // the classic inactive caption text colour
    {
        QFont f = Lbl3D1->font();
        f.setPixelSize(16);
        Lbl3D1->setFont(f);
    }
    ZorvFade2 = Fade(Panel1, "ZorvFade2", QRect(72, 130, PlateWidth, PlateHeight), 5);
    ZorvFade1 = Fade(this, "ZorvFade1", QRect(94, 200, CloseWidth, CloseHeight), 5);
    ZorvFade1->setCursor(Qt::PointingHandCursor);
    ZorvFade1->hide();

    Sequence.setSingleShot(true);
    connect(&Sequence, &QTimer::timeout, this, [this] {
        if (!FPlaying || !Next) return;
        auto step = Next;
        Next = nullptr;
        Guarded([this, step] { (this->*step)(); });
    });
    connect(ZorvFade1, &TZorvFade::OnMouseEnter, this,
            [this] { Guarded([this] { ZorvFade1MouseEnter(); }); });
    connect(ZorvFade1, &TZorvFade::OnMouseLeave, this,
            [this] { Guarded([this] { ZorvFade1MouseLeave(); }); });
    connect(ZorvFade2, &TZorvFade::OnMouseEnter, this,
            [this] { Guarded([this] { ZorvFade2MouseEnter(); }); });
    connect(ZorvFade2, &TZorvFade::OnMouseLeave, this,
            [this] { Guarded([this] { ZorvFade2MouseLeave(); }); });
    connect(ZorvFade1, &TZorvFade::OnClick, this, [this] { ZorvFade1Click(); });
}

void TfAbout::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) Guarded([this] { FormShow(); });
}

void TfAbout::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    if (!e->spontaneous()) Guarded([this] { FormHide(); });
}

void TfAbout::After(int ms, void (TfAbout::*step)()) {
    Next = step;
    Sequence.start(ms < 0 ? 0 : ms);
}

void TfAbout::MakePictures() {
    // Drawn on the first showing, so that starting the program does not wait for them.
    if (PicturesMade) return;
    PicturesMade = true;
    using namespace AboutPictures;
    const QImage scene1 = Scene(1);
    SetPictures(zf1, Scene(0), scene1);
    SetPictures(zf2, scene1, Scene(2));
    SetPictures(ZorvFade2, Plate(false), Plate(true));
    SetPictures(ZorvFade1, CloseButton(false), CloseButton(true));
}

void TfAbout::FormShow() {
    MakePictures();
    // Every showing starts from the pictures, with no request to finish left from the last one.
    StopSequence();
    Panel1->hide();
    Panel2->show();
    ZorvFade1->hide();
    zf1->hide();
    zf2->hide();
    ++Showing;
    FPlaying = true;
    // The sequence starts once the window has appeared.
    After(0, &TfAbout::WMStartAnimation);
}

void TfAbout::WMStartAnimation() {
    // A run of the last showing may still be ending (it stops at its next frame): start after it.
    if (Running > 0) {
        After(10, &TfAbout::WMStartAnimation);
        return;
    }
    zf1->SetFinish(false);
    zf2->SetFinish(false);
    zf1->show();
    // The end of a run counts only for the showing that started it.
    const int showing = Showing;
    {
        const TRun run(Running);
        zf1->Blend();
    }
    if (showing == Showing) zf1End();
}

void TfAbout::zf1End() {
    if (FPlaying) After(FirstPause, &TfAbout::StartZf2);
}

void TfAbout::StartZf2() {
    zf1->hide();
    zf2->show();
    const int showing = Showing;
    {
        const TRun run(Running);
        zf2->Blend();
    }
    if (showing == Showing) zf2Blended();
}

void TfAbout::zf2Blended() {
    // zf2 has reached its third picture: it blends back after the pause.
    if (FPlaying) After(ReversePause, &TfAbout::zf2Back);
}

void TfAbout::zf2Back() {
    const int showing = Showing;
    {
        const TRun run(Running);
        zf2->UnBlend();
    }
    if (showing == Showing && FPlaying) zf2End();
}

void TfAbout::zf2End() {
    After(LastPause, &TfAbout::ShowTexts);
}

void TfAbout::ShowTexts() {
    zf2->hide();
    Panel1->show();
    Panel2->hide();
    ZorvFade1->show();
    FPlaying = false;
}

void TfAbout::StopSequence() {
    Sequence.stop();
    Next = nullptr;
    FPlaying = false;
}

void TfAbout::FormHide() {
    // Closing ends the sequence at once: no further step runs, and a running blend stops at its next frame.
    StopSequence();
    zf1->SetFinish(true);
    zf2->SetFinish(true);
    Panel1->hide();
    Panel2->show();
    ZorvFade1->hide();
}

void TfAbout::ZorvFade1MouseEnter() {
    ZorvFade1->Blend();
}

void TfAbout::ZorvFade1MouseLeave() {
    ZorvFade1->UnBlend();
}

void TfAbout::ZorvFade2MouseEnter() {
    ZorvFade2->Blend();
}

void TfAbout::ZorvFade2MouseLeave() {
    ZorvFade2->UnBlend();
}

void TfAbout::ZorvFade1Click() {
    done(mrOk);
}

int TfAbout::Execute() {
    if (executeHook()) return executeHook()(*this);
    return exec();
}

void TfAbout::SetExecuteHook(TExecuteHook hook) {
    executeHook() = std::move(hook);
}
