#pragma once
// The seamless plasma generator shared by Plasma Cloud and Marble, and the two effects built on it.
// Draws come from the process-wide generator; the callers seed it (once per command).

#include "image/FastDIB.h"

#include <array>
#include <vector>

// A height field of W x H integers, addressed (x, y), stored row by row in one block.
struct TDxy {
    int W = 0, H = 0;
    std::vector<int> v;
    void SetSize(int w, int h) {
        W = w;
        H = h;
        v.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    }
    int& operator()(int x, int y) { return v[static_cast<std::size_t>(y) * W + x]; }
    int operator()(int x, int y) const { return v[static_cast<std::size_t>(y) * W + x]; }
};

// Fills Map (sized W x H by the caller) with a plasma field whose values lie in 0..255 and whose last
// column and row repeat the first ones, so that it tiles. Roughness scales the random displacement
// (below 1: none). Fields narrower or lower than 2 cells stay all 0.
void MakePlasma(TDxy& Map, int Roughness, int W, int H);

// Turns Bmp into a grey plasma cloud. False (image unchanged) when it is narrower or lower than 2.
bool PlasmaCloudFX(TFastDIB& Bmp, int Roughness);

// Marble: two plasma fields displace the pixels along sine and cosine tables of the turbulence and
// scale. False (image unchanged) when Turb is 0 or the image is narrower or lower than 2.
bool MarbleFX(TFastDIB& Bmp, int Roughness, int Turb, float Scale);
