// The central unit's form of the clock table and the normalisation of reference dates.
#include "link/ClockConversion.h"

#include "clock/ClockTable.h"
#include "clock/LevelTable.h"
#include "tables/TableSet.h"

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

    int form(int position) const { return set[Slot].Work[static_cast<std::size_t>(position)]; }
    QList<int> formRange(int from, int count) const
    {
        QList<int> out;
        for (int i = from; i < from + count; ++i)
            out.append(form(i));
        return out;
    }
    int n() const { return table.MaxClockLines; }

    // What the unit would send back: the form as it was built.
    void receiveAsBuilt() { set[Slot].Received = set[Slot].Work; }

    ClockTable table;
    tables::TableSet set;
};

TEST_F(ClockConversionTest, ChainsLinkTheLinesOfEachDayTableInIndexOrder)
{
    ClockTableToCentral(table, set, Slot, std::nullopt);
    EXPECT_EQ(set[Slot].LastIndex, 1312);
    EXPECT_EQ(formRange(13 * n(), 5), QList<int>(5, 254));
    EXPECT_EQ(formRange(12 * n(), n()), QList<int>(n(), 255));

    table.Lines[7] = Line(clock::Weekend, 1, 255);
    table.Lines[3] = Line(clock::Weekend, 1, 255);
    table.Lines[9] = Line(clock::Special, 1, 255);
    table.Lines[40] = Line(clock::Weekend, 1, 255);
    // A table byte that names no day-table (foreign input) joins no chain.
    table.Lines[12] = Line(200, 1, 255);
    ClockTableToCentral(table, set, Slot, std::nullopt);
    EXPECT_EQ(formRange(13 * n(), 5), (QList<int>{254, 254, 3, 254, 9}));
    EXPECT_EQ(table.Lines[2].FirstLine, 3);
    EXPECT_EQ(table.Lines[3].NextLine, 7);
    EXPECT_EQ(table.Lines[7].NextLine, 40);
    EXPECT_EQ(table.Lines[40].NextLine, 254);
    EXPECT_EQ(table.Lines[9].NextLine, 254);
    EXPECT_EQ(table.Lines[12].NextLine, 255);
    EXPECT_EQ(form(12 * n() + 3), 7);
    EXPECT_EQ(form(12 * n() + 40), 254);
    EXPECT_EQ(form(12 * n() + 0), 255);
}

TEST_F(ClockConversionTest, TheFormIsColumnWiseWithLevelsConverted)
{
    table.Lines[0] = Line(0, 2, 127);
    table.Lines[1] = Line(0, 2, 3);
    table.Lines[2] = Line(0, 2, 128);
    table.Lines[3] = Line(0, 1, 255);
    table.Lines[4] = Line(0, 8, 1, clock::Weeks, 2);
    ClockTableToCentral(table, set, Slot, std::nullopt);
    EXPECT_EQ(formRange(0, 7), (QList<int>{7, 30, 5, 11, 0, 26, 0}));
    EXPECT_EQ(formRange(11 * n(), 5), (QList<int>{50, 105, 0, 1, 1}));
    EXPECT_EQ(form(7 * n() + 4), clock::Weeks);
    EXPECT_EQ(form(8 * n() + 4), 2);
    EXPECT_EQ(form(9 * n() + 4), 8);
    EXPECT_EQ(form(10 * n() + 4), 9);
    EXPECT_EQ(formRange(13 * n() + 5, 7), QList<int>(7, 0));

    // Received levels: dimmer percentages back to raw, relay 1 to 255, the rest unchanged.
    receiveAsBuilt();
    for (const auto &[position, byte] :
         QList<std::pair<int, int>>{{0, 50}, {1, 105}, {2, 102}, {3, 1}, {4, 1}})
        set[Slot].Received[static_cast<std::size_t>(11 * n() + position)] =
            static_cast<quint8>(byte);
    ClockTable back;
    back.MaxClockLines = 100;
    ClockTableFromCentral(back, set, Slot);
    EXPECT_EQ(back.Lines[0].Level, 127);
    EXPECT_EQ(back.Lines[1].Level, 3);
    EXPECT_EQ(back.Lines[2].Level, 255);
    EXPECT_EQ(back.Lines[3].Level, 255);
    EXPECT_EQ(back.Lines[4].Level, 255); // a local mood's 1 is read as the relay's on
    EXPECT_EQ(back.Lines[4].RepeatCount, 2);
    EXPECT_EQ(set[Slot].LastIndex, 1312);
}

TEST_F(ClockConversionTest, RoundTripKeepsEveryLineOfAFiftyLineModel)
{
    table.MaxClockLines = 50;
    for (int i = 0; i < 50; i += 3)
        table.Lines[static_cast<std::size_t>(i)] = Line(i % 5, 1 + i % 3, i * 5, i % 8, i % 4);
    table.Lines[60] = Line(0, 1, 255); // beyond the model: neither sent nor changed
    ClockTableToCentral(table, set, Slot, std::nullopt);
    EXPECT_EQ(set[Slot].LastIndex, CentralClockLength(50));
    EXPECT_EQ(CentralClockLength(50), 662);
    receiveAsBuilt();
    ClockTable back;
    back.MaxClockLines = 50;
    ClockTableFromCentral(back, set, Slot);
    for (int i = 0; i < 50; ++i) {
        ClockLine expected = table.Lines[static_cast<std::size_t>(i)];
        // Levels survive except a dimmer level between two percentages.
        if (expected.FunctionType == 2)
            expected.Level =
                static_cast<quint8>(clock::PercentToRaw(clock::RawToPercent(expected.Level)));
        else if (expected.Level == 1)
            expected.Level = 255;
        // Only the five chain heads travel.
        if (i >= clock::TableKindCount)
            expected.FirstLine = 0;
        EXPECT_EQ(back.Lines[static_cast<std::size_t>(i)], expected) << i;
    }
    EXPECT_FALSE(back.Lines[60].inUse());

    // Whatever the unit sends is stored as it comes, and an out-of-range slot is ignored.
    set[Slot].Received.fill(255);
    ClockTableFromCentral(back, set, Slot);
    EXPECT_EQ(back.Lines[49].Table, 255);
    EXPECT_EQ(back.Lines[4].FirstLine, 255);
    ClockTableFromCentral(back, set, 21);
    ClockTableToCentral(back, set, -1, std::nullopt);
    ClockTableToCentral(back, set, Slot, std::nullopt); // and sent again without harm
    EXPECT_EQ(form(13 * 50), 254);
}

class NormaliseTest : public ::testing::Test {
protected:
    // Line 0 normalised at `now`; its date afterwards, or nothing when it was freed.
    std::optional<QDate> normalised(ClockLine line, const QDateTime &now)
    {
        ClockTable table;
        table.MaxClockLines = 100;
        table.Lines[0] = line;
        NormaliseClockDates(table, now);
        const ClockLine &after = table.Lines[0];
        EXPECT_EQ(after.Hour, line.Hour);
        EXPECT_EQ(after.Minute, line.Minute);
        if (!after.inUse())
            return std::nullopt;
        return clock::ReferenceDate(after, clock::YearWindow::around(now));
    }

    static ClockLine At(QDate date, int hour, int unit, int count, int table = clock::Continue)
    {
        ClockLine line = Line(table, 1, 255, unit, count);
        clock::SetReferenceDate(line, date);
        line.Hour = static_cast<quint8>(hour);
        line.Minute = 0;
        return line;
    }

    const QDate today{2026, 12, 9}; // a Wednesday
};

TEST_F(NormaliseTest, RepeatingLinesGetTheirLatestOccurrenceNotAfterNow)
{
    const ClockLine daily = At(today.addMonths(-1), 7, clock::Days, 1);
    EXPECT_EQ(normalised(daily, QDateTime(today, QTime(10, 0))), today);
    EXPECT_EQ(normalised(daily, QDateTime(today, QTime(6, 0))), today.addDays(-1));
    EXPECT_EQ(normalised(daily, QDateTime(today, QTime(7, 0))), today);
    EXPECT_EQ(normalised(daily, QDateTime(today, QTime(7, 0, 30))), today);

    // A weekly line two weeks ahead comes back to the same weekday, not after now.
    const ClockLine weekly = At(today.addDays(14 + 1), 7, clock::Weeks, 1); // a Thursday
    EXPECT_EQ(normalised(weekly, QDateTime(today, QTime(10, 0))), today.addDays(-6));
    const ClockLine everyThird = At(today.addDays(-30), 12, clock::Days, 3);
    EXPECT_EQ(normalised(everyThird, QDateTime(today, QTime(13, 0))), today);

    // Minutes and hours move only the date; ten years of minutes cost nothing.
    const ClockLine minutes = At(QDate(2016, 1, 1), 23, clock::Minutes, 7);
    EXPECT_EQ(normalised(minutes, QDateTime(today, QTime(10, 0))), today);
    const ClockLine hours = At(today.addDays(3), 23, clock::Hours, 5);
    EXPECT_EQ(normalised(hours, QDateTime(today, QTime(10, 0))), today);

    const ClockLine monthly = At(QDate(2026, 1, 31), 8, clock::Months, 1);
    // The end of January is cut to the 28th by February and stays there.
    EXPECT_EQ(normalised(monthly, QDateTime(today, QTime(10, 0))), QDate(2026, 11, 28));
}

TEST_F(NormaliseTest, OnceWeekendAndLinesThatCannotStep)
{
    const QDateTime now(today, QTime(10, 0));
    EXPECT_EQ(normalised(At(today.addDays(-1), 20, clock::Once, 0), now), std::nullopt);
    EXPECT_EQ(normalised(At(today.addDays(1), 6, clock::Once, 0), now), today.addDays(1));
    // Years after 2029 are ahead, not a century ago: the line is kept and keeps its date.
    EXPECT_EQ(normalised(At(QDate(2030, 6, 15), 12, clock::Once, 0), now), QDate(2030, 6, 15));
    // Across the turn of 2030 the latest occurrence is found on either side of it.
    const ClockLine daily = At(QDate(2029, 11, 1), 7, clock::Days, 1);
    EXPECT_EQ(normalised(daily, QDateTime(QDate(2029, 12, 31), QTime(23, 58))),
              QDate(2029, 12, 31));
    EXPECT_EQ(normalised(daily, QDateTime(QDate(2030, 1, 2), QTime(8, 0))), QDate(2030, 1, 2));
    EXPECT_EQ(normalised(At(today.addDays(9), 6, clock::Weeks, 1, clock::Weekend), now),
              today.addDays(-1));
    EXPECT_EQ(normalised(At(today.addYears(-2), 6, clock::Once, 0, clock::Workday), now),
              today.addDays(-1));
    // No count, or a unit no editor makes: the date stays (and nothing loops).
    EXPECT_EQ(normalised(At(today.addDays(-40), 6, clock::Days, 0), now), today.addDays(-40));
    EXPECT_EQ(normalised(At(today.addDays(40), 6, 9, 1), now), today.addDays(40));
    ClockLine nonsense = At(today, 6, clock::Days, 1);
    nonsense.Month = 13;
    ClockTable table;
    table.MaxClockLines = 100;
    table.Lines[0] = nonsense;
    NormaliseClockDates(table, now);
    EXPECT_EQ(table.Lines[0], nonsense);
}

// The process's local time zone, for the life of the object.
class LocalZone {
public:
    explicit LocalZone(const char *zone)
        : m_old(qgetenv("TZ")), m_had(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone()
    {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        tzset();
    }
    LocalZone(const LocalZone &) = delete;
    LocalZone &operator=(const LocalZone &) = delete;

private:
    QByteArray m_old;
    bool m_had;
};

TEST_F(NormaliseTest, WallClockTimesInTheSpringForwardGapStayValid)
{
    const LocalZone amsterdam("Europe/Amsterdam");
    const QDate springForward(2026, 3, 29);
    // The gap exists here: 02:30 is no local time that day.
    ASSERT_FALSE(QDateTime(springForward, QTime(2, 30)).isValid());

    ClockLine line = At(springForward, 2, clock::Days, 1);
    line.Minute = 30;
    const QDateTime reference = clock::ReferenceDateTime(line, quintara::testing::Years2026);
    ASSERT_TRUE(reference.isValid());
    EXPECT_EQ(reference.date(), springForward);
    EXPECT_EQ(reference.time(), QTime(2, 30));

    // Normalising before a transmit moves it like any other daily line instead of skipping it.
    EXPECT_EQ(normalised(line, QDateTime(QDate(2026, 4, 2), QTime(10, 0))), QDate(2026, 4, 2));
    const ClockLine once = At(springForward, 2, clock::Once, 0);
    EXPECT_EQ(normalised(once, QDateTime(QDate(2026, 4, 2), QTime(10, 0))), std::nullopt);
}

} // namespace
} // namespace quintara::link
