#include "platform/EventPump.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "settings/Strings.h"
#include "ui/FrmTaal.h"
#include "ui/QtPrompter.h"

#include <QApplication>
#include <QCommandLineParser>

using namespace quintara;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quintara"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"),
        QStringLiteral("Settings file to use instead of %1.").arg(settings::DefaultSettingsPath()),
        QStringLiteral("file"));
    parser.addOption(settingsOption);
    parser.process(app);

    ui::QtPrompter prompter;
    settings::Strings strings(settings::StringTable::builtIn(), prompter);
    settings::ProfileFile profile(parser.isSet(settingsOption) ? parser.value(settingsOption)
                                                               : settings::DefaultSettingsPath());
    settings::Settings values;
    settings::ReadSettings(profile, values, strings, [] { return ui::FrmTaal::Choose(); });
    settings::ReadClockSettings(profile, values);

    settings::WriteSettings(profile, values);
    settings::WriteClockSettings(profile, values);
    return 0;
}
