#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(NumberText, IntegersAndRealsAsTyped) {
    struct Case {
        const char* Text;
        bool Int;
        bool Real;
        int IntValue;
        double RealValue;
    };
    const Case cases[] = {
        {"250", true, true, 250, 250},
        {" -7 ", true, true, -7, -7},
        {"+3", true, true, 3, 3},
        {"2147483647", true, true, 2147483647, 2147483647.0},
        {"2147483648", false, true, 0, 2147483648.0},
        {"-2147483648", true, true, -2147483647 - 1, -2147483648.0},
        {"2.5", false, true, 0, 2.5},
        {"2,5", false, true, 0, 2.5},
        {".5", false, true, 0, 0.5},
        {"5.", false, true, 0, 5},
        {"1e3", false, true, 0, 1000},
        {"-1.5E-2", false, true, 0, -0.015},
        {"", false, false, 0, 0},
        {"-", false, false, 0, 0},
        {".", false, false, 0, 0},
        {"1e", false, false, 0, 0},
        {"1.2.3", false, false, 0, 0},
        {"0x10", false, false, 0, 0},
        {"$10", false, false, 0, 0},
        {"inf", false, false, 0, 0},
        {"nan", false, false, 0, 0},
        {"1e400", false, false, 0, 0},
        {"12a", false, false, 0, 0},
        {"1 2", false, false, 0, 0},
    };
    for (const Case& c : cases) {
        int i = 0;
        double d = 0;
        EXPECT_EQ(TextToInt(c.Text, i), c.Int) << c.Text;
        if (c.Int) {
            EXPECT_EQ(i, c.IntValue) << c.Text;
        }
        EXPECT_EQ(TextToDouble(c.Text, d), c.Real) << c.Text;
        if (c.Real) {
            EXPECT_DOUBLE_EQ(d, c.RealValue) << c.Text;
        }
    }
    float f = 0;
    EXPECT_TRUE(TextToSingle("3.4e38", f));
    EXPECT_FALSE(TextToSingle("3.5e38", f)); // a Double, but beyond a Single
    EXPECT_FALSE(TextToSingle("-1e39", f));
}

TEST(NumberText, ConversionErrorsAndFormats) {
    EXPECT_EQ(StrToInt("12"), 12);
    try {
        StrToInt("2.5");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "'2.5' is not a valid integer value");
    }
    try {
        StrToSingle("abc");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
    EXPECT_EQ(FloatText(3.0), "3");
    EXPECT_EQ(FloatText(0.75), "0.75");
    EXPECT_EQ(FloatText(0.1f), "0.100000001490116");
    EXPECT_EQ(FloatText(-17.0), "-17");
    EXPECT_EQ(TwoDecimals(0.5f), "0.50");
    EXPECT_EQ(TwoDecimals(-1), "-1.00");
    EXPECT_EQ(TwoDecimals(0.75f), "0.75");
}
