// Effects that work per pixel, or sample their neighbours with wrap-around, commute with a
// wrap-around shift: a seamless tile stays seamless under them.
#include "app/effects/ColorEffects.h"
#include "app/effects/EffectTestImages.h"
#include "common/QtTestSupport.h"
#include "image/FastFX.h"
#include "image/ZorvFX.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

using namespace efx;

TEST(WrapAroundTest, EffectsCommuteWithWrapShift) {
    const auto lite = MakeLiteRay();
    const std::vector<std::pair<const char*, std::function<void(TFastDIB&)>>> effects{
        {"Color Rotate", [](TFastDIB& b) { ColorRotateFX(b, 8); }},
        {"Negative", [](TFastDIB& b) { NegativeFX(b); }},
        {"Brighten", [](TFastDIB& b) { BrightenFX(b); }},
        {"Lighten", [&](TFastDIB& b) { LightenFX(b, lite); }},
        {"Tint", [](TFastDIB& b) { TintImage(b, 200, 100, 30); }},
        {"Erase to Black", EraseToBlackFX},
        {"Exchange Color", [](TFastDIB& b) { ExchangeColorFX(b, RGBColor(128, 128, 128), 0xFF, 90); }},
        {"StretchBlur with Self", [](TFastDIB& b) { StretchBlurFX(b, nullptr, -1, 1, 32); }},
        {"Scroll",
         [](TFastDIB& b) {
             ScrollLR(b, 5);
             WrapShift(b, 0, 3);
         }},
        {"Gray Scale", [](TFastDIB& b) { GrayScale24(b); }},
    };
    for (const auto& [name, fx] : effects) {
        TFastDIB tile, a, b;
        randomTile(tile, 23, 17, 99);
        copyOf(tile, a);
        copyOf(tile, b);
        WrapShift(a, 7, 4);
        fx(a);
        fx(b);
        WrapShift(b, 7, 4);
        EXPECT_TRUE(SameDIB(a, b)) << name;
    }
}
