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
    // Source, latitude, longitude, zone, date, then dawn, sunrise, sunset and dusk where published.
    using Events = std::array<const char *, 4>;
    // clang-format off
    const QList<std::tuple<const char *, double, double, const char *, QDate, Events>> cases{
        // Dutch AIP GEN 2.7 (2019), 52°00'N 5°00'E, UTC: its daylight periods start 15 minutes
        // before sunrise and end 15 minutes after sunset.
        {"AIP NL", 52.0, 5.0, "UTC", {2019, 1, 1}, {nullptr, "07:48", "15:39", nullptr}},
        {"AIP NL", 52.0, 5.0, "UTC", {2019, 2, 21}, {nullptr, "06:44", "17:04", nullptr}},
        {"AIP NL", 52.0, 5.0, "UTC", {2019, 3, 21}, {nullptr, "05:41", "17:54", nullptr}},
        {"AIP NL", 52.0, 5.0, "UTC", {2019, 5, 1}, {nullptr, "04:11", "19:04", nullptr}},
        {"AIP NL", 52.0, 5.0, "UTC", {2019, 6, 21}, {nullptr, "03:20", "20:04", nullptr}},
        // USNO, Atlanta (33.8°N 84.4°W), Eastern Daylight Time.
        {"USNO", 33.8, -84.4, "America/New_York", {2009, 9, 6}, {"06:50", "07:15", "19:56", "20:21"}},
        // USNO, Tromsø (69.5°N 19.0°E), UT+1h: beyond 60° yet still within the minute.
        {"USNO", 69.5, 19.0, "UTC+01:00", {2014, 4, 1}, {"03:46", "04:50", "18:49", "19:53"}},
        // Sydney Observatory: Sydney (33.86°S 151.21°E) and Wentworth (34.11°S 141.92°E) on the
        // last day of summer time 2014, the latest sunrises of the year.
        {"Sydney Obs.", -33.86, 151.21, "Australia/Sydney", {2014, 4, 5}, {nullptr, "07:10", nullptr, nullptr}},
        {"Sydney Obs.", -34.11, 141.92, "Australia/Sydney", {2014, 4, 5}, {nullptr, "07:47", nullptr, nullptr}},
    };
    // clang-format on
    for (const auto &[source, latitude, longitude, zone, date, published] : cases) {
        const SunDay day = SunTimes(At(latitude, longitude), date, Zone(zone));
        const std::string where =
            std::string(source) + " " + zone + " " + date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(day.date, date);
        const std::array events{day.dawn, day.sunrise, day.sunset, day.dusk};
        for (std::size_t i = 0; i < events.size(); ++i) {
            const char *name = std::array{"dawn", "sunrise", "sunset", "dusk"}[i];
            ExpectWithinAMinute(events[i], published[i], where + " " + name);
            if (events[i]) {
                EXPECT_EQ(events[i]->timeZone(), Zone(zone)) << where;
            }
        }
    }
}

// The zone's clock changes; the sun does not: on the change day the wall times jump by the
// zone's hour, in both hemispheres.
TEST(SunTest, ADaylightSavingChangeDayTakesTheZonesNewOffset)
{
    // Where, the day before and the change day, and how the wall clock moved in the night.
    const QList<std::tuple<double, double, const char *, QDate, QDate, int>> cases{
        {-33.86, 151.21, "Australia/Sydney", {2014, 4, 5}, {2014, 4, 6}, -60},
        {52.37, 4.89, "Europe/Amsterdam", {2019, 3, 30}, {2019, 3, 31}, +60},
        {52.37, 4.89, "Europe/Amsterdam", {2019, 10, 26}, {2019, 10, 27}, -60},
    };
    for (const auto &[latitude, longitude, zone, dayBefore, changeDay, shift] : cases) {
        SCOPED_TRACE(std::string(zone) + " " + changeDay.toString(Qt::ISODate).toStdString());
        const SunDay before = SunTimes(At(latitude, longitude), dayBefore, Zone(zone));
        const SunDay change = SunTimes(At(latitude, longitude), changeDay, Zone(zone));
        ASSERT_TRUE(before.sunrise && change.sunrise && before.sunset && change.sunset);
        // From one day to the next the sun itself moves by a few minutes at most.
        EXPECT_NEAR(Minutes(Minute(change.sunrise)) - Minutes(Minute(before.sunrise)), shift, 3);
        EXPECT_NEAR(Minutes(Minute(change.sunset)) - Minutes(Minute(before.sunset)), shift, 3);
        EXPECT_EQ(change.sunrise->offsetFromUtc(),
                  Zone(zone).offsetFromUtc(QDateTime(changeDay, QTime(12, 0), Zone(zone))));
    }
    // Sydney's first sunrise of standard time, an hour before the published 07:10 of the day
    // before and a minute later in the season.
    const SunDay sydney = SunTimes(At(-33.86, 151.21), {2014, 4, 6}, Zone("Australia/Sydney"));
    EXPECT_NEAR(Minutes(Minute(sydney.sunrise)), Minutes(QStringLiteral("06:11")), 1);
}

TEST(SunTest, PolarDaysSayWhereTheSunStaysInsteadOfATime)
{
    // Latitude, date, where the sun stays for daylight and for civil twilight.
    const QList<std::tuple<double, QDate, AllDay, AllDay>> cases{
        {78.0, {2026, 6, 21}, AllDay::Above, AllDay::Above},  // midnight sun
        {78.0, {2026, 12, 21}, AllDay::Below, AllDay::Below}, // polar night, not even twilight
        {-78.0, {2026, 6, 21}, AllDay::Below, AllDay::Below}, // the same, south
        {90.0, {2026, 3, 30}, AllDay::Above, AllDay::Above},  // the pole after the equinox
        {-90.0, {2026, 6, 21}, AllDay::Below, AllDay::Below},
        {68.0, {2026, 12, 21}, AllDay::Below, AllDay::Crosses}, // dark noon, twilight still
    };
    for (const auto &[latitude, date, daylight, twilight] : cases) {
        const SunDay day = SunTimes(At(latitude, 15.6), date, Zone("UTC+01:00"));
        const bool crosses = twilight == AllDay::Crosses;
        EXPECT_EQ(std::tuple(day.daylight, day.twilight, day.sunrise.has_value(),
                             day.sunset.has_value(), day.dawn.has_value(), day.dusk.has_value()),
                  std::tuple(daylight, twilight, false, false, crosses, crosses))
            << latitude << " " << date.toString(Qt::ISODate).toStdString();
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
    const QList<std::pair<const char *, std::optional<LocationRefused>>> cases{
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
    for (const auto &[text, refused] : cases) {
        const LocationOutcome outcome = Location::parse(QString::fromLatin1(text));
        if (const auto *refusal = std::get_if<LocationRefusal>(&outcome)) {
            EXPECT_EQ(std::pair(std::optional(refusal->reason), refusal->text.isEmpty()),
                      std::pair(refused, false))
                << text;
            continue;
        }
        ASSERT_FALSE(refused) << text;
        const Location location = std::get<Location>(outcome);
        EXPECT_EQ(std::get<Location>(Location::parse(location.toString())), location) << text;
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

    const QList<std::tuple<QDate, QDate, SunRangeRefused>> refused{
        {{2026, 5, 2}, {2026, 5, 1}, SunRangeRefused::Reversed},
        {{2026, 1, 1}, {2036, 1, 1}, SunRangeRefused::TooLong},
        {{1900, 12, 31}, {1901, 1, 1}, SunRangeRefused::OutsideYears},
        {{2099, 12, 31}, {2100, 1, 1}, SunRangeRefused::OutsideYears},
    };
    for (const auto &[from, to, reason] : refused) {
        const SunDaysOutcome outcome = SunDays(quito, from, to, zone);
        const auto *refusal = std::get_if<SunRangeRefusal>(&outcome);
        EXPECT_TRUE(refusal && refusal->reason == reason)
            << from.toString(Qt::ISODate).toStdString();
    }
    EXPECT_TRUE(
        std::holds_alternative<QList<SunDay>>(SunDays(quito, {2026, 1, 1}, {2035, 12, 31}, zone)));
}

} // namespace
} // namespace quintara::plan
