#include "tools/demo-project/DemoProject.h"

#include <QStringList>

namespace quintara::tools {

using namespace project;
using namespace project::FunctionType;

namespace {

constexpr quint8 Off = 0;
constexpr quint8 On = 255;
constexpr quint8 Uncoupled = 3;

struct Channel {
    const char *name;
    quint8 loadType;
    qint16 power;
    quint8 ramp;
};

void AddOutputModule(ProjectModel &model, int slot, const char *name, quint8 type, quint8 group,
                     const QList<Channel> &channels)
{
    OutputModuleRec &module = model.OutputModules[slot];
    module.Name = DefaultOutputModuleName(QString::fromUtf8(name), group);
    module.ModuleType = type;
    module.FirstOutput = group;
    for (int c = 0; c < channels.size() && c < ChannelsPerModule; ++c) {
        module.Channels[c].Name = QString::fromUtf8(channels[c].name);
        module.Channels[c].LoadType = channels[c].loadType;
        module.Channels[c].Power = channels[c].power;
        module.Channels[c].Ramp = channels[c].ramp;
    }
}

struct Key {
    quint8 type;
    quint8 number;
    const char *name;
    const char *text1 = "";
    const char *text2 = "";
};

void AddInputModule(ProjectModel &model, int slot, const char *name, quint8 type,
                    const QList<Key> &keys, quint8 byte2 = 0)
{
    InputModuleRec &module = model.InputModules[slot];
    module.Name = QString::fromUtf8(name);
    module.ModuleType = type;
    module.Byte2 = byte2;
    for (int k = 0; k < keys.size() && k < KeysPerModule; ++k) {
        InputKeyRec &key = module.Keys[k];
        key.Bytes = {keys[k].type, keys[k].number, 0, 0};
        key.Name = QString::fromUtf8(keys[k].name);
        key.Text1 = QString::fromUtf8(keys[k].text1);
        key.Text2 = QString::fromUtf8(keys[k].text2);
    }
}

void SetMood(LocalMoodRec &mood, const char *name, quint8 byte, const QList<MoodItem> &items)
{
    mood.Name = QString::fromUtf8(name);
    mood.Byte = byte;
    for (int i = 0; i < items.size() && i < MoodItems; ++i)
        mood.Items[i] = items[i];
}

// Zone names: the rooms of the house.
void AddRooms(ProjectModel &m)
{
    const QStringList rooms{"Hall",
                            "Kitchen",
                            "Living room",
                            "Dining room",
                            "Toilet",
                            "Garage",
                            "Garden",
                            "Terrace",
                            "Landing",
                            "Master bedroom",
                            "Bathroom",
                            "Study",
                            "Children's room Emma",
                            "Children's room Noah",
                            "Attic",
                            "Utility room"};
    for (int i = 0; i < rooms.size(); ++i) {
        m.ZoneNames[i].Name = rooms[i];
        m.ZoneNames[i].Code = QChar(i < 8 ? u'G' : u'F');
        m.ZoneNames[i].Value = static_cast<qint16>(i < 8 ? 0 : 1);
    }
}

// Output modules: relays 1..24, dimmers 1..16.
void AddOutputModules(ProjectModel &m)
{
    using LT = Channel;
    const quint8 Light = LoadType::LightPoint;
    const quint8 Socket = LoadType::WallSocket;
    const quint8 Other = LoadType::OtherUnit;

    AddOutputModule(m, 0, "Relays ground floor", 111, 0,
                    {LT{"Kitchen ceiling", Light, 120, 0},
                     {"Kitchen worktop", Light, 60, 0},
                     {"Living room ceiling", Light, 150, 0},
                     {"Hall", Light, 80, 0},
                     {"Toilet", Light, 40, 0},
                     {"Garage", Light, 116, 0},
                     {"Garden path", Light, 200, 0},
                     {"Terrace sockets", Socket, 2000, 0}});
    AddOutputModule(m, 1, "Relays first floor", 111, 1,
                    {LT{"Bedroom ceiling", Light, 100, 0},
                     {"Bathroom", Light, 90, 0},
                     {"Landing", Light, 60, 0},
                     {"Study", Light, 75, 0},
                     {"Emma's room", Light, 60, 0},
                     {"Noah's room", Light, 60, 0},
                     {"Wardrobe", Light, 20, 0},
                     {"Attic", Light, 58, 0}});
    AddOutputModule(m, 2, "Relays technical", 112, 2,
                    {LT{"Kitchen hood", Other, 250, 0},
                     {"Bathroom fan", Other, 35, 0},
                     {"Garden sprinkler", Other, 45, 0},
                     {"Pond pump", Other, 80, 0},
                     {"Heating", Other, 150, 0},
                     {"Garage door", Other, 400, 0},
                     {"Blinds living up", Other, 220, 0},
                     {"Blinds living down", Other, 220, 0}});
    AddOutputModule(m, 3, "Dimmers ground floor", 131, 0,
                    {LT{"Living room spots", Light, 300, 4},
                     {"Dining table", Light, 180, 2},
                     {"Reading lamp", Light, 60, 6},
                     {"Hall spots", Light, 120, 2},
                     {"Kitchen island", Light, 140, 2},
                     {"Garden lights", Light, 250, 10},
                     {"Terrace wall lights", Light, 100, 4},
                     {"Piano lamp", Light, 40, 2}});
    AddOutputModule(m, 4, "Dimmers first floor", 140, 1,
                    {LT{"Bedroom", Light, 150, 8},
                     {"Bathroom mirror", Light, 70, 2},
                     {"Emma's night light", Light, 15, 20},
                     {"Noah's night light", Light, 15, 20},
                     {"Landing wall lights", Light, 90, 4},
                     {"Study desk", Light, 60, 2}});
}

// Keypads, the kitchen touch panel, sensor and audio interfaces.
void AddInputModules(ProjectModel &m)
{
    AddInputModule(m, 1, "Keypad front door", 8,
                   {{Relay, 4, "Hall", "Hall", "light"},
                    {Dimmer, 4, "Hall spots", "Hall", "spots"},
                    {Timed, 0, "Garden path 10 min", "Garden", "path"},
                    {GeneralMood, 0, "Leaving home", "Leave", "home"},
                    {GeneralMood, 2, "Welcome home", "Welcome", "home"},
                    {Motor, 1, "Garage door", "Garage", "door"},
                    {Flag, 0, "Holiday", "Holiday", "on/off"},
                    {Relay, 6, "Garage light", "Garage", "light"}});
    AddInputModule(m, 2, "Keypad living room", 4,
                   {{Dimmer, 1, "Spots", "Spots", ""},
                    {LocalMood, 0, "Evening", "Evening", ""},
                    {LocalMood, 1, "Dinner", "Dinner", ""},
                    {Motor, 0, "Blinds", "Blinds", ""}});
    AddInputModule(
        m, 3, "Keypad master bedroom", 2,
        {{Dimmer, 9, "Bedroom light", "Light", ""}, {GeneralMood, 1, "Night", "Night", ""}});
    AddInputModule(m, 4, "Touch panel kitchen", 5,
                   {{Relay, 1, "Ceiling", "Ceiling", ""},
                    {Relay, 2, "Worktop", "Worktop", ""},
                    {Dimmer, 5, "Island", "Island", ""},
                    {Fan, 0, "Hood", "Hood", ""},
                    {LocalMood, 2, "Breakfast", "Brkfst", ""},
                    {Sensor, 1, "Outside temperature", "Outside", "temp."},
                    {Sensor, 2, "Living room temperature", "Living", "temp."},
                    {AudioZone, 2, "Kitchen radio", "Radio", ""}});
    AddInputModule(m, 5, "Weather station", 11,
                   {{Sensor, 1, "Outside temperature"},
                    {Sensor, 3, "Garden light level"},
                    {Sensor, 4, "Wind speed"}},
                   1);
    AddInputModule(m, 6, "Room thermostat", 12, {{Sensor, 2, "Living room temperature"}}, 2);
    AddInputModule(m, 7, "Audio interface", 22,
                   {{AudioZone, 1, "Living room audio"},
                    {AudioZone, 2, "Kitchen audio"},
                    {AudioZone, 3, "Bedroom audio"},
                    {AudioZone, 4, "Terrace audio"}});
    AddInputModule(
        m, 8, "Keypad bathroom", 2,
        {{Relay, 10, "Bathroom light", "Light", ""}, {Timed, 2, "Bathroom fan 15 min", "Fan", ""}});
}

// Audio zones, sensors and the transparent function.
void AddAudioZonesAndSensors(ProjectModel &m)
{
    // Audio zones (first byte marks the zone in use, the second its source).
    const QStringList zones{"Living room", "Kitchen", "Master bedroom", "Terrace"};
    for (int z = 0; z < zones.size(); ++z) {
        m.AudioZones[z].Bytes = {static_cast<quint8>(z + 1), 1};
        m.AudioZones[z].Name = zones[z];
    }

    // Sensors: two temperatures driving the heating relay, a light level, a wind speed.
    m.Sensors[0].Bytes = {1, 0, 0, 21, 21, 0};
    m.Sensors[0].Name = QStringLiteral("Outside temperature");
    m.Sensors[1].Bytes = {1, 0, 0, 21, 21, 0};
    m.Sensors[1].Name = QStringLiteral("Living room temperature");
    m.Sensors[2].Bytes = {2, 0, 0, Relay, 7, 0};
    m.Sensors[2].Name = QStringLiteral("Garden light level");
    m.Sensors[3].Bytes = {3, 0, 0, Motor, 0, 0};
    m.Sensors[3].Name = QStringLiteral("Wind speed");

    // Transparent function: the terrace sockets from the garden keypad of a later extension.
    m.TraList[0].Name = QStringLiteral("Terrace sockets");
    m.TraList[0].Bytes = {Relay, 8};
}

// Timed, If-Then-Else, fan and motor functions.
void AddFunctions(ProjectModel &m)
{
    // Timed functions.
    const auto timed = [&](int slot, const char *name, quint8 type, quint8 number, quint8 level,
                           qint16 seconds) {
        TimedFunctionRec &rec = m.TimedFunctions[slot];
        rec = {type, number, level, seconds, QString::fromUtf8(name)};
    };
    timed(0, "Garden path 10 min", Relay, 7, On, 600);
    timed(1, "Stairs light 2 min", Relay, 11, On, 120);
    timed(2, "Bathroom fan 15 min", Relay, 18, On, 900);
    timed(3, "Garden sprinkler 20 min", Relay, 19, On, 1200);
    timed(4, "Night light Emma 30 min", Dimmer, 11, 76, 1800);

    // If-Then-Else: condition, THEN, one byte, ELSE, one byte.
    m.IfElseFunctions[0].Name = QStringLiteral("Garden lights when dark");
    m.IfElseFunctions[0].Data = {Condition, 0, Dimmer, 6, 0, 0, 0, 0};
    m.IfElseFunctions[1].Name = QStringLiteral("Holiday: leave home");
    m.IfElseFunctions[1].Data = {Flag, 0, GeneralMood, 0, 0, Relay, 21, 0};
    m.IfElseFunctions[2].Name = QStringLiteral("Sprinkler when no guests");
    m.IfElseFunctions[2].Data = {Flag, 1, Timed, 3, 0, 0, 0, 0};

    // Fan of the bathroom: follows the bathroom light, on when it is switched off.
    m.Fans[0].Bytes = {Relay, 10, On, 18};
    m.Fans[0].Value = 300;
    m.Fans[0].Name = QStringLiteral("Bathroom fan");
    m.Fans[0].Setting = 0;

    // Motors: up/down relay pairs.
    m.Motors[0] = {{23, 24}, 35, QStringLiteral("Blinds living room")};
    m.Motors[1] = {{22, 0}, 20, QStringLiteral("Garage door")};
}

// Local and timed local moods.
void AddMoods(ProjectModel &m)
{
    // Local moods.
    SetMood(m.LocalMoods[0], "Evening", 0,
            {{Dimmer, 1, 128}, {Dimmer, 3, 200}, {Relay, 3, Off}, {Dimmer, 2, 76}});
    SetMood(m.LocalMoods[1], "Dinner", 0,
            {{Dimmer, 2, 230}, {Dimmer, 1, 51}, {Relay, 3, Off}, {Dimmer, 8, 0}});
    SetMood(m.LocalMoods[2], "Breakfast", 0, {{Relay, 1, On}, {Relay, 2, On}, {Dimmer, 5, 178}});
    SetMood(m.LocalMoods[3], "Watching TV", 0,
            {{Dimmer, 1, 25}, {Dimmer, 3, 0}, {Relay, 3, Off}, {Motor, 0, On}});
    SetMood(m.LocalMoods[4], "Reading", 0, {{Dimmer, 3, 255}, {Dimmer, 1, 102}});

    // Timed local mood: wake-up light in the bedroom.
    TimedLocalMoodRec &wake = m.TimedLocalMoods[0];
    wake.Name = QStringLiteral("Wake up");
    wake.Items[0] = {Dimmer, 9, 25, 0};
    wake.Items[1] = {Dimmer, 9, 128, 300};
    wake.Items[2] = {Dimmer, 9, 255, 600};
    wake.Items[3] = {Relay, 10, On, 900};
    TimedLocalMoodRec &goodNight = m.TimedLocalMoods[1];
    goodNight.Name = QStringLiteral("Good night children");
    goodNight.Items[0] = {Dimmer, 11, 51, 0};
    goodNight.Items[1] = {Dimmer, 12, 51, 0};
    goodNight.Items[2] = {Dimmer, 11, 0, 1800};
    goodNight.Items[3] = {Dimmer, 12, 0, 1800};
}

// General moods: every output either set or left alone (uncoupled).
void AddGeneralMoods(ProjectModel &m)
{
    const auto generalMood = [&](int slot, const char *name) -> GeneralMoodRec & {
        GeneralMoodRec &mood = m.GeneralMoods[slot];
        mood.Name = QString::fromUtf8(name);
        mood.RelayStates.fill(Uncoupled);
        mood.DimmerLevels.fill(Uncoupled);
        mood.RelayStates[0] = 0;
        mood.DimmerLevels[0] = 0;
        return mood;
    };
    GeneralMoodRec &leaving = generalMood(0, "Leaving home");
    for (int r = 1; r <= 16; ++r)
        leaving.RelayStates[r] = Off;
    for (int d = 1; d <= 14; ++d)
        leaving.DimmerLevels[d] = Off;
    leaving.RelayStates[21] = Off; // heating
    leaving.Extras[0] = {Flag, 0, On};
    GeneralMoodRec &night = generalMood(1, "Night");
    for (const int r : {1, 2, 3, 5, 6, 7, 8, 9, 12})
        night.RelayStates[r] = Off;
    for (const int d : {1, 2, 3, 4, 5, 8})
        night.DimmerLevels[d] = Off;
    night.DimmerLevels[13] = 25; // landing, dimmed
    night.Extras[0] = {Motor, 0, Off};
    GeneralMoodRec &welcome = generalMood(2, "Welcome home");
    welcome.RelayStates[4] = On;
    welcome.DimmerLevels[4] = 178;
    welcome.DimmerLevels[1] = 128;
    welcome.RelayStates[21] = On;
    welcome.Extras[0] = {Flag, 0, Off};
}

// The system block, conditions, messages, process functions and flags.
void AddSystemAndLogic(ProjectModel &m)
{
    // System: Monday to Friday are workdays (the defaults), English, 19200 baud.
    m.System.BaudRate = 19200;
    m.System.LanguageOffset = 0;
    m.System.Texts[0] = QStringLiteral("Demo installation");
    m.System.Texts[1] = QStringLiteral("Family de Vries");
    m.System.Texts[2] = QStringLiteral("Lindenlaan 12");
    m.System.Texts[3] = QStringLiteral("1234 AB Voorbeeld");
    m.System.Texts[4] = QStringLiteral("Installed 2024-03-15");
    const std::array<quint8, 7> workdays{1, 1, 1, 1, 1, 0, 0};
    for (int day = 0; day < 7; ++day)
        m.System.Options[SystemOption::FirstWorkday + day] = workdays[day];

    // Conditions: four groups of six bytes; the first compares a sensor, the second a flag.
    m.Conditions[0].Name = QStringLiteral("Dark outside");
    m.Conditions[0].Bytes = {Sensor, 3, 1, 40, 0, 0};
    m.Conditions[1].Name = QStringLiteral("Cold and at home");
    m.Conditions[1].Bytes = {Sensor, 1, 2, 18, 0, 0, Flag, 1, 0, 0, 0, 0};

    // Messages.
    m.Messages[0] = {QStringLiteral("Doorbell"), QStringLiteral("Front door"),
                     QStringLiteral("Someone rings"), 4, 2};
    m.Messages[1] = {QStringLiteral("Garage door open"), QStringLiteral("Garage door"),
                     QStringLiteral("is still open"), 4, 1};
    m.Messages[2] = {QStringLiteral("Frost alarm"), QStringLiteral("FROST ALARM"),
                     QStringLiteral("Check heating"), 0, 5};

    // Process functions: monitored (type, number), one byte, effect, executed (type, number).
    m.ProcessFunctions[0].Name = QStringLiteral("Frost protection");
    m.ProcessFunctions[0].Bytes = {Sensor, 1, 0, 1, Relay, 21, 0};
    m.ProcessFunctions[1].Name = QStringLiteral("Pond pump with garden lights");
    m.ProcessFunctions[1].Bytes = {Dimmer, 6, 0, 0, Relay, 20, 0};
    m.ProcessFunctions[2].Name = QStringLiteral("Close blinds on wind");
    m.ProcessFunctions[2].Bytes = {Sensor, 4, 0, 2, MotorUpDown, 0, 0};

    // Flags.
    m.Flags[0].Name = QStringLiteral("Holiday");
    m.Flags[1].Name = QStringLiteral("Guests");
    m.Flags[2].Name = QStringLiteral("Night mode");
}

} // namespace

std::unique_ptr<ProjectModel> BuildDemoProject()
{
    auto model = std::make_unique<ProjectModel>();
    ProjectModel &m = *model;
    NewProject(m, 19200, 0);
    m.ModelIndex = 1;
    m.Limits = LimitsOfModel(1);
    AddRooms(m);
    AddOutputModules(m);
    AddInputModules(m);
    AddAudioZonesAndSensors(m);
    AddFunctions(m);
    AddMoods(m);
    AddGeneralMoods(m);
    AddSystemAndLogic(m);
    return model;
}

} // namespace quintara::tools
