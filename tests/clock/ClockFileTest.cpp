#include "clock/ClockFile.h"

#include "clock/ClockTable.h"
#include "platform/Files.h"
#include "settings/Strings.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace quintara::clock {
namespace {

// A file image made by hand: byte `field` of line `line` is byteOf(line, field).
QByteArray HandImage(quint8 version, quint8 model, quint8 (*byteOf)(int line, int field))
{
    QByteArray image("QBN");
    image.append(char(version)).append(char(model));
    for (int i = 0; i < ClockLineCount; ++i)
        for (int b = 0; b < ClockLine::Size; ++b)
            image.append(char(byteOf(i, b)));
    return image.append("QBN");
}

constexpr auto Distinct = [](int line, int field) { return quint8((line * 13 + field) * 7 + 1); };
constexpr auto Nines = [](int, int) { return quint8(9); };

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

class ClockFile : public ::testing::Test {
protected:
    ClockFileResult Read(const QByteArray &bytes)
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        return ReadClockFile(table, buffer);
    }

    QByteArray Write()
    {
        QByteArray image;
        QBuffer buffer(&image);
        buffer.open(QIODevice::ReadWrite);
        EXPECT_TRUE(WriteClockFile(table, buffer).done());
        return buffer.data();
    }

    // The one notice of a failed file command.
    static QString Told(const ClockFileResult &result)
    {
        EXPECT_EQ(result.notices.size(), 1U);
        return result.notices.empty() ? QString() : result.notices.front().text;
    }

    ClockTable table;
    settings::Strings strings{settings::StringTable::builtIn()};
    QTemporaryDir dir;
};

TEST_F(ClockFile, HandMadeImageReadsBackFieldForFieldAndWritesBackUnchanged)
{
    const QByteArray image = HandImage(1, 0, Distinct);
    EXPECT_TRUE(Read(image).done());
    for (int i = 0; i < ClockLineCount; ++i) {
        const ClockLine &line = table.Lines[std::size_t(i)];
        EXPECT_EQ((std::pair<int, int>(line.Year, line.FunctionType)),
                  (std::pair<int, int>(Distinct(i, 4), Distinct(i, 8))));
    }
    EXPECT_EQ(Write(), image);
}

TEST_F(ClockFile, FileModelRulesTheTableAndLinesBeyondItsLimitSurvive)
{
    // The table takes the file's model and limit; the model is handed back, not selected.
    const QByteArray image = HandImage(1, 3, Nines);
    EXPECT_EQ(Read(image).model, 3);
    EXPECT_EQ((std::pair<int, int>(table.ModelIndex, table.MaxClockLines)), std::pair(3, 50));
    EXPECT_EQ(Write(), image); // lines 50..99 included

    // An unknown model byte is model 3, in the result and in the file written back.
    EXPECT_EQ(Read(HandImage(1, 200, Nines)).model, 3);
    EXPECT_EQ(table.MaxClockLines, 50);
    EXPECT_EQ(Write()[4], 3);

    // A foreign file names no model; a damaged one names the model it got as far as.
    EXPECT_EQ(Read("XYZ").model, std::nullopt);
    EXPECT_EQ(Read(HandImage(1, 4, Nines).first(5)).model, 4);
}

TEST_F(ClockFile, ForeignOrDamagedFilesTellTheirMessages)
{
    const QByteArray good = HandImage(1, 4, Nines);
    QByteArray wrongTail = good;
    wrongTail[1307] = 'X';
    const QList<std::tuple<QByteArray, ClockFileStatus, int>> cases{
        {{}, ClockFileStatus::NotAClockFile, 0},
        {"QB", ClockFileStatus::NotAClockFile, 0},
        {"qbn" + good.mid(3), ClockFileStatus::NotAClockFile, 0},
        {good.first(5), ClockFileStatus::Damaged, 0},
        {good.first(5 + 13 * 53 + 8), ClockFileStatus::Damaged, 53}, // cut before a type byte
        {good.first(1305), ClockFileStatus::Damaged, 100},
        {wrongTail, ClockFileStatus::Damaged, 100},
    };
    for (const auto &[bytes, status, linesKept] : cases) {
        SCOPED_TRACE(bytes.size());
        table.Lines.fill(ClockLine{});
        table.Lines[99].FunctionType = 4; // what was loaded before goes
        const ClockFileResult result = Read(bytes);
        // The texts are pinned by the window's and the command line's tests.
        ASSERT_EQ(std::pair(result.status, result.notices.size()),
                  std::pair(status, std::size_t(1)));
        EXPECT_EQ(std::pair(result.notices[0].title, result.notices[0].icon),
                  std::pair(platform::ProgramTitle, platform::Icon::None));
        EXPECT_EQ(std::ranges::count_if(table.Lines, &ClockLine::inUse), linesKept);
        if (status == ClockFileStatus::Damaged) {
            EXPECT_EQ(table.MaxClockLines, 50); // version and model were read
        }
    }
}

TEST_F(ClockFile, OlderVersionIsSavedOnlyAfterTheConversionQuestion)
{
    EXPECT_TRUE(Read(HandImage(0, 1, Nines)).done()); // loaded without comment
    const std::optional<platform::Message> question = ConversionQuestion(table, strings);
    ASSERT_TRUE(question);
    EXPECT_EQ(question->text, "File is from an earlier VENTORA version and will be converted!\n\r"
                              "(The file will no longer be usable by earlier VENTORA version!)");
    EXPECT_EQ(
        std::tuple(question->title, question->buttons, question->icon, question->defaultButton),
        std::tuple(platform::ProgramTitle, platform::Buttons::OkCancel, platform::Icon::Exclamation,
                   std::optional(platform::Answer::Cancel)));

    // Once written it is of the current version, and asks no more.
    EXPECT_EQ(Write()[3], 1);
    EXPECT_FALSE(ConversionQuestion(table, strings));
}

// Saves the table while the process may write files of at most `bytes`: writes beyond fail
// with EFBIG instead of raising SIGXFSZ.
ClockFileResult WriteWithFileSizeLimit(ClockTable &table, const settings::Strings &strings,
                                       rlim_t bytes)
{
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
    ClockFileResult result = WriteClockFile(table, strings);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return result;
}

TEST_F(ClockFile, SavingIsAllOrNothing)
{
    const QByteArray old = HandImage(1, 0, Nines) + "beyond the image";
    table.ClockFileVersion = 1;
    table.ClockFileName = dir.filePath("house.clk");
    ASSERT_FALSE(platform::WriteWholeFile(table.ClockFileName, old).has_value());
    table.Lines[0].FunctionType = 3;
    // A disk that takes only 1 KiB: the old file stays whole and the message names the file and
    // the system's reason.
    const QString told = Told(WriteWithFileSizeLimit(table, strings, 1024));
    EXPECT_TRUE(told.startsWith(QDir::toNativeSeparators(table.ClockFileName) + '\n') &&
                told.size() > table.ClockFileName.size() + 2);
    EXPECT_EQ(Contents(table.ClockFileName), old);

    // A new file on a disk that takes nothing is not left behind empty.
    table.ClockFileName = dir.filePath("fresh.clk");
    EXPECT_EQ(WriteWithFileSizeLimit(table, strings, 0).status, ClockFileStatus::SystemError);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"house.clk"});

    // Once it can be written: the new image, followed by what lay beyond the old one.
    table.ClockFileName = dir.filePath("house.clk");
    EXPECT_TRUE(WriteClockFile(table, strings).done());
    EXPECT_EQ(Contents(table.ClockFileName), ClockFileImage(table) + "beyond the image");
}

TEST_F(ClockFile, OnlyRegularFilesAreReadOrWrittenAndFailuresNameTheFile)
{
    // Neither blocks on a FIFO nor reads a device without end.
    const QString fifo = dir.filePath("pipe.clk");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString &path : {fifo, QStringLiteral("/dev/zero"), dir.path()}) {
        SCOPED_TRACE(path.toStdString());
        table.ClockFileName = path;
        for (const ClockFileResult &result :
             {ReadClockFile(table, strings), WriteClockFile(table, strings)})
            EXPECT_EQ(Told(result), path + "\nThis is not a regular file.");
    }
    EXPECT_FALSE(QFileInfo(fifo).isFile());

    // Failures come back as the critical box the caller shows, naming the file.
    table.ClockFileName = dir.filePath("missing/house.clk");
    const ClockFileResult result = WriteClockFile(table, strings);
    EXPECT_TRUE(Told(result).startsWith(table.ClockFileName + '\n'));
    EXPECT_EQ(std::pair(result.status, result.notices.at(0).icon),
              std::pair(ClockFileStatus::SystemError, platform::Icon::Critical));
}

} // namespace
} // namespace quintara::clock
