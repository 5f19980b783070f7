#pragma once
// The readers a picture file can reach, and what is checked before each one decodes. A file opens with
// the reader of its extension, or with another reader when its first bytes are plainly that reader's
// type; only readers that are bounded before they decode are reached that way. Every read through Qt
// runs CheckBeforeDecoding first, whatever led to the reader.

#include <QByteArray>
#include <QSize>

#include <cstddef>
#include <cstdint>

enum class TReaderCheck {
    OwnDecoder,   // our own decoder checks its header before it allocates (BMP, GIF screen, JPEG frame)
    PngChunks,    // every chunk's length against the rest of the file, IHDR against the limits
    MngChunks,    // the same for MNG, every picture inside against the limits and the frame
    IconEntries,  // every entry's picture (and a PNG entry's chunks) against the limits
    DeclaredSize, // the size Qt's reader gives from the header
    Nothing,      // the size is known only once decoded: Qt's allocation limit alone bounds it
};

struct TPictureReader {
    const char* format; // the extension, lower case (Qt's format name for Qt's readers)
    const char* magic;  // the first bytes of every such file (built-in types); null: Qt's reader tells
    const char* name;   // the type in messages ("<file> is not a <name> picture"); null for Qt's
    bool marked;        // the first bytes tell the type (else a file of its extension is always given to it)
    bool byContent;     // a file named for another type opens with this reader when its bytes are this type's
    TReaderCheck check;
};

// The entry of a format, or null for one not listed (such a Qt type opens only under its own
// extension, checked by the size its reader declares).
const TPictureReader* FindPictureReader(const QByteArray& format);
// Every listed reader, in the order a file's content is tried against them.
const TPictureReader* PictureReadersBegin();
const TPictureReader* PictureReadersEnd();

// What a file declares before Qt's reader decodes it: the largest picture it holds (invalid when the
// file does not say) and the bytes the decoder library keeps beside the picture Qt makes.
struct TDeclaredPicture {
    QSize size;
    std::int64_t libraryBytes = 0;
};

// Walks what the reader of `format` would read and checks it: throws EInvalidGraphic for a structure
// that claims more than the data hold, EPictureTooLarge for a picture over PictureLimits(). Linear in
// the size of the data; nothing is allocated.
TDeclaredPicture CheckBeforeDecoding(const QByteArray& format, const std::uint8_t* data, std::size_t size);
