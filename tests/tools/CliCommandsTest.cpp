#include "tests/tools/CliFixture.h"

#include "project/ProjectFileWriter.h"
#include "project/ProjectModel.h"
#include "tables/TableSet.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
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
        ClockTable table =
            Table({{0, Line(QDate(2026, 12, 9), 7, 30, Continue, Once, 0)},
                   {4, Typed(2, Line(QDate(2026, 3, 1), 22, 0, Workday, Days, 2, 127))},
                   {60, Line(QDate(2027, 1, 1), 0, 5, Special, Hours, 3, 0, 2)}},
                  3);
        table.Lines[0].NextLine = 7;
        table.Lines[5].Hour = 9;
        sample = writeClockFile("sample.clk", table);
        // Every six hours from midnight; daily at 06:00 in the Special table; beyond the model,
        // every minute; then also every minute within it.
        table = Table({{4, Line(QDate(2026, 12, 1), 0, 0, Continue, Hours, 6, 0, 2)},
                       {1, Typed(2, Line(QDate(2026, 12, 1), 6, 0, Special, Days, 1, 127, 3))},
                       {60, Line(QDate(2026, 12, 1), 0, 0, Continue, Minutes, 1)}}, 3);
        agenda = writeClockFile("agenda.clk", table);
        table.Lines[0] = Line(QDate(2026, 12, 1), 0, 0, Continue, Minutes, 1);
        minutes = writeClockFile("minutes.clk", table);
        // Past, an invalid time, every Monday against every day at 06:00, beyond the model.
        problems = writeClockFile(
            "problems.clk", Table({{0, Line(QDate(2026, 12, 8), 7, 0, Continue, Once, 0)},
                                   {1, Line(QDate(2026, 12, 2), 30, 0, Continue, Days, 1, 255, 4)},
                                   {2, Line(QDate(2026, 12, 1), 6, 0, Continue, Days, 1, 0, 4)},
                                   {3, Line(QDate(2026, 12, 7), 6, 0, Special, Weeks, 1, 255, 4)},
                                   {60, Line(QDate(2026, 12, 8), 7, 0, Continue, Once, 0)}}, 3));
        // Clean, but for a project without relay 250 such as the demo house's.
        clean = writeClockFile(
            "clean.clk", Table({{0, Line(QDate(2026, 12, 10), 7, 0, Continue, Once, 0)},
                                {1, Line(QDate(2026, 12, 10), 8, 0, Continue, Once, 0, 255, 250)}},
                               3));
        // Once on Wednesday at 07:31; fortnightly from two weeks before the current Monday;
        // daily from a date after it (kept current, it is moved back first); beyond the model.
        week = writeClockFile("week.clk",
                              Table({{0, Line(QDate(2026, 12, 9), 7, 31, Continue, Once, 0)},
                                     {1, Line(QDate(2026, 11, 23), 6, 0, Continue, Weeks, 2)},
                                     {2, Line(QDate(2026, 12, 20), 8, 0, Continue, Days, 1)},
                                     {60, Line(QDate(2026, 12, 9), 9, 0, Continue, Once, 0)}}, 3));
        // Every key of a model-2 installation drives relay 1: 88 keys for 79 pool records.
        const auto keys = std::make_unique<project::ProjectModel>();
        project::NewProject(*keys, 19200, 0);
        project::SelectModel(*keys, 2, strings);
        for (int i = 0; i <= keys->Limits.MaxInputModule; ++i) {
            for (project::InputKeyRec &key : keys->InputModules[i].Keys)
                key.Bytes = {1, 1, 0, 0};
        }
        pool = writeFile("keys.nbt", project::WriteProjectFile(*keys, 60));
    }

    static ClockLine Typed(int functionType, ClockLine line)
    {
        line.FunctionType = quint8(functionType);
        return line;
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

    QString sample, agenda, minutes, problems, clean, week, pool;
};

TEST_F(CliCommandsTest, EachCommandPrintsItsResultAndStatus)
{
    const QStringList days{"--from", "2026-12-10", "--to", "2026-12-11", "--now", Now};
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
        // CSV: a byte order mark, a header, texts without commas unquoted, CR LF after each row.
        {{"show", clean, "--csv", "--project", demoProject()}, 0,
            {"\xEF\xBB\xBFindex,minute,hour,day,month,year,table,repeatUnit,repeatCount,"
             "functionType,functionNumber,level,nextLine,firstLine,function,levelText\r\n"
             "0,0,7,10,12,26,0,0,0,1,1,255,0,0,REL  01 Kitchen ceiling,On\r\n"}},

        // Firings in time order, lower line first within a minute, filtered by table or function.
        {QStringList{"agenda", agenda, "--json"} + days, 0,
            {R"({"from":"2026-12-10","to":"2026-12-11","truncated":false,"firings":[{"date":)"},
            {{"firings/*/time", QJsonArray{"00:00", "06:00", "06:00", "12:00", "18:00", "00:00",
                                           "06:00", "06:00", "12:00", "18:00"}},
             {"firings/*/line", QJsonArray{4, 1, 4, 4, 4, 4, 1, 4, 4, 4}}}},
        {QStringList{"agenda", agenda, "--json", "--table", "4", "--function", "2:3"} + days, 0, {},
            {{"firings/#", 2}}},
        {QStringList{"agenda", agenda} + days, 0,
            {"Firings from 2026-12-10 00:00 through 2026-12-11 23:59\n",
             "\n2026-12-10 06:00  line  1  table 4  function 2:3  level 127\n"}},
        // A year of minutes stops at the cap and says so; a day of it is whole.
        {{"agenda", minutes, "--from", "2026-12-10", "--to", "2027-12-09", "--now", Now}, 3,
            {"\nThe agenda stops here, after 100000 firings: there are more in the range.\n"}, {},
            "100000"},

        // Problems by line then kind, conflicts under the lower line, in the language asked for.
        {{"check", problems, "--now", Now, "--json"}, 3,
            {R"({"problems":[{"line":0,"kind":"past","text":")"},
            {{"problems/0/text", "Line 0 fires once, at 2026-12-08 07:00, which has passed; "
                                 "Transmit will remove it"},
             {"problems/*/kind", QJsonArray{"past", "invalidTime", "conflict", "beyondModel"}},
             {"problems/*/line", QJsonArray{0, 1, 2, 60}}, {"problems/2/other", 3}}},
        {{"check", problems, "--now", Now, "--language", "1"}, 3,
            {"Regel 0 ", "\nRegels 2 en 3 "}},
        {{"check", clean, "--now", Now}, 0,
            {"No problems found: every line will work as intended.\n"}},
        // The clock file's model stays in force beside the project's.
        {{"check", clean, "--project", demoProject(), "--now", Now, "--json"}, 3, {},
            {{"problems/*/kind", QJsonArray{"unknownFunction"}}, {"problems/0/line", 1}}},

        // Reference and walk occurrences of the chosen week; a rounded reference marker.
        {{"week", week, "--monday", "2026-12-07", "--now", Now, "--json"}, 0, {},
            {{"monday", "2026-12-07"}, {"lines/*/index", QJsonArray{0, 1, 2}},
             {"lines/0/occurrences", QJsonArray{QJsonObject{{"date", "2026-12-09"},
                 {"time", "07:31"}, {"row", 2}, {"x", 170}, {"reference", true},
                 {"marker", true}}}},
             {"lines/*/occurrences/#", QJsonArray{1, 1, 7}}}},
        // The project's functions and its compiled set (what the editor offers and the compiler
        // builds is tested where they are made).
        {{"project", demoProject(), "--json"}, 0, {}, {{"version", 60}, {"model", 1},
            {"functions/0/text", " 01 Kitchen ceiling"}, {"functions/0/itemData", 257}}},
        {{"project", demoProject()}, 0, {"Relays (1): 24", "    257   01 Kitchen ceiling\n"}},
        {{"tables", demoProject(), "--json"}, 0, {}, {{"slots/#", tables::TableSet::SlotCount},
            {QStringLiteral("slots/%1/length").arg(tables::TableSet::ClockSlot), 0}}},
        // The compiler's pool messages go to standard error without failing.
        {{"tables", pool}, 0, {"slot 13: "}, {}, "To many variations in SW\n"},
        // A file named in another code page: the shell hands over the name's bytes as they are.
        {{"-c", "name=\"$(dirname \"$1\")/$(printf 'caf\\351.clk')\"; cp \"$1\" \"$name\" && "
                "\"$0\" show \"$name\"; status=$?; rm -f \"$name\"; exit $status",
            QUINTARA_CLI, sample},
            0, {"   0   30    7    9    12   26"}, {}, {}, "/bin/sh"},
        // Each command's help names the file it reads among its arguments.
        {{"diff", "--help"}, 0, {"Arguments:\n  diff", "\n  A.clk B.clk "}},
    };
    // clang-format on
    for (const Case &c : cases)
        expect(c);
}

TEST_F(CliCommandsTest, DiffTellsTheLinesThatDifferFieldByField)
{
    const ClockTable a =
        Table({{0, Line(QDate(2026, 12, 7), 7, 30, Continue, Days, 1)},
               {4, Typed(2, Line(QDate(2026, 12, 7), 22, 0, Workday, Days, 1, 127))},
               {9, Line(QDate(2026, 12, 9), 6, 0, Continue, Once, 0, 255, 2)}});
    ClockTable b = a;
    b.ModelIndex = 3;
    b.Lines[4].Level = 255;
    b.Lines[4].Hour = 21;
    b.Lines[9].FunctionType = 0;
    b.Lines[12] = Line(QDate(2026, 12, 8), 12, 0, Special, Weeks, 1, 255, 3);
    // Three days on: the same daily firings, a difference only while dates count.
    SetReferenceDate(b.Lines[0], QDate(2026, 12, 10));
    const QString fileA = writeClockFile("a.clk", a);
    const QString fileB = writeClockFile("b.clk", b);
    // clang-format off
    expect({{"diff", fileA, fileA, "--json"}, 0, {},
            {{"equal", true}, {"models", QJsonValue::Undefined}}});
    expect({{"diff", fileA, fileB, "--json", "--project", demoProject()}, 3, {},
            {{"a", fileA}, {"models", QJsonObject{{"a", 0}, {"b", 3}}},
             {"differences/*/line", QJsonArray{0, 4, 9, 12}},
             {"differences/*/kind", QJsonArray{"changed", "changed", "onlyInA", "onlyInB"}},
             {"differences/1/fields/*/field", QJsonArray{"hour", "level"}},
             // Each side's line as show has it, texts included with a project.
             {"differences/1/a/levelText", "50 %"}, {"differences/1/b/levelText", "100 %"}}});
    expect({{"diff", fileA, fileB, "--ignore-dates", "--json"}, 3, {}, {{"differences/#", 3}}});
    expect({{"diff", fileA, fileB}, 3, {": 4 lines differ\n", "line 0: day 7 -> 10\n",
             "line 4: hour 22 -> 21, level 127 -> 255\n", "line 9: only in " + fileA.toUtf8()}});
    // clang-format on
}

TEST_F(CliCommandsTest, MistakesAndUnreadableOrUnwritableFilesFailWithTheProgramsMessage)
{
    const QString fifo = sample + ".fifo";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString linked = sample + ".link";
    ASSERT_EQ(::link(QFile::encodeName(sample), QFile::encodeName(linked)), 0);
    const QByteArray port = "--port takes a port number 1 to 99 or a device";
    // clang-format off
    QList<Case> cases{
        {{"show", writeFile("short.clk", "QBN\x01\x03")}, 1, {}, {},
         "short.clk: Read error in CLOCK File"},
        {{"diff", sample, writeFile("foreign.clk", "K&P<....>")}, 1, {}, {},
         "foreign.clk: NO QBN Clock file!"},
        {{"show", "/nonexistent/x.clk", "--json"}, 1, {}, {}, "/nonexistent/x.clk\nNo such file"},
        // A FIFO or a device would block the read or never end it.
        {{"show", fifo}, 1, {}, {}, fifo.toUtf8() + "\nThis is not a regular file."},
        // A project that can't be read stops the command before the clock file.
        {{"show", sample, "--project", writeFile("bad.nbt", "nonsense")}, 1},
        {{"project", writeFile("foreign.nbt", "QBN and more")}, 1},
        // Where receive cannot write is said before the transfer; nothing is made or replaced.
        {{"receive", "--port", "1", "-o", fifo}, 1, {}, {}, "quintara-cli: "},
        {{"receive", "--port", "1", "-o", linked}, 1, {}, {}, "quintara-cli: "},
        {{"receive", "--port", "1", "-o", "/nonexistent/x.clk"}, 1, {}, {}, "quintara-cli: "},
        // Print's mistakes, and a place that cannot be written, are said before anything is
        // painted.
        {{"print", demoClockFile(), "-o", sample + ".pdf", "--agenda-weeks", "60"}, 2},
        {{"print", demoClockFile(), "-o", "/no/such/folder/x.pdf"}, 1, {}, {},
         "quintara-cli: The folder of /no/such/folder/x.pdf does not exist\n"},
        // Numbers are port numbers, never devices in the current folder; a trace that could not
        // be written after the transfer: refused before the line is touched.
        {{"send", sample, "--port", "0"}, 2, {}, {}, port},
        {{"send", sample, "--port", "99999999999"}, 2, {}, {}, port},
        {{"send", sample, "--port", "1", "--trace", "."}, 2, {}, {}, "--trace"},
    };
    for (const QStringList &mistake : QList<QStringList>{{}, {"frobnicate", sample},
             {"show", sample, sample}, {"show", sample, "--language", "7"},
             {"show", sample, "--csv", "--json"}, {"week", sample, "--monday", "2026-12-08"},
             {"check", sample, "--now", "tomorrow"}, {"diff", sample},
             {"agenda", sample, "--from", "2026-12-10", "--to", "2026-12-09"},
             {"receive", "--port", "1"}, {"send", sample, "--port", "1", "--modem"}})
        cases.append({mistake, 2});
    // clang-format on
    for (const Case &c : cases)
        expect(c);
    EXPECT_FALSE(QFileInfo(fifo).isFile() || QFile::exists(sample + ".pdf"));
}

TEST_F(CliCommandsTest, HolidaysListsACountrysDaysInOrderAndRefusesWhatItCannotAnswer)
{
    const QStringList nl2014{"holidays", "--country", "nl", "--from", "2014", "--to", "2014",
                             "--json", "--now", Now};
    // clang-format off
    expect({nl2014, 0, {}, {{"country", "NL"}, {"holidays/#", 9},
                            {"holidays/3/date", "2014-04-26"}, {"holidays/3/name", "King's Day"},
                            {"holidays/8/date", "2014-12-26"}}});
    expect({nl2014 + QStringList{"--language", "1"}, 0, {},
            {{"holidays/3/name", "Koningsdag"}}});
    // Years in a row, each in full (its days and their order the calendar's own test pins).
    expect({{"holidays", "--country", "GB", "--from", "2020", "--to", "2021", "--now", Now}, 0,
            {"2020-01-01  Wed  New Year's Day\n",
             "2021-12-28  Tue  Boxing Day (substitute day)\n"}});
    const QList<Case> mistakes{
        {{"holidays", "--country", "US", "--from", "2026", "--to", "2026"}, 2, {}, {},
         "unknown country 'US'"},
        {{"holidays", "--country", "NL", "--from", "2027", "--to", "2026"}, 2, {}, {},
         "--to lies before --from"},
        {{"holidays", "--country", "NL", "--from", "1999", "--to", "2000", "--now", Now}, 2, {}, {},
         "the years 2000 to 2075"},
        {{"holidays", "--country", "NL", "--from", "2026"}, 2, {}, {}, "needs --country CC"},
        {{"holidays", "--country", "NL", "--from", "MMXXVI", "--to", "2026"}, 2, {}, {},
         "take years"},
        {{"holidays", "x.clk", "--country", "NL", "--from", "2026", "--to", "2026"}, 2},
    };
    // clang-format on
    for (const Case &c : mistakes)
        expect(c);
}

TEST_F(CliCommandsTest, PrintWritesTheHandOverWithItsWeekLinesAndAgenda)
{
    ASSERT_FALSE(QStandardPaths::findExecutable("pdftotext").isEmpty())
        << "scripts/deps installs poppler-utils";
    const QString pdf = sample + ".pdf";
    // What a reader of the PDF finds: its text, ligatures as their letters.
    const auto read = [&] {
        QProcess process;
        process.start(QStandardPaths::findExecutable("pdftotext"), {"-layout", pdf, "-"});
        process.waitForFinished(20000);
        return QString::fromUtf8(process.readAllStandardOutput())
            .normalized(QString::NormalizationForm_KC);
    };
    const QStringList arguments{"print", demoClockFile(), "--project", demoProject(), "-o", pdf,
                                "--now", Now,           "--monday",  "2026-12-07"};
    const CliRun printed = run(arguments);
    ASSERT_EQ(printed.exitCode, 0) << printed.err.constData();
    EXPECT_EQ(printed.out, "Wrote 2 pages to " + pdf.toUtf8() + "\n");
    // The week, then the list of its 39 lines.
    const QString text = read();
    for (const char *expected : {"Project file: demo.nbt", "Clock file: demo.clk", "Monday:",
                                 "07/12/2026", "All clock lines", "Good night children"})
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected;
    // The legend's words whole in each language (the sensors' were cut to "Sensorf").
    for (const auto &[language, words] : {std::pair("3", "Sensorfunktionen"),
                                          {"2", "Messages et alarmes"},
                                          {"6", "Funções de sensor"}}) {
        ASSERT_EQ(run(arguments + QStringList{"--language", language}).exitCode, 0);
        EXPECT_TRUE(read().simplified().contains(QString::fromUtf8(words))) << words;
    }
    // A week of agenda adds its pages: every firing of the week, in time order.
    const CliRun withAgenda = run(arguments + QStringList{"--agenda-weeks", "1"});
    EXPECT_TRUE(withAgenda.exitCode == 0 && !withAgenda.out.startsWith("Wrote 2 pages"));
    const QString agendaText = read();
    EXPECT_TRUE(agendaText.contains("Agenda 2026-12-07 - 2026-12-13") &&
                agendaText.contains(QRegularExpression("10/12/2026\\s+06:30\\s+1\\b")));
}

// The package, the About box and scripts rely on every program telling the project's version.
// Over ssh or on a console there is no display: what can be said in text is said, the rest is
// refused with a reason, never an abort.
TEST_F(CliCommandsTest, EveryProgramTellsItsVersionAndTheWindowAnswersWithoutADisplay)
{
    const QString window = QUINTARA_PROGRAM, sim = QUINTARA_CENTRAL_SIM;
    // clang-format off
    expect({{"--version"}, 0, {"quintara-cli " QUINTARA_PROJECT_VERSION "\n"}});
    expect({{"--version"}, 0, {"central-sim " QUINTARA_PROJECT_VERSION "\n"}, {}, {}, sim});
    // The simulator's version byte moved to --unit-version when --version became the program's.
    expect({{"--unit-version", "300"}, 1, {}, {}, "--unit-version wants a byte", sim});
    unsetVariables = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
    for (const Case &c : QList<Case>{
             {{"--version"}, 0, {"Quintara " QUINTARA_PROJECT_VERSION "\n"}, {}, {}, window},
             {{"--help"}, 0, {"Usage: ", "--settings <file>"}, {}, {}, window},
             {{"--bogus"}, 2, {}, {}, "Unknown option 'bogus'", window},
             {{}, 1, {}, {}, "no display", window}})
        expect(c);
    // clang-format on
    // A display named but out of reach does not keep the version from being told.
    unsetVariables = {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY"};
    setVariables = {{"DISPLAY", ":4711"}};
    EXPECT_EQ(runProgram(QUINTARA_PROGRAM, {"--version"}).exitCode, 0);
}

} // namespace
} // namespace quintara::testing
