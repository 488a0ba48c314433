#include "clock/Firings.h"

#include "clock/ClockTable.h"
#include "clock/HealthCheck.h"
#include "tests/clock/TestLines.h"

#include <QRandomGenerator>

#include "tests/support/TestYears.h"

#include <gtest/gtest.h>

namespace quintara::clock {
namespace {

using testing::Line;
const auto &Years = quintara::testing::Years2026;

const WorkdayFlagSet MondayToFriday{1, 1, 1, 1, 1, 0, 0};
// Wednesday 9 December 2026, 10:00; its week begins on Monday 7 December.
const QDateTime Now(QDate(2026, 12, 9), QTime(10, 0));
const QDate ThisMonday(2026, 12, 7);

std::vector<Moment> Firings(const ClockLine &line, const Moment &from, const Moment &to,
                            const WorkdayFlagSet &workdays = MondayToFriday)
{
    const LineFirings firings(line, Now, workdays);
    FiringWalk walk(firings, from, to);
    std::vector<Moment> result;
    while (const std::optional<Moment> moment = walk.next())
        result.push_back(*moment);
    return result;
}

TEST(FiringsTest, AWeekOfFiringsIsWhatTheWeekViewFindsForEveryKindOfLine)
{
    const std::vector<ClockLine> lines{
        Line(QDate(2026, 12, 10), 7, 31, Continue, Once, 0),
        Line(QDate(2026, 11, 1), 6, 10, Continue, Minutes, 45),
        Line(QDate(2026, 12, 20), 10, 0, Simulation, Hours, 7),
        Line(QDate(2026, 10, 3), 8, 0, Continue, Days, 2),
        Line(QDate(2026, 11, 23), 6, 0, Special, Weeks, 2),
        Line(QDate(2026, 1, 31), 12, 0, Continue, Months, 1),
        Line(QDate(2026, 11, 4), 7, 0, Continue, Workdays, 1),
        Line(QDate(2026, 11, 4), 9, 0, Continue, WeekendDays, 3),
        Line(QDate(2026, 5, 1), 6, 45, Workday, Minutes, 5),
        Line(QDate(2026, 5, 1), 22, 0, Weekend, Once, 0),
    };
    for (const int weeksAhead : {0, 1, 7, 60, 520}) {
        const QDate monday = ThisMonday.addDays(7 * weeksAhead);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            // The week view's list: the reference marker, then the walk without drawing limit.
            ClockLine current = lines[i];
            CheckDate(current, ThisMonday);
            std::vector<Moment> shown;
            if (const auto reference = ReferenceOccurrence(current, monday, Years))
                shown.push_back(reference->moment);
            OccurrenceWalk walk(current, monday, MondayToFriday, WalkPurpose::HitTest, Years);
            while (const auto occurrence = walk.next())
                shown.push_back(occurrence->moment);
            std::sort(shown.begin(), shown.end());

            const Moment sunday = Moment::fromDate(monday.addDays(6), 23, 59);
            EXPECT_EQ(Firings(lines[i], Moment::fromDate(monday), sunday), shown)
                << "line " << i << ", " << weeksAhead << " weeks ahead";
        }
    }
}

// Far ranges are walked by the every-kind test above.
TEST(FiringsTest, WalksThatCanNeverFireEnd)
{
    // A filter that keeps no day ends the walk instead of stepping for ever.
    const ClockLine workday = Line(QDate(2026, 12, 1), 7, 0, Workday, Days, 1);
    const Moment farEnd = Moment::fromDate(QDate(9000, 1, 1));
    EXPECT_TRUE(Firings(workday, Moment::fromDate(Now.date()), farEnd, {}).empty());
    // Bytes that name no moment never fire.
    ClockLine badTime = Line(QDate(2026, 12, 1), 0, 0, Continue, Minutes, 1);
    badTime.Hour = 24;
    EXPECT_TRUE(Firings(badTime, Moment::fromDate(Now.date()), farEnd).empty());
}

TEST(FiringsTest, TheTableMergesInTimeOrderLowerLineFirstWithinAMinuteAndCapsTheCount)
{
    ClockTable table;
    table.MaxClockLines = 50;
    table.Lines[3] = Line(QDate(2026, 12, 7), 8, 0, Continue, Hours, 1);
    table.Lines[1] = Line(QDate(2026, 12, 7), 9, 0, Continue, Days, 1);
    table.Lines[2] = Line(QDate(2026, 12, 7), 8, 30, Special, Hours, 2, 0, 2);
    table.Lines[60] = Line(QDate(2026, 12, 7), 8, 0, Continue, Minutes, 1); // beyond the model

    const Moment from = Moment::fromDate(QDate(2026, 12, 10), 8, 0);
    const Moment to = Moment::fromDate(QDate(2026, 12, 10), 10, 59);
    std::vector<Firing> all;
    TableFirings firings(table, Now, MondayToFriday, from, to);
    while (const auto firing = firings.next())
        all.push_back(*firing);
    const auto at = [](int hour, int minute, int line) {
        return Firing{Moment::fromDate(QDate(2026, 12, 10), hour, minute), line};
    };
    EXPECT_EQ(all, (std::vector<Firing>{at(8, 0, 3), at(8, 30, 2), at(9, 0, 1), at(9, 0, 3),
                                        at(10, 0, 3), at(10, 30, 2)}));

    // Exactly as many as allowed is not cut short; one more is.
    EXPECT_FALSE(firings.truncated());
    for (const auto &[cap, truncated] : {std::pair{6, false}, std::pair{5, true}}) {
        TableFirings capped(table, Now, MondayToFriday, from, to, {}, cap);
        int count = 0;
        while (capped.next())
            ++count;
        EXPECT_EQ(std::pair(count, capped.truncated()), std::pair(std::min(cap, 6), truncated));
    }
}

// The first common firing found by arithmetic is the one two merged walks meet at.
TEST(FiringsTest, FirstCommonFiringAgreesWithWalkingBothLines)
{
    QRandomGenerator random(7);
    const int units[] = {Once, Minutes, Hours, Days, Weeks, Months, Workdays, WeekendDays};
    const auto randomLine = [&] {
        const int unit = units[random.bounded(8)];
        const int count = unit == Minutes ? random.bounded(1, 200) : random.bounded(1, 5);
        return Line(Now.date().addDays(random.bounded(-40, 20)), random.bounded(24),
                    random.bounded(4) * 15, random.bounded(5), unit, count);
    };
    const Moment from = Moment::fromDateTime(Now);
    const Moment to = Moment::fromDate(Now.date().addDays(60), 23, 59);
    const WorkdayFlagSet workdays{1, 1, 0, 1, 1, 0, 1};
    int found = 0;
    for (int round = 0; round < 300; ++round) {
        const LineFirings a(randomLine(), Now, workdays);
        const LineFirings b(randomLine(), Now, workdays);
        std::optional<Moment> walked;
        FiringWalk walkA(a, from, to), walkB(b, from, to);
        std::optional<Moment> x = walkA.next(), y = walkB.next();
        while (x && y && !walked) {
            if (*x == *y)
                walked = x;
            else if (*x < *y)
                x = walkA.next();
            else
                y = walkB.next();
        }
        found += walked ? 1 : 0;
        ASSERT_EQ(FirstCommonFiring(a, b, from, to), walked) << "round " << round;
    }
    EXPECT_GT(found, 10); // the sample meets often enough to mean something
}

} // namespace
} // namespace quintara::clock
