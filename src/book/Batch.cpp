#include "book/Batch.h"

#include "book/BookSql.h"
#include "platform/Clock.h"

#include <QSysInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <array>
#include <cerrno>

#include <signal.h>
#include <unistd.h>

namespace quintara::book {

using namespace sql;

namespace {

constexpr std::array KindNames{"check", "backup", "send", "sendVerify"};
constexpr std::array StateNames{"waiting", "working", "done", "failed"};

// A worker on another machine that has held a site this long is taken to have died: no transfer
// takes more than a few minutes.
constexpr qint64 WorkerLeaseS = 30 * 60;

template <size_t N>
int IndexOf(const std::array<const char *, N> &names, const QString &name)
{
    for (size_t i = 0; i < N; ++i) {
        if (name == QLatin1String(names[i]))
            return int(i);
    }
    return -1;
}

// Whether the worker that claimed a site at `since` may still be at it.
bool StillWorking(const QString &worker, const QDateTime &since, const QDateTime &now)
{
    const QString host = worker.section(QLatin1Char(':'), 0, -2);
    bool number = false;
    const qint64 pid = worker.section(QLatin1Char(':'), -1).toLongLong(&number);
    if (number && host == QSysInfo::machineHostName())
        return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
    return since.secsTo(now) < WorkerLeaseS;
}

} // namespace

QString BatchKindName(BatchKind kind)
{
    return QString::fromLatin1(KindNames[size_t(kind)]);
}

std::optional<BatchKind> BatchKindFromName(const QString &name)
{
    const int index = IndexOf(KindNames, name);
    return index < 0 ? std::nullopt : std::optional(BatchKind(index));
}

QString ItemStateName(ItemState state)
{
    return QString::fromLatin1(StateNames[size_t(state)]);
}

int BatchSummary::failed() const
{
    return int(std::count_if(items.begin(), items.end(),
                             [](const BatchItem &item) { return item.state != ItemState::Done; }));
}

BatchQueue::BatchQueue(SiteBook &book, QString worker) : m_book(book), m_worker(std::move(worker)) {}

QString BatchQueue::ThisWorker()
{
    return QStringLiteral("%1:%2").arg(QSysInfo::machineHostName()).arg(::getpid());
}

Fetched<qint64> BatchQueue::create(BatchKind kind, const std::vector<qint64> &siteIds,
                                   const QDateTime &time, const QString &user)
{
    QSqlDatabase &db = m_book.m_db;
    Transaction transaction(db);
    const auto fail = [&](const QSqlError &error) {
        return Failed<qint64>(m_book.queryFailure(error));
    };
    if (!transaction.begun())
        return fail(transaction.error());
    QSqlQuery insert = Prepared(db,
                                QStringLiteral("INSERT INTO batches (kind, created, os_user) "
                                               "VALUES (?, ?, ?) RETURNING id"),
                                {BatchKindName(kind), TimeText(time), Text(user)});
    if (!insert.exec() || !insert.next())
        return fail(insert.lastError());
    Fetched<qint64> result;
    result.value = insert.value(0).toLongLong();
    insert.finish();
    int position = 0;
    for (const qint64 siteId : siteIds) {
        QSqlQuery item = Prepared(
            db,
            QStringLiteral("INSERT INTO batch_items (batch_id, position, site_id) VALUES (?, ?, ?)"),
            {result.value, ++position, siteId});
        if (!item.exec())
            return fail(item.lastError());
    }
    if (!transaction.commit())
        return fail(transaction.error());
    return result;
}

Fetched<std::optional<qint64>> BatchQueue::unfinished()
{
    QSqlQuery query(m_book.m_db);
    if (!query.exec(QStringLiteral("SELECT MAX(b.id) FROM batches b WHERE b.finished IS NULL AND "
                                   "EXISTS (SELECT 1 FROM batch_items i WHERE i.batch_id = b.id "
                                   "AND i.state IN ('waiting', 'working'))")))
        return Failed<std::optional<qint64>>(m_book.queryFailure(query.lastError()));
    Fetched<std::optional<qint64>> result;
    if (query.next() && !query.value(0).isNull())
        result.value = query.value(0).toLongLong();
    return result;
}

Fetched<BatchKind> BatchQueue::kind(qint64 batchId)
{
    QSqlQuery query = Prepared(m_book.m_db, QStringLiteral("SELECT kind FROM batches WHERE id = ?"),
                               {batchId});
    if (!query.exec())
        return Failed<BatchKind>(m_book.queryFailure(query.lastError()));
    Fetched<BatchKind> result;
    const std::optional<BatchKind> kind =
        query.next() ? BatchKindFromName(query.value(0).toString()) : std::nullopt;
    if (!kind)
        return Failed<BatchKind>(m_book.failure(BookStatus::Failed,
                                                QStringLiteral("No batch %1.").arg(batchId)));
    result.value = *kind;
    return result;
}

Fetched<std::vector<BatchItem>> BatchQueue::items(qint64 batchId)
{
    QSqlQuery query = Prepared(
        m_book.m_db,
        QStringLiteral("SELECT i.position, i.site_id, s.name, i.state, i.outcome, i.message, "
                       "i.version, i.finished FROM batch_items i JOIN sites s ON s.id = i.site_id "
                       "WHERE i.batch_id = ? ORDER BY i.position"),
        {batchId});
    if (!query.exec())
        return Failed<std::vector<BatchItem>>(m_book.queryFailure(query.lastError()));
    Fetched<std::vector<BatchItem>> result;
    while (query.next()) {
        BatchItem item;
        item.position = query.value(0).toInt();
        item.siteId = query.value(1).toLongLong();
        item.siteName = query.value(2).toString();
        item.state = ItemState(std::max(0, IndexOf(StateNames, query.value(3).toString())));
        item.outcome = query.value(4).toInt();
        item.message = query.value(5).toString();
        item.version = query.value(6).toInt();
        if (!query.value(7).isNull())
            item.finished = TimeFromText(query.value(7));
        result.value.push_back(std::move(item));
    }
    return result;
}

Fetched<bool> BatchQueue::claim(qint64 batchId, const BatchItem &item,
                                const platform::Clock &clock)
{
    QSqlDatabase &db = m_book.m_db;
    Transaction transaction(db);
    const auto fail = [&](const QSqlError &error) {
        return Failed<bool>(m_book.queryFailure(error));
    };
    if (!transaction.begun())
        return fail(transaction.error());
    // SQLite's writer lock already orders claims; on a server, two claims for one site would
    // each see the other's row as not yet working unless the site's row orders them.
    if (m_book.location().kind == BookLocation::Kind::PostgreSQL) {
        QSqlQuery lock = Prepared(db, QStringLiteral("SELECT id FROM sites WHERE id = ? FOR UPDATE"),
                                  {item.siteId});
        if (!lock.exec())
            return fail(lock.lastError());
    }
    QSqlQuery others = Prepared(db,
                                QStringLiteral("SELECT worker, started FROM batch_items WHERE "
                                               "site_id = ? AND state = 'working' AND worker <> ?"),
                                {item.siteId, m_worker});
    if (!others.exec())
        return fail(others.lastError());
    Fetched<bool> result;
    while (others.next()) {
        const QDateTime since = TimeFromText(others.value(1));
        if (StillWorking(others.value(0).toString(), since, clock.now()))
            return result;
    }
    others.finish();
    // Read once the others are seen done, so that a claim never seems to begin before the
    // work it waited for ended.
    const QDateTime time = clock.now();
    QSqlQuery take = Prepared(db,
                              QStringLiteral("UPDATE batch_items SET state = 'working', worker = ?, "
                                             "started = ? WHERE batch_id = ? AND position = ? AND "
                                             "state IN ('waiting', 'working')"),
                              {m_worker, TimeText(time), batchId, item.position});
    if (!take.exec())
        return fail(take.lastError());
    result.value = take.numRowsAffected() == 1;
    if (!transaction.commit())
        return fail(transaction.error());
    return result;
}

BookOutcome BatchQueue::finish(qint64 batchId, const BatchItem &item)
{
    QSqlQuery update = Prepared(
        m_book.m_db,
        QStringLiteral("UPDATE batch_items SET state = ?, outcome = ?, message = ?, version = ?, "
                       "finished = ? WHERE batch_id = ? AND position = ?"),
        {ItemStateName(item.state), item.outcome, Text(item.message), item.version,
         TimeText(item.finished), batchId, item.position});
    if (!update.exec())
        return m_book.queryFailure(update.lastError());
    return {};
}

BookOutcome BatchQueue::close(qint64 batchId, const QDateTime &time)
{
    QSqlQuery update = Prepared(
        m_book.m_db, QStringLiteral("UPDATE batches SET finished = ? WHERE id = ?"),
        {TimeText(time), batchId});
    if (!update.exec())
        return m_book.queryFailure(update.lastError());
    return {};
}

namespace {

// The work on one site, or why its record could not be read for it.
WorkResult WorkOnSite(const SiteBook &book, SiteWork &work, BatchKind kind, const BatchItem &item)
{
    const Fetched<Site> site = book.site(item.siteName);
    const Fetched<QByteArray> project =
        site.ok() ? book.project(site.value.id) : Fetched<QByteArray>{};
    const Fetched<TableVersion> inForce =
        site.ok() ? book.tableInForce(site.value.id) : Fetched<TableVersion>{};
    if (site.ok() && project.ok() && inForce.ok())
        return work.run(kind, site.value, project.value, inForce.value.clockImage);
    const BookOutcome &bad = !site.ok()      ? static_cast<const BookOutcome &>(site)
                             : !project.ok() ? static_cast<const BookOutcome &>(project)
                                             : static_cast<const BookOutcome &>(inForce);
    WorkResult outcome;
    outcome.message = bad.notices.empty() ? QString() : bad.notices.front().text;
    outcome.outcome = -1;
    return outcome;
}

// Keeps what the work came to in the book: the version it made, or a check's count.
BookOutcome KeepResult(SiteBook &book, BatchItem &item, const WorkResult &outcome)
{
    if (outcome.version) {
        Fetched<int> kept = book.addVersion(item.siteId, *outcome.version);
        if (!kept.ok())
            return kept;
        item.version = kept.value;
    } else if (outcome.problems) {
        return book.setProblems(item.siteId, *outcome.problems);
    }
    return {};
}

bool Complete(const std::vector<BatchItem> &items)
{
    return std::all_of(items.begin(), items.end(), [](const BatchItem &item) {
        return item.state == ItemState::Done || item.state == ItemState::Failed;
    });
}

} // namespace

Fetched<BatchSummary> RunBatch(SiteBook &book, BatchQueue &queue, qint64 batchId, SiteWork &work,
                               const platform::Clock &clock, const BatchProgress &progress,
                               const std::function<bool()> &stop)
{
    Fetched<BatchKind> kind = queue.kind(batchId);
    if (!kind.ok())
        return Failed<BatchSummary>(std::move(kind));
    Fetched<std::vector<BatchItem>> items = queue.items(batchId);
    if (!items.ok())
        return Failed<BatchSummary>(std::move(items));
    Fetched<BatchSummary> result;
    BatchSummary &summary = result.value;
    summary.items = std::move(items.value);
    const int total = int(summary.items.size());
    int done = 0;
    for (BatchItem &item : summary.items) {
        // A site that failed had its turn; a resumed batch takes up the rest.
        if (item.state == ItemState::Done || item.state == ItemState::Failed) {
            ++done;
            continue;
        }
        if (stop && stop()) {
            summary.stopped = true;
            break;
        }
        const Fetched<bool> claimed = queue.claim(batchId, item, clock);
        if (!claimed.ok())
            return Failed<BatchSummary>(claimed);
        if (!claimed.value) {
            item.state = ItemState::Waiting;
            item.message = QStringLiteral("Another process is working on this site.");
            continue;
        }
        if (progress.siteBegins)
            progress.siteBegins(item, done, total);
        const WorkResult outcome = WorkOnSite(book, work, kind.value, item);
        item.outcome = outcome.outcome;
        item.message = outcome.message;
        item.finished = clock.now().toUTC();
        item.state = outcome.ok ? ItemState::Done : ItemState::Failed;
        // Cut short by a cancel: still to be done when the batch is resumed.
        if (!outcome.ok && stop && stop())
            item.state = ItemState::Waiting;
        // The version first: a crash between the two leaves the site to be done again, never a
        // site marked done without its record.
        if (BookOutcome kept = KeepResult(book, item, outcome); !kept.ok())
            return Failed<BatchSummary>(std::move(kept));
        if (BookOutcome finished = queue.finish(batchId, item); !finished.ok())
            return Failed<BatchSummary>(std::move(finished));
        ++done;
        if (progress.siteEnded)
            progress.siteEnded(item, done, total);
    }
    if (Complete(summary.items)) {
        if (BookOutcome closed = queue.close(batchId, clock.now()); !closed.ok())
            return Failed<BatchSummary>(std::move(closed));
    }
    return result;
}

} // namespace quintara::book
