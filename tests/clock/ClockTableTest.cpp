#include "clock/ClockTable.h"

#include "tests/support/FixedClock.h"
#include "tests/support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace quintara::clock {
namespace {

using platform::Answer;

ClockLine UsedLine(quint8 type = 1)
{
    ClockLine line;
    line.FunctionType = type;
    return line;
}

TEST(ClockTable, ClearFreesEveryLineButKeepsTimeDateTableAndChainBytes)
{
    ClockTable table;
    for (int i = 0; i < ClockLineCount; ++i) {
        ClockLine::Bytes bytes;
        bytes.fill(static_cast<quint8>(i + 1));
        table.Lines[static_cast<std::size_t>(i)] = ClockLine::fromBytes(bytes);
    }
    table.TableChanged = true;

    ClearClockTable(table);

    for (int i = 0; i < ClockLineCount; ++i) {
        const ClockLine::Bytes bytes = table.Lines[static_cast<std::size_t>(i)].toBytes();
        for (int b = 0; b < ClockLine::Size; ++b) {
            const bool cleared = b >= 6 && b <= 10;
            EXPECT_EQ(bytes[static_cast<std::size_t>(b)], cleared ? 0 : i + 1) << i << "/" << b;
        }
    }
    EXPECT_TRUE(table.TableChanged);
}

TEST(ClockTable, LineBytesAreInTheirFixedOrder)
{
    ClockLine line;
    line.Minute = 1;
    line.Hour = 2;
    line.Day = 3;
    line.Month = 4;
    line.Year = 5;
    line.Table = 6;
    line.RepeatUnit = 7;
    line.RepeatCount = 8;
    line.FunctionType = 9;
    line.FunctionNumber = 10;
    line.Level = 11;
    line.NextLine = 12;
    line.FirstLine = 13;
    const ClockLine::Bytes expected{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    EXPECT_EQ(line.toBytes(), expected);
    EXPECT_EQ(ClockLine::fromBytes(expected), line);
}

TEST(ClockTable, ReferenceDateTimeReadsTheTwoDigitYearWindow)
{
    ClockLine line;
    line.Day = 2;
    line.Month = 3; // day and month are never swapped
    line.Hour = 7;
    line.Minute = 45;
    line.Year = 29;
    EXPECT_EQ(ReferenceDateTime(line), QDateTime(QDate(2029, 3, 2), QTime(7, 45)));
    line.Year = 30;
    EXPECT_EQ(ReferenceDateTime(line), QDateTime(QDate(1930, 3, 2), QTime(7, 45)));
    line.Year = 0;
    EXPECT_EQ(ReferenceDate(line), QDate(2000, 3, 2));

    // Bytes from a file that name no moment give no date rather than a guess.
    for (auto damage : {+[](ClockLine &l) { l.Year = 100; }, +[](ClockLine &l) { l.Day = 0; },
                        +[](ClockLine &l) { l.Month = 13; },
                        +[](ClockLine &l) {
                            l.Day = 31;
                            l.Month = 4;
                        },
                        +[](ClockLine &l) { l.Hour = 24; }, +[](ClockLine &l) { l.Minute = 60; }}) {
        ClockLine bad = line;
        damage(bad);
        EXPECT_FALSE(ReferenceDateTime(bad).isValid());
    }
}

TEST(ClockTable, MarkerXIsTheTimeAxisRounded)
{
    ClockLine line;
    EXPECT_EQ(MarkerX(line), 20);
    line.Minute = 1; // 20.33
    EXPECT_EQ(MarkerX(line), 20);
    line.Minute = 2; // 20.67
    EXPECT_EQ(MarkerX(line), 21);
    line.Hour = 23;
    line.Minute = 59; // 499.67
    EXPECT_EQ(MarkerX(line), 500);
    line.Hour = 255; // foreign bytes still give a number, not a fault
    line.Minute = 255;
    EXPECT_EQ(MarkerX(line), 20 + 20 * 255 + 85);
}

class AddLine : public ::testing::Test {
protected:
    ClockTable table;
    testing::ScriptedPrompter prompter;
    // Thursday 10 December 2026, 14:37.
    testing::FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(14, 37))};
};

TEST_F(AddLine, FillsTheLowestFreeLineWithTheDefaults)
{
    table.MaxClockLines = 100;
    table.Lines[0] = UsedLine();
    table.Lines[2] = UsedLine();

    const std::optional<int> index = BeginAddLine(table, Weekend, clock, prompter);

    ASSERT_EQ(index, 1);
    const ClockLine &line = table.Lines[1];
    EXPECT_EQ(line.FunctionType, 1);
    EXPECT_EQ(line.FunctionNumber, 1);
    EXPECT_EQ(line.Level, 255);
    EXPECT_EQ(line.Hour, 14);
    EXPECT_EQ(line.Minute, 0);
    EXPECT_EQ(ReferenceDate(line), QDate(2026, 12, 7)); // the Monday of the week
    EXPECT_EQ(line.Table, Weekend);
    EXPECT_EQ(line.RepeatUnit, Days);
    EXPECT_EQ(line.RepeatCount, 1);
    EXPECT_EQ(table.SelectedLine, 2);
    EXPECT_FALSE(table.TableChanged);

    // The editor was cancelled: the line is free again, the table still counts as changed.
    table.Lines[1].FunctionType = 0;
    EXPECT_FALSE(FinishAddLine(table, 1));
    EXPECT_TRUE(table.TableChanged);
    // ... and the next add reuses the index.
    EXPECT_EQ(BeginAddLine(table, Continue, clock, prompter), 1);
    EXPECT_TRUE(FinishAddLine(table, 1));
}

TEST_F(AddLine, OnSundayTheReferenceIsTheMondayBefore)
{
    table.MaxClockLines = 50;
    clock.at = QDateTime(QDate(2026, 12, 13), QTime(0, 5));
    ASSERT_EQ(BeginAddLine(table, Continue, clock, prompter), 0);
    EXPECT_EQ(ReferenceDate(table.Lines[0]), QDate(2026, 12, 7));
    EXPECT_EQ(table.Lines[0].Hour, 0);
}

TEST_F(AddLine, WithoutAModelAsksForTheProjectFile)
{
    prompter.expect(Answer::Ok);
    EXPECT_EQ(BeginAddLine(table, Continue, clock, prompter), std::nullopt);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text,
              "Geen VENTORA '.NBT' bestand ingeladen, u dient dit eerst te doen!");
    EXPECT_EQ(prompter.shown[0].title, platform::ProgramTitle);
    EXPECT_EQ(prompter.shown[0].buttons, platform::Buttons::Ok);
    EXPECT_EQ(table.SelectedLine, 0);
    EXPECT_FALSE(table.Lines[0].inUse());
}

TEST_F(AddLine, SmallModelIsFullAtFiftyLinesThoughLaterLinesAreFree)
{
    table.MaxClockLines = 50;
    for (int i = 0; i < 50; ++i)
        table.Lines[static_cast<std::size_t>(i)] = UsedLine();
    prompter.expect(Answer::Ok);
    EXPECT_EQ(BeginAddLine(table, Continue, clock, prompter), std::nullopt);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text, "No more memory!");
    EXPECT_FALSE(table.Lines[50].inUse());

    // A damaged limit can't reach past the table.
    table.MaxClockLines = 1000;
    EXPECT_EQ(FindFreeLine(table), 50);
    table.MaxClockLines = -5;
    EXPECT_EQ(FindFreeLine(table), std::nullopt);
}

TEST(ClockTable, DeleteAsksByNameWithNoAsDefault)
{
    ClockTable table;
    table.MaxClockLines = 100;
    table.Lines[4] = UsedLine(2);
    table.SelectedLine = 5;
    testing::ScriptedPrompter prompter;

    prompter.expect(Answer::No);
    EXPECT_FALSE(DeleteSelectedLine(table, "50 %", "DIM  03 Hall", prompter));
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text, "Mag 50 % DIM  03 Hall verwijderd worden?");
    EXPECT_EQ(prompter.shown[0].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(prompter.shown[0].defaultButton, Answer::No);
    EXPECT_TRUE(table.Lines[4].inUse());
    EXPECT_FALSE(table.TableChanged);

    prompter.expect(Answer::Yes);
    EXPECT_TRUE(DeleteSelectedLine(table, "50 %", "DIM  03 Hall", prompter));
    EXPECT_FALSE(table.Lines[4].inUse());
    EXPECT_EQ(table.Lines[4].FunctionNumber, 0); // only the type byte frees a line
    EXPECT_EQ(table.SelectedLine, 0);
    EXPECT_TRUE(table.TableChanged);

    // Nothing selected, or a selection that names no line: no question, nothing happens.
    for (qint16 selected : {qint16(0), qint16(101), qint16(-3)}) {
        table.SelectedLine = selected;
        EXPECT_FALSE(DeleteSelectedLine(table, "", "", prompter));
    }
    EXPECT_EQ(prompter.shown.size(), 2);
}

} // namespace
} // namespace quintara::clock
