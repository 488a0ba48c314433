#include "tables/RecordTables.h"

#include "project/ProjectModel.h"
#include "settings/Ansi.h"
#include "settings/Strings.h"
#include "tables/TableBytes.h"
#include "tables/TableSlots.h"

#include <algorithm>
#include <optional>

namespace quintara::tables {

namespace {

using namespace project;
using settings::CharToAnsi;

// Default-name texts of the decoders.
namespace NameText {
constexpr int Interface = 201;
constexpr int Transparent = 111;
constexpr int TimedFunction = 105;
constexpr int Fan = 107;
constexpr int IfElse = 76;
constexpr int Motor = 759;
constexpr int LocalMood = 108;
constexpr int GeneralMood = 110;
constexpr int ProcessFunction = 75;
constexpr int AudioZone = 708;
constexpr int Condition = 160;
} // namespace NameText

// Entry sizes of the fixed layouts.
constexpr int InputModuleEntry = 35;
constexpr int TransparentEntry = 2;
constexpr int TimedFunctionEntry = 5;
constexpr int FanEntry = 6;
constexpr int IfElseEntry = 8;
constexpr int MotorEntry = 4;
constexpr int LocalMoodEntry = 31;
constexpr int TimedLocalMoodEntry = 51;
constexpr int GeneralMoodExtrasSent = 5;
constexpr int GeneralMoodEntryExtra = GeneralMoodExtrasSent * 3;
constexpr int ProcessFunctionEntry = 7;
constexpr int SensorEntry = 23;
constexpr int SensorNameChars = 16;
constexpr int SensorNameField = SensorNameChars + 1; // the name and at least one blank
constexpr int AudioZoneEntry = 2;
constexpr int ConditionEntry = 20;
constexpr int ConditionGroups = 4;
constexpr int ConditionGroupSize = 6;
constexpr int ConditionBytesSent = 5;
constexpr int MessageEntry = 34;
constexpr int MessageLineChars = 16;
constexpr int OutputModuleEntry = 2;
constexpr int CentralOptionsLength = 37;

// How many records of an array a table carries: the model's count, never more than the array.
template <typename T, std::size_t N> int entries(const std::array<T, N> &, int count)
{
    return std::clamp(count, 0, static_cast<int>(N));
}

// Where a byte of the options table comes from.
struct OptionSource {
    enum Kind { SystemOption, ExtraOption, Zero };
    Kind kind;
    int index;
};

// The central unit's option table, position by position. Positions 10 and 11 take system
// options 13 and 12 in that crossed order.
constexpr std::array<OptionSource, CentralOptionsLength> CentralOptionLayout = [] {
    std::array<OptionSource, CentralOptionsLength> layout{};
    for (int p = 0; p <= 6; ++p) // workday flags Monday to Sunday
        layout[p] = {OptionSource::SystemOption, p + 2};
    layout[7] = {OptionSource::SystemOption, 9};
    layout[8] = {OptionSource::SystemOption, 10};
    layout[9] = {OptionSource::SystemOption, 11};
    layout[10] = {OptionSource::SystemOption, 13};
    layout[11] = {OptionSource::SystemOption, 12};
    layout[12] = {OptionSource::SystemOption, 14};
    layout[13] = {OptionSource::SystemOption, 15};
    for (int p = 14; p <= 27; ++p) // two sets of seven day flags
        layout[p] = {OptionSource::SystemOption, p + 2};
    layout[28] = {OptionSource::Zero, 0};
    layout[29] = {OptionSource::SystemOption, 0};
    layout[30] = {OptionSource::ExtraOption, 0};
    layout[31] = {OptionSource::ExtraOption, 1};
    layout[32] = {OptionSource::ExtraOption, 3};
    layout[33] = {OptionSource::SystemOption, 1};
    layout[34] = {OptionSource::SystemOption, 30};
    layout[35] = {OptionSource::SystemOption, 31};
    layout[36] = {OptionSource::SystemOption, 32};
    return layout;
}();

// Leading and trailing blanks off, nothing else (a tab is part of a name).
QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

// The text's first `width` characters, then blanks up to `width`.
void putPaddedText(TableWriter &writer, const QString &text, int width)
{
    const QString shown = text.left(width);
    for (const QChar character : shown)
        writer.putByte(CharToAnsi(character));
    for (qsizetype i = shown.size(); i < width; ++i)
        writer.putByte(' ');
}

void putTimedItem(TableWriter &writer, const TimedMoodItem &item)
{
    writer.putByte(item.Type);
    writer.putByte(item.Number);
    writer.putByte(item.Level);
    writer.putWord(item.Time);
}

void putMoodItem(TableWriter &writer, const MoodItem &item)
{
    writer.putByte(item.Type);
    writer.putByte(item.Number);
    writer.putByte(item.Value);
}

MoodItem readMoodItem(TableReader &reader)
{
    MoodItem item;
    item.Type = reader.byte();
    item.Number = reader.byte();
    item.Value = reader.byte();
    return item;
}

qint16 readInt16(TableReader &reader)
{
    return static_cast<qint16>(reader.word());
}

// The entry of one record of a list, at index × entry size.
TableWriter entryWriter(CentralTable &table, int index, int entrySize)
{
    return TableWriter(table.Work, index * entrySize);
}

TableReader entryReader(const CentralTable &table, int index, int entrySize)
{
    return TableReader(table.Received, index * entrySize);
}

// Builders. Each declares its length and writes its entries; false when a write fell outside the
// work area.

bool buildInputModules(CentralTable &table, const ProjectModel &model)
{
    const int count = model.Limits.MaxInputModule + 1;
    table.LastIndex = count * InputModuleEntry;
    bool ok = true;
    for (int i = 0; i < entries(model.InputModules, count); ++i) {
        const InputModuleRec &module = model.InputModules[i];
        TableWriter writer = entryWriter(table, i, InputModuleEntry);
        writer.putByte(module.ModuleType);
        writer.putByte(module.Byte1);
        writer.putByte(module.Byte2);
        for (const InputKeyRec &key : module.Keys) {
            for (const quint8 byte : key.Bytes)
                writer.putByte(byte);
        }
        ok = ok && !writer.failed();
    }
    return ok;
}

bool buildDimmerOutputs(CentralTable &table, const ProjectModel &model)
{
    const int dimmers = model.Limits.Dimmers;
    table.LastIndex = dimmers;
    TableWriter writer(table.Work);
    for (int d = 1; d <= dimmers; ++d) {
        const OutputChannelRec *channel = model.DimmerChannel(d);
        writer.putByte(channel ? channel->Ramp : 0);
    }
    return !writer.failed();
}

bool buildTransparent(CentralTable &table, const ProjectModel &model)
{
    table.LastIndex = TraSlots * TransparentEntry;
    TableWriter writer(table.Work);
    for (const TraRec &tra : model.TraList) {
        writer.putByte(tra.Bytes[0]);
        writer.putByte(tra.Bytes[1]);
    }
    return !writer.failed();
}

bool buildTimedFunctions(CentralTable &table, const ProjectModel &model)
{
    const int count = model.Limits.TimedFunctions;
    table.LastIndex = count * TimedFunctionEntry;
    TableWriter writer(table.Work);
    for (int i = 0; i < entries(model.TimedFunctions, count); ++i) {
        const TimedFunctionRec &timed = model.TimedFunctions[i];
        writer.putByte(timed.TargetType);
        writer.putByte(timed.TargetNumber);
        writer.putByte(timed.Level);
        writer.putWord(timed.Time);
    }
    return !writer.failed();
}

bool buildFans(CentralTable &table, const ProjectModel &model)
{
    table.LastIndex = FanSlots * FanEntry;
    TableWriter writer(table.Work);
    for (const FanRec &fan : model.Fans) {
        for (const quint8 byte : fan.Bytes)
            writer.putByte(byte);
        writer.putWord(fan.Value);
    }
    return !writer.failed();
}

bool buildIfElse(CentralTable &table, const ProjectModel &model)
{
    const int count = model.Limits.IfElseFunctions;
    table.LastIndex = count * IfElseEntry;
    TableWriter writer(table.Work);
    for (int i = 0; i < entries(model.IfElseFunctions, count); ++i) {
        for (const quint8 byte : model.IfElseFunctions[i].Data)
            writer.putByte(byte);
    }
    return !writer.failed();
}

bool buildMotors(CentralTable &table, const ProjectModel &model)
{
    const int count = model.Limits.Motors;
    table.LastIndex = count * MotorEntry;
    TableWriter writer(table.Work);
    for (int i = 0; i < entries(model.Motors, count); ++i) {
        const MotorRec &motor = model.Motors[i];
        writer.putByte(motor.Bytes[0]);
        writer.putByte(motor.Bytes[1]);
        writer.putWord(motor.RunTime);
    }
    return !writer.failed();
}

bool buildLocalMoods(CentralTable &table, const ProjectModel &model)
{
    table.LastIndex = LocalMoodSlots * LocalMoodEntry;
    TableWriter writer(table.Work);
    for (const LocalMoodRec &mood : model.LocalMoods) {
        writer.putByte(mood.Byte);
        for (const MoodItem &item : mood.Items)
            putMoodItem(writer, item);
    }
    return !writer.failed();
}

bool buildTimedLocalMoods(CentralTable &table, const ProjectModel &model)
{
    table.LastIndex = TimedLocalMoodSlots * TimedLocalMoodEntry;
    TableWriter writer(table.Work);
    for (const TimedLocalMoodRec &mood : model.TimedLocalMoods) {
        writer.putByte(mood.Byte);
        for (const TimedMoodItem &item : mood.Items)
            putTimedItem(writer, item);
    }
    return !writer.failed();
}

int generalMoodEntry(const ModelLimits &limits)
{
    return limits.Relays + limits.Dimmers + GeneralMoodEntryExtra;
}

bool buildGeneralMoods(CentralTable &table, const ProjectModel &model)
{
    const int entrySize = generalMoodEntry(model.Limits);
    table.LastIndex = entrySize * GeneralMoodSlots;
    bool ok = true;
    for (int m = 0; m < GeneralMoodSlots; ++m) {
        const GeneralMoodRec &mood = model.GeneralMoods[m];
        // A mood without a name is not programmed: its entry stays zero.
        if (mood.Name.isBlank())
            continue;
        TableWriter writer = entryWriter(table, m, entrySize);
        for (int r = 1; r <= entries(mood.RelayStates, model.Limits.Relays + 1) - 1; ++r)
            writer.putByte(mood.RelayStates[r]);
        for (int d = 1; d <= entries(mood.DimmerLevels, model.Limits.Dimmers + 1) - 1; ++d)
            writer.putByte(mood.DimmerLevels[d]);
        for (int e = 0; e < GeneralMoodExtrasSent; ++e)
            putMoodItem(writer, mood.Extras[e]);
        ok = ok && !writer.failed();
    }
    return ok;
}

bool buildProcessFunctions(CentralTable &table, const ProjectModel &model)
{
    table.LastIndex = ProcessFunctionSlots * ProcessFunctionEntry;
    TableWriter writer(table.Work);
    for (const ProcessFunctionRec &process : model.ProcessFunctions) {
        for (const quint8 byte : process.Bytes)
            writer.putByte(byte);
    }
    return !writer.failed();
}

bool buildSensors(CentralTable &table, ProjectModel &model)
{
    const int count = model.Limits.Sensors;
    table.LastIndex = count * SensorEntry;
    TableWriter writer(table.Work);
    for (int i = 0; i < entries(model.Sensors, count); ++i) {
        SensorRec &sensor = model.Sensors[i];
        // The central unit shows the name as typed, so the stored name loses its outer blanks too.
        const QString name = trimBlanks(sensor.Name.text());
        sensor.Name = name;
        putPaddedText(writer, name.left(SensorNameChars), SensorNameField);
        for (const quint8 byte : sensor.Bytes)
            writer.putByte(byte);
    }
    return !writer.failed();
}

bool buildCentralOptions(CentralTable &table, const ProjectModel &model)
{
    table.LastIndex = CentralOptionsLength;
    TableWriter writer(table.Work);
    for (const OptionSource &source : CentralOptionLayout) {
        switch (source.kind) {
        case OptionSource::SystemOption:
            writer.putByte(model.System.Options[source.index]);
            break;
        case OptionSource::ExtraOption:
            writer.putByte(model.Options.Bytes[source.index]);
            break;
        case OptionSource::Zero:
            writer.putByte(0);
            break;
        }
    }
    return !writer.failed();
}

bool buildAudioZones(CentralTable &table, const ProjectModel &model)
{
    const int count = model.Limits.AudioZones;
    table.LastIndex = count * AudioZoneEntry;
    TableWriter writer(table.Work);
    for (int i = 0; i < entries(model.AudioZones, count); ++i) {
        writer.putByte(model.AudioZones[i].Bytes[0]);
        writer.putByte(model.AudioZones[i].Bytes[1]);
    }
    return !writer.failed();
}

bool buildConditions(CentralTable &table, const ProjectModel &model)
{
    const int count = model.Limits.Conditions;
    table.LastIndex = count * ConditionEntry;
    TableWriter writer(table.Work);
    for (int i = 0; i < entries(model.Conditions, count); ++i) {
        const ConditionRec &condition = model.Conditions[i];
        for (int group = 0; group < ConditionGroups; ++group) {
            for (int b = 0; b < ConditionBytesSent; ++b)
                writer.putByte(condition.Bytes[group * ConditionGroupSize + b]);
        }
    }
    return !writer.failed();
}

bool buildMessages(CentralTable &table, const ProjectModel &model)
{
    table.LastIndex = MessageSlots * MessageEntry;
    TableWriter writer(table.Work);
    for (const MessageRec &message : model.Messages) {
        putPaddedText(writer, message.Line1.trimmedRight(), MessageLineChars);
        putPaddedText(writer, message.Line2.trimmedRight(), MessageLineChars);
        writer.putByte(message.InterfaceNumber);
        writer.putByte(message.Beeps);
    }
    return !writer.failed();
}

bool buildOutputModules(CentralTable &table, const ProjectModel &model)
{
    const int count = model.Limits.OutputModules;
    table.LastIndex = count * OutputModuleEntry;
    TableWriter writer(table.Work);
    for (int i = 0; i < entries(model.OutputModules, count); ++i) {
        writer.putByte(model.OutputModules[i].ModuleType);
        writer.putByte(model.OutputModules[i].FirstOutput);
    }
    return !writer.failed();
}

// Decoders: the same positions, read back; records in use get "<text> <index>" as their name.

class DefaultNamer {
public:
    DefaultNamer(const settings::Strings &strings, int textId) : m_strings(strings), m_id(textId) {}

    QString operator()(int index)
    {
        // Fetched once and only when needed: a missing text shows its box once, not per record.
        if (!m_text)
            m_text = m_strings.GetResString(m_id);
        return *m_text + QLatin1Char(' ') + QString::number(index);
    }

private:
    const settings::Strings &m_strings;
    int m_id;
    std::optional<QString> m_text;
};

void decodeInputModules(const CentralTable &table, ProjectModel &model, DefaultNamer name)
{
    for (int i = 0; i < entries(model.InputModules, model.Limits.MaxInputModule + 1); ++i) {
        InputModuleRec &module = model.InputModules[i];
        TableReader reader = entryReader(table, i, InputModuleEntry);
        module.ModuleType = reader.byte();
        module.Byte1 = reader.byte();
        module.Byte2 = reader.byte();
        for (InputKeyRec &key : module.Keys) {
            for (quint8 &byte : key.Bytes)
                byte = reader.byte();
        }
        if (module.ModuleType != 0)
            module.Name = name(i);
    }
}

void decodeDimmerOutputs(const CentralTable &table, ProjectModel &model)
{
    TableReader reader(table.Received);
    for (int d = 1; d <= model.Limits.Dimmers; ++d) {
        const quint8 ramp = reader.byte();
        if (const auto location = model.DimmerLocation(d))
            model.OutputModules[location->module].Channels[location->channel].Ramp = ramp;
    }
}

void decodeTransparent(const CentralTable &table, ProjectModel &model, DefaultNamer name)
{
    TableReader reader(table.Received);
    for (int i = 0; i < TraSlots; ++i) {
        TraRec &tra = model.TraList[i];
        tra.Bytes[0] = reader.byte();
        tra.Bytes[1] = reader.byte();
        if (tra.Bytes[0] != 0)
            tra.Name = name(i);
    }
}

void decodeTimedFunctions(const CentralTable &table, ProjectModel &model, DefaultNamer name)
{
    TableReader reader(table.Received);
    for (int i = 0; i < entries(model.TimedFunctions, model.Limits.TimedFunctions); ++i) {
        TimedFunctionRec &timed = model.TimedFunctions[i];
        timed.TargetType = reader.byte();
        timed.TargetNumber = reader.byte();
        timed.Level = reader.byte();
        timed.Time = readInt16(reader);
        if (timed.TargetType != 0)
            timed.Name = name(i);
    }
}

void decodeFans(const CentralTable &table, ProjectModel &model, DefaultNamer name)
{
    TableReader reader(table.Received);
    for (int i = 0; i < FanSlots; ++i) {
        FanRec &fan = model.Fans[i];
        for (quint8 &byte : fan.Bytes)
            byte = reader.byte();
        fan.Value = readInt16(reader);
        if (fan.Bytes[0] != 0)
            fan.Name = name(i);
    }
}

void decodeIfElse(const CentralTable &table, ProjectModel &model, DefaultNamer name)
{
    constexpr int ThenType = 2;
    TableReader reader(table.Received);
    for (int i = 0; i < entries(model.IfElseFunctions, model.Limits.IfElseFunctions); ++i) {
        IfElseRec &ifElse = model.IfElseFunctions[i];
        for (quint8 &byte : ifElse.Data)
            byte = reader.byte();
        if (ifElse.Data[ThenType] != 0)
            ifElse.Name = name(i);
    }
}

void decodeMotors(const CentralTable &table, ProjectModel &model, DefaultNamer name)
{
    TableReader reader(table.Received);
    for (int i = 0; i < entries(model.Motors, model.Limits.Motors); ++i) {
        MotorRec &motor = model.Motors[i];
        motor.Bytes[0] = reader.byte();
        motor.Bytes[1] = reader.byte();
        motor.RunTime = readInt16(reader);
        if (motor.RunTime > 0)
            motor.Name = name(i);
    }
}

void decodeLocalMoods(const CentralTable &table, ProjectModel &model, DefaultNamer name)
{
    TableReader reader(table.Received);
    for (int m = 0; m < LocalMoodSlots; ++m) {
        LocalMoodRec &mood = model.LocalMoods[m];
        mood.Byte = reader.byte();
        for (MoodItem &item : mood.Items)
            item = readMoodItem(reader);
        if (mood.Items[0].Type != 0)
            mood.Name = name(m);
    }
}

void decodeTimedLocalMoods(const CentralTable &table, ProjectModel &model)
{
    TableReader reader(table.Received);
    for (TimedLocalMoodRec &mood : model.TimedLocalMoods) {
        mood.Byte = reader.byte();
        for (TimedMoodItem &item : mood.Items) {
            item.Type = reader.byte();
            item.Number = reader.byte();
            item.Level = reader.byte();
            item.Time = readInt16(reader);
        }
    }
}

void decodeGeneralMoods(const CentralTable &table, ProjectModel &model, DefaultNamer name)
{
    const int entrySize = generalMoodEntry(model.Limits);
    for (int m = 0; m < GeneralMoodSlots; ++m) {
        GeneralMoodRec &mood = model.GeneralMoods[m];
        TableReader reader = entryReader(table, m, entrySize);
        for (int r = 1; r <= entries(mood.RelayStates, model.Limits.Relays + 1) - 1; ++r)
            mood.RelayStates[r] = reader.byte();
        for (int d = 1; d <= entries(mood.DimmerLevels, model.Limits.Dimmers + 1) - 1; ++d)
            mood.DimmerLevels[d] = reader.byte();
        for (int e = 0; e < GeneralMoodExtrasSent; ++e)
            mood.Extras[e] = readMoodItem(reader);
        // The table does not say which moods are programmed, so every one gets its name.
        mood.Name = name(m);
    }
}

void decodeProcessFunctions(const CentralTable &table, ProjectModel &model, DefaultNamer name)
{
    constexpr int InUseByte = 4;
    TableReader reader(table.Received);
    for (int i = 0; i < ProcessFunctionSlots; ++i) {
        ProcessFunctionRec &process = model.ProcessFunctions[i];
        for (quint8 &byte : process.Bytes)
            byte = reader.byte();
        if (process.Bytes[InUseByte] != 0)
            process.Name = name(i);
    }
}

void decodeSensors(const CentralTable &table, ProjectModel &model)
{
    for (int i = 0; i < entries(model.Sensors, model.Limits.Sensors); ++i) {
        TableReader reader = entryReader(table, i, SensorEntry);
        reader.skip(SensorNameField);
        for (quint8 &byte : model.Sensors[i].Bytes)
            byte = reader.byte();
    }
}

void decodeCentralOptions(const CentralTable &table, ProjectModel &model)
{
    TableReader reader(table.Received);
    for (const OptionSource &source : CentralOptionLayout) {
        const quint8 byte = reader.byte();
        switch (source.kind) {
        case OptionSource::SystemOption:
            model.System.Options[source.index] = byte;
            break;
        case OptionSource::ExtraOption:
            model.Options.Bytes[source.index] = byte;
            break;
        case OptionSource::Zero:
            break;
        }
    }
}

void decodeAudioZones(const CentralTable &table, ProjectModel &model, DefaultNamer name)
{
    TableReader reader(table.Received);
    for (int i = 0; i < entries(model.AudioZones, model.Limits.AudioZones); ++i) {
        AznRec &zone = model.AudioZones[i];
        zone.Bytes[0] = reader.byte();
        zone.Bytes[1] = reader.byte();
        if (zone.Bytes[0] != 0)
            zone.Name = name(i);
    }
}

void decodeConditions(const CentralTable &table, ProjectModel &model, DefaultNamer name)
{
    TableReader reader(table.Received);
    for (int i = 0; i < entries(model.Conditions, model.Limits.Conditions); ++i) {
        ConditionRec &condition = model.Conditions[i];
        for (int group = 0; group < ConditionGroups; ++group) {
            for (int b = 0; b < ConditionBytesSent; ++b)
                condition.Bytes[group * ConditionGroupSize + b] = reader.byte();
        }
        if (condition.Bytes[0] != 0)
            condition.Name = name(i);
    }
}

void decodeMessages(const CentralTable &table, ProjectModel &model)
{
    for (int i = 0; i < MessageSlots; ++i) {
        TableReader reader = entryReader(table, i, MessageEntry);
        reader.skip(2 * MessageLineChars);
        model.Messages[i].InterfaceNumber = reader.byte();
        model.Messages[i].Beeps = reader.byte();
    }
}

void decodeOutputModules(const CentralTable &table, ProjectModel &model, DefaultNamer name)
{
    TableReader reader(table.Received);
    for (int i = 0; i < entries(model.OutputModules, model.Limits.OutputModules); ++i) {
        OutputModuleRec &module = model.OutputModules[i];
        module.ModuleType = reader.byte();
        module.FirstOutput = reader.byte();
        if (module.ModuleType != 0)
            module.Name = name(i);
    }
}

} // namespace

bool BuildRecordTable(int slot, CentralTable &table, ProjectModel &model)
{
    switch (slot) {
    case TableSlot::InputModules:
        return buildInputModules(table, model);
    case TableSlot::DimmerOutputs:
        return buildDimmerOutputs(table, model);
    case TableSlot::Transparent:
        return buildTransparent(table, model);
    case TableSlot::TimedFunctions:
        return buildTimedFunctions(table, model);
    case TableSlot::Fans:
        return buildFans(table, model);
    case TableSlot::IfElseFunctions:
        return buildIfElse(table, model);
    case TableSlot::Motors:
        return buildMotors(table, model);
    case TableSlot::LocalMoods:
        return buildLocalMoods(table, model);
    case TableSlot::TimedLocalMoods:
        return buildTimedLocalMoods(table, model);
    case TableSlot::GeneralMoods:
        return buildGeneralMoods(table, model);
    case TableSlot::ProcessFunctions:
        return buildProcessFunctions(table, model);
    case TableSlot::Sensors:
        return buildSensors(table, model);
    case TableSlot::CentralOptions:
        return buildCentralOptions(table, model);
    case TableSlot::AudioZones:
        return buildAudioZones(table, model);
    case TableSlot::Conditions:
        return buildConditions(table, model);
    case TableSlot::Messages:
        return buildMessages(table, model);
    case TableSlot::OutputModules:
        return buildOutputModules(table, model);
    default:
        return true;
    }
}

void DecodeRecordTable(int slot, const CentralTable &table, ProjectModel &model,
                       const settings::Strings &strings)
{
    const auto namer = [&strings](int textId) { return DefaultNamer(strings, textId); };
    switch (slot) {
    case TableSlot::InputModules:
        return decodeInputModules(table, model, namer(NameText::Interface));
    case TableSlot::DimmerOutputs:
        return decodeDimmerOutputs(table, model);
    case TableSlot::Transparent:
        return decodeTransparent(table, model, namer(NameText::Transparent));
    case TableSlot::TimedFunctions:
        return decodeTimedFunctions(table, model, namer(NameText::TimedFunction));
    case TableSlot::Fans:
        return decodeFans(table, model, namer(NameText::Fan));
    case TableSlot::IfElseFunctions:
        return decodeIfElse(table, model, namer(NameText::IfElse));
    case TableSlot::Motors:
        return decodeMotors(table, model, namer(NameText::Motor));
    case TableSlot::LocalMoods:
        return decodeLocalMoods(table, model, namer(NameText::LocalMood));
    case TableSlot::TimedLocalMoods:
        return decodeTimedLocalMoods(table, model);
    case TableSlot::GeneralMoods:
        return decodeGeneralMoods(table, model, namer(NameText::GeneralMood));
    case TableSlot::ProcessFunctions:
        return decodeProcessFunctions(table, model, namer(NameText::ProcessFunction));
    case TableSlot::Sensors:
        return decodeSensors(table, model);
    case TableSlot::CentralOptions:
        return decodeCentralOptions(table, model);
    case TableSlot::AudioZones:
        return decodeAudioZones(table, model, namer(NameText::AudioZone));
    case TableSlot::Conditions:
        return decodeConditions(table, model, namer(NameText::Condition));
    case TableSlot::Messages:
        return decodeMessages(table, model);
    case TableSlot::OutputModules:
        return decodeOutputModules(table, model, namer(NameText::Interface));
    default:
        return;
    }
}

} // namespace quintara::tables
