// The colour members of FastFX: channel tables, the 16-bit map, saturation and noise.
#include "image/FastFX.h"
#include "image/FastFX_Simd.h"
#include "image/Numeric.h"
#include "image/Parallel.h"
#include "image/WorkControl.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// A 16-bit map is 128 KB: kept on the heap rather than on the stack.
std::unique_ptr<TMap16> newMap16() {
    return std::make_unique<TMap16>();
}

bool hasPixels(const TFastDIB& Bmp) {
    return Bmp.Bits && Bmp.Width > 0 && Bmp.Height > 0;
}

// Palette images change their colour table entries 0 .. (1 shl Bpp) - 1, never their pixels.
bool isPaletteDepth(int bpp) {
    return bpp == 1 || bpp == 4 || bpp == 8;
}

template <class F> void forPaletteEntries(TFastDIB& Bmp, F f) {
    const int n = 1 << Bmp.Bpp;
    for (int i = 0; i < n; ++i) f((*Bmp.Colors)[i]);
}

// Unpacks a 16-bit value to three 8-bit channel indexes the way the map builders do: each channel's
// bits end up in the high bits of its byte.
struct Unpack16 {
    unsigned b, g, r;
};
inline Unpack16 unpack16(const TFastDIB& Bmp, unsigned v) {
    return {static_cast<std::uint8_t>(v << Bmp.bshr), static_cast<std::uint8_t>((v >> Bmp.gshl) << Bmp.gshr),
            static_cast<std::uint8_t>((v >> Bmp.rshl) << Bmp.rshr)};
}
inline std::uint16_t pack16(const TFastDIB& Bmp, unsigned r, unsigned g, unsigned b) {
    return static_cast<std::uint16_t>(((r >> Bmp.rshr) << Bmp.rshl) | ((g >> Bmp.gshr) << Bmp.gshl) |
                                      (b >> Bmp.bshr));
}

// --- channel tables -------------------------------------------------------------------------------

void ApplyTables24(TFastDIB& Bmp, const TChannelTable& RTable, const TChannelTable& GTable,
                   const TChannelTable& BTable) {
    const std::size_t n = static_cast<std::size_t>(Bmp.Width) * 3;
    const std::int64_t work = WorkOf(Bmp, CostSimple);
    if (fastfx_simd::Available()) {
        ParallelRows(Bmp.Height, work, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                fastfx_simd::ApplyTables24(Bmp.Scanlines[y], n, BTable.data(), GTable.data(), RTable.data());
        });
        return;
    }
    ParallelRows(Bmp.Height, work, [&](int y0, int y1) {
        // Local copies: the tables cannot alias the pixels, so their addresses stay in registers.
        const TChannelTable R = RTable, G = GTable, B = BTable;
        std::uint8_t* const* rows = Bmp.Scanlines;
        const std::size_t bytes = n;
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* p = rows[y];
            std::uint8_t* const end = p + bytes;
            for (; p < end; p += 3) {
                const std::uint8_t b = B[p[0]], g = G[p[1]], r = R[p[2]];
                p[0] = b;
                p[1] = g;
                p[2] = r;
            }
        }
    });
}

void ApplyTables32(TFastDIB& Bmp, const TChannelTable& RTable, const TChannelTable& GTable,
                   const TChannelTable& BTable) {
    // The row padding at 32 bits is 0, so the rows form one run; it is walked a row at a time with a stop
    // check between rows.
    const std::size_t count = static_cast<std::size_t>(Bmp.Width);
    const bool simd = fastfx_simd::Available();
    const TChannelTable R = RTable, G = GTable, B = BTable;
    for (int y = 0; y < Bmp.Height; ++y) {
        WorkPoint();
        std::uint8_t* p = Bmp.Scanlines[y];
        if (simd) {
            fastfx_simd::ApplyTables32(p, count, B.data(), G.data(), R.data());
            continue;
        }
        for (std::size_t i = 0; i < count; ++i, p += 4) {
            std::uint32_t w;
            std::memcpy(&w, p, 4);
            w = (w & 0xFF000000u) | B[w & 0xFF] | (std::uint32_t{G[(w >> 8) & 0xFF]} << 8) |
                (std::uint32_t{R[(w >> 16) & 0xFF]} << 16);
            std::memcpy(p, &w, 4);
        }
    }
}

void mapPaletteEntries(TFastDIB& Bmp, const TChannelTable& R, const TChannelTable& G,
                       const TChannelTable& B) {
    forPaletteEntries(Bmp, [&](TFColorA& c) {
        c.b = B[c.b];
        c.g = G[c.g];
        c.r = R[c.r];
    });
}

// --- saturation -----------------------------------------------------------------------------------

inline std::uint8_t saturate(const TSaturationTables& T, int g0, unsigned c) {
    return ClampToByte(T.part[c] + g0);
}

void ApplySaturation24(TFastDIB& Bmp, const TSaturationTables& Tables) {
    ParallelRows(Bmp.Height, WorkOf(Bmp, CostSimple), [&](int y0, int y1) {
        // A local copy of the tables: no pixel store can alias it.
        const TSaturationTables T = Tables;
        std::uint8_t* const* rows = Bmp.Scanlines;
        const int w = Bmp.Width;
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* p = rows[y];
            for (int x = 0; x < w; ++x, p += 3) {
                const int g0 = T.grey[p[0] + p[1] + p[2]];
                p[0] = saturate(T, g0, p[0]);
                p[1] = saturate(T, g0, p[1]);
                p[2] = saturate(T, g0, p[2]);
            }
        }
    });
}

void ApplySaturation32(TFastDIB& Bmp, const TSaturationTables& T) {
    for (int y = 0; y < Bmp.Height; ++y) {
        WorkPoint();
        std::uint8_t* p = Bmp.Scanlines[y];
        for (int x = 0; x < Bmp.Width; ++x, p += 4) {
            const int g0 = T.grey[p[0] + p[1] + p[2]];
            p[0] = saturate(T, g0, p[0]);
            p[1] = saturate(T, g0, p[1]);
            p[2] = saturate(T, g0, p[2]);
        }
    }
}

void ApplySaturation16(TFastDIB& Bmp, const TSaturationTables& T) {
    auto map = newMap16();
    for (unsigned v = 0; v < 65536; ++v) {
        const Unpack16 c = unpack16(Bmp, v);
        const int g0 = T.grey[c.r + c.g + c.b];
        (*map)[v] = pack16(Bmp, saturate(T, g0, c.r), saturate(T, g0, c.g), saturate(T, g0, c.b));
    }
    ApplyMap16(Bmp, *map);
}

// --- noise ----------------------------------------------------------------------------------------

// Noise draws: integers from -h to a - 1 - h, from the process-wide sequence.
struct NoiseDraw {
    RandomDraws& rnd;
    int a, h;
    int operator()() { return rnd(a) - h; }
};

// Channels b, g, r of one pixel, each with its own draw or one shared draw.
inline void noisePixel(std::uint8_t* p, NoiseDraw& draw, bool mono) {
    if (mono) {
        const int n = draw();
        p[0] = ClampToByte(p[0] + n);
        p[1] = ClampToByte(p[1] + n);
        p[2] = ClampToByte(p[2] + n);
    } else {
        p[0] = ClampToByte(p[0] + draw());
        p[1] = ClampToByte(p[1] + draw());
        p[2] = ClampToByte(p[2] + draw());
    }
}

} // namespace

// --- public routines ------------------------------------------------------------------------------

void ShiftTable(int Amount, TChannelTable& Table) {
    const int a = std::clamp(Amount, -255, 255);
    for (int i = 0; i < 256; ++i) Table[i] = ClampToByte(i + a);
}

void ContrastTable(int Amount, TChannelTable& Table) {
    for (int i = 0; i < 256; ++i) {
        // 64 bits: an absurd Amount must not overflow the product.
        const std::int64_t d = (static_cast<std::int64_t>(i < 128 ? 128 - i : i - 128) * Amount) / 256;
        const std::int64_t v = i <= 126 ? i - d : i + d;
        Table[i] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255));
    }
}

void LightnessTable(int Amount, TChannelTable& Table) {
    for (int i = 0; i < 256; ++i) {
        std::int64_t v;
        if (Amount >= 0)
            v = i + (((255 - i) * static_cast<std::int64_t>(Amount)) >> 8);
        else
            v = i - ((-static_cast<std::int64_t>(Amount) * i) >> 8);
        Table[i] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255));
    }
}

void ApplyChannelTables(TFastDIB& Bmp, const TChannelTable& RTable, const TChannelTable& GTable,
                        const TChannelTable& BTable) {
    if (isPaletteDepth(Bmp.Bpp)) {
        mapPaletteEntries(Bmp, RTable, GTable, BTable);
        return;
    }
    if (!hasPixels(Bmp)) return;
    switch (Bmp.Bpp) {
    case 24:
        ApplyTables24(Bmp, RTable, GTable, BTable);
        break;
    case 32:
        ApplyTables32(Bmp, RTable, GTable, BTable);
        break;
    case 16: {
        auto map = newMap16();
        BuildMap16(Bmp, RTable, GTable, BTable, *map);
        ApplyMap16(Bmp, *map);
        break;
    }
    default:
        break;
    }
}

void BuildMap16(const TFastDIB& Bmp, const TChannelTable& RTable, const TChannelTable& GTable,
                const TChannelTable& BTable, TMap16& Map) {
    for (unsigned v = 0; v < 65536; ++v) {
        const Unpack16 c = unpack16(Bmp, v);
        Map[v] = pack16(Bmp, RTable[c.r], GTable[c.g], BTable[c.b]);
    }
}

void ApplyMap16(TFastDIB& Bmp, const TMap16& Map) {
    if (Bmp.Bpp != 16 || !hasPixels(Bmp)) return;
    const int w = Bmp.Width;
    for (int y = 0; y < Bmp.Height; ++y) {
        WorkPoint();
        std::uint16_t* p = Bmp.Pixels16[y];
        for (int x = 0; x < w; ++x) p[x] = Map[p[x]];
    }
}

void AdjustRGB(TFastDIB& Bmp, int r, int g, int b) {
    TChannelTable rt, gt, bt;
    ShiftTable(b, bt);
    ShiftTable(g, gt);
    ShiftTable(r, rt);
    ApplyChannelTables(Bmp, rt, gt, bt);
}

void AdjustContrast(TFastDIB& Bmp, int r, int g, int b) {
    TChannelTable rt, gt, bt;
    ContrastTable(b, bt);
    ContrastTable(g, gt);
    ContrastTable(r, rt);
    ApplyChannelTables(Bmp, rt, gt, bt);
}

void AdjustLightness(TFastDIB& Bmp, int r, int g, int b) {
    TChannelTable rt, gt, bt;
    LightnessTable(b, bt);
    LightnessTable(g, gt);
    LightnessTable(r, rt);
    ApplyChannelTables(Bmp, rt, gt, bt);
}

void SaturationTables(int Amount, TSaturationTables& Tables) {
    // The product is unsigned: a negative Amount would give huge parts, so it acts as 0 (all grey).
    const std::uint32_t a = Amount < 0 ? 0u : static_cast<std::uint32_t>(Amount);
    for (std::uint32_t i = 0; i < 256; ++i) Tables.part[i] = static_cast<std::uint16_t>(((i + 1) * a) >> 8);
    for (int q = 0; q < 256; ++q) {
        const int v = q - Tables.part[q];
        Tables.grey[3 * q] = Tables.grey[3 * q + 1] = Tables.grey[3 * q + 2] = v;
    }
}

void ApplySaturation(TFastDIB& Bmp, const TSaturationTables& Tables) {
    const TSaturationTables T = Tables;
    if (isPaletteDepth(Bmp.Bpp)) {
        forPaletteEntries(Bmp, [&](TFColorA& c) {
            const int g0 = T.grey[c.r + c.g + c.b];
            c.b = saturate(T, g0, c.b);
            c.g = saturate(T, g0, c.g);
            c.r = saturate(T, g0, c.r);
        });
        return;
    }
    if (!hasPixels(Bmp)) return;
    switch (Bmp.Bpp) {
    case 24:
        ApplySaturation24(Bmp, T);
        break;
    case 32:
        ApplySaturation32(Bmp, T);
        break;
    case 16:
        ApplySaturation16(Bmp, T);
        break;
    default:
        break;
    }
}

void AdjustSaturation(TFastDIB& Bmp, int Amount) {
    TSaturationTables T;
    SaturationTables(Amount, T);
    ApplySaturation(Bmp, T);
}

void AddNoise(TFastDIB& Bmp, std::uint8_t Amount, bool Mono) {
    if (!hasPixels(Bmp)) return;
    RandomDraws rnd;
    NoiseDraw draw{rnd, Amount, Amount / 2};
    const int w = Bmp.Width;
    switch (Bmp.Bpp) {
    // The draws follow one sequence, so the rows are worked in order on this thread, with a stop check
    // before each row.
    case 24:
        for (int y = 0; y < Bmp.Height; ++y) {
            WorkPoint();
            std::uint8_t* p = Bmp.Scanlines[y];
            for (int x = 0; x < w; ++x, p += 3) noisePixel(p, draw, Mono);
        }
        break;
    case 32: // no row padding at 32 bits: the rows are one run
        for (int y = 0; y < Bmp.Height; ++y) {
            WorkPoint();
            std::uint8_t* p = Bmp.Scanlines[y];
            for (int x = 0; x < w; ++x, p += 4) noisePixel(p, draw, Mono);
        }
        break;
    case 16: {
        const unsigned bm = static_cast<std::uint32_t>(Bmp.bMask()),
                       gm = static_cast<std::uint32_t>(Bmp.gMask()),
                       rm = static_cast<std::uint32_t>(Bmp.rMask());
        for (int y = 0; y < Bmp.Height; ++y) {
            WorkPoint();
            std::uint16_t* p = Bmp.Pixels16[y];
            for (int x = 0; x < w; ++x) {
                const unsigned v = p[x];
                int b8 = static_cast<int>((v & bm) << Bmp.bshr);
                int g8 = static_cast<int>(((v & gm) >> Bmp.gshl) << Bmp.gshr);
                int r8 = static_cast<int>(((v & rm) >> Bmp.rshl) << Bmp.rshr);
                if (Mono) {
                    const int n = draw();
                    b8 += n, g8 += n, r8 += n;
                } else {
                    b8 += draw();
                    g8 += draw();
                    r8 += draw();
                }
                p[x] = pack16(Bmp, ClampToByte(r8), ClampToByte(g8), ClampToByte(b8));
            }
        }
        break;
    }
    case 8:
        for (int y = 0; y < Bmp.Height; ++y) {
            WorkPoint();
            std::uint8_t* p = Bmp.Scanlines[y];
            for (int x = 0; x < w; ++x) p[x] = ClampToByte(p[x] + draw());
        }
        break;
    default:
        break;
    }
}
