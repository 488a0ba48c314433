// The central unit's form of the clock table and the normalisation of reference dates.
#include "link/ClockConversion.h"

#include "clock/ClockTable.h"
#include "clock/LevelTable.h"
#include "tables/TableSet.h"

#include "tests/clock/TestLines.h"
#include "tests/support/TestYears.h"

#include <gtest/gtest.h>

#include <memory>

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

    // `count` bytes of the central form from `from`.
    QList<int> form(int from, int count = 1) const
    {
        return QList<int>(set[Slot].Work.begin() + from, set[Slot].Work.begin() + from + count);
    }
    int n() const { return table.MaxClockLines; }
    // What the unit sends back: the form as it was built.
    clock::ClockTable receivedAsBuilt()
    {
        set[Slot].Received = set[Slot].Work;
        ClockTable back;
        back.MaxClockLines = table.MaxClockLines;
        ClockTableFromCentral(back, set, Slot);
        return back;
    }

    ClockTable table;
    tables::TableSet set;
};

TEST_F(ClockConversionTest, ChainsLinkTheLinesOfEachDayTableInIndexOrder)
{
    ClockTableToCentral(table, set, Slot, std::nullopt);
    EXPECT_EQ(set[Slot].LastIndex, 1312);
    EXPECT_EQ(form(12 * n(), n() + 5), QList<int>(n(), 255) + QList<int>(5, 254));

    for (int i : {7, 3, 40})
        table.Lines[static_cast<std::size_t>(i)] = Line(clock::Weekend, 1, 255);
    table.Lines[9] = Line(clock::Special, 1, 255);
    // A table byte that names no day-table (foreign input) joins no chain.
    table.Lines[12] = Line(200, 1, 255);
    ClockTableToCentral(table, set, Slot, std::nullopt);
    EXPECT_EQ(form(13 * n(), 5), (QList<int>{254, 254, 3, 254, 9}));
    EXPECT_EQ(table.Lines[2].FirstLine, 3);
    QList<int> next;
    for (int i : {3, 7, 40, 9, 12})
        next << table.Lines[static_cast<std::size_t>(i)].NextLine;
    EXPECT_EQ(next, (QList<int>{7, 40, 254, 254, 255}));
    EXPECT_EQ(form(12 * n()) + form(12 * n() + 3) + form(12 * n() + 40), (QList<int>{255, 7, 254}));
}

TEST_F(ClockConversionTest, TheFormIsColumnWiseWithLevelsConverted)
{
    table.Lines[0] = Line(0, 2, 127);
    table.Lines[1] = Line(0, 2, 3);
    table.Lines[2] = Line(0, 2, 128);
    table.Lines[3] = Line(0, 1, 255);
    table.Lines[4] = Line(0, 8, 1, clock::Weeks, 2);
    ClockTableToCentral(table, set, Slot, std::nullopt);
    EXPECT_EQ(form(0, 7), (QList<int>{7, 30, 5, 11, 0, 26, 0}));
    EXPECT_EQ(form(11 * n(), 5), (QList<int>{50, 105, 0, 1, 1}));
    EXPECT_EQ(form(7 * n() + 4) + form(8 * n() + 4) + form(9 * n() + 4) + form(10 * n() + 4),
              (QList<int>{clock::Weeks, 2, 8, 9}));
    EXPECT_EQ(form(13 * n() + 5, 7), QList<int>(7, 0));

    // Received levels: dimmer percentages back to raw, relay 1 to 255, the rest unchanged.
    set[Slot].Work[11 * 100 + 2] = 102;
    const ClockTable back = receivedAsBuilt();
    QList<int> levels;
    for (int i = 0; i < 5; ++i)
        levels << back.Lines[static_cast<std::size_t>(i)].Level;
    EXPECT_EQ(levels, (QList<int>{127, 3, 255, 255, 255})); // a local mood's 1 is the relay's on
    EXPECT_EQ(back.Lines[4].RepeatCount, 2);
}

TEST_F(ClockConversionTest, WhateverTheUnitSendsIsStoredAsItComesAndOtherSlotsAreIgnored)
{
    table.MaxClockLines = 50;
    table.Lines[60] = Line(0, 1, 255); // beyond the model: neither sent nor changed
    ClockTableToCentral(table, set, Slot, std::nullopt);
    EXPECT_EQ(set[Slot].LastIndex, 662);
    set[Slot].Received.fill(255);
    ClockTable back = table;
    ClockTableFromCentral(back, set, Slot);
    EXPECT_EQ(std::tuple(back.Lines[49].Table, back.Lines[4].FirstLine, back.Lines[60]),
              std::tuple(255, 255, table.Lines[60]));
    ClockTableFromCentral(back, set, 21);
    ClockTableToCentral(back, set, -1, std::nullopt);
    ClockTableToCentral(back, set, Slot, std::nullopt); // and sent again without harm
    EXPECT_EQ(form(13 * 50), QList<int>{254});
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
        {daily, ten, today},
        {daily, QDateTime(today, QTime(6, 0)), today.addDays(-1)},
        {daily, QDateTime(today, QTime(7, 0)), today},
        {daily, QDateTime(today, QTime(7, 0, 30)), today},
        // A weekly line two weeks ahead comes back to the same weekday (a Thursday).
        {at(today.addDays(15), 7, clock::Weeks, 1), ten, today.addDays(-6)},
        {at(today.addDays(-30), 12, clock::Days, 3), QDateTime(today, QTime(13, 0)), today},
        // Minutes and hours move only the date; ten years of minutes cost nothing.
        {at(QDate(2016, 1, 1), 23, clock::Minutes, 7), ten, today},
        {at(today.addDays(3), 23, clock::Hours, 5), ten, today},
        // The end of January is cut to the 28th by February and stays there.
        {at(QDate(2026, 1, 31), 8, clock::Months, 1), ten, QDate(2026, 11, 28)},
        {at(today.addDays(-1), 20, clock::Once, 0), ten, std::nullopt},
        {at(today.addDays(1), 6, clock::Once, 0), ten, today.addDays(1)},
        // Years after 2029 are ahead, not a century ago: the line keeps its date.
        {at(QDate(2030, 6, 15), 12, clock::Once, 0), ten, QDate(2030, 6, 15)},
        // Across the turn of 2030 the latest occurrence is found on either side of it.
        {daily2029, end2029, end2029.date()},
        {daily2029, start2030, start2030.date()},
        {at(today.addDays(9), 6, clock::Weeks, 1, clock::Weekend), ten, today.addDays(-1)},
        {at(today.addYears(-2), 6, clock::Once, 0, clock::Workday), ten, today.addDays(-1)},
        // No count, or a unit no editor makes: the date stays (and nothing loops).
        {at(today.addDays(-40), 6, clock::Days, 0), ten, today.addDays(-40)},
        {at(today.addDays(40), 6, 9, 1), ten, today.addDays(40)},
    };
    for (qsizetype i = 0; i < cases.size(); ++i)
        EXPECT_EQ(Normalised(std::get<0>(cases[i]), std::get<1>(cases[i])), std::get<2>(cases[i]))
            << i;
    ClockTable table;
    table.MaxClockLines = 100;
    table.Lines[0] = at(today, 6, clock::Days, 1);
    table.Lines[0].Month = 13;
    const ClockTable nonsense = table;
    NormaliseClockDates(table, ten);
    EXPECT_EQ(table.Lines, nonsense.Lines);
}

// The process's local time zone, for the life of the object.
struct LocalZone {
    explicit LocalZone(const char *zone)
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone()
    {
        m_had ? qputenv("TZ", m_old) : qunsetenv("TZ");
        tzset();
    }
    const QByteArray m_old = qgetenv("TZ");
    const bool m_had = qEnvironmentVariableIsSet("TZ");
};

TEST(Normalise, WallClockTimesInTheSpringForwardGapStayValid)
{
    const LocalZone amsterdam("Europe/Amsterdam");
    const QDate springForward(2026, 3, 29);
    // The gap exists here: 02:30 is no local time that day.
    ASSERT_FALSE(QDateTime(springForward, QTime(2, 30)).isValid());
    const ClockLine line =
        clock::testing::Line(springForward, 2, 30, clock::Continue, clock::Days, 1);
    const QDateTime reference = clock::ReferenceDateTime(line, quintara::testing::Years2026);
    EXPECT_TRUE(reference.isValid());
    EXPECT_EQ(std::pair(reference.date(), reference.time()),
              std::pair(springForward, QTime(2, 30)));

    // Normalising before a transmit moves it like any other daily line instead of skipping it.
    const QDateTime later(QDate(2026, 4, 2), QTime(10, 0));
    EXPECT_EQ(Normalised(line, later), later.date());
    EXPECT_EQ(Normalised(clock::testing::Line(springForward, 2, 0, clock::Continue, clock::Once, 0),
                         later),
              std::nullopt);
}

} // namespace
} // namespace quintara::link
