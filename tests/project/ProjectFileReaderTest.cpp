#include "tests/project/ProjectFixtures.h"

#include "project/ProjectFileReader.h"
#include "project/ProjectFileWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quintara::testing {
namespace {

using namespace project;

const QString NoProjectFile = QStringLiteral("No VENTORA file!");
const QString WrongVersion = QStringLiteral("Wrong version");

TEST(ProjectFileReader, EveryVersionAndModelReadsBackFieldForField)
{
    for (const int version : {60, 40, 38, 37, 28, 27, 26, 25, 24}) {
        for (int modelIndex = 0; modelIndex < ModelCount; ++modelIndex) {
            SCOPED_TRACE(::testing::Message() << "version " << version << " model " << modelIndex);
            const auto sample = SampleModel(modelIndex);
            ReaderHarness harness;
            // Built-in names come in the language in force before the file sets its own.
            const auto expected =
                ExpectedAfterReading(*sample, version, harness.settings, harness.strings);
            EXPECT_EQ(harness.read(WriteProjectFile(*sample, version)), ReadOutcome::Read);
            EXPECT_TRUE(harness.notices.empty());
            EXPECT_EQ(harness.settings.nbtFile, QStringLiteral("x.nbt"));
            EXPECT_EQ(harness.strings.LanguageOffset(), version == 24 ? 0 : 20000);
            ExpectSameModel(*harness.model, *expected); // only version 60 stores the modem
        }
    }
}

TEST(ProjectFileReader, RecordCountsFollowTheModelAndModelsAboveFourReadAsModelThree)
{
    // A model-1 file (41 input modules) read as model 0 (100) runs out of bytes.
    QByteArray file = WriteProjectFile(*SampleModel(1), 60);
    file[4] = 0;
    ReaderHarness harness;
    EXPECT_EQ(harness.read(file), ReadOutcome::NoMagic);
    harness.expectError(NoProjectFile);
    EXPECT_TRUE(harness.settings.nbtFile.isEmpty());

    ProjectFileExtras extras;
    extras.ModelByte = 7;
    EXPECT_EQ(harness.read(WriteProjectFile(*SampleModel(3), 60, extras)), ReadOutcome::Read);
    EXPECT_EQ(std::pair(harness.model->ModelIndex, harness.model->Limits), std::pair(3, LimitsOfModel(3)));
}

TEST(ProjectFileReader, HeaderFailures)
{
    const QString old = QStringLiteral("Old version, use V2.32 or V2.15 for conversion");
    struct Case {
        QByteArray data;
        ReadOutcome outcome;
        QString message;
        bool pathKept;
    };
    // clang-format off
    const QList<Case> cases{
        {QByteArray(), ReadOutcome::NoMagic, NoProjectFile, false}, {"K&", ReadOutcome::NoMagic, NoProjectFile, false},
        {QByteArray("KAP<\0", 5), ReadOutcome::NoMagic, NoProjectFile, false},
        {"K&P", ReadOutcome::OldVersion, old, false}, {QByteArray("K&P\x09\x00", 5), ReadOutcome::OldVersion, old, false},
        {QByteArray("K&P\x0c\x00", 5), ReadOutcome::WrongVersion, WrongVersion, true},
        {"K&P\xff", ReadOutcome::WrongVersion, WrongVersion, true},
        {QByteArray("K&P\x3c\x00", 5), ReadOutcome::NoMagic, NoProjectFile, false},
        {"K&P\x0a", ReadOutcome::Truncated, NoProjectFile, false},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.data.toHex().toStdString());
        ReaderHarness harness;
        // Whatever was loaded before is gone: the model starts empty.
        harness.model = SampleModel(0);
        EXPECT_EQ(harness.read(c.data), c.outcome);
        harness.expectError(c.message);
        EXPECT_TRUE(harness.notices.empty());
        EXPECT_EQ(harness.settings.nbtFile.isEmpty(), !c.pathKept);
        EXPECT_TRUE(harness.model->ZoneNames[0].Name.isBlank() && harness.model->InputModules[1].Name.isBlank());
        EXPECT_EQ(harness.strings.LanguageOffset(), 0);
    }
}

TEST(ProjectFileReader, EveryVersionByteGivesADefinedOutcome)
{
    const QByteArray body = WriteProjectFile(*SampleModel(2), 60).mid(5);
    for (int version = 0; version < 256; ++version) {
        SCOPED_TRACE(version);
        ReaderHarness harness;
        QByteArray file("K&P");
        file += char(version);
        file += version < 12 ? '2' : char(2);
        file += body;
        const ReadOutcome outcome = harness.read(file);
        if (version == 60) {
            EXPECT_EQ(outcome, ReadOutcome::Read);
        } else if (version < 10) {
            EXPECT_EQ(outcome, ReadOutcome::OldVersion);
        } else if (version == 10 || version == 11) {
            // The layout is not theirs, but all of it is read without complaint or is short.
            EXPECT_TRUE(outcome == ReadOutcome::Read || outcome == ReadOutcome::Truncated);
        } else if (QList<int>{24, 25, 26, 27, 28, 37, 38, 40}.contains(version)) {
            EXPECT_EQ(outcome, ReadOutcome::NoMagic);
        } else {
            EXPECT_EQ(outcome, ReadOutcome::WrongVersion);
        }
    }
}

TEST(ProjectFileReader, ShortFileKeepsWhatWasReadAndFailsAtTheEnd)
{
    const auto sample = SampleModel(1);
    const QByteArray full = WriteProjectFile(*sample, 60);
    for (const qsizetype cut :
         {qsizetype(6), qsizetype(5 + 53 * 3 + 7), full.size() - 3, full.size() - 1}) {
        SCOPED_TRACE(cut);
        ReaderHarness harness;
        EXPECT_EQ(harness.read(full.left(cut)), ReadOutcome::NoMagic);
        harness.expectError(NoProjectFile);
        EXPECT_TRUE(harness.settings.nbtFile.isEmpty());
        if (cut > 5 + 53 * 3) {
            EXPECT_EQ(harness.model->ZoneNames[2].Name, sample->ZoneNames[2].Name);
        }
        // The baud rate and language of a rejected file are not taken over.
        EXPECT_EQ(std::pair(harness.settings.baudRateInUse, harness.strings.LanguageOffset()), std::pair(19200, 0));
    }
    // Bytes after the closing mark are never looked at.
    ReaderHarness harness;
    EXPECT_EQ(harness.read(full + QByteArray(5000, 'z')), ReadOutcome::Read);
}

TEST(ProjectFileReader, SystemRecordSetsBaudRateAndLanguage)
{
    auto sample = SampleModel(0);
    sample->System.BaudRate = 38400;
    for (const auto &[stored, expected] : QList<std::pair<qint32, qint32>>{
             {40000, 40000}, {15000, 0}, {30000, 30000}, {70000, 0}, {-10000, 0}, {60000, 60000}, {1, 0}}) {
        SCOPED_TRACE(stored);
        sample->System.LanguageOffset = stored;
        ReaderHarness harness;
        EXPECT_EQ(harness.read(WriteProjectFile(*sample, 60)), ReadOutcome::Read);
        EXPECT_EQ(harness.model->System.LanguageOffset, expected);
        EXPECT_EQ(harness.strings.LanguageOffset(), expected);
        EXPECT_EQ(harness.settings.baudRateInUse, 38400);
    }
    // Version 24 has neither: the settings' values stay. Its block's unused bytes are ignored
    // (the shorter option forms of versions 25..38 are covered by the read-back of every version).
    sample->System.Options.fill(7);
    sample->System.Options[1] = 42;
    ProjectFileExtras extras;
    extras.UnusedSystemBytes.fill(99);
    extras.UnusedConditionBlock.fill(99);
    ReaderHarness harness;
    harness.settings.languageValue = 30000;
    EXPECT_EQ(harness.read(WriteProjectFile(*sample, 24, extras)), ReadOutcome::Read);
    EXPECT_EQ(harness.model->System.BaudRate, 19200);
    EXPECT_EQ(harness.model->System.LanguageOffset, 30000);
    EXPECT_EQ(harness.strings.LanguageOffset(), 30000);
    const auto &options = harness.model->System.Options;
    const std::array<quint8, 14> first{7, 42, 7, 7, 7, 7, 7, 7, 7, 0, 0, 7, 7, 5}; // 13: default
    EXPECT_TRUE(std::equal(first.begin(), first.end(), options.begin()));
    EXPECT_EQ(std::pair(options[30], options[32]), std::pair(quint8(0), quint8(255)));
}

// Versions 28 to 40 recode a key's third byte with lower six bits 17 to (byte AND 198) OR 6;
// versions 37 to 40 store eight key texts that go to the text list where a key names them.
TEST(ProjectFileReader, KeyRecodingAndKeyTextsOfVersions28To40)
{
    auto sample = SampleModel(0);
    const QList<std::array<quint8, 4>> recoded{{1, 1, 17, 5}, {1, 1, 0xD1, 5}, {1, 1, 0x51, 9},
                                               {1, 1, 18, 5}, {1, 1, 0x40, 0}};
    const QList<std::array<quint8, 4>> texts{{1, 1, 0, 0}, {1, 1, 0, 0}, {1, 1, 61, 200},
                                             {1, 1, 0xFD, 255}, {1, 1, 62, 7}};
    for (int k = 0; k < 5; ++k) {
        sample->InputModules[99].Keys[k].Bytes = recoded[k];
        sample->InputModules[3].Keys[k].Bytes = texts[k];
    }
    ProjectFileExtras extras;
    for (int k = 0; k < 8; ++k)
        extras.KeyTexts[k] = QStringLiteral("Key text %1").arg(k);
    for (const int version : {40, 38, 37, 28, 60}) {
        SCOPED_TRACE(version);
        ReaderHarness harness;
        EXPECT_EQ(harness.read(WriteProjectFile(*sample, version, extras)), ReadOutcome::Read);
        const auto &keys = harness.model->InputModules[99].Keys;
        EXPECT_EQ((std::array{keys[0].Bytes[2], keys[1].Bytes[2], keys[2].Bytes[2], keys[3].Bytes[2],
                              keys[4].Bytes[2], keys[2].Bytes[3]}),
                  (version == 60 ? std::array<quint8, 6>{17, 0xD1, 0x51, 18, 0x40, 9}
                                 : std::array<quint8, 6>{6, 0xC6, 0x46, 18, 0x40, 9}));
        if (version == 60)
            continue; // the current version keeps the byte, and its text list is its own
        const auto &list = harness.model->TextList;
        const bool hasTexts = version >= 37;
        EXPECT_EQ(list[200].Text.trimmedRight(), hasTexts ? "Key text 2" : "");
        EXPECT_EQ(list[255].Text.trimmedRight(), hasTexts ? "Key text 3" : "");
        EXPECT_EQ(std::count_if(list.begin(), list.end(), [](auto &t) { return !t.Text.isBlank(); }),
                  hasTexts ? 2 : 0);
    }
    // Version 24's second key texts are not taken.
    extras.SecondKeyTexts[5][2] = QStringLiteral("second text");
    ReaderHarness harness;
    EXPECT_EQ(harness.read(WriteProjectFile(*sample, 24, extras)), ReadOutcome::Read);
    const InputKeyRec &key = harness.model->InputModules[5].Keys[2];
    EXPECT_EQ(key.Name, sample->InputModules[5].Keys[2].Name);
    EXPECT_TRUE(key.Text1.isBlank() && key.Text2.isBlank());
}

TEST(ProjectFileReader, KeyRecodingOfVersions24To27)
{
    // First byte code -> new lower six bits of the third byte.
    const QList<QPair<int, int>> table{{2, 16},  {6, 6},   {21, 26}, {22, 25}, {30, 30}, {32, 32}, {33, 33},
                                       {36, 45}, {37, 46}, {38, 47}, {39, 48}, {40, 49}, {41, 43}, {42, 35}};
    auto sample = SampleModel(0);
    for (int i = 0; i < table.size(); ++i) {
        const int module = 10 + i / 8;
        sample->InputModules[module].Keys[i % 8].Bytes = {quint8(0x40 | table[i].first), 3,
                                                          quint8(0x80 | 0x3F), 9};
    }
    sample->InputModules[20].Keys[0].Bytes = {11, 3, 0xFF, 9};
    sample->InputModules[20].Keys[1].Bytes = {0xCC, 3, 0xFF, 9};
    sample->InputModules[20].Keys[2].Bytes = {13, 3, 0xFF, 9};
    for (const int version : {27, 26, 25, 24}) {
        SCOPED_TRACE(version);
        ReaderHarness harness;
        EXPECT_EQ(harness.read(WriteProjectFile(*sample, version)), ReadOutcome::Read);
        for (int i = 0; i < table.size(); ++i) {
            const auto &bytes = harness.model->InputModules[10 + i / 8].Keys[i % 8].Bytes;
            EXPECT_EQ(std::pair(int(bytes[2]), int(bytes[3])), std::pair(0x80 | table[i].second, 9)) << table[i].first;
        }
        const auto &keys = harness.model->InputModules[20].Keys;
        EXPECT_EQ((std::array{keys[0].Bytes[2], keys[0].Bytes[3], keys[1].Bytes[2], keys[2].Bytes[2],
                              keys[2].Bytes[3]}),
                  (std::array<quint8, 5>{0, 0, 0, 0xFF, 9}));
    }
}

TEST(ProjectFileReader, FileOnDisk)
{
    QTemporaryDir dir;
    // Missing file and a folder: no message, path emptied, the project in force kept.
    for (const QString &path : {dir.filePath(QStringLiteral("missing.nbt")), dir.path(), QString()}) {
        ReaderHarness harness;
        harness.model = SampleModel(2);
        harness.settings.nbtFile = QStringLiteral("before.nbt");
        EXPECT_EQ(harness.adopt(ReadProjectFile(path, harness.settings, harness.strings), path),
                  ReadOutcome::NoFile);
        EXPECT_TRUE(harness.settings.nbtFile.isEmpty() && harness.notices.empty());
        EXPECT_EQ(harness.model->ModelIndex, 2);
    }
    const QString path = dir.filePath(QStringLiteral("house.nbt"));
    QFile file(path);
    const auto sample = SampleModel(4);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(WriteProjectFile(*sample, 60)) > 0);
    file.close();
    // A file that cannot be opened: the system's reason, naming it (root reads anything).
    file.setPermissions(QFileDevice::Permissions());
    ReaderHarness harness;
    if (!QFile(path).open(QIODevice::ReadOnly)) {
        EXPECT_EQ(harness.adopt(ReadProjectFile(path, harness.settings, harness.strings), path),
                  ReadOutcome::CannotOpen);
        ASSERT_EQ(harness.notices.size(), 1U);
        EXPECT_TRUE(harness.notices[0].text.startsWith(path + '\n'));
        EXPECT_EQ(harness.notices[0].icon, platform::Icon::Critical);
        harness.notices.clear();
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(harness.adopt(ReadProjectFile(path, harness.settings, harness.strings), path),
              ReadOutcome::Read);
    EXPECT_EQ(harness.settings.nbtFile, path);
    EXPECT_EQ(harness.model->ModelIndex, 4);
    EXPECT_EQ(harness.model->Flags[19].Name, sample->Flags[19].Name);
    // An oversized file is read no further than a project can reach.
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(QByteArray(3 * MaxProjectFileSize, 'z'));
    file.close();
    EXPECT_EQ(ReadProjectFile(path, harness.settings, harness.strings).status, ReadOutcome::Read);
}

} // namespace
} // namespace quintara::testing
