// The BMP writer (BMPFile.h): 24-bit and 16-bit (565) files.

#include "platform/BMPFile.h"

#include "platform/Picture.h"

#include <cstring>

namespace {

void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

constexpr unsigned BiRGB = 0, BiBitfields = 3;

} // namespace

QByteArray EncodeBMP(const TFastDIB& dib, int bitsPerPixel) {
    TFastDIB converted;
    const TFastDIB* src = &SavableDIB24(dib, converted);
    const bool sixteen = bitsPerPixel == 16;
    const int w = src->Width, h = src->Height;
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(w) * (sixteen ? 16 : 24) + 31) / 32 * 4;
    const std::uint32_t headers = 14 + 40 + (sixteen ? 12 : 0);
    const std::uint64_t total = headers + rowBytes * static_cast<std::uint64_t>(h);
    if (total > 0xFFFFFFFFu) throw EInvalidGraphic("The picture is too large for a bitmap file");
    QByteArray out(static_cast<qsizetype>(total), '\0');
    auto* p = reinterpret_cast<std::uint8_t*>(out.data());
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, static_cast<std::uint32_t>(total));
    put32(p + 10, headers);
    put32(p + 14, 40);
    put32(p + 18, static_cast<std::uint32_t>(w));
    put32(p + 22, static_cast<std::uint32_t>(h)); // rows bottom-up
    put16(p + 26, 1);
    put16(p + 28, sixteen ? 16 : 24);
    put32(p + 30, sixteen ? BiBitfields : BiRGB);
    put32(p + 34, static_cast<std::uint32_t>(rowBytes * static_cast<std::uint64_t>(h)));
    if (sixteen) {
        put32(p + 54, 0xF800);
        put32(p + 58, 0x07E0);
        put32(p + 62, 0x001F);
    }
    for (int y = 0; y < h; ++y) {
        const TFColor* s = src->Pixels24[h - 1 - y];
        std::uint8_t* d = p + headers + rowBytes * static_cast<std::uint64_t>(y);
        if (!sixteen) {
            std::memcpy(d, s, static_cast<std::size_t>(w) * 3);
            continue;
        }
        for (int x = 0; x < w; ++x)
            put16(d + 2 * x,
                  static_cast<std::uint16_t>(((s[x].r >> 3) << 11) | ((s[x].g >> 2) << 5) | (s[x].b >> 3)));
    }
    return out;
}
