#include "project/ProjectFileReader.h"

#include "platform/Files.h"
#include "project/OldProjectFormats.h"
#include "project/ProjectModel.h"
#include "project/RecordReader.h"
#include "settings/Settings.h"
#include "settings/Strings.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <utility>

namespace quintara::project {

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

constexpr int OldIfElseRecords = 10;

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
