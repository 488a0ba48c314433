#include "clock/YearWindow.h"

#include "clock/ClockTable.h"
#include "clock/Firings.h"
#include "clock/HealthCheck.h"
#include "clock/Occurrences.h"

#include "tests/clock/TestLines.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace quintara::clock {
namespace {

using testing::Line;

const WorkdayFlagSet MondayToFriday{1, 1, 1, 1, 1, 0, 0};

std::vector<int> RowsInWeek(const ClockLine &line, QDate monday, QDate today)
{
    const YearWindow years = YearWindow::around(today);
    std::vector<int> rows;
    if (const auto reference = ReferenceOccurrence(line, monday, years))
        rows.push_back(reference->row);
    OccurrenceWalk walk(line, monday, MondayToFriday, WalkPurpose::HitTest, years);
    while (const auto occurrence = walk.next())
        rows.push_back(occurrence->row);
    return rows;
}

TEST(YearWindow, AStoredYearIsTheYearWithItsDigitsInTheHundredAroundNow)
{
    // In 2026 the bytes the unit and older files hold keep their meaning, and the thirties are
    // no longer the 1930s; in 2076 the window has moved on: 26 is 2026 and 25 is 2125.
    for (const auto &[now, stored, year] : QList<std::tuple<int, int, int>>{
             {2026, 0, 2000}, {2026, 29, 2029}, {2026, 76, 1976}, {2026, 99, 1999},
             {2026, 30, 2030}, {2026, 75, 2075}, {2026, 100, -1}, {2076, 26, 2026},
             {2076, 25, 2125}, {2076, 76, 2076}})
        EXPECT_EQ(YearWindow(now).fullYear(stored), year) << now << " " << stored;
    EXPECT_EQ(std::pair(YearWindow(2076).firstYear(), YearWindow(2076).lastYear()),
              std::pair(2026, 2125));
    EXPECT_EQ(YearWindow::around(QDateTime(QDate(2075, 12, 31), QTime(23, 59))).fullYear(76), 2076);
    EXPECT_EQ(YearWindow::around(QDateTime(QDate(2076, 1, 1), QTime(0, 0))).fullYear(26), 2026);
}

TEST(YearWindow, EveryDayWrittenIsReadBackAsTheSameDate)
{
    ClockLine line;
    for (QDate day(2026, 1, 1); day <= QDate(2075, 12, 31); day = day.addDays(1)) {
        SetReferenceDate(line, day);
        ASSERT_EQ(ReferenceDate(line, YearWindow(2026)), day);
    }
    // Whatever the present, the days a user can pick around it (and a year more) survive.
    for (int year = 2026; year <= 2080; ++year) {
        const YearWindow years(year);
        for (QDate day(year - 1, 1, 1); day <= QDate(year + 1, 12, 31); day = day.addDays(1)) {
            SetReferenceDate(line, day);
            ASSERT_EQ(ReferenceDate(line, years), day) << year;
        }
    }
}

// Bytes of 2030 and later are read as such, now and as time passes the turn of 2030.
TEST(YearWindow, LinesOf2030FireIn2030OnTheirOwnWeekdays)
{
    const QDateTime now(QDate(2026, 12, 7), QTime(9, 0));
    ClockTable table;
    table.MaxClockLines = ClockLineCount;
    table.Lines[0] = Line(QDate(2030, 6, 15), 12, 0, Continue, Once, 0);
    table.Lines[1] = Line(QDate(2030, 3, 5), 7, 30, Continue, Weeks, 1, 200); // a Tuesday

    // A once line three years ahead has not passed and fires when it says.
    EXPECT_TRUE(CheckHealth(table, now, MondayToFriday).empty());
    EXPECT_EQ(NextFiring(table.Lines[0], now, MondayToFriday),
              QDateTime(QDate(2030, 6, 15), QTime(12, 0), QTimeZone::utc()));
    EXPECT_EQ(ReferenceOccurrence(table.Lines[0], QDate(2030, 6, 10), YearWindow::around(now))->row,
              5);

    // The weekly Tuesday line stays on Tuesdays seen from today, from 2030 and from later years,
    // also once a repaint has kept its date current.
    for (const QDate today : {QDate(2026, 12, 7), QDate(2030, 3, 6), QDate(2031, 7, 1)}) {
        ClockLine weekly = table.Lines[1];
        CheckDate(weekly, today);
        for (const QDate monday : {QDate(2030, 3, 11), QDate(2031, 7, 7), QDate(2035, 1, 1)})
            EXPECT_EQ(RowsInWeek(weekly, monday, today), std::vector<int>{1})
                << qPrintable(today.toString(Qt::ISODate) + " week " +
                              monday.toString(Qt::ISODate));
    }

    // A minute series walks over the turn; a once line at its first minute is still to come.
    const QDateTime eve(QDate(2029, 12, 31), QTime(23, 58));
    const LineFirings firings(Line(QDate(2029, 12, 31), 23, 59, Continue, Minutes, 1), eve,
                              MondayToFriday);
    FiringWalk walk(firings, Moment::fromDateTime(eve), Moment::fromDate(QDate(2030, 1, 1), 0, 1));
    EXPECT_EQ(walk.next(), Moment::fromDate(QDate(2029, 12, 31), 23, 59));
    EXPECT_EQ(walk.next(), Moment::fromDate(QDate(2030, 1, 1), 0, 0));
    EXPECT_EQ(walk.next(), Moment::fromDate(QDate(2030, 1, 1), 0, 1));
    table.Lines[0] = Line(QDate(2030, 1, 1), 0, 0, Continue, Once, 0);
    EXPECT_TRUE(CheckHealth(table, eve, MondayToFriday).empty());

    // On New Year's Day a daily line set for later in January is kept current by moving back
    // into 2029, and the first week of 2030 shows it every day.
    ClockLine daily = Line(QDate(2030, 1, 20), 6, 0, Continue, Days, 1);
    CheckDate(daily, QDate(2030, 1, 1));
    EXPECT_EQ(ReferenceDate(daily, YearWindow(2030)), QDate(2029, 12, 30));
    EXPECT_EQ(RowsInWeek(daily, QDate(2030, 1, 7), QDate(2030, 1, 1)).size(), 7u);
}

} // namespace
} // namespace quintara::clock
