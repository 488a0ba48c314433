#include "plan/SunRetime.h"

#include "clock/ClockTable.h"

#include <algorithm>

namespace quintara::plan {

namespace {

const std::optional<QDateTime> &EventOf(const SunDay &day, SunEvent event)
{
    switch (event) {
    case SunEvent::Sunrise:
        return day.sunrise;
    case SunEvent::Sunset:
        return day.sunset;
    case SunEvent::CivilDawn:
        return day.dawn;
    case SunEvent::CivilDusk:
        break;
    }
    return day.dusk;
}

} // namespace

QString SunEventName(SunEvent event)
{
    switch (event) {
    case SunEvent::Sunrise:
        return QStringLiteral("sunrise");
    case SunEvent::Sunset:
        return QStringLiteral("sunset");
    case SunEvent::CivilDawn:
        return QStringLiteral("civil dawn");
    case SunEvent::CivilDusk:
        break;
    }
    return QStringLiteral("civil dusk");
}

RetimeOutcome RetimeToSun(const clock::ClockTable &table, const QList<int> &lines,
                          const SunRetime &retime)
{
    if (!retime.location)
        return RetimeRefusal{RetimeRefused::NoLocation,
                             QStringLiteral("No location is set for this project: set one "
                                            "with Location… in the File menu first.")};
    std::vector<RetimedLine> retimed;
    for (const int index : lines) {
        const clock::ClockLine *line = table.line(index);
        if (line && index < table.usableLines() && line->inUse() &&
            std::none_of(retimed.begin(), retimed.end(),
                         [index](const RetimedLine &r) { return r.index == index; }))
            retimed.push_back({index, *line, *line});
    }
    if (retimed.empty())
        return RetimeRefusal{RetimeRefused::NoLines,
                             QStringLiteral("Choose the lines to retime first.")};

    const QString dateText = retime.date.toString(QStringLiteral("dd-MM-yyyy"));
    const SunDay day = SunTimes(*retime.location, retime.date, retime.zone);
    const std::optional<QDateTime> &event = EventOf(day, retime.event);
    if (!event)
        return RetimeRefusal{RetimeRefused::NoEvent,
                             QStringLiteral("There is no %1 at this location on %2.")
                                 .arg(SunEventName(retime.event), dateText)};
    const QDateTime at = NearestMinute(*event).addSecs(qint64(retime.offsetMinutes) * 60);
    if (at.date() != retime.date)
        return RetimeRefusal{
            RetimeRefused::OtherDay,
            QStringLiteral("The %1 of %2 with %3 minutes falls on %4, not on that day.")
                .arg(SunEventName(retime.event), dateText)
                .arg(retime.offsetMinutes)
                .arg(at.date().toString(QStringLiteral("dd-MM-yyyy")))};

    for (RetimedLine &line : retimed) {
        line.after.Hour = quint8(at.time().hour());
        line.after.Minute = quint8(at.time().minute());
    }
    return RetimePlan{QTime(at.time().hour(), at.time().minute()), std::move(retimed)};
}

} // namespace quintara::plan
