// The picture container's writers: a graphic saved to a file, and the editor's picture saved in the
// format its file name asks for.

#include "platform/Picture.h"

#include "platform/BMPFile.h"
#include "platform/GIFGraphic.h"
#include "platform/JPEGImage.h"
#include "platform/SafeFile.h"

#include <QBuffer>
#include <QImageWriter>

void TGraphic::SaveToFile(const QString& fileName) {
    const QByteArray data = SaveToMemory();
    QString reason;
    if (!WriteFileAtomically(fileName, data, &reason))
        throw std::runtime_error(
            QStringLiteral("Cannot write %1: %2").arg(fileName, InSentence(reason)).toStdString());
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
    std::unique_ptr<TGraphic> g;
    switch (SaveFormatFromName(fileName)) {
    case TSaveFormat::BMP: {
        // A 16-bit screen saves what it can show.
        auto b = std::make_unique<TBitmap>();
        b->SetSaveBitsPerPixel(ScreenBitsPerPixel() == 16 ? 16 : 24);
        g = std::move(b);
        break;
    }
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
