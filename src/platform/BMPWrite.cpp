// The BMP writer (BMPFile.h): 24-bit and 16-bit (565) files.

#include "platform/BMPFile.h"

#include "image/WorkControl.h"
#include "platform/Picture.h"
#include "platform/SafeFile.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

constexpr unsigned BiRGB = 0, BiBitfields = 3;

// The file's layout: its headers and the size of its rows.
struct Layout {
    int width = 0, height = 0;
    bool sixteen = false;
    std::uint64_t rowBytes = 0;
    std::uint32_t headers = 0;
    std::uint64_t total = 0;
};

Layout layoutOf(const TFastDIB& src, int bitsPerPixel) {
    Layout l;
    l.width = src.Width;
    l.height = src.Height;
    l.sixteen = bitsPerPixel == 16;
    l.rowBytes = (static_cast<std::uint64_t>(l.width) * (l.sixteen ? 16 : 24) + 31) / 32 * 4;
    l.headers = 14 + 40 + (l.sixteen ? 12 : 0);
    l.total = l.headers + l.rowBytes * static_cast<std::uint64_t>(l.height);
    if (l.total > 0xFFFFFFFFu) throw EInvalidGraphic("The picture is too large for a bitmap file");
    return l;
}

void writeHeaders(const Layout& l, std::uint8_t* p) {
    std::memset(p, 0, l.headers);
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, static_cast<std::uint32_t>(l.total));
    put32(p + 10, l.headers);
    put32(p + 14, 40);
    put32(p + 18, static_cast<std::uint32_t>(l.width));
    put32(p + 22, static_cast<std::uint32_t>(l.height)); // rows bottom-up
    put16(p + 26, 1);
    put16(p + 28, l.sixteen ? 16 : 24);
    put32(p + 30, l.sixteen ? BiBitfields : BiRGB);
    put32(p + 34, static_cast<std::uint32_t>(l.rowBytes * static_cast<std::uint64_t>(l.height)));
    if (l.sixteen) {
        put32(p + 54, 0xF800);
        put32(p + 58, 0x07E0);
        put32(p + 62, 0x001F);
    }
}

// Rows [first, first + count) of the file (counted from the file's first, the picture's bottom row)
// into `d`, padding included.
void writeRows(const TFastDIB& src, const Layout& l, int first, int count, std::uint8_t* d) {
    const int w = l.width;
    for (int y = first; y < first + count; ++y, d += l.rowBytes) {
        WorkPoint();
        const TFColor* s = src.Pixels24[l.height - 1 - y];
        if (!l.sixteen) {
            std::memcpy(d, s, static_cast<std::size_t>(w) * 3);
            std::memset(d + std::size_t(w) * 3, 0, l.rowBytes - std::size_t(w) * 3);
            continue;
        }
        for (int x = 0; x < w; ++x)
            put16(d + 2 * x,
                  static_cast<std::uint16_t>(((s[x].r >> 3) << 11) | ((s[x].g >> 2) << 5) | (s[x].b >> 3)));
        std::memset(d + std::size_t(w) * 2, 0, l.rowBytes - std::size_t(w) * 2);
    }
}

// What a streamed file is written in: about this many bytes of rows at a time.
constexpr std::uint64_t BlockBytes = 1 << 20;

} // namespace

QByteArray EncodeBMP(const TFastDIB& dib, int bitsPerPixel) {
    TFastDIB converted;
    const TFastDIB& src = SavableDIB24(dib, converted);
    const Layout l = layoutOf(src, bitsPerPixel);
    QByteArray out(static_cast<qsizetype>(l.total), Qt::Uninitialized);
    auto* p = reinterpret_cast<std::uint8_t*>(out.data());
    writeHeaders(l, p);
    writeRows(src, l, 0, l.height, p + l.headers);
    return out;
}

void WriteBMPFile(const TFastDIB& dib, const QString& fileName, int bitsPerPixel) {
    TFastDIB converted;
    const TFastDIB& src = SavableDIB24(dib, converted);
    const Layout l = layoutOf(src, bitsPerPixel);
    const int rowsPerBlock = static_cast<int>(std::max<std::uint64_t>(1, BlockBytes / l.rowBytes));
    std::vector<std::uint8_t> block(std::max<std::uint64_t>(l.headers, l.rowBytes * rowsPerBlock));
    QString reason;
    const bool written = WriteFileStreamed(
        fileName,
        [&](const TFileSink& sink) {
            writeHeaders(l, block.data());
            if (!sink(reinterpret_cast<const char*>(block.data()), l.headers)) return false;
            for (int y = 0; y < l.height; y += rowsPerBlock) {
                const int count = std::min(rowsPerBlock, l.height - y);
                writeRows(src, l, y, count, block.data());
                if (!sink(reinterpret_cast<const char*>(block.data()),
                          static_cast<qint64>(l.rowBytes * static_cast<std::uint64_t>(count))))
                    return false;
            }
            return true;
        },
        &reason);
    if (!written)
        ThrowWriteError(fileName, reason);
}
