#pragma once
// The picture container: picture classes (TGraphic descendants) registered by file extension and by
// clipboard format, a TPicture that loads and saves through them, and the helpers the file and
// clipboard commands use with the editor's 24-bit TFastDIB images.
//
// Built in: BMP (TBitmap, our own reader and writer, BMPFile.h) under "bmp", JPEG (TJPEGImage, through
// libjpeg, JPEGImage.h) under "jpg" and "jpeg", GIF (TGIFGraphic over the GIF codec, GIFGraphic.h)
// under "gif" and the clipboard format "GIF Image", and every other type Qt's installed image readers
// know (PNG, ICO, PPM, XPM, TIFF, WebP, ...) through TQtImage. Metafiles have no reader.
//
// A further class plugs in at start-up through TPicture::RegisterFileFormat / RegisterClipboardFormat.
// Its exceptions need not derive from EInvalidGraphic: the container reports any failure of a class
// while loading as EInvalidGraphic with the same text.
//
// Every decoder treats its input as untrusted: sizes are checked before anything is allocated and a
// picture larger than PictureLimits() is refused with a clear message; before a Qt reader decodes, its
// file's structure is walked and checked (PictureReaders.h) and the memory its read takes at its peak
// is checked, and it runs under an allocation limit of the picture its file declared. Files are read,
// never mapped, so a file that changes while it is read cannot hurt, and a load says when it happened.
// A file whose first bytes are another type's than its extension says opens as the type its bytes are,
// where that type's reader is bounded before it decodes (PictureReaders.h). Saving goes through a
// temporary file that replaces the target only when it was written completely.

#include "image/FastDIB.h"
#include "image/PictureSize.h"
#include "platform/SystemMemory.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <typeinfo>

class QMimeData;

// A picture that cannot be read or written in its format (also: unknown extension, too large).
class EInvalidGraphic : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A picture over the size limit or the free memory (a kind of picture that cannot be read).
class EPictureTooLarge : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};

// The colour given to the part of a picture that a file cut short does not hold.
inline constexpr TFColor MissingPixelsColor{128, 128, 128};

// Checked before any picture is made, opened or pasted: throws EPictureTooLarge unless 1 <= width,
// height and the size is within PictureLimits() ("The picture is too large: ..."), and then unless the
// free memory holds the picture at `bytesPerPixel` ("... needs 805 MB; 300 MB are free").
void CheckPictureSize(std::int64_t width, std::int64_t height, int bytesPerPixel = 3);
// The same with the memory a reader takes at its peak (its decoded rows, its own buffers, the
// conversion and the picture) given in bytes: the free memory must hold `peakBytes`.
void CheckPictureMemory(std::int64_t width, std::int64_t height, std::int64_t peakBytes);

// Qt's image readers' allocation limit for one read: the picture the file declared, `declared` at
// `bytesPerPixel` (the depth the reader decodes to; 4 where it is not known first), at least 8 bytes a
// pixel and 16 MB; the largest picture PictureLimits() allows when the file declares no size. A reader
// refuses a larger picture before it allocates it. Afterwards the largest picture's limit (at 4 bytes a
// pixel) again, so Qt's other reads (the clipboard's pictures) are not held to one file's size.
class TReadAllocationLimit {
public:
    TReadAllocationLimit(QSize declared, int bytesPerPixel);
    ~TReadAllocationLimit();
    TReadAllocationLimit(const TReadAllocationLimit&) = delete;
    TReadAllocationLimit& operator=(const TReadAllocationLimit&) = delete;
};
// The bytes per pixel of a QImage format (4 for an unknown one).
int QtFormatBytesPerPixel(QImage::Format format);

// The screen's bits per pixel as Qt reports it (24 without a screen); tests may set it.
int ScreenBitsPerPixel();
void SetScreenDepthHook(std::function<int()> hook);

// The bytes a picture is read from: a file (TPictureFile) or memory. Reads may stop short where the
// data end, also when a file shrinks while it is read.
class TPictureSource {
public:
    virtual ~TPictureSource() = default;
    // The number of bytes (a file's size when it was opened).
    virtual std::uint64_t Size() const = 0;
    // Reads `n` bytes at `offset` into `buffer`; returns the bytes read, fewer only where the data end.
    virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) = 0;
    // Reads the bytes from `offset` on into the pieces in turn; returns the bytes read.
    struct Piece {
        void* data;
        std::size_t size;
    };
    virtual std::size_t ReadPieces(std::uint64_t offset, const Piece* pieces, std::size_t count);
    // Every byte (for decoders that take them all at once).
    QByteArray ReadAll();
};

class TMemorySource : public TPictureSource {
public:
    TMemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(data ? size : 0) {}
    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override;

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// A file read in chunks of a few megabytes with read calls. Between chunks it checks for a stop
// (WorkPoint: EWorkStopped) and calls the read hook. A file that cannot be opened raises
// std::runtime_error "Cannot open <name>: <reason>", one that fails while it is read "Cannot read ...".
class TPictureFile : public TPictureSource {
public:
    explicit TPictureFile(const QString& fileName);
    ~TPictureFile() override;
    TPictureFile(const TPictureFile&) = delete;
    TPictureFile& operator=(const TPictureFile&) = delete;
    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override;
    std::size_t ReadPieces(std::uint64_t offset, const Piece* pieces, std::size_t count) override;
    // Whether the file is another than when it was opened: its size, modification or change time (to
    // the nanosecond) differ, so what was read may mix old and new content.
    bool ChangedSinceOpened() const;

private:
    struct Stamp {
        std::int64_t size = 0, modified = 0, modifiedNs = 0, changed = 0, changedNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp stamp() const;
    QString name_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    Stamp opened_;
};

// Tests: called before each chunk a TPictureFile reads, with the offset of the chunk (for example to
// shorten the file in the middle of a read). An empty function removes it.
void SetPictureReadHook(std::function<void(std::uint64_t offset)> hook);

// Copies `src` (pixels, depth and colour table) into `dst`.
void AssignDIB(TFastDIB& dst, const TFastDIB& src);
// `src` at 24 bits per pixel in `dst` (palette and other depths converted).
void AssignDIB24(TFastDIB& dst, const TFastDIB& src);
// `src` itself when it is 24 bits per pixel, else `src` converted into `scratch`; refuses an empty picture
// ("Cannot save an empty picture"). For encoders, which read 24-bit rows.
const TFastDIB& SavableDIB24(const TFastDIB& src, TFastDIB& scratch);

// One picture in memory, in the format of its class.
class TGraphic {
public:
    virtual ~TGraphic() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    bool Empty() const { return Width() <= 0 || Height() <= 0; }

    // Reads a whole picture. Throws EInvalidGraphic (and keeps its old content) when the data is not
    // a valid picture of this class.
    virtual void LoadFromMemory(const std::uint8_t* data, std::size_t size) = 0;
    // The same from any source; by default all of it is read and given to LoadFromMemory.
    virtual void LoadFromSource(TPictureSource& source);
    // The picture in its file format; throws EInvalidGraphic when it cannot be written (empty).
    virtual QByteArray SaveToMemory() = 0;

    // Reads the file; errors as LoadFromMemory, and a file that cannot be opened raises
    // std::runtime_error "Cannot open <name>: <reason>".
    void LoadFromFile(const QString& fileName);
    // Writes through a temporary file renamed over the target; on failure the target is untouched and
    // std::runtime_error "Cannot write <name>: <reason>" (or the encoder's EInvalidGraphic) is raised.
    virtual void SaveToFile(const QString& fileName);

    // The picture as a 24-bit image, and the picture made from one.
    virtual void AssignTo(TFastDIB& dib) = 0;
    // As AssignTo, but may hand over its own pixels (the graphic is left empty) instead of copying.
    virtual void MoveTo(TFastDIB& dib) { AssignTo(dib); }
    virtual void Assign(const TFastDIB& dib) = 0;

    // Puts the picture in `data`: the standard bitmap format, plus the class's own format if any.
    virtual void SaveToClipboardFormat(QMimeData& data);
    // Reads the picture from `format` of `data` (the standard bitmap format is "image/*"). Throws
    // EInvalidGraphic "Unsupported clipboard format" for a format the class does not read.
    virtual void LoadFromClipboardFormat(const QMimeData& data, const QString& format);

    // What the last load read but found wrong (a picture cut short loads what is there and says so).
    virtual QStringList Warnings() const { return {}; }
    // After a load of a file cut short, or whose damaged data the decoder filled in: what happened, in
    // plain words, as it follows "<file> is incomplete: "; empty for a whole picture.
    virtual QString IncompleteText() const { return {}; }
};

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

// The 24-bit device-independent bitmap; BMP files (BMPFile.h).
class TBitmap : public TGraphic {
public:
    int Width() const override { return dib_.Width; }
    int Height() const override { return dib_.Height; }
    // A file cut short loads the rows it holds (IncompleteText says so).
    void LoadFromMemory(const std::uint8_t* data, std::size_t size) override;
    // Rows go from the source straight into the picture's rows, without the whole file in memory.
    void LoadFromSource(TPictureSource& source) override;
    QByteArray SaveToMemory() override; // an uncompressed BMP at SaveBitsPerPixel()
    // Rows go from the picture to the file block by block, never the whole file in memory.
    void SaveToFile(const QString& fileName) override;
    void AssignTo(TFastDIB& dib) override { AssignDIB24(dib, dib_); }
    void MoveTo(TFastDIB& dib) override;
    void Assign(const TFastDIB& dib) override { AssignDIB24(dib_, dib); }
    void LoadFromClipboardFormat(const QMimeData& data, const QString& format) override;
    QString IncompleteText() const override;

    const TFastDIB& Bitmap() const { return dib_; }
    // 24 (the default) or 16 bits per pixel (565) in saved files.
    int SaveBitsPerPixel() const { return saveBits_; }
    void SetSaveBitsPerPixel(int bits) { saveBits_ = bits == 16 ? 16 : 24; }

private:
    // A class built on this one for a format of its own (through LoadFromMemory and SaveToMemory) is
    // read and written through those, not as a bitmap file in rows.
    bool PlainBitmap() const { return typeid(*this) == typeid(TBitmap); }
    TFastDIB dib_;
    bool incomplete_ = false;
    int saveBits_ = 24;
};

// Any picture type Qt's installed image readers know, other than the built-in ones: the picture as Qt
// reads it, alpha included. As a 24-bit image, pixels are laid over white by their alpha.
class TQtImage : public TGraphic {
public:
    explicit TQtImage(QByteArray format) : format_(std::move(format)) {}
    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    void LoadFromMemory(const std::uint8_t* data, std::size_t size) override;
    QByteArray SaveToMemory() override; // through Qt's writer of the format, where there is one
    void AssignTo(TFastDIB& dib) override;
    void Assign(const TFastDIB& dib) override;
    const QImage& Image() const { return image_; }

private:
    QByteArray format_;
    QImage image_;
};

// The extensions opened through Qt's readers (lower case, without the dot), and the filter entries
// for them: the file dialogs' text ("A|*.a|B|*.b") with an entry for every picture type that opens
// first, then `filter`, then one entry per type it does not name.
QStringList QtPictureExtensions();
QString OpenPictureFilterWithAllTypes(const QString& filter);

// Which writer a file name asks for when saving: a name containing ".GIF" (any case, anywhere in the
// file's own name, not its folders) is GIF, else one containing ".BMP" is BMP, else JPEG.
enum class TSaveFormat { JPEG, BMP, GIF };
TSaveFormat SaveFormatFromName(const QString& fileName);

class TPicture {
public:
    TPicture();
    ~TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    TGraphic* Graphic() const { return graphic_.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic) { graphic_ = std::move(graphic); }
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    // Loads the file with the class registered for its extension (the last one of its name), or, when
    // its first bytes are plainly another registered type's (a GIF saved under "tile.gif.jpg"), with
    // that type's class. The picture is replaced only on success; any decoder failure is raised as
    // EInvalidGraphic naming the file in plain words: "<file> is not a <format> picture" (its first
    // bytes are no picture type's) or "<file> cannot be read: <reason>"; a lack of memory as
    // EPictureTooLarge naming the file, the picture's size and the memory it needs.
    void LoadFromFile(const QString& fileName);
    // Whether the file loaded last changed while it was read (TPictureFile::ChangedSinceOpened).
    bool ChangedWhileRead() const { return changedWhileRead_; }
    // Saves the graphic in its own format (nothing when there is none).
    void SaveToFile(const QString& fileName);

    // The clipboard: the first format on it that a registered class reads. Returns false (picture
    // unchanged) when there is none; a picture that cannot be read raises EInvalidGraphic.
    bool LoadFromClipboard();
    void SaveToClipboard();
    static bool ClipboardHasPicture();

    // Registration. Extensions are given without the dot and match without regard to case; a later
    // registration of the same extension or format replaces the earlier one.
    static void RegisterFileFormat(const QString& extension, const QString& description,
                                   TGraphicFactory factory);
    // The clipboard format is known to other programs by the MIME type returned (and ClipboardMimeType).
    static QString RegisterClipboardFormat(const QString& formatName, TGraphicFactory factory);
    static void UnregisterFileFormat(const QString& extension);
    static bool FileFormatRegistered(const QString& extension);
    static QString FileFormatDescription(const QString& extension);
    static QString ClipboardMimeType(const QString& formatName);
    // A new graphic of the class registered for the file's extension; throws EInvalidGraphic
    // ("Unknown picture file extension (.xyz)") when none is, and a clear refusal for metafiles.
    static std::unique_ptr<TGraphic> CreateForFile(const QString& fileName);

private:
    std::unique_ptr<TGraphic> graphic_;
    bool changedWhileRead_ = false;
};

// Loads any registered picture file into `dib` at 24 bits per pixel; throws EInvalidGraphic with a
// clear message (unknown extension, corrupt, too large) or std::runtime_error when the file cannot be
// opened. `dib` is unchanged on failure.
// `warnings`, when given, receives what the decoder found wrong but could read past: for a file cut
// short, first "<file> is incomplete: <what happened>", for a file changed while it was read "<file>
// changed while it was read: ...", then the decoder's own lines if any.
void LoadPictureToDIB(const QString& fileName, TFastDIB& dib, QStringList* warnings = nullptr);
// Decodes a picture held in memory, its class chosen by `extension` ("bmp", "jpg", ...).
void LoadPictureToDIB(const std::uint8_t* data, std::size_t size, const QString& extension, TFastDIB& dib);

// Saves `dib` in the format SaveFormatFromName gives for the name; JPEG at `jpegQuality` (0..100), GIF
// by the road of Save As (MakeGIFForSave), BMP at 16 bits per pixel on a 16-bit screen
// (ScreenBitsPerPixel), else 24.
void SavePictureFromDIB(const TFastDIB& dib, const QString& fileName, int jpegQuality = 90);

// The clipboard's standard bitmap format.
void CopyDIBToClipboard(const TFastDIB& dib);
bool ClipboardHasBitmap();
// Fills `dib` (24 bits) from the clipboard's bitmap. False, `dib` unchanged, when there is none;
// EInvalidGraphic when it is too large.
bool PasteDIBFromClipboard(TFastDIB& dib);
