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

// Version 24 has no baud rate or language: the settings' values stay; the unused bytes of its
// system block and its second key texts are ignored. A stored language outside the table means
// language zero. Model bytes above four read as model three.
TEST(ProjectFileReader, EveryVersionAndModelReadsBackFieldForField)
{
    const std::array<std::pair<qint32, qint32>, ModelCount> languages{
        {{40000, 40000}, {15000, 0}, {70000, 0}, {-10000, 0}, {60000, 60000}}};
    ProjectFileExtras extras;
    extras.UnusedSystemBytes.fill(99);
    extras.UnusedConditionBlock.fill(99);
    extras.SecondKeyTexts[5][2] = QStringLiteral("not taken");
    for (const int version : {60, 40, 38, 37, 28, 27, 26, 25, 24}) {
        for (int modelIndex = 0; modelIndex < ModelCount; ++modelIndex) {
            SCOPED_TRACE(::testing::Message() << "version " << version << " model " << modelIndex);
            const auto sample = SampleModel(modelIndex);
            sample->System.LanguageOffset = languages[modelIndex].first;
            extras.ModelByte = modelIndex == 3 ? std::optional<quint8>(7) : std::nullopt;
            ReaderHarness harness;
            harness.settings.languageValue = 30000;
            // Built-in names come in the language in force before the file sets its own.
            const auto expected =
                ExpectedAfterReading(*sample, version, harness.settings, harness.strings);
            EXPECT_EQ(harness.read(WriteProjectFile(*sample, version, extras)), ReadOutcome::Read);
            EXPECT_EQ(std::tuple(harness.notices.size(), harness.settings.nbtFile,
                                 harness.settings.baudRateInUse, harness.strings.LanguageOffset()),
                      std::tuple(0U, QStringLiteral("x.nbt"), version == 24 ? 19200 : 9600,
                                 version == 24 ? 30000 : languages[modelIndex].second));
            ExpectSameModel(*harness.model, *expected); // only version 60 stores the modem
        }
    }
}

// A rejected header leaves an empty project and the language as it was; the path stays only
// when the version alone is unknown.
TEST(ProjectFileReader, HeaderFailuresAndEveryVersionByte)
{
    const auto message = [](ReadOutcome o) {
        if (o == ReadOutcome::OldVersion)
            return QStringLiteral("Old version, use V2.32 or V2.15 for conversion");
        return o == ReadOutcome::WrongVersion ? QStringLiteral("Wrong version") : NoProjectFile;
    };
    QList<std::pair<QByteArray, ReadOutcome>> cases{
        {QByteArray(), ReadOutcome::NoMagic}, {"K&", ReadOutcome::NoMagic},
        {QByteArray("KAP<\0", 5), ReadOutcome::NoMagic}, {"K&P", ReadOutcome::OldVersion},
        {QByteArray("K&P\x3c\x00", 5), ReadOutcome::NoMagic}, {"K&P\x0a", ReadOutcome::Truncated}};
    const QByteArray body = WriteProjectFile(*SampleModel(2), 60).mid(5);
    for (int version = 0; version < 256; ++version) {
        if (version == 10 || version == 11 || version == 60)
            continue; // layouts the fuzzer and the read-back cover
        const QByteArray file = "K&P" + QByteArray(1, char(version)) + char(2) + body;
        const bool known = QList<int>{24, 25, 26, 27, 28, 37, 38, 40}.contains(version);
        cases.append({file, version < 10 ? ReadOutcome::OldVersion
                            : known      ? ReadOutcome::NoMagic
                                         : ReadOutcome::WrongVersion});
    }
    for (const auto &[data, outcome] : cases) {
        SCOPED_TRACE(data.left(5).toHex().toStdString());
        ReaderHarness harness;
        harness.model = SampleModel(0);
        ASSERT_EQ(harness.read(data), outcome);
        harness.expectNotice(message(outcome));
        EXPECT_TRUE(harness.notices.empty());
        EXPECT_EQ(harness.settings.nbtFile.isEmpty(), outcome != ReadOutcome::WrongVersion);
        if (outcome != ReadOutcome::NoMagic || data.size() <= 5) { // a body read is kept
            EXPECT_TRUE(harness.model->ZoneNames[0].Name.isBlank() &&
                        harness.model->InputModules[1].Name.isBlank());
        }
        EXPECT_EQ(harness.strings.LanguageOffset(), 0);
    }
}

// A model-1 file (41 input modules) read as model 0 (100) runs out of bytes like a cut one.
TEST(ProjectFileReader, ShortFileKeepsWhatWasReadAndFailsAtTheEnd)
{
    const auto sample = SampleModel(1);
    const QByteArray full = WriteProjectFile(*sample, 60);
    const QByteArray asModelZero = full.left(4) + '\0' + full.mid(5);
    for (const QByteArray &data : {full.left(6), full.left(5 + 53 * 3 + 7), full.chopped(3),
                                   full.chopped(1), asModelZero}) {
        SCOPED_TRACE(data.size());
        ReaderHarness harness;
        EXPECT_EQ(harness.read(data), ReadOutcome::NoMagic);
        harness.expectNotice(NoProjectFile);
        EXPECT_TRUE(harness.settings.nbtFile.isEmpty());
        if (data.size() > 5 + 53 * 3) {
            EXPECT_EQ(harness.model->ZoneNames[2].Name, sample->ZoneNames[2].Name);
        }
        // The baud rate and language of a rejected file are not taken over.
        EXPECT_EQ(std::pair(harness.settings.baudRateInUse, harness.strings.LanguageOffset()),
                  std::pair(19200, 0));
    }
    // Bytes after the closing mark are never looked at.
    EXPECT_EQ(ReaderHarness().read(full + QByteArray(5000, 'z')), ReadOutcome::Read);
}

// Versions 28 to 40 recode a key's third byte with lower six bits 17 to (byte AND 198) OR 6;
// versions 24 to 27 renumber its lower six bits by the key's function type (first byte), or
// clear the key; every other version keeps it. Versions 37 to 40 store eight key texts that go
// to the text list where a key names them.
TEST(ProjectFileReader, OlderVersionsRecodeKeysAndPlaceKeyTexts)
{
    struct Case {
        int from, to;
        std::array<quint8, 4> stored;
        quint8 third, fourth;
    };
    QList<Case> cases{{28, 40, {1, 1, 17, 5}, 6, 5},      {28, 40, {1, 1, 0xD1, 5}, 0xC6, 5},
                      {28, 40, {1, 1, 0x51, 9}, 0x46, 9}, {0, 0, {1, 1, 18, 5}, 18, 5},
                      {0, 0, {1, 1, 0x40, 0}, 0x40, 0},   {24, 27, {11, 3, 0xFF, 9}, 0, 0},
                      {24, 27, {0xCC, 3, 0xFF, 9}, 0, 0}, {0, 0, {13, 3, 0xFF, 9}, 0xFF, 9}};
    for (const auto &[type, code] : QList<std::pair<int, int>>{
             {2, 16}, {6, 6}, {21, 26}, {22, 25}, {30, 30}, {32, 32}, {33, 33}, {36, 45},
             {37, 46}, {38, 47}, {39, 48}, {40, 49}, {41, 43}, {42, 35}})
        cases.append({24, 27, {quint8(0x40 | type), 3, 0xBF, 9}, quint8(0x80 | code), 9});
    auto sample = SampleModel(0);
    for (int i = 0; i < cases.size(); ++i)
        sample->InputModules[90 + i / 8].Keys[i % 8].Bytes = cases[i].stored;
    auto &textKeys = sample->InputModules[3].Keys; // key k names key text k
    textKeys[2].Bytes = {1, 1, 61, 200};
    textKeys[3].Bytes = {1, 1, 0xFD, 255};
    textKeys[4].Bytes = {1, 1, 62, 7};
    ProjectFileExtras extras;
    for (int k = 0; k < 8; ++k)
        extras.KeyTexts[k] = QStringLiteral("Key text %1").arg(k);
    for (const int version : {60, 40, 38, 37, 28, 27, 26, 25, 24}) {
        SCOPED_TRACE(version);
        ReaderHarness harness;
        EXPECT_EQ(harness.read(WriteProjectFile(*sample, version, extras)), ReadOutcome::Read);
        for (int i = 0; i < cases.size(); ++i) {
            const Case &c = cases[i];
            const bool recoded = version >= c.from && version <= c.to;
            const auto &bytes = harness.model->InputModules[90 + i / 8].Keys[i % 8].Bytes;
            EXPECT_EQ(std::pair(bytes[2], bytes[3]), recoded ? std::pair(c.third, c.fourth)
                                                             : std::pair(c.stored[2], c.stored[3]))
                << i;
        }
        QStringList placed;
        for (int i = 0; i < TextListSlots && version != 60; ++i) { // 60 has a text list of its own
            if (!harness.model->TextList[i].Text.isBlank())
                placed << QStringLiteral("%1 %2").arg(i).arg(
                    harness.model->TextList[i].Text.trimmedRight());
        }
        const QStringList keyTexts{"200 Key text 2", "255 Key text 3"};
        EXPECT_EQ(placed, version >= 37 && version <= 40 ? keyTexts : QStringList());
    }
}

TEST(ProjectFileReader, FileOnDisk)
{
    QTemporaryDir dir;
    // Missing file and a folder: no message, path emptied, the project in force kept.
    for (const QString &path : {dir.filePath(QStringLiteral("gone.nbt")), dir.path(), QString()}) {
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
    const ProjectModel &read = *harness.model;
    EXPECT_EQ(std::tuple(harness.settings.nbtFile, read.ModelIndex, read.Flags[19]),
              std::tuple(path, 4, sample->Flags[19]));
    // An oversized file is read no further than a project can reach.
    ASSERT_TRUE(file.open(QIODevice::Append) &&
                file.write(QByteArray(3 * MaxProjectFileSize, 'z')) > 0);
    file.close();
    EXPECT_EQ(ReadProjectFile(path, harness.settings, harness.strings).status, ReadOutcome::Read);
}

} // namespace
} // namespace quintara::testing
