#include "platform/Picture.h"

#include "image/WorkControl.h"
#include "platform/BMPFile.h"
#include "platform/ByteOrder.h"
#include "platform/GIFGraphic.h"
#include "platform/JPEGImage.h"
#include "platform/PictureReaders.h"
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
#include <cerrno>
#include <climits>
#include <cstring>
#include <map>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

// ---- sizes and image copies

namespace {
std::function<int()>& screenDepthHook() {
    static std::function<int()> hook;
    return hook;
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
    // Sizes are checked before the product is formed, so it cannot overflow.
    CheckPictureMemory(width, height,
                       PictureSizeFits(width, height) ? width * height * std::max(bytesPerPixel, 1) : 0);
}

void CheckPictureMemory(std::int64_t width, std::int64_t height, std::int64_t peakBytes) {
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
    const std::int64_t needed = peakBytes;
    if (needed < 64LL * 1000 * 1000) return;
    const std::int64_t free = FreeMemoryBytes();
    if (free >= 0 && needed > free)
        throw EPictureTooLarge(QStringLiteral("The picture is too large for the free memory: %1 x %2 pixels "
                                              "needs %3 MB; %4 MB are free")
                                   .arg(width)
                                   .arg(height)
                                   .arg(MegabytesText(needed), MegabytesText(free))
                                   .toStdString());
}

int QtFormatBytesPerPixel(QImage::Format format) {
    if (format == QImage::Format_Invalid) return 4;
    return std::max((QImage::toPixelFormat(format).bitsPerPixel() + 7) / 8, 1);
}

namespace {

void applyAllocationLimit(QSize declared, int bytesPerPixel) {
    // A declared picture at its depth, at least 8 bytes a pixel (the widest Qt decodes to but float),
    // so a reader whose picture proves larger than its file declared is stopped; at least 16 MB for
    // what small files hold. Without a declared size, the largest picture.
    std::int64_t bytes = PictureLimits().maxPixels * std::max(bytesPerPixel, 1);
    if (declared.isValid() && PictureSizeFits(declared.width(), declared.height()))
        bytes = std::max(std::int64_t{declared.width()} * declared.height() * std::max(bytesPerPixel, 8),
                         std::int64_t{16} << 20);
    // Qt counts the image a reader allocates in megabytes of 2^20 bytes.
    const std::int64_t mb = (bytes + (std::int64_t{1} << 20) - 1) >> 20;
    QImageReader::setAllocationLimit(static_cast<int>(std::clamp<std::int64_t>(mb, 1, INT_MAX)));
}

// The most bytes the conversion of a picture read through Qt takes beside the two pictures: it
// converts in bands of at most 1 MB.
constexpr std::int64_t QtConvertBandBytes = std::int64_t{2} << 20;

// What a read through Qt takes at its peak: the picture the reader decodes at `bytesPerPixel`, the
// file's bytes while it decodes, then the 24-bit picture made from it band by band.
std::int64_t qtReadPeakBytes(std::int64_t width, std::int64_t height, int bytesPerPixel,
                             std::int64_t fileBytes) {
    const std::int64_t pixels = width * height;
    return pixels * bytesPerPixel + std::max(fileBytes, pixels * 3) + QtConvertBandBytes;
}

} // namespace

TReadAllocationLimit::TReadAllocationLimit(QSize declared, int bytesPerPixel) {
    applyAllocationLimit(declared, bytesPerPixel);
}

TReadAllocationLimit::~TReadAllocationLimit() {
    applyAllocationLimit({}, 4);
}

// ---- the bytes a picture is read from

namespace {

std::function<void(std::uint64_t)>& readHook() {
    static std::function<void(std::uint64_t)> hook;
    return hook;
}

// The most a file source reads in one call: a stop is taken within a few milliseconds.
constexpr std::size_t ReadChunk = std::size_t{8} << 20;

} // namespace

void SetPictureReadHook(std::function<void(std::uint64_t offset)> hook) {
    readHook() = std::move(hook);
}

std::size_t TPictureSource::ReadPieces(std::uint64_t offset, const Piece* pieces, std::size_t count) {
    std::size_t total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t got = ReadAt(offset + total, pieces[i].data, pieces[i].size);
        total += got;
        if (got < pieces[i].size) break;
    }
    return total;
}

QByteArray TPictureSource::ReadAll() {
    const std::uint64_t size = Size();
    if (size > std::uint64_t(std::numeric_limits<qsizetype>::max())) throw std::bad_alloc();
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    bytes.resize(static_cast<qsizetype>(ReadAt(0, bytes.data(), static_cast<std::size_t>(size))));
    return bytes;
}

std::size_t TMemorySource::ReadAt(std::uint64_t offset, void* buffer, std::size_t n) {
    if (offset >= size_) return 0;
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - offset));
    std::memcpy(buffer, data_ + offset, count);
    return count;
}

TPictureFile::TPictureFile(const QString& fileName) : name_(fileName) {
    auto fail = [&](const char* what) {
        const QString why = InSentence(QString::fromLocal8Bit(std::strerror(errno)));
        if (fd_ >= 0) ::close(fd_);
        throw std::runtime_error(QStringLiteral("%1 %2: %3").arg(QLatin1String(what), fileName, why).toStdString());
    };
    fd_ = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) fail("Cannot open");
    struct stat st {};
    if (::fstat(fd_, &st) != 0) fail("Cannot open");
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        fail("Cannot open");
    }
    size_ = S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    opened_ = stamp();
}

TPictureFile::Stamp TPictureFile::stamp() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return {-1};
    return {st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
}

bool TPictureFile::ChangedSinceOpened() const {
    return !(stamp() == opened_);
}

TPictureFile::~TPictureFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::size_t TPictureFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t n) {
    const Piece piece{buffer, n};
    return ReadPieces(offset, &piece, 1);
}

std::size_t TPictureFile::ReadPieces(std::uint64_t offset, const Piece* pieces, std::size_t count) {
    // Only the bytes the file had when it was opened are read: a file that grows meanwhile is read
    // as it was, one that shrinks ends early.
    std::size_t total = 0, index = 0, within = 0; // the piece being filled and the bytes it has
    iovec vec[IOV_MAX];
    while (index < count && offset + total < size_) {
        if (readHook()) readHook()(offset + total);
        WorkPoint();
        // One chunk of the pieces left, no further than the file's end.
        std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(ReadChunk, size_ - offset - total));
        int n = 0;
        for (std::size_t i = index; i < count && want > 0 && n < IOV_MAX; ++i) {
            const std::size_t skip = i == index ? within : 0;
            const std::size_t len = std::min(pieces[i].size - skip, want);
            if (len == 0) continue;
            vec[n++] = {static_cast<std::uint8_t*>(pieces[i].data) + skip, len};
            want -= len;
        }
        if (n == 0) break;
        const ssize_t got = ::preadv(fd_, vec, n, static_cast<off_t>(offset + total));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error(QStringLiteral("Cannot read %1: %2")
                                         .arg(name_, InSentence(QString::fromLocal8Bit(std::strerror(errno))))
                                         .toStdString());
        }
        if (got == 0) break; // the file became shorter
        total += static_cast<std::size_t>(got);
        for (std::size_t left = static_cast<std::size_t>(got); left > 0 && index < count;) {
            const std::size_t room = pieces[index].size - within;
            if (left < room) {
                within += left;
                left = 0;
            } else {
                left -= room;
                ++index;
                within = 0;
            }
        }
        while (index < count && pieces[index].size == 0) ++index;
    }
    return total;
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

// `img` at 24 bits per pixel into `dib`, the memory checked first; with `overWhite`, pixels with alpha
// are laid over white, as a new bitmap's canvas is. Rows go through a scratch of at most 1 MB in the
// format they are read in, so the peak is the two pictures.
void toDIB24(const QImage& img, TFastDIB& dib, bool overWhite) {
    const int w = img.width(), h = img.height();
    CheckPictureMemory(w, h, std::int64_t{w} * h * 3 + QtConvertBandBytes);
    const bool alpha = overWhite && img.hasAlphaChannel();
    const QImage::Format want = alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888;
    TFastDIB out;
    out.SetSize(w, h, 24, 0);
    if (out.Empty()) throw std::bad_alloc();
    const bool direct = img.format() == want;
    const int bandRows = direct ? h : std::max(1, (1 << 20) / (w * 4));
    const QList<QRgb> table = img.colorTable();
    // c * a / 255 + 255 - a, rounded: the colour seen through its alpha over white.
    auto over = [](int c, int a) { return static_cast<std::uint8_t>((c * a + 255 * (255 - a) + 127) / 255); };
    for (int y0 = 0; y0 < h; y0 += bandRows) {
        const int n = std::min(bandRows, h - y0);
        QImage band;
        if (direct) {
            band = img;
        } else {
            QImage rows(img.constScanLine(y0), w, n, img.bytesPerLine(), img.format());
            if (!table.isEmpty()) rows.setColorTable(table);
            band = rows.convertToFormat(want);
            if (band.isNull()) throw std::bad_alloc();
        }
        for (int k = 0; k < n; ++k) {
            const uchar* s = band.constScanLine(direct ? y0 + k : k);
            if (!alpha) {
                std::memcpy(out.Scanlines[y0 + k], s, static_cast<std::size_t>(w) * 3);
                continue;
            }
            const QRgb* px = reinterpret_cast<const QRgb*>(s);
            TFColor* d = out.Pixels24[y0 + k];
            for (int x = 0; x < w; ++x) {
                const int a = qAlpha(px[x]);
                d[x] = TFColor{over(qBlue(px[x]), a), over(qGreen(px[x]), a), over(qRed(px[x]), a)};
            }
        }
    }
    dib.Swap(out);
}

void fromQImage(const QImage& img, TFastDIB& dib) {
    toDIB24(img, dib, false);
}

void fromQImageOverWhite(const QImage& img, TFastDIB& dib) {
    toDIB24(img, dib, true);
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

// The first bytes read to tell a file's type and its declared size.
constexpr qsizetype HeadBytes = 64 * 1024;

bool qtReads(const QString& ext, const QByteArray& head) {
    QBuffer buffer;
    buffer.setData(head);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, ext.toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.canRead();
}

// Whether the first bytes fit the type of the extension (a type whose bytes do not tell it fits).
bool headFits(const QString& ext, const QByteArray& head) {
    const TPictureReader* r = FindPictureReader(ext.toLatin1());
    if (r && r->magic) return head.startsWith(r->magic);
    if (!registry().qtExtensions.contains(ext) || (r && !r->marked)) return true;
    return qtReads(ext, head);
}

// The registered type the first bytes plainly show, as its extension, among the readers a file may
// reach by its content; empty when they show none.
QString typeByContent(const QByteArray& head) {
    for (const TPictureReader* r = PictureReadersBegin(); r != PictureReadersEnd(); ++r) {
        const QString ext = QLatin1String(r->format);
        if (!r->byContent || !registry().byExtension.count(ext)) continue;
        if (r->magic ? head.startsWith(r->magic)
                     : registry().qtExtensions.contains(ext) && qtReads(ext, head))
            return ext;
    }
    return {};
}

// The size of the picture the first bytes declare (invalid when they do not say).
QSize declaredSize(const QByteArray& head) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(head.constData());
    const std::size_t n = static_cast<std::size_t>(head.size());
    if (n >= 26 && p[0] == 'B' && p[1] == 'M') {
        if (ReadLE32(p + 14) == 12) return QSize(int(ReadLE16(p + 18)), int(ReadLE16(p + 20)));
        const auto h = static_cast<std::int32_t>(ReadLE32(p + 22));
        return QSize(static_cast<std::int32_t>(ReadLE32(p + 18)), h == INT_MIN ? 0 : std::abs(h));
    }
    if (n >= 10 && std::memcmp(p, "GIF", 3) == 0) return QSize(int(ReadLE16(p + 6)), int(ReadLE16(p + 8)));
    QBuffer buffer;
    buffer.setData(head);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).size();
}

// The message for a lack of memory while `name` was read: its picture's size and the memory the
// picture takes at 24 bits per pixel.
EPictureTooLarge outOfMemory(const QString& name, QSize size) {
    if (!size.isValid() || size.isEmpty())
        return EPictureTooLarge(
            QStringLiteral("%1 cannot be read: there is not enough memory for its picture").arg(name).toStdString());
    return EPictureTooLarge(QStringLiteral("%1 cannot be read: there is not enough memory for its picture of "
                                           "%2 x %3 pixels, which needs %4 MB")
                                .arg(name)
                                .arg(size.width())
                                .arg(size.height())
                                .arg(MegabytesText(std::int64_t{size.width()} * size.height() * 3))
                                .toStdString());
}

// Runs a decoder step; any failure but a lack of memory or a stop becomes a picture error with the
// same text (the GIF codec has an exception class of its own), so callers tell bad pictures by one type.
template <class F> void asPictureError(F&& f) {
    try {
        f();
    } catch (const EInvalidGraphic&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const EWorkStopped&) {
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
    TPictureFile file(fileName);
    if (file.Size() > std::uint64_t(maxPictureFileSize()))
        throw EInvalidGraphic("The file is too large to be a picture");
    LoadFromSource(file);
}

void TGraphic::LoadFromSource(TPictureSource& source) {
    const QByteArray bytes = source.ReadAll();
    LoadFromMemory(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
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

void TBitmap::LoadFromSource(TPictureSource& source) {
    if (!PlainBitmap()) {
        TGraphic::LoadFromSource(source);
        return;
    }
    TFastDIB dib;
    const bool whole = DecodeBMP(source, dib);
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
    // The file's structure first (Qt's reader may decode chunks as soon as it is asked for the size),
    // then the size it declares, Qt's and the largest picture inside, against the limits and the memory
    // the whole read takes at its peak.
    const TDeclaredPicture inner = CheckBeforeDecoding(format_, data, size);
    QImageReader reader(&buffer, format_);
    reader.setAutoDetectImageFormat(false);
    QSize declared = reader.size();
    if (inner.size.isValid()) declared = declared.isValid() ? declared.expandedTo(inner.size) : inner.size;
    const int depth = QtFormatBytesPerPixel(reader.imageFormat());
    if (declared.isValid())
        CheckPictureMemory(declared.width(), declared.height(),
                           qtReadPeakBytes(declared.width(), declared.height(), depth, std::int64_t(size)) +
                               inner.libraryBytes);
    const TReadAllocationLimit limit(declared, depth);
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

namespace {

std::unique_ptr<TGraphic> createForExtension(const QString& ext) {
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

} // namespace

std::unique_ptr<TGraphic> TPicture::CreateForFile(const QString& fileName) {
    return createForExtension(normalExtension(QFileInfo(fileName).suffix()));
}

void TPicture::LoadFromFile(const QString& fileName) {
    TPictureFile file(fileName);
    // The messages name the file and say what is wrong with it in plain words.
    const QString name = QFileInfo(fileName).fileName();
    if (file.Size() > std::uint64_t(maxPictureFileSize()))
        throw EInvalidGraphic(
            QStringLiteral("%1 cannot be read: the file is too large to be a picture").arg(name).toStdString());
    QByteArray head(static_cast<qsizetype>(std::min<std::uint64_t>(HeadBytes, file.Size())), Qt::Uninitialized);
    head.resize(static_cast<qsizetype>(file.ReadAt(0, head.data(), static_cast<std::size_t>(head.size()))));
    // The type the extension names, unless the first bytes are plainly another type's (the save rule
    // writes a GIF under "tile.gif.jpg").
    QString ext = normalExtension(QFileInfo(fileName).suffix());
    if (!registry().byExtension.count(ext) || !headFits(ext, head))
        if (const QString real = typeByContent(head); !real.isEmpty()) ext = real;
    std::unique_ptr<TGraphic> g = createForExtension(ext);
    if (const TPictureReader* r = FindPictureReader(ext.toLatin1());
        r && r->magic && !head.startsWith(r->magic))
        throw EInvalidGraphic(
            QStringLiteral("%1 is not a %2 picture").arg(name, QLatin1String(r->name)).toStdString());
    try {
        asPictureError([&] { g->LoadFromSource(file); });
        changedWhileRead_ = file.ChangedSinceOpened();
    } catch (const std::bad_alloc&) {
        throw outOfMemory(name, declaredSize(head));
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
    try {
        asPictureError([&] { pic.Graphic()->MoveTo(out); });
    } catch (const std::bad_alloc&) {
        throw outOfMemory(QFileInfo(fileName).fileName(), QSize(pic.Width(), pic.Height()));
    }
    dib.Swap(out);
    if (!warnings) return;
    // What happened to this file in plain words first, the decoder's own lines after it.
    *warnings = pic.Graphic()->Warnings();
    const QString name = QFileInfo(fileName).fileName();
    if (pic.ChangedWhileRead())
        warnings->prepend(
            QStringLiteral("%1 changed while it was read: the picture shown may mix its old and new "
                           "content; open it again to see it whole")
                .arg(name));
    const QString incomplete = pic.Graphic()->IncompleteText();
    if (!incomplete.isEmpty())
        warnings->prepend(QStringLiteral("%1 is incomplete: %2").arg(name, incomplete));
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
