#include "plan/HolidayPlan.h"

#include "clock/ClockTable.h"
#include "clock/Firings.h"
#include "clock/LinePlacement.h"
#include "clock/YearWindow.h"
#include "platform/Clock.h"
#include "project/ProjectModel.h"

#include <algorithm>
#include <array>
#include <vector>

namespace quintara::plan {

namespace {

constexpr int NoSource = -1;
// Long enough for any yearly entry; a longer one is a mistake in the file, not a holiday.
constexpr int MaxYearlyEntryDays = 366;

struct Source {
    QString key;
    QString name;
};

// February's last days do not come back on the same date every year, and a yearly line from
// the 29th slides to the 28th for good: such days are planned as the dates they fall on.
bool RepeatsEveryYear(QDate date)
{
    return !(date.month() == 2 && date.day() >= 28);
}

using MonthDayTable = std::array<std::array<int, 32>, 13>;

MonthDayTable EmptyMonthDayTable()
{
    MonthDayTable table;
    for (auto &month : table)
        month.fill(NoSource);
    return table;
}

struct Regimes {
    int holiday = 0;
    int vacation = 0;
    int after = 0;
};

// A planned line and the day (offset from today) whose day off it serves.
struct PlannedLine {
    clock::ClockLine line;
    int causeDay = 0;
};

// Every day off from today on, by its offset from today, and what each day is for.
class DaysOff {
public:
    DaysOff(QDate today, int length, Regimes regimes)
        : m_today(today), m_regimes(regimes), m_vacation(std::size_t(length), NoSource),
          m_moving(std::size_t(length), NoSource), m_yearly(EmptyMonthDayTable()),
          m_yearlyFire(EmptyMonthDayTable())
    {
    }

    int length() const { return int(m_vacation.size()); }
    QDate date(int day) const { return m_today.addDays(day); }
    int offset(QDate date) const { return int(m_today.daysTo(date)); }
    bool hasMoving() const { return m_hasMoving; }

    int addSource(Source source)
    {
        m_sources.push_back(std::move(source));
        return int(m_sources.size()) - 1;
    }
    const Source &source(int index) const { return m_sources[std::size_t(index)]; }

    void addVacation(int day, int source) { set(m_vacation, day, source); }
    void addMoving(QDate date, int source)
    {
        if (set(m_moving, offset(date), source))
            m_hasMoving = true;
    }
    void addYearly(QDate date, int source)
    {
        int &slot = m_yearly[std::size_t(date.month())][std::size_t(date.day())];
        if (slot == NoSource)
            slot = source;
    }

    // The yearly lines: a switch at the first day of every run of yearly days and back at the
    // day after it, on the dates of a year without 29 February.
    QList<PlannedLine> yearlyLines()
    {
        QList<PlannedLine> lines;
        const QDate year(2001, 1, 1);
        for (int i = 0; i < year.daysInYear(); ++i) {
            const QDate day = year.addDays(i);
            const QDate before = i == 0 ? QDate(2001, 12, 31) : day.addDays(-1);
            const bool off = yearlyAt(day) != NoSource;
            const bool offBefore = yearlyAt(before) != NoSource;
            if (off == offBefore)
                continue;
            const int regime = off ? m_regimes.holiday : m_regimes.after;
            m_yearlyFire[std::size_t(day.month())][std::size_t(day.day())] = regime;
            QDate next(m_today.year(), day.month(), day.day());
            if (next <= m_today)
                next = next.addYears(1);
            lines.push_back({clock::DayStartRegimeLine(next, regime, true),
                             off ? offset(next) : offset(next) - 1});
        }
        return lines;
    }

    // The regime a day should have when moving days are planned up to `reach`, and why.
    int sourceOf(int day, int reach) const
    {
        if (m_vacation[std::size_t(day)] != NoSource)
            return m_vacation[std::size_t(day)];
        if (day <= reach && m_moving[std::size_t(day)] != NoSource)
            return m_moving[std::size_t(day)];
        return yearlyAt(date(day));
    }
    int regimeOf(int day, int reach) const
    {
        if (m_vacation[std::size_t(day)] != NoSource)
            return m_regimes.vacation;
        return sourceOf(day, reach) != NoSource ? m_regimes.holiday : m_regimes.after;
    }
    bool isVacation(int day) const { return m_vacation[std::size_t(day)] != NoSource; }
    bool isYearlyOnly(int day, int reach) const
    {
        return !isVacation(day) && (day > reach || m_moving[std::size_t(day)] == NoSource) &&
               yearlyAt(date(day)) != NoSource;
    }

    // The once lines that make every day from tomorrow through `end` switch to its regime,
    // given the yearly lines: at the start of a day, or a minute later where a yearly line of
    // that day switches otherwise.
    QList<PlannedLine> onceLines(int reach, int end) const
    {
        QList<PlannedLine> lines;
        int state = regimeOf(0, reach);
        for (int day = 1; day <= end; ++day) {
            const QDate date = this->date(day);
            const int fire = m_yearlyFire[std::size_t(date.month())][std::size_t(date.day())];
            if (fire != NoSource)
                state = fire;
            const int wanted = regimeOf(day, reach);
            if (state == wanted)
                continue;
            const bool offDay = sourceOf(day, reach) != NoSource;
            lines.push_back({clock::DayStartRegimeLine(date, wanted, false, fire != NoSource),
                             offDay ? day : day - 1});
            state = wanted;
        }
        return lines;
    }

    // Consecutive days off of one kind, from today through the day before `end`.
    QList<DayOffPeriod> periods(int reach, int end) const
    {
        QList<DayOffPeriod> periods;
        bool open = false;
        for (int day = 0; day < end; ++day) {
            const int source = sourceOf(day, reach);
            if (source == NoSource) {
                open = false;
                continue;
            }
            const bool yearly = isYearlyOnly(day, reach);
            if (!open || periods.last().vacation != isVacation(day)) {
                periods.push_back({date(day), date(day), {}, {}, yearly, isVacation(day)});
                open = true;
            }
            DayOffPeriod &period = periods.last();
            period.last = date(day);
            period.yearly = period.yearly && yearly;
            const Source &why = this->source(source);
            if (!period.keys.contains(why.key))
                period.keys.push_back(why.key);
            if (!period.names.contains(why.name))
                period.names.push_back(why.name);
        }
        return periods;
    }

private:
    bool set(std::vector<int> &days, int day, int source)
    {
        if (day < 0 || day >= length() || days[std::size_t(day)] != NoSource)
            return false;
        days[std::size_t(day)] = source;
        return true;
    }
    int yearlyAt(QDate date) const
    {
        return m_yearly[std::size_t(date.month())][std::size_t(date.day())];
    }

    QDate m_today;
    Regimes m_regimes;
    std::vector<int> m_vacation;
    std::vector<int> m_moving;
    MonthDayTable m_yearly;
    MonthDayTable m_yearlyFire;
    std::vector<Source> m_sources;
    bool m_hasMoving = false;
};

bool LeftOut(const QStringList &leaveOut, const QString &key, const QString &name)
{
    return leaveOut.contains(key, Qt::CaseInsensitive) ||
           leaveOut.contains(name, Qt::CaseInsensitive);
}

bool RegimeListed(const QSet<int> &listed, int regime)
{
    return regime >= 0 && regime < clock::Regime::Count &&
           listed.contains(clock::FunctionReference(project::FunctionType::Regime, regime));
}

// Why the request cannot be planned at all, or nothing.
std::optional<HolidayPlan> Refusal(const HolidayPlanRequest &request, clock::YearWindow years)
{
    HolidayPlan refusal;
    bool anyListed = false;
    for (int regime = 0; regime < clock::Regime::Count; ++regime)
        anyListed = anyListed || RegimeListed(request.listedFunctions, regime);
    if (!anyListed) {
        refusal.status = HolidayPlanStatus::NoClockFunctions;
        return refusal;
    }
    for (const int regime : {request.holidayRegime, request.vacationRegime, request.afterRegime}) {
        if (!RegimeListed(request.listedFunctions, regime)) {
            refusal.status = HolidayPlanStatus::RegimeNotListed;
            refusal.refused = regime;
            return refusal;
        }
    }
    for (int i = 0; i < request.vacations.size(); ++i) {
        const Vacation &vacation = request.vacations[i];
        if (!vacation.first.isValid() || vacation.last < vacation.first ||
            !years.holds(vacation.first) || !years.holds(vacation.last.addDays(1))) {
            refusal.status = HolidayPlanStatus::VacationRefused;
            refusal.refused = i;
            return refusal;
        }
    }
    return std::nullopt;
}

void AddHolidays(DaysOff &days, const HolidayPlanRequest &request, HolidayYears planYears,
                 clock::YearWindow years)
{
    if (!request.country)
        return;
    const HolidaysOutcome outcome = PublicHolidays(*request.country, planYears.first,
                                                   planYears.last, request.language, years);
    const auto *holidays = std::get_if<QList<Holiday>>(&outcome);
    if (!holidays)
        return;
    QHash<QString, int> sources;
    for (const Holiday &holiday : *holidays) {
        if (LeftOut(request.leaveOut, holiday.key, holiday.name))
            continue;
        // One source a holiday, however many years it comes back in; its substitute day is
        // named as one, and left out with it.
        const QString sourceKey = holiday.substitute ? holiday.key + u'+' : holiday.key;
        auto source = sources.find(sourceKey);
        if (source == sources.end())
            source = sources.insert(sourceKey, days.addSource({holiday.key, holiday.name}));
        if (holiday.sameDateEveryYear && RepeatsEveryYear(holiday.date))
            days.addYearly(holiday.date, *source);
        else
            days.addMoving(holiday.date, *source);
    }
}

void AddCalendarDays(DaysOff &days, const HolidayPlanRequest &request, HolidayYears planYears)
{
    for (const CalendarDays &entry : request.calendarDays) {
        if (!entry.first.isValid() || entry.last < entry.first ||
            LeftOut(request.leaveOut, entry.name, entry.name))
            continue;
        const int source = days.addSource({entry.name, entry.name});
        if (!entry.yearly) {
            const QDate last = std::min(entry.last, days.date(days.length() - 1));
            for (QDate date = std::max(entry.first, days.date(0)); date <= last;
                 date = date.addDays(1))
                days.addMoving(date, source);
            continue;
        }
        const int length = int(std::min<qint64>(entry.first.daysTo(entry.last) + 1,
                                                MaxYearlyEntryDays));
        for (int i = 0; i < length; ++i) {
            const QDate date = entry.first.addDays(i);
            if (RepeatsEveryYear(date)) {
                days.addYearly(date, source);
                continue;
            }
            for (int year = planYears.first; year <= planYears.last; ++year)
                days.addMoving(QDate(year, date.month(), date.day()), source);
        }
    }
}

void AddVacations(DaysOff &days, const QList<Vacation> &vacations)
{
    for (const Vacation &vacation : vacations) {
        const QString text = vacation.first.toString(Qt::ISODate) + QStringLiteral("..") +
                             vacation.last.toString(Qt::ISODate);
        const int source = days.addSource({text, text});
        for (int day = std::max(0, days.offset(vacation.first)); day <= days.offset(vacation.last);
             ++day)
            days.addVacation(day, source);
    }
}

// The periods the lines beyond the first `fitting` stand for.
QList<DayOffPeriod> PeriodsOf(const QList<PlannedLine> &lines, qsizetype fitting,
                              const QList<DayOffPeriod> &periods, const DaysOff &days)
{
    QList<DayOffPeriod> chosen;
    for (qsizetype i = fitting; i < lines.size(); ++i) {
        const QDate cause = days.date(lines[i].causeDay);
        for (const DayOffPeriod &period : periods) {
            if (period.first <= cause && cause <= period.last && !chosen.contains(period))
                chosen.push_back(period);
        }
    }
    std::sort(chosen.begin(), chosen.end(),
              [](const DayOffPeriod &a, const DayOffPeriod &b) { return a.first < b.first; });
    return chosen;
}

} // namespace

QList<Vacation> EarlierVacations(const clock::ClockTable &table,
                                 const HolidayPlanRequest &request, const QDateTime &now)
{
    if (request.vacationRegime == request.holidayRegime)
        return {};
    // The regime switches alone: a vacation ends where the next one switches another regime,
    // which may be a yearly holiday's line.
    clock::ClockTable switches;
    switches.MaxClockLines = table.MaxClockLines;
    QList<QDate> starts;
    const clock::YearWindow years = clock::YearWindow::around(now);
    for (int i = 0; i < table.usableLines(); ++i) {
        const clock::ClockLine &line = table.Lines[std::size_t(i)];
        if (!clock::IsDayStartRegimeLine(line))
            continue;
        switches.Lines[std::size_t(i)] = line;
        if (line.RepeatUnit == clock::Once && line.FunctionNumber == request.vacationRegime)
            starts.push_back(clock::ReferenceDate(line, years));
    }
    std::sort(starts.begin(), starts.end());
    QList<Vacation> vacations;
    for (const QDate &first : starts) {
        clock::TableFirings firings(switches, now, {}, clock::Moment::fromDate(first.addDays(1)),
                                    clock::Moment::fromDate(QDate(years.lastYear(), 12, 31)));
        while (const std::optional<clock::Firing> firing = firings.next()) {
            const int regime = switches.Lines[std::size_t(firing->line)].FunctionNumber;
            if (regime == request.vacationRegime)
                break; // switched again before it ended: not one the plan wrote
            const QDate last = firing->moment.date().addDays(-1);
            if (last >= now.date() && (vacations.isEmpty() || vacations.last().last < first))
                vacations.push_back({first, last});
            break;
        }
    }
    return vacations;
}

HolidayYears PlanYears(const QDateTime &now)
{
    return {now.date().year(), SupportedYears(clock::YearWindow::around(now)).last};
}

HolidayPlan PlanHolidays(const clock::ClockTable &table, const HolidayPlanRequest &request,
                         const platform::Clock &clock)
{
    const QDateTime now = clock.now();
    const QDate today = now.date();
    const clock::YearWindow years = clock::YearWindow::around(now);
    if (std::optional<HolidayPlan> refusal = Refusal(request, years))
        return *refusal;

    QList<Vacation> vacations = request.vacations;
    if (request.keepEarlierVacations) {
        for (const Vacation &earlier : EarlierVacations(table, request, now)) {
            if (!vacations.contains(earlier))
                vacations.push_back(earlier);
        }
    }

    HolidayPlan plan;
    const Regimes regimes{request.holidayRegime, request.vacationRegime, request.afterRegime};
    const HolidayYears planYears = PlanYears(now);
    // A year kept in hand, so that the line after the last day planned still has a date the
    // central unit's two-digit years hold.
    const int maxYears = std::max(0, planYears.last - today.year() - 1);
    int lastVacation = 0;
    for (const Vacation &vacation : vacations)
        lastVacation = std::max(lastVacation, int(today.daysTo(vacation.last)));
    const int horizon = std::max(int(today.daysTo(today.addYears(maxYears))), lastVacation);

    DaysOff days(today, horizon + 2, regimes);
    AddHolidays(days, request, planYears, years);
    AddCalendarDays(days, request, planYears);
    AddVacations(days, vacations);

    TableRoom room = MeasureRoom(table, [&regimes](const clock::ClockLine &line) {
        return clock::IsDayStartRegimeLine(line) &&
               (line.FunctionNumber == regimes.holiday ||
                line.FunctionNumber == regimes.vacation || line.FunctionNumber == regimes.after);
    });
    plan.replaced = std::move(room.replaced);
    plan.budget = room.budget;

    const QList<PlannedLine> yearly = days.yearlyLines();
    // Whole years ahead, as many as fit; without moving days, every year is planned at once.
    const auto schedule = [&](int yearsAhead) {
        const int reach = int(today.daysTo(today.addYears(yearsAhead)));
        const int end = std::max(reach, lastVacation) + 1;
        QList<PlannedLine> lines = yearly;
        lines += days.onceLines(reach, end);
        return std::pair{lines, days.periods(reach, end)};
    };
    const int firstYears = days.hasMoving() ? std::min(1, maxYears) : maxYears;
    auto [lines, periods] = schedule(firstYears);
    plan.yearsAhead = firstYears;
    if (lines.size() > plan.budget.free) {
        plan.status = HolidayPlanStatus::DoesNotFit;
        plan.budget.needed = int(lines.size());
        plan.periods = periods;
        plan.notFitting = PeriodsOf(lines, plan.budget.free, periods, days);
        return plan;
    }
    for (int yearsAhead = firstYears + 1; yearsAhead <= maxYears; ++yearsAhead) {
        auto [more, morePeriods] = schedule(yearsAhead);
        if (more.size() > plan.budget.free)
            break;
        lines = std::move(more);
        periods = std::move(morePeriods);
        plan.yearsAhead = yearsAhead;
    }
    if (days.hasMoving())
        plan.reachesUntil = today.addYears(plan.yearsAhead);
    plan.periods = periods;
    plan.budget.needed = int(lines.size());
    for (const PlannedLine &line : lines)
        plan.lines.push_back(line.line);

    clock::ClockTable planned = table;
    plan.added = ApplyHolidayPlan(planned, plan).lines;
    plan.status = HolidayPlanStatus::Planned;
    return plan;
}

clock::Placement ApplyHolidayPlan(clock::ClockTable &table, const HolidayPlan &plan)
{
    return ReplaceLines(table, plan.replaced, plan.lines);
}

} // namespace quintara::plan
