#include "tests/project/ProjectFixtures.h"

#include <QDir>

#include <gtest/gtest.h>

namespace quintara::testing {
namespace {

using namespace project;

// The tests' main() sees to it that QUINTARA_SOURCE_DIR names the source tree.
QString DemoPath()
{
    return QDir(qEnvironmentVariable("QUINTARA_SOURCE_DIR")).filePath("examples/demo.nbt");
}

TEST(DemoProject, ReadsWithoutAMessageAndHoldsTheHouse)
{
    ReaderHarness harness;
    harness.strings.setLanguageOffset(30000);
    ASSERT_EQ(
        harness.adopt(ReadProjectFile(DemoPath(), harness.settings, harness.strings), DemoPath()),
        ReadOutcome::Read)
        << DemoPath().toStdString();
    EXPECT_TRUE(harness.notices.empty());
    EXPECT_EQ(harness.settings.nbtFile, DemoPath());
    EXPECT_EQ(harness.strings.LanguageOffset(), 0);
    EXPECT_EQ(harness.settings.baudRateInUse, 19200);

    const ProjectModel &m = *harness.model;
    EXPECT_EQ(m.FileVersion, 60);
    EXPECT_EQ(m.ModelIndex, 1);
    EXPECT_EQ(m.Limits.ClockLines, 100);
    EXPECT_EQ(m.WorkdayFlags(), (std::array<quint8, 7>{1, 1, 1, 1, 1, 0, 0}));

    EXPECT_EQ(m.OutputModules[0].Name.trimmedRight(),
              QStringLiteral("Relays ground floor (1 - 8)"));
    EXPECT_EQ(m.RelayName(18).trimmed(), QStringLiteral("Bathroom fan"));
    EXPECT_TRUE(m.RelayName(25).trimmed().isEmpty());
    EXPECT_EQ(m.DimmerName(1).trimmed(), QStringLiteral("Living room spots"));

    EXPECT_EQ(m.InputModules[1].Name.trimmedRight(), QStringLiteral("Keypad front door"));
    EXPECT_EQ(m.InputModules[1].Keys[3].Bytes[0], FunctionType::GeneralMood);
    EXPECT_EQ(m.InputModules[4].Name.trimmedRight(), QStringLiteral("Touch panel kitchen"));
    EXPECT_TRUE(m.InputModules[0].Name.isBlank());

    // Every sensor and audio zone is defined by a key, so none was cleared.
    EXPECT_EQ(m.Sensors[0].Name.trimmedRight(), QStringLiteral("Outside temperature"));
    EXPECT_EQ(m.Sensors[0].kind(), 1);
    EXPECT_EQ(m.AudioZones[3].Name.trimmedRight(), QStringLiteral("Terrace"));

    // A sample of each kind of record: the demo's contents are the generator's, not the reader's.
    EXPECT_EQ(m.GeneralMoods[0].Name.trimmedRight(), QStringLiteral("Leaving home"));
    EXPECT_EQ(m.GeneralMoods[0].RelayStates[30], 3);
    EXPECT_EQ(m.Modem.ModemInit.trimmedRight(), QStringLiteral("ATZ0"));
}

} // namespace
} // namespace quintara::testing
