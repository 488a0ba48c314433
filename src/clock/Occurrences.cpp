#include "clock/Occurrences.h"

#include "clock/ClockTable.h"

#include <algorithm>
#include <numeric>

namespace quintara::clock {

namespace {

constexpr qint64 MinutesPerDay = 1440;

// Division rounding towards minus infinity, and towards plus infinity.
qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

qint64 ceilDiv(qint64 a, qint64 b)
{
    return -floorDiv(-a, b);
}

bool isLeap(qint64 year)
{
    return QDate::isLeapYear(static_cast<int>(year));
}

// Months counted from year 0: year * 12 + month - 1.
qint64 monthIndex(QDate date)
{
    return qint64(date.year()) * 12 + date.month() - 1;
}

qint64 yearOf(qint64 monthIdx)
{
    return floorDiv(monthIdx, 12);
}

int monthOf(qint64 monthIdx)
{
    return static_cast<int>(monthIdx - yearOf(monthIdx) * 12) + 1;
}

int lengthOfMonth(qint64 monthIdx)
{
    return QDate(static_cast<int>(yearOf(monthIdx)), monthOf(monthIdx), 1).daysInMonth();
}

// The day of month after `count` steps of `months` (either sign) from day `day` of month
// `start`: the smallest of the day and the lengths of every month passed on the way. Month
// lengths other than February repeat with the cycle of the step, Februaries with the 400-year
// calendar cycle, so the work is bounded whatever the count.
int dayAfterMonthSteps(qint64 start, int day, qint64 months, qint64 count)
{
    if (count <= 0 || day <= 28)
        return day;
    const qint64 cycle = 12 / std::gcd(months < 0 ? -months : months, qint64(12));
    qint64 firstFebruary = 0;
    for (qint64 j = 1; j <= std::min(count, cycle); ++j) {
        const qint64 m = start + j * months;
        if (monthOf(m) == 2) {
            firstFebruary = j;
            day = std::min(day, 29);
        } else {
            day = std::min(day, lengthOfMonth(m));
        }
    }
    if (day <= 28 || firstFebruary == 0)
        return day;
    const qint64 yearStep = cycle * months / 12;
    const qint64 firstYear = yearOf(start + firstFebruary * months);
    for (qint64 t = 0; t < 400 && firstFebruary + t * cycle <= count; ++t) {
        if (!isLeap(firstYear + t * yearStep))
            return 28;
    }
    return day;
}

} // namespace

Moment Moment::fromDate(QDate date, int hour, int minute)
{
    return Moment{date.toJulianDay(), hour * 60 + minute};
}

Moment Moment::fromDateTime(const QDateTime &dateTime)
{
    const QTime time = dateTime.time();
    return fromDate(dateTime.date(), time.hour(), time.minute());
}

LineStep RepeatStep(int repeatUnit, int repeatCount)
{
    if (repeatCount <= 0)
        return {};
    switch (repeatUnit) {
    case Minutes:
        return {LineStep::Minutes, repeatCount, true};
    case Hours:
        return {LineStep::Minutes, repeatCount * 60, false};
    case Days:
    case Workdays:
    case WeekendDays:
        return {LineStep::Days, repeatCount, false};
    case Weeks:
        return {LineStep::Days, repeatCount * 7, false};
    case Months:
        return {LineStep::Months, repeatCount, false};
    default: // Once, and units no editor makes
        return {};
    }
}

LineStep WalkStep(const ClockLine &line)
{
    if (line.Table == Workday || line.Table == Weekend)
        return {LineStep::Days, 1, false};
    return RepeatStep(line.RepeatUnit, line.RepeatCount);
}

Moment StepMoment(const Moment &from, const LineStep &step, qint64 count)
{
    switch (step.kind) {
    case LineStep::None:
        return from;
    case LineStep::Minutes: {
        const qint64 total = from.totalMinutes() + count * step.amount;
        const qint64 day = floorDiv(total, MinutesPerDay);
        return Moment{day, static_cast<int>(total - day * MinutesPerDay)};
    }
    case LineStep::Days:
        return Moment{from.julianDay + count * step.amount, from.minuteOfDay};
    case LineStep::Months: {
        const QDate date = from.date();
        const qint64 months = count < 0 ? -step.amount : step.amount;
        const qint64 steps = count < 0 ? -count : count;
        const qint64 start = monthIndex(date);
        const qint64 target = start + steps * months;
        const int day = dayAfterMonthSteps(start, date.day(), months, steps);
        const QDate result(static_cast<int>(yearOf(target)), monthOf(target), day);
        return Moment{result.toJulianDay(), from.minuteOfDay};
    }
    }
    return from;
}

Moment PushBack(const Moment &moment, const LineStep &step, const Moment &limit)
{
    if (step.kind == LineStep::None || moment <= limit)
        return moment;
    qint64 steps = 0;
    switch (step.kind) {
    case LineStep::Minutes:
        steps = ceilDiv(moment.totalMinutes() - limit.totalMinutes(), step.amount);
        break;
    case LineStep::Days:
        steps = ceilDiv(moment.totalMinutes() - limit.totalMinutes(),
                        qint64(step.amount) * MinutesPerDay);
        break;
    case LineStep::Months: {
        // The fewest steps that reach the limit's month, one more when still later in it.
        steps = std::max<qint64>(
            0, ceilDiv(monthIndex(moment.date()) - monthIndex(limit.date()), step.amount));
        if (StepMoment(moment, step, -steps) > limit)
            ++steps;
        break;
    }
    case LineStep::None:
        break;
    }
    return StepMoment(moment, step, -steps);
}

Moment PushForward(const Moment &moment, const LineStep &step, const Moment &limit)
{
    if (step.kind == LineStep::None || moment >= limit)
        return moment;
    qint64 steps = 0;
    switch (step.kind) {
    case LineStep::Minutes:
        steps = floorDiv(limit.totalMinutes() - moment.totalMinutes(), step.amount);
        break;
    case LineStep::Days:
        steps = floorDiv(limit.totalMinutes() - moment.totalMinutes(),
                         qint64(step.amount) * MinutesPerDay);
        break;
    case LineStep::Months:
        // Kept below the answer; the walk below takes the last steps.
        steps = floorDiv(monthIndex(limit.date()) - monthIndex(moment.date()), step.amount) - 1;
        break;
    case LineStep::None:
        break;
    }
    steps = std::max<qint64>(0, steps);
    Moment result = StepMoment(moment, step, steps);
    while (result < limit)
        result = StepMoment(moment, step, ++steps);
    return result;
}

bool DayFilterKeeps(const ClockLine &line, QDate date, const WorkdayFlagSet &workdays)
{
    const bool workday = workdays[static_cast<std::size_t>(WeekdayRow(date))] == 1;
    if (line.Table == Workday || line.RepeatUnit == Workdays)
        return workday;
    if (line.Table == Weekend || line.RepeatUnit == WeekendDays)
        return !workday;
    return true;
}

int WeekdayRow(QDate date)
{
    return date.dayOfWeek() - 1;
}

std::optional<Occurrence> ReferenceOccurrence(const ClockLine &line, QDate firstShownDay,
                                              YearWindow years)
{
    const QDate date = ReferenceDate(line, years);
    if (!date.isValid() || line.Hour > 23 || line.Minute > 59)
        return std::nullopt;
    const qint64 dayDiff = firstShownDay.daysTo(date);
    if (dayDiff < 0 || dayDiff > 6)
        return std::nullopt;
    return Occurrence{Moment::fromDate(date, line.Hour, line.Minute), WeekdayRow(date)};
}

OccurrenceWalk::OccurrenceWalk(const ClockLine &line, QDate firstShownDay,
                               const WorkdayFlagSet &workdays, WalkPurpose purpose,
                               YearWindow years)
    : m_line(line), m_workdays(workdays), m_step(WalkStep(line)),
      m_firstDay(firstShownDay.toJulianDay()), m_markers(purpose == WalkPurpose::Markers)
{
    const QDate reference = ReferenceDate(line, years);
    if (m_step.kind == LineStep::None || !reference.isValid() || !firstShownDay.isValid() ||
        line.Hour > 23 || line.Minute > 59) {
        m_done = true;
        return;
    }
    const Moment start = Moment::fromDate(reference, line.Hour, line.Minute);

    // The first step that lands in or after the week is number `first`; the steps before it
    // don't count towards any limit, so the walk may start right before it.
    qint64 first = 1;
    switch (m_step.kind) {
    case LineStep::Minutes:
        first = ceilDiv(m_firstDay * MinutesPerDay - start.totalMinutes(), m_step.amount);
        break;
    case LineStep::Days:
        first = ceilDiv(m_firstDay - start.julianDay, m_step.amount);
        break;
    case LineStep::Months: {
        const QDate firstDate = firstShownDay;
        first = std::max<qint64>(
            1, ceilDiv(monthIndex(firstDate) - monthIndex(reference), m_step.amount));
        if (StepMoment(start, m_step, first).julianDay < m_firstDay)
            ++first;
        break;
    }
    case LineStep::None:
        break;
    }
    m_current = StepMoment(start, m_step, std::max<qint64>(first, 1) - 1);
}

std::optional<Occurrence> OccurrenceWalk::next()
{
    while (!m_done && m_k <= MaxStepsInWeek) {
        if (m_markers && m_step.minuteUnit && m_k > MaxMinuteMarkers)
            break;
        m_current = StepMoment(m_current, m_step, 1);
        const qint64 dayDiff = m_current.julianDay - m_firstDay;
        if (dayDiff >= 7)
            break;
        if (dayDiff < 0)
            continue; // only when the skip above was not needed: before the week, uncounted
        ++m_k;
        const QDate date = m_current.date();
        if (DayFilterKeeps(m_line, date, m_workdays)) {
            return Occurrence{m_current, WeekdayRow(date)};
        }
    }
    m_done = true;
    return std::nullopt;
}

Moment CurrentMonday(QDate today)
{
    return Moment::fromDate(MondayOf(today));
}

void CheckDate(ClockLine &line, QDate today)
{
    const QDate currentMonday = MondayOf(today);
    if (line.Table == Workday || line.Table == Weekend) {
        SetReferenceDate(line, currentMonday.addDays(-1));
        return;
    }
    const QDate reference = ReferenceDate(line, YearWindow::around(today));
    if (!reference.isValid() || line.Hour > 23 || line.Minute > 59)
        return;
    const Moment moved =
        PushBack(Moment::fromDate(reference, line.Hour, line.Minute),
                 RepeatStep(line.RepeatUnit, line.RepeatCount), Moment::fromDate(currentMonday));
    SetReferenceDate(line, moved.date());
}

void CheckDates(ClockTable &table, QDate today)
{
    for (int i = 0; i < table.usableLines(); ++i) {
        ClockLine &line = table.Lines[static_cast<std::size_t>(i)];
        if (line.inUse())
            CheckDate(line, today);
    }
}

} // namespace quintara::clock
