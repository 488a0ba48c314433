// quintara-cli: the clock file, week view, project, table set and clock table transfer of the
// program, for scripts and for reading files people send. See the README's "Command line".
#include "tools/cli/Commands.h"
#include "tools/cli/FixedClock.h"
#include "tools/cli/Session.h"
#include "tools/cli/TransferCommand.h"

#include "platform/Clock.h"
#include "project/ProjectModel.h"
#include "settings/ProfileFile.h"
#include "settings/Strings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

using namespace quintara;
using namespace quintara::cli;

namespace {

const QString Usage = QStringLiteral(
    "Usage: quintara-cli COMMAND [FILE] [options]\n"
    "\n"
    "Commands:\n"
    "  show FILE.clk [--project FILE.nbt]          the clock file's lines\n"
    "  week FILE.clk [--monday YYYY-MM-DD] [--now YYYY-MM-DDTHH:MM] [--project FILE.nbt]\n"
    "                                              what the week view computes for one week\n"
    "  project FILE.nbt                            the project's model and functions\n"
    "  tables FILE.nbt                             the table set compiled from the project\n"
    "  send FILE.clk --port N|DEVICE [--baud B] [--set-time] [--project FILE.nbt]\n"
    "                                              send the clock table to the central unit\n"
    "  receive -o FILE.clk --port N|DEVICE [--baud B] [--project FILE.nbt | --model M]\n"
    "                                              receive the clock table into a new file\n"
    "\n"
    "Every command takes --language N (0..6, texts in English by default); show, week,\n"
    "project and tables take --json. 'quintara-cli COMMAND --help' lists a command's options.\n"
    "Exit status: 0 done, 1 failed, 2 a mistake on the command line.\n");

void PrintError(const QString &text)
{
    std::fputs(text.toUtf8().append('\n').constData(), stderr);
}

int UsageError(const QString &text)
{
    PrintError(QStringLiteral("quintara-cli: ") + text);
    PrintError(QStringLiteral("Try 'quintara-cli --help'."));
    return ExitUsage;
}

QCommandLineOption Option(const QString &name, const QString &description,
                          const QString &valueName = {})
{
    return QCommandLineOption(name, description, valueName);
}

// Every option any command takes; each command's parser knows only its own.
struct Options {
    QCommandLineOption json =
        Option(QStringLiteral("json"), QStringLiteral("Machine form (JSON)."));
    QCommandLineOption language = Option(
        QStringLiteral("language"),
        QStringLiteral("Language of the texts: 0 English (default) to 6."), QStringLiteral("N"));
    QCommandLineOption project =
        Option(QStringLiteral("project"),
               QStringLiteral("Project file: function names, workdays, model, baud rate, modem."),
               QStringLiteral("FILE.nbt"));
    QCommandLineOption monday =
        Option(QStringLiteral("monday"),
               QStringLiteral("First day of the week shown (default: the current week)."),
               QStringLiteral("YYYY-MM-DD"));
    QCommandLineOption now =
        Option(QStringLiteral("now"),
               QStringLiteral("The moment taken as now (default: the system clock)."),
               QStringLiteral("YYYY-MM-DDTHH:MM"));
    QCommandLineOption port =
        Option(QStringLiteral("port"),
               QStringLiteral("Port number (mapped as by the settings file) or device."),
               QStringLiteral("N|DEVICE"));
    QCommandLineOption baud = Option(
        QStringLiteral("baud"), QStringLiteral("Baud rate (default: the project's, else 19200)."),
        QStringLiteral("B"));
    QCommandLineOption key =
        Option(QStringLiteral("key"),
               QStringLiteral("Handshake key 0..255 (default: the settings file's)."),
               QStringLiteral("K"));
    QCommandLineOption setTime = Option(
        QStringLiteral("set-time"), QStringLiteral("Also set the central unit's clock to now."));
    QCommandLineOption modem =
        Option(QStringLiteral("modem"), QStringLiteral("Connected with modem: dial first."));
    QCommandLineOption callBack =
        Option(QStringLiteral("call-back"), QStringLiteral("Call-back necessary (with --modem)."));
    QCommandLineOption init = Option(QStringLiteral("init"),
                                     QStringLiteral("Modem init string (default: the project's)."),
                                     QStringLiteral("TEXT"));
    QCommandLineOption phone =
        Option(QStringLiteral("phone"),
               QStringLiteral("Telephone number to dial (default: the project's)."),
               QStringLiteral("NUMBER"));
    QCommandLineOption settingsFile =
        Option(QStringLiteral("settings"),
               QStringLiteral("Settings file for port numbers and the key (default: %1).")
                   .arg(settings::DefaultSettingsPath()),
               QStringLiteral("FILE"));
    QCommandLineOption output =
        QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")},
                           QStringLiteral("The clock file to write."), QStringLiteral("FILE.clk"));
    QCommandLineOption model =
        Option(QStringLiteral("model"),
               QStringLiteral("Central-unit model 0..4 without a project (default 0)."),
               QStringLiteral("M"));
};

std::optional<int> IntegerIn(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quintara-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUINTARA_VERSION));

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);

    const QStringList arguments = QCoreApplication::arguments();
    const QString command = arguments.value(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        out << Usage;
        return ExitOk;
    }
    if (command == QLatin1String("--version")) {
        out << "quintara-cli " << QCoreApplication::applicationVersion() << '\n';
        return ExitOk;
    }
    const bool clockCommand = command == QLatin1String("show") || command == QLatin1String("week");
    const bool projectCommand =
        command == QLatin1String("project") || command == QLatin1String("tables");
    const bool send = command == QLatin1String("send");
    const bool receive = command == QLatin1String("receive");
    if (!clockCommand && !projectCommand && !send && !receive)
        return UsageError(command.isEmpty() ? QStringLiteral("no command")
                                            : QStringLiteral("unknown command '%1'").arg(command));

    const Options options;
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    QStringList known;
    const auto accept = [&](const QList<QCommandLineOption> &list) {
        parser.addOptions(list);
        for (const QCommandLineOption &option : list)
            known += option.names();
    };
    accept({options.language});
    if (clockCommand || projectCommand)
        accept({options.json});
    if (!projectCommand)
        accept({options.project});
    if (command == QLatin1String("week"))
        accept({options.monday, options.now});
    if (send || receive)
        accept({options.port, options.baud, options.key, options.modem, options.callBack,
                options.init, options.phone, options.settingsFile});
    if (send)
        accept({options.setTime, options.now});
    if (receive)
        accept({options.output, options.model});
    // Whether the command takes the option and it was given.
    const auto given = [&](const QCommandLineOption &option) {
        return known.contains(option.names().constFirst()) && parser.isSet(option);
    };
    parser.addPositionalArgument(command, QString(), command);
    if (!receive)
        parser.addPositionalArgument(projectCommand ? QStringLiteral("FILE.nbt")
                                                    : QStringLiteral("FILE.clk"),
                                     QStringLiteral("The file to read."));

    if (!parser.parse(arguments))
        return UsageError(parser.errorText());
    if (parser.isSet(help)) {
        out << parser.helpText();
        return ExitOk;
    }

    const QStringList files = parser.positionalArguments().mid(1);
    QString file;
    if (receive) {
        if (!files.isEmpty())
            return UsageError(QStringLiteral("'receive' writes the file given with -o"));
        if (!given(options.output))
            return UsageError(QStringLiteral("'receive' needs -o FILE.clk"));
        file = parser.value(options.output);
    } else {
        if (files.size() != 1)
            return UsageError(QStringLiteral("'%1' reads exactly one file").arg(command));
        file = files.first();
    }

    int language = 0;
    if (given(options.language)) {
        const auto chosen =
            IntegerIn(parser.value(options.language), 0, settings::LanguageCount - 1);
        if (!chosen)
            return UsageError(QStringLiteral("--language takes 0 to 6"));
        language = *chosen;
    }

    std::optional<QDate> monday;
    if (given(options.monday)) {
        monday = QDate::fromString(parser.value(options.monday), Qt::ISODate);
        if (!monday->isValid() || monday->dayOfWeek() != Qt::Monday)
            return UsageError(QStringLiteral("--monday takes the date of a Monday, YYYY-MM-DD"));
    }
    std::unique_ptr<platform::Clock> clock = std::make_unique<platform::SystemClock>();
    if (given(options.now)) {
        const QDateTime now = QDateTime::fromString(parser.value(options.now), Qt::ISODate);
        if (!now.isValid())
            return UsageError(QStringLiteral("--now takes a moment, YYYY-MM-DDTHH:MM"));
        clock = std::make_unique<FixedClock>(now);
    }

    TransferOptions transfer;
    std::optional<int> model;
    if (send || receive) {
        if (!given(options.port) || parser.value(options.port).isEmpty())
            return UsageError(QStringLiteral("'%1' needs --port N|DEVICE").arg(command));
        transfer.port = parser.value(options.port);
        if (given(options.baud)) {
            const auto baud = IntegerIn(parser.value(options.baud), 1, 4000000);
            if (!baud)
                return UsageError(QStringLiteral("--baud takes a baud rate"));
            transfer.baudRate = *baud;
        }
        if (given(options.key)) {
            const auto key = IntegerIn(parser.value(options.key), 0, 255);
            if (!key)
                return UsageError(QStringLiteral("--key takes a decimal number 0 to 255"));
            transfer.key = static_cast<quint8>(*key);
        }
        transfer.modem = given(options.modem);
        transfer.callBack = given(options.callBack);
        if (given(options.init))
            transfer.initString = parser.value(options.init);
        if (given(options.phone))
            transfer.telephoneNumber = parser.value(options.phone);
        transfer.settingsFile = given(options.settingsFile) ? parser.value(options.settingsFile)
                                                            : settings::DefaultSettingsPath();
        transfer.setTime = send && given(options.setTime);
        if (receive && given(options.model)) {
            model = IntegerIn(parser.value(options.model), 0, project::ModelCount - 1);
            if (!model)
                return UsageError(QStringLiteral("--model takes 0 to 4"));
            if (given(options.project))
                return UsageError(QStringLiteral("--model is for a receive without --project"));
        }
    }

    const OutputOptions output{given(options.json)};
    Session session(language);

    if (command == QLatin1String("project"))
        return RunProject(session, file, output, out);
    if (command == QLatin1String("tables"))
        return RunTables(session, file, output, out);

    if (given(options.project) && !session.ReadProject(parser.value(options.project)))
        return ExitFailed;
    if (model)
        session.SelectModel(*model);

    if (command == QLatin1String("show"))
        return RunShow(session, file, output, out);
    if (command == QLatin1String("week"))
        return RunWeek(session, file, monday, *clock, output, out);
    if (send)
        return RunSend(session, file, transfer, *clock, out);
    return RunReceive(session, file, transfer, *clock, out);
}
