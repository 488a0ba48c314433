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
    void TearDown() override { QDir::setCurrent(startDir); }

    // Reads these settings into fresh values; returns how often the language form was shown.
    int read(const QByteArray &bytes, int choice = -1)
    {
        if (!bytes.isNull()) {
            QFile f(file.path());
            EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        }
        int shown = 0;
        settings = Settings();
        ReadSettings(file, settings, strings, [&] { return ++shown, choice; });
        ReadClockSettings(file, settings);
        return shown;
    }

    QString startDir = QDir::currentPath();
    QTemporaryDir dir;
    ProfileFile file{dir.filePath(QStringLiteral("Ventora.ini"))};
    StringTable table;
    Strings strings{table};
    Settings settings;
};

TEST_F(SettingsTest, TheLanguageIsReadFromTheStartOfItsValueOrAskedForOnce)
{
    // Closed without a choice, the form leaves Nederlands.
    for (const auto &[stored, offset, form] : QList<std::tuple<const char *, int, bool>>{
             {nullptr, 10000, true}, {"0", 0, false}, {"5", 10000, true}, {"2000", 20000, false},
             {"70000", 10000, true}, {"30000", 30000, false}, {"6000", 60000, false},
             {"15000", 10000, true}, {"English", 0, false}, {"  4000 rest", 40000, false},
             {"-1000", 10000, true}, {"2000.4", 20000, false}, {"99999999999", 10000, true}}) {
        SCOPED_TRACE(stored ? stored : "no file");
        EXPECT_EQ(read(stored ? QByteArray("[Global]\nLanguage=") + stored + "\n" : QByteArray()), form);
        EXPECT_EQ(std::pair(strings.LanguageOffset(), settings.languageValue), std::pair(offset, offset));
    }
    EXPECT_EQ(read("[Global]\nLanguage=70000\n", 3), 1);
    EXPECT_EQ(std::pair(strings.LanguageOffset(), settings.languageValue), std::pair(30000, 30000));
}

TEST_F(SettingsTest, NumbersConvertFromTheStartOfTheTextAndValuesThatDontFitKeepTheDefault)
{
    read("[Global]\nLanguage=0\nBaudrate=9600 bps\nComPort=junk\n"
         "[Clock]\nTimeSet=1\nNBTFile=/data/house.nbt\n");
    EXPECT_EQ(std::tuple(settings.baudRateRead, settings.baudRateInUse, settings.comPort,
                         settings.timeSet, settings.nbtFile),
              std::tuple(9600, 9600, 0, 1, QStringLiteral("/data/house.nbt")));
    read("[Global]\nLanguage=0\nComPort=70000\n[Clock]\nTimeSet=300\n");
    EXPECT_EQ(std::tuple(settings.baudRateInUse, settings.comPort, settings.timeSet),
              std::tuple(19200, 2, 0));
}

TEST_F(SettingsTest, WrittenBackTheyReadTheSameAndForeignKeysAndSectionsStay)
{
    read("[Global]\nLanguage=2000\nForeign=1\n[Project]\nLast=x.nbt\n");
    settings.baudRateInUse = 9600;
    settings.comPort = 5;
    settings.userName = QStringLiteral("Installer");
    settings.nbtFile = QStringLiteral("/data/house.nbt");
    settings.timeSet = 1;
    QDir::setCurrent(dir.path());
    WriteSettings(file, settings);
    WriteClockSettings(file, settings);
    for (const auto &[section, key, value] : QList<std::tuple<QString, QString, QString>>{
             {"Global", "Language", "20000"}, {"Global", "Baudrate", "9600"},
             {"Global", "ComPort", "5"}, {"Global", "Foreign", "1"}, {"Project", "Last", "x.nbt"},
             {"User", "Name", "Installer"}, {"Clock", "NBTFile", "/data/house.nbt"},
             {"Clock", "TimeSet", "1"},
             {"Global", "Path", QDir::toNativeSeparators(QDir::currentPath())}})
        EXPECT_EQ(file.readString(section, key, "", 499), value) << key.toStdString();
    // A floppy drive is not a place to come back to.
    for (const QString path : {"A:\\", "b:\\data", "C:\\Projects", "/home/user"})
        EXPECT_EQ(StoresPath(path), !path.startsWith("A:") && !path.startsWith("b:")) << path.toStdString();
}

} // namespace
