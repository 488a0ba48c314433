#include "tables/FunctionIndexTables.h"

#include "project/ProjectModel.h"
#include "settings/NameTables.h"
#include "tables/TableBytes.h"

#include <QPair>
#include <QSet>

#include <algorithm>
#include <vector>

namespace quintara::tables {

namespace {

using namespace project;

// The function types an index keeps lists for, in the order of their head columns in a pool
// record. The local mood index has all of them except general moods and sensors.
constexpr std::array<int, 21> IndexedTypes{1,  2,  3,  8,  9,  10, 14, 15, 20, 24, 25,
                                           26, 36, 37, 38, 39, 40, 41, 42, 53, 54};
constexpr int FirstAudioType = 36;
constexpr int LastAudioType = 42;

std::optional<int> headColumn(int type, bool keyIndex)
{
    if (!keyIndex && (type == FunctionType::GeneralMood || type == FunctionType::Sensor))
        return std::nullopt;
    const auto found = std::find(IndexedTypes.begin(), IndexedTypes.end(), type);
    if (found == IndexedTypes.end())
        return std::nullopt;
    return static_cast<int>(found - IndexedTypes.begin());
}

// Records of variations, taken from the top down. Record e also holds the list heads of the
// functions numbered e + 1; index 0 means "no record".
class VariationPool {
public:
    enum class Outcome { Taken, Exhausted, OutsidePool };

    VariationPool(int records, int firstFree)
        : m_records(std::max(records, 1)), m_free(firstFree),
          m_links(static_cast<std::size_t>(m_records)), m_data(static_cast<std::size_t>(m_records)),
          m_heads(static_cast<std::size_t>(m_records) * IndexedTypes.size())
    {
    }

    // Adds a variation at the head of the list of function (column, number).
    Outcome take(int column, int number, quint8 first, quint8 second)
    {
        const int holder = number - 1;
        if (holder < 0 || holder >= m_records)
            return Outcome::OutsidePool;
        if (m_free <= 0 || m_free >= m_records)
            return Outcome::Exhausted;
        const int record = m_free--;
        quint16 &head = m_heads[headIndex(holder, column)];
        m_links[static_cast<std::size_t>(record)] = head;
        m_data[static_cast<std::size_t>(record)] = {first, second};
        head = static_cast<quint16>(record);
        return Outcome::Taken;
    }

    // Reads outside the pool give 0, an empty list.
    quint16 head(int holder, int column) const
    {
        return inPool(holder) ? m_heads[headIndex(holder, column)] : quint16{0};
    }
    quint16 link(int record) const
    {
        return inPool(record) ? m_links[static_cast<std::size_t>(record)] : quint16{0};
    }
    quint8 data(int record, int which) const
    {
        return inPool(record) ? m_data[static_cast<std::size_t>(record)][which] : quint8{0};
    }

private:
    bool inPool(int record) const { return record >= 0 && record < m_records; }
    std::size_t headIndex(int holder, int column) const
    {
        return static_cast<std::size_t>(holder) * IndexedTypes.size() +
               static_cast<std::size_t>(column);
    }

    int m_records;
    int m_free;
    std::vector<quint16> m_links;
    std::vector<std::array<quint8, 2>> m_data;
    std::vector<quint16> m_heads;
};

// Writes the heads of one function type for the functions numbered 1 to count.
void putHeads(TableWriter &writer, const VariationPool &pool, int type, int count)
{
    const std::optional<int> column = headColumn(type, true);
    for (int holder = 0; holder < count; ++holder)
        writer.putWord(column ? pool.head(holder, *column) : 0);
}

// The heads both indexes end with, from the regimes to the relays.
void putClosingHeads(TableWriter &writer, const VariationPool &pool, const ModelLimits &limits)
{
    putHeads(writer, pool, FunctionType::Regime, 6);
    for (int type = FirstAudioType; type <= LastAudioType; ++type)
        putHeads(writer, pool, type, limits.AudioZones);
    putHeads(writer, pool, FunctionType::Message, MessageSlots);
    putHeads(writer, pool, FunctionType::Service, 2);
    putHeads(writer, pool, FunctionType::Flag, limits.Flags);
    putHeads(writer, pool, FunctionType::Process, ProcessFunctionSlots);
    putHeads(writer, pool, FunctionType::Relay, limits.Relays);
}

// What an index says of the variations it has to leave out: every one a full pool drops, and
// once each function numbered beyond the pool (it has no head to hang a list on).
struct DroppedVariations {
    platform::Notices &notices;
    QString exhausted; // the pool's own message
    QString index;     // the index's short name, as in that message
    QSet<QPair<int, int>> outside;

    void tell(const QString &text) { notices.push_back(platform::PlainNotice(text)); }
};

void addVariation(VariationPool &pool, const FunctionTarget &target, bool keyIndex, quint8 first,
                  quint8 second, DroppedVariations &dropped)
{
    const std::optional<int> column = headColumn(target.type, keyIndex);
    if (!column || target.number == 0)
        return;
    switch (pool.take(*column, target.number, first, second)) {
    case VariationPool::Outcome::Taken:
        return;
    case VariationPool::Outcome::Exhausted:
        dropped.tell(dropped.exhausted);
        return;
    case VariationPool::Outcome::OutsidePool:
        if (dropped.outside.contains({target.type, target.number}))
            return;
        dropped.outside.insert({target.type, target.number});
        dropped.tell(QStringLiteral("No room in %1 for %2 %3")
                         .arg(dropped.index, settings::FunctionTypeCode(target.type))
                         .arg(target.number));
        return;
    }
}

// Targets reached through another record: the record whose index is the number named.

std::optional<FunctionTarget> throughTimedFunction(const ProjectModel &model, int number)
{
    if (const TimedFunctionRec *timed = Slot(model.TimedFunctions, number))
        return FunctionTarget{timed->TargetType, timed->TargetNumber};
    return std::nullopt;
}

std::optional<FunctionTarget> throughIfElse(const ProjectModel &model, int number)
{
    constexpr int ThenType = 2;
    constexpr int ThenNumber = 3;
    if (const IfElseRec *ifElse = Slot(model.IfElseFunctions, number))
        return FunctionTarget{ifElse->Data[ThenType], ifElse->Data[ThenNumber]};
    return std::nullopt;
}

std::optional<FunctionTarget> throughMotor(const ProjectModel &model, int number, int relay)
{
    if (const MotorRec *motor = Slot(model.Motors, number))
        return FunctionTarget{FunctionType::Relay, motor->Bytes[relay]};
    return std::nullopt;
}

bool isAudioType(int type)
{
    return type >= FirstAudioType && type <= LastAudioType;
}

// Sensor keys: the sensor is numbered from 1; a temperature sensor switches relay outputs, any
// other sensor the function its two target bytes name.
std::optional<FunctionTarget> throughSensor(const ProjectModel &model, int type, int keyNumber,
                                            int moduleSensor)
{
    constexpr int FirstTarget = 3;
    constexpr int SecondTarget = 4;
    constexpr int TemperatureKind = 1;
    constexpr int LevelKey = 30;

    const int sensorNumber =
        type == LevelKey ? moduleSensor : (keyNumber ? keyNumber : moduleSensor);
    if (sensorNumber == 0)
        return std::nullopt;
    const SensorRec *sensor = Slot(model.Sensors, sensorNumber - 1);
    if (!sensor)
        return std::nullopt;
    if (type == LevelKey && keyNumber != 1 && keyNumber != 2)
        return std::nullopt;
    if (sensor->kind() == TemperatureKind) {
        const bool second = type == 22 || (type == LevelKey && keyNumber == 2);
        return FunctionTarget{FunctionType::Relay,
                              sensor->Bytes[second ? SecondTarget : FirstTarget]};
    }
    return FunctionTarget{sensor->Bytes[FirstTarget], sensor->Bytes[SecondTarget]};
}

// What keys and mood items reach alike: a type that stands for another, a target reached through
// another record, or an audio function.
std::optional<FunctionTarget> sharedTarget(const ProjectModel &model, int type, int number)
{
    switch (type) {
    case 23:
        return FunctionTarget{26, number};
    case 34:
        return FunctionTarget{36, number};
    case 5:
    case 12:
        return throughTimedFunction(model, number);
    case 4:
        return throughIfElse(model, number);
    case 6:
        return throughMotor(model, number, 0);
    case 55:
        return throughMotor(model, number, 1);
    default:
        if (isAudioType(type))
            return FunctionTarget{type, number};
        return std::nullopt;
    }
}

} // namespace

std::optional<FunctionTarget> KeyTarget(const ProjectModel &model, int module, int key)
{
    const InputModuleRec *input = Slot(model.InputModules, module);
    if (!input || key < 0 || key >= KeysPerModule)
        return std::nullopt;
    const InputKeyRec &keyRec = input->Keys[static_cast<std::size_t>(key)];
    const int type = keyRec.Bytes[0] & 63;
    const int number = keyRec.Bytes[1];

    switch (type) {
    case 1:
    case 2:
    case 3:
    case 8:
    case 9:
    case 10:
    case 14:
    case 15:
    case 20:
    case 53:
    case 54:
        return FunctionTarget{type, number};
    case 24:
    case 25:
    case 26: {
        const int target = number ? number : input->Byte2;
        if (target == 0)
            return std::nullopt;
        return FunctionTarget{type, target};
    }
    case 7:
        if (const FanRec *fan = Slot(model.Fans, number))
            return FunctionTarget{fan->Bytes[0], fan->Bytes[1]};
        return std::nullopt;
    case 11:
        if (const TraRec *tra = Slot(model.TraList, number))
            return FunctionTarget{tra->Bytes[0], tra->Bytes[1]};
        return std::nullopt;
    case 21:
    case 22:
    case 30:
        return throughSensor(model, type, number, input->Byte2);
    default:
        return sharedTarget(model, type, number);
    }
}

std::optional<FunctionTarget> MoodItemTarget(const ProjectModel &model, const MoodItem &item)
{
    const int type = item.Type;
    const int number = item.Number;
    switch (type) {
    case 1:
    case 2:
    case 3:
    case 8:
    case 9:
    case 14:
    case 15:
    case 24:
    case 25:
    case 26:
    case 53:
    case 54:
        return FunctionTarget{type, number};
    default:
        return sharedTarget(model, type, number);
    }
}

bool BuildKeyIndex(CentralTable &table, const ProjectModel &model, platform::Notices &notices)
{
    const ModelLimits &limits = model.Limits;
    const int modules = std::clamp(limits.MaxInputModule + 1, 0, InputModuleSlots);
    // Records written to the table; the pool has one more at the top that is never used.
    const int written = modules * KeysPerModule + 1;
    VariationPool pool(written + 1, (modules - 1) * KeysPerModule - 1);
    DroppedVariations dropped{
        notices, QStringLiteral("To many variations in SW"), QStringLiteral("SW"), {}};

    for (int module = 0; module < modules; ++module) {
        for (int key = 0; key < KeysPerModule; ++key) {
            if (const auto target = KeyTarget(model, module, key))
                addVariation(pool, *target, true, static_cast<quint8>(module),
                             static_cast<quint8>(key), dropped);
        }
    }

    table.LastIndex = written * 4 + limits.Relays * 2 + limits.Dimmers * 2 + 260 +
                      limits.Sensors * 8 + 12 + limits.AudioZones * 14 + 24 + limits.Flags * 2 + 20;
    TableWriter writer(table.Work);
    for (int record = 0; record < written; ++record)
        writer.putByte(pool.data(record, 0));
    for (int record = 0; record < written; ++record)
        writer.putByte(pool.data(record, 1));
    for (int record = 0; record < written; ++record)
        writer.putWord(pool.link(record));
    putHeads(writer, pool, FunctionType::LocalMood, LocalMoodSlots);
    putHeads(writer, pool, FunctionType::TimedLocalMood, TimedLocalMoodSlots);
    putHeads(writer, pool, FunctionType::GeneralMood, GeneralMoodSlots);
    putHeads(writer, pool, FunctionType::Dimmer, limits.Dimmers);
    for (const int type : {20, 26, 25, 24})
        putHeads(writer, pool, type, limits.Sensors);
    putClosingHeads(writer, pool, limits);
    return !writer.failed();
}

bool BuildLocalMoodIndex(CentralTable &table, const ProjectModel &model, platform::Notices &notices)
{
    constexpr int PoolRecords = 1001;
    constexpr int FirstFree = 999;
    const ModelLimits &limits = model.Limits;
    VariationPool pool(PoolRecords, FirstFree);
    DroppedVariations dropped{
        notices, QStringLiteral("To many variations in LM"), QStringLiteral("LM"), {}};

    for (int mood = 0; mood < LocalMoodSlots; ++mood) {
        for (const MoodItem &item : model.LocalMoods[static_cast<std::size_t>(mood)].Items) {
            if (item.Type == 0)
                break;
            if (const auto target = MoodItemTarget(model, item))
                addVariation(pool, *target, false, static_cast<quint8>(mood), 0, dropped);
        }
    }

    table.LastIndex = limits.Relays * 2 + limits.Dimmers * 2 + PoolRecords * 3 + 200 + 20 +
                      limits.Sensors * 6 + 12 + limits.AudioZones * 14 + 20 + 4 + limits.Flags * 2 +
                      20;
    TableWriter writer(table.Work);
    for (int record = 0; record < PoolRecords; ++record)
        writer.putByte(pool.data(record, 0));
    for (int record = 0; record < PoolRecords; ++record)
        writer.putWord(pool.link(record));
    putHeads(writer, pool, FunctionType::LocalMood, LocalMoodSlots);
    putHeads(writer, pool, FunctionType::TimedLocalMood, TimedLocalMoodSlots);
    putHeads(writer, pool, FunctionType::Dimmer, limits.Dimmers);
    for (const int type : {26, 25, 24})
        putHeads(writer, pool, type, limits.Sensors);
    putClosingHeads(writer, pool, limits);
    return !writer.failed();
}

} // namespace quintara::tables
