#include "platform/BMPFile.h"

#include "image/WorkControl.h"
#include "platform/ByteOrder.h"
#include "platform/Picture.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace {


constexpr unsigned BiRGB = 0, BiRLE8 = 1, BiRLE4 = 2, BiBitfields = 3;

struct Header {
    std::uint32_t offBits = 0, infoSize = 0;
    std::int64_t width = 0, height = 0;
    bool topDown = false;
    unsigned bpp = 0, compression = 0;
    std::uint32_t colours = 0;   // entries of the colour table
    std::uint64_t tableAt = 0;   // where the colour table starts
    unsigned tableEntry = 4;     // bytes per entry (3 in the old core header)
    std::uint32_t masks[3] = {}; // red, green, blue
};

Header readHeader(const std::uint8_t* p, std::size_t size) {
    if (size < 26 || p[0] != 'B' || p[1] != 'M') throw EInvalidGraphic("Not a valid bitmap file");
    Header h;
    h.offBits = ReadLE32(p + 10);
    h.infoSize = ReadLE32(p + 14);
    std::uint32_t clrUsed = 0;
    if (h.infoSize == 12) { // the old core header
        h.width = ReadLE16(p + 18);
        h.height = ReadLE16(p + 20);
        h.bpp = ReadLE16(p + 24);
        h.tableEntry = 3;
    } else if (h.infoSize == 40 || h.infoSize == 52 || h.infoSize == 56 || h.infoSize == 64 ||
               h.infoSize == 108 || h.infoSize == 124) {
        if (size < 14 + 40) throw EInvalidGraphic("The bitmap file is truncated");
        h.width = static_cast<std::int32_t>(ReadLE32(p + 18));
        h.height = static_cast<std::int32_t>(ReadLE32(p + 22));
        h.bpp = ReadLE16(p + 28);
        h.compression = ReadLE32(p + 30);
        clrUsed = ReadLE32(p + 46);
    } else {
        throw EInvalidGraphic("Unsupported bitmap header");
    }
    if (h.height < 0) { // rows stored top-down
        h.height = -h.height;
        h.topDown = true;
    }
    if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32)
        throw EInvalidGraphic("Unsupported bitmap colour depth");
    if (h.compression != BiRGB && h.compression != BiRLE8 && h.compression != BiRLE4 &&
        h.compression != BiBitfields)
        throw EInvalidGraphic("Unsupported bitmap compression");
    if (h.compression == BiBitfields && h.bpp != 16 && h.bpp != 32)
        throw EInvalidGraphic("Not a valid bitmap file: bit masks at a depth without them");
    CheckPictureSize(h.width, h.height);

    h.tableAt = 14 + std::uint64_t(h.infoSize);
    if (h.compression == BiBitfields) {
        // The masks follow a 40-byte header and are part of the longer ones.
        const std::uint64_t at = 14 + 40;
        if (at + 12 > size) throw EInvalidGraphic("The bitmap file is truncated");
        for (int i = 0; i < 3; ++i) h.masks[i] = ReadLE32(p + at + 4 * i);
        if (h.infoSize == 40) h.tableAt += 12;
    } else if (h.bpp == 16) {
        h.masks[0] = 0x7C00, h.masks[1] = 0x03E0, h.masks[2] = 0x001F;
    } else if (h.bpp == 32) {
        h.masks[0] = 0xFF0000, h.masks[1] = 0xFF00, h.masks[2] = 0xFF;
    }
    if (h.bpp <= 8) h.colours = clrUsed ? std::min<std::uint32_t>(clrUsed, 1u << h.bpp) : 1u << h.bpp;
    if (h.tableAt + std::uint64_t(h.colours) * h.tableEntry > size)
        throw EInvalidGraphic("The bitmap file is truncated");
    // A header without the pixels' offset: they follow the colour table.
    if (h.offBits < h.tableAt) h.offBits = static_cast<std::uint32_t>(h.tableAt + h.colours * h.tableEntry);
    return h;
}

// One colour channel of a bit-masked pixel: its bits at the top of the byte, the low bits 0.
struct Channel {
    unsigned shift = 0;
    int bits = 0;
    std::uint32_t mask = 0;
    explicit Channel(std::uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = static_cast<unsigned>(std::countr_zero(m));
        bits = std::popcount(m >> shift);
    }
    std::uint8_t operator()(std::uint32_t v) const {
        if (bits == 0) return 0;
        const std::uint32_t c = (v & mask) >> shift;
        return static_cast<std::uint8_t>(bits >= 8 ? c >> (bits - 8) : c << (8 - bits));
    }
};

// Converts one file row of uncompressed pixels into a 24-bit row.
void convertRow(const Header& h, const std::uint8_t* src, TFColor* dst, const TFColor* palette,
                const Channel* ch) {
    const int w = static_cast<int>(h.width);
    switch (h.bpp) {
    case 1:
        for (int x = 0; x < w; ++x) dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
        break;
    case 4:
        for (int x = 0; x < w; ++x) dst[x] = palette[(x & 1) ? src[x >> 1] & 15 : src[x >> 1] >> 4];
        break;
    case 8:
        for (int x = 0; x < w; ++x) dst[x] = palette[src[x]];
        break;
    case 16:
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = ReadLE16(src + 2 * x);
            dst[x] = TFColor{ch[2](v), ch[1](v), ch[0](v)};
        }
        break;
    case 24:
        std::memcpy(dst, src, static_cast<std::size_t>(w) * 3);
        break;
    case 32:
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = ReadLE32(src + 4 * x);
            dst[x] = TFColor{ch[2](v), ch[1](v), ch[0](v)};
        }
        break;
    }
}

void fillRow(TFColor* row, int width) {
    std::fill(row, row + width, MissingPixelsColor);
}

// The bytes read at a time: large enough that each read call costs nothing beside its copy, small
// enough that a stop is taken at once.
constexpr std::uint64_t ChunkBytes = std::uint64_t{8} << 20;
// The most pieces one read takes (the system's limit on a vector read).
constexpr std::uint64_t MaxPieces = 1024;

// Uncompressed and bit-masked pixels. Returns whether every row was in the file.
bool decodePlain(const Header& h, TPictureSource& source, const TFColor* palette, TFastDIB& out) {
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(h.width) * h.bpp + 31) / 32 * 4;
    const std::uint64_t size = source.Size();
    const std::uint64_t available = h.offBits < size ? (size - h.offBits) / rowBytes : 0;
    const std::int64_t rows = std::min<std::int64_t>(h.height, static_cast<std::int64_t>(available));
    if (rows == 0) throw EInvalidGraphic("The bitmap file is truncated");
    const Channel ch[3] = {Channel(h.masks[0]), Channel(h.masks[1]), Channel(h.masks[2])};
    const int w = static_cast<int>(h.width), height = static_cast<int>(h.height);
    auto rowOf = [&](std::int64_t fy) { // file row fy; the file's first row is the bottom one
        return out.Pixels24[static_cast<int>(h.topDown ? fy : height - 1 - fy)];
    };
    const std::int64_t chunkRows =
        static_cast<std::int64_t>(std::clamp<std::uint64_t>(ChunkBytes / rowBytes, 1, MaxPieces));
    // 24-bit rows have the picture's own layout: they are read straight into it, then their padding
    // (whatever the file held there) is cleared. Other depths go through a buffer of one chunk.
    const bool direct = h.bpp == 24;
    std::vector<std::uint8_t> buffer(direct ? 0 : static_cast<std::size_t>(chunkRows * rowBytes));
    std::vector<TPictureSource::Piece> pieces(direct ? static_cast<std::size_t>(chunkRows) : 0);
    const std::size_t pixelBytes = static_cast<std::size_t>(w) * 3;
    std::int64_t got = 0; // whole rows read
    while (got < rows) {
        WorkPoint();
        const std::int64_t n = std::min(chunkRows, rows - got);
        const std::uint64_t at = h.offBits + rowBytes * static_cast<std::uint64_t>(got);
        std::size_t bytes;
        if (direct) {
            for (std::int64_t k = 0; k < n; ++k)
                pieces[static_cast<std::size_t>(k)] = {rowOf(got + k), static_cast<std::size_t>(rowBytes)};
            bytes = source.ReadPieces(at, pieces.data(), static_cast<std::size_t>(n));
        } else {
            bytes = source.ReadAt(at, buffer.data(), static_cast<std::size_t>(n * rowBytes));
        }
        const auto whole = static_cast<std::int64_t>(bytes / rowBytes);
        for (std::int64_t k = 0; k < whole; ++k) {
            auto* row = reinterpret_cast<std::uint8_t*>(rowOf(got + k));
            if (direct)
                std::memset(row + pixelBytes, 0, static_cast<std::size_t>(rowBytes) - pixelBytes);
            else
                convertRow(h, buffer.data() + rowBytes * static_cast<std::uint64_t>(k), rowOf(got + k), palette,
                           ch);
        }
        got += whole;
        if (whole < n) break; // the data ended early: the file became shorter while it was read
    }
    if (got == 0) throw EInvalidGraphic("The bitmap file is truncated");
    for (std::int64_t fy = got; fy < height; ++fy) {
        if ((fy & 255) == 0) WorkPoint();
        fillRow(rowOf(fy), w);
    }
    return got == h.height;
}

// Run-length coded pixels (RLE8, RLE4) in `p` (the data from the pixels' offset on). The pixels start
// as colour index 0, as the format intends: pixels the codes skip (an early end of line, a delta, an
// early end of bitmap) are defined. Runs beyond the right edge are clipped, codes past the top row
// ignored. When the data end before the end-of-bitmap code, the rows from the one being read on are
// missing. Returns whether it was whole.
bool decodeRle(const Header& h, const std::uint8_t* p, std::size_t size, const TFColor* palette,
               TFastDIB& out) {
    const bool rle4 = h.compression == BiRLE4;
    if (h.topDown)
        throw EInvalidGraphic("Not a valid bitmap file: compressed rows cannot be stored top-down");
    if (h.bpp != (rle4 ? 4u : 8u))
        throw EInvalidGraphic("Not a valid bitmap file: compression and colour depth differ");
    const std::size_t w = static_cast<std::size_t>(h.width), hh = static_cast<std::size_t>(h.height);
    std::vector<std::uint8_t> index(w * hh, 0); // file row y at index[y * w], the bottom row first
    std::size_t x = 0, y = 0, i = 0;
    bool ended = false;
    auto put = [&](std::uint8_t v) {
        if (x < w && y < hh) index[y * w + x] = v;
        ++x;
    };
    while (i + 1 < size && y < hh) {
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
            if ((++y & 63) == 0) WorkPoint();
        } else if (code == 1) { // end of bitmap
            ended = true;
            break;
        } else if (code == 2) { // delta: right and up
            if (i + 1 >= size) break;
            x += p[i];
            y += p[i + 1];
            i += 2;
        } else { // `code` pixels given one by one, padded to an even number of bytes
            const std::size_t bytes = rle4 ? (code + 1) / 2 : code;
            if (i + bytes > size) break;
            for (unsigned k = 0; k < code && x < w; ++k)
                put(rle4 ? static_cast<std::uint8_t>(k % 2 ? p[i + k / 2] & 15 : p[i + k / 2] >> 4)
                         : p[i + k]);
            i += bytes + (bytes & 1);
        }
    }
    // Every row reached by the codes is whole once they went past it.
    const bool whole = ended || y >= hh;
    const std::size_t readRows = whole ? hh : y;
    if (readRows == 0 && !whole) throw EInvalidGraphic("The bitmap file is truncated");
    for (std::size_t fy = 0; fy < hh; ++fy) {
        if ((fy & 255) == 0) WorkPoint();
        TFColor* row = out.Pixels24[static_cast<int>(hh - 1 - fy)];
        if (fy >= readRows) {
            fillRow(row, static_cast<int>(w));
            continue;
        }
        const std::uint8_t* src = &index[fy * w];
        for (std::size_t fx = 0; fx < w; ++fx) row[fx] = palette[src[fx]];
    }
    return whole;
}

} // namespace

bool DecodeBMP(TPictureSource& source, TFastDIB& dib) {
    // The headers and the colour table lie within the first 14 + 124 + 12 + 256 * 4 bytes.
    std::uint8_t head[2048];
    const std::size_t headSize = source.ReadAt(0, head, sizeof head);
    const Header h = readHeader(head, headSize);
    TFColor palette[256] = {}; // entries the table lacks are black
    for (std::uint32_t i = 0; i < h.colours; ++i) {
        const std::uint8_t* c = head + h.tableAt + std::uint64_t(i) * h.tableEntry;
        palette[i] = TFColor{c[0], c[1], c[2]};
    }
    // Run-length coded pixels go through an index of a byte a pixel and the codes held whole.
    const bool rle = h.compression == BiRLE8 || h.compression == BiRLE4;
    if (rle)
        CheckPictureMemory(
            h.width, h.height,
            h.width * h.height * 4 +
                static_cast<std::int64_t>(source.Size() - std::min<std::uint64_t>(h.offBits, source.Size())));
    TFastDIB out;
    // Every row is written once by the decoder: no huge-page request for it (see SetSizeForReading).
    out.SetSizeForReading(static_cast<int>(h.width), static_cast<int>(h.height), 24, 0);
    if (out.Empty()) throw std::bad_alloc();
    bool whole;
    if (rle) {
        // The codes, from the pixels' offset to the end; a compressed file is small beside its picture.
        const std::uint64_t size = source.Size();
        std::vector<std::uint8_t> codes(h.offBits < size ? static_cast<std::size_t>(size - h.offBits) : 0);
        codes.resize(source.ReadAt(h.offBits, codes.data(), codes.size()));
        whole = decodeRle(h, codes.data(), codes.size(), palette, out);
    } else {
        whole = decodePlain(h, source, palette, out);
    }
    dib.Swap(out);
    return whole;
}

bool DecodeBMP(const std::uint8_t* data, std::size_t size, TFastDIB& dib) {
    if (!data) throw EInvalidGraphic("Not a valid bitmap file");
    TMemorySource source(data, size);
    return DecodeBMP(source, dib);
}
