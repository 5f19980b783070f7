#pragma once
// Per-pixel and geometric operations on a TFastDIB at every depth it supports: per-channel adjustments
// through 256-entry tables, saturation, noise, a wrap-around shift, a left-right mirror and a rotation
// with wrap-around sampling. All change the image in place except RotateWrap (source to destination).

#include "image/FastDIB.h"

#include <array>
#include <cstdint>

// Entry i is the new value of a channel whose old value is i.
using TChannelTable = std::array<std::uint8_t, 256>;
// Entry v is the new packed value of the 16-bit pixel v.
using TMap16 = std::array<std::uint16_t, 65536>;

struct TSaturationTables {
    std::array<int, 768> grey;           // indexed by r + g + b (0..765 used)
    std::array<std::uint16_t, 256> part; // indexed by a channel value
};

void ShiftTable(int Amount, TChannelTable& Table);
void ContrastTable(int Amount, TChannelTable& Table);
void LightnessTable(int Amount, TChannelTable& Table);

void ApplyChannelTables(TFastDIB& Bmp, const TChannelTable& RTable, const TChannelTable& GTable,
                        const TChannelTable& BTable);
void BuildMap16(const TFastDIB& Bmp, const TChannelTable& RTable, const TChannelTable& GTable,
                const TChannelTable& BTable, TMap16& Map);
void ApplyMap16(TFastDIB& Bmp, const TMap16& Map);

void AdjustRGB(TFastDIB& Bmp, int r, int g, int b);
void AdjustContrast(TFastDIB& Bmp, int r, int g, int b);
void AdjustLightness(TFastDIB& Bmp, int r, int g, int b);

void SaturationTables(int Amount, TSaturationTables& Tables);
void ApplySaturation(TFastDIB& Bmp, const TSaturationTables& Tables);
// 256 leaves colours unchanged, 0 makes them grey; a negative Amount acts as 0.
void AdjustSaturation(TFastDIB& Bmp, int Amount);

// Random noise from the process-wide generator: per channel, or one draw per pixel when Mono.
void AddNoise(TFastDIB& Bmp, std::uint8_t Amount, bool Mono);

// Afterwards pixel (x, y) is the former pixel ((x + dx) mod Width, (y + dy) mod Height).
void WrapShift(TFastDIB& Bmp, int dx, int dy);
// Left-right mirror in place (8 bits per pixel and more).
void MirrorLR(TFastDIB& Bmp);
// Dst := Src mirrored left to right, or upside down (what TFastDIB::Flop does in place), at 24 bits. Dst is
// made Src's size and gets every pixel written; one image as both mirrors it in place; an Src without
// 24-bit pixels leaves Dst alone.
void MirrorLR(const TFastDIB& Src, TFastDIB& Dst);
void MirrorUD(const TFastDIB& Src, TFastDIB& Dst);
// Dst := Src rotated by Angle degrees about (cx, cy), sampled nearest-below with wrap-around.
// Images of different depths, or without pixels, are left alone; Src and Dst may be the same image.
void RotateWrap(const TFastDIB& Src, TFastDIB& Dst, int cx, int cy, long double Angle);
