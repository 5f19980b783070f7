#include "platform/Picture.h"

#include "platform/GIFGraphic.h"
#include "platform/JPEGImage.h"
#include "platform/SafeFile.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QMimeData>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

// ---- sizes and image copies

PictureSizeLimits& PictureLimits() {
    static PictureSizeLimits limits;
    return limits;
}

void CheckPictureSize(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0)
        throw EInvalidGraphic(
            QStringLiteral("Invalid picture size %1 x %2").arg(width).arg(height).toStdString());
    const PictureSizeLimits& l = PictureLimits();
    // Each factor is at most 2^31 here, so the product cannot overflow.
    if (width > l.maxSide || height > l.maxSide || width * height > l.maxPixels)
        throw EInvalidGraphic(
            QStringLiteral("The picture is too large (%1 x %2 pixels; at most %3 pixels a side "
                           "and %4 million pixels are supported)")
                .arg(width)
                .arg(height)
                .arg(l.maxSide)
                .arg(l.maxPixels / (1024 * 1024))
                .toStdString());
}

void AssignDIB(TFastDIB& dst, const TFastDIB& src) {
    if (&dst == &src) return;
    if (src.Empty()) {
        dst.SetSize(0, 0, 0, 0);
        return;
    }
    dst.SetSize(src.Width, src.Height, src.Bpp, src.Mask);
    dst.bmInfo = src.bmInfo; // the same header, plus the colour table or the bit masks
    std::memcpy(dst.Bits, src.Bits, static_cast<std::size_t>(src.ByteCount()));
}

void AssignDIB24(TFastDIB& dst, const TFastDIB& src) {
    if (src.Bpp == 24 || src.Empty()) {
        AssignDIB(dst, src);
        return;
    }
    TFastDIB out;
    out.SetSize(src.Width, src.Height, 24, 0);
    src.Draw(out, 0, 0);
    AssignDIB(dst, out);
}

namespace {

// A deep copy as a QImage (24 bits, or 8 with the colour table).
QImage toQImage(const TFastDIB& dib) {
    if (dib.Empty()) return {};
    if (dib.Bpp != 24 && dib.Bpp != 8) {
        TFastDIB d24;
        AssignDIB24(d24, dib);
        return toQImage(d24);
    }
    QImage img(dib.Width, dib.Height, dib.Bpp == 24 ? QImage::Format_BGR888 : QImage::Format_Indexed8);
    if (img.isNull()) throw std::bad_alloc();
    if (dib.Bpp == 8) {
        QList<QRgb> table(256);
        for (int i = 0; i < 256; ++i) {
            const TFColorA& c = (*dib.Colors)[static_cast<std::size_t>(i)];
            table[i] = qRgb(c.r, c.g, c.b);
        }
        img.setColorTable(table);
    }
    const std::size_t rowBytes = static_cast<std::size_t>(dib.Width) * (dib.Bpp / 8);
    for (int y = 0; y < dib.Height; ++y) std::memcpy(img.scanLine(y), dib.Scanlines[y], rowBytes);
    return img;
}

// `img` at 24 bits per pixel into `dib`, size checked first.
void fromQImage(const QImage& img, TFastDIB& dib) {
    CheckPictureSize(img.width(), img.height());
    const QImage bgr =
        img.format() == QImage::Format_BGR888 ? img : img.convertToFormat(QImage::Format_BGR888);
    if (bgr.isNull()) throw std::bad_alloc();
    TFastDIB out;
    out.SetSize(bgr.width(), bgr.height(), 24, 0);
    const std::size_t rowBytes = static_cast<std::size_t>(bgr.width()) * 3;
    for (int y = 0; y < bgr.height(); ++y) std::memcpy(out.Scanlines[y], bgr.constScanLine(y), rowBytes);
    AssignDIB(dib, out);
}

std::uint32_t le32(const std::uint8_t* p) {
    return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// Walks run-length coded pixels: complete when the end-of-bitmap code comes before the data ends.
bool rleComplete(const std::uint8_t* p, std::size_t n, bool rle4) {
    std::size_t i = 0;
    while (i + 1 < n) {
        const unsigned count = p[i], code = p[i + 1];
        i += 2;
        if (count != 0) continue;   // a run: count pixels of one value
        if (code == 1) return true; // end of bitmap
        if (code == 0) continue;    // end of line
        if (code == 2) {            // delta: two more bytes
            i += 2;
            continue;
        }
        // Absolute run of `code` pixels, padded to an even number of bytes.
        std::size_t bytes = rle4 ? (code + 1) / 2 : code;
        i += bytes + (bytes & 1);
    }
    return false;
}

// Checks a BMP's headers before Qt's reader sees it: the signature, a known header, the size within
// the limits and, for uncompressed pixels, that the file holds every row (Qt's reader would accept a
// cut file and leave the missing rows empty).
void checkBmpHeader(const std::uint8_t* p, std::size_t size) {
    if (size < 26 || p[0] != 'B' || p[1] != 'M') throw EInvalidGraphic("Not a valid bitmap file");
    const std::uint32_t offBits = le32(p + 10), infoSize = le32(p + 14);
    std::int64_t width = 0, height = 0;
    unsigned bpp = 0, compression = 0;
    std::uint32_t clrUsed = 0;
    if (infoSize == 12) { // the old core header
        width = le16(p + 18);
        height = le16(p + 20);
        bpp = le16(p + 24);
    } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 64 || infoSize == 108 ||
               infoSize == 124) {
        if (size < 14 + 40) throw EInvalidGraphic("The bitmap file is truncated");
        width = static_cast<std::int32_t>(le32(p + 18));
        height = static_cast<std::int32_t>(le32(p + 22));
        bpp = le16(p + 28);
        compression = le32(p + 30);
        clrUsed = le32(p + 46);
    } else {
        throw EInvalidGraphic("Unsupported bitmap header");
    }
    if (height < 0) height = -height; // rows stored top-down
    CheckPictureSize(width, height);
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        throw EInvalidGraphic("Unsupported bitmap colour depth");
    constexpr unsigned BiRLE8 = 1, BiRLE4 = 2, BiBitfields = 3;
    if (compression != BI_RGB && compression != BiRLE8 && compression != BiRLE4 && compression != BiBitfields)
        throw EInvalidGraphic("Unsupported bitmap compression");
    if (compression == BI_RGB || compression == BiBitfields) {
        // Where the pixels start: the header's offset, or (when that is missing) right after the
        // headers, the bit masks and the colour table.
        std::uint64_t start = offBits;
        if (start < 14 + std::uint64_t(infoSize)) {
            const std::uint64_t colours =
                bpp <= 8 ? (clrUsed ? std::min<std::uint64_t>(clrUsed, 256) : 1u << bpp) : 0;
            start = 14 + std::uint64_t(infoSize) + (compression == BiBitfields && infoSize == 40 ? 12 : 0) +
                    colours * (infoSize == 12 ? 3 : 4);
        }
        const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bpp + 31) / 32 * 4;
        if (start + rowBytes * static_cast<std::uint64_t>(height) > size)
            throw EInvalidGraphic("The bitmap file is truncated");
    } else if (offBits >= size || !rleComplete(p + offBits, size - offBits, compression == BiRLE4)) {
        throw EInvalidGraphic("The bitmap file is truncated");
    }
}

// Expands a run-length coded bitmap (RLE8 or RLE4; headers checked by checkBmpHeader) into `dib` at 24
// bits per pixel. The pixels start as colour index 0, as the format intends: pixels the codes skip
// (an early end of line, a delta, an early end of bitmap) are defined, never left over memory.
// Rows are stored bottom-up; runs beyond the right edge are clipped, codes below the top row ignored.
void decodeRleBitmap(const std::uint8_t* p, std::size_t size, TFastDIB& dib) {
    const std::uint32_t offBits = le32(p + 10), infoSize = le32(p + 14);
    const std::int32_t width = static_cast<std::int32_t>(le32(p + 18));
    const std::int32_t height = static_cast<std::int32_t>(le32(p + 22));
    const unsigned bpp = le16(p + 28);
    const bool rle4 = le32(p + 30) == 2;
    if (height < 0)
        throw EInvalidGraphic("Not a valid bitmap file: compressed rows cannot be stored top-down");
    if (bpp != (rle4 ? 4u : 8u))
        throw EInvalidGraphic("Not a valid bitmap file: compression and colour depth differ");
    // The colour table; entries it lacks are black.
    const std::uint32_t clrUsed = le32(p + 46);
    const std::uint64_t colours = clrUsed ? std::min<std::uint64_t>(clrUsed, 1u << bpp) : (1u << bpp);
    const std::uint64_t table = 14 + std::uint64_t(infoSize);
    if (table + colours * 4 > size) throw EInvalidGraphic("The bitmap file is truncated");
    TFColor palette[256] = {};
    for (std::uint64_t i = 0; i < colours; ++i) {
        const std::uint8_t* c = p + table + 4 * i;
        palette[i] = TFColor{c[0], c[1], c[2]};
    }

    const std::size_t w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    std::vector<std::uint8_t> index(w * h, 0); // file row y at index[y * w], the bottom row first
    std::size_t x = 0, y = 0, i = offBits;
    auto put = [&](std::uint8_t v) {
        if (x < w && y < h) index[y * w + x] = v;
        ++x;
    };
    while (i + 1 < size && y < h) {
        const unsigned count = p[i], code = p[i + 1];
        i += 2;
        if (count != 0) { // a run of `count` pixels
            for (unsigned k = 0; k < count && x < w; ++k)
                put(rle4 ? static_cast<std::uint8_t>(k % 2 ? code & 15 : code >> 4)
                         : static_cast<std::uint8_t>(code));
            continue;
        }
        if (code == 0) { // end of line
            x = 0;
            ++y;
        } else if (code == 1) { // end of bitmap
            break;
        } else if (code == 2) { // delta: right and up
            if (i + 1 >= size) throw EInvalidGraphic("The bitmap file is truncated");
            x += p[i];
            y += p[i + 1];
            i += 2;
        } else { // `code` pixels given one by one, padded to an even number of bytes
            const std::size_t bytes = rle4 ? (code + 1) / 2 : code;
            if (i + bytes > size) throw EInvalidGraphic("The bitmap file is truncated");
            for (unsigned k = 0; k < code && x < w; ++k)
                put(rle4 ? static_cast<std::uint8_t>(k % 2 ? p[i + k / 2] & 15 : p[i + k / 2] >> 4)
                         : p[i + k]);
            i += bytes + (bytes & 1);
        }
    }

    TFastDIB out;
    out.SetSize(width, height, 24, 0);
    for (std::size_t fy = 0; fy < h; ++fy) {
        const std::uint8_t* src = &index[fy * w];
        TFColor* row = out.Pixels24[static_cast<int>(h - 1 - fy)];
        for (std::size_t fx = 0; fx < w; ++fx) row[fx] = palette[src[fx]];
    }
    AssignDIB(dib, out);
}

// ---- the registry of picture classes

struct FileFormat {
    QString description;
    TGraphicFactory factory;
};

struct PictureClasses {
    std::map<QString, FileFormat> byExtension;               // lower-case extension
    std::vector<std::pair<QString, TGraphicFactory>> byMime; // registration order
    PictureClasses() {
        auto bmp = [] { return std::make_unique<TBitmap>(); };
        auto jpeg = [] { return std::make_unique<TJPEGImage>(); };
        byExtension[QStringLiteral("bmp")] = {QStringLiteral("Bitmaps"), bmp};
        byExtension[QStringLiteral("jpg")] = {QStringLiteral("JPEG Image File"), jpeg};
        byExtension[QStringLiteral("jpeg")] = {QStringLiteral("JPEG Image File"), jpeg};
        // The GIF codec's picture class, under its extension and its clipboard format.
        auto gif = [] { return std::make_unique<TGIFGraphic>(); };
        byExtension[QStringLiteral("gif")] = {QStringLiteral("GIF Image"), gif};
        byMime.emplace_back(TPicture::ClipboardMimeType(QStringLiteral("GIF Image")), gif);
    }
};

PictureClasses& registry() {
    static PictureClasses r;
    return r;
}

QString normalExtension(QString ext) {
    if (ext.startsWith(u'.')) ext.remove(0, 1);
    return ext.toLower();
}

bool isBitmapMime(const QString& format) {
    return format == QStringLiteral("application/x-qt-image") || format.startsWith(QStringLiteral("image/"));
}

// The largest picture file read: far above any picture within the size limits (an uncompressed
// 32-bit BMP of 64 Mi pixels is 256 MiB), so a bigger file is not read into memory at all.
constexpr qint64 MaxPictureFileSize = 1024LL * 1024 * 1024;

// A reason as it follows a colon in a sentence: "Permission denied" becomes "permission denied"
// (an abbreviation such as "BMP" keeps its capitals).
QString inSentence(QString reason) {
    if (reason.size() > 1 && reason[0].isUpper() && reason[1].isLower()) reason[0] = reason[0].toLower();
    return reason;
}

QByteArray readFile(const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Cannot open %1: %2").arg(fileName, inSentence(f.errorString())).toStdString());
    if (f.size() > MaxPictureFileSize) throw EInvalidGraphic("The file is too large to be a picture");
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw std::runtime_error(
            QStringLiteral("Cannot read %1: %2").arg(fileName, inSentence(f.errorString())).toStdString());
    return data;
}

// The first bytes every file of a built-in format starts with, and the format's name for messages.
struct Signature {
    const char* extension;
    QByteArray magic;
    const char* name;
};
const Signature Signatures[] = {{"bmp", QByteArray("BM"), "bitmap"},
                                {"jpg", QByteArray("\xFF\xD8\xFF"), "JPEG"},
                                {"jpeg", QByteArray("\xFF\xD8\xFF"), "JPEG"},
                                {"gif", QByteArray("GIF8"), "GIF"}};

// Runs a decoder step; any failure but a lack of memory becomes a picture error with the same text
// (the GIF codec has an exception class of its own), so callers tell bad pictures by one type.
template <class F> void asPictureError(F&& f) {
    try {
        f();
    } catch (const EInvalidGraphic&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        throw EInvalidGraphic(e.what());
    }
}

const std::uint8_t* bytes(const QByteArray& a) {
    return reinterpret_cast<const std::uint8_t*>(a.constData());
}

QClipboard* clipboard() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::runtime_error("The clipboard needs the application to run");
    return QGuiApplication::clipboard();
}

} // namespace

// ---- TGraphic

void TGraphic::LoadFromFile(const QString& fileName) {
    const QByteArray data = readFile(fileName);
    LoadFromMemory(bytes(data), static_cast<std::size_t>(data.size()));
}

void TGraphic::SaveToFile(const QString& fileName) {
    const QByteArray data = SaveToMemory();
    QString reason;
    if (!WriteFileAtomically(fileName, data, &reason))
        throw std::runtime_error(
            QStringLiteral("Cannot write %1: %2").arg(fileName, inSentence(reason)).toStdString());
}

void TGraphic::SaveToClipboardFormat(QMimeData& data) {
    TFastDIB dib;
    AssignTo(dib);
    data.setImageData(toQImage(dib));
}

void TGraphic::LoadFromClipboardFormat(const QMimeData& data, const QString& format) {
    if (!isBitmapMime(format) || !data.hasImage()) throw EInvalidGraphic("Unsupported clipboard format");
    TFastDIB dib;
    fromQImage(qvariant_cast<QImage>(data.imageData()), dib);
    Assign(dib);
}

// ---- TBitmap

void TBitmap::LoadFromMemory(const std::uint8_t* data, std::size_t size) {
    if (!data) throw EInvalidGraphic("Not a valid bitmap file");
    checkBmpHeader(data, size);
    const std::uint32_t compression = le32(data + 14) >= 40 ? le32(data + 30) : 0;
    if (compression == 1 || compression == 2) { // run-length coded: expanded here onto defined pixels
        TFastDIB dib;
        decodeRleBitmap(data, size, dib);
        AssignDIB(dib_, dib);
        return;
    }
    const QByteArray raw =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer;
    buffer.setData(raw);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAutoTransform(false);
    // Our own limit applies; Qt's default (256 MB) would refuse the largest pictures we accept.
    reader.setAllocationLimit(1024);
    QImage img; // the size was checked with the header
    if (!reader.read(&img) || img.isNull())
        throw EInvalidGraphic(("Not a valid bitmap file: " + reader.errorString()).toStdString());
    TFastDIB dib;
    fromQImage(img, dib);
    AssignDIB(dib_, dib);
}

QByteArray TBitmap::SaveToMemory() {
    if (dib_.Empty()) throw EInvalidGraphic("Cannot save an empty picture");
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(toQImage(dib_))) throw EInvalidGraphic(writer.errorString().toStdString());
    return out;
}

void TBitmap::LoadFromClipboardFormat(const QMimeData& data, const QString& format) {
    TGraphic::LoadFromClipboardFormat(data, format);
}

// ---- naming rules

TSaveFormat SaveFormatFromName(const QString& fileName) {
    const QString name = QFileInfo(fileName).fileName().toUpper();
    if (name.contains(QStringLiteral(".GIF"))) return TSaveFormat::GIF;
    if (name.contains(QStringLiteral(".BMP"))) return TSaveFormat::BMP;
    return TSaveFormat::JPEG;
}

// ---- TPicture

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::RegisterFileFormat(const QString& extension, const QString& description,
                                  TGraphicFactory factory) {
    registry().byExtension[normalExtension(extension)] = {description, std::move(factory)};
}

QString TPicture::ClipboardMimeType(const QString& formatName) {
    // The naming Qt uses for a named (registered) clipboard format, understood by Qt programs on
    // every platform.
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(formatName);
}

QString TPicture::RegisterClipboardFormat(const QString& formatName, TGraphicFactory factory) {
    const QString mime = ClipboardMimeType(formatName);
    auto& list = registry().byMime;
    std::erase_if(list, [&](const auto& e) { return e.first == mime; });
    list.emplace_back(mime, std::move(factory));
    return mime;
}

void TPicture::UnregisterFileFormat(const QString& extension) {
    registry().byExtension.erase(normalExtension(extension));
}

bool TPicture::FileFormatRegistered(const QString& extension) {
    return registry().byExtension.count(normalExtension(extension)) != 0;
}

QString TPicture::FileFormatDescription(const QString& extension) {
    const auto it = registry().byExtension.find(normalExtension(extension));
    return it == registry().byExtension.end() ? QString() : it->second.description;
}

std::unique_ptr<TGraphic> TPicture::CreateForFile(const QString& fileName) {
    const QString ext = normalExtension(QFileInfo(fileName).suffix());
    const auto it = registry().byExtension.find(ext);
    if (it != registry().byExtension.end()) return it->second.factory();
    throw EInvalidGraphic(QStringLiteral("Unknown picture file extension (.%1)").arg(ext).toStdString());
}

void TPicture::LoadFromFile(const QString& fileName) {
    std::unique_ptr<TGraphic> g = CreateForFile(fileName);
    const QByteArray data = readFile(fileName);
    // The messages name the file and say what is wrong with it in plain words.
    const QString name = QFileInfo(fileName).fileName();
    const QString ext = normalExtension(QFileInfo(fileName).suffix());
    for (const Signature& sig : Signatures)
        if (ext == QLatin1String(sig.extension) && !data.startsWith(sig.magic))
            throw EInvalidGraphic(
                QStringLiteral("%1 is not a %2 picture").arg(name, QLatin1String(sig.name)).toStdString());
    try {
        asPictureError([&] { g->LoadFromMemory(bytes(data), static_cast<std::size_t>(data.size())); });
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(QStringLiteral("%1 cannot be read: %2")
                                  .arg(name, inSentence(QString::fromUtf8(e.what())))
                                  .toStdString());
    }
    graphic_ = std::move(g);
}

void TPicture::SaveToFile(const QString& fileName) {
    if (graphic_) graphic_->SaveToFile(fileName);
}

bool TPicture::ClipboardHasPicture() {
    const QMimeData* data = clipboard()->mimeData();
    if (!data) return false;
    if (data->hasImage()) return true;
    for (const auto& [mime, factory] : registry().byMime)
        if (data->hasFormat(mime)) return true;
    return false;
}

bool TPicture::LoadFromClipboard() {
    const QMimeData* data = clipboard()->mimeData();
    if (!data) return false;
    for (const QString& format : data->formats()) {
        std::unique_ptr<TGraphic> g;
        for (const auto& [mime, factory] : registry().byMime)
            if (mime == format) g = factory();
        if (!g && isBitmapMime(format) && data->hasImage()) g = std::make_unique<TBitmap>();
        if (!g) continue;
        g->LoadFromClipboardFormat(*data, format);
        graphic_ = std::move(g);
        return true;
    }
    return false;
}

void TPicture::SaveToClipboard() {
    if (!graphic_ || graphic_->Empty()) return;
    auto data = std::make_unique<QMimeData>();
    graphic_->SaveToClipboardFormat(*data);
    clipboard()->setMimeData(data.release()); // the clipboard takes ownership
}

// ---- the helpers of the file and clipboard commands

void LoadPictureToDIB(const QString& fileName, TFastDIB& dib, QStringList* warnings) {
    TPicture pic;
    pic.LoadFromFile(fileName);
    TFastDIB out;
    asPictureError([&] { pic.Graphic()->AssignTo(out); });
    AssignDIB(dib, out);
    if (warnings) *warnings = pic.Graphic()->Warnings();
}

void LoadPictureToDIB(const std::uint8_t* data, std::size_t size, const QString& extension, TFastDIB& dib) {
    std::unique_ptr<TGraphic> g =
        TPicture::CreateForFile(QStringLiteral("picture.") + normalExtension(extension));
    TFastDIB out;
    asPictureError([&] {
        g->LoadFromMemory(data, size);
        g->AssignTo(out);
    });
    AssignDIB(dib, out);
}

void SavePictureFromDIB(const TFastDIB& dib, const QString& fileName, int jpegQuality) {
    std::unique_ptr<TGraphic> g;
    switch (SaveFormatFromName(fileName)) {
    case TSaveFormat::BMP:
        g = std::make_unique<TBitmap>();
        break;
    case TSaveFormat::JPEG: {
        auto j = std::make_unique<TJPEGImage>();
        j->SetCompressionQuality(jpegQuality);
        g = std::move(j);
        break;
    }
    case TSaveFormat::GIF:
        // The road of Save As: JPEG at quality 100, 8 bits again, one frame, optimised colour map.
        MakeGIFForSave(dib)->SaveToFile(fileName);
        return;
    }
    g->Assign(dib);
    g->SaveToFile(fileName);
}

void CopyDIBToClipboard(const TFastDIB& dib) {
    if (dib.Empty()) return;
    clipboard()->setImage(toQImage(dib));
}

bool ClipboardHasBitmap() {
    const QMimeData* data = clipboard()->mimeData();
    return data && data->hasImage();
}

bool PasteDIBFromClipboard(TFastDIB& dib) {
    if (!ClipboardHasBitmap()) return false;
    const QImage img = clipboard()->image();
    if (img.isNull()) return false;
    fromQImage(img, dib);
    return true;
}
