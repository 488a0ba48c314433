#include "plan/Sun.h"

#include <QStringList>

#include <cmath>
#include <numbers>

namespace quintara::plan {

namespace {

constexpr double MaxLatitude = 90;
constexpr double MaxLongitude = 180;

// The altitudes of the sun's centre: the rim on the horizon with standard refraction, and
// the end of civil twilight.
constexpr double SunriseAltitude = -0.833;
constexpr double CivilAltitude = -6.0;

constexpr double MsecsPerDay = 86400000.0;
constexpr double JulianDayOfEpoch = 2440587.5; // 1970-01-01T00:00Z
constexpr double JulianDay2000 = 2451545.0;    // 2000-01-01T12:00 TT
constexpr double DaysPerCentury = 36525.0;

double Radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

double Degrees(double radians)
{
    return radians * 180.0 / std::numbers::pi;
}

// An angle in degrees brought into [-180, 180).
double Centred(double degrees)
{
    return degrees - 360.0 * std::floor((degrees + 180.0) / 360.0);
}

double JulianDay(const QDateTime &moment)
{
    return double(moment.toMSecsSinceEpoch()) / MsecsPerDay + JulianDayOfEpoch;
}

QDateTime Moment(double julianDay, const QTimeZone &zone)
{
    const auto msecs = qint64(std::llround((julianDay - JulianDayOfEpoch) * MsecsPerDay));
    return QDateTime::fromMSecsSinceEpoch(msecs, zone);
}

// The sun's declination and the equation of time at a moment, by the low-precision solar
// equations (about 0.01° in declination, a few seconds in time, for 1901..2099).
struct SolarPosition {
    double declination = 0;    // degrees
    double equationOfTime = 0; // minutes: true solar time minus mean solar time
};

SolarPosition SolarPositionAt(double julianDay)
{
    const double t = (julianDay - JulianDay2000) / DaysPerCentury;
    const double meanLongitude = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360.0);
    const double meanAnomaly = Radians(357.52911 + t * (35999.05029 - 0.0001537 * t));
    const double eccentricity = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    const double centre = std::sin(meanAnomaly) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                          std::sin(2 * meanAnomaly) * (0.019993 - 0.000101 * t) +
                          std::sin(3 * meanAnomaly) * 0.000289;
    const double node = Radians(125.04 - 1934.136 * t);
    const double apparentLongitude =
        Radians(meanLongitude + centre - 0.00569 - 0.00478 * std::sin(node));
    const double meanObliquity =
        23.0 + (26.0 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60.0) / 60.0;
    const double obliquity = Radians(meanObliquity + 0.00256 * std::cos(node));

    const double y = std::pow(std::tan(obliquity / 2), 2);
    const double l0 = Radians(meanLongitude);
    const double e = eccentricity;
    const double m = meanAnomaly;
    const double equation = y * std::sin(2 * l0) - 2 * e * std::sin(m) +
                            4 * e * y * std::sin(m) * std::cos(2 * l0) -
                            0.5 * y * y * std::sin(4 * l0) - 1.25 * e * e * std::sin(2 * m);
    return {Degrees(std::asin(std::sin(obliquity) * std::sin(apparentLongitude))),
            4 * Degrees(equation)};
}

// The sun's hour angle at a moment (degrees, negative before solar noon).
double HourAngle(double julianDay, double longitude, const SolarPosition &sun)
{
    const double utcMinutes = (julianDay + 0.5 - std::floor(julianDay + 0.5)) * 1440.0;
    return Centred((utcMinutes + sun.equationOfTime) / 4.0 + longitude - 180.0);
}

// The hour angle at which the sun's centre stands at `altitude`, or where it stays instead.
std::variant<double, AllDay> CrossingHourAngle(double latitude, double altitude, double declination)
{
    const double phi = Radians(latitude);
    const double delta = Radians(declination);
    const double denominator = std::cos(phi) * std::cos(delta);
    const double numerator = std::sin(Radians(altitude)) - std::sin(phi) * std::sin(delta);
    // At a pole the sun circles at one altitude all day.
    if (std::abs(denominator) < 1e-12)
        return numerator > 0 ? AllDay::Below : AllDay::Above;
    const double cosine = numerator / denominator;
    if (cosine > 1)
        return AllDay::Below;
    if (cosine < -1)
        return AllDay::Above;
    return Degrees(std::acos(cosine));
}

// The moment of solar noon nearest to `near`.
double SolarNoon(double near, double longitude)
{
    double noon = near;
    for (int pass = 0; pass < 2; ++pass)
        noon -= HourAngle(noon, longitude, SolarPositionAt(noon)) / 360.0;
    return noon;
}

struct Crossing {
    std::optional<double> julianDay;
    AllDay stays = AllDay::Crosses;
};

// When the sun's centre passes `altitude` before (side -1) or after (side +1) the solar noon
// `noon`. The sun moves during the hours between, so its position is taken again at the
// crossing found until it settles.
Crossing CrossingNear(double noon, const Location &location, double altitude, int side)
{
    double moment = noon;
    constexpr int Passes = 4;
    for (int pass = 0; pass < Passes; ++pass) {
        const SolarPosition sun = SolarPositionAt(moment);
        const auto angle = CrossingHourAngle(location.latitude(), altitude, sun.declination);
        if (const auto *stays = std::get_if<AllDay>(&angle))
            return {std::nullopt, *stays};
        const double target = side * std::get<double>(angle);
        moment += Centred(target - HourAngle(moment, location.longitude(), sun)) / 360.0;
    }
    return {moment, AllDay::Crosses};
}

// A pair of crossings at one altitude; where neither exists, where the sun stays.
struct CrossingPair {
    std::optional<QDateTime> before;
    std::optional<QDateTime> after;
    AllDay stays = AllDay::Crosses;
};

CrossingPair CrossingsAt(double noon, const Location &location, double altitude,
                         const QTimeZone &zone)
{
    const Crossing before = CrossingNear(noon, location, altitude, -1);
    const Crossing after = CrossingNear(noon, location, altitude, +1);
    CrossingPair pair;
    if (before.julianDay)
        pair.before = Moment(*before.julianDay, zone);
    if (after.julianDay)
        pair.after = Moment(*after.julianDay, zone);
    if (!before.julianDay && !after.julianDay)
        pair.stays = before.stays;
    return pair;
}

std::optional<double> Number(QStringView text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

LocationOutcome Location::make(double latitude, double longitude)
{
    if (!std::isfinite(latitude) || !std::isfinite(longitude))
        return LocationRefusal{LocationRefused::NotNumbers,
                               QStringLiteral("latitude and longitude must be numbers")};
    if (std::abs(latitude) > MaxLatitude)
        return LocationRefusal{LocationRefused::Latitude,
                               QStringLiteral("latitude %1 lies beyond -90..90").arg(latitude)};
    if (std::abs(longitude) > MaxLongitude)
        return LocationRefusal{LocationRefused::Longitude,
                               QStringLiteral("longitude %1 lies beyond -180..180").arg(longitude)};
    return Location(latitude, longitude);
}

LocationOutcome Location::parse(QStringView text)
{
    const QList<QStringView> parts = text.split(u',');
    const std::optional<double> latitude = parts.size() == 2 ? Number(parts[0]) : std::nullopt;
    const std::optional<double> longitude = parts.size() == 2 ? Number(parts[1]) : std::nullopt;
    if (!latitude || !longitude)
        return LocationRefusal{
            LocationRefused::NotNumbers,
            QStringLiteral("'%1' is no location: latitude,longitude in decimal degrees, as "
                           "52.37,4.89")
                .arg(text)};
    return make(*latitude, *longitude);
}

QString Location::toString() const
{
    // Six decimals: about 0.1 m, finer than any house needs, and read back the same.
    const auto number = [](double value) {
        QString text = QString::number(value, 'f', 6);
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
        return text == QLatin1String("-0") ? QStringLiteral("0") : text;
    };
    return number(m_latitude) + u',' + number(m_longitude);
}

SunDay SunTimes(const Location &location, QDate date, const QTimeZone &zone)
{
    // The solar noon nearest the zone's midday: its morning and afternoon are the day's.
    const double midday = JulianDay(QDateTime(date, QTime(12, 0), zone));
    const double noon = SolarNoon(midday, location.longitude());

    const CrossingPair day = CrossingsAt(noon, location, SunriseAltitude, zone);
    const CrossingPair civil = CrossingsAt(noon, location, CivilAltitude, zone);
    return {date, civil.before, day.before, day.after, civil.after, day.stays, civil.stays};
}

QDateTime NearestMinute(const QDateTime &event)
{
    const QDateTime later = event.addSecs(30);
    return later.addSecs(-later.time().second()).addMSecs(-later.time().msec());
}

SunDaysOutcome SunDays(const Location &location, QDate from, QDate to, const QTimeZone &zone)
{
    if (to < from)
        return SunRangeRefusal{SunRangeRefused::Reversed,
                               QStringLiteral("the last day lies before the first")};
    if (from.year() < FirstSunYear || to.year() > LastSunYear)
        return SunRangeRefusal{SunRangeRefused::OutsideYears,
                               QStringLiteral("the sun is computed for the years %1 to %2")
                                   .arg(FirstSunYear)
                                   .arg(LastSunYear)};
    if (to >= from.addYears(MaxSunRangeYears))
        return SunRangeRefusal{
            SunRangeRefused::TooLong,
            QStringLiteral("at most %1 years of days at once").arg(MaxSunRangeYears)};
    QList<SunDay> days;
    days.reserve(from.daysTo(to) + 1);
    for (QDate date = from; date <= to; date = date.addDays(1))
        days.append(SunTimes(location, date, zone));
    return days;
}

} // namespace quintara::plan
