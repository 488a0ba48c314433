#include "tests/tables/TablesFixture.h"

#include "tables/FunctionIndexTables.h"
#include "tables/TableSlots.h"

namespace quintara::testing {
namespace {

using namespace project;
using std::vector;
using tables::TableSlot::KeyIndex;
using tables::TableSlot::LocalMoodIndex;

// Section starts of the local mood index of model 2 (16 relays, 8 dimmers, 2 sensors, 2 audio
// zones, 30 flags): data 0, links 1001, local moods 3003, timed local moods 3203, dimmers 3223,
// sensor levels 3239, regimes 3251, audio 3263, messages 3291, service 3311, flags 3315,
// process functions 3375, relays 3395; 3427 bytes.
constexpr int MoodLinks = 1001, MoodDimmerHeads = 3223, MoodSensorHeads = 3239,
              MoodAudioHeads = 3263, MoodFlagHeads = 3315, MoodRelayHeads = 3395;

// Section starts of the key index of model 2 (89 pool records written): module 0, key 89,
// links 178, local moods 356, timed local moods 556, general moods 576, dimmers 616, sensors 632
// (types 20, 26, 25, 24), regimes 648, audio 660, messages 688, service 708, flags 712,
// process functions 772, relays 792; 824 bytes.
constexpr int KeyKeys = 89, KeyLinks = 178, KeyMoodHeads = 356, KeyGeneralMoodHeads = 576,
              KeyDimmerHeads = 616, KeyType24Heads = 644, KeyMessageHeads = 688, KeyFlagHeads = 712,
              KeyProcessHeads = 772, KeyRelayHeads = 792;

class FunctionIndexTablesTest : public TablesTest {};

TEST_F(FunctionIndexTablesTest, TwoLocalMoodsOnOneRelayAreLinkedNewestFirst)
{
    useModel(2);
    model().LocalMoods[2].Items[0] = {1, 5, 255};
    model().LocalMoods[7].Items[0] = {1, 5, 0};

    ASSERT_TRUE(compiler.BuildTable(LocalMoodIndex));
    EXPECT_EQ(set[LocalMoodIndex].LastIndex, 3427);
    // The first variation is record 999, the second 998.
    expectWork(LocalMoodIndex, 998, {7, 2});
    expectWords(
        LocalMoodIndex,
        {{MoodRelayHeads + 2 * 4, 998}, {MoodLinks + 2 * 998, 999}, {MoodLinks + 2 * 999, 0}});
    set.FinishTable(LocalMoodIndex);
    EXPECT_EQ(set[LocalMoodIndex].Length, MoodRelayHeads + 2 * 4 + 2);
}

TEST_F(FunctionIndexTablesTest, MoodItemsAreIndexedUnderTheFunctionTheyReach)
{
    useModel(2);
    model().TimedFunctions[3] = {2, 4, 0, 0, {}};
    model().IfElseFunctions[1].Data = {60, 1, 15, 2, 0, 1, 1, 0};
    model().Motors[0].Bytes = {7, 0};
    model().LocalMoods[3].Items = {{
        {5, 3, 0},    // timed function 3 -> dimmer 4
        {4, 1, 0},    // If-Then-Else 1 -> flag 2
        {6, 0, 0},    // motor 0, first relay -> relay 7
        {55, 0, 0},   // motor 0, second relay: number 0, left out
        {10, 1, 0},   // general moods are not indexed here
        {23, 2, 0},   // counts as a type 26 sensor level
        {34, 1, 0},   // counts as audio function 36
        {12, 200, 0}, // a timed function beyond the list
        {0, 0, 0},    // ends the mood
        {1, 9, 0},
    }};

    ASSERT_TRUE(compiler.BuildTable(LocalMoodIndex));
    expectWork(LocalMoodIndex, 994, {0, 3, 3, 3, 3, 3, 0});
    // clang-format off
    expectWords(LocalMoodIndex, {{MoodDimmerHeads + 2 * 3, 999}, {MoodFlagHeads + 2 * 1, 998},
                                 {MoodRelayHeads + 2 * 6, 997}, {MoodSensorHeads + 2 * 1, 996},
                                 {MoodAudioHeads, 995}, {MoodRelayHeads + 2 * 8, 0}});
    // clang-format on
    EXPECT_EQ(tables::MoodItemTarget(model(), {6, 0, 0}), (tables::FunctionTarget{1, 7}));
    EXPECT_EQ(tables::MoodItemTarget(model(), {7, 1, 0}), std::nullopt); // fans are not followed
}

TEST_F(FunctionIndexTablesTest, KeysAreIndexedUnderTheFunctionTheyReach)
{
    useModel(2); // pool of 90 records, the first variation is record 79
    model().Sensors[0].Bytes = {2, 0, 0, 15, 4, 0}; // a sensor that switches flag 4
    model().Sensors[1].Bytes = {1, 0, 0, 9, 11, 0}; // temperature: relays 9 and 11
    model().Fans[1].Bytes = {2, 3, 0, 0};
    model().TraList[0].Bytes = {54, 10};
    model().Motors[2].Bytes = {15, 16};
    model().TimedFunctions[69] = {3, 1, 0, 0, {}};

    InputModuleRec &first = model().InputModules[3];
    first.ModuleType = 2;
    first.Byte2 = 2; // the module's own sensor
    const std::array<std::array<quint8, 2>, 8> firstKeys{{
        {1, 5},       // relay 5
        {64 + 10, 3}, // general mood 3; the upper two bits are not the type
        {24, 0},      // sensor level of the module's sensor 2
        {21, 0},      // module's sensor 2, temperature: relay 9
        {30, 2},      // module's sensor 2, second output: relay 11
        {22, 1},      // sensor 1, not temperature: its function, flag 4
        {30, 3},      // neither output of the sensor
        {8, 95},      // local mood 95 has no head in a pool of 90: left out, with a word
    }};
    InputModuleRec &second = model().InputModules[4];
    second.ModuleType = 2;
    const std::array<std::array<quint8, 2>, 8> secondKeys{{
        {7, 1},  // fan 1 -> dimmer 3
        {11, 0}, // TRA 0 -> message 10
        {25, 0}, // no number and no module sensor
        {55, 2}, // motor 2, second relay -> relay 16
        {1, 5},  // relay 5 again
        {32, 1}, // never indexed
        {5, 69}, // timed function 69 -> process function 1
        {5, 70}, // beyond the timed functions
    }};
    for (int k = 0; k < 8; ++k) {
        first.Keys[k].Bytes = {firstKeys[k][0], firstKeys[k][1], 0, 0};
        second.Keys[k].Bytes = {secondKeys[k][0], secondKeys[k][1], 0, 0};
    }

    // Keys of moods beyond the pool on another module: each mood is said once.
    model().InputModules[0].Keys[0].Bytes = {8, 100, 0, 0};
    model().InputModules[0].Keys[1].Bytes = {8, 95, 0, 0};
    ASSERT_TRUE(compiler.BuildTable(KeyIndex));
    EXPECT_EQ(Texts(compiler.notices()),
              (QStringList{"No room in SW for LMD 100", "No room in SW for LMD 95"}));
    EXPECT_EQ(set[KeyIndex].LastIndex, 824);
    // Records 69 to 79, newest first: module and key of each.
    expectWork(KeyIndex, 68, {0, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 3});
    expectWork(KeyIndex, KeyKeys + 69, {6, 4, 3, 1, 0, 5, 4, 3, 2, 1, 0});
    // clang-format off
    expectWords(KeyIndex, {{KeyRelayHeads + 2 * 4, 70}, {KeyLinks + 2 * 70, 79},
                           {KeyLinks + 2 * 79, 0}, {KeyGeneralMoodHeads + 2 * 2, 78},
                           {KeyType24Heads + 2 * 1, 77}, {KeyRelayHeads + 2 * 8, 76},
                           {KeyRelayHeads + 2 * 10, 75}, {KeyFlagHeads + 2 * 3, 74},
                           {KeyDimmerHeads + 2 * 2, 73}, {KeyMessageHeads + 2 * 9, 72},
                           {KeyRelayHeads + 2 * 15, 71}, {KeyProcessHeads, 69}});
    // clang-format on
    // Heads of local moods beyond the pool are written as empty lists.
    expectWork(KeyIndex, KeyMoodHeads + 2 * 89, vector<int>(22, 0));
}

TEST_F(FunctionIndexTablesTest, FullPoolsDropVariationsWithAMessage)
{
    useModel(2);
    for (int i = 0; i <= limits().MaxInputModule; ++i) {
        for (InputKeyRec &key : model().InputModules[i].Keys)
            key.Bytes = {1, 1, 0, 0};
    }
    for (LocalMoodRec &mood : model().LocalMoods)
        mood.Items.fill({1, 1, 255});

    // 88 keys for the records 79 down to 1, 1000 items for the records 999 down to 1.
    ASSERT_TRUE(compiler.BuildTable(KeyIndex));
    ASSERT_TRUE(compiler.BuildTable(LocalMoodIndex));
    const QStringList expected = QStringList(9, "To many variations in SW")
                                 << "To many variations in LM";
    EXPECT_EQ(Texts(compiler.notices()), expected);
    EXPECT_EQ(std::pair(compiler.notices()[0].title, compiler.notices()[0].icon),
              std::pair(platform::ProgramTitle, platform::Icon::None));
    // A build of the whole set hands them on in the same order.
    const tables::BuildResult built = compiler.BuildAllTables();
    EXPECT_TRUE(built.ok);
    EXPECT_EQ(Texts(built.notices), expected);
    expectWords(KeyIndex, {{KeyRelayHeads, 1}});
    expectWork(KeyIndex, 1, {9}); // module 9, key 6 was the last one taken
    expectWork(KeyIndex, KeyKeys + 1, {6});
    expectWords(LocalMoodIndex, {{MoodRelayHeads, 1}, {0, 99}});
}

TEST_F(FunctionIndexTablesTest, LastRelayHeadEndsTheDeclaredLengthOfTheLargestModel)
{
    useModel(0);
    model().InputModules[99].Keys[7].Bytes = {1, 176, 0, 0};
    model().LocalMoods[0].Items[0] = {1, 176, 255};
    ASSERT_TRUE(compiler.BuildTable(KeyIndex));
    ASSERT_TRUE(compiler.BuildTable(LocalMoodIndex));
    // The first key variation is record 99 × 8 − 1.
    expectWords(KeyIndex, {{4894, 791}});
    expectWords(LocalMoodIndex, {{4589, 999}});
    set.FinishTable(KeyIndex);
    set.FinishTable(LocalMoodIndex);
    EXPECT_EQ(std::pair(int(set[KeyIndex].Length), int(set[LocalMoodIndex].Length)),
              std::pair(4896, 4591));
}

} // namespace
} // namespace quintara::testing
