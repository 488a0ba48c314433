// A site's own record, its tags, and the list of sites.

#include "book/SiteBook.h"

#include "book/BookSql.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace quintara::book {

using namespace sql;

namespace {

QVariant Nullable(const std::optional<int> &value)
{
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Int));
}

// LIKE's own characters in the user's text match themselves.
QString LikePattern(const QString &text)
{
    QString escaped = text.toLower();
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('%'), QLatin1String("\\%"));
    escaped.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

void BindConnection(QSqlQuery &query, const Site &site)
{
    const SiteConnection &c = site.connection;
    for (const QVariant &value :
         {Text(site.customer), Text(site.address), Text(site.phone), Text(site.notes),
          Nullable(site.model), Text(c.port), QVariant(c.baudRate), QVariant(int(c.modem)),
          Text(c.telephoneNumber), Text(c.initString), QVariant(int(c.callBack)),
          Text(site.location)})
        query.addBindValue(value);
}

const QString SiteFields = QStringLiteral(
    "customer, address, phone, notes, model, port, baud, modem, telephone, init_string, "
    "call_back, location");


// Replaces a site's tags; part of the caller's transaction.
bool WriteTags(const QSqlDatabase &db, qint64 siteId, const QStringList &tags, QSqlError &error)
{
    QSqlQuery clear = Prepared(db, QStringLiteral("DELETE FROM site_tags WHERE site_id = ?"),
                               {siteId});
    if (!clear.exec()) {
        error = clear.lastError();
        return false;
    }
    QStringList unique = tags;
    unique.removeDuplicates();
    for (const QString &tag : std::as_const(unique)) {
        QSqlQuery insert = Prepared(
            db, QStringLiteral("INSERT INTO site_tags (site_id, tag) VALUES (?, ?)"), {siteId, tag});
        if (!insert.exec()) {
            error = insert.lastError();
            return false;
        }
    }
    return true;
}

} // namespace

Fetched<qint64> SiteBook::insertSite(const Site &site)
{
    Fetched<qint64> result;
    QSqlQuery exists = Prepared(m_db, QStringLiteral("SELECT id FROM sites WHERE name = ?"),
                                {site.name});
    if (!exists.exec())
        return Failed<qint64>(queryFailure(exists.lastError()));
    if (exists.next())
        return Failed<qint64>(failure(BookStatus::SiteExists,
                                      QStringLiteral("A site named %1 is in the book already.")
                                          .arg(site.name)));
    exists.finish();
    QSqlQuery insert(m_db);
    insert.prepare(QStringLiteral("INSERT INTO sites (name, %1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, "
                                  "?, ?, ?, ?, ?) RETURNING id")
                       .arg(SiteFields));
    insert.addBindValue(site.name);
    BindConnection(insert, site);
    if (!insert.exec() || !insert.next())
        return Failed<qint64>(queryFailure(insert.lastError()));
    result.value = insert.value(0).toLongLong();
    // SQLite commits nothing while a statement is still open.
    insert.finish();
    QSqlError error;
    if (!WriteTags(m_db, result.value, site.tags, error))
        return Failed<qint64>(queryFailure(error));
    return result;
}

Fetched<qint64> SiteBook::addSite(const Site &site, const QByteArray &projectFile,
                                  std::vector<TableVersion> versions)
{
    Transaction transaction(m_db);
    if (!transaction.begun())
        return Failed<qint64>(queryFailure(transaction.error()));
    Fetched<qint64> added = insertSite(site);
    if (!added.ok())
        return added;
    if (!projectFile.isEmpty()) {
        if (BookOutcome assigned = assignProject(added.value, projectFile); !assigned.ok())
            return Failed<qint64>(std::move(assigned));
    }
    for (TableVersion &version : versions) {
        if (Fetched<int> kept = insertVersion(added.value, std::move(version)); !kept.ok())
            return Failed<qint64>(std::move(kept));
    }
    if (!transaction.commit())
        return Failed<qint64>(queryFailure(transaction.error()));
    return added;
}

Fetched<Site> SiteBook::site(const QString &name) const
{
    QSqlQuery query = Prepared(
        m_db, QStringLiteral("SELECT id, revision, %1 FROM sites WHERE name = ?").arg(SiteFields),
        {name});
    if (!query.exec())
        return Failed<Site>(queryFailure(query.lastError()));
    if (!query.next())
        return Failed<Site>(
            failure(BookStatus::NoSuchSite, QStringLiteral("No site is named %1.").arg(name)));
    Fetched<Site> result;
    Site &site = result.value;
    site.name = name;
    site.id = query.value(0).toLongLong();
    site.revision = query.value(1).toLongLong();
    site.customer = query.value(2).toString();
    site.address = query.value(3).toString();
    site.phone = query.value(4).toString();
    site.notes = query.value(5).toString();
    if (!query.value(6).isNull())
        site.model = query.value(6).toInt();
    site.connection = {query.value(7).toString(),  query.value(8).toInt(),
                       query.value(9).toBool(),    query.value(10).toString(),
                       query.value(11).toString(), query.value(12).toBool()};
    site.location = query.value(13).toString();
    QSqlQuery tags = Prepared(
        m_db, QStringLiteral("SELECT tag FROM site_tags WHERE site_id = ? ORDER BY tag"), {site.id});
    if (!tags.exec())
        return Failed<Site>(queryFailure(tags.lastError()));
    while (tags.next())
        site.tags << tags.value(0).toString();
    return result;
}

BookOutcome SiteBook::updateSite(Site &site)
{
    Transaction transaction(m_db);
    if (!transaction.begun())
        return queryFailure(transaction.error());
    QSqlQuery update(m_db);
    update.prepare(QStringLiteral("UPDATE sites SET (%1, revision) = (?, ?, ?, ?, ?, ?, ?, ?, ?, "
                                  "?, ?, ?, revision + 1) WHERE id = ? AND revision = ?")
                       .arg(SiteFields));
    BindConnection(update, site);
    update.addBindValue(site.id);
    update.addBindValue(site.revision);
    if (!update.exec())
        return queryFailure(update.lastError());
    if (update.numRowsAffected() != 1)
        return failure(BookStatus::Conflict,
                       QStringLiteral("Someone else changed the site %1 since it was read.")
                           .arg(site.name));
    QSqlError error;
    if (!WriteTags(m_db, site.id, site.tags, error))
        return queryFailure(error);
    if (!transaction.commit())
        return queryFailure(transaction.error());
    ++site.revision;
    return {};
}

Fetched<std::vector<SiteSummary>> SiteBook::sites(const SiteFilter &filter) const
{
    QString sql = QStringLiteral(
        "SELECT id, name, customer, model, last_sent, last_verified, last_received, problems "
        "FROM sites s WHERE 1 = 1");
    QVariantList values;
    if (!filter.text.isEmpty()) {
        sql += QStringLiteral(" AND (LOWER(name) LIKE ? ESCAPE '\\' OR LOWER(customer) LIKE ? "
                              "ESCAPE '\\' OR LOWER(address) LIKE ? ESCAPE '\\')");
        const QString pattern = LikePattern(filter.text);
        values << pattern << pattern << pattern;
    }
    if (!filter.tag.isEmpty()) {
        sql += QStringLiteral(
            " AND EXISTS (SELECT 1 FROM site_tags t WHERE t.site_id = s.id AND t.tag = ?)");
        values << filter.tag;
    }
    if (filter.model) {
        sql += QStringLiteral(" AND model = ?");
        values << *filter.model;
    }
    if (filter.notVerifiedSince) {
        sql += QStringLiteral(" AND (last_verified IS NULL OR last_verified < ?)");
        values << TimeText(*filter.notVerifiedSince);
    }
    if (filter.withProblems)
        sql += QStringLiteral(" AND problems > 0");
    sql += QStringLiteral(" ORDER BY name");

    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(sql);
    for (const QVariant &value : std::as_const(values))
        query.addBindValue(value);
    if (!query.exec())
        return Failed<std::vector<SiteSummary>>(queryFailure(query.lastError()));
    Fetched<std::vector<SiteSummary>> result;
    QHash<qint64, size_t> rows;
    while (query.next()) {
        SiteSummary summary;
        summary.id = query.value(0).toLongLong();
        summary.name = query.value(1).toString();
        summary.customer = query.value(2).toString();
        if (!query.value(3).isNull())
            summary.model = query.value(3).toInt();
        summary.lastSent = TimeFromText(query.value(4));
        summary.lastVerified = TimeFromText(query.value(5));
        summary.lastReceived = TimeFromText(query.value(6));
        summary.problems = query.value(7).toInt();
        rows.insert(summary.id, result.value.size());
        result.value.push_back(std::move(summary));
    }
    QSqlQuery tags(m_db);
    tags.setForwardOnly(true);
    if (!tags.exec(QStringLiteral("SELECT site_id, tag FROM site_tags ORDER BY tag")))
        return Failed<std::vector<SiteSummary>>(queryFailure(tags.lastError()));
    while (tags.next()) {
        const auto row = rows.constFind(tags.value(0).toLongLong());
        if (row != rows.constEnd())
            result.value[*row].tags << tags.value(1).toString();
    }
    return result;
}

BookOutcome SiteBook::setProblems(qint64 siteId, int problems)
{
    QSqlQuery update = Prepared(m_db, QStringLiteral("UPDATE sites SET problems = ? WHERE id = ?"),
                                {problems, siteId});
    if (!update.exec())
        return queryFailure(update.lastError());
    return {};
}

} // namespace quintara::book
