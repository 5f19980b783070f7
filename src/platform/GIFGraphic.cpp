#include "platform/GIFGraphic.h"

#include "platform/ByteOrder.h"
#include "platform/GIFPainterQt.h"
#include "platform/JPEGImage.h"

#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>

#include <algorithm>
#include <cstring>

namespace {

// Runs a codec step; its errors become picture errors with the same text.
template <class F> void asPictureError(F&& f) {
    try {
        f();
    } catch (const GIFException& e) {
        throw EInvalidGraphic(e.what());
    }
}

// The size of the logical screen once the codec has widened it to cover every frame: the screen
// descriptor's size and each image descriptor's right and bottom edges, found by walking the blocks
// without decoding them. The walk ends quietly where the data end or stop making sense.
QSize screenCoveringFrames(const std::uint8_t* p, std::size_t size) {
    if (size < 13 || std::memcmp(p, "GIF", 3) != 0) return {};
    unsigned w = ReadLE16(p + 6), h = ReadLE16(p + 8);
    std::size_t i = 13;
    if (p[10] & 0x80) i += std::size_t{3} << ((p[10] & 7) + 1);
    auto skipSubBlocks = [&] {
        while (i < size) {
            const unsigned n = p[i++];
            if (n == 0) return true;
            i += n;
        }
        return false;
    };
    while (i < size) {
        const std::uint8_t block = p[i++];
        if (block == '!') {
            ++i; // the label
            if (!skipSubBlocks()) break;
        } else if (block == ',' && i + 9 <= size) {
            w = std::max(w, ReadLE16(p + i) + ReadLE16(p + i + 4));
            h = std::max(h, ReadLE16(p + i + 2) + ReadLE16(p + i + 6));
            const std::uint8_t flags = p[i + 8];
            i += 9;
            if (flags & 0x80) i += std::size_t{3} << ((flags & 7) + 1);
            ++i; // the code size
            if (!skipSubBlocks()) break;
        } else {
            break; // the trailer, or data that are no block
        }
    }
    return QSize(static_cast<int>(w), static_cast<int>(h));
}

// What a load takes at its peak, per pixel of the screen: the frame's colour indices, their 8-bit
// rendering and the 24-bit picture (MoveTo), and one more for the rest of the load's memory.
constexpr int LoadBytesPerPixel = 1 + 1 + 3 + 1;

} // namespace

void RegisterGIFGraphic() {
    const auto factory = [] { return std::make_unique<TGIFGraphic>(); };
    TPicture::RegisterFileFormat(QStringLiteral("gif"), QStringLiteral("GIF Image"), factory);
    TPicture::RegisterClipboardFormat(QStringLiteral("GIF Image"), factory);
    // Animations play on the user-interface thread.
    TGIFImage::DefaultPainterDriver() = &TGIFPainterTimer::Instance();
    // A display of at most 256 colours shows frames dithered onto the web palette.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            TGIFImage::PaletteDisplay() = screen->depth() <= 8;
}

QString CF_GIF() {
    return TPicture::ClipboardMimeType(QStringLiteral("GIF Image"));
}

TGIFGraphic::TGIFGraphic() {
    if (!TGIFImage::DefaultPainterDriver()) TGIFImage::DefaultPainterDriver() = &TGIFPainterTimer::Instance();
    image_ = std::make_unique<TGIFImage>();
}
TGIFGraphic::~TGIFGraphic() = default;

void TGIFGraphic::LoadFromMemory(const std::uint8_t* data, std::size_t size) {
    if (!data) throw EInvalidGraphic("Not a valid GIF file");
    // The screen the frames will need is refused as any picture's, for all its load takes, before
    // the codec reads on.
    if (const QSize screen = screenCoveringFrames(data, size); screen.width() > 0 && screen.height() > 0)
        CheckPictureSize(screen.width(), screen.height(), LoadBytesPerPixel);
    auto image = std::make_unique<TGIFImage>();
    QStringList warnings;
    image->OnWarning = [&warnings](const void*, TGIFSeverity severity, const std::string& message) {
        const QString m = QString::fromStdString(message);
        if (severity >= gsWarning && !warnings.contains(m)) warnings << m;
    };
    // The codec's limit on pixel data follows the container's.
    image->SetPixelBytesLimit(std::min<std::int64_t>(GIFMaxTotalPixels, 8 * PictureLimits().maxPixels));
    TByteViewStream stream(data, size);
    asPictureError([&] { image->LoadFromStream(stream); });
    image->OnWarning = nullptr;
    if (image->Images().Count() == 0) throw EInvalidGraphic("The GIF file holds no picture");
    CheckPictureSize(image->Width(), image->Height());
    image_ = std::move(image);
    // The codec's words for data that stop early; any of them means the file was cut short.
    incomplete_ = warnings.contains(QStringLiteral("Premature end of data")) ||
                  warnings.contains(QLatin1String(GIFIncompleteFile)) ||
                  warnings.contains(QLatin1String(GIFIncompleteFrame));
    warnings_ = warnings;
    frames_.clear();
}

QString TGIFGraphic::IncompleteText() const {
    return incomplete_ ? QStringLiteral("it ends before the last picture does; what was readable is shown")
                       : QString();
}

QByteArray TGIFGraphic::SaveToMemory() {
    if (image_->Empty()) throw EInvalidGraphic("Cannot save an empty picture");
    TMemoryStream stream;
    asPictureError([&] { image_->SaveToStream(stream); });
    const std::vector<std::uint8_t>& bytes = stream.Bytes();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

void TGIFGraphic::AssignTo(TFastDIB& dib) {
    if (image_->Empty() || image_->Width() <= 0 || image_->Height() <= 0)
        throw EInvalidGraphic("The GIF picture is empty");
    CheckPictureSize(image_->Width(), image_->Height());
    const TFastDIB* bitmap = nullptr;
    asPictureError([&] { bitmap = image_->Bitmap(); });
    if (!bitmap) throw EInvalidGraphic("The GIF picture is empty");
    AssignDIB(dib, *bitmap);
}

void TGIFGraphic::MoveTo(TFastDIB& dib) {
    const int w = image_->Width(), h = image_->Height();
    if (image_->Empty() || w <= 0 || h <= 0) throw EInvalidGraphic("The GIF picture is empty");
    CheckPictureSize(w, h);
    // Rendered straight into the picture handed over (no huge pages for a picture filled once).
    TFastDIB out;
    out.SetSizeForReading(w, h, 24, 0);
    asPictureError([&] { image_->DrawScreen(out); });
    image_->Clear();
    frames_.clear();
    dib.Swap(out);
}

void TGIFGraphic::Assign(const TFastDIB& dib) {
    asPictureError([&] { image_->Assign(dib); });
    frames_.clear();
}

void TGIFGraphic::AssignImage(const QImage& image) {
    if (image.isNull()) {
        image_->Clear();
        frames_.clear();
        return;
    }
    CheckPictureSize(image.width(), image.height());
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    TFastDIB dib;
    dib.SetSize(argb.width(), argb.height(), 24, 0);
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(argb.width()) * argb.height(), 0);
    bool anyTransparent = false;
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        TFColor* d = dib.Pixels24[y];
        for (int x = 0; x < argb.width(); ++x) {
            d[x] = {static_cast<std::uint8_t>(qBlue(s[x])), static_cast<std::uint8_t>(qGreen(s[x])),
                    static_cast<std::uint8_t>(qRed(s[x]))};
            if (qAlpha(s[x]) == 0) {
                mask[static_cast<std::size_t>(y) * argb.width() + x] = 1;
                anyTransparent = true;
            }
        }
    }
    asPictureError([&] {
        image_->Assign(dib);
        if (anyTransparent && image_->Images().Count() > 0)
            image_->Images()[0]->ImportMask(mask.data(), argb.width(), argb.height(), argb.width());
    });
    frames_.clear();
}

void TGIFGraphic::SaveToClipboardFormat(QMimeData& data) {
    if (image_->Empty()) return;
    TGraphic::SaveToClipboardFormat(data); // the rendered bitmap in the standard format
    data.setData(CF_GIF(), SaveToMemory());
}

void TGIFGraphic::LoadFromClipboardFormat(const QMimeData& data, const QString& format) {
    if (format == CF_GIF() && data.hasFormat(format)) {
        const QByteArray bytes = data.data(format);
        LoadFromMemory(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                       static_cast<std::size_t>(bytes.size()));
        return;
    }
    TGraphic::LoadFromClipboardFormat(data, format); // the standard bitmap format, or refused
}

QImage TGIFGraphic::FrameImage(int index) {
    if (index < 0 || index >= image_->Images().Count()) return {};
    TGIFSubImage* frame = image_->Images()[index];
    if (frames_.size() != static_cast<std::size_t>(image_->Images().Count()))
        frames_.assign(static_cast<std::size_t>(image_->Images().Count()), {});
    const bool masked = frame->Transparent() && frame->HasMask();
    const TFastDIB* bitmap = frame->Bitmap();
    CachedFrame& cached = frames_[static_cast<std::size_t>(index)];
    if (bitmap && cached.frame == frame && cached.stamp == frame->BitmapStamp() && cached.masked == masked &&
        !cached.image.isNull())
        return cached.image;
    QImage out;
    if (bitmap) {
        out = QImage(bitmap->Width, bitmap->Height, QImage::Format_Indexed8);
        QList<QRgb> table(256);
        for (int i = 0; i < 256; ++i) {
            const TFColorA& c = (*bitmap->Colors)[static_cast<std::size_t>(i)];
            table[i] = qRgb(c.r, c.g, c.b);
        }
        // Only the transparent pixels hold the transparent index, so its entry carries the mask.
        if (masked) table[frame->GraphicControlExtension()->TransparentColorIndex()] = qRgba(0, 0, 0, 0);
        out.setColorTable(table);
        for (int y = 0; y < bitmap->Height; ++y)
            std::memcpy(out.scanLine(y), bitmap->Scanlines[y], static_cast<std::size_t>(bitmap->Width));
    }
    cached = {frame, frame->BitmapStamp(), masked, out};
    return out;
}

std::unique_ptr<TGIFGraphic> MakeGIFForSave(const TFastDIB& dib) {
    if (dib.Empty()) throw EInvalidGraphic("Cannot save an empty picture");
    // Compressed at quality 100 and decoded again at 8 bits: libjpeg's own quantiser chooses the
    // 256 colours.
    const QByteArray jpeg = EncodeJPEG(dib, 100);
    TFastDIB reduced;
    DecodeJPEG(reinterpret_cast<const std::uint8_t*>(jpeg.constData()), static_cast<std::size_t>(jpeg.size()),
               reduced, TJPEGPixelFormat::jf8Bit);
    auto gif = std::make_unique<TGIFGraphic>();
    asPictureError([&] {
        gif->Image().Assign(reduced);
        gif->Image().OptimizeColorMap();
    });
    return gif;
}
