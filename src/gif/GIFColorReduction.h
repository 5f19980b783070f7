#pragma once
// Colour reduction for GIF frames: colour lookups (the palette index of an RGB value), error-diffusion
// ditherers that walk rows in serpentine order, the octree quantiser, the fixed palettes, a reader and a
// writer of bitmap rows, and ReduceColors, which turns any bitmap into an 8-bit one of at most 256
// colours. Pure C++ over TFastDIB; palettes are TLogPalette values.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "image/FastDIB.h"

enum TColorReduction : int {
    rmNone,
    rmWindows20,
    rmWindows256,
    rmWindowsGray,
    rmMonochrome,
    rmGrayScale,
    rmNetscape,
    rmQuantize,
    rmQuantizeWindows,
    rmPalette
};
enum TDitherMode : int { dmNearest, dmFloydSteinberg, dmStucki, dmSierra, dmJaJuNI, dmSteveArche, dmBurkes };
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// The pixel format of an image by its depth (and, at 16 bits, its channel layout).
TPixelFormat PixelFormatOf(const TFastDIB& Bitmap);

// ---------------------------------------------------------------------------------------------------
// Palettes (version $300). Entries made from a fixed table carry the flag PC_NOCOLLAPSE.

constexpr std::uint8_t PC_NOCOLLAPSE = 4;

// 216 entries: entry 36r + 6g + b (r, g, b each 0..5) is (51r, 51g, 51b).
TLogPalette WebPalette();
// The 20 static colours of a palette display, in their usual order (dark ten, then light ten).
TLogPalette DefaultPalette();
TLogPalette GrayScalePalette();        // 256 greys (i, i, i)
TLogPalette MonochromePalette();       // black, white
TLogPalette WindowsGrayScalePalette(); // greys 0, 128, 192, 255
// 256 entries: the first ten static colours, the 6x6x6 cube, twenty greys between its levels and the
// last ten static colours.
TLogPalette WindowsHalftonePalette();

// ---------------------------------------------------------------------------------------------------
// Reading and writing bitmap rows

// Reads the rows of a bitmap at a given pixel format. The caller's bitmap is never changed: a bitmap of
// another format is converted into a copy that the reader owns. Only the bitmap's own format, or
// pf24bit from any format, can be read; anything else raises "Unsupported PixelFormat".
class TDIBReader {
public:
    TDIBReader(const TFastDIB& ABitmap, TPixelFormat APixelFormat);
    TDIBReader(const TDIBReader&) = delete;
    TDIBReader& operator=(const TDIBReader&) = delete;

    const std::uint8_t* GetScanline(int Row) const;
    int Width() const { return FBitmap->Width; }
    int Height() const { return FBitmap->Height; }
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    // The bitmap read (the caller's, or the converted copy).
    const TFastDIB& Bitmap() const { return *FBitmap; }

private:
    const TFastDIB* FBitmap;
    TFastDIB FConverted;
    TPixelFormat FPixelFormat;
};

// Builds an 8- or 24-bit bitmap row by row and hands it to ABitmap when the writer goes. The pixels are
// made on the first GetScanline; an 8-bit bitmap gets the palette as its colour table (256 entries,
// ClrImportant the palette's count).
class TDIBWriter {
public:
    TDIBWriter(TFastDIB& ABitmap, TPixelFormat APixelFormat, int AWidth, int AHeight,
               const TLogPalette& APalette);
    ~TDIBWriter();
    TDIBWriter(const TDIBWriter&) = delete;
    TDIBWriter& operator=(const TDIBWriter&) = delete;

    std::uint8_t* GetScanline(int Row);

private:
    TFastDIB& FTarget;
    TFastDIB FDIB;
    TPixelFormat FPixelFormat;
    int FWidth, FHeight;
    TLogPalette FPalette;
};

// ---------------------------------------------------------------------------------------------------
// Colour lookups: Lookup answers the index of the palette entry chosen for (Red, Green, Blue) and puts
// that entry's colour in R, G, B.

class TColorLookup {
public:
    explicit TColorLookup(const TLogPalette& Palette);
    virtual ~TColorLookup() = default;
    TColorLookup(const TColorLookup&) = delete;
    TColorLookup& operator=(const TColorLookup&) = delete;

    virtual std::uint8_t Lookup(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue, std::uint8_t& R,
                                std::uint8_t& G, std::uint8_t& B) = 0;
    int Colors() const { return FColors; }

protected:
    int FColors = 0; // palette entries
};

// A 5-5-5 cache of 32768 cells, filled lazily: an entry whose own cell it is answers that cell, any
// other cell gets the entry nearest by the summed absolute channel differences to the first colour
// asked in it (lowest index on ties).
class TFastColorLookup final : public TColorLookup {
public:
    explicit TFastColorLookup(const TLogPalette& Palette);
    std::uint8_t Lookup(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue, std::uint8_t& R,
                        std::uint8_t& G, std::uint8_t& B) override;

private:
    std::array<TPaletteEntry, 256> FPaletteEntries{};
    std::vector<std::uint16_t> FInverseLookup; // 32768 cells, 65535 = not yet known
};

// The exact nearest entry by squared distance in RGB (lowest index on ties). Each 5-5-5 cell keeps, once
// asked, the few entries that can be nearest to any colour in it, so a lookup measures only those.
class TSlowColorLookup final : public TColorLookup {
public:
    explicit TSlowColorLookup(const TLogPalette& Palette);
    std::uint8_t Lookup(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue, std::uint8_t& R,
                        std::uint8_t& G, std::uint8_t& B) override;

private:
    void BuildCell(int Key);
    std::array<TPaletteEntry, 256> FPaletteEntries{};
    std::vector<std::uint32_t> FCells;     // per cell: first candidate << 9 | count, 0 = not yet built
    std::vector<std::uint8_t> FCandidates; // entry indices of all built cells
};

// The 6x6x6 web palette: (Red + 3) div 51 and so on.
class TNetscapeColorLookup final : public TColorLookup {
public:
    explicit TNetscapeColorLookup(const TLogPalette& Palette);
    std::uint8_t Lookup(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue, std::uint8_t& R,
                        std::uint8_t& G, std::uint8_t& B) override;
};

// 256 greys: (77 Red + 150 Green + 29 Blue) shr 8.
class TGrayScaleLookup final : public TColorLookup {
public:
    explicit TGrayScaleLookup(const TLogPalette& Palette);
    std::uint8_t Lookup(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue, std::uint8_t& R,
                        std::uint8_t& G, std::uint8_t& B) override;
};

// Black below half brightness, white from there.
class TMonochromeLookup final : public TColorLookup {
public:
    explicit TMonochromeLookup(const TLogPalette& Palette);
    std::uint8_t Lookup(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue, std::uint8_t& R,
                        std::uint8_t& G, std::uint8_t& B) override;
};

// ---------------------------------------------------------------------------------------------------
// Ditherers. Rows are walked in serpentine order: the first left to right, the next right to left, and
// so on. Dither answers the index for one pixel and moves on a column; NextColumn moves on a column
// without a pixel (nothing is diffused from it); NextLine ends a row. The base class chooses the
// nearest colour and diffuses nothing.

class TDitherEngine {
public:
    TDitherEngine(int AWidth, TColorLookup& Lookup);
    virtual ~TDitherEngine() = default;
    TDitherEngine(const TDitherEngine&) = delete;
    TDitherEngine& operator=(const TDitherEngine&) = delete;

    virtual std::uint8_t Dither(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue, std::uint8_t& R,
                                std::uint8_t& G, std::uint8_t& B);
    virtual void NextLine();
    virtual void NextColumn() { FColumn += FDirection; }

    int Direction() const { return FDirection; }
    int Column() const { return FColumn; }
    const int Width;

protected:
    int FDirection = 1;
    int FColumn = 0;
    TColorLookup* FLookup;
};

// Floyd-Steinberg: 7/16 ahead, 3/16 behind below, 5/16 below, 1/16 ahead below. One row buffer per
// channel of Width + 2 entries (column c at entry c + 1) and three running values carry the errors.
class TFloydSteinbergDitherer final : public TDitherEngine {
public:
    TFloydSteinbergDitherer(int AWidth, TColorLookup& Lookup);
    std::uint8_t Dither(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue, std::uint8_t& R,
                        std::uint8_t& G, std::uint8_t& B) override;
    void NextLine() override;
    void NextColumn() override;

private:
    struct TChannel {
        std::vector<int> Errors;
        int CurrentError = 0, BelowError = 0, BelowPrevError = 0;
    };
    int Correct(TChannel& C, std::uint8_t Value) const;
    void Diffuse(TChannel& C, int Error);
    TChannel FR, FG, FB;
    int FPos = 0; // the entry behind the current column
};

// Ditherers whose kernel reaches two or three columns to each side and one to three rows down: one
// buffer per row and channel (row 0 the current one), Width plus a margin on each side; the rows move
// up by one at the end of each row.
class TErrorRowsDitherer : public TDitherEngine {
public:
    std::uint8_t Dither(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue, std::uint8_t& R,
                        std::uint8_t& G, std::uint8_t& B) override;
    void NextLine() override;
    void NextColumn() override;

protected:
    TErrorRowsDitherer(int AWidth, TColorLookup& Lookup, int Rows, int Margin, int Divisor);
    // Adds multiples of Error around the current column; Row[k] points at it in row k.
    virtual void Diffuse(int* const* Row, int Error) = 0;
    int FDirection2 = 2, FDirection3 = 3;
    int FDivisor;

private:
    int Channel(int c, std::uint8_t Value);
    void ChannelError(int c, int Error);
    int FRows, FMargin;
    std::array<std::vector<std::vector<int>>, 3> FErrors; // [channel][row][entry]
    int FPos = 0;                                         // entry of the current column
};

// The 5 x 3 kernels (two rows below): Stucki, Sierra, Jarvis-Judice-Ninke.
class T5by3Ditherer : public TErrorRowsDitherer {
protected:
    T5by3Ditherer(int AWidth, TColorLookup& Lookup, int Divisor);
    virtual void Distribute(int* Error0, int* Error1, int* Error2, int Error) = 0;

private:
    void Diffuse(int* const* Row, int Error) final { Distribute(Row[0], Row[1], Row[2], Error); }
};

class TStuckiDitherer final : public T5by3Ditherer {
public:
    TStuckiDitherer(int AWidth, TColorLookup& Lookup);

protected:
    void Distribute(int* Error0, int* Error1, int* Error2, int Error) override;
};

class TSierraDitherer final : public T5by3Ditherer {
public:
    TSierraDitherer(int AWidth, TColorLookup& Lookup);

protected:
    void Distribute(int* Error0, int* Error1, int* Error2, int Error) override;
};

class TJaJuNiDitherer final : public T5by3Ditherer {
public:
    TJaJuNiDitherer(int AWidth, TColorLookup& Lookup);

protected:
    void Distribute(int* Error0, int* Error1, int* Error2, int Error) override;
};

// Stevenson-Arce: three rows below, reaching three columns to each side, divisor 200.
class TSteveArcheDitherer final : public TErrorRowsDitherer {
public:
    TSteveArcheDitherer(int AWidth, TColorLookup& Lookup);

protected:
    void Diffuse(int* const* Row, int Error) override;
};

// Burkes: one row below, two columns to each side, divisor 32.
class TBurkesDitherer final : public TErrorRowsDitherer {
public:
    TBurkesDitherer(int AWidth, TColorLookup& Lookup);

protected:
    void Diffuse(int* const* Row, int Error) override;
};

// The ditherer of a mode on a lookup (the nearest colour for an unknown mode).
std::unique_ptr<TDitherEngine> MakeDitherer(TDitherMode Mode, int AWidth, TColorLookup& Lookup);

// ---------------------------------------------------------------------------------------------------
// Octree quantiser: every colour goes down a tree of ColorBits levels; while there are more leaves than
// MaxColors the deepest reducible node folds its children into itself.

class TColorQuantizer {
public:
    TColorQuantizer(int MaxColors, int ColorBits);
    TColorQuantizer(const TColorQuantizer&) = delete;
    TColorQuantizer& operator=(const TColorQuantizer&) = delete;

    // Adds every pixel of a 24-bit reader; always true.
    bool ProcessImage(const TDIBReader& DIB);
    // Adds one colour (and reduces the tree when it holds too many leaves).
    void AddColor(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue);
    // The leaves' mean colours (blue, green, red, 0), depth first, children in order.
    std::vector<TFColorA> GetColorTable() const;
    int LeafCount() const { return FLeafCount; }

private:
    struct TOctreeNode {
        bool IsLeaf = false;
        std::int64_t PixelCount = 0, RedSum = 0, GreenSum = 0, BlueSum = 0;
        int Next = -1; // next reducible node of the same level
        int Child[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    };
    int NewNode(int Level);
    void FreeNode(int Node);
    bool ReduceTree();
    void WalkTree(int Node, std::vector<TFColorA>& Table) const;

    std::vector<TOctreeNode> FNodes; // node pool; freed nodes are chained through Next
    int FFree = -1;
    int FTree = -1;
    int FLeafCount = 0;
    std::array<int, 8> FReducibleNodes;
    int FMaxColors;
    int FColorBits;
};

// A palette of the reader's colours: Colors entries from the quantiser; with Windows, 256 entries of
// which 0..9 and 246..255 are the static colours and 236 come from the quantiser.
TLogPalette CreateOptimizedPalette(const TDIBReader& Reader, int Colors, int ColorBits, bool Windows);
TLogPalette CreateOptimizedPaletteFromBitmap(const TFastDIB& Bitmap, int Colors, int ColorBits, bool Windows);

// ---------------------------------------------------------------------------------------------------
// A new 8-bit bitmap of Bitmap's colours reduced by ColorReduction and dithered by DitherMode
// (rmNone gives a 24-bit copy). ReductionBits (1..8) is the depth of rmQuantize; CustomPalette the
// palette of rmPalette. Bitmap itself is left as it is. An unknown method or dither mode, a depth
// outside 1..8 for rmQuantize, or an empty palette gives an empty bitmap. Raises GIFException
// "Invalid image dimensions" for an empty Bitmap.
std::unique_ptr<TFastDIB> ReduceColors(const TFastDIB& Bitmap, TColorReduction ColorReduction,
                                       TDitherMode DitherMode, int ReductionBits,
                                       const TLogPalette* CustomPalette = nullptr);
// The same for making a frame: an empty result is refused with "Invalid reduction method".
std::unique_ptr<TFastDIB> ReduceColorsForImport(const TFastDIB& Bitmap, TColorReduction ColorReduction,
                                                TDitherMode DitherMode, int ReductionBits,
                                                const TLogPalette* CustomPalette = nullptr);
