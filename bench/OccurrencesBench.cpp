#include "clock/ClockTable.h"
#include "clock/Occurrences.h"

#include <benchmark/benchmark.h>

#include <QRandomGenerator>

using namespace quintara::clock;

namespace {

const QDate ThisMonday(2026, 12, 7);
constexpr YearWindow Years{2026};
const WorkdayFlagSet Workdays{1, 1, 1, 1, 1, 0, 0};

// 100 lines in use, minute, hour, day and month repetitions mixed, with their reference dates
// kept current as the week view keeps them.
ClockTable MixedTable()
{
    ClockTable table;
    table.MaxClockLines = 100;
    QRandomGenerator random(42);
    const int units[] = {Minutes, Hours, Days, Months};
    for (int i = 0; i < ClockLineCount; ++i) {
        ClockLine &line = table.Lines[static_cast<std::size_t>(i)];
        line.FunctionType = 1;
        line.Table = Continue;
        line.RepeatUnit = static_cast<quint8>(units[i % 4]);
        line.RepeatCount = static_cast<quint8>(line.RepeatUnit == Minutes ? random.bounded(1, 30)
                                                                          : random.bounded(1, 4));
        line.Hour = static_cast<quint8>(random.bounded(24));
        line.Minute = static_cast<quint8>(random.bounded(60));
        SetReferenceDate(line, ThisMonday.addDays(random.bounded(-400, 0)));
    }
    CheckDates(table, ThisMonday);
    return table;
}

// All occurrences of the table in one week: the markers and the hit-test walk, as a repaint
// followed by a click does it.
void WeekOfOccurrences(benchmark::State &state)
{
    const ClockTable table = MixedTable();
    const QDate monday = ThisMonday.addDays(7 * state.range(0));
    qint64 occurrences = 0;
    for (auto _ : state) {
        for (const ClockLine &line : table.Lines) {
            benchmark::DoNotOptimize(ReferenceOccurrence(line, monday, Years));
            for (WalkPurpose purpose : {WalkPurpose::Markers, WalkPurpose::HitTest}) {
                OccurrenceWalk walk(line, monday, Workdays, purpose, Years);
                while (const auto occurrence = walk.next()) {
                    benchmark::DoNotOptimize(occurrence->moment);
                    ++occurrences;
                }
            }
        }
    }
    state.counters["occurrences/week"] =
        benchmark::Counter(double(occurrences) / double(state.iterations()));
}

} // namespace

BENCHMARK(WeekOfOccurrences)
    ->Arg(0)
    ->Arg(52)
    ->Arg(520)
    ->ArgName("weeksAhead")
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
