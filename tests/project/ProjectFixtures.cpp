#include "tests/project/ProjectFixtures.h"

#include <gtest/gtest.h>

#include <random>

namespace quintara::testing {

using namespace project;

ReaderHarness::ReaderHarness()
    : strings(settings::StringTable::builtIn(), 0), model(std::make_unique<ProjectModel>())
{
    settings.languageValue = 0;
    settings.baudRateInUse = 19200;
}

ReadOutcome ReaderHarness::read(const QByteArray &data, const QString &path)
{
    return adopt(ReadProjectData(data, settings, strings), path);
}

ReadOutcome ReaderHarness::adopt(ProjectRead read, const QString &path)
{
    notices.insert(notices.end(), read.notices.begin(), read.notices.end());
    AdoptProjectRead(read, path, *model, settings);
    if (read.read())
        strings.setLanguageOffset(read.languageOffset);
    return read.status;
}

void ReaderHarness::expectNotice(const QString &text, const QString &title, platform::Icon icon)
{
    ASSERT_FALSE(notices.empty());
    const platform::Notice notice = notices.front();
    notices.erase(notices.begin());
    EXPECT_EQ(notice.text, text);
    EXPECT_EQ(notice.title, title);
    EXPECT_EQ(notice.icon, icon);
}

namespace {

// Function types that no version recodes.
constexpr std::array<quint8, 9> SafeKeyTypes{1, 3, 4, 5, 8, 9, 10, 15, 54};

class Filler {
public:
    explicit Filler(int seed) : m_random(static_cast<unsigned>(seed)) {}

    quint8 byte() { return static_cast<quint8>(m_random() & 0xFF); }
    qint16 int16() { return static_cast<qint16>(m_random() & 0xFFFF); }
    // Names of varying length, with a few characters beyond ASCII.
    QString name(const char *prefix, int index)
    {
        static const QString extra = QStringLiteral("äéØ€ŠŸ");
        return QStringLiteral("%1 %2 ").arg(QLatin1String(prefix)).arg(index) +
               extra.at(index % extra.size()) + QString(int(m_random() % 20), u'x');
    }
    template <std::size_t N> void bytes(std::array<quint8, N> &target)
    {
        for (quint8 &value : target)
            value = byte();
    }
    MoodItem item() { return {byte(), byte(), byte()}; }
    // The first `count` records, each named after its index, with `rest` filling the others.
    template <typename T, std::size_t N, typename F>
    void records(std::array<T, N> &target, int count, const char *prefix, F rest)
    {
        for (int i = 0; i < count; ++i) {
            target[std::size_t(i)].Name = name(prefix, i);
            rest(target[std::size_t(i)], i);
        }
    }

private:
    std::mt19937 m_random;
};

} // namespace

std::unique_ptr<ProjectModel> SampleModel(int modelIndex)
{
    auto model = std::make_unique<ProjectModel>();
    NewProject(*model, 9600, 20000);
    model->ModelIndex = modelIndex;
    model->Limits = LimitsOfModel(modelIndex);
    const ModelLimits &limits = model->Limits;
    Filler fill(modelIndex + 1);
    fill.records(model->ZoneNames, ZoneNamesInFile, "Zone", [&](ZoneNameRec &zone, int i) {
        zone.Code = QChar(u'A' + i % 26);
        zone.Value = fill.int16();
    });
    fill.records(model->InputModules, limits.MaxInputModule + 1, "Interface",
                 [&](InputModuleRec &module, int i) {
        module.ModuleType = static_cast<quint8>(1 + i % 28);
        module.Byte1 = fill.byte();
        module.Byte2 = fill.byte();
        for (int k = 0; k < KeysPerModule; ++k) {
            InputKeyRec &key = module.Keys[k];
            fill.bytes(key.Bytes);
            // The first modules define every sensor and audio zone, so none is cleared.
            quint8 type = SafeKeyTypes[(i + k) % SafeKeyTypes.size()];
            if (i < 8) {
                type = i < 4 ? FunctionType::Sensor : FunctionType::AudioZone;
                key.Bytes[1] = static_cast<quint8>((i % 4) * 8 + k + 1);
            }
            key.Bytes[0] = static_cast<quint8>((key.Bytes[0] & 192) | type);
            if ((key.Bytes[2] & 63) == 17 || (key.Bytes[2] & 63) == 61)
                ++key.Bytes[2]; // not a type that older versions recode
            key.Name = fill.name("Key", i * 8 + k);
            key.Text1 = QStringLiteral("T1-%1").arg(k);
            key.Text2 = QStringLiteral("T2-%1").arg(k);
        }
    });
    fill.records(model->AudioZones, limits.AudioZones, "Audio", [&](AznRec &r, int) { fill.bytes(r.Bytes); });
    fill.records(model->TraList, TraSlots, "Tra", [&](TraRec &r, int) { fill.bytes(r.Bytes); });
    fill.records(model->TimedFunctions, limits.TimedFunctions, "Timed", [&](TimedFunctionRec &r, int) {
        r = {fill.byte(), fill.byte(), fill.byte(), fill.int16(), r.Name};
    });
    fill.records(model->IfElseFunctions, limits.IfElseFunctions, "IfElse",
                 [&](IfElseRec &r, int) { fill.bytes(r.Data); });
    fill.records(model->Fans, FanSlots, "Fan", [&](FanRec &fan, int i) {
        fill.bytes(fan.Bytes);
        fan.Value = fill.int16();
        fan.Setting = static_cast<quint8>(i % 2);
    });
    fill.records(model->Motors, limits.Motors, "Motor", [&](MotorRec &motor, int) {
        fill.bytes(motor.Bytes);
        motor.RunTime = fill.int16();
    });
    fill.records(model->LocalMoods, LocalMoodSlots, "Mood", [&](LocalMoodRec &mood, int) {
        for (MoodItem &item : mood.Items)
            item = fill.item();
        mood.Byte = fill.byte();
    });
    fill.records(model->TimedLocalMoods, TimedLocalMoodSlots, "TimedMood",
                 [&](TimedLocalMoodRec &mood, int) {
        mood.Byte = fill.byte();
        for (TimedMoodItem &item : mood.Items)
            item = {fill.byte(), fill.byte(), fill.byte(), fill.int16()};
    });
    fill.records(model->GeneralMoods, GeneralMoodSlots, "General", [&](GeneralMoodRec &mood, int) {
        fill.bytes(mood.RelayStates);
        fill.bytes(mood.DimmerLevels);
        for (MoodItem &item : mood.Extras)
            item = fill.item();
    });
    fill.records(model->Sensors, limits.Sensors, "Sensor", [&](SensorRec &r, int) { fill.bytes(r.Bytes); });
    model->System.BaudRate = 9600;
    for (int t = 0; t < 6; ++t)
        model->System.Texts[t] = fill.name("Text", t);
    model->System.LanguageOffset = 20000;
    fill.bytes(model->System.Options);
    model->Modem = {1, 2, QStringLiteral("AT&F"), QStringLiteral("0031 20 5550123"),
                    QStringLiteral("0031 20 5550199")};
    fill.records(model->Conditions, limits.Conditions, "Condition",
                 [&](ConditionRec &r, int) { fill.bytes(r.Bytes); });
    model->Options.Bytes = {1, 2, 3, 4};
    fill.records(model->Messages, MessageSlots, "Message", [&](MessageRec &message, int i) {
        message.Line1 = QStringLiteral("Line one %1").arg(i);
        message.Line2 = QStringLiteral("Line two %1").arg(i);
        message.InterfaceNumber = fill.byte();
        message.Beeps = fill.byte();
    });
    fill.records(model->OutputModules, limits.OutputModules, "Output", [&](OutputModuleRec &module, int i) {
        module.ModuleType = fill.byte();
        module.FirstOutput = static_cast<quint8>(i);
        for (int c = 0; c < ChannelsPerModule; ++c)
            module.Channels[c] = {fill.name("Channel", i * 8 + c), fill.byte(), fill.int16(), fill.byte()};
    });
    fill.records(model->ProcessFunctions, ProcessFunctionSlots, "Process",
                 [&](ProcessFunctionRec &r, int) { fill.bytes(r.Bytes); });
    fill.records(model->Flags, limits.Flags, "Flag", [](FlagRec &, int) {});
    for (int i = 0; i < TextListSlots; ++i)
        model->TextList[i].Text = fill.name("Text list", i);
    return model;
}

namespace {

constexpr std::array<int, ModelCount> OldMaxInputModule{99, 40, 10, 20, 20};
constexpr std::array<int, ModelCount> OldOutputModules{37, 18, 5, 10, 10};

// The first `count` records as the file has them, the others as a new project has them.
template <typename T, std::size_t N>
void KeepFirst(std::array<T, N> &records, const std::array<T, N> &fresh, int count)
{
    std::copy(fresh.begin() + count, fresh.end(), records.begin() + count);
}

} // namespace

std::unique_ptr<ProjectModel> ExpectedAfterReading(const ProjectModel &sample, int version,
                                                   const settings::Settings &settings,
                                                   const settings::Strings &strings)
{
    ProjectModel fresh;
    NewProject(fresh, settings.baudRateInUse, settings.languageValue);
    auto expected = std::make_unique<ProjectModel>(sample);
    expected->FileVersion = version;
    const int m = sample.ModelIndex;
    const ModelLimits &limits = sample.Limits;
    const bool before27 = version < 27, before38 = version < 38;
    const std::array<int, ModelCount> sensorsOf40{limits.Sensors, 16, limits.Sensors, 10,
                                                  limits.Sensors};
    KeepFirst(expected->ZoneNames, fresh.ZoneNames, ZoneNamesInFile);
    KeepFirst(expected->InputModules, fresh.InputModules,
              (before38 ? OldMaxInputModule[m] : limits.MaxInputModule) + 1);
    KeepFirst(expected->AudioZones, fresh.AudioZones, limits.AudioZones);
    KeepFirst(expected->TimedFunctions, fresh.TimedFunctions, before27 ? 20 : limits.TimedFunctions);
    KeepFirst(expected->IfElseFunctions, fresh.IfElseFunctions, before27 ? 10 : limits.IfElseFunctions);
    KeepFirst(expected->Motors, fresh.Motors, version < 28 ? 30 : limits.Motors);
    KeepFirst(expected->Sensors, fresh.Sensors, version == 60 ? limits.Sensors : sensorsOf40[m]);
    KeepFirst(expected->Conditions, fresh.Conditions, before27 ? 20 : limits.Conditions);
    KeepFirst(expected->OutputModules, fresh.OutputModules,
              before38 ? OldOutputModules[m] : limits.OutputModules);
    KeepFirst(expected->Flags, fresh.Flags, before27 ? 10 : limits.Flags);
    if (version != 60) {
        expected->Modem = fresh.Modem;
        expected->TextList = fresh.TextList;
    }
    for (int i = 0; before27 && i < 10; ++i)
        expected->IfElseFunctions[i].Data[0] = FunctionType::Condition;
    if (version == 24) { // no key texts, no fan setting
        for (InputModuleRec &module : expected->InputModules) {
            for (InputKeyRec &key : module.Keys)
                key.Text1 = key.Text2 = QString();
        }
        for (FanRec &fan : expected->Fans)
            fan.Setting = 0;
    }
    SystemRec &system = expected->System;
    if (version < 40) { // shorter option forms
        system = fresh.System;
        const int options = version >= 26 ? 32 : 30;
        for (int p = 0; p < options; ++p) {
            // Version 24's block holds the week's options and a few others.
            if (version >= 25 || p < 9 || p == 11 || p == 12 || p >= 16)
                system.Options[p] = sample.System.Options[p];
        }
        if (version >= 25) {
            system.BaudRate = sample.System.BaudRate;
            system.Texts = sample.System.Texts;
            system.LanguageOffset = sample.System.LanguageOffset;
        } else {
            system.Options[9] = system.Options[10] = 0;
        }
    }
    if (!settings::Strings::IsValidLanguageOffset(system.LanguageOffset))
        system.LanguageOffset = 0;
    SelectModel(*expected, m, strings);
    return expected;
}

void ExpectSameModel(const ProjectModel &actual, const ProjectModel &expected)
{
    // One line a field, so that a failure names the array.
#define QUINTARA_EXPECT_FIELD(field) EXPECT_TRUE(actual.field == expected.field) << #field;
    QUINTARA_EXPECT_FIELD(ModelIndex) QUINTARA_EXPECT_FIELD(Limits) QUINTARA_EXPECT_FIELD(FileVersion)
    QUINTARA_EXPECT_FIELD(ZoneNames) QUINTARA_EXPECT_FIELD(InputModules) QUINTARA_EXPECT_FIELD(AudioZones)
    QUINTARA_EXPECT_FIELD(TraList) QUINTARA_EXPECT_FIELD(TimedFunctions) QUINTARA_EXPECT_FIELD(IfElseFunctions)
    QUINTARA_EXPECT_FIELD(Fans) QUINTARA_EXPECT_FIELD(Motors) QUINTARA_EXPECT_FIELD(LocalMoods)
    QUINTARA_EXPECT_FIELD(TimedLocalMoods) QUINTARA_EXPECT_FIELD(GeneralMoods) QUINTARA_EXPECT_FIELD(Sensors)
    QUINTARA_EXPECT_FIELD(System) QUINTARA_EXPECT_FIELD(Modem) QUINTARA_EXPECT_FIELD(Conditions)
    QUINTARA_EXPECT_FIELD(Options) QUINTARA_EXPECT_FIELD(Messages) QUINTARA_EXPECT_FIELD(OutputModules)
    QUINTARA_EXPECT_FIELD(ProcessFunctions) QUINTARA_EXPECT_FIELD(Flags) QUINTARA_EXPECT_FIELD(TextList)
#undef QUINTARA_EXPECT_FIELD
}

} // namespace quintara::testing
