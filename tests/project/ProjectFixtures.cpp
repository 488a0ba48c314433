#include "tests/project/ProjectFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace quintara::testing {

using namespace project;

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
    EXPECT_EQ(std::tuple(notice.text, notice.title, notice.icon), std::tuple(text, title, icon));
}

namespace {

// Function types that no version recodes.
constexpr std::array<quint8, 9> SafeKeyTypes{1, 3, 4, 5, 8, 9, 10, 15, 54};

class Filler {
public:
    explicit Filler(int seed) : m_random(static_cast<unsigned>(seed)) {}

    void one(quint8 &value) { value = static_cast<quint8>(m_random() & 0xFF); }
    void one(qint16 &value) { value = static_cast<qint16>(m_random() & 0xFFFF); }
    void one(MoodItem &item) { all(item.Type, item.Number, item.Value); }
    void one(TimedMoodItem &item) { all(item.Type, item.Number, item.Level, item.Time); }
    template <typename T, std::size_t N> void one(std::array<T, N> &values)
    {
        std::ranges::for_each(values, [this](T &value) { one(value); });
    }
    // Fills the values in the order given.
    template <typename... T> void all(T &...values) { (one(values), ...); }
    // Names of varying length, with a few characters beyond ASCII.
    QString name(const char *prefix, int index)
    {
        static const QString extra = QStringLiteral("äéØ€ŠŸ");
        return QStringLiteral("%1 %2 ").arg(QLatin1String(prefix)).arg(index) +
               extra.at(index % extra.size()) + QString(int(m_random() % 20), u'x');
    }
    // The first `count` records, each named after its index, with `rest` filling the others.
    template <typename T, std::size_t N, typename F>
    void recordsWith(std::array<T, N> &target, int count, const char *prefix, F rest)
    {
        for (int i = 0; i < count; ++i) {
            target[std::size_t(i)].Name = name(prefix, i);
            rest(target[std::size_t(i)], i);
        }
    }
    // The same with these fields filled.
    template <typename T, std::size_t N, typename... M>
    void records(std::array<T, N> &target, int count, const char *prefix, M T::*...fields)
    {
        recordsWith(target, count, prefix, [&](T &record, int) { all((record.*fields)...); });
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
    fill.recordsWith(model->ZoneNames, ZoneNamesInFile, "Zone", [&](ZoneNameRec &zone, int i) {
        zone.Code = QChar(u'A' + i % 26);
        fill.one(zone.Value);
    });
    fill.recordsWith(model->InputModules, limits.MaxInputModule + 1, "Interface",
                     [&](InputModuleRec &module, int i) {
        module.ModuleType = static_cast<quint8>(1 + i % 28);
        fill.all(module.Byte1, module.Byte2);
        for (int k = 0; k < KeysPerModule; ++k) {
            InputKeyRec &key = module.Keys[k];
            fill.one(key.Bytes);
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
    fill.records(model->AudioZones, limits.AudioZones, "Audio", &AznRec::Bytes);
    fill.records(model->TraList, TraSlots, "Tra", &TraRec::Bytes);
    fill.records(model->TimedFunctions, limits.TimedFunctions, "Timed",
                 &TimedFunctionRec::TargetType, &TimedFunctionRec::TargetNumber,
                 &TimedFunctionRec::Level, &TimedFunctionRec::Time);
    fill.records(model->IfElseFunctions, limits.IfElseFunctions, "IfElse", &IfElseRec::Data);
    fill.recordsWith(model->Fans, FanSlots, "Fan", [&](FanRec &fan, int i) {
        fill.all(fan.Bytes, fan.Value);
        fan.Setting = static_cast<quint8>(i % 2);
    });
    fill.records(model->Motors, limits.Motors, "Motor", &MotorRec::Bytes, &MotorRec::RunTime);
    fill.records(model->LocalMoods, LocalMoodSlots, "Mood", &LocalMoodRec::Items,
                 &LocalMoodRec::Byte);
    fill.records(model->TimedLocalMoods, TimedLocalMoodSlots, "TimedMood",
                 &TimedLocalMoodRec::Byte, &TimedLocalMoodRec::Items);
    fill.records(model->GeneralMoods, GeneralMoodSlots, "General", &GeneralMoodRec::RelayStates,
                 &GeneralMoodRec::DimmerLevels, &GeneralMoodRec::Extras);
    fill.records(model->Sensors, limits.Sensors, "Sensor", &SensorRec::Bytes);
    for (int t = 0; t < 6; ++t)
        model->System.Texts[t] = fill.name("Text", t);
    fill.one(model->System.Options);
    model->Modem = {1, 2, QStringLiteral("AT&F"), QStringLiteral("0031 20 5550123"),
                    QStringLiteral("0031 20 5550199")};
    fill.records(model->Conditions, limits.Conditions, "Condition", &ConditionRec::Bytes);
    model->Options.Bytes = {1, 2, 3, 4};
    fill.recordsWith(model->Messages, MessageSlots, "Message", [&](MessageRec &message, int i) {
        message.Line1 = QStringLiteral("Line one %1").arg(i);
        message.Line2 = QStringLiteral("Line two %1").arg(i);
        fill.all(message.InterfaceNumber, message.Beeps);
    });
    fill.recordsWith(model->OutputModules, limits.OutputModules, "Output",
                     [&](OutputModuleRec &module, int i) {
        fill.one(module.ModuleType);
        module.FirstOutput = static_cast<quint8>(i);
        for (int c = 0; c < ChannelsPerModule; ++c) {
            OutputChannelRec &channel = module.Channels[c];
            channel.Name = fill.name("Channel", i * 8 + c);
            fill.all(channel.LoadType, channel.Power, channel.Ramp);
        }
    });
    fill.records(model->ProcessFunctions, ProcessFunctionSlots, "Process",
                 &ProcessFunctionRec::Bytes);
    fill.records(model->Flags, limits.Flags, "Flag");
    for (int i = 0; i < TextListSlots; ++i)
        model->TextList[i].Text = fill.name("Text list", i);
    return model;
}

namespace {

constexpr std::array<int, ModelCount> OldMaxInputModule{99, 40, 10, 20, 20};
constexpr std::array<int, ModelCount> OldOutputModules{37, 18, 5, 10, 10};


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
    const std::array sensorsOf40{limits.Sensors, 16, limits.Sensors, 10, limits.Sensors};
    // The first `count` records as the file has them, the others as a new project has them.
    const auto keepFirst = [&](auto records, int count) {
        std::copy((fresh.*records).begin() + count, (fresh.*records).end(),
                  ((*expected).*records).begin() + count);
    };
    const int inputModules = before38 ? OldMaxInputModule[m] + 1 : limits.MaxInputModule + 1;
    keepFirst(&ProjectModel::ZoneNames, ZoneNamesInFile);
    keepFirst(&ProjectModel::InputModules, inputModules);
    keepFirst(&ProjectModel::AudioZones, limits.AudioZones);
    keepFirst(&ProjectModel::TimedFunctions, before27 ? 20 : limits.TimedFunctions);
    keepFirst(&ProjectModel::IfElseFunctions, before27 ? 10 : limits.IfElseFunctions);
    keepFirst(&ProjectModel::Motors, version < 28 ? 30 : limits.Motors);
    keepFirst(&ProjectModel::Sensors, version == 60 ? limits.Sensors : sensorsOf40[m]);
    keepFirst(&ProjectModel::Conditions, before27 ? 20 : limits.Conditions);
    keepFirst(&ProjectModel::OutputModules, before38 ? OldOutputModules[m] : limits.OutputModules);
    keepFirst(&ProjectModel::Flags, before27 ? 10 : limits.Flags);
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
    if (version < 40) { // shorter option forms; version 24 has no baud rate, texts or language
        system = version >= 25 ? sample.System : fresh.System;
        for (int p = 0; p < SystemOptionCount; ++p) {
            // Version 24's block holds the week's options and a few others.
            const bool stored = version >= 25 || p < 9 || p == 11 || p == 12 || p >= 16;
            system.Options[p] = p < (version >= 26 ? 32 : 30) && stored ? sample.System.Options[p]
                                                                      : fresh.System.Options[p];
        }
        if (version == 24)
            system.Options[9] = system.Options[10] = 0;
    }
    if (!settings::Strings::IsValidLanguageOffset(system.LanguageOffset))
        system.LanguageOffset = 0;
    SelectModel(*expected, m, strings);
    return expected;
}

void ExpectSameModel(const ProjectModel &actual, const ProjectModel &expected)
{
    // One line a field, so that a failure names the array.
#define EXPECT_FIELD(field) EXPECT_TRUE(actual.field == expected.field) << #field;
    EXPECT_FIELD(ModelIndex) EXPECT_FIELD(Limits) EXPECT_FIELD(FileVersion) EXPECT_FIELD(ZoneNames)
    EXPECT_FIELD(InputModules) EXPECT_FIELD(AudioZones) EXPECT_FIELD(TraList) EXPECT_FIELD(Fans)
    EXPECT_FIELD(TimedFunctions) EXPECT_FIELD(IfElseFunctions) EXPECT_FIELD(Motors)
    EXPECT_FIELD(LocalMoods) EXPECT_FIELD(TimedLocalMoods) EXPECT_FIELD(GeneralMoods)
    EXPECT_FIELD(Sensors) EXPECT_FIELD(System) EXPECT_FIELD(Modem) EXPECT_FIELD(Conditions)
    EXPECT_FIELD(Options) EXPECT_FIELD(Messages) EXPECT_FIELD(OutputModules) EXPECT_FIELD(Flags)
    EXPECT_FIELD(ProcessFunctions) EXPECT_FIELD(TextList)
#undef EXPECT_FIELD
}

} // namespace quintara::testing
