// The central unit's form of the clock table and the normalisation of reference dates.
#include "link/ClockConversion.h"

#include "clock/ClockTable.h"
#include "tables/TableSet.h"
#include "tests/clock/TestLines.h"
#include "tests/support/TestYears.h"

#include <QScopeGuard>

#include <gtest/gtest.h>

#include <ctime>

namespace quintara::link {
namespace {

using clock::ClockLine;
using clock::ClockTable;

constexpr int Slot = 18;

// A line at 07:30 on 5 November 2026 that switches function 9.
ClockLine Line(int table, int type, int level, int unit = clock::Days, int count = 1)
{
    return ClockLine::fromBytes({30, 7, 5, 11, 26, quint8(table), quint8(unit), quint8(count),
                                 quint8(type), 9, quint8(level), 0, 0});
}

class ClockConversionTest : public ::testing::Test {
protected:
    ClockConversionTest() { table.MaxClockLines = 100; }

    ClockTable table;
    tables::TableSet set;
};

TEST_F(ClockConversionTest, ChainsLinkTheLinesOfEachDayTableInIndexOrder)
{
    for (int i : {7, 3, 40})
        table.Lines[static_cast<std::size_t>(i)] = Line(clock::Weekend, 1, 255);
    table.Lines[9] = Line(clock::Special, 1, 255);
    // A table byte that names no day-table (foreign input) joins no chain.
    table.Lines[12] = Line(200, 1, 255);
    ClockTableToCentral(table, set, Slot, std::nullopt);
    // The heads of the five day-tables, the next line of 3, 7, 40, 9 and 12, then of unused 5.
    QList<int> links;
    for (std::size_t i : {0, 1, 2, 3, 4})
        links << table.Lines[i].FirstLine;
    for (std::size_t i : {3, 7, 40, 9, 12})
        links << table.Lines[i].NextLine;
    EXPECT_EQ(links << set[Slot].Work[12 * 100 + 5],
              (QList<int>{254, 254, 3, 254, 9, 7, 40, 254, 254, 255, 255}));
}

TEST_F(ClockConversionTest, LevelsGoAsTheUnitTakesThemAndComeBackRaw)
{
    const std::pair<int, int> typeLevels[] = {{2, 127}, {2, 3}, {2, 128}, {1, 255}, {8, 1}};
    for (std::size_t i = 0; i < 5; ++i)
        table.Lines[i] = Line(0, typeLevels[i].first, typeLevels[i].second);
    ClockTableToCentral(table, set, Slot, std::nullopt);
    const auto levels = set[Slot].Work.begin() + 11 * 100;
    EXPECT_EQ(QList<int>(levels, levels + 5), (QList<int>{50, 105, 0, 1, 1}));
    // Dimmer percentages back to raw (beyond 100: full), 1 to the relay's on, the rest unchanged.
    set[Slot].Received = set[Slot].Work;
    set[Slot].Received[11 * 100 + 2] = 102;
    ClockTableFromCentral(table, set, Slot);
    QList<int> back;
    for (std::size_t i = 0; i < 5; ++i)
        back << table.Lines[i].Level;
    EXPECT_EQ(back, (QList<int>{127, 3, 255, 255, 255}));
}

// Line 0 normalised at `now`; its date afterwards, or nothing when it was freed.
std::optional<QDate> Normalised(ClockLine line, const QDateTime &now)
{
    ClockTable table;
    table.MaxClockLines = 100;
    table.Lines[0] = line;
    NormaliseClockDates(table, now);
    const ClockLine &after = table.Lines[0];
    EXPECT_EQ(QTime(after.Hour, after.Minute), QTime(line.Hour, line.Minute));
    if (!after.inUse())
        return std::nullopt;
    return clock::ReferenceDate(after, clock::YearWindow::around(now));
}

TEST(Normalise, LinesGetTheirLatestOccurrenceNotAfterNowAndPastOnceLinesGo)
{
    const auto at = [](QDate date, int hour, int unit, int count, int table = clock::Continue) {
        return clock::testing::Line(date, hour, 0, table, unit, count);
    };
    const QDate today{2026, 12, 9}; // a Wednesday
    const QDateTime ten(today, QTime(10, 0));
    const ClockLine daily = at(today.addMonths(-1), 7, clock::Days, 1);
    const ClockLine daily2029 = at(QDate(2029, 11, 1), 7, clock::Days, 1);
    const QDateTime end2029(QDate(2029, 12, 31), QTime(23, 58));
    const QDateTime start2030(QDate(2030, 1, 2), QTime(8, 0));
    const QList<std::tuple<ClockLine, QDateTime, std::optional<QDate>>> cases = {
        {daily, QDateTime(today, QTime(6, 0)), today.addDays(-1)},
        {daily, QDateTime(today, QTime(7, 0)), today},
        {daily, QDateTime(today, QTime(7, 0, 30)), today},
        // A weekly line two weeks ahead comes back to the same weekday (a Thursday).
        {at(today.addDays(15), 7, clock::Weeks, 1), ten, today.addDays(-6)},
        // Minutes and hours move only the date; ten years of minutes cost nothing.
        {at(QDate(2016, 1, 1), 23, clock::Minutes, 7), ten, today},
        // The end of January is cut to the 28th by February and stays there.
        {at(QDate(2026, 1, 31), 8, clock::Months, 1), ten, QDate(2026, 11, 28)},
        {at(today.addDays(-1), 20, clock::Once, 0), ten, std::nullopt},
        // Years after 2029 are ahead, not a century ago: the line keeps its date.
        {at(QDate(2030, 6, 15), 12, clock::Once, 0), ten, QDate(2030, 6, 15)},
        // Across the turn of 2030 the latest occurrence is found on either side of it.
        {daily2029, end2029, end2029.date()},
        {daily2029, start2030, start2030.date()},
        // A day-table's line is set to yesterday, whatever its repeat.
        {at(today.addYears(-2), 6, clock::Once, 0, clock::Workday), ten, today.addDays(-1)},
        // No count: the date stays (and nothing loops).
        {at(today.addDays(-40), 6, clock::Days, 0), ten, today.addDays(-40)},
    };
    for (const auto &[line, now, date] : cases)
        EXPECT_EQ(Normalised(line, now), date) << qPrintable(now.toString(Qt::ISODate));
}

TEST(Normalise, WallClockTimesInTheSpringForwardGapStayValid)
{
    // In a zone that skips an hour; the process's own zone comes back afterwards.
    const QByteArray zone = qgetenv("TZ");
    const bool hadZone = qEnvironmentVariableIsSet("TZ");
    const auto restore = qScopeGuard([&] {
        hadZone ? qputenv("TZ", zone) : qunsetenv("TZ");
        tzset();
    });
    qputenv("TZ", "Europe/Amsterdam");
    tzset();
    const QDate springForward(2026, 3, 29);
    // The gap exists here: 02:30 is no local time that day.
    ASSERT_FALSE(QDateTime(springForward, QTime(2, 30)).isValid());
    using clock::testing::Line;
    const ClockLine line = Line(springForward, 2, 30, clock::Continue, clock::Days, 1);
    const QDateTime reference = clock::ReferenceDateTime(line, quintara::testing::Years2026);
    EXPECT_EQ(std::tuple(reference.isValid(), reference.date(), reference.time()),
              std::tuple(true, springForward, QTime(2, 30)));
    // Normalising before a transmit moves it like any other daily line instead of skipping it.
    const QDateTime later(QDate(2026, 4, 2), QTime(10, 0));
    EXPECT_EQ(Normalised(line, later), later.date());
    EXPECT_EQ(Normalised(Line(springForward, 2, 0, clock::Continue, clock::Once, 0), later),
              std::nullopt);
}

} // namespace
} // namespace quintara::link
