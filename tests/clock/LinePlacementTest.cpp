#include "clock/LinePlacement.h"

#include "clock/ClockTable.h"
#include "tests/clock/TestLines.h"

#include <gtest/gtest.h>

namespace quintara::clock {
namespace {

// A record with chain bytes of its own, which placing must not carry along.
ClockLine Record(int minute, quint8 type = 1)
{
    ClockLine line = testing::Line(QDate(2026, 12, 7), 7, minute, Workday, Days, 1, 255, 5);
    line.FunctionType = type;
    line.NextLine = 42;
    line.FirstLine = 43;
    return line;
}

class Placing : public ::testing::Test {
protected:
    Placing()
    {
        table.MaxClockLines = 50; // models 3 and 4
        for (int i = 0; i < 50; ++i) {
            if (i != 3 && i != 10 && i != 49)
                table.Lines[std::size_t(i)] = Record(i % 60);
        }
        // Chain bytes left by the last conversion, and a line kept beyond the model.
        std::tie(table.Lines[3].NextLine, table.Lines[3].FirstLine) = std::pair(254, 17);
        table.Lines[60] = Record(1);
    }
    ClockTable table;
};

TEST_F(Placing, RecordsGoToTheLowestFreeLinesKeepingTheirChainBytes)
{
    EXPECT_EQ(FreeLines(table, 11), (QList<int>{3, 10}));
    EXPECT_EQ(FreeLines(table, 1000).size(), 3 + 49); // held to the 100 lines
    const Placement placement = PlaceLines(table, {Record(31), Record(0, 0), Record(32, 2)});
    // The free record takes no line.
    EXPECT_EQ(std::pair(placement.lines, placement.freeLines), std::pair(QList<int>{3, 10}, 3));

    ClockLine expected = Record(31);
    std::tie(expected.NextLine, expected.FirstLine) = std::pair(254, 17);
    EXPECT_EQ(table.Lines[3], expected);
    expected = Record(32, 2);
    expected.NextLine = expected.FirstLine = 0;
    EXPECT_EQ(table.Lines[10], expected);
    EXPECT_FALSE(table.Lines[49].inUse());
}

TEST_F(Placing, WhatDoesNotFitIsNotPlacedAtAll)
{
    const ClockTable before = table;
    const Placement placement = PlaceLines(table, {Record(1), Record(2), Record(3), Record(4)});
    EXPECT_EQ(std::pair(placement.placed(), placement.freeLines), std::pair(false, 3));
    EXPECT_EQ(table.Lines, before.Lines);

    table.MaxClockLines = 0; // no model chosen yet: nothing is free
    EXPECT_EQ(PlaceLines(table, {Record(1)}).freeLines, 0);
    EXPECT_EQ(table.Lines, before.Lines);
}

TEST_F(Placing, DuplicatesCopyLinesInUseOnly)
{
    table.Lines[7].Level = 128;
    const Placement placement = DuplicateLines(table, {7, 3, 60, -1, 100, 7});
    // Line 3 is free and -1 and 100 name none; line 60 is kept beyond the model but is a line.
    ASSERT_EQ(placement.lines, (QList<int>{3, 10, 49}));
    ClockLine copy = table.Lines[7];
    std::tie(copy.NextLine, copy.FirstLine) = std::pair(254, 17); // line 3's own chain bytes
    EXPECT_EQ(table.Lines[3], copy);
    copy.NextLine = copy.FirstLine = 0; // slot 49's own
    EXPECT_EQ(table.Lines[49], copy);
    EXPECT_EQ(table.Lines[10].Minute, 1);              // line 60's copy
    EXPECT_FALSE(DuplicateLines(table, {7}).placed()); // the table is full now
}

} // namespace
} // namespace quintara::clock
