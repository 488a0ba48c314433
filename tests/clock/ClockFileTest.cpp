#include "clock/ClockFile.h"

#include "clock/ClockTable.h"
#include "project/ProjectModel.h"
#include "settings/Strings.h"
#include "tests/support/ScriptedPrompter.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quintara::clock {
namespace {

using platform::Answer;

class ClockFile : public ::testing::Test {
protected:
    ClockFile() { NewProject(model, 19200, 0); }

    // A file image made by hand, byte by byte.
    static QByteArray HandImage(quint8 version, quint8 modelByte,
                                const std::function<quint8(int line, int field)> &byteOf)
    {
        QByteArray image("QBN");
        image.append(char(version));
        image.append(char(modelByte));
        for (int i = 0; i < ClockLineCount; ++i)
            for (int b = 0; b < ClockLine::Size; ++b)
                image.append(char(byteOf(i, b)));
        image.append("QBN");
        return image;
    }

    ClockFileResult Read(const QByteArray &bytes)
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        return ReadClockFile(table, buffer, model, strings, prompter);
    }

    QByteArray Write(ClockFileResult *result = nullptr, QByteArray existing = {})
    {
        QBuffer buffer(&existing);
        buffer.open(QIODevice::ReadWrite);
        const ClockFileResult r = WriteClockFile(table, buffer, strings, prompter);
        if (result)
            *result = r;
        return buffer.data();
    }

    ClockTable table;
    project::ProjectModel model;
    testing::ScriptedPrompter prompter;
    settings::Strings strings{settings::StringTable::builtIn(), prompter};
};

TEST_F(ClockFile, NewTableSavesTheExactImage)
{
    table.ClockFileVersion = 1;
    table.ModelIndex = 2;
    table.Lines[0].FunctionType = 5;
    table.Lines[99].FirstLine = 7;

    ClockFileResult result;
    const QByteArray image = Write(&result);

    EXPECT_TRUE(result.done());
    ASSERT_EQ(image.size(), 1308);
    EXPECT_EQ(image.first(3), "QBN");
    EXPECT_EQ(image.last(3), "QBN");
    EXPECT_EQ(image[3], 1);
    EXPECT_EQ(image[4], 2);
    EXPECT_EQ(image[5 + 8], 5);            // line 0, function type
    EXPECT_EQ(image[5 + 13 * 99 + 12], 7); // line 99, last byte
    EXPECT_EQ(image, ClockFileImage(table));
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(ClockFile, HandMadeImageReadsBackFieldForField)
{
    // Every byte different, so a field read from the wrong place shows.
    const auto byteOf = [](int line, int field) { return quint8((line * 13 + field) * 7 + 1); };
    const QByteArray image = HandImage(1, 0, byteOf);
    table.ClockFileName = "kept.clk";

    EXPECT_TRUE(Read(image).done());

    EXPECT_EQ(table.ClockFileVersion, 1);
    EXPECT_EQ(table.ModelIndex, 0);
    EXPECT_EQ(table.MaxClockLines, 100);
    EXPECT_EQ(table.ClockFileName, "kept.clk");
    for (int i = 0; i < ClockLineCount; ++i) {
        const ClockLine &line = table.Lines[static_cast<std::size_t>(i)];
        EXPECT_EQ(line.Minute, byteOf(i, 0));
        EXPECT_EQ(line.Hour, byteOf(i, 1));
        EXPECT_EQ(line.Day, byteOf(i, 2));
        EXPECT_EQ(line.Month, byteOf(i, 3));
        EXPECT_EQ(line.Year, byteOf(i, 4));
        EXPECT_EQ(line.Table, byteOf(i, 5));
        EXPECT_EQ(line.RepeatUnit, byteOf(i, 6));
        EXPECT_EQ(line.RepeatCount, byteOf(i, 7));
        EXPECT_EQ(line.FunctionType, byteOf(i, 8));
        EXPECT_EQ(line.FunctionNumber, byteOf(i, 9));
        EXPECT_EQ(line.Level, byteOf(i, 10));
        EXPECT_EQ(line.NextLine, byteOf(i, 11));
        EXPECT_EQ(line.FirstLine, byteOf(i, 12));
    }
    // ... and writes back unchanged.
    EXPECT_EQ(Write(), image);
}

TEST_F(ClockFile, LinesBeyondTheSmallModelsLimitSurviveLoadAndSave)
{
    const auto byteOf = [](int line, int field) { return quint8(field == 8 ? 1 : line + field); };
    const QByteArray image = HandImage(1, 3, byteOf);
    model.ModelIndex = 0; // a model-0 project is loaded; the file's model wins

    EXPECT_TRUE(Read(image).done());
    EXPECT_EQ(table.ModelIndex, 3);
    EXPECT_EQ(model.ModelIndex, 3);
    EXPECT_EQ(table.MaxClockLines, 50);
    EXPECT_EQ(Write(), image);

    // A model-0 file makes all 100 lines usable again.
    EXPECT_TRUE(Read(HandImage(1, 0, byteOf)).done());
    EXPECT_EQ(table.MaxClockLines, 100);
}

TEST_F(ClockFile, ModelByteAboveFourSelectsModelThree)
{
    EXPECT_TRUE(Read(HandImage(1, 200, [](int, int) { return quint8(0); })).done());
    EXPECT_EQ(table.ModelIndex, 3);
    EXPECT_EQ(table.MaxClockLines, 50);
    EXPECT_EQ(Write()[4], 3);
}

TEST_F(ClockFile, ForeignOrDamagedFilesGiveTheirMessages)
{
    const QByteArray good = HandImage(1, 1, [](int, int) { return quint8(9); });
    struct Case {
        const char *name;
        QByteArray bytes;
        ClockFileStatus status;
        const char *message;
    };
    QByteArray wrongTail = good;
    wrongTail[1307] = 'X';
    const Case cases[] = {
        {"empty", {}, ClockFileStatus::NotAClockFile, "NO QBN Clock file!"},
        {"two bytes", "QB", ClockFileStatus::NotAClockFile, "NO QBN Clock file!"},
        {"wrong magic", "qbn" + good.mid(3), ClockFileStatus::NotAClockFile, "NO QBN Clock file!"},
        {"five bytes", QByteArray("QBN\x00\x04", 5), ClockFileStatus::Damaged,
         "Read error in CLOCK File"},
        {"cut in a line", good.first(700), ClockFileStatus::Damaged, "Read error in CLOCK File"},
        {"no tail", good.first(1305), ClockFileStatus::Damaged, "Read error in CLOCK File"},
        {"wrong tail", wrongTail, ClockFileStatus::Damaged, "Read error in CLOCK File"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        table = ClockTable{};
        table.Lines[7].FunctionType = 4; // whatever was loaded before is cleared
        prompter.shown.clear();
        prompter.expect(Answer::Ok);

        EXPECT_EQ(Read(c.bytes).status, c.status);
        ASSERT_EQ(prompter.shown.size(), 1);
        EXPECT_EQ(prompter.shown[0].text, c.message);
        EXPECT_EQ(prompter.shown[0].title, platform::ProgramTitle);
        EXPECT_FALSE(table.Lines[7].inUse() && c.status == ClockFileStatus::NotAClockFile);
    }
}

TEST_F(ClockFile, ShortFileKeepsWhatItHeld)
{
    prompter.expect(Answer::Ok);
    Read(QByteArray("QBN\x00\x04", 5));
    EXPECT_EQ(table.ClockFileVersion, 0);
    EXPECT_EQ(table.ModelIndex, 4);
    EXPECT_EQ(table.MaxClockLines, 50);
    for (const ClockLine &line : table.Lines)
        EXPECT_FALSE(line.inUse());

    // The full lines of a cut file are kept; the line cut in two and the rest are free.
    const QByteArray good = HandImage(1, 1, [](int, int) { return quint8(9); });
    prompter.expect(Answer::Ok);
    Read(good.first(5 + 13 * 53 + 8)); // line 53 stops before its type byte
    EXPECT_TRUE(table.Lines[52].inUse());
    EXPECT_FALSE(table.Lines[53].inUse());
    EXPECT_EQ(table.Lines[53].Minute, 9);
    EXPECT_FALSE(table.Lines[99].inUse());
}

TEST_F(ClockFile, LongerFileIsReadToItsTailAndOverwrittenInPlace)
{
    QByteArray existing = HandImage(1, 1, [](int, int) { return quint8(9); }) + "trailing junk";
    EXPECT_TRUE(Read(existing).done());

    table.Lines[0].FunctionType = 0;
    const QByteArray written = Write(nullptr, existing);
    EXPECT_EQ(written.size(), existing.size());
    EXPECT_EQ(written.first(1308), ClockFileImage(table));
    EXPECT_TRUE(written.endsWith("trailing junk"));
}

TEST_F(ClockFile, OlderVersionIsConvertedOnlyWhenTheUserAgrees)
{
    EXPECT_TRUE(Read(HandImage(0, 1, [](int, int) { return quint8(0); })).done());
    EXPECT_EQ(table.ClockFileVersion, 0); // loaded without comment

    prompter.expect(Answer::Cancel);
    ClockFileResult result;
    const QByteArray untouched = Write(&result, "old bytes");
    EXPECT_EQ(result.status, ClockFileStatus::Cancelled);
    EXPECT_EQ(untouched, "old bytes");
    EXPECT_EQ(table.ClockFileVersion, 0);
    ASSERT_EQ(prompter.shown.size(), 1);
    const platform::Message &question = prompter.shown[0];
    EXPECT_EQ(question.text, "File is from an earlier VENTORA version and will be converted!\n\r"
                             "(The file will no longer be usable by earlier VENTORA version!)");
    EXPECT_EQ(question.title, platform::ErrorTitle);
    EXPECT_EQ(question.buttons, platform::Buttons::OkCancel);
    EXPECT_EQ(question.icon, platform::Icon::Exclamation);
    EXPECT_EQ(question.defaultButton, Answer::Cancel);

    prompter.expect(Answer::Ok);
    const QByteArray converted = Write(&result);
    EXPECT_TRUE(result.done());
    EXPECT_EQ(converted[3], 1);
    EXPECT_EQ(table.ClockFileVersion, 1);
    Write(); // no second question
    EXPECT_EQ(prompter.shown.size(), 2);
}

TEST_F(ClockFile, FilesOnDiskAndTheirSystemErrors)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    table.ClockFileVersion = 1;
    table.ClockFileName = dir.filePath("house.clk");
    table.Lines[3].FunctionType = 2;

    EXPECT_TRUE(WriteClockFile(table, strings, prompter).done());
    QFile file(table.ClockFileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), ClockFileImage(table));
    file.close();

    ClockTable reread;
    reread.ClockFileName = table.ClockFileName;
    EXPECT_TRUE(ReadClockFile(reread, model, strings, prompter).done());
    EXPECT_EQ(reread.Lines, table.Lines);

    // Failures come back as a description to show; nothing is said on the way.
    table.ClockFileName = dir.filePath("missing/house.clk");
    ClockFileResult result = WriteClockFile(table, strings, prompter);
    EXPECT_EQ(result.status, ClockFileStatus::SystemError);
    EXPECT_FALSE(result.error.isEmpty());
    result = ReadClockFile(table, model, strings, prompter);
    EXPECT_EQ(result.status, ClockFileStatus::SystemError);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_FALSE(table.Lines[3].inUse());
    EXPECT_TRUE(prompter.shown.isEmpty());

    prompter.expect(Answer::Ok);
    ShowFileError(prompter, result.error);
    EXPECT_EQ(prompter.shown[0].icon, platform::Icon::Critical);
    EXPECT_EQ(prompter.shown[0].title, platform::ErrorTitle);

    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_EQ(WriteClockFile(table, readOnly, strings, prompter).status,
              ClockFileStatus::SystemError);
}

} // namespace
} // namespace quintara::clock
