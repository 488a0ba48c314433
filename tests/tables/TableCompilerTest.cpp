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
        for (InputModuleRec &module : m.InputModules)
            numbers(module.ModuleType, module.Byte1, module.Byte2, module.Keys);
        each(m.AudioZones, &AznRec::Bytes);
        each(m.TraList, &TraRec::Bytes);
        for (TimedFunctionRec &timed : m.TimedFunctions)
            timed = {byte(), byte(), byte(), word(), Name50(name())};
        each(m.IfElseFunctions, &IfElseRec::Data);
        each(m.Fans, &FanRec::Bytes, &FanRec::Value, &FanRec::Setting);
        each(m.Motors, &MotorRec::Bytes, &MotorRec::RunTime);
        each(m.LocalMoods, &LocalMoodRec::Items, &LocalMoodRec::Byte);
        each(m.TimedLocalMoods, &TimedLocalMoodRec::Byte, &TimedLocalMoodRec::Items);
        for (GeneralMoodRec &mood : m.GeneralMoods) {
            numbers(mood.RelayStates, mood.DimmerLevels, mood.Extras);
            mood.Name = name();
        }
        for (SensorRec &sensor : m.Sensors) {
            numbers(sensor.Bytes);
            sensor.Name = text(50);
        }
        numbers(m.System.Options, m.Options.Bytes);
        each(m.Conditions, &ConditionRec::Bytes);
        for (MessageRec &message : m.Messages)
            message = {{}, FixedText<16>(text(16)), FixedText<16>(text(16)), byte(), byte()};
        for (OutputModuleRec &module : m.OutputModules) {
            numbers(module.ModuleType, module.FirstOutput);
            // Half of them in groups that exist, so that outputs find their modules.
            if (byte() % 2)
                module.FirstOutput %= 16;
            numbers(module.Channels);
        }
        each(m.ProcessFunctions, &ProcessFunctionRec::Bytes);
    }

private:
    // These fields of every record, in the order given.
    template <typename T, std::size_t N, typename... M>
    void each(std::array<T, N> &records, M T::*...fields)
    {
        for (T &record : records)
            numbers((record.*fields)...);
    }
    template <typename... Fields> void numbers(Fields &...fields) { (set(fields), ...); }
    quint8 byte() { return static_cast<quint8>(m_random() & 0xFF); }
    void set(quint8 &value) { value = byte(); }
    qint16 word() { return static_cast<qint16>(m_random() & 0xFFFF); }
    void set(qint16 &value) { value = word(); }
    void set(MoodItem &item) { numbers(item.Type, item.Number, item.Value); }
    void set(TimedMoodItem &item) { numbers(item.Type, item.Number, item.Level, item.Time); }
    void set(InputKeyRec &key) { set(key.Bytes); }
    void set(OutputChannelRec &channel) { numbers(channel.LoadType, channel.Power, channel.Ramp); }
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
    // The options, their last one (255) never zero; 32 blank sensor names of 17 blanks, each
    // followed by six zero bytes; ten pairs of blank message lines followed by two zero bytes.
    std::vector<int> lengths(tables::TableSet::SlotCount, 0);
    lengths[tables::TableSlot::CentralOptions] = 37;
    lengths[tables::TableSlot::Sensors] = 31 * 23 + 17;
    lengths[tables::TableSlot::Messages] = 9 * 34 + 32;
    for (int slot = 0; slot < tables::TableSet::SlotCount; ++slot) {
        EXPECT_EQ(set[slot].Length, lengths[std::size_t(slot)]) << slot;
        if (lengths[std::size_t(slot)] == 0) {
            EXPECT_EQ(set[slot].LastIndex, -1) << slot;
        }
    }
    EXPECT_EQ(set.BytesTotal, 37 + 730 + 338);
    EXPECT_EQ(std::pair(set[15].LastIndex, int(set[15].Data[36])), std::pair(36, 255));
}

TEST_F(TableCompilerTest, FinishTableSendsUpToTheLastNonZeroByteOfTheDeclaredLength)
{
    // A zero inside the table is sent, trailing ones are not, nor what lies beyond the declared
    // length.
    tables::CentralTable &table = set[3];
    std::tie(table.Work[1], table.Work[3], table.Work[9]) = std::tuple(5, 7, 1);
    table.LastIndex = 5;
    set.FinishTable(3);
    EXPECT_EQ(std::pair(int(table.Length), table.LastIndex), std::pair(4, 3));
    EXPECT_EQ(bytes(table.Data, 0, 5), (std::vector{0, 5, 0, 7, 0}));

    // The whole area may be declared, no more.
    table.Work[10000] = 9;
    table.LastIndex = 60000;
    set.FinishTable(3);
    EXPECT_EQ(table.Length, 10001);
    table.LastIndex = 0;
    set.FinishTable(3);
    EXPECT_EQ(std::pair(int(table.Length), int(table.Data[1])), std::pair(0, 0));
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
    EXPECT_EQ((std::pair<int, int>{reader.word(), reader.word()}),
              std::pair(0x1234, 0)); // in order
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
