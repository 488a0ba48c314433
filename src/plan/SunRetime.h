#pragma once

#include "clock/ClockLine.h"
#include "plan/Sun.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QTimeZone>

#include <optional>
#include <variant>
#include <vector>

namespace quintara::clock {
struct ClockTable;
}

namespace quintara::plan {

enum class SunEvent { Sunrise, Sunset, CivilDawn, CivilDusk };
inline constexpr SunEvent SunEvents[] = {SunEvent::Sunrise, SunEvent::Sunset,
                                         SunEvent::CivilDawn, SunEvent::CivilDusk};

// "sunrise", "sunset", "civil dawn", "civil dusk".
QString SunEventName(SunEvent event);

// Chosen lines to a sun event of one date, moved by an offset.
struct SunRetime {
    std::optional<Location> location;
    SunEvent event = SunEvent::Sunset;
    int offsetMinutes = 0; // later when positive
    QDate date;
    QTimeZone zone;
};

// Why lines were not retimed; `text` says it to the user.
enum class RetimeRefused { NoLocation, NoLines, NoEvent, OtherDay };

struct RetimeRefusal {
    RetimeRefused reason = RetimeRefused::NoLocation;
    QString text;
};

// A line as it is and as the retime makes it.
struct RetimedLine {
    int index = 0;
    clock::ClockLine before;
    clock::ClockLine after;
};

struct RetimePlan {
    QTime time; // the event with its offset, to the minute
    std::vector<RetimedLine> lines;
};

using RetimeOutcome = std::variant<RetimePlan, RetimeRefusal>;

// The lines (indexes of lines in use; others are passed over) with their hour and minute set
// to the event's time on the date plus the offset, everything else kept. Refused without a
// location, without a line in use among them, when the sun does not cross the horizon (or
// the twilight line) that day, or when the offset takes the time into another day.
RetimeOutcome RetimeToSun(const clock::ClockTable &table, const QList<int> &lines,
                          const SunRetime &retime);

} // namespace quintara::plan
