#include "tools/cli/SitesCommand.h"

#include "tools/cli/CommandLine.h"
#include "tools/cli/Commands.h"
#include "tools/cli/JsonOutput.h"
#include "tools/cli/SignalStop.h"

#include "book/Batch.h"
#include "book/LinkWork.h"
#include "book/SiteBook.h"
#include "book/SiteFolders.h"
#include "clock/ClockFile.h"
#include "clock/ClockTable.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "presentation/BatchReport.h"
#include "presentation/BatchSetup.h"
#include "presentation/SiteHealth.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "settings/Strings.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonObject>
#include <QTextStream>

#include <cstdio>
#include <optional>

namespace quintara::cli {

namespace {

const QString SitesUsage = QStringLiteral(
    "Usage: quintara-cli sites COMMAND [options]\n"
    "\n"
    "Commands:\n"
    "  import FOLDER                 every project file under FOLDER becomes a site, its clock\n"
    "                                files its versions\n"
    "  list [--search TEXT] [--tag T] [--model M] [--not-verified-since YYYY-MM-DD] [--problems]\n"
    "  set NAME [--port N|DEVICE|URL] [--baud B] [--modem --phone P [--init S] [--call-back]]\n"
    "           [--customer C] [--address A] [--notes N] [--tag T]...\n"
    "  history NAME                  every version of the site's clock table, oldest first\n"
    "  restore NAME N -o OUT.clk     version N as a clock file (and as the site's table)\n"
    "  export DIR [NAME...]          the sites as project and clock files with manifest.json\n"
    "  check|backup|send [--verify] NAME...|--all|--tag T\n"
    "                                the health check, a receive into a new version, or a send\n"
    "                                (and read back) for many sites; --resume goes on with the\n"
    "                                last batch that was stopped; --report FILE.csv writes\n"
    "                                the outcome of every site\n"
    "\n"
    "Every command takes --database URL (sqlite:PATH or\n"
    "postgresql://USER@HOST:PORT/DBNAME[?sslmode=MODE]; the user's own book by default; leave the\n"
    "password to PGPASSWORD or ~/.pgpass) and --json (the machine form).\n");

void PrintError(const QString &text)
{
    std::fputs(text.toUtf8().append('\n').constData(), stderr);
    std::fflush(stderr);
}

int Mistake(const QString &text)
{
    PrintError(QStringLiteral("quintara-cli sites: %1\nTry 'quintara-cli sites --help'.").arg(text));
    return ExitUsage;
}

// What a book operation had to say, on standard error; whether it was done.
bool Said(const book::BookOutcome &outcome)
{
    for (const platform::Notice &notice : outcome.notices)
        PrintError(notice.text);
    return outcome.ok();
}

QJsonValue TimeJson(const QDateTime &time)
{
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODate)) : QJsonValue();
}

struct SitesOptions {
    QCommandLineOption database{QStringLiteral("database"), QStringLiteral("The site book."),
                                QStringLiteral("URL")};
    QCommandLineOption json{QStringLiteral("json"), QStringLiteral("The machine form.")};
    QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("The clock file written."), QStringLiteral("FILE")};
    QCommandLineOption search{QStringLiteral("search"), QStringLiteral("In name, customer, address."),
                              QStringLiteral("TEXT")};
    QCommandLineOption tag{QStringLiteral("tag"), QStringLiteral("A tag."), QStringLiteral("T")};
    QCommandLineOption model{QStringLiteral("model"), QStringLiteral("The unit's model."),
                             QStringLiteral("M")};
    QCommandLineOption notVerifiedSince{QStringLiteral("not-verified-since"),
                                        QStringLiteral("Not verified since the day."),
                                        QStringLiteral("YYYY-MM-DD")};
    QCommandLineOption problems{QStringLiteral("problems"), QStringLiteral("With health problems.")};
    QCommandLineOption port{QStringLiteral("port"), QStringLiteral("Port number, device or URL."),
                            QStringLiteral("PORT")};
    QCommandLineOption baud{QStringLiteral("baud"), QStringLiteral("Baud rate."),
                            QStringLiteral("B")};
    QCommandLineOption modem{QStringLiteral("modem"), QStringLiteral("Reached by modem.")};
    QCommandLineOption phone{QStringLiteral("phone"), QStringLiteral("The unit's number."),
                             QStringLiteral("P")};
    QCommandLineOption init{QStringLiteral("init"), QStringLiteral("The modem's init string."),
                            QStringLiteral("S")};
    QCommandLineOption callBack{QStringLiteral("call-back"), QStringLiteral("The unit calls back.")};
    QCommandLineOption customer{QStringLiteral("customer"), QStringLiteral("Customer."),
                                QStringLiteral("C")};
    QCommandLineOption address{QStringLiteral("address"), QStringLiteral("Address."),
                               QStringLiteral("A")};
    QCommandLineOption notes{QStringLiteral("notes"), QStringLiteral("Notes."), QStringLiteral("N")};
    QCommandLineOption verify{QStringLiteral("verify"), QStringLiteral("Read back and compare.")};
    QCommandLineOption all{QStringLiteral("all"), QStringLiteral("Every site.")};
    QCommandLineOption resume{QStringLiteral("resume"), QStringLiteral("The stopped batch.")};
    QCommandLineOption settings{QStringLiteral("settings"),
                                QStringLiteral("The settings file for port numbers."),
                                QStringLiteral("FILE")};
    QCommandLineOption report{QStringLiteral("report"),
                              QStringLiteral("A batch's report as CSV."), QStringLiteral("FILE")};
    QCommandLineOption now{QStringLiteral("now"), QStringLiteral("The time the check runs at."),
                           QStringLiteral("YYYY-MM-DDTHH:MM")};

    QList<QCommandLineOption> list() const
    {
        return {database, json,  output,   search,  tag,   model,    notVerifiedSince, problems,
                port,     baud,  modem,    phone,   init,  callBack, customer,         address,
                notes,    verify, all,     resume,  settings, report,   now};
    }
};

// One run of a sites command: the parsed line and the book it works on.
class SitesRun {
public:
    SitesRun(const QCommandLineParser &parser, const SitesOptions &options, QTextStream &out,
             const platform::Clock &clock)
        : in(parser), o(options), out(out), clock(clock)
    {
    }

    int run(const QString &command, const QStringList &arguments);

private:
    bool json() const { return in.isSet(o.json); }
    int import(const QStringList &arguments);
    int list();
    int set(const QStringList &arguments);
    int history(const QStringList &arguments);
    int restore(const QStringList &arguments);
    int exportSites(const QStringList &arguments);
    int batch(const QString &command, const QStringList &arguments);
    std::optional<std::vector<qint64>> chosenSites(const QStringList &names);
    std::optional<qint64> startBatch(book::BatchQueue &queue, book::BatchKind &kind,
                                     const QStringList &names);
    book::Fetched<book::BatchSummary> runBatch(book::BatchQueue &queue, qint64 batchId,
                                               SignalStop &interrupts, book::LinkWork &work);
    bool writeReport(const book::BatchSummary &summary);
    int reportBatch(qint64 batchId, book::BatchKind kind, const book::BatchSummary &summary);

    const QCommandLineParser &in;
    const SitesOptions &o;
    QTextStream &out;
    const platform::Clock &clock;
    settings::Strings strings{settings::StringTable::builtIn()};
    book::SiteBook book;
};

int SitesRun::run(const QString &command, const QStringList &arguments)
{
    book::BookLocation location = book::DefaultBookLocation();
    if (in.isSet(o.database)) {
        const book::ParsedLocation parsed = book::ParseBookLocation(in.value(o.database));
        if (!parsed.location)
            return Mistake(QStringLiteral("--database: ") + parsed.error);
        location = *parsed.location;
    }
    if (!Said(book.open(location)))
        return ExitFailed;
    if (command == QLatin1String("import"))
        return import(arguments);
    if (command == QLatin1String("list"))
        return list();
    if (command == QLatin1String("set"))
        return set(arguments);
    if (command == QLatin1String("history"))
        return history(arguments);
    if (command == QLatin1String("restore"))
        return restore(arguments);
    if (command == QLatin1String("export"))
        return exportSites(arguments);
    return batch(command, arguments);
}

int SitesRun::import(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return Mistake(QStringLiteral("'import' reads exactly one folder"));
    const settings::Settings settings;
    const book::Fetched<book::ImportedFiles> imported = book::ImportFolder(
        book, arguments.front(),
        {book::CurrentUserName(), &settings, &strings, ui::SiteProblemCounter(strings, clock)});
    if (!Said(imported))
        return ExitFailed;
    const book::ImportedFiles &files = imported.value;
    if (json()) {
        WriteJson(out, {{QStringLiteral("sites"), QJsonArray::fromStringList(files.sites)},
                        {QStringLiteral("versions"), files.versions},
                        {QStringLiteral("skipped"), QJsonArray::fromStringList(files.skipped)}});
        return ExitOk;
    }
    for (const QString &skip : files.skipped)
        out << "Skipped " << skip << '\n';
    out << "Imported " << files.sites.size() << " sites with " << files.versions
        << " clock tables\n";
    return ExitOk;
}

int SitesRun::list()
{
    book::SiteFilter filter;
    filter.text = in.value(o.search);
    filter.tag = in.value(o.tag);
    if (in.isSet(o.model)) {
        bool number = false;
        filter.model = in.value(o.model).toInt(&number);
        if (!number)
            return Mistake(QStringLiteral("--model takes a model number"));
    }
    if (in.isSet(o.notVerifiedSince)) {
        const QDate day = QDate::fromString(in.value(o.notVerifiedSince), Qt::ISODate);
        if (!day.isValid())
            return Mistake(QStringLiteral("--not-verified-since takes YYYY-MM-DD"));
        filter.notVerifiedSince = day.startOfDay(Qt::UTC);
    }
    filter.withProblems = in.isSet(o.problems);
    const book::Fetched<std::vector<book::SiteSummary>> sites = book.sites(filter);
    if (!Said(sites))
        return ExitFailed;
    QJsonArray rows;
    for (const book::SiteSummary &site : sites.value) {
        if (!json()) {
            out << site.name << '\t' << (site.model ? QString::number(*site.model) : QString())
                << "\tsent " << TimeJson(site.lastSent).toString(QStringLiteral("-"))
                << "\tverified " << TimeJson(site.lastVerified).toString(QStringLiteral("-"))
                << "\treceived " << TimeJson(site.lastReceived).toString(QStringLiteral("-"))
                << "\tproblems " << site.problems << '\n';
            continue;
        }
        rows.append(QJsonObject{
            {QStringLiteral("name"), site.name},
            {QStringLiteral("model"), site.model ? QJsonValue(*site.model) : QJsonValue()},
            {QStringLiteral("lastSent"), TimeJson(site.lastSent)},
            {QStringLiteral("lastVerified"), TimeJson(site.lastVerified)},
            {QStringLiteral("lastReceived"), TimeJson(site.lastReceived)},
            {QStringLiteral("problems"), site.problems}});
    }
    if (json())
        WriteJson(out, {{QStringLiteral("sites"), rows}});
    return ExitOk;
}

int SitesRun::set(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return Mistake(QStringLiteral("'set' changes exactly one site"));
    book::Fetched<book::Site> site = book.site(arguments.front());
    if (!Said(site))
        return ExitFailed;
    book::SiteConnection &c = site.value.connection;
    if (in.isSet(o.port))
        c.port = in.value(o.port);
    if (in.isSet(o.baud)) {
        bool number = false;
        c.baudRate = in.value(o.baud).toInt(&number);
        if (!number || c.baudRate <= 0)
            return Mistake(QStringLiteral("--baud takes a baud rate"));
    }
    if (in.isSet(o.modem) && !in.isSet(o.phone) && c.telephoneNumber.isEmpty())
        return Mistake(QStringLiteral("--modem needs --phone"));
    if (in.isSet(o.port) || in.isSet(o.modem)) {
        // A port given alone means a cable: the modem's settings stay for another day.
        c.modem = in.isSet(o.modem);
        c.callBack = c.modem && in.isSet(o.callBack);
    }
    if (in.isSet(o.phone))
        c.telephoneNumber = in.value(o.phone);
    if (in.isSet(o.init))
        c.initString = in.value(o.init);
    if (in.isSet(o.customer))
        site.value.customer = in.value(o.customer);
    if (in.isSet(o.address))
        site.value.address = in.value(o.address);
    if (in.isSet(o.notes))
        site.value.notes = in.value(o.notes);
    if (in.isSet(o.tag))
        site.value.tags = in.values(o.tag);
    if (!Said(book.updateSite(site.value)))
        return ExitFailed;
    if (!json())
        out << "Saved " << site.value.name << '\n';
    return ExitOk;
}

int SitesRun::history(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return Mistake(QStringLiteral("'history' names exactly one site"));
    const book::Fetched<book::Site> site = book.site(arguments.front());
    if (!Said(site))
        return ExitFailed;
    const book::Fetched<std::vector<book::TableVersion>> versions = book.history(site.value.id);
    if (!Said(versions))
        return ExitFailed;
    QJsonArray rows;
    for (const book::TableVersion &version : versions.value) {
        const QString event = book::EventName(version.event);
        if (!json()) {
            out << version.number << '\t' << TimeJson(version.time).toString() << '\t'
                << version.user << '\t' << event;
            if (version.restoredFrom != 0)
                out << ' ' << version.restoredFrom;
            if (!version.detail.isEmpty())
                out << "\tlines " << version.detail;
            out << "\toutcome " << version.outcome << '\n';
            continue;
        }
        rows.append(QJsonObject{{QStringLiteral("number"), version.number},
                                {QStringLiteral("time"), TimeJson(version.time)},
                                {QStringLiteral("user"), version.user},
                                {QStringLiteral("event"), event},
                                {QStringLiteral("outcome"), version.outcome}});
    }
    if (json())
        WriteJson(out, {{QStringLiteral("versions"), rows}});
    return ExitOk;
}

int SitesRun::restore(const QStringList &arguments)
{
    bool number = false;
    const int wanted = arguments.size() == 2 ? arguments[1].toInt(&number) : 0;
    if (!number || wanted <= 0)
        return Mistake(QStringLiteral("'restore' takes a site and a version number"));
    if (!in.isSet(o.output))
        return Mistake(QStringLiteral("'restore' writes the clock file -o names"));
    const QString file = in.value(o.output);
    if (const std::optional<QString> refused = RefusedOutput(file)) {
        PrintError(*refused);
        return ExitFailed;
    }
    const book::Fetched<book::Site> site = book.site(arguments.front());
    if (!Said(site))
        return ExitFailed;
    book::Fetched<book::TableVersion> version = book.version(site.value.id, wanted);
    if (!Said(version))
        return ExitFailed;
    if (const auto failure = platform::WriteWholeFile(file, version.value.clockImage)) {
        PrintError(platform::FileFailure(file, settings::WriteFailureText(strings, *failure)));
        return ExitFailed;
    }
    book::TableVersion restored = version.value;
    restored.event = book::VersionEvent::Restored;
    restored.restoredFrom = wanted;
    restored.time = clock.now().toUTC();
    restored.user = book::CurrentUserName();
    restored.outcome = 0;
    restored.detail.clear();
    restored.trace.clear();
    const book::Fetched<QByteArray> project = book.project(site.value.id);
    restored.problems =
        ui::SiteProblemCounter(strings, clock)(project.value, restored.clockImage);
    const book::Fetched<int> kept = book.addVersion(site.value.id, restored);
    if (!Said(kept))
        return ExitFailed;
    if (!json())
        out << "Restored version " << wanted << " of " << site.value.name << " into " << file
            << " (version " << kept.value << ")\n";
    return ExitOk;
}

int SitesRun::exportSites(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return Mistake(QStringLiteral("'export' writes to the folder it names"));
    const book::Fetched<book::ExportedFiles> exported =
        book::ExportSites(book, arguments.front(), arguments.mid(1));
    if (!Said(exported))
        return ExitFailed;
    if (json())
        WriteJson(out, {{QStringLiteral("sites"), QJsonArray::fromStringList(exported.value.sites)},
                        {QStringLiteral("files"), QJsonArray::fromStringList(exported.value.files)}});
    else
        out << "Exported " << exported.value.sites.size() << " sites into " << arguments.front()
            << '\n';
    return ExitOk;
}

// The sites a batch works on: those named, or those the filter options choose.
std::optional<std::vector<qint64>> SitesRun::chosenSites(const QStringList &names)
{
    std::vector<qint64> ids;
    if (in.isSet(o.all) || in.isSet(o.tag)) {
        book::SiteFilter filter;
        filter.tag = in.value(o.tag);
        const book::Fetched<std::vector<book::SiteSummary>> sites = book.sites(filter);
        if (!Said(sites))
            return std::nullopt;
        for (const book::SiteSummary &site : sites.value)
            ids.push_back(site.id);
        return ids;
    }
    for (const QString &name : names) {
        const book::Fetched<book::Site> site = book.site(name);
        if (!Said(site))
            return std::nullopt;
        ids.push_back(site.value.id);
    }
    return ids;
}

// The batch to work on: the one stopped before its end (whose kind it is), or a new one of the
// sites chosen. Nothing when there is none; what went wrong is said.
std::optional<qint64> SitesRun::startBatch(book::BatchQueue &queue, book::BatchKind &kind,
                                           const QStringList &names)
{
    if (in.isSet(o.resume)) {
        const book::Fetched<std::optional<ui::BatchStart>> stopped = ui::StoppedBatch(queue);
        if (!Said(stopped))
            return std::nullopt;
        if (!stopped.value) {
            PrintError(QStringLiteral("No batch was stopped before its end."));
            return std::nullopt;
        }
        kind = stopped.value->kind;
        return stopped.value->batchId;
    }
    const std::optional<std::vector<qint64>> sites = chosenSites(names);
    if (!sites)
        return std::nullopt;
    const book::Fetched<ui::BatchStart> created = ui::NewBatch(queue, kind, *sites, clock);
    if (!Said(created))
        return std::nullopt;
    return created.value.batchId;
}

// Works through the batch, telling on standard error which site is at what.
book::Fetched<book::BatchSummary> SitesRun::runBatch(book::BatchQueue &queue, qint64 batchId,
                                                     SignalStop &interrupts, book::LinkWork &work)
{
    QString site;
    work.progressText = [&site](const QString &text) {
        if (!text.contains(QLatin1Char('%')))
            PrintError(QStringLiteral("  %1: %2").arg(site, text));
    };
    book::BatchProgress progress;
    progress.siteBegins = [&site](const book::BatchItem &item, int done, int total) {
        site = item.siteName;
        PrintError(QStringLiteral("[%1/%2] %3").arg(done + 1).arg(total).arg(item.siteName));
    };
    progress.siteEnded = [](const book::BatchItem &item, int, int) {
        PrintError(QStringLiteral("  %1: %2").arg(item.siteName, item.message));
    };
    book::Fetched<book::BatchSummary> summary = book::RunBatch(
        book, queue, batchId, work, clock, progress, [&interrupts] { return interrupts.caught() != 0; });
    work.progressText = nullptr;
    return summary;
}

// The report --report asks for; whether it was written (or not asked for).
bool SitesRun::writeReport(const book::BatchSummary &summary)
{
    if (!in.isSet(o.report))
        return true;
    const QString file = in.value(o.report);
    if (const auto failure = platform::WriteWholeFile(file, ui::BatchReportCsv(summary).toUtf8())) {
        PrintError(platform::FileFailure(file, settings::WriteFailureText(strings, *failure)));
        return false;
    }
    return true;
}

// Every site's outcome on standard output; ExitOk when every site was done.
int SitesRun::reportBatch(qint64 batchId, book::BatchKind kind, const book::BatchSummary &summary)
{
    QJsonArray rows;
    int done = 0;
    for (const book::BatchItem &item : summary.items) {
        done += item.state == book::ItemState::Done ? 1 : 0;
        if (json()) {
            rows.append(QJsonObject{{QStringLiteral("name"), item.siteName},
                                    {QStringLiteral("state"), book::ItemStateName(item.state)},
                                    {QStringLiteral("outcome"), item.outcome},
                                    {QStringLiteral("message"), item.message},
                                    {QStringLiteral("version"), item.version}});
        } else {
            out << item.siteName << '\t' << book::ItemStateName(item.state) << '\t'
                << item.outcome << '\t' << QString(item.message).replace('\n', ' ') << '\n';
        }
    }
    const qsizetype total = qsizetype(summary.items.size());
    if (json())
        WriteJson(out, {{QStringLiteral("batch"), batchId},
                        {QStringLiteral("kind"), book::BatchKindName(kind)},
                        {QStringLiteral("sites"), rows},
                        {QStringLiteral("stopped"), summary.stopped}});
    else
        out << done << " of " << total << " sites done" << '\n';
    return done == total ? ExitOk : ExitFailed;
}

int SitesRun::batch(const QString &command, const QStringList &arguments)
{
    book::BatchKind kind = command == QLatin1String("check")    ? book::BatchKind::Check
                           : command == QLatin1String("backup") ? book::BatchKind::Backup
                           : in.isSet(o.verify)                 ? book::BatchKind::SendVerify
                                                                : book::BatchKind::Send;
    const int choices = int(!arguments.isEmpty()) + int(in.isSet(o.all)) + int(in.isSet(o.tag)) +
                        int(in.isSet(o.resume));
    if (choices != 1)
        return Mistake(QStringLiteral("'%1' takes site names, --all, --tag T or --resume")
                           .arg(command));
    // A report that could not be written is said before any unit is reached.
    if (in.isSet(o.report)) {
        if (const std::optional<QString> refused = RefusedOutput(in.value(o.report))) {
            PrintError(*refused);
            return ExitFailed;
        }
    }
    book::BatchQueue queue(book, book::BatchQueue::ThisWorker());
    const std::optional<qint64> batchId = startBatch(queue, kind, arguments);
    if (!batchId)
        return ExitFailed;

    const QString settingsFile =
        in.isSet(o.settings) ? in.value(o.settings) : settings::DefaultSettingsPath();
    book::LinkWork work = ui::BatchLinkWork(strings, clock, settingsFile);
    SignalStop interrupts([&work] { work.requestStop(); });
    const book::Fetched<book::BatchSummary> summary = runBatch(queue, *batchId, interrupts, work);
    if (!Said(summary) || !writeReport(summary.value))
        return ExitFailed;
    const int status = reportBatch(*batchId, kind, summary.value);
    if (interrupts.caught())
        return interrupts.exitStatus();
    return status;
}

const QStringList SitesCommands{"import", "list",  "set",    "history", "restore",
                                "export", "check", "backup", "send"};

} // namespace

int RunSites(const QStringList &arguments, const platform::Clock &clock, QTextStream &out)
{
    SitesOptions options;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(options.list());
    const QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("This text.")};
    parser.addOption(help);
    if (!parser.parse(arguments))
        return Mistake(parser.errorText());
    if (parser.isSet(help)) {
        out << SitesUsage;
        return ExitOk;
    }
    std::optional<platform::FixedClock> fixed;
    if (parser.isSet(options.now)) {
        const QDateTime now = QDateTime::fromString(parser.value(options.now), Qt::ISODate);
        if (!now.isValid())
            return Mistake(QStringLiteral("--now takes YYYY-MM-DDTHH:MM"));
        fixed.emplace(now);
    }
    const QStringList positional = parser.positionalArguments();
    // The first is "sites".
    if (positional.size() < 2 || !SitesCommands.contains(positional[1]))
        return Mistake(positional.size() < 2 ? QStringLiteral("which command?")
                                             : QStringLiteral("no command '%1'").arg(positional[1]));
    SitesRun run(parser, options, out, fixed ? *fixed : clock);
    return run.run(positional[1], positional.mid(2));
}

} // namespace quintara::cli
