#pragma once

#include "book/SiteBook.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace quintara::platform {
class Clock;
}

namespace quintara::book {

enum class BatchKind { Check, Backup, Send, SendVerify };
QString BatchKindName(BatchKind kind);
std::optional<BatchKind> BatchKindFromName(const QString &name);

enum class ItemState { Waiting, Working, Done, Failed };
QString ItemStateName(ItemState state);

// One site of a batch and how far it got.
struct BatchItem {
    int position = 0;
    qint64 siteId = 0;
    QString siteName;
    ItemState state = ItemState::Waiting;
    int outcome = 0;    // the operation's code (0: done)
    QString message;    // what it said, for the report
    int version = 0;    // the version it kept, if any
    QDateTime finished; // UTC
};

// The queue of a batch, kept in the book so that a batch survives a crash or a killed process:
// whatever was done stays done, and a resumed batch takes up the sites that were not.
class BatchQueue {
public:
    explicit BatchQueue(SiteBook &book, QString worker);

    Fetched<qint64> create(BatchKind kind, const std::vector<qint64> &siteIds,
                           const QDateTime &time, const QString &user);
    // The latest batch that still has sites to do, if any.
    Fetched<std::optional<qint64>> unfinished();
    Fetched<BatchKind> kind(qint64 batchId);
    Fetched<std::vector<BatchItem>> items(qint64 batchId);
    // Takes an item for this worker. Refused (false) when another worker that is still at it
    // holds the same site in any batch: two processes never work on one unit at once.
    Fetched<bool> claim(qint64 batchId, const BatchItem &item, const platform::Clock &clock);
    BookOutcome finish(qint64 batchId, const BatchItem &item);
    BookOutcome close(qint64 batchId, const QDateTime &time);

    // This process on this machine: "host:pid".
    static QString ThisWorker();

private:
    SiteBook &m_book;
    QString m_worker;
};

// What one site's work came to.
struct WorkResult {
    bool ok = false;
    int outcome = 0;
    QString message;
    // The table to keep as the site's next version (a receive, a send), if any.
    std::optional<TableVersion> version;
    std::optional<int> problems; // a check's count
};

// The work a batch does on one site, given its record, its project file and its table in force
// (empty when it has none). The link-backed implementation reaches the unit; every call returns
// on its own, never asks anyone anything.
class SiteWork {
public:
    virtual ~SiteWork() = default;
    virtual WorkResult run(BatchKind kind, const Site &site, const QByteArray &projectFile,
                           const QByteArray &clockImage) = 0;
    // Cancel: the work in progress ends as soon as it can, and no further site is begun.
    virtual void requestStop() = 0;
};

struct BatchProgress {
    std::function<void(const BatchItem &item, int done, int total)> siteBegins;
    std::function<void(const BatchItem &item, int done, int total)> siteEnded;
};

struct BatchSummary {
    std::vector<BatchItem> items;
    bool stopped = false; // cancelled before every site was done
    int failed() const;
};

// Works through the batch's sites that are not done yet, in order, recording each outcome (and
// each kept version) in the book before the next site begins. A site that fails does not stop
// the batch; a site that another process holds is left for later. `stop` is asked between sites.
Fetched<BatchSummary> RunBatch(SiteBook &book, BatchQueue &queue, qint64 batchId, SiteWork &work,
                               const platform::Clock &clock, const BatchProgress &progress,
                               const std::function<bool()> &stop);

} // namespace quintara::book
