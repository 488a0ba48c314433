#include "presentation/FunctionPresenter.h"

#include "clock/ClockTable.h"
#include "project/ProjectModel.h"
#include "settings/NameTables.h"
#include "settings/Strings.h"

#include <cmath>

namespace quintara::ui {

namespace {

const QString CrLf = QStringLiteral("\r\n");

namespace Text {
constexpr int None = 207;
constexpr int Relays = 210;
constexpr int Dimmers = 211;
constexpr int FirstEffect = 79; // 79..81
constexpr int NumberOfBeeps = 83;
constexpr int Then = 87;
constexpr int Else = 88;
constexpr int IfCondition = 89;
constexpr int MonitoredFunction = 91;
constexpr int ExecutedFunction = 92;
constexpr int Effect = 93;
constexpr int AlarmOnAllInterfaces = 802;
constexpr int MessageOnInterface = 803;
constexpr int FirstFanSetting = 948; // 948, 949
constexpr int Setting = 960;
} // namespace Text

constexpr int SensorGroup = 65;
constexpr int AudioGroup = 66;
constexpr int InputModuleKind = 22;
constexpr int MaxListedZone = 31; // audio zones and sensors 0..31

bool isSensorFunction(int type)
{
    return type >= 21 && type <= 27;
}

bool isAudioFunction(int type)
{
    return type >= 32 && type <= 49;
}

QString trimmedRight(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

bool isBlank(const QString &text)
{
    return trimmedRight(text).isEmpty();
}

// Format "00": at least two digits, the sign in front.
QString twoDigits(int value)
{
    const QString digits = QString::number(std::abs(value)).rightJustified(2, QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

QChar separator(bool tab)
{
    return tab ? QLatin1Char('\t') : QLatin1Char(' ');
}

} // namespace

int SelectByItemData(ItemList &list, int value, int mask)
{
    int found = -1;
    for (int i = 0; i < list.entries.size(); ++i) {
        if ((list.entries[i].itemData & mask) == value)
            found = i;
    }
    if (found >= 0)
        list.currentIndex = found;
    return found;
}

FunctionPresenter::FunctionPresenter(const project::ProjectModel &model,
                                     const settings::NameTables &names,
                                     const settings::Strings &strings, const ValueFormatter &values)
    : m_model(model), m_names(names), m_strings(strings), m_values(values)
{
}

int FunctionPresenter::TypeListEntryFor(int functionType)
{
    if (isSensorFunction(functionType))
        return SensorGroup;
    if (isAudioFunction(functionType))
        return AudioGroup;
    return functionType;
}

void FunctionPresenter::FillFunctionTypeList(ItemList &list) const
{
    list.clear();
    list.add(m_strings.GetResString(Text::Relays), 1);
    list.add(m_strings.GetResString(Text::Dimmers), 2);
    for (const int type : {5, 8, 9, 10, 54, 51, 52, AudioGroup, SensorGroup, 15, 14, 4, 3, 53})
        list.add(m_names.functionTypeName(type), type);
}

void FunctionPresenter::FillFunctionList(ItemList &list, int type, int mode, bool tab,
                                         int detail) const
{
    const project::ModelLimits &limits = m_model.Limits;
    const auto addFunction = [&](int entryType, int number) {
        list.add(DescribeFunction(entryType, number, mode, tab),
                 clock::FunctionReference(entryType, number));
    };

    switch (type) {
    case 0:
        return;
    case 1:
        for (int n = 1; n <= limits.Relays; ++n) {
            if (!isBlank(RelayName(n)))
                addFunction(1, n);
        }
        return;
    case 2:
        for (int n = 1; n <= limits.Dimmers; ++n) {
            if (!isBlank(DimmerName(n)))
                addFunction(2, n);
        }
        return;
    case AudioGroup:
        for (int z = 0; z < limits.AudioZones && z <= MaxListedZone; ++z) {
            const project::AznRec *zone = project::Slot(m_model.AudioZones, z);
            if (!zone || zone->Name.isBlank())
                continue;
            addFunction(34, z + 1);
            if (detail >= 2) {
                for (const int t : {36, 37, 38, 39, 40, 41, 42})
                    addFunction(t, z + 1);
            }
            for (const int t : {32, 33, 44, 45, 46, 47, 48, 49, 43, 35})
                addFunction(t, z + 1);
        }
        return;
    case SensorGroup:
        for (int s = 0; s < limits.Sensors && s <= MaxListedZone; ++s) {
            const project::SensorRec *sensor = project::Slot(m_model.Sensors, s);
            if (!sensor || sensor->Name.isBlank() ||
                (sensor->Bytes[3] == 0 && sensor->Bytes[4] == 0))
                continue;
            for (const int t : {21, 22, 23})
                addFunction(t, s + 1);
            if (detail >= 2) {
                addFunction(26, s + 1);
                addFunction(25, s + 1);
                if (sensor->kind() == 1)
                    addFunction(24, s + 1);
            }
        }
        return;
    case 51:
    case 52:
        for (int n = 1; n <= limits.MaxInputModule && n < project::InputModuleSlots; ++n) {
            const project::InputModuleRec &module =
                m_model.InputModules[static_cast<std::size_t>(n)];
            const int t = module.ModuleType;
            const bool fits = type == 51 ? (t == 16 || (t >= 2 && t <= 8))
                                         : ((t >= 2 && t <= 10) || (t >= 16 && t <= 20));
            if (!module.Name.isBlank() && fits)
                list.add(DescribeItem(InputModuleKind, n, mode, tab),
                         clock::FunctionReference(type, n));
        }
        return;
    default:
        for (int n = 0; n <= 254; ++n) {
            if (IsFunctionDefined(type, n))
                addFunction(type, n);
        }
        return;
    }
}

QSet<int> FunctionPresenter::ListedFunctions() const
{
    // The editor's finest detail, which lists the most functions.
    constexpr int EditorDetail = 2;
    QSet<int> listed;
    ItemList types;
    FillFunctionTypeList(types);
    for (const ListEntry &type : std::as_const(types.entries)) {
        ItemList functions;
        FillFunctionList(functions, type.itemData, DescribeMode::NameOnly, false, EditorDetail);
        for (const ListEntry &function : std::as_const(functions.entries))
            listed.insert(function.itemData);
    }
    return listed;
}

QString FunctionPresenter::RelayName(int relay) const
{
    return m_model.RelayName(relay);
}

QString FunctionPresenter::DimmerName(int dimmer) const
{
    return m_model.DimmerName(dimmer);
}

QString FunctionPresenter::nameOf(int type, int number) const
{
    switch (type) {
    case 1:
        return RelayName(number);
    case 2:
    case 16:
        return DimmerName(number);
    case 14:
        return m_names.regimeName(number);
    case 53:
        return m_names.noActionName(number);
    default:
        break;
    }
    if (isSensorFunction(type) || isAudioFunction(type)) {
        const project::Name50 *name = nullptr;
        if (isSensorFunction(type)) {
            if (const auto *sensor = project::Slot(m_model.Sensors, number - 1))
                name = &sensor->Name;
        } else if (const auto *zone = project::Slot(m_model.AudioZones, number - 1)) {
            name = &zone->Name;
        }
        return name ? name->trimmedRight() + QStringLiteral(": ") + m_names.functionTypeName(type)
                    : QString();
    }
    return m_model.FunctionName(type, number).value_or(QString());
}

QString FunctionPresenter::DescribeFunction(int type, int number, int mode, bool tab) const
{
    static constexpr int namedTypes[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,  14,
                                         15, 16, 20, 28, 31, 51, 52, 53, 54, 55, 60, 100, 200};
    if (type == 0)
        return m_strings.GetResString(Text::None);
    const bool named =
        std::find(std::begin(namedTypes), std::end(namedTypes), type) != std::end(namedTypes) ||
        isSensorFunction(type) || isAudioFunction(type);
    if (!named)
        return QStringLiteral("Function: %1 %2").arg(type).arg(number);

    QString text;
    if (mode == DescribeMode::Code || mode == DescribeMode::CodeNumber)
        text += settings::FunctionTypeCode(type) + separator(mode == DescribeMode::Code && tab);
    if (mode == DescribeMode::Number || mode == DescribeMode::CodeNumber) {
        const int shown = type == project::FunctionType::Sensor ? number + 1 : number;
        text += twoDigits(shown).rightJustified(3, QLatin1Char(' ')) + separator(tab);
    }
    text += nameOf(type, number);
    return trimmedRight(text);
}

QString FunctionPresenter::DescribeItem(int kind, int number, int mode, bool tab) const
{
    const bool input = kind >= 21 && kind <= 24;
    const bool output = kind == 2 || kind == 3;
    const bool nameList = kind == 0 || kind == 1;
    const project::InputModuleRec *inputModule =
        input ? project::Slot(m_model.InputModules, number) : nullptr;
    const project::OutputModuleRec *outputModule =
        output ? project::Slot(m_model.OutputModules, number) : nullptr;
    const project::ZoneNameRec *zone =
        nameList ? project::Slot(m_model.ZoneNames, number) : nullptr;

    QString text;
    if (mode == DescribeMode::Number || mode == DescribeMode::CodeNumber) {
        if (input)
            text += QStringLiteral("I ");
        else if (output)
            text += QStringLiteral("O ");
        text += twoDigits(number).leftJustified(3, QLatin1Char(' '));
        if (mode == DescribeMode::CodeNumber)
            text += QLatin1Char(' ');
    }
    if (mode == DescribeMode::Code || mode == DescribeMode::CodeNumber) {
        if (inputModule)
            text += settings::InterfaceTypeCode(inputModule->ModuleType);
        else if (outputModule)
            text += settings::InterfaceTypeCode(outputModule->ModuleType);
        else if (nameList)
            text += settings::FunctionTypeCode(0);
    }
    text += separator(tab);
    if (inputModule)
        text += inputModule->Name.text();
    else if (outputModule)
        text += outputModule->Name.text();
    else if (zone)
        text += zone->Name.text();
    return text;
}

bool FunctionPresenter::IsFunctionDefined(int type, int number) const
{
    return number != -1 && !isBlank(DescribeFunction(type, number, DescribeMode::NameOnly, false));
}

QString FunctionPresenter::describeOrBlank(int type, int number) const
{
    return DescribeFunction(type, number, DescribeMode::CodeNumber, false);
}

QString FunctionPresenter::levelText(int raw, int forType) const
{
    return m_values.LevelText(ValueKind::Level, raw, forType);
}

QString FunctionPresenter::secondsText(int value) const
{
    return m_values.LevelText(ValueKind::Seconds, value, 0);
}

QString FunctionPresenter::DescribeDefinition(int type, int number) const
{
    using namespace project;
    const QString blank = QStringLiteral(" ");
    switch (type) {
    case FunctionType::Relay:
    case FunctionType::Dimmer:
        return describeOutput(type, number);
    case FunctionType::LocalMood:
    case FunctionType::TimedLocalMood:
    case FunctionType::GeneralMood:
        return describeMood(type, number);
    case FunctionType::Message:
    case FunctionType::IfElse:
    case FunctionType::Process:
    case FunctionType::Fan:
        return describeControl(type, number);
    case FunctionType::Transparent:
        if (const TraRec *tra = Slot(m_model.TraList, number))
            return describeOrBlank(tra->Bytes[0], tra->Bytes[1]);
        return {};
    case FunctionType::Motor:
    case FunctionType::MotorUpDown:
        if (const MotorRec *motor = Slot(m_model.Motors, number))
            return describeOrBlank(FunctionType::Relay, motor->Bytes[0]) + CrLf +
                   secondsText(motor->RunTime) + blank +
                   describeOrBlank(FunctionType::Relay, motor->Bytes[1]);
        return {};
    case FunctionType::Timed:
    case FunctionType::TimedModule:
        if (const TimedFunctionRec *timed = Slot(m_model.TimedFunctions, number))
            return levelText(timed->Level, timed->TargetType) + blank + secondsText(timed->Time) +
                   blank + describeOrBlank(timed->TargetType, timed->TargetNumber);
        return {};
    default:
        return {};
    }
}

QString FunctionPresenter::describeOutput(int type, int number) const
{
    using namespace project;
    const QString blank = QStringLiteral(" ");
    QString preview = describeOrBlank(type, number);
    const OutputChannelRec *channel =
        type == FunctionType::Relay ? m_model.RelayChannel(number) : m_model.DimmerChannel(number);
    if (!channel)
        return preview;
    if (type == FunctionType::Dimmer) {
        QLocale grouping = m_values.locale();
        grouping.setNumberOptions(grouping.numberOptions() & ~QLocale::OmitGroupSeparator);
        preview += blank + grouping.toString(qlonglong(std::lround(channel->Ramp / 2.0))) +
                   QStringLiteral(" s");
    }
    return preview + blank + m_values.locale().toString(channel->Power) + QStringLiteral(" VA ") +
           m_names.loadTypeName(channel->LoadType);
}

QString FunctionPresenter::describeMood(int type, int number) const
{
    using namespace project;
    const QString blank = QStringLiteral(" ");
    QString preview;
    if (type == FunctionType::LocalMood) {
        if (const LocalMoodRec *mood = Slot(m_model.LocalMoods, number)) {
            for (const MoodItem &item : mood->Items) {
                if (item.Type != 0)
                    preview += levelText(item.Value, item.Type) + blank +
                               describeOrBlank(item.Type, item.Number) + CrLf;
            }
        }
    } else if (type == FunctionType::TimedLocalMood) {
        if (const TimedLocalMoodRec *mood = Slot(m_model.TimedLocalMoods, number)) {
            for (const TimedMoodItem &item : mood->Items) {
                if (item.Type != 0)
                    preview += levelText(item.Level, item.Type) + blank + secondsText(item.Time) +
                               blank + describeOrBlank(item.Type, item.Number) + CrLf;
            }
        }
    } else if (const GeneralMoodRec *mood = Slot(m_model.GeneralMoods, number)) {
        // Raw 3 marks the outputs the mood leaves alone.
        const auto outputs = [&](const auto &states, int outputType, int count) {
            for (int n = 1; n <= count; ++n) {
                const int state = states[static_cast<std::size_t>(n)];
                if (state != 3)
                    preview += levelText(state, outputType) + blank +
                               describeOrBlank(outputType, n) + CrLf;
            }
            preview += CrLf;
        };
        outputs(mood->RelayStates, FunctionType::Relay,
                std::min(m_model.Limits.Relays, GeneralMoodRelayStates - 1));
        outputs(mood->DimmerLevels, FunctionType::Dimmer,
                std::min(m_model.Limits.Dimmers, GeneralMoodDimmerLevels - 1));
        for (int e = 1; e <= 4; ++e) {
            const MoodItem &extra = mood->Extras[static_cast<std::size_t>(e)];
            if (extra.Type != 0)
                preview += levelText(extra.Value, extra.Type) + blank +
                           describeOrBlank(extra.Type, extra.Number) + CrLf;
        }
    }
    return preview;
}

QString FunctionPresenter::describeControl(int type, int number) const
{
    using namespace project;
    const auto text = [&](int id) { return m_strings.GetResString(id); };
    const auto label = [&](int id) { return text(id) + QStringLiteral(": "); };
    const QString blank = QStringLiteral(" ");
    if (type == FunctionType::Message) {
        const MessageRec *message = Slot(m_model.Messages, number);
        if (!message)
            return {};
        const QString where = message->InterfaceNumber != 0
                                  ? text(Text::MessageOnInterface) + blank +
                                        QString::number(message->InterfaceNumber) + blank
                                  : text(Text::AlarmOnAllInterfaces);
        return where + CrLf + message->Line1.text() + CrLf + message->Line2.text() + CrLf +
               label(Text::NumberOfBeeps) + QString::number(message->Beeps) + CrLf;
    }
    if (type == FunctionType::IfElse) {
        const IfElseRec *ife = Slot(m_model.IfElseFunctions, number);
        if (!ife)
            return {};
        const auto &d = ife->Data;
        const QString indent = QStringLiteral("  ");
        return label(Text::IfCondition) + CrLf + indent + describeOrBlank(d[0], d[1]) + CrLf +
               label(Text::Then) + CrLf + indent + describeOrBlank(d[2], d[3]) + CrLf +
               label(Text::Else) + CrLf + indent + describeOrBlank(d[5], d[6]) + CrLf;
    }
    if (type == FunctionType::Process) {
        const ProcessFunctionRec *process = Slot(m_model.ProcessFunctions, number);
        if (!process)
            return {};
        // Monitored function in the first two bytes, executed function in the fifth and sixth.
        const int effect = process->effect();
        const QString effectText =
            effect >= 0 && effect <= 2 ? text(Text::FirstEffect + effect) : QString();
        const auto &b = process->Bytes;
        return label(Text::Effect) + effectText + CrLf + label(Text::MonitoredFunction) +
               describeOrBlank(b[0], b[1]) + CrLf + label(Text::ExecutedFunction) +
               describeOrBlank(b[4], b[5]) + CrLf;
    }
    const FanRec *fan = Slot(m_model.Fans, number);
    if (!fan)
        return {};
    const auto &b = fan->Bytes;
    const QString setting =
        fan->Setting <= 1 ? text(Text::FirstFanSetting + fan->Setting) : QString();
    return levelText(b[2], b[0]) + blank + describeOrBlank(b[0], b[1]) + CrLf +
           secondsText(fan->Value) + blank + describeOrBlank(FunctionType::Relay, b[3]) + CrLf +
           label(Text::Setting) + setting;
}

std::optional<platform::Message> DeleteLineQuestion(const clock::ClockTable &table,
                                                    const FunctionPresenter &presenter)
{
    const std::optional<int> index = table.selectedIndex();
    if (!index)
        return std::nullopt;
    const clock::ClockLine &line = table.Lines[static_cast<std::size_t>(*index)];
    return clock::DeleteLineQuestion(
        presenter.values().LevelText(ValueKind::Level, line.Level, line.FunctionType),
        presenter.DescribeFunction(line.FunctionType, line.FunctionNumber, DescribeMode::CodeNumber,
                                   false),
        presenter.strings());
}

} // namespace quintara::ui
