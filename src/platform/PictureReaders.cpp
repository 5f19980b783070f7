#include "platform/PictureReaders.h"

#include "platform/ByteOrder.h"
#include "platform/Picture.h"

#include <QString>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

// Qt's readers of types whose first bytes do not tell them (tga, wbmp, xbm) are never reached by
// content; neither is icns, whose pictures Qt sizes only while it decodes them.
constexpr TPictureReader Readers[] = {
    // Our own decoders: each checks its header (and the free memory) before it allocates.
    {"bmp", "BM", "bitmap", true, true, TReaderCheck::OwnDecoder},
    {"jpg", "\xFF\xD8\xFF", "JPEG", true, true, TReaderCheck::OwnDecoder},
    {"jpeg", "\xFF\xD8\xFF", "JPEG", true, true, TReaderCheck::OwnDecoder},
    {"jfif", "\xFF\xD8\xFF", "JPEG", true, true, TReaderCheck::OwnDecoder},
    {"gif", "GIF8", "GIF", true, true, TReaderCheck::OwnDecoder},
    // Qt's readers, in the order their types are tried.
    {"cur", nullptr, nullptr, true, true, TReaderCheck::IconEntries},
    {"icns", nullptr, nullptr, true, false, TReaderCheck::Nothing},
    {"ico", nullptr, nullptr, true, true, TReaderCheck::IconEntries},
    {"mng", nullptr, nullptr, true, true, TReaderCheck::MngChunks},
    {"pbm", nullptr, nullptr, true, true, TReaderCheck::DeclaredSize},
    {"pgm", nullptr, nullptr, true, true, TReaderCheck::DeclaredSize},
    {"png", nullptr, nullptr, true, true, TReaderCheck::PngChunks},
    {"ppm", nullptr, nullptr, true, true, TReaderCheck::DeclaredSize},
    {"tga", nullptr, nullptr, false, false, TReaderCheck::DeclaredSize},
    {"tif", nullptr, nullptr, true, true, TReaderCheck::DeclaredSize},
    {"tiff", nullptr, nullptr, true, true, TReaderCheck::DeclaredSize},
    {"wbmp", nullptr, nullptr, false, false, TReaderCheck::DeclaredSize},
    {"webp", nullptr, nullptr, true, true, TReaderCheck::DeclaredSize},
    {"xbm", nullptr, nullptr, false, false, TReaderCheck::DeclaredSize},
    {"xpm", nullptr, nullptr, true, true, TReaderCheck::DeclaredSize},
};

unsigned readBE16(const std::uint8_t* p) {
    return (unsigned{p[0]} << 8) | p[1];
}

bool isType(const std::uint8_t* type, const char* name) {
    return std::memcmp(type, name, 4) == 0;
}

// The size against the limits; the memory is checked once the whole read's peak is known.
void checkSize(std::int64_t w, std::int64_t h) {
    CheckPictureMemory(w, h, 0);
}

constexpr std::uint32_t MaxChunk = 0x7FFFFFFF;

// Calls onChunk(type, data, length) for every chunk from `at` up to the end chunk, refusing a chunk
// that claims more bytes than the data have left. `streamedData`: the decoder reads image data (IDAT)
// as it comes instead of whole, so a file cut inside it is the decoder's to judge.
template <class F>
void walkChunks(const std::uint8_t* p, std::size_t size, std::size_t at, bool streamedData, F&& onChunk) {
    while (size - at >= 12) {
        const std::uint32_t length = ReadBE32(p + at);
        const std::uint8_t* type = p + at + 4;
        const std::size_t left = size - at - 12;
        if (length > left || length > MaxChunk) {
            if (streamedData && isType(type, "IDAT") && length <= MaxChunk) return;
            QString name;
            for (int i = 0; i < 4; ++i)
                name += type[i] >= 0x20 && type[i] < 0x7F ? QChar(type[i]) : QChar(u'?');
            throw EInvalidGraphic(
                QStringLiteral("Its %1 chunk claims %2 bytes, but the file holds only %3 more")
                    .arg(name)
                    .arg(length)
                    .arg(left)
                    .toStdString());
        }
        onChunk(type, p + at + 8, length);
        if (isType(type, "IEND") || isType(type, "MEND")) return;
        at += 12 + std::size_t{length};
    }
}

const char PngMagic[] = "\x89PNG\r\n\x1A\n";
const char MngMagic[] = "\x8AMNG\r\n\x1A\n";

// A PNG's picture size from its IHDR, every chunk checked (invalid when it is no PNG: its reader says so).
QSize checkPng(const std::uint8_t* p, std::size_t size) {
    if (size < 8 || std::memcmp(p, PngMagic, 8) != 0) return {};
    QSize picture;
    walkChunks(p, size, 8, true, [&](const std::uint8_t* type, const std::uint8_t* d, std::uint32_t length) {
        if (!isType(type, "IHDR") || length < 8 || picture.isValid()) return;
        checkSize(ReadBE32(d), ReadBE32(d + 4));
        picture = QSize(int(ReadBE32(d)), int(ReadBE32(d + 4)));
    });
    return picture;
}

// libmng keeps every picture object whole, at up to 16 bits in each of four channels.
constexpr std::int64_t MngObjectBytesPerPixel = 8;

// An MNG: the frame from MHDR; every picture inside (IHDR, JHDR, BASI, a delta's block) within the
// limits and within the frame, also once magnified (MAGN); libmng's objects counted (DEFI names the
// object the next picture goes to, CLON copies one).
TDeclaredPicture checkMng(const std::uint8_t* p, std::size_t size) {
    if (size < 8 || std::memcmp(p, MngMagic, 8) != 0) return {};
    std::int64_t frameW = 0, frameH = 0, largestW = 0, largestH = 0, magnifyX = 1, magnifyY = 1;
    std::map<unsigned, std::int64_t> objects; // object id -> its largest picture's pixels
    unsigned current = 0;
    auto inner = [&](std::int64_t w, std::int64_t h, bool stored) {
        if (frameW == 0)
            throw EInvalidGraphic("Not a valid MNG file: a picture comes before the frame header");
        checkSize(w, h);
        if (w > frameW || h > frameH)
            throw EPictureTooLarge(
                QStringLiteral("The picture is too large: %1 x %2 pixels inside a frame of %3 x %4")
                    .arg(w)
                    .arg(h)
                    .arg(frameW)
                    .arg(frameH)
                    .toStdString());
        largestW = std::max(largestW, w);
        largestH = std::max(largestH, h);
        if (stored) objects[current] = std::max(objects[current], w * h);
    };
    walkChunks(p, size, 8, false, [&](const std::uint8_t* type, const std::uint8_t* d, std::uint32_t length) {
        if (isType(type, "MHDR") && length >= 8 && frameW == 0) {
            frameW = ReadBE32(d), frameH = ReadBE32(d + 4);
            checkSize(frameW, frameH);
        } else if ((isType(type, "IHDR") || isType(type, "JHDR") || isType(type, "BASI")) && length >= 8) {
            inner(ReadBE32(d), ReadBE32(d + 4), true);
        } else if (isType(type, "DHDR") && length >= 12) {
            if (ReadBE32(d + 4) > 0 && ReadBE32(d + 8) > 0) inner(ReadBE32(d + 4), ReadBE32(d + 8), false);
        } else if (isType(type, "DEFI") && length >= 2) {
            current = readBE16(d);
        } else if (isType(type, "IEND")) {
            current = 0;
        } else if (isType(type, "CLON") && length >= 4) {
            const auto from = objects.find(readBE16(d));
            if (from != objects.end()) objects[readBE16(d + 2)] = from->second;
        } else if (isType(type, "MAGN")) {
            // Factors: MX at 5, MY at 7, then the edges' ML, MR, MT, MB; missing ones take the former.
            auto factor = [&](std::uint32_t at, std::int64_t otherwise) {
                return at + 2 <= length ? std::int64_t{readBE16(d + at)} : otherwise;
            };
            const std::int64_t mx = factor(5, 1), my = factor(7, mx);
            magnifyX = std::max({magnifyX, mx, factor(9, mx), factor(11, mx)});
            magnifyY = std::max({magnifyY, my, factor(13, my), factor(15, my)});
        }
    });
    if (frameW == 0) return {};
    if (largestW * magnifyX > frameW || largestH * magnifyY > frameH)
        throw EPictureTooLarge(
            QStringLiteral(
                "The picture is too large: %1 x %2 pixels magnified to %3 x %4 inside a frame of %5 x %6")
                .arg(largestW)
                .arg(largestH)
                .arg(largestW * magnifyX)
                .arg(largestH * magnifyY)
                .arg(frameW)
                .arg(frameH)
                .toStdString());
    TDeclaredPicture out{QSize(int(frameW), int(frameH)), 0};
    for (const auto& [id, pixels] : objects) out.libraryBytes += pixels * MngObjectBytesPerPixel;
    if (magnifyX > 1 || magnifyY > 1) out.libraryBytes += frameW * frameH * MngObjectBytesPerPixel;
    return out;
}

// The pictures inside an icon file, which Qt sizes only while it decodes them (it gives the
// directory's size, which need not be the picture's): each entry's picture size, and a PNG entry's
// chunks. An entry is decoded on its own and then converted to 32 bits.
TDeclaredPicture checkIcon(const std::uint8_t* p, std::size_t size) {
    TDeclaredPicture out;
    if (size < 6) return out;
    std::int64_t largest = 0;
    auto note = [&](std::int64_t w, std::int64_t h) {
        if (w <= 0 || h <= 0) return;
        checkSize(w, h);
        out.size = out.size.expandedTo(QSize(int(w), int(h)));
        largest = std::max(largest, w * h);
    };
    const std::size_t count = ReadLE16(p + 4);
    for (std::size_t i = 0; i < count && 6 + 16 * (i + 1) <= size; ++i) {
        const std::uint64_t at = ReadLE32(p + 6 + 16 * i + 12);
        if (at + 24 <= size && std::memcmp(p + at, PngMagic, 8) == 0) {
            const QSize s = checkPng(p + at, size - static_cast<std::size_t>(at));
            note(s.width(), s.height());
        } else if (at + 12 <= size && ReadLE32(p + at) >= 40) {
            // A device-independent bitmap: its height covers the picture and the mask below it.
            const auto w = static_cast<std::int32_t>(ReadLE32(p + at + 4));
            const auto h = static_cast<std::int32_t>(ReadLE32(p + at + 8));
            note(std::abs(std::int64_t{w}), std::abs(std::int64_t{h}) / 2);
        }
    }
    // The entry as decoded (at most 8 bytes a pixel) and as converted (4).
    out.libraryBytes = largest * 12;
    return out;
}

} // namespace

const TPictureReader* PictureReadersBegin() {
    return std::begin(Readers);
}

const TPictureReader* PictureReadersEnd() {
    return std::end(Readers);
}

const TPictureReader* FindPictureReader(const QByteArray& format) {
    for (const TPictureReader& r : Readers)
        if (format == r.format) return &r;
    return nullptr;
}

TDeclaredPicture CheckBeforeDecoding(const QByteArray& format, const std::uint8_t* data, std::size_t size) {
    const TPictureReader* reader = FindPictureReader(format);
    if (!reader || !data) return {};
    switch (reader->check) {
    case TReaderCheck::PngChunks:
        return {checkPng(data, size), 0};
    case TReaderCheck::MngChunks:
        return checkMng(data, size);
    case TReaderCheck::IconEntries:
        return checkIcon(data, size);
    default:
        return {};
    }
}
