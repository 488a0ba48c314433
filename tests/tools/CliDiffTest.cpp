#include "tests/tools/CliFixture.h"

#include <QJsonArray>

namespace quintara::testing {
namespace {

using clock::ClockTable;

class CliDiffTest : public CliTest {
protected:
    CliDiffTest()
    {
        a.ClockFileVersion = 1;
        a.Lines[0] = Line(QDate(2026, 12, 7), 7, 30, clock::Continue, clock::Days, 1, 1, 1);
        a.Lines[4] = Line(QDate(2026, 12, 7), 22, 0, clock::Workday, clock::Days, 1, 2, 1, 127);
        a.Lines[9] = Line(QDate(2026, 12, 9), 6, 0, clock::Continue, clock::Once, 0, 1, 2);
    }

    ClockTable a;
};

TEST_F(CliDiffTest, TheLinesThatDifferFieldByFieldWithTheirExitStatus)
{
    ClockTable b = a;
    // Chain bytes differ after every send; they are no difference.
    b.Lines[0].NextLine = 254;
    const QString fileA = writeClockFile("a.clk", a);
    const CliRun same = run({"diff", fileA, writeClockFile("same.clk", b), "--json"});
    EXPECT_EQ(same.exitCode, 0) << same.err.constData();
    EXPECT_TRUE(same.json().value("equal").toBool());

    b.Lines[4].Level = 255;
    b.Lines[4].Hour = 21;
    b.Lines[9].FunctionType = 0;
    b.Lines[12] = Line(QDate(2026, 12, 8), 12, 0, clock::Special, clock::Weeks, 1, 1, 3);
    // Three days on: the same daily firings, a difference only while dates count.
    clock::SetReferenceDate(b.Lines[0], QDate(2026, 12, 10));
    const QString fileB = writeClockFile("b.clk", b);

    const CliRun json = run({"diff", fileA, fileB, "--json", "--project", demoProject()});
    EXPECT_EQ(json.exitCode, 3) << json.err.constData();
    const QJsonObject document = json.json();
    EXPECT_EQ(document.value("a").toString(), fileA);
    EXPECT_FALSE(document.contains("models"));
    const QJsonArray differences = document.value("differences").toArray();
    ASSERT_EQ(differences.size(), 4);
    QStringList kinds;
    for (const QJsonValue &d : differences)
        kinds << QStringLiteral("%1:%2").arg(d["line"].toInt()).arg(d["kind"].toString());
    EXPECT_EQ(kinds, (QStringList{"0:changed", "4:changed", "9:onlyInA", "12:onlyInB"}));
    const QJsonObject changed = differences[1].toObject();
    EXPECT_EQ(changed["fields"].toArray(),
              (QJsonArray{QJsonObject{{"field", "hour"}, {"a", 22}, {"b", 21}},
                          QJsonObject{{"field", "level"}, {"a", 127}, {"b", 255}}}));
    // Each side's line as show has it, texts included with a project.
    EXPECT_EQ(changed["a"]["levelText"].toString(), "50 %");
    EXPECT_EQ(changed["b"]["levelText"].toString(), "100 %");

    const CliRun ignoring = run({"diff", fileA, fileB, "--ignore-dates", "--json"});
    EXPECT_EQ(ignoring.exitCode, 3);
    EXPECT_EQ(ignoring.json().value("differences").toArray().size(), 3);

    const CliRun text = run({"diff", fileA, fileB});
    EXPECT_EQ(text.exitCode, 3);
    EXPECT_TRUE(text.out.contains(": 4 lines differ\n")) << text.out.constData();
    EXPECT_TRUE(text.out.contains("line 0: day 7 -> 10\n")) << text.out.constData();
    EXPECT_TRUE(text.out.contains("line 4: hour 22 -> 21, level 127 -> 255\n"));
    EXPECT_TRUE(text.out.contains("line 9: only in " + fileA.toUtf8() + "\n"));

    // Another model is a difference of its own.
    ClockTable c = a;
    c.ModelIndex = 3;
    const CliRun model = run({"diff", fileA, writeClockFile("c.clk", c), "--json"});
    EXPECT_EQ(model.exitCode, 3);
    EXPECT_EQ(model.json().value("models").toObject(), (QJsonObject{{"a", 0}, {"b", 3}}));

    const CliRun foreign = run({"diff", fileA, writeFile("x.clk", "not a clock file")});
    EXPECT_EQ(foreign.exitCode, 1);
    // The message names the file it means.
    EXPECT_TRUE(foreign.err.contains("x.clk: NO QBN Clock file!")) << foreign.err.constData();
    EXPECT_EQ(run({"diff", fileA}).exitCode, 2);
}

TEST_F(CliDiffTest, ShowAsCsvHasShowsColumnsOneRowPerLineAndAByteOrderMark)
{
    const QString file = writeClockFile("a.clk", a);
    const CliRun csv = run({"show", file, "--csv", "--project", demoProject()});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.constData();
    ASSERT_TRUE(csv.out.startsWith("\xEF\xBB\xBF"));
    const QStringList rows = QString::fromUtf8(csv.out.mid(3)).split("\r\n");
    ASSERT_EQ(rows.size(), 5); // header, three lines, and nothing after the last CR LF
    EXPECT_EQ(rows[0], "index,minute,hour,day,month,year,table,repeatUnit,repeatCount,"
                       "functionType,functionNumber,level,nextLine,firstLine,function,levelText");
    EXPECT_EQ(rows[1], "0,30,7,7,12,26,0,3,1,1,1,255,0,0,REL  01 Kitchen ceiling,On");
    EXPECT_EQ(rows[2].section(',', -1), "50 %");
    EXPECT_TRUE(rows[4].isEmpty());
    EXPECT_EQ(run({"show", file, "--csv", "--json"}).exitCode, 2);
}

} // namespace
} // namespace quintara::testing
