#include "gif/GIFPainter.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>

#include "image/Numeric.h"

namespace {

std::function<void(const std::string&)>& ErrorHandler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}

inline void PutPixel(const Surface& s, std::uint8_t* row, int x, TFColor c) {
    std::uint8_t* p = row + x * (s.bpp / 8);
    p[0] = c.b, p[1] = c.g, p[2] = c.r;
}

// Copies a w x h block between 24- or 32-bit surfaces, clipped to both.
void CopyBlock(const Surface& src, int sx, int sy, const Surface& dst, int dx, int dy, int w, int h) {
    if (!src.valid() || !dst.valid()) return;
    if (sx < 0) w += sx, dx -= sx, sx = 0;
    if (sy < 0) h += sy, dy -= sy, sy = 0;
    if (dx < 0) w += dx, sx -= dx, dx = 0;
    if (dy < 0) h += dy, sy -= dy, dy = 0;
    w = std::min({w, src.width - sx, dst.width - dx});
    h = std::min({h, src.height - sy, dst.height - dy});
    if (w <= 0 || h <= 0) return;
    const int sb = src.bpp / 8, db = dst.bpp / 8;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = src.bits + static_cast<std::ptrdiff_t>(sy + y) * src.stride + sx * sb;
        std::uint8_t* d = dst.bits + static_cast<std::ptrdiff_t>(dy + y) * dst.stride + dx * db;
        if (sb == db) {
            std::memmove(d, s, static_cast<std::size_t>(w) * sb);
        } else {
            for (int x = 0; x < w; ++x, s += sb, d += db) d[0] = s[0], d[1] = s[1], d[2] = s[2];
        }
    }
}

void FillBlock(const Surface& dst, TGIFRect r, TFColor c) {
    r.Left = std::max(r.Left, 0), r.Top = std::max(r.Top, 0);
    r.Right = std::min(r.Right, dst.width), r.Bottom = std::min(r.Bottom, dst.height);
    for (int y = r.Top; y < r.Bottom; ++y) {
        std::uint8_t* row = dst.bits + static_cast<std::ptrdiff_t>(y) * dst.stride;
        for (int x = r.Left; x < r.Right; ++x) PutPixel(dst, row, x, c);
    }
}

std::unique_ptr<TFastDIB> NewBuffer(int w, int h, TFColor fill) {
    CheckImageSize(w, h);
    auto dib = std::make_unique<TFastDIB>();
    dib->SetSize(w, h, 24, 0);
    FillBlock(dib->AsSurface(), {0, 0, w, h}, fill);
    return dib;
}

// Positions of the copies of the logical screen laid from (left, top) in steps of (w, h), the first
// ones that end left of or above `from` skipped, up to `to` (exclusive).
template <class F>
void ForEachTile(int left, int top, int fw, int fh, int w, int h, int fromX, int fromY, int toX, int toY,
                 F put) {
    if (w <= 0 || h <= 0) return;
    std::int64_t x = left, y0 = top;
    if (x + fw <= fromX) x += ((fromX - (x + fw)) / w + 1) * std::int64_t{w};
    if (y0 + fh <= fromY) y0 += ((fromY - (y0 + fh)) / h + 1) * std::int64_t{h};
    for (; x < toX; x += w)
        for (std::int64_t y = y0; y < toY; y += h) put(static_cast<int>(x), static_cast<int>(y));
}

} // namespace

void SetGIFPainterErrorHandler(std::function<void(const std::string&)> Handler) {
    ErrorHandler() = std::move(Handler);
}

TGIFRect ScaleRect(const TGIFSubImage& Frame, const TGIFRect& Rect) {
    return Frame.ScaleRect(Rect);
}

void DrawGIFFrame(TGIFSubImage& Frame, const Surface& Target, const TGIFRect& Rect, bool Transparent,
                  bool Tile) {
    Frame.Draw(Target, Rect, Transparent, Tile);
}

// ---------------------------------------------------------------------------------------------------
// The painter list

TGIFPainterList::~TGIFPainterList() {
    std::vector<TGIFPainter*> painters;
    {
        std::lock_guard<std::recursive_mutex> lock(FLock);
        painters.swap(FPainters);
    }
    for (TGIFPainter* p : painters) p->Detach();
}

void TGIFPainterList::Add(TGIFPainter* Painter) {
    std::lock_guard<std::recursive_mutex> lock(FLock);
    FPainters.push_back(Painter);
}

void TGIFPainterList::Remove(TGIFPainter* Painter) {
    std::lock_guard<std::recursive_mutex> lock(FLock);
    const auto it = std::find(FPainters.begin(), FPainters.end(), Painter);
    if (it != FPainters.end()) FPainters.erase(it);
}

int TGIFPainterList::Count() const {
    std::lock_guard<std::recursive_mutex> lock(FLock);
    return static_cast<int>(FPainters.size());
}

std::vector<TGIFPainter*> TGIFPainterList::Painters() const {
    std::lock_guard<std::recursive_mutex> lock(FLock);
    return FPainters;
}

bool TGIFPainterList::Contains(TGIFPainter* Painter) const {
    std::lock_guard<std::recursive_mutex> lock(FLock);
    return std::find(FPainters.begin(), FPainters.end(), Painter) != FPainters.end();
}

// Each call walks a copy of the list and skips painters that have left it meanwhile.
void TGIFPainterList::PaintStart() {
    for (TGIFPainter* p : Painters())
        if (Contains(p)) p->Start();
}

void TGIFPainterList::PaintStop() {
    const std::vector<TGIFPainter*> painters = Painters();
    for (auto it = painters.rbegin(); it != painters.rend(); ++it)
        if (Contains(*it)) (*it)->Stop();
}

void TGIFPainterList::PaintPause() {
    for (TGIFPainter* p : Painters())
        if (Contains(p)) p->Pause();
}

void TGIFPainterList::PaintRestart() {
    for (TGIFPainter* p : Painters())
        if (Contains(p)) p->Restart();
}

// ---------------------------------------------------------------------------------------------------
// The painter

TGIFPainter::TGIFPainter(TGIFImage* AImage, TGIFPaintCanvas& ACanvas, const TGIFRect& ARect,
                         const TGIFPaintSettings& Settings, TGIFPainterDriver& Driver,
                         TGIFPainter** APainterRef)
    : OnStartPaint(Settings.OnStartPaint), OnPaint(Settings.OnPaint), OnAfterPaint(Settings.OnAfterPaint),
      OnLoop(Settings.OnLoop), OnEndPaint(Settings.OnEndPaint), FImage(AImage), FCanvas(ACanvas),
      FRect(ARect), FDrawOptions(Settings.DrawOptions),
      FAnimationSpeed(std::clamp(Settings.AnimationSpeed, 0, 1000)),
      FDrawFrame(Settings.DrawFrame ? Settings.DrawFrame : TGIFFrameDrawer(DrawGIFFrame)), FDriver(Driver),
      PainterRef(AImage ? APainterRef : nullptr) {
    FHasEvent = Async() && Animate() && FrameCount() >= 2;
    if (Settings.DrawBackgroundColor != clNone)
        FBackgroundColor = Settings.DrawBackgroundColor;
    else if (FImage && FImage->GlobalColorMap().Count() > 0)
        FBackgroundColor = FImage->Header().BackgroundColor();
    else
        FBackgroundColor = clWindow;

    // Buffers are needed only when some frame disposes of itself.
    bool background = Has(goClearOnLoop), previous = false;
    for (int i = 0; i < FrameCount(); ++i)
        if (const TGIFGraphicControlExtension* g = FImage->Images()[i]->GraphicControlExtension()) {
            background |= g->Disposal() == dmBackground;
            previous |= g->Disposal() == dmPrevious;
        }
    const int w = FRect.Right - FRect.Left, h = FRect.Bottom - FRect.Top;
    if (w > 0 && h > 0 && (background || previous)) {
        const Surface canvas = FCanvas.Pixels();
        const TFColor fill = ColorToFColor(FBackgroundColor);
        if (background && Has(goTransparent)) {
            Background = NewBuffer(w, h, fill);
            CopyBlock(canvas, FRect.Left, FRect.Top, Background->AsSurface(), 0, 0, w, h);
        }
        BackupBuffer = NewBuffer(w, h, fill);
        CopyBlock(canvas, FRect.Left, FRect.Top, BackupBuffer->AsSurface(), 0, 0, w, h);
        FrameBuffer = NewBuffer(w, h, fill);
    }
    if (FImage) {
        std::lock_guard<std::recursive_mutex> lock(FImage->Painters().Lock());
        FImage->Painters().Add(this);
        if (PainterRef) *PainterRef = this;
    }
}

TGIFPainter::~TGIFPainter() {
    if (FStage != sDone) {
        FTerminated = true;
        try {
            FDriver.Cancel(*this);
        } catch (...) {
        }
    }
    Unlink();
}

void TGIFPainter::Execute() {
    if (Async())
        Start();
    else
        Run();
}

void TGIFPainter::Start() {
    if (!Async() || FStage == sDone || FRunning) {
        FPaused = false;
        return;
    }
    if (FPaused) {
        FPaused = false;
        if (FStage == sWaiting) {
            const std::int64_t left = FWakeAt < 0 ? -1 : std::max<std::int64_t>(FWakeAt - FDriver.Now(), 0);
            FDriver.Schedule(*this, FSignalled ? 0 : static_cast<int>(std::min<std::int64_t>(left, 1 << 30)));
            return;
        }
    }
    if (FStage == sIdle) Run();
}

void TGIFPainter::Stop() {
    FTerminated = true;
    FSignalled = FHasEvent;
    FPaused = false;
    if (FRunning || FStage == sDone) return;
    if (Async() || FStage == sIdle) {
        FDriver.Cancel(*this);
        Run();
    }
}

void TGIFPainter::Pause() {
    if (!Async() || FStage == sDone) return;
    FPaused = true;
    if (FStage == sWaiting && !FRunning) FDriver.Cancel(*this);
}

void TGIFPainter::Restart() {
    DoRestart = true;
    if (Async() && FPaused) Start();
}

void TGIFPainter::Continue() {
    if (FStage != sWaiting || FRunning || FPaused) return;
    Run();
}

void TGIFPainter::SetAnimationSpeed(int Value) {
    Value = std::clamp(Value, 0, 1000);
    if (Value == FAnimationSpeed) return;
    FAnimationSpeed = Value;
    if (!FHasEvent) {
        DoRestart = true;
        return;
    }
    FSignalled = true;
    if (FStage == sWaiting && !FRunning && !FPaused) FDriver.Schedule(*this, 0);
}

void TGIFPainter::SetActiveImage(int Value) {
    FActiveImage = Value;
    FActiveImageSet = true;
}

void TGIFPainter::Detach() noexcept {
    if (PainterRef && *PainterRef == this) *PainterRef = nullptr;
    PainterRef = nullptr;
    FImage = nullptr;
    FTerminated = true;
    if (FRunning || FStage == sDone) return;
    try {
        FDriver.Cancel(*this);
    } catch (...) {
    }
    FStage = sEnd;
    Finish();
}

void TGIFPainter::Run() noexcept {
    if (FRunning || FStage == sDone) return;
    FRunning = true;
    try {
        Step();
    } catch (const std::exception& e) {
        Report(e.what());
        FTerminated = true;
        FStage = sEnd;
    } catch (...) {
        Report("Unexpected error while painting");
        FTerminated = true;
        FStage = sEnd;
    }
    FRunning = false;
    if (FStage == sEnd) Finish(); // last: the driver may free the painter
}

void TGIFPainter::Step() {
    for (;;) {
        switch (FStage) {
        case sIdle:
            DoRestart = true;
            FStage = sRestart;
            break;
        case sRestart:
            if (!DoRestart || FTerminated || !FImage) {
                FStage = sEnd;
                return;
            }
            FRestarted = FEverStarted;
            FEverStarted = true;
            FActiveImage = 0;
            Fire(OnStartPaint);
            FStarted = false;
            DoRestart = false;
            FLoopCount = 1;
            FLoopPoint = 0;
            FLoopSeen = false;
            FDelay = Async() ? 0 : 1;
            OldDisposal = dmNoDisposal;
            FLastTime = FDriver.Now();
            FOldDelay = 0;
            FStage = sPass;
            break;
        case sPass:
            FActiveImage = FLoopPoint;
            if (FStarted) Fire(OnLoop);
            FDrewInPass = false;
            FStage = sFrame;
            break;
        case sFrame:
            if (FTerminated || DoRestart || !FImage || FActiveImage < 0 || FActiveImage >= FrameCount() ||
                FImage->Images()[FActiveImage]->Empty()) {
                FStage = sPassEnd;
                break;
            }
            FStage = sDraw;
            if (FDelay >= 1) {
                if (BeginWait()) return;
            } else if (Async() && FRestarted) {
                // Frame 0 after a restart is drawn from the driver's next call, so that handlers that
                // restart the painter again and again cannot hold the user-interface thread.
                FRestarted = false;
                FStage = sWaiting;
                FWakeAt = FDriver.Now();
                if (!FPaused) FDriver.Schedule(*this, 0);
                return;
            }
            break;
        case sWaiting: // the scheduled wait is over, or was cut short
            if (FSignalled) {
                FSignalled = false;
                FOldDelay = 0;
                FLastTime = FDriver.Now();
            }
            FStage = sDraw;
            break;
        case sDraw:
            if (FTerminated || !FImage) {
                FStage = sEnd;
                return;
            }
            DrawStep();
            FDrewInPass = true;
            FStage = Animate() ? sFrame : sPassEnd;
            break;
        case sPassEnd:
            if (FLoopCount > 0) --FLoopCount;
            // A pass that showed no frame would repeat at once for ever: it ends the painting.
            if (Animate() && Has(goLoop) && (FLoopCount != 0 || Has(goLoopContinously)) && !FTerminated &&
                !DoRestart && FDrewInPass)
                FStage = sPass;
            else
                FStage = sRestart;
            break;
        case sEnd:
        case sDone:
            return;
        }
    }
}

// Works out the wait before the frame from the last frame's delay and the time the drawing took; an
// animating painter then returns to its driver (true), one without goAsync sleeps here.
bool TGIFPainter::BeginWait() {
    const std::int64_t now = FDriver.Now();
    std::int64_t ms;
    if (FAnimationSpeed >= 1) {
        const std::int64_t drift = (now - FLastTime - FOldDelay) / 2;
        ms = MulDiv(ClampToInt(std::int64_t{FDelay} * DelayUnit - drift), 100, FAnimationSpeed);
        FOldDelay = ms;
    } else {
        ms = Async() ? -1 : std::int64_t{MaxDelay} * DelayUnit;
    }
    FLastTime = now;
    if (Async()) {
        if (FSignalled) { // the wake-up came before the wait
            FSignalled = false;
            FOldDelay = 0;
            FLastTime = FDriver.Now();
            return false;
        }
        // A wait that is already over still returns to the driver once, so a slow animation cannot
        // hold the user-interface thread.
        if (ms >= 0) ms = std::max<std::int64_t>(ms, 0);
        FWakeAt = ms < 0 ? -1 : now + ms;
        FStage = sWaiting;
        if (!FPaused) FDriver.Schedule(*this, static_cast<int>(ms));
        return true;
    }
    ms = std::max<std::int64_t>(ms, 1);
    while (ms > 0 && !FTerminated && !DoRestart) {
        const std::int64_t t0 = FDriver.Now();
        if (!FDriver.Sleep(static_cast<int>(std::min<std::int64_t>(ms, 100)))) FTerminated = true;
        ms -= std::max<std::int64_t>(FDriver.Now() - t0, 1);
    }
    return false;
}

void TGIFPainter::DrawStep() {
    Fire(OnPaint);
    if (FTerminated || !FImage || FActiveImage < 0 || FActiveImage >= FrameCount()) return;
    TGIFSubImage& frame = *FImage->Images()[FActiveImage];
    Disposal = dmNoDisposal;
    for (int i = 0; i < frame.Extensions().Count(); ++i) {
        TGIFExtension* e = frame.Extensions()[i];
        if (const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(e)) {
            if (FLoopSeen) continue;
            FLoopSeen = true;
            FLoopCount = loop->Loops();
            FLoopPoint = FActiveImage;
            if (Async() && (FLoopCount == 0 || Has(goLoopContinously))) FLoopCount = -1;
        } else if (const auto* g = dynamic_cast<const TGIFGraphicControlExtension*>(e)) {
            Disposal = g->Disposal();
        }
    }
    DrawFrame(frame);
    // A handler of the canvas's change may have taken the picture (and this frame) away.
    if (!FImage) return;
    OldDisposal = Disposal;
    FDelay = DefaultDelay;
    if (const TGIFGraphicControlExtension* g = frame.GraphicControlExtension(); g && g->Delay() > 0) {
        FDelay = std::max(g->Delay(), int{MinDelay});
        if (!Async()) FDelay = std::min(FDelay, int{MaxDelay});
    }
    const int shown = FActiveImage;
    FActiveImageSet = false;
    Fire(OnAfterPaint);
    if (!FActiveImageSet) FActiveImage = shown + 1;
}

void TGIFPainter::DrawFrame(TGIFSubImage& Frame) {
    const Surface canvas = FCanvas.Pixels();
    if (!canvas.valid() && Has(goValidateCanvas)) {
        FTerminated = true;
        return;
    }
    const bool transparent = Has(goTransparent), tile = Has(goTile);
    if (!BackupBuffer) {
        if (!canvas.valid()) return;
        FDrawFrame(Frame, canvas, FRect, transparent, tile);
        FCanvas.Changed(FRect);
        FStarted = true;
        return;
    }
    // The backup buffer holds what the rectangle shows without the frames that are to go again.
    TFastDIB* target = BackupBuffer.get();
    bool onCanvas = false;
    if (Disposal == dmPrevious) {
        if (OldDisposal == dmNone || OldDisposal == dmNoDisposal) {
            onCanvas = true;
        } else {
            BackupBuffer->Draw(*FrameBuffer, 0, 0);
            target = FrameBuffer.get();
        }
    }
    if (Has(goClearOnLoop) && FActiveImage == 0) ClearFrameArea(Frame);
    if (onCanvas) {
        if (canvas.valid()) FDrawFrame(Frame, canvas, FRect, transparent, tile);
    } else {
        FDrawFrame(Frame, target->AsSurface(), {0, 0, target->Width, target->Height}, transparent, tile);
        CopyBlock(target->AsSurface(), 0, 0, canvas, FRect.Left, FRect.Top, target->Width, target->Height);
    }
    FCanvas.Changed(FRect);
    if (Disposal == dmBackground) ClearFrameArea(Frame);
    FStarted = true;
}

// Gives the frame's area of the backup buffer back to the background: the background colour, or with
// goTransparent what lay under the rectangle before painting began.
void TGIFPainter::ClearFrameArea(TGIFSubImage& Frame) {
    if (!BackupBuffer || !FImage) return;
    const int W = FImage->Width(), H = FImage->Height();
    if (W <= 0 || H <= 0) return;
    const Surface buffer = BackupBuffer->AsSurface();
    const bool fromBackground = Has(goTransparent) && Background;
    const TFColor fill = ColorToFColor(FBackgroundColor);
    auto clear = [&](const TGIFRect& r) {
        if (fromBackground)
            CopyBlock(Background->AsSurface(), r.Left, r.Top, buffer, r.Left, r.Top, r.Right - r.Left,
                      r.Bottom - r.Top);
        else
            FillBlock(buffer, r, fill);
    };
    const int fw = Frame.Width(), fh = Frame.Height();
    if (Has(goTile) && (Has(goTransparent) || (fw != W && fh != H)))
        ForEachTile(Frame.Left(), Frame.Top(), fw, fh, W, H, 0, 0, buffer.width, buffer.height,
                    [&](int x, int y) {
                        clear({x, y, x + fw, y + fh});
                    });
    else
        clear(ScaleRect(Frame, {0, 0, buffer.width, buffer.height}));
}

void TGIFPainter::Fire(const TGIFNotifyEvent& Event) {
    if (Event && !FTerminated && FImage) Event(*this);
}

void TGIFPainter::Finish() noexcept {
    FActiveImage = -1;
    FRunning = true;
    try {
        Fire(OnEndPaint);
    } catch (const std::exception& e) {
        Report(e.what());
    } catch (...) {
        Report("Unexpected error while painting");
    }
    FRunning = false;
    FStage = sDone;
    Unlink();
    try {
        FDriver.Finished(*this);
    } catch (...) {
    }
}

void TGIFPainter::Unlink() noexcept {
    if (FImage) {
        TGIFPainterList& list = FImage->Painters();
        std::lock_guard<std::recursive_mutex> lock(list.Lock());
        if (PainterRef && *PainterRef == this) *PainterRef = nullptr;
        list.Remove(this);
    }
    FImage = nullptr;
    PainterRef = nullptr;
    BackupBuffer.reset();
    FrameBuffer.reset();
    Background.reset();
}

void TGIFPainter::Report(const std::string& Message) noexcept {
    FError = Message;
    try {
        if (FImage && FImage->OnWarning)
            FImage->Warning(this, gsError, Message);
        else if (ErrorHandler())
            ErrorHandler()(Message);
    } catch (...) {
    }
}
