#include "tests/project/ProjectFixtures.h"

#include <gtest/gtest.h>

#include <random>

namespace quintara::testing {

using namespace project;

const settings::StringTable &ProjectStringTable()
{
    static const settings::StringTable table = [] {
        const QList<QPair<int, QByteArray>> texts{
            {220, "Touch panels"},
            {267, "Input 1 to 8"},
            {268, "Input 9 to 16"},
            {269, "Input 17 to 24"},
            {270, "Input 25 to 32"},
            {271, "Analog input 1 and 2"},
            {903, "Old version, use V2.32 or V2.15 for conversion"},
            {904, "No VENTORA file!"},
            {937, "Wrong version"},
        };
        QByteArray tsv;
        for (const auto &[id, english] : texts) {
            tsv += QByteArray::number(id) + '\t' + english;
            for (int language = 1; language < settings::LanguageCount; ++language)
                tsv += '\t' + english + " [" + QByteArray::number(language) + ']';
            tsv += '\n';
        }
        return settings::StringTable::fromTsv(tsv);
    }();
    return table;
}

ReaderHarness::ReaderHarness()
    : strings(ProjectStringTable(), 0), model(std::make_unique<ProjectModel>())
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
    QString name(const char *prefix, int index)
    {
        // Names of varying length, with a few characters beyond ASCII.
        static const QString extra = QStringLiteral("äéØ€ŠŸ");
        QString text = QStringLiteral("%1 %2 ").arg(QLatin1String(prefix)).arg(index);
        text += extra.at(index % extra.size());
        text += QString(static_cast<int>(m_random() % 20), QLatin1Char('x'));
        return text;
    }
    template <std::size_t N> void bytes(std::array<quint8, N> &target)
    {
        for (quint8 &value : target)
            value = byte();
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

    for (int i = 0; i < ZoneNamesInFile; ++i) {
        ZoneNameRec &zone = model->ZoneNames[i];
        zone.Name = fill.name("Zone", i);
        zone.Code = QChar(u'A' + i % 26);
        zone.Value = fill.int16();
    }
    for (int i = 0; i <= limits.MaxInputModule; ++i) {
        InputModuleRec &module = model->InputModules[i];
        module.Name = fill.name("Interface", i);
        module.ModuleType = static_cast<quint8>(1 + i % 28);
        module.Byte1 = fill.byte();
        module.Byte2 = fill.byte();
        for (int k = 0; k < KeysPerModule; ++k) {
            InputKeyRec &key = module.Keys[k];
            fill.bytes(key.Bytes);
            quint8 type = SafeKeyTypes[(i + k) % SafeKeyTypes.size()];
            // The first modules define every sensor and audio zone, so none is cleared.
            if (i < 4) {
                type = FunctionType::Sensor;
                key.Bytes[1] = static_cast<quint8>(i * 8 + k + 1);
            } else if (i < 8) {
                type = FunctionType::AudioZone;
                key.Bytes[1] = static_cast<quint8>((i - 4) * 8 + k + 1);
            }
            key.Bytes[0] = static_cast<quint8>((key.Bytes[0] & 192) | type);
            const int ownType = key.Bytes[2] & 63;
            if (ownType == 17 || ownType == 61)
                key.Bytes[2] = static_cast<quint8>(key.Bytes[2] + 1);
            key.Name = fill.name("Key", i * 8 + k);
            key.Text1 = QStringLiteral("T1-%1").arg(k);
            key.Text2 = QStringLiteral("T2-%1").arg(k);
        }
    }
    for (int i = 0; i < limits.AudioZones; ++i) {
        fill.bytes(model->AudioZones[i].Bytes);
        model->AudioZones[i].Name = fill.name("Audio", i);
    }
    for (int i = 0; i < TraSlots; ++i) {
        model->TraList[i].Name = fill.name("Tra", i);
        fill.bytes(model->TraList[i].Bytes);
    }
    for (int i = 0; i < limits.TimedFunctions; ++i) {
        TimedFunctionRec &rec = model->TimedFunctions[i];
        rec.TargetType = fill.byte();
        rec.TargetNumber = fill.byte();
        rec.Level = fill.byte();
        rec.Time = fill.int16();
        rec.Name = fill.name("Timed", i);
    }
    for (int i = 0; i < limits.IfElseFunctions; ++i) {
        model->IfElseFunctions[i].Name = fill.name("IfElse", i);
        fill.bytes(model->IfElseFunctions[i].Data);
    }
    for (int i = 0; i < FanSlots; ++i) {
        FanRec &fan = model->Fans[i];
        fill.bytes(fan.Bytes);
        fan.Value = fill.int16();
        fan.Name = fill.name("Fan", i);
        fan.Setting = static_cast<quint8>(i % 2);
    }
    for (int i = 0; i < limits.Motors; ++i) {
        fill.bytes(model->Motors[i].Bytes);
        model->Motors[i].RunTime = fill.int16();
        model->Motors[i].Name = fill.name("Motor", i);
    }
    for (int i = 0; i < LocalMoodSlots; ++i) {
        LocalMoodRec &mood = model->LocalMoods[i];
        for (MoodItem &item : mood.Items)
            item = {fill.byte(), fill.byte(), fill.byte()};
        mood.Byte = fill.byte();
        mood.Name = fill.name("Mood", i);
    }
    for (int i = 0; i < TimedLocalMoodSlots; ++i) {
        TimedLocalMoodRec &mood = model->TimedLocalMoods[i];
        mood.Byte = fill.byte();
        for (TimedMoodItem &item : mood.Items)
            item = {fill.byte(), fill.byte(), fill.byte(), fill.int16()};
        mood.Name = fill.name("TimedMood", i);
    }
    for (int i = 0; i < GeneralMoodSlots; ++i) {
        GeneralMoodRec &mood = model->GeneralMoods[i];
        fill.bytes(mood.RelayStates);
        fill.bytes(mood.DimmerLevels);
        for (MoodItem &item : mood.Extras)
            item = {fill.byte(), fill.byte(), fill.byte()};
        mood.Name = fill.name("General", i);
    }
    for (int i = 0; i < limits.Sensors; ++i) {
        fill.bytes(model->Sensors[i].Bytes);
        model->Sensors[i].Name = fill.name("Sensor", i);
    }
    model->System.BaudRate = 9600;
    for (int t = 0; t < 6; ++t)
        model->System.Texts[t] = fill.name("Text", t);
    model->System.LanguageOffset = 20000;
    fill.bytes(model->System.Options);
    model->Modem.ModemInUse = 1;
    model->Modem.ModemType = 2;
    model->Modem.ModemInit = QStringLiteral("AT&F");
    model->Modem.TelephoneNumber = QStringLiteral("0031 20 5550123");
    model->Modem.CallBackNumber = QStringLiteral("0031 20 5550199");
    for (int i = 0; i < limits.Conditions; ++i) {
        model->Conditions[i].Name = fill.name("Condition", i);
        fill.bytes(model->Conditions[i].Bytes);
    }
    model->Options.Bytes = {1, 2, 3, 4};
    for (int i = 0; i < MessageSlots; ++i) {
        MessageRec &message = model->Messages[i];
        message.Name = fill.name("Message", i);
        message.Line1 = QStringLiteral("Line one %1").arg(i);
        message.Line2 = QStringLiteral("Line two %1").arg(i);
        message.InterfaceNumber = fill.byte();
        message.Beeps = fill.byte();
    }
    for (int i = 0; i < limits.OutputModules; ++i) {
        OutputModuleRec &module = model->OutputModules[i];
        module.Name = fill.name("Output", i);
        module.ModuleType = fill.byte();
        module.FirstOutput = static_cast<quint8>(i);
        for (int c = 0; c < ChannelsPerModule; ++c) {
            OutputChannelRec &channel = module.Channels[c];
            channel.Name = fill.name("Channel", i * 8 + c);
            channel.LoadType = fill.byte();
            channel.Power = fill.int16();
            channel.Ramp = fill.byte();
        }
    }
    for (int i = 0; i < ProcessFunctionSlots; ++i) {
        model->ProcessFunctions[i].Name = fill.name("Process", i);
        fill.bytes(model->ProcessFunctions[i].Bytes);
    }
    for (int i = 0; i < limits.Flags; ++i)
        model->Flags[i].Name = fill.name("Flag", i);
    for (int i = 0; i < TextListSlots; ++i)
        model->TextList[i].Text = fill.name("Text list", i);
    return model;
}

namespace {

constexpr std::array<int, ModelCount> OldMaxInputModule{99, 40, 10, 20, 20};
constexpr std::array<int, ModelCount> OldOutputModules{37, 18, 5, 10, 10};

template <typename T, std::size_t N>
void CopyFirst(std::array<T, N> &to, const std::array<T, N> &from, int count)
{
    std::copy(from.begin(), from.begin() + count, to.begin());
}

} // namespace

std::unique_ptr<ProjectModel> ExpectedAfterReading(const ProjectModel &sample, int version,
                                                   const settings::Settings &settings,
                                                   const settings::Strings &strings)
{
    auto expected = std::make_unique<ProjectModel>();
    NewProject(*expected, settings.baudRateInUse, settings.languageValue);
    const int m = sample.ModelIndex;
    const ModelLimits limits = LimitsOfModel(m);
    expected->ModelIndex = m;
    expected->Limits = limits;
    expected->FileVersion = version;

    CopyFirst(expected->ZoneNames, sample.ZoneNames, ZoneNamesInFile);
    const int inputModules = version >= 38 ? limits.MaxInputModule + 1 : OldMaxInputModule[m] + 1;
    CopyFirst(expected->InputModules, sample.InputModules, inputModules);
    if (version == 24) {
        for (int i = 0; i < inputModules; ++i) {
            for (InputKeyRec &key : expected->InputModules[i].Keys) {
                key.Text1 = QString();
                key.Text2 = QString();
            }
        }
    }
    CopyFirst(expected->AudioZones, sample.AudioZones, limits.AudioZones);
    expected->TraList = sample.TraList;
    CopyFirst(expected->TimedFunctions, sample.TimedFunctions,
              version >= 27 ? limits.TimedFunctions : 20);
    if (version >= 27) {
        CopyFirst(expected->IfElseFunctions, sample.IfElseFunctions, limits.IfElseFunctions);
    } else {
        CopyFirst(expected->IfElseFunctions, sample.IfElseFunctions, 10);
        for (int i = 0; i < 10; ++i)
            expected->IfElseFunctions[i].Data[0] = FunctionType::Condition;
    }
    expected->Fans = sample.Fans;
    if (version == 24) {
        for (FanRec &fan : expected->Fans)
            fan.Setting = 0;
    }
    CopyFirst(expected->Motors, sample.Motors, version >= 28 ? limits.Motors : 30);
    expected->LocalMoods = sample.LocalMoods;
    expected->TimedLocalMoods = sample.TimedLocalMoods;
    expected->GeneralMoods = sample.GeneralMoods;
    const std::array<int, ModelCount> sensorsOf40{limits.Sensors, 16, limits.Sensors, 10,
                                                  limits.Sensors};
    CopyFirst(expected->Sensors, sample.Sensors, version == 60 ? limits.Sensors : sensorsOf40[m]);

    SystemRec &system = expected->System;
    if (version >= 40) {
        system = sample.System;
    } else if (version >= 25) {
        system.BaudRate = sample.System.BaudRate;
        system.Texts = sample.System.Texts;
        system.LanguageOffset = sample.System.LanguageOffset;
        const int options = version >= 26 ? 32 : 30;
        std::copy(sample.System.Options.begin(), sample.System.Options.begin() + options,
                  system.Options.begin());
    } else {
        const auto &from = sample.System.Options;
        for (int day = 0; day < 7; ++day) {
            system.Options[2 + day] = from[2 + day];
            system.Options[16 + day] = from[16 + day];
            system.Options[23 + day] = from[23 + day];
        }
        system.Options[0] = from[0];
        system.Options[1] = from[1];
        system.Options[11] = from[11];
        system.Options[12] = from[12];
        system.Options[9] = 0;
        system.Options[10] = 0;
    }
    if (!settings::Strings::IsValidLanguageOffset(system.LanguageOffset))
        system.LanguageOffset = 0;
    if (version == 60)
        expected->Modem = sample.Modem;
    CopyFirst(expected->Conditions, sample.Conditions, version >= 27 ? limits.Conditions : 20);
    expected->Options = sample.Options;
    expected->Messages = sample.Messages;
    CopyFirst(expected->OutputModules, sample.OutputModules,
              version >= 38 ? limits.OutputModules : OldOutputModules[m]);
    expected->ProcessFunctions = sample.ProcessFunctions;
    CopyFirst(expected->Flags, sample.Flags, version >= 27 ? limits.Flags : 10);
    if (version == 60)
        expected->TextList = sample.TextList;
    SelectModel(*expected, m, strings);
    return expected;
}

void ExpectSameModel(const ProjectModel &actual, const ProjectModel &expected)
{
#define QUINTARA_EXPECT_FIELD(field) EXPECT_TRUE(actual.field == expected.field) << #field
    QUINTARA_EXPECT_FIELD(ModelIndex);
    QUINTARA_EXPECT_FIELD(Limits);
    QUINTARA_EXPECT_FIELD(FileVersion);
    QUINTARA_EXPECT_FIELD(ZoneNames);
    for (int i = 0; i < InputModuleSlots; ++i)
        EXPECT_TRUE(actual.InputModules[i] == expected.InputModules[i]) << "InputModules " << i;
    QUINTARA_EXPECT_FIELD(AudioZones);
    QUINTARA_EXPECT_FIELD(TraList);
    QUINTARA_EXPECT_FIELD(TimedFunctions);
    QUINTARA_EXPECT_FIELD(IfElseFunctions);
    QUINTARA_EXPECT_FIELD(Fans);
    QUINTARA_EXPECT_FIELD(Motors);
    QUINTARA_EXPECT_FIELD(LocalMoods);
    QUINTARA_EXPECT_FIELD(TimedLocalMoods);
    QUINTARA_EXPECT_FIELD(GeneralMoods);
    QUINTARA_EXPECT_FIELD(Sensors);
    QUINTARA_EXPECT_FIELD(System.BaudRate);
    QUINTARA_EXPECT_FIELD(System.Texts);
    QUINTARA_EXPECT_FIELD(System.LanguageOffset);
    QUINTARA_EXPECT_FIELD(System.Options);
    QUINTARA_EXPECT_FIELD(Modem);
    QUINTARA_EXPECT_FIELD(Conditions);
    QUINTARA_EXPECT_FIELD(Options);
    QUINTARA_EXPECT_FIELD(Messages);
    QUINTARA_EXPECT_FIELD(OutputModules);
    QUINTARA_EXPECT_FIELD(ProcessFunctions);
    QUINTARA_EXPECT_FIELD(Flags);
    QUINTARA_EXPECT_FIELD(TextList);
#undef QUINTARA_EXPECT_FIELD
}

} // namespace quintara::testing
