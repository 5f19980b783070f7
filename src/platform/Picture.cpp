#include "platform/Picture.h"

#include "platform/BMPFile.h"
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
#include <QScreen>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

// ---- sizes and image copies

namespace {
std::function<int()>& screenDepthHook() {
    static std::function<int()> hook;
    return hook;
}
// Megabytes as people count them on a memory label: 10^6 bytes, to the nearest.
QString megabytes(std::int64_t bytes) {
    return QString::number((bytes + 500000) / 1000000);
}
} // namespace

int ScreenBitsPerPixel() {
    if (screenDepthHook()) return screenDepthHook()();
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (const QScreen* screen = QGuiApplication::primaryScreen()) return screen->depth();
    return 24;
}

void SetScreenDepthHook(std::function<int()> hook) {
    screenDepthHook() = std::move(hook);
}

void CheckPictureSize(std::int64_t width, std::int64_t height, int bytesPerPixel) {
    if (width <= 0 || height <= 0)
        throw EInvalidGraphic(
            QStringLiteral("Invalid picture size %1 x %2").arg(width).arg(height).toStdString());
    const PictureSizeLimits& l = PictureLimits();
    if (!PictureSizeFits(width, height)) {
        const QString most =
            l.maxPixels >= std::int64_t{l.maxSide} * l.maxSide
                ? QStringLiteral("%1 x %1 pixels").arg(l.maxSide)
                : QStringLiteral("%1 pixels a side and %2 pixels in all").arg(l.maxSide).arg(l.maxPixels);
        throw EPictureTooLarge(QStringLiteral("The picture is too large: %1 x %2 pixels (at most %3)")
                                   .arg(width)
                                   .arg(height)
                                   .arg(most)
                                   .toStdString());
    }
    // Small pictures always fit; the system is asked only where it matters.
    const std::int64_t needed = width * height * std::max(bytesPerPixel, 1);
    if (needed < 64LL * 1000 * 1000) return;
    const std::int64_t free = FreeMemoryBytes();
    if (free >= 0 && needed > free)
        throw EPictureTooLarge(QStringLiteral("The picture is too large for the free memory: %1 x %2 pixels "
                                              "needs %3 MB; %4 MB are free")
                                   .arg(width)
                                   .arg(height)
                                   .arg(megabytes(needed), megabytes(free))
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

const TFastDIB& SavableDIB24(const TFastDIB& src, TFastDIB& scratch) {
    if (src.Empty() || src.Width <= 0 || src.Height <= 0) throw EInvalidGraphic("Cannot save an empty picture");
    if (src.Bpp == 24) return src;
    AssignDIB24(scratch, src);
    return scratch;
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
    dib.Swap(out);
}

// Pictures with alpha are laid over white, as a new bitmap's canvas is: `img` at 24 bits into `dib`.
void fromQImageOverWhite(const QImage& img, TFastDIB& dib) {
    if (!img.hasAlphaChannel()) {
        fromQImage(img, dib);
        return;
    }
    CheckPictureSize(img.width(), img.height());
    const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull()) throw std::bad_alloc();
    TFastDIB out;
    out.SetSize(argb.width(), argb.height(), 24, 0);
    const int w = argb.width();
    // c * a / 255 + 255 - a, rounded: the colour seen through its alpha over white.
    auto over = [](int c, int a) { return static_cast<std::uint8_t>((c * a + 255 * (255 - a) + 127) / 255); };
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        TFColor* d = out.Pixels24[y];
        for (int x = 0; x < w; ++x) {
            const int a = qAlpha(s[x]);
            d[x] = TFColor{over(qBlue(s[x]), a), over(qGreen(s[x]), a), over(qRed(s[x]), a)};
        }
    }
    dib.Swap(out);
}

} // namespace

namespace {

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
        byExtension[QStringLiteral("jfif")] = {QStringLiteral("JPEG Image File"), jpeg};
        // The GIF codec's picture class, under its extension and its clipboard format.
        auto gif = [] { return std::make_unique<TGIFGraphic>(); };
        byExtension[QStringLiteral("gif")] = {QStringLiteral("GIF Image"), gif};
        byMime.emplace_back(TPicture::ClipboardMimeType(QStringLiteral("GIF Image")), gif);
        // Every other type an installed Qt reader knows; JPEG and GIF never go to Qt's plugins.
        for (const QByteArray& format : QImageReader::supportedImageFormats()) {
            const QString ext = QString::fromLatin1(format).toLower();
            if (byExtension.count(ext) || isMetafile(ext)) continue;
            auto qt = [format] { return std::make_unique<TQtImage>(format); };
            byExtension[ext] = {ext.toUpper(), qt};
            qtExtensions << ext;
        }
    }
    QStringList qtExtensions;

    static bool isMetafile(const QString& ext) {
        return ext == QLatin1String("wmf") || ext == QLatin1String("emf") || ext == QLatin1String("wmz") ||
               ext == QLatin1String("emz");
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

// The largest picture file read: an uncompressed 32-bit BMP of the largest picture and its headers,
// so a bigger file is not read into memory at all.
qint64 maxPictureFileSize() {
    return PictureLimits().maxPixels * 4 + 1024 * 1024;
}

// A picture file's bytes: mapped into memory where the system can (a large picture is not copied
// first), read otherwise.
class FileBytes {
public:
    explicit FileBytes(const QString& fileName) : file_(fileName) {
        if (!file_.open(QIODevice::ReadOnly))
            throw std::runtime_error(QStringLiteral("Cannot open %1: %2")
                                         .arg(fileName, InSentence(file_.errorString()))
                                         .toStdString());
        if (file_.size() > maxPictureFileSize())
            throw EInvalidGraphic("The file is too large to be a picture");
        if (file_.size() > 0) map_ = file_.map(0, file_.size());
        if (map_) return;
        copy_ = file_.readAll();
        if (file_.error() != QFileDevice::NoError)
            throw std::runtime_error(QStringLiteral("Cannot read %1: %2")
                                         .arg(fileName, InSentence(file_.errorString()))
                                         .toStdString());
    }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    const std::uint8_t* data() const {
        return map_ ? map_ : reinterpret_cast<const std::uint8_t*>(copy_.constData());
    }
    std::size_t size() const {
        return map_ ? static_cast<std::size_t>(file_.size()) : std::size_t(copy_.size());
    }
    bool startsWith(const QByteArray& magic) const {
        return size() >= std::size_t(magic.size()) &&
               std::memcmp(data(), magic.constData(), std::size_t(magic.size())) == 0;
    }

private:
    QFile file_; // unmaps when it goes
    uchar* map_ = nullptr;
    QByteArray copy_;
};

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

QClipboard* clipboard() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::runtime_error("The clipboard needs the application to run");
    return QGuiApplication::clipboard();
}

} // namespace

// ---- TGraphic

void TGraphic::LoadFromFile(const QString& fileName) {
    const FileBytes data(fileName);
    LoadFromMemory(data.data(), data.size());
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
    TFastDIB dib;
    const bool whole = DecodeBMP(data, size, dib);
    dib_.Swap(dib);
    incomplete_ = !whole;
}

void TBitmap::MoveTo(TFastDIB& dib) {
    if (dib_.Bpp != 24) {
        AssignTo(dib);
        return;
    }
    TFastDIB empty;
    dib.Swap(dib_);
    dib_.Swap(empty);
}

QString TBitmap::IncompleteText() const {
    return incomplete_ ? QStringLiteral("the file ends before the picture does") : QString();
}

void TBitmap::LoadFromClipboardFormat(const QMimeData& data, const QString& format) {
    TGraphic::LoadFromClipboardFormat(data, format);
}

// ---- TQtImage

void TQtImage::LoadFromMemory(const std::uint8_t* data, std::size_t size) {
    if (!data || size == 0) throw EInvalidGraphic("The file is empty");
    const QByteArray raw =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer;
    buffer.setData(raw);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format_);
    reader.setAutoDetectImageFormat(false);
    // The size the file declares is checked before anything is decoded.
    const QSize declared = reader.size();
    if (declared.isValid()) CheckPictureSize(declared.width(), declared.height(), 4);
    // Our own limit applies; Qt's default (256 MB) would refuse the largest pictures we accept.
    reader.setAllocationLimit(0);
    QImage img;
    if (!reader.read(&img) || img.isNull())
        throw EInvalidGraphic(
            QStringLiteral("Not a valid %1 picture: %2")
                .arg(QString::fromLatin1(format_).toUpper(), InSentence(reader.errorString()))
                .toStdString());
    CheckPictureSize(img.width(), img.height());
    image_ = std::move(img);
}

void TQtImage::AssignTo(TFastDIB& dib) {
    if (image_.isNull()) throw EInvalidGraphic("The picture is empty");
    fromQImageOverWhite(image_, dib);
}

void TQtImage::Assign(const TFastDIB& dib) {
    image_ = toQImage(dib);
}

QStringList QtPictureExtensions() {
    return registry().qtExtensions;
}

QString OpenPictureFilterWithAllTypes(const QString& filter) {
    QStringList all = {QStringLiteral("*.bmp"), QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"),
                       QStringLiteral("*.gif")};
    const QStringList extra = QtPictureExtensions();
    for (const QString& ext : extra) all << QStringLiteral("*.") + ext;
    QString out = QStringLiteral("All pictures|") + all.join(u';') + u'|' + filter;
    const QString named = filter.toLower();
    for (const QString& ext : extra)
        if (!named.contains(QStringLiteral("*.") + ext + u';') && !named.endsWith(QStringLiteral("*.") + ext))
            out += QStringLiteral("|%1 (*.%2)|*.%2").arg(ext.toUpper(), ext);
    return out;
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
    if (PictureClasses::isMetafile(ext))
        throw EInvalidGraphic(
            QStringLiteral("Metafiles (.%1) cannot be opened: this program has no reader "
                           "for them. Save the picture as PNG, BMP or JPEG in another program "
                           "first.")
                .arg(ext)
                .toStdString());
    throw EInvalidGraphic(QStringLiteral("Unknown picture file extension (.%1)").arg(ext).toStdString());
}

void TPicture::LoadFromFile(const QString& fileName) {
    std::unique_ptr<TGraphic> g = CreateForFile(fileName);
    const FileBytes data(fileName);
    // The messages name the file and say what is wrong with it in plain words.
    const QString name = QFileInfo(fileName).fileName();
    const QString ext = normalExtension(QFileInfo(fileName).suffix());
    for (const Signature& sig : Signatures)
        if (ext == QLatin1String(sig.extension) && !data.startsWith(sig.magic))
            throw EInvalidGraphic(
                QStringLiteral("%1 is not a %2 picture").arg(name, QLatin1String(sig.name)).toStdString());
    try {
        asPictureError([&] { g->LoadFromMemory(data.data(), data.size()); });
    } catch (const EInvalidGraphic& e) {
        const std::string text = QStringLiteral("%1 cannot be read: %2")
                                     .arg(name, InSentence(QString::fromUtf8(e.what())))
                                     .toStdString();
        if (dynamic_cast<const EPictureTooLarge*>(&e)) throw EPictureTooLarge(text);
        throw EInvalidGraphic(text);
    }
    graphic_ = std::move(g);
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
    asPictureError([&] { pic.Graphic()->MoveTo(out); });
    dib.Swap(out);
    if (!warnings) return;
    // What happened to this file in plain words first, the decoder's own lines after it.
    *warnings = pic.Graphic()->Warnings();
    const QString incomplete = pic.Graphic()->IncompleteText();
    if (!incomplete.isEmpty())
        warnings->prepend(
            QStringLiteral("%1 is incomplete: %2").arg(QFileInfo(fileName).fileName(), incomplete));
}

void LoadPictureToDIB(const std::uint8_t* data, std::size_t size, const QString& extension, TFastDIB& dib) {
    std::unique_ptr<TGraphic> g =
        TPicture::CreateForFile(QStringLiteral("picture.") + normalExtension(extension));
    TFastDIB out;
    asPictureError([&] {
        g->LoadFromMemory(data, size);
        g->MoveTo(out);
    });
    dib.Swap(out);
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
