// Drawing the picture and the painters that play it: Draw, Paint and the controls of running painters.
#include <algorithm>
#include <mutex>
#include <vector>

#include "gif/GIFImage.h"
#include "gif/GIFPainter.h"

namespace {

// The picture's cached bitmap as a painter's canvas; every frame drawn into it is a change of the
// picture. The bitmap is shared, so the pixels stay while the painter lives even if the picture has
// dropped it meanwhile.
class TBitmapCanvas final : public TGIFPaintCanvas {
public:
    TBitmapCanvas(std::shared_ptr<TFastDIB> Bitmap, TGIFImage& Image)
        : FBitmap(std::move(Bitmap)), FImage(Image) {}
    Surface Pixels() override { return FBitmap->AsSurface(); }
    // Only called by a painter still linked to the picture, so the picture is alive.
    void Changed(const TGIFRect&) override { FImage.Changed(&FImage); }

private:
    std::shared_ptr<TFastDIB> FBitmap;
    TGIFImage& FImage;
};

// The caller's canvas, for a painter that plays straight on it.
class TForwardCanvas final : public TGIFPaintCanvas {
public:
    explicit TForwardCanvas(TGIFPaintCanvas& Canvas) : FCanvas(Canvas) {}
    Surface Pixels() override { return FCanvas.Pixels(); }
    void Changed(const TGIFRect& Rect) override { FCanvas.Changed(Rect); }

private:
    TGIFPaintCanvas& FCanvas;
};

// A surface valid for one call.
class TSurfaceCanvas final : public TGIFPaintCanvas {
public:
    explicit TSurfaceCanvas(const Surface& S) : FSurface(S) {}
    Surface Pixels() override { return FSurface; }

private:
    Surface FSurface;
};

// Stretches what Source shows in Rect over the whole of Target (nearest neighbour); parts of Rect
// outside Source leave Target as it was.
void CopyUnder(const Surface& Source, const TGIFRect& Rect, TFastDIB& Target) {
    if (!Source.valid() || (Source.bpp != 24 && Source.bpp != 32) || Target.Width <= 0 || Target.Height <= 0)
        return;
    const std::int64_t rw = Rect.Right - Rect.Left, rh = Rect.Bottom - Rect.Top;
    if (rw <= 0 || rh <= 0) return;
    const int sb = Source.bpp / 8;
    std::vector<int> columns(static_cast<std::size_t>(Target.Width));
    for (int x = 0; x < Target.Width; ++x)
        columns[static_cast<std::size_t>(x)] = static_cast<int>(Rect.Left + x * rw / Target.Width);
    for (int y = 0; y < Target.Height; ++y) {
        const std::int64_t sy = Rect.Top + y * rh / Target.Height;
        if (sy < 0 || sy >= Source.height) continue;
        const std::uint8_t* row = Source.bits + static_cast<std::ptrdiff_t>(sy) * Source.stride;
        TFColor* out = Target.Pixels24[y];
        for (int x = 0; x < Target.Width; ++x) {
            const int sx = columns[static_cast<std::size_t>(x)];
            if (sx < 0 || sx >= Source.width) continue;
            const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(sx) * sb;
            out[x] = TFColor{p[0], p[1], p[2]};
        }
    }
}

} // namespace

TGIFPainterDriver*& TGIFImage::DefaultPainterDriver() {
    static TGIFPainterDriver* driver = nullptr;
    return driver;
}

void TGIFImage::FreeBitmap() {
    {
        std::lock_guard<std::recursive_mutex> lock(FPainters.Lock());
        if (FDrawPainter) FDrawPainter->Stop();
    }
    FBitmap.reset();
}

void TGIFImage::Draw(TGIFPaintCanvas& Canvas, const TGIFRect& Rect) {
    DrawOn(Canvas, Rect, (FDrawOptions & DrawOption(goDirectDraw)) != 0);
}

void TGIFImage::Draw(const Surface& Canvas, const TGIFRect& Rect) {
    TSurfaceCanvas canvas(Canvas);
    DrawOn(canvas, Rect, false);
}

void TGIFImage::DrawOn(TGIFPaintCanvas& Canvas, const TGIFRect& Rect, bool Direct) {
    if (IsDrawing || FImages->Count() == 0 || Rect.Left >= Rect.Right || Rect.Top >= Rect.Bottom) return;
    IsDrawing = true;
    struct TDrawing {
        bool& Flag;
        ~TDrawing() { Flag = false; }
    } drawing{IsDrawing};
    const Surface target = Canvas.Pixels();
    const bool animated = FImages->Count() > 1 && Animate() && FPainterDriver && Width() > 0 && Height() > 0;
    if (!animated) {
        DrawStill(target, Rect);
        return;
    }
    // The running painter keeps the cached bitmap current.
    if (FBitmap && !Direct) {
        PutBitmap(*FBitmap, target, Rect);
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(FPainters.Lock());
    if (Direct && FDrawPainter && FDrawCanvas == &Canvas && FDrawPainter->Rect() == Rect) return;
    StopDraw();
    std::unique_ptr<TGIFPaintCanvas> canvas;
    TGIFRect rect = Rect;
    std::shared_ptr<TFastDIB> bitmap;
    if (Direct) {
        canvas = std::make_unique<TForwardCanvas>(Canvas);
    } else {
        // What the canvas shows under Rect is the background the animation starts on.
        CheckImageSize(Width(), Height());
        bitmap = std::make_shared<TFastDIB>();
        bitmap->SetSize(Width(), Height(), 24, 0);
        CopyUnder(target, Rect, *bitmap);
        FBitmap = bitmap;
        canvas = std::make_unique<TBitmapCanvas>(bitmap, *this);
        rect = {0, 0, Width(), Height()};
    }
    if (TGIFPainter* painter = InternalPaint(&FDrawPainter, std::move(canvas), rect, FDrawOptions)) {
        FDrawCanvas = Direct ? &Canvas : nullptr;
        // An animating painter draws its first frame in this call.
        painter->Start();
    }
    if (bitmap) PutBitmap(*bitmap, target, Rect);
}

void TGIFImage::DrawStill(const Surface& Canvas, const TGIFRect& Rect) {
    const int index = FForceFrame >= 0 && FForceFrame < FImages->Count() ? FForceFrame : 0;
    FImages->GetImage(index)->Draw(Canvas, Rect, (FDrawOptions & DrawOption(goTransparent)) != 0,
                                   (FDrawOptions & DrawOption(goTile)) != 0);
}

// With goTile copies of the bitmap at its own size laid from Rect's corner, else the bitmap
// stretched into Rect.
void TGIFImage::PutBitmap(const TFastDIB& Bitmap, const Surface& Canvas, const TGIFRect& Rect) const {
    const int w = Rect.Right - Rect.Left, h = Rect.Bottom - Rect.Top;
    if (FDrawOptions & DrawOption(goTile))
        Bitmap.TileDraw(Canvas, Rect.Left, Rect.Top, w, h);
    else
        Bitmap.Stretch(Canvas, Rect.Left, Rect.Top, w, h);
}

TGIFPainter* TGIFImage::InternalPaint(TGIFPainter** Ref, std::unique_ptr<TGIFPaintCanvas> Canvas,
                                      const TGIFRect& Rect, TGIFDrawOptions Options) {
    if (Ref) *Ref = nullptr;
    if (Empty() || Rect.Left >= Rect.Right || Rect.Top >= Rect.Bottom || !FPainterDriver) return nullptr;
    if (FImages->Count() == 1) Options &= static_cast<TGIFDrawOptions>(~::DrawOptions({goAsync, goAnimate}));
    TGIFPaintSettings s;
    s.DrawOptions = Options;
    s.AnimationSpeed = FAnimationSpeed;
    s.DrawBackgroundColor = FDrawBackgroundColor;
    s.OnStartPaint = OnStartPaint;
    s.OnPaint = OnPaint;
    s.OnAfterPaint = OnAfterPaint;
    s.OnLoop = OnLoop;
    s.OnEndPaint = OnEndPaint;
    TGIFPainter* painter = FPainterDriver->CreatePainter(*this, std::move(Canvas), Rect, s, Ref);
    if (!painter || painter->Async()) return painter;
    // Without goAsync the painter plays to its end here; the driver frees it.
    painter->Execute();
    if (Ref && *Ref == painter) *Ref = nullptr;
    return nullptr;
}

TGIFPainter* TGIFImage::Paint(TGIFPaintCanvas& Canvas, const TGIFRect& Rect, TGIFDrawOptions Options) {
    TGIFPainter* painter = InternalPaint(nullptr, std::make_unique<TForwardCanvas>(Canvas), Rect, Options);
    if (painter) painter->Start();
    return painter;
}

void TGIFImage::PaintStart() {
    FPainters.PaintStart();
}

void TGIFImage::PaintStop() {
    FPainters.PaintStop();
    FBitmap.reset();
}

void TGIFImage::PaintPause() {
    FPainters.PaintPause();
}

void TGIFImage::PaintResume() {
    FPainters.PaintResume();
}

void TGIFImage::PaintRestart() {
    FPainters.PaintRestart();
}

void TGIFImage::StopDraw() {
    {
        std::lock_guard<std::recursive_mutex> lock(FPainters.Lock());
        if (FDrawPainter) FDrawPainter->Stop();
    }
    FBitmap.reset();
}
