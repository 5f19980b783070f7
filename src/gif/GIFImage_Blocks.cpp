// Unit routines, colour tables, owned lists, header, frame, trailer and the picture's file walk.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "gif/GIFImage.h"
#include "image/Numeric.h"
#include "image/PictureSize.h"

void GIFError(const std::string& message) {
    throw GIFException(message);
}

void GIFDataEnd() {
    throw GIFDataEndException("Premature end of data");
}

void CheckImageSize(std::int64_t Width, std::int64_t Height) {
    // An empty frame (0 wide or high) is allowed; any other within the program's picture size limit.
    if (Width < 0 || Height < 0 || (Width > 0 && Height > 0 && !PictureSizeFits(Width, Height)))
        GIFError("Image size exceeds the supported limit");
}

// ---------------------------------------------------------------------------------------------------
// Unit routines

int AlignBit(int Bits, int BitsPerPixel, int Alignment) {
    return static_cast<int>(
        ((static_cast<std::int64_t>(Bits) * BitsPerPixel + Alignment - 1) & ~(Alignment - 1)) >> 3);
}

int Colors2bpp(int Colors) {
    if (Colors <= 0) return 0;
    if (Colors <= 2) return 1;
    int n = 1;
    while ((1 << n) < Colors) ++n;
    return n;
}

void WriteByte(TStream& Stream, std::uint8_t Value) {
    Stream.Write(&Value, 1);
}

std::uint8_t ReadByte(TStream& Stream) {
    std::uint8_t b = 0;
    if (Stream.Read(&b, 1) != 1) return 0;
    return b;
}

bool TryReadByte(TStream& Stream, std::uint8_t& Value) {
    return Stream.Read(&Value, 1) == 1;
}

void ReadCheck(TStream& Stream, void* Buffer, std::size_t Size) {
    if (Stream.Read(Buffer, Size) != Size) GIFDataEnd();
}

void WriteStrings(TStream& Stream, const std::vector<std::string>& Text) {
    for (const std::string& line : Text) {
        std::size_t pos = 0;
        while (pos < line.size()) {
            const std::size_t n = std::min<std::size_t>(255, line.size() - pos);
            WriteByte(Stream, static_cast<std::uint8_t>(n));
            Stream.Write(line.data() + pos, n);
            pos += n;
        }
    }
    WriteByte(Stream, 0);
}

void ReadStrings(TStream& Stream, std::vector<std::string>& Text) {
    Text.clear();
    std::uint8_t len = 0;
    char buf[255];
    while (TryReadByte(Stream, len) && len != 0) {
        ReadCheck(Stream, buf, len);
        const void* zero = std::memchr(buf, 0, len);
        Text.emplace_back(buf, zero ? static_cast<const char*>(zero) - buf : len);
    }
}

// ---------------------------------------------------------------------------------------------------
// Colour tables

void TGIFColorMap::Clear() {
    FColorMap.clear();
    FColorMap.shrink_to_fit();
    FCount = 0;
    FCapacity = 0;
    FOptimized = false;
}

TGIFColor TGIFColorMap::Color2RGB(TColor Color) {
    return {static_cast<std::uint8_t>(Color & 0xFF), static_cast<std::uint8_t>((Color >> 8) & 0xFF),
            static_cast<std::uint8_t>((Color >> 16) & 0xFF)};
}

TColor TGIFColorMap::RGB2Color(TGIFColor Color) {
    return static_cast<TColor>(Color.Red) | (static_cast<TColor>(Color.Green) << 8) |
           (static_cast<TColor>(Color.Blue) << 16);
}

int TGIFColorMap::IndexOf(TColor Color) const {
    const TGIFColor c = Color2RGB(Color);
    if (FOptimized) {
        for (int i = 0; i < FCount; ++i)
            if (FColorMap[i] == c) return i;
    } else {
        for (int i = FCount - 1; i >= 0; --i)
            if (FColorMap[i] == c) return i;
    }
    return -1;
}

void TGIFColorMap::SetCapacity(int Size) {
    if (FCapacity > Size) return;
    int cap = Size <= 16 ? 16 : ((Size + 31) / 32) * 32;
    cap = std::min(cap, 256);
    FColorMap.resize(static_cast<std::size_t>(cap));
    FCapacity = cap;
}

int TGIFColorMap::Add(TColor Color) {
    if (FCount >= 256) GIFError("Color table overflow");
    SetCapacity(FCount + 1);
    FColorMap[FCount] = Color2RGB(Color);
    const int index = FCount++;
    FOptimized = false;
    Changed();
    return index;
}

int TGIFColorMap::AddUnique(TColor Color) {
    const int i = IndexOf(Color);
    return i >= 0 ? i : Add(Color);
}

void TGIFColorMap::Delete(int Index) {
    if (Index < 0 || Index >= FCount) GIFError("Invalid color index");
    std::copy(FColorMap.begin() + Index + 1, FColorMap.begin() + FCount, FColorMap.begin() + Index);
    --FCount;
    FOptimized = false;
    Changed();
}

TColor TGIFColorMap::Colors(int Index) {
    if (Index < 0 || Index >= FCount) {
        Warning(gsWarning, "Invalid color index");
        if (FCount == 0) GIFError("Color table is empty");
        Index = 0;
    }
    return RGB2Color(FColorMap[Index]);
}

void TGIFColorMap::ImportColorMap(const TGIFColor* Map, int Count) {
    Count = std::clamp(Count, 0, 256);
    Clear();
    SetCapacity(Count);
    std::copy(Map, Map + Count, FColorMap.begin());
    FCount = Count;
    if (Count != 0) Changed();
}

void TGIFColorMap::ImportColorTable(const std::uint8_t* Pal, int Count) {
    Count = std::clamp(Count, 0, 256);
    Clear();
    SetCapacity(Count);
    for (int i = 0; i < Count; ++i) FColorMap[i] = {Pal[4 * i + 2], Pal[4 * i + 1], Pal[4 * i]};
    FCount = Count;
    if (Count != 0) Changed();
}

void TGIFColorMap::Assign(const TGIFColorMap& Source) {
    if (&Source == this) return;
    FColorMap = Source.FColorMap;
    FCapacity = Source.FCapacity;
    FCount = Source.FCount;
    FOptimized = Source.FOptimized;
    Changed();
}

void TGIFColorMap::SaveToStream(TStream& Stream) const {
    if (FCount == 0) return;
    const int total = 1 << BitsPerPixel();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(total) * 3, 0);
    for (int i = 0; i < FCount; ++i) {
        bytes[3 * i] = FColorMap[i].Red;
        bytes[3 * i + 1] = FColorMap[i].Green;
        bytes[3 * i + 2] = FColorMap[i].Blue;
    }
    Stream.Write(bytes.data(), bytes.size());
}

void TGIFColorMap::LoadFromStream(TStream& Stream, int Count) {
    Clear();
    Count = std::clamp(Count, 0, 256);
    std::uint8_t bytes[256 * 3];
    ReadCheck(Stream, bytes, static_cast<std::size_t>(Count) * 3);
    SetCapacity(Count);
    for (int i = 0; i < Count; ++i) FColorMap[i] = {bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]};
    FCount = Count;
}

void TGIFColorMap::CountPixels(const TGIFSubImage& Frame, std::vector<TUsageCount>& Histogram) const {
    const std::uint8_t* p = Frame.Data();
    const std::size_t n = Frame.DataSize();
    std::int64_t counts[256] = {};
    for (std::size_t i = 0; i < n; ++i) ++counts[p[i]];
    // Pixel values at or above the table's count are no colour of it and are not counted.
    for (int i = 0; i < FCount; ++i) Histogram[i].Count = ClampToInt(Histogram[i].Count + counts[i]);
}

void TGIFColorMap::RemapFrame(TGIFSubImage& Frame, const std::vector<int>& Map) {
    std::uint8_t table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<std::uint8_t>(i < static_cast<int>(Map.size()) ? Map[i] : i);
    std::uint8_t* p = Frame.Data();
    const std::size_t n = Frame.DataSize();
    for (std::size_t i = 0; i < n; ++i) p[i] = table[p[i]];
    if (Frame.Transparent() && Frame.GraphicControlExtension()) {
        TGIFGraphicControlExtension* gce = Frame.GraphicControlExtension();
        const int t = gce->TransparentColorIndex();
        if (t < static_cast<int>(Map.size())) gce->SetTransparentColorIndex(Map[t]);
    }
}

namespace {
// Descending by count; Hoare partition around the count of the middle pair.
void SortByUse(std::vector<TGIFColorMap::TUsageCount>& a, int L, int R) {
    int I;
    do {
        I = L;
        int J = R;
        const int P = a[(L + R) >> 1].Count;
        do {
            while (a[I].Count > P) ++I;
            while (a[J].Count < P) --J;
            if (I <= J) {
                std::swap(a[I], a[J]);
                ++I;
                --J;
            }
        } while (I <= J);
        if (L < J) SortByUse(a, L, J);
        L = I;
    } while (I < R);
}
} // namespace

bool TGIFColorMap::DoOptimize() {
    if (FCount < 2) return false;
    FOptimized = true;
    std::vector<TUsageCount> hist(static_cast<std::size_t>(FCount));
    for (int i = 0; i < FCount; ++i) hist[i] = {0, i};
    BuildHistogram(hist);
    SortByUse(hist, 0, FCount - 1);
    bool inOrder = true;
    for (int i = 0; i < FCount; ++i)
        if (hist[i].Index != i) inOrder = false;
    if (inOrder) return true;
    std::vector<int> map(static_cast<std::size_t>(FCount));
    std::vector<TGIFColor> entries(FColorMap.size());
    int newCount = FCount;
    for (int i = 0; i < FCount; ++i) {
        map[hist[i].Index] = i;
        entries[i] = FColorMap[hist[i].Index];
        if (hist[i].Count == 0 && newCount == FCount) newCount = i;
    }
    MapImages(map);
    FColorMap = std::move(entries);
    FCount = newCount;
    Changed();
    return true;
}

bool TGIFGlobalColorMap::Optimize() {
    if (!FHeader->Image() || FHeader->Image()->Images().Count() == 0) return false;
    return DoOptimize();
}

void TGIFGlobalColorMap::Warning(TGIFSeverity Severity, const std::string& Message) {
    if (FHeader->Image()) FHeader->Image()->Warning(this, Severity, Message);
}

void TGIFGlobalColorMap::BuildHistogram(std::vector<TUsageCount>& Histogram) {
    TGIFImage* image = FHeader->Image();
    if (!image) return;
    for (int i = 0; i < image->Images().Count(); ++i) {
        TGIFSubImage* frame = image->Images()[i];
        if (&frame->ActiveColorMap() == this) CountPixels(*frame, Histogram);
    }
    // The screen's background colour is a use of its entry too, so that it is never dropped.
    const int bg = FHeader->BackgroundColorIndex();
    if (bg < FCount && Histogram[bg].Count == 0) Histogram[bg].Count = 1;
}

void TGIFGlobalColorMap::MapImages(const std::vector<int>& Map) {
    // The header's background index follows its colour to the new place.
    const int bg = FHeader->BackgroundColorIndex();
    if (bg < static_cast<int>(Map.size()))
        FHeader->FLogicalScreenDescriptor.BackgroundColorIndex = static_cast<std::uint8_t>(Map[bg]);
    TGIFImage* image = FHeader->Image();
    if (!image) return;
    for (int i = 0; i < image->Images().Count(); ++i) {
        TGIFSubImage* frame = image->Images()[i];
        if (&frame->ActiveColorMap() == this) RemapFrame(*frame, Map);
    }
}

void TGIFGlobalColorMap::Changed() {
    // The picture's palette is made from this table: it is made again when next asked for.
    if (FHeader->Image()) FHeader->Image()->SetPalette(nullptr);
}

void TGIFLocalColorMap::Warning(TGIFSeverity Severity, const std::string& Message) {
    if (FSubImage->Image()) FSubImage->Image()->Warning(this, Severity, Message);
}

void TGIFLocalColorMap::BuildHistogram(std::vector<TUsageCount>& Histogram) {
    CountPixels(*FSubImage, Histogram);
}

void TGIFLocalColorMap::MapImages(const std::vector<int>& Map) {
    RemapFrame(*FSubImage, Map);
}

void TGIFLocalColorMap::Changed() {
    FSubImage->SetPalette(nullptr);
}

// ---------------------------------------------------------------------------------------------------
// Items and lists

void TGIFItem::Warning(TGIFSeverity Severity, const std::string& Message) {
    if (FGIFImage) FGIFImage->Warning(this, Severity, Message);
}

void TGIFItem::SaveToFile(const std::string& Filename) {
    TMemoryStream stream;
    SaveToStream(stream);
    ReplaceFileContent(Filename, stream.Bytes());
}

void TGIFItem::LoadFromFile(const std::string& Filename) {
    TMemoryStream stream(ReadWholeFile(Filename));
    LoadFromStream(stream);
}

void TGIFList::Warning(TGIFSeverity Severity, const std::string& Message) {
    if (FImage) FImage->Warning(this, Severity, Message);
}

void TGIFList::SaveToStream(TStream& Stream) {
    for (auto& item : FItems) item->SaveToStream(Stream);
}

void TGIFList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) throw std::out_of_range("List index out of bounds");
}

TGIFItem* TGIFList::GetItem(int Index) const {
    CheckIndex(Index);
    return FItems[Index].get();
}

int TGIFList::Add(std::unique_ptr<TGIFItem> Item) {
    FItems.push_back(std::move(Item));
    return Count() - 1;
}

void TGIFList::Insert(int Index, std::unique_ptr<TGIFItem> Item) {
    if (Index < 0 || Index > Count()) throw std::out_of_range("List index out of bounds");
    FItems.insert(FItems.begin() + Index, std::move(Item));
}

void TGIFList::Delete(int Index) {
    CheckIndex(Index);
    // Out of the list first, then destroyed: the item's destructor may look at the list.
    std::unique_ptr<TGIFItem> item = std::move(FItems[Index]);
    FItems.erase(FItems.begin() + Index);
    item.reset();
}

void TGIFList::DeleteIf(const std::function<bool(int Index, TGIFItem* Item)>& Drop) {
    std::vector<std::unique_ptr<TGIFItem>> dropped;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (Drop(static_cast<int>(i), FItems[i].get()))
            dropped.push_back(std::move(FItems[i]));
        else
            FItems[kept++] = std::move(FItems[i]);
    }
    FItems.resize(kept);
    while (!dropped.empty()) dropped.pop_back(); // destroyed once out of the list
}

void TGIFList::Clear() {
    // From the back, so that clearing is linear in the number of items. Each item leaves the list
    // before it is destroyed, since its destructor may look at the list.
    while (!FItems.empty()) {
        std::unique_ptr<TGIFItem> item = std::move(FItems.back());
        FItems.pop_back();
        item.reset();
    }
}

std::unique_ptr<TGIFItem> TGIFList::Remove(TGIFItem* Item) {
    const int i = IndexOf(Item);
    if (i < 0) return nullptr;
    std::unique_ptr<TGIFItem> item = std::move(FItems[i]);
    FItems.erase(FItems.begin() + i);
    return item;
}

void TGIFList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FItems[Index1], FItems[Index2]);
}

void TGIFList::Move(int CurIndex, int NewIndex) {
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    std::unique_ptr<TGIFItem> item = std::move(FItems[CurIndex]);
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, std::move(item));
}

int TGIFList::IndexOf(const TGIFItem* Item) const {
    for (int i = 0; i < Count(); ++i)
        if (FItems[i].get() == Item) return i;
    return -1;
}

TGIFSubImage* TGIFImageList::GetImage(int Index) const {
    return static_cast<TGIFSubImage*>(GetItem(Index));
}

void TGIFImageList::SaveToStream(TStream& Stream) {
    const int n = Count();
    // The picture's bits per pixel walks every frame: asked once here, not once per frame.
    const int bpp = FImage ? FImage->BitsPerPixel() : 0;
    for (int i = 0; i < n; ++i) {
        GetImage(i)->SaveToStream(Stream, bpp);
        if (FImage) FImage->Progress(psRunning, MulDiv(i + 1, 100, n), false, "Saving...");
    }
}

namespace {
// Next byte where a block may begin; stray zero bytes are skipped. False at the end of the stream.
bool NextBlockByte(TStream& Stream, std::uint8_t& b) {
    while (TryReadByte(Stream, b))
        if (b != 0) return true;
    return false;
}
} // namespace

void TGIFImageList::LoadFromStream(TStream& Stream, TGIFImage* Parent) {
    std::uint8_t b;
    if (!NextBlockByte(Stream, b)) {
        Warning(gsWarning, GIFIncompleteFile);
        return;
    }
    while (b != ';') {
        Stream.Seek(-1);
        if (b == '!' || b == ',') {
            auto frame = std::make_unique<TGIFSubImage>(Parent);
            try {
                frame->LoadFromStream(Stream);
            } catch (const GIFDataEndException&) {
                // The file stops inside this frame: what it holds is kept, the rest is lost.
                if (!frame->Empty() || frame->Extensions().Count() > 0) Add(std::move(frame));
                Warning(gsWarning, GIFIncompleteFile);
                return;
            } // any other failure frees the frame with its owner pointer
            Add(std::move(frame));
            if (Parent)
                Parent->Progress(psRunning,
                                 MulDiv(ClampToInt(Stream.Position()), 100, ClampToInt(Stream.Size())), false,
                                 "Loading...");
        } else {
            Warning(gsWarning, "Unknown GIF block type");
            return;
        }
        if (!NextBlockByte(Stream, b)) {
            Warning(gsWarning, GIFIncompleteFile);
            return;
        }
    }
    Stream.Seek(-1);
}

// ---------------------------------------------------------------------------------------------------
// Header

TGIFHeader::TGIFHeader(TGIFImage* GIFImage)
    : TGIFItem(GIFImage), FColorMap(std::make_unique<TGIFGlobalColorMap>(this)) {
    Clear();
}

void TGIFHeader::Clear() {
    FColorMap->Clear();
    FLogicalScreenDescriptor = {};
}

void TGIFHeader::Assign(const TGIFHeader& Source) {
    if (&Source == this) return;
    FColorMap->Assign(*Source.FColorMap);
    FLogicalScreenDescriptor = Source.FLogicalScreenDescriptor;
}

void TGIFHeader::Assign(const TGIFColorMap& Source) {
    Clear();
    FColorMap->Assign(Source);
}

TGIFVersion TGIFHeader::GetVersion() const {
    return (FColorMap->Optimized() || FLogicalScreenDescriptor.AspectRatio != 0) ? gv89a : gv87a;
}

void TGIFHeader::SetBackgroundColorIndex(int Value) {
    if ((Value < 0 || Value >= FColorMap->Count()) && FColorMap->Count() > 0) {
        Warning(gsWarning, "Invalid color index");
        Value = 0;
    }
    FLogicalScreenDescriptor.BackgroundColorIndex = static_cast<std::uint8_t>(Value);
}

TColor TGIFHeader::BackgroundColor() {
    return FColorMap->Colors(FLogicalScreenDescriptor.BackgroundColorIndex);
}

void TGIFHeader::SetBackgroundColor(TColor Color) {
    FLogicalScreenDescriptor.BackgroundColorIndex = static_cast<std::uint8_t>(FColorMap->AddUnique(Color));
}

void TGIFHeader::Prepare() {
    std::uint8_t p = 0;
    if (FColorMap->Count() > 0) {
        p = 0x80;
        if (FColorMap->Optimized()) p |= 0x08;
    }
    const int resolution = FGIFImage ? FGIFImage->ColorResolution() : ColorResolution();
    p |= static_cast<std::uint8_t>((resolution << 4) & 0x70);
    p |= static_cast<std::uint8_t>((FColorMap->BitsPerPixel() - 1) & 7);
    FLogicalScreenDescriptor.PackedFields = p;
}

void TGIFHeader::SaveToStream(TStream& Stream) {
    const TGIFVersion version = FGIFImage ? FGIFImage->Version() : GetVersion();
    if (version == gvUnknown) GIFError("Unsupported GIF version");
    Prepare();
    std::uint8_t bytes[13];
    std::memcpy(bytes, version == gv89a ? "GIF89a" : "GIF87a", 6);
    const TLogicalScreenDescriptor& d = FLogicalScreenDescriptor;
    bytes[6] = d.ScreenWidth & 0xFF;
    bytes[7] = d.ScreenWidth >> 8;
    bytes[8] = d.ScreenHeight & 0xFF;
    bytes[9] = d.ScreenHeight >> 8;
    bytes[10] = d.PackedFields;
    bytes[11] = d.BackgroundColorIndex;
    bytes[12] = d.AspectRatio;
    Stream.Write(bytes, sizeof bytes);
    if (d.PackedFields & 0x80) FColorMap->SaveToStream(Stream);
}

void TGIFHeader::LoadFromStream(TStream& Stream) {
    const auto isGIF = [](const std::uint8_t* s) {
        return std::toupper(s[0]) == 'G' && std::toupper(s[1]) == 'I' && std::toupper(s[2]) == 'F';
    };
    const std::int64_t start = Stream.Position();
    std::uint8_t sig[6];
    ReadCheck(Stream, sig, 6);
    if (!isGIF(sig)) {
        // Accept a GIF stream behind four bytes of other data.
        Stream.SetPosition(start + 4);
        ReadCheck(Stream, sig, 6);
        if (!isGIF(sig)) GIFError("Invalid GIF signature");
    }
    std::uint8_t b[7];
    ReadCheck(Stream, b, 7);
    TLogicalScreenDescriptor& d = FLogicalScreenDescriptor;
    d.ScreenWidth = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    d.ScreenHeight = static_cast<std::uint16_t>(b[2] | (b[3] << 8));
    d.PackedFields = b[4];
    d.BackgroundColorIndex = b[5];
    d.AspectRatio = b[6];
    CheckImageSize(d.ScreenWidth, d.ScreenHeight);
    if (d.PackedFields & 0x80)
        FColorMap->LoadFromStream(Stream, 2 << (d.PackedFields & 7));
    else
        FColorMap->Clear();
}

// ---------------------------------------------------------------------------------------------------
// Trailer

void TGIFTrailer::SaveToStream(TStream& Stream) {
    WriteByte(Stream, ';');
}

void TGIFTrailer::LoadFromStream(TStream& Stream) {
    std::uint8_t b;
    if (TryReadByte(Stream, b) && b != ';') Warning(gsWarning, "Invalid Image trailer");
}
