#include "tests/tools/CliFixture.h"

#include <QJsonArray>

namespace quintara::testing {
namespace {

using clock::ClockTable;

const QString Now = "2026-12-09T10:00";

class CliCheckTest : public CliTest {
protected:
    CliCheckTest()
    {
        table.ClockFileVersion = 1;
        table.ModelIndex = 3; // 50 usable lines
    }

    QString file() { return writeClockFile("check.clk", table); }

    ClockTable table;
};

TEST_F(CliCheckTest, ProblemsByLineThenKindWithConflictsUnderTheLowerLine)
{
    table.Lines[0] = Line(QDate(2026, 12, 8), 7, 0, clock::Continue, clock::Once, 0);
    table.Lines[2] = Line(QDate(2026, 12, 1), 6, 0, clock::Continue, clock::Days, 1, 1, 4, 0);
    table.Lines[1] = Line(QDate(2026, 12, 2), 6, 0, clock::Continue, clock::Days, 1, 1, 4, 255);
    table.Lines[1].Hour = 30;
    table.Lines[3] = Line(QDate(2026, 12, 7), 6, 0, clock::Special, clock::Weeks, 1, 1, 4, 255);
    table.Lines[60] = Line(QDate(2026, 12, 8), 7, 0, clock::Continue, clock::Once, 0);

    const CliRun result = run({"check", file(), "--now", Now, "--json"});
    EXPECT_EQ(result.exitCode, 3) << result.err.constData();
    EXPECT_TRUE(result.err.isEmpty()) << result.err.constData();
    EXPECT_TRUE(result.out.startsWith(R"({"problems":[{"line":0,"kind":"past","text":")"));
    const QJsonArray problems = result.json().value("problems").toArray();
    ASSERT_EQ(problems.size(), 4);
    EXPECT_EQ(problems[0].toObject(),
              (QJsonObject{{"line", 0},
                           {"kind", "past"},
                           {"text", "Line 0 fires once, at 2026-12-08 07:00, which has passed; "
                                    "Transmit will remove it"}}));
    EXPECT_EQ(problems[1].toObject().value("kind"), "invalidTime");
    // Every Monday at 06:00 against every day at 06:00: first next Monday.
    const QJsonObject conflict = problems[2].toObject();
    EXPECT_EQ(conflict.value("line").toInt(), 2);
    EXPECT_EQ(conflict.value("kind"), "conflict");
    EXPECT_EQ(conflict.value("other").toInt(), 3);
    EXPECT_EQ(conflict.value("at"), "2026-12-14T06:00");
    EXPECT_EQ(problems[3].toObject().value("kind"), "beyondModel");
    EXPECT_EQ(problems[3].toObject().value("line").toInt(), 60);

    // For people: one line a problem, in the language asked for.
    const CliRun text = run({"check", file(), "--now", Now, "--language", "1"});
    EXPECT_EQ(text.exitCode, 3);
    const QStringList lines = QString::fromUtf8(text.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("Regel 0 ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[2].startsWith("Regels 2 en 3 ")) << lines[2].toStdString();
}

TEST_F(CliCheckTest, ACleanTableSaysSoAndFunctionsAreCheckedAgainstTheProject)
{
    table.Lines[0] = Line(QDate(2026, 12, 10), 7, 0, clock::Continue, clock::Once, 0);
    const CliRun clean = run({"check", file(), "--now", Now, "--json"});
    EXPECT_EQ(clean.exitCode, 0) << clean.err.constData();
    EXPECT_EQ(clean.json(), (QJsonObject{{"problems", QJsonArray{}}}));
    const CliRun cleanText = run({"check", file(), "--now", Now});
    EXPECT_EQ(cleanText.exitCode, 0);
    EXPECT_EQ(cleanText.out, "No problems found: every line will work as intended.\n");

    // The demo house has no relay 250; the clock file's model stays in force.
    table.Lines[1] = Line(QDate(2026, 12, 10), 8, 0, clock::Continue, clock::Once, 0, 1, 250);
    const CliRun unknown =
        run({"check", file(), "--project", demoProject(), "--now", Now, "--json"});
    EXPECT_EQ(unknown.exitCode, 3) << unknown.err.constData();
    const QJsonArray problems = unknown.json().value("problems").toArray();
    ASSERT_EQ(problems.size(), 1);
    EXPECT_EQ(problems[0].toObject().value("line").toInt(), 1);
    EXPECT_EQ(problems[0].toObject().value("kind"), "unknownFunction");
}

} // namespace
} // namespace quintara::testing
