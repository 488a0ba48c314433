// Reads arbitrary bytes as the settings file, changes one key of our own and writes it back, as
// the program does at start and end: the change reads back, and the rest of the file survives.
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "settings/Strings.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quintara;
    static const QTemporaryDir dir; // one folder for the whole run
    const QString path = dir.filePath(QStringLiteral("Ventora.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }

    settings::Strings strings(settings::StringTable::builtIn());
    settings::ProfileFile profile(path);
    settings::Settings values;
    settings::ReadSettings(profile, values, strings, [] { return 0; });
    settings::ReadClockSettings(profile, values);
    const QString port = profile.readString(QStringLiteral("Global"), QStringLiteral("ComPort"),
                                            QStringLiteral("none"), 255);
    if (strings.LanguageOffset() < 0 || strings.LanguageOffset() > 60000)
        std::abort();

    if (!profile.writeString(QStringLiteral("Link"), QStringLiteral("Trace"), QStringLiteral("1")))
        return 0;
    if (profile.readString(QStringLiteral("Link"), QStringLiteral("Trace"), {}, 5) !=
        QLatin1String("1"))
        std::abort();
    if (profile.readString(QStringLiteral("Global"), QStringLiteral("ComPort"),
                           QStringLiteral("none"), 255) != port)
        std::abort();
    settings::WriteSettings(profile, values);
    settings::WriteClockSettings(profile, values);
    return 0;
}
