#include "project/ProjectModel.h"

#include "settings/Strings.h"

#include <algorithm>
#include <utility>

namespace quintara::project {

namespace {

constexpr std::array<ModelLimits, ModelCount> ModelTable{{
    // MaxInputModule, Relays, Dimmers, Sensors, AudioZones, OutputModules, OutputChannels,
    // TimedFunctions, Flags, IfElseFunctions, Conditions, Motors, ClockLines
    {99, 176, 120, 32, 32, 37, 144, 70, 40, 40, 30, 40, 100},
    {40, 104, 40, 24, 16, 18, 72, 40, 30, 30, 25, 40, 100},
    {10, 16, 8, 2, 2, 5, 16, 40, 30, 30, 25, 40, 100},
    {25, 96, 16, 18, 10, 14, 40, 30, 20, 20, 20, 30, 50},
    {25, 96, 16, 10, 10, 14, 40, 30, 20, 20, 20, 30, 50},
}};

constexpr int FirstBuiltInModule = 21;

} // namespace

int InputModuleCategory(int moduleType)
{
    switch (moduleType) {
    case 2:
    case 4:
    case 5:
    case 6:
    case 8:
    case 16:
    case 26:
        return Category::InputKeypad;
    case 9:
    case 10:
    case 17:
    case 18:
    case 19:
    case 20:
        return Category::InputDigital;
    case 1:
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
    case 21:
    case 22:
    case 23:
    case 24:
    case 25:
    case 27:
    case 28:
        return Category::InputOther;
    default:
        return Category::None;
    }
}

int OutputModuleCategory(int moduleType)
{
    if ((moduleType >= 101 && moduleType <= 103) || (moduleType >= 111 && moduleType <= 114) ||
        moduleType == 151)
        return Category::Relay;
    if (moduleType == 131 || moduleType == 140)
        return Category::Dimmer;
    return Category::None;
}

int EffectiveModelIndex(int modelIndex)
{
    return modelIndex >= 0 && modelIndex < ModelCount ? modelIndex : 3;
}

ModelLimits LimitsOfModel(int modelIndex)
{
    return ModelTable[static_cast<std::size_t>(EffectiveModelIndex(modelIndex))];
}

std::array<quint8, 7> ProjectModel::WorkdayFlags() const
{
    std::array<quint8, 7> flags{};
    for (int day = 0; day < 7; ++day)
        flags[day] = System.Options[SystemOption::FirstWorkday + day];
    return flags;
}

bool ProjectModel::isWorkday(int weekday) const
{
    return weekday >= 1 && weekday <= 7 &&
           System.Options[SystemOption::FirstWorkday + weekday - 1] == 1;
}

namespace {

template <typename T, std::size_t N> const Name50 *nameIn(const std::array<T, N> &array, int number)
{
    const T *record = Slot(array, number);
    return record ? &record->Name : nullptr;
}

} // namespace

const Name50 *ProjectModel::NameField(int type, int number) const
{
    using namespace FunctionType;
    switch (type) {
    case Process:
        return nameIn(ProcessFunctions, number);
    case IfElse:
        return nameIn(IfElseFunctions, number);
    case Timed:
    case TimedModule:
        return nameIn(TimedFunctions, number);
    case Motor:
    case MotorUpDown:
        return nameIn(Motors, number);
    case Fan:
        return nameIn(Fans, number);
    case LocalMood:
        return nameIn(LocalMoods, number);
    case TimedLocalMood:
        return nameIn(TimedLocalMoods, number);
    case GeneralMood:
        return nameIn(GeneralMoods, number);
    case Transparent:
        return nameIn(TraList, number);
    case Flag:
        return nameIn(Flags, number);
    case Sensor:
    case SensorAlt:
        return nameIn(Sensors, number);
    case AudioZone:
        return nameIn(AudioZones, number);
    case Buzzer:
    case Key:
    case InputModuleSelector:
        return nameIn(InputModules, number);
    case Message:
        return nameIn(Messages, number);
    case Condition:
        return nameIn(Conditions, number);
    case ZoneNameSelector:
        return nameIn(ZoneNames, number);
    default:
        return nullptr;
    }
}

Name50 *ProjectModel::NameField(int type, int number)
{
    return const_cast<Name50 *>(std::as_const(*this).NameField(type, number));
}

std::optional<QString> ProjectModel::FunctionName(int type, int number) const
{
    if (const Name50 *name = NameField(type, number))
        return name->text();
    return std::nullopt;
}

const OutputChannelRec *ProjectModel::OutputChannel(int type, int number) const
{
    if (type == FunctionType::Relay)
        return RelayChannel(number);
    if (type == FunctionType::Dimmer || type == FunctionType::DimmerUpDown)
        return DimmerChannel(number);
    return nullptr;
}

OutputChannelRec *ProjectModel::OutputChannel(int type, int number)
{
    return const_cast<OutputChannelRec *>(std::as_const(*this).OutputChannel(type, number));
}

int ProjectModel::UsedCount(int type) const
{
    using namespace FunctionType;
    switch (type) {
    case Relay:
        return Limits.Relays;
    case Dimmer:
    case DimmerUpDown:
        return Limits.Dimmers;
    case Process:
        return ProcessFunctionSlots;
    case IfElse:
        return Limits.IfElseFunctions;
    case Timed:
    case TimedModule:
        return Limits.TimedFunctions;
    case Motor:
    case MotorUpDown:
        return Limits.Motors;
    case Fan:
        return FanSlots;
    case LocalMood:
        return LocalMoodSlots;
    case TimedLocalMood:
        return TimedLocalMoodSlots;
    case GeneralMood:
        return GeneralMoodSlots;
    case Transparent:
        return TraSlots;
    case Flag:
        return Limits.Flags;
    case Sensor:
    case SensorAlt:
        return Limits.Sensors;
    case AudioZone:
        return Limits.AudioZones;
    case Buzzer:
    case Key:
    case InputModuleSelector:
        return Limits.MaxInputModule + 1;
    case Message:
        return MessageSlots;
    case Condition:
        return Limits.Conditions;
    case ZoneNameSelector:
        return ZoneNamesInFile;
    default:
        return 0;
    }
}

std::optional<OutputLocation> ProjectModel::locateOutput(int category, int number) const
{
    if (number < 1)
        return std::nullopt;
    const int group = (number - 1) / ChannelsPerModule;
    const int modules = qMin(Limits.OutputModules, OutputModuleSlots);
    for (int j = 0; j < modules; ++j) {
        const OutputModuleRec &module = OutputModules[j];
        if (module.ModuleType != 0 && OutputModuleCategory(module.ModuleType) == category &&
            module.FirstOutput == group)
            return OutputLocation{j, (number - 1) % ChannelsPerModule};
    }
    return std::nullopt;
}

std::optional<OutputLocation> ProjectModel::RelayLocation(int relay) const
{
    return locateOutput(Category::Relay, relay);
}

std::optional<OutputLocation> ProjectModel::DimmerLocation(int dimmer) const
{
    return locateOutput(Category::Dimmer, dimmer);
}

const OutputChannelRec *ProjectModel::RelayChannel(int relay) const
{
    const auto location = RelayLocation(relay);
    return location ? &OutputModules[location->module].Channels[location->channel] : nullptr;
}

const OutputChannelRec *ProjectModel::DimmerChannel(int dimmer) const
{
    const auto location = DimmerLocation(dimmer);
    return location ? &OutputModules[location->module].Channels[location->channel] : nullptr;
}

QString ProjectModel::RelayName(int relay) const
{
    const OutputChannelRec *channel = RelayChannel(relay);
    return channel ? channel->Name.text() : Name50().text();
}

QString ProjectModel::DimmerName(int dimmer) const
{
    const OutputChannelRec *channel = DimmerChannel(dimmer);
    return channel ? channel->Name.text() : Name50().text();
}

void NewProject(ProjectModel &model, qint32 baudRate, qint32 languageOffset)
{
    model.ZoneNames.fill(ZoneNameRec{});
    model.InputModules.fill(InputModuleRec{});
    model.AudioZones.fill(AznRec{});
    model.TraList.fill(TraRec{});
    model.TimedFunctions.fill(TimedFunctionRec{});
    model.IfElseFunctions.fill(IfElseRec{});
    model.Fans.fill(FanRec{});
    model.Motors.fill(MotorRec{});
    model.LocalMoods.fill(LocalMoodRec{});
    model.TimedLocalMoods.fill(TimedLocalMoodRec{});
    model.GeneralMoods.fill(GeneralMoodRec{});
    model.Sensors.fill(SensorRec{});
    model.Conditions.fill(ConditionRec{});
    model.Messages.fill(MessageRec{});
    model.OutputModules.fill(OutputModuleRec{});
    model.ProcessFunctions.fill(ProcessFunctionRec{});
    model.Flags.fill(FlagRec{});

    SystemRec system;
    system.BaudRate = baudRate;
    system.LanguageOffset = languageOffset;
    // Positions 33 to 37 are left as they were.
    std::copy(model.System.Options.begin() + 33, model.System.Options.end(),
              system.Options.begin() + 33);
    const std::array<quint8, 33> defaults{25, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 3, 90, 5, 5, 5,  0,
                                          0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 255};
    std::copy(defaults.begin(), defaults.end(), system.Options.begin());
    model.System = system;

    model.Modem = ModemRec{};
    model.Modem.ModemInit = QStringLiteral("ATZ0");
    model.Options.Bytes = {0, 0, 0, 40};
}

QString RangeSuffix(int group)
{
    return QStringLiteral(" (%1 - %2)").arg(group * 8 + 1).arg(group * 8 + 8);
}

QString DefaultOutputModuleName(const QString &name, int firstOutput)
{
    qsizetype end = name.size();
    while (end > 0 && name.at(end - 1) == QLatin1Char(' '))
        --end;
    const QString suffix = RangeSuffix(firstOutput);
    const qsizetype room = qMin<qsizetype>(40, Name50::width - suffix.size());
    return name.left(qMin(end, room)) + suffix;
}

QList<BuiltInInputModule> BuiltInInputModules(int modelIndex)
{
    const int model = EffectiveModelIndex(modelIndex);
    if (model != 3 && model != 4)
        return {};
    QList<BuiltInInputModule> modules;
    for (int group = 0; group < 4; ++group)
        modules.append({FirstBuiltInModule + group, 267 + group});
    modules.append({FirstBuiltInModule + 4, model == 3 ? 271 : 220});
    return modules;
}

void SelectModel(ProjectModel &model, int modelIndex, const settings::Strings &strings)
{
    model.ModelIndex = EffectiveModelIndex(modelIndex);
    model.Limits = LimitsOfModel(model.ModelIndex);

    for (const BuiltInInputModule &builtIn : BuiltInInputModules(model.ModelIndex)) {
        InputModuleRec &module = model.InputModules[builtIn.module];
        if (module.Name.isBlank())
            module.Name = strings.GetResString(builtIn.textId) + RangeSuffix(builtIn.module);
    }

    // A sensor or audio zone exists only through a key that defines it.
    std::array<bool, SensorSlots> sensorDefined{};
    std::array<bool, AudioZoneSlots> zoneDefined{};
    for (const InputModuleRec &module : model.InputModules) {
        for (const InputKeyRec &key : module.Keys) {
            const int type = key.Bytes[0] & 63;
            const int index = key.Bytes[1] - 1;
            if (type == FunctionType::Sensor && index >= 0 && index < SensorSlots)
                sensorDefined[index] = true;
            else if (type == FunctionType::AudioZone && index >= 0 && index < AudioZoneSlots)
                zoneDefined[index] = true;
        }
    }
    for (int s = 0; s < SensorSlots; ++s) {
        if (!sensorDefined[s])
            model.Sensors[s] = SensorRec{};
    }
    for (int z = 0; z < AudioZoneSlots; ++z) {
        if (!zoneDefined[z])
            model.AudioZones[z] = AznRec{};
    }
}

} // namespace quintara::project
