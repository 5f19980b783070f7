#include "app/effects/Plasma.h"
#include "image/WorkControl.h"

#include "image/Numeric.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The recursion state of one field.
struct TPlasmaState {
    TDxy& Map;
    int Roughness;
    int Depth = 0;
};

// The cell at (x, y) between the cells a and b: their mean moved by a random amount that halves with
// each level of subdivision, kept to 1..255.
void PlasmaAdjust(TPlasmaState& st, int a, int b, int x, int y) {
    int d = Random(st.Roughness) >> st.Depth;
    if (Random(2) == 0) d = -d;
    const int v = std::clamp(d + ((a + b + 1) >> 1), 1, 255);
    st.Map(x, y) = v;
}

void PlasmaSubdivide(TPlasmaState& st, int x1, int y1, int x2, int y2) {
    if (x2 - x1 < 2 && y2 - y1 < 2) return;
    if (x2 - x1 >= 64 || y2 - y1 >= 64) WorkPoint(); // once per large square, not per cell
    TDxy& m = st.Map;
    ++st.Depth;
    const int xm = (x1 + x2) >> 1, ym = (y1 + y2) >> 1;
    // A cell holding 0 counts as not yet set.
    if (m(xm, y1) == 0) PlasmaAdjust(st, m(x1, y1), m(x2, y1), xm, y1);
    if (m(x2, ym) == 0) PlasmaAdjust(st, m(x2, y1), m(x2, y2), x2, ym);
    if (m(xm, y2) == 0) PlasmaAdjust(st, m(x1, y2), m(x2, y2), xm, y2);
    if (m(x1, ym) == 0) PlasmaAdjust(st, m(x1, y1), m(x1, y2), x1, ym);
    if (m(xm, ym) == 0) m(xm, ym) = (m(xm, y1) + m(x2, ym) + m(xm, y2) + m(x1, ym) + 2) >> 2;
    PlasmaSubdivide(st, x1, y1, xm, ym);
    PlasmaSubdivide(st, xm, y1, x2, ym);
    PlasmaSubdivide(st, xm, ym, x2, y2);
    PlasmaSubdivide(st, x1, ym, xm, y2);
    --st.Depth;
}

// |nint(v)| - 1, kept to 0..hi.
inline int AbsLessOne(double v, int hi) {
    const double a = std::fabs(std::nearbyint(v)) - 1;
    return !(a > 0) ? 0 : (a >= hi ? hi : static_cast<int>(a));
}

} // namespace

void MakePlasma(TDxy& Map, int Roughness, int W, int H) {
    if (Map.W != W || Map.H != H) Map.SetSize(W, H);
    std::fill(Map.v.begin(), Map.v.end(), 0);
    if (W < 2 || H < 2) return;
    const int hx = W / 2, hy = H / 2;
    TPlasmaState st{Map, Roughness};
    Map(0, 0) = Random(255);
    Map(hx, 0) = Random(255);
    Map(0, hy) = Random(255);
    Map(hx, hy) = Random(255);
    const int lx = 2 * hx - 1, ly = 2 * hy - 1;
    st.Depth = 0;
    PlasmaSubdivide(st, 0, 0, hx, hy);
    for (int y = 0; y <= hy; ++y) Map(lx, y) = Map(0, y);
    st.Depth = 0;
    PlasmaSubdivide(st, hx, 0, lx, hy);
    for (int x = 0; x <= lx; ++x) Map(x, ly) = Map(x, 0);
    st.Depth = 0;
    PlasmaSubdivide(st, hx, hy, lx, ly);
    for (int y = hy; y <= ly; ++y) Map(0, y) = Map(lx, y);
    st.Depth = 0;
    PlasmaSubdivide(st, 0, hy, hx, ly);
    // An odd size leaves one column or row past the mirrored ones: it repeats the first, so the field
    // still tiles.
    if (W & 1)
        for (int y = 0; y < H; ++y) Map(W - 1, y) = Map(0, y);
    if (H & 1)
        for (int x = 0; x < W; ++x) Map(x, H - 1) = Map(x, 0);
}

bool PlasmaCloudFX(TFastDIB& Bmp, int Roughness) {
    if (Bmp.Empty() || Bmp.Bpp != 24 || Bmp.Width < 2 || Bmp.Height < 2) return false;
    TDxy xval;
    xval.SetSize(Bmp.Width, Bmp.Height);
    MakePlasma(xval, Roughness, Bmp.Width, Bmp.Height);
    for (int y = 0; y < Bmp.Height; ++y) {
        WorkPoint();
        TFColor* row = Bmp.Pixels24[y];
        const int* src = &xval.v[static_cast<std::size_t>(y) * Bmp.Width];
        for (int x = 0; x < Bmp.Width; ++x) {
            const auto g = static_cast<std::uint8_t>(src[x] & 255);
            row[x] = TFColor{g, g, g};
        }
    }
    return true;
}

bool MarbleFX(TFastDIB& Bmp, int Roughness, int Turb, float Scale) {
    if (Turb == 0 || Bmp.Empty() || Bmp.Bpp != 24 || Bmp.Width < 2 || Bmp.Height < 2) return false;
    const int W = Bmp.Width, H = Bmp.Height;
    std::array<float, 256> MarbleSin{}, MarbleCos{};
    for (int i = 0; i < 256; ++i) {
        MarbleSin[i] = static_cast<float>(std::sin(static_cast<double>(i) / Turb) * Scale);
        MarbleCos[i] = static_cast<float>(std::cos(static_cast<double>(i) / Turb) * Scale);
    }
    TDxy xval, yval;
    xval.SetSize(W, H);
    yval.SetSize(W, H);
    MakePlasma(xval, Roughness, W, H);
    MakePlasma(yval, Roughness, W, H);

    TFastDIB out;
    out.SetSize(W, H, 24, 0);
    const int ox = W / 2 + 1, oy = H / 2 + 1;
    for (int y = 0; y < H; ++y) {
        WorkPoint();
        TFColor* dst = out.Pixels24[y];
        const int* xv = &xval.v[static_cast<std::size_t>(y) * W];
        const int* yv = &yval.v[static_cast<std::size_t>(y) * W];
        const double dy = y - oy;
        for (int x = 0; x < W; ++x) {
            const int sx = AbsLessOne(static_cast<double>(x - ox) * MarbleSin[xv[x] & 255], W - 1);
            const int sy = AbsLessOne(dy * MarbleCos[yv[x] & 255], H - 1);
            dst[x] = Bmp.Pixels24[sy][sx];
        }
    }
    Bmp.Swap(out);
    return true;
}
