#include "controls/TransitionFrames.h"

#include "image/Numeric.h"

#include <cstring>
#include <utility>

int BlendWeight(std::int64_t i, int rate) {
    if (rate < 1) rate = 1;
    return ClampToInt(i * 32 / rate);
}

bool BlendBits(const TFastDIB& from, const TFastDIB& to, TFastDIB& dest, int w) {
    auto same = [&](const TFastDIB& d) {
        return d.Bpp == 24 && d.Width == dest.Width && d.Height == dest.Height && !d.Empty();
    };
    if (dest.Bpp != 24 || dest.Empty() || !same(from) || !same(to)) return false;
    if (w <= 0) return true;
    if (w > 32) w = 32;
    const std::uint32_t wt = static_cast<std::uint32_t>(w), wf = 32 - wt;
    // Rows are padded to whole words and lie one after the other, so the memory is one run of words.
    const std::size_t words = static_cast<std::size_t>(dest.ByteCount()) / 4;
    const std::uint8_t* pf = from.Bits;
    const std::uint8_t* pt = to.Bits;
    std::uint8_t* pd = dest.Bits;
    for (std::size_t k = 0; k < words; ++k) {
        std::uint32_t f, t;
        std::memcpy(&f, pf + 4 * k, 4);
        std::memcpy(&t, pt + 4 * k, 4);
        const std::uint32_t lo = (((f & 0x00FF00FFu) * wf + (t & 0x00FF00FFu) * wt) >> 5) & 0x00FF00FFu;
        const std::uint32_t hi =
            (((f & 0xFF00FF00u) >> 5) * wf + ((t & 0xFF00FF00u) >> 5) * wt) & 0xFF00FF00u;
        const std::uint32_t d = lo | hi;
        std::memcpy(pd + 4 * k, &d, 4);
    }
    return true;
}

std::vector<TPixelPair> BuildPixelList(int W, int H) {
    if (W <= 0 || H <= 0) return {};
    const std::int64_t n = static_cast<std::int64_t>(W) * H;
    std::vector<TPixelPair> list(static_cast<std::size_t>(n));
    std::size_t k = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) list[k++] = {y, x};
    Randomize();
    RandomDraws draw;
    const int count = ClampToInt(n);
    for (int i = 0; i < count; ++i)
        std::swap(list[static_cast<std::size_t>(i)], list[static_cast<std::size_t>(draw(count))]);
    return list;
}

std::int64_t DissolveChunk(std::int64_t numPix, int rate) {
    if (rate < 1) rate = 1;
    return numPix / rate;
}

void CopyPixels(const TPixelPair* first, const TPixelPair* last, const TFastDIB& from, TFastDIB& to) {
    if (from.Bpp != 24 || to.Bpp != 24 || from.Empty() || to.Empty()) return;
    const int W = std::min(from.Width, to.Width), H = std::min(from.Height, to.Height);
    for (const TPixelPair* p = first; p != last; ++p) {
        if (static_cast<unsigned>(p->row) >= static_cast<unsigned>(H) ||
            static_cast<unsigned>(p->col) >= static_cast<unsigned>(W))
            continue;
        to.Pixels24[p->row][p->col] = from.Pixels24[p->row][p->col];
    }
}
