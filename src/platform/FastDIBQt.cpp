#include "platform/FastDIBQt.h"

#include "platform/Picture.h"

#include <QImageReader>
#include <QPaintDevice>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

QList<QRgb> colorTableOf(const TFastDIB& dib) {
    QList<QRgb> table;
    const int n = 1 << dib.Bpp;
    table.reserve(n);
    for (int i = 0; i < n; ++i) {
        const TFColorA& c = (*dib.Colors)[i];
        table.append(qRgb(c.r, c.g, c.b));
    }
    return table;
}

// The QImage format with the same byte layout as the image, or Format_Invalid when none has it.
QImage::Format sameLayoutFormat(const TFastDIB& dib) {
    switch (dib.Bpp) {
    case 1:
        return QImage::Format_Mono;
    case 8:
        return QImage::Format_Indexed8;
    case 16:
        if (dib.Mask == 565) return QImage::Format_RGB16;
        if (dib.Mask == 555) return QImage::Format_RGB555;
        return QImage::Format_Invalid;
    case 24:
        return QImage::Format_BGR888;
    case 32:
        return dib.Mask == 888 ? QImage::Format_RGB32 : QImage::Format_Invalid;
    default:
        return QImage::Format_Invalid;
    }
}

bool hasPixels(const TFastDIB& dib) {
    return dib.Bits && dib.Width > 0 && dib.Height > 0;
}

// A read-only image of the pixels for drawing: a view where Qt knows the layout, otherwise a 24-bit
// copy made by our own converting copy.
QImage readableImage(const TFastDIB& dib) {
    if (!hasPixels(dib)) return {};
    const QImage::Format f = sameLayoutFormat(dib);
    if (f != QImage::Format_Invalid) {
        QImage img(static_cast<const uchar*>(dib.Bits), dib.Width, dib.Height, dib.BWidth, f);
        if (dib.Bpp <= 8) img.setColorTable(colorTableOf(dib));
        return img;
    }
    QImage copy(dib.Width, dib.Height, QImage::Format_BGR888);
    if (copy.isNull()) return {};
    Surface s;
    s.bits = copy.bits();
    s.width = copy.width();
    s.height = copy.height();
    s.stride = static_cast<int>(copy.bytesPerLine());
    s.bpp = 24;
    dib.Draw(s, 0, 0);
    return copy;
}

// The standard 16-colour table used for 4-bit images.
QList<QRgb> vga16() {
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
            qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

int depthOf(const QImage& img) {
    switch (img.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return 1;
    case QImage::Format_Indexed8:
        return 8;
    case QImage::Format_RGB16:
    case QImage::Format_RGB555:
        return 16;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
        return 24;
    default:
        return img.hasAlphaChannel() || img.depth() >= 32 ? 32 : 24;
    }
}

bool loadImage(TFastDIB& dib, const QImage& img, int bpp) {
    if (img.isNull()) return false;
    if (bpp == 0) bpp = depthOf(img);
    QImage src;
    switch (bpp) {
    case 1:
        src = img.convertToFormat(QImage::Format_Mono);
        break;
    case 4:
        src = img.convertToFormat(QImage::Format_Indexed8, vga16());
        break;
    case 8:
        src = img.convertToFormat(QImage::Format_Indexed8);
        break;
    case 16:
        src = img.convertToFormat(DetectMask16() == 555 ? QImage::Format_RGB555 : QImage::Format_RGB16);
        break;
    case 24:
        src = img.convertToFormat(QImage::Format_BGR888);
        break;
    case 32:
        src = img.convertToFormat(QImage::Format_RGB32);
        break;
    default:
        return false;
    }
    if (src.isNull()) return false;

    // Built aside and swapped in, so that a failure leaves the image as it was.
    const int w = src.width(), h = src.height();
    TFastDIB fresh;
    fresh.SetSize(w, h, bpp, 0);
    if (!fresh.Bits) return false;

    if (bpp <= 8) {
        const QList<QRgb> table = src.colorTable();
        const int n = 1 << bpp;
        for (int i = 0; i < n; ++i) {
            const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
            (*fresh.Colors)[i] =
                TFColorA{static_cast<std::uint8_t>(qBlue(c)), static_cast<std::uint8_t>(qGreen(c)),
                         static_cast<std::uint8_t>(qRed(c)), 0};
        }
    }
    for (int y = 0; y < h; ++y) {
        const uchar* s = src.constScanLine(y);
        std::uint8_t* d = fresh.Scanlines[y];
        switch (bpp) {
        case 1:
            std::memcpy(d, s, static_cast<std::size_t>((w + 7) / 8));
            break;
        case 4:
            for (int x = 0; x < w; x += 2) {
                const int hi = s[x] & 15, lo = x + 1 < w ? (s[x + 1] & 15) : 0;
                d[x >> 1] = static_cast<std::uint8_t>((hi << 4) | lo);
            }
            break;
        default:
            std::memcpy(d, s, static_cast<std::size_t>(w) * (bpp / 8));
            break;
        }
    }
    dib.Swap(fresh);
    return true;
}

bool loadFromReader(TFastDIB& dib, QImageReader& reader, const QString& name, int bpp, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = QStringLiteral("Cannot open \"%1\": %2").arg(name, why);
        return false;
    };
    if (bpp != 0 && bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return fail(QStringLiteral("%1 bits per pixel is not a supported depth.").arg(bpp));
    // The program's one size limit, checked on the declared size before anything is decoded, with the
    // memory of the read at its peak: the picture as decoded, its conversion and the image made of it.
    const int depth = QtFormatBytesPerPixel(reader.imageFormat());
    const int target = bpp == 0 ? 4 : std::max(bpp / 8, 1);
    auto tooLarge = [&](const QSize& s) -> QString {
        try {
            CheckPictureMemory(s.width(), s.height(),
                               std::int64_t{s.width()} * s.height() * (depth + 2 * target));
        } catch (const EInvalidGraphic& e) {
            return QString::fromStdString(e.what());
        }
        return {};
    };
    const QSize announced = reader.size();
    if (announced.isValid())
        if (const QString why = tooLarge(announced); !why.isEmpty()) return fail(why);

    // Qt's allocation guard holds the declared picture, at the depth the reader decodes to.
    const TReadAllocationLimit limit(announced, depth);
    QImage img;
    const bool ok = reader.read(&img);
    if (!ok || img.isNull()) return fail(reader.errorString());
    if (const QString why = tooLarge(img.size()); !why.isEmpty()) return fail(why);
    try {
        if (!loadImage(dib, img, bpp)) return fail(QStringLiteral("the picture could not be converted."));
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("there is not enough memory for a picture of %1 x %2 pixels.")
                        .arg(img.width())
                        .arg(img.height()));
    }
    return true;
}

} // namespace

QImage DIBView(TFastDIB& dib) {
    if (!hasPixels(dib)) return {};
    const QImage::Format f = sameLayoutFormat(dib);
    if (f == QImage::Format_Invalid) return {};
    QImage view(dib.Bits, dib.Width, dib.Height, dib.BWidth, f);
    if (dib.Bpp <= 8) view.setColorTable(colorTableOf(dib));
    return view;
}

void LoadFromQImage(TFastDIB& dib, const QImage& img, int bpp) {
    loadImage(dib, img, bpp);
}

bool LoadFromFile(TFastDIB& dib, const QString& fileName, int bpp, QString* error) {
    // A bitmap file only: other formats go through the picture container's own decoders.
    QImageReader reader(fileName, "bmp");
    reader.setAutoDetectImageFormat(false);
    return loadFromReader(dib, reader, fileName, bpp, error);
}

bool LoadFromRes(TFastDIB& dib, const QString& qrcPath, int bpp, QString* error) {
    QString path = qrcPath;
    if (path.startsWith(QLatin1String("qrc:")))
        path = path.mid(3);
    else if (!path.startsWith(QLatin1Char(':')))
        path = QLatin1String(":/") + path;
    QImageReader reader(path);
    return loadFromReader(dib, reader, qrcPath, bpp, error);
}

void DrawDIB(QPainter& painter, const TFastDIB& dib, int x, int y) {
    const QImage img = readableImage(dib);
    if (!img.isNull()) painter.drawImage(QPoint(x, y), img);
}

void StretchDIB(QPainter& painter, const TFastDIB& dib, const QRect& target) {
    if (target.isEmpty()) return;
    const QImage img = readableImage(dib);
    if (img.isNull()) return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, img);
    painter.restore();
}

void TileDrawDIB(QPainter& painter, const TFastDIB& dib, const QRect& target) {
    if (target.isEmpty() || !hasPixels(dib)) return;
    // Only the part of the target that can show is built: the device (and the clip) bound it.
    QRect visible = target;
    if (const QPaintDevice* dev = painter.device()) {
        bool invertible = false;
        const QTransform back = painter.deviceTransform().inverted(&invertible);
        if (invertible) visible &= back.mapRect(QRect(0, 0, dev->width(), dev->height()));
    }
    if (painter.hasClipping()) visible &= painter.clipBoundingRect().toAlignedRect();
    if (visible.isEmpty()) return;

    // One strip of the visible size in the image's own layout where Qt has it (a plain copy per row
    // run), otherwise 24 bits; the tile phase stays anchored at the target's corner.
    QImage::Format f = sameLayoutFormat(dib);
    if (f == QImage::Format_Invalid || f == QImage::Format_Mono) f = QImage::Format_BGR888;
    QImage strip(visible.size(), f);
    if (strip.isNull()) return;
    if (f == QImage::Format_Indexed8) strip.setColorTable(colorTableOf(dib));
    Surface s;
    s.bits = strip.bits();
    s.width = strip.width();
    s.height = strip.height();
    s.stride = static_cast<int>(strip.bytesPerLine());
    s.bpp = strip.depth();
    s.colors = f == QImage::Format_Indexed8 ? dib.Colors : nullptr;
    s.mask = dib.Bpp == 16 ? dib.Mask : 0;
    dib.TileDraw(s, target.x() - visible.x(), target.y() - visible.y(), target.width(), target.height());
    painter.drawImage(visible.topLeft(), strip);
}
