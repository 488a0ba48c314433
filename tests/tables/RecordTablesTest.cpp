#include "tests/tables/TablesFixture.h"

#include "tables/TableSlots.h"

namespace quintara::testing {
namespace {

using namespace project;
using std::vector;
using tables::TableSlot::AudioZones;

// Blank-padded text as table bytes.
vector<int> text(const char *latin1, int width)
{
    vector<int> out;
    for (const char *c = latin1; *c; ++c)
        out.push_back(static_cast<unsigned char>(*c));
    out.resize(static_cast<std::size_t>(width), ' ');
    return out;
}

vector<int> operator+(vector<int> a, const vector<int> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

vector<int> zeros(int count)
{
    return vector<int>(static_cast<std::size_t>(count), 0);
}

class RecordTablesTest : public TablesTest {};

TEST_F(RecordTablesTest, InputModulesAndOutputModules)
{
    useModel(2);
    InputModuleRec &module = model().InputModules[1];
    module.ModuleType = 2;
    module.Byte1 = 7;
    module.Byte2 = 9;
    module.Keys[0].Bytes = {1, 5, 3, 4};
    module.Keys[7].Bytes = {8, 2, 0, 1};
    model().OutputModules[4] = {};
    model().OutputModules[4].ModuleType = 131;
    model().OutputModules[4].FirstOutput = 1;

    ASSERT_TRUE(compiler.BuildTable(tables::TableSlot::InputModules));
    EXPECT_EQ(set[0].LastIndex, 11 * 35);
    EXPECT_EQ(work(0, 0, 35), zeros(35));
    EXPECT_EQ(work(0, 35, 35), (vector<int>{2, 7, 9, 1, 5, 3, 4} + zeros(24) + vector{8, 2, 0, 1}));
    set.FinishTable(0);
    EXPECT_EQ(set[0].Length, 70);

    ASSERT_TRUE(compiler.BuildTable(tables::TableSlot::OutputModules));
    EXPECT_EQ(set[20].LastIndex, 5 * 2);
    EXPECT_EQ(work(20, 0, 10), (zeros(8) + vector{131, 1}));
}

TEST_F(RecordTablesTest, DimmerOutputTakesTheRampOfTheFirstDimmerModuleOfItsGroup)
{
    useModel(1); // 40 dimmers, 18 output modules
    auto &modules = model().OutputModules;
    modules[0].ModuleType = 101; // relay module of the same group: not a dimmer
    modules[0].FirstOutput = 1;
    modules[0].Channels[0].Ramp = 50;
    modules[1].ModuleType = 0; // no module
    modules[1].FirstOutput = 1;
    modules[1].Channels[0].Ramp = 51;
    modules[2].ModuleType = 131;
    modules[2].FirstOutput = 1;
    modules[2].Channels[0].Ramp = 6;
    modules[2].Channels[3].Ramp = 9;
    modules[3].ModuleType = 140; // same group again: the first one wins
    modules[3].FirstOutput = 1;
    modules[3].Channels[0].Ramp = 99;

    ASSERT_TRUE(compiler.BuildTable(tables::TableSlot::DimmerOutputs));
    EXPECT_EQ(set[1].LastIndex, 40);
    EXPECT_EQ(work(1, 0, 13), (zeros(8) + vector{6, 0, 0, 9, 0}));

    modules[2].ModuleType = 0;
    modules[3].ModuleType = 0;
    ASSERT_TRUE(compiler.BuildTable(tables::TableSlot::DimmerOutputs));
    EXPECT_EQ(work(1, 0, 40), zeros(40));
}

TEST_F(RecordTablesTest, FunctionListsWithSixteenBitValuesHighByteFirst)
{
    useModel(2);
    model().TraList[0].Bytes = {3, 4};
    model().TraList[24].Bytes = {5, 6};
    model().TimedFunctions[0].Time = -1;
    model().TimedFunctions[1] = {1, 3, 255, 300, Name50("Stairs")};
    model().Fans[0].Bytes = {1, 2, 200, 4};
    model().Fans[0].Value = 300;
    model().Fans[0].Setting = 1;
    model().Fans[9].Value = 1;
    model().IfElseFunctions[29].Data = {60, 1, 1, 5, 0, 2, 6, 0};
    model().Motors[0].Bytes = {3, 4};
    model().Motors[0].RunTime = 600;
    model().ProcessFunctions[9].Bytes = {1, 2, 3, 4, 5, 6, 7};
    model().AudioZones[1].Bytes = {31, 2};
    for (int b = 0; b < 24; ++b)
        model().Conditions[24].Bytes[b] = static_cast<quint8>(b + 1);

    for (const int slot : {2, 3, 4, 5, 6, 10, 16, 17})
        ASSERT_TRUE(compiler.BuildTable(slot)) << slot;

    const struct {
        int slot, lastIndex, from;
        vector<int> bytes;
    } expected[] = {{2, 50, 0, {3, 4}},
                    {2, 50, 48, {5, 6}},
                    {3, 40 * 5, 0, {0, 0, 0, 255, 255, 1, 3, 255, 1, 44}},
                    {4, 60, 0, {1, 2, 200, 4, 1, 44, 0}},
                    {4, 60, 54, {0, 0, 0, 0, 0, 1}},
                    {5, 30 * 8, 29 * 8, {60, 1, 1, 5, 0, 2, 6, 0}},
                    {6, 40 * 4, 0, {3, 4, 2, 88}},
                    {10, 70, 63, {1, 2, 3, 4, 5, 6, 7}},
                    {AudioZones, 2 * 2, 0, {0, 0, 31, 2}},
                    // Of each group of six condition bytes the first five are sent.
                    {17, 25 * 20, 24 * 20, {1,  2,  3,  4,  5,  7,  8,  9,  10, 11,
                                            13, 14, 15, 16, 17, 19, 20, 21, 22, 23}}};
    for (const auto &e : expected) {
        EXPECT_EQ(set[e.slot].LastIndex, e.lastIndex) << e.slot;
        expectWork(e.slot, e.from, e.bytes);
    }
}

TEST_F(RecordTablesTest, MoodTables)
{
    useModel(2); // 16 relays and 8 dimmers: a general mood entry is 39 bytes
    model().LocalMoods[1].Byte = 9;
    model().LocalMoods[1].Items[0] = {1, 5, 255};
    model().LocalMoods[1].Items[9] = {2, 3, 50};
    model().TimedLocalMoods[9].Byte = 4;
    model().TimedLocalMoods[9].Items[0] = {1, 2, 3, 300};

    GeneralMoodRec &evening = model().GeneralMoods[0];
    evening.Name = QStringLiteral("Evening");
    evening.RelayStates[0] = 77; // index 0 belongs to no relay
    evening.RelayStates[1] = 1;
    evening.RelayStates[16] = 2;
    evening.RelayStates[17] = 88; // beyond the model's relays
    evening.DimmerLevels[1] = 10;
    evening.DimmerLevels[8] = 20;
    evening.Extras[0] = {8, 1, 3};
    evening.Extras[4] = {2, 2, 2};
    evening.Extras[5] = {9, 9, 9};              // the sixth extra is not sent
    model().GeneralMoods[1].RelayStates[1] = 5; // nameless: not sent
    model().GeneralMoods[2].Name = QStringLiteral("Night");
    model().GeneralMoods[2].RelayStates[2] = 1;
    model().GeneralMoods[19].DimmerLevels[3] = 7; // nameless and last

    for (const int slot : {7, 8, 9})
        ASSERT_TRUE(compiler.BuildTable(slot)) << slot;

    EXPECT_EQ(std::tuple(set[7].LastIndex, set[8].LastIndex, set[9].LastIndex),
              std::tuple(3100, 510, 39 * 20));
    expectWork(7, 31, vector{9, 1, 5, 255} + zeros(24) + vector{2, 3, 50});
    expectWork(8, 9 * 51, {4, 1, 2, 3, 1, 44, 0});
    vector<int> relays = zeros(16);
    relays[0] = 1;
    relays[15] = 2;
    vector<int> dimmers = zeros(8);
    dimmers[0] = 10;
    dimmers[7] = 20;
    expectWork(9, 0, relays + dimmers + vector{8, 1, 3} + zeros(9) + vector{2, 2, 2} + zeros(40));
    expectWork(9, 78, {0, 1, 0});
    // The nameless last mood is zeros, which are not sent.
    set.FinishTable(9);
    EXPECT_EQ(set[9].Length, 80);
}

TEST_F(RecordTablesTest, SensorNamesAndMessageLinesAreSentAsFixedTexts)
{
    useModel(2);
    SensorRec &first = model().Sensors[0];
    first.Name = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
    first.Bytes = {1, 2, 3, 4, 5, 6};
    SensorRec &second = model().Sensors[1];
    second.Name = QStringLiteral("  K\u20ac\u00fc ");
    MessageRec &message = model().Messages[9];
    message.Line1 = QStringLiteral("Alarm");
    message.Line2 = QStringLiteral("Door open");
    message.InterfaceNumber = 3;
    message.Beeps = 2;

    ASSERT_TRUE(compiler.BuildTable(tables::TableSlot::Sensors));
    EXPECT_EQ(set[12].LastIndex, 2 * 23);
    // Sixteen characters and one blank, then the six bytes.
    EXPECT_EQ(work(12, 0, 23), (text("ABCDEFGHIJKLMNOP", 17) + vector{1, 2, 3, 4, 5, 6}));
    // Outer blanks go, also from the stored name; characters in Windows-1252.
    EXPECT_EQ(work(12, 23, 23), text("K\x80\xfc", 17) + zeros(6));
    EXPECT_EQ(second.Name.text(), Name50(QStringLiteral("K\u20ac\u00fc")).text());

    ASSERT_TRUE(compiler.BuildTable(tables::TableSlot::Messages));
    EXPECT_EQ(set[19].LastIndex, 340);
    EXPECT_EQ(work(19, 0, 34), text("", 32) + zeros(2));
    EXPECT_EQ(work(19, 9 * 34, 34), (text("Alarm", 16) + text("Door open", 16) + vector{3, 2}));
}

TEST_F(RecordTablesTest, CentralOptionsTakeTheirSourcePositions)
{
    ASSERT_TRUE(compiler.BuildTable(tables::TableSlot::CentralOptions));
    EXPECT_EQ(set[15].LastIndex, 37);
    // The options of an empty project.
    EXPECT_EQ(work(15, 0, 37), (vector{1, 1, 1, 1, 1, 0, 0, 0, 0, 3, 5, 90, 5, 5} + zeros(15) +
                                vector{25, 0, 0, 40, 1, 0, 0, 255}));

    for (int n = 0; n < SystemOptionCount; ++n)
        model().System.Options[n] = static_cast<quint8>(100 + n);
    model().Options.Bytes = {200, 201, 202, 203};
    ASSERT_TRUE(compiler.BuildTable(tables::TableSlot::CentralOptions));
    EXPECT_EQ(work(15, 0, 37),
              (vector{102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 113, 112, // crossed
                      114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126,
                      127, 128, 129, 0,   100, 200, 201, 203, 101, 130, 131, 132}));

    // Read back into the same positions; the unsent options keep what the model had.
    model().System.Options.fill(0);
    model().Options.Bytes = {0, 0, 77, 0};
    set[15].Received = set[15].Work;
    compiler.DecodeTable(tables::TableSlot::CentralOptions);
    for (int n = 0; n <= 32; ++n)
        EXPECT_EQ(model().System.Options[n], 100 + n) << n;
    EXPECT_EQ(model().System.Options[33], 0);
    EXPECT_EQ(model().Options.Bytes, (std::array<quint8, 4>{200, 201, 77, 203}));
}

TEST_F(RecordTablesTest, DecodersNameTheRecordsInUse)
{
    useModel(2);
    const auto received = [this](int slot) -> tables::TableArea & { return set[slot].Received; };
    received(0)[35] = 2;           // input module 1
    received(2)[2 * 24] = 1;       // TRA 24
    received(3)[5] = 1;            // timed function 1
    received(4)[6 * 9] = 3;        // fan 9
    received(5)[8 * 3 + 2] = 1;    // If-Then-Else 3: THEN type
    received(5)[8 * 4] = 60;       // If-Then-Else 4: condition only
    received(6)[4 * 2 + 3] = 1;    // motor 2: run time 1
    received(6)[4 * 3 + 2] = 0x80; // motor 3: negative run time
    received(7)[31 * 99 + 1] = 1;  // local mood 99: item 0 type
    received(7)[31 * 98] = 1;      // local mood 98: only the byte before the items
    received(10)[7 * 2 + 4] = 1;   // process function 2: fifth byte
    received(10)[7 * 3] = 1;       // process function 3: first byte only
    received(16)[2] = 31;          // audio zone 1
    received(17)[20 * 24] = 1;     // condition 24
    received(20)[2 * 4] = 140;     // output module 4

    compiler.DecodeAllTables();
    const ProjectModel &m = model();
    const std::pair<const Name50 &, const char *> names[] = {
        {m.InputModules[1].Name, "Interface 1"},
        {m.InputModules[0].Name, ""},
        {m.TraList[24].Name, "Transparent 24"},
        {m.TimedFunctions[1].Name, "Timed function 1"},
        {m.TimedFunctions[0].Name, ""},
        {m.Fans[9].Name, "Fan function 9"},
        {m.IfElseFunctions[3].Name, "If-Then-Else functions 3"},
        {m.IfElseFunctions[4].Name, ""},
        {m.Motors[2].Name, "Motor 2"},
        {m.Motors[3].Name, ""},
        {m.LocalMoods[99].Name, "Local mood 99"},
        {m.LocalMoods[98].Name, ""},
        {m.ProcessFunctions[2].Name, "Process functions 2"},
        {m.ProcessFunctions[3].Name, ""},
        {m.AudioZones[1].Name, "Audio zone 1"},
        {m.AudioZones[0].Name, ""},
        {m.Conditions[24].Name, "Condition 24"},
        {m.OutputModules[4].Name, "Interface 4"}};
    for (const auto &[name, expected] : names)
        EXPECT_EQ(name.trimmedRight(), expected);
    // Every general mood gets its name, programmed or not.
    for (int g = 0; g < GeneralMoodSlots; ++g)
        EXPECT_EQ(m.GeneralMoods[g].Name.trimmedRight(), QStringLiteral("General mood %1").arg(g));
}

TEST_F(RecordTablesTest, DimmerRampsGoBackToTheModuleFoundThroughTheDecodedOutputModules)
{
    useModel(1);
    set[20].Received[2 * 5] = 131; // output module 5: dimmer module for outputs 9 to 16
    set[20].Received[2 * 5 + 1] = 1;
    set[1].Received[8] = 6;  // dimmer 9
    set[1].Received[15] = 7; // dimmer 16
    set[1].Received[0] = 8;  // dimmer 1: no module carries it
    compiler.DecodeAllTables();
    const auto &channels = model().OutputModules[5].Channels;
    EXPECT_EQ(channels[0].Ramp, 6);
    EXPECT_EQ(channels[7].Ramp, 7);
    EXPECT_EQ(model().DimmerChannel(1), nullptr);
}

} // namespace
} // namespace quintara::testing
