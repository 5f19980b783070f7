#include "app/effects/SeamlessBlur.h"

#include "image/GaussianBlur.h"
#include "image/Numeric.h"
#include "image/Parallel.h"
#include "image/WorkControl.h"
#include "image/ZorvFX.h"

#include <cstring>

void WrapPad(const TFastDIB& Img, TFastDIB& Work, int Margin) {
    const int W = Img.Width, H = Img.Height;
    Work.SetSize(W + 2 * Margin, H + 2 * Margin, 24, 0);
    ParallelRows(Work.Height, WorkOf(Work, CostCopy), [&](int y0, int y1) {
        for (int py = y0; py < y1; ++py) {
            const TFColor* src = Img.Pixels24[WrapMod(py - Margin, H)];
            TFColor* dst = Work.Pixels24[py];
            for (int px = 0; px < Margin; ++px) {
                dst[px] = src[WrapMod(px - Margin, W)];
                dst[Margin + W + px] = src[WrapMod(W + px, W)];
            }
            std::memcpy(dst + Margin, src, static_cast<std::size_t>(W) * sizeof(TFColor));
        }
    });
}

void SeamlessGaussianBlur(const TFastDIB& Src, int Amount, TFastDIB& Work, TFastDIB& Dst) {
    if (Src.Bpp != 24 || Src.Empty() || Src.Width <= 0 || Src.Height <= 0) return;
    if (Dst.Bpp != 24 || Dst.Width != Src.Width || Dst.Height != Src.Height) return;
    const int m = SeamlessBlurMargin;
    if (Amount < 0) { // nothing to blur with: Dst becomes the picture as it is
        if (&Dst != &Src) WrapPad(Src, Dst, 0);
        return;
    }
    WrapPad(Src, Work, m);
    GBlur(Work, static_cast<double>(Amount) + 1.0);
    ParallelRows(Dst.Height, WorkOf(Dst, CostCopy), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            std::memcpy(Dst.Pixels24[y], Work.Pixels24[y + m] + m,
                        static_cast<std::size_t>(Dst.Width) * sizeof(TFColor));
    });
}

void SeamlessGaussianBlur(TFastDIB& Img, int Amount, TFastDIB& Work) {
    SeamlessGaussianBlur(Img, Amount, Work, Img);
}

void SplitGauss(TFastDIB& Img, int V) {
    for (int d = V; d >= 0; --d) {
        WorkPoint();
        SplitBlur(Img, d);
    }
}

const TFixedKernel& FixedKernel(int index) {
    static const TFixedKernel kernels[13] = {
        {{2, 2, 2, 2, 0, 2, 2, 2, 2}, 16},         // 0 Soften More
        {{0, 1, 0, 1, 2, 1, 0, 1, 0}, 6},          // 1 Soften Less
        {{-1, -1, -1, -1, 9, -1, -1, -1, -1}, 1},  // 2 Edge Enhance More
        {{0, -1, 0, -1, 5, -1, 0, -1, 0}, 1},      // 3 Edge Enhance Less
        {{2, 0, 2, 0, 1, 0, 2, 0, -6}, 1},         // 4 Edge Emboss More
        {{1, 0, 1, 0, 0, 0, 1, 0, -2}, 1},         // 5 Edge Emboss Less
        {{0, 0, 0, 0, 1, 0, 0, 0, 0}, 1},          // 6 (Classic Emboss has no kernel)
        {{-1, -1, -1, -1, 9, -1, -1, -1, -1}, 1},  // 7 Hi Pass
        {{-1, -1, -1, -1, 16, -1, -1, -1, -1}, 8}, // 8 Sharpen
        {{-1, -1, -1, -1, 8, -1, -1, -1, -1}, 1},  // 9 Laplace
        {{3, 3, 3, 3, 8, 3, 3, 3, 3}, 32},         // 10 Blur
        {{1, 1, 1, 1, -2, 1, -1, -1, -1}, 1},      // 11 Find Edges
        {{1, 2, 1, 2, 4, 2, 1, 2, 1}, 16},         // 12 Gaussian Soft
    };
    return kernels[index >= 0 && index < 13 ? index : 6];
}
