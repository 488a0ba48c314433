#include "clock/ClockTable.h"

#include "tests/support/FixedClock.h"

#include <gtest/gtest.h>

namespace quintara::clock {
namespace {

class AddLine : public ::testing::Test {
protected:
    ClockTable table;
    // Sunday 13 December 2026, 14:37: its week began on Monday 7 December.
    testing::FixedClock clock{QDateTime(QDate(2026, 12, 13), QTime(14, 37))};
};

TEST_F(AddLine, FillsTheLowestFreeLineWithTheDefaults)
{
    table.MaxClockLines = 100;
    table.Lines[0].FunctionType = 1;
    table.Lines[2].FunctionType = 1;

    const AddLineStart start = BeginAddLine(table, Weekend, clock);
    ASSERT_EQ(std::pair(start.line, start.notices.size()),
              std::pair(std::optional(1), std::size_t(0)));
    // Relay 1 on, daily at the hour, from the Monday of the week.
    EXPECT_EQ(table.Lines[1],
              ClockLine::fromBytes({0, 14, 7, 12, 26, Weekend, Days, 1, 1, 1, 255, 0, 0}));
    EXPECT_EQ(std::pair(int(table.SelectedLine), table.TableChanged), std::pair(2, false));

    // Cancelled in the editor: free again, the table still counts as changed, the index reused.
    table.Lines[1].FunctionType = 0;
    EXPECT_FALSE(FinishAddLine(table, 1));
    EXPECT_TRUE(table.TableChanged);
    EXPECT_EQ(BeginAddLine(table, Continue, clock).line, 1);
    EXPECT_TRUE(FinishAddLine(table, 1));
}

TEST_F(AddLine, TellsWhyThereIsNoFreeLine)
{
    // No project or clock file yet: every record is free, but no model is known.
    const auto told = [&] {
        const AddLineStart start = BeginAddLine(table, Continue, clock);
        EXPECT_EQ(start.line, std::nullopt);
        return start.notices.size() == 1 ? start.notices[0] : platform::Notice{};
    };
    EXPECT_EQ(told().text, "Geen VENTORA '.NBT' bestand ingeladen, u dient dit eerst te doen!");

    // A small model is full at 50 lines though lines 50..99 are free.
    table.MaxClockLines = 50;
    for (int i = 0; i < 50; ++i)
        table.Lines[std::size_t(i)].FunctionType = 3;
    const platform::Notice full = told();
    EXPECT_EQ(std::tuple(full.text, full.title, full.icon),
              std::tuple(QString("No more memory!"), platform::ProgramTitle, platform::Icon::None));
    EXPECT_EQ(std::pair(table.Lines[50].inUse(), int(table.SelectedLine)), std::pair(false, 0));

    // A damaged limit can't reach past the table.
    table.MaxClockLines = 1000;
    EXPECT_EQ(FindFreeLine(table), 50);
}

// The question before it is pinned by the window's test.
TEST(ClockTable, DeletingFreesOnlyTheSelectedLine)
{
    ClockTable table;
    table.MaxClockLines = 100;
    table.Lines[4].FunctionType = 2;
    table.Lines[4].Hour = 9;
    EXPECT_FALSE(DeleteSelectedLine(table)); // nothing selected
    table.SelectedLine = 5;
    EXPECT_TRUE(DeleteSelectedLine(table));
    // Only the type byte frees the line.
    EXPECT_EQ(std::tuple(table.Lines[4].inUse(), int(table.Lines[4].Hour),
                         int(table.SelectedLine), table.TableChanged),
              std::tuple(false, 9, 0, true));
}

} // namespace
} // namespace quintara::clock
