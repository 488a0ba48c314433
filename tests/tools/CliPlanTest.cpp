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
    EXPECT_EQ(result.value("replaced").toArray().size(), 0);
    EXPECT_EQ(result.value("budget").toObject().value("used").toInt(), 39);
    EXPECT_EQ(result.value("budget").toObject().value("needed").toInt(), added.size());
    EXPECT_LE(added.size(), 61);
    const QDate reach = QDate::fromString(result.value("reachesUntil").toString(), Qt::ISODate);
    EXPECT_GE(reach, QDate(2029, 12, 8));
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
    for (const bool drop : {false, true}) {
        QStringList args{"plan", "holidays", planned, "--project", demoProject(), "--country",
                         "NL", "-o", replanned, "--now", Now, "--json"};
        if (drop)
            args << "--drop-vacations";
        const CliRun overPlan = run(args);
        ASSERT_EQ(overPlan.exitCode, 0) << overPlan.err.constData();
        EXPECT_EQ(overPlan.json().value("replaced").toArray(), added);
        EXPECT_EQ(regimeFirings(replanned, "2027-08-01", "2027-08-31"),
                  drop ? "" : "2027-08-02 00:00 3, 2027-08-21 00:00 0");
    }

    // Sixty days before the last planned holiday the check asks for a new plan.
    const CliRun check =
        run({"check", planned, "--project", demoProject(), "--now",
             reach.addDays(-60).toString(Qt::ISODate) + "T09:00", "--json"});
    EXPECT_EQ(check.exitCode, 3);
    EXPECT_TRUE(check.out.contains("\"kind\":\"holidaysRunOut\"")) << check.out.constData();
    EXPECT_TRUE(check.out.contains("plan the holidays again"));
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
    EXPECT_EQ(tooMany.exitCode, 1);
    EXPECT_TRUE(tooMany.err.contains("3 of 50 are free")) << tooMany.err.constData();
    EXPECT_TRUE(tooMany.err.contains("--leave-out")) << tooMany.err.constData();
    EXPECT_FALSE(tooMany.json().value("notFitting").toArray().isEmpty());
    EXPECT_EQ(contents(output), "untouched");

    const CliRun unreadable = run(plan + QStringList{"--ics", writeFile("x.ics", "no calendar")});
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_EQ(contents(output), "untouched");

    for (const QStringList &mistake :
         {QStringList{"plan", "sun", full}, plan.mid(0, 5) + QStringList{"-o", output},
          plan + QStringList{"--regime", "6"}, plan + QStringList{"--vacation", "2027-08-02"},
          plan + QStringList{"--vacation", "2027-08-20..2027-08-02"}}) {
        const CliRun refused = run(mistake);
        EXPECT_EQ(refused.exitCode, 2) << mistake.join(' ').toStdString();
    }
    EXPECT_EQ(contents(output), "untouched");
}

} // namespace
} // namespace quintara::testing
