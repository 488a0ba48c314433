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
            ExpectSameModel(*harness.model, *expected);
            // Only the current format stores the modem; the others keep its defaults.
            if (version != 60) {
                EXPECT_EQ(harness.model->Modem.ModemInit.trimmedRight(), QStringLiteral("ATZ0"));
            }
        }
    }
}

TEST(ProjectFileReader, RecordCountsFollowTheModel)
{
    // A model-1 file (41 input modules) read as model 0 (100) runs out of bytes.
    QByteArray file = WriteProjectFile(*SampleModel(1), 60);
    file[4] = 0;
    ReaderHarness harness;
    EXPECT_EQ(harness.read(file), ReadOutcome::NoMagic);
    harness.expectError(NoProjectFile);
    EXPECT_TRUE(harness.settings.nbtFile.isEmpty());
}

TEST(ProjectFileReader, ModelIndexAboveFourReadsAsModelThree)
{
    const auto sample = SampleModel(3);
    ProjectFileExtras extras;
    extras.ModelByte = 7;
    ReaderHarness harness;
    EXPECT_EQ(harness.read(WriteProjectFile(*sample, 60, extras)), ReadOutcome::Read);
    EXPECT_EQ(harness.model->ModelIndex, 3);
    EXPECT_EQ(harness.model->Limits, LimitsOfModel(3));
    EXPECT_EQ(harness.model->Limits.ClockLines, 50);
}

TEST(ProjectFileReader, HeaderFailures)
{
    struct Case {
        QByteArray data;
        ReadOutcome outcome;
        QString message;
        bool pathKept;
    };
    const QList<Case> cases{
        {QByteArray(), ReadOutcome::NoMagic, NoProjectFile, false},
        {QByteArray("K&"), ReadOutcome::NoMagic, NoProjectFile, false},
        {QByteArray("KAP<\0", 5), ReadOutcome::NoMagic, NoProjectFile, false},
        {QByteArray("K&P"), ReadOutcome::OldVersion,
         QStringLiteral("Old version, use V2.32 or V2.15 for conversion"), false},
        {QByteArray("K&P\x09\x00", 5), ReadOutcome::OldVersion,
         QStringLiteral("Old version, use V2.32 or V2.15 for conversion"), false},
        {QByteArray("K&P\x0c\x00", 5), ReadOutcome::WrongVersion, WrongVersion, true},
        {QByteArray("K&P\x17\x00", 5), ReadOutcome::WrongVersion, WrongVersion, true},
        {QByteArray("K&P\x1d\x00", 5), ReadOutcome::WrongVersion, WrongVersion, true},
        {QByteArray("K&P\x3d\x00", 5), ReadOutcome::WrongVersion, WrongVersion, true},
        {QByteArray("K&P\xff", 4), ReadOutcome::WrongVersion, WrongVersion, true},
        {QByteArray("K&P\x3c\x00", 5), ReadOutcome::NoMagic, NoProjectFile, false},
        {QByteArray("K&P\x0a", 4), ReadOutcome::Truncated, NoProjectFile, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.data.toHex().toStdString());
        ReaderHarness harness;
        // Whatever was loaded before is gone: the model starts empty.
        harness.model = SampleModel(0);
        EXPECT_EQ(harness.read(c.data), c.outcome);
        harness.expectError(c.message);
        EXPECT_TRUE(harness.notices.empty());
        EXPECT_EQ(harness.settings.nbtFile.isEmpty(), !c.pathKept);
        EXPECT_TRUE(harness.model->ZoneNames[0].Name.isBlank());
        EXPECT_TRUE(harness.model->InputModules[1].Name.isBlank());
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
        EXPECT_EQ(harness.settings.baudRateInUse, 19200);
        EXPECT_EQ(harness.strings.LanguageOffset(), 0);
    }
    // Bytes after the closing mark are never looked at.
    ReaderHarness harness;
    EXPECT_EQ(harness.read(full + QByteArray(5000, 'z')), ReadOutcome::Read);
}

TEST(ProjectFileReader, SystemRecordSetsBaudRateAndLanguage)
{
    auto sample = SampleModel(0);
    sample->System.BaudRate = 38400;
    const QList<QPair<qint32, qint32>> offsets{{40000, 40000}, {15000, 0},  {30000, 30000},
                                               {70000, 0},     {-10000, 0}, {60000, 60000},
                                               {1, 0}};
    for (const auto &[stored, expected] : offsets) {
        SCOPED_TRACE(stored);
        sample->System.LanguageOffset = stored;
        ReaderHarness harness;
        EXPECT_EQ(harness.read(WriteProjectFile(*sample, 60)), ReadOutcome::Read);
        EXPECT_EQ(harness.model->System.LanguageOffset, expected);
        EXPECT_EQ(harness.strings.LanguageOffset(), expected);
        EXPECT_EQ(harness.settings.baudRateInUse, 38400);
    }
    // Version 24 has neither: the settings' values stay.
    ReaderHarness harness;
    harness.settings.languageValue = 30000;
    EXPECT_EQ(harness.read(WriteProjectFile(*sample, 24)), ReadOutcome::Read);
    EXPECT_EQ(harness.model->System.BaudRate, 19200);
    EXPECT_EQ(harness.model->System.LanguageOffset, 30000);
    EXPECT_EQ(harness.strings.LanguageOffset(), 30000);
}

TEST(ProjectFileReader, Version24SystemBlockIgnoresItsUnusedBytes)
{
    // The shorter option forms of versions 25..38 are covered by the read-back of every version.
    auto sample = SampleModel(0);
    sample->System.Options.fill(7);
    sample->System.Options[1] = 42;
    ProjectFileExtras extras;
    extras.UnusedSystemBytes.fill(99);
    extras.UnusedConditionBlock.fill(99);
    ReaderHarness harness;
    EXPECT_EQ(harness.read(WriteProjectFile(*sample, 24, extras)), ReadOutcome::Read);
    const auto &options = harness.model->System.Options;
    EXPECT_EQ(options[1], 42);
    for (int p : {0, 2, 3, 4, 5, 6, 7, 8})
        EXPECT_EQ(options[p], 7) << p;
    for (int p : {9, 10, 30})
        EXPECT_EQ(options[p], 0) << p;
    EXPECT_EQ(options[13], 5); // default
    EXPECT_EQ(options[32], 255);
}

// Module 0's keys with chosen bytes, the rest of the sample untouched.
std::unique_ptr<ProjectModel> SampleWithKeys(int module,
                                             const QList<std::array<quint8, 4>> &keyBytes)
{
    auto sample = SampleModel(0);
    for (int k = 0; k < keyBytes.size(); ++k)
        sample->InputModules[module].Keys[k].Bytes = keyBytes[k];
    return sample;
}

TEST(ProjectFileReader, KeyTypeRecodingOfVersions28To40)
{
    // Third byte with lower six bits 17 becomes (byte AND 198) OR 6; others stay.
    const auto sample = SampleWithKeys(
        99, {{1, 1, 17, 5}, {1, 1, 0xD1, 5}, {1, 1, 0x51, 9}, {1, 1, 18, 5}, {1, 1, 0x40, 0}});
    for (const int version : {40, 38, 37, 28}) {
        SCOPED_TRACE(version);
        ReaderHarness harness;
        EXPECT_EQ(harness.read(WriteProjectFile(*sample, version)), ReadOutcome::Read);
        const auto &keys = harness.model->InputModules[99].Keys;
        EXPECT_EQ(keys[0].Bytes[2], 6);
        EXPECT_EQ(keys[1].Bytes[2], 0xC6);
        EXPECT_EQ(keys[2].Bytes[2], 0x46);
        EXPECT_EQ(keys[2].Bytes[3], 9);
        EXPECT_EQ(keys[3].Bytes[2], 18);
        EXPECT_EQ(keys[4].Bytes[2], 0x40);
    }
    // The current version keeps the byte.
    ReaderHarness harness;
    EXPECT_EQ(harness.read(WriteProjectFile(*sample, 60)), ReadOutcome::Read);
    EXPECT_EQ(harness.model->InputModules[99].Keys[0].Bytes[2], 17);
}

TEST(ProjectFileReader, KeyTextsGoToTheTextList)
{
    auto sample = SampleWithKeys(
        3, {{1, 1, 0, 0}, {1, 1, 0, 0}, {1, 1, 61, 200}, {1, 1, 0xFD, 255}, {1, 1, 62, 7}});
    ProjectFileExtras extras;
    for (int k = 0; k < 8; ++k)
        extras.KeyTexts[k] = QStringLiteral("Key text %1").arg(k);
    for (const int version : {40, 38, 37}) {
        SCOPED_TRACE(version);
        ReaderHarness harness;
        EXPECT_EQ(harness.read(WriteProjectFile(*sample, version, extras)), ReadOutcome::Read);
        const auto &list = harness.model->TextList;
        EXPECT_EQ(list[200].Text.trimmedRight(), QStringLiteral("Key text 2"));
        EXPECT_EQ(list[255].Text.trimmedRight(), QStringLiteral("Key text 3"));
        EXPECT_TRUE(list[7].Text.isBlank());
        int used = 0;
        for (const TextListRec &text : list)
            used += text.Text.isBlank() ? 0 : 1;
        EXPECT_EQ(used, 2);
    }
    // Version 28 has no key texts block.
    ReaderHarness harness;
    EXPECT_EQ(harness.read(WriteProjectFile(*sample, 28, extras)), ReadOutcome::Read);
    EXPECT_TRUE(harness.model->TextList[200].Text.isBlank());
}

TEST(ProjectFileReader, KeyRecodingOfVersions24To27)
{
    // First byte code -> new lower six bits of the third byte.
    const QList<QPair<int, int>> table{{2, 16},  {6, 6},   {21, 26}, {22, 25}, {30, 30},
                                       {32, 32}, {33, 33}, {36, 45}, {37, 46}, {38, 47},
                                       {39, 48}, {40, 49}, {41, 43}, {42, 35}};
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
            EXPECT_EQ(bytes[2], 0x80 | table[i].second) << table[i].first;
            EXPECT_EQ(bytes[3], 9);
        }
        const auto &keys = harness.model->InputModules[20].Keys;
        EXPECT_EQ(keys[0].Bytes[2], 0);
        EXPECT_EQ(keys[0].Bytes[3], 0);
        EXPECT_EQ(keys[1].Bytes[2], 0);
        EXPECT_EQ(keys[2].Bytes[2], 0xFF);
        EXPECT_EQ(keys[2].Bytes[3], 9);
    }
}

TEST(ProjectFileReader, Version24SecondKeyTextsAreNotTaken)
{
    // The rest of version 24's keys and If-Then-Else records is covered by the read-back.
    ProjectFileExtras extras;
    extras.SecondKeyTexts[5][2] = QStringLiteral("second text");
    const auto sample = SampleModel(0);
    ReaderHarness harness;
    EXPECT_EQ(harness.read(WriteProjectFile(*sample, 24, extras)), ReadOutcome::Read);
    const InputKeyRec &key = harness.model->InputModules[5].Keys[2];
    EXPECT_EQ(key.Name, sample->InputModules[5].Keys[2].Name);
    EXPECT_TRUE(key.Text1.isBlank() && key.Text2.isBlank());
}

TEST(ProjectFileReader, FileOnDisk)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        // Missing file and a folder: no message, path emptied, the project in force kept.
        for (const QString &path :
             {dir.filePath(QStringLiteral("missing.nbt")), dir.path(), QString()}) {
            ReaderHarness harness;
            harness.model = SampleModel(2);
            harness.settings.nbtFile = QStringLiteral("before.nbt");
            EXPECT_EQ(harness.adopt(ReadProjectFile(path, harness.settings, harness.strings), path),
                      ReadOutcome::NoFile);
            EXPECT_TRUE(harness.settings.nbtFile.isEmpty());
            EXPECT_TRUE(harness.notices.empty());
            EXPECT_EQ(harness.model->ModelIndex, 2);
        }
        // A file that cannot be opened: the system's reason, naming it.
        const QString locked = dir.filePath(QStringLiteral("locked.nbt"));
        QFile file(locked);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        file.setPermissions(QFileDevice::Permissions());
        if (!QFile(locked).open(QIODevice::ReadOnly)) { // root reads anything
            ReaderHarness harness;
            EXPECT_EQ(
                harness.adopt(ReadProjectFile(locked, harness.settings, harness.strings), locked),
                ReadOutcome::CannotOpen);
            ASSERT_EQ(harness.notices.size(), 1U);
            EXPECT_TRUE(harness.notices[0].text.startsWith(locked + '\n'));
            EXPECT_EQ(harness.notices[0].icon, platform::Icon::Critical);
        }
    }
    const QString path = dir.filePath(QStringLiteral("house.nbt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const auto sample = SampleModel(4);
    file.write(WriteProjectFile(*sample, 60));
    file.close();
    ReaderHarness harness;
    EXPECT_EQ(harness.adopt(ReadProjectFile(path, harness.settings, harness.strings), path),
              ReadOutcome::Read);
    EXPECT_EQ(harness.settings.nbtFile, path);
    EXPECT_EQ(harness.model->ModelIndex, 4);
    EXPECT_EQ(harness.model->Flags[19].Name, sample->Flags[19].Name);

    // An oversized file is read no further than a project can reach.
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(QByteArray(3 * MaxProjectFileSize, 'z'));
    file.close();
    ReaderHarness big;
    EXPECT_EQ(ReadProjectFile(path, big.settings, big.strings).status, ReadOutcome::Read);
}

} // namespace
} // namespace quintara::testing
