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

} // namespace

Fetched<ImportedFiles> ImportFolder(SiteBook &book, const QString &folder,
                                    const ImportSetup &setup)
{
    Fetched<ImportedFiles> result;
    ImportedFiles &imported = result.value;
    const settings::Settings defaults;
    if (!QFileInfo(folder).isDir())
        return Failed<ImportedFiles>(BookOutcome{
            {BookStatus::CannotOpen,
             {platform::SystemFailureNotice(
                 platform::FileFailure(folder, QStringLiteral("This is not a folder.")))}}});

    // Folder by folder, in name order, so that the same tree always imports the same way.
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

    QSet<QString> names;
    for (auto &[projects, clocks] : folders) {
        projects.sort();
        QStringList orphans;
        const QMap<QString, QStringList> owned = ClockFilesByProject(projects, clocks, orphans);
        for (const QString &orphan : std::as_const(orphans))
            imported.skipped << Skip(orphan, QStringLiteral("belongs to no project file"));

        for (const QString &projectPath : std::as_const(projects)) {
            Site site;
            site.name = QFileInfo(projectPath).completeBaseName();
            if (names.contains(site.name.toLower())) {
                imported.skipped << Skip(projectPath, QStringLiteral("another project of this "
                                                                     "name came first"));
                continue;
            }
            names.insert(site.name.toLower());
            const platform::SmallFile project =
                platform::ReadRegularFile(projectPath, project::MaxProjectFileSize);
            if (!project.problem.isEmpty()) {
                imported.skipped << Skip(projectPath, project.problem);
                continue;
            }
            const project::ProjectRead read = project::ReadProjectData(
                project.bytes, setup.settings ? *setup.settings : defaults, *setup.strings);
            if (!read.read()) {
                imported.skipped << Skip(projectPath, read.notices.empty()
                                                          ? QStringLiteral("not a project file")
                                                          : read.notices.front().text);
                continue;
            }
            site.model = read.model->ModelIndex;

            std::vector<std::pair<QDateTime, QString>> tables;
            for (const QString &clockPath : owned.value(projectPath))
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
                    version.problems = setup.countProblems(project.bytes, version.clockImage);
                versions.push_back(std::move(version));
            }
            const qsizetype kept = qsizetype(versions.size());
            Fetched<qint64> added = book.addSite(site, project.bytes, std::move(versions));
            if (added.status == BookStatus::SiteExists) {
                imported.skipped << Skip(projectPath, QStringLiteral("a site of this name is in "
                                                                     "the book already"));
                continue;
            }
            if (!added.ok())
                return Failed<ImportedFiles>(std::move(added));
            imported.sites << site.name;
            imported.versions += int(kept);
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

} // namespace

Fetched<ExportedFiles> ExportSites(const SiteBook &book, const QString &folder,
                                   const QStringList &names)
{
    Fetched<ExportedFiles> result;
    ExportedFiles &exported = result.value;
    const auto failed = [&](const QString &path, const QString &reason) {
        return Failed<ExportedFiles>(BookOutcome{
            {BookStatus::Failed,
             {platform::SystemFailureNotice(platform::FileFailure(path, reason))}}});
    };
    QStringList chosen = names;
    if (chosen.isEmpty()) {
        Fetched<std::vector<SiteSummary>> all = book.sites();
        if (!all.ok())
            return Failed<ExportedFiles>(std::move(all));
        for (const SiteSummary &summary : all.value)
            chosen << summary.name;
    }
    const QDir root(folder);
    if (!root.mkpath(QStringLiteral(".")))
        return failed(folder, QStringLiteral("Cannot make the folder."));

    const auto write = [&](const QString &relative, const QByteArray &bytes,
                           const QDateTime &time) -> std::optional<QString> {
        const QString path = root.filePath(relative);
        if (!QDir().mkpath(QFileInfo(path).path()))
            return QStringLiteral("Cannot make the folder.");
        if (const auto failure = platform::WriteWholeFile(path, bytes))
            return failure->reason.isEmpty() ? QStringLiteral("Cannot write the file.")
                                             : failure->reason;
        if (time.isValid()) {
            QFile file(path);
            if (file.open(QIODevice::ReadWrite))
                file.setFileTime(time, QFileDevice::FileModificationTime);
        }
        exported.files << relative;
        return std::nullopt;
    };

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

        QJsonObject entry = SiteJson(site.value);
        entry.insert(QStringLiteral("folder"), base);
        Fetched<QByteArray> project = book.project(site.value.id);
        if (!project.ok())
            return Failed<ExportedFiles>(std::move(project));
        if (!project.value.isEmpty()) {
            const QString file = base + QLatin1Char('/') + base + QStringLiteral(".nbt");
            if (const auto reason = write(file, project.value, {}))
                return failed(root.filePath(file), *reason);
            entry.insert(QStringLiteral("project"), file);
        }
        Fetched<std::vector<TableVersion>> history = book.history(site.value.id, true);
        if (!history.ok())
            return Failed<ExportedFiles>(std::move(history));
        QJsonArray versions;
        for (const TableVersion &version : history.value) {
            const QString stem =
                base + QLatin1Char('/') + base + QStringLiteral("-v%1").arg(version.number, 4, 10,
                                                                           QLatin1Char('0'));
            if (const auto reason = write(stem + QStringLiteral(".clk"), version.clockImage,
                                          version.time))
                return failed(root.filePath(stem + QStringLiteral(".clk")), *reason);
            QJsonObject v{{QStringLiteral("number"), version.number},
                          {QStringLiteral("time"), version.time.toString(Qt::ISODateWithMs)},
                          {QStringLiteral("user"), version.user},
                          {QStringLiteral("event"), EventName(version.event)},
                          {QStringLiteral("outcome"), version.outcome},
                          {QStringLiteral("file"), stem + QStringLiteral(".clk")},
                          {QStringLiteral("projectSha256"),
                           QString::fromLatin1(version.projectSha256)}};
            if (version.restoredFrom != 0)
                v.insert(QStringLiteral("restoredFrom"), version.restoredFrom);
            if (!version.detail.isEmpty())
                v.insert(QStringLiteral("differingLines"), version.detail);
            if (!version.trace.isEmpty()) {
                const QString trace = stem + QStringLiteral(".trace.txt");
                if (const auto reason = write(trace, version.trace.toUtf8(), version.time))
                    return failed(root.filePath(trace), *reason);
                v.insert(QStringLiteral("trace"), trace);
            }
            versions.append(v);
        }
        entry.insert(QStringLiteral("versions"), versions);
        sites.append(entry);
        exported.sites << name;
    }
    const QJsonObject manifest{{QStringLiteral("format"), QStringLiteral("quintara-site-book")},
                               {QStringLiteral("formatVersion"), 1},
                               {QStringLiteral("sites"), sites}};
    if (const auto reason = write(ManifestName, QJsonDocument(manifest).toJson(), {}))
        return failed(root.filePath(ManifestName), *reason);
    return result;
}

} // namespace quintara::book
