#include "platform/Files.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

namespace quintara::platform {
namespace {

TEST(FileNames, AnyBytesSurviveTheTripThroughAString)
{
    // Valid UTF-8 reads as Qt reads it; every other byte is kept, whatever surrounds it.
    EXPECT_EQ(FileNameFromNative("/home/jürgen/café.clk"), QStringLiteral("/home/jürgen/café.clk"));
    EXPECT_FALSE(HoldsRawBytes(FileNameFromNative("/home/jürgen/café.clk")));
    // Latin-1, overlong forms, encoded surrogates and cut sequences are not UTF-8.
    for (const QByteArray &odd : {QByteArray("/tmp/caf\xe9 \x80uro.clk"), QByteArray("\xc0\xaf"),
                                  QByteArray("\xed\xa0\x80"), QByteArray("\xe2\x82"),
                                  QByteArray("\xf4\x90\x80\x80")}) {
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

// A file, and a project file named in the settings, whose names on this system are Latin-1.
TEST(FileNames, FilesNamedInAnotherCodePageAreFoundReadAndWrittenByTheirBytes)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray native = folder + "/caf\xe9.nbt";
    const QString name = FileNameFromNative(native);
    EXPECT_EQ(KindOfPath(name), PathKind::Missing);
    EXPECT_FALSE(WriteWholeFile(name, "first").has_value());
    EXPECT_EQ(KindOfPath(name), PathKind::RegularFile);
    EXPECT_FALSE(WriteWholeFile(name, "second").has_value()); // replaced whole, by its bytes
    QFile file;
    ASSERT_FALSE(OpenFile(file, name, QIODevice::ReadOnly).has_value());
    EXPECT_EQ(file.readAll(), "second");
    QFile missing;
    EXPECT_EQ(OpenFile(missing, FileNameFromNative(folder + "/gon\xe9"), QIODevice::ReadOnly),
              QStringLiteral("No such file or directory"));

    const QString ini = dir.filePath(QStringLiteral("Ventora.ini"));
    ASSERT_FALSE(WriteWholeFile(ini, "[Clock]\nNBTFile=" + native + "\n").has_value());
    settings::ProfileFile profile(ini);
    settings::Settings values;
    settings::ReadClockSettings(profile, values);
    EXPECT_EQ(NativeFileName(values.nbtFile), native);
    settings::WriteClockSettings(profile, values); // written back as the same bytes
    QFile written(ini);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("NBTFile=" + native + "\n"));

    // Only the two files: nothing was made under the name's UTF-8 look-alike or left behind.
    DIR *listing = ::opendir(folder.constData());
    ASSERT_NE(listing, nullptr);
    int entries = 0;
    while (const dirent *entry = ::readdir(listing))
        entries += entry->d_name[0] != '.';
    ::closedir(listing);
    EXPECT_EQ(entries, 2);
    ::unlink(native.constData()); // Qt could not remove it with the folder
}

} // namespace
} // namespace quintara::platform
