#include "clock/ClockTable.h"
#include "plan/HolidayPlan.h"
#include "platform/Clock.h"
#include "project/ProjectModel.h"

#include <benchmark/benchmark.h>

using namespace quintara;

namespace {

const QDateTime Now(QDate(2026, 12, 8), QTime(10, 0));

// Twenty days off of a school and a company: ten yearly closures and ten dated days.
QByteArray TwentyDays()
{
    QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Quintara bench//EN\r\n";
    for (int i = 0; i < 20; ++i) {
        const QDate day = QDate(2027, 1 + i / 2, 10 + i % 2 * 8);
        ics += "BEGIN:VEVENT\r\nUID:day-" + QByteArray::number(i) +
               "\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:" +
               day.toString("yyyyMMdd").toLatin1() + "\r\n" +
               (i % 2 == 0 ? "RRULE:FREQ=YEARLY\r\n" : "") + "SUMMARY:Closed " +
               QByteArray::number(i) + "\r\nEND:VEVENT\r\n";
    }
    return ics + "END:VCALENDAR\r\n";
}

// Reading the calendar and planning NL into an empty table of 100 lines; with the moving
// holidays left out, the search for the years that fit goes on as far as dates reach.
void PlanNetherlands(benchmark::State &state)
{
    const bool fewMoving = state.range(0) != 0;
    const QByteArray ics = TwentyDays();
    const platform::FixedClock clock(Now);
    clock::ClockTable table;
    table.MaxClockLines = 100;
    plan::HolidayPlanRequest request;
    request.country = plan::Country::NL;
    for (int regime = 0; regime < clock::Regime::Count; ++regime)
        request.listedFunctions.insert(
            clock::FunctionReference(project::FunctionType::Regime, regime));
    if (fewMoving)
        request.leaveOut = {"easterSunday", "easterMonday", "ascensionDay", "whitSunday",
                            "whitMonday",   "liberationDay", "goodFriday",   "kingsDay"};
    const plan::HolidayYears years = plan::PlanYears(Now);
    int yearsAhead = 0;
    for (auto _ : state) {
        request.calendarDays = plan::ReadIcs(ics, years.first, years.last).days;
        const plan::HolidayPlan plan = plan::PlanHolidays(table, request, clock);
        yearsAhead = plan.yearsAhead;
        benchmark::DoNotOptimize(plan.lines.size());
    }
    state.counters["yearsAhead"] = yearsAhead;
}
BENCHMARK(PlanNetherlands)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
