#include "project/ProjectFileWriter.h"

#include "settings/Ansi.h"

namespace quintara::project {

using settings::CharToAnsi;
using settings::StringToAnsi;

namespace {

class ByteWriter {
public:
    void u8(quint8 value) { m_bytes.append(static_cast<char>(value)); }
    void i16(qint16 value)
    {
        const auto v = static_cast<quint16>(value);
        u8(static_cast<quint8>(v & 0xFF));
        u8(static_cast<quint8>(v >> 8));
    }
    void i32(qint32 value)
    {
        const auto v = static_cast<quint32>(value);
        for (int shift = 0; shift < 32; shift += 8)
            u8(static_cast<quint8>((v >> shift) & 0xFF));
    }
    void raw(const QByteArray &bytes) { m_bytes.append(bytes); }
    template <int W> void text(const FixedText<W> &text) { m_bytes.append(StringToAnsi(text, W)); }
    template <std::size_t N> void bytes(const std::array<quint8, N> &values)
    {
        for (const quint8 value : values)
            u8(value);
    }
    const QByteArray &data() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

constexpr std::array<int, ModelCount> OldMaxInputModule{99, 40, 10, 20, 20};
constexpr std::array<int, ModelCount> OldOutputModules{37, 18, 5, 10, 10};

void WriteZones(ByteWriter &out, const ProjectModel &model)
{
    for (int i = 0; i < 251; ++i) {
        const ZoneNameRec &zone = model.ZoneNames[i];
        out.text(zone.Name);
        out.u8(CharToAnsi(zone.Code));
        out.i16(zone.Value);
    }
}

void WriteWideInputModule(ByteWriter &out, const InputModuleRec &module,
                          const std::array<Name50, 8> &secondTexts)
{
    out.text(module.Name);
    out.u8(module.ModuleType);
    out.u8(module.Byte1);
    out.u8(module.Byte2);
    for (int k = 0; k < KeysPerModule; ++k) {
        out.bytes(module.Keys[k].Bytes);
        out.text(module.Keys[k].Name);
        out.text(secondTexts[k]);
    }
}

void WriteSystemBlock(ByteWriter &out, const SystemRec &system, const ProjectFileExtras &extras)
{
    std::array<quint8, 30> b{};
    for (int day = 0; day < 7; ++day) {
        b[day] = system.Options[2 + day];
        b[15 + day] = system.Options[16 + day];
        b[22 + day] = system.Options[23 + day];
    }
    for (int i = 0; i < 6; ++i)
        b[7 + i] = extras.UnusedSystemBytes[i];
    b[13] = system.Options[12];
    b[14] = system.Options[11];
    b[29] = system.Options[0];
    out.bytes(b);
}

// What every part of a file of the current family is written from.
struct Layout {
    const ProjectModel &model;
    int version;
    const ProjectFileExtras &extras;
    int m;
    ModelLimits limits;
    bool before27;
    bool before38;
};

void WriteInputModules(ByteWriter &out, const Layout &layout)
{
    const auto &[model, version, extras, m, limits, before27, before38] = layout;
    const int inputModules = before38 ? OldMaxInputModule[m] + 1 : limits.MaxInputModule + 1;
    for (int i = 0; i < inputModules; ++i) {
        const InputModuleRec &module = model.InputModules[i];
        if (version == 24) {
            WriteWideInputModule(out, module, extras.SecondKeyTexts[i]);
            continue;
        }
        out.text(module.Name);
        out.u8(module.ModuleType);
        out.u8(module.Byte1);
        out.u8(module.Byte2);
        for (const InputKeyRec &key : module.Keys) {
            out.bytes(key.Bytes);
            out.text(key.Name);
            out.text(key.Text1);
            out.text(key.Text2);
        }
    }
}

void WriteFunctions(ByteWriter &out, const Layout &layout)
{
    const auto &[model, version, extras, m, limits, before27, before38] = layout;
    for (int i = 0; i < limits.AudioZones; ++i) {
        out.bytes(model.AudioZones[i].Bytes);
        out.text(model.AudioZones[i].Name);
    }
    for (const TraRec &tra : model.TraList) {
        out.text(tra.Name);
        out.bytes(tra.Bytes);
    }
    const int timed = before27 ? 20 : limits.TimedFunctions;
    for (int i = 0; i < timed; ++i) {
        const TimedFunctionRec &rec = model.TimedFunctions[i];
        out.u8(rec.TargetType);
        out.u8(rec.TargetNumber);
        out.u8(rec.Level);
        out.i16(rec.Time);
        out.text(rec.Name);
    }
    if (before27) {
        for (int i = 0; i < 10; ++i) {
            out.text(model.IfElseFunctions[i].Name);
            for (int p = 1; p < 8; ++p)
                out.u8(model.IfElseFunctions[i].Data[p]);
        }
    } else {
        for (int i = 0; i < limits.IfElseFunctions; ++i) {
            out.text(model.IfElseFunctions[i].Name);
            out.bytes(model.IfElseFunctions[i].Data);
        }
    }
    for (const FanRec &fan : model.Fans) {
        out.bytes(fan.Bytes);
        out.i16(fan.Value);
        out.text(fan.Name);
        if (version != 24)
            out.u8(fan.Setting);
    }
    const int motors = version < 28 ? 30 : limits.Motors;
    for (int i = 0; i < motors; ++i) {
        out.bytes(model.Motors[i].Bytes);
        out.i16(model.Motors[i].RunTime);
        out.text(model.Motors[i].Name);
    }
}

void WriteMoods(ByteWriter &out, const Layout &layout)
{
    const auto &[model, version, extras, m, limits, before27, before38] = layout;
    for (const LocalMoodRec &mood : model.LocalMoods) {
        for (const MoodItem &item : mood.Items) {
            out.u8(item.Type);
            out.u8(item.Number);
            out.u8(item.Value);
        }
        out.u8(mood.Byte);
        out.text(mood.Name);
    }
    for (const TimedLocalMoodRec &mood : model.TimedLocalMoods) {
        out.u8(mood.Byte);
        for (const TimedMoodItem &item : mood.Items) {
            out.u8(item.Type);
            out.u8(item.Number);
            out.u8(item.Level);
            out.i16(item.Time);
        }
        out.text(mood.Name);
    }
    for (const GeneralMoodRec &mood : model.GeneralMoods) {
        out.bytes(mood.RelayStates);
        out.bytes(mood.DimmerLevels);
        for (const MoodItem &item : mood.Extras) {
            out.u8(item.Type);
            out.u8(item.Number);
            out.u8(item.Value);
        }
        out.text(mood.Name);
    }
}

void WriteSensorsAndSystem(ByteWriter &out, const Layout &layout)
{
    const auto &[model, version, extras, m, limits, before27, before38] = layout;
    const std::array<int, ModelCount> sensorsOf40{limits.Sensors, 16, limits.Sensors, 10,
                                                  limits.Sensors};
    const int sensors = version == 60 ? limits.Sensors : sensorsOf40[m];
    for (int i = 0; i < sensors; ++i) {
        out.bytes(model.Sensors[i].Bytes);
        out.text(model.Sensors[i].Name);
    }

    if (version == 24) {
        WriteSystemBlock(out, model.System, extras);
    } else {
        const int options = version >= 40 ? 38 : version >= 26 ? 32 : 30;
        out.i32(model.System.BaudRate);
        for (const Name50 &text : model.System.Texts)
            out.text(text);
        out.i32(model.System.LanguageOffset);
        for (int k = 0; k < options; ++k)
            out.u8(model.System.Options[k]);
    }
    if (version == 60) {
        out.u8(model.Modem.ModemInUse);
        out.u8(model.Modem.ModemType);
        out.text(model.Modem.ModemInit);
        out.text(model.Modem.TelephoneNumber);
        out.text(model.Modem.CallBackNumber);
    }
}

void WriteConditionsToTheEnd(ByteWriter &out, const Layout &layout)
{
    const auto &[model, version, extras, m, limits, before27, before38] = layout;
    const int conditions = before27 ? 20 : limits.Conditions;
    for (int i = 0; i < conditions; ++i) {
        out.text(model.Conditions[i].Name);
        out.bytes(model.Conditions[i].Bytes);
    }
    if (version == 24) {
        out.bytes(extras.UnusedConditionBlock);
        out.u8(model.System.Options[1]);
    }
    out.bytes(model.Options.Bytes);
    for (const MessageRec &message : model.Messages) {
        out.text(message.Name);
        out.text(message.Line1);
        out.text(message.Line2);
        out.u8(message.InterfaceNumber);
        out.u8(message.Beeps);
    }
    const int outputModules = before38 ? OldOutputModules[m] : limits.OutputModules;
    for (int i = 0; i < outputModules; ++i) {
        const OutputModuleRec &module = model.OutputModules[i];
        out.text(module.Name);
        out.u8(module.ModuleType);
        out.u8(module.FirstOutput);
        for (const OutputChannelRec &channel : module.Channels) {
            out.text(channel.Name);
            out.u8(channel.LoadType);
            out.i16(channel.Power);
            out.u8(channel.Ramp);
        }
    }
    for (const ProcessFunctionRec &process : model.ProcessFunctions) {
        out.text(process.Name);
        out.bytes(process.Bytes);
    }
    const int flags = before27 ? 10 : limits.Flags;
    for (int i = 0; i < flags; ++i)
        out.text(model.Flags[i].Name);

    if (version == 60) {
        for (const TextListRec &text : model.TextList)
            out.text(text.Text);
    } else if (version >= 37) {
        for (const Name50 &text : extras.KeyTexts)
            out.text(text);
    }
}

void WriteCurrentFamily(ByteWriter &out, const ProjectModel &model, int version,
                        const ProjectFileExtras &extras)
{
    const int m = EffectiveModelIndex(model.ModelIndex);
    const Layout layout{model, version, extras, m, LimitsOfModel(m), version < 27, version < 38};
    WriteZones(out, model);
    WriteInputModules(out, layout);
    WriteFunctions(out, layout);
    WriteMoods(out, layout);
    WriteSensorsAndSystem(out, layout);
    WriteConditionsToTheEnd(out, layout);
}

void WriteOldFormat(ByteWriter &out, const ProjectModel &model, int version,
                    const ProjectFileExtras &extras)
{
    const int m = EffectiveModelIndex(model.ModelIndex);
    WriteZones(out, model);
    for (int i = 0; i <= OldMaxInputModule[m]; ++i)
        WriteWideInputModule(out, model.InputModules[i], extras.SecondKeyTexts[i]);
    for (int i = 0; i < OldOutputModules[m]; ++i) {
        const OutputModuleRec &module = model.OutputModules[i];
        out.text(module.Name);
        out.u8(module.FirstOutput);
        for (const OutputChannelRec &channel : module.Channels)
            out.text(channel.Name);
    }
    for (const OldFunction &function : extras.OldFunctions) {
        out.text(function.Name);
        out.u8(function.Kind);
        out.u8(function.TargetType);
        out.u8(function.TargetNumber);
        out.u8(function.Level);
        out.i16(function.Time);
        out.u8(function.ConditionType);
        out.u8(function.ConditionNumber);
        out.u8(function.GoType);
        out.u8(function.GoNumber);
    }
    WriteSystemBlock(out, model.System, extras);
    if (version == 11) {
        out.u8(model.Modem.ModemInUse);
        out.text(model.Modem.ModemInit);
        out.raw(StringToAnsi(model.Modem.TelephoneNumber.text(), 32));
    }
}

} // namespace

QByteArray WriteProjectFile(const ProjectModel &model, int version, const ProjectFileExtras &extras)
{
    ByteWriter out;
    out.raw("K&P");
    out.u8(static_cast<quint8>(version));
    const bool oldest = version == 10 || version == 11;
    out.u8(extras.ModelByte.value_or(
        static_cast<quint8>(oldest ? '0' + model.ModelIndex : model.ModelIndex)));
    if (oldest) {
        WriteOldFormat(out, model, version, extras);
        return out.data();
    }
    WriteCurrentFamily(out, model, version, extras);
    if (extras.ClosingMagic)
        out.raw("K&P");
    return out.data();
}

} // namespace quintara::project
