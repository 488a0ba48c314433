#include "book/SiteFolders.h"

#include "clock/ClockFile.h"
#include "clock/ClockTable.h"
#include "platform/Files.h"
#include "settings/Settings.h"
#include "project/ProjectFileReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSet>

#include <algorithm>

namespace quintara::book {

namespace {

// Anything longer is not a clock file worth keeping whole.
constexpr qint64 MaxClockFileSize = 64 * 1024;

const QString ProjectSuffix = QStringLiteral("nbt");
const QString ClockSuffix = QStringLiteral("clk");
const QString ManifestName = QStringLiteral("manifest.json");

// The clock files of one folder that belong to each of its projects.
QMap<QString, QStringList> ClockFilesByProject(const QStringList &projects,
                                               const QStringList &clocks, QStringList &orphans)
{
    QMap<QString, QStringList> owned;
    for (const QString &clock : clocks) {
        const QString base = QFileInfo(clock).completeBaseName().toLower();
        // The only project of the folder, or the one with the longest name that begins it.
        QString owner = projects.size() == 1 ? projects.front() : QString();
        qsizetype longest = -1;
        for (const QString &project : projects) {
            const QString name = QFileInfo(project).completeBaseName().toLower();
            const bool named = base == name || (base.startsWith(name) &&
                                                QStringLiteral(" -_.").contains(base[name.size()]));
            if (projects.size() > 1 && named && name.size() > longest) {
                owner = project;
                longest = name.size();
            }
        }
        if (owner.isEmpty())
            orphans << clock;
        else
            owned[owner] << clock;
    }
    return owned;
}

QString Skip(const QString &path, const QString &why)
{
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + why;
}

// The project and clock files of each folder under `folder`, folder by folder in name order, so
// that the same tree always imports the same way.
QMap<QString, QPair<QStringList, QStringList>> FilesByFolder(const QString &folder)
{
    QMap<QString, QPair<QStringList, QStringList>> folders;
    QDirIterator walk(folder, QDir::Files | QDir::Hidden | QDir::System,
                      QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        const QString path = walk.next();
        const QString suffix = walk.fileInfo().suffix().toLower();
        if (suffix == ProjectSuffix)
            folders[walk.fileInfo().path()].first << path;
        else if (suffix == ClockSuffix)
            folders[walk.fileInfo().path()].second << path;
    }
    return folders;
}

// One import under way: the site names taken so far and what came of every file.
struct FolderImport {
    SiteBook &book;
    const ImportSetup &setup;
    const settings::Settings &settings;
    ImportedFiles &imported;
    QSet<QString> names;

    // The project as a new site with `clocks` as its versions, or a skip that says why not;
    // a failure only when the book failed.
    BookOutcome addProject(const QString &projectPath, const QStringList &clocks);
    // The clock files that read as tables, as versions oldest first; each other one skipped.
    std::vector<TableVersion> readVersions(const QStringList &clocks, const QByteArray &project);
};

BookOutcome FolderImport::addProject(const QString &projectPath, const QStringList &clocks)
{
    Site site;
    site.name = QFileInfo(projectPath).completeBaseName();
    if (names.contains(site.name.toLower())) {
        imported.skipped << Skip(projectPath, QStringLiteral("another project of this "
                                                             "name came first"));
        return {};
    }
    names.insert(site.name.toLower());
    const platform::SmallFile project =
        platform::ReadRegularFile(projectPath, project::MaxProjectFileSize);
    if (!project.problem.isEmpty()) {
        imported.skipped << Skip(projectPath, project.problem);
        return {};
    }
    const project::ProjectRead read =
        project::ReadProjectData(project.bytes, settings, *setup.strings);
    if (!read.read()) {
        imported.skipped << Skip(projectPath, read.notices.empty()
                                                  ? QStringLiteral("not a project file")
                                                  : read.notices.front().text);
        return {};
    }
    site.model = read.model->ModelIndex;
    std::vector<TableVersion> versions = readVersions(clocks, project.bytes);
    const qsizetype kept = qsizetype(versions.size());
    Fetched<qint64> added = book.addSite(site, project.bytes, std::move(versions));
    if (added.status == BookStatus::SiteExists) {
        imported.skipped << Skip(projectPath, QStringLiteral("a site of this name is in "
                                                             "the book already"));
        return {};
    }
    if (!added.ok())
        return added;
    imported.sites << site.name;
    imported.versions += int(kept);
    return {};
}

std::vector<TableVersion> FolderImport::readVersions(const QStringList &clocks,
                                                     const QByteArray &project)
{
    std::vector<std::pair<QDateTime, QString>> tables;
    for (const QString &clockPath : clocks)
        tables.emplace_back(QFileInfo(clockPath).lastModified().toUTC(), clockPath);
    std::sort(tables.begin(), tables.end());
    std::vector<TableVersion> versions;
    for (const auto &[time, clockPath] : tables) {
        platform::SmallFile clockFile = platform::ReadRegularFile(clockPath, MaxClockFileSize);
        clock::ClockTable table;
        const clock::ClockFileResult parsed = clock::ReadClockImage(table, clockFile.bytes);
        if (clockFile.problem.isEmpty() && !parsed.done())
            clockFile.problem = parsed.notices.empty() ? QStringLiteral("not a clock file")
                                                       : parsed.notices.front().text;
        if (!clockFile.problem.isEmpty()) {
            imported.skipped << Skip(clockPath, clockFile.problem);
            continue;
        }
        TableVersion version;
        version.time = time;
        version.user = setup.user;
        version.clockImage = clockFile.bytes.left(clock::ClockFileSize);
        if (setup.countProblems)
            version.problems = setup.countProblems(project, version.clockImage);
        versions.push_back(std::move(version));
    }
    return versions;
}

} // namespace

Fetched<ImportedFiles> ImportFolder(SiteBook &book, const QString &folder,
                                    const ImportSetup &setup)
{
    Fetched<ImportedFiles> result;
    const settings::Settings defaults;
    if (!QFileInfo(folder).isDir())
        return Failed<ImportedFiles>(BookOutcome{
            {BookStatus::CannotOpen,
             {platform::SystemFailureNotice(
                 platform::FileFailure(folder, QStringLiteral("This is not a folder.")))}}});

    FolderImport run{book, setup, setup.settings ? *setup.settings : defaults, result.value, {}};
    QMap<QString, QPair<QStringList, QStringList>> folders = FilesByFolder(folder);
    for (auto &[projects, clocks] : folders) {
        projects.sort();
        QStringList orphans;
        const QMap<QString, QStringList> owned = ClockFilesByProject(projects, clocks, orphans);
        for (const QString &orphan : std::as_const(orphans))
            result.value.skipped << Skip(orphan, QStringLiteral("belongs to no project file"));
        for (const QString &projectPath : std::as_const(projects)) {
            if (BookOutcome added = run.addProject(projectPath, owned.value(projectPath));
                !added.ok())
                return Failed<ImportedFiles>(std::move(added));
        }
    }
    return result;
}

namespace {

// A site's name as a folder and file name on any system: no separators, no characters other
// systems refuse, no leading dot.
QString SafeFileName(const QString &name)
{
    QString safe;
    for (const QChar c : name)
        safe += (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c)) ? QChar(u'_') : c;
    while (safe.startsWith(QLatin1Char('.')) || safe.startsWith(QLatin1Char(' ')))
        safe.remove(0, 1);
    while (safe.endsWith(QLatin1Char('.')) || safe.endsWith(QLatin1Char(' ')))
        safe.chop(1);
    return safe.isEmpty() ? QStringLiteral("site") : safe;
}

QJsonObject SiteJson(const Site &site)
{
    const SiteConnection &c = site.connection;
    return {{QStringLiteral("name"), site.name},
            {QStringLiteral("customer"), site.customer},
            {QStringLiteral("address"), site.address},
            {QStringLiteral("phone"), site.phone},
            {QStringLiteral("notes"), site.notes},
            {QStringLiteral("model"), site.model ? QJsonValue(*site.model) : QJsonValue()},
            {QStringLiteral("tags"), QJsonArray::fromStringList(site.tags)},
            {QStringLiteral("location"), site.location},
            {QStringLiteral("connection"),
             QJsonObject{{QStringLiteral("port"), c.port},
                         {QStringLiteral("baudRate"), c.baudRate},
                         {QStringLiteral("modem"), c.modem},
                         {QStringLiteral("telephoneNumber"), c.telephoneNumber},
                         {QStringLiteral("initString"), c.initString},
                         {QStringLiteral("callBack"), c.callBack}}}};
}

// Why a file of the export could not be written.
BookOutcome WriteFailure(const QString &path, const QString &reason)
{
    return BookOutcome{
        {BookStatus::Failed, {platform::SystemFailureNotice(platform::FileFailure(path, reason))}}};
}

// The export's folder: writes files into it and lists those it wrote.
class ExportFolder {
public:
    ExportFolder(const QString &folder, QStringList &written) : m_root(folder), m_written(written)
    {
    }

    // The file at `relative`, modified at `time` when that is valid.
    BookOutcome write(const QString &relative, const QByteArray &bytes, const QDateTime &time = {})
    {
        const QString path = m_root.filePath(relative);
        if (!QDir().mkpath(QFileInfo(path).path()))
            return WriteFailure(path, QStringLiteral("Cannot make the folder."));
        if (const auto failure = platform::WriteWholeFile(path, bytes))
            return WriteFailure(path, failure->reason.isEmpty()
                                          ? QStringLiteral("Cannot write the file.")
                                          : failure->reason);
        if (time.isValid()) {
            QFile file(path);
            if (file.open(QIODevice::ReadWrite))
                file.setFileTime(time, QFileDevice::FileModificationTime);
        }
        m_written << relative;
        return {};
    }

private:
    QDir m_root;
    QStringList &m_written;
};

// A version's clock file (and trace) named after `stem`, and its entry in the manifest.
Fetched<QJsonObject> ExportVersion(ExportFolder &out, const TableVersion &version,
                                   const QString &stem)
{
    const QString clockFile = stem + QStringLiteral(".clk");
    if (BookOutcome written = out.write(clockFile, version.clockImage, version.time);
        !written.ok())
        return Failed<QJsonObject>(std::move(written));
    Fetched<QJsonObject> result;
    QJsonObject &entry = result.value;
    entry = {{QStringLiteral("number"), version.number},
             {QStringLiteral("time"), version.time.toString(Qt::ISODateWithMs)},
             {QStringLiteral("user"), version.user},
             {QStringLiteral("event"), EventName(version.event)},
             {QStringLiteral("outcome"), version.outcome},
             {QStringLiteral("file"), clockFile},
             {QStringLiteral("projectSha256"), QString::fromLatin1(version.projectSha256)}};
    if (version.restoredFrom != 0)
        entry.insert(QStringLiteral("restoredFrom"), version.restoredFrom);
    if (!version.detail.isEmpty())
        entry.insert(QStringLiteral("differingLines"), version.detail);
    if (!version.trace.isEmpty()) {
        const QString trace = stem + QStringLiteral(".trace.txt");
        if (BookOutcome written = out.write(trace, version.trace.toUtf8(), version.time);
            !written.ok())
            return Failed<QJsonObject>(std::move(written));
        entry.insert(QStringLiteral("trace"), trace);
    }
    return result;
}

// A site's project file and versions in its folder `base`, and its entry in the manifest.
Fetched<QJsonObject> ExportSite(const SiteBook &book, ExportFolder &out, const Site &site,
                                const QString &base)
{
    Fetched<QJsonObject> result;
    QJsonObject &entry = result.value;
    entry = SiteJson(site);
    entry.insert(QStringLiteral("folder"), base);
    Fetched<QByteArray> project = book.project(site.id);
    if (!project.ok())
        return Failed<QJsonObject>(std::move(project));
    if (!project.value.isEmpty()) {
        const QString file = base + QLatin1Char('/') + base + QStringLiteral(".nbt");
        if (BookOutcome written = out.write(file, project.value); !written.ok())
            return Failed<QJsonObject>(std::move(written));
        entry.insert(QStringLiteral("project"), file);
    }
    Fetched<std::vector<TableVersion>> history = book.history(site.id, true);
    if (!history.ok())
        return Failed<QJsonObject>(std::move(history));
    QJsonArray versions;
    for (const TableVersion &version : history.value) {
        const QString stem =
            base + QLatin1Char('/') + base + QStringLiteral("-v%1").arg(version.number, 4, 10,
                                                                       QLatin1Char('0'));
        Fetched<QJsonObject> exported = ExportVersion(out, version, stem);
        if (!exported.ok())
            return exported;
        versions.append(exported.value);
    }
    entry.insert(QStringLiteral("versions"), versions);
    return result;
}

} // namespace

Fetched<ExportedFiles> ExportSites(const SiteBook &book, const QString &folder,
                                   const QStringList &names)
{
    Fetched<ExportedFiles> result;
    ExportedFiles &exported = result.value;
    QStringList chosen = names;
    if (chosen.isEmpty()) {
        Fetched<std::vector<SiteSummary>> all = book.sites();
        if (!all.ok())
            return Failed<ExportedFiles>(std::move(all));
        for (const SiteSummary &summary : all.value)
            chosen << summary.name;
    }
    if (!QDir(folder).mkpath(QStringLiteral(".")))
        return Failed<ExportedFiles>(WriteFailure(folder, QStringLiteral("Cannot make the folder.")));

    ExportFolder out(folder, exported.files);
    QJsonArray sites;
    QSet<QString> folders;
    for (const QString &name : std::as_const(chosen)) {
        Fetched<Site> site = book.site(name);
        if (!site.ok())
            return Failed<ExportedFiles>(std::move(site));
        QString base = SafeFileName(name);
        if (folders.contains(base.toLower()))
            base += QStringLiteral("-%1").arg(site.value.id);
        folders.insert(base.toLower());
        Fetched<QJsonObject> entry = ExportSite(book, out, site.value, base);
        if (!entry.ok())
            return Failed<ExportedFiles>(std::move(entry));
        sites.append(entry.value);
        exported.sites << name;
    }
    const QJsonObject manifest{{QStringLiteral("format"), QStringLiteral("quintara-site-book")},
                               {QStringLiteral("formatVersion"), 1},
                               {QStringLiteral("sites"), sites}};
    if (BookOutcome written = out.write(ManifestName, QJsonDocument(manifest).toJson());
        !written.ok())
        return Failed<ExportedFiles>(std::move(written));
    return result;
}

} // namespace quintara::book
