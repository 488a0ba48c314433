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
