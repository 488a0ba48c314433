#include "presentation/FunctionPresenter.h"

#include "project/ProjectModel.h"
#include "settings/NameTables.h"
#include "settings/Strings.h"

#include <gtest/gtest.h>

namespace quintara::ui {
namespace {

using namespace DescribeMode;

class Functions : public ::testing::Test {
protected:
    Functions()
    {
        project::NewProject(model, 19200, 0);
        project::SelectModel(model, 0, strings);

        using project::Name50;
        project::OutputModuleRec &relays = model.OutputModules[0];
        relays.ModuleType = 101;
        relays.Channels[4] = {Name50("Hall"), project::LoadType::LightPoint, 60, 0};
        relays.Channels[6].Name = QStringLiteral("Porch");
        project::OutputModuleRec &dimmers = model.OutputModules[1];
        dimmers.Name = QStringLiteral("Dimmers");
        dimmers.ModuleType = 131;
        dimmers.Channels[2] = {Name50("Lounge"), project::LoadType::WallSocket, 300, 5};

        model.Sensors[0].Name = QStringLiteral("Garden");
        model.Sensors[0].Bytes = {1, 0, 0, 1, 0, 0};      // a temperature sensor in use
        model.Sensors[1].Name = QStringLiteral("Cellar"); // never used: not listed
        model.Sensors[2].Name = QStringLiteral("Attic");
        model.Sensors[2].Bytes = {2, 0, 0, 0, 4, 0};
        model.AudioZones[1].Name = QStringLiteral("Kitchen"); // zone 0 has no name

        model.TimedFunctions[3] = {1, 5, 255, 90, project::Name50("Stairs")};
        model.Flags[0].Name = QStringLiteral("Holiday");
        model.Flags[7].Name = QStringLiteral("Guests");
        for (const auto &[index, name, type] : {std::tuple(2, "Entry", 2), {3, "Digital", 9},
                                                {4, "Remote", 1}}) {
            model.InputModules[index].Name = QString::fromLatin1(name);
            model.InputModules[index].ModuleType = quint8(type);
        }
    }
    QList<int> Data(const ItemList &list) const
    {
        QList<int> data;
        for (const ListEntry &entry : list.entries)
            data << entry.itemData;
        return data;
    }
    // The item data of functions of several types and one number.
    static QList<int> Items(std::initializer_list<int> types, int number)
    {
        QList<int> data;
        for (const int type : types)
            data << type * 256 + number;
        return data;
    }
    ItemList List(int type, int detail = 2) const
    {
        ItemList list;
        presenter.FillFunctionList(list, type, Number, false, detail);
        return list;
    }

    settings::Strings strings{settings::StringTable::builtIn()};
    project::ProjectModel model;
    settings::NameTables names = settings::FillNameTables(strings);
    ValueFormatter values{strings, QLocale::c()};
    FunctionPresenter presenter{model, names, strings, values};
};

TEST_F(Functions, TypeListOffersTheDrivableTypes)
{
    ItemList list;
    list.add("stale", 99);
    presenter.FillFunctionTypeList(list);
    EXPECT_EQ(Data(list), (QList<int>{1, 2, 5, 8, 9, 10, 54, 51, 52, 66, 65, 15, 14, 4, 3, 53}));
    EXPECT_EQ((QStringList{list.entries[1].text, list.entries[9].text, list.entries[10].text}),
              (QStringList{"Dimmers", "Audio", "Sensor functions"}));

    // Sensor and audio functions are chosen through their groups.
    const auto group = &FunctionPresenter::TypeListEntryFor;
    EXPECT_EQ((std::array{group(21), group(32), group(20)}), (std::array{65, 66, 20}));
}

TEST_F(Functions, DescriptionsInEachMode)
{
    const QList<std::tuple<int, int, int, bool, QString>> cases{
        // clang-format off
        {1, 5, Number, false, " 05 Hall"}, {1, 5, CodeNumber, false, "REL  05 Hall"},
        {1, 5, Code, true, "REL\tHall"},
        {1, 6, Number, false, " 06"}, // no name: blanks dropped
        {2, 3, CodeNumber, false, "DIM  03 Lounge"}, {5, 123, Number, false, "123"},
        {20, 0, Number, false, " 01 Garden"}, // shown from 1
        {26, 1, Number, false, " 01 Garden: Day"},
        {34, 2, Number, false, " 02 Kitchen: Power On/Off"},
        {14, 1, NameOnly, false, "Regime: Workday"},
        {0, 9, CodeNumber, false, "None"}, {77, 5, Number, false, "Function: 77 5"},
        // Numbers past the end of their table add no name, whatever the byte was.
        {15, 40, Number, false, " 40"}, {26, 200, Number, false, "200"},
        {14, 6, NameOnly, false, ""},
        {1, -1, Number, false, "-01"},
        // clang-format on
    };
    for (const auto &[type, number, mode, tabs, text] : cases)
        EXPECT_EQ(presenter.DescribeFunction(type, number, mode, tabs), text) << qPrintable(text);

    const QString entryName = model.InputModules[2].Name.text();
    EXPECT_EQ(presenter.DescribeItem(22, 2, CodeNumber, true), "I 02  KV2\t" + entryName);
    EXPECT_EQ(presenter.DescribeItem(3, 1, CodeNumber, false),
              "O 01  DIM " + model.OutputModules[1].Name.text());
    EXPECT_EQ(presenter.DescribeItem(0, 5, Code, false), "NO " + model.ZoneNames[5].Name.text());
    EXPECT_EQ(presenter.DescribeItem(9, 5, CodeNumber, false), "05   ");
}

TEST_F(Functions, ListsHoldOnlyDefinedFunctions)
{
    EXPECT_EQ(List(1).entries, (QList<ListEntry>{{" 05 Hall", 256 + 5}, {" 07 Porch", 256 + 7}}));
    EXPECT_EQ(Data(List(2)), (QList<int>{512 + 3}));
    EXPECT_EQ(Data(List(15)), (QList<int>{15 * 256 + 0, 15 * 256 + 7}));
    EXPECT_TRUE(List(10).entries.isEmpty()); // no general mood has a name

    // Sensors in use only; the finer functions at detail 2, and frost only for temperature.
    EXPECT_EQ(Data(List(65)), Items({21, 22, 23, 26, 25, 24}, 1) + Items({21, 22, 23, 26, 25}, 3));
    EXPECT_EQ(List(65, 1).entries.size(), 6);

    // The unnamed zone adds nothing, and the next one keeps its own number.
    EXPECT_EQ(Data(List(66)),
              Items({34, 36, 37, 38, 39, 40, 41, 42, 32, 33, 44, 45, 46, 47, 48, 49, 43, 35}, 2));
    EXPECT_EQ(List(66, 1).entries.size(), 11);

    // Buzzers on keypad-like modules, button simulation also on digital inputs.
    EXPECT_EQ(Data(List(51)), (QList<int>{51 * 256 + 2}));
    EXPECT_EQ(Data(List(52)), (QList<int>{52 * 256 + 2, 52 * 256 + 3}));

    // A model with smaller limits lists fewer outputs.
    model.Limits.Relays = 6;
    EXPECT_EQ(Data(List(1)), (QList<int>{256 + 5}));
    model.Limits = {};
    for (int type : {1, 2, 51, 52, 65, 66})
        EXPECT_TRUE(List(type).entries.isEmpty()) << type;

    // The editor selects an entry by its data: the last match, under a mask if given; a miss
    // leaves the selection alone.
    ItemList list;
    for (const int data : {0x0105, 0x0205, 0x0105})
        list.add("x", data);
    EXPECT_EQ((std::array{SelectByItemData(list, 0x0105), SelectByItemData(list, 0x05, 0xFF),
                          SelectByItemData(list, 0x0999), list.currentIndex}), // braces: in order
              (std::array{2, 2, -1, 2}));
}

TEST_F(Functions, DefinitionPreviews)
{
    EXPECT_EQ(presenter.DescribeDefinition(1, 5), "REL  05 Hall 60 VA LightPoint");
    EXPECT_EQ(presenter.DescribeDefinition(2, 3), "DIM  03 Lounge 3 s 300 VA WallSocket");
    EXPECT_EQ(presenter.DescribeDefinition(5, 3), "On 90 Sec REL  05 Hall");

    model.LocalMoods[0].Items[0] = {1, 5, 0};
    model.LocalMoods[0].Items[2] = {2, 3, 3}; // an empty item in between is passed over
    EXPECT_EQ(presenter.DescribeDefinition(8, 0),
              "Off REL  05 Hall\r\nUncoupled DIM  03 Lounge\r\n");

    project::GeneralMoodRec &mood = model.GeneralMoods[0];
    mood.RelayStates.fill(3);
    mood.DimmerLevels.fill(3);
    mood.RelayStates[5] = 255;
    mood.DimmerLevels[3] = 0;
    mood.Extras[0] = {15, 0, 255}; // extras 0 and 5 are not shown
    mood.Extras[1] = {15, 7, 0};
    EXPECT_EQ(presenter.DescribeDefinition(10, 0),
              "On REL  05 Hall\r\n\r\n0 % DIM  03 Lounge\r\n\r\nOff FLG  07 Guests\r\n");

    model.Fans[0] = {{1, 5, 255, 7}, 120, {}, 1};
    EXPECT_EQ(presenter.DescribeDefinition(7, 0),
              "On REL  05 Hall\r\n120 Sec REL  07 Porch\r\nSetting: Ventilator ON when switching "
              "light ON");

    model.IfElseFunctions[0].Data = {15, 0, 1, 5, 0, 1, 7, 0};
    EXPECT_EQ(presenter.DescribeDefinition(4, 0),
              "If condition (true): \r\n  FLG  00 Holiday\r\n'THEN: \r\n  REL  05 Hall\r\n"
              "'ELSE: \r\n  REL  07 Porch\r\n");

    model.ProcessFunctions[0].Bytes = {15, 7, 0, 1, 1, 5, 0};
    EXPECT_EQ(presenter.DescribeDefinition(3, 0),
              "Effect after activation: Continuous ON if TRUE\r\nFunction to be monitored: FLG  "
              "07 Guests\r\nFunction to be executed: REL  05 Hall\r\n");

    model.Messages[0].Line1 = QStringLiteral("Door open");
    model.Messages[0].Beeps = 3;
    EXPECT_EQ(presenter.DescribeDefinition(54, 0),
              "Alarm (on all LCD interfaces)\r\nDoor open       \r\n                \r\n"
              "Number of beeps: 3\r\n");

    // Bytes from a file that point nowhere give what can be said, never a fault.
    model.ProcessFunctions[1].Bytes = {0, 0, 0, 200, 99, 0, 0};
    EXPECT_EQ(presenter.DescribeDefinition(3, 1),
              "Effect after activation: \r\nFunction to be monitored: None\r\nFunction to be "
              "executed: Function: 99 0\r\n");
    for (int type : {3, 4, 5, 6, 7, 8, 9, 10, 11, 54, 55})
        EXPECT_EQ(presenter.DescribeDefinition(type, 255), "") << type;
    EXPECT_EQ(presenter.DescribeDefinition(1, 9), "REL  09"); // no module carries it
}

} // namespace
} // namespace quintara::ui
