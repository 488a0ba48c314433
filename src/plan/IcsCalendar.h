#pragma once

#include "platform/Outcome.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace quintara::plan {

// Days an iCalendar file names: a regional or school holiday, a company closure.
struct CalendarDays {
    QDate first;
    QDate last; // inclusive: the same as first for one day
    QString name;
    // The same dates every year, for ever (an all-day event with a plain yearly rule).
    bool yearly = false;

    bool operator==(const CalendarDays &) const = default;
};

enum class IcsStatus { Read, CannotRead, NotACalendar };

struct IcsCalendar : platform::Outcome<IcsStatus> {
    // In date order. Yearly rules other than the plain one come as their occurrences within
    // the years asked for.
    QList<CalendarDays> days;
    // What the file holds that is not planned, one entry each, with why.
    QStringList skipped;

    bool read() const { return status == IcsStatus::Read; }
};

// Larger files are no calendar of holidays.
inline constexpr qint64 MaxIcsFileSize = 4 * 1024 * 1024;

// Reads the all-day events of an iCalendar file, once or repeating yearly, for the years
// fromYear..toYear. Anything else (events at a time of day, other repetitions, exceptions, to-dos)
// is listed as skipped, never guessed at.
IcsCalendar ReadIcs(const QByteArray &bytes, int fromYear, int toYear);
IcsCalendar ReadIcsFile(const QString &path, int fromYear, int toYear);

} // namespace quintara::plan
