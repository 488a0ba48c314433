#include "tests/tools/CliFixture.h"

#include <QJsonArray>

namespace quintara::testing {
namespace {

using clock::ClockTable;

// Wednesday 9 December 2026: the current week begins on Monday the 7th.
const QString Now = "2026-12-09T10:00";
const QString ThisMonday = "2026-12-07";
const QString NextMonday = "2026-12-14";

class CliWeekTest : public CliTest {
protected:
    CliWeekTest()
    {
        table.ClockFileVersion = 1;
        table.ModelIndex = 3;
    }

    QJsonObject week(const QString &monday, const QStringList &extra = {})
    {
        const QString file = writeClockFile("week.clk", table);
        const CliRun result =
            run(QStringList{"week", file, "--monday", monday, "--now", Now, "--json"} + extra);
        EXPECT_EQ(result.exitCode, 0) << result.err.constData();
        EXPECT_TRUE(result.err.isEmpty()) << result.err.constData();
        return result.json();
    }

    // The occurrences listed for a line, or nothing when the line is not listed.
    static std::optional<QJsonArray> occurrencesOf(const QJsonObject &week, int index)
    {
        for (const QJsonValue line : week.value("lines").toArray()) {
            if (line.toObject().value("index").toInt() == index)
                return line.toObject().value("occurrences").toArray();
        }
        return std::nullopt;
    }

    static QStringList dates(const QJsonArray &occurrences)
    {
        QStringList result;
        for (const QJsonValue occurrence : occurrences)
            result << occurrence.toObject().value("date").toString();
        return result;
    }

    ClockTable table;
};

TEST_F(CliWeekTest, ReferenceAndWalkOccurrencesOfTheChosenWeek)
{
    // Once, on Wednesday at 07:31: x = 170.33, the reference marker rounds it.
    table.Lines[0] = Line(QDate(2026, 12, 9), 7, 31, clock::Continue, clock::Once, 0);
    // Every two weeks from two weeks before the current Monday.
    table.Lines[1] = Line(QDate(2026, 11, 23), 6, 0, clock::Continue, clock::Weeks, 2);
    // Daily from a date after the current Monday: kept current, it is moved back first.
    table.Lines[2] = Line(QDate(2026, 12, 20), 8, 0, clock::Continue, clock::Days, 1);
    // Beyond the model's 50 lines: not part of the week.
    table.Lines[60] = Line(QDate(2026, 12, 9), 9, 0, clock::Continue, clock::Once, 0);

    const QJsonObject current = week(ThisMonday);
    EXPECT_EQ(current.value("monday").toString(), ThisMonday);
    EXPECT_EQ(current.value("lines").toArray().size(), 3);
    EXPECT_FALSE(occurrencesOf(current, 60));

    const QJsonArray once = occurrencesOf(current, 0).value();
    ASSERT_EQ(once.size(), 1);
    EXPECT_EQ(once[0].toObject(), (QJsonObject{{"date", "2026-12-09"},
                                               {"time", "07:31"},
                                               {"row", 2},
                                               {"x", 170},
                                               {"reference", true},
                                               {"marker", true}}));

    const QJsonArray fortnightly = occurrencesOf(current, 1).value();
    ASSERT_EQ(fortnightly.size(), 1);
    EXPECT_EQ(fortnightly[0].toObject().value("date").toString(), ThisMonday);
    EXPECT_FALSE(fortnightly[0].toObject().value("reference").toBool());
    EXPECT_TRUE(fortnightly[0].toObject().value("marker").toBool());

    EXPECT_EQ(dates(occurrencesOf(current, 2).value()),
              (QStringList{"2026-12-07", "2026-12-08", "2026-12-09", "2026-12-10", "2026-12-11",
                           "2026-12-12", "2026-12-13"}));

    // The next week: the once line and the fortnightly one are still listed, without occurrences.
    const QJsonObject next = week(NextMonday);
    EXPECT_TRUE(occurrencesOf(next, 0).value().isEmpty());
    EXPECT_TRUE(occurrencesOf(next, 1).value().isEmpty());
    EXPECT_EQ(occurrencesOf(next, 2).value().size(), 7);
}

TEST_F(CliWeekTest, YearsAfter2029AreReadAsTheyWereMeantWhateverTheDateGivenAsNow)
{
    table.Lines[0] = Line(QDate(2030, 6, 15), 12, 0, clock::Continue, clock::Once, 0);
    table.Lines[1] = Line(QDate(2030, 3, 5), 7, 30, clock::Continue, clock::Weeks, 1); // Tuesday
    const QString file = writeClockFile("2030.clk", table);

    for (const QString now : {"2026-12-09T10:00", "2029-12-31T23:58", "2030-03-06T10:00"}) {
        const CliRun check = run({"check", file, "--now", now});
        EXPECT_EQ(check.exitCode, 0) << now.toStdString() << check.out.constData();

        const CliRun agenda = run(
            {"agenda", file, "--from", "2030-06-14", "--to", "2030-06-15", "--now", now, "--json"});
        ASSERT_EQ(agenda.exitCode, 0) << agenda.err.constData();
        QStringList firings;
        for (const QJsonValue firing : agenda.json().value("firings").toArray())
            firings << firing.toObject().value("date").toString() + ' ' +
                           firing.toObject().value("time").toString();
        EXPECT_EQ(firings, (QStringList{"2030-06-15 12:00"})) << now.toStdString();

        const CliRun shown = run({"week", file, "--monday", "2030-03-11", "--now", now, "--json"});
        ASSERT_EQ(shown.exitCode, 0) << shown.err.constData();
        EXPECT_EQ(dates(occurrencesOf(shown.json(), 1).value()), QStringList{"2030-03-12"})
            << now.toStdString();
    }
}

TEST_F(CliWeekTest, MinuteRepetitionsAreMarkedUpToTheLimitAndHitTestedBeyond)
{
    table.Lines[3] = Line(QDate(2026, 12, 7), 0, 0, clock::Continue, clock::Minutes, 10);
    const QJsonArray occurrences = occurrencesOf(week(ThisMonday), 3).value();

    // The reference, then 250 steps inside the week; markers for the reference and 25 steps.
    ASSERT_EQ(occurrences.size(), 251);
    EXPECT_TRUE(occurrences[0].toObject().value("reference").toBool());
    EXPECT_EQ(occurrences[0].toObject().value("time").toString(), "00:00");
    int markers = 0;
    for (const QJsonValue occurrence : occurrences)
        markers += occurrence.toObject().value("marker").toBool() ? 1 : 0;
    EXPECT_EQ(markers, 1 + 25);
    EXPECT_TRUE(occurrences[25].toObject().value("marker").toBool());
    // The walk's x keeps its fraction: 00:10 lies a third of the way into a unit.
    EXPECT_DOUBLE_EQ(occurrences[1].toObject().value("x").toDouble(), 20 + 10 / 3.0);
    EXPECT_EQ(occurrences[250].toObject().value("date").toString(), "2026-12-08");
    EXPECT_EQ(occurrences[250].toObject().value("time").toString(), "17:40");
}

TEST_F(CliWeekTest, WorkdaysComeFromTheProjectOrAreMondayToFriday)
{
    table.Lines[4] = Line(QDate(2026, 1, 1), 6, 45, clock::Workday, clock::Once, 0);
    table.Lines[5] = Line(QDate(2026, 1, 1), 9, 0, clock::Weekend, clock::Once, 0);

    const QJsonObject plain = week(ThisMonday);
    EXPECT_EQ(dates(occurrencesOf(plain, 4).value()),
              (QStringList{"2026-12-07", "2026-12-08", "2026-12-09", "2026-12-10", "2026-12-11"}));
    EXPECT_EQ(dates(occurrencesOf(plain, 5).value()), (QStringList{"2026-12-12", "2026-12-13"}));

    // A shop open Monday to Thursday and on Saturday.
    auto model = emptyProject(3);
    const std::array<quint8, 7> flags{1, 1, 1, 1, 0, 1, 0};
    for (int day = 0; day < 7; ++day)
        model->System.Options[project::SystemOption::FirstWorkday + day] = flags[day];
    const QString project = writeProject("shop.nbt", *model);
    const QJsonObject shop = week(ThisMonday, {"--project", project});
    EXPECT_EQ(dates(occurrencesOf(shop, 4).value()),
              (QStringList{"2026-12-07", "2026-12-08", "2026-12-09", "2026-12-10", "2026-12-12"}));
    EXPECT_EQ(dates(occurrencesOf(shop, 5).value()), (QStringList{"2026-12-11", "2026-12-13"}));

    // Their reference date is kept at the Sunday before the current week: the week before shows
    // only that reference, unfiltered, and nothing of the series.
    const QJsonArray earlier = occurrencesOf(week("2026-11-30"), 4).value();
    ASSERT_EQ(earlier.size(), 1);
    EXPECT_EQ(earlier[0].toObject().value("date").toString(), "2026-12-06");
    EXPECT_TRUE(earlier[0].toObject().value("reference").toBool());
}

} // namespace
} // namespace quintara::testing
