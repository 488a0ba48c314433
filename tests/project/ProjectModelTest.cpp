#include "tests/project/ProjectFixtures.h"

#include "project/ProjectModel.h"

#include <gtest/gtest.h>

namespace quintara::testing {
namespace {

using namespace project;

TEST(ProjectModel, NewProjectEmptiesEverySlot)
{
    auto model = SampleModel(0);
    model->System.Options[35] = 77;
    NewProject(*model, 4800, 30000);

    EXPECT_TRUE(model->InputModules[99].Name.isBlank());
    EXPECT_EQ(model->InputModules[99].Keys[7].Bytes, (std::array<quint8, 4>{}));
    EXPECT_EQ(model->InputModules[0].Name.text().size(), 50);
    EXPECT_TRUE(model->ZoneNames[251].Name.isBlank());
    EXPECT_EQ(model->ZoneNames[3].Code, QChar(0));
    EXPECT_TRUE(model->TimedFunctions[69].Name.isBlank());
    EXPECT_TRUE(model->Sensors[31].Name.isBlank());
    EXPECT_TRUE(model->OutputModules[36].Channels[7].Name.isBlank());
    EXPECT_EQ(model->OutputModules[36].Channels[7].Power, 0);
    for (const GeneralMoodRec &mood : model->GeneralMoods) {
        EXPECT_EQ(mood.RelayStates, (std::array<quint8, 177>{}));
        EXPECT_EQ(mood.DimmerLevels, (std::array<quint8, 121>{}));
        EXPECT_TRUE(mood.Name.isBlank());
    }

    const std::array<quint8, 33> options{25, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 3, 90, 5, 5, 5,  0,
                                         0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 255};
    for (int p = 0; p < 33; ++p)
        EXPECT_EQ(model->System.Options[p], options[p]) << p;
    EXPECT_EQ(model->System.Options[35], 77); // not NewProject's
    EXPECT_EQ(model->System.BaudRate, 4800);
    EXPECT_EQ(model->System.LanguageOffset, 30000);
    EXPECT_TRUE(model->System.Texts[5].isBlank());
    EXPECT_EQ(model->Modem.ModemInit.trimmedRight(), QStringLiteral("ATZ0"));
    EXPECT_EQ(model->Modem.ModemInUse, 0);
    EXPECT_EQ(model->Options.Bytes, (std::array<quint8, 4>{0, 0, 0, 40}));
    // The text list survives.
    EXPECT_FALSE(model->TextList[17].Text.isBlank());
    EXPECT_EQ(model->WorkdayFlags(), (std::array<quint8, 7>{1, 1, 1, 1, 1, 0, 0}));
    EXPECT_TRUE(model->isWorkday(1));
    EXPECT_FALSE(model->isWorkday(7));
    EXPECT_FALSE(model->isWorkday(0));
    EXPECT_FALSE(model->isWorkday(8));
}

TEST(ProjectModel, ModelIndexOutOfRangeMeansModelThree)
{
    EXPECT_EQ(LimitsOfModel(1).MaxInputModule, 40);
    EXPECT_EQ(LimitsOfModel(4).Sensors, 10);
    for (const int index : {5, 255, -1})
        EXPECT_EQ(LimitsOfModel(index), LimitsOfModel(3));

    ReaderHarness harness;
    SelectModel(*harness.model, 5, harness.strings);
    EXPECT_EQ(harness.model->ModelIndex, 3);
    EXPECT_EQ(harness.model->Limits.ClockLines, 50);
}

TEST(ProjectModel, SelectModelKeepsOnlySensorsAndZonesThatKeysDefine)
{
    ReaderHarness harness;
    ProjectModel &model = *harness.model;
    NewProject(model, 19200, 0);
    for (int i = 0; i < 32; ++i) {
        model.Sensors[i].Name = QStringLiteral("Sensor %1").arg(i);
        model.Sensors[i].Bytes[3] = 1;
        model.AudioZones[i].Name = QStringLiteral("Zone %1").arg(i);
    }
    model.InputModules[99].Keys[7].Bytes = {0xC0 | 20, 32, 0, 0}; // upper bits ignored
    model.InputModules[0].Keys[0].Bytes = {20, 1, 0, 0};
    model.InputModules[5].Keys[3].Bytes = {20, 0, 0, 0};   // number 0 marks nothing
    model.InputModules[5].Keys[4].Bytes = {20, 200, 0, 0}; // beyond the array: nothing
    model.InputModules[6].Keys[1].Bytes = {31, 5, 0, 0};
    model.InputModules[7].Keys[1].Bytes = {21, 6, 0, 0}; // a sensor function, not SEN
    SelectModel(model, 0, harness.strings);

    for (int i = 0; i < 32; ++i) {
        const bool sensorKept = i == 0 || i == 31;
        EXPECT_EQ(model.Sensors[i].Name.isBlank(), !sensorKept) << i;
        EXPECT_EQ(model.Sensors[i].Bytes[3], sensorKept ? 1 : 0) << i;
        EXPECT_EQ(model.AudioZones[i].Name.isBlank(), i != 4) << i;
    }
}

TEST(ProjectModel, SelectModelNamesBuiltInInputModules)
{
    ReaderHarness harness;
    ProjectModel &model = *harness.model;
    NewProject(model, 19200, 0);
    model.InputModules[22].Name = QStringLiteral("My inputs");
    SelectModel(model, 3, harness.strings);
    EXPECT_EQ(model.InputModules[21].Name.trimmedRight(),
              QStringLiteral("Input 1 to 8 (169 - 176)"));
    EXPECT_EQ(model.InputModules[22].Name.trimmedRight(), QStringLiteral("My inputs"));
    EXPECT_EQ(model.InputModules[24].Name.trimmedRight(),
              QStringLiteral("Input 25 to 32 (193 - 200)"));
    EXPECT_EQ(model.InputModules[25].Name.trimmedRight(),
              QStringLiteral("Analog input 1 and 2 (201 - 208)"));
    EXPECT_TRUE(model.InputModules[20].Name.isBlank());
    EXPECT_EQ(model.InputModules[21].ModuleType, 0); // named, not made a module

    NewProject(model, 19200, 0);
    SelectModel(model, 4, harness.strings);
    EXPECT_EQ(model.InputModules[25].Name.trimmedRight(),
              QStringLiteral("Touch panels (201 - 208)"));

    // The language in force gives the text.
    NewProject(model, 19200, 0);
    harness.strings.setLanguageOffset(10000);
    SelectModel(model, 4, harness.strings);
    EXPECT_EQ(model.InputModules[21].Name.trimmedRight(),
              settings::StringTable::builtIn().find(10267)->trimmed() + " (169 - 176)");

    for (const int other : {0, 1, 2}) {
        NewProject(model, 19200, 0);
        SelectModel(model, other, harness.strings);
        for (const InputModuleRec &module : model.InputModules)
            EXPECT_TRUE(module.Name.isBlank());
    }
}

TEST(ProjectModel, OutputsAreFoundThroughTheirModule)
{
    ProjectModel model;
    NewProject(model, 19200, 0);
    model.Limits = LimitsOfModel(2); // five output modules
    model.OutputModules[0] = {};
    model.OutputModules[1].ModuleType = 131; // dimmers 9..16
    model.OutputModules[1].FirstOutput = 1;
    model.OutputModules[1].Channels[0].Name = QStringLiteral("Dining");
    model.OutputModules[2].ModuleType = 111; // relays 1..8
    model.OutputModules[2].Channels[4].Name = QStringLiteral("Porch");
    model.OutputModules[3].ModuleType = 112; // a second module on the same outputs loses
    model.OutputModules[3].Channels[4].Name = QStringLiteral("Shadow");
    model.OutputModules[5].ModuleType = 111; // beyond the model's five modules
    model.OutputModules[5].FirstOutput = 2;

    EXPECT_EQ(model.DimmerName(9).trimmed(), QStringLiteral("Dining"));
    ASSERT_TRUE(model.DimmerLocation(9).has_value());
    EXPECT_EQ(*model.DimmerLocation(9), (OutputLocation{1, 0}));
    EXPECT_TRUE(model.DimmerName(1).trimmed().isEmpty());
    EXPECT_EQ(model.DimmerName(1).size(), 50);
    EXPECT_EQ(model.RelayName(5).trimmed(), QStringLiteral("Porch"));
    EXPECT_FALSE(model.RelayLocation(9).has_value()); // module 1 is a dimmer module
    EXPECT_FALSE(model.RelayLocation(17).has_value());
    EXPECT_FALSE(model.RelayLocation(0).has_value());
    EXPECT_EQ(model.RelayChannel(-3), nullptr);
    // Only relay types carry relays: with module 2 of an unknown type the next one takes over.
    model.OutputModules[2].ModuleType = 104;
    EXPECT_EQ(model.RelayName(5).trimmed(), QStringLiteral("Shadow"));
    model.OutputModules[2].ModuleType = 151;
    EXPECT_EQ(model.RelayName(5).trimmed(), QStringLiteral("Porch"));
    EXPECT_EQ(InputModuleCategory(26), Category::InputKeypad);
    EXPECT_EQ(InputModuleCategory(3), Category::None);
    EXPECT_NE(model.RelayChannel(8), nullptr);
}

TEST(ProjectModel, NamesByTypeAndNumber)
{
    auto model = SampleModel(3);
    using namespace FunctionType;
    EXPECT_EQ(model->FunctionName(Timed, 3), model->TimedFunctions[3].Name.text());
    EXPECT_EQ(model->FunctionName(TimedModule, 3), model->TimedFunctions[3].Name.text());
    EXPECT_EQ(model->FunctionName(MotorUpDown, 29), model->Motors[29].Name.text());
    EXPECT_EQ(model->FunctionName(SensorAlt, 2), model->Sensors[2].Name.text());
    EXPECT_EQ(model->FunctionName(Key, 5), model->InputModules[5].Name.text());
    EXPECT_EQ(model->FunctionName(ZoneNameSelector, 251), model->ZoneNames[251].Name.text());
    EXPECT_FALSE(model->FunctionName(ZoneNameSelector, 252).has_value());
    EXPECT_FALSE(model->FunctionName(Flag, 40).has_value());
    EXPECT_FALSE(model->FunctionName(Flag, -1).has_value());
    EXPECT_FALSE(model->FunctionName(77, 5).has_value());
    EXPECT_FALSE(model->FunctionName(Relay, 1).has_value());

    EXPECT_EQ(model->UsedCount(Key), 26);
    EXPECT_EQ(model->UsedCount(Relay), 96);
    EXPECT_EQ(model->UsedCount(Sensor), 18);
    EXPECT_EQ(model->UsedCount(Process), 10);
    EXPECT_EQ(model->UsedCount(77), 0);
    EXPECT_EQ(Slot(model->Flags, 40), nullptr);
    EXPECT_EQ(Slot(model->Flags, 39), &model->Flags[39]);
}

TEST(ProjectModel, DefaultOutputModuleName)
{
    EXPECT_EQ(DefaultOutputModuleName(QStringLiteral("Kitchen   "), 0),
              QStringLiteral("Kitchen (1 - 8)"));
    EXPECT_EQ(DefaultOutputModuleName(QString(45, QLatin1Char('a')), 1),
              QString(40, QLatin1Char('a')) + QStringLiteral(" (9 - 16)"));
    // A three-digit range still fits the 50-character name.
    const QString wide = DefaultOutputModuleName(QString(45, QLatin1Char('b')), 20);
    EXPECT_EQ(wide, QString(38, QLatin1Char('b')) + QStringLiteral(" (161 - 168)"));
    EXPECT_EQ(wide.size(), 50);
}

} // namespace
} // namespace quintara::testing
