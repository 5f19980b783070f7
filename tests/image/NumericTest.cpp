#include "image/Numeric.h"

#include <gtest/gtest.h>

TEST(Numeric, RoundHalvesToEvenAndTruncTowardZero) {
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(-0.5), 0);
    EXPECT_EQ(Round(-1.5), -2);
    EXPECT_EQ(Round(2.4999), 2);
    EXPECT_EQ(Trunc(-2.7), -2);
    EXPECT_EQ(Trunc(2.7), 2);
    EXPECT_EQ(Round(std::nan("")), 0);
    EXPECT_EQ(RoundI(1e30), 2147483647);
    EXPECT_EQ(TruncI(-1e30), -2147483647 - 1);
}

TEST(Numeric, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(5, 1, 2), 3);   // 2.5 -> 3
    EXPECT_EQ(MulDiv(-5, 1, 2), -3); // -2.5 -> -3
    EXPECT_EQ(MulDiv(7, 1, 3), 2);
    EXPECT_EQ(MulDiv(8, 1, 3), 3);
    EXPECT_EQ(MulDiv(5, 1, -2), -3);
    EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000); // 64-bit product
    EXPECT_EQ(MulDiv(1, 2, 0), -1);
}

TEST(Numeric, WrapModIsMathematical) {
    EXPECT_EQ(WrapMod(-1, 5), 4);
    EXPECT_EQ(WrapMod(5, 5), 0);
    EXPECT_EQ(WrapMod(-10, 5), 0);
    EXPECT_EQ(WrapMod(-11, 5), 4);
    EXPECT_EQ(WrapMod(std::int64_t{1} << 40, 7), static_cast<int>((std::int64_t{1} << 40) % 7));
    EXPECT_EQ(WrapMod(3, 0), 0);
    EXPECT_EQ(ClampToByte(-3), 0);
    EXPECT_EQ(ClampToByte(300), 255);
    EXPECT_EQ(ClampToByte(17), 17);
}

TEST(Numeric, RandomIsRepeatableAndInRange) {
    SetRandSeed(42);
    int a[50];
    for (int& v : a) v = Random(10);
    SetRandSeed(42);
    for (int v : a) EXPECT_EQ(Random(10), v);
    for (int v : a) EXPECT_TRUE(v >= 0 && v < 10);
    EXPECT_EQ(Random(0), 0);
    for (int i = 0; i < 100; ++i) {
        double r = RandomReal();
        EXPECT_TRUE(r >= 0.0 && r < 1.0);
    }
}

TEST(Numeric, LocalDrawsContinueTheSameSequence) {
    SetRandSeed(7);
    int expected[6];
    for (int& v : expected) v = Random(100);
    SetRandSeed(7);
    {
        RandomDraws rnd;
        for (int i = 0; i < 5; ++i) EXPECT_EQ(rnd(100), expected[i]);
    }
    EXPECT_EQ(Random(100), expected[5]);
}
