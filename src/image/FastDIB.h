#pragma once
// TFastDIB: the working image of the whole program. It owns zero-filled pixel memory (rows top-down,
// each row padded to 4 bytes) and a table of row pointers, so that any pixel is reached by row and
// column without a call. Depths 1, 4, 8, 16, 24 and 32 bits per pixel are handled; the editor uses 24.
//
// Drawing targets are plain `Surface` descriptions (bits, size, stride, depth): an image copies,
// stretches (nearest neighbour) and tiles itself onto another image or any surface with our own code.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#pragma pack(push, 1)
struct TFColor {
    std::uint8_t b, g, r;
    friend bool operator==(const TFColor&, const TFColor&) = default;
};
#pragma pack(pop)
static_assert(sizeof(TFColor) == 3);

struct TFColorA {
    std::uint8_t b, g, r, a;
    friend bool operator==(const TFColorA&, const TFColorA&) = default;
};
static_assert(sizeof(TFColorA) == 4);

using TFColorTable = std::array<TFColorA, 256>;
using PFColorTable = TFColorTable*;

// The bitmap header as the file and clipboard formats know it (40 bytes).
struct TBitmapInfoHeader {
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(TBitmapInfoHeader) == 40);

// The three bit-field masks of a 16- or 32-bit image.
struct TBitFieldMasks {
    std::int32_t r, g, b;
};

// Header followed by the colour table, or, at 16 and 32 bits, by the three bit-field masks.
struct TBMInfo {
    TBitmapInfoHeader bmiHeader;
    union {
        TFColorTable bmiColors;
        TBitFieldMasks masks;
    };
    TBMInfo() : bmiHeader(), bmiColors() {}
};
static_assert(sizeof(TBMInfo) == 1064);

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;

// A typed view of the row table: view[y][x] is pixel x of row y. No index is checked.
template <class T> struct TPixelRows {
    std::uint8_t* const* rows = nullptr;
    T* operator[](int y) const { return reinterpret_cast<T*>(rows[y]); }
};
using PPixels8 = TPixelRows<std::uint8_t>;
using PPixels16 = TPixelRows<std::uint16_t>;
using PPixels24 = TPixelRows<TFColor>;
using PPixels32 = TPixelRows<TFColorA>;

// Where an image is drawn: a block of pixels described by its first row, size, stride and depth.
// `colors` gives the colour table of a palette surface (nil when it has none); `mask` the channel bit
// counts of a 16-bit surface as three decimal digits red, green, blue (0 stands for 565).
struct Surface {
    std::uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    int bpp = 24;
    const TFColorTable* colors = nullptr;
    int mask = 0;
    bool valid() const { return bits != nullptr && width > 0 && height > 0; }
};

// The logical palette built from a colour table: entries of r, g, b, flags.
struct TPaletteEntry {
    std::uint8_t peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
    friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};
struct TLogPalette {
    std::uint16_t palVersion = 0;
    std::vector<TPaletteEntry> entries; // palNumEntries == entries.size()
};

// The depth a depth of 0 stands for (the editor's display is treated as 32 bits).
constexpr int ScreenBpp = 32;

class TFastDIB {
public:
    TFastDIB();
    ~TFastDIB();
    TFastDIB(const TFastDIB&) = delete;
    TFastDIB& operator=(const TFastDIB&) = delete;

    // Header-derived fields; always equal to the corresponding header values.
    int BWidth = 0; // bytes per row
    int Height = 0; // rows (absolute value of the height asked for)
    int Gap = 0;    // bytes at the end of each row past the last whole byte of pixels
    int Mask = 0;   // 565, 555 or 888 for 16 and 32 bits; at other depths the mask asked for
    int Width = 0;  // pixels per row (biWidth)
    int Bpp = 0;    // bits per pixel (biBitCount)
    std::uint8_t* Bits = nullptr;
    TFColorTable* Colors;
    TBMInfo bmInfo;
    std::uint8_t** Scanlines = nullptr; // Height row pointers; nil when there is no pixel memory
    std::uint8_t bshr = 0, gshr = 0, gshl = 0, rshr = 0, rshl = 0;
    PPixels8 Pixels8;
    PPixels16 Pixels16;
    PPixels24 Pixels24;
    PPixels32 Pixels32;

    std::uint32_t Compression() const { return bmInfo.bmiHeader.biCompression; }
    std::uint32_t ClrUsed() const { return bmInfo.bmiHeader.biClrUsed; }
    int BHeight() const { return bmInfo.bmiHeader.biHeight; }
    std::uint32_t Size() const { return bmInfo.bmiHeader.biSizeImage; }
    std::int64_t ByteCount() const { return static_cast<std::int64_t>(BWidth) * Height; }
    int rMask() const { return bmInfo.masks.r; }
    int gMask() const { return bmInfo.masks.g; }
    int bMask() const { return bmInfo.masks.b; }

    // The pixels as a drawing target (nothing when unsized).
    Surface AsSurface();
    bool Empty() const { return Bits == nullptr; }

    // Gives the object new zero-filled pixels; with the same width, height, depth and mask it returns at
    // once and keeps the pixels. SetSize(0, 0, 0, 0) releases them. Throws std::bad_alloc (leaving the
    // object released) when the memory cannot be had or the byte count does not fit.
    void SetSize(int fWidth, int fHeight, int fBpp, int fMask);
    // The same, but new pixel memory is not cleared: for a caller that at once writes every byte of
    // every row, the row padding included, on several threads, so that no single thread has to touch
    // all the pages first.
    void SetSizeUncleared(int fWidth, int fHeight, int fBpp, int fMask);
    // As SetSize, but pixels of more than 64 MB are not asked to lie on huge pages: for a picture a
    // decoder fills once (a file being opened). Up to that size huge pages halve the open's time; above
    // it, on a busy machine, the system's work to gather hundreds of them costs more than they save.
    void SetSizeForReading(int fWidth, int fHeight, int fBpp, int fMask);
    // Fills the header and derived fields; with fBits not nil also the row table.
    void SetInterface(std::uint8_t* fBits, int fWidth, int fHeight, int fBpp, int fMask);
    void InitPixels(std::uint8_t* fBits);

    void SetPixel(int y, int x, TFColor p);
    TFColor GetPixel(int y, int x) const;
    void SetPixelB(int y, int x, std::uint8_t p);
    std::uint8_t GetPixelB(int y, int x) const;

    // Copies. Destination rectangles are clipped to the target; source parts outside the image draw
    // nothing. Nearest neighbour for stretching; a palette image draws through its colour table.
    // Source and target may be the same pixels (the copy reads the source as it was).
    void Draw(const Surface& dst, int x, int y) const;
    void Stretch(const Surface& dst, int x, int y, int w, int h) const;
    void DrawRect(const Surface& dst, int x, int y, int w, int h, int sx, int sy) const;
    void StretchRect(const Surface& dst, int x, int y, int w, int h, int sx, int sy, int sw, int sh) const;
    // Fills (x, y, w, h) with copies of the image, its top-left corner at (x, y).
    void TileDraw(const Surface& dst, int x, int y, int w, int h) const;

    void Draw(TFastDIB& dst, int x, int y) const { Draw(dst.AsSurface(), x, y); }
    void Stretch(TFastDIB& dst, int x, int y, int w, int h) const { Stretch(dst.AsSurface(), x, y, w, h); }
    void DrawRect(TFastDIB& dst, int x, int y, int w, int h, int sx, int sy) const {
        DrawRect(dst.AsSurface(), x, y, w, h, sx, sy);
    }
    void StretchRect(TFastDIB& dst, int x, int y, int w, int h, int sx, int sy, int sw, int sh) const {
        StretchRect(dst.AsSurface(), x, y, w, h, sx, sy, sw, sh);
    }
    void TileDraw(TFastDIB& dst, int x, int y, int w, int h) const { TileDraw(dst.AsSurface(), x, y, w, h); }

    int CountColors() const;
    void ShiftColors(int Amount);
    void FillColors(std::uint8_t i1, std::uint8_t i2, TFColor c1, TFColor c2);
    // The logical palette (version $300, 11 black entries then the first Count colour-table entries,
    // Count at most (1 shl Bpp) - 1 and 235) at 8 bits per pixel or fewer; an empty palette at more
    // than 8 bits, where there is no colour table.
    TLogPalette MakePalette(std::uint8_t Count) const;

    // Turns the image upside down in place.
    void Flop();

    // Exchanges everything two images hold (sizes, headers, colour tables, pixels) without copying
    // pixels; row pointers stay valid and move with their pixels.
    void Swap(TFastDIB& other) noexcept;

private:
    struct FreePixels {
        FreePixels() noexcept : Mapped(0) {}
        std::size_t Mapped; // the length of a mapping of its own; 0 for calloc and malloc
        void operator()(std::uint8_t* p) const noexcept;
    };
    // From calloc, or for large pictures a mapping of their own on huge pages: both come zero-filled
    // from the system without a pass over them.
    std::unique_ptr<std::uint8_t, FreePixels> pixels_;
    std::vector<std::uint8_t*> rows_;
    void release();
    void allocate(int fWidth, int fHeight, int fBpp, int fMask, bool clear, bool huge = true);
};

// The 16-bit layout the display uses; this program always answers 565.
int DetectMask16();
TFColor MakeFColor(std::uint8_t r, std::uint8_t g, std::uint8_t b);
