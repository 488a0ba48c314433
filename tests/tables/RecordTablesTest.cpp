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

// Every record table of model 2 built from one project: 16 relays and 8 dimmers, so that a
// general mood entry is 39 bytes; 16-bit values go high byte first.
TEST_F(RecordTablesTest, RecordsAreLaidOutAsTheCentralUnitReadsThem)
{
    useModel(2);
    ProjectModel &m = model();
    InputModuleRec &module = m.InputModules[1];
    std::tie(module.ModuleType, module.Byte1, module.Byte2) = std::tuple(2, 7, 9);
    module.Keys[0].Bytes = {1, 5, 3, 4};
    module.Keys[7].Bytes = {8, 2, 0, 1};
    std::tie(m.OutputModules[4].ModuleType, m.OutputModules[4].FirstOutput) = std::pair(131, 1);

    m.TraList[0].Bytes = {3, 4};
    m.TraList[24].Bytes = {5, 6};
    m.TimedFunctions[0].Time = -1;
    m.TimedFunctions[1] = {1, 3, 255, 300, Name50("Stairs")};
    m.Fans[0] = {{1, 2, 200, 4}, 300, {}, 1};
    m.Fans[9].Value = 1;
    m.IfElseFunctions[29].Data = {60, 1, 1, 5, 0, 2, 6, 0};
    m.Motors[0] = {{3, 4}, 600, {}};
    m.ProcessFunctions[9].Bytes = {1, 2, 3, 4, 5, 6, 7};
    m.AudioZones[1].Bytes = {31, 2};
    for (int b = 0; b < 24; ++b)
        m.Conditions[24].Bytes[b] = static_cast<quint8>(b + 1);

    m.LocalMoods[1].Byte = 9;
    m.LocalMoods[1].Items[0] = {1, 5, 255};
    m.LocalMoods[1].Items[9] = {2, 3, 50};
    m.TimedLocalMoods[9].Byte = 4;
    m.TimedLocalMoods[9].Items[0] = {1, 2, 3, 300};
    GeneralMoodRec &evening = m.GeneralMoods[0];
    evening.Name = QStringLiteral("Evening");
    // Relay state 0 belongs to no relay, 17 lies beyond the model's relays.
    auto &states = evening.RelayStates;
    std::tie(states[0], states[1], states[16], states[17]) = std::tuple(77, 1, 2, 88);
    std::tie(evening.DimmerLevels[1], evening.DimmerLevels[8]) = std::pair(10, 20);
    evening.Extras[0] = {8, 1, 3};
    evening.Extras[4] = {2, 2, 2};
    evening.Extras[5] = {9, 9, 9};        // the sixth extra is not sent
    m.GeneralMoods[1].RelayStates[1] = 5; // nameless: not sent
    m.GeneralMoods[2].Name = QStringLiteral("Night");
    m.GeneralMoods[2].RelayStates[2] = 1;
    m.GeneralMoods[19].DimmerLevels[3] = 7; // nameless and last

    m.Sensors[0].Name = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
    m.Sensors[0].Bytes = {1, 2, 3, 4, 5, 6};
    m.Sensors[1].Name = QStringLiteral("  K\u20ac\u00fc ");
    m.Messages[9] = {{}, FixedText<16>(QStringLiteral("Alarm")),
                     FixedText<16>(QStringLiteral("Door open")), 3, 2};

    vector<int> evenRow = zeros(16) + zeros(8) + vector{8, 1, 3} + zeros(9) + vector{2, 2, 2};
    // Relays 1 and 16, dimmers 1 and 8.
    std::tie(evenRow[0], evenRow[15], evenRow[16], evenRow[23]) = std::tuple(1, 2, 10, 20);
    const QList<std::tuple<int, int, int, vector<int>>> expected{
        {0, 11 * 35, 0, zeros(35) + vector{2, 7, 9, 1, 5, 3, 4} + zeros(24) + vector{8, 2, 0, 1}},
        {20, 5 * 2, 0, zeros(8) + vector{131, 1}},
        {2, 50, 0, {3, 4}},
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
                                13, 14, 15, 16, 17, 19, 20, 21, 22, 23}},
        {7, 3100, 31, vector{9, 1, 5, 255} + zeros(24) + vector{2, 3, 50}},
        {8, 510, 9 * 51, {4, 1, 2, 3, 1, 44, 0}},
        {9, 39 * 20, 0, evenRow + zeros(39) + vector{0, 1, 0}},
        // Sixteen characters and one blank, then the six bytes; outer blanks go, characters
        // in Windows-1252.
        {12, 2 * 23, 0,
         text("ABCDEFGHIJKLMNOP", 17) + vector{1, 2, 3, 4, 5, 6} + text("K\x80\xfc", 17) +
             zeros(6)},
        {19, 340, 0, text("", 32) + zeros(2)},
        {19, 340, 9 * 34, text("Alarm", 16) + text("Door open", 16) + vector{3, 2}}};
    for (const auto &[slot, lastIndex, from, bytes] : expected) {
        ASSERT_TRUE(compiler.BuildTable(slot));
        EXPECT_EQ(set[slot].LastIndex, lastIndex) << slot;
        expectWork(slot, from, bytes);
    }
    // Also the stored name loses its outer blanks; trailing zeros are not sent (the nameless
    // last mood).
    EXPECT_EQ(m.Sensors[1].Name.text(), Name50(QStringLiteral("K\u20ac\u00fc")).text());
    set.FinishTable(0);
    set.FinishTable(9);
    EXPECT_EQ(std::pair(int(set[0].Length), int(set[9].Length)), std::pair(70, 80));
}

TEST_F(RecordTablesTest, DimmerOutputTakesTheRampOfTheFirstDimmerModuleOfItsGroup)
{
    useModel(1); // 40 dimmers, 18 output modules
    auto &modules = model().OutputModules;
    // A relay module of the group (not a dimmer), no module, the dimmer module and another one
    // of the same group: the first one wins.
    const std::pair<quint8, quint8> typeAndRamp[] = {{101, 50}, {0, 51}, {131, 6}, {140, 99}};
    for (std::size_t i = 0; i < 4; ++i) {
        modules[i].ModuleType = typeAndRamp[i].first;
        modules[i].FirstOutput = 1;
        modules[i].Channels[0].Ramp = typeAndRamp[i].second;
    }
    modules[2].Channels[3].Ramp = 9;
    ASSERT_TRUE(compiler.BuildTable(tables::TableSlot::DimmerOutputs));
    EXPECT_EQ(set[1].LastIndex, 40);
    expectWork(1, 0, zeros(8) + vector{6, 0, 0, 9, 0});

    modules[2].ModuleType = modules[3].ModuleType = 0;
    ASSERT_TRUE(compiler.BuildTable(tables::TableSlot::DimmerOutputs));
    expectWork(1, 0, zeros(40));
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
    for (int n = 0; n <= 33; ++n)
        EXPECT_EQ(model().System.Options[n], n <= 32 ? 100 + n : 0) << n;
    EXPECT_EQ(model().Options.Bytes, (std::array<quint8, 4>{200, 201, 77, 203}));
}

// A byte received in one record makes the record one in use, which the decoder names.
TEST_F(RecordTablesTest, DecodersNameTheRecordsInUse)
{
    useModel(2);
    const ProjectModel &m = model();
    // clang-format off
    const QList<std::tuple<int, int, int, const Name50 *, QString>> cases{
        {0, 35, 2, &m.InputModules[1].Name, "Interface 1"}, {0, 0, 0, &m.InputModules[0].Name, ""},
        {2, 2 * 24, 1, &m.TraList[24].Name, "Transparent 24"},
        {3, 5, 1, &m.TimedFunctions[1].Name, "Timed function 1"},
        {3, 0, 0, &m.TimedFunctions[0].Name, ""}, {4, 6 * 9, 3, &m.Fans[9].Name, "Fan function 9"},
        {5, 8 * 3 + 2, 1, &m.IfElseFunctions[3].Name, "If-Then-Else functions 3"}, // THEN type
        {5, 8 * 4, 60, &m.IfElseFunctions[4].Name, ""},                            // condition only
        {6, 4 * 2 + 3, 1, &m.Motors[2].Name, "Motor 2"},                           // run time 1
        {6, 4 * 3 + 2, 0x80, &m.Motors[3].Name, ""},                  // negative run time
        {7, 31 * 99 + 1, 1, &m.LocalMoods[99].Name, "Local mood 99"}, // item 0 type
        {7, 31 * 98, 1, &m.LocalMoods[98].Name, ""}, // only the byte before the items
        {10, 7 * 2 + 4, 1, &m.ProcessFunctions[2].Name, "Process functions 2"}, // fifth byte
        {10, 7 * 3, 1, &m.ProcessFunctions[3].Name, ""},                        // first byte only
        {16, 2, 31, &m.AudioZones[1].Name, "Audio zone 1"}, {16, 0, 0, &m.AudioZones[0].Name, ""},
        {17, 20 * 24, 1, &m.Conditions[24].Name, "Condition 24"},
        {20, 2 * 4, 140, &m.OutputModules[4].Name, "Interface 4"}};
    // clang-format on
    for (const auto &[slot, position, value, name, expected] : cases)
        set[slot].Received[position] = quint8(value);
    compiler.DecodeAllTables();
    for (const auto &[slot, position, value, name, expected] : cases)
        EXPECT_EQ(name->trimmedRight(), expected) << slot << " @" << position;
    // Every general mood gets its name, programmed or not.
    for (int g = 0; g < GeneralMoodSlots; ++g)
        EXPECT_EQ(m.GeneralMoods[g].Name.trimmedRight(), QStringLiteral("General mood %1").arg(g));
}

} // namespace
} // namespace quintara::testing
