#include "clock/LevelTable.h"

#include <gtest/gtest.h>

namespace quintara::clock {
namespace {

TEST(LevelTable, PercentagesAndRawLevels)
{
    EXPECT_EQ(LevelTable[0], 0);
    EXPECT_EQ(LevelTable[1], 2);
    EXPECT_EQ(LevelTable[2], 5);
    EXPECT_EQ(LevelTable[3], 7);
    EXPECT_EQ(LevelTable[12], 30);
    EXPECT_EQ(LevelTable[99], 252);
    EXPECT_EQ(LevelTable[100], 255);

    EXPECT_EQ(PercentToRaw(-1), 0);
    EXPECT_EQ(PercentToRaw(50), 127);
    EXPECT_EQ(PercentToRaw(101), 255);
    EXPECT_EQ(PercentToRaw(104), 255);
    EXPECT_EQ(PercentToRaw(105), 3);
    EXPECT_EQ(PercentToRaw(1000), 3);

    EXPECT_EQ(RawToPercent(3), 105);
    EXPECT_EQ(RawToPercent(4), 0);
    EXPECT_EQ(RawToPercent(255), 100);
    for (int p = 0; p <= 100; ++p)
        EXPECT_EQ(RawToPercent(PercentToRaw(p)), p);
}

} // namespace
} // namespace quintara::clock
