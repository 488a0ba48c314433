// The planners on the command line: holidays, presence simulation, and the sun's times.
#include "tests/tools/CliFixture.h"

#include <QFile>
#include <QJsonArray>

namespace quintara::testing {
namespace {

const QString Now = QStringLiteral("2026-12-08T10:00");

// A company's calendar: closed on New Year's Eve every year and one bridge day; a meeting at a
// time of day is no day off.
const QByteArray Closures = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Quintara tests//EN\r\n"
                            "BEGIN:VEVENT\r\nUID:closed-1\r\nDTSTAMP:20260101T000000Z\r\n"
                            "DTSTART;VALUE=DATE:20261231\r\nRRULE:FREQ=YEARLY\r\n"
                            "SUMMARY:Closed\r\nEND:VEVENT\r\n"
                            "BEGIN:VEVENT\r\nUID:bridge-1\r\nDTSTAMP:20260101T000000Z\r\n"
                            "DTSTART;VALUE=DATE:20270507\r\nSUMMARY:Bridge day\r\nEND:VEVENT\r\n"
                            "BEGIN:VEVENT\r\nUID:meeting-1\r\nDTSTAMP:20260101T000000Z\r\n"
                            "DTSTART:20270310T140000\r\nSUMMARY:Meeting\r\nEND:VEVENT\r\n"
                            "END:VCALENDAR\r\n";

class CliPlanTest : public CliTest {
protected:
    // The firings of regime lines at the start of a day (the demo's own at 00:15 left aside)
    // in a range, as "date time regime", comma-separated.
    std::string regimeFirings(const QString &file, const QString &from, const QString &to,
                              const QString &now = Now) const
    {
        const CliRun agenda = run({"agenda", file, "--from", from, "--to", to, "--now", now,
                                   "--project", demoProject(), "--json"});
        QStringList firings;
        for (const QJsonValue value : agenda.json().value("firings").toArray()) {
            const QJsonObject firing = value.toObject();
            if (firing.value("functionType").toInt() == 14 &&
                firing.value("time").toString() < "00:15")
                firings.append(firing.value("date").toString() + ' ' +
                               firing.value("time").toString() + ' ' +
                               QString::number(firing.value("functionNumber").toInt()));
        }
        return firings.join(", ").toStdString();
    }
};

TEST_F(CliPlanTest, PlanHolidaysWritesRegimeLinesTheAgendaAndTheCheckSee)
{
    const QString ics = writeFile("closures.ics", Closures);
    const QString planned = writeFile("planned.clk", {});
    const QStringList plan{"plan",      "holidays",      demoClockFile(), "--project",
                           demoProject(), "--country",   "NL",            "--ics",
                           ics,         "--vacation",    "2027-08-02..2027-08-20",
                           "-o",        planned,         "--now",         Now};
    const CliRun done = run(plan + QStringList{"--json"});
    ASSERT_EQ(done.exitCode, 0) << done.err.constData();
    const QJsonObject result = done.json();
    const QJsonArray added = result.value("added").toArray();
    const QDate reach = QDate::fromString(result.value("reachesUntil").toString(), Qt::ISODate);
    EXPECT_EQ(std::tuple(result["replaced"].toArray().size(), result["budget"]["used"].toInt(),
                         result["budget"]["needed"].toInt(), reach >= QDate(2029, 12, 8)),
              std::tuple(0, 39, added.size(), true));
    ASSERT_EQ(result.value("skipped").toArray().size(), 1);
    EXPECT_TRUE(result.value("skipped")[0]["entry"].toString().contains("Meeting"));

    // Easter Sunday and Monday, King's Day, Ascension Day and the bridge day after it, the
    // vacation, and the closure running into New Year's Day.
    EXPECT_EQ(regimeFirings(planned, "2027-03-27", "2027-08-31"),
              "2027-03-28 00:00 2, 2027-03-30 00:00 0, 2027-04-27 00:00 2, 2027-04-28 00:00 0, "
              "2027-05-06 00:00 2, 2027-05-08 00:00 0, 2027-05-16 00:00 2, "
              "2027-05-18 00:00 0, 2027-08-02 00:00 3, 2027-08-21 00:00 0");
    EXPECT_EQ(regimeFirings(planned, "2030-12-30", "2031-01-03", "2030-12-01T10:00"),
              "2030-12-31 00:00 2, 2031-01-02 00:00 0");

    // Planned again: the earlier plan is replaced, not added to, and other lines stay. The
    // vacation planned before is kept unless dropped.
    const QString replanned = writeFile("replanned.clk", {});
    const QStringList again{"plan", "holidays", planned,   "--project", demoProject(), "--country",
                            "NL",   "-o",       replanned, "--now",     Now,           "--json"};
    for (const bool drop : {false, true}) {
        const CliRun overPlan = run(drop ? again + QStringList{"--drop-vacations"} : again);
        ASSERT_EQ(overPlan.exitCode, 0) << overPlan.err.constData();
        EXPECT_EQ(overPlan.json().value("replaced").toArray(), added);
        EXPECT_EQ(regimeFirings(replanned, "2027-08-01", "2027-08-31"),
                  drop ? "" : "2027-08-02 00:00 3, 2027-08-21 00:00 0");
    }

    // Sixty days before the last planned holiday the check asks for a new plan.
    const CliRun check = run({"check", planned, "--project", demoProject(), "--now",
                              reach.addDays(-60).toString(Qt::ISODate) + "T09:00", "--json"});
    EXPECT_TRUE(check.exitCode == 3 && check.out.contains("\"kind\":\"holidaysRunOut\"") &&
                check.out.contains("plan the holidays again"))
        << check.out.constData();
}

TEST_F(CliPlanTest, PlanHolidaysRefusesAndLeavesTheOutputAlone)
{
    // A model of 50 lines with 47 in use.
    QList<std::pair<int, clock::ClockLine>> lines;
    for (int i = 0; i < 47; ++i)
        lines.append({i, Line(QDate(2026, 12, 7), 7, i % 60, clock::Continue, clock::Days, 1)});
    const QString full = writeClockFile("full.clk", Table(lines, 3));
    const QString output = writeFile("out.clk", "untouched");
    const QStringList plan{"plan",    "holidays",    full, "--project", demoProject(),
                           "--country", "NL",        "-o", output,      "--now",
                           Now};

    const CliRun tooMany = run(plan + QStringList{"--json"});
    EXPECT_TRUE(tooMany.exitCode == 1 && tooMany.err.contains("3 of 50 are free") &&
                tooMany.err.contains("--leave-out"))
        << tooMany.err.constData();
    EXPECT_FALSE(tooMany.json().value("notFitting").toArray().isEmpty());

    EXPECT_EQ(run(plan + QStringList{"--ics", writeFile("x.ics", "no calendar")}).exitCode, 1);

    for (const QStringList &mistake :
         {QStringList{"plan", "sun", full}, plan.mid(0, 5) + QStringList{"-o", output},
          plan + QStringList{"--regime", "6"}, plan + QStringList{"--vacation", "2027-08-02"},
          plan + QStringList{"--vacation", "2027-08-20..2027-08-02"}})
        EXPECT_EQ(run(mistake).exitCode, 2) << mistake.join(' ').toStdString();
    EXPECT_EQ(contents(output), "untouched");
}

using CliSimulationTest = CliTest;

TEST_F(CliSimulationTest, PlanSimulationWritesWeeklyLinesTheAgendaFiresInTheWindows)
{
    const QString planned = writeFile("planned.clk", {});
    // The hall's light and its spots, in the evening and the morning.
    const QStringList plan{"plan",        "simulation", demoClockFile(), "--project",
                           demoProject(), "--function", "1:4",           "--function",
                           "2:4",         "--evening",  "18:00-23:30",   "--morning",
                           "06:30-08:00", "--on-time",  "15-45",         "--now",
                           Now,           "-o",         planned};
    const CliRun done = run(plan + QStringList{"--seed", "27", "--json"});
    ASSERT_EQ(done.exitCode, 0) << done.err.constData();
    const QJsonObject result = done.json();
    EXPECT_EQ(std::tuple(result["seed"].toInteger(), result["firstMonday"].toString(),
                         result["budget"]["used"].toInt(), result["replaced"].toArray().size()),
              std::tuple(27, "2026-12-14", 39, 0));
    const QJsonArray added = result.value("added").toArray();
    EXPECT_EQ(added.size(), 2 * 7 * 2 * 2);

    // The hall light goes on and off once in each window of a day (where in the windows, and
    // every day alike, the planner's own test pins).
    const CliRun agenda = run({"agenda", planned, "--from", "2026-12-15", "--to", "2026-12-15",
                               "--table", "3", "--function", "1:4", "--now", Now, "--json"});
    QStringList times;
    for (const QJsonValue firing : agenda.json().value("firings").toArray())
        times << firing["time"].toString();
    ASSERT_EQ(times.size(), 4) << times.join(' ').toStdString();
    EXPECT_TRUE("06:30" <= times[0] && times[1] <= "08:00" && "18:00" <= times[2] &&
                times[3] <= "23:30")
        << times.join(' ').toStdString();

    // Made again from the same seed: lines in the same places replace the earlier set (that the
    // seed alone decides the lines, the planner's own test pins).
    const QString again = writeFile("again.clk", {});
    QStringList replan = plan;
    replan[2] = planned;
    replan.last() = again;
    const CliRun same = run(replan + QStringList{"--seed", "27", "--json"});
    ASSERT_EQ(same.exitCode, 0) << same.err.constData();
    EXPECT_EQ(std::pair(same.json().value("replaced"), same.json().value("added")),
              std::pair(QJsonValue(added), QJsonValue(added)));

    // Without a seed a new one is drawn and told.
    const CliRun fresh = run(plan);
    ASSERT_EQ(fresh.exitCode, 0) << fresh.err.constData();
    EXPECT_TRUE(fresh.out.startsWith("seed ")) << fresh.out.constData();
    EXPECT_TRUE(fresh.out.contains("Hall spots")) << fresh.out.constData();
}

TEST_F(CliSimulationTest, PlanSimulationRefusesAndLeavesTheOutputAlone)
{
    const QString output = writeFile("out.clk", "untouched");
    const QStringList plan{"plan",        "simulation", demoClockFile(), "--project",
                           demoProject(), "--evening",  "18:00-23:30",   "--now",
                           Now,           "-o",         output};

    // Six lights three times an evening need 252 lines; 61 are free.
    QStringList tooMany = plan + QStringList{"--switchings", "3"};
    for (const char *light : {"1:1", "1:2", "1:3", "1:4", "2:1", "2:2"})
        tooMany << "--function" << light;
    const CliRun full = run(tooMany + QStringList{"--json"});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_TRUE(full.err.contains("needs 252 lines and 61 of 100 are free"))
        << full.err.constData();
    EXPECT_EQ(full.json().value("budget").toObject().value("needed").toInt(), 252);

    // Requests the planner cannot meet, with its reason.
    for (const auto &[extra, reason] :
         {std::pair{QStringList{"--function", "1:4", "--on-time", "90-30"}, "minimum (90)"},
          std::pair{QStringList{"--function", "1:99"}, "no function 1:99"},
          std::pair{QStringList{"--function", "1:4", "--morning", "07:00-06:00"}, "morning"},
          std::pair{QStringList{"--function", "1:4", "--switchings", "20"}, "evening"}})
        expectFailure(plan + extra, 1, {reason});
    // Mistakes on the command line.
    for (const QStringList &extra :
         {QStringList{}, QStringList{"--function", "14:3"}, QStringList{"--function", "1"},
          QStringList{"--function", "1:4", "--seed", "-1"},
          QStringList{"--function", "1:4", "--on-time", "30"},
          QStringList{"--function", "1:4", "--morning", "7-8"}})
        EXPECT_EQ(run(plan + extra).exitCode, 2) << extra.join(' ').toStdString();
    EXPECT_EQ(contents(output), "untouched");
}

using CliSunTest = CliTest;

QStringList Sun(const char *latitude, const char *longitude, const char *from, const char *to)
{
    return {"sun", "--lat", latitude, "--lon", longitude, "--from", from, "--to", to};
}

// The first day of a JSON listing.
QJsonObject FirstDay(const CliRun &run)
{
    return run.json().value("days").toArray().at(0).toObject();
}

TEST_F(CliSunTest, ListsEachDaysSunInTheZonesWallTime)
{
    // The Dutch AIP's 2019 table at 52°N 5°E: 07:48-15:39 UTC on New Year's Day. (How close to
    // the published tables, also across a change of offset, the sun's own test pins.)
    const CliRun utc =
        run(Sun("52", "5", "2019-01-01", "2019-01-02") + QStringList{"--tz", "UTC", "--json"});
    ASSERT_EQ(utc.exitCode, 0) << utc.err.constData();
    EXPECT_TRUE(utc.out.startsWith(
        R"({"days":[{"date":"2019-01-01","sunrise":"07:48","sunset":"15:39","dawn":")"))
        << utc.out.constData();
    EXPECT_EQ(utc.json().value("days")[1]["date"], "2019-01-02");

    // Without --tz, the system's zone: Sydney's latest sunrise of 2014, as its observatory
    // published it.
    setVariables = {{"TZ", "Australia/Sydney"}};
    EXPECT_EQ(
        FirstDay(run(Sun("-33.86", "151.21", "2014-04-05", "2014-04-05") + QStringList{"--json"}))
            .value("sunrise"),
        "07:10");

    // Where the sun stays up there are no times, and the table says why; a sunset after
    // midnight is marked as the next day's.
    const CliRun polar = run(Sun("78.22", "15.65", "2026-06-21", "2026-06-21") +
                             QStringList{"--tz", "Arctic/Longyearbyen", "--json"});
    EXPECT_EQ(polar.out, R"({"days":[{"date":"2026-06-21","sunrise":null,"sunset":null,)"
                         R"("dawn":null,"dusk":null}]})"
                         "\n");
    const QStringList reykjavik = Sun("64.15", "-21.94", "2026-06-21", "2026-06-21") +
                                  QStringList{"--tz", "Atlantic/Reykjavik"};
    const CliRun table = run(reykjavik);
    EXPECT_TRUE(table.exitCode == 0 &&
                table.out.contains("2026-06-21  Sun  --:--   02:55   00:04+1 --:--   twilight "
                                   "all night\n"))
        << table.out.constData();
    const QJsonObject midnight = FirstDay(run(reykjavik + QStringList{"--json"}));
    EXPECT_EQ(
        std::tuple(midnight["sunset"], midnight["sunsetDate"], midnight.contains("sunriseDate")),
        std::tuple(QJsonValue("00:04"), QJsonValue("2026-06-22"), false));
    EXPECT_TRUE(
        run(Sun("78.22", "15.65", "2026-12-21", "2026-12-21")).out.contains("sun down all day\n"));
}

TEST_F(CliSunTest, MistakesAreRefusedWithTheirReason)
{
    const QStringList day{"--from", "2026-01-01", "--to", "2026-01-01"};
    // clang-format off
    for (const auto &[arguments, message] : QList<std::pair<QStringList, QByteArray>>{
        {QStringList{"sun", "--lat", "91", "--lon", "0"} + day, "latitude 91 lies beyond -90..90"},
        {QStringList{"sun", "--lat", "52,37", "--lon", "4"} + day, "take decimal degrees"},
        {QStringList{"sun", "--lat", "52"} + day, "'sun' needs --lat, --lon"},
        {Sun("52", "5", "2026-01-02", "2026-01-01"), "--to lies before --from"},
        {Sun("52", "5", "2026-02-30", "2026-03-01"), "take dates"},
        {Sun("52", "5", "2026-01-01", "2036-01-01"), "at most 10 years"},
        {Sun("52", "5", "2026-01-01", "2026-01-01") + QStringList{"--tz", "Europe/Atlantis"},
         "unknown time zone 'Europe/Atlantis'"},
        {Sun("52", "5", "2026-01-01", "2026-01-01") + QStringList{"x.clk"}, "'sun' reads no file"}})
        expectFailure(arguments, 2, {message});
    // clang-format on
}

} // namespace
} // namespace quintara::testing
