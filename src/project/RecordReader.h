#pragma once

#include "project/ByteReader.h"
#include "project/ProjectModel.h"
#include "settings/Ansi.h"

#include <array>

// Internal to the project file reader.
namespace quintara::project {

// Reads records field by field. Fields beyond the end of the data keep what they held.
class RecordReader {
public:
    explicit RecordReader(QByteArrayView data) : m_in(data) {}

    ByteReader &in() { return m_in; }

    template <int W> void text(FixedText<W> &target)
    {
        if (const auto bytes = m_in.bytes(W))
            target = settings::AnsiToString(*bytes);
    }
    void value(quint8 &target) { m_in.read(target); }
    void value(qint16 &target) { m_in.read(target); }
    void value(qint32 &target) { m_in.read(target); }
    template <std::size_t N> void values(std::array<quint8, N> &target)
    {
        for (quint8 &byte : target)
            m_in.read(byte);
    }
    void skip(qsizetype count) { m_in.skip(count); }

    void zoneName(ZoneNameRec &rec)
    {
        text(rec.Name);
        if (const auto code = m_in.u8())
            rec.Code = settings::AnsiToChar(*code);
        value(rec.Value);
    }

    // Both forms of an input module start alike; only their keys differ.
    void inputModuleHead(InputModuleRec &rec)
    {
        text(rec.Name);
        value(rec.ModuleType);
        value(rec.Byte1);
        value(rec.Byte2);
    }

    void inputModule(InputModuleRec &rec)
    {
        inputModuleHead(rec);
        for (InputKeyRec &key : rec.Keys) {
            values(key.Bytes);
            text(key.Name);
            text(key.Text1);
            text(key.Text2);
        }
    }

    // The 885-byte form: each key has two texts of 50; the first becomes its name. The second
    // has no place in the current key and is passed over.
    void wideInputModule(InputModuleRec &rec)
    {
        inputModuleHead(rec);
        for (InputKeyRec &key : rec.Keys) {
            values(key.Bytes);
            text(key.Name);
            skip(Name50::width);
        }
    }

    void audioZone(AznRec &rec)
    {
        values(rec.Bytes);
        text(rec.Name);
    }

    void transparent(TraRec &rec)
    {
        text(rec.Name);
        values(rec.Bytes);
    }

    void timedFunction(TimedFunctionRec &rec)
    {
        value(rec.TargetType);
        value(rec.TargetNumber);
        value(rec.Level);
        value(rec.Time);
        text(rec.Name);
    }

    void ifElse(IfElseRec &rec)
    {
        text(rec.Name);
        values(rec.Data);
    }

    // Ten 57-byte records: a name and seven bytes that follow the condition type.
    void oldIfElse(IfElseRec &rec)
    {
        text(rec.Name);
        rec.Data[0] = FunctionType::Condition;
        for (std::size_t i = 1; i < rec.Data.size(); ++i)
            value(rec.Data[i]);
    }

    void fan(FanRec &rec, bool withSetting)
    {
        values(rec.Bytes);
        value(rec.Value);
        text(rec.Name);
        if (withSetting)
            value(rec.Setting);
    }

    void motor(MotorRec &rec)
    {
        values(rec.Bytes);
        value(rec.RunTime);
        text(rec.Name);
    }

    void localMood(LocalMoodRec &rec)
    {
        for (MoodItem &item : rec.Items)
            moodItem(item);
        value(rec.Byte);
        text(rec.Name);
    }

    void timedLocalMood(TimedLocalMoodRec &rec)
    {
        value(rec.Byte);
        for (TimedMoodItem &item : rec.Items) {
            value(item.Type);
            value(item.Number);
            value(item.Level);
            value(item.Time);
        }
        text(rec.Name);
    }

    void generalMood(GeneralMoodRec &rec)
    {
        values(rec.RelayStates);
        values(rec.DimmerLevels);
        for (MoodItem &item : rec.Extras)
            moodItem(item);
        text(rec.Name);
    }

    void sensor(SensorRec &rec)
    {
        values(rec.Bytes);
        text(rec.Name);
    }

    // The forms with 38, 32 and 30 option bytes; positions past those read keep their
    // defaults, except 30 and 31, which the 30-byte form clears.
    void system(SystemRec &rec, int optionCount)
    {
        value(rec.BaudRate);
        for (Name50 &line : rec.Texts)
            text(line);
        value(rec.LanguageOffset);
        for (int k = 0; k < optionCount; ++k)
            value(rec.Options[k]);
        if (optionCount < 32) {
            rec.Options[30] = 0;
            rec.Options[31] = 0;
        }
    }

    // Version 24's 30 bytes B0 to B29. The baud rate and the language stay those of the
    // settings; B7 to B12 have no place any more.
    void systemBlock(SystemRec &rec)
    {
        std::array<quint8, 30> b{};
        std::array<bool, 30> present{};
        for (std::size_t i = 0; i < b.size(); ++i)
            present[i] = m_in.read(b[i]);
        const auto take = [&](int position, int source) {
            if (present[source])
                rec.Options[position] = b[source];
        };
        for (int day = 0; day < 7; ++day) {
            take(2 + day, day);
            take(16 + day, 15 + day);
            take(23 + day, 22 + day);
        }
        take(12, 13);
        take(11, 14);
        take(0, 29);
        rec.Options[9] = 0;
        rec.Options[10] = 0;
    }

    // Version 24's block after the conditions: four groups of three bytes and two bytes. Only
    // the last byte still has a place; the rest described things the central unit now keeps in
    // its conditions.
    void conditionBlock(SystemRec &rec)
    {
        skip(13);
        value(rec.Options[1]);
    }

    void modem(ModemRec &rec)
    {
        value(rec.ModemInUse);
        value(rec.ModemType);
        text(rec.ModemInit);
        text(rec.TelephoneNumber);
        text(rec.CallBackNumber);
    }

    void condition(ConditionRec &rec)
    {
        text(rec.Name);
        values(rec.Bytes);
    }

    void message(MessageRec &rec)
    {
        text(rec.Name);
        text(rec.Line1);
        text(rec.Line2);
        value(rec.InterfaceNumber);
        value(rec.Beeps);
    }

    void outputModule(OutputModuleRec &rec)
    {
        text(rec.Name);
        value(rec.ModuleType);
        value(rec.FirstOutput);
        for (OutputChannelRec &channel : rec.Channels) {
            text(channel.Name);
            value(channel.LoadType);
            value(channel.Power);
            value(channel.Ramp);
        }
    }

    void processFunction(ProcessFunctionRec &rec)
    {
        text(rec.Name);
        values(rec.Bytes);
    }

private:
    void moodItem(MoodItem &item)
    {
        value(item.Type);
        value(item.Number);
        value(item.Value);
    }

    ByteReader m_in;
};

// Reads count records into the array; counts beyond the array are read and dropped so that the
// rest of the file stays in step.
template <typename T, std::size_t N, typename ReadOne>
void ReadList(std::array<T, N> &array, int count, ReadOne readOne)
{
    T spare{};
    for (int i = 0; i < count; ++i)
        readOne(static_cast<std::size_t>(i) < N ? array[i] : spare);
}

} // namespace quintara::project
