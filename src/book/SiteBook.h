#pragma once

#include "book/BookLocation.h"
#include "platform/Outcome.h"

#include <QByteArray>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quintara::book {

enum class BookStatus {
    Done,
    CannotOpen,  // no file or server to be had; the notice says why
    NotABook,    // a database, or a file, that is no site book: left as it is
    NewerBook,   // made by a newer program: left as it is
    Busy,        // another process holds the book longer than we wait
    NoSuchSite,
    NoSuchVersion,
    SiteExists,
    Conflict,    // the site changed in the book since it was read
    Failed,      // the database refused; the notice says why
};

struct BookOutcome : platform::Outcome<BookStatus> {
    bool ok() const { return status == BookStatus::Done; }
};

// A result and the value it came with (valid only when ok()).
template <typename T>
struct Fetched : BookOutcome {
    T value{};
};

template <typename T>
Fetched<T> Failed(BookOutcome outcome)
{
    Fetched<T> fetched;
    static_cast<BookOutcome &>(fetched) = std::move(outcome);
    return fetched;
}

// How a site's central unit is reached: a port (number, device or address) at a baud rate, or a
// modem that dials it.
struct SiteConnection {
    QString port;
    qint32 baudRate = 0; // 0: the project's
    bool modem = false;
    QString telephoneNumber;
    QString initString;
    bool callBack = false;

    bool operator==(const SiteConnection &) const = default;
};

struct Site {
    qint64 id = 0;
    QString name;
    QString customer;
    QString address;
    QString phone;
    QString notes;
    std::optional<int> model; // the central unit's model index, once a project or table told
    SiteConnection connection;
    QStringList tags;
    // Where the house stands, "latitude,longitude" as the sun's location writes it; empty when
    // not known. Only a valid location is stored here.
    QString location;
    // Counts the changes to the site's own record: a save names the revision it read, and is
    // refused when someone else saved in between.
    qint64 revision = 0;
};

// What the Sites view and `sites list` show of a site without reading its tables.
struct SiteSummary {
    qint64 id = 0;
    QString name;
    QString customer;
    std::optional<int> model;
    QDateTime lastSent;
    QDateTime lastVerified;
    QDateTime lastReceived;
    int problems = 0;
    QStringList tags;
};

enum class VersionEvent { Saved, Sent, Verified, VerifyFailed, Received, Restored };

// The names the machine form and the book give the events.
QString EventName(VersionEvent event);
std::optional<VersionEvent> EventFromName(const QString &name);

// A clock table kept for a site, and what happened to it.
struct TableVersion {
    int number = 0; // 1, 2, ... per site
    QDateTime time; // UTC
    QString user;   // the system's user who did it
    VersionEvent event = VersionEvent::Saved;
    int outcome = 0;          // the operation's code (0: done)
    int restoredFrom = 0;     // Restored: the version taken
    QString detail;           // VerifyFailed: the lines that differ
    QString trace;            // transfers: what went over the line
    QByteArray clockImage;    // the clock file's bytes
    QByteArray projectSha256; // the project in force then, if the site had one
    // What the health check found in the table when it was kept (the site list's column).
    int problems = 0;
};

// Finding sites: every condition given must hold.
struct SiteFilter {
    QString text; // in the name, customer or address, any case
    QString tag;
    std::optional<int> model;
    std::optional<QDateTime> notVerifiedSince;
    bool withProblems = false;
};

// The site book: every installation an installer looks after, its project, and every clock
// table that was saved, sent, verified, received or restored for it. One object is one
// connection; every change is one transaction.
class SiteBook {
public:
    // The schema this program makes and understands.
    static constexpr int SchemaVersion = 3;

    SiteBook();
    ~SiteBook();
    SiteBook(const SiteBook &) = delete;
    SiteBook &operator=(const SiteBook &) = delete;

    // Opens the book, making it (owner-only for a file) when there is none, and bringing an
    // older schema up to date. A newer, foreign or damaged book is refused and left as it is.
    BookOutcome open(const BookLocation &location);
    bool isOpen() const;
    const BookLocation &location() const { return m_location; }

    // A new site, with its project and its first versions (oldest first), all or nothing.
    Fetched<qint64> addSite(const Site &site, const QByteArray &projectFile = {},
                            std::vector<TableVersion> versions = {});
    Fetched<Site> site(const QString &name) const;
    // Saves the site's record when nobody saved it since it was read (site.revision), and
    // counts up site.revision; Conflict otherwise, and nothing changes.
    BookOutcome updateSite(Site &site);
    Fetched<std::vector<SiteSummary>> sites(const SiteFilter &filter = {}) const;

    // The project a site uses from now on; stored once per distinct content.
    BookOutcome setProject(qint64 siteId, const QByteArray &projectFile);
    // The site's project file, empty when it has none.
    Fetched<QByteArray> project(qint64 siteId) const;
    Fetched<QByteArray> projectBySha256(const QByteArray &sha256) const;

    // Keeps a clock table as the site's next version, with the site's project in force; the
    // new version becomes the table in force. Its number comes back. With `basedOn`, only when
    // that version is still the latest: Conflict when someone kept another since, and nothing
    // changes.
    Fetched<int> addVersion(qint64 siteId, TableVersion version,
                            std::optional<int> basedOn = std::nullopt);
    // Every version, oldest first; without the table and trace bytes unless `withContents`.
    Fetched<std::vector<TableVersion>> history(qint64 siteId, bool withContents = false) const;
    Fetched<TableVersion> version(qint64 siteId, int number) const;
    // The latest version, with its contents; number 0 when the site has none yet.
    Fetched<TableVersion> tableInForce(qint64 siteId) const;

    // The health check's count of problems as it stands today, for the list's column.
    BookOutcome setProblems(qint64 siteId, int problems);

private:
    friend class BatchQueue;

    BookOutcome openDatabase();
    BookOutcome migrate();
    BookOutcome failure(BookStatus status, const QString &what) const;
    BookOutcome queryFailure(const QSqlError &error) const;
    // The steps of the changes above, inside the caller's transaction.
    Fetched<qint64> insertSite(const Site &site);
    BookOutcome assignProject(qint64 siteId, const QByteArray &projectFile);
    Fetched<int> insertVersion(qint64 siteId, TableVersion version,
                               std::optional<int> basedOn = std::nullopt);

    BookLocation m_location;
    QString m_connectionName;
    QSqlDatabase m_db;
};

// The user name the system knows the current process by.
QString CurrentUserName();

} // namespace quintara::book
