#include "plan/Sun.h"

#include <benchmark/benchmark.h>

using namespace quintara::plan;

namespace {

// A year of dawn, sunrise, sunset and dusk in a zone with summer time: what the agenda and
// the week view ask for at most in one go.
void SunTimesForAYear(benchmark::State &state)
{
    const Location amsterdam = std::get<Location>(Location::make(52.37, 4.89));
    const QTimeZone zone("Europe/Amsterdam");
    for (auto _ : state) {
        const SunDaysOutcome days = SunDays(amsterdam, {2027, 1, 1}, {2027, 12, 31}, zone);
        benchmark::DoNotOptimize(std::get<QList<SunDay>>(days).size());
    }
}
BENCHMARK(SunTimesForAYear)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
