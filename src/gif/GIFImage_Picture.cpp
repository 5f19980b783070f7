// The picture as a whole: copying, adding frames, packing, the shared colour table, the optimisation
// passes, options, the palette the picture is shown with, its rendering and drawing.
#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>

#include "gif/GIFImage.h"
#include "image/Numeric.h"

#include "gif/GIFColorMapOptimizer.h"
#include "gif/GIFPainter.h"

// ---------------------------------------------------------------------------------------------------
// Contents

void TGIFImage::Assign(const TGIFImage* Source) {
    if (Source == this) return;
    if (!Source) {
        Clear();
        return;
    }
    Clear();
    // The copy reports through the source's handlers while it runs, and keeps none afterwards.
    OnProgress = Source->OnProgress;
    OnWarning = Source->OnWarning;
    try {
        Progress(psStarting, 0, false, "Copying...");
        FHeader->Assign(*Source->FHeader);
        FDrawBackgroundColor = Source->FDrawBackgroundColor;
        FDrawOptions = Source->FDrawOptions;
        FColorReduction = Source->FColorReduction;
        FDitherMode = Source->FDitherMode;
        FForceFrame = Source->FForceFrame;
        OnStartPaint = Source->OnStartPaint;
        OnPaint = Source->OnPaint;
        OnAfterPaint = Source->OnAfterPaint;
        OnLoop = Source->OnLoop;
        OnEndPaint = Source->OnEndPaint;
        const int n = Source->FImages->Count();
        for (int i = 0; i < n; ++i) {
            auto frame = std::make_unique<TGIFSubImage>(this);
            frame->Assign(Source->FImages->GetImage(i));
            Add(std::move(frame));
            Progress(psRunning, MulDiv(i + 1, 100, n), false, "Copying...");
        }
        FitLogicalScreen();
        Progress(psEnding, 100, false, "Copying...");
    } catch (...) {
        Progress(psEnding, 0, false, "Copying...");
        OnProgress = nullptr;
        OnWarning = nullptr;
        throw;
    }
    OnProgress = nullptr;
    OnWarning = nullptr;
}

void TGIFImage::Assign(const TFastDIB& Source) {
    Clear();
    Add(Source);
}

int TGIFImage::Add(const TFastDIB& Source) {
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(Source);
    return Add(std::move(frame));
}

int TGIFImage::Add(std::unique_ptr<TGIFSubImage> Frame) {
    TGIFSubImage* f = Frame.get();
    const int index = FImages->Add(std::move(Frame));
    FreeBitmap();
    Changed(f);
    return index;
}

void TGIFImage::Pack() {
    FreeBitmap();
    SetPalette(nullptr);
    for (int i = 0; i < FImages->Count(); ++i) {
        TGIFSubImage* f = FImages->GetImage(i);
        f->FreeBitmap();
        f->SetPalette(nullptr);
    }
    if (GlobalColorMap().Count() == 0 && FImages->Count() == 1) {
        TGIFSubImage* f = FImages->GetImage(0);
        GlobalColorMap().Assign(f->ColorMap());
        f->ColorMap().Clear();
        f->SetPalette(nullptr);
    }
}

void TGIFImage::OptimizeColorMap() {
    ::OptimizeColorMap(*this);
    FreeBitmap();
    SetPalette(nullptr);
}

namespace {

bool Contains(const TGIFSubImage& f, int index) {
    return std::find(f.Data(), f.Data() + f.DataSize(), static_cast<std::uint8_t>(index)) !=
           f.Data() + f.DataSize();
}

// Whether the cleanup pass drops an extension of frame Index of a picture of Frames frames.
bool CleanupDrops(TGIFExtension& e, int Index, int Frames) {
    const TGIFExtensionClass c = e.ClassType();
    if (c == &TGIFCommentExtension::ClassInfo || c == &TGIFTextExtension::ClassInfo) return true;
    if (c == &TGIFUnknownAppExtension::ClassInfo) return true;
    if (c == &TGIFAppExtNSLoop::ClassInfo) return !(Index == 0 && Frames > 1);
    if (c == &TGIFGraphicControlExtension::ClassInfo) {
        const auto& g = static_cast<TGIFGraphicControlExtension&>(e);
        return (g.Delay() == 0 || Frames == 1) && !g.Transparent() && !g.UserInput() &&
               (g.Disposal() < dmBackground || Frames == 1);
    }
    return false;
}

} // namespace

void TGIFImage::Optimize(TGIFOptimizeOptions Options, TColorReduction AColorReduction,
                         TDitherMode ADitherMode, int AReductionBits) {
    if (Empty()) return;
    // Checked before any pass changes the picture.
    CheckOptimizeOptions(Options, AColorReduction);
    (void)ADitherMode;
    (void)AReductionBits;
    const auto has = [&](TGIFOptimizeOption o) { return (Options & OptimizeOption(o)) != 0; };
    FPainters.PaintStop();
    std::lock_guard<std::recursive_mutex> lock(FPainters.Lock());
    int steps = 0;
    const int total = 6 * FImages->Count();
    const auto step = [&] { Progress(psRunning, MulDiv(++steps, 100, total), false, "Optimizing..."); };
    Progress(psStarting, 0, false, "Optimizing...");
    try {
        if (has(ooColorMap)) {
            if (GlobalColorMap().Count() > 0) GlobalColorMap().Optimize();
            for (int i = 0; i < FImages->Count(); ++i) {
                TGIFSubImage* f = FImages->GetImage(i);
                if (f->ColorMap().Count() > 0 && f->ColorMap().Optimize()) step();
            }
        }
        if (has(ooCleanup)) {
            for (int i = 0; i < FImages->Count(); ++i) {
                TGIFSubImage* f = FImages->GetImage(i);
                TGIFGraphicControlExtension* g = f->GraphicControlExtension();
                if (f->Transparent() && g && !Contains(*f, g->TransparentColorIndex())) {
                    g->SetTransparent(false);
                    step();
                }
            }
            for (int i = 0; i + 1 < FImages->Count(); ++i) {
                TGIFSubImage* f = FImages->GetImage(i);
                TGIFSubImage* next = FImages->GetImage(i + 1);
                TGIFGraphicControlExtension* g = f->GraphicControlExtension();
                if (!g || (g->Disposal() != dmBackground && g->Disposal() != dmPrevious) ||
                    next->Transparent())
                    continue;
                const TGIFRect a = f->BoundsRect(), b = next->BoundsRect();
                const TGIFRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                                 std::min(a.Bottom, b.Bottom)};
                if (r.Left < r.Right && r.Top < r.Bottom && r == b) {
                    g->SetDisposal(dmNone);
                    step();
                }
            }
        }
        if (has(ooMerge)) {
            const int n = FImages->Count();
            // For each frame, the nearest frame at or before it that is not restored to the previous
            // picture (frame 0 in any case): the frame the next one is merged against.
            std::vector<int> below(static_cast<std::size_t>(n), 0);
            // For each transparent index, the first frame on the global table that has it.
            std::array<int, 256> lenders;
            lenders.fill(-1);
            for (int k = 0; k < n; ++k) {
                TGIFSubImage* f = FImages->GetImage(k);
                const TGIFGraphicControlExtension* g = f->GraphicControlExtension();
                below[static_cast<std::size_t>(k)] =
                    k == 0 || !g || g->Disposal() != dmPrevious ? k : below[static_cast<std::size_t>(k - 1)];
                if (f->Transparent() && g && f->ColorMap().Count() == 0 &&
                    lenders[g->TransparentColorIndex()] < 0)
                    lenders[g->TransparentColorIndex()] = k;
            }
            for (int i = n - 1; i >= 1; --i) {
                TGIFSubImage* f = FImages->GetImage(i);
                f->Merge(FImages->GetImage(below[static_cast<std::size_t>(i - 1)]), &lenders);
                const TGIFGraphicControlExtension* g = f->GraphicControlExtension();
                if (f->Transparent() && g && f->ColorMap().Count() == 0) {
                    int& first = lenders[g->TransparentColorIndex()];
                    if (first < 0 || i < first) first = i;
                }
                step();
            }
        }
        if (has(ooCrop)) {
            // Frames emptied by cropping are deleted together at the end of the pass.
            std::vector<bool> emptied(static_cast<std::size_t>(FImages->Count()), false);
            for (int i = FImages->Count() - 1; i >= 0; --i) {
                TGIFSubImage* f = FImages->GetImage(i);
                if (f->Empty() || !f->Transparent()) continue;
                const int delay = f->GraphicControlExtension() ? f->GraphicControlExtension()->Delay() : 0;
                f->Crop();
                step();
                if (!f->Empty()) continue;
                emptied[static_cast<std::size_t>(i)] = true;
                if (i > 0) {
                    TGIFSubImage* prev = FImages->GetImage(i - 1);
                    TGIFGraphicControlExtension* pg = prev->GraphicControlExtension();
                    // Delays add up to at most the largest a block can hold.
                    if (prev->Transparent() && pg) pg->SetDelay(std::min(pg->Delay() + delay, 65535));
                }
            }
            FImages->DeleteIf([&](int i, TGIFItem*) { return emptied[static_cast<std::size_t>(i)]; });
        }
        if (has(ooCleanup)) {
            const int frames = FImages->Count();
            for (int i = frames - 1; i >= 0; --i) {
                TGIFSubImage* f = FImages->GetImage(i);
                f->Extensions().DeleteIf([&](int, TGIFItem* e) {
                    return CleanupDrops(*static_cast<TGIFExtension*>(e), i, frames);
                });
                step();
            }
            FImages->DeleteIf([](int, TGIFItem* item) {
                const auto* f = static_cast<TGIFSubImage*>(item);
                return f->Empty() && f->Extensions().Count() == 0;
            });
        }
    } catch (...) {
        Progress(psEnding, 0, false, "Optimizing...");
        throw;
    }
    FBitmap.reset();
    Progress(psEnding, 100, false, "Optimizing...");
}

// ---------------------------------------------------------------------------------------------------
// Logical screen and options

void TGIFImage::SetWidth(int Value) {
    for (int i = 0; i < FImages->Count(); ++i) {
        const TGIFSubImage* f = FImages->GetImage(i);
        if (f->Left() + f->Width() > Value) GIFError("Image width too small for contained frames");
    }
    if (Value == Width()) return;
    CheckImageSize(Value, Height());
    FHeader->SetWidth(Value);
    FreeBitmap();
    Changed(this);
}

void TGIFImage::SetHeight(int Value) {
    for (int i = 0; i < FImages->Count(); ++i) {
        const TGIFSubImage* f = FImages->GetImage(i);
        if (f->Top() + f->Height() > Value) GIFError("Image height too small for contained frames");
    }
    if (Value == Height()) return;
    CheckImageSize(Width(), Value);
    FHeader->SetHeight(Value);
    FreeBitmap();
    Changed(this);
}

void TGIFImage::SetDrawOptions(TGIFDrawOptions Value) {
    if (Value == FDrawOptions) return;
    StopDraw();
    FDrawOptions = Value;
    Pack();
    Changed(this);
}

void TGIFImage::SetAnimate(bool Value) {
    SetDrawOptions(Value ? (FDrawOptions | DrawOption(goAnimate))
                         : static_cast<TGIFDrawOptions>(FDrawOptions & ~DrawOption(goAnimate)));
}

void TGIFImage::SetReductionBits(int Value) {
    if (Value < 3 || Value > 8) GIFError("Invalid Bits Per Pixel value");
    FReductionBits = Value;
}

void TGIFImage::SetAnimationSpeed(int Value) {
    Value = std::clamp(Value, 0, 1000);
    if (Value == FAnimationSpeed) return;
    FAnimationSpeed = Value;
    std::lock_guard<std::recursive_mutex> lock(FPainters.Lock());
    if (FDrawPainter) FDrawPainter->SetAnimationSpeed(Value);
}

void TGIFImage::SetForceFrame(int Value) {
    FForceFrame = Value;
    FreeBitmap();
    Changed(this);
}

bool& TGIFImage::PaletteDisplay() {
    static bool paletteDisplay = false;
    return paletteDisplay;
}

bool TGIFImage::DoDither() const {
    return (FDrawOptions & DrawOption(goDither)) &&
           (!(FDrawOptions & DrawOption(goAutoDither)) || PaletteDisplay());
}

// ---------------------------------------------------------------------------------------------------
// Palette, rendering, drawing

const TLogPalette& TGIFImage::Palette() {
    static const TLogPalette none{};
    // A frame without a table asks the picture, which may ask the frame: that loop shows black.
    if (IsInsideGetPalette) return none;
    if (FGlobalPalette) return *FGlobalPalette;
    if (DoDither()) {
        FGlobalPalette = std::make_unique<TLogPalette>(WebPalette());
        return *FGlobalPalette;
    }
    if (GlobalColorMap().Count() > 0) {
        FGlobalPalette = std::make_unique<TLogPalette>(GIFExportPalette(GlobalColorMap()));
        return *FGlobalPalette;
    }
    if (FImages->Count() == 0) return none;
    IsInsideGetPalette = true;
    try {
        const TLogPalette& p = FImages->GetImage(0)->Palette();
        IsInsideGetPalette = false;
        return p;
    } catch (...) {
        IsInsideGetPalette = false;
        throw;
    }
}

void TGIFImage::SetPalette(const TLogPalette* Value) {
    if (!Value && !FGlobalPalette) return;
    if (Value && FGlobalPalette && Value->entries == FGlobalPalette->entries) return;
    FGlobalPalette = Value ? std::make_unique<TLogPalette>(*Value) : nullptr;
    if (FBitmap) {
        FreeBitmap();
        FPaletteModified = true;
        Changed(this);
    }
}

const TFastDIB* TGIFImage::Bitmap() {
    if (Empty()) return nullptr;
    if (FBitmap) return FBitmap.get();
    auto bitmap = std::make_unique<TFastDIB>();
    if (Width() > 0 && Height() > 0) {
        bitmap->SetSize(Width(), Height(), 24, 0);
        DrawScreen(*bitmap);
    }
    FBitmap = std::move(bitmap);
    return FBitmap.get();
}

void TGIFImage::DrawScreen(TFastDIB& Out) {
    // Outside the first frame the screen shows the first colour of its palette.
    const TLogPalette& pal = Palette();
    if (!pal.entries.empty()) {
        const TPaletteEntry e = pal.entries[0];
        for (int y = 0; y < Out.Height; ++y) {
            TFColor* row = Out.Pixels24[y];
            std::fill(row, row + Out.Width, TFColor{e.peBlue, e.peGreen, e.peRed});
        }
    }
    FImages->GetImage(0)->Draw(Out.AsSurface(), {0, 0, Width(), Height()}, false, false);
}
