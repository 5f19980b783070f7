#pragma once
// TGIFPainter: draws a GIF picture into a rectangle of a canvas and, for animations, plays its frames
// with their delays, disposal methods and loop count. The painter is a state machine with no thread
// and no toolkit: a driver gives it the time and calls it back when a wait is over (a timer on the
// user-interface thread in the program, a fake clock in tests). An animating painter (goAsync) waits
// through the driver's callbacks; one without goAsync runs its frame loop to the end inside Execute,
// sleeping through the driver.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "gif/GIFImage.h"
#include "image/FastDIB.h"

// The window colour of the classic system colour table.
constexpr TColor clWindow = 0x00FFFFFF;

// The frame's place when the whole logical screen is stretched into Rect.
TGIFRect ScaleRect(const TGIFSubImage& Frame, const TGIFRect& Rect);

// Draws one frame on a 24- or 32-bit surface: into its place in Rect (the logical screen stretched into
// Rect, nearest neighbour), or with Tile at its own size once per copy of the logical screen laid from
// Rect's corner. With Transparent the frame's transparent pixels leave the surface as it was. Colours
// come from the frame's active table; an index outside it draws black.
void DrawGIFFrame(TGIFSubImage& Frame, const Surface& Target, const TGIFRect& Rect, bool Transparent,
                  bool Tile);
using TGIFFrameDrawer = std::function<void(TGIFSubImage& Frame, const Surface& Target, const TGIFRect& Rect,
                                           bool Transparent, bool Tile)>;

// What a painter draws on: a block of 24- or 32-bit pixels that may go away (an invalid surface).
class TGIFPaintCanvas {
public:
    virtual ~TGIFPaintCanvas() = default;
    virtual Surface Pixels() = 0;
    // Part of the canvas has been drawn.
    virtual void Changed(const TGIFRect& Rect) {}
};

class TGIFPainter;
struct TGIFPaintSettings;

// Time and waiting for painters.
class TGIFPainterDriver {
public:
    virtual ~TGIFPainterDriver() = default;
    // Milliseconds of a steady clock.
    virtual std::int64_t Now() = 0;
    // Calls Painter.Continue() after Milliseconds (-1: only when woken); replaces an earlier request.
    virtual void Schedule(TGIFPainter& Painter, int Milliseconds) = 0;
    virtual void Cancel(TGIFPainter& Painter) = 0;
    // For painters without goAsync: sleeps up to Milliseconds while handling pending events other than
    // user input (so no command can start meanwhile). False when the application is quitting.
    virtual bool Sleep(int Milliseconds) = 0;
    // The painter has ended and left its picture; the driver may free it once the call returns.
    virtual void Finished(TGIFPainter& Painter) {}
    // A painter of Image on Canvas, owned by the driver together with the canvas and freed some time
    // after it has ended; not started yet. None when this driver does not make painters.
    virtual TGIFPainter* CreatePainter(TGIFImage& /*Image*/, std::unique_ptr<TGIFPaintCanvas> /*Canvas*/,
                                       const TGIFRect& /*Rect*/, const TGIFPaintSettings& /*Settings*/,
                                       TGIFPainter** /*PainterRef*/ = nullptr) {
        return nullptr;
    }
};

// What a painter takes from its picture when it is made.
struct TGIFPaintSettings {
    TGIFDrawOptions DrawOptions = GIFDefaultDrawOptions;
    int AnimationSpeed = 100;            // percent, 0..1000
    TColor DrawBackgroundColor = clNone; // background for disposal to background
    TGIFNotifyEvent OnStartPaint, OnPaint, OnAfterPaint, OnLoop, OnEndPaint;
    TGIFFrameDrawer DrawFrame; // none: DrawGIFFrame
};

// Errors of painters that have no picture to report them to (or whose picture has no OnWarning).
void SetGIFPainterErrorHandler(std::function<void(const std::string&)> Handler);

class TGIFPainter {
public:
    // Default, minimum and maximum frame delay (hundredths of a second); milliseconds per hundredth
    // in the wait.
    static constexpr int DefaultDelay = 10, MinDelay = 3, MaxDelay = 1000, DelayUnit = 12;

    // Joins the picture's painter list; PainterRef, when given, is pointed at the painter and cleared
    // when the painter leaves (if it still points at it).
    TGIFPainter(TGIFImage* AImage, TGIFPaintCanvas& ACanvas, const TGIFRect& ARect,
                const TGIFPaintSettings& Settings, TGIFPainterDriver& Driver,
                TGIFPainter** PainterRef = nullptr);
    ~TGIFPainter();
    TGIFPainter(const TGIFPainter&) = delete;
    TGIFPainter& operator=(const TGIFPainter&) = delete;

    // Without goAsync: the whole frame loop, in this call.
    void Execute();
    // With goAsync: begins playing, or resumes a paused painter.
    void Start();
    // Ends the painting at the next step (at once when the painter is waiting or not started).
    void Stop();
    // With goAsync: holds the animation at its next wait until Start.
    void Pause();
    // Begins again at frame 0 after the current frame.
    void Restart();
    // The driver's call when a scheduled wait is over.
    void Continue();
    // The picture goes: the painter leaves it, stops and never touches it again.
    void Detach() noexcept;

    TGIFImage* Image() const { return FImage; }
    const TGIFRect& Rect() const { return FRect; }
    TGIFDrawOptions DrawOptions() const { return FDrawOptions; }
    int AnimationSpeed() const { return FAnimationSpeed; }
    // 0..1000; a change cuts a wait short (or restarts a painter that has no wait to cut).
    void SetAnimationSpeed(int Value);
    bool Started() const { return FStarted; }
    int ActiveImage() const { return FActiveImage; }
    void SetActiveImage(int Value);
    bool Terminated() const { return FTerminated; }
    bool Finished() const { return FStage == sDone; }
    bool Paused() const { return FPaused; }
    bool Async() const { return (FDrawOptions & DrawOption(goAsync)) != 0; }
    // The last error met in the frame loop (reported to the picture's OnWarning), or empty.
    const std::string& Error() const { return FError; }

    TGIFNotifyEvent OnStartPaint, OnPaint, OnAfterPaint, OnLoop, OnEndPaint;

private:
    enum TStage { sIdle, sRestart, sPass, sFrame, sWaiting, sDraw, sPassEnd, sEnd, sDone };

    void Run() noexcept;
    void Step();
    bool BeginWait();
    void DrawStep();
    void DrawFrame(TGIFSubImage& Frame);
    void ClearFrameArea(TGIFSubImage& Frame);
    void Fire(const TGIFNotifyEvent& Event);
    void Finish() noexcept;
    void Unlink() noexcept;
    void Report(const std::string& Message) noexcept;
    bool Animate() const { return (FDrawOptions & DrawOption(goAnimate)) != 0; }
    bool Has(TGIFDrawOption o) const { return (FDrawOptions & DrawOption(o)) != 0; }
    int FrameCount() const { return FImage ? FImage->Images().Count() : 0; }

    TGIFImage* FImage;
    TGIFPaintCanvas& FCanvas;
    TGIFRect FRect;
    TGIFDrawOptions FDrawOptions;
    int FAnimationSpeed;
    int FActiveImage = -1;
    bool FActiveImageSet = false;
    TDisposalMethod Disposal = dmNone, OldDisposal = dmNone;
    std::unique_ptr<TFastDIB> BackupBuffer, FrameBuffer, Background;
    TColor FBackgroundColor;
    TGIFFrameDrawer FDrawFrame;
    TGIFPainterDriver& FDriver;
    TGIFPainter** PainterRef;

    TStage FStage = sIdle;
    bool DoRestart = true;
    bool FStarted = false;
    bool FTerminated = false;
    bool FPaused = false;
    bool FHasEvent = false; // an animating painter's wait can be cut short by a speed change
    bool FSignalled = false;
    bool FRunning = false;
    bool FDrewInPass = false;
    bool FEverStarted = false, FRestarted = false;
    int FLoopCount = 1, FLoopPoint = 0;
    bool FLoopSeen = false;
    int FDelay = 0; // hundredths before the next frame, then milliseconds of the wait
    std::int64_t FLastTime = 0, FOldDelay = 0;
    std::int64_t FWakeAt = -1; // when the scheduled wait ends (-1: only when woken)
    std::string FError;
};
