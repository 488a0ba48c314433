#include "plan/Sun.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quintara::plan {
namespace {

Location At(double latitude, double longitude)
{
    const LocationOutcome outcome = Location::make(latitude, longitude);
    if (const auto *refusal = std::get_if<LocationRefusal>(&outcome)) {
        ADD_FAILURE() << refusal->text.toStdString();
        return {};
    }
    return std::get<Location>(outcome);
}

QTimeZone Zone(const char *id)
{
    const QTimeZone zone(id);
    EXPECT_TRUE(zone.isValid()) << id;
    return zone;
}

// An event as the tables print it: the wall time rounded to the minute.
QString Minute(const std::optional<QDateTime> &event)
{
    return event ? NearestMinute(*event).toString(QStringLiteral("HH:mm")) : QStringLiteral("none");
}

int Minutes(const QString &hhmm)
{
    const QTime time = QTime::fromString(hhmm, QStringLiteral("HH:mm"));
    return time.hour() * 60 + time.minute();
}

void ExpectWithinAMinute(const std::optional<QDateTime> &event, const char *published,
                         const std::string &what)
{
    if (!published)
        return;
    ASSERT_TRUE(event) << what << ": none, published " << published;
    const int difference =
        std::abs(Minutes(Minute(event)) - Minutes(QString::fromLatin1(published)));
    EXPECT_LE(difference, 1) << what << ": " << Minute(event).toStdString() << ", published "
                             << published;
}

// Published almanac values, local wall time of the zone given, to the minute.
TEST(SunTest, AgreesWithPublishedTablesWithinAMinute)
{
    struct Case {
        const char *source;
        double latitude;
        double longitude;
        const char *zone;
        QDate date;
        const char *dawn;
        const char *sunrise;
        const char *sunset;
        const char *dusk;
    };
    // clang-format off
    const Case cases[] = {
        // Dutch AIP GEN 2.7 (2019), 52°00'N 5°00'E, UTC: its daylight periods start 15 minutes
        // before sunrise and end 15 minutes after sunset.
        {"AIP NL", 52.0, 5.0, "UTC", {2019, 1, 1}, nullptr, "07:48", "15:39", nullptr},
        {"AIP NL", 52.0, 5.0, "UTC", {2019, 2, 21}, nullptr, "06:44", "17:04", nullptr},
        {"AIP NL", 52.0, 5.0, "UTC", {2019, 3, 21}, nullptr, "05:41", "17:54", nullptr},
        {"AIP NL", 52.0, 5.0, "UTC", {2019, 5, 1}, nullptr, "04:11", "19:04", nullptr},
        {"AIP NL", 52.0, 5.0, "UTC", {2019, 6, 21}, nullptr, "03:20", "20:04", nullptr},
        // USNO, Atlanta (33.8°N 84.4°W), Eastern Daylight Time.
        {"USNO", 33.8, -84.4, "America/New_York", {2009, 9, 6}, "06:50", "07:15", "19:56", "20:21"},
        // USNO, Tromsø (69.5°N 19.0°E), UT+1h: beyond 60° yet still within the minute.
        {"USNO", 69.5, 19.0, "UTC+01:00", {2014, 4, 1}, "03:46", "04:50", "18:49", "19:53"},
        // Sydney Observatory: Sydney (33.86°S 151.21°E) and Wentworth (34.11°S 141.92°E) on the
        // last day of summer time 2014, the latest sunrises of the year.
        {"Sydney Obs.", -33.86, 151.21, "Australia/Sydney", {2014, 4, 5}, nullptr, "07:10", nullptr, nullptr},
        {"Sydney Obs.", -34.11, 141.92, "Australia/Sydney", {2014, 4, 5}, nullptr, "07:47", nullptr, nullptr},
    };
    // clang-format on
    for (const Case &c : cases) {
        const SunDay day = SunTimes(At(c.latitude, c.longitude), c.date, Zone(c.zone));
        const std::string where =
            std::string(c.source) + " " + c.zone + " " + c.date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(day.date, c.date);
        ExpectWithinAMinute(day.dawn, c.dawn, where + " dawn");
        ExpectWithinAMinute(day.sunrise, c.sunrise, where + " sunrise");
        ExpectWithinAMinute(day.sunset, c.sunset, where + " sunset");
        ExpectWithinAMinute(day.dusk, c.dusk, where + " dusk");
        for (const auto &event : {day.dawn, day.sunrise, day.sunset, day.dusk}) {
            if (event) {
                EXPECT_EQ(event->timeZone(), Zone(c.zone)) << where;
            }
        }
    }
}

// The zone's clock changes; the sun does not: on the change day the wall times jump by the
// zone's hour, in both hemispheres.
TEST(SunTest, ADaylightSavingChangeDayTakesTheZonesNewOffset)
{
    struct Case {
        double latitude;
        double longitude;
        const char *zone;
        QDate before;
        QDate change;
        int shiftMinutes; // how the wall clock moved in the night
    };
    const Case cases[] = {
        {-33.86, 151.21, "Australia/Sydney", {2014, 4, 5}, {2014, 4, 6}, -60},
        {52.37, 4.89, "Europe/Amsterdam", {2019, 3, 30}, {2019, 3, 31}, +60},
        {52.37, 4.89, "Europe/Amsterdam", {2019, 10, 26}, {2019, 10, 27}, -60},
    };
    for (const Case &c : cases) {
        const Location place = At(c.latitude, c.longitude);
        const SunDay before = SunTimes(place, c.before, Zone(c.zone));
        const SunDay change = SunTimes(place, c.change, Zone(c.zone));
        ASSERT_TRUE(before.sunrise && change.sunrise && before.sunset && change.sunset);
        // From one day to the next the sun itself moves by a few minutes at most.
        const int riseMoved = Minutes(Minute(change.sunrise)) - Minutes(Minute(before.sunrise));
        const int setMoved = Minutes(Minute(change.sunset)) - Minutes(Minute(before.sunset));
        EXPECT_NEAR(riseMoved, c.shiftMinutes, 3)
            << c.zone << " " << c.change.toString().toStdString();
        EXPECT_NEAR(setMoved, c.shiftMinutes, 3)
            << c.zone << " " << c.change.toString().toStdString();
        EXPECT_EQ(change.sunrise->offsetFromUtc(),
                  Zone(c.zone).offsetFromUtc(QDateTime(c.change, QTime(12, 0), Zone(c.zone))));
    }
    // Sydney's first sunrise of standard time, an hour before the published 07:10 of the day
    // before and a minute later in the season.
    const SunDay sydney = SunTimes(At(-33.86, 151.21), {2014, 4, 6}, Zone("Australia/Sydney"));
    EXPECT_NEAR(Minutes(Minute(sydney.sunrise)), Minutes(QStringLiteral("06:11")), 1);
}

TEST(SunTest, PolarDaysSayWhereTheSunStaysInsteadOfATime)
{
    struct Case {
        double latitude;
        QDate date;
        AllDay daylight;
        AllDay twilight;
    };
    const Case cases[] = {
        {78.0, {2026, 6, 21}, AllDay::Above, AllDay::Above},  // midnight sun
        {78.0, {2026, 12, 21}, AllDay::Below, AllDay::Below}, // polar night, not even twilight
        {-78.0, {2026, 6, 21}, AllDay::Below, AllDay::Below}, // the same, south
        {90.0, {2026, 3, 30}, AllDay::Above, AllDay::Above},  // the pole after the equinox
        {-90.0, {2026, 6, 21}, AllDay::Below, AllDay::Below},
        {68.0, {2026, 12, 21}, AllDay::Below, AllDay::Crosses}, // dark noon, twilight still
    };
    for (const Case &c : cases) {
        const SunDay day = SunTimes(At(c.latitude, 15.6), c.date, Zone("UTC+01:00"));
        const std::string what =
            std::to_string(c.latitude) + " " + c.date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(day.daylight, c.daylight) << what;
        EXPECT_EQ(day.twilight, c.twilight) << what;
        EXPECT_FALSE(day.sunrise || day.sunset) << what;
        EXPECT_EQ(day.dawn.has_value(), c.twilight == AllDay::Crosses) << what;
        EXPECT_EQ(day.dusk.has_value(), c.twilight == AllDay::Crosses) << what;
    }
    // An ordinary day crosses both altitudes, in order.
    const SunDay oslo = SunTimes(At(59.91, 10.75), {2026, 3, 20}, Zone("Europe/Oslo"));
    EXPECT_EQ(oslo.daylight, AllDay::Crosses);
    ASSERT_TRUE(oslo.dawn && oslo.sunrise && oslo.sunset && oslo.dusk);
    EXPECT_TRUE(*oslo.dawn < *oslo.sunrise && *oslo.sunrise < *oslo.sunset &&
                *oslo.sunset < *oslo.dusk);
}

TEST(SunTest, ASunsetAfterMidnightBelongsToTheDayItEnds)
{
    // Reykjavik keeps UTC all year, some 1.5 hours ahead of its sun.
    const QDate midsummer(2026, 6, 21);
    const SunDay day = SunTimes(At(64.15, -21.94), midsummer, Zone("Atlantic/Reykjavik"));
    ASSERT_TRUE(day.sunrise && day.sunset);
    EXPECT_EQ(day.sunrise->date(), midsummer);
    EXPECT_EQ(day.sunset->date(), midsummer.addDays(1));
    EXPECT_LT(day.sunset->time(), QTime(1, 0));
    EXPECT_FALSE(day.dusk) << "civil twilight lasts the night";
}

TEST(SunTest, LocationsAreCheckedReadAndWrittenBack)
{
    struct Case {
        const char *text;
        std::optional<LocationRefused> refused;
    };
    const Case cases[] = {
        {"52.37,4.89", {}},
        {" -33.86 , 151.21 ", {}},
        {"90,-180", {}},
        {"90.0001,0", LocationRefused::Latitude},
        {"-91,0", LocationRefused::Latitude},
        {"0,-180.5", LocationRefused::Longitude},
        {"52,37,4,89", LocationRefused::NotNumbers}, // decimal commas
        {"52.37N,4.89E", LocationRefused::NotNumbers},
        {"nan,0", LocationRefused::NotNumbers},
        {"", LocationRefused::NotNumbers},
    };
    for (const Case &c : cases) {
        const LocationOutcome outcome = Location::parse(QString::fromLatin1(c.text));
        if (c.refused) {
            ASSERT_TRUE(std::holds_alternative<LocationRefusal>(outcome)) << c.text;
            const LocationRefusal &refusal = std::get<LocationRefusal>(outcome);
            EXPECT_EQ(refusal.reason, *c.refused) << c.text;
            EXPECT_FALSE(refusal.text.isEmpty());
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<Location>(outcome)) << c.text;
        const Location location = std::get<Location>(outcome);
        EXPECT_EQ(std::get<Location>(Location::parse(location.toString())), location) << c.text;
    }
    EXPECT_EQ(At(52.37, 4.89).toString(), QStringLiteral("52.37,4.89"));
    EXPECT_EQ(At(-0.0, 0.1234567).toString(), QStringLiteral("0,0.123457"));
    EXPECT_TRUE(std::holds_alternative<LocationRefusal>(Location::make(NAN, 0)));
}

TEST(SunTest, RangesGiveEveryDayOrAreRefused)
{
    const Location quito = At(-0.18, -78.47);
    const QTimeZone zone = Zone("America/Guayaquil");
    const SunDaysOutcome year = SunDays(quito, {2028, 1, 1}, {2028, 12, 31}, zone);
    ASSERT_TRUE(std::holds_alternative<QList<SunDay>>(year));
    const QList<SunDay> &days = std::get<QList<SunDay>>(year);
    ASSERT_EQ(days.size(), 366);
    EXPECT_EQ(days.first().date, QDate(2028, 1, 1));
    EXPECT_EQ(days.last().date, QDate(2028, 12, 31));
    for (const SunDay &day : days) {
        // At the equator the day lasts about twelve hours all year.
        ASSERT_TRUE(day.sunrise && day.sunset);
        EXPECT_NEAR(day.sunrise->secsTo(*day.sunset) / 60.0, 12 * 60 + 7, 3);
    }

    struct Refused {
        QDate from;
        QDate to;
        SunRangeRefused reason;
    };
    const Refused refused[] = {
        {{2026, 5, 2}, {2026, 5, 1}, SunRangeRefused::Reversed},
        {{2026, 1, 1}, {2036, 1, 1}, SunRangeRefused::TooLong},
        {{1900, 12, 31}, {1901, 1, 1}, SunRangeRefused::OutsideYears},
        {{2099, 12, 31}, {2100, 1, 1}, SunRangeRefused::OutsideYears},
    };
    for (const Refused &r : refused) {
        const SunDaysOutcome outcome = SunDays(quito, r.from, r.to, zone);
        ASSERT_TRUE(std::holds_alternative<SunRangeRefusal>(outcome))
            << r.from.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(std::get<SunRangeRefusal>(outcome).reason, r.reason);
    }
    EXPECT_TRUE(
        std::holds_alternative<QList<SunDay>>(SunDays(quito, {2026, 1, 1}, {2035, 12, 31}, zone)));
}

} // namespace
} // namespace quintara::plan
