#include "image/ImagePair.h"

#include "image/Parallel.h"

#include <cstddef>
#include <cstring>

bool PrepareTarget(const TFastDIB& Src, TFastDIB& Dst) {
    if (Src.Bpp != 24 || !Src.Bits || Src.Width <= 0 || Src.Height <= 0) return false;
    if (Dst.Width != Src.Width || Dst.Height != Src.Height || Dst.Bpp != 24)
        Dst.SetSize(Src.Width, Src.Height, 24, 0); // zeroed: the rows' padding stays zero
    return true;
}

void CopyPixels(const TFastDIB& Src, TFastDIB& Dst) {
    const std::size_t bytes = static_cast<std::size_t>(Src.Width) * 3;
    ParallelRows(Src.Height, WorkOf(Src, CostCopy), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) std::memcpy(Dst.Scanlines[y], Src.Scanlines[y], bytes);
    });
}
