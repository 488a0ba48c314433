#include "platform/Files.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quintara::platform {
namespace {

bool ExistsByBytes(const QByteArray &native)
{
    struct stat status {};
    return ::stat(native.constData(), &status) == 0;
}

int EntriesIn(const QByteArray &folder)
{
    int count = 0;
    if (DIR *dir = ::opendir(folder.constData())) {
        while (const dirent *entry = ::readdir(dir))
            count += entry->d_name[0] != '.';
        ::closedir(dir);
    }
    return count;
}

TEST(FileNames, AnyBytesSurviveTheTripThroughAString)
{
    // Valid UTF-8 reads as Qt reads it; every other byte is kept, whatever surrounds it.
    EXPECT_EQ(FileNameFromNative("/home/jürgen/café.clk"), QStringLiteral("/home/jürgen/café.clk"));
    EXPECT_FALSE(HoldsRawBytes(FileNameFromNative("/home/jürgen/café.clk")));
    const QByteArray latin1 = "/tmp/caf\xe9 \x80uro.clk";
    EXPECT_TRUE(HoldsRawBytes(FileNameFromNative(latin1)));
    EXPECT_EQ(NativeFileName(FileNameFromNative(latin1)), latin1);
    // Overlong forms, encoded surrogates and cut sequences are not UTF-8 either.
    for (const QByteArray &odd : {QByteArray("\xc0\xaf"), QByteArray("\xed\xa0\x80"),
                                  QByteArray("\xe2\x82"), QByteArray("\xf4\x90\x80\x80")}) {
        EXPECT_EQ(NativeFileName(FileNameFromNative(odd)), odd);
        EXPECT_TRUE(HoldsRawBytes(FileNameFromNative(odd)));
    }
    QRandomGenerator random(7);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(int(random.bounded(1, 24)), '\0');
        for (char &byte : bytes)
            byte = static_cast<char>(random.bounded(1, 256)); // no NUL in a file name
        ASSERT_EQ(NativeFileName(FileNameFromNative(bytes)), bytes) << bytes.toHex().constData();
    }
}

TEST(FileNames, FilesNamedInAnotherCodePageAreReadAndWritten)
{
    QTemporaryDir dir;
    const QByteArray native = QFile::encodeName(dir.path()) + "/caf\xe9.clk";
    const QString name = FileNameFromNative(native);

    EXPECT_EQ(KindOfPath(name), PathKind::Missing);
    EXPECT_FALSE(WriteWholeFile(name, "first").has_value());
    EXPECT_TRUE(ExistsByBytes(native));
    EXPECT_EQ(KindOfPath(name), PathKind::RegularFile);
    EXPECT_FALSE(WriteWholeFile(name, "second").has_value()); // replaced whole, by its bytes
    QFile file;
    ASSERT_FALSE(OpenFile(file, name, QIODevice::ReadOnly).has_value());
    EXPECT_EQ(file.readAll(), "second");
    // Only the one file: nothing was made under the name's UTF-8 look-alike or left behind.
    EXPECT_FALSE(ExistsByBytes(QFile::encodeName(name)));
    EXPECT_EQ(EntriesIn(QFile::encodeName(dir.path())), 1);

    QFile missing;
    const std::optional<QString> reason =
        OpenFile(missing, FileNameFromNative(QFile::encodeName(dir.path()) + "/gon\xe9"),
                 QIODevice::ReadOnly);
    ASSERT_TRUE(reason.has_value());
    EXPECT_EQ(*reason, QStringLiteral("No such file or directory"));
    ::unlink(native.constData()); // Qt could not remove it with the folder
}

TEST(FileNames, AStoredProjectNameIsFoundByItsBytes)
{
    // The sibling tool stored the name of a project file whose name on this system is Latin-1.
    QTemporaryDir dir;
    const QByteArray native = QFile::encodeName(dir.path()) + "/caf\xe9.nbt";
    ASSERT_FALSE(WriteWholeFile(FileNameFromNative(native), "K&P").has_value());
    const QString ini = dir.filePath(QStringLiteral("Ventora.ini"));
    ASSERT_FALSE(WriteWholeFile(ini, "[Clock]\nNBTFile=" + native + "\n").has_value());

    settings::ProfileFile profile(ini);
    settings::Settings values;
    settings::ReadClockSettings(profile, values);
    EXPECT_EQ(NativeFileName(values.nbtFile), native);
    // Written back as the same bytes.
    settings::WriteClockSettings(profile, values);
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("NBTFile=" + native + "\n"));
    ::unlink(native.constData());
}

} // namespace
} // namespace quintara::platform
