#include "plan/PresenceSimulation.h"

#include "clock/ClockTable.h"
#include "platform/Clock.h"
#include "project/ProjectModel.h"

#include <QRandomGenerator>

#include <algorithm>
#include <random>
#include <vector>

namespace quintara::plan {

namespace {

constexpr quint8 FullOn = 255;
constexpr quint8 Off = 0;
constexpr quint8 BlindUp = 255;
constexpr quint8 BlindDown = 0;
constexpr int DaysInWeek = 7;
// Between one period's off and the next one's on: two lines of one function in the same
// minute leave it to the central unit which of them runs last.
constexpr int GapMinutes = 1;

// Draws from the seed. The engine's sequence is fixed by the C++ standard and the mapping onto
// a range is written out here: the standard distributions differ between libraries.
class SeededDraw {
public:
    explicit SeededDraw(quint32 seed) : m_engine(seed) {}

    // low..high, both included; low <= high.
    int between(int low, int high)
    {
        const auto count = quint64(high - low) + 1;
        return low + int((quint64(m_engine()) * count) >> 32);
    }

private:
    std::mt19937 m_engine;
};

struct OnPeriod {
    int on = 0;  // minute of the day
    int off = 0;
};

// The minutes a window needs for its switch-ons at the shortest.
qint64 MinutesNeeded(const SimulationRequest &request)
{
    return qint64(request.switchings) * request.minOnMinutes +
           qint64(request.switchings - 1) * GapMinutes;
}

// `count` on-periods in the window, in time order. The window holds MinutesNeeded.
std::vector<OnPeriod> OnPeriods(TimeWindow window, const SimulationRequest &request,
                                SeededDraw &draw)
{
    const int count = request.switchings;
    // The minutes for on-times and for the slack before, between and after them.
    int left = window.minutes() - (count - 1) * GapMinutes;
    std::vector<int> lengths(std::size_t(count), 0);
    for (int i = 0; i < count; ++i) {
        const int keepForRest = (count - 1 - i) * request.minOnMinutes;
        const int longest = std::min(request.maxOnMinutes, left - keepForRest);
        lengths[std::size_t(i)] = draw.between(request.minOnMinutes, longest);
        left -= lengths[std::size_t(i)];
    }
    // The first ones drew from the widest range: the order must not tell.
    for (int i = count - 1; i > 0; --i)
        std::swap(lengths[std::size_t(i)], lengths[std::size_t(draw.between(0, i))]);
    // The slack falls into the count + 1 gaps at points cut from 0..left.
    std::vector<int> cuts(std::size_t(count), 0);
    for (int &cut : cuts)
        cut = draw.between(0, left);
    std::sort(cuts.begin(), cuts.end());

    std::vector<OnPeriod> periods;
    int start = window.first;
    int previousCut = 0;
    for (int i = 0; i < count; ++i) {
        start += cuts[std::size_t(i)] - previousCut;
        previousCut = cuts[std::size_t(i)];
        const int off = start + lengths[std::size_t(i)];
        periods.push_back({start, off});
        start = off + GapMinutes;
    }
    return periods;
}

clock::ClockLine SimulationLine(QDate date, int minuteOfDay, const SimulatedFunction &function,
                                quint8 level)
{
    clock::ClockLine line;
    line.Hour = quint8(minuteOfDay / 60);
    line.Minute = quint8(minuteOfDay % 60);
    clock::SetReferenceDate(line, date);
    line.Table = clock::Simulation;
    line.RepeatUnit = clock::Weeks;
    line.RepeatCount = 1;
    line.FunctionType = quint8(function.type);
    line.FunctionNumber = quint8(function.number);
    line.Level = level;
    return line;
}

bool IsEarlierSimulation(const clock::ClockLine &line, const QList<SimulatedFunction> &functions)
{
    if (line.Table != clock::Simulation || line.RepeatUnit != clock::Weeks ||
        line.RepeatCount != 1)
        return false;
    return std::any_of(functions.begin(), functions.end(), [&line](const SimulatedFunction &f) {
        return line.FunctionType == f.type && line.FunctionNumber == f.number &&
               (line.Level == f.on || line.Level == f.off);
    });
}

// Why the request cannot be planned, or nothing.
std::optional<PresenceSimulation> Refusal(const SimulationRequest &request)
{
    PresenceSimulation refusal;
    refusal.seed = request.seed;
    const auto refuse = [&refusal](SimulationStatus status) {
        refusal.status = status;
        return refusal;
    };
    if (request.functions.isEmpty())
        return refuse(SimulationStatus::NoFunction);
    for (int i = 0; i < request.functions.size(); ++i) {
        const SimulatedFunction &function = request.functions[i];
        refusal.refusedFunction = i;
        if (!request.listedFunctions.contains(
                clock::FunctionReference(function.type, function.number)))
            return refuse(SimulationStatus::FunctionNotListed);
        const auto same = [&function](const SimulatedFunction &other) {
            return other.type == function.type && other.number == function.number;
        };
        if (std::count_if(request.functions.begin(), request.functions.end(), same) > 1)
            return refuse(SimulationStatus::FunctionTwice);
        if (function.on == function.off)
            return refuse(SimulationStatus::LevelsAlike);
    }
    refusal.refusedFunction = -1;
    if (request.morning && !request.morning->valid()) {
        refusal.refusedWindow = SimulationWindow::Morning;
        return refuse(SimulationStatus::WindowRefused);
    }
    if (!request.evening.valid()) {
        refusal.refusedWindow = SimulationWindow::Evening;
        return refuse(SimulationStatus::WindowRefused);
    }
    if (request.morning && request.morning->last >= request.evening.first &&
        request.evening.last >= request.morning->first)
        return refuse(SimulationStatus::WindowsOverlap);
    if (request.minOnMinutes < 1 || request.minOnMinutes > request.maxOnMinutes)
        return refuse(SimulationStatus::OnTimeRefused);
    if (request.switchings < 1)
        return refuse(SimulationStatus::SwitchingsRefused);
    const auto tooShort = [&request](TimeWindow window) {
        return MinutesNeeded(request) > window.minutes();
    };
    if ((request.morning && tooShort(*request.morning)) || tooShort(request.evening)) {
        refusal.refusedWindow = request.morning && tooShort(*request.morning)
                                    ? SimulationWindow::Morning
                                    : SimulationWindow::Evening;
        return refuse(SimulationStatus::WindowTooShort);
    }
    return std::nullopt;
}

} // namespace

bool SuitsSimulation(int functionType)
{
    return functionType == project::FunctionType::Relay ||
           functionType == project::FunctionType::Dimmer ||
           functionType == project::FunctionType::MotorUpDown;
}

std::optional<SimulatedFunction> ProposedFunction(int type, int number)
{
    if (!SuitsSimulation(type))
        return std::nullopt;
    if (type == project::FunctionType::MotorUpDown)
        return SimulatedFunction{type, number, BlindDown, BlindUp};
    return SimulatedFunction{type, number, FullOn, Off};
}

TimeWindow TimeWindow::of(QTime first, QTime last)
{
    const auto minute = [](QTime time) {
        return time.isValid() ? time.hour() * 60 + time.minute() : -1;
    };
    return {minute(first), minute(last)};
}

quint32 NewSeed()
{
    return QRandomGenerator::system()->generate();
}

QDate SimulationMonday(QDate today)
{
    return today.addDays((Qt::Monday - today.dayOfWeek() + DaysInWeek) % DaysInWeek);
}

PresenceSimulation PlanPresenceSimulation(const clock::ClockTable &table,
                                          const SimulationRequest &request,
                                          const platform::Clock &clock)
{
    if (std::optional<PresenceSimulation> refusal = Refusal(request))
        return *refusal;

    PresenceSimulation plan;
    plan.seed = request.seed;
    plan.firstMonday = SimulationMonday(clock.now().date());
    QList<TimeWindow> windows;
    if (request.morning)
        windows.push_back(*request.morning);
    windows.push_back(request.evening);
    std::sort(windows.begin(), windows.end(),
              [](TimeWindow a, TimeWindow b) { return a.first < b.first; });

    // Drawn function by function, day by day, window by window: the same request and seed
    // give the same times.
    struct Switch {
        int day = 0;
        int minute = 0;
        clock::ClockLine line;
    };
    std::vector<Switch> switches;
    SeededDraw draw(request.seed);
    for (const SimulatedFunction &function : request.functions) {
        for (int day = 0; day < DaysInWeek; ++day) {
            const QDate date = plan.firstMonday.addDays(day);
            for (const TimeWindow &window : windows) {
                for (const OnPeriod &period : OnPeriods(window, request, draw)) {
                    switches.push_back(
                        {day, period.on, SimulationLine(date, period.on, function, function.on)});
                    switches.push_back({day, period.off,
                                        SimulationLine(date, period.off, function, function.off)});
                }
            }
        }
    }
    std::stable_sort(switches.begin(), switches.end(), [](const Switch &a, const Switch &b) {
        return std::pair(a.day, a.minute) < std::pair(b.day, b.minute);
    });
    for (const Switch &planned : switches)
        plan.lines.push_back(planned.line);

    TableRoom room = MeasureRoom(table, [&request](const clock::ClockLine &line) {
        return IsEarlierSimulation(line, request.functions);
    });
    plan.replaced = std::move(room.replaced);
    plan.budget = room.budget;
    plan.budget.needed = int(plan.lines.size());
    if (plan.budget.needed > plan.budget.free) {
        plan.status = SimulationStatus::DoesNotFit;
        plan.lines.clear();
        return plan;
    }
    clock::ClockTable planned = table;
    plan.added = ApplyPresenceSimulation(planned, plan).lines;
    plan.status = SimulationStatus::Planned;
    return plan;
}

clock::Placement ApplyPresenceSimulation(clock::ClockTable &table,
                                         const PresenceSimulation &plan)
{
    return ReplaceLines(table, plan.replaced, plan.lines);
}

} // namespace quintara::plan
