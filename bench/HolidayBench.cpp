#include "plan/Holidays.h"

#include <benchmark/benchmark.h>

using namespace quintara::plan;

namespace {

constexpr quintara::clock::YearWindow Years{2026};

// Every built-in country's holidays from 2000 through 2075, named in Dutch: what a planner asks
// for at most in one go.
void AllCountriesAllYears(benchmark::State &state)
{
    const QList<Country> countries = AllCountries();
    for (auto _ : state) {
        qsizetype days = 0;
        for (Country country : countries) {
            const HolidaysOutcome outcome = PublicHolidays(country, 2000, 2075, 1, Years);
            days += std::get<QList<Holiday>>(outcome).size();
        }
        benchmark::DoNotOptimize(days);
    }
}
BENCHMARK(AllCountriesAllYears)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
