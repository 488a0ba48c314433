#include "tests/project/ProjectFixtures.h"

#include "project/ProjectFileWriter.h"

#include <gtest/gtest.h>

namespace quintara::testing {
namespace {

using namespace project;

const QString ConditionsMessage =
    QStringLiteral("Please check your function, Conditions must be handled by IfElse Functions");
const QString GoMessage = QStringLiteral(
    "Please check your functions! Some GO fucntions will be lost or converted to IfElse Functions");

// A timed function at full level: name, kind 1, target type and number, level, time.
OldFunction Timed(const char *name, quint8 type, quint8 number, qint16 time)
{
    return {name, 1, type, number, 255, time};
}

TEST(OldFormat, PlainProjectReadsWithoutMessages)
{
    for (const int version : {10, 11}) {
        for (int modelIndex = 0; modelIndex < ModelCount; ++modelIndex) {
            SCOPED_TRACE(::testing::Message() << version << "/" << modelIndex);
            auto sample = SampleModel(modelIndex);
            sample->OutputModules[1].Name = QStringLiteral("Ground floor");
            sample->OutputModules[1].FirstOutput = 2;
            sample->OutputModules[2].Name = QString(); // not used
            ProjectFileExtras extras;
            extras.OldFunctions[0] = Timed("Stairs light", 1, 4, 90);
            ReaderHarness harness;
            EXPECT_EQ(harness.read(WriteProjectFile(*sample, version, extras)), ReadOutcome::Read);
            EXPECT_TRUE(harness.notices.empty());
            const ProjectModel &model = *harness.model;
            EXPECT_EQ(std::pair(model.ModelIndex, model.FileVersion), std::pair(modelIndex, version));
            EXPECT_EQ(model.ZoneNames[250].Name, sample->ZoneNames[250].Name);
            EXPECT_EQ(model.InputModules[10].Keys[3].Name, sample->InputModules[10].Keys[3].Name);

            // Relay modules named by their outputs; the channels keep only their names.
            const OutputModuleRec &converted = model.OutputModules[1];
            EXPECT_EQ(converted.Name.trimmedRight(), QStringLiteral("Ground floor (17 - 24)"));
            EXPECT_EQ(std::pair(converted.ModuleType, converted.FirstOutput), std::pair(quint8(111), quint8(2)));
            EXPECT_EQ(converted.Channels[6], (OutputChannelRec{sample->OutputModules[1].Channels[6].Name}));
            EXPECT_TRUE(model.OutputModules[2].ModuleType == 0 && model.OutputModules[2].Name.isBlank());
            EXPECT_EQ(model.RelayName(17), sample->OutputModules[1].Channels[0].Name.text());

            EXPECT_EQ(model.TimedFunctions[0],
                      (TimedFunctionRec{1, 4, 255, 90, Name50("Stairs light")}));
            EXPECT_TRUE(model.IfElseFunctions[0].Name.isBlank());

            std::array<quint8, 7> workdays{};
            std::copy_n(sample->System.Options.begin() + 2, 7, workdays.begin());
            EXPECT_EQ(model.WorkdayFlags(), workdays);
            // Version 11 keeps the modem without a call-back number; version 10 has none.
            const ModemRec &modem = model.Modem;
            EXPECT_EQ(modem.ModemInit.trimmedRight(), version == 11 ? "AT&F" : "ATZ0");
            EXPECT_EQ(modem.TelephoneNumber.trimmedRight(), version == 11 ? "0031 20 5550123" : "");
            EXPECT_TRUE(modem.CallBackNumber.isBlank());
        }
    }
}

TEST(OldFormat, ConditionsAndGoFunctionsAreConverted)
{
    auto sample = SampleModel(3); // 30 timed and 20 If-Then-Else functions
    ProjectFileExtras extras;
    // A timed function under a condition, a GO function with one and one without.
    extras.OldFunctions[1] = {"Night light", 1, 2, 7, 255, 600, 60, 3};
    extras.OldFunctions[2] = {"Go alarm", 2, 0, 0, 0, 0, 15, 4, 54, 2};
    extras.OldFunctions[3] = {"Go always", 2, 0, 0, 0, 0, 0, 4, 54, 2};
    extras.OldFunctions[35] = Timed("No room", 1, 1, 5); // model 3: 30 timed

    ReaderHarness harness;
    EXPECT_EQ(harness.read(WriteProjectFile(*sample, 10, extras)), ReadOutcome::Read);
    harness.expectNotice(ConditionsMessage, platform::ProgramTitle, platform::Icon::None);
    harness.expectNotice(GoMessage, platform::ProgramTitle, platform::Icon::None);
    EXPECT_TRUE(harness.notices.empty());

    const ProjectModel &model = *harness.model;
    EXPECT_EQ(model.TimedFunctions[1], (TimedFunctionRec{2, 7, 255, 600, Name50("Night light")}));
    EXPECT_EQ(model.IfElseFunctions[1], (IfElseRec{Name50("Night light"), {60, 3, 5, 1}}));
    EXPECT_EQ(model.IfElseFunctions[2], (IfElseRec{Name50("Go alarm"), {15, 4, 54, 2}}));
    EXPECT_TRUE(model.TimedFunctions[2].Name.isBlank() && model.TimedFunctions[3].Name.isBlank());
    EXPECT_TRUE(model.IfElseFunctions[3].Name.isBlank());
    for (const TimedFunctionRec &timed : model.TimedFunctions)
        EXPECT_NE(timed.Name.trimmedRight(), QStringLiteral("No room"));
}

TEST(OldFormat, ModelDigitAndDamage)
{
    auto sample = SampleModel(1);
    // A model byte that is not a digit falls back to model 3, which needs other counts.
    ProjectFileExtras extras;
    extras.ModelByte = 1;
    ReaderHarness digit, damaged;
    digit.read(WriteProjectFile(*sample, 10, extras));
    EXPECT_EQ(digit.model->ModelIndex, 3);
    // Without a closing mark a short file is the only sign of damage.
    EXPECT_EQ(damaged.read(WriteProjectFile(*sample, 11).chopped(1)), ReadOutcome::Truncated);
    damaged.expectNotice(QStringLiteral("No VENTORA file!"));
    EXPECT_TRUE(damaged.settings.nbtFile.isEmpty());
}

} // namespace
} // namespace quintara::testing
