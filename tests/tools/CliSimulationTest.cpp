#include "tests/tools/CliFixture.h"

#include <QJsonArray>

namespace quintara::testing {
namespace {

const QString Now = QStringLiteral("2026-12-08T10:00");

using CliSimulationTest = CliTest;

TEST_F(CliSimulationTest, PlanSimulationWritesWeeklyLinesTheAgendaFiresInTheWindows)
{
    const QString planned = writeFile("planned.clk", {});
    // The hall's light and its spots, in the evening and the morning.
    const QStringList plan{"plan",        "simulation",  demoClockFile(), "--project",
                           demoProject(), "--function",  "1:4",           "--function",
                           "2:4",         "--evening",   "18:00-23:30",   "--morning",
                           "06:30-08:00", "--on-time",   "15-45",         "--now",
                           Now,           "-o",          planned};
    const CliRun done = run(plan + QStringList{"--seed", "27", "--json"});
    ASSERT_EQ(done.exitCode, 0) << done.err.constData();
    const QJsonObject result = done.json();
    EXPECT_EQ(result.value("seed").toInteger(), 27);
    EXPECT_EQ(result.value("firstMonday").toString(), "2026-12-14");
    const QJsonArray added = result.value("added").toArray();
    EXPECT_EQ(added.size(), 2 * 7 * 2 * 2);
    EXPECT_EQ(result.value("budget").toObject().value("used").toInt(), 39);
    EXPECT_EQ(result.value("replaced").toArray().size(), 0);

    // The agenda of a fortnight fires the plan's lines inside the windows only, a switch-on
    // and a switch-off per function and window every day; the demo's own Simulation lines (of
    // other lights, 8 a day) stay.
    const CliRun agenda = run({"agenda", planned, "--from", "2026-12-14", "--to", "2026-12-27",
                               "--table", "3", "--now", Now, "--project", demoProject(),
                               "--json"});
    ASSERT_EQ(agenda.exitCode, 0) << agenda.err.constData();
    QMap<QString, int> perDay;
    QMap<QString, int> demoPerDay;
    QMap<QString, QStringList> timesPerDay;
    for (const QJsonValue value : agenda.json().value("firings").toArray()) {
        const QJsonObject firing = value.toObject();
        const QString time = firing.value("time").toString();
        const int number = firing.value("functionNumber").toInt();
        if (number != 4) {
            ++demoPerDay[firing.value("date").toString()];
            continue;
        }
        EXPECT_TRUE(("06:30" <= time && time <= "08:00") || ("18:00" <= time && time <= "23:30"))
            << time.toStdString();
        ++perDay[firing.value("date").toString()];
        timesPerDay[firing.value("date").toString()].append(time);
    }
    EXPECT_EQ(perDay.size(), 14);
    for (const int count : perDay)
        EXPECT_EQ(count, 8);
    EXPECT_EQ(demoPerDay.size(), 14);
    for (const int count : demoPerDay)
        EXPECT_EQ(count, 8);
    EXPECT_EQ(timesPerDay.value("2026-12-14"), timesPerDay.value("2026-12-21"));
    EXPECT_NE(timesPerDay.value("2026-12-14"), timesPerDay.value("2026-12-15"));

    // Made again from the same seed: the same lines in the same places replace the earlier set.
    const QString again = writeFile("again.clk", {});
    QStringList replan = plan;
    replan[2] = planned;
    replan.last() = again;
    const CliRun same = run(replan + QStringList{"--seed", "27", "--json"});
    ASSERT_EQ(same.exitCode, 0) << same.err.constData();
    EXPECT_EQ(same.json().value("replaced").toArray(), added);
    EXPECT_EQ(same.json().value("added").toArray(), added);
    const CliRun before = run({"show", planned, "--json"});
    const CliRun after = run({"show", again, "--json"});
    EXPECT_EQ(before.json().value("lines"), after.json().value("lines"));

    // Without a seed a new one is drawn and told.
    const CliRun fresh = run(plan);
    ASSERT_EQ(fresh.exitCode, 0) << fresh.err.constData();
    EXPECT_TRUE(fresh.out.startsWith("seed ")) << fresh.out.constData();
    EXPECT_TRUE(fresh.out.contains("Hall spots")) << fresh.out.constData();
}

TEST_F(CliSimulationTest, PlanSimulationRefusesAndLeavesTheOutputAlone)
{
    const QString output = writeFile("out.clk", "untouched");
    const QStringList plan{"plan",      "simulation", demoClockFile(), "--project",
                           demoProject(), "--evening", "18:00-23:30",  "--now",
                           Now,         "-o",         output};

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
          std::pair{QStringList{"--function", "1:4", "--switchings", "20"}, "evening"}}) {
        const CliRun refused = run(plan + extra);
        EXPECT_EQ(refused.exitCode, 1) << extra.join(' ').toStdString();
        EXPECT_TRUE(refused.err.contains(reason)) << refused.err.constData();
    }
    // Mistakes on the command line.
    for (const QStringList &extra :
         {QStringList{}, QStringList{"--function", "14:3"}, QStringList{"--function", "1"},
          QStringList{"--function", "1:4", "--seed", "-1"},
          QStringList{"--function", "1:4", "--on-time", "30"},
          QStringList{"--function", "1:4", "--morning", "7-8"}}) {
        const CliRun refused = run(plan + extra);
        EXPECT_EQ(refused.exitCode, 2) << extra.join(' ').toStdString();
    }
    EXPECT_EQ(contents(output), "untouched");
}

} // namespace
} // namespace quintara::testing
