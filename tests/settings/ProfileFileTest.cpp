#include "settings/ProfileFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using quintara::settings::PortDeviceName;
using quintara::settings::ProfileFile;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    QByteArray contents() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QByteArray &bytes) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Ventora.ini"));
};

TEST_F(ProfileFileTest, ReadsCaseInsensitivelyWithLimitsAndDefaults)
{
    write("; written by the configuration tool\n"
          "[global]\n"
          "LANGUAGE = 30000 \n"
          "Name=\"quoted\"\n"
          "[User]\n"
          "name=A very long name that goes on and on and on and on and on\n");
    ProfileFile file(path);
    EXPECT_EQ(file.readString("Global", "Language", "10", 14), "30000");
    EXPECT_EQ(file.readString("Global", "language", "10", 3), "300");
    EXPECT_EQ(file.readString("GLOBAL", "Name", "", 49), "quoted");
    EXPECT_EQ(file.readString("User", "Name", "", 49).size(), 49);
    EXPECT_EQ(file.readString("User", "Adres1", "none", 49), "none");
    EXPECT_EQ(file.readString("Clock", "NBTFile", "", 249), "");

    ProfileFile missing(dir.filePath(QStringLiteral("nothing.ini")));
    EXPECT_EQ(missing.readString("Global", "Baudrate", "19200", 9), "19200");
}

TEST_F(ProfileFileTest, WriteChangesOneValueAndKeepsEverythingElse)
{
    const QByteArray before = "; shared with the configuration tool\r\n"
                              "[Global]\r\n"
                              "Language=10000\r\n"
                              "Foreign=keep me\r\n"
                              "\r\n"
                              "[Tool]\r\n"
                              "Setting=42\r\n";
    write(before);
    ProfileFile file(path);
    ASSERT_TRUE(file.writeString("global", "language", "30000"));
    ASSERT_TRUE(file.writeString("Global", "ComPort", "3"));
    ASSERT_TRUE(file.writeString("Clock", "TimeSet", "1"));
    EXPECT_EQ(contents(), QByteArray("; shared with the configuration tool\r\n"
                                     "[Global]\r\n"
                                     "language=30000\r\n"
                                     "Foreign=keep me\r\n"
                                     "ComPort=3\r\n"
                                     "\r\n"
                                     "[Tool]\r\n"
                                     "Setting=42\r\n"
                                     "\r\n"
                                     "[Clock]\r\n"
                                     "TimeSet=1\r\n"));
    EXPECT_EQ(file.readString("Global", "Language", "", 14), "30000");
    EXPECT_EQ(file.readString("Tool", "Setting", "", 14), "42");
}

TEST_F(ProfileFileTest, WriteCreatesFileAndFolderAndKeepsNonUtf8Lines)
{
    ProfileFile fresh(dir.filePath(QStringLiteral("sub/Ventora.ini")));
    ASSERT_TRUE(fresh.writeString("User", "Name", QStringLiteral("Jürgen")));
    EXPECT_EQ(fresh.readString("User", "Name", "", 49), QStringLiteral("Jürgen"));

    write("[User]\nName=Andr\xe9\nAdres1=x\n");
    ProfileFile file(path);
    EXPECT_EQ(file.readString("User", "Name", "", 49), QStringLiteral("André"));
    ASSERT_TRUE(file.writeString("User", "Adres1", "y"));
    EXPECT_EQ(contents(), QByteArray("[User]\nName=Andr\xe9\nAdres1=y\n"));
}

TEST_F(ProfileFileTest, TextsAreWindows1252AsTheSiblingToolWritesThem)
{
    // The sibling tool wrote a path with an accent and a euro sign in its code page.
    write("[Clock]\r\nNBTFile=C:\\Projecten\\Caf\xe9 \x80uro.nbt\r\n");
    ProfileFile file(path);
    const QString stored = QStringLiteral("C:\\Projecten\\Café €uro.nbt");
    EXPECT_EQ(file.readString("Clock", "NBTFile", "", 249), stored);
    // Written back the same way, so that it reads the same in both programs.
    ASSERT_TRUE(file.writeString("Clock", "NBTFile", stored + "x"));
    EXPECT_EQ(contents(), QByteArray("[Clock]\r\nNBTFile=C:\\Projecten\\Caf\xe9 \x80uro.nbtx\r\n"));
    // A value an earlier version of this program wrote in UTF-8 still reads right.
    write("[User]\nName=J\xc3\xbcrgen\n");
    EXPECT_EQ(file.readString("User", "Name", "", 49), QStringLiteral("Jürgen"));
}

TEST_F(ProfileFileTest, EachLineKeepsItsOwnLineEnd)
{
    write("[Tool]\r\nA=1\n[Global]\nLanguage=10\r\nLast=x");
    ProfileFile file(path);
    ASSERT_TRUE(file.writeString("Global", "Language", "30000"));
    EXPECT_EQ(contents(), QByteArray("[Tool]\r\nA=1\n[Global]\nLanguage=30000\r\nLast=x"));
    // What is added after a last line without an end gives that line the file's first end.
    ASSERT_TRUE(file.writeString("Global", "ComPort", "3"));
    EXPECT_EQ(contents(),
              QByteArray("[Tool]\r\nA=1\n[Global]\nLanguage=30000\r\nLast=x\r\nComPort=3\r\n"));
}

TEST_F(ProfileFileTest, DevicesFifosAndHugeFilesAreNeitherReadNorWritten)
{
    const QString fifo = dir.filePath(QStringLiteral("fifo.ini"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString &other : {fifo, QStringLiteral("/dev/zero"), QStringLiteral("/dev/full")}) {
        SCOPED_TRACE(other.toStdString());
        ProfileFile file(other);
        // Neither blocks, nor reads without end.
        EXPECT_EQ(file.readString("Global", "Language", "10", 14), "10");
        EXPECT_FALSE(file.writeString("Global", "Language", "30000"));
    }
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/full")).isFile()); // still the device

    // Beyond a megabyte nothing more is read, and such a file is not ours to rewrite.
    write(QByteArray(2 * 1024 * 1024, '\n') + "[Global]\nLanguage=30000\n");
    ProfileFile huge(path);
    EXPECT_EQ(huge.readString("Global", "Language", "10", 14), "10");
    EXPECT_FALSE(huge.writeString("Global", "Language", "20000"));
}

TEST_F(ProfileFileTest, PortsSectionNamesDevices)
{
    write("[Ports]\nCOM3=/dev/ttyUSB0\n");
    ProfileFile file(path);
    EXPECT_EQ(PortDeviceName(file, 3), "/dev/ttyUSB0");
#ifdef Q_OS_WIN
    EXPECT_EQ(PortDeviceName(file, 2), "COM2");
#else
    EXPECT_EQ(PortDeviceName(file, 2), "/dev/ttyS1");
#endif
}

} // namespace
