#include "tests/tools/CliFixture.h"

namespace quintara::testing {
namespace {

using VersionTest = CliTest;

// The package, the About box and scripts rely on all three telling the project's version.
TEST_F(VersionTest, EveryProgramTellsTheProjectVersion)
{
    const QString version = QStringLiteral(QUINTARA_PROJECT_VERSION);
    const QList<std::pair<QString, QString>> programs{
        {QStringLiteral(QUINTARA_PROGRAM), QStringLiteral("Quintara")},
        {QStringLiteral(QUINTARA_CLI), QStringLiteral("quintara-cli")},
        {QStringLiteral(QUINTARA_CENTRAL_SIM), QStringLiteral("central-sim")},
    };
    for (const auto &[program, name] : programs) {
        const CliRun said = runProgram(program, {QStringLiteral("--version")});
        EXPECT_EQ(said.exitCode, 0) << qPrintable(program);
        EXPECT_EQ(QString::fromUtf8(said.out).trimmed(), name + u' ' + version);
    }
}

// Over ssh or on a console there is no display: what can be said in text is said, the rest is
// refused with a reason, never an abort.
TEST_F(VersionTest, TheProgramAnswersWithoutADisplay)
{
    unsetVariables = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
    const QString program = QStringLiteral(QUINTARA_PROGRAM);

    const CliRun version = runProgram(program, {"--version"});
    EXPECT_EQ(version.exitCode, 0) << version.err.constData();
    EXPECT_EQ(version.out.trimmed(), "Quintara " QUINTARA_PROJECT_VERSION);
    const CliRun help = runProgram(program, {"--help"});
    EXPECT_EQ(help.exitCode, 0) << help.err.constData();
    EXPECT_TRUE(help.out.contains("Usage: ")) << help.out.constData();
    EXPECT_TRUE(help.out.contains("--settings <file>"));

    const CliRun bogus = runProgram(program, {"--bogus"});
    EXPECT_EQ(bogus.exitCode, 2);
    EXPECT_TRUE(bogus.err.contains("Unknown option 'bogus'")) << bogus.err.constData();
    EXPECT_EQ(runProgram(program, {"a.clk", "b.clk"}).exitCode, 2);

    const CliRun window = runProgram(program, {});
    EXPECT_EQ(window.exitCode, 1);
    EXPECT_TRUE(window.err.contains("no display")) << window.err.constData();

    // With a display, a mistake is still a mistake; a display named but out of reach does not
    // keep the version from being told.
    unsetVariables.clear();
    const CliRun shown = runProgram(program, {"--bogus"}, {});
    EXPECT_EQ(shown.exitCode, 2) << shown.err.constData();
    unsetVariables = {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY"};
    setVariables = {{"DISPLAY", ":4711"}};
    const CliRun unreachable = runProgram(program, {"--version"});
    EXPECT_EQ(unreachable.exitCode, 0) << unreachable.err.constData();
}

// The simulator's version byte moved to --unit-version when --version became the program's.
TEST_F(VersionTest, CentralSimTakesTheUnitVersionByteByItsOwnName)
{
    const CliRun wrong =
        runProgram(QStringLiteral(QUINTARA_CENTRAL_SIM), {"--unit-version", "300"});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.err.contains("--unit-version wants a byte")) << wrong.err.constData();
}

} // namespace
} // namespace quintara::testing
