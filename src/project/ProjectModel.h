#pragma once

#include "project/FixedText.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <optional>

namespace quintara::settings {
class Strings;
}

namespace quintara::project {

// Function type codes: the first byte of a function reference (type, number).
namespace FunctionType {
inline constexpr int None = 0;
inline constexpr int Relay = 1;          // REL
inline constexpr int Dimmer = 2;         // DIM
inline constexpr int Process = 3;        // PRS
inline constexpr int IfElse = 4;         // IFE
inline constexpr int Timed = 5;          // TMD
inline constexpr int Motor = 6;          // MTR
inline constexpr int Fan = 7;            // FAN
inline constexpr int LocalMood = 8;      // LMD
inline constexpr int TimedLocalMood = 9; // TLM
inline constexpr int GeneralMood = 10;   // GMD
inline constexpr int Transparent = 11;   // TRA
inline constexpr int TimedModule = 12;   // MOD, names a timed function
inline constexpr int Regime = 14;        // REG
inline constexpr int Flag = 15;          // FLG
inline constexpr int DimmerUpDown = 16;  // DUD, names a dimmer
inline constexpr int Sensor = 20;        // SEN
inline constexpr int SensorAlt = 28;     // names a sensor record too
inline constexpr int AudioZone = 31;     // AZN
inline constexpr int Buzzer = 51;        // BZR
inline constexpr int Key = 52;           // KEY
inline constexpr int Service = 53;       // SER
inline constexpr int Message = 54;       // MSG
inline constexpr int MotorUpDown = 55;   // U/D
inline constexpr int Condition = 60;     // CON
// Selectors of lists that are not function types.
inline constexpr int InputModuleSelector = 100;
inline constexpr int ZoneNameSelector = 200;
// Ranges of detailed types, and the type list entries that stand for each range.
inline constexpr int SensorFirst = 21; // TMP: up, down, switch, frost protection, night, day
inline constexpr int SensorFrostProtection = 24;
inline constexpr int SensorNight = 25;
inline constexpr int SensorDay = 26;
inline constexpr int SensorLast = 27;
inline constexpr int AudioFirst = 32; // AUD
inline constexpr int AudioButton = 44;
inline constexpr int AudioLast = 49;
inline constexpr int SensorGroup = 65;
inline constexpr int AudioGroup = 66;
constexpr bool IsSensor(int type)
{
    return type >= SensorFirst && type <= SensorLast;
}
constexpr bool IsAudio(int type)
{
    return type >= AudioFirst && type <= AudioLast;
}
} // namespace FunctionType

// Categories of modules, as the lists use them. None is 255.
namespace Category {
inline constexpr int Relay = 2;
inline constexpr int Dimmer = 3;
inline constexpr int InputKeypad = 22; // keypads, LCD and touch interfaces
inline constexpr int InputDigital = 23;
inline constexpr int InputOther = 24;
inline constexpr int None = 255;
} // namespace Category

// Category of an input module type: 22, 23, 24 or Category::None.
int InputModuleCategory(int moduleType);
// Category of an output module type: Category::Relay, Category::Dimmer or Category::None.
int OutputModuleCategory(int moduleType);

// The capacity of a central-unit model. Arrays keep their full size; these say how many slots
// are used and how many records a project file holds.
struct ModelLimits {
    int MaxInputModule = 0; // input modules 0..MaxInputModule, inclusive
    int Relays = 0;         // relay outputs 1..Relays
    int Dimmers = 0;        // dimmer outputs 1..Dimmers
    int Sensors = 0;
    int AudioZones = 0;
    int OutputModules = 0;
    int OutputChannels = 0;
    int TimedFunctions = 0;
    int Flags = 0;
    int IfElseFunctions = 0;
    int Conditions = 0;
    int Motors = 0;
    int ClockLines = 0;

    friend bool operator==(const ModelLimits &, const ModelLimits &) = default;
};

inline constexpr int ModelCount = 5;
// The model a stored index means: 0..4 as they are, anything else model 3.
int EffectiveModelIndex(int modelIndex);
ModelLimits LimitsOfModel(int modelIndex);

// Slot counts of the model's arrays.
inline constexpr int ZoneNameSlots = 252;
inline constexpr int ZoneNamesInFile = 251;
inline constexpr int InputModuleSlots = 100;
inline constexpr int KeysPerModule = 8;
inline constexpr int AudioZoneSlots = 32;
inline constexpr int TraSlots = 25;
inline constexpr int TimedFunctionSlots = 70;
inline constexpr int IfElseSlots = 40;
inline constexpr int FanSlots = 10;
inline constexpr int MotorSlots = 40;
inline constexpr int LocalMoodSlots = 100;
inline constexpr int MoodItems = 10;
inline constexpr int TimedLocalMoodSlots = 10;
inline constexpr int GeneralMoodSlots = 20;
inline constexpr int GeneralMoodRelayStates = 177;  // index 1..176 used
inline constexpr int GeneralMoodDimmerLevels = 121; // index 1..120 used
inline constexpr int GeneralMoodExtras = 6;
inline constexpr int SensorSlots = 32;
inline constexpr int ConditionSlots = 30;
inline constexpr int MessageSlots = 10;
inline constexpr int OutputModuleSlots = 37;
inline constexpr int ChannelsPerModule = 8;
inline constexpr int ProcessFunctionSlots = 10;
inline constexpr int FlagSlots = 40;
inline constexpr int TextListSlots = 256;
inline constexpr int SystemOptionCount = 38;

struct ZoneNameRec {
    Name50 Name;
    QChar Code = QChar(0);
    qint16 Value = 0;

    friend bool operator==(const ZoneNameRec &, const ZoneNameRec &) = default;
};

struct InputKeyRec {
    // Byte 0: the key's function type in its lower six bits; byte 1: the function number;
    // bytes 2 and 3: the key's own type code and its parameter.
    std::array<quint8, 4> Bytes{};
    Name50 Name;
    FixedText<7> Text1;
    FixedText<7> Text2;

    friend bool operator==(const InputKeyRec &, const InputKeyRec &) = default;
};

struct InputModuleRec {
    Name50 Name;
    quint8 ModuleType = 0; // input module type code; 0 = no module
    // The module's second and third byte (the third is the default sensor of some keys).
    quint8 Byte1 = 0;
    quint8 Byte2 = 0;
    std::array<InputKeyRec, KeysPerModule> Keys{};

    friend bool operator==(const InputModuleRec &, const InputModuleRec &) = default;
};

struct AznRec {
    std::array<quint8, 2> Bytes{};
    Name50 Name;

    friend bool operator==(const AznRec &, const AznRec &) = default;
};

struct TraRec {
    Name50 Name;
    std::array<quint8, 2> Bytes{}; // the (type, number) it passes on

    friend bool operator==(const TraRec &, const TraRec &) = default;
};

struct TimedFunctionRec {
    quint8 TargetType = 0;
    quint8 TargetNumber = 0;
    quint8 Level = 0;
    qint16 Time = 0; // seconds
    Name50 Name;

    friend bool operator==(const TimedFunctionRec &, const TimedFunctionRec &) = default;
};

struct IfElseRec {
    Name50 Name;
    // Condition type, condition number, THEN type, THEN number, one byte, ELSE type,
    // ELSE number, one byte.
    std::array<quint8, 8> Data{};

    friend bool operator==(const IfElseRec &, const IfElseRec &) = default;
};

struct FanRec {
    // Type and number of the function it follows, that function's level, the fan's relay output.
    std::array<quint8, 4> Bytes{};
    qint16 Value = 0; // seconds
    Name50 Name;
    quint8 Setting = 0; // 0 = on when the light goes off, 1 = on when it goes on

    friend bool operator==(const FanRec &, const FanRec &) = default;
};

struct MotorRec {
    // Relay outputs: [0] switched by type 6, [1] by type 55.
    std::array<quint8, 2> Bytes{};
    qint16 RunTime = 0;
    Name50 Name;

    friend bool operator==(const MotorRec &, const MotorRec &) = default;
};

struct MoodItem {
    quint8 Type = 0; // 0 ends the list
    quint8 Number = 0;
    quint8 Value = 0; // the level

    friend bool operator==(const MoodItem &, const MoodItem &) = default;
};

struct LocalMoodRec {
    std::array<MoodItem, MoodItems> Items{};
    quint8 Byte = 0; // the byte after the items
    Name50 Name;

    friend bool operator==(const LocalMoodRec &, const LocalMoodRec &) = default;
};

struct TimedMoodItem {
    quint8 Type = 0;
    quint8 Number = 0;
    quint8 Level = 0;
    qint16 Time = 0; // seconds

    friend bool operator==(const TimedMoodItem &, const TimedMoodItem &) = default;
};

struct TimedLocalMoodRec {
    quint8 Byte = 0; // the byte before the items
    std::array<TimedMoodItem, MoodItems> Items{};
    Name50 Name;

    friend bool operator==(const TimedLocalMoodRec &, const TimedLocalMoodRec &) = default;
};

struct GeneralMoodRec {
    std::array<quint8, GeneralMoodRelayStates> RelayStates{};   // [r] = relay output r
    std::array<quint8, GeneralMoodDimmerLevels> DimmerLevels{}; // [d] = dimmer output d
    std::array<MoodItem, GeneralMoodExtras> Extras{};
    Name50 Name;

    friend bool operator==(const GeneralMoodRec &, const GeneralMoodRec &) = default;
};

struct SensorRec {
    // Byte 0: kind in its lower three bits (1 = temperature); bytes 3 and 4: what it drives.
    std::array<quint8, 6> Bytes{};
    Name50 Name;

    int kind() const { return Bytes[0] & 7; }

    friend bool operator==(const SensorRec &, const SensorRec &) = default;
};

namespace SystemOption {
inline constexpr int FirstWorkday = 2; // 2..8: Monday..Sunday, 1 = workday
}

struct SystemRec {
    qint32 BaudRate = 0;
    std::array<Name50, 6> Texts{}; // Text1 to Text6
    qint32 LanguageOffset = 0;
    std::array<quint8, SystemOptionCount> Options{};

    friend bool operator==(const SystemRec &, const SystemRec &) = default;
};

struct ModemRec {
    quint8 ModemInUse = 0;
    quint8 ModemType = 0; // 0..2
    Name50 ModemInit;
    Name50 TelephoneNumber;
    Name50 CallBackNumber;

    friend bool operator==(const ModemRec &, const ModemRec &) = default;
};

struct ConditionRec {
    Name50 Name;
    std::array<quint8, 24> Bytes{};

    friend bool operator==(const ConditionRec &, const ConditionRec &) = default;
};

struct ExtraOptions {
    std::array<quint8, 4> Bytes{};

    friend bool operator==(const ExtraOptions &, const ExtraOptions &) = default;
};

struct MessageRec {
    Name50 Name;
    FixedText<16> Line1;
    FixedText<16> Line2;
    quint8 InterfaceNumber = 0; // 0 = alarm on all LCD interfaces
    quint8 Beeps = 0;

    friend bool operator==(const MessageRec &, const MessageRec &) = default;
};

namespace LoadType {
inline constexpr int Unknown = 0;
inline constexpr int LightPoint = 76;
inline constexpr int OtherUnit = 79;
inline constexpr int WallSocket = 83;
} // namespace LoadType

struct OutputChannelRec {
    Name50 Name;
    quint8 LoadType = 0;
    qint16 Power = 0; // VA
    quint8 Ramp = 0;  // half seconds

    friend bool operator==(const OutputChannelRec &, const OutputChannelRec &) = default;
};

struct OutputModuleRec {
    Name50 Name;
    quint8 ModuleType = 0;  // output module type code; 0 = no module
    quint8 FirstOutput = 0; // outputs FirstOutput × 8 + 1 .. FirstOutput × 8 + 8
    std::array<OutputChannelRec, ChannelsPerModule> Channels{};

    friend bool operator==(const OutputModuleRec &, const OutputModuleRec &) = default;
};

struct ProcessFunctionRec {
    Name50 Name;
    std::array<quint8, 7> Bytes{}; // [3] = effect after activation, 0..2

    int effect() const { return Bytes[3]; }

    friend bool operator==(const ProcessFunctionRec &, const ProcessFunctionRec &) = default;
};

struct FlagRec {
    Name50 Name;

    friend bool operator==(const FlagRec &, const FlagRec &) = default;
};

struct TextListRec {
    Name50 Text;

    friend bool operator==(const TextListRec &, const TextListRec &) = default;
};

// Where output number n lives: a module slot and a channel 0..7.
struct OutputLocation {
    int module = 0;
    int channel = 0;

    friend bool operator==(const OutputLocation &, const OutputLocation &) = default;
};

// The installation in memory: fixed arrays of fixed records. A slot is empty when it holds the
// defaults NewProject gives it.
struct ProjectModel {
    int ModelIndex = 0; // 0..4
    ModelLimits Limits;
    // Format version of the project file read last; 0 when none.
    int FileVersion = 0;

    std::array<ZoneNameRec, ZoneNameSlots> ZoneNames{};
    std::array<InputModuleRec, InputModuleSlots> InputModules{};
    std::array<AznRec, AudioZoneSlots> AudioZones{};
    std::array<TraRec, TraSlots> TraList{};
    std::array<TimedFunctionRec, TimedFunctionSlots> TimedFunctions{};
    std::array<IfElseRec, IfElseSlots> IfElseFunctions{};
    std::array<FanRec, FanSlots> Fans{};
    std::array<MotorRec, MotorSlots> Motors{};
    std::array<LocalMoodRec, LocalMoodSlots> LocalMoods{};
    std::array<TimedLocalMoodRec, TimedLocalMoodSlots> TimedLocalMoods{};
    std::array<GeneralMoodRec, GeneralMoodSlots> GeneralMoods{};
    std::array<SensorRec, SensorSlots> Sensors{};
    SystemRec System;
    ModemRec Modem;
    std::array<ConditionRec, ConditionSlots> Conditions{};
    ExtraOptions Options;
    std::array<MessageRec, MessageSlots> Messages{};
    std::array<OutputModuleRec, OutputModuleSlots> OutputModules{};
    std::array<ProcessFunctionRec, ProcessFunctionSlots> ProcessFunctions{};
    std::array<FlagRec, FlagSlots> Flags{};
    std::array<TextListRec, TextListSlots> TextList{};

    // Seven flags, Monday first, 1 = workday.
    std::array<quint8, 7> WorkdayFlags() const;
    // weekday: Monday = 1 .. Sunday = 7.
    bool isWorkday(int weekday) const;

    // The name a function reference shows, for the types that index one of the named arrays
    // (3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 20, 28, 31, 51, 52, 54, 55, 60, 100, 200); nothing
    // for other types or numbers outside the array. Relays and dimmers: RelayName, DimmerName.
    std::optional<QString> FunctionName(int type, int number) const;
    // The name field behind such a reference; nullptr where FunctionName gives nothing.
    const Name50 *NameField(int type, int number) const;
    Name50 *NameField(int type, int number);
    // The output channel behind a relay, dimmer or dimmer up/down reference, when a module
    // carries it.
    const OutputChannelRec *OutputChannel(int type, int number) const;
    OutputChannelRec *OutputChannel(int type, int number);
    // How many slots of the array behind a type the current model uses (relays and dimmers:
    // the highest output number); 0 for types without an array.
    int UsedCount(int type) const;

    // The module and channel that carry relay output n (1-based), or dimmer output n: the first
    // module in use of that category whose FirstOutput is (n - 1) / 8.
    std::optional<OutputLocation> RelayLocation(int relay) const;
    std::optional<OutputLocation> DimmerLocation(int dimmer) const;
    const OutputChannelRec *RelayChannel(int relay) const;
    const OutputChannelRec *DimmerChannel(int dimmer) const;
    // Channel name, or a blank name when no module carries the output.
    QString RelayName(int relay) const;
    QString DimmerName(int dimmer) const;

private:
    std::optional<OutputLocation> locateOutput(int category, int number) const;
};

// Bounds-checked slot access for numbers that come from files or tables.
template <typename T, std::size_t N> const T *Slot(const std::array<T, N> &array, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < N ? &array[index] : nullptr;
}
template <typename T, std::size_t N> T *Slot(std::array<T, N> &array, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < N ? &array[index] : nullptr;
}

// Every slot of every array to its empty state; the system record takes the baud rate and the
// language offset given (those the settings hold). The text list is kept, as are ModelIndex,
// Limits and FileVersion.
void NewProject(ProjectModel &model, qint32 baudRate, qint32 languageOffset);

// Selects the central-unit model: stores its index (an index above 4 is taken as 3) and its
// limits, names the model's built-in input modules where their names are blank, and clears the
// sensors and audio zones that no key defines. The built-in input modules: models 3 and 4 keep
// their on-board inputs in input modules 21 to 25 (the slots those models gained over the older
// file formats): 21 to 24 are the four groups of eight digital inputs (texts 267 to 270); 25 is
// the analog input pair (text 271) on model 3 and the touch panel connection (text 220) on model
// 4, which has fewer sensors and no analog inputs. Each name is followed by the range of the
// module's input numbers, " (first - last)", formed like an output module's range. Names that a
// project already gives are never replaced. The other models have no built-in input modules.
struct BuiltInInputModule {
    int module = 0;
    int textId = 0;
};
// The built-in input modules of a model, in slot order.
QList<BuiltInInputModule> BuiltInInputModules(int modelIndex);

void SelectModel(ProjectModel &model, int modelIndex, const settings::Strings &strings);

// The name a converted output module gets: its name without trailing blanks, cut to 40
// characters, then " (first - last)" for its eight outputs. The name is cut further where the
// range would otherwise not fit the 50-character field.
QString DefaultOutputModuleName(const QString &name, int firstOutput);
// The range suffix " (first - last)" for a group of eight numbered from group × 8 + 1.
QString RangeSuffix(int group);

} // namespace quintara::project
