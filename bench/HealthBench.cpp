#include "clock/ClockTable.h"
#include "clock/Firings.h"
#include "clock/HealthCheck.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <limits>

using namespace quintara::clock;

namespace {

const QDateTime Now(QDate(2026, 12, 9), QTime(10, 0));
const WorkdayFlagSet MondayToFriday{1, 1, 1, 1, 1, 0, 0};

ClockLine Line(int minute, int unit, int count, int level)
{
    ClockLine line;
    SetReferenceDate(line, QDate(2026, 11, 2));
    line.Minute = static_cast<quint8>(minute);
    line.Table = Continue;
    line.RepeatUnit = static_cast<quint8>(unit);
    line.RepeatCount = static_cast<quint8>(count);
    line.FunctionType = 1;
    line.FunctionNumber = 1;
    line.Level = static_cast<quint8>(level);
    return line;
}

// 100 lines on one function at two levels. Meeting: every minute, so every pair of different
// levels meets at once. Never meeting: every two minutes, the levels on the even and the odd
// minutes, so no pair ever meets and every pair must be proven apart over the whole year.
ClockTable WorstCaseTable(bool meeting)
{
    ClockTable table;
    table.MaxClockLines = ClockLineCount;
    for (int i = 0; i < ClockLineCount; ++i)
        table.Lines[static_cast<std::size_t>(i)] =
            meeting ? Line(0, Minutes, 1, i % 2) : Line(i % 2, Minutes, 2, i % 2);
    return table;
}

void HealthCheckOfAFullTable(benchmark::State &state)
{
    const ClockTable table = WorstCaseTable(state.range(0) != 0);
    std::size_t problems = 0;
    for (auto _ : state) {
        const std::vector<HealthProblem> found = CheckHealth(table, Now, MondayToFriday);
        problems = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["problems"] = double(problems);
}

// 100 lines, a quarter of them every 1 to 5 minutes, the rest hours, days, weeks, months and
// workdays, over one year.
ClockTable MixedTable()
{
    ClockTable table;
    table.MaxClockLines = ClockLineCount;
    QRandomGenerator random(42);
    const int units[] = {Minutes, Hours, Days, Weeks, Months, Workdays, WeekendDays};
    for (int i = 0; i < ClockLineCount; ++i) {
        const bool minutes = i % 4 == 0;
        const int unit = minutes ? Minutes : units[1 + random.bounded(6)];
        ClockLine line = Line(random.bounded(60), unit,
                              minutes ? random.bounded(1, 6) : random.bounded(1, 4), 255);
        line.Hour = static_cast<quint8>(random.bounded(24));
        line.FunctionNumber = static_cast<quint8>(i);
        table.Lines[static_cast<std::size_t>(i)] = line;
    }
    return table;
}

void AgendaOfAYear(benchmark::State &state)
{
    const ClockTable table = MixedTable();
    const Moment from = Moment::fromDate(QDate(2026, 12, 10));
    const Moment to = Moment::fromDate(QDate(2027, 12, 9), 23, 59);
    qint64 firings = 0;
    double firstNanoseconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        TableFirings agenda(table, Now, MondayToFriday, from, to, {},
                            std::numeric_limits<int>::max());
        benchmark::DoNotOptimize(agenda.next());
        firstNanoseconds += double(timer.nsecsElapsed());
        qint64 count = 1;
        while (const auto firing = agenda.next()) {
            benchmark::DoNotOptimize(firing->line);
            ++count;
        }
        firings = count;
    }
    state.counters["firings"] = double(firings);
    state.counters["firings/s"] = benchmark::Counter(double(firings) * double(state.iterations()),
                                                     benchmark::Counter::kIsRate);
    state.counters["firstFiring_us"] = firstNanoseconds / 1000.0 / double(state.iterations());
}

} // namespace

BENCHMARK(HealthCheckOfAFullTable)
    ->Arg(1)
    ->Arg(0)
    ->ArgName("meeting")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(AgendaOfAYear)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
