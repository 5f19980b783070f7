#include "controls/TransitionControl.h"

#include "controls/ControlPaint.h"
#include "controls/TransitionFrames.h"
#include "image/Numeric.h"
#include "platform/FastDIBQt.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

void Fill(TFastDIB& bm, TColor c) {
    FillRect(bm, TRect{0, 0, bm.Width, bm.Height}, c);
}

void SizeTo(TFastDIB& bm, int W, int H) {
    if (W <= 0 || H <= 0)
        bm.SetSize(0, 0, 0, 0);
    else
        bm.SetSize(W, H, 24, 0);
}

void CopyInto(TFastDIB& dst, const TFastDIB& src) {
    SizeTo(dst, src.Width, src.Height);
    if (!src.Empty() && !dst.Empty())
        std::memcpy(dst.Bits, src.Bits, static_cast<std::size_t>(src.ByteCount()));
}

// A picture stretched over the whole of `bm`, or the fill colour when there is none.
void RenderStretched(TFastDIB& bm, const TFastDIB& pic, TColor fill) {
    if (bm.Empty()) return;
    if (pic.Empty())
        Fill(bm, fill);
    else
        pic.Stretch(bm, 0, 0, bm.Width, bm.Height);
}

// A picture at its own size at (0, 0); the fill shows where it does not reach.
void RenderPlain(TFastDIB& bm, const TFastDIB& pic, TColor fill) {
    if (bm.Empty()) return;
    if (pic.Width < bm.Width || pic.Height < bm.Height) Fill(bm, fill);
    if (!pic.Empty()) pic.Draw(bm, 0, 0);
}

} // namespace

// Keeps a reverse run from leaving the pictures, colours and stretching swapped, however it ends:
// once the run holds the swapped state, Reset puts everything back; before that, the steps taken so
// far are undone by hand.
class TZorvFade::ReverseScope {
public:
    explicit ReverseScope(TZorvFade* f) : f_(f) {}
    ~ReverseScope() {
        if (!f_) return;
        try {
            if (entered) {
                // A Reset meanwhile (a change of size) may have put everything back already.
                if (f_->FReverst) f_->Reset();
                return;
            }
            if (picturesSwapped) f_->FPicFrom.Swap(f_->FPicTo);
            if (coloursSwapped) std::swap(f_->FclFrom, f_->FclTo);
            f_->FStretch = f_->FStrTmp;
            f_->Reset();
        } catch (...) {
            // Out of memory while rendering: the state is as consistent as the pictures allow.
        }
    }
    ReverseScope(const ReverseScope&) = delete;
    ReverseScope& operator=(const ReverseScope&) = delete;
    bool coloursSwapped = false;
    bool picturesSwapped = false;
    bool entered = false; // the run holds the swapped state (FReverst set)

private:
    QPointer<TZorvFade> f_;
};

TZorvFade::TZorvFade(QWidget* parent) : QWidget(parent) {
    // Defaults go straight into the fields: the setters would render pictures not made yet.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resetting_ = true; // the first size is not a change of size
    resize(75, 75);
    resetting_ = false;
    SizeTo(FbmF, 75, 75);
    Fill(FbmF, FclFrom);
}

TZorvFade::~TZorvFade() = default;

void TZorvFade::SetPicFrom(const TFastDIB& pic) {
    CopyInto(FPicFrom, pic);
    PicChanged();
}

void TZorvFade::SetPicTo(const TFastDIB& pic) {
    CopyInto(FPicTo, pic);
    PicChanged();
}

void TZorvFade::PicChanged() {
    if (FReverst) return;
    Reset();
    update();
}

void TZorvFade::SetColorFrom(TColor value) {
    if (value == FclFrom) return;
    FclFrom = value;
    Reset();
    update();
}

void TZorvFade::SetColorTo(TColor value) {
    if (value == FclTo) return;
    FclTo = value;
    Reset();
    update();
}

void TZorvFade::SetDisolvRate(int value) {
    FDRate = value;
    if (FDRate < 1) FDRate = 1;
    const std::int64_t pixels = static_cast<std::int64_t>(std::max(width(), 0)) * std::max(height(), 0);
    if (FDRate > pixels) FDRate = static_cast<int>(pixels);
}

void TZorvFade::SetBlendRate(int value) {
    FBRate = std::max(value, 1);
}

void TZorvFade::SetStretchToFit(bool value) {
    if (value == FStretch) return;
    FStretch = value;
    Reset();
    update();
}

void TZorvFade::Reset() {
    if (FReverst) {
        std::swap(FclFrom, FclTo);
        FPicFrom.Swap(FPicTo);
        FReverst = false;
        FStretch = FStrTmp;
    }
    Render();
    SizeTo(FbmZ, FbmF.Width, FbmF.Height);
    update();
    emit OnReset(this);
}

void TZorvFade::Render() {
    const bool hasFrom = !FPicFrom.Empty(), hasTo = !FPicTo.Empty();
    if (!FStretch && (hasFrom || hasTo)) {
        // The control takes the size of the picture drawn at its own size.
        const TFastDIB& own = hasFrom ? FPicFrom : FPicTo;
        if (width() != own.Width || height() != own.Height) {
            const bool was = resetting_;
            resetting_ = true;
            resize(own.Width, own.Height);
            resetting_ = was;
        }
    }
    const int W = width(), H = height();
    SizeTo(FbmF, W, H);
    SizeTo(FbmT, W, H);
    if (FStretch || (!hasFrom && !hasTo)) {
        RenderStretched(FbmF, FPicFrom, FclFrom);
        RenderStretched(FbmT, FPicTo, FclTo);
    } else if (!hasFrom) {
        Fill(FbmF, FclFrom);
        RenderPlain(FbmT, FPicTo, FclTo);
    } else {
        RenderPlain(FbmF, FPicFrom, FclFrom);
        RenderStretched(FbmT, FPicTo, FclTo);
    }
}

bool TZorvFade::ShowFrame() {
    QPointer<TZorvFade> self(this);
    repaint();
    if (!self) return false;
    FrameShown();
    return static_cast<bool>(self);
}

TZorvFade::Paced TZorvFade::Pace(Clock::time_point& deadline) {
    deadline += std::chrono::milliseconds(FMSecPerFrame);
    if (!FProcMsg) {
        const double ms = std::chrono::duration<double, std::milli>(deadline - Clock::now()).count();
        const std::int64_t wait = ms > 0 ? Round(ms) : 0;
        if (wait > 0) QThread::msleep(static_cast<unsigned long>(wait));
        return Paced::Go;
    }
    QPointer<TZorvFade> self(this);
    QCoreApplication::processEvents();
    if (!self) return Paced::Gone;
    // Events go on being handled until the deadline has passed, without spinning meanwhile.
    while (Clock::now() <= deadline) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count() + 1;
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(std::clamp<std::int64_t>(left, 1, 1000)), &loop,
                           &QEventLoop::quit);
        loop.exec();
        if (!self) return Paced::Gone;
    }
    if (FFinish) {
        FinishIt();
        return self ? Paced::Finished : Paced::Gone;
    }
    return Paced::Go;
}

void TZorvFade::SwapPause() const {
    const std::int64_t ms = std::clamp<std::int64_t>(static_cast<std::int64_t>(FDelay) * 1000, 0, 86400000);
    if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

TZorvFade::Paced TZorvFade::BlendFrames() {
    CopyInto(FbmZ, FbmF);
    Clock::time_point deadline = Clock::now();
    const int rate = std::max(FBRate, 1);
    for (std::int64_t i = 0; i <= rate; ++i) {
        BlendBits(FbmZ, FbmT, FbmF, BlendWeight(i, rate));
        if (!ShowFrame()) return Paced::Gone;
        const Paced p = Pace(deadline);
        if (p != Paced::Go) return p;
    }
    return Paced::Go;
}

std::vector<TPixelPair> TZorvFade::PlanDissolve(std::int64_t& n) {
    // Each run keeps its own list: a nested run (while events are processed) cannot take it away.
    std::vector<TPixelPair> list = BuildPixelList(width(), height());
    FNumPix = static_cast<std::int64_t>(list.size());
    n = DissolveChunk(FNumPix, FDRate); // a rate of 0 (set while the control had no area) counts as 1
    if (n < 1) throw EZorvFade("DisolvRate cannot be > Width * Height!");
    return list;
}

TZorvFade::Paced TZorvFade::DissolveFrames(const std::vector<TPixelPair>& list, std::int64_t n) {
    Clock::time_point deadline = Clock::now();
    const std::int64_t frames = static_cast<std::int64_t>(list.size()) / n;
    for (std::int64_t f = 0; f < frames; ++f) {
        CopyPixels(list.data() + f * n, list.data() + f * n + n, FbmT, FbmF);
        if (!ShowFrame()) return Paced::Gone;
        const Paced p = Pace(deadline);
        if (p != Paced::Go) return p;
    }
    // The remainder in one more frame, without a wait.
    CopyPixels(list.data() + frames * n, list.data() + list.size(), FbmT, FbmF);
    return ShowFrame() ? Paced::Go : Paced::Gone;
}

void TZorvFade::Blend() {
    QPointer<TZorvFade> self(this);
    Reset();
    if (!self) return;
    emit OnBegin(this);
    if (!self) return;
    if (BlendFrames() != Paced::Go) return; // ended by Finish (FinishIt raised OnEnd) or destroyed
    if (FAutoRev) {
        SwapPause();
        if (FRevSwap)
            UnDissolve();
        else
            UnBlend();
        if (!self) return;
    }
    emit OnEnd(this);
}

void TZorvFade::Dissolve() {
    QPointer<TZorvFade> self(this);
    Reset();
    if (!self) return;
    std::int64_t n = 0;
    const std::vector<TPixelPair> list = PlanDissolve(n);
    emit OnBegin(this);
    if (!self) return;
    if (DissolveFrames(list, n) != Paced::Go) return;
    if (FAutoRev) {
        SwapPause();
        if (FRevSwap)
            UnBlend();
        else
            UnDissolve();
        if (!self) return;
    }
    emit OnEnd(this);
}

bool TZorvFade::EnterReverse(ReverseScope& scope) {
    QPointer<TZorvFade> self(this);
    // A swapped state left by another reverse run (one this run is nested in) is put back first, so
    // that the settings saved below are the user's own.
    if (FReverst) Reset();
    if (!self) return false;
    FStrTmp = FStretch;
    FStretch = true;
    std::swap(FclFrom, FclTo);
    scope.coloursSwapped = true;
    // The pictures change places (at once, so nothing is lost should rendering fail), then each of the
    // two assignments renders both again.
    FPicFrom.Swap(FPicTo);
    scope.picturesSwapped = true;
    PicChanged();
    if (!self) return false;
    PicChanged();
    if (!self) return false;
    Reset();
    if (!self) return false;
    FReverst = true;
    scope.entered = true;
    return true;
}

void TZorvFade::UnBlend() {
    ReverseScope scope(this);
    if (!EnterReverse(scope)) return;
    BlendFrames();
}

void TZorvFade::UnDissolve() {
    ReverseScope scope(this);
    if (!EnterReverse(scope)) return;
    std::int64_t n = 0;
    const std::vector<TPixelPair> list = PlanDissolve(n);
    DissolveFrames(list, n);
}

void TZorvFade::Transition() {
    switch (FZorvEffectMode) {
    case zemBlend:
        Blend();
        return;
    case zemDissolve:
        Dissolve();
        return;
    case zemCustom:
        break;
    }
    QPointer<TZorvFade> self(this);
    emit OnBegin(this);
    if (!self) return;
    if (FCustomTransition)
        FCustomTransition->Transition(this, FbmF, FbmT, FbmZ);
    else
        Blend(); // raises its own OnBegin and OnEnd inside the outer pair
    if (!self) return;
    emit OnEnd(this);
}

void TZorvFade::FinishIt() {
    QPointer<TZorvFade> self(this);
    // The target stays shown: the shown picture becomes it, so a later repaint does not go back.
    CopyInto(FbmF, FbmT);
    repaint();
    if (!self) return;
    emit OnEnd(this);
    if (!self) return;
    FFinish = false;
}

void TZorvFade::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!FbmF.Empty()) DrawDIB(p, FbmF, 0, 0);
}

void TZorvFade::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (resetting_) return;
    Reset();
}

void TZorvFade::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    emit OnMouseEnter(this);
}

void TZorvFade::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit OnMouseLeave(this);
}

void TZorvFade::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) leftDown_ = true;
    emit OnMouseDown(this, event->button(), event->modifiers(), event->position().toPoint());
}

void TZorvFade::mouseReleaseEvent(QMouseEvent* event) {
    QPointer<TZorvFade> self(this);
    const bool click =
        leftDown_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    leftDown_ = false;
    emit OnMouseUp(this, event->button(), event->modifiers(), event->position().toPoint());
    if (self && click) emit OnClick(this);
}
