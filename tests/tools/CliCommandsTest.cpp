#include "tests/tools/CliFixture.h"

#include "presentation/FunctionPresenter.h"
#include "project/ProjectFileReader.h"
#include "settings/NameTables.h"
#include "settings/Settings.h"
#include "tables/TableCompiler.h"
#include "tables/TableSet.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace quintara::testing {
namespace {

using namespace clock;

const QString Now = "2026-12-09T10:00"; // a Wednesday; its week begins on Monday the 7th

// The value at a path such as "lines/2/year" of a JSON document; "*" maps the rest of the path
// over an array's elements and "#" is an array's length.
QJsonValue At(const QJsonValue &value, QStringList path)
{
    if (path.isEmpty())
        return value;
    const QString key = path.takeFirst();
    if (key == u'#')
        return value.toArray().size();
    if (key == u'*') {
        QJsonArray all;
        for (const QJsonValue element : value.toArray())
            all.append(At(element, path));
        return all;
    }
    bool isIndex = false;
    const int index = key.toInt(&isIndex);
    return At(isIndex ? value.toArray().at(index) : value.toObject().value(key), path);
}

struct Case {
    QStringList arguments;
    int status = 0;
    QList<QByteArray> out = {};                      // pieces of the standard output
    QList<std::pair<QString, QJsonValue>> json = {}; // values of the standard output's JSON
    QByteArray err = {}; // a piece of the error output; without it, errors only where failing
    QString program = QUINTARA_CLI;
};

class CliCommandsTest : public CliTest {
protected:
    CliCommandsTest()
    {
        // A line beyond the model, a chain byte set and a free line with leftover bytes.
        ClockTable table = Table({{0, Line(QDate(2026, 12, 9), 7, 30, Continue, Once, 0, 1, 1)},
                                  {4, Line(QDate(2026, 3, 1), 22, 0, Workday, Days, 2, 2, 1, 127)},
                                  {60, Line(QDate(2027, 1, 1), 0, 5, Special, Hours, 3, 1, 2, 0)}});
        table.Lines[0].NextLine = 7;
        table.Lines[5].Hour = 9;
        sample = writeClockFile("sample.clk", table);
        // Every six hours from midnight; daily at 06:00 in the Special table; beyond the model,
        // every minute; then also every minute within it.
        table = Table({{4, Line(QDate(2026, 12, 1), 0, 0, Continue, Hours, 6, 1, 2, 0)},
                       {1, Line(QDate(2026, 12, 1), 6, 0, Special, Days, 1, 2, 3, 127)},
                       {60, Line(QDate(2026, 12, 1), 0, 0, Continue, Minutes, 1)}});
        agenda = writeClockFile("agenda.clk", table);
        table.Lines[0] = Line(QDate(2026, 12, 1), 0, 0, Continue, Minutes, 1);
        minutes = writeClockFile("minutes.clk", table);
        // Past, an invalid time, every Monday against every day at 06:00, beyond the model.
        problems = writeClockFile(
            "problems.clk", Table({{0, Line(QDate(2026, 12, 8), 7, 0, Continue, Once, 0)},
                                   {1, Line(QDate(2026, 12, 2), 30, 0, Continue, Days, 1, 1, 4)},
                                   {2, Line(QDate(2026, 12, 1), 6, 0, Continue, Days, 1, 1, 4, 0)},
                                   {3, Line(QDate(2026, 12, 7), 6, 0, Special, Weeks, 1, 1, 4)},
                                   {60, Line(QDate(2026, 12, 8), 7, 0, Continue, Once, 0)}}));
        table = Table({{0, Line(QDate(2026, 12, 10), 7, 0, Continue, Once, 0)}});
        clean = writeClockFile("clean.clk", table);
        table.Lines[1] = Line(QDate(2026, 12, 10), 8, 0, Continue, Once, 0, 1, 250);
        unknownRelay = writeClockFile("relay250.clk", table); // the demo house has no relay 250
        // Once on Wednesday at 07:31; fortnightly from two weeks before the current Monday;
        // daily from a date after it (kept current, it is moved back first); beyond the model.
        week = writeClockFile("week.clk",
                              Table({{0, Line(QDate(2026, 12, 9), 7, 31, Continue, Once, 0)},
                                     {1, Line(QDate(2026, 11, 23), 6, 0, Continue, Weeks, 2)},
                                     {2, Line(QDate(2026, 12, 20), 8, 0, Continue, Days, 1)},
                                     {60, Line(QDate(2026, 12, 9), 9, 0, Continue, Once, 0)}}));
        tenMinutes = writeClockFile(
            "ten.clk", Table({{3, Line(QDate(2026, 12, 7), 0, 0, Continue, Minutes, 10)}}));
        workdays = writeClockFile("workdays.clk",
                                  Table({{4, Line(QDate(2026, 1, 1), 6, 45, Workday, Once, 0)},
                                         {5, Line(QDate(2026, 1, 1), 9, 0, Weekend, Once, 0)}}));
        // A shop open Monday to Thursday and on Saturday.
        auto model = emptyProject(3);
        const std::array<quint8, 7> flags{1, 1, 1, 1, 0, 1, 0};
        for (int day = 0; day < 7; ++day)
            model->System.Options[project::SystemOption::FirstWorkday + day] = flags[day];
        shop = writeProject("shop.nbt", *model);
    }

    // A table of a model with 50 usable lines.
    static ClockTable Table(const QList<std::pair<int, ClockLine>> &lines)
    {
        ClockTable table;
        table.ClockFileVersion = 1;
        table.ModelIndex = 3;
        for (const auto &[index, line] : lines)
            table.Lines[std::size_t(index)] = line;
        return table;
    }

    void expect(const Case &c) const
    {
        const CliRun result = runProgram(c.program, c.arguments);
        const std::string command = c.arguments.join(u' ').toStdString();
        EXPECT_EQ(result.exitCode, c.status) << command << '\n' << result.err.constData();
        // Errors are said where a command fails, and only there unless a case names one.
        const bool quiet = c.err.isEmpty() && (c.status == 0 || c.status == 3);
        EXPECT_EQ(result.err.isEmpty(), quiet) << command << '\n' << result.err.constData();
        EXPECT_TRUE(result.err.contains(c.err)) << command << '\n' << result.err.constData();
        EXPECT_TRUE(result.out.isEmpty() || c.status == 0 || c.status == 3) << command;
        for (const QByteArray &piece : c.out)
            EXPECT_TRUE(result.out.contains(piece)) << command << " prints no " << piece.data();
        const QJsonObject document = c.json.isEmpty() ? QJsonObject() : result.json();
        for (const auto &[path, value] : c.json)
            EXPECT_EQ(At(document, path.split(u'/')), value) << command << ": " << qPrintable(path);
        // Output that cannot be written fails the command.
        if (result.exitCode != 1 && !result.out.isEmpty() && c.program == QUINTARA_CLI &&
            c.arguments.first() != "print") {
            const CliRun full = runProgram(QUINTARA_CLI, c.arguments, "/dev/full");
            EXPECT_EQ(full.exitCode, 1) << command;
            EXPECT_TRUE(
                full.err.contains("cannot write to standard output: No space left on device"))
                << command << ": " << full.err.constData();
        }
    }

    QString sample, agenda, minutes, problems, clean, unknownRelay, week, tenMinutes, workdays,
        shop;
};

TEST_F(CliCommandsTest, EachCommandPrintsItsResultAndStatus)
{
    const QStringList days{"--from", "2026-12-10", "--to", "2026-12-11", "--now", Now};
    const QStringList minutesYear{"agenda", minutes,      "--from", "2026-12-10",
                                  "--to",   "2027-12-09", "--now",  Now};
    const QJsonArray workWeek{"2026-12-07", "2026-12-08", "2026-12-09", "2026-12-10", "2026-12-11"};
    QJsonArray week7 = workWeek, markers;
    week7 << "2026-12-12"
          << "2026-12-13";
    for (int i = 0; i <= 250; ++i)
        markers.append(i <= 25);
    // clang-format off
    const Case cases[] = {
        // Every line in use with all thirteen stored bytes under their names.
        {{"show", sample, "--json"}, 0, {}, {{"version", 1}, {"model", 3}, {"lines/#", 3},
            {"lines/0", QJsonObject{{"index", 0}, {"minute", 30}, {"hour", 7}, {"day", 9},
                {"month", 12}, {"year", 26}, {"table", 0}, {"repeatUnit", 0}, {"repeatCount", 0},
                {"functionType", 1}, {"functionNumber", 1}, {"level", 255}, {"nextLine", 7},
                {"firstLine", 0}}},
            {"lines/*/index", QJsonArray{0, 4, 60}}, {"lines/2/year", 27}}},
        // With a project, its texts; another language than the project's own when asked.
        {{"show", sample, "--project", demoProject(), "--json"}, 0, {},
            {{"lines/0/function", "REL  01 Kitchen ceiling"},
             {"lines/1/function", "DIM  01 Living room spots"},
             {"lines/*/levelText", QJsonArray{"On", "50 %", "Off"}}}},
        {{"show", sample, "--project", demoProject(), "--language", "1", "--json"}, 0, {},
            {{"lines/0/levelText", "Aan"}}},
        {{"show", sample, "--project", demoProject()}, 0, {"REL  01 Kitchen ceiling  On", "\n  60*"}},
        {{"show", clean, "--csv", "--project", demoProject()}, 0,
            {"\xEF\xBB\xBFindex,minute,hour,day,month,year,table,repeatUnit,repeatCount,functionType,"
             "functionNumber,level,nextLine,firstLine,function,levelText\r\n"
             "0,0,7,10,12,26,0,0,0,1,1,255,0,0,REL  01 Kitchen ceiling,On\r\n"}},

        // Firings in time order, lower line first within a minute, filtered by table or function.
        {QStringList{"agenda", agenda, "--json"} + days, 0,
            {R"({"from":"2026-12-10","to":"2026-12-11","truncated":false,"firings":[{"date":)"},
            {{"firings/*/time", QJsonArray{"00:00", "06:00", "06:00", "12:00", "18:00", "00:00",
                                           "06:00", "06:00", "12:00", "18:00"}},
             {"firings/*/line", QJsonArray{4, 1, 4, 4, 4, 4, 1, 4, 4, 4}},
             {"firings/1", QJsonObject{{"date", "2026-12-10"}, {"time", "06:00"}, {"line", 1},
                 {"table", 4}, {"functionType", 2}, {"functionNumber", 3}, {"level", 127}}}}},
        {QStringList{"agenda", agenda, "--json", "--table", "4"} + days, 0, {}, {{"firings/#", 2}}},
        {QStringList{"agenda", agenda, "--json", "--function", "1:2"} + days, 0, {}, {{"firings/#", 8}}},
        {QStringList{"agenda", agenda} + days, 0,
            {"Firings from 2026-12-10 00:00 through 2026-12-11 23:59\n",
             "\n2026-12-10 06:00  line  1  table 4  function 2:3  level 127\n"}},
        {QStringList{"agenda", agenda, "--json", "--project", demoProject()} + days, 0,
            {R"("function":"REL  02 )", R"("levelText":"Off")"}},
        // CSV: a byte order mark, a header, texts without commas unquoted, CR LF after each row.
        {QStringList{"agenda", agenda, "--csv", "--project", demoProject()} + days, 0,
            {"\xEF\xBB\xBF" "date,time,line,table,functionType,functionNumber,level,function,levelText\r\n"
             "2026-12-10,00:00,4,0,1,2,0,"}},
        // A year of minutes stops at the cap and says so; a day of it is whole.
        {minutesYear + QStringList{"--json"}, 3, {R"("truncated":true)"}, {{"firings/#", 100000}}, "100000"},
        {minutesYear, 3,
            {"\nThe agenda stops here, after 100000 firings: there are more in the range.\n"}, {}, "100000"},
        {minutesYear + QStringList{"--csv"}, 3, {}, {}, "100000"},
        {{"agenda", minutes, "--from", "2026-12-10", "--to", "2026-12-10", "--now", Now}, 0},

        // Problems by line then kind, conflicts under the lower line, in the language asked for.
        {{"check", problems, "--now", Now, "--json"}, 3,
            {R"({"problems":[{"line":0,"kind":"past","text":")"},
            {{"problems/0/text", "Line 0 fires once, at 2026-12-08 07:00, which has passed; "
                                 "Transmit will remove it"},
             {"problems/*/kind", QJsonArray{"past", "invalidTime", "conflict", "beyondModel"}},
             {"problems/*/line", QJsonArray{0, 1, 2, 60}},
             {"problems/2/other", 3}, {"problems/2/at", "2026-12-14T06:00"}}},
        {{"check", problems, "--now", Now, "--language", "1"}, 3, {"Regel 0 ", "\nRegels 2 en 3 "}},
        {{"check", clean, "--now", Now, "--json"}, 0, {}, {{"problems", QJsonArray{}}}},
        {{"check", clean, "--now", Now}, 0, {"No problems found: every line will work as intended.\n"}},
        // The clock file's model stays in force beside the project's.
        {{"check", unknownRelay, "--project", demoProject(), "--now", Now, "--json"}, 3, {},
            {{"problems/*/kind", QJsonArray{"unknownFunction"}}, {"problems/0/line", 1}}},

        // Reference and walk occurrences of the chosen week; a rounded reference marker.
        {{"week", week, "--monday", "2026-12-07", "--now", Now, "--json"}, 0, {},
            {{"monday", "2026-12-07"}, {"lines/*/index", QJsonArray{0, 1, 2}},
             {"lines/0/occurrences", QJsonArray{QJsonObject{{"date", "2026-12-09"},
                 {"time", "07:31"}, {"row", 2}, {"x", 170}, {"reference", true}, {"marker", true}}}},
             {"lines/1/occurrences/*/date", QJsonArray{"2026-12-07"}},
             {"lines/1/occurrences/0/reference", false},
             {"lines/2/occurrences/*/date", week7}}},
        // The next week lists the once and the fortnightly line without occurrences.
        {{"week", week, "--monday", "2026-12-14", "--now", Now, "--json"}, 0, {},
            {{"lines/*/occurrences/#", QJsonArray{0, 0, 7}}}},
        // Minutes: the reference, then 250 steps marked up to 25; x keeps its fraction.
        {{"week", tenMinutes, "--monday", "2026-12-07", "--now", Now, "--json"}, 0, {},
            {{"lines/0/occurrences/#", 251}, {"lines/0/occurrences/0/reference", true},
             {"lines/0/occurrences/0/time", "00:00"}, {"lines/0/occurrences/1/x", 20 + 10 / 3.0},
             {"lines/0/occurrences/*/marker", markers},
             {"lines/0/occurrences/250/date", "2026-12-08"},
             {"lines/0/occurrences/250/time", "17:40"}}},
        // Workdays are Monday to Friday, or the project's.
        {{"week", workdays, "--monday", "2026-12-07", "--now", Now, "--json"}, 0, {},
            {{"lines/0/occurrences/*/date", workWeek},
             {"lines/1/occurrences/*/date", QJsonArray{"2026-12-12", "2026-12-13"}}}},
        {{"week", workdays, "--monday", "2026-12-07", "--now", Now, "--json", "--project", shop}, 0, {},
            {{"lines/0/occurrences/*/date",
              QJsonArray{"2026-12-07", "2026-12-08", "2026-12-09", "2026-12-10", "2026-12-12"}},
             {"lines/1/occurrences/*/date", QJsonArray{"2026-12-11", "2026-12-13"}}}},
        // Their reference is kept at the Sunday before the current week: the week before shows
        // only that, unfiltered.
        {{"week", workdays, "--monday", "2026-11-30", "--now", Now, "--json"}, 0, {},
            {{"lines/0/occurrences/*/date", QJsonArray{"2026-12-06"}},
             {"lines/0/occurrences/0/reference", true}}},
    };
    // clang-format on
    for (const Case &c : cases)
        expect(c);
}

TEST_F(CliCommandsTest, DiffTellsTheLinesThatDifferFieldByField)
{
    ClockTable a;
    a.ClockFileVersion = 1;
    a.Lines[0] = Line(QDate(2026, 12, 7), 7, 30, Continue, Days, 1, 1, 1);
    a.Lines[4] = Line(QDate(2026, 12, 7), 22, 0, Workday, Days, 1, 2, 1, 127);
    a.Lines[9] = Line(QDate(2026, 12, 9), 6, 0, Continue, Once, 0, 1, 2);
    ClockTable b = a;
    b.Lines[0].NextLine = 254; // chain bytes differ after every send; they are no difference
    const QString fileA = writeClockFile("a.clk", a);
    const QString same = writeClockFile("same.clk", b);
    b.Lines[4].Level = 255;
    b.Lines[4].Hour = 21;
    b.Lines[9].FunctionType = 0;
    b.Lines[12] = Line(QDate(2026, 12, 8), 12, 0, Special, Weeks, 1, 1, 3);
    // Three days on: the same daily firings, a difference only while dates count.
    SetReferenceDate(b.Lines[0], QDate(2026, 12, 10));
    const QString fileB = writeClockFile("b.clk", b);
    ClockTable c = a;
    c.ModelIndex = 3;

    // clang-format off
    const Case cases[] = {
        {{"diff", fileA, same, "--json"}, 0, {}, {{"equal", true}}},
        {{"diff", fileA, fileB, "--json", "--project", demoProject()}, 3, {},
            {{"a", fileA}, {"models", QJsonValue::Undefined},
             {"differences/*/line", QJsonArray{0, 4, 9, 12}},
             {"differences/*/kind", QJsonArray{"changed", "changed", "onlyInA", "onlyInB"}},
             {"differences/1/fields", QJsonArray{QJsonObject{{"field", "hour"}, {"a", 22}, {"b", 21}},
                                                 QJsonObject{{"field", "level"}, {"a", 127}, {"b", 255}}}},
             // Each side's line as show has it, texts included with a project.
             {"differences/1/a/levelText", "50 %"}, {"differences/1/b/levelText", "100 %"}}},
        {{"diff", fileA, fileB, "--ignore-dates", "--json"}, 3, {}, {{"differences/#", 3}}},
        {{"diff", fileA, fileB}, 3, {": 4 lines differ\n", "line 0: day 7 -> 10\n",
            "line 4: hour 22 -> 21, level 127 -> 255\n", "line 9: only in " + fileA.toUtf8() + "\n"}},
        {{"diff", fileA, writeClockFile("c.clk", c), "--json"}, 3, {},
            {{"models", QJsonObject{{"a", 0}, {"b", 3}}}}},
    };
    // clang-format on
    for (const Case &c : cases)
        expect(c);
}

TEST_F(CliCommandsTest, MistakesAndUnreadableOrUnwritableFilesFailWithTheProgramsMessage)
{
    const QString fifo = sample + ".fifo";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString linked = sample + ".link";
    ASSERT_EQ(::link(QFile::encodeName(sample).constData(), QFile::encodeName(linked).constData()),
              0);
    const QString badProject = writeFile("bad.nbt", "nonsense");
    const QString foreign = writeFile("foreign.clk", "K&P<....>");
    const QStringList days{"--from", "2026-12-10", "--to", "2026-12-11"};
    const QByteArray notClock = "foreign.clk: NO QBN Clock file!";
    // clang-format off
    QList<Case> cases{
        {{"show", writeFile("short.clk", "QBN\x01\x03")}, 1, {}, {}, "short.clk: Read error in CLOCK File"},
        {{"show", foreign}, 1, {}, {}, notClock},
        {{"check", foreign}, 1, {}, {}, notClock},
        {{"diff", sample, foreign}, 1, {}, {}, notClock},
        {{"show", "/nonexistent/x.clk", "--json"}, 1, {}, {}, "/nonexistent/x.clk\nNo such file"},
        // A FIFO or a device would block the read or never end it.
        {{"show", fifo}, 1, {}, {}, fifo.toUtf8() + "\nThis is not a regular file."},
        {{"show", "/dev/zero"}, 1, {}, {}, "/dev/zero\nThis is not a regular file."},
        // A project that can't be read stops the command before the clock file.
        {{"show", sample, "--project", badProject}, 1},
        {{"check", sample, "--project", badProject}, 1},
        {QStringList{"agenda", writeFile("tiny.clk", "xx")} + days, 1},
        {{"project", writeFile("foreign.nbt", "QBN and more")}, 1},
        {{"tables", writeFile("foreign.nbt", "QBN and more")}, 1},
        {{"project", "/nonexistent/x.nbt", "--json"}, 1, {}, {}, "/nonexistent/x.nbt"},
        {{"tables", "/nonexistent/x.nbt"}, 1, {}, {}, "/nonexistent/x.nbt"},
        // Where receive cannot write is said before the transfer; nothing is made or replaced.
        {{"receive", "--port", "1", "-o", "/dev/full"}, 1, {}, {}, "quintara-cli: "},
        {{"receive", "--port", "1", "-o", fifo}, 1, {}, {}, "quintara-cli: "},
        {{"receive", "--port", "1", "-o", linked}, 1, {}, {}, "quintara-cli: "},
        {{"receive", "--port", "1", "-o", "/nonexistent/x.clk"}, 1, {}, {}, "quintara-cli: "},
    };
    for (const QStringList &mistake : QList<QStringList>{{}, {"frobnicate", sample},
             {"show", sample, sample}, {"show", sample, "--language", "7"},
             {"show", sample, "--monday", "2026-12-07"}, {"show", sample, "--csv", "--json"},
             {"week", sample, "--monday", "2026-12-08"}, {"check", sample, "--now", "tomorrow"},
             {"check", sample, "--csv"}, {"diff", sample}, {"agenda", sample, "--from", "2026-12-10"},
             {"agenda", sample, "--from", "2026-12-10", "--to", "2026-12-09"},
             QStringList{"agenda", sample, "--json", "--csv"} + days,
             QStringList{"agenda", sample, "--function", "1"} + days,
             {"receive", "--port", "1"}, {"receive", "--port", "1", "-o", ""},
             {"receive", "--port", "1", "-o", "new.clk", "--settings", "/dev/zero"},
             {"send", sample, "--port", "1", "--modem"}})
        cases.append({mistake, 2});
    // clang-format on
    for (const Case &c : cases)
        expect(c);
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    EXPECT_TRUE(QFileInfo(QStringLiteral("/dev/zero")).exists());
}

// The demo's schedule is what a newcomer sees first: it must fit the demo house, function by
// function, and use every day-table.
TEST_F(CliCommandsTest, TheDemoClockFileDrivesOnlyTheDemoHousesFunctions)
{
    const CliRun result = run({"show", demoClockFile(), "--project", demoProject(), "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    const QJsonObject document = result.json();
    EXPECT_EQ(document.value("model").toInt(), 1);
    const QJsonArray lines = document.value("lines").toArray();
    EXPECT_GE(lines.size(), 30);
    EXPECT_LE(lines.size(), 40);
    QSet<int> tables;
    // A function the project lacks reads as its code and number with no name after them.
    const QRegularExpression named(QStringLiteral("^[A-Z]{3}\\s+\\d+\\s+\\S"));
    for (const QJsonValue line : lines) {
        tables.insert(line["table"].toInt());
        EXPECT_TRUE(named.match(line["function"].toString()).hasMatch());
        EXPECT_NE(line["levelText"].toString(), "????");
    }
    EXPECT_EQ(tables, (QSet<int>{Continue, Workday, Weekend, Simulation, Special}));
}

TEST_F(CliCommandsTest, AFileNamedInAnotherCodePageIsRead)
{
    // The shell hands over the name's bytes as they are: "caf\xe9.clk", not UTF-8.
    const QString script = QStringLiteral("name=\"$(dirname \"$1\")/$(printf 'caf\\351.clk')\"; "
                                          "cp \"$1\" \"$name\" && \"$0\" show \"$name\"; "
                                          "status=$?; rm -f \"$name\"; exit $status");
    const CliRun result = runProgram("/bin/sh", {"-c", script, QUINTARA_CLI, sample});
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_TRUE(result.out.contains("   0   30    7    9    12   26")) << result.out.constData();
}

TEST_F(CliCommandsTest, EachCommandsHelpNamesTheFileItReadsAmongItsArguments)
{
    for (const auto &[command, file] : QList<std::pair<QString, QString>>{{"show", "FILE.clk"},
                                                                          {"send", "FILE.clk"},
                                                                          {"diff", "A.clk B.clk"},
                                                                          {"project", "FILE.nbt"},
                                                                          {"tables", "FILE.nbt"}})
        expect({{command, "--help"},
                0,
                {("Arguments:\n  " + command).toUtf8(), ("\n  " + file + ' ').toUtf8()}});
}

TEST_F(CliCommandsTest, PrintWritesTheHandOverWithItsWeekLinesAndAgenda)
{
    ASSERT_FALSE(QStandardPaths::findExecutable("pdftotext").isEmpty())
        << "scripts/deps installs poppler-utils";
    const QString pdf = sample + ".pdf";
    // What a reader of the PDF finds: its page count and its text (ligatures as their letters).
    const auto read = [&](const char *tool, const QStringList &arguments) {
        QProcess process;
        process.start(QStandardPaths::findExecutable(tool), arguments);
        process.waitForFinished(20000);
        return QString::fromUtf8(process.readAllStandardOutput())
            .normalized(QString::NormalizationForm_KC);
    };
    const auto pages = [&] {
        return read("pdfinfo", {pdf}).section("Pages:", 1).section('\n', 0, 0).trimmed().toInt();
    };
    // Mistakes, and a place that cannot be written, write nothing: said before anything is painted.
    // clang-format off
    expect({{"print", demoClockFile()}, 2});
    expect({{"print", demoClockFile(), "-o", pdf, "--agenda-weeks", "60"}, 2});
    expect({{"print", demoClockFile(), "-o", "/dev/null"}, 1});
    expect({{"print", demoClockFile(), "-o", "/no/such/folder/x.pdf"}, 1, {}, {},
            "quintara-cli: The folder of /no/such/folder/x.pdf does not exist\n"});
    // clang-format on
    EXPECT_FALSE(QFile::exists(pdf));

    const QStringList arguments{"print", demoClockFile(),    "--project", demoProject(), "-o", pdf,
                                "--now", "2026-12-09T10:00", "--monday",  "2026-12-07"};
    const CliRun printed = run(arguments);
    ASSERT_EQ(printed.exitCode, 0) << printed.err.constData();
    EXPECT_EQ(printed.out, "Wrote 2 pages to " + pdf.toUtf8() + "\n");
    // The week, then the list of its 39 lines.
    EXPECT_EQ(pages(), 2);
    const QString text = read("pdftotext", {"-layout", pdf, "-"});
    for (const char *expected :
         {"Project file: demo.nbt", "Clock file: demo.clk", "Monday:", "07-12-2026",
          "All clock lines", "Good night children", "Bathroom fan 15 min"})
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected;
    // A week of agenda adds its pages: every firing of the week, in time order.
    ASSERT_EQ(run(arguments + QStringList{"--agenda-weeks", "1"}).exitCode, 0);
    EXPECT_GT(pages(), 2);
    const QString agendaText = read("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(agendaText.contains("Agenda 2026-12-07 - 2026-12-13"));
    EXPECT_TRUE(agendaText.contains(QRegularExpression("10-12-2026\\s+06:30\\s+1\\b")));
}

TEST_F(CliCommandsTest, YearsAfter2029AreReadAsTheyWereMeantWhateverTheDateGivenAsNow)
{
    const QString file = writeClockFile(
        "2030.clk", Table({{0, Line(QDate(2030, 6, 15), 12, 0, Continue, Once, 0)},
                           {1, Line(QDate(2030, 3, 5), 7, 30, Continue, Weeks, 1)}})); // Tuesdays
    // clang-format off
    for (const QString now : {"2026-12-09T10:00", "2029-12-31T23:58", "2030-03-06T10:00"}) {
        expect({{"check", file, "--now", now}, 0});
        expect({{"agenda", file, "--from", "2030-06-14", "--to", "2030-06-15", "--now", now, "--json"},
                0, {}, {{"firings/*/date", QJsonArray{"2030-06-15"}}, {"firings/*/time", QJsonArray{"12:00"}}}});
        expect({{"week", file, "--monday", "2030-03-11", "--now", now, "--json"}, 0, {},
                {{"lines/1/occurrences/*/date", QJsonArray{"2030-03-12"}}}});
    }
    // clang-format on
}

TEST_F(CliCommandsTest, ProjectAndTablesAreWhatTheEditorOffersAndTheCompilerBuilds)
{
    QFile file(demoProject());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    project::ProjectRead read =
        project::ReadProjectData(file.readAll(), settings::Settings(), strings);
    ASSERT_EQ(read.status, project::ReadOutcome::Read);
    project::ProjectModel &model = *read.model;

    // Exactly what the clock line editor offers, type by type of its type list.
    const settings::NameTables names = settings::FillNameTables(strings);
    const ui::ValueFormatter values(strings, QLocale::c());
    const ui::FunctionPresenter presenter(model, names, strings, values);
    ui::ItemList types;
    presenter.FillFunctionTypeList(types);
    QJsonArray functions;
    for (const ui::ListEntry &type : std::as_const(types.entries)) {
        ui::ItemList list;
        presenter.FillFunctionList(list, type.itemData, ui::DescribeMode::Number, false, 2);
        for (const ui::ListEntry &entry : std::as_const(list.entries))
            functions.append(QJsonObject{{"type", type.itemData},
                                         {"number", entry.itemData % 256},
                                         {"itemData", entry.itemData},
                                         {"text", entry.text}});
    }
    ASSERT_GT(functions.size(), 50);
    QJsonArray workdays;
    for (const quint8 flag : model.WorkdayFlags())
        workdays.append(flag);
    expect({{"project", demoProject(), "--json"},
            0,
            {},
            {{"version", 60},
             {"model", model.ModelIndex},
             {"limits/Relays", model.Limits.Relays},
             {"limits/ClockLines", model.Limits.ClockLines},
             {"workdays", workdays},
             {"functions", functions},
             {"functions/0/text", " 01 Kitchen ceiling"}}});
    expect({{"project", demoProject()}, 0, {"Relays (1): 24", "    257   01 Kitchen ceiling\n"}});

    // The compiled set slot by slot; the clock's slot stays empty.
    tables::TableSet set;
    ASSERT_TRUE(tables::TableCompiler(set, model, strings).BuildAllTables().ok);
    QJsonArray slotList;
    for (int slot = 0; slot < tables::TableSet::SlotCount; ++slot) {
        const QByteArray bytes(reinterpret_cast<const char *>(set[slot].Data.data()),
                               set[slot].Length);
        slotList.append(QJsonObject{{"slot", slot},
                                    {"length", set[slot].Length},
                                    {"hex", QString::fromLatin1(bytes.toHex())}});
    }
    EXPECT_GT(set[0].Length, 0);
    expect({{"tables", demoProject(), "--json"},
            0,
            {},
            {{"bytesTotal", set.BytesTotal},
             {"slots", slotList},
             {QStringLiteral("slots/%1/length").arg(tables::TableSet::ClockSlot), 0}}});

    // Pool messages of the compiler go to standard error without failing: every key of a
    // model-2 installation drives relay 1, 88 keys for 79 pool records.
    auto keys = emptyProject(2);
    for (int i = 0; i <= keys->Limits.MaxInputModule; ++i) {
        for (project::InputKeyRec &key : keys->InputModules[i].Keys)
            key.Bytes = {1, 1, 0, 0};
    }
    const CliRun pool = run({"tables", writeProject("keys.nbt", *keys)});
    EXPECT_EQ(pool.exitCode, 0);
    EXPECT_EQ(pool.err, QByteArray("To many variations in SW\n").repeated(9));
    EXPECT_TRUE(pool.out.contains("slot 13: "));
}

// The package, the About box and scripts rely on every program telling the project's version.
// Over ssh or on a console there is no display: what can be said in text is said, the rest is
// refused with a reason, never an abort.
TEST_F(CliCommandsTest, EveryProgramTellsItsVersionAndTheWindowAnswersWithoutADisplay)
{
    for (const auto &[program, name] :
         QList<std::pair<QString, QString>>{{QUINTARA_PROGRAM, "Quintara"},
                                            {QUINTARA_CLI, "quintara-cli"},
                                            {QUINTARA_CENTRAL_SIM, "central-sim"}}) {
        const CliRun said = runProgram(program, {"--version"});
        EXPECT_EQ(said.exitCode, 0) << qPrintable(program);
        EXPECT_EQ(QString::fromUtf8(said.out).trimmed(), name + u' ' + QUINTARA_PROJECT_VERSION);
    }
    // The simulator's version byte moved to --unit-version when --version became the program's.
    const CliRun unit = runProgram(QUINTARA_CENTRAL_SIM, {"--unit-version", "300"});
    EXPECT_EQ(unit.exitCode, 1);
    EXPECT_TRUE(unit.err.contains("--unit-version wants a byte")) << unit.err.constData();

    unsetVariables = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
    const QString window = QUINTARA_PROGRAM;
    // clang-format off
    for (const Case &c : QList<Case>{
             {{"--version"}, 0, {"Quintara " QUINTARA_PROJECT_VERSION "\n"}, {}, {}, window},
             {{"--help"}, 0, {"Usage: ", "--settings <file>"}, {}, {}, window},
             {{"--bogus"}, 2, {}, {}, "Unknown option 'bogus'", window},
             {{"a.clk", "b.clk"}, 2, {}, {}, {}, window},
             {{}, 1, {}, {}, "no display", window}})
        expect(c);
    // clang-format on
    // With a display, a mistake is still a mistake; a display named but out of reach does not
    // keep the version from being told.
    unsetVariables.clear();
    EXPECT_EQ(runProgram(QUINTARA_PROGRAM, {"--bogus"}).exitCode, 2);
    unsetVariables = {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY"};
    setVariables = {{"DISPLAY", ":4711"}};
    EXPECT_EQ(runProgram(QUINTARA_PROGRAM, {"--version"}).exitCode, 0);
}

} // namespace
} // namespace quintara::testing
