#include "plan/HolidayPlan.h"

#include "clock/ClockTable.h"
#include "clock/Firings.h"
#include "clock/HealthCheck.h"
#include "project/ProjectModel.h"
#include "tests/clock/TestLines.h"
#include "tests/plan/PlanRig.h"
#include "tests/support/FixedClock.h"

#include <QSet>

#include <gtest/gtest.h>

#include <functional>

namespace quintara::plan {
namespace {

using clock::ClockLine;
using clock::ClockTable;
using clock::Moment;
using test::Counts;
using test::EmptyTable;
using test::MondayToFriday;
using test::Now;
namespace Regime = clock::Regime;

// Relay 4 on every day at 07:00: a line of the user's own that a plan must leave alone.
ClockLine MorningLight()
{
    return clock::testing::Line(QDate(2026, 1, 5), 7, 0, clock::Continue, clock::Days, 1, 255, 4);
}

HolidayPlanRequest RequestFor(Country country)
{
    HolidayPlanRequest request;
    request.country = country;
    for (int regime = 0; regime < Regime::Count; ++regime)
        request.listedFunctions.insert(
            clock::FunctionReference(project::FunctionType::Regime, regime));
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
    QDate reach;
    QList<Vacation> vacations;
    QSet<QDate> holidays;       // every holiday up to the reach
    QSet<QDate> yearlyHolidays; // those on the same date every year, any year

    Expectation(QDate until, const QList<Vacation> &away, const QList<Holiday> &days)
        : reach(until), vacations(away)
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

// Every day from `from` (tomorrow when not given) through `to` is switched as expected by the
// clock layer's firing rule, given the regime of the day before; the first wrong day otherwise.
// Two regime lines never fire in the same minute: which of them the unit runs last is not
// for the plan to guess.
void ExpectRegimes(const ClockTable &table, const Expectation &expected, QDate to,
                   QDate from = Now.date().addDays(1), std::optional<int> before = {})
{
    clock::TableFirings firings(table, Now, MondayToFriday, Moment::fromDate(from),
                                Moment::fromDate(to, 23, 59));
    std::optional<Moment> lastSwitch;
    int regime = before.value_or(expected.regimeOn(from.addDays(-1)));
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
        ASSERT_EQ(regime, expected.regimeOn(day)) << day.toString(Qt::ISODate).toStdString();
    }
}

// The period the plan switches from `first`, if any.
std::optional<DayOffPeriod> PeriodFrom(const HolidayPlan &plan, QDate first)
{
    for (const DayOffPeriod &period : plan.periods) {
        if (period.first == first)
            return period;
    }
    return std::nullopt;
}

class HolidayPlanTest : public ::testing::Test {
protected:
    // Planned for the table as it is now, and applied to it.
    HolidayPlan planAndApply(const HolidayPlanRequest &request)
    {
        HolidayPlan plan = PlanHolidays(table, request, clock);
        EXPECT_EQ(plan.status, HolidayPlanStatus::Planned);
        ApplyHolidayPlan(table, plan);
        return plan;
    }

    ClockTable table = EmptyTable();
    const testing::FixedClock clock{Now};
};

TEST_F(HolidayPlanTest, DutchHolidaysAndACompanyClosureFireOnExactlyTheDaysOff)
{
    table.Lines[0] = MorningLight();
    HolidayPlanRequest request = RequestFor(Country::NL);
    // Closed on New Year's Eve every year: with New Year's Day one period across the year end.
    request.calendarDays = {{QDate(2026, 12, 31), QDate(2026, 12, 31), "Closure", true}};
    // Away over Christmas once: presence simulation wins over the yearly holiday lines.
    request.vacations = {{QDate(2027, 12, 20), QDate(2027, 12, 25)}};
    const HolidayPlan plan = planAndApply(request);
    EXPECT_GE(plan.yearsAhead, 3);
    EXPECT_EQ(plan.reachesUntil, Now.date().addYears(plan.yearsAhead));
    EXPECT_EQ(Counts(plan.budget), (std::array{100, 1, 99, int(plan.lines.size())}));
    EXPECT_LE(plan.budget.needed, 99);
    EXPECT_TRUE(plan.replaced.isEmpty());
    EXPECT_EQ(plan.added.size(), plan.lines.size());
    EXPECT_FALSE(plan.added.contains(0));
    EXPECT_TRUE(table.TableChanged);
    EXPECT_EQ(table.Lines[0], MorningLight());

    Expectation expected(plan.reachesUntil, request.vacations, HolidaysOf(Country::NL));
    expected.yearlyHolidays.insert(QDate(2001, 12, 31));
    ExpectRegimes(table, expected, plan.reachesUntil);
    // Past the reach the yearly lines go on by themselves.
    Expectation yearlyOnly = expected;
    yearlyOnly.holidays.clear();
    const QDate afterReach = plan.reachesUntil.addDays(1);
    ExpectRegimes(table, yearlyOnly, afterReach.addYears(3), afterReach,
                  expected.regimeOn(plan.reachesUntil));

    // Consecutive days are one period: nothing switches on 26 December or 1 January, but for
    // the day after the vacation.
    for (const ClockLine &line : table.Lines) {
        const QDate date = clock::ReferenceDate(line, clock::YearWindow::around(Now));
        if (line.FunctionType == project::FunctionType::Regime) {
            EXPECT_FALSE(date.month() == 12 && date.day() == 26 && date != QDate(2027, 12, 26));
            EXPECT_FALSE(date.month() == 1 && date.day() == 1);
        }
    }
    const std::optional<DayOffPeriod> yearEnd = PeriodFrom(plan, QDate(2026, 12, 31));
    ASSERT_TRUE(yearEnd);
    EXPECT_EQ(std::tuple(yearEnd->last, yearEnd->yearly, yearEnd->keys.contains("Closure")),
              std::tuple(QDate(2027, 1, 1), true, true));
}

TEST_F(HolidayPlanTest, EnglishSubstituteDaysAndAVacationOverYearlyHolidays)
{
    HolidayPlanRequest request = RequestFor(Country::GB);
    // Away over Christmas, and in summer.
    request.vacations = {{QDate(2027, 12, 22), QDate(2027, 12, 25)},
                         {QDate(2028, 7, 10), QDate(2028, 7, 23)}};
    const HolidayPlan plan = planAndApply(request);
    EXPECT_GE(plan.yearsAhead, 3);
    // A substitute day is named as one (New Year's Day 2028 is a Saturday).
    const QString monday =
        PeriodFrom(plan, QDate(2028, 1, 3)).value_or(DayOffPeriod{}).names.value(0);
    EXPECT_TRUE(monday.endsWith("(substitute day)")) << monday.toStdString();
    ExpectRegimes(table, {plan.reachesUntil, request.vacations, HolidaysOf(Country::GB)},
                  plan.reachesUntil);

    // Leaving holidays out by key: they are not switched. The vacations planned before are
    // kept though not given again.
    const QList<Vacation> earlier = request.vacations;
    request.vacations.clear();
    request.leaveOut = {"easterMonday", "goodFriday"};
    const HolidayPlan fewer = planAndApply(request);
    QList<Holiday> kept = HolidaysOf(Country::GB);
    kept.removeIf([&](const Holiday &day) { return request.leaveOut.contains(day.key); });
    ExpectRegimes(table, {fewer.reachesUntil, earlier, kept}, fewer.reachesUntil);
}

TEST_F(HolidayPlanTest, PlanningAgainReplacesTheEarlierPlanAndKeepsOtherLines)
{
    HolidayPlanRequest request = RequestFor(Country::NL);
    const HolidayPlan first = planAndApply(request);
    // A line of the user's own after the plan, and one that only looks alike (another time).
    const auto freeLine = clock::FindFreeLine(table);
    ASSERT_TRUE(freeLine);
    const std::size_t own = std::size_t(*freeLine);
    table.Lines[own] = MorningLight();
    ClockLine lookalike = clock::DayStartRegimeLine(QDate(2027, 3, 1), Regime::Weekendday, false);
    lookalike.Minute = 30;
    table.Lines[own + 1] = lookalike;

    request.vacations = {{QDate(2027, 8, 2), QDate(2027, 8, 20)}};
    const HolidayPlan second = planAndApply(request);
    EXPECT_EQ(second.replaced, first.added);
    EXPECT_EQ(second.budget.used, 2);
    EXPECT_EQ(std::pair(table.Lines[own], table.Lines[own + 1]),
              std::pair(MorningLight(), lookalike));
    EXPECT_EQ(std::ranges::count_if(table.Lines, clock::IsDayStartRegimeLine), second.lines.size());
    ExpectRegimes(table, {second.reachesUntil, request.vacations, HolidaysOf(Country::NL)},
                  QDate(2027, 2, 28));

    // Planning again during the vacation keeps its switch back; the plan can be told to drop it.
    const testing::FixedClock away(QDateTime(QDate(2027, 8, 10), QTime(12, 0)));
    const QList<Vacation> earlier = request.vacations;
    request.vacations.clear();
    EXPECT_EQ(EarlierVacations(table, request, away.now()), earlier);
    const ClockLine back = clock::DayStartRegimeLine(QDate(2027, 8, 21), Regime::Automatic, false);
    const HolidayPlan during = PlanHolidays(table, request, away);
    EXPECT_TRUE(during.planned() && during.lines.contains(back));
    request.keepEarlierVacations = false;
    const HolidayPlan dropped = PlanHolidays(table, request, away);
    EXPECT_TRUE(dropped.planned() && !dropped.lines.contains(back));
    EXPECT_TRUE(EarlierVacations(table, request, QDateTime(QDate(2027, 8, 21), {})).isEmpty());
}

TEST_F(HolidayPlanTest, RefusesWhatDoesNotFitAndWhatCannotBePlanned)
{
    // A model with 50 lines, 46 of them taken.
    table = EmptyTable(50);
    for (int i = 0; i < 46; ++i)
        table.Lines[std::size_t(i)] = MorningLight();
    HolidayPlanRequest request = RequestFor(Country::NL);
    const HolidayPlan plan = PlanHolidays(table, request, clock);
    EXPECT_EQ(std::pair(plan.status, plan.budget.free),
              std::pair(HolidayPlanStatus::DoesNotFit, 4));
    EXPECT_GT(plan.budget.needed, 4);
    EXPECT_TRUE(plan.lines.isEmpty() && plan.added.isEmpty());
    ASSERT_FALSE(plan.notFitting.isEmpty());
    // Leaving out what was named makes room.
    for (const DayOffPeriod &period : plan.notFitting)
        request.leaveOut += period.keys;
    EXPECT_LT(PlanHolidays(table, request, clock).budget.needed, plan.budget.needed);

    // What the refusal names: the regime, or the vacation's index.
    const auto refusal = [&](const std::function<void(HolidayPlanRequest &)> &change) {
        HolidayPlanRequest other = RequestFor(Country::NL);
        change(other);
        const HolidayPlan refused = PlanHolidays(EmptyTable(), other, clock);
        return std::pair(refused.status, refused.refused);
    };
    EXPECT_EQ(refusal([](auto &r) {
                  r.listedFunctions = {clock::FunctionReference(project::FunctionType::Relay, 4)};
              }).first,
              HolidayPlanStatus::NoClockFunctions);
    EXPECT_EQ(refusal([](auto &r) { r.holidayRegime = 6; }),
              std::pair(HolidayPlanStatus::RegimeNotListed, 6));
    EXPECT_EQ(refusal([](auto &r) {
                  r.vacations = {{QDate(2027, 5, 1), QDate(2027, 6, 1)},
                                 {QDate(2027, 8, 9), QDate(2027, 8, 1)}};
              }),
              std::pair(HolidayPlanStatus::VacationRefused, 1));
}

TEST_F(HolidayPlanTest, HealthCheckAsksForANewPlanSixtyDaysBeforeTheLastMovingHoliday)
{
    HolidayPlanRequest request = RequestFor(Country::NL);
    request.vacations = {{QDate(2027, 8, 2), QDate(2027, 8, 20)}};
    const HolidayPlan plan = planAndApply(request);

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
