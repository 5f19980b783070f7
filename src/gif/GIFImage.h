#pragma once
// GIF codec core: the block model of a GIF file (header with logical screen and global colour table,
// frames with their extensions, trailer), the colour tables, the extension blocks with their label and
// application registries, the LZW decoder and the LZW and run-length encoders. Reading and writing a
// file is a walk over the same tree of blocks in file order. Pure C++; drawing, colour reduction and
// the picture container come on top of this.

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gif/GIFPainterList.h"
#include "gif/GIFStreams.h"
#include "image/Color.h"
#include "image/FastDIB.h"

#include "gif/GIFColorReduction.h"

// ---------------------------------------------------------------------------------------------------
// Errors, enumerations, records

// The one exception type of the codec; raised only by GIFError.
class GIFException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
[[noreturn]] void GIFError(const std::string& message);
// Raised where the data stop before a block is complete (the file was cut short), so that a reader
// can keep what came before it.
class GIFDataEndException : public GIFException {
public:
    using GIFException::GIFException;
};
// Raises GIFDataEndException "Premature end of data".
[[noreturn]] void GIFDataEnd();

// Warnings of a picture whose data stop early: what was read is kept.
inline constexpr const char* GIFIncompleteFile =
    "The file ends before its trailer: the picture is incomplete";
inline constexpr const char* GIFIncompleteFrame =
    "Image data end before the last pixel: the picture is incomplete";

enum TGIFVersion { gvUnknown, gv87a, gv89a };
enum TGIFSeverity { gsInfo, gsWarning, gsError };
enum TGIFCompression { gcLZW, gcRLE };
enum TDisposalMethod { dmNone, dmNoDisposal, dmBackground, dmPrevious };
enum TProgressStage { psStarting, psRunning, psEnding };

// Options of drawing a picture, as a set of bits.
enum TGIFDrawOption {
    goAsync,
    goTransparent,
    goAnimate,
    goLoop,
    goLoopContinously,
    goValidateCanvas,
    goDirectDraw,
    goClearOnLoop,
    goTile,
    goDither,
    goAutoDither
};
using TGIFDrawOptions = unsigned;
constexpr TGIFDrawOptions DrawOption(TGIFDrawOption o) {
    return 1u << o;
}
constexpr TGIFDrawOptions DrawOptions(std::initializer_list<TGIFDrawOption> l) {
    TGIFDrawOptions s = 0;
    for (TGIFDrawOption o : l) s |= DrawOption(o);
    return s;
}
constexpr TGIFDrawOptions GIFDefaultDrawOptions =
    DrawOptions({goAsync, goTransparent, goAnimate, goLoop, goClearOnLoop, goDither, goAutoDither});

// The passes of a picture's optimisation, as a set of bits.
enum TGIFOptimizeOption { ooCrop, ooMerge, ooCleanup, ooColorMap, ooReduceColors };
using TGIFOptimizeOptions = unsigned;
constexpr TGIFOptimizeOptions OptimizeOption(TGIFOptimizeOption o) {
    return 1u << o;
}

// "No colour" (for the drawing background: the picture's own background colour is used).
constexpr TColor clNone = 0x1FFFFFFF;

// Raised by a progress handler to stop a long operation quietly (rendering leaves no bitmap).
class EGIFAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

struct TGIFColor {
    std::uint8_t Red = 0, Green = 0, Blue = 0;
    bool operator==(const TGIFColor&) const = default;
};

struct TLogicalScreenDescriptor { // 7 bytes in the file
    std::uint16_t ScreenWidth = 0;
    std::uint16_t ScreenHeight = 0;
    std::uint8_t PackedFields = 0;
    std::uint8_t BackgroundColorIndex = 0;
    std::uint8_t AspectRatio = 0;
};

struct TImageDescriptor { // 10 bytes in the file
    std::uint8_t Separator = ',';
    std::uint16_t Left = 0;
    std::uint16_t Top = 0;
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::uint8_t PackedFields = 0;
};

struct TGIFRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TGIFRect&) const = default;
};

// The most pixel data one picture may hold in all its frames. A frame or logical screen is held to the
// program's one picture size limit (image/PictureSize.h).
constexpr std::int64_t GIFMaxTotalPixels = 512ll * 1024 * 1024;

// ---------------------------------------------------------------------------------------------------
// Unit routines

int AlignBit(int Bits, int BitsPerPixel, int Alignment);
int Colors2bpp(int Colors);
void WriteByte(TStream& Stream, std::uint8_t Value);
std::uint8_t ReadByte(TStream& Stream); // 0 at the end of the stream
bool TryReadByte(TStream& Stream, std::uint8_t& Value);
void ReadCheck(TStream& Stream, void* Buffer, std::size_t Size); // "Premature end of data"
void WriteStrings(TStream& Stream, const std::vector<std::string>& Text);
void ReadStrings(TStream& Stream, std::vector<std::string>& Text);

class TGIFImage;
class TGIFSubImage;
class TGIFHeader;
class TGIFExtension;
class TGIFGraphicControlExtension;

// ---------------------------------------------------------------------------------------------------
// Picture context: what every block needs from the picture that owns it. The picture class forwards
// warnings and progress to its handlers and supplies the settings used when saving.

class TGIFPainter;
class TGIFPaintCanvas;
class TGIFPainterDriver;
// The events of painters (Sender: the painter).
using TGIFNotifyEvent = std::function<void(TGIFPainter& Sender)>;

class TGIFPictureContext {
public:
    virtual ~TGIFPictureContext() = default;
    virtual void Warning(const void* Sender, TGIFSeverity Severity, const std::string& Message) = 0;
    virtual void Progress(TProgressStage Stage, int PercentDone, bool RedrawNow, const std::string& Msg) = 0;
    virtual TGIFCompression Compression() const = 0;
};

// ---------------------------------------------------------------------------------------------------
// Colour tables

class TGIFColorMap {
public:
    struct TUsageCount {
        int Count = 0;
        int Index = 0;
    };

    TGIFColorMap() = default;
    virtual ~TGIFColorMap() = default;
    TGIFColorMap(const TGIFColorMap&) = delete;
    TGIFColorMap& operator=(const TGIFColorMap&) = delete;

    void Clear();
    static TGIFColor Color2RGB(TColor Color);
    static TColor RGB2Color(TGIFColor Color);
    int IndexOf(TColor Color) const;
    int Add(TColor Color);
    int AddUnique(TColor Color);
    void Delete(int Index);
    // Entry as a TColor; an index outside the table warns and gives entry 0.
    TColor Colors(int Index);
    void ImportColorMap(const TGIFColor* Map, int Count);
    // Count entries of 4 bytes blue, green, red, reserved.
    void ImportColorTable(const std::uint8_t* Pal, int Count);
    void Assign(const TGIFColorMap& Source);
    void SaveToStream(TStream& Stream) const;
    void LoadFromStream(TStream& Stream, int Count);
    virtual bool Optimize() { return DoOptimize(); }

    int Count() const { return FCount; }
    int Capacity() const { return FCapacity; }
    bool Optimized() const { return FOptimized; }
    void SetOptimized(bool Value) { FOptimized = Value; }
    int BitsPerPixel() const { return Colors2bpp(FCount); }
    const TGIFColor* Data() const { return FColorMap.data(); }
    TGIFColor* Data() { return FColorMap.data(); }

    virtual void Warning(TGIFSeverity Severity, const std::string& Message) = 0;
    virtual void BuildHistogram(std::vector<TUsageCount>& Histogram) = 0;
    virtual void MapImages(const std::vector<int>& Map) = 0;
    virtual void Changed() = 0;

protected:
    void SetCapacity(int Size);
    bool DoOptimize();
    // Counts the pixel values of one frame that are valid indices of this table.
    void CountPixels(const TGIFSubImage& Frame, std::vector<TUsageCount>& Histogram) const;
    // Rewrites one frame's pixels and transparent index through Map (values outside it stay).
    static void RemapFrame(TGIFSubImage& Frame, const std::vector<int>& Map);

    std::vector<TGIFColor> FColorMap; // FCapacity entries allocated, FCount in use
    int FCount = 0;
    int FCapacity = 0;
    bool FOptimized = false;
};

class TGIFGlobalColorMap : public TGIFColorMap {
public:
    explicit TGIFGlobalColorMap(TGIFHeader* Header) : FHeader(Header) {}
    bool Optimize() override;
    void Warning(TGIFSeverity Severity, const std::string& Message) override;
    void BuildHistogram(std::vector<TUsageCount>& Histogram) override;
    void MapImages(const std::vector<int>& Map) override;
    void Changed() override;

private:
    TGIFHeader* FHeader;
};

class TGIFLocalColorMap : public TGIFColorMap {
public:
    explicit TGIFLocalColorMap(TGIFSubImage* SubImage) : FSubImage(SubImage) {}
    void Warning(TGIFSeverity Severity, const std::string& Message) override;
    void BuildHistogram(std::vector<TUsageCount>& Histogram) override;
    void MapImages(const std::vector<int>& Map) override;
    void Changed() override;

private:
    TGIFSubImage* FSubImage;
};

// ---------------------------------------------------------------------------------------------------
// Blocks and lists

class TGIFItem {
public:
    explicit TGIFItem(TGIFImage* GIFImage) : FGIFImage(GIFImage) {}
    virtual ~TGIFItem() = default;
    TGIFItem(const TGIFItem&) = delete;
    TGIFItem& operator=(const TGIFItem&) = delete;

    virtual TGIFVersion GetVersion() const { return gv87a; }
    virtual void Warning(TGIFSeverity Severity, const std::string& Message);
    virtual void SaveToStream(TStream& Stream) = 0;
    virtual void LoadFromStream(TStream& Stream) = 0;
    // The whole block is built in memory first; the file is replaced only when that succeeded.
    void SaveToFile(const std::string& Filename);
    void LoadFromFile(const std::string& Filename);

    TGIFVersion Version() const { return GetVersion(); }
    TGIFImage* Image() const { return FGIFImage; }

protected:
    TGIFImage* FGIFImage; // the owning picture, not owned
};

// An owning list of blocks. Removing an item hands its ownership to the caller.
class TGIFList {
public:
    explicit TGIFList(TGIFImage* Image) : FImage(Image) {}
    virtual ~TGIFList() = default;
    TGIFList(const TGIFList&) = delete;
    TGIFList& operator=(const TGIFList&) = delete;

    virtual void Warning(TGIFSeverity Severity, const std::string& Message);
    virtual void SaveToStream(TStream& Stream);

    int Count() const { return static_cast<int>(FItems.size()); }
    TGIFItem* GetItem(int Index) const;
    int Add(std::unique_ptr<TGIFItem> Item);
    void Insert(int Index, std::unique_ptr<TGIFItem> Item);
    void Delete(int Index);
    // Deletes every item for which Drop (given the item's index) answers true, in one pass over the
    // list; the items leave the list before they are destroyed.
    void DeleteIf(const std::function<bool(int Index, TGIFItem* Item)>& Drop);
    void Clear();
    std::unique_ptr<TGIFItem> Remove(TGIFItem* Item);
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    int IndexOf(const TGIFItem* Item) const;
    TGIFItem* First() const { return FItems.empty() ? nullptr : FItems.front().get(); }
    TGIFItem* Last() const { return FItems.empty() ? nullptr : FItems.back().get(); }
    TGIFImage* Image() const { return FImage; }

protected:
    void CheckIndex(int Index) const;
    std::vector<std::unique_ptr<TGIFItem>> FItems;
    TGIFImage* FImage;
};

class TGIFImageList : public TGIFList {
public:
    using TGIFList::TGIFList;
    TGIFSubImage* GetImage(int Index) const;
    TGIFSubImage* operator[](int Index) const { return GetImage(Index); }
    void SaveToStream(TStream& Stream) override;
    void LoadFromStream(TStream& Stream, TGIFImage* Parent);
};

class TGIFExtensionList : public TGIFList {
public:
    using TGIFList::TGIFList;
    TGIFExtension* GetExtension(int Index) const;
    TGIFExtension* operator[](int Index) const { return GetExtension(Index); }
    void LoadFromStream(TStream& Stream, TGIFSubImage* Parent);
};

class TGIFHeader : public TGIFItem {
public:
    explicit TGIFHeader(TGIFImage* GIFImage);
    void Clear();
    void Assign(const TGIFHeader& Source);
    void Assign(const TGIFColorMap& Source);
    TGIFVersion GetVersion() const override;
    void SaveToStream(TStream& Stream) override;
    void LoadFromStream(TStream& Stream) override;
    // Rebuilds the packed byte of the screen descriptor from the tables.
    void Prepare();

    int Width() const { return FLogicalScreenDescriptor.ScreenWidth; }
    int Height() const { return FLogicalScreenDescriptor.ScreenHeight; }
    void SetWidth(int Value) { FLogicalScreenDescriptor.ScreenWidth = static_cast<std::uint16_t>(Value); }
    void SetHeight(int Value) { FLogicalScreenDescriptor.ScreenHeight = static_cast<std::uint16_t>(Value); }
    int BackgroundColorIndex() const { return FLogicalScreenDescriptor.BackgroundColorIndex; }
    void SetBackgroundColorIndex(int Value);
    TColor BackgroundColor();
    void SetBackgroundColor(TColor Color);
    int AspectRatio() const { return FLogicalScreenDescriptor.AspectRatio; }
    void SetAspectRatio(int Value) {
        FLogicalScreenDescriptor.AspectRatio = static_cast<std::uint8_t>(Value);
    }
    TGIFGlobalColorMap& ColorMap() { return *FColorMap; }
    const TGIFGlobalColorMap& ColorMap() const { return *FColorMap; }
    int BitsPerPixel() const { return FColorMap->BitsPerPixel(); }
    int ColorResolution() const { return BitsPerPixel() - 1; }
    const TLogicalScreenDescriptor& LogicalScreenDescriptor() const { return FLogicalScreenDescriptor; }

private:
    friend class TGIFGlobalColorMap;
    TLogicalScreenDescriptor FLogicalScreenDescriptor;
    std::unique_ptr<TGIFGlobalColorMap> FColorMap;
};

class TGIFSubImage : public TGIFItem {
public:
    explicit TGIFSubImage(TGIFImage* GIFImage);
    ~TGIFSubImage() override;

    void Clear();
    TGIFVersion GetVersion() const override;
    void SaveToStream(TStream& Stream) override;
    // The same with the picture's bits per pixel already known (used for frames on the global table).
    void SaveToStream(TStream& Stream, int PictureBitsPerPixel);
    void LoadFromStream(TStream& Stream) override;
    // Rebuilds the packed byte of the image descriptor before writing.
    void Prepare();
    // Reads the compressed pixel data that follow the descriptor (and local table).
    void Decompress(TStream& Stream);
    // Writes the pixels as compressed image data with the picture's encoder.
    void Compress(TStream& Stream, int PictureBitsPerPixel);

    int Left() const { return FImageDescriptor.Left; }
    int Top() const { return FImageDescriptor.Top; }
    int Width() const { return FImageDescriptor.Width; }
    int Height() const { return FImageDescriptor.Height; }
    void SetLeft(int Value) { SetBounds(Value, Top(), Width(), Height()); }
    void SetTop(int Value) { SetBounds(Left(), Value, Width(), Height()); }
    void SetWidth(int Value) { SetBounds(Left(), Top(), Value, Height()); }
    void SetHeight(int Value) { SetBounds(Left(), Top(), Width(), Value); }
    // Places and sizes the frame; a new size gives new zero pixels. Raises GIFException for a size
    // beyond the limits or a frame reaching past 65535.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TGIFRect BoundsRect() const;
    TGIFRect ClientRect() const { return {0, 0, Width(), Height()}; }
    bool Interlaced() const { return (FImageDescriptor.PackedFields & 0x40) != 0; }
    void SetInterlaced(bool Value);

    TGIFLocalColorMap& ColorMap() { return *FColorMap; }
    const TGIFLocalColorMap& ColorMap() const { return *FColorMap; }
    TGIFColorMap& ActiveColorMap();
    int BitsPerPixel() const { return FColorMap->BitsPerPixel(); }
    int ColorResolution() const { return BitsPerPixel() - 1; }
    bool Empty() const;
    std::uint8_t* Data() { return FData.empty() ? nullptr : FData.data(); }
    const std::uint8_t* Data() const { return FData.empty() ? nullptr : FData.data(); }
    std::size_t DataSize() const { return FData.size(); }
    std::uint8_t* Scanline(int Y);
    std::uint8_t Pixels(int X, int Y);
    void SetPixel(int X, int Y, std::uint8_t Value);
    TGIFExtensionList& Extensions() { return *FExtensions; }
    const TGIFExtensionList& Extensions() const { return *FExtensions; }

    // Rendering. The cached rendering is an 8-bit bitmap of Width x Height whose 256-entry colour
    // table is the frame's Palette padded with opaque black; an index past the palette shows black.
    // None for an empty frame or a rendering stopped by EGIFAbort. Made on demand; dropped by every
    // change of size or palette.
    const TFastDIB* Bitmap();
    // Frees the cached rendering, then imports Value when given.
    void SetBitmap(const TFastDIB* Value);
    bool HasBitmap() const { return FBitmap != nullptr; }
    // A number that changes every time the cached rendering is made (0: none yet), for callers that
    // keep something made from it.
    std::uint64_t BitmapStamp() const { return FBitmapStamp; }
    void SetHasBitmap(bool Value);
    void NewBitmap();
    void FreeBitmap();
    void FreeMask();
    // Whether the frame has a transparency mask (made with a rendering when still needed).
    bool HasMask();
    // The mask: Height rows of MaskRowBytes, bit 7 of a row's first byte the leftmost pixel, 1 where
    // the pixel is the transparent index. Empty when there is none.
    const std::vector<std::uint8_t>& MaskBits() const { return FMask; }
    int MaskRowBytes() const { return ((Width() + 15) / 16) * 2; }
    // The palette the frame is shown with (see the rules in the source); an empty palette when there
    // is no colour table anywhere.
    const TLogPalette& Palette();
    void SetPalette(const TLogPalette* Value);

    // Import: a copy of another frame; a bitmap of 1, 4 or 8 bits keeps its colours, any other
    // depth is reduced with the picture's colour reduction; a mask marks transparent pixels.
    void Assign(const TGIFSubImage* Source);
    void Assign(const TFastDIB& Source);
    // Mask of Width x Height bytes per row at Stride: non-zero marks a transparent pixel. Only the
    // overlap of the mask and the frame is read.
    void ImportMask(const std::uint8_t* Mask, int MaskWidth, int MaskHeight, std::ptrdiff_t Stride);

    // Drawing onto a 24- or 32-bit surface. Draw takes Rect as the whole logical screen and places
    // the frame in it; StretchDraw stretches the frame into Rect (or tiles it at its own size).
    void Draw(const Surface& Canvas, const TGIFRect& Rect, bool DoTransparent, bool DoTile);
    void StretchDraw(const Surface& Canvas, const TGIFRect& Rect, bool DoTransparent, bool DoTile);
    // The frame's place in a rectangle that shows the whole logical screen.
    TGIFRect ScaleRect(const TGIFRect& DestRect) const;

    // Editing used when a picture is optimised.
    void Crop();
    void Merge(TGIFSubImage* Previous);

    bool Transparent() const { return FTransparent; }
    TGIFGraphicControlExtension* GraphicControlExtension() const { return FGCE; }
    const TImageDescriptor& ImageDescriptor() const { return FImageDescriptor; }

    void NeedImage();
    void NewImage();
    void FreeImage();

private:
    friend class TGIFGraphicControlExtension;
    friend class TGIFImage;
    // Merge, with the list positions of the first transparent frame on the global table for each
    // transparent index (-1: none) kept by the caller, so that finding a lender takes no list walk.
    void Merge(TGIFSubImage* Previous, const std::array<int, 256>* Lenders);
    void RenderPlain(TFastDIB& Target);
    void RenderDithered(TFastDIB& Target);
    bool MakeMaskNow() const;
    void FinishMask(bool AnySet);
    void ImportIndexed(const TFastDIB& Source);
    void Import24(const TFastDIB& Source);
    void ClearCache() {
        FreeBitmap();
        FreeMask();
    }

    std::unique_ptr<TFastDIB> FBitmap; // cached rendering
    std::uint64_t FBitmapStamp = 0;
    TLogPalette FBitmapPalette;        // the palette the cached rendering was made with
    std::vector<std::uint8_t> FMask;   // cached mask, empty when none
    bool FNeedMask = true;
    std::unique_ptr<TLogPalette> FLocalPalette;
    std::vector<std::uint8_t> FData; // Width x Height colour indices, rows top-down
    std::unique_ptr<TGIFLocalColorMap> FColorMap;
    TImageDescriptor FImageDescriptor;
    std::unique_ptr<TGIFExtensionList> FExtensions;
    bool FTransparent = false;
    TGIFGraphicControlExtension* FGCE = nullptr; // one of FExtensions, or none
};

class TGIFTrailer : public TGIFItem {
public:
    using TGIFItem::TGIFItem;
    void SaveToStream(TStream& Stream) override;
    void LoadFromStream(TStream& Stream) override;
};

// ---------------------------------------------------------------------------------------------------
// The picture: header, frames, handlers and settings. Drawing and conversion build on this class.

class TGIFImage : public TGIFPictureContext {
public:
    using TGIFWarning = std::function<void(const void* Sender, TGIFSeverity, const std::string&)>;
    using TGIFProgress =
        std::function<void(TProgressStage, int PercentDone, bool RedrawNow, const std::string&)>;

    TGIFImage();
    ~TGIFImage() override;
    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;

    void Clear();
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream);
    void LoadFromFile(const std::string& Filename);
    void SaveToFile(const std::string& Filename);
    // Grows the logical screen to cover every frame (it never shrinks here).
    void FitLogicalScreen();

    TGIFHeader& Header() { return *FHeader; }
    TGIFImageList& Images() { return *FImages; }
    TGIFGlobalColorMap& GlobalColorMap() { return FHeader->ColorMap(); }
    bool Empty() const { return FImages->Count() == 0; }
    int Width() const { return FHeader->Width(); }
    int Height() const { return FHeader->Height(); }
    TGIFVersion Version() const;
    int BitsPerPixel() const;
    int ColorResolution() const;
    bool IsTransparent() const;

    void Warning(const void* Sender, TGIFSeverity Severity, const std::string& Message) override;
    void Progress(TProgressStage Stage, int PercentDone, bool RedrawNow, const std::string& Msg) override;
    TGIFCompression Compression() const override { return FCompression; }
    void SetCompression(TGIFCompression Value) { FCompression = Value; }

    TGIFWarning OnWarning;
    TGIFProgress OnProgress;
    // Called when the picture changes in a way a viewer must show (Sender: what changed).
    std::function<void(const void* Sender)> OnChange;
    void Changed(const void* Sender) {
        if (OnChange) OnChange(Sender);
    }

    // Contents
    // Makes a copy of another picture (frames, header and the drawing options; the copy keeps no
    // handlers); nullptr clears.
    void Assign(const TGIFImage* Source);
    // One frame made from the bitmap (1, 4 and 8 bits keep their colours, others are reduced).
    void Assign(const TFastDIB& Source);
    // Appends a frame (made from the bitmap, or taken as it is); answers its index.
    int Add(const TFastDIB& Source);
    int Add(std::unique_ptr<TGIFSubImage> Frame);
    // Drops derived state; a single frame's local table becomes the global table.
    void Pack();
    // One shared, optimised colour table for every frame.
    void OptimizeColorMap();
    // Crop, merge, cleanup and colour-table passes over the frames (see the source).
    void Optimize(TGIFOptimizeOptions Options, TColorReduction AColorReduction, TDitherMode ADitherMode,
                  int AReductionBits);

    // Logical screen. Setting a size smaller than a frame's extent raises GIFException.
    void SetWidth(int Value);
    void SetHeight(int Value);
    int BackgroundColorIndex() const { return FHeader->BackgroundColorIndex(); }
    void SetBackgroundColorIndex(int Value) { FHeader->SetBackgroundColorIndex(Value); }
    TColor BackgroundColor() { return FHeader->BackgroundColor(); }
    void SetBackgroundColor(TColor Value) { FHeader->SetBackgroundColor(Value); }
    int AspectRatio() const { return FHeader->AspectRatio(); }
    void SetAspectRatio(int Value) { FHeader->SetAspectRatio(Value); }

    // Options
    TGIFDrawOptions DrawOptions() const { return FDrawOptions; }
    void SetDrawOptions(TGIFDrawOptions Value);
    bool Animate() const { return (FDrawOptions & DrawOption(goAnimate)) != 0; }
    void SetAnimate(bool Value);
    TColorReduction ColorReduction() const { return FColorReduction; }
    void SetColorReduction(TColorReduction Value) { FColorReduction = Value; }
    int ReductionBits() const { return FReductionBits; }
    // 3 to 8; anything else raises "Invalid Bits Per Pixel value" and keeps the value.
    void SetReductionBits(int Value);
    TDitherMode DitherMode() const { return FDitherMode; }
    void SetDitherMode(TDitherMode Value) { FDitherMode = Value; }
    int AnimationSpeed() const { return FAnimationSpeed; }
    void SetAnimationSpeed(int Value); // clamped to 0..1000 percent
    int ForceFrame() const { return FForceFrame; }
    void SetForceFrame(int Value);
    TColor DrawBackgroundColor() const { return FDrawBackgroundColor; }
    void SetDrawBackgroundColor(TColor Value) { FDrawBackgroundColor = Value; }
    // Whether frames are rendered dithered onto the web palette.
    bool DoDither() const;
    // True when the display shows at most 256 colours; set once by the program at start-up.
    static bool& PaletteDisplay();

    // Drawing
    // The palette the picture is shown with; an empty palette when there is no colour table.
    const TLogPalette& Palette();
    void SetPalette(const TLogPalette* Value);
    bool PaletteModified() const { return FPaletteModified; }
    void SetPaletteModified(bool Value) { FPaletteModified = Value; }
    // The logical screen as a 24-bit bitmap showing the first frame (or the frame given by
    // ForceFrame); none for an empty picture.
    const TFastDIB* Bitmap();
    // Draws what Bitmap shows into Out, already sized Width() x Height() at 24 bits per pixel.
    void DrawScreen(TFastDIB& Out);
    // Stops the drawing painter and drops the cached bitmap.
    void FreeBitmap();
    // Draws the picture into Rect of a 24- or 32-bit canvas. A still picture (one frame, or goAnimate
    // clear) draws the frame ForceFrame, else frame 0, with transparency and tiling as the draw options
    // say. An animation starts a painter through the painter driver: with goDirectDraw it plays straight
    // on the canvas (which must outlive it, or be reported gone by its Pixels); otherwise it plays into
    // the cached bitmap, which is put on the canvas now and on every later Draw (OnChange tells when
    // it changed). Without a painter driver an animation draws like a still picture.
    void Draw(TGIFPaintCanvas& Canvas, const TGIFRect& Rect);
    // The same on a surface that is only valid for the call: an animation always plays into the
    // cached bitmap here.
    void Draw(const Surface& Canvas, const TGIFRect& Rect);

    // Painting control
    // A painter of this picture on Canvas in Rect with Options, started; none when the picture or Rect
    // is empty, when there is no painter driver, or when the painter ran to its end in the call
    // (without goAsync). One frame never animates.
    TGIFPainter* Paint(TGIFPaintCanvas& Canvas, const TGIFRect& Rect, TGIFDrawOptions Options);
    void PaintStart();
    // Stops every painter and drops the cached bitmap.
    void PaintStop();
    void PaintPause();
    void PaintResume();
    void PaintRestart();
    // Stops the painter Draw started and drops the cached bitmap.
    void StopDraw();
    // The painter Draw started, while it runs.
    TGIFPainter* DrawPainter() const { return FDrawPainter; }
    // The driver that makes and runs this picture's painters (DefaultPainterDriver unless set); none:
    // pictures do not animate.
    TGIFPainterDriver* PainterDriver() const { return FPainterDriver; }
    void SetPainterDriver(TGIFPainterDriver* Driver) { FPainterDriver = Driver; }
    // The driver new pictures take; set once by the program at start-up.
    static TGIFPainterDriver*& DefaultPainterDriver();
    // Copied into every painter when it is made.
    TGIFNotifyEvent OnStartPaint, OnPaint, OnAfterPaint, OnLoop, OnEndPaint;

    // Pixel data held by all frames of this picture, kept by the frames as they allocate and free.
    std::int64_t PixelBytes() const { return FPixelBytes; }
    // Reserves room for Bytes more pixel data; raises GIFException past the picture's limit.
    void ReservePixelBytes(std::int64_t Bytes);
    void ReleasePixelBytes(std::int64_t Bytes) { FPixelBytes -= Bytes; }
    // Limit on the pixel data of one picture (GIFMaxTotalPixels by default). A caller that handles
    // untrusted input in bulk may lower it.
    void SetPixelBytesLimit(std::int64_t Limit) { FPixelBytesLimit = Limit; }

    // The painters drawing this picture; they are detached when it goes.
    TGIFPainterList& Painters() { return FPainters; }

private:
    std::unique_ptr<TGIFImageList> FImages;
    std::unique_ptr<TGIFHeader> FHeader;
    TGIFCompression FCompression = gcLZW;
    TGIFDrawOptions FDrawOptions = GIFDefaultDrawOptions;
    TColorReduction FColorReduction = rmNetscape;
    int FReductionBits = 8;
    TDitherMode FDitherMode = dmNearest;
    int FAnimationSpeed = 100;
    int FForceFrame = -1;
    TColor FDrawBackgroundColor = clNone;
    bool FPaletteModified = false;
    bool IsInsideGetPalette = false;
    std::unique_ptr<TLogPalette> FGlobalPalette;
    // Shared with a painter that plays into it, so that dropping it never pulls pixels from under one.
    std::shared_ptr<TFastDIB> FBitmap;
    std::int64_t FPixelBytes = 0;
    std::int64_t FPixelBytesLimit = GIFMaxTotalPixels;
    bool IsDrawing = false;
    TGIFPainterDriver* FPainterDriver = DefaultPainterDriver();
    // The painter Draw started, and the canvas it plays on with goDirectDraw (none: the cached
    // bitmap). Before the painter list: painters detached when the list goes still clear it.
    TGIFPainter* FDrawPainter = nullptr;
    TGIFPaintCanvas* FDrawCanvas = nullptr;
    TGIFPainter* InternalPaint(TGIFPainter** Ref, std::unique_ptr<TGIFPaintCanvas> Canvas,
                               const TGIFRect& Rect, TGIFDrawOptions Options);
    void DrawOn(TGIFPaintCanvas& Canvas, const TGIFRect& Rect, bool Direct);
    void DrawStill(const Surface& Canvas, const TGIFRect& Rect);
    void PutBitmap(const TFastDIB& Bitmap, const Surface& Canvas, const TGIFRect& Rect) const;
    TGIFPainterList FPainters; // last, so the painters are detached before anything else goes
};

// The palette of a colour table (the web palette is WebPalette, GIFColorReduction.h).
TLogPalette GIFExportPalette(const TGIFColorMap& Map);

// Whether image data are decoded by copying strings within the output (true, the default) or only by
// the tolerant decoder that walks every string; both give the same pixels and warnings (the switch
// lets the first be checked against the second).
bool& GIFFastDecoding();

// Raises GIFException when a frame or screen of this size may not be held in memory.
void CheckImageSize(std::int64_t Width, std::int64_t Height);

#include "gif/GIFCoder.h"
#include "gif/GIFExtensions.h"
