// The projects sites use and the versions of their clock tables.

#include "book/SiteBook.h"

#include "book/BookSql.h"

#include <QCryptographicHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace quintara::book {

using namespace sql;

namespace {

QByteArray Sha256Hex(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// The id of the stored project with these bytes, storing them first when they are new; part of
// the caller's transaction.
std::optional<qint64> StoredProject(const QSqlDatabase &db, const QByteArray &content,
                                    QSqlError &error)
{
    const QString sha = QString::fromLatin1(Sha256Hex(content));
    QSqlQuery find = Prepared(db, QStringLiteral("SELECT id FROM projects WHERE sha256 = ?"), {sha});
    if (!find.exec()) {
        error = find.lastError();
        return std::nullopt;
    }
    if (find.next()) {
        const qint64 id = find.value(0).toLongLong();
        find.finish();
        return id;
    }
    QSqlQuery insert = Prepared(
        db, QStringLiteral("INSERT INTO projects (sha256, content) VALUES (?, ?) RETURNING id"),
        {sha, content});
    if (!insert.exec() || !insert.next()) {
        error = insert.lastError();
        return std::nullopt;
    }
    const qint64 id = insert.value(0).toLongLong();
    insert.finish();
    return id;
}

// The site's columns a new version stamps with its time, as "SET" assignments.
QString Stamps(const TableVersion &version)
{
    // A transfer that failed stamps nothing: the list says when the unit last got the table
    // (which a failed verify shows it did).
    const bool reached = version.outcome == 0 || version.event == VersionEvent::VerifyFailed;
    switch (reached ? version.event : VersionEvent::Saved) {
    case VersionEvent::Verified:
        return QStringLiteral(", last_sent = ?, last_verified = ?");
    case VersionEvent::Sent:
    case VersionEvent::VerifyFailed:
        return QStringLiteral(", last_sent = ?");
    case VersionEvent::Received:
        return QStringLiteral(", last_received = ?");
    default:
        return {};
    }
}

} // namespace

BookOutcome SiteBook::assignProject(qint64 siteId, const QByteArray &projectFile)
{
    QSqlError error;
    const std::optional<qint64> projectId = StoredProject(m_db, projectFile, error);
    if (!projectId)
        return queryFailure(error);
    QSqlQuery update = Prepared(
        m_db, QStringLiteral("UPDATE sites SET project_id = ? WHERE id = ?"), {*projectId, siteId});
    if (!update.exec())
        return queryFailure(update.lastError());
    if (update.numRowsAffected() != 1)
        return failure(BookStatus::NoSuchSite, QStringLiteral("The site is no longer in the book."));
    return {};
}

BookOutcome SiteBook::setProject(qint64 siteId, const QByteArray &projectFile)
{
    Transaction transaction(m_db);
    if (!transaction.begun())
        return queryFailure(transaction.error());
    if (BookOutcome assigned = assignProject(siteId, projectFile); !assigned.ok())
        return assigned;
    if (!transaction.commit())
        return queryFailure(transaction.error());
    return {};
}

Fetched<QByteArray> SiteBook::project(qint64 siteId) const
{
    QSqlQuery query = Prepared(m_db,
                               QStringLiteral("SELECT p.content FROM sites s JOIN projects p ON "
                                              "p.id = s.project_id WHERE s.id = ?"),
                               {siteId});
    if (!query.exec())
        return Failed<QByteArray>(queryFailure(query.lastError()));
    Fetched<QByteArray> result;
    if (query.next())
        result.value = query.value(0).toByteArray();
    return result;
}

Fetched<QByteArray> SiteBook::projectBySha256(const QByteArray &sha256) const
{
    QSqlQuery query = Prepared(
        m_db, QStringLiteral("SELECT content FROM projects WHERE sha256 = ?"),
        {QString::fromLatin1(sha256)});
    if (!query.exec())
        return Failed<QByteArray>(queryFailure(query.lastError()));
    if (!query.next())
        return Failed<QByteArray>(failure(BookStatus::NoSuchVersion,
                                          QStringLiteral("No project has the content %1.")
                                              .arg(QString::fromLatin1(sha256))));
    Fetched<QByteArray> result;
    result.value = query.value(0).toByteArray();
    return result;
}

Fetched<int> SiteBook::insertVersion(qint64 siteId, TableVersion version,
                                      std::optional<int> basedOn)
{
    // A version always says when: the moment it was kept, when the caller did not say.
    if (!version.time.isValid())
        version.time = QDateTime::currentDateTimeUtc();
    // Counting up the site's own row serialises two writers of one site on either database.
    const QString stamps = Stamps(version);
    const QString at = TimeText(version.time);
    QSqlQuery number(m_db);
    number.prepare(QStringLiteral("UPDATE sites SET last_version = last_version + 1, problems = ?"
                                  "%1 WHERE id = ?%2 RETURNING last_version, project_id")
                       .arg(stamps, basedOn ? QStringLiteral(" AND last_version = ?") : QString()));
    number.addBindValue(version.problems);
    for (int i = 0; i < stamps.count(QLatin1Char('?')); ++i)
        number.addBindValue(at);
    number.addBindValue(siteId);
    if (basedOn)
        number.addBindValue(*basedOn);
    if (!number.exec())
        return Failed<int>(queryFailure(number.lastError()));
    if (!number.next()) {
        if (basedOn && tableInForce(siteId).ok())
            return Failed<int>(failure(BookStatus::Conflict,
                                       QStringLiteral("Someone else kept a newer version of this "
                                                      "site's table since version %1.")
                                           .arg(*basedOn)));
        return Failed<int>(
            failure(BookStatus::NoSuchSite, QStringLiteral("The site is no longer in the book.")));
    }
    version.number = number.value(0).toInt();
    const QVariant projectId = number.value(1);
    number.finish();
    QSqlQuery insert = Prepared(
        m_db,
        QStringLiteral("INSERT INTO versions (site_id, number, at, os_user, event, outcome, "
                       "restored_from, detail, trace, clock, project_id) VALUES (?, ?, ?, ?, ?, ?, "
                       "?, ?, ?, ?, ?)"),
        {siteId, version.number, at, Text(version.user), EventName(version.event),
         version.outcome, version.restoredFrom, Text(version.detail), Text(version.trace),
         version.clockImage, projectId});
    if (!insert.exec())
        return Failed<int>(queryFailure(insert.lastError()));
    Fetched<int> result;
    result.value = version.number;
    return result;
}

Fetched<int> SiteBook::addVersion(qint64 siteId, TableVersion version, std::optional<int> basedOn)
{
    Transaction transaction(m_db);
    if (!transaction.begun())
        return Failed<int>(queryFailure(transaction.error()));
    Fetched<int> kept = insertVersion(siteId, std::move(version), basedOn);
    if (kept.ok() && !transaction.commit())
        return Failed<int>(queryFailure(transaction.error()));
    return kept;
}

namespace {

const QString VersionFields = QStringLiteral(
    "v.number, v.at, v.os_user, v.event, v.outcome, v.restored_from, v.detail, p.sha256");

TableVersion VersionFromRow(const QSqlQuery &query, bool withContents)
{
    TableVersion version;
    version.number = query.value(0).toInt();
    version.time = TimeFromText(query.value(1));
    version.user = query.value(2).toString();
    version.event = EventFromName(query.value(3).toString()).value_or(VersionEvent::Saved);
    version.outcome = query.value(4).toInt();
    version.restoredFrom = query.value(5).toInt();
    version.detail = query.value(6).toString();
    version.projectSha256 = query.value(7).toString().toLatin1();
    if (withContents) {
        version.trace = query.value(8).toString();
        version.clockImage = query.value(9).toByteArray();
    }
    return version;
}

} // namespace

Fetched<std::vector<TableVersion>> SiteBook::history(qint64 siteId, bool withContents) const
{
    QSqlQuery query = Prepared(
        m_db,
        QStringLiteral("SELECT %1%2 FROM versions v LEFT JOIN projects p ON p.id = v.project_id "
                       "WHERE v.site_id = ? ORDER BY v.number")
            .arg(VersionFields,
                 withContents ? QStringLiteral(", v.trace, v.clock") : QString()),
        {siteId});
    if (!query.exec())
        return Failed<std::vector<TableVersion>>(queryFailure(query.lastError()));
    Fetched<std::vector<TableVersion>> result;
    while (query.next())
        result.value.push_back(VersionFromRow(query, withContents));
    return result;
}

Fetched<TableVersion> SiteBook::version(qint64 siteId, int number) const
{
    QSqlQuery query = Prepared(
        m_db,
        QStringLiteral("SELECT %1, v.trace, v.clock FROM versions v LEFT JOIN projects p ON "
                       "p.id = v.project_id WHERE v.site_id = ? AND v.number = ?")
            .arg(VersionFields),
        {siteId, number});
    if (!query.exec())
        return Failed<TableVersion>(queryFailure(query.lastError()));
    if (!query.next())
        return Failed<TableVersion>(failure(
            BookStatus::NoSuchVersion, QStringLiteral("The site has no version %1.").arg(number)));
    Fetched<TableVersion> result;
    result.value = VersionFromRow(query, true);
    return result;
}

Fetched<TableVersion> SiteBook::tableInForce(qint64 siteId) const
{
    QSqlQuery query = Prepared(
        m_db, QStringLiteral("SELECT last_version FROM sites WHERE id = ?"), {siteId});
    if (!query.exec())
        return Failed<TableVersion>(queryFailure(query.lastError()));
    if (!query.next())
        return Failed<TableVersion>(
            failure(BookStatus::NoSuchSite, QStringLiteral("The site is no longer in the book.")));
    const int number = query.value(0).toInt();
    if (number == 0)
        return {};
    return version(siteId, number);
}

} // namespace quintara::book
