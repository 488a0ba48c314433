#include "clock/HealthCheck.h"

#include "clock/ClockTable.h"
#include "tests/clock/TestLines.h"

#include <gtest/gtest.h>

namespace quintara::clock {
namespace {

using testing::Line;

const WorkdayFlagSet MondayToFriday{1, 1, 1, 1, 1, 0, 0};
// Wednesday 9 December 2026, 10:00.
const QDateTime Now(QDate(2026, 12, 9), QTime(10, 0));

HealthProblem Conflict(int line, int other, QDate date, int hour, int minute)
{
    return {line, HealthKind::Conflict, other, Moment::fromDate(date, hour, minute)};
}

using Kind = HealthKind;

class HealthCheckTest : public ::testing::Test {
protected:
    HealthCheckTest() { table.MaxClockLines = 50; }
    std::vector<HealthProblem> check(const std::optional<QSet<int>> &listed = {}) const
    {
        return CheckHealth(table, Now, MondayToFriday, listed);
    }
    ClockTable table;
};

TEST_F(HealthCheckTest, BytesNoEditorWritesAndLinesBeyondTheModel)
{
    const QDate date(2026, 12, 1);
    table.Lines[0] = Line(date, 24, 0, Continue, Days, 1);
    table.Lines[1] = Line(date, 7, 60, Continue, Days, 1);
    table.Lines[2] = Line(date, 7, 0, Continue, Days, 1);
    std::tie(table.Lines[2].Day, table.Lines[2].Month) = std::pair(31, 2);
    table.Lines[3] = Line(date, 7, 0, 5, Days, 1);
    table.Lines[4] = Line(date, 7, 0, Continue, 8, 1);
    table.Lines[5] = Line(date, 7, 0, Continue, Minutes, 0);
    table.Lines[6] = Line(date, 7, 0, Continue, Once, 0, 255, 2); // fine: once, count 0
    table.Lines[6].Day = 20;
    // Beyond the model: its bytes are checked, its firings are not.
    table.Lines[70] = Line(date, 25, 0, Continue, Once, 0);
    table.Lines[71] = Line(QDate(2020, 1, 1), 7, 0, Continue, Once, 0);

    // clang-format off
    EXPECT_EQ(check(), (std::vector<HealthProblem>{
        {0, Kind::InvalidTime}, {1, Kind::InvalidTime}, {2, Kind::InvalidDate},
        {3, Kind::InvalidTable}, {4, Kind::InvalidRepeat}, {5, Kind::InvalidRepeat},
        {70, Kind::BeyondModel}, {70, Kind::InvalidTime}, {71, Kind::BeyondModel}}));
    // clang-format on
}

TEST_F(HealthCheckTest, PastOnceLinesAndFunctionsTheProjectDoesNotList)
{
    table.Lines[0] = Line(QDate(2026, 12, 8), 23, 0, Continue, Once, 0);
    table.Lines[1] = Line(QDate(2026, 12, 9), 10, 0, Continue, Once, 0); // now itself
    table.Lines[2] = Line(QDate(2026, 12, 10), 7, 0, Special, Once, 0);
    // The Workday and Weekend tables repeat daily, whatever the unit says.
    table.Lines[3] = Line(QDate(2025, 1, 1), 7, 0, Workday, Once, 0);
    table.Lines[4] = Line(QDate(2026, 12, 10), 7, 0, Continue, Once, 0, 255, 9);
    EXPECT_EQ(check(), (std::vector<HealthProblem>{{0, Kind::Past}}));
    EXPECT_EQ(check(QSet<int>{FunctionReference(1, 1)}),
              (std::vector<HealthProblem>{{0, Kind::Past}, {4, Kind::UnknownFunction}}));

    // A moment with seconds has already left its minute behind, as Transmit counts it.
    EXPECT_EQ(CheckHealth(table, Now.addSecs(30), MondayToFriday).size(), 2U);
}

TEST_F(HealthCheckTest, ConflictsAreFoundMonthsAheadAndOnlyWhereTheLinesMeet)
{
    // Every 13th at 07:00 against every Friday at 07:00: first on Friday 13 August 2027.
    table.Lines[5] = Line(QDate(2026, 11, 13), 7, 0, Special, Months, 1, 0);
    table.Lines[2] = Line(QDate(2026, 11, 27), 7, 0, Continue, Weeks, 1, 255);
    // Odd and even hours never meet.
    table.Lines[10] = Line(QDate(2026, 12, 1), 8, 0, Continue, Hours, 2, 0, 2);
    table.Lines[11] = Line(QDate(2026, 12, 1), 9, 0, Continue, Hours, 2, 255, 2);
    // The Workday and Weekend tables never run together; the same level is no conflict.
    table.Lines[20] = Line(QDate(2026, 12, 1), 6, 0, Workday, Days, 1, 0, 3);
    table.Lines[21] = Line(QDate(2026, 12, 1), 6, 0, Weekend, Days, 1, 255, 3);
    table.Lines[22] = Line(QDate(2026, 12, 1), 6, 0, Simulation, Days, 1, 0, 3);
    // A continuous line every 30 minutes meets the Workday and Simulation lines tomorrow at
    // 06:00 and the Weekend one on Saturday; lines beyond the model take no part.
    table.Lines[23] = Line(QDate(2026, 12, 1), 0, 0, Continue, Minutes, 30, 128, 3);
    table.Lines[60] = Line(QDate(2026, 12, 1), 6, 0, Continue, Days, 1, 77, 3);

    EXPECT_EQ(check(), (std::vector<HealthProblem>{
                           Conflict(2, 5, QDate(2027, 8, 13), 7, 0),
                           Conflict(20, 23, QDate(2026, 12, 10), 6, 0),
                           Conflict(21, 23, QDate(2026, 12, 12), 6, 0),
                           Conflict(22, 23, QDate(2026, 12, 10), 6, 0),
                           {60, Kind::BeyondModel},
                       }));

    // After it, the next Friday the 13th lies beyond the 366 days looked at.
    table.Lines.fill({});
    table.Lines[0] = Line(QDate(2026, 11, 13), 7, 0, Continue, Months, 1, 0);
    table.Lines[1] = Line(QDate(2026, 11, 27), 7, 0, Continue, Weeks, 1, 255);
    EXPECT_TRUE(
        CheckHealth(table, QDateTime(QDate(2027, 8, 13), QTime(7, 1)), MondayToFriday).empty());
}

} // namespace
} // namespace quintara::clock
