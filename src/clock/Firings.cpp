#include "clock/Firings.h"

#include "clock/ClockTable.h"

#include <algorithm>

namespace quintara::clock {

namespace {

// A day step visits the weekdays with a period of at most seven steps: seven refusals in a row
// mean the filter never keeps one.
constexpr int WeekOfTries = 7;

const LineStep OneMinute{LineStep::Minutes, 1};

} // namespace

LineFirings::LineFirings(const ClockLine &line, const QDateTime &now,
                         const WorkdayFlagSet &workdays)
    : m_line(line), m_workdays(workdays), m_step(WalkStep(line))
{
    CheckDate(m_line, now.date());
    const QDate reference = ReferenceDate(m_line, YearWindow::around(now));
    if (!reference.isValid() || m_line.Hour > 23 || m_line.Minute > 59)
        return;
    m_reference = Moment::fromDate(reference, m_line.Hour, m_line.Minute);
    // Only the Workday and Weekend tables and the workday units filter, and all of them step by
    // days; a day filter on a minute or month series cannot occur.
    m_filtered = m_step.kind == LineStep::Days &&
                 (m_line.Table == Workday || m_line.Table == Weekend ||
                  m_line.RepeatUnit == Workdays || m_line.RepeatUnit == WeekendDays);
}

bool LineFirings::keeps(QDate date) const
{
    return !m_filtered || DayFilterKeeps(m_line, date, m_workdays);
}

bool LineFirings::firesAt(const Moment &moment) const
{
    if (!m_reference)
        return false;
    const Moment &reference = *m_reference;
    if (moment == reference)
        return true;
    if (m_step.kind == LineStep::None || moment < reference || !keeps(moment.date()))
        return false;
    switch (m_step.kind) {
    case LineStep::Minutes:
        return (moment.totalMinutes() - reference.totalMinutes()) % m_step.amount == 0;
    case LineStep::Days:
        return moment.minuteOfDay == reference.minuteOfDay &&
               (moment.julianDay - reference.julianDay) % m_step.amount == 0;
    case LineStep::Months:
        return PushForward(reference, m_step, moment) == moment;
    case LineStep::None:
        break;
    }
    return false;
}

std::optional<Moment> LineFirings::firstFrom(const Moment &from) const
{
    if (!m_reference)
        return std::nullopt;
    if (*m_reference >= from)
        return m_reference;
    if (m_step.kind == LineStep::None)
        return std::nullopt;
    Moment candidate = PushForward(*m_reference, m_step, from);
    for (int tries = 0; tries < WeekOfTries; ++tries) {
        if (keeps(candidate.date()))
            return candidate;
        candidate = StepMoment(candidate, m_step, 1);
    }
    return std::nullopt;
}

std::optional<Moment> LineFirings::after(const Moment &moment) const
{
    return firstFrom(StepMoment(moment, OneMinute, 1));
}

FiringWalk::FiringWalk(const LineFirings &firings, const Moment &from, const Moment &to)
    : m_firings(&firings), m_next(firings.firstFrom(from)), m_to(to)
{
    if (m_next && *m_next > m_to)
        m_next.reset();
}

std::optional<Moment> FiringWalk::next()
{
    const std::optional<Moment> result = m_next;
    if (result) {
        m_next = m_firings->after(*result);
        if (m_next && *m_next > m_to)
            m_next.reset();
    }
    return result;
}

bool FiringFilter::keeps(const ClockLine &line) const
{
    if (table && line.Table != *table)
        return false;
    return !function ||
           (line.FunctionType == function->first && line.FunctionNumber == function->second);
}

namespace {

// Orders a min-heap: the earliest moment on top, the lower line first within a minute.
bool Later(const Firing &a, const Firing &b)
{
    return a.moment != b.moment ? a.moment > b.moment : a.line > b.line;
}

constexpr auto later = [](const auto &a, const auto &b) { return Later(a.firing, b.firing); };

} // namespace

TableFirings::TableFirings(const ClockTable &table, const QDateTime &now,
                           const WorkdayFlagSet &workdays, const Moment &from, const Moment &to,
                           const FiringFilter &filter, int maxCount)
    : m_remaining(std::max(0, maxCount))
{
    std::vector<int> indexes;
    for (int i = 0; i < table.usableLines(); ++i) {
        const ClockLine &line = table.Lines[static_cast<std::size_t>(i)];
        if (line.inUse() && filter.keeps(line))
            indexes.push_back(i);
    }
    m_lines.reserve(indexes.size());
    m_walks.reserve(indexes.size());
    for (const int i : indexes) {
        m_lines.emplace_back(table.Lines[static_cast<std::size_t>(i)], now, workdays);
        m_walks.emplace_back(m_lines.back(), from, to);
        if (const std::optional<Moment> first = m_walks.back().next())
            m_heap.push_back({{*first, i}, m_walks.size() - 1});
    }
    std::make_heap(m_heap.begin(), m_heap.end(), later);
}

std::optional<Firing> TableFirings::next()
{
    if (m_heap.empty())
        return std::nullopt;
    if (m_remaining == 0) {
        m_truncated = true;
        return std::nullopt;
    }
    --m_remaining;
    std::pop_heap(m_heap.begin(), m_heap.end(), later);
    Pending &top = m_heap.back();
    const Firing result = top.firing;
    if (const std::optional<Moment> following = m_walks[top.walk].next()) {
        top.firing.moment = *following;
        std::push_heap(m_heap.begin(), m_heap.end(), later);
    } else {
        m_heap.pop_back();
    }
    return result;
}

std::optional<QDateTime> NextFiring(const ClockLine &line, const QDateTime &now,
                                    const WorkdayFlagSet &workdays)
{
    const auto next = LineFirings(line, now, workdays).firstFrom(Moment::fromDateTime(now));
    if (!next)
        return std::nullopt;
    return QDateTime(next->date(), QTime(next->hour(), next->minute()));
}

} // namespace quintara::clock
