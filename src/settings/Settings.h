#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

namespace quintara::settings {

class ProfileFile;
class Strings;

// The program's lasting settings, read once at start-up and written once at the end.
struct Settings {
    // The language to be saved, as an offset (0, 10000, ... 60000). The offset in force lives
    // in Strings; both change together when the user picks a language.
    qint32 languageValue = 10000;
    qint32 baudRateRead = 19200;
    // What the communication dialog shows and changes, the link opens with, and is saved.
    qint32 baudRateInUse = 19200;
    qint16 comPort = 2;
    QString userName;
    QString userAdres1;
    QString userAdres2;
    // Full path of the project file last read; empty when none.
    QString nbtFile;
    // 1 = set the central unit's clock from this computer's clock when sending.
    quint8 timeSet = 0;
};

// Asks the user for a language; returns its index 0..6, or -1 when the form was closed without one.
using LanguageChooser = std::function<int()>;

// Sections "Global" and "User". Shows the language form through chooseLanguage when no valid
// language is stored, and sets the language offset in force.
void ReadSettings(const ProfileFile &file, Settings &settings, Strings &strings,
                  const LanguageChooser &chooseLanguage);
// Section "Clock".
void ReadClockSettings(const ProfileFile &file, Settings &settings);
void WriteSettings(ProfileFile &file, const Settings &settings);
void WriteClockSettings(ProfileFile &file, const Settings &settings);

// Converts a decimal number from the start of the text the way the stored settings expect:
// leading blanks skipped, stops at the first character that can't continue the number, a
// fraction rounded, no number at all gives 0.
double LeadingNumber(const QString &text);

// Values kept for one project file, each in the project's own section of the settings file
// (named after a digest of the file's absolute path, which no key could hold as it is); the
// section names the file too, for whoever reads the settings file. Read at most maxChars
// characters; empty when the project or the key has none.
QString ReadProjectValue(const ProfileFile &file, const QString &projectFile, const QString &key,
                         int maxChars);
// An empty value clears it. False when there is no project file or the file can't be written.
bool WriteProjectValue(ProfileFile &file, const QString &projectFile, const QString &key,
                       const QString &value);

// Whether the current directory is worth storing as "Path": not one on floppy drive A: or B:.
bool StoresPath(const QString &currentDirectory);

} // namespace quintara::settings
