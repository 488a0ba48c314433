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
    ProfileFile file{path};
};

TEST_F(ProfileFileTest, ReadsCaseInsensitivelyWithLimitsAndDefaults)
{
    write("; written by the configuration tool\n[global]\nLANGUAGE = 30000 \nName=\"quoted\"\n"
          "[User]\nname=A very long name that goes on and on and on and on and on\n"
          "[Ports]\nCOM3=/dev/ttyUSB0\n");
    EXPECT_EQ(file.readString("Global", "Language", "10", 14), "30000");
    EXPECT_EQ(file.readString("Global", "language", "10", 3), "300");
    EXPECT_EQ(file.readString("GLOBAL", "Name", "", 49), "quoted");
    EXPECT_EQ(file.readString("User", "Name", "", 49).size(), 49);
    EXPECT_EQ(ProfileFile(dir.filePath("none.ini")).readString("Global", "Baudrate", "19200", 9),
              "19200");
    EXPECT_EQ(PortDeviceName(file, 3), "/dev/ttyUSB0");
    EXPECT_EQ(PortDeviceName(file, 2), "/dev/ttyS1");
}

// The file is shared with the configuration tool: a write changes one line and keeps every other
// byte, each line's own end included.
TEST_F(ProfileFileTest, WriteChangesOneValueAndKeepsEverythingElse)
{
    write("; shared with the configuration tool\r\n[Global]\r\nLanguage=10000\r\nForeign=keep me\r\n"
          "\r\n[Tool]\r\nSetting=42\r\n");
    ASSERT_TRUE(file.writeString("global", "language", "30000"));
    ASSERT_TRUE(file.writeString("Global", "ComPort", "3"));
    ASSERT_TRUE(file.writeString("Clock", "TimeSet", "1"));
    EXPECT_EQ(contents(), QByteArray("; shared with the configuration tool\r\n[Global]\r\n"
                                     "language=30000\r\nForeign=keep me\r\nComPort=3\r\n\r\n"
                                     "[Tool]\r\nSetting=42\r\n\r\n[Clock]\r\nTimeSet=1\r\n"));

    write("[Tool]\r\nA=1\n[Global]\nLanguage=10\r\nLast=x");
    ASSERT_TRUE(file.writeString("Global", "Language", "30000"));
    EXPECT_EQ(contents(), QByteArray("[Tool]\r\nA=1\n[Global]\nLanguage=30000\r\nLast=x"));
    // What is added after a last line without an end gives that line the file's first end.
    ASSERT_TRUE(file.writeString("Global", "ComPort", "3"));
    EXPECT_EQ(contents(),
              QByteArray("[Tool]\r\nA=1\n[Global]\nLanguage=30000\r\nLast=x\r\nComPort=3\r\n"));

    ProfileFile fresh(dir.filePath(QStringLiteral("sub/Ventora.ini")));
    ASSERT_TRUE(fresh.writeString("User", "Name", QStringLiteral("Jürgen")));
    EXPECT_EQ(fresh.readString("User", "Name", "", 49), QStringLiteral("Jürgen"));
}

TEST_F(ProfileFileTest, TextsAreWindows1252AsTheSiblingToolWritesThem)
{
    write("[Clock]\r\nNBTFile=C:\\Projecten\\Caf\xe9 \x80uro.nbt\r\n");
    const QString stored = QStringLiteral("C:\\Projecten\\Café €uro.nbt");
    EXPECT_EQ(file.readString("Clock", "NBTFile", "", 249), stored);
    ASSERT_TRUE(file.writeString("Clock", "NBTFile", stored + "x"));
    EXPECT_EQ(contents(), QByteArray("[Clock]\r\nNBTFile=C:\\Projecten\\Caf\xe9 \x80uro.nbtx\r\n"));
    // A value an earlier version of this program wrote in UTF-8 still reads right.
    write("[User]\nName=J\xc3\xbcrgen\n");
    EXPECT_EQ(file.readString("User", "Name", "", 49), QStringLiteral("Jürgen"));
}

TEST_F(ProfileFileTest, DevicesFifosAndHugeFilesAreNeitherReadNorWritten)
{
    const QString fifo = dir.filePath(QStringLiteral("fifo.ini"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    write(QByteArray(2 * 1024 * 1024, '\n') + "[Global]\nLanguage=30000\n"); // beyond a megabyte
    for (const QString &other : {fifo, QStringLiteral("/dev/zero"), QStringLiteral("/dev/full"), path}) {
        SCOPED_TRACE(other.toStdString());
        ProfileFile file(other);
        // Neither blocks, nor reads without end.
        EXPECT_EQ(file.readString("Global", "Language", "10", 14), "10");
        EXPECT_FALSE(file.writeString("Global", "Language", "30000"));
    }
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/full")).isFile()); // still the device
}

} // namespace
