// Extension blocks, their registries and the reader of a frame's extensions.
#include <algorithm>
#include <cstring>

#include "gif/GIFImage.h"

// ---------------------------------------------------------------------------------------------------
// Class descriptors

bool TGIFExtensionClassInfo::InheritsFrom(const TGIFExtensionClassInfo* Other) const {
    for (const TGIFExtensionClassInfo* c = this; c; c = c->Parent)
        if (c == Other) return true;
    return false;
}

namespace {
template <class T> std::unique_ptr<TGIFExtension> Make(TGIFSubImage* s) {
    return std::make_unique<T>(s);
}

// Looks past the label of an application extension: an 11-byte identifier under a registered class
// gives that class; anything else (another block size, an unregistered identifier, a short header)
// gives the class that keeps the data as raw sub-blocks.
TGIFExtensionClass FindApplicationClass(TStream& Stream) {
    std::uint8_t size;
    if (!TryReadByte(Stream, size)) return &TGIFUnknownAppExtension::ClassInfo;
    if (size != 11) return &TGIFUnknownAppExtension::ClassInfo;
    std::uint8_t ident[11];
    if (Stream.Read(ident, 11) != 11) return &TGIFUnknownAppExtension::ClassInfo;
    TGIFExtensionClass c = AppExtensionList().FindExt(ident);
    return c ? c : &TGIFUnknownAppExtension::ClassInfo;
}
} // namespace

const TGIFExtensionClassInfo TGIFExtension::ClassInfo{"TGIFExtension", nullptr, nullptr, nullptr};
const TGIFExtensionClassInfo TGIFGraphicControlExtension::ClassInfo{
    "TGIFGraphicControlExtension", &TGIFExtension::ClassInfo, &Make<TGIFGraphicControlExtension>, nullptr};
const TGIFExtensionClassInfo TGIFTextExtension::ClassInfo{"TGIFTextExtension", &TGIFExtension::ClassInfo,
                                                          &Make<TGIFTextExtension>, nullptr};
const TGIFExtensionClassInfo TGIFCommentExtension::ClassInfo{
    "TGIFCommentExtension", &TGIFExtension::ClassInfo, &Make<TGIFCommentExtension>, nullptr};
const TGIFExtensionClassInfo TGIFApplicationExtension::ClassInfo{
    "TGIFApplicationExtension", &TGIFExtension::ClassInfo, nullptr, &FindApplicationClass};
const TGIFExtensionClassInfo TGIFUnknownAppExtension::ClassInfo{
    "TGIFUnknownAppExtension", &TGIFApplicationExtension::ClassInfo, &Make<TGIFUnknownAppExtension>, nullptr};
const TGIFExtensionClassInfo TGIFAppExtNSLoop::ClassInfo{
    "TGIFAppExtNSLoop", &TGIFApplicationExtension::ClassInfo, &Make<TGIFAppExtNSLoop>, nullptr};
const TGIFExtensionClassInfo TGIFUnknownExtension::ClassInfo{
    "TGIFUnknownExtension", &TGIFExtension::ClassInfo, &Make<TGIFUnknownExtension>, nullptr};

// ---------------------------------------------------------------------------------------------------
// Registries

TExtensionList::TExtensionList() {
    Add(0x01, &TGIFTextExtension::ClassInfo);
    Add(0xF9, &TGIFGraphicControlExtension::ClassInfo);
    Add(0xFE, &TGIFCommentExtension::ClassInfo);
    Add(0xFF, &TGIFApplicationExtension::ClassInfo);
}

void TExtensionList::Add(std::uint8_t eLabel, TGIFExtensionClass eClass) {
    FList.push_back({eClass, eLabel});
}

TGIFExtensionClass TExtensionList::FindExt(std::uint8_t eLabel) const {
    for (auto it = FList.rbegin(); it != FList.rend(); ++it)
        if (it->Label == eLabel) return it->Class;
    return nullptr;
}

void TExtensionList::Remove(TGIFExtensionClass eClass) {
    std::erase_if(FList, [eClass](const Rec& r) { return r.Class->InheritsFrom(eClass); });
}

TAppExtensionList::TAppExtensionList() {
    Add("NETSCAPE2.0", &TGIFAppExtNSLoop::ClassInfo);
    Add("ANIMEXTS1.0", &TGIFAppExtNSLoop::ClassInfo);
}

void TAppExtensionList::Add(const std::string& eIdent, TGIFAppExtensionClass eClass) {
    Rec r{eClass, {}};
    std::memcpy(r.Ident.data(), eIdent.data(), std::min<std::size_t>(11, eIdent.size()));
    FList.push_back(r);
}

TGIFAppExtensionClass TAppExtensionList::FindExt(const std::uint8_t* eIdent) const {
    for (auto it = FList.rbegin(); it != FList.rend(); ++it)
        if (std::memcmp(it->Ident.data(), eIdent, 11) == 0) return it->Class;
    return nullptr;
}

void TAppExtensionList::Remove(TGIFAppExtensionClass eClass) {
    std::erase_if(FList, [eClass](const Rec& r) { return r.Class->InheritsFrom(eClass); });
}

TExtensionList& ExtensionList() {
    static TExtensionList list;
    return list;
}

TAppExtensionList& AppExtensionList() {
    static TAppExtensionList list;
    return list;
}

// ---------------------------------------------------------------------------------------------------
// Base extension

TGIFExtension::TGIFExtension(TGIFSubImage* ASubImage)
    : TGIFItem(ASubImage ? ASubImage->Image() : nullptr), FSubImage(ASubImage) {}

void TGIFExtension::SaveToStream(TStream& Stream) {
    WriteByte(Stream, '!');
    WriteByte(Stream, GetExtensionType());
}

void TGIFExtension::LoadFromStream(TStream& Stream) {
    std::uint8_t b[2];
    ReadCheck(Stream, b, 2);
    if (b[0] != '!') GIFError("Invalid extension introducer");
    if (b[1] != GetExtensionType())
        GIFError("Internal error: Extension Instance does not match Extension Label");
}

TGIFExtensionClass TGIFExtension::FindExtension(TStream& Stream) {
    const std::int64_t pos = Stream.Position();
    std::uint8_t label;
    TGIFExtensionClass c = nullptr;
    if (TryReadByte(Stream, label)) {
        c = ExtensionList().FindExt(label);
        while (c && c->FindSubExtension) {
            TGIFExtensionClass sub = c->FindSubExtension(Stream);
            if (sub == c) break;
            c = sub;
        }
    }
    Stream.SetPosition(pos);
    return c;
}

// ---------------------------------------------------------------------------------------------------
// Graphic control extension

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage* ASubImage) : TGIFExtension(ASubImage) {
    if (FSubImage && !FSubImage->FGCE) FSubImage->FGCE = this;
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension() {
    if (Steers()) {
        if (Transparent()) FSubImage->FTransparent = false;
        FSubImage->FGCE = nullptr;
        FSubImage->ClearCache();
    }
}

bool TGIFGraphicControlExtension::Steers() const {
    return FSubImage && FSubImage->FGCE == this;
}

void TGIFGraphicControlExtension::SetTransparent(bool Value) {
    if (Value)
        FGCExtension.PackedFields |= 0x01;
    else
        FGCExtension.PackedFields &= ~0x01;
    if (Steers()) {
        FSubImage->FTransparent = Value;
        FSubImage->ClearCache(); // the mask follows the transparency
    }
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(int Value) {
    const int count = FSubImage ? FSubImage->ActiveColorMap().Count() : 0;
    if ((Value < 0 || Value >= count) && count > 0) {
        Warning(gsWarning, "Invalid color index");
        Value = 0;
    }
    FGCExtension.TransparentColorIndex = static_cast<std::uint8_t>(Value);
    if (Steers()) FSubImage->ClearCache();
}

TColor TGIFGraphicControlExtension::TransparentColor() {
    if (!FSubImage) GIFError("Color table is empty");
    return FSubImage->ActiveColorMap().Colors(FGCExtension.TransparentColorIndex);
}

void TGIFGraphicControlExtension::SetTransparentColor(TColor Color) {
    if (!FSubImage) return;
    FGCExtension.TransparentColorIndex =
        static_cast<std::uint8_t>(FSubImage->ActiveColorMap().AddUnique(Color));
    if (Steers()) FSubImage->ClearCache();
}

TDisposalMethod TGIFGraphicControlExtension::Disposal() const {
    // Values 4 to 7 of the three bits are reserved; they read as no disposal given.
    const int d = (FGCExtension.PackedFields >> 2) & 7;
    return d <= 3 ? static_cast<TDisposalMethod>(d) : dmNone;
}

void TGIFGraphicControlExtension::SetDisposal(TDisposalMethod Value) {
    FGCExtension.PackedFields =
        static_cast<std::uint8_t>((FGCExtension.PackedFields & ~0x1C) | ((static_cast<int>(Value) & 7) << 2));
}

void TGIFGraphicControlExtension::SaveToStream(TStream& Stream) {
    TGIFExtension::SaveToStream(Stream);
    // Always the standard block: four bytes of fields and the terminator, whatever layout was read.
    const TGIFGCERec& r = FGCExtension;
    const std::uint8_t b[6] = {4,
                               r.PackedFields,
                               static_cast<std::uint8_t>(r.DelayTime & 0xFF),
                               static_cast<std::uint8_t>(r.DelayTime >> 8),
                               r.TransparentColorIndex,
                               0};
    Stream.Write(b, 6);
}

namespace {
// Reads the first data sub-block of an extension (its size byte and up to that many bytes) into
// Block; answers the bytes read and sets Size to the size byte. Complete is false when the stream
// ends inside it.
std::size_t ReadFirstBlock(TStream& Stream, std::uint8_t (&Block)[255], int& Size, bool& Complete) {
    std::uint8_t size = 0;
    if (!TryReadByte(Stream, size)) {
        Size = -1;
        Complete = false;
        return 0;
    }
    Size = size;
    const std::size_t got = Stream.Read(Block, size);
    Complete = got == size;
    return got;
}

// Skips data sub-blocks up to and including the terminator; answers how many were skipped, or -1
// when the stream ends first.
int SkipSubBlocks(TStream& Stream) {
    int skipped = 0;
    std::uint8_t len;
    while (TryReadByte(Stream, len)) {
        if (len == 0) return skipped;
        if (Stream.Remaining() < len) {
            Stream.Seek(Stream.Remaining());
            return -1;
        }
        Stream.Seek(len);
        ++skipped;
    }
    return -1;
}
} // namespace

void TGIFGraphicControlExtension::LoadFromStream(TStream& Stream) {
    TGIFExtension::LoadFromStream(Stream);
    // Read by its size bytes: the fields come from the first sub-block when it holds at least four
    // bytes; further sub-blocks are skipped up to the terminator.
    std::uint8_t b[255] = {};
    int size = 0;
    bool complete = false;
    const std::size_t got = ReadFirstBlock(Stream, b, size, complete);
    TGIFGCERec& r = FGCExtension;
    if (size >= 4 || !complete) {
        if (got > 0) r.PackedFields = b[0];
        if (got > 1) r.DelayTime = static_cast<std::uint16_t>((r.DelayTime & 0xFF00) | b[1]);
        if (got > 2) r.DelayTime = static_cast<std::uint16_t>(b[1] | (b[2] << 8));
        if (got > 3) r.TransparentColorIndex = b[3];
    }
    r.BlockSize = 4;
    r.Terminator = 0;
    const int extra = complete && size > 0 ? SkipSubBlocks(Stream) : 0;
    if (!complete || extra < 0) {
        // Cut short: the fields read so far are kept, the transparency is not trusted.
        Warning(gsWarning, "Premature end of data");
        return;
    }
    if (size != 4 || extra > 0)
        Warning(gsWarning, "Graphic control extension block has a non-standard layout");
    // Only the frame's first graphic control extension steers its transparency.
    if (size >= 4 && (r.PackedFields & 0x01) && Steers()) FSubImage->FTransparent = true;
}

// ---------------------------------------------------------------------------------------------------
// Plain text and comment

TGIFTextExtension::TGIFTextExtension(TGIFSubImage* ASubImage) : TGIFExtension(ASubImage) {}

TColor TGIFTextExtension::ForegroundColor() {
    if (!FSubImage) GIFError("Color table is empty");
    return FSubImage->ActiveColorMap().Colors(FPlainTextExtension.TextFGColorIndex);
}

TColor TGIFTextExtension::BackgroundColor() {
    if (!FSubImage) GIFError("Color table is empty");
    return FSubImage->ActiveColorMap().Colors(FPlainTextExtension.TextBGColorIndex);
}

void TGIFTextExtension::SaveToStream(TStream& Stream) {
    TGIFExtension::SaveToStream(Stream);
    const TGIFPlainTextExtensionRec& r = FPlainTextExtension;
    const std::uint8_t b[13] = {12,
                                static_cast<std::uint8_t>(r.Left & 0xFF),
                                static_cast<std::uint8_t>(r.Left >> 8),
                                static_cast<std::uint8_t>(r.Top & 0xFF),
                                static_cast<std::uint8_t>(r.Top >> 8),
                                static_cast<std::uint8_t>(r.Width & 0xFF),
                                static_cast<std::uint8_t>(r.Width >> 8),
                                static_cast<std::uint8_t>(r.Height & 0xFF),
                                static_cast<std::uint8_t>(r.Height >> 8),
                                r.CellWidth,
                                r.CellHeight,
                                r.TextFGColorIndex,
                                r.TextBGColorIndex};
    Stream.Write(b, 13);
    WriteStrings(Stream, FText);
}

void TGIFTextExtension::LoadFromStream(TStream& Stream) {
    TGIFExtension::LoadFromStream(Stream);
    // The first sub-block holds the fields (as many as it has bytes for); the text follows in the
    // next sub-blocks.
    std::uint8_t b[255] = {};
    int size = 0;
    bool complete = false;
    const std::size_t got = ReadFirstBlock(Stream, b, size, complete);
    if (!complete) GIFDataEnd();
    std::uint8_t f[12] = {};
    std::memcpy(f, b, std::min<std::size_t>(got, 12));
    TGIFPlainTextExtensionRec& r = FPlainTextExtension;
    r.BlockSize = 12;
    r.Left = static_cast<std::uint16_t>(f[0] | (f[1] << 8));
    r.Top = static_cast<std::uint16_t>(f[2] | (f[3] << 8));
    r.Width = static_cast<std::uint16_t>(f[4] | (f[5] << 8));
    r.Height = static_cast<std::uint16_t>(f[6] | (f[7] << 8));
    r.CellWidth = f[8];
    r.CellHeight = f[9];
    r.TextFGColorIndex = f[10];
    r.TextBGColorIndex = f[11];
    if (size == 0) {
        // The size byte was the terminator: no text follows.
        FText.clear();
    } else {
        ReadStrings(Stream, FText);
    }
    if (size != 12) Warning(gsWarning, "Plain text extension block has a non-standard layout");
}

void TGIFCommentExtension::SaveToStream(TStream& Stream) {
    TGIFExtension::SaveToStream(Stream);
    WriteStrings(Stream, FText);
}

void TGIFCommentExtension::LoadFromStream(TStream& Stream) {
    TGIFExtension::LoadFromStream(Stream);
    ReadStrings(Stream, FText);
}

// ---------------------------------------------------------------------------------------------------
// Raw sub-blocks

void TGIFBlock::SaveToStream(TStream& Stream) const {
    WriteByte(Stream, static_cast<std::uint8_t>(FData.size()));
    Stream.Write(FData.data(), FData.size());
}

void TGIFBlock::LoadFromStream(TStream& Stream) {
    ReadCheck(Stream, FData.data(), FData.size());
}

void LoadBlocks(TStream& Stream, std::vector<std::unique_ptr<TGIFBlock>>& Blocks) {
    Blocks.clear();
    std::uint8_t len;
    while (TryReadByte(Stream, len) && len != 0) {
        auto block = std::make_unique<TGIFBlock>(len);
        block->LoadFromStream(Stream);
        Blocks.push_back(std::move(block));
    }
}

void SaveBlocks(TStream& Stream, const std::vector<std::unique_ptr<TGIFBlock>>& Blocks) {
    for (const auto& b : Blocks) b->SaveToStream(Stream);
    WriteByte(Stream, 0);
}

// ---------------------------------------------------------------------------------------------------
// Application extensions

TGIFApplicationExtension::TGIFApplicationExtension(TGIFSubImage* ASubImage) : TGIFExtension(ASubImage) {}

void TGIFApplicationExtension::RegisterExtension(const std::string& eIdent, TGIFAppExtensionClass eClass) {
    AppExtensionList().Add(eIdent, eClass);
}

std::string TGIFApplicationExtension::Identifier() const {
    return std::string(FIdent.Identifier.data(), FIdent.Identifier.size());
}

void TGIFApplicationExtension::SetIdentifier(const std::string& Value) {
    FIdent.Identifier.fill(' ');
    std::memcpy(FIdent.Identifier.data(), Value.data(), std::min<std::size_t>(8, Value.size()));
}

std::string TGIFApplicationExtension::Authentication() const {
    return std::string(FIdent.Authentication.data(), FIdent.Authentication.size());
}

void TGIFApplicationExtension::SetAuthentication(const std::string& Value) {
    FIdent.Authentication.fill(' ');
    std::memcpy(FIdent.Authentication.data(), Value.data(), std::min<std::size_t>(3, Value.size()));
}

void TGIFApplicationExtension::SaveToStream(TStream& Stream) {
    TGIFExtension::SaveToStream(Stream);
    WriteByte(Stream, 11);
    Stream.Write(&FIdent, 11);
    SaveData(Stream);
}

void TGIFApplicationExtension::LoadFromStream(TStream& Stream) {
    TGIFExtension::LoadFromStream(Stream);
    FIdent = {};
    std::uint8_t size;
    if (!TryReadByte(Stream, size)) GIFDataEnd();
    if (size == 0) {
        // The block ends right after its label: neither identifier nor data follow.
        return;
    }
    if (size == 10) {
        // The identifier takes the ten bytes of the block and the first length byte of the data,
        // which the data reader then reads again.
        ReadCheck(Stream, &FIdent, 11);
        Stream.Seek(-1);
    } else {
        ReadCheck(Stream, &FIdent, std::min<std::size_t>(size, 11));
        if (size > 11) {
            if (Stream.Remaining() < size - 11) GIFDataEnd();
            Stream.Seek(size - 11);
        }
    }
    LoadData(Stream);
}

void TGIFUnknownAppExtension::SaveToStream(TStream& Stream) {
    // Data held under an identifier that a registered class reads (a block read with another size
    // than 11) would be read by that class when the file is loaded again: they are written through
    // it, or not at all when it cannot read them.
    TGIFAppExtensionClass c = AppExtensionList().FindExt(reinterpret_cast<const std::uint8_t*>(&FIdent));
    if (!c || c == &ClassInfo || !c->Create) {
        TGIFApplicationExtension::SaveToStream(Stream);
        return;
    }
    TMemoryStream data;
    SaveData(data);
    data.SetPosition(0);
    std::unique_ptr<TGIFExtension> ext = c->Create(FSubImage);
    auto* app = static_cast<TGIFApplicationExtension*>(ext.get());
    try {
        app->LoadData(data);
    } catch (const GIFException&) {
        return;
    }
    app->FIdent = FIdent;
    app->SaveToStream(Stream);
}

void TGIFUnknownAppExtension::SaveData(TStream& Stream) {
    SaveBlocks(Stream, FBlocks);
}

void TGIFUnknownAppExtension::LoadData(TStream& Stream) {
    LoadBlocks(Stream, FBlocks);
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* ASubImage) : TGIFApplicationExtension(ASubImage) {
    std::memcpy(FIdent.Identifier.data(), "NETSCAPE", 8);
    std::memcpy(FIdent.Authentication.data(), "2.0", 3);
}

void TGIFAppExtNSLoop::SaveData(TStream& Stream) {
    const std::uint8_t loop[4] = {3, 1, static_cast<std::uint8_t>(FLoops & 0xFF),
                                  static_cast<std::uint8_t>(FLoops >> 8)};
    Stream.Write(loop, 4);
    if (FBufferSize != 0) {
        const std::uint8_t buf[6] = {5,
                                     2,
                                     static_cast<std::uint8_t>(FBufferSize & 0xFF),
                                     static_cast<std::uint8_t>((FBufferSize >> 8) & 0xFF),
                                     static_cast<std::uint8_t>((FBufferSize >> 16) & 0xFF),
                                     static_cast<std::uint8_t>(FBufferSize >> 24)};
        Stream.Write(buf, 6);
    }
    WriteByte(Stream, 0);
}

void TGIFAppExtNSLoop::LoadData(TStream& Stream) {
    std::uint8_t len;
    std::uint8_t b[255];
    while (TryReadByte(Stream, len) && len != 0) {
        ReadCheck(Stream, b, len);
        switch (b[0] & 7) {
        case 1:
            if (len < 3) GIFError("Invalid GIF data");
            FLoops = static_cast<std::uint16_t>(b[1] | (b[2] << 8));
            break;
        case 2:
            if (len < 5) GIFError("Invalid GIF data");
            FBufferSize = static_cast<std::uint32_t>(b[1]) | (static_cast<std::uint32_t>(b[2]) << 8) |
                          (static_cast<std::uint32_t>(b[3]) << 16) | (static_cast<std::uint32_t>(b[4]) << 24);
            break;
        default:
            break;
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Unknown labels

void TGIFUnknownExtension::SaveToStream(TStream& Stream) {
    TGIFExtension::SaveToStream(Stream);
    SaveBlocks(Stream, FBlocks);
}

void TGIFUnknownExtension::LoadFromStream(TStream& Stream) {
    std::uint8_t b[2];
    ReadCheck(Stream, b, 2);
    if (b[0] != '!') GIFError("Invalid extension introducer");
    FLabel = b[1];
    LoadBlocks(Stream, FBlocks);
}

// ---------------------------------------------------------------------------------------------------
// The extensions in front of a frame

TGIFExtension* TGIFExtensionList::GetExtension(int Index) const {
    return static_cast<TGIFExtension*>(GetItem(Index));
}

void TGIFExtensionList::LoadFromStream(TStream& Stream, TGIFSubImage* Parent) {
    std::uint8_t b;
    if (!TryReadByte(Stream, b)) return;
    while (b != ',' && b != ';') {
        if (b == 0) {
            // A stray zero byte between blocks.
            if (!TryReadByte(Stream, b)) return;
            continue;
        }
        if (b != '!') {
            Warning(gsWarning, "Invalid extension introducer");
            break;
        }
        TGIFExtensionClass c = TGIFExtension::FindExtension(Stream);
        if (!c || !c->Create) {
            // Kept as raw data and written back; decoders skip what they do not know, so this is
            // information, not a problem of the file.
            Warning(gsInfo, "Unknown extension type");
            c = &TGIFUnknownExtension::ClassInfo;
        }
        Stream.Seek(-1);
        std::unique_ptr<TGIFExtension> ext = c->Create(Parent);
        ext->LoadFromStream(Stream);
        Add(std::move(ext));
        if (!TryReadByte(Stream, b)) return;
    }
    Stream.Seek(-1);
}
