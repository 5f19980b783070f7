#pragma once
// TZorvFade: shows one picture and turns it into a second, frame by frame on the caller's thread, by a
// cross-fade (blend) or a random-pixel dissolve; a run can reverse itself after a pause, and a pluggable
// transition object can take the place of the built-in effects. Runs block the caller; with
// ProcessMsgs set, events are processed between frames (and Finish is honoured there).

#include "controls/SystemColors.h"
#include "controls/TransitionFrames.h"
#include "image/FastDIB.h"

#include <QPointer>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <vector>

class TZorvFade;

// The errors of the dissolve.
class EZorvFade : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TZorvEffectMode : std::uint8_t { zemBlend, zemDissolve, zemCustom };

// A pluggable transition: works on the control's three pictures (shown, target, start copy).
class TZorvCustomTransitionBase : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void Transition(TZorvFade* ZorvFade, TFastDIB& bmpFrom, TFastDIB& bmpTo, TFastDIB& bmpZ) = 0;
    virtual void UnTransition(TZorvFade* ZorvFade, TFastDIB& bmpFrom, TFastDIB& bmpTo, TFastDIB& bmpZ) = 0;

signals:
    void OnBegin(QObject* sender);
    void OnEnd(QObject* sender);
};

class TZorvFade : public QWidget {
    Q_OBJECT
public:
    explicit TZorvFade(QWidget* parent = nullptr);
    ~TZorvFade() override;

    // The two source pictures (24 bits); an empty picture has no graphic. Setting one renders both again.
    const TFastDIB& PicFrom() const { return FPicFrom; }
    const TFastDIB& PicTo() const { return FPicTo; }
    void SetPicFrom(const TFastDIB& pic);
    void SetPicTo(const TFastDIB& pic);

    TColor ColorFrom() const { return FclFrom; }
    TColor ColorTo() const { return FclTo; }
    void SetColorFrom(TColor value);
    void SetColorTo(TColor value);
    int DisolvRate() const { return FDRate; }
    void SetDisolvRate(int value); // raised to 1, then lowered to the control's pixel count
    int BlendRate() const { return FBRate; }
    void SetBlendRate(int value); // raised to 1
    bool StretchToFit() const { return FStretch; }
    void SetStretchToFit(bool value);
    bool ProcessMsgs() const { return FProcMsg; }
    void SetProcessMsgs(bool value) { FProcMsg = value; }
    bool AutoReverse() const { return FAutoRev; }
    void SetAutoReverse(bool value) { FAutoRev = value; }
    bool SwapOnReverse() const { return FRevSwap; }
    void SetSwapOnReverse(bool value) { FRevSwap = value; }
    int SwapDelay() const { return FDelay; } // seconds; a negative delay waits 0
    void SetSwapDelay(int value) { FDelay = value; }
    int MsecPerFrame() const { return FMSecPerFrame; }
    void SetMsecPerFrame(int value) { FMSecPerFrame = value; }
    TZorvEffectMode EffectMode() const { return FZorvEffectMode; }
    void SetEffectMode(TZorvEffectMode value) { FZorvEffectMode = value; }
    // Not owned; forgotten when the object is destroyed.
    TZorvCustomTransitionBase* CustomTransition() const { return FCustomTransition; }
    void SetCustomTransition(TZorvCustomTransitionBase* value) { FCustomTransition = value; }
    // A request to end the running transition (looked at between frames while ProcessMsgs is set).
    bool Finish() const { return FFinish; }
    void SetFinish(bool value) { FFinish = value; }

    // The picture shown, the target and the start copy of a blend.
    const TFastDIB& bmF() const { return FbmF; }
    const TFastDIB& bmT() const { return FbmT; }
    const TFastDIB& bmZ() const { return FbmZ; }
    // Pixel count of the last dissolve.
    std::int64_t NumPix() const { return FNumPix; }
    // A reverse run holds the pictures and colours swapped.
    bool Reversed() const { return FReverst; }

    void Reset();
    void Blend();
    void UnBlend();
    void Dissolve();
    void UnDissolve();
    void Transition();
    void FinishIt();

signals:
    void OnBegin(TZorvFade* sender);
    void OnEnd(TZorvFade* sender);
    void OnReset(TZorvFade* sender);
    void OnMouseEnter(TZorvFade* sender);
    void OnMouseLeave(TZorvFade* sender);
    void OnClick(TZorvFade* sender);
    void OnMouseDown(TZorvFade* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void OnMouseUp(TZorvFade* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);

protected:
    // Called after every frame has been shown (a seam for tests; nothing by default).
    virtual void FrameShown() {}

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TFastDIB FbmF, FbmT, FbmZ;
    TFastDIB FPicFrom, FPicTo;
    TColor FclFrom = clBlack, FclTo = clWhite;
    int FDRate = 125;
    int FBRate = 32;
    std::int64_t FNumPix = 0;
    int FMSecPerFrame = 40;
    bool FStretch = true;
    bool FProcMsg = false;
    bool FFinish = false;
    bool FAutoRev = false;
    bool FRevSwap = true;
    bool FReverst = false;
    bool FStrTmp = true;
    int FDelay = 1;
    TZorvEffectMode FZorvEffectMode = zemBlend;
    QPointer<TZorvCustomTransitionBase> FCustomTransition;
    bool resetting_ = false;
    bool leftDown_ = false;

    using Clock = std::chrono::steady_clock;
    enum class Paced { Go, Finished, Gone };
    class ReverseScope;

    void PicChanged();
    void Render();
    // Shows the frame at once and calls FrameShown; false when the control was destroyed meanwhile.
    bool ShowFrame();
    // Waits for the frame's deadline; with ProcessMsgs processes events meanwhile and then honours Finish.
    Paced Pace(Clock::time_point& deadline);
    void SwapPause() const;
    // The frames of each effect from the shown picture to the target (shared by both directions).
    Paced BlendFrames();
    std::vector<TPixelPair> PlanDissolve(std::int64_t& n); // throws EZorvFade when n would be 0
    Paced DissolveFrames(const std::vector<TPixelPair>& list, std::int64_t n);
    // Steps 1 to 4 of a reverse run: stretching forced, colours and pictures swapped, rendered again.
    // False when the control was destroyed meanwhile.
    bool EnterReverse(ReverseScope& scope);
};
