// Dithered rendering of a frame for palette displays: the frame's colours mapped onto the 6x6x6 web
// palette with Floyd-Steinberg error diffusion, rows walked in serpentine order.
#include <algorithm>
#include <cstring>

#include "gif/GIFImage.h"
#include "image/Numeric.h"

void TGIFSubImage::RenderDithered(TFastDIB& Target) {
    const int w = Width(), h = Height();
    FBitmapPalette = Palette();
    Target.SetSize(w, h, 8, 0);
    TFColorTable& table = *Target.Colors;
    for (std::size_t i = 0; i < 256; ++i) {
        const bool in = i < FBitmapPalette.entries.size();
        const TPaletteEntry e = in ? FBitmapPalette.entries[i] : TPaletteEntry{};
        table[i] = {e.peBlue, e.peGreen, e.peRed, 0};
    }
    Target.bmInfo.bmiHeader.biClrUsed = 256;
    TNetscapeColorLookup lookup(FBitmapPalette);
    TFloydSteinbergDitherer ditherer(w, lookup);

    // The frame's colours, 256 entries, black past the table (a bounds-safe read of every index).
    TGIFColor colors[256] = {};
    const TGIFColorMap& map = ActiveColorMap();
    std::copy(map.Data(), map.Data() + std::min(map.Count(), 256), colors);

    const bool makeMask = MakeMaskNow();
    FNeedMask = false;
    const int maskRow = MaskRowBytes();
    const int t = makeMask ? FGCE->TransparentColorIndex() : -1;
    std::uint8_t fill = 0;
    if (makeMask) {
        FMask.assign(static_cast<std::size_t>(maskRow) * h, 0);
        const TGIFColor c = colors[t];
        fill = static_cast<std::uint8_t>((MulDiv(36, c.Red, 51) + MulDiv(6, c.Green, 51) + c.Blue / 51 + 1) %
                                         256);
    }
    bool anySet = false;
    std::uint8_t r, g, b;
    for (int y = 0; y < h; ++y) {
        if (y % 32 == 0 && FGIFImage)
            FGIFImage->Progress(psRunning, MulDiv(y, 100, h), false, "Rendering...");
        const std::uint8_t* src = FData.data() + static_cast<std::size_t>(y) * w;
        std::uint8_t* dst = Target.Scanlines[y];
        std::uint8_t* m = makeMask ? FMask.data() + static_cast<std::size_t>(y) * maskRow : nullptr;
        if (makeMask) std::memset(dst, fill, static_cast<std::size_t>(w));
        while (ditherer.Column() >= 0 && ditherer.Column() < w) {
            const int x = ditherer.Column();
            const int p = src[x];
            if (p == t) {
                m[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
                anySet = true;
                ditherer.NextColumn();
            } else {
                const TGIFColor c = colors[p];
                dst[x] = ditherer.Dither(c.Red, c.Green, c.Blue, r, g, b);
            }
        }
        ditherer.NextLine();
    }
    if (makeMask) FinishMask(anySet);
}
