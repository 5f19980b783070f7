#include "gif/GIFColorReduction.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "gif/GIFImage.h"
#include "image/Numeric.h"

namespace {

TLogPalette NewPalette(int Count) {
    TLogPalette p;
    p.palVersion = 0x300;
    p.entries.resize(static_cast<std::size_t>(Count));
    return p;
}

TPaletteEntry Entry(int r, int g, int b, std::uint8_t flags = 0) {
    return TPaletteEntry{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                         static_cast<std::uint8_t>(b), flags};
}

// The 20 static colours of a palette display.
constexpr std::uint8_t StaticColors[20][3] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};

inline int CellKey(int Red, int Green, int Blue) {
    return ((Blue >> 3) << 10) | ((Green >> 3) << 5) | (Red >> 3);
}

int PaletteCount(const TLogPalette& Palette) {
    return static_cast<int>(std::min<std::size_t>(Palette.entries.size(), 256));
}

} // namespace

TPixelFormat PixelFormatOf(const TFastDIB& Bitmap) {
    switch (Bitmap.Bpp) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 16:
        return Bitmap.Mask == 555 ? pf15bit : pf16bit;
    case 24:
        return pf24bit;
    case 32:
        return pf32bit;
    case 0:
        return pfDevice;
    default:
        return pfCustom;
    }
}

// ---------------------------------------------------------------------------------------------------
// Palettes

TLogPalette WebPalette() {
    TLogPalette p = NewPalette(216);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) p.entries[36 * r + 6 * g + b] = Entry(51 * r, 51 * g, 51 * b);
    return p;
}

TLogPalette DefaultPalette() {
    TLogPalette p = NewPalette(20);
    for (int i = 0; i < 20; ++i)
        p.entries[i] = Entry(StaticColors[i][0], StaticColors[i][1], StaticColors[i][2]);
    return p;
}

TLogPalette GrayScalePalette() {
    TLogPalette p = NewPalette(256);
    for (int i = 0; i < 256; ++i) p.entries[i] = Entry(i, i, i, PC_NOCOLLAPSE);
    return p;
}

TLogPalette MonochromePalette() {
    TLogPalette p = NewPalette(2);
    p.entries[0] = Entry(0, 0, 0, PC_NOCOLLAPSE);
    p.entries[1] = Entry(255, 255, 255, PC_NOCOLLAPSE);
    return p;
}

TLogPalette WindowsGrayScalePalette() {
    static constexpr int Levels[4] = {0, 128, 192, 255};
    TLogPalette p = NewPalette(4);
    for (int i = 0; i < 4; ++i) p.entries[i] = Entry(Levels[i], Levels[i], Levels[i], PC_NOCOLLAPSE);
    return p;
}

TLogPalette WindowsHalftonePalette() {
    TLogPalette p = NewPalette(256);
    int n = 0;
    for (int i = 0; i < 10; ++i)
        p.entries[n++] = Entry(StaticColors[i][0], StaticColors[i][1], StaticColors[i][2]);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) p.entries[n++] = Entry(51 * r, 51 * g, 51 * b);
    // Four greys inside each of the five steps of the cube: 51k + 10, 20, 31, 41.
    for (int k = 0; k < 5; ++k)
        for (int v : {10, 20, 31, 41}) p.entries[n++] = Entry(51 * k + v, 51 * k + v, 51 * k + v);
    for (int i = 10; i < 20; ++i)
        p.entries[n++] = Entry(StaticColors[i][0], StaticColors[i][1], StaticColors[i][2]);
    return p;
}

// ---------------------------------------------------------------------------------------------------
// Reader and writer

TDIBReader::TDIBReader(const TFastDIB& ABitmap, TPixelFormat APixelFormat)
    : FBitmap(&ABitmap), FPixelFormat(APixelFormat) {
    if (APixelFormat == PixelFormatOf(ABitmap)) return;
    if (APixelFormat != pf24bit) GIFError("Unsupported PixelFormat");
    FConverted.SetSize(ABitmap.Width, ABitmap.Height, 24, 0);
    ABitmap.Draw(FConverted, 0, 0);
    FBitmap = &FConverted;
}

const std::uint8_t* TDIBReader::GetScanline(int Row) const {
    if (Row < 0 || Row >= FBitmap->Height || !FBitmap->Scanlines) GIFError("Scan line index out of range");
    return FBitmap->Scanlines[Row];
}

TDIBWriter::TDIBWriter(TFastDIB& ABitmap, TPixelFormat APixelFormat, int AWidth, int AHeight,
                       const TLogPalette& APalette)
    : FTarget(ABitmap), FPixelFormat(APixelFormat), FWidth(AWidth), FHeight(AHeight), FPalette(APalette) {
    if (APixelFormat != pf8bit && APixelFormat != pf24bit) GIFError("Unsupported PixelFormat");
    if (AWidth <= 0 || AHeight <= 0) GIFError("Invalid image dimensions");
    CheckImageSize(AWidth, AHeight);
}

TDIBWriter::~TDIBWriter() {
    if (!FDIB.Empty()) FTarget.Swap(FDIB);
}

std::uint8_t* TDIBWriter::GetScanline(int Row) {
    if (FDIB.Empty()) {
        try {
            FDIB.SetSize(FWidth, FHeight, FPixelFormat == pf8bit ? 8 : 24, 0);
        } catch (const std::bad_alloc&) {
            GIFError("Failed to allocate memory for GIF DIB");
        }
        if (FPixelFormat == pf8bit) {
            const int n = PaletteCount(FPalette);
            for (int i = 0; i < 256; ++i) {
                const TPaletteEntry e = i < n ? FPalette.entries[i] : TPaletteEntry{};
                (*FDIB.Colors)[i] = TFColorA{e.peBlue, e.peGreen, e.peRed, 0};
            }
            FDIB.bmInfo.bmiHeader.biClrUsed = 256;
            FDIB.bmInfo.bmiHeader.biClrImportant = static_cast<std::uint32_t>(n);
        }
    }
    if (Row < 0 || Row >= FHeight) GIFError("Scan line index out of range");
    return FDIB.Scanlines[Row];
}

// ---------------------------------------------------------------------------------------------------
// Lookups

TColorLookup::TColorLookup(const TLogPalette& Palette) : FColors(PaletteCount(Palette)) {}

TFastColorLookup::TFastColorLookup(const TLogPalette& Palette)
    : TColorLookup(Palette), FInverseLookup(32768, 65535) {
    for (int i = 0; i < FColors; ++i) {
        const TPaletteEntry& e = Palette.entries[i];
        FPaletteEntries[i] = e;
        std::uint16_t& cell = FInverseLookup[CellKey(e.peRed, e.peGreen, e.peBlue)];
        if (cell == 65535) cell = static_cast<std::uint16_t>(i);
    }
}

std::uint8_t TFastColorLookup::Lookup(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue,
                                      std::uint8_t& R, std::uint8_t& G, std::uint8_t& B) {
    std::uint16_t& cell = FInverseLookup[CellKey(Red, Green, Blue)];
    if (cell == 65535) {
        int best = 0x30000, index = 0;
        for (int i = 0; i < FColors; ++i) {
            const TPaletteEntry& e = FPaletteEntries[i];
            const int d = std::abs(e.peRed - Red) + std::abs(e.peGreen - Green) + std::abs(e.peBlue - Blue);
            if (d < best) best = d, index = i;
        }
        cell = static_cast<std::uint16_t>(index);
    }
    const TPaletteEntry& e = FPaletteEntries[cell];
    R = e.peRed, G = e.peGreen, B = e.peBlue;
    return static_cast<std::uint8_t>(cell);
}

TSlowColorLookup::TSlowColorLookup(const TLogPalette& Palette) : TColorLookup(Palette), FCells(32768, 0) {
    std::copy_n(Palette.entries.begin(), FColors, FPaletteEntries.begin());
}

// An entry whose least distance to the cell is larger than the greatest distance of some entry to any
// point of the cell can never be the nearest, nor tie with it; all others are kept in index order.
void TSlowColorLookup::BuildCell(int Key) {
    const int lo[3] = {(Key & 31) << 3, ((Key >> 5) & 31) << 3, ((Key >> 10) & 31) << 3};
    int minD[256], bound = 0x7FFFFFFF;
    for (int i = 0; i < FColors; ++i) {
        const int v[3] = {FPaletteEntries[i].peRed, FPaletteEntries[i].peGreen, FPaletteEntries[i].peBlue};
        int dMin = 0, dMax = 0;
        for (int c = 0; c < 3; ++c) {
            const int below = lo[c] - v[c], above = v[c] - (lo[c] + 7);
            const int near = below > 0 ? below : (above > 0 ? above : 0);
            const int far = std::max(std::abs(v[c] - lo[c]), std::abs(v[c] - lo[c] - 7));
            dMin += near * near;
            dMax += far * far;
        }
        minD[i] = dMin;
        bound = std::min(bound, dMax);
    }
    const std::size_t first = FCandidates.size();
    for (int i = 0; i < FColors; ++i)
        if (minD[i] <= bound) FCandidates.push_back(static_cast<std::uint8_t>(i));
    FCells[Key] = static_cast<std::uint32_t>(first << 9 | (FCandidates.size() - first));
}

std::uint8_t TSlowColorLookup::Lookup(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue,
                                      std::uint8_t& R, std::uint8_t& G, std::uint8_t& B) {
    if (FColors == 0) {
        R = G = B = 0;
        return 0;
    }
    const int key = CellKey(Red, Green, Blue);
    if (FCells[key] == 0) BuildCell(key);
    const std::uint8_t* c = FCandidates.data() + (FCells[key] >> 9);
    const int n = static_cast<int>(FCells[key] & 511);
    int best = 0x7FFFFFFF, index = c[0];
    for (int k = 0; k < n; ++k) {
        const TPaletteEntry& e = FPaletteEntries[c[k]];
        const int dr = e.peRed - Red, dg = e.peGreen - Green, db = e.peBlue - Blue;
        const int d = dr * dr + dg * dg + db * db;
        if (d < best) best = d, index = c[k];
    }
    const TPaletteEntry& e = FPaletteEntries[index];
    R = e.peRed, G = e.peGreen, B = e.peBlue;
    return static_cast<std::uint8_t>(index);
}

TNetscapeColorLookup::TNetscapeColorLookup(const TLogPalette& Palette) : TColorLookup(Palette) {
    FColors = 216;
}

std::uint8_t TNetscapeColorLookup::Lookup(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue,
                                          std::uint8_t& R, std::uint8_t& G, std::uint8_t& B) {
    const int r = (Red + 3) / 51, g = (Green + 3) / 51, b = (Blue + 3) / 51;
    R = static_cast<std::uint8_t>(51 * r), G = static_cast<std::uint8_t>(51 * g);
    B = static_cast<std::uint8_t>(51 * b);
    return static_cast<std::uint8_t>(36 * r + 6 * g + b);
}

TGrayScaleLookup::TGrayScaleLookup(const TLogPalette& Palette) : TColorLookup(Palette) {
    FColors = 256;
}

std::uint8_t TGrayScaleLookup::Lookup(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue,
                                      std::uint8_t& R, std::uint8_t& G, std::uint8_t& B) {
    const std::uint8_t v = static_cast<std::uint8_t>((77 * Red + 150 * Green + 29 * Blue) >> 8);
    R = G = B = v;
    return v;
}

TMonochromeLookup::TMonochromeLookup(const TLogPalette& Palette) : TColorLookup(Palette) {
    FColors = 2;
}

std::uint8_t TMonochromeLookup::Lookup(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue,
                                       std::uint8_t& R, std::uint8_t& G, std::uint8_t& B) {
    if (77 * Red + 150 * Green + 29 * Blue < 32513) {
        R = G = B = 0;
        return 0;
    }
    R = G = B = 255;
    return 1;
}

// ---------------------------------------------------------------------------------------------------
// Ditherers

TDitherEngine::TDitherEngine(int AWidth, TColorLookup& Lookup)
    : Width(std::max(AWidth, 0)), FLookup(&Lookup) {}

std::uint8_t TDitherEngine::Dither(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue, std::uint8_t& R,
                                   std::uint8_t& G, std::uint8_t& B) {
    const std::uint8_t index = FLookup->Lookup(Red, Green, Blue, R, G, B);
    FColumn += FDirection;
    return index;
}

void TDitherEngine::NextLine() {
    FDirection = -FDirection;
    FColumn = FDirection == 1 ? 0 : Width - 1;
}

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int AWidth, TColorLookup& Lookup)
    : TDitherEngine(AWidth, Lookup) {
    for (TChannel* c : {&FR, &FG, &FB}) c->Errors.assign(static_cast<std::size_t>(Width) + 2, 0);
}

// The channel corrected by the error carried to this pixel from the left and from the row above.
inline int TFloydSteinbergDitherer::Correct(TChannel& C, std::uint8_t Value) const {
    return ClampToByte(Value + (C.CurrentError + C.Errors[FPos + FDirection] + 8) / 16);
}

// The entry behind the current column is complete now; the running values move on by one column.
inline void TFloydSteinbergDitherer::Diffuse(TChannel& C, int Error) {
    C.Errors[FPos] = C.BelowPrevError + 3 * Error;
    C.BelowPrevError = C.BelowError + 5 * Error;
    C.BelowError = Error;
    C.CurrentError = 7 * Error;
}

std::uint8_t TFloydSteinbergDitherer::Dither(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue,
                                             std::uint8_t& R, std::uint8_t& G, std::uint8_t& B) {
    const int r = Correct(FR, Red), g = Correct(FG, Green), b = Correct(FB, Blue);
    const std::uint8_t index = FLookup->Lookup(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                               static_cast<std::uint8_t>(b), R, G, B);
    Diffuse(FR, r - R);
    Diffuse(FG, g - G);
    Diffuse(FB, b - B);
    FPos += FDirection;
    FColumn += FDirection;
    return index;
}

void TFloydSteinbergDitherer::NextColumn() {
    for (TChannel* c : {&FR, &FG, &FB}) Diffuse(*c, 0);
    FPos += FDirection;
    FColumn += FDirection;
}

void TFloydSteinbergDitherer::NextLine() {
    for (TChannel* c : {&FR, &FG, &FB}) {
        c->Errors[FPos] = c->BelowPrevError;
        c->CurrentError = c->BelowError = c->BelowPrevError = 0;
    }
    TDitherEngine::NextLine();
    FPos = FDirection == 1 ? 0 : Width + 1;
}

TErrorRowsDitherer::TErrorRowsDitherer(int AWidth, TColorLookup& Lookup, int Rows, int Margin, int Divisor)
    : TDitherEngine(AWidth, Lookup), FDivisor(Divisor), FRows(Rows), FMargin(Margin), FPos(Margin) {
    for (auto& channel : FErrors)
        channel.assign(
            static_cast<std::size_t>(Rows),
            std::vector<int>(static_cast<std::size_t>(Width) + 2 * static_cast<std::size_t>(Margin), 0));
}

inline int TErrorRowsDitherer::Channel(int c, std::uint8_t Value) {
    return ClampToByte(Value + (FErrors[c][0][FPos] + FDivisor / 2) / FDivisor);
}

inline void TErrorRowsDitherer::ChannelError(int c, int Error) {
    if (Error == 0) return;
    int* row[4] = {};
    for (int k = 0; k < FRows; ++k) row[k] = FErrors[c][k].data() + FPos;
    Diffuse(row, Error);
}

std::uint8_t TErrorRowsDitherer::Dither(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue,
                                        std::uint8_t& R, std::uint8_t& G, std::uint8_t& B) {
    const int r = Channel(0, Red), g = Channel(1, Green), b = Channel(2, Blue);
    const std::uint8_t index = FLookup->Lookup(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                               static_cast<std::uint8_t>(b), R, G, B);
    ChannelError(0, r - R);
    ChannelError(1, g - G);
    ChannelError(2, b - B);
    FPos += FDirection;
    FColumn += FDirection;
    return index;
}

void TErrorRowsDitherer::NextColumn() {
    FPos += FDirection;
    FColumn += FDirection;
}

void TErrorRowsDitherer::NextLine() {
    for (auto& channel : FErrors) {
        std::fill(channel[0].begin(), channel[0].end(), 0);
        std::rotate(channel.begin(), channel.begin() + 1, channel.end());
    }
    TDitherEngine::NextLine();
    FDirection2 = 2 * FDirection;
    FDirection3 = 3 * FDirection;
    FPos = FDirection == 1 ? FMargin : Width - 1 + FMargin;
}

T5by3Ditherer::T5by3Ditherer(int AWidth, TColorLookup& Lookup, int Divisor)
    : TErrorRowsDitherer(AWidth, Lookup, 3, 2, Divisor) {}

TStuckiDitherer::TStuckiDitherer(int AWidth, TColorLookup& Lookup) : T5by3Ditherer(AWidth, Lookup, 42) {}

void TStuckiDitherer::Distribute(int* Error0, int* Error1, int* Error2, int Error) {
    const int d = FDirection, d2 = FDirection2;
    Error0[d] += 8 * Error, Error0[d2] += 4 * Error;
    Error1[-d2] += 2 * Error, Error1[-d] += 4 * Error, Error1[0] += 8 * Error, Error1[d] += 4 * Error,
        Error1[d2] += 2 * Error;
    Error2[-d2] += Error, Error2[-d] += 2 * Error, Error2[0] += 4 * Error, Error2[d] += 2 * Error,
        Error2[d2] += Error;
}

TSierraDitherer::TSierraDitherer(int AWidth, TColorLookup& Lookup) : T5by3Ditherer(AWidth, Lookup, 32) {}

void TSierraDitherer::Distribute(int* Error0, int* Error1, int* Error2, int Error) {
    const int d = FDirection, d2 = FDirection2;
    Error0[d] += 5 * Error, Error0[d2] += 3 * Error;
    Error1[-d2] += 2 * Error, Error1[-d] += 4 * Error, Error1[0] += 5 * Error, Error1[d] += 4 * Error,
        Error1[d2] += 2 * Error;
    Error2[-d] += 2 * Error, Error2[0] += 3 * Error, Error2[d] += 2 * Error;
}

TJaJuNiDitherer::TJaJuNiDitherer(int AWidth, TColorLookup& Lookup) : T5by3Ditherer(AWidth, Lookup, 48) {}

void TJaJuNiDitherer::Distribute(int* Error0, int* Error1, int* Error2, int Error) {
    const int d = FDirection, d2 = FDirection2;
    Error0[d] += 7 * Error, Error0[d2] += 5 * Error;
    Error1[-d2] += 3 * Error, Error1[-d] += 5 * Error, Error1[0] += 7 * Error, Error1[d] += 5 * Error,
        Error1[d2] += 3 * Error;
    Error2[-d2] += Error, Error2[-d] += 3 * Error, Error2[0] += 5 * Error, Error2[d] += 3 * Error,
        Error2[d2] += Error;
}

TSteveArcheDitherer::TSteveArcheDitherer(int AWidth, TColorLookup& Lookup)
    : TErrorRowsDitherer(AWidth, Lookup, 4, 3, 200) {}

void TSteveArcheDitherer::Diffuse(int* const* Row, int Error) {
    const int d = FDirection, d2 = FDirection2, d3 = FDirection3;
    Row[0][d2] += 32 * Error;
    Row[1][-d3] += 12 * Error, Row[1][-d] += 26 * Error, Row[1][d] += 30 * Error, Row[1][d3] += 16 * Error;
    Row[2][-d2] += 12 * Error, Row[2][0] += 26 * Error, Row[2][d2] += 12 * Error;
    Row[3][-d3] += 5 * Error, Row[3][-d] += 12 * Error, Row[3][d] += 12 * Error, Row[3][d3] += 5 * Error;
}

TBurkesDitherer::TBurkesDitherer(int AWidth, TColorLookup& Lookup)
    : TErrorRowsDitherer(AWidth, Lookup, 2, 2, 32) {}

void TBurkesDitherer::Diffuse(int* const* Row, int Error) {
    const int d = FDirection, d2 = FDirection2;
    Row[0][d] += 8 * Error, Row[0][d2] += 4 * Error;
    Row[1][-d2] += 2 * Error, Row[1][-d] += 4 * Error, Row[1][0] += 8 * Error, Row[1][d] += 4 * Error,
        Row[1][d2] += 2 * Error;
}

std::unique_ptr<TDitherEngine> MakeDitherer(TDitherMode Mode, int AWidth, TColorLookup& Lookup) {
    switch (Mode) {
    case dmFloydSteinberg:
        return std::make_unique<TFloydSteinbergDitherer>(AWidth, Lookup);
    case dmStucki:
        return std::make_unique<TStuckiDitherer>(AWidth, Lookup);
    case dmSierra:
        return std::make_unique<TSierraDitherer>(AWidth, Lookup);
    case dmJaJuNI:
        return std::make_unique<TJaJuNiDitherer>(AWidth, Lookup);
    case dmSteveArche:
        return std::make_unique<TSteveArcheDitherer>(AWidth, Lookup);
    case dmBurkes:
        return std::make_unique<TBurkesDitherer>(AWidth, Lookup);
    default:
        return std::make_unique<TDitherEngine>(AWidth, Lookup);
    }
}

// ---------------------------------------------------------------------------------------------------
// Octree quantiser

TColorQuantizer::TColorQuantizer(int MaxColors, int ColorBits)
    : FMaxColors(std::max(MaxColors, 1)), FColorBits(std::clamp(ColorBits, 1, 8)) {
    FReducibleNodes.fill(-1);
    FNodes.reserve(static_cast<std::size_t>(FMaxColors) * (FColorBits + 1) + 64);
}

int TColorQuantizer::NewNode(int Level) {
    int n;
    if (FFree >= 0) {
        n = FFree;
        FFree = FNodes[n].Next;
        FNodes[n] = TOctreeNode{};
    } else {
        n = static_cast<int>(FNodes.size());
        FNodes.emplace_back();
    }
    TOctreeNode& node = FNodes[n];
    node.IsLeaf = Level == FColorBits;
    if (node.IsLeaf) {
        ++FLeafCount;
    } else {
        node.Next = FReducibleNodes[Level];
        FReducibleNodes[Level] = n;
    }
    return n;
}

void TColorQuantizer::FreeNode(int Node) {
    FNodes[Node].Next = FFree;
    FFree = Node;
}

void TColorQuantizer::AddColor(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue) {
    if (FTree < 0) FTree = NewNode(0);
    int node = FTree;
    for (int level = 0;; ++level) {
        TOctreeNode& n = FNodes[node];
        if (n.IsLeaf) {
            ++n.PixelCount;
            n.RedSum += Red, n.GreenSum += Green, n.BlueSum += Blue;
            break;
        }
        const int s = 7 - level;
        const int index = (((Red >> s) & 1) << 2) | (((Green >> s) & 1) << 1) | ((Blue >> s) & 1);
        int child = n.Child[index];
        if (child < 0) {
            child = NewNode(level + 1); // may move the pool: `n` is not used after this
            FNodes[node].Child[index] = child;
        }
        node = child;
    }
    while (FLeafCount > FMaxColors)
        if (!ReduceTree()) break;
}

bool TColorQuantizer::ProcessImage(const TDIBReader& DIB) {
    if (DIB.PixelFormat() != pf24bit) GIFError("Unsupported PixelFormat");
    for (int y = 0; y < DIB.Height(); ++y) {
        const std::uint8_t* p = DIB.GetScanline(y);
        for (int x = 0; x < DIB.Width(); ++x, p += 3) AddColor(p[2], p[1], p[0]);
    }
    return true;
}

bool TColorQuantizer::ReduceTree() {
    int level = FColorBits - 1;
    while (level > 0 && FReducibleNodes[level] < 0) --level;
    const int node = FReducibleNodes[level];
    if (node < 0) return false;
    FReducibleNodes[level] = FNodes[node].Next;
    TOctreeNode& n = FNodes[node];
    int children = 0;
    for (int& c : n.Child) {
        if (c < 0) continue;
        const TOctreeNode& child = FNodes[c];
        n.PixelCount += child.PixelCount;
        n.RedSum += child.RedSum, n.GreenSum += child.GreenSum, n.BlueSum += child.BlueSum;
        FreeNode(c);
        c = -1;
        ++children;
    }
    n.IsLeaf = true;
    n.Next = -1;
    FLeafCount += 1 - children;
    return true;
}

void TColorQuantizer::WalkTree(int Node, std::vector<TFColorA>& Table) const {
    const TOctreeNode& n = FNodes[Node];
    if (n.IsLeaf) {
        TFColorA c{0, 0, 0, 0};
        if (n.PixelCount > 0) {
            c.r = static_cast<std::uint8_t>(n.RedSum / n.PixelCount);
            c.g = static_cast<std::uint8_t>(n.GreenSum / n.PixelCount);
            c.b = static_cast<std::uint8_t>(n.BlueSum / n.PixelCount);
        }
        Table.push_back(c);
        return;
    }
    for (int c : n.Child)
        if (c >= 0) WalkTree(c, Table);
}

std::vector<TFColorA> TColorQuantizer::GetColorTable() const {
    std::vector<TFColorA> table;
    if (FTree >= 0) WalkTree(FTree, table);
    return table;
}

TLogPalette CreateOptimizedPalette(const TDIBReader& Reader, int Colors, int ColorBits, bool Windows) {
    const int total = Windows ? 256 : std::clamp(Colors, 0, 256);
    TLogPalette p = NewPalette(total);
    if (total == 0) return p;
    const int first = Windows ? 10 : 0;
    TColorQuantizer quantizer(Windows ? 236 : total, ColorBits);
    quantizer.ProcessImage(Reader);
    const std::vector<TFColorA> table = quantizer.GetColorTable();
    for (std::size_t i = 0; i < table.size() && first + static_cast<int>(i) < total; ++i)
        p.entries[first + i] = Entry(table[i].r, table[i].g, table[i].b);
    if (Windows) {
        for (int i = 0; i < 10; ++i) {
            p.entries[i] = Entry(StaticColors[i][0], StaticColors[i][1], StaticColors[i][2]);
            p.entries[246 + i] =
                Entry(StaticColors[10 + i][0], StaticColors[10 + i][1], StaticColors[10 + i][2]);
        }
    }
    return p;
}

TLogPalette CreateOptimizedPaletteFromBitmap(const TFastDIB& Bitmap, int Colors, int ColorBits,
                                             bool Windows) {
    const TDIBReader reader(Bitmap, pf24bit);
    return CreateOptimizedPalette(reader, Colors, ColorBits, Windows);
}

// ---------------------------------------------------------------------------------------------------
// ReduceColors

std::unique_ptr<TFastDIB> ReduceColors(const TFastDIB& Bitmap, TColorReduction ColorReduction,
                                       TDitherMode DitherMode, int ReductionBits,
                                       const TLogPalette* CustomPalette) {
    auto result = std::make_unique<TFastDIB>();
    if (ColorReduction == rmNone) {
        if (Bitmap.Empty()) return result;
        result->SetSize(Bitmap.Width, Bitmap.Height, 24, 0);
        Bitmap.Draw(*result, 0, 0);
        return result;
    }
    if (DitherMode < dmNearest || DitherMode > dmBurkes) return result;
    if (Bitmap.Empty()) GIFError("Invalid image dimensions");
    const TDIBReader reader(Bitmap, pf24bit);

    TLogPalette palette;
    switch (ColorReduction) {
    case rmWindows20:
        palette = DefaultPalette();
        break;
    case rmWindows256:
        palette = WindowsHalftonePalette();
        break;
    case rmWindowsGray:
        palette = WindowsGrayScalePalette();
        break;
    case rmMonochrome:
        palette = MonochromePalette();
        break;
    case rmGrayScale:
        palette = GrayScalePalette();
        break;
    case rmNetscape:
        palette = WebPalette();
        break;
    case rmQuantize:
        if (ReductionBits < 1 || ReductionBits > 8) return result;
        palette = CreateOptimizedPalette(reader, 1 << ReductionBits, 8, false);
        break;
    case rmQuantizeWindows:
        palette = CreateOptimizedPalette(reader, 256, 8, true);
        break;
    case rmPalette:
        if (CustomPalette) palette = *CustomPalette;
        break;
    default:
        return result;
    }

    std::unique_ptr<TColorLookup> lookup;
    switch (ColorReduction) {
    case rmMonochrome:
        lookup = std::make_unique<TMonochromeLookup>(palette);
        break;
    case rmGrayScale:
        lookup = std::make_unique<TGrayScaleLookup>(palette);
        break;
    case rmNetscape:
        lookup = std::make_unique<TNetscapeColorLookup>(palette);
        break;
    case rmQuantize:
        lookup = std::make_unique<TFastColorLookup>(palette);
        break;
    default:
        lookup = std::make_unique<TSlowColorLookup>(palette);
        break;
    }
    if (lookup->Colors() == 0) return result;

    const int width = Bitmap.Width, height = Bitmap.Height;
    const std::unique_ptr<TDitherEngine> ditherer = MakeDitherer(DitherMode, width, *lookup);
    {
        TDIBWriter writer(*result, pf8bit, width, height, palette);
        std::uint8_t r, g, b;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* src = reader.GetScanline(y);
            std::uint8_t* dst = writer.GetScanline(y);
            for (int x = ditherer->Column(); x >= 0 && x < width; x = ditherer->Column()) {
                const std::uint8_t* p = src + 3 * x;
                dst[x] = ditherer->Dither(p[2], p[1], p[0], r, g, b);
            }
            ditherer->NextLine();
        }
    }
    return result;
}

std::unique_ptr<TFastDIB> ReduceColorsForImport(const TFastDIB& Bitmap, TColorReduction ColorReduction,
                                                TDitherMode DitherMode, int ReductionBits,
                                                const TLogPalette* CustomPalette) {
    std::unique_ptr<TFastDIB> result =
        ReduceColors(Bitmap, ColorReduction, DitherMode, ReductionBits, CustomPalette);
    if (result->Empty()) GIFError("Invalid reduction method");
    return result;
}
