#include "image/FastDIB.h"

#include "image/Numeric.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <stdexcept>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

bool validDepth(int bpp) {
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

// A mask's digits must each be 1..9 and fit the depth, or the shifts below would be meaningless.
bool validMask(int mask, int bpp) {
    if (mask <= 0) return false;
    int b = mask % 10, g = (mask / 10) % 10, r = (mask / 100) % 10;
    return b > 0 && g > 0 && r > 0 && b + g + r <= bpp && mask < 1000;
}

// Channel bit counts of a 16-bit surface; anything that is not a valid 16-bit mask reads as 565.
struct Layout16 {
    int r, g, b;
};
inline Layout16 layout16(int mask) {
    if (!validMask(mask, 16)) return {5, 6, 5};
    return {(mask / 100) % 10, (mask / 10) % 10, mask % 10};
}

// Reads any pixel of a surface as a colour (palette entries resolved).
inline TFColor readColor(const Surface& s, int y, int x) {
    const std::uint8_t* row = s.bits + static_cast<std::ptrdiff_t>(y) * s.stride;
    auto fromTable = [&](int i) {
        if (!s.colors)
            return TFColor{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                           static_cast<std::uint8_t>(i)};
        const TFColorA& c = (*s.colors)[i];
        return TFColor{c.b, c.g, c.r};
    };
    switch (s.bpp) {
    case 1:
        return fromTable((row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4:
        return fromTable((x & 1) ? (row[x >> 1] & 15) : (row[x >> 1] >> 4));
    case 8:
        return fromTable(row[x]);
    case 16: {
        std::uint16_t v;
        std::memcpy(&v, row + 2 * x, 2);
        const Layout16 l = layout16(s.mask);
        return TFColor{static_cast<std::uint8_t>(v << (8 - l.b)),
                       static_cast<std::uint8_t>((v >> l.b) << (8 - l.g)),
                       static_cast<std::uint8_t>((v >> (l.b + l.g)) << (8 - l.r))};
    }
    case 24:
        return TFColor{row[3 * x], row[3 * x + 1], row[3 * x + 2]};
    case 32:
        return TFColor{row[4 * x], row[4 * x + 1], row[4 * x + 2]};
    default:
        return TFColor{0, 0, 0};
    }
}

// Writes a colour to a 16, 24 or 32-bit surface; palette surfaces take the grey level's nearest index
// only when they have no table (a colour cannot be mapped onto a table without a search).
inline void writeColor(const Surface& s, int y, int x, TFColor c) {
    std::uint8_t* row = s.bits + static_cast<std::ptrdiff_t>(y) * s.stride;
    switch (s.bpp) {
    case 16: {
        const Layout16 l = layout16(s.mask);
        const std::uint16_t v = static_cast<std::uint16_t>(((c.r >> (8 - l.r)) << (l.b + l.g)) |
                                                           ((c.g >> (8 - l.g)) << l.b) | (c.b >> (8 - l.b)));
        std::memcpy(row + 2 * x, &v, 2);
        break;
    }
    case 24:
        row[3 * x] = c.b, row[3 * x + 1] = c.g, row[3 * x + 2] = c.r;
        break;
    case 32:
        row[4 * x] = c.b, row[4 * x + 1] = c.g, row[4 * x + 2] = c.r;
        break;
    case 8:
        row[x] = static_cast<std::uint8_t>((c.r + c.g + c.b) / 3);
        break;
    default:
        break;
    }
}

// Whether pixels can be copied between the surfaces as bytes.
bool sameLayout(const Surface& a, const Surface& b) {
    if (a.bpp != b.bpp || a.bpp < 8) return false;
    if (a.bpp == 8) return a.colors == b.colors || !a.colors || !b.colors;
    if (a.bpp == 16) {
        const Layout16 la = layout16(a.mask), lb = layout16(b.mask);
        return la.r == lb.r && la.g == lb.g && la.b == lb.b;
    }
    return true;
}

bool overlaps(const Surface& a, const Surface& b) {
    const std::uint8_t* a0 = a.bits;
    const std::uint8_t* a1 = a0 + static_cast<std::ptrdiff_t>(a.height) * a.stride;
    const std::uint8_t* b0 = b.bits;
    const std::uint8_t* b1 = b0 + static_cast<std::ptrdiff_t>(b.height) * b.stride;
    return std::less<const std::uint8_t*>()(a0, b1) && std::less<const std::uint8_t*>()(b0, a1);
}

// Nearest-neighbour copy of source part (sx, sy, sw, sh) onto destination rectangle (dx, dy, w, h),
// clipped to the destination; source positions outside the source draw nothing.
void blit(const Surface& srcIn, const Surface& dst, int dx, int dy, int w, int h, int sx, int sy, int sw,
          int sh) {
    if (!srcIn.valid() || !dst.valid() || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
    // A copy within one block of pixels reads a snapshot of the source, so that no row or pixel is
    // overwritten before it has been read.
    Surface src = srcIn;
    std::vector<std::uint8_t> snapshot;
    if (overlaps(srcIn, dst)) {
        snapshot.assign(srcIn.bits, srcIn.bits + static_cast<std::ptrdiff_t>(srcIn.height) * srcIn.stride);
        src.bits = snapshot.data();
    }
    // Clip the destination rectangle, remembering the offset into the unclipped one.
    std::int64_t x0 = std::max<std::int64_t>(dx, 0), y0 = std::max<std::int64_t>(dy, 0);
    std::int64_t x1 = std::min<std::int64_t>(static_cast<std::int64_t>(dx) + w, dst.width);
    std::int64_t y1 = std::min<std::int64_t>(static_cast<std::int64_t>(dy) + h, dst.height);
    if (x0 >= x1 || y0 >= y1) return;

    const bool stretch = (sw != w || sh != h);
    auto srcX = [&](std::int64_t i) { // i: column within the destination rectangle
        return stretch ? sx + (2 * i + 1) * sw / (2 * static_cast<std::int64_t>(w)) : sx + i;
    };
    auto srcY = [&](std::int64_t j) {
        return stretch ? sy + (2 * j + 1) * sh / (2 * static_cast<std::int64_t>(h)) : sy + j;
    };
    // Column map for the clipped span, -1 where the source column is outside the source.
    const int span = static_cast<int>(x1 - x0);
    std::vector<int> cols(static_cast<std::size_t>(span));
    int firstIn = -1, lastIn = -1;
    for (int i = 0; i < span; ++i) {
        std::int64_t c = srcX(x0 + i - dx);
        cols[i] = (c >= 0 && c < src.width) ? static_cast<int>(c) : -1;
        if (cols[i] >= 0) {
            if (firstIn < 0) firstIn = i;
            lastIn = i;
        }
    }
    if (firstIn < 0) return;

    const bool sameBytes = sameLayout(src, dst);
    const int pb = src.bpp / 8;
    for (std::int64_t y = y0; y < y1; ++y) {
        std::int64_t r = srcY(y - dy);
        if (r < 0 || r >= src.height) continue;
        const std::uint8_t* srow = src.bits + r * src.stride;
        std::uint8_t* drow = dst.bits + y * dst.stride;
        if (sameBytes && !stretch) {
            std::memcpy(drow + (x0 + firstIn) * pb, srow + static_cast<std::int64_t>(cols[firstIn]) * pb,
                        static_cast<std::size_t>(lastIn - firstIn + 1) * pb);
        } else if (sameBytes) {
            std::uint8_t* d = drow + x0 * pb;
            for (int i = firstIn; i <= lastIn; ++i)
                if (cols[i] >= 0) std::memcpy(d + i * pb, srow + cols[i] * pb, pb);
        } else {
            for (int i = firstIn; i <= lastIn; ++i)
                if (cols[i] >= 0)
                    writeColor(dst, static_cast<int>(y), static_cast<int>(x0 + i),
                               readColor(src, static_cast<int>(r), cols[i]));
        }
    }
}

} // namespace

TFastDIB::TFastDIB() {
    Colors = &bmInfo.bmiColors;
    bmInfo.bmiHeader.biSize = 40;
    bmInfo.bmiHeader.biPlanes = 1;
}

TFastDIB::~TFastDIB() = default;

Surface TFastDIB::AsSurface() {
    Surface s;
    if (!Bits) return s;
    s.bits = Bits;
    s.width = Width;
    s.height = Height;
    s.stride = BWidth;
    s.bpp = Bpp;
    s.colors = Bpp <= 8 ? Colors : nullptr;
    s.mask = Bpp == 16 ? Mask : 0;
    return s;
}

void TFastDIB::FreePixels::operator()(std::uint8_t* p) const noexcept {
#if defined(__linux__)
    if (Mapped) {
        munmap(p, Mapped);
        return;
    }
#endif
    std::free(p);
}

namespace {

#if defined(__linux__)
constexpr std::size_t HugePage = std::size_t{2} << 20;
constexpr std::size_t HugeFrom = std::size_t{8} << 20;

// Pixels of a large picture in a mapping of their own, aligned to and asking for huge pages: a picture
// of 48 MB then takes two dozen page faults instead of twelve thousand, which is most of what a fresh
// large picture costs. Zero-filled. Null when the system refuses.
std::uint8_t* mapHuge(std::size_t bytes, std::size_t& mapped) {
    const std::size_t length = (bytes + HugePage - 1) / HugePage * HugePage;
    void* raw = mmap(nullptr, length + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    auto* base = static_cast<std::uint8_t*>(raw);
    const std::size_t head = (HugePage - reinterpret_cast<std::uintptr_t>(base) % HugePage) % HugePage;
    if (head) munmap(base, head);
    if (HugePage - head) munmap(base + head + length, HugePage - head);
    madvise(base + head, length, MADV_HUGEPAGE);
    mapped = length;
    return base + head;
}
#endif

} // namespace

void TFastDIB::release() {
    pixels_.reset();
    std::vector<std::uint8_t*>().swap(rows_);
    Bits = nullptr;
    Scanlines = nullptr;
    Width = Height = BWidth = Gap = 0;
    bmInfo.bmiHeader.biWidth = 0;
    bmInfo.bmiHeader.biHeight = 0;
    bmInfo.bmiHeader.biSizeImage = 0;
    Pixels8.rows = Pixels16.rows = Pixels24.rows = Pixels32.rows = nullptr;
}

void TFastDIB::SetInterface(std::uint8_t* fBits, int fWidth, int fHeight, int fBpp, int fMask) {
    if (fBpp == 0) fBpp = ScreenBpp;
    if (!validDepth(fBpp)) throw std::invalid_argument("Unsupported pixel depth");
    if (fWidth < 0 || fHeight == std::numeric_limits<int>::min()) throw std::bad_alloc();
    // At 16 and 32 bits a mask of 0, or one whose digits cannot describe the depth (a 0 digit, more
    // bits than the pixel has), stands for the depth's default; other depths keep the mask as given.
    if ((fBpp == 16 || fBpp == 32) && !validMask(fMask, fBpp)) fMask = fBpp == 16 ? DetectMask16() : 888;
    const int h = fHeight < 0 ? -fHeight : fHeight;
    const std::int64_t bw = ((static_cast<std::int64_t>(fBpp) * fWidth + 31) & ~std::int64_t{31}) >> 3;
    const std::int64_t size = bw * h;
    if (bw > std::numeric_limits<int>::max() || size > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();

    Width = fWidth;
    Height = h;
    Bpp = fBpp;
    BWidth = static_cast<int>(bw);
    Mask = fMask;
    if (Bpp < 8)
        Gap = BWidth - Width / (8 / Bpp);
    else if (Bpp == 8)
        Gap = BWidth - Width;
    else
        Gap = BWidth - (Bpp >> 3) * Width;

    TBitmapInfoHeader& hd = bmInfo.bmiHeader;
    hd.biWidth = Width;
    hd.biHeight = -Height;
    hd.biBitCount = static_cast<std::uint16_t>(Bpp);
    hd.biSizeImage = static_cast<std::uint32_t>(size);

    if (Bpp != 16 && Bpp != 32) {
        hd.biCompression = BI_RGB;
    } else {
        hd.biCompression = BI_BITFIELDS;
        const std::uint32_t all = Bpp == 16 ? 0xFFFFu : 0xFFFFFFFFu;
        const int b = Mask % 10, g = (Mask / 10) % 10, r = (Mask / 100) % 10;
        // Shifts by the full width of 32 bits are done in 64 bits, where they are defined.
        auto shr = [all](int n) { return static_cast<std::uint32_t>(std::uint64_t{all} >> n); };
        const std::uint32_t bm = shr(Bpp - b);
        const std::uint32_t gm = shr(Bpp - b - g) & ~bm;
        const std::uint32_t rm = shr(Bpp - b - g - r) & ~(bm | gm);
        bmInfo.masks.b = static_cast<std::int32_t>(bm);
        bmInfo.masks.g = static_cast<std::int32_t>(gm);
        bmInfo.masks.r = static_cast<std::int32_t>(rm);
        bshr = static_cast<std::uint8_t>(8 - b);
        gshr = static_cast<std::uint8_t>(8 - g);
        gshl = static_cast<std::uint8_t>(b);
        rshr = static_cast<std::uint8_t>(8 - r);
        rshl = static_cast<std::uint8_t>(b + g);
    }
    if (fBits) InitPixels(fBits);
}

void TFastDIB::InitPixels(std::uint8_t* fBits) {
    Bits = fBits;
    if (Height == 0 || !fBits) {
        std::vector<std::uint8_t*>().swap(rows_);
        Scanlines = nullptr;
    } else {
        rows_.resize(static_cast<std::size_t>(Height));
        for (int i = 0; i < Height; ++i) rows_[i] = Bits + static_cast<std::ptrdiff_t>(i) * BWidth;
        Scanlines = rows_.data();
    }
    Pixels8.rows = Pixels16.rows = Pixels24.rows = Pixels32.rows = Scanlines;
}

void TFastDIB::SetSize(int fWidth, int fHeight, int fBpp, int fMask) {
    allocate(fWidth, fHeight, fBpp, fMask, true);
}

void TFastDIB::SetSizeUncleared(int fWidth, int fHeight, int fBpp, int fMask) {
    allocate(fWidth, fHeight, fBpp, fMask, false);
}

void TFastDIB::SetSizeForReading(int fWidth, int fHeight, int fBpp, int fMask) {
    constexpr std::int64_t HugeUpTo = std::int64_t{64} << 20;
    const std::int64_t bytes = (((std::int64_t{fBpp} * fWidth + 31) & ~std::int64_t{31}) >> 3) * std::abs(std::int64_t{fHeight});
    allocate(fWidth, fHeight, fBpp, fMask, true, bytes <= HugeUpTo);
}

void TFastDIB::allocate(int fWidth, int fHeight, int fBpp, int fMask, bool clear, bool huge) {
    if (Bpp == fBpp && Width == fWidth && Height == fHeight && Mask == fMask) return;
    try {
        SetInterface(nullptr, fWidth, fHeight, fBpp, fMask);
        pixels_.reset(); // the old pixels are not kept
        const std::size_t bytes = static_cast<std::size_t>(BWidth) * static_cast<std::size_t>(Height);
        if (bytes == 0) {
            InitPixels(nullptr);
            return;
        }
        std::size_t mapped = 0;
        std::uint8_t* p = nullptr;
#if defined(__linux__)
        if (huge && bytes >= HugeFrom) p = mapHuge(bytes, mapped);
#endif
        if (!p) p = static_cast<std::uint8_t*>(clear ? std::calloc(bytes, 1) : std::malloc(bytes));
        if (!p) throw std::bad_alloc();
        pixels_.reset(p);
        pixels_.get_deleter().Mapped = mapped;
        InitPixels(p);
    } catch (const std::bad_alloc&) {
        release();
        throw;
    } catch (const std::length_error&) {
        release();
        throw std::bad_alloc();
    }
}

void TFastDIB::SetPixel(int y, int x, TFColor p) {
    switch (Bpp) {
    case 16:
        Pixels16[y][x] =
            static_cast<std::uint16_t>(((p.r >> rshr) << rshl) | ((p.g >> gshr) << gshl) | (p.b >> bshr));
        break;
    case 24:
        Pixels24[y][x] = p;
        break;
    case 32: {
        TFColorA& c = Pixels32[y][x];
        c.b = p.b, c.g = p.g, c.r = p.r;
        break;
    }
    default:
        break;
    }
}

TFColor TFastDIB::GetPixel(int y, int x) const {
    switch (Bpp) {
    case 16: {
        const unsigned v = Pixels16[y][x];
        return TFColor{static_cast<std::uint8_t>((v & 0xFF) << bshr),
                       static_cast<std::uint8_t>(((v >> gshl) & 0xFF) << gshr),
                       static_cast<std::uint8_t>(((v >> rshl) & 0xFF) << rshr)};
    }
    case 24:
        return Pixels24[y][x];
    case 32: {
        const TFColorA& c = Pixels32[y][x];
        return TFColor{c.b, c.g, c.r};
    }
    case 1:
    case 4:
    case 8: {
        const TFColorA& c = (*Colors)[GetPixelB(y, x)];
        return TFColor{c.b, c.g, c.r};
    }
    default:
        return TFColor{0, 0, 0};
    }
}

void TFastDIB::SetPixelB(int y, int x, std::uint8_t p) {
    std::uint8_t* row = Scanlines[y];
    switch (Bpp) {
    case 1: {
        const int sh = 7 - (x & 7);
        row[x >> 3] = static_cast<std::uint8_t>((row[x >> 3] & ~(1 << sh)) | ((p & 1) << sh));
        break;
    }
    case 4: {
        std::uint8_t& b = row[x >> 1];
        b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | (p & 15))
                    : static_cast<std::uint8_t>((b & 0x0F) | ((p & 15) << 4));
        break;
    }
    case 8:
        row[x] = p;
        break;
    default:
        break;
    }
}

std::uint8_t TFastDIB::GetPixelB(int y, int x) const {
    const std::uint8_t* row = Scanlines[y];
    switch (Bpp) {
    case 1:
        return static_cast<std::uint8_t>((row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4:
        return static_cast<std::uint8_t>((x & 1) ? (row[x >> 1] & 15) : (row[x >> 1] >> 4));
    case 8:
        return row[x];
    default:
        return 0;
    }
}

namespace {
Surface constSurface(const TFastDIB& d) {
    Surface s;
    if (!d.Bits) return s;
    s.bits = d.Bits;
    s.width = d.Width;
    s.height = d.Height;
    s.stride = d.BWidth;
    s.bpp = d.Bpp;
    s.colors = d.Bpp <= 8 ? d.Colors : nullptr;
    s.mask = d.Bpp == 16 ? d.Mask : 0;
    return s;
}
} // namespace

void TFastDIB::Draw(const Surface& dst, int x, int y) const {
    blit(constSurface(*this), dst, x, y, Width, Height, 0, 0, Width, Height);
}

void TFastDIB::Stretch(const Surface& dst, int x, int y, int w, int h) const {
    blit(constSurface(*this), dst, x, y, w, h, 0, 0, Width, Height);
}

void TFastDIB::DrawRect(const Surface& dst, int x, int y, int w, int h, int sx, int sy) const {
    blit(constSurface(*this), dst, x, y, w, h, sx, sy, w, h);
}

void TFastDIB::StretchRect(const Surface& dst, int x, int y, int w, int h, int sx, int sy, int sw,
                           int sh) const {
    blit(constSurface(*this), dst, x, y, w, h, sx, sy, sw, sh);
}

void TFastDIB::TileDraw(const Surface& dst, int x, int y, int w, int h) const {
    if (Width <= 0 || Height <= 0 || !Bits || !dst.valid() || w <= 0 || h <= 0) return;
    const std::int64_t x0 = std::max<std::int64_t>(x, 0), y0 = std::max<std::int64_t>(y, 0);
    const std::int64_t x1 = std::min<std::int64_t>(static_cast<std::int64_t>(x) + w, dst.width);
    const std::int64_t y1 = std::min<std::int64_t>(static_cast<std::int64_t>(y) + h, dst.height);
    if (x0 >= x1 || y0 >= y1) return;

    // The tile in the target's layout: the image itself, a snapshot of it when the target is the image,
    // or one converted copy (so the per-row work below is always plain copies).
    Surface src = constSurface(*this);
    std::vector<std::uint8_t> buffer;
    if (!sameLayout(src, dst)) {
        if (dst.bpp < 8) return; // nothing is written to targets below 8 bits per pixel
        Surface conv = dst;
        conv.width = Width;
        conv.height = Height;
        conv.stride =
            static_cast<int>(((static_cast<std::int64_t>(dst.bpp) * Width + 31) & ~std::int64_t{31}) >> 3);
        buffer.assign(static_cast<std::size_t>(conv.stride) * static_cast<std::size_t>(Height), 0);
        conv.bits = buffer.data();
        blit(src, conv, 0, 0, Width, Height, 0, 0, Width, Height);
        src = conv;
    } else if (overlaps(src, dst)) {
        buffer.assign(Bits, Bits + ByteCount());
        src.bits = buffer.data();
    }
    // Every target row is one image row repeated: copy it in image-wide runs.
    const int pb = dst.bpp / 8;
    for (std::int64_t row = y0; row < y1; ++row) {
        const std::uint8_t* s = src.bits + ((row - y) % Height) * src.stride;
        std::uint8_t* d = dst.bits + row * dst.stride;
        std::int64_t col = x0;
        while (col < x1) {
            const std::int64_t sc = (col - x) % Width;
            const std::int64_t n = std::min<std::int64_t>(Width - sc, x1 - col);
            std::memcpy(d + col * pb, s + sc * pb, static_cast<std::size_t>(n * pb));
            col += n;
        }
    }
}

int TFastDIB::CountColors() const {
    if (!Bits) return 0;
    int count = 0;
    switch (Bpp) {
    case 24:
    case 32: {
        std::vector<std::uint64_t> seen((1u << 24) / 64, 0);
        const int pb = Bpp / 8;
        for (int y = 0; y < Height; ++y) {
            const std::uint8_t* p = Scanlines[y];
            for (int x = 0; x < Width; ++x, p += pb) {
                const std::uint32_t i = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
                std::uint64_t& word = seen[i >> 6];
                const std::uint64_t bit = std::uint64_t{1} << (i & 63);
                if (!(word & bit)) word |= bit, ++count;
            }
        }
        break;
    }
    case 16: {
        std::vector<std::uint8_t> seen(65536, 0);
        for (int y = 0; y < Height; ++y) {
            const std::uint16_t* p = Pixels16[y];
            for (int x = 0; x < Width; ++x)
                if (!seen[p[x]]) seen[p[x]] = 1, ++count;
        }
        break;
    }
    case 8: {
        std::array<bool, 256> seen{};
        for (int y = 0; y < Height; ++y) {
            const std::uint8_t* p = Scanlines[y];
            for (int x = 0; x < Width; ++x)
                if (!seen[p[x]]) seen[p[x]] = true, ++count;
        }
        break;
    }
    case 4: {
        std::array<bool, 16> seen{};
        for (int y = 0; y < Height; ++y) {
            const std::uint8_t* p = Scanlines[y];
            for (int x = 0; x < Width / 2; ++x) {
                const int hi = p[x] >> 4, lo = p[x] & 15;
                if (!seen[hi]) seen[hi] = true, ++count;
                if (!seen[lo]) seen[lo] = true, ++count;
            }
        }
        break;
    }
    case 1:
        // Two entries that are the same colour count as one.
        count = ((*Colors)[0] == (*Colors)[1]) ? 1 : 2;
        break;
    default:
        break;
    }
    return count;
}

void TFastDIB::ShiftColors(int Amount) {
    const int n = WrapMod(Amount, 256);
    if (n == 0) return;
    std::rotate(Colors->begin(), Colors->end() - n, Colors->end());
}

void TFastDIB::FillColors(std::uint8_t i1, std::uint8_t i2, TFColor c1, TFColor c2) {
    const int span = (i2 - i1) & 255; // entries beyond the first
    auto channel = [&](std::uint8_t from, std::uint8_t to, std::uint8_t TFColorA::*field) {
        std::int64_t v = static_cast<std::int64_t>(from) << 16;
        const std::int64_t step = span == 0 ? 0 : (static_cast<std::int64_t>(to) - from) * 65536 / span;
        for (int k = 0; k <= span; ++k, v += step)
            (*Colors)[(i1 + k) & 255].*field =
                static_cast<std::uint8_t>(std::clamp<std::int64_t>(v >> 16, 0, 255));
    };
    channel(c1.b, c2.b, &TFColorA::b);
    channel(c1.g, c2.g, &TFColorA::g);
    channel(c1.r, c2.r, &TFColorA::r);
}

TLogPalette TFastDIB::MakePalette(std::uint8_t Count) const {
    TLogPalette pal;
    // Only an image with a colour table has a palette to give.
    if (Bpp > 8) return pal;
    const std::uint32_t maxIndex = (std::uint32_t{1} << Bpp) - 1;
    int count = Count;
    if (maxIndex < Count)
        count = static_cast<std::uint8_t>(maxIndex);
    else if (count > 235)
        count = 235;
    pal.palVersion = 0x300;
    pal.entries.resize(static_cast<std::size_t>(count) + 11);
    for (int i = 0; i < count; ++i) {
        const TFColorA& c = (*Colors)[i];
        pal.entries[11 + i] = TPaletteEntry{c.r, c.g, c.b, 0};
    }
    return pal;
}

void TFastDIB::Flop() {
    if (Height <= 1 || !Bits) return;
    std::vector<std::uint8_t> tmp(static_cast<std::size_t>(BWidth));
    for (int i = 0, j = Height - 1; i < j; ++i, --j) {
        std::memcpy(tmp.data(), Scanlines[i], BWidth);
        std::memcpy(Scanlines[i], Scanlines[j], BWidth);
        std::memcpy(Scanlines[j], tmp.data(), BWidth);
    }
}

void TFastDIB::Swap(TFastDIB& other) noexcept {
    using std::swap;
    swap(BWidth, other.BWidth);
    swap(Height, other.Height);
    swap(Gap, other.Gap);
    swap(Mask, other.Mask);
    swap(Width, other.Width);
    swap(Bpp, other.Bpp);
    swap(Bits, other.Bits);
    swap(bmInfo, other.bmInfo);
    swap(Scanlines, other.Scanlines);
    swap(bshr, other.bshr);
    swap(gshr, other.gshr);
    swap(gshl, other.gshl);
    swap(rshr, other.rshr);
    swap(rshl, other.rshl);
    swap(Pixels8, other.Pixels8);
    swap(Pixels16, other.Pixels16);
    swap(Pixels24, other.Pixels24);
    swap(Pixels32, other.Pixels32);
    pixels_.swap(other.pixels_);
    rows_.swap(other.rows_);
    // Each object's colour table is its own header's.
    Colors = &bmInfo.bmiColors;
    other.Colors = &other.bmInfo.bmiColors;
}

int DetectMask16() {
    return 565;
}

TFColor MakeFColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return TFColor{b, g, r};
}
