#pragma once

#include "clock/ClockLine.h"
#include "clock/YearWindow.h"

#include <QDate>
#include <QDateTime>

#include <array>
#include <optional>

namespace quintara::clock {

struct ClockTable;

// Seven flags, Monday first; a day is a workday when its flag is 1.
using WorkdayFlagSet = std::array<quint8, 7>;

// A wall-clock moment without time zone: calendar arithmetic on it never meets a summer-time
// jump, so "every hour" means every 60 minutes of the clock face.
struct Moment {
    qint64 julianDay = 0;
    int minuteOfDay = 0;

    static Moment fromDate(QDate date, int hour = 0, int minute = 0);
    static Moment fromDateTime(const QDateTime &dateTime);
    QDate date() const { return QDate::fromJulianDay(julianDay); }
    int hour() const { return minuteOfDay / 60; }
    int minute() const { return minuteOfDay % 60; }
    qint64 totalMinutes() const { return julianDay * 1440 + minuteOfDay; }

    friend auto operator<=>(const Moment &, const Moment &) = default;
};

// How far one occurrence lies from the next.
struct LineStep {
    enum Kind : quint8 { None, Minutes, Days, Months };
    Kind kind = None;
    int amount = 0; // minutes, days or months; above 0 unless kind is None
    // The unit is Minutes outside the Workday and Weekend tables: the week view shows only
    // the first 25 of such a series.
    bool minuteUnit = false;
};

// The step of a repeat unit and count alone. Once, a count of 0 and a unit above 7 (only a file
// or the central unit can hold those) have no step: such a line occurs once, at its reference.
LineStep RepeatStep(int repeatUnit, int repeatCount);
// The step the week view walks with: one day for the Workday and Weekend tables, whatever the
// repetition says; otherwise RepeatStep.
LineStep WalkStep(const ClockLine &line);

// The moment after `count` steps from `from`; a negative count steps back. A month step keeps
// the day of month, and a day missing from the target month becomes its last day and stays so.
Moment StepMoment(const Moment &from, const LineStep &step, qint64 count);

// The moment moved back by whole steps until it is no later than `limit`; unchanged when it
// already is, or when the step is None.
Moment PushBack(const Moment &moment, const LineStep &step, const Moment &limit);

// The moment moved forward by whole steps until it is no earlier than `limit`; unchanged when
// it already is, or when the step is None. Estimated by arithmetic and corrected by a few steps,
// so far-away limits cost nothing.
Moment PushForward(const Moment &moment, const LineStep &step, const Moment &limit);

// Whether the day filter of the line keeps an occurrence on `date`.
bool DayFilterKeeps(const ClockLine &line, QDate date, const WorkdayFlagSet &workdays);

// Weekday row of a date: Monday 0 .. Sunday 6.
int WeekdayRow(QDate date);

struct Occurrence {
    Moment moment;
    int row = 0; // Monday 0 .. Sunday 6
};

// The reference occurrence of the line when it lies in the week beginning at firstShownDay.
// It is neither day-filtered nor counted by the walk.
std::optional<Occurrence> ReferenceOccurrence(const ClockLine &line, QDate firstShownDay,
                                              YearWindow years);

enum class WalkPurpose {
    Markers, // at most 25 of a minute series
    HitTest, // no such limit
};

// The occurrences after the reference moment that fall into the displayed week (Monday
// firstShownDay and the six days after it). Steps before the week are skipped by arithmetic,
// so a far week costs no more than the current one; at most MaxStepsInWeek steps landing in the
// week are examined.
class OccurrenceWalk {
public:
    static constexpr int MaxStepsInWeek = 250;
    static constexpr int MaxMinuteMarkers = 25;

    OccurrenceWalk(const ClockLine &line, QDate firstShownDay, const WorkdayFlagSet &workdays,
                   WalkPurpose purpose, YearWindow years);

    // The next kept occurrence, or nothing when the walk has ended.
    std::optional<Occurrence> next();

private:
    ClockLine m_line;
    WorkdayFlagSet m_workdays;
    LineStep m_step;
    Moment m_current;
    qint64 m_firstDay = 0;
    int m_k = 1;
    bool m_markers = false;
    bool m_done = false;
};

// The current Monday at 00:00 as the week view counts weeks: the Monday of `today`'s week.
Moment CurrentMonday(QDate today);

// Keeps the reference date of a line in use near the present (`today`): Workday and Weekend lines
// get the Sunday before the current Monday; the others are moved back by whole steps until they
// are no later than the current Monday at 00:00. Only the date bytes change; a line whose bytes
// name no real moment is left as it is.
void CheckDate(ClockLine &line, QDate today);
// CheckDate for every line in use below MaxClockLines. Does not mark the table changed.
void CheckDates(ClockTable &table, QDate today);

} // namespace quintara::clock
