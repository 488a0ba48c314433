#include "settings/Settings.h"
#include "settings/ProfileFile.h"
#include "settings/Strings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quintara::settings;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { startDir = QDir::currentPath(); }
    void TearDown() override { QDir::setCurrent(startDir); }

    void write(const QByteArray &bytes)
    {
        QFile f(file.path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Reads the settings; returns how often the language form was shown.
    int read(int choice = -1)
    {
        int shown = 0;
        ReadSettings(file, settings, strings, [&] {
            ++shown;
            return choice;
        });
        ReadClockSettings(file, settings);
        return shown;
    }

    QString startDir;
    QTemporaryDir dir;
    ProfileFile file{dir.filePath(QStringLiteral("Ventora.ini"))};
    StringTable table;
    Strings strings{table};
    Settings settings;
};

TEST_F(SettingsTest, NoFileGivesDefaultsAndAsksForLanguageOnce)
{
    EXPECT_EQ(read(), 1);
    EXPECT_EQ(strings.LanguageOffset(), 10000); // Nederlands when closed without a choice
    EXPECT_EQ(settings.languageValue, 10000);
    EXPECT_EQ(settings.baudRateRead, 19200);
    EXPECT_EQ(settings.baudRateInUse, 19200);
    EXPECT_EQ(settings.comPort, 2);
    EXPECT_TRUE(settings.userName.isEmpty());
    EXPECT_TRUE(settings.nbtFile.isEmpty());
    EXPECT_EQ(settings.timeSet, 0);
}

TEST_F(SettingsTest, LanguageValues)
{
    struct Case {
        const char *stored;
        int offset;
        bool form;
    };
    const Case cases[] = {
        {"0", 0, false},          {"5", 10000, true},       {"2000", 20000, false},
        {"70000", 10000, true},   {"30000", 30000, false},  {"6000", 60000, false},
        {"15000", 10000, true},   {"English", 0, false},    {"  4000 rest", 40000, false},
        {"-1000", 10000, true},   {"2000.4", 20000, false}, {"99999999999", 10000, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored);
        write(QByteArray("[Global]\nLanguage=") + c.stored + "\n");
        EXPECT_EQ(read(), c.form ? 1 : 0);
        EXPECT_EQ(strings.LanguageOffset(), c.offset);
        EXPECT_EQ(settings.languageValue, c.offset);
    }
    write("[Global]\nLanguage=70000\n");
    EXPECT_EQ(read(3), 1);
    EXPECT_EQ(strings.LanguageOffset(), 30000);
    EXPECT_EQ(settings.languageValue, 30000);
}

TEST_F(SettingsTest, NumbersConvertFromTheStartOfTheText)
{
    EXPECT_EQ(LeadingNumber("19200 baud"), 19200);
    EXPECT_EQ(LeadingNumber("baud"), 0);
    EXPECT_EQ(LeadingNumber("   -12.5x"), -12.5);
    EXPECT_EQ(LeadingNumber("1e3"), 1000);
    EXPECT_EQ(LeadingNumber("7e"), 7);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("."), 0);

    write("[Global]\nLanguage=0\nBaudrate=9600 bps\nComPort=junk\n"
          "[Clock]\nTimeSet=1\nNBTFile=/data/house.nbt\n");
    read();
    EXPECT_EQ(settings.baudRateRead, 9600);
    EXPECT_EQ(settings.baudRateInUse, 9600);
    EXPECT_EQ(settings.comPort, 0);
    EXPECT_EQ(settings.timeSet, 1);
    EXPECT_EQ(settings.nbtFile, "/data/house.nbt");

    // Values that don't fit leave the default in place.
    write("[Global]\nLanguage=0\nComPort=70000\n[Clock]\nTimeSet=300\n");
    Settings fresh;
    settings = fresh;
    read();
    EXPECT_EQ(settings.comPort, 2);
    EXPECT_EQ(settings.timeSet, 0);
}

TEST_F(SettingsTest, PathChangesTheCurrentDirectoryWhenItExists)
{
    QTemporaryDir other;
    write(QByteArray("[Global]\nLanguage=0\nPath=") + other.path().toUtf8() + "\n");
    read();
    EXPECT_EQ(QDir::currentPath(), QDir(other.path()).canonicalPath());

    write("[Global]\nLanguage=0\nPath=/no/such/folder\nComPort=4\n");
    read();
    EXPECT_EQ(QDir::currentPath(), QDir(other.path()).canonicalPath());
    EXPECT_EQ(settings.comPort, 4); // the remaining keys are still read
}

TEST_F(SettingsTest, WriteBackKeepsForeignKeysAndSections)
{
    write("[Global]\nLanguage=2000\nForeign=1\n[Project]\nLast=x.nbt\n");
    read();
    settings.baudRateInUse = 9600;
    settings.comPort = 5;
    settings.userName = QStringLiteral("Installer");
    settings.nbtFile = QStringLiteral("/data/house.nbt");
    settings.timeSet = 1;
    QDir::setCurrent(dir.path());
    WriteSettings(file, settings);
    WriteClockSettings(file, settings);

    EXPECT_EQ(file.readString("Global", "Language", "", 14), "20000");
    EXPECT_EQ(file.readString("Global", "Baudrate", "", 9), "9600");
    EXPECT_EQ(file.readString("Global", "ComPort", "", 9), "5");
    EXPECT_EQ(file.readString("Global", "Path", "", 499),
              QDir::toNativeSeparators(QDir::currentPath()));
    EXPECT_EQ(file.readString("Global", "Foreign", "", 9), "1");
    EXPECT_EQ(file.readString("Project", "Last", "", 99), "x.nbt");
    EXPECT_EQ(file.readString("User", "Name", "", 49), "Installer");
    EXPECT_EQ(file.readString("Clock", "NBTFile", "", 249), "/data/house.nbt");
    EXPECT_EQ(file.readString("Clock", "TimeSet", "", 249), "1");

    EXPECT_FALSE(StoresPath("A:\\"));
    EXPECT_FALSE(StoresPath("b:\\data"));
    EXPECT_TRUE(StoresPath("C:\\Projects"));
    EXPECT_TRUE(StoresPath("/home/user"));

    // Read back, the values come out as they went in.
    Settings again;
    ReadSettings(file, again, strings, [] { return -1; });
    ReadClockSettings(file, again);
    EXPECT_EQ(again.baudRateInUse, 9600);
    EXPECT_EQ(again.comPort, 5);
    EXPECT_EQ(again.languageValue, 20000);
}

} // namespace
