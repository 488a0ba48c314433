#include "project/ProjectFileReader.h"

#include "platform/Files.h"
#include "project/ByteReader.h"
#include "project/ProjectModel.h"
#include "settings/Ansi.h"
#include "settings/Settings.h"
#include "settings/Strings.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <utility>

namespace quintara::project {

using settings::AnsiToChar;
using settings::AnsiToString;

namespace {

constexpr QByteArrayView Magic("K&P");

constexpr int MessageNoProjectFile = 904;
constexpr int MessageOldVersion = 903;
constexpr int MessageWrongVersion = 937;

// Fixed texts of the conversion of versions 10 and 11, kept word for word (typing error included).
const QString ConditionsMessage =
    QStringLiteral("Please check your function, Conditions must be handled by IfElse Functions");
const QString GoFunctionsMessage = QStringLiteral(
    "Please check your functions! Some GO fucntions will be lost or converted to IfElse Functions");

// The per-model counts of the formats before version 38.
constexpr std::array<int, ModelCount> OldMaxInputModule{99, 40, 10, 20, 20};
constexpr std::array<int, ModelCount> OldOutputModules{37, 18, 5, 10, 10};

constexpr int KeyTextCount = 8;
constexpr int OldIfElseRecords = 10;
constexpr int OldFunctionRecords = 40;

enum class SystemForm { Options38, Options32, Options30, Block30 };
enum class Tail { TextList, KeyTexts, Nothing };

// Where the layout of one version differs from the current one.
struct Layout {
    int inputModules = 0;
    bool wideInputModules = false; // 885-byte records of version 24
    int timedFunctions = 0;
    int ifElseFunctions = 0;
    bool oldIfElse = false; // ten 57-byte records of versions 24 to 26
    bool shortFans = false; // 56-byte fans of version 24
    int motors = 0;
    int sensors = 0;
    SystemForm system = SystemForm::Options38;
    bool modem = true;
    int conditions = 0;
    bool conditionBlock = false; // the 14-byte block of version 24
    int outputModules = 0;
    int flags = 0;
    Tail tail = Tail::TextList;
};

Layout LayoutOf(int version, int model, const ModelLimits &limits)
{
    Layout layout;
    layout.inputModules = limits.MaxInputModule + 1;
    layout.timedFunctions = limits.TimedFunctions;
    layout.ifElseFunctions = limits.IfElseFunctions;
    layout.motors = limits.Motors;
    layout.sensors = limits.Sensors;
    layout.conditions = limits.Conditions;
    layout.outputModules = limits.OutputModules;
    layout.flags = limits.Flags;
    if (version == 60)
        return layout;

    const std::array<int, ModelCount> sensorsOf40{limits.Sensors, 16, limits.Sensors, 10,
                                                  limits.Sensors};
    layout.sensors = sensorsOf40[model];
    layout.modem = false;
    layout.tail = Tail::KeyTexts;
    if (version == 40)
        return layout;
    layout.system = SystemForm::Options32;
    if (version == 38)
        return layout;
    layout.inputModules = OldMaxInputModule[model] + 1;
    layout.outputModules = OldOutputModules[model];
    if (version == 37)
        return layout;
    layout.tail = Tail::Nothing;
    if (version == 28)
        return layout;
    layout.motors = 30;
    if (version == 27)
        return layout;
    layout.timedFunctions = 20;
    layout.conditions = 20;
    layout.flags = 10;
    layout.ifElseFunctions = OldIfElseRecords;
    layout.oldIfElse = true;
    if (version == 26)
        return layout;
    layout.system = SystemForm::Options30;
    if (version == 25)
        return layout;
    layout.wideInputModules = true;
    layout.shortFans = true;
    layout.system = SystemForm::Block30;
    layout.conditionBlock = true;
    return layout;
}

bool IsCurrentFamily(int version)
{
    switch (version) {
    case 24:
    case 25:
    case 26:
    case 27:
    case 28:
    case 37:
    case 38:
    case 40:
    case 60:
        return true;
    default:
        return false;
    }
}

// Reads records field by field. Fields beyond the end of the data keep what they held.
class RecordReader {
public:
    explicit RecordReader(QByteArrayView data) : m_in(data) {}

    ByteReader &in() { return m_in; }

    template <int W> void text(FixedText<W> &target)
    {
        if (const auto bytes = m_in.bytes(W))
            target = AnsiToString(*bytes);
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
            rec.Code = AnsiToChar(*code);
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

// The key types of versions 28 to 40 that the current format numbers differently.
void RecodeKeyTypes(ProjectModel &model)
{
    for (InputModuleRec &module : model.InputModules) {
        for (InputKeyRec &key : module.Keys) {
            if ((key.Bytes[2] & 63) == 17)
                key.Bytes[2] = static_cast<quint8>((key.Bytes[2] & 198) | 6);
        }
    }
}

// Keys of type 61 show one of the eight key texts, which now live in the text list.
void ApplyKeyTexts(ProjectModel &model, const std::array<Name50, KeyTextCount> &texts)
{
    for (InputModuleRec &module : model.InputModules) {
        for (std::size_t k = 0; k < module.Keys.size(); ++k) {
            const InputKeyRec &key = module.Keys[k];
            if ((key.Bytes[2] & 63) == 61)
                model.TextList[key.Bytes[3]].Text = texts[k];
        }
    }
}

// Versions before 28 kept the key's own type implied by its function type.
constexpr int KeepKey = -1;
constexpr int ClearKey = -2;

// The key's own type code by its function type (lower six bits of its first byte).
constexpr std::array<int, 64> OldKeyCodes = [] {
    std::array<int, 64> codes{};
    codes.fill(KeepKey);
    const std::array<std::pair<int, int>, 14> renumbered{{{2, 16},
                                                          {6, 6},
                                                          {21, 26},
                                                          {22, 25},
                                                          {30, 30},
                                                          {32, 32},
                                                          {33, 33},
                                                          {36, 45},
                                                          {37, 46},
                                                          {38, 47},
                                                          {39, 48},
                                                          {40, 49},
                                                          {41, 43},
                                                          {42, 35}}};
    for (const auto &[functionType, code] : renumbered)
        codes[functionType] = code;
    codes[11] = ClearKey;
    codes[12] = ClearKey;
    return codes;
}();

void RecodeOldKeys(ProjectModel &model)
{
    for (InputModuleRec &module : model.InputModules) {
        for (InputKeyRec &key : module.Keys) {
            const int code = OldKeyCodes[key.Bytes[0] & 63];
            if (code == ClearKey) {
                key.Bytes[2] = 0;
                key.Bytes[3] = 0;
            } else if (code != KeepKey) {
                key.Bytes[2] = static_cast<quint8>((key.Bytes[2] & 192) | code);
            }
        }
    }
}

void ReadCurrentFamily(RecordReader &in, ProjectModel &model, int version)
{
    const Layout layout = LayoutOf(version, model.ModelIndex, model.Limits);

    ReadList(model.ZoneNames, ZoneNamesInFile, [&](ZoneNameRec &r) { in.zoneName(r); });
    ReadList(model.InputModules, layout.inputModules, [&](InputModuleRec &r) {
        layout.wideInputModules ? in.wideInputModule(r) : in.inputModule(r);
    });
    ReadList(model.AudioZones, model.Limits.AudioZones, [&](AznRec &r) { in.audioZone(r); });
    ReadList(model.TraList, TraSlots, [&](TraRec &r) { in.transparent(r); });
    ReadList(model.TimedFunctions, layout.timedFunctions,
             [&](TimedFunctionRec &r) { in.timedFunction(r); });
    ReadList(model.IfElseFunctions, layout.ifElseFunctions,
             [&](IfElseRec &r) { layout.oldIfElse ? in.oldIfElse(r) : in.ifElse(r); });
    ReadList(model.Fans, FanSlots, [&](FanRec &r) { in.fan(r, !layout.shortFans); });
    ReadList(model.Motors, layout.motors, [&](MotorRec &r) { in.motor(r); });
    ReadList(model.LocalMoods, LocalMoodSlots, [&](LocalMoodRec &r) { in.localMood(r); });
    ReadList(model.TimedLocalMoods, TimedLocalMoodSlots,
             [&](TimedLocalMoodRec &r) { in.timedLocalMood(r); });
    ReadList(model.GeneralMoods, GeneralMoodSlots, [&](GeneralMoodRec &r) { in.generalMood(r); });
    ReadList(model.Sensors, layout.sensors, [&](SensorRec &r) { in.sensor(r); });
    switch (layout.system) {
    case SystemForm::Options38:
        in.system(model.System, SystemOptionCount);
        break;
    case SystemForm::Options32:
        in.system(model.System, 32);
        break;
    case SystemForm::Options30:
        in.system(model.System, 30);
        break;
    case SystemForm::Block30:
        in.systemBlock(model.System);
        break;
    }
    if (layout.modem)
        in.modem(model.Modem);
    ReadList(model.Conditions, layout.conditions, [&](ConditionRec &r) { in.condition(r); });
    if (layout.conditionBlock)
        in.conditionBlock(model.System);
    in.values(model.Options.Bytes);
    ReadList(model.Messages, MessageSlots, [&](MessageRec &r) { in.message(r); });
    ReadList(model.OutputModules, layout.outputModules,
             [&](OutputModuleRec &r) { in.outputModule(r); });
    ReadList(model.ProcessFunctions, ProcessFunctionSlots,
             [&](ProcessFunctionRec &r) { in.processFunction(r); });
    ReadList(model.Flags, layout.flags, [&](FlagRec &r) { in.text(r.Name); });

    std::array<Name50, KeyTextCount> keyTexts{};
    switch (layout.tail) {
    case Tail::TextList:
        ReadList(model.TextList, TextListSlots, [&](TextListRec &r) { in.text(r.Text); });
        break;
    case Tail::KeyTexts:
        for (Name50 &text : keyTexts)
            in.text(text);
        break;
    case Tail::Nothing:
        break;
    }

    if (version >= 28 && version < 60) {
        RecodeKeyTypes(model);
        if (layout.tail == Tail::KeyTexts)
            ApplyKeyTexts(model, keyTexts);
    } else if (version < 28) {
        RecodeOldKeys(model);
    }
}

// Versions 10 and 11. Their layout, as this reader takes it:
//   251 zone names as today;
//   input modules 0 to 99, 40, 10, 20, 20 (by model) in the 885-byte form of version 24;
//   37, 18, 5, 10, 10 output modules (by model) of 451 bytes: name 50, first output group 1,
//     eight channel names of 50 (all relay outputs);
//   40 functions of 60 bytes: name 50, kind 1 (0 unused, 1 timed, any other a GO function),
//     target type 1, target number 1, level 1, time int16, condition type 1, condition
//     number 1, GO type 1, GO number 1;
//   the 30-byte system block of version 24;
//   version 11 only: one 83-byte modem record: in use 1, init string 50, telephone number 32.
// Old function i becomes timed function i and/or If-Then-Else function i, so that keys that
// name it keep their number.
struct OldConversion {
    bool conditionsMoved = false;
    bool goFunctionsChanged = false;
};

// The oldest formats' forty functions: timed ones become timed functions (their conditions
// if-else functions), what the current model has no room or no kind for is reported as changed.
void ReadOldFunctions(RecordReader &in, ProjectModel &model, OldConversion &result)
{
    for (int i = 0; i < OldFunctionRecords; ++i) {
        Name50 name;
        quint8 kind = 0;
        TimedFunctionRec timed;
        quint8 conditionType = 0;
        quint8 conditionNumber = 0;
        quint8 goType = 0;
        quint8 goNumber = 0;
        in.text(name);
        in.value(kind);
        in.value(timed.TargetType);
        in.value(timed.TargetNumber);
        in.value(timed.Level);
        in.value(timed.Time);
        in.value(conditionType);
        in.value(conditionNumber);
        in.value(goType);
        in.value(goNumber);
        if (kind == 0)
            continue;

        const bool conditional = conditionType != 0;
        const bool ifElseRoom = i < model.Limits.IfElseFunctions;
        if (kind == 1) {
            if (i < model.Limits.TimedFunctions) {
                timed.Name = name;
                model.TimedFunctions[i] = timed;
            } else {
                result.goFunctionsChanged = true; // no room: lost
            }
            if (conditional) {
                result.conditionsMoved = true;
                if (ifElseRoom && i < model.Limits.TimedFunctions) {
                    model.IfElseFunctions[i].Name = name;
                    model.IfElseFunctions[i].Data = {
                        conditionType, conditionNumber, FunctionType::Timed, quint8(i), 0, 0, 0, 0};
                }
            }
            continue;
        }

        result.goFunctionsChanged = true;
        if (conditional && ifElseRoom) {
            model.IfElseFunctions[i].Name = name;
            model.IfElseFunctions[i].Data = {
                conditionType, conditionNumber, goType, goNumber, 0, 0, 0, 0};
        }
    }
}

OldConversion ReadOldFormat(RecordReader &in, ProjectModel &model, int version)
{
    const int modelIndex = model.ModelIndex;
    OldConversion result;

    ReadList(model.ZoneNames, ZoneNamesInFile, [&](ZoneNameRec &r) { in.zoneName(r); });
    ReadList(model.InputModules, OldMaxInputModule[modelIndex] + 1,
             [&](InputModuleRec &r) { in.wideInputModule(r); });
    RecodeOldKeys(model);

    ReadList(model.OutputModules, OldOutputModules[modelIndex], [&](OutputModuleRec &r) {
        Name50 name;
        quint8 group = 0;
        in.text(name);
        in.value(group);
        std::array<Name50, ChannelsPerModule> channels{};
        for (Name50 &channel : channels)
            in.text(channel);
        if (name.isBlank())
            return;
        r.Name = DefaultOutputModuleName(name, group);
        r.ModuleType = 111;
        r.FirstOutput = group;
        for (int c = 0; c < ChannelsPerModule; ++c)
            r.Channels[c].Name = channels[c];
    });

    ReadOldFunctions(in, model, result);

    in.systemBlock(model.System);

    if (version == 11) {
        in.value(model.Modem.ModemInUse);
        in.text(model.Modem.ModemInit);
        if (const auto bytes = in.in().bytes(32))
            model.Modem.TelephoneNumber = AnsiToString(*bytes);
    }
    return result;
}

// The reader's refusals of a file: critical boxes under the error title.
platform::Notice RefusalNotice(const settings::Strings &strings, int textId)
{
    return platform::Notice{
        textId, {}, strings.GetResString(textId), platform::ProgramTitle, platform::Icon::Critical};
}

// The steps of a read up to its outcome; the model is the one the result carries.
ReadOutcome ReadInto(ProjectRead &result, RecordReader &in, const settings::Strings &strings)
{
    ProjectModel &model = *result.model;
    const auto magic = in.in().bytes(Magic.size());
    if (!magic || *magic != Magic) {
        result.tell(RefusalNotice(strings, MessageNoProjectFile));
        return ReadOutcome::NoMagic;
    }

    const int version = in.in().u8().value_or(0);
    model.FileVersion = version;
    if (version < 10) {
        result.tell(RefusalNotice(strings, MessageOldVersion));
        return ReadOutcome::OldVersion;
    }

    int modelIndex = in.in().u8().value_or(0);
    if (version < 12)
        modelIndex -= '0';
    SelectModel(model, modelIndex, strings);

    if (version == 10 || version == 11) {
        const OldConversion conversion = ReadOldFormat(in, model, version);
        if (conversion.conditionsMoved)
            result.tell(platform::PlainNotice(ConditionsMessage));
        if (conversion.goFunctionsChanged)
            result.tell(platform::PlainNotice(GoFunctionsMessage));
        // Without a closing mark, running out of bytes is the only sign of a damaged file.
        if (!in.in().ok()) {
            result.tell(RefusalNotice(strings, MessageNoProjectFile));
            return ReadOutcome::Truncated;
        }
        return ReadOutcome::Read;
    }

    if (!IsCurrentFamily(version)) {
        result.tell(RefusalNotice(strings, MessageWrongVersion));
        return ReadOutcome::WrongVersion;
    }

    ReadCurrentFamily(in, model, version);
    const auto closing = in.in().bytes(Magic.size());
    if (!closing || *closing != Magic) {
        result.tell(RefusalNotice(strings, MessageNoProjectFile));
        return ReadOutcome::NoMagic;
    }
    return ReadOutcome::Read;
}

// The empty project the settings seed, which a read fills.
ProjectRead EmptyRead(const settings::Settings &settings)
{
    ProjectRead result;
    // The model is large; keep it off the stack.
    result.model = std::make_unique<ProjectModel>();
    NewProject(*result.model, settings.baudRateInUse, settings.languageValue);
    result.model->FileVersion = 0;
    return result;
}

} // namespace

ProjectRead ReadProjectData(QByteArrayView data, const settings::Settings &settings,
                            const settings::Strings &strings)
{
    ProjectRead result = EmptyRead(settings);
    RecordReader in(data);
    result.status = ReadInto(result, in, strings);

    ProjectModel &model = *result.model;
    if (!settings::Strings::IsValidLanguageOffset(model.System.LanguageOffset))
        model.System.LanguageOffset = 0;
    SelectModel(model, model.ModelIndex, strings);
    result.languageOffset = model.System.LanguageOffset;
    result.baudRate = model.System.BaudRate;
    return result;
}

ProjectRead ReadProjectFile(const QString &path, const settings::Settings &settings,
                            const settings::Strings &strings)
{
    const platform::PathKind kind = platform::KindOfPath(path);
    if (path.isEmpty() || kind == platform::PathKind::Missing ||
        kind == platform::PathKind::Other) {
        ProjectRead result;
        result.status = ReadOutcome::NoFile;
        return result;
    }

    QFile file;
    if (const std::optional<QString> reason = platform::OpenFile(file, path, QIODevice::ReadOnly)) {
        ProjectRead result;
        result.status = ReadOutcome::CannotOpen;
        result.tell(platform::SystemFailureNotice(platform::FileFailure(path, *reason)));
        return result;
    }
    const QByteArray data = file.read(MaxProjectFileSize);
    file.close();
    return ReadProjectData(data, settings, strings);
}

void AdoptProjectRead(ProjectRead &read, const QString &path, ProjectModel &model,
                      settings::Settings &settings)
{
    if (read.model)
        model = std::move(*read.model);
    if (read.keepsPath())
        settings.nbtFile = path;
    else
        settings.nbtFile.clear();
    if (read.read())
        settings.baudRateInUse = read.baudRate;
}

} // namespace quintara::project
