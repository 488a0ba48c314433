#include "tests/tools/CliFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>

#include <sys/stat.h>
#include <unistd.h>

namespace quintara::testing {
namespace {

using clock::ClockTable;

class CliShowTest : public CliTest {
protected:
    // A model-3 table (50 usable lines) with a line beyond the model and a chain byte set.
    QString sampleClockFile()
    {
        ClockTable table;
        table.ClockFileVersion = 1;
        table.ModelIndex = 3;
        table.Lines[0] = Line(QDate(2026, 12, 9), 7, 30, clock::Continue, clock::Once, 0, 1, 1);
        table.Lines[0].NextLine = 7;
        table.Lines[4] = Line(QDate(2026, 3, 1), 22, 0, clock::Workday, clock::Days, 2, 2, 1, 127);
        table.Lines[60] = Line(QDate(2027, 1, 1), 0, 5, clock::Special, clock::Hours, 3, 1, 2, 0);
        // A free line with leftover bytes is not in use.
        table.Lines[5].Hour = 9;
        return writeClockFile("sample.clk", table);
    }
};

TEST_F(CliShowTest, EveryLineInUseWithItsBytesAndWithAProjectItsTexts)
{
    const QString file = sampleClockFile();

    const CliRun bare = run({"show", file, "--json"});
    ASSERT_EQ(bare.exitCode, 0) << bare.err.constData();
    EXPECT_TRUE(bare.err.isEmpty());
    const QJsonObject document = bare.json();
    EXPECT_EQ(document.value("version").toInt(), 1);
    EXPECT_EQ(document.value("model").toInt(), 3);
    const QJsonArray lines = document.value("lines").toArray();
    ASSERT_EQ(lines.size(), 3);
    // All thirteen stored bytes, under their names.
    const QStringList keys{"index",          "minute", "hour",       "day",         "month",
                           "year",           "table",  "repeatUnit", "repeatCount", "functionType",
                           "functionNumber", "level",  "nextLine",   "firstLine"};
    const QList<int> values{0, 30, 7, 9, 12, 26, 0, 0, 0, 1, 1, 255, 7, 0};
    QJsonObject first;
    for (int i = 0; i < keys.size(); ++i)
        first.insert(keys[i], values[i]);
    EXPECT_EQ(lines[0].toObject(), first);
    EXPECT_EQ(lines[1].toObject().value("index").toInt(), 4);
    EXPECT_EQ(lines[2].toObject().value("index").toInt(), 60);
    EXPECT_EQ(lines[2].toObject().value("year").toInt(), 27);

    const CliRun named = run({"show", file, "--project", demoProject(), "--json"});
    ASSERT_EQ(named.exitCode, 0) << named.err.constData();
    const QJsonArray namedLines = named.json().value("lines").toArray();
    ASSERT_EQ(namedLines.size(), 3);
    EXPECT_EQ(namedLines[0].toObject().value("function").toString(), "REL  01 Kitchen ceiling");
    EXPECT_EQ(namedLines[0].toObject().value("levelText").toString(), "On");
    EXPECT_EQ(namedLines[1].toObject().value("function").toString(), "DIM  01 Living room spots");
    EXPECT_EQ(namedLines[1].toObject().value("levelText").toString(), "50 %");
    EXPECT_EQ(namedLines[2].toObject().value("levelText").toString(), "Off");

    // Another language for the texts; the project's own language does not take over.
    const CliRun dutch =
        run({"show", file, "--project", demoProject(), "--language", "1", "--json"});
    ASSERT_EQ(dutch.exitCode, 0);
    EXPECT_EQ(dutch.json().value("lines").toArray()[0].toObject().value("levelText").toString(),
              "Aan");

    const CliRun text = run({"show", file, "--project", demoProject()});
    EXPECT_TRUE(text.out.contains("REL  01 Kitchen ceiling  On")) << text.out.constData();
    EXPECT_TRUE(text.out.contains("\n  60*"));
}

TEST_F(CliShowTest, DamagedForeignAndMissingFilesFailWithTheProgramsMessage)
{
    const QString fifo = writeFile("placeholder", {}) + ".fifo";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QStringList arguments;
        QByteArray message; // empty: any message
    } cases[] = {
        // The program's own messages, after the file they mean.
        {{"show", writeFile("short.clk", "QBN\x01\x03")}, "short.clk: Read error in CLOCK File"},
        {{"show", writeFile("foreign.clk", "K&P<....>")}, "foreign.clk: NO QBN Clock file!"},
        {{"show", "/nonexistent/x.clk", "--json"}, "/nonexistent/x.clk\nNo such file or directory"},
        // A FIFO or a device would block the read or never end it.
        {{"show", fifo}, fifo.toUtf8() + "\nThis is not a regular file."},
        {{"show", "/dev/zero"}, "/dev/zero\nThis is not a regular file."},
        // A project that can't be read stops the command before the clock file.
        {{"show", sampleClockFile(), "--project", writeFile("bad.nbt", "nonsense")}, {}},
        {{"check", sampleClockFile(), "--project", writeFile("bad.nbt", "nonsense")}, {}},
        {{"check", writeFile("foreign.clk", "K&P<....>")}, "foreign.clk: NO QBN Clock file!"},
        {{"agenda", writeFile("tiny.clk", "xx"), "--from", "2026-12-10", "--to", "2026-12-11"},
         {}},
    };
    for (const auto &c : cases) {
        const CliRun result = run(c.arguments);
        EXPECT_EQ(result.exitCode, 1) << qPrintable(c.arguments.join(u' '));
        EXPECT_TRUE(result.out.isEmpty());
        if (c.message.isEmpty())
            EXPECT_FALSE(result.err.isEmpty());
        else
            EXPECT_TRUE(result.err.trimmed().endsWith(c.message)) << result.err.constData();
    }
}

// The demo's schedule is what a newcomer sees first: it must fit the demo house, function by
// function, and use every day-table.
TEST_F(CliShowTest, TheDemoClockFileDrivesOnlyTheDemoHousesFunctions)
{
    const CliRun result = run({"show", demoClockFile(), "--project", demoProject(), "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_TRUE(result.err.isEmpty()) << result.err.constData();
    const QJsonObject document = result.json();
    EXPECT_EQ(document.value("version").toInt(), 1);
    EXPECT_EQ(document.value("model").toInt(), 1);
    const QJsonArray lines = document.value("lines").toArray();
    EXPECT_GE(lines.size(), 30);
    EXPECT_LE(lines.size(), 40);

    QSet<int> tables;
    // A function the project lacks reads as its code and number with no name after them.
    const QRegularExpression named(QStringLiteral("^[A-Z]{3}\\s+\\d+\\s+\\S"));
    for (const QJsonValue &value : lines) {
        const QJsonObject line = value.toObject();
        tables.insert(line.value("table").toInt());
        const QString function = line.value("function").toString();
        EXPECT_TRUE(named.match(function).hasMatch()) << qPrintable(function);
        EXPECT_NE(line.value("levelText").toString(), "????") << qPrintable(function);
    }
    EXPECT_EQ(tables, (QSet<int>{clock::Continue, clock::Workday, clock::Weekend, clock::Simulation,
                                 clock::Special}));
}

TEST_F(CliShowTest, AFileNamedInAnotherCodePageIsRead)
{
    // The shell hands over the name's bytes as they are: "caf\xe9.clk", not UTF-8.
    const QString sample = sampleClockFile();
    const QString script = QStringLiteral("name=\"$(dirname \"$1\")/$(printf 'caf\\351.clk')\"; "
                                          "cp \"$1\" \"$name\" && \"$0\" show \"$name\"; "
                                          "status=$?; rm -f \"$name\"; exit $status");
    const CliRun result =
        runProgram(QStringLiteral("/bin/sh"),
                   {QStringLiteral("-c"), script, QStringLiteral(QUINTARA_CLI), sample});
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_TRUE(result.out.contains("   0   30    7    9    12   26")) << result.out.constData();
}

TEST_F(CliShowTest, CommandLineMistakesAreUsageErrors)
{
    const QString file = sampleClockFile();
    const QString fifo = file + ".fifo";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString linked = file + ".link";
    ASSERT_TRUE(QFile::link(file, linked + ".sym")); // a symbolic link is no hard link
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(linked).constData()),
              0);
    for (const QStringList &arguments :
         {QStringList{}, QStringList{"frobnicate", file}, QStringList{"show", file, file},
          QStringList{"show", file, "--language", "7"},
          QStringList{"show", file, "--monday", "2026-12-07"},
          QStringList{"week", file, "--monday", "2026-12-08"},
          QStringList{"check", file, "--now", "tomorrow"}, QStringList{"check", file, "--csv"},
          QStringList{"agenda", file, "--from", "2026-12-10"},
          QStringList{"agenda", file, "--from", "2026-12-10", "--to", "2026-12-09"},
          QStringList{"agenda", file, "--from", "2026-12-10", "--to", "2026-12-11", "--json",
                      "--csv"},
          QStringList{"agenda", file, "--from", "2026-12-10", "--to", "2026-12-11", "--function",
                      "1"},
          QStringList{"receive", "--port", "1"}, QStringList{"receive", "--port", "1", "-o", ""},
          QStringList{"receive", "--port", "1", "-o", "new.clk", "--settings", "/dev/zero"},
          QStringList{"send", file, "--port", "1", "--modem"}}) {
        const CliRun result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << qPrintable(arguments.join(u' '));
        EXPECT_FALSE(result.err.isEmpty());
    }
    // Where receive cannot write is said before the transfer, not after it: a file that cannot
    // be written, status 1.
    for (const QString &output :
         {QStringLiteral("/dev/full"), fifo, linked, QStringLiteral("/nonexistent/x.clk")}) {
        const CliRun result = run({"receive", "--port", "1", "-o", output});
        EXPECT_EQ(result.exitCode, 1) << qPrintable(output);
        EXPECT_TRUE(result.err.startsWith("quintara-cli: ")) << result.err.constData();
    }
    // Nothing was made or replaced on the way.
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/full")).isFile());
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    EXPECT_TRUE(QFileInfo(QStringLiteral("/dev/zero")).exists());
}

} // namespace
} // namespace quintara::testing
