#include "tests/tools/CliFixture.h"

#include <QFile>
#include <QFileInfo>

namespace quintara::testing {
namespace {

using clock::ClockTable;

class CliOutputTest : public CliTest {
protected:
    CliOutputTest()
    {
        ClockTable table;
        table.ClockFileVersion = 1;
        table.Lines[0] = Line(QDate(2026, 12, 1), 0, 0, clock::Continue, clock::Hours, 1);
        file = writeClockFile("hourly.clk", table);
    }

    // Every command that prints its result, in each of its forms.
    QList<QStringList> printingCommands() const
    {
        const QStringList agenda{"agenda", file, "--from", "2026-12-10", "--to", "2026-12-11",
                                 "--now", "2026-12-09T10:00"};
        const QStringList week{"week", file, "--monday", "2026-12-07", "--now",
                               "2026-12-09T10:00"};
        return {{"show", file},
                {"show", file, "--csv"},
                {"show", file, "--json"},
                agenda,
                agenda + QStringList{"--csv"},
                agenda + QStringList{"--json"},
                week,
                week + QStringList{"--json"},
                {"check", file, "--now", "2026-12-09T10:00", "--json"},
                {"diff", file, demoClockFile()},
                {"project", demoProject()},
                {"project", demoProject(), "--json"},
                {"tables", demoProject()},
                {"tables", demoProject(), "--json"},
                {"--help"},
                {"--version"}};
    }

    QString file;
};

TEST_F(CliOutputTest, AnOutputThatCannotBeWrittenFailsTheCommand)
{
    if (!QFileInfo::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this system";
    for (const QStringList &arguments : printingCommands()) {
        const QString command = arguments.join(' ');
        // Into a file the same run succeeds and leaves the whole output there.
        const QString into = writeFile("out.txt", {});
        const CliRun written = runProgram(QUINTARA_CLI, arguments, into);
        EXPECT_TRUE(written.exitCode == 0 || written.exitCode == 3)
            << qPrintable(command) << ": " << written.err.constData();
        QFile output(into);
        ASSERT_TRUE(output.open(QIODevice::ReadOnly));
        EXPECT_FALSE(output.readAll().isEmpty()) << qPrintable(command);

        const CliRun full = runProgram(QUINTARA_CLI, arguments, "/dev/full");
        EXPECT_EQ(full.exitCode, 1) << qPrintable(command);
        EXPECT_TRUE(full.err.contains("cannot write to standard output: No space left on device"))
            << qPrintable(command) << ": " << full.err.constData();
    }
}

TEST_F(CliOutputTest, EachCommandsHelpNamesTheFileItReads)
{
    const QList<std::pair<QString, QString>> commands{
        {"show", "FILE.clk"}, {"send", "FILE.clk"},    {"diff", "A.clk B.clk"},
        {"project", "FILE.nbt"}, {"tables", "FILE.nbt"}};
    for (const auto &[command, file] : commands) {
        const CliRun help = run({command, "--help"});
        EXPECT_EQ(help.exitCode, 0);
        const QString text = QString::fromUtf8(help.out);
        EXPECT_TRUE(text.contains(QStringLiteral("Arguments:\n  %1").arg(command)))
            << text.toStdString();
        // The positional arguments close the help: the file is named there.
        EXPECT_TRUE(text.section("Arguments:", 1).contains("\n  " + file + ' '))
            << qPrintable(command) << ": " << text.toStdString();
    }
}

} // namespace
} // namespace quintara::testing
