#include "clock/ClockTable.h"
#include "plan/PresenceSimulation.h"
#include "platform/Clock.h"
#include "project/ProjectModel.h"

#include <benchmark/benchmark.h>

using namespace quintara;

namespace {

const QDateTime Now(QDate(2026, 12, 8), QTime(10, 0));

// Six lights, a morning and an evening, three switch-ons each: 504 lines are drawn, placed
// against a table of 100 with 40 of its own and refused for the budget, which is the most
// work a plan does. The seed changes every round.
void PlanSixLights(benchmark::State &state)
{
    const platform::FixedClock clock(Now);
    clock::ClockTable table;
    table.MaxClockLines = 100;
    for (int i = 0; i < 40; ++i) {
        clock::ClockLine &line = table.Lines[std::size_t(i)];
        line.Hour = quint8(i % 24);
        line.Table = clock::Simulation;
        line.RepeatUnit = clock::Weeks;
        line.RepeatCount = 1;
        line.FunctionType = project::FunctionType::Relay;
        line.FunctionNumber = quint8(20 + i % 5);
        line.Level = 255;
    }
    plan::SimulationRequest request;
    for (int number = 1; number <= 6; ++number) {
        const int type = number % 2 ? project::FunctionType::Relay : project::FunctionType::Dimmer;
        request.functions.append(*plan::ProposedFunction(type, number));
        request.listedFunctions.insert(clock::FunctionReference(type, number));
    }
    request.morning = plan::TimeWindow::of(QTime(6, 30), QTime(8, 0));
    request.evening = plan::TimeWindow::of(QTime(18, 0), QTime(23, 30));
    request.switchings = 3;
    request.minOnMinutes = 10;
    request.maxOnMinutes = 60;
    int needed = 0;
    for (auto _ : state) {
        ++request.seed;
        const plan::PresenceSimulation plan = plan::PlanPresenceSimulation(table, request, clock);
        needed = plan.budget.needed;
        benchmark::DoNotOptimize(plan.status);
    }
    state.counters["needed"] = needed;
}
BENCHMARK(PlanSixLights)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
