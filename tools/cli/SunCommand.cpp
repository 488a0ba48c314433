#include "tools/cli/Commands.h"
#include "tools/cli/JsonOutput.h"

#include <QLocale>

#include <cstdio>

namespace quintara::cli {

namespace {

// An event's wall time to the minute, "HH:MM"; with `days` the days it lies beyond the date
// (a sunset after midnight), which the readable table marks as "+1".
struct EventText {
    QString time;
    qint64 days = 0;
};

std::optional<EventText> Text(QDate date, const std::optional<QDateTime> &event)
{
    if (!event)
        return std::nullopt;
    const QDateTime minute = plan::NearestMinute(*event);
    return EventText{minute.toString(QStringLiteral("HH:mm")), date.daysTo(minute.date())};
}

// `"name":"HH:MM"`, null when there is none; an event on another date (a sunset after
// midnight) also gets `"nameDate":"YYYY-MM-DD"`, so a script never reads it as the morning's.
QString JsonEvent(const char *name, QDate date, const std::optional<QDateTime> &event)
{
    const std::optional<EventText> text = Text(date, event);
    QString json = QStringLiteral("\"%1\":%2")
                       .arg(QLatin1String(name), text ? JsonString(text->time) : QStringLiteral("null"));
    if (text && text->days != 0)
        json += QStringLiteral(",\"%1Date\":\"%2\"")
                    .arg(QLatin1String(name), date.addDays(text->days).toString(Qt::ISODate));
    return json;
}

QString TableEvent(QDate date, const std::optional<QDateTime> &event)
{
    const std::optional<EventText> text = Text(date, event);
    if (!text)
        return QStringLiteral("--:--");
    if (text->days == 0)
        return text->time;
    return text->time + (text->days > 0 ? u'+' : u'-') + QString::number(qAbs(text->days));
}

// Why a day lacks times, for the readable table.
QString AllDayNote(const plan::SunDay &day)
{
    if (day.daylight == plan::AllDay::Above)
        return QStringLiteral("sun up all day");
    if (day.daylight == plan::AllDay::Below)
        return day.twilight == plan::AllDay::Below
                   ? QStringLiteral("sun down all day")
                   : QStringLiteral("sun down all day, twilight around noon");
    if (day.twilight == plan::AllDay::Above)
        return QStringLiteral("twilight all night");
    return {};
}

} // namespace

int RunSun(const SunOptions &sun, const OutputOptions &output, QTextStream &out)
{
    const plan::SunDaysOutcome outcome = plan::SunDays(sun.location, sun.from, sun.to, sun.zone);
    if (const auto *refusal = std::get_if<plan::SunRangeRefusal>(&outcome)) {
        std::fprintf(stderr, "quintara-cli: %s\n", qUtf8Printable(refusal->text));
        return ExitUsage;
    }
    const QList<plan::SunDay> &days = std::get<QList<plan::SunDay>>(outcome);
    if (output.json) {
        // Written piece by piece: keys in the documented order, ten years of days at most.
        out << "{\"days\":[";
        for (qsizetype i = 0; i < days.size(); ++i) {
            const plan::SunDay &day = days[i];
            out << (i == 0 ? "" : ",") << "{\"date\":\"" << day.date.toString(Qt::ISODate)
                << "\"," << JsonEvent("sunrise", day.date, day.sunrise) << ','
                << JsonEvent("sunset", day.date, day.sunset) << ','
                << JsonEvent("dawn", day.date, day.dawn) << ','
                << JsonEvent("dusk", day.date, day.dusk) << '}';
        }
        out << "]}\n";
        return ExitOk;
    }
    const QLocale english(QLocale::English);
    out << "Sun at " << sun.location.toString() << ", wall time of " << sun.zone.id() << '\n'
        << "date        day  dawn    sunrise sunset  dusk\n";
    for (const plan::SunDay &day : days) {
        QString row = day.date.toString(Qt::ISODate) + QStringLiteral("  ") +
                      english.dayName(day.date.dayOfWeek(), QLocale::ShortFormat) +
                      QStringLiteral("  ");
        for (const auto &event : {day.dawn, day.sunrise, day.sunset, day.dusk})
            row += TableEvent(day.date, event).leftJustified(8);
        const QString note = AllDayNote(day);
        out << (note.isEmpty() ? row.trimmed() : row + note) << '\n';
    }
    return ExitOk;
}

} // namespace quintara::cli
