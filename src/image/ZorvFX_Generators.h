#pragma once
// Image generators and relief shading: a star burst painted over an image, a bilinear four-colour
// gradient, a 256 x 256 colour wheel and a height-map relief lit from a chosen direction, with the small
// numeric routines they share (a bell-shaped random number, clamps, red-green-blue <-> hue-saturation-
// lightness, degrees to radians). Every picture is a 24-bit TFastDIB; other depths are left alone.

#include "image/FastDIB.h"

#include <cstdint>

// Mean of six uniform draws from the process-wide generator: 0 .. 1, bell-shaped about 0.5.
double GaussRandom();
double ClampDouble(double x, double lo, double hi);
int ClampInt(int x, int lo, int hi);

// Colours, hue, saturation and lightness all run from 0 to 1 (a hue of 1 is the same colour as 0).
void RGBToHSL(double& H, double& S, double& L, double R, double G, double B);
// A hue outside 0 .. 1 is taken modulo 1.
void HSLToRGB(double& R, double& G, double& B, double H, double S, double L);
double DegToRad(double Degrees);

// The light of a relief: the light vector scaled to 255.9, the constant z part of every surface normal
// and the shade of a flat surface. Made by SetEmbossLight, read by EmbossRow.
struct TEmbossLight {
    double Lx = 0, Ly = 0, Lz = 0;
    double Nz = 0, Nz2 = 0, NzLz = 0;
    double Background = 0;
};

// Angles in radians. A Depth of 0 (which would make the surface infinitely steep) acts as 20.
TEmbossLight SetEmbossLight(std::uint16_t Depth, double Azimuth, double Elevation);

// Shades one row. Rows holds three consecutive rows (above, centre, below) of Width pixels of PixelBytes
// bytes each, packed without padding; the height of a pixel is its first byte. Out receives pixels
// 1 .. Width - 2 (pixels 0 and Width - 1 are not written): the shade in every byte, or, with a Texture
// row, each Texture byte times the shade / 256. With KeepLast non-zero the last byte of each pixel is
// copied from the centre row instead of shaded.
void EmbossRow(const TEmbossLight& Light, const std::uint8_t* Rows, const std::uint8_t* Texture,
               std::uint8_t* Out, int Width, int PixelBytes, int KeepLast);

// Relief shading of Bmp in place, its blue byte taken as the height, sampled with wrap-around so that a
// seamless tile stays seamless. Work is scratch (left (W + 6) x (H + 6)). Azimuth and Elevation are in
// degrees (0 means 30 and 45); Depth is taken modulo 65536 and 0 means 20. GreyRelief 0 darkens the
// colour of the pixel above each pixel by the shade, 1 gives the shade alone.
void HeightMap(TFastDIB& Bmp, TFastDIB& Work, int Depth, double Azimuth, double Elevation, int GreyRelief);

// Dst := Src with a star burst of the colour (r, g, b) centred at (X, Y) (clamped into the image), with
// Spokes random spokes whose hue walks randomly by up to RandomHue / 2 degrees from one to the next.
// Reseeds the process-wide generator from the clock. With Spokes <= 0 or Radius 0 Dst is a copy of Src;
// more than 1048576 spokes count as 1048576.
// Dst is sized to Src.
void SuperNova(const TFastDIB& Src, TFastDIB& Dst, int b, int g, int r, int X, int Y, int Radius, int Spokes,
               int RandomHue);
// The same burst drawn from a given seed, so that a burst can be repeated.
void superNovaWithSeed(const TFastDIB& Src, TFastDIB& Dst, int b, int g, int r, int X, int Y, int Radius,
                       int Spokes, int RandomHue, std::uint32_t Seed);

// Fills the rectangle between (x1, y1) and (x2, y2), both included and in either order, with a bilinear
// blend of the four corner colours. Nothing is drawn when the rectangle reaches outside the image.
void FourCornerGradient(TFastDIB& Bmp, int x1, int y1, int x2, int y2, TFColor TopLeft, TFColor TopRight,
                        TFColor BottomLeft, TFColor BottomRight);

// Draws a 256 x 256 colour wheel (white centre, fully saturated ring, black outside) into the top-left
// corner, clipped to the image.
void ColorWheel(TFastDIB& Bmp);
