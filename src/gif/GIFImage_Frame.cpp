// Frames (bounds, pixels, descriptor, reading and writing) and the picture's whole-file walk.
#include <algorithm>

#include "gif/GIFImage.h"
#include "image/Numeric.h"

// ---------------------------------------------------------------------------------------------------
// Frame

TGIFSubImage::TGIFSubImage(TGIFImage* GIFImage)
    : TGIFItem(GIFImage), FColorMap(std::make_unique<TGIFLocalColorMap>(this)),
      FExtensions(std::make_unique<TGIFExtensionList>(GIFImage)) {}

TGIFSubImage::~TGIFSubImage() {
    Clear();
    FExtensions.reset();
}

void TGIFSubImage::Clear() {
    FExtensions->Clear();
    FColorMap->Clear();
    ClearCache();
    FLocalPalette.reset();
    FreeImage();
    FImageDescriptor.Height = 0;
    FImageDescriptor.Width = 0;
    FTransparent = false;
    FGCE = nullptr;
}

bool TGIFSubImage::Empty() const {
    return FData.empty() || Width() == 0 || Height() == 0;
}

TGIFColorMap& TGIFSubImage::ActiveColorMap() {
    if (FColorMap->Count() > 0) return *FColorMap;
    if (FGIFImage && FGIFImage->GlobalColorMap().Count() > 0) return FGIFImage->GlobalColorMap();
    return *FColorMap;
}

TGIFRect TGIFSubImage::BoundsRect() const {
    return {Left(), Top(), Left() + Width(), Top() + Height()};
}

void TGIFSubImage::SetInterlaced(bool Value) {
    if (Value)
        FImageDescriptor.PackedFields |= 0x40;
    else
        FImageDescriptor.PackedFields &= ~0x40;
}

void TGIFSubImage::FreeImage() {
    if (!FData.empty() && FGIFImage) FGIFImage->ReleasePixelBytes(static_cast<std::int64_t>(FData.size()));
    FData.clear();
    FData.shrink_to_fit();
}

void TGIFSubImage::NewImage() {
    FreeImage();
    const std::int64_t n = static_cast<std::int64_t>(Width()) * Height();
    if (n == 0) return;
    CheckImageSize(Width(), Height());
    if (FGIFImage) FGIFImage->ReservePixelBytes(n);
    try {
        FData.assign(static_cast<std::size_t>(n), 0);
    } catch (...) {
        if (FGIFImage) FGIFImage->ReleasePixelBytes(n);
        throw;
    }
}

void TGIFSubImage::NeedImage() {
    if (FData.empty()) NewImage();
    if (FData.empty()) GIFError("Image is empty");
}

std::uint8_t* TGIFSubImage::Scanline(int Y) {
    if (Y < 0 || Y >= Height()) GIFError("Invalid pixel coordinates");
    NeedImage();
    return FData.data() + static_cast<std::size_t>(Y) * Width();
}

std::uint8_t TGIFSubImage::Pixels(int X, int Y) {
    if (X < 0 || X >= Width()) GIFError("Invalid pixel coordinates");
    return Scanline(Y)[X];
}

void TGIFSubImage::SetPixel(int X, int Y, std::uint8_t Value) {
    if (X < 0 || X >= Width()) GIFError("Invalid pixel coordinates");
    Scanline(Y)[X] = Value;
}

void TGIFSubImage::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    // Checked before anything changes: every field is a 16-bit word and the frame must end inside
    // the 16-bit coordinate range of the logical screen.
    if (ALeft < 0 || ATop < 0 || AWidth < 0 || AHeight < 0 || ALeft > 65535 || ATop > 65535 ||
        static_cast<std::int64_t>(ALeft) + AWidth > 65535 ||
        static_cast<std::int64_t>(ATop) + AHeight > 65535)
        GIFError("Frame lies outside the logical screen range");
    CheckImageSize(AWidth, AHeight);
    const bool sizeChanged = AWidth != Width() || AHeight != Height();
    if (sizeChanged) {
        // The new pixels are reserved and made before anything changes, so a refused size leaves
        // the frame as it was.
        const std::int64_t n = static_cast<std::int64_t>(AWidth) * AHeight;
        const std::int64_t old = static_cast<std::int64_t>(FData.size());
        if (FGIFImage && n > old) FGIFImage->ReservePixelBytes(n - old);
        std::vector<std::uint8_t> fresh;
        try {
            fresh.assign(static_cast<std::size_t>(n), 0);
        } catch (...) {
            if (FGIFImage && n > old) FGIFImage->ReleasePixelBytes(n - old);
            throw;
        }
        if (FGIFImage && n < old) FGIFImage->ReleasePixelBytes(old - n);
        FData = std::move(fresh);
        ClearCache();
    }
    FImageDescriptor.Left = static_cast<std::uint16_t>(ALeft);
    FImageDescriptor.Top = static_cast<std::uint16_t>(ATop);
    FImageDescriptor.Width = static_cast<std::uint16_t>(AWidth);
    FImageDescriptor.Height = static_cast<std::uint16_t>(AHeight);
    if (!FGIFImage) return;
    bool warned = false;
    TGIFHeader& header = FGIFImage->Header();
    if (header.Width() < ALeft + AWidth) {
        if (header.Width() > 0) {
            Warning(gsWarning, "Image width too small for contained frames");
            warned = true;
        }
        header.SetWidth(ALeft + AWidth);
    }
    if (header.Height() < ATop + AHeight) {
        if (header.Height() > 0) {
            Warning(gsWarning, "Image height too small for contained frames");
            warned = true;
        }
        header.SetHeight(ATop + AHeight);
    }
    if (warned) Warning(gsWarning, "Image exceeds Logical Screen size");
}

TGIFVersion TGIFSubImage::GetVersion() const {
    TGIFVersion v = FColorMap->Optimized() ? gv89a : gv87a;
    for (int i = 0; i < FExtensions->Count() && v != gv89a; ++i)
        v = std::max(v, FExtensions->GetItem(i)->Version());
    return v;
}

void TGIFSubImage::Prepare() {
    std::uint8_t& p = FImageDescriptor.PackedFields;
    if (FColorMap->Count() > 0) {
        std::uint8_t np = 0x80;
        if (FColorMap->Optimized()) np |= 0x20;
        np |= static_cast<std::uint8_t>(ColorResolution() & 7);
        p = np;
    } else {
        p &= 0x58;
    }
}

void TGIFSubImage::SaveToStream(TStream& Stream) {
    SaveToStream(Stream, FGIFImage ? FGIFImage->BitsPerPixel() : 0);
}

void TGIFSubImage::SaveToStream(TStream& Stream, int PictureBitsPerPixel) {
    FExtensions->SaveToStream(Stream);
    if (Empty()) return;
    Prepare();
    const TImageDescriptor& d = FImageDescriptor;
    const std::uint8_t bytes[10] = {',',
                                    static_cast<std::uint8_t>(d.Left & 0xFF),
                                    static_cast<std::uint8_t>(d.Left >> 8),
                                    static_cast<std::uint8_t>(d.Top & 0xFF),
                                    static_cast<std::uint8_t>(d.Top >> 8),
                                    static_cast<std::uint8_t>(d.Width & 0xFF),
                                    static_cast<std::uint8_t>(d.Width >> 8),
                                    static_cast<std::uint8_t>(d.Height & 0xFF),
                                    static_cast<std::uint8_t>(d.Height >> 8),
                                    d.PackedFields};
    Stream.Write(bytes, sizeof bytes);
    FColorMap->SaveToStream(Stream);
    Compress(Stream, PictureBitsPerPixel);
}

void TGIFSubImage::Compress(TStream& Stream, int PictureBitsPerPixel) {
    int bpp, maxColor;
    if (FColorMap->Count() > 0) {
        bpp = FColorMap->BitsPerPixel();
        maxColor = FColorMap->Count();
    } else {
        bpp = PictureBitsPerPixel;
        maxColor = 1 << bpp;
    }
    const bool rle = FGIFImage && FGIFImage->Compression() == gcRLE;
    std::unique_ptr<TGIFEncoder> encoder;
    if (rle)
        encoder = std::make_unique<TRLEEncoder>();
    else
        encoder = std::make_unique<TLZWEncoder>();
    encoder->Compress(Stream, bpp, Width(), Height(), Interlaced(), Data(), maxColor);
}

void TGIFSubImage::LoadFromStream(TStream& Stream) {
    Clear();
    FExtensions->LoadFromStream(Stream, this);
    std::uint8_t b;
    if (!TryReadByte(Stream, b)) return;
    Stream.Seek(-1);
    // Anything but an image separator ends the frame with its extensions only; the frame list then
    // judges that byte.
    if (b != ',') return;
    std::uint8_t bytes[10];
    ReadCheck(Stream, bytes, 10);
    TImageDescriptor& d = FImageDescriptor;
    d.Separator = bytes[0];
    d.Left = static_cast<std::uint16_t>(bytes[1] | (bytes[2] << 8));
    d.Top = static_cast<std::uint16_t>(bytes[3] | (bytes[4] << 8));
    d.Width = static_cast<std::uint16_t>(bytes[5] | (bytes[6] << 8));
    d.Height = static_cast<std::uint16_t>(bytes[7] | (bytes[8] << 8));
    d.PackedFields = bytes[9];
    if (d.Width == 0 || d.Height == 0) {
        if (FGIFImage) {
            d.Height = static_cast<std::uint16_t>(FGIFImage->Height());
            d.Width = static_cast<std::uint16_t>(FGIFImage->Width());
        }
        Warning(gsWarning, "Image exceeds Logical Screen size");
    }
    if (d.Left + d.Width > 65535 || d.Top + d.Height > 65535)
        GIFError("Frame lies outside the logical screen range");
    CheckImageSize(d.Width, d.Height);
    if (d.PackedFields & 0x80) FColorMap->LoadFromStream(Stream, 2 << (d.PackedFields & 7));
    Decompress(Stream);
}

// ---------------------------------------------------------------------------------------------------
// Picture

TGIFImage::TGIFImage()
    : FImages(std::make_unique<TGIFImageList>(this)), FHeader(std::make_unique<TGIFHeader>(this)) {
    Clear();
}

TGIFImage::~TGIFImage() {
    // Painters that cannot end now (one is in a handler of its own) are detached when the list goes.
    FPainters.PaintStop();
    FImages->Clear();
}

void TGIFImage::Clear() {
    // No painter may go on drawing frames that are about to go.
    PaintStop();
    FImages->Clear();
    FHeader->ColorMap().Clear();
    FHeader->SetWidth(0);
    FHeader->SetHeight(0);
    FHeader->Prepare();
    SetPalette(nullptr);
}

void TGIFImage::ReservePixelBytes(std::int64_t Bytes) {
    if (Bytes < 0 || FPixelBytes + Bytes > FPixelBytesLimit)
        GIFError("Image data exceeds the supported limit");
    FPixelBytes += Bytes;
}

void TGIFImage::Warning(const void* Sender, TGIFSeverity Severity, const std::string& Message) {
    if (OnWarning) OnWarning(Sender, Severity, Message);
}

void TGIFImage::Progress(TProgressStage Stage, int PercentDone, bool RedrawNow, const std::string& Msg) {
    if (OnProgress) OnProgress(Stage, PercentDone, RedrawNow, Msg);
}

TGIFVersion TGIFImage::Version() const {
    TGIFVersion v = gvUnknown;
    for (int i = 0; i < FImages->Count() && v != gv89a; ++i) v = std::max(v, FImages->GetImage(i)->Version());
    return v;
}

int TGIFImage::BitsPerPixel() const {
    int bpp = FHeader->BitsPerPixel();
    for (int i = 0; i < FImages->Count(); ++i) bpp = std::max(bpp, FImages->GetImage(i)->BitsPerPixel());
    return bpp;
}

int TGIFImage::ColorResolution() const {
    int r = FHeader->ColorResolution();
    for (int i = 0; i < FImages->Count(); ++i) r = std::max(r, FImages->GetImage(i)->ColorResolution());
    return r;
}

bool TGIFImage::IsTransparent() const {
    for (int i = 0; i < FImages->Count(); ++i) {
        const TGIFGraphicControlExtension* gce = FImages->GetImage(i)->GraphicControlExtension();
        if (gce && gce->Transparent()) return true;
    }
    return false;
}

void TGIFImage::FitLogicalScreen() {
    int w = FHeader->Width(), h = FHeader->Height();
    for (int i = 0; i < FImages->Count(); ++i) {
        const TGIFSubImage* f = FImages->GetImage(i);
        w = std::max(w, f->Left() + f->Width());
        h = std::max(h, f->Top() + f->Height());
    }
    // Frames are placed inside the 16-bit range; the screen that covers them must still be one that
    // can be drawn.
    CheckImageSize(w, h);
    FHeader->SetWidth(w);
    FHeader->SetHeight(h);
}

void TGIFImage::LoadFromStream(TStream& Stream) {
    Progress(psStarting, 0, false, "Loading...");
    const std::int64_t start = Stream.Position();
    try {
        Clear();
        FHeader->LoadFromStream(Stream);
        FImages->LoadFromStream(Stream, this);
        FitLogicalScreen();
        TGIFTrailer trailer(this);
        trailer.LoadFromStream(Stream);
    } catch (...) {
        // The frames read so far stay; the screen still covers them where it can.
        try {
            FitLogicalScreen();
        } catch (const GIFException&) {
        }
        Stream.SetPosition(start);
        Progress(psEnding, 0, true, "Loading...");
        throw;
    }
    Progress(psEnding, 100, true, "Loading...");
}

void TGIFImage::SaveToStream(TStream& Stream) {
    Progress(psStarting, 0, false, "Saving...");
    try {
        FHeader->SaveToStream(Stream);
        FImages->SaveToStream(Stream);
        TGIFTrailer trailer(this);
        trailer.SaveToStream(Stream);
    } catch (...) {
        Progress(psEnding, 0, false, "Saving...");
        throw;
    }
    Progress(psEnding, 100, false, "Saving...");
}

void TGIFImage::LoadFromFile(const std::string& Filename) {
    TMemoryStream stream(ReadWholeFile(Filename));
    LoadFromStream(stream);
}

void TGIFImage::SaveToFile(const std::string& Filename) {
    TMemoryStream stream;
    SaveToStream(stream);
    ReplaceFileContent(Filename, stream.Bytes());
}
