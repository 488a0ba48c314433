#include "tests/tools/CliFixture.h"

#include <QJsonArray>

namespace quintara::testing {
namespace {

using CliSunTest = CliTest;

QStringList Sun(const char *latitude, const char *longitude, const char *from, const char *to)
{
    return {"sun", "--lat", latitude, "--lon", longitude, "--from", from, "--to", to};
}

TEST_F(CliSunTest, ListsEachDaysSunInTheZonesWallTime)
{
    // The Dutch AIP's 2019 table at 52°N 5°E: 07:48-15:39 UTC on New Year's Day.
    const CliRun utc =
        run(Sun("52", "5", "2019-01-01", "2019-01-02") + QStringList{"--tz", "UTC", "--json"});
    ASSERT_EQ(utc.exitCode, 0) << utc.err.constData();
    EXPECT_TRUE(utc.out.startsWith(
        R"({"days":[{"date":"2019-01-01","sunrise":"07:48","sunset":"15:39","dawn":")"))
        << utc.out.constData();
    const QJsonArray days = utc.json().value("days").toArray();
    ASSERT_EQ(days.size(), 2);
    EXPECT_EQ(days[1].toObject().value("date").toString(), "2019-01-02");

    // The same table's midsummer in Dutch summer time.
    const CliRun summer = run(Sun("52", "5", "2019-06-21", "2019-06-21") +
                              QStringList{"--tz", "Europe/Amsterdam", "--json"});
    const QJsonObject midsummer = summer.json().value("days").toArray().at(0).toObject();
    EXPECT_EQ(midsummer.value("sunrise").toString(), "05:20");
    EXPECT_EQ(midsummer.value("sunset").toString(), "22:04");

    // Without --tz, the system's zone: Sydney's latest sunrise of 2014, as its observatory
    // published it.
    setVariables = {{"TZ", "Australia/Sydney"}};
    const CliRun sydney =
        run(Sun("-33.86", "151.21", "2014-04-05", "2014-04-05") + QStringList{"--json"});
    EXPECT_EQ(sydney.json().value("days").toArray().at(0).toObject().value("sunrise").toString(),
              "07:10");

    // Where the sun stays up there are no times, and the table says why; a sunset after
    // midnight is marked as the next day's.
    const CliRun polar = run(Sun("78.22", "15.65", "2026-06-21", "2026-06-21") +
                             QStringList{"--tz", "Arctic/Longyearbyen", "--json"});
    EXPECT_EQ(polar.out, R"({"days":[{"date":"2026-06-21","sunrise":null,"sunset":null,)"
                         R"("dawn":null,"dusk":null}]})"
                         "\n");
    const CliRun table = run(Sun("64.15", "-21.94", "2026-06-21", "2026-06-21") +
                             QStringList{"--tz", "Atlantic/Reykjavik"});
    EXPECT_EQ(table.exitCode, 0);
    EXPECT_TRUE(table.out.contains("2026-06-21  Sun  --:--   02:55   00:04+1 --:--   twilight "
                                   "all night\n"))
        << table.out.constData();
    const CliRun late = run(Sun("64.15", "-21.94", "2026-06-21", "2026-06-21") +
                            QStringList{"--tz", "Atlantic/Reykjavik", "--json"});
    const QJsonObject midnight = late.json().value("days").toArray().at(0).toObject();
    EXPECT_EQ(midnight.value("sunset").toString(), "00:04");
    EXPECT_EQ(midnight.value("sunsetDate").toString(), "2026-06-22");
    EXPECT_FALSE(midnight.contains("sunriseDate"));
    EXPECT_TRUE(
        run(Sun("78.22", "15.65", "2026-12-21", "2026-12-21")).out.contains("sun down all day\n"));
}

TEST_F(CliSunTest, MistakesAreRefusedWithTheirReason)
{
    struct Case {
        QStringList arguments;
        QByteArray message;
    };
    const QStringList day{"--from", "2026-01-01", "--to", "2026-01-01"};
    // clang-format off
    const Case cases[] = {
        {QStringList{"sun", "--lat", "91", "--lon", "0"} + day, "latitude 91 lies beyond -90..90"},
        {QStringList{"sun", "--lat", "52,37", "--lon", "4"} + day, "take decimal degrees"},
        {QStringList{"sun", "--lat", "52"} + day, "'sun' needs --lat, --lon"},
        {Sun("52", "5", "2026-01-02", "2026-01-01"), "--to lies before --from"},
        {Sun("52", "5", "2026-02-30", "2026-03-01"), "take dates"},
        {Sun("52", "5", "2026-01-01", "2036-01-01"), "at most 10 years"},
        {Sun("52", "5", "2026-01-01", "2026-01-01") + QStringList{"--tz", "Europe/Atlantis"},
         "unknown time zone 'Europe/Atlantis'"},
        {Sun("52", "5", "2026-01-01", "2026-01-01") + QStringList{"x.clk"}, "'sun' reads no file"},
    };
    // clang-format on
    for (const Case &c : cases) {
        const CliRun result = run(c.arguments);
        EXPECT_EQ(result.exitCode, 2) << qPrintable(c.arguments.join(u' '));
        EXPECT_TRUE(result.err.contains(c.message)) << result.err.constData();
        EXPECT_TRUE(result.out.isEmpty());
    }
}

} // namespace
} // namespace quintara::testing
