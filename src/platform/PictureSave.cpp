// The picture container's writers: a graphic saved to a file, and the editor's picture saved in the
// format its file name asks for.

#include "platform/PictureSave.h"

#include "platform/BMPFile.h"
#include "platform/GIFGraphic.h"
#include "platform/JPEGImage.h"
#include "platform/SafeFile.h"
#include "platform/SystemMemory.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {

// Below this a save is never refused for the free memory the system reports.
constexpr std::int64_t SmallNeed = 64LL * 1000 * 1000;

} // namespace

std::int64_t SaveMemoryNeed(TSaveFormat format, int width, int height) {
    const std::int64_t pixels = std::int64_t{std::max(width, 0)} * std::max(height, 0);
    switch (format) {
    case TSaveFormat::BMP:
        return 2LL * 1024 * 1024; // a block of rows at a time
    case TSaveFormat::JPEG:
        return pixels; // the compressed stream as it grows
    case TSaveFormat::GIF:
        // The stream at quality 100 and libjpeg's copy of its coefficients while it is decoded to 8
        // bits per pixel, then the frame's indices and the GIF stream.
        return pixels * 6;
    }
    return pixels;
}

void RunSaveWithinMemory(const QString& fileName, int width, int height, std::int64_t needBytes,
                         const std::function<void()>& save) {
    const auto refuse = [&] {
        const std::int64_t free = FreeMemoryBytes();
        QString text = QStringLiteral("Not enough memory to save %1: %2 x %3 pixels need %4 MB")
                           .arg(QFileInfo(fileName).fileName())
                           .arg(width)
                           .arg(height)
                           .arg(MegabytesText(needBytes));
        if (free >= 0) text += QStringLiteral("; %1 MB are free").arg(MegabytesText(free));
        throw std::runtime_error(text.toStdString());
    };
    if (needBytes >= SmallNeed) {
        const std::int64_t free = FreeMemoryBytes();
        if (free >= 0 && needBytes > free) refuse();
    }
    try {
        save();
    } catch (const std::bad_alloc&) {
        refuse();
    }
}

void TGraphic::SaveToFile(const QString& fileName) {
    const QByteArray data = SaveToMemory();
    QString reason;
    if (!WriteFileAtomically(fileName, data, &reason))
        ThrowWriteError(fileName, reason);
}

void TBitmap::SaveToFile(const QString& fileName) {
    if (!PlainBitmap()) {
        TGraphic::SaveToFile(fileName);
        return;
    }
    WriteBMPFile(dib_, fileName, saveBits_);
}

QByteArray TBitmap::SaveToMemory() {
    return EncodeBMP(dib_, saveBits_);
}

QByteArray TQtImage::SaveToMemory() {
    if (image_.isNull()) throw EInvalidGraphic("Cannot save an empty picture");
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format_);
    if (!writer.write(image_)) throw EInvalidGraphic(writer.errorString().toStdString());
    return out;
}

void TPicture::SaveToFile(const QString& fileName) {
    if (graphic_) graphic_->SaveToFile(fileName);
}

void SavePictureFromDIB(const TFastDIB& dib, const QString& fileName, int jpegQuality) {
    const TSaveFormat format = SaveFormatFromName(fileName);
    RunSaveWithinMemory(fileName, dib.Width, dib.Height, SaveMemoryNeed(format, dib.Width, dib.Height), [&] {
        switch (format) {
        case TSaveFormat::BMP:
            // A 16-bit screen saves what it can show.
            WriteBMPFile(dib, fileName, ScreenBitsPerPixel() == 16 ? 16 : 24);
            return;
        case TSaveFormat::JPEG:
            WriteJPEGFile(dib, fileName, jpegQuality);
            return;
        case TSaveFormat::GIF:
            // The road of Save As: JPEG at quality 100, 8 bits again, one frame, optimised colour map.
            MakeGIFForSave(dib)->SaveToFile(fileName);
            return;
        }
    });
}
