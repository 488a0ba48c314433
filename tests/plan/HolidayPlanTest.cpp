#include "plan/HolidayPlan.h"

#include "clock/ClockTable.h"
#include "clock/Firings.h"
#include "clock/HealthCheck.h"
#include "project/ProjectModel.h"
#include "tests/support/FixedClock.h"

#include <QSet>

#include <gtest/gtest.h>

namespace quintara::plan {
namespace {

using clock::ClockLine;
using clock::ClockTable;
using clock::Moment;
namespace Regime = clock::Regime;

const QDateTime Now(QDate(2026, 12, 8), QTime(10, 0));
constexpr clock::WorkdayFlagSet MondayToFriday{1, 1, 1, 1, 1, 0, 0};

QSet<int> AllRegimes()
{
    QSet<int> listed;
    for (int regime = 0; regime < Regime::Count; ++regime)
        listed.insert(clock::FunctionReference(project::FunctionType::Regime, regime));
    return listed;
}

ClockTable EmptyTable(int lines = 100)
{
    ClockTable table;
    table.MaxClockLines = qint16(lines);
    return table;
}

// A relay line every day at 07:00: a line of the user's own that a plan must leave alone.
ClockLine MorningLight()
{
    ClockLine line;
    line.Hour = 7;
    clock::SetReferenceDate(line, QDate(2026, 1, 5));
    line.RepeatUnit = clock::Days;
    line.RepeatCount = 1;
    line.FunctionType = project::FunctionType::Relay;
    line.FunctionNumber = 4;
    line.Level = 255;
    return line;
}

HolidayPlanRequest RequestFor(Country country)
{
    HolidayPlanRequest request;
    request.country = country;
    request.listedFunctions = AllRegimes();
    return request;
}

QList<Holiday> HolidaysOf(Country country)
{
    const HolidayYears years = PlanYears(Now);
    return std::get<QList<Holiday>>(PublicHolidays(country, years.first, years.last, 0,
                                                   clock::YearWindow::around(Now)));
}

// What a day should be switched to, worked out from the calendar rather than from the plan.
struct Expectation {
    QSet<QDate> holidays;       // every holiday up to the reach
    QSet<QDate> yearlyHolidays; // those on the same date every year, any year
    QList<Vacation> vacations;
    QDate reach;

    void addHolidays(const QList<Holiday> &days)
    {
        for (const Holiday &day : days) {
            if (day.sameDateEveryYear)
                yearlyHolidays.insert(QDate(2001, day.date.month(), day.date.day()));
            if (day.date <= reach)
                holidays.insert(day.date);
        }
    }

    int regimeOn(QDate date) const
    {
        for (const Vacation &vacation : vacations) {
            if (vacation.first <= date && date <= vacation.last)
                return Regime::PresenceSimulation;
        }
        const bool yearly = QDate(2001, date.month(), date.day()).isValid() &&
                            yearlyHolidays.contains(QDate(2001, date.month(), date.day()));
        return holidays.contains(date) || yearly ? Regime::Weekendday : Regime::Automatic;
    }
};

// The regime in force on each day from `from` through `to`, by the clock layer's firing rule.
// Two regime lines never fire in the same minute: which of them the unit runs last is not
// for the plan to guess.
std::vector<int> RegimePerDay(const ClockTable &table, QDate from, QDate to, int initial)
{
    std::optional<Moment> lastSwitch;
    clock::TableFirings firings(table, Now, MondayToFriday, Moment::fromDate(from),
                                Moment::fromDate(to, 23, 59));
    std::vector<int> regimes;
    int regime = initial;
    std::optional<clock::Firing> next = firings.next();
    for (QDate day = from; day <= to; day = day.addDays(1)) {
        for (; next && next->moment.date() == day; next = firings.next()) {
            const ClockLine &line = table.Lines[std::size_t(next->line)];
            if (line.FunctionType != project::FunctionType::Regime)
                continue;
            EXPECT_NE(lastSwitch, next->moment) << day.toString(Qt::ISODate).toStdString();
            lastSwitch = next->moment;
            regime = line.FunctionNumber;
        }
        regimes.push_back(regime);
    }
    return regimes;
}

// Every day from `from` (tomorrow when not given) through `to` is switched as expected, given
// the regime of the day before; the first wrong day otherwise.
void ExpectRegimes(const ClockTable &table, const Expectation &expected, QDate to,
                   QDate from = Now.date().addDays(1), std::optional<int> before = {})
{
    const std::vector<int> regimes = RegimePerDay(
        table, from, to, before.value_or(expected.regimeOn(from.addDays(-1))));
    for (std::size_t i = 0; i < regimes.size(); ++i) {
        const QDate day = from.addDays(qint64(i));
        ASSERT_EQ(regimes[i], expected.regimeOn(day)) << day.toString(Qt::ISODate).toStdString();
    }
}

QList<QDate> LineDates(const ClockTable &table)
{
    QList<QDate> dates;
    for (const ClockLine &line : table.Lines) {
        if (line.FunctionType == project::FunctionType::Regime)
            dates.push_back(clock::ReferenceDate(line, clock::YearWindow::around(Now)));
    }
    return dates;
}

TEST(HolidayPlan, DutchHolidaysAndACompanyClosureFireOnExactlyTheDaysOff)
{
    ClockTable table = EmptyTable();
    table.Lines[0] = MorningLight();
    HolidayPlanRequest request = RequestFor(Country::NL);
    // Closed on New Year's Eve every year: with New Year's Day one period across the year end.
    request.calendarDays = {{QDate(2026, 12, 31), QDate(2026, 12, 31), "Closure", true}};
    // Away over Christmas once: presence simulation wins over the yearly holiday lines.
    request.vacations = {{QDate(2027, 12, 20), QDate(2027, 12, 25)}};
    const testing::FixedClock clock(Now);

    const HolidayPlan plan = PlanHolidays(table, request, clock);
    ASSERT_EQ(plan.status, HolidayPlanStatus::Planned);
    EXPECT_GE(plan.yearsAhead, 3);
    EXPECT_EQ(plan.reachesUntil, Now.date().addYears(plan.yearsAhead));
    EXPECT_EQ(plan.budget.usable, 100);
    EXPECT_EQ(plan.budget.used, 1);
    EXPECT_EQ(plan.budget.free, 99);
    EXPECT_EQ(plan.budget.needed, plan.lines.size());
    EXPECT_LE(plan.budget.needed, 99);
    EXPECT_TRUE(plan.replaced.isEmpty());
    EXPECT_EQ(plan.added.size(), plan.lines.size());
    EXPECT_FALSE(plan.added.contains(0));

    ClockTable applied = table;
    ApplyHolidayPlan(applied, plan);
    EXPECT_TRUE(applied.TableChanged);
    EXPECT_EQ(applied.Lines[0], MorningLight());

    Expectation expected;
    expected.reach = plan.reachesUntil;
    expected.vacations = request.vacations;
    expected.addHolidays(HolidaysOf(Country::NL));
    expected.yearlyHolidays.insert(QDate(2001, 12, 31));
    // Past the reach the yearly lines go on by themselves.
    ExpectRegimes(applied, expected, plan.reachesUntil);
    Expectation yearlyOnly = expected;
    yearlyOnly.holidays.clear();
    const QDate afterReach = plan.reachesUntil.addDays(1);
    ExpectRegimes(applied, yearlyOnly, afterReach.addYears(3), afterReach,
                  expected.regimeOn(plan.reachesUntil));

    // Consecutive days are one period: nothing switches on 26 December or 1 January, but for
    // the day after the vacation.
    for (const QDate &date : LineDates(applied)) {
        EXPECT_FALSE(date.month() == 12 && date.day() == 26 && date != QDate(2027, 12, 26));
        EXPECT_FALSE(date.month() == 1 && date.day() == 1);
    }
    const auto yearEnd = std::find_if(plan.periods.begin(), plan.periods.end(), [](auto &p) {
        return p.first == QDate(2026, 12, 31);
    });
    ASSERT_NE(yearEnd, plan.periods.end());
    EXPECT_EQ(yearEnd->last, QDate(2027, 1, 1));
    EXPECT_TRUE(yearEnd->yearly);
    EXPECT_TRUE(yearEnd->keys.contains("Closure"));
}

TEST(HolidayPlan, EnglishSubstituteDaysAndAVacationOverYearlyHolidays)
{
    ClockTable table = EmptyTable();
    HolidayPlanRequest request = RequestFor(Country::GB);
    // Away over Christmas, and in summer.
    request.vacations = {{QDate(2027, 12, 22), QDate(2027, 12, 25)},
                         {QDate(2028, 7, 10), QDate(2028, 7, 23)}};
    const testing::FixedClock clock(Now);

    const HolidayPlan plan = PlanHolidays(table, request, clock);
    ASSERT_EQ(plan.status, HolidayPlanStatus::Planned);
    EXPECT_GE(plan.yearsAhead, 3);
    // A substitute day is named as one (New Year's Day 2028 is a Saturday).
    const auto monday =
        std::find_if(plan.periods.begin(), plan.periods.end(),
                     [](const DayOffPeriod &p) { return p.first == QDate(2028, 1, 3); });
    ASSERT_NE(monday, plan.periods.end());
    EXPECT_TRUE(monday->names.value(0).endsWith("(substitute day)"))
        << monday->names.join(',').toStdString();
    ApplyHolidayPlan(table, plan);

    Expectation expected;
    expected.reach = plan.reachesUntil;
    expected.vacations = request.vacations;
    expected.addHolidays(HolidaysOf(Country::GB));
    ExpectRegimes(table, expected, plan.reachesUntil);

    // Leaving holidays out by key: they are not switched. The vacations planned before are
    // kept though not given again.
    request.vacations.clear();
    request.leaveOut = {"easterMonday", "goodFriday"};
    const HolidayPlan fewer = PlanHolidays(table, request, clock);
    ASSERT_EQ(fewer.status, HolidayPlanStatus::Planned);
    ApplyHolidayPlan(table, fewer);
    Expectation without;
    without.reach = fewer.reachesUntil;
    without.vacations = expected.vacations;
    for (const Holiday &day : HolidaysOf(Country::GB)) {
        if (day.key != "easterMonday" && day.key != "goodFriday")
            without.addHolidays({day});
    }
    ExpectRegimes(table, without, fewer.reachesUntil);
}

TEST(HolidayPlan, PlanningAgainReplacesTheEarlierPlanAndKeepsOtherLines)
{
    ClockTable table = EmptyTable();
    const testing::FixedClock clock(Now);
    HolidayPlanRequest request = RequestFor(Country::NL);
    const HolidayPlan first = PlanHolidays(table, request, clock);
    ASSERT_EQ(first.status, HolidayPlanStatus::Planned);
    ApplyHolidayPlan(table, first);
    // A line of the user's own after the plan, and one that only looks alike (another time).
    const auto freeLine = clock::FindFreeLine(table);
    ASSERT_TRUE(freeLine);
    table.Lines[std::size_t(*freeLine)] = MorningLight();
    ClockLine lookalike = clock::DayStartRegimeLine(QDate(2027, 3, 1), Regime::Weekendday, false);
    lookalike.Minute = 30;
    table.Lines[std::size_t(*freeLine + 1)] = lookalike;

    request.vacations = {{QDate(2027, 8, 2), QDate(2027, 8, 20)}};
    const HolidayPlan second = PlanHolidays(table, request, clock);
    ASSERT_EQ(second.status, HolidayPlanStatus::Planned);
    EXPECT_EQ(second.replaced, first.added);
    EXPECT_EQ(second.budget.used, 2);
    ApplyHolidayPlan(table, second);
    EXPECT_EQ(table.Lines[std::size_t(*freeLine)], MorningLight());
    EXPECT_EQ(table.Lines[std::size_t(*freeLine + 1)], lookalike);
    int regimeLines = 0;
    for (const ClockLine &line : table.Lines)
        regimeLines += clock::IsDayStartRegimeLine(line) ? 1 : 0;
    EXPECT_EQ(regimeLines, second.lines.size());

    Expectation expected;
    expected.reach = second.reachesUntil;
    expected.vacations = request.vacations;
    expected.addHolidays(HolidaysOf(Country::NL));
    ExpectRegimes(table, expected, QDate(2027, 2, 28));

    // Planning again during the vacation keeps its switch back; the plan can be told to drop it.
    const testing::FixedClock away(QDateTime(QDate(2027, 8, 10), QTime(12, 0)));
    request.vacations.clear();
    const QList<Vacation> earlier{{QDate(2027, 8, 2), QDate(2027, 8, 20)}};
    EXPECT_EQ(EarlierVacations(table, request, away.now()), earlier);
    const HolidayPlan during = PlanHolidays(table, request, away);
    ASSERT_EQ(during.status, HolidayPlanStatus::Planned);
    const ClockLine back = clock::DayStartRegimeLine(QDate(2027, 8, 21), Regime::Automatic, false);
    EXPECT_TRUE(during.lines.contains(back));
    request.keepEarlierVacations = false;
    const HolidayPlan dropped = PlanHolidays(table, request, away);
    ASSERT_EQ(dropped.status, HolidayPlanStatus::Planned);
    EXPECT_FALSE(dropped.lines.contains(back));
    EXPECT_TRUE(EarlierVacations(table, request, QDateTime(QDate(2027, 8, 21), {})).isEmpty());
}

TEST(HolidayPlan, RefusesWhatDoesNotFitAndWhatCannotBePlanned)
{
    const testing::FixedClock clock(Now);
    // A model with 50 lines, 46 of them taken.
    ClockTable table = EmptyTable(50);
    for (int i = 0; i < 46; ++i)
        table.Lines[std::size_t(i)] = MorningLight();
    HolidayPlanRequest request = RequestFor(Country::NL);
    const HolidayPlan plan = PlanHolidays(table, request, clock);
    EXPECT_EQ(plan.status, HolidayPlanStatus::DoesNotFit);
    EXPECT_EQ(plan.budget.free, 4);
    EXPECT_GT(plan.budget.needed, 4);
    EXPECT_TRUE(plan.lines.isEmpty());
    EXPECT_TRUE(plan.added.isEmpty());
    ASSERT_FALSE(plan.notFitting.isEmpty());
    // Leaving out what was named makes room.
    for (const DayOffPeriod &period : plan.notFitting)
        request.leaveOut += period.keys;
    const HolidayPlan smaller = PlanHolidays(table, request, clock);
    EXPECT_LT(smaller.budget.needed, plan.budget.needed);

    HolidayPlanRequest noRegimes = RequestFor(Country::NL);
    noRegimes.listedFunctions = {clock::FunctionReference(project::FunctionType::Relay, 4)};
    EXPECT_EQ(PlanHolidays(EmptyTable(), noRegimes, clock).status,
              HolidayPlanStatus::NoClockFunctions);
    HolidayPlanRequest unknownRegime = RequestFor(Country::NL);
    unknownRegime.holidayRegime = 6;
    const HolidayPlan unknown = PlanHolidays(EmptyTable(), unknownRegime, clock);
    EXPECT_EQ(unknown.status, HolidayPlanStatus::RegimeNotListed);
    EXPECT_EQ(unknown.refused, 6);
    HolidayPlanRequest reversed = RequestFor(Country::NL);
    reversed.vacations = {{QDate(2027, 5, 1), QDate(2027, 6, 1)},
                          {QDate(2027, 8, 9), QDate(2027, 8, 1)}};
    const HolidayPlan refused = PlanHolidays(EmptyTable(), reversed, clock);
    EXPECT_EQ(refused.status, HolidayPlanStatus::VacationRefused);
    EXPECT_EQ(refused.refused, 1);
}

TEST(HolidayPlan, HealthCheckAsksForANewPlanSixtyDaysBeforeTheLastMovingHoliday)
{
    ClockTable table = EmptyTable();
    const testing::FixedClock clock(Now);
    HolidayPlanRequest request = RequestFor(Country::NL);
    request.vacations = {{QDate(2027, 8, 2), QDate(2027, 8, 20)}};
    const HolidayPlan plan = PlanHolidays(table, request, clock);
    ASSERT_EQ(plan.status, HolidayPlanStatus::Planned);
    ApplyHolidayPlan(table, plan);

    // The first day of the last run of moving holidays within the reach.
    QSet<QDate> moving;
    for (const Holiday &day : HolidaysOf(Country::NL)) {
        if (!day.sameDateEveryYear && day.date <= plan.reachesUntil)
            moving.insert(day.date);
    }
    QDate last = *std::max_element(moving.begin(), moving.end());
    while (moving.contains(last.addDays(-1)))
        last = last.addDays(-1);

    const auto runOut = [&](QDate today) {
        std::optional<clock::HealthProblem> found;
        for (const auto &problem :
             clock::CheckHealth(table, QDateTime(today, QTime(9, 0)), MondayToFriday)) {
            if (problem.kind == clock::HealthKind::HolidaysRunOut)
                found = problem;
        }
        return found;
    };
    EXPECT_FALSE(runOut(Now.date()));
    EXPECT_FALSE(runOut(last.addDays(-61)));
    const auto warned = runOut(last.addDays(-60));
    ASSERT_TRUE(warned);
    EXPECT_EQ(warned->at.date(), last);
    EXPECT_EQ(table.Lines[std::size_t(warned->line)].FunctionNumber, Regime::Weekendday);
    EXPECT_TRUE(runOut(last.addDays(3)));
}

} // namespace
} // namespace quintara::plan
