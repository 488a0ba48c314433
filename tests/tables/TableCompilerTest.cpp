#include "tests/tables/TablesFixture.h"

#include "tables/TableBytes.h"
#include "tables/TableSlots.h"

#include <random>

namespace quintara::testing {
namespace {

using namespace project;

// Every numeric field of every record filled with random values, names blank or not at random,
// texts of random length: what a crafted project file can put into the model.
class RandomModel {
public:
    explicit RandomModel(unsigned seed) : m_random(seed) {}

    void fill(ProjectModel &m)
    {
        for (InputModuleRec &module : m.InputModules) {
            module.ModuleType = byte();
            module.Byte1 = byte();
            module.Byte2 = byte();
            for (InputKeyRec &key : module.Keys)
                bytes(key.Bytes);
        }
        for (AznRec &zone : m.AudioZones)
            bytes(zone.Bytes);
        for (TraRec &tra : m.TraList)
            bytes(tra.Bytes);
        for (TimedFunctionRec &timed : m.TimedFunctions)
            timed = {byte(), byte(), byte(), int16(), name()};
        for (IfElseRec &ifElse : m.IfElseFunctions)
            bytes(ifElse.Data);
        for (FanRec &fan : m.Fans) {
            bytes(fan.Bytes);
            fan.Value = int16();
            fan.Setting = byte();
        }
        for (MotorRec &motor : m.Motors) {
            bytes(motor.Bytes);
            motor.RunTime = int16();
        }
        for (LocalMoodRec &mood : m.LocalMoods) {
            for (MoodItem &item : mood.Items)
                item = moodItem();
            mood.Byte = byte();
        }
        for (TimedLocalMoodRec &mood : m.TimedLocalMoods) {
            mood.Byte = byte();
            for (TimedMoodItem &item : mood.Items)
                item = {byte(), byte(), byte(), int16()};
        }
        for (GeneralMoodRec &mood : m.GeneralMoods) {
            bytes(mood.RelayStates);
            bytes(mood.DimmerLevels);
            for (MoodItem &item : mood.Extras)
                item = moodItem();
            mood.Name = name();
        }
        for (SensorRec &sensor : m.Sensors) {
            bytes(sensor.Bytes);
            sensor.Name = text(50);
        }
        bytes(m.System.Options);
        for (ConditionRec &condition : m.Conditions)
            bytes(condition.Bytes);
        bytes(m.Options.Bytes);
        for (MessageRec &message : m.Messages) {
            message.Line1 = text(16);
            message.Line2 = text(16);
            message.InterfaceNumber = byte();
            message.Beeps = byte();
        }
        for (OutputModuleRec &module : m.OutputModules) {
            module.ModuleType = byte();
            // Mostly groups that exist, so that outputs find their modules.
            module.FirstOutput = static_cast<quint8>(byte() % 2 ? byte() : byte() % 22);
            for (OutputChannelRec &channel : module.Channels) {
                channel.LoadType = byte();
                channel.Power = int16();
                channel.Ramp = byte();
            }
        }
        for (ProcessFunctionRec &process : m.ProcessFunctions)
            bytes(process.Bytes);
    }

    quint8 byte() { return static_cast<quint8>(m_random() & 0xFF); }
    qint16 int16() { return static_cast<qint16>(m_random() & 0xFFFF); }

    template <std::size_t N> void bytes(std::array<quint8, N> &array)
    {
        for (quint8 &b : array)
            b = byte();
    }

    void bytes(tables::TableArea &area)
    {
        for (quint8 &b : area)
            b = byte();
    }

private:
    MoodItem moodItem() { return {byte(), byte(), byte()}; }
    QString name() { return byte() % 2 ? QStringLiteral("Name") : QString(); }
    QString text(int maxLength)
    {
        QString out;
        const int length = static_cast<int>(m_random() % static_cast<unsigned>(maxLength + 1));
        for (int i = 0; i < length; ++i)
            out.append(QChar(0x20 + byte() % 0xE0));
        return out;
    }

    std::mt19937 m_random;
};

// The fields the record tables carry, as they came back.
void ExpectCarriedFieldsEqual(const ProjectModel &sent, const ProjectModel &back)
{
    const ModelLimits &l = sent.Limits;
    for (int i = 0; i <= l.MaxInputModule; ++i) {
        const InputModuleRec &a = sent.InputModules[i];
        const InputModuleRec &b = back.InputModules[i];
        EXPECT_EQ(a.ModuleType, b.ModuleType) << i;
        EXPECT_EQ(a.Byte1, b.Byte1) << i;
        EXPECT_EQ(a.Byte2, b.Byte2) << i;
        for (int k = 0; k < KeysPerModule; ++k)
            EXPECT_EQ(a.Keys[k].Bytes, b.Keys[k].Bytes) << i << ' ' << k;
    }
    for (int d = 1; d <= l.Dimmers; ++d) {
        const OutputChannelRec *a = sent.DimmerChannel(d);
        const OutputChannelRec *b = back.DimmerChannel(d);
        ASSERT_EQ(a == nullptr, b == nullptr) << d;
        if (a) {
            EXPECT_EQ(a->Ramp, b->Ramp) << d;
        }
    }
    for (int i = 0; i < TraSlots; ++i)
        EXPECT_EQ(sent.TraList[i].Bytes, back.TraList[i].Bytes);
    for (int i = 0; i < l.TimedFunctions; ++i) {
        const TimedFunctionRec &a = sent.TimedFunctions[i];
        const TimedFunctionRec &b = back.TimedFunctions[i];
        EXPECT_EQ(std::tie(a.TargetType, a.TargetNumber, a.Level, a.Time),
                  std::tie(b.TargetType, b.TargetNumber, b.Level, b.Time));
    }
    for (int i = 0; i < FanSlots; ++i) {
        EXPECT_EQ(sent.Fans[i].Bytes, back.Fans[i].Bytes);
        EXPECT_EQ(sent.Fans[i].Value, back.Fans[i].Value);
    }
    for (int i = 0; i < l.IfElseFunctions; ++i)
        EXPECT_EQ(sent.IfElseFunctions[i].Data, back.IfElseFunctions[i].Data);
    for (int i = 0; i < l.Motors; ++i) {
        EXPECT_EQ(sent.Motors[i].Bytes, back.Motors[i].Bytes);
        EXPECT_EQ(sent.Motors[i].RunTime, back.Motors[i].RunTime);
    }
    const auto sameItem = [](const MoodItem &a, const MoodItem &b) {
        return a.Type == b.Type && a.Number == b.Number && a.Value == b.Value;
    };
    for (int m = 0; m < LocalMoodSlots; ++m) {
        EXPECT_EQ(sent.LocalMoods[m].Byte, back.LocalMoods[m].Byte);
        for (int i = 0; i < MoodItems; ++i)
            EXPECT_TRUE(sameItem(sent.LocalMoods[m].Items[i], back.LocalMoods[m].Items[i]));
    }
    for (int m = 0; m < TimedLocalMoodSlots; ++m) {
        EXPECT_EQ(sent.TimedLocalMoods[m].Byte, back.TimedLocalMoods[m].Byte);
        for (int i = 0; i < MoodItems; ++i) {
            const TimedMoodItem &a = sent.TimedLocalMoods[m].Items[i];
            const TimedMoodItem &b = back.TimedLocalMoods[m].Items[i];
            EXPECT_EQ(std::tie(a.Type, a.Number, a.Level, a.Time),
                      std::tie(b.Type, b.Number, b.Level, b.Time));
        }
    }
    for (int m = 0; m < GeneralMoodSlots; ++m) {
        const GeneralMoodRec &a = sent.GeneralMoods[m];
        const GeneralMoodRec &b = back.GeneralMoods[m];
        // A nameless mood is sent as zeros.
        const bool sentOut = !a.Name.isBlank();
        for (int r = 1; r <= l.Relays; ++r)
            EXPECT_EQ(sentOut ? a.RelayStates[r] : 0, b.RelayStates[r]) << m << ' ' << r;
        for (int d = 1; d <= l.Dimmers; ++d)
            EXPECT_EQ(sentOut ? a.DimmerLevels[d] : 0, b.DimmerLevels[d]) << m << ' ' << d;
        for (int e = 0; e < 5; ++e)
            EXPECT_TRUE(sentOut ? sameItem(a.Extras[e], b.Extras[e]) : b.Extras[e].Type == 0);
    }
    for (int i = 0; i < ProcessFunctionSlots; ++i)
        EXPECT_EQ(sent.ProcessFunctions[i].Bytes, back.ProcessFunctions[i].Bytes);
    for (int i = 0; i < l.Sensors; ++i)
        EXPECT_EQ(sent.Sensors[i].Bytes, back.Sensors[i].Bytes);
    for (int n = 0; n <= 32; ++n)
        EXPECT_EQ(sent.System.Options[n], back.System.Options[n]) << n;
    for (const int n : {0, 1, 3})
        EXPECT_EQ(sent.Options.Bytes[n], back.Options.Bytes[n]);
    for (int i = 0; i < l.AudioZones; ++i)
        EXPECT_EQ(sent.AudioZones[i].Bytes, back.AudioZones[i].Bytes);
    for (int i = 0; i < l.Conditions; ++i) {
        for (int b = 0; b < 24; ++b) {
            if (b % 6 != 5) {
                EXPECT_EQ(sent.Conditions[i].Bytes[b], back.Conditions[i].Bytes[b]);
            }
        }
    }
    for (int i = 0; i < MessageSlots; ++i) {
        EXPECT_EQ(sent.Messages[i].InterfaceNumber, back.Messages[i].InterfaceNumber);
        EXPECT_EQ(sent.Messages[i].Beeps, back.Messages[i].Beeps);
    }
    for (int i = 0; i < l.OutputModules; ++i) {
        EXPECT_EQ(sent.OutputModules[i].ModuleType, back.OutputModules[i].ModuleType);
        EXPECT_EQ(sent.OutputModules[i].FirstOutput, back.OutputModules[i].FirstOutput);
    }
}

class TableCompilerTest : public TablesTest {};

TEST_F(TableCompilerTest, EmptyProjectSendsOnlyTheOptionsAndTheBlankTexts)
{
    const tables::BuildResult result = compiler.BuildAllTables();
    ASSERT_TRUE(result.ok);
    for (int slot = 0; slot < tables::TableSet::SlotCount; ++slot) {
        switch (slot) {
        case tables::TableSlot::CentralOptions:
            // The last option (255) is never zero.
            EXPECT_EQ(set[slot].Length, 37);
            EXPECT_EQ(set[slot].LastIndex, 36);
            break;
        case tables::TableSlot::Sensors:
            // 32 blank names of 17 blanks, each followed by six zero bytes.
            EXPECT_EQ(set[slot].Length, 31 * 23 + 17);
            break;
        case tables::TableSlot::Messages:
            // Ten pairs of blank lines followed by two zero bytes.
            EXPECT_EQ(set[slot].Length, 9 * 34 + 32);
            break;
        default:
            EXPECT_EQ(set[slot].Length, 0) << slot;
            EXPECT_EQ(set[slot].LastIndex, -1) << slot;
        }
    }
    EXPECT_EQ(set.BytesTotal, 37 + 730 + 338);
    EXPECT_EQ(set[15].Data[36], 255);
}

TEST_F(TableCompilerTest, FinishTableSendsUpToTheLastNonZeroByteOfTheDeclaredLength)
{
    tables::CentralTable &table = set[3];
    table.Work[0] = 0;
    table.Work[1] = 5;
    table.Work[2] = 0; // inside the table: sent
    table.Work[3] = 7;
    table.Work[4] = 0; // trailing: not sent
    table.Work[9] = 1; // beyond the declared length
    table.LastIndex = 5;
    set.FinishTable(3);
    EXPECT_EQ(table.Length, 4);
    EXPECT_EQ(table.LastIndex, 3);
    EXPECT_EQ(bytes(table.Data, 0, 5), (std::vector{0, 5, 0, 7, 0}));

    // The whole area may be declared, no more.
    table.Work[10000] = 9;
    table.LastIndex = 60000;
    set.FinishTable(3);
    EXPECT_EQ(table.Length, 10001);
    table.LastIndex = 0;
    set.FinishTable(3);
    EXPECT_EQ(table.Length, 0);
    EXPECT_EQ(table.Data[1], 0);
}

TEST_F(TableCompilerTest, WriterAndReaderStayInsideTheArea)
{
    tables::TableArea area{};
    tables::TableWriter writer(area, 9999);
    writer.putWord(0x1234);
    EXPECT_FALSE(writer.failed());
    writer.putByte(1);
    EXPECT_TRUE(writer.failed());
    writer.seek(-1);
    writer.putByte(1);
    EXPECT_EQ(bytes(area, 9999, 2), (std::vector{0x12, 0x34}));

    tables::TableReader reader(area, 9999);
    EXPECT_EQ(reader.word(), 0x1234);
    EXPECT_EQ(reader.word(), 0);
    reader.seek(-5);
    EXPECT_EQ(reader.byte(), 0);
}

TEST_F(TableCompilerTest, RecordTablesComeBackAsTheModelFieldsTheyCarry)
{
    prompter.answerAllWithDefault(); // the variation pools may run out
    for (int modelIndex = 0; modelIndex < ModelCount; ++modelIndex) {
        SCOPED_TRACE(modelIndex);
        useModel(modelIndex);
        RandomModel(static_cast<unsigned>(modelIndex) + 1).fill(model());
        ASSERT_TRUE(compiler.BuildAllTables().ok);
        const auto sent = std::make_unique<ProjectModel>(model());

        receiveAsSent();
        NewProject(model(), 19200, 0);
        compiler.DecodeAllTables();
        ExpectCarriedFieldsEqual(*sent, model());
    }
}

TEST_F(TableCompilerTest, RandomModelsAndReceivedBytesNeverLeaveTheAreas)
{
    prompter.answerAllWithDefault();
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        RandomModel random(seed);
        useModel(static_cast<int>(seed % 7)); // 5 and 6 are taken as model 3
        random.fill(model());
        ASSERT_TRUE(compiler.BuildAllTables().ok);
        for (int slot = 0; slot < tables::TableSet::SlotCount; ++slot)
            random.bytes(set[slot].Received);
        compiler.DecodeAllTables();
    }
}

TEST_F(TableCompilerTest, LimitsBeyondTheArraysEndTheBuildWithoutWritingOutside)
{
    prompter.answerAllWithDefault();
    RandomModel random(99);
    random.fill(model());
    for (const int limit : {-7, 0, 300, 30000}) {
        SCOPED_TRACE(limit);
        model().Limits = {limit, limit, limit, limit, limit, limit, limit,
                          limit, limit, limit, limit, limit, limit};
        const tables::BuildResult result = compiler.BuildAllTables();
        if (limit > 255) {
            // The general moods outgrow the area first, with 30000 dimmers their table does.
            EXPECT_FALSE(result.ok);
            EXPECT_EQ(result.failedSlot, limit == 300 ? tables::TableSlot::GeneralMoods
                                                      : tables::TableSlot::DimmerOutputs);
        } else {
            EXPECT_TRUE(result.ok);
        }
        for (int slot = 0; slot < tables::TableSet::SlotCount; ++slot) {
            EXPECT_TRUE(compiler.BuildTable(slot) || limit > 255);
            set.FinishTable(slot);
            random.bytes(set[slot].Received);
        }
        compiler.DecodeAllTables();
    }
}

} // namespace
} // namespace quintara::testing
