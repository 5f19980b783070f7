// The blend of Merge Gradient, worked by hand.

#include "app/effects/GradientMerge.h"
#include "image/Color.h"

#include <gtest/gtest.h>

TEST(GradientMerge, StretchedPictureMixedByPercent) {
    TFastDIB z, over, buf;
    z.SetSize(2, 1, 24, 0);
    z.SetPixel(0, 1, ColorToFColor(RGBColor(10, 100, 254)));
    over.SetSize(1, 1, 24, 0);
    over.SetPixel(0, 0, ColorToFColor(RGBColor(255, 1, 3)));
    const struct {
        int percent;
        TColor left, right;
    } cases[] = {
        // Halves to even: 127.5 -> 128, 0.5 -> 0, 1.5 -> 2; 132.5 -> 132, 50.5 -> 50, 128.5 -> 128.
        {50, RGBColor(128, 0, 2), RGBColor(132, 50, 128)},
        // f = 0.3 as a Single is a little above 0.3: 255 f = 76.500003 -> 77; 10 (1 - f) + 255 f = 83.500003.
        {30, RGBColor(77, 0, 1), RGBColor(84, 70, 179)},
        {100, RGBColor(255, 1, 3), RGBColor(255, 1, 3)},
        {0, RGBColor(0, 0, 0), RGBColor(10, 100, 254)},
        {150, RGBColor(255, 1, 3), RGBColor(255, 1, 3)}, // clamped to 100
        {-5, RGBColor(0, 0, 0), RGBColor(10, 100, 254)}, // clamped to 0
    };
    for (const auto& c : cases) {
        MergeStretched(z, over, c.percent, buf);
        ASSERT_EQ(buf.Width, 2);
        EXPECT_EQ(FColorToColor(buf.GetPixel(0, 0)), c.left) << c.percent;
        EXPECT_EQ(FColorToColor(buf.GetPixel(0, 1)), c.right) << c.percent;
    }
}
