// Making a frame from another frame or from a bitmap (indexed, monochrome or 24-bit), importing a
// transparency mask, and the two edits used when a picture is optimised: Crop and Merge.
#include <algorithm>
#include <cstring>

#include "gif/GIFImage.h"
#include "image/Numeric.h"
#include "image/WorkControl.h"

namespace {

// Entry i of a table, black past its end.
TGIFColor ColorAt(const TGIFColorMap& Map, int i) {
    return i < Map.Count() ? Map.Data()[i] : TGIFColor{};
}

bool Intersect(const TGIFRect& a, const TGIFRect& b, TGIFRect& r) {
    r = {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
         std::min(a.Bottom, b.Bottom)};
    return r.Left < r.Right && r.Top < r.Bottom;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// From another frame

void TGIFSubImage::Assign(const TGIFSubImage* Source) {
    if (Source == this) return;
    Clear();
    if (!Source || Source->Empty()) return;
    FImageDescriptor = Source->FImageDescriptor;
    NewImage();
    std::memcpy(FData.data(), Source->FData.data(), FData.size());
    FColorMap->Assign(*Source->FColorMap);
    if (Source->FExtensions->Count() > 0) {
        // Saved and read back: copies in every byte, and the first graphic control extension steers.
        TMemoryStream s;
        Source->FExtensions->SaveToStream(s);
        WriteByte(s, ','); // where the extensions of a frame end
        s.SetPosition(0);
        FExtensions->LoadFromStream(s, this);
    }
    FTransparent = Source->FTransparent && FGCE != nullptr;
}

// ---------------------------------------------------------------------------------------------------
// From a bitmap

void TGIFSubImage::Assign(const TFastDIB& Source) {
    Clear();
    if (Source.Empty() || Source.Width <= 0 || Source.Height <= 0) return;
    SetBounds(Left(), Top(), Source.Width, Height());
    SetBounds(Left(), Top(), Width(), Source.Height);
    NeedImage();
    TGIFImage* image = FGIFImage;
    if (image) image->Progress(psStarting, 0, false, "Converting...");
    try {
        if (Source.Bpp == 1 || Source.Bpp == 4 || Source.Bpp == 8) {
            ImportIndexed(Source);
        } else {
            const TColorReduction reduction = image ? image->ColorReduction() : rmNetscape;
            if (reduction == rmNone) {
                Import24(Source);
            } else {
                // Reduced on a copy; an empty result is refused with "Invalid reduction method".
                std::unique_ptr<TFastDIB> reduced =
                    ReduceColorsForImport(Source, reduction, image ? image->DitherMode() : dmNearest,
                                          image ? image->ReductionBits() : 8);
                ImportIndexed(*reduced);
            }
        }
    } catch (...) {
        if (image) image->Progress(psEnding, 0, image->PaletteModified(), "Converting...");
        throw;
    }
    if (image) image->Progress(psEnding, 100, image->PaletteModified(), "Converting...");
}

void TGIFSubImage::ImportIndexed(const TFastDIB& Source) {
    // The colour table: the bitmap's entries in use (all 2^bpp when it does not say).
    const int maxEntries = 1 << Source.Bpp;
    int count = static_cast<int>(Source.ClrUsed());
    if (count <= 0 || count > maxEntries) count = maxEntries;
    std::uint8_t quads[256 * 4];
    for (int i = 0; i < count; ++i) {
        const TFColorA& c = (*Source.Colors)[static_cast<std::size_t>(i)];
        quads[4 * i] = c.b;
        quads[4 * i + 1] = c.g;
        quads[4 * i + 2] = c.r;
        quads[4 * i + 3] = 0;
    }
    FColorMap->ImportColorTable(quads, count);
    const int w = Width(), h = Height();
    for (int y = 0; y < h; ++y) {
        WorkPoint();
        if (y % 32 == 0 && FGIFImage)
            FGIFImage->Progress(psRunning, MulDiv(y, 100, h), false, "Converting...");
        const std::uint8_t* s = Source.Scanlines[y];
        std::uint8_t* d = FData.data() + static_cast<std::size_t>(y) * w;
        switch (Source.Bpp) {
        case 8:
            std::memcpy(d, s, static_cast<std::size_t>(w));
            break;
        case 4:
            for (int x = 0; x < w; ++x) d[x] = (x & 1) ? (s[x >> 1] & 0x0F) : (s[x >> 1] >> 4);
            break;
        default:
            for (int x = 0; x < w; ++x) d[x] = (s[x >> 3] >> (7 - (x & 7))) & 1;
            break;
        }
    }
}

void TGIFSubImage::Import24(const TFastDIB& Source) {
    // Any other depth is read as 24 bits.
    const TFastDIB* src = &Source;
    TFastDIB converted;
    if (Source.Bpp != 24) {
        converted.SetSize(Source.Width, Source.Height, 24, 0);
        Source.Draw(converted, 0, 0);
        src = &converted;
    }
    // A ring of the eight colours met last, searched from the newest back, saves a table search for
    // most pixels.
    struct Entry {
        std::uint32_t Color;
        int Index;
    };
    Entry ring[8];
    int filled = 0, newest = -1;
    const int w = Width(), h = Height();
    for (int y = 0; y < h; ++y) {
        WorkPoint();
        if (y % 32 == 0 && FGIFImage)
            FGIFImage->Progress(psRunning, MulDiv(y, 100, h), false, "Converting...");
        const TFColor* s = reinterpret_cast<const TFColor*>(src->Scanlines[y]);
        std::uint8_t* d = FData.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = static_cast<std::uint32_t>(s[x].r) |
                                    (static_cast<std::uint32_t>(s[x].g) << 8) |
                                    (static_cast<std::uint32_t>(s[x].b) << 16);
            int index = -1;
            for (int k = 0, e = newest; k < filled; ++k, e = (e + 7) & 7)
                if (ring[e].Color == c) {
                    index = ring[e].Index;
                    break;
                }
            if (index < 0) {
                index = FColorMap->AddUnique(static_cast<TColor>(c)); // "Color table overflow" past 256
                newest = (newest + 1) & 7;
                ring[newest] = {c, index};
                filled = std::min(filled + 1, 8);
            }
            d[x] = static_cast<std::uint8_t>(index);
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Transparency mask

void TGIFSubImage::ImportMask(const std::uint8_t* Mask, int MaskWidth, int MaskHeight,
                              std::ptrdiff_t Stride) {
    if (!Mask || Empty()) return;
    FColorMap->Optimize();
    if (FColorMap->Count() == 0 || FColorMap->Count() >= 256) return;
    const int index = FColorMap->Add(0); // black, a new entry even when black is there
    const int w = std::min(Width(), MaskWidth), h = std::min(Height(), MaskHeight);
    bool marked = false;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* m = Mask + y * Stride;
        std::uint8_t* d = FData.data() + static_cast<std::size_t>(y) * Width();
        for (int x = 0; x < w; ++x)
            if (m[x] != 0) {
                d[x] = static_cast<std::uint8_t>(index);
                marked = true;
            }
    }
    if (!marked) {
        FColorMap->Delete(index);
        return;
    }
    auto gce = std::make_unique<TGIFGraphicControlExtension>(this);
    TGIFGraphicControlExtension* g = gce.get();
    FExtensions->Add(std::move(gce));
    g->SetTransparentColorIndex(index);
    g->SetTransparent(true);
    ClearCache();
}

// ---------------------------------------------------------------------------------------------------
// Crop and Merge

void TGIFSubImage::Crop() {
    if (Empty() || !FTransparent || !FGCE) return;
    const std::uint8_t t = static_cast<std::uint8_t>(FGCE->TransparentColorIndex());
    const int w = Width(), h = Height();
    const auto column = [&](int x) {
        for (int y = 0; y < h; ++y)
            if (FData[static_cast<std::size_t>(y) * w + x] != t) return true;
        return false;
    };
    int left = 0;
    while (left < w && !column(left)) ++left;
    if (left == w) {
        Clear();
        return;
    }
    int right = w - 1;
    while (right > left && !column(right)) --right;
    const auto row = [&](int y) {
        const std::uint8_t* p = FData.data() + static_cast<std::size_t>(y) * w;
        for (int x = left; x <= right; ++x)
            if (p[x] != t) return true;
        return false;
    };
    int top = 0;
    while (!row(top)) ++top;
    int bottom = h - 1;
    while (bottom > top && !row(bottom)) --bottom;
    const int nw = right - left + 1, nh = bottom - top + 1;
    if (nw == w && nh == h) return;
    std::vector<std::uint8_t> cropped(static_cast<std::size_t>(nw) * nh);
    for (int y = 0; y < nh; ++y)
        std::memcpy(cropped.data() + static_cast<std::size_t>(y) * nw,
                    FData.data() + static_cast<std::size_t>(top + y) * w + left,
                    static_cast<std::size_t>(nw));
    if (FGIFImage) FGIFImage->ReleasePixelBytes(static_cast<std::int64_t>(FData.size() - cropped.size()));
    FData = std::move(cropped);
    FImageDescriptor.Left = static_cast<std::uint16_t>(Left() + left);
    FImageDescriptor.Top = static_cast<std::uint16_t>(Top() + top);
    FImageDescriptor.Width = static_cast<std::uint16_t>(nw);
    FImageDescriptor.Height = static_cast<std::uint16_t>(nh);
    ClearCache();
}

void TGIFSubImage::Merge(TGIFSubImage* Previous) {
    Merge(Previous, nullptr);
}

void TGIFSubImage::Merge(TGIFSubImage* Previous, const std::array<int, 256>* Lenders) {
    if (Empty() || !Previous || Previous->Empty()) return;
    if (const TGIFGraphicControlExtension* pg = Previous->FGCE)
        if (pg->Disposal() == dmBackground || pg->Disposal() == dmPrevious) return;
    TGIFRect r;
    if (!Intersect(BoundsRect(), Previous->BoundsRect(), r)) return;
    int t = (FTransparent && FGCE) ? FGCE->TransparentColorIndex() : -1;
    const bool wasTransparent = t >= 0;
    if (!wasTransparent && ActiveColorMap().Count() >= 256) return;
    const int pt = (Previous->FTransparent && Previous->FGCE) ? Previous->FGCE->TransparentColorIndex() : -1;

    TGIFColorMap& map = ActiveColorMap();
    TGIFColorMap& prevMap = Previous->ActiveColorMap();
    const bool sameTable = &map == &prevMap;
    // The indices whose colours equal each of the previous frame's indices, once per pair.
    std::uint8_t equal[256][256 / 8] = {};
    if (!sameTable)
        for (int a = 0; a < 256; ++a)
            for (int b = 0; b < 256; ++b)
                if (ColorAt(map, a) == ColorAt(prevMap, b))
                    equal[a][b >> 3] |= static_cast<std::uint8_t>(1 << (b & 7));

    const auto chooseIndex = [&]() {
        if (FColorMap->Count() == 0) {
            // Another transparent frame on the global table lends its index, unless a pixel of this
            // frame uses it (that pixel would turn transparent).
            if (FGIFImage) {
                bool used[256] = {};
                for (std::uint8_t p : FData) used[p] = true;
                if (Lenders) {
                    // The lender first in list order among the indices this frame does not use.
                    int best = -1;
                    for (int idx = 0; idx < 256; ++idx)
                        if (!used[idx] && (*Lenders)[idx] >= 0 &&
                            (best < 0 || (*Lenders)[idx] < (*Lenders)[best]))
                            best = idx;
                    if (best >= 0) return best;
                } else {
                    TGIFImageList& frames = FGIFImage->Images();
                    for (int i = 0; i < frames.Count(); ++i) {
                        TGIFSubImage* f = frames[i];
                        if (f == this || !f->FTransparent || !f->FGCE || f->FColorMap->Count() != 0) continue;
                        const int idx = f->FGCE->TransparentColorIndex();
                        if (!used[idx]) return idx;
                    }
                }
                return FGIFImage->GlobalColorMap().Add(0);
            }
        }
        return FColorMap->Add(0);
    };

    for (int y = r.Top; y < r.Bottom; ++y) {
        std::uint8_t* p = FData.data() + static_cast<std::size_t>(y - Top()) * Width() + (r.Left - Left());
        const std::uint8_t* q = Previous->FData.data() +
                                static_cast<std::size_t>(y - Previous->Top()) * Previous->Width() +
                                (r.Left - Previous->Left());
        for (int x = 0; x < r.Right - r.Left; ++x) {
            if ((t >= 0 && p[x] == t) || q[x] == pt) continue;
            const bool same = sameTable ? p[x] == q[x] : (equal[p[x]][q[x] >> 3] >> (q[x] & 7)) & 1;
            if (!same) continue;
            if (t < 0) t = chooseIndex();
            p[x] = static_cast<std::uint8_t>(t);
        }
    }
    if (!wasTransparent && t >= 0) {
        TGIFGraphicControlExtension* g = FGCE;
        if (!g) {
            auto gce = std::make_unique<TGIFGraphicControlExtension>(this);
            g = gce.get();
            FExtensions->Add(std::move(gce));
        }
        g->SetTransparentColorIndex(t);
        g->SetTransparent(true);
    }
    ClearCache();
}
