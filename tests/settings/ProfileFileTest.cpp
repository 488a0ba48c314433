#include "settings/ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
