#pragma once
// JPEG pictures through libjpeg: the TJPEGImage picture class, and the encoder and decoder it uses.
// libjpeg's errors never end the program: each one becomes an EInvalidGraphic with libjpeg's text.
// A file that ends before its last row loads the rows it holds; the rest is one plain colour
// (MissingPixelsColor) instead of libjpeg's guesses. Damaged data load as libjpeg fills them in, and
// the picture says so (IncompleteText).

#include "platform/Picture.h"

#include <cstddef>
#include <cstdint>

enum class TJPEGPixelFormat { jf24Bit, jf8Bit };

constexpr int DefaultJPEGQuality = 90;

// Encoding and decoding check for a stop between rows (WorkControl.h) and then throw EWorkStopped.

// Compresses a picture (any depth; converted to 24 bits first) at `quality` 0..100 (clamped).
// Throws std::bad_alloc when the stream does not fit in memory.
QByteArray EncodeJPEG(const TFastDIB& dib, int quality = DefaultJPEGQuality);
// The same stream written to `fileName` through a temporary file (SafeFile.h). Throws
// std::runtime_error "Cannot write <name>: <reason>" (the target untouched) when the system refuses it.
void WriteJPEGFile(const TFastDIB& dib, const QString& fileName, int quality = DefaultJPEGQuality);
// What a decode could not read: nothing, the end of the picture (the file is cut short), or parts
// whose data are damaged (libjpeg filled them in).
enum class TJPEGGap { None, CutShort, Damaged };

// Decodes a JPEG stream into `dib`: 24 bits per pixel, or 8 with a colour table of at most 256
// entries made by libjpeg's own two-pass colour quantisation (Floyd-Steinberg dithering). `dib` is
// unchanged on failure. Before anything is decoded, the size and the memory the decode takes at its
// peak are checked (CheckPictureMemory: EPictureTooLarge). Returns false when part of the picture was
// not in the data (`gap` says which way): a file cut short (24 bits only: at 8 bits it is refused) or
// damaged data.
bool DecodeJPEG(const std::uint8_t* data, std::size_t size, TFastDIB& dib,
                TJPEGPixelFormat format = TJPEGPixelFormat::jf24Bit, TJPEGGap* gap = nullptr);

// A JPEG picture: the compressed stream and/or its decoded bitmap, each made from the other on demand.
class TJPEGImage : public TGraphic {
public:
    int Width() const override;
    int Height() const override;

    // Keeps the stream (after decoding it once, so that a bad file is refused here).
    void LoadFromMemory(const std::uint8_t* data, std::size_t size) override;
    // The same, keeping the bytes read as the stream (no second copy).
    void LoadFromSource(TPictureSource& source) override;
    QByteArray SaveToMemory() override; // the stream, compressed first when needed
    void AssignTo(TFastDIB& dib) override;
    void MoveTo(TFastDIB& dib) override;
    QString IncompleteText() const override;
    // Takes the picture as the bitmap; the stream is made at the next JPEGNeeded.
    void Assign(const TFastDIB& dib) override;

    int CompressionQuality() const { return quality_; }
    void SetCompressionQuality(int quality); // clamped to 0..100; drops a stream made at another one
    TJPEGPixelFormat PixelFormat() const { return format_; }
    // Changing the format drops the decoded bitmap when a stream exists to decode it again from.
    void SetPixelFormat(TJPEGPixelFormat format);

    // Makes the stream from the bitmap when there is none.
    void JPEGNeeded();
    // Makes the bitmap from the stream when there is none (at PixelFormat()).
    void DIBNeeded();
    // The decoded picture (24 bits, or 8 with its colour table).
    const TFastDIB& Bitmap();
    const QByteArray& Data();

private:
    void load(QByteArray bytes);
    QByteArray data_;
    TFastDIB dib_;
    bool hasDib_ = false;
    int quality_ = DefaultJPEGQuality;
    TJPEGPixelFormat format_ = TJPEGPixelFormat::jf24Bit;
    int width_ = 0, height_ = 0;
    TJPEGGap gap_ = TJPEGGap::None;
};
