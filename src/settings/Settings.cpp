#include "settings/Settings.h"

#include "platform/Files.h"
#include "settings/ProfileFile.h"
#include "settings/Strings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <limits>
#include <optional>

namespace quintara::settings {

namespace {

const QString Global = QStringLiteral("Global");
const QString User = QStringLiteral("User");
const QString Clock = QStringLiteral("Clock");

// A stored number that does not fit the value it feeds leaves that value as it was.
template <typename T> std::optional<T> ToWhole(double value)
{
    const double rounded = std::nearbyint(value); // halves to even, as the stored values expect
    if (!std::isfinite(rounded) || rounded < double(std::numeric_limits<T>::min()) ||
        rounded > double(std::numeric_limits<T>::max()))
        return std::nullopt;
    return static_cast<T>(rounded);
}

template <typename T>
void ReadNumber(const ProfileFile &file, const QString &section, const QString &key,
                const QString &defaultValue, int maxChars, T &target)
{
    if (const auto value =
            ToWhole<T>(LeadingNumber(file.readString(section, key, defaultValue, maxChars))))
        target = *value;
}

// The digest keeps the section name short and free of the brackets and equals signs a path
// may hold; sixteen hex digits leave no two project files of one user sharing a section.
QString ProjectSection(const QString &projectFile)
{
    const QByteArray path = QFileInfo(projectFile).absoluteFilePath().toUtf8();
    return QStringLiteral("Project ") +
           QString::fromLatin1(
               QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(16));
}

} // namespace

QString ReadProjectValue(const ProfileFile &file, const QString &projectFile, const QString &key,
                         int maxChars)
{
    if (projectFile.isEmpty())
        return {};
    return file.readString(ProjectSection(projectFile), key, QString(), maxChars);
}

bool WriteProjectValue(ProfileFile &file, const QString &projectFile, const QString &key,
                       const QString &value)
{
    if (projectFile.isEmpty())
        return false;
    const QString section = ProjectSection(projectFile);
    return file.writeString(section, QStringLiteral("File"),
                            QDir::toNativeSeparators(QFileInfo(projectFile).absoluteFilePath())) &&
           file.writeString(section, key, value);
}

double LeadingNumber(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    qsizetype digits = i - digitsStart;
    if (i < n && text[i] == u'.') {
        const qsizetype fractionStart = ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128)
            ++i;
        digits += i - fractionStart;
    }
    if (digits == 0)
        return 0;
    // An exponent only counts when digits follow it.
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        const qsizetype expDigits = j;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128)
            ++j;
        if (j > expDigits)
            i = j;
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0;
}

bool StoresPath(const QString &currentDirectory)
{
    // A floppy is gone by the next start; keep the directory stored before.
    const QChar drive = currentDirectory.isEmpty() ? QChar() : currentDirectory.front().toLower();
    return drive != u'a' && drive != u'b';
}

void ReadSettings(const ProfileFile &file, Settings &settings, Strings &strings,
                  const LanguageChooser &chooseLanguage)
{
    qint32 language = -1; // a value that does not fit asks for the language
    ReadNumber(file, Global, QStringLiteral("Language"), QStringLiteral("10"), 14, language);
    qint64 offset = language;
    // Values below 10000 hold a tenth of the offset.
    if (offset < LanguageStep) {
        const qint64 times10 = offset * 10;
        if (times10 >= std::numeric_limits<qint32>::min() &&
            times10 <= std::numeric_limits<qint32>::max())
            offset = times10;
    }
    if (!Strings::IsValidLanguageOffset(offset)) {
        offset = LanguageStep;
        const int chosen = chooseLanguage ? chooseLanguage() : -1;
        if (chosen >= 0 && chosen < LanguageCount)
            offset = qint64(chosen) * LanguageStep;
    }
    settings.languageValue = qint32(offset);
    strings.setLanguageOffset(int(offset));

    ReadNumber(file, Global, QStringLiteral("Baudrate"), QStringLiteral("19200"), 9,
               settings.baudRateRead);
    settings.baudRateInUse = settings.baudRateRead;
    ReadNumber(file, Global, QStringLiteral("ComPort"), QStringLiteral("2"), 9, settings.comPort);

    // A directory that no longer exists leaves the current one as it was.
    const QString path = file.readString(Global, QStringLiteral("Path"), QDir::currentPath(), 499);
    if (!path.isEmpty())
        QDir::setCurrent(path);

    settings.userName = file.readString(User, QStringLiteral("Name"), QString(), 49);
    settings.userAdres1 = file.readString(User, QStringLiteral("Adres1"), QString(), 49);
    settings.userAdres2 = file.readString(User, QStringLiteral("Adres2"), QString(), 49);
}

void ReadClockSettings(const ProfileFile &file, Settings &settings)
{
    settings.nbtFile = file.readString(Clock, QStringLiteral("NBTFile"), QString(), 249);
    // Here a name is bytes: one stored in another code page than the text's is found by them.
    if (!settings.nbtFile.isEmpty() &&
        platform::KindOfPath(settings.nbtFile) == platform::PathKind::Missing) {
        const QString byBytes =
            platform::FileNameFromNative(file.readBytes(Clock, QStringLiteral("NBTFile"), 249));
        if (platform::KindOfPath(byBytes) != platform::PathKind::Missing)
            settings.nbtFile = byBytes;
    }
    ReadNumber(file, Clock, QStringLiteral("TimeSet"), QStringLiteral("0"), 249, settings.timeSet);
}

void WriteSettings(ProfileFile &file, const Settings &settings)
{
    file.writeString(Global, QStringLiteral("Language"), QString::number(settings.languageValue));
    file.writeString(Global, QStringLiteral("Baudrate"), QString::number(settings.baudRateInUse));
    file.writeString(Global, QStringLiteral("ComPort"), QString::number(settings.comPort));
    const QString current = QDir::currentPath();
    if (StoresPath(current))
        file.writeString(Global, QStringLiteral("Path"), QDir::toNativeSeparators(current));
    file.writeString(User, QStringLiteral("Name"), settings.userName);
    file.writeString(User, QStringLiteral("Adres1"), settings.userAdres1);
    file.writeString(User, QStringLiteral("Adres2"), settings.userAdres2);
}

void WriteClockSettings(ProfileFile &file, const Settings &settings)
{
    file.writeString(Clock, QStringLiteral("NBTFile"), settings.nbtFile);
    file.writeString(Clock, QStringLiteral("TimeSet"),
                     settings.timeSet ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace quintara::settings
