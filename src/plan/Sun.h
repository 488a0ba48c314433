#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>
#include <QTimeZone>

#include <optional>
#include <variant>

namespace quintara::plan {

class Location;

// Why a location was refused; `text` says it to the user.
enum class LocationRefused { NotNumbers, Latitude, Longitude };

struct LocationRefusal {
    LocationRefused reason = LocationRefused::NotNumbers;
    QString text;
};

using LocationOutcome = std::variant<Location, LocationRefusal>;

// A place on the earth in decimal degrees, north and east positive. Only valid places exist:
// latitude within ±90, longitude within ±180.
class Location {
public:
    Location() = default;

    static LocationOutcome make(double latitude, double longitude);
    // "52.37,4.89" (spaces around the numbers allowed), as toString() writes it.
    static LocationOutcome parse(QStringView text);

    double latitude() const { return m_latitude; }
    double longitude() const { return m_longitude; }
    QString toString() const;

    bool operator==(const Location &) const = default;

private:
    Location(double latitude, double longitude) : m_latitude(latitude), m_longitude(longitude) {}

    double m_latitude = 0;
    double m_longitude = 0;
};

// Where the sun's centre stays on a day it does not cross an altitude.
enum class AllDay { Crosses, Above, Below };

// The sun around one day's solar noon, as wall times of a time zone. A sunset after midnight
// (summer far north) belongs to the day whose afternoon it ends, so its date is the next one.
struct SunDay {
    QDate date;
    std::optional<QDateTime> dawn;    // civil: the centre 6° below the horizon
    std::optional<QDateTime> sunrise; // the upper rim on the horizon, refraction included
    std::optional<QDateTime> sunset;
    std::optional<QDateTime> dusk;
    AllDay daylight = AllDay::Crosses; // without sunrise and sunset: up or down all day
    AllDay twilight = AllDay::Crosses; // without dawn and dusk: lighter or darker all day
};

// The day's sun at `location`, in `zone`'s wall time on that date (its daylight-saving rules
// included).
SunDay SunTimes(const Location &location, QDate date, const QTimeZone &zone);

// An event to the nearest minute, as a table shows it (its date may move with it).
QDateTime NearestMinute(const QDateTime &event);

// The years the solar equations are kept for, and the longest range asked at once.
inline constexpr int FirstSunYear = 1901;
inline constexpr int LastSunYear = 2099;
inline constexpr int MaxSunRangeYears = 10;

enum class SunRangeRefused { Reversed, TooLong, OutsideYears };

struct SunRangeRefusal {
    SunRangeRefused reason = SunRangeRefused::Reversed;
    QString text;
};

using SunDaysOutcome = std::variant<QList<SunDay>, SunRangeRefusal>;

// Every day from `from` through `to`; refused when to < from, when the range is
// MaxSunRangeYears or longer, or when it leaves FirstSunYear..LastSunYear.
SunDaysOutcome SunDays(const Location &location, QDate from, QDate to, const QTimeZone &zone);

} // namespace quintara::plan
