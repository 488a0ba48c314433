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
    EXPECT_EQ(std::tuple(harness.notices.size(), harness.settings.nbtFile,
                         harness.strings.LanguageOffset(), harness.settings.baudRateInUse),
              std::tuple(0U, DemoPath(), 0, 19200));
    const ProjectModel &m = *harness.model;
    EXPECT_EQ(std::tuple(m.FileVersion, m.ModelIndex, m.Limits.ClockLines), std::tuple(60, 1, 100));
    EXPECT_EQ(m.WorkdayFlags(), (std::array<quint8, 7>{1, 1, 1, 1, 1, 0, 0}));
    // A sample of each kind of record: the demo's contents are the generator's, not the reader's.
    // Every sensor and audio zone is defined by a key, so none was cleared.
    const QStringList names{
        m.OutputModules[0].Name.trimmedRight(), m.RelayName(18).trimmed(),
        m.RelayName(25).trimmed(), m.DimmerName(1).trimmed(), m.InputModules[0].Name.trimmedRight(),
        m.InputModules[1].Name.trimmedRight(), m.InputModules[4].Name.trimmedRight(),
        m.Sensors[0].Name.trimmedRight(), m.AudioZones[3].Name.trimmedRight(),
        m.GeneralMoods[0].Name.trimmedRight(), m.Modem.ModemInit.trimmedRight()};
    EXPECT_EQ(names, (QStringList{"Relays ground floor (1 - 8)", "Bathroom fan", "",
                                  "Living room spots", "", "Keypad front door",
                                  "Touch panel kitchen", "Outside temperature", "Terrace",
                                  "Leaving home", "ATZ0"}));
    EXPECT_EQ(std::tuple(m.InputModules[1].Keys[3].Bytes[0], m.Sensors[0].kind(),
                         m.GeneralMoods[0].RelayStates[30]),
              std::tuple(quint8(FunctionType::GeneralMood), 1, quint8(3)));
}

} // namespace
} // namespace quintara::testing
