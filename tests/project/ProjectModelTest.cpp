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

    // Every record as a default one, with blank names of full width.
    EXPECT_TRUE(std::tuple(model->InputModules[99], model->ZoneNames[3], model->TimedFunctions[69],
                           model->OutputModules[36]) ==
                std::tuple(InputModuleRec(), ZoneNameRec(), TimedFunctionRec(), OutputModuleRec()));
    EXPECT_EQ(model->InputModules[0].Name.text().size(), 50);
    EXPECT_TRUE(std::all_of(model->GeneralMoods.begin(), model->GeneralMoods.end(),
                            [](const GeneralMoodRec &mood) { return mood == GeneralMoodRec(); }));
    const std::array<quint8, 33> options{25, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 3, 90, 5, 5, 5,  0,
                                         0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 255};
    EXPECT_TRUE(std::equal(options.begin(), options.end(), model->System.Options.begin()));
    EXPECT_EQ(model->System.Options[35], 77); // not NewProject's
    EXPECT_EQ(std::tuple(model->System.BaudRate, model->System.LanguageOffset,
                         model->Modem.ModemInit.trimmedRight(), model->Options.Bytes),
              std::tuple(4800, 30000, QStringLiteral("ATZ0"), std::array<quint8, 4>{0, 0, 0, 40}));
    EXPECT_FALSE(model->TextList[17].Text.isBlank()); // the text list survives
    EXPECT_EQ(model->WorkdayFlags(), (std::array<quint8, 7>{1, 1, 1, 1, 1, 0, 0}));
    for (const int day : {0, 1, 7, 8})
        EXPECT_EQ(model->isWorkday(day), day == 1) << day;
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
        EXPECT_EQ(std::tuple(model.Sensors[i].Name.isBlank(), model.Sensors[i].Bytes[3] == 1,
                             model.AudioZones[i].Name.isBlank()),
                  std::tuple(!sensorKept, sensorKept, i != 4)) << i;
    }
}

TEST(ProjectModel, SelectModelNamesBuiltInInputModules)
{
    ReaderHarness harness;
    ProjectModel &model = *harness.model;
    NewProject(model, 19200, 0);
    model.InputModules[22].Name = QStringLiteral("My inputs");
    SelectModel(model, 3, harness.strings);
    const auto names = [&](int first, int last) {
        QStringList list;
        for (int i = first; i <= last; ++i)
            list << model.InputModules[i].Name.trimmedRight();
        return list;
    };
    EXPECT_EQ(names(20, 25), (QStringList{"", "Input 1 to 8 (169 - 176)", "My inputs", "Input 17 to 24 (185 - 192)",
                                          "Input 25 to 32 (193 - 200)", "Analog input 1 and 2 (201 - 208)"}));
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
        EXPECT_EQ(names(0, InputModuleSlots - 1), QStringList(InputModuleSlots, QString()));
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
    EXPECT_EQ(model.DimmerLocation(9), (OutputLocation{1, 0}));
    EXPECT_EQ(model.DimmerName(1), QString(50, u' '));
    EXPECT_EQ(model.RelayName(5).trimmed(), QStringLiteral("Porch"));
    for (const int relay : {9, 17, 0}) // module 1 is a dimmer module; module 5 beyond the model
        EXPECT_FALSE(model.RelayLocation(relay).has_value()) << relay;
    // Only relay types carry relays: with module 2 of an unknown type the next one takes over.
    model.OutputModules[2].ModuleType = 104;
    EXPECT_EQ(model.RelayName(5).trimmed(), QStringLiteral("Shadow"));
    model.OutputModules[2].ModuleType = 151;
    EXPECT_EQ(model.RelayName(5).trimmed(), QStringLiteral("Porch"));
    EXPECT_EQ(std::pair(InputModuleCategory(26), InputModuleCategory(3)),
              std::pair(Category::InputKeypad, Category::None));
    EXPECT_TRUE(model.RelayChannel(8) != nullptr && model.RelayChannel(-3) == nullptr);
}

TEST(ProjectModel, NamesByTypeAndNumber)
{
    auto model = SampleModel(3);
    using namespace FunctionType;
    for (const auto &[type, number, name] : QList<std::tuple<int, int, std::optional<QString>>>{
             {Timed, 3, model->TimedFunctions[3].Name.text()}, {TimedModule, 3, model->TimedFunctions[3].Name.text()},
             {MotorUpDown, 29, model->Motors[29].Name.text()}, {SensorAlt, 2, model->Sensors[2].Name.text()},
             {Key, 5, model->InputModules[5].Name.text()}, {ZoneNameSelector, 251, model->ZoneNames[251].Name.text()},
             {ZoneNameSelector, 252, {}}, {Flag, 40, {}}, {Flag, -1, {}}, {77, 5, {}}, {Relay, 1, {}}})
        EXPECT_EQ(model->FunctionName(type, number), name) << type << ':' << number;
    EXPECT_EQ((std::array{model->UsedCount(Key), model->UsedCount(Relay), model->UsedCount(Sensor),
                          model->UsedCount(Process), model->UsedCount(77)}),
              (std::array{26, 96, 18, 10, 0}));
    EXPECT_EQ(Slot(model->Flags, 40), nullptr);
    EXPECT_EQ(Slot(model->Flags, 39), &model->Flags[39]);
    for (const int index : {5, 255, -1}) // model indices out of range mean model 3
        EXPECT_EQ(LimitsOfModel(index), LimitsOfModel(3));
}

TEST(ProjectModel, DefaultOutputModuleName)
{
    EXPECT_EQ(DefaultOutputModuleName(QStringLiteral("Kitchen   "), 0),
              QStringLiteral("Kitchen (1 - 8)"));
    EXPECT_EQ(DefaultOutputModuleName(QString(45, QLatin1Char('a')), 1),
              QString(40, QLatin1Char('a')) + QStringLiteral(" (9 - 16)"));
    // A three-digit range still fits the 50-character name.
    EXPECT_EQ(DefaultOutputModuleName(QString(45, QLatin1Char('b')), 20),
              QString(38, QLatin1Char('b')) + QStringLiteral(" (161 - 168)"));
}

} // namespace
} // namespace quintara::testing
