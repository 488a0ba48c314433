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
            numbers(module.ModuleType, module.Byte1, module.Byte2);
            for (InputKeyRec &key : module.Keys)
                numbers(key.Bytes);
        }
        for (AznRec &zone : m.AudioZones)
            numbers(zone.Bytes);
        for (TraRec &tra : m.TraList)
            numbers(tra.Bytes);
        for (TimedFunctionRec &timed : m.TimedFunctions) {
            numbers(timed.TargetType, timed.TargetNumber, timed.Level, timed.Time);
            timed.Name = name();
        }
        for (IfElseRec &ifElse : m.IfElseFunctions)
            numbers(ifElse.Data);
        for (FanRec &fan : m.Fans)
            numbers(fan.Bytes, fan.Value, fan.Setting);
        for (MotorRec &motor : m.Motors)
            numbers(motor.Bytes, motor.RunTime);
        for (LocalMoodRec &mood : m.LocalMoods)
            numbers(mood.Items, mood.Byte);
        for (TimedLocalMoodRec &mood : m.TimedLocalMoods)
            numbers(mood.Byte, mood.Items);
        for (GeneralMoodRec &mood : m.GeneralMoods) {
            numbers(mood.RelayStates, mood.DimmerLevels, mood.Extras);
            mood.Name = name();
        }
        for (SensorRec &sensor : m.Sensors) {
            numbers(sensor.Bytes);
            sensor.Name = text(50);
        }
        numbers(m.System.Options, m.Options.Bytes);
        for (ConditionRec &condition : m.Conditions)
            numbers(condition.Bytes);
        for (MessageRec &message : m.Messages) {
            numbers(message.InterfaceNumber, message.Beeps);
            message.Line1 = text(16);
            message.Line2 = text(16);
        }
        for (OutputModuleRec &module : m.OutputModules) {
            numbers(module.ModuleType, module.FirstOutput);
            // Half of them in groups that exist, so that outputs find their modules.
            if (byte() % 2)
                module.FirstOutput %= 16;
            for (OutputChannelRec &channel : module.Channels)
                numbers(channel.LoadType, channel.Power, channel.Ramp);
        }
        for (ProcessFunctionRec &process : m.ProcessFunctions)
            numbers(process.Bytes);
    }

private:
    template <typename... Fields> void numbers(Fields &...fields) { (set(fields), ...); }
    quint8 byte() { return static_cast<quint8>(m_random() & 0xFF); }
    void set(quint8 &value) { value = byte(); }
    void set(qint16 &value) { value = static_cast<qint16>(m_random() & 0xFFFF); }
    void set(MoodItem &item) { numbers(item.Type, item.Number, item.Value); }
    void set(TimedMoodItem &item) { numbers(item.Type, item.Number, item.Level, item.Time); }
    template <typename T, std::size_t N> void set(std::array<T, N> &array)
    {
        for (T &element : array)
            set(element);
    }

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

// Decoding puts every byte a record table sends back into the field it came from, so the
// decoded model builds the same tables again.
TEST_F(TableCompilerTest, DecodedTablesBuildTheSameBytesAgain)
{
    for (int modelIndex = 0; modelIndex < ModelCount; ++modelIndex) {
        SCOPED_TRACE(modelIndex);
        useModel(modelIndex);
        RandomModel(static_cast<unsigned>(modelIndex) + 1).fill(model());
        ASSERT_TRUE(compiler.BuildAllTables().ok);
        std::vector<tables::TableArea> sent;
        for (int slot = 0; slot < tables::TableSet::SlotCount; ++slot)
            sent.push_back(set[slot].Data);

        receiveAsSent();
        NewProject(model(), 19200, 0);
        compiler.DecodeAllTables();
        ASSERT_TRUE(compiler.BuildAllTables().ok);
        for (const int slot : tables::TableCompiler::DecodeOrder()) {
            for (int p = 0; p < tables::TableAreaSize; ++p) {
                // Sensor names and message lines are sent but not read back.
                const bool text = (slot == tables::TableSlot::Sensors && p % 23 < 17) ||
                                  (slot == tables::TableSlot::Messages && p % 34 < 32);
                if (!text && sent[slot][p] != set[slot].Data[p]) {
                    ADD_FAILURE() << "slot " << slot << " position " << p;
                    break;
                }
            }
        }
    }
}

} // namespace
} // namespace quintara::testing
