#include "tests/tools/CliFixture.h"

#include <QJsonArray>

namespace quintara::testing {
namespace {

using clock::ClockTable;

const QString Now = "2026-12-09T10:00";

class CliAgendaTest : public CliTest {
protected:
    CliAgendaTest()
    {
        table.ClockFileVersion = 1;
        table.ModelIndex = 3; // 50 usable lines
        // Every six hours from midnight; every day at 06:00 in the Special table; beyond the
        // model, every minute.
        table.Lines[4] = Line(QDate(2026, 12, 1), 0, 0, clock::Continue, clock::Hours, 6, 1, 2, 0);
        table.Lines[1] = Line(QDate(2026, 12, 1), 6, 0, clock::Special, clock::Days, 1, 2, 3, 127);
        table.Lines[60] = Line(QDate(2026, 12, 1), 0, 0, clock::Continue, clock::Minutes, 1);
    }

    CliRun agenda(const QStringList &extra)
    {
        return run(QStringList{"agenda", writeClockFile("agenda.clk", table), "--from",
                               "2026-12-10", "--to", "2026-12-11", "--now", Now} +
                   extra);
    }

    static QStringList times(const QJsonArray &firings)
    {
        QStringList result;
        for (const QJsonValue firing : firings) {
            const QJsonObject object = firing.toObject();
            result << object.value("date").toString().mid(8) + ' ' +
                          object.value("time").toString() + ' ' +
                          QString::number(object.value("line").toInt());
        }
        return result;
    }

    ClockTable table;
};

TEST_F(CliAgendaTest, FiringsInTimeOrderWithTheirLinesAndFilters)
{
    const CliRun result = agenda({"--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_TRUE(result.err.isEmpty());
    EXPECT_TRUE(result.out.startsWith(
        R"({"from":"2026-12-10","to":"2026-12-11","truncated":false,"firings":[{"date":)"));
    const QJsonObject document = result.json();
    EXPECT_EQ(document.value("from"), "2026-12-10");
    EXPECT_EQ(document.value("to"), "2026-12-11");
    EXPECT_EQ(document.value("truncated"), false);
    const QJsonArray firings = document.value("firings").toArray();
    EXPECT_EQ(times(firings),
              (QStringList{"10 00:00 4", "10 06:00 1", "10 06:00 4", "10 12:00 4", "10 18:00 4",
                           "11 00:00 4", "11 06:00 1", "11 06:00 4", "11 12:00 4", "11 18:00 4"}));
    EXPECT_EQ(firings[1].toObject(), (QJsonObject{{"date", "2026-12-10"},
                                                  {"time", "06:00"},
                                                  {"line", 1},
                                                  {"table", 4},
                                                  {"functionType", 2},
                                                  {"functionNumber", 3},
                                                  {"level", 127}}));

    EXPECT_EQ(agenda({"--json", "--table", "4"}).json().value("firings").toArray().size(), 2);
    EXPECT_EQ(agenda({"--json", "--function", "1:2"}).json().value("firings").toArray().size(), 8);

    // For people: a heading, then one firing a line.
    const QStringList text = QString::fromUtf8(agenda({}).out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(text.size(), 11);
    EXPECT_EQ(text[0], "Firings from 2026-12-10 00:00 through 2026-12-11 23:59");
    EXPECT_EQ(text[2], "2026-12-10 06:00  line  1  table 4  function 2:3  level 127");
}

TEST_F(CliAgendaTest, CsvHasAByteOrderMarkAHeaderAndTheProjectsTexts)
{
    const CliRun result = agenda({"--csv", "--project", demoProject()});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    ASSERT_TRUE(result.out.startsWith("\xEF\xBB\xBF"));
    const QStringList rows = QString::fromUtf8(result.out.mid(3)).split("\r\n");
    ASSERT_EQ(rows.size(), 12); // header, ten firings, nothing after the last CR LF
    EXPECT_EQ(rows[0], "date,time,line,table,functionType,functionNumber,level,function,levelText");
    EXPECT_TRUE(rows[1].startsWith("2026-12-10,00:00,4,0,1,2,0,")) << rows[1].toStdString();
    EXPECT_EQ(rows[1].count(','), 8) << "texts without commas stay unquoted";
    EXPECT_TRUE(rows[11].isEmpty());

    const CliRun json = agenda({"--json", "--project", demoProject()});
    const QJsonObject first = json.json().value("firings").toArray().first().toObject();
    EXPECT_FALSE(first.value("function").toString().isEmpty());
    EXPECT_FALSE(first.value("levelText").toString().isEmpty());
}

TEST_F(CliAgendaTest, AYearOfMinutesStopsAtTheCapAndSaysSo)
{
    table.Lines[0] = Line(QDate(2026, 12, 1), 0, 0, clock::Continue, clock::Minutes, 1);
    const QStringList arguments{"agenda", writeClockFile("minutes.clk", table),
                                "--from", "2026-12-10",
                                "--to",   "2027-12-09",
                                "--now",  Now};
    const CliRun result = run(arguments + QStringList{"--json"});
    EXPECT_EQ(result.exitCode, 3) << result.err.constData();
    EXPECT_TRUE(result.err.contains("100000")) << result.err.constData();
    const QJsonObject document = result.json();
    EXPECT_EQ(document.value("truncated"), true);
    EXPECT_EQ(document.value("firings").toArray().size(), 100000);

    // The text form's last line tells a reader that the list was cut; CSV keeps to rows of
    // firings and has the status.
    const CliRun text = run(arguments);
    EXPECT_EQ(text.exitCode, 3);
    const QList<QByteArray> lines = text.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 100002);
    EXPECT_EQ(lines.last(),
              "The agenda stops here, after 100000 firings: there are more in the range.");
    const CliRun csv = run(arguments + QStringList{"--csv"});
    EXPECT_EQ(csv.exitCode, 3);
    EXPECT_EQ(csv.out.count("\r\n"), 100001);

    // A day of it is whole.
    const CliRun whole = run({"agenda", writeClockFile("minutes.clk", table), "--from",
                              "2026-12-10", "--to", "2026-12-10", "--now", Now});
    EXPECT_EQ(whole.exitCode, 0);
    EXPECT_FALSE(whole.out.contains("stops here"));
}

} // namespace
} // namespace quintara::testing
