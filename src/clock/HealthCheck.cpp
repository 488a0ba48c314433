#include "clock/HealthCheck.h"

#include "clock/ClockTable.h"
#include "clock/Firings.h"
#include "clock/RegimeLines.h"

#include <algorithm>
#include <tuple>

namespace quintara::clock {

namespace {

constexpr qint64 MinutesPerDay = 1440;

qint64 floorMod(qint64 a, qint64 m)
{
    const qint64 r = a % m;
    return r < 0 ? r + m : r;
}

// g = gcd(a, b) with x·a + y·b = g.
std::tuple<qint64, qint64, qint64> extendedGcd(qint64 a, qint64 b)
{
    if (b == 0)
        return {a, 1, 0};
    const auto [g, x, y] = extendedGcd(b, a % b);
    return {g, y, x - (a / b) * y};
}

struct Progression {
    qint64 residue = 0; // in minutes
    qint64 period = 0;
};

// The minutes in both progressions, as one progression; nothing when they never meet. Periods
// are at most 255 weeks of minutes, so every product below stays far inside 64 bits.
std::optional<Progression> intersect(const Progression &a, const Progression &b)
{
    const auto [g, x, y] = extendedGcd(a.period, b.period);
    const qint64 difference = b.residue - a.residue;
    if (difference % g != 0)
        return std::nullopt;
    const qint64 bOverG = b.period / g;
    const qint64 t = floorMod(floorMod(difference / g, bOverG) * floorMod(x, bOverG), bOverG);
    const qint64 period = a.period / g * b.period;
    return Progression{floorMod(a.residue + a.period * t, period), period};
}

// The repetitions of a line after its reference, as minutes, when they are evenly spaced.
std::optional<Progression> repetitions(const LineFirings &line)
{
    const LineStep &step = line.step();
    const qint64 base = line.reference()->totalMinutes();
    switch (step.kind) {
    case LineStep::Minutes:
        return Progression{base, step.amount};
    case LineStep::Days:
        return Progression{base, qint64(step.amount) * MinutesPerDay};
    case LineStep::Months:
    case LineStep::None:
        break;
    }
    return std::nullopt;
}

Moment minuteMoment(qint64 totalMinutes)
{
    const qint64 day = totalMinutes / MinutesPerDay;
    return Moment{day, static_cast<int>(totalMinutes - day * MinutesPerDay)};
}

// The moment as the central unit counts it: with seconds past it, the current minute has gone.
Moment firstMinuteFrom(const QDateTime &now)
{
    const Moment minute = Moment::fromDateTime(now);
    const bool seconds = now.time().second() != 0 || now.time().msec() != 0;
    return seconds ? StepMoment(minute, LineStep{LineStep::Minutes, 1}, 1) : minute;
}

bool sameTableOrContinuous(const ClockLine &a, const ClockLine &b)
{
    return a.Table == b.Table || a.Table == Continue || b.Table == Continue;
}

bool driveAgainstEachOther(const ClockLine &a, const ClockLine &b)
{
    return a.FunctionType == b.FunctionType && a.FunctionNumber == b.FunctionNumber &&
           a.Level != b.Level && sameTableOrContinuous(a, b);
}

void checkBytes(const ClockLine &line, int index, YearWindow years,
                std::vector<HealthProblem> &problems)
{
    const auto add = [&](HealthKind kind) { problems.push_back({index, kind}); };
    if (line.Hour > 23 || line.Minute > 59)
        add(HealthKind::InvalidTime);
    if (!ReferenceDate(line, years).isValid())
        add(HealthKind::InvalidDate);
    if (line.Table >= TableKindCount)
        add(HealthKind::InvalidTable);
    if (line.RepeatUnit >= RepeatUnitCount || (line.RepeatCount == 0 && line.RepeatUnit != Once))
        add(HealthKind::InvalidRepeat);
}

// The last planned holiday that moves from year to year, when it is near or past: its once line
// at the start of the day switching a regime other than the one after a holiday or a vacation's.
std::optional<HealthProblem> holidaysRunningOut(const ClockTable &table, const QDateTime &now,
                                                YearWindow years)
{
    std::optional<HealthProblem> last;
    for (int i = 0; i < table.usableLines(); ++i) {
        const ClockLine &line = table.Lines[static_cast<std::size_t>(i)];
        if (!IsDayStartRegimeLine(line) || line.RepeatUnit != Once ||
            line.FunctionNumber == Regime::Automatic ||
            line.FunctionNumber == Regime::PresenceSimulation)
            continue;
        const QDate day = ReferenceDate(line, years);
        if (day.isValid() && (!last || day >= last->at.date()))
            last = HealthProblem{i, HealthKind::HolidaysRunOut, -1, Moment::fromDate(day)};
    }
    if (!last || now.date().daysTo(last->at.date()) > ReplanHolidaysDays)
        return std::nullopt;
    return last;
}

} // namespace

QLatin1StringView HealthKindName(HealthKind kind)
{
    switch (kind) {
    case HealthKind::BeyondModel:
        return QLatin1StringView("beyondModel");
    case HealthKind::InvalidTime:
        return QLatin1StringView("invalidTime");
    case HealthKind::InvalidDate:
        return QLatin1StringView("invalidDate");
    case HealthKind::InvalidTable:
        return QLatin1StringView("invalidTable");
    case HealthKind::InvalidRepeat:
        return QLatin1StringView("invalidRepeat");
    case HealthKind::Past:
        return QLatin1StringView("past");
    case HealthKind::UnknownFunction:
        return QLatin1StringView("unknownFunction");
    case HealthKind::Conflict:
        return QLatin1StringView("conflict");
    case HealthKind::HolidaysRunOut:
        return QLatin1StringView("holidaysRunOut");
    }
    return {};
}

std::optional<Moment> FirstCommonFiring(const LineFirings &a, const LineFirings &b,
                                        const Moment &from, const Moment &to)
{
    if (!a.reference() || !b.reference())
        return std::nullopt;
    std::optional<Moment> first;
    const auto consider = [&](const Moment &moment) {
        if (moment >= from && moment <= to && (!first || moment < *first))
            first = moment;
    };
    // The reference moments are not filtered: try each against the other line.
    if (b.firesAt(*a.reference()))
        consider(*a.reference());
    if (a.firesAt(*b.reference()))
        consider(*b.reference());
    if (a.step().kind == LineStep::None || b.step().kind == LineStep::None)
        return first;

    const std::optional<Progression> pa = repetitions(a);
    const std::optional<Progression> pb = repetitions(b);
    if (!pa || !pb) {
        // A month series fires about once a month: try its few firings against the other line.
        const LineFirings &sparse = pa ? b : a;
        const LineFirings &other = pa ? a : b;
        FiringWalk walk(sparse, from, first.value_or(to));
        while (const std::optional<Moment> moment = walk.next()) {
            if (other.firesAt(*moment)) {
                consider(*moment);
                break;
            }
        }
        return first;
    }

    const std::optional<Progression> both = intersect(*pa, *pb);
    if (!both)
        return first;
    // Repetitions come after their reference moments.
    const qint64 low = std::max({from.totalMinutes(), a.reference()->totalMinutes() + 1,
                                 b.reference()->totalMinutes() + 1});
    qint64 minute = low + floorMod(both->residue - low, both->period);
    // Filtered lines step by whole days, so the weekday of a common minute comes round again
    // within seven periods.
    const int tries = a.filtered() || b.filtered() ? 7 : 1;
    for (int i = 0; i < tries && minute <= to.totalMinutes(); ++i, minute += both->period) {
        const Moment moment = minuteMoment(minute);
        if (a.keeps(moment.date()) && b.keeps(moment.date())) {
            consider(moment);
            break;
        }
    }
    return first;
}

std::vector<HealthProblem> CheckHealth(const ClockTable &table, const QDateTime &now,
                                       const WorkdayFlagSet &workdays,
                                       const std::optional<QSet<int>> &listedFunctions)
{
    std::vector<HealthProblem> problems;
    const Moment from = firstMinuteFrom(now);
    const Moment to = StepMoment(from, LineStep{LineStep::Days, 1}, ConflictHorizonDays);
    const int usable = table.usableLines();
    const YearWindow years = YearWindow::around(now);

    std::vector<std::optional<LineFirings>> firings(ClockLineCount);
    for (int i = 0; i < ClockLineCount; ++i) {
        const ClockLine &line = table.Lines[static_cast<std::size_t>(i)];
        if (!line.inUse())
            continue;
        if (i >= usable)
            problems.push_back({i, HealthKind::BeyondModel});
        checkBytes(line, i, years, problems);
        if (i >= usable)
            continue;
        const QDateTime reference = ReferenceDateTime(line, years);
        if (line.RepeatUnit == Once && line.Table != Workday && line.Table != Weekend &&
            reference.isValid() && Moment::fromDateTime(reference) < from)
            problems.push_back({i, HealthKind::Past});
        if (listedFunctions &&
            !listedFunctions->contains(FunctionReference(line.FunctionType, line.FunctionNumber)))
            problems.push_back({i, HealthKind::UnknownFunction});
        firings[static_cast<std::size_t>(i)].emplace(line, now, workdays);
    }

    for (int i = 0; i < usable; ++i) {
        const auto &a = firings[static_cast<std::size_t>(i)];
        if (!a)
            continue;
        for (int j = i + 1; j < usable; ++j) {
            const auto &b = firings[static_cast<std::size_t>(j)];
            if (!b || !driveAgainstEachOther(a->line(), b->line()))
                continue;
            if (const std::optional<Moment> at = FirstCommonFiring(*a, *b, from, to))
                problems.push_back({i, HealthKind::Conflict, j, *at});
        }
    }

    if (const std::optional<HealthProblem> runOut = holidaysRunningOut(table, now, years))
        problems.push_back(*runOut);

    std::stable_sort(
        problems.begin(), problems.end(), [](const HealthProblem &x, const HealthProblem &y) {
            return std::tie(x.line, x.kind, x.other) < std::tie(y.line, y.kind, y.other);
        });
    return problems;
}

} // namespace quintara::clock
