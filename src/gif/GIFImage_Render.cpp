// Frame rendering: the palette a frame is shown with, the cached 8-bit rendering with its transparency
// mask, and drawing onto a 24- or 32-bit surface with a nearest-neighbour stretch.
#include <algorithm>
#include <cstring>

#include "gif/GIFImage.h"
#include "image/WorkControl.h"
#include "image/Numeric.h"

namespace {

bool SamePalette(const TLogPalette& a, const TLogPalette& b) {
    return a.entries == b.entries;
}

// The palette of a colour table: its entries, flag PC_NOCOLLAPSE.
TLogPalette ExportPalette(const TGIFColorMap& Map) {
    TLogPalette p;
    p.palVersion = 0x300;
    p.entries.resize(static_cast<std::size_t>(Map.Count()));
    for (int i = 0; i < Map.Count(); ++i)
        p.entries[i] = {Map.Data()[i].Red, Map.Data()[i].Green, Map.Data()[i].Blue, 4};
    return p;
}

// Fills an 8-bit bitmap's colour table from a palette, padded with opaque black to 256 entries.
void SetColorTable(TFastDIB& Bitmap, const TLogPalette& Palette) {
    TFColorTable& t = *Bitmap.Colors;
    const std::size_t n = std::min<std::size_t>(Palette.entries.size(), 256);
    for (std::size_t i = 0; i < 256; ++i) {
        if (i < n) {
            const TPaletteEntry& e = Palette.entries[i];
            t[i] = {e.peBlue, e.peGreen, e.peRed, 0};
        } else {
            t[i] = {0, 0, 0, 0};
        }
    }
    Bitmap.bmInfo.bmiHeader.biClrUsed = 256;
    Bitmap.bmInfo.bmiHeader.biClrImportant = static_cast<std::uint32_t>(n);
}

} // namespace

TLogPalette GIFExportPalette(const TGIFColorMap& Map) {
    return ExportPalette(Map);
}

// ---------------------------------------------------------------------------------------------------
// Palette

const TLogPalette& TGIFSubImage::Palette() {
    if (FBitmap) return FBitmapPalette;
    if (FLocalPalette) return *FLocalPalette;
    if (FGIFImage && FGIFImage->DoDither()) {
        FLocalPalette = std::make_unique<TLogPalette>(WebPalette());
        return *FLocalPalette;
    }
    if (FColorMap->Count() == 0) {
        static const TLogPalette none{};
        return FGIFImage ? FGIFImage->Palette() : none;
    }
    FLocalPalette = std::make_unique<TLogPalette>(ExportPalette(*FColorMap));
    return *FLocalPalette;
}

void TGIFSubImage::SetPalette(const TLogPalette* Value) {
    const bool same =
        (!Value && !FLocalPalette) || (Value && FLocalPalette && SamePalette(*Value, *FLocalPalette));
    if (!same) FLocalPalette = Value ? std::make_unique<TLogPalette>(*Value) : nullptr;
    if (FBitmap && (!Value || !SamePalette(FBitmapPalette, *Value))) {
        FreeBitmap();
        if (FGIFImage) {
            FGIFImage->SetPaletteModified(true);
            FGIFImage->Changed(this);
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Cached rendering and mask

void TGIFSubImage::FreeBitmap() {
    FBitmap.reset();
    FBitmapPalette = {};
}

void TGIFSubImage::FreeMask() {
    FMask.clear();
    FMask.shrink_to_fit();
    FNeedMask = true;
}

void TGIFSubImage::NewBitmap() {
    FreeBitmap();
    FBitmap = std::make_unique<TFastDIB>();
}

void TGIFSubImage::SetHasBitmap(bool Value) {
    if (Value)
        Bitmap();
    else
        FreeBitmap();
}

bool TGIFSubImage::HasMask() {
    if (FNeedMask && FTransparent) {
        FreeBitmap();
        Bitmap();
    }
    return !FMask.empty();
}

void TGIFSubImage::SetBitmap(const TFastDIB* Value) {
    FreeBitmap();
    if (Value) Assign(*Value);
}

bool TGIFSubImage::MakeMaskNow() const {
    return FNeedMask && FTransparent && FGCE && FMask.empty();
}

void TGIFSubImage::FinishMask(bool AnySet) {
    // A mask exists only when at least one pixel is transparent.
    if (!AnySet) {
        FMask.clear();
        FMask.shrink_to_fit();
    }
}

const TFastDIB* TGIFSubImage::Bitmap() {
    if (FBitmap) return FBitmap.get();
    if (Empty()) return nullptr;
    TGIFImage* image = FGIFImage;
    if (image) image->Progress(psStarting, 0, false, "Rendering...");
    auto bitmap = std::make_unique<TFastDIB>();
    try {
        if (image && image->DoDither())
            RenderDithered(*bitmap);
        else
            RenderPlain(*bitmap);
    } catch (const EGIFAbort&) {
        // Stopped by a progress handler: quietly, and without a cached rendering or mask.
        FMask.clear();
        FNeedMask = true;
        if (image) image->Progress(psEnding, 0, false, "Rendering...");
        return nullptr;
    } catch (...) {
        FMask.clear();
        FNeedMask = true;
        if (image) image->Progress(psEnding, 0, false, "Rendering...");
        throw;
    }
    FBitmap = std::move(bitmap);
    static std::uint64_t stamps = 0;
    FBitmapStamp = ++stamps;
    if (image) {
        const bool modified = image->PaletteModified();
        image->Progress(psEnding, 100, modified, "Rendering...");
        if (modified) image->Changed(this);
    }
    return FBitmap.get();
}

void TGIFSubImage::RenderPlain(TFastDIB& Target) {
    const int w = Width(), h = Height();
    FBitmapPalette = Palette();
    Target.SetSize(w, h, 8, 0);
    SetColorTable(Target, FBitmapPalette);
    const bool makeMask = MakeMaskNow();
    FNeedMask = false;
    const int maskRow = MaskRowBytes();
    const std::uint8_t t = makeMask ? static_cast<std::uint8_t>(FGCE->TransparentColorIndex()) : 0;
    if (makeMask) FMask.assign(static_cast<std::size_t>(maskRow) * h, 0);
    bool anySet = false;
    for (int y = 0; y < h; ++y) {
        if (y % 32 == 0) {
            WorkPoint();
            if (FGIFImage) FGIFImage->Progress(psRunning, MulDiv(y, 100, h), false, "Rendering...");
        }
        const std::uint8_t* src = FData.data() + static_cast<std::size_t>(y) * w;
        std::memcpy(Target.Scanlines[y], src, static_cast<std::size_t>(w));
        if (!makeMask) continue;
        std::uint8_t* m = FMask.data() + static_cast<std::size_t>(y) * maskRow;
        // Eight pixels to a mask byte, most significant bit first.
        int x = 0;
        for (; x + 8 <= w; x += 8) {
            std::uint8_t bits = 0;
            for (int k = 0; k < 8; ++k) bits = static_cast<std::uint8_t>((bits << 1) | (src[x + k] == t));
            m[x >> 3] = bits;
            anySet |= bits != 0;
        }
        for (; x < w; ++x)
            if (src[x] == t) {
                m[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
                anySet = true;
            }
    }
    if (makeMask) FinishMask(anySet);
}

// ---------------------------------------------------------------------------------------------------
// Drawing

TGIFRect TGIFSubImage::ScaleRect(const TGIFRect& DestRect) const {
    const int pw = FGIFImage ? FGIFImage->Width() : Width();
    const int ph = FGIFImage ? FGIFImage->Height() : Height();
    const int dw = DestRect.Right - DestRect.Left, dh = DestRect.Bottom - DestRect.Top;
    return {DestRect.Left + MulDiv(Left(), dw, pw), DestRect.Top + MulDiv(Top(), dh, ph),
            DestRect.Left + MulDiv(Left() + Width(), dw, pw),
            DestRect.Top + MulDiv(Top() + Height(), dh, ph)};
}

void TGIFSubImage::Draw(const Surface& Canvas, const TGIFRect& Rect, bool DoTransparent, bool DoTile) {
    if (DoTile)
        StretchDraw(Canvas, Rect, DoTransparent, DoTile);
    else
        StretchDraw(Canvas, ScaleRect(Rect), DoTransparent, DoTile);
}

namespace {

// Nearest-neighbour stretch of an 8-bit rendering through its colour table into (x, y, w, h) of a
// 24- or 32-bit surface, clipped to it; with a mask, pixels whose mask bit is 1 are left as they are.
void StretchIndexed(const TFastDIB& Src, const std::uint8_t* Mask, int MaskRow, const Surface& Dst, int x,
                    int y, int w, int h) {
    if (w <= 0 || h <= 0 || !Dst.valid() || (Dst.bpp != 24 && Dst.bpp != 32)) return;
    const std::int64_t x0 = std::max<std::int64_t>(x, 0), y0 = std::max<std::int64_t>(y, 0);
    const std::int64_t x1 = std::min<std::int64_t>(static_cast<std::int64_t>(x) + w, Dst.width);
    const std::int64_t y1 = std::min<std::int64_t>(static_cast<std::int64_t>(y) + h, Dst.height);
    if (x0 >= x1 || y0 >= y1) return;
    const int pb = Dst.bpp / 8;
    const TFColorTable& table = *Src.Colors;
    // The source column of every target column, once.
    std::vector<int> col(static_cast<std::size_t>(x1 - x0));
    for (std::int64_t dx = x0; dx < x1; ++dx)
        col[static_cast<std::size_t>(dx - x0)] = static_cast<int>(((dx - x) * Src.Width) / w);
    for (std::int64_t dy = y0; dy < y1; ++dy) {
        const int sy = static_cast<int>(((dy - y) * Src.Height) / h);
        const std::uint8_t* s = Src.Scanlines[sy];
        const std::uint8_t* m = Mask ? Mask + static_cast<std::size_t>(sy) * MaskRow : nullptr;
        std::uint8_t* d = Dst.bits + dy * Dst.stride + x0 * pb;
        for (std::size_t i = 0; i < col.size(); ++i, d += pb) {
            const int sx = col[i];
            if (m && (m[sx >> 3] & (0x80 >> (sx & 7)))) continue;
            const TFColorA& c = table[s[sx]];
            d[0] = c.b;
            d[1] = c.g;
            d[2] = c.r;
        }
    }
}

} // namespace

void TGIFSubImage::StretchDraw(const Surface& Canvas, const TGIFRect& Rect, bool DoTransparent, bool DoTile) {
    const TFastDIB* bitmap = Bitmap();
    if (!bitmap || !Canvas.valid()) return;
    const bool masked = DoTransparent && FTransparent && HasMask();
    bitmap = Bitmap(); // HasMask may have made the rendering again
    if (!bitmap) return;
    const std::uint8_t* mask = masked ? FMask.data() : nullptr;
    const int w = Width(), h = Height();
    if (!DoTile) {
        StretchIndexed(*bitmap, mask, MaskRowBytes(), Canvas, Rect.Left, Rect.Top, Rect.Right - Rect.Left,
                       Rect.Bottom - Rect.Top);
        return;
    }
    // Tiles at the frame's own size, one picture size apart; only those that reach the rectangle and
    // the canvas are visited. A picture without size draws nothing.
    int pw = FGIFImage ? FGIFImage->Width() : w, ph = FGIFImage ? FGIFImage->Height() : h;
    if (pw <= 0 || ph <= 0) return;
    // A screen that does not cover the frame (a picture whose loading failed part-way) is stepped as
    // if it did, so that tiles never overlap and their number stays bounded by the canvas.
    pw = std::max(pw, Left() + w);
    ph = std::max(ph, Top() + h);
    const std::int64_t right = std::min<std::int64_t>(Rect.Right, Canvas.width);
    const std::int64_t bottom = std::min<std::int64_t>(Rect.Bottom, Canvas.height);
    const std::int64_t startX = static_cast<std::int64_t>(Rect.Left) + Left();
    const std::int64_t startY = static_cast<std::int64_t>(Rect.Top) + Top();
    // The first tile whose right edge is past the canvas's left edge (x = 0).
    const auto firstTile = [](std::int64_t start, int step, int size) {
        if (start + size > 0) return std::int64_t{0};
        return (-(start + size)) / step + 1;
    };
    for (std::int64_t i = firstTile(startX, pw, w);; ++i) {
        const std::int64_t tx = startX + i * pw;
        if (tx >= right) break;
        for (std::int64_t j = firstTile(startY, ph, h);; ++j) {
            const std::int64_t ty = startY + j * ph;
            if (ty >= bottom) break;
            StretchIndexed(*bitmap, mask, MaskRowBytes(), Canvas, static_cast<int>(tx), static_cast<int>(ty),
                           w, h);
        }
    }
}
