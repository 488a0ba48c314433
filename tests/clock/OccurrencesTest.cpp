#include "clock/Occurrences.h"

#include "clock/ClockTable.h"
#include "tests/clock/TestLines.h"

#include <QRandomGenerator>

#include "tests/support/TestYears.h"

#include <gtest/gtest.h>

#include <vector>

namespace quintara::clock {
namespace {

const WorkdayFlagSet MondayToFriday{1, 1, 1, 1, 1, 0, 0};
const QDate ThisMonday(2026, 12, 7);

using testing::Line;
const auto &Years = quintara::testing::Years2026;

std::vector<QDateTime> Walk(const ClockLine &line, QDate monday,
                            WalkPurpose purpose = WalkPurpose::HitTest,
                            const WorkdayFlagSet &workdays = MondayToFriday)
{
    std::vector<QDateTime> out;
    OccurrenceWalk walk(line, monday, workdays, purpose, Years);
    while (const std::optional<Occurrence> o = walk.next())
        out.push_back(
            QDateTime(o->moment.date(), QTime(o->moment.hour(), o->moment.minute()), Qt::UTC));
    return out;
}

// One repetition forward or back the slow way, in UTC so that no summer-time jump is involved.
QDateTime StepSlowly(const QDateTime &d, int unit, int count)
{
    if (unit == Months)
        return d.addMonths(count); // keeps a clamped month end, as the central unit does
    const qint64 days = unit == Weeks ? 7 : 1;
    const qint64 minutes = unit == Minutes ? 1 : unit == Hours ? 60 : 1440 * days;
    return d.addSecs(60 * minutes * count);
}

// The walk as described, one step at a time from the reference moment.
std::vector<QDateTime> StepByStepWalk(const ClockLine &line, QDate monday, WalkPurpose purpose,
                                      const WorkdayFlagSet &workdays)
{
    std::vector<QDateTime> out;
    QDateTime d(ReferenceDate(line, Years), QTime(line.Hour, line.Minute), Qt::UTC);
    const bool dayTable = line.Table == Workday || line.Table == Weekend;
    const int unit = line.RepeatUnit;
    if (!dayTable && (unit == Once || unit > 7 || line.RepeatCount == 0))
        return out;
    const int limit = purpose == WalkPurpose::Markers && !dayTable && unit == Minutes ? 25 : 250;
    for (int k = 1; k <= limit;) {
        d = dayTable ? d.addDays(1) : StepSlowly(d, unit, line.RepeatCount);
        const qint64 dd = monday.daysTo(d.date());
        if (dd >= 7)
            break;
        if (dd < 0)
            continue;
        const bool workday = workdays[std::size_t(d.date().dayOfWeek() - 1)] == 1;
        const bool onlyWorkdays = line.Table == Workday || unit == Workdays;
        const bool onlyWeekend = line.Table == Weekend || unit == WeekendDays;
        if (onlyWorkdays ? workday : !onlyWeekend || !workday)
            out.push_back(d);
        ++k;
    }
    return out;
}

TEST(Occurrences, OnceAndLinesWithoutAStepShowOnlyTheirReference)
{
    const ClockLine once = Line(QDate(2026, 12, 9), 6, 31, Continue, Once, 1);
    const std::optional<Occurrence> reference = ReferenceOccurrence(once, ThisMonday, Years);
    ASSERT_TRUE(reference);
    EXPECT_EQ(std::pair(reference->row, reference->moment),
              std::pair(2, Moment::fromDate(QDate(2026, 12, 9), 6, 31)));
    for (int weeks : {-1, 1, 52})
        EXPECT_FALSE(ReferenceOccurrence(once, ThisMonday.addDays(7 * weeks), Years));

    // A count of 0 or a unit above 7 can come from a file or the central unit: such a line
    // behaves as Once, also when its date is kept current.
    for (auto [unit, count] : {std::pair<int, int>{Days, 0}, {Minutes, 0}, {8, 1}, {255, 255}}) {
        ClockLine line = Line(ThisMonday.addDays(2), 9, 0, Continue, unit, count);
        EXPECT_TRUE(ReferenceOccurrence(line, ThisMonday, Years));
        EXPECT_TRUE(Walk(line, ThisMonday.addDays(7)).empty());
        CheckDate(line, ThisMonday);
        EXPECT_EQ(ReferenceDate(line, Years), ThisMonday.addDays(2));
    }
    // Bytes that name no date: no occurrence, and the date is left for the user to see.
    ClockLine bad = Line(ThisMonday, 9, 0, Continue, Days, 1);
    bad.Month = 0;
    EXPECT_TRUE(Walk(bad, ThisMonday).empty() && !ReferenceOccurrence(bad, ThisMonday, Years));
    CheckDate(bad, ThisMonday);
    EXPECT_EQ(bad.Month, 0);

    // Minute series far ahead count their limits from the shown week.
    const QDate farMonday = ThisMonday.addDays(7 * 520);
    const ClockLine everyMinute = Line(ThisMonday, 0, 1, Continue, Minutes, 1);
    const auto far = Walk(everyMinute, farMonday, WalkPurpose::Markers);
    ASSERT_EQ(far.size(), 25u);
    EXPECT_EQ(far.front(), QDateTime(farMonday, QTime(0, 0), Qt::UTC));
    EXPECT_EQ(Walk(everyMinute, farMonday, WalkPurpose::HitTest).size(), 250u);
}

TEST(Occurrences, CheckDatesMovesReferencesBackByWholeSteps)
{
    ClockTable table;
    table.MaxClockLines = 50;
    const QDate later(2027, 3, 1), sunday(2026, 12, 6);
    const QList<std::tuple<int, ClockLine, QDate>> cases{
        {0, Line(later, 10, 0, Continue, Hours, 3), sunday}, // 10:00 stays the stored time
        {1, Line(ThisMonday.addDays(21), 8, 0, Special, Weeks, 1), ThisMonday.addDays(-7)},
        {2, Line(QDate(2027, 5, 31), 8, 0, Simulation, Months, 1), QDate(2026, 11, 28)},
        {3, Line(ThisMonday, 0, 0, Continue, Days, 1), ThisMonday}, // exactly the limit
        {60, Line(later, 10, 0, Continue, Days, 1), later},         // beyond the limit
        // Day-table lines get the Sunday before, whatever their repetition bytes say.
        {5, Line(QDate(2020, 1, 1), 7, 15, Workday, 9, 0), sunday},
        {6, Line(QDate(2020, 1, 1), 9, 0, Weekend, Minutes, 5), sunday},
        {4, Line(later, 10, 0, Continue, Days, 1), later}, // made free below: free lines stay
    };
    for (const auto &[index, line, expected] : cases)
        table.Lines[std::size_t(index)] = line;
    table.Lines[4].FunctionType = 0;
    CheckDates(table, ThisMonday);
    for (const auto &[index, line, expected] : cases) {
        const ClockLine &checked = table.Lines[std::size_t(index)];
        EXPECT_EQ(std::pair(ReferenceDate(checked, Years), checked.Hour),
                  std::pair(expected, line.Hour)) << index;
    }
    EXPECT_FALSE(table.TableChanged);
    EXPECT_EQ(CurrentMonday(QDate(2026, 12, 10)), Moment::fromDate(ThisMonday)); // a Thursday
}

TEST(Occurrences, SkippingAheadGivesWhatTheStepByStepWalkGives)
{
    QRandomGenerator random(20261207);
    const QDate base(2026, 12, 7);
    int nonEmpty = 0;
    for (int round = 0; round < 4000; ++round) {
        const int unit = random.bounded(9); // 8: a unit no editor makes
        const int count = random.bounded(4) == 0 ? random.bounded(1, 4) : random.bounded(256);
        const int table = random.bounded(5);
        // Month ends often, to meet the clamping.
        const int day = random.bounded(3) == 0 ? random.bounded(28, 32) : random.bounded(1, 32);
        const QDate reference(base.year() - 5 + random.bounded(9), random.bounded(1, 13), 1);
        if (day > reference.daysInMonth())
            continue;
        const ClockLine line = Line(reference.addDays(day - 1), random.bounded(24),
                                    random.bounded(60), table, unit, count);

        // Keep the slow walk affordable: minute steps only weeks away, the rest years away.
        const bool dayTable = table == Workday || table == Weekend;
        const int span = dayTable ? 400 : unit == Minutes ? 8 : unit == Hours ? 200 : 1600;
        const QDate monday = MondayOf(reference.addDays(random.bounded(-span * 7, span * 7)));
        WorkdayFlagSet workdays;
        for (quint8 &flag : workdays)
            flag = quint8(random.bounded(2));

        for (WalkPurpose purpose : {WalkPurpose::Markers, WalkPurpose::HitTest}) {
            const auto fast = Walk(line, monday, purpose, workdays);
            ASSERT_EQ(fast, StepByStepWalk(line, monday, purpose, workdays))
                << unit << " x " << count << " table " << table << " from "
                << ReferenceDateTime(line, Years).toString(Qt::ISODate).toStdString() << " week "
                << monday.toString(Qt::ISODate).toStdString();
            nonEmpty += fast.empty() ? 0 : 1;
        }
    }
    EXPECT_GT(nonEmpty, 1000); // the comparison saw occurrences, not only empty weeks
}

TEST(Occurrences, PushBackGivesWhatSteppingBackOneByOneGives)
{
    QRandomGenerator random(7);
    const QDateTime limit(ThisMonday, QTime(0, 0), Qt::UTC);
    for (int round = 0; round < 3000; ++round) {
        const int unit = random.bounded(1, 8);
        const int count = random.bounded(1, 256);
        const QDate start = ThisMonday.addDays(random.bounded(-2000, 4000));
        QDateTime slow(start, QTime(random.bounded(24), random.bounded(60)), Qt::UTC);
        const Moment fast = PushBack(Moment::fromDateTime(slow), RepeatStep(unit, count),
                                     Moment::fromDate(ThisMonday));
        while (slow > limit)
            slow = StepSlowly(slow, unit, -count);
        ASSERT_EQ(fast, Moment::fromDateTime(slow))
            << unit << " x " << count << " from " << start.toString(Qt::ISODate).toStdString();
    }
}

} // namespace
} // namespace quintara::clock
