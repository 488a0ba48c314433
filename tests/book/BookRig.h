#pragma once

#include "book/BookLocation.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

#include <optional>

namespace quintara::book::test {

using Kind = BookLocation::Kind;

inline std::string KindName(const testing::TestParamInfo<Kind> &info)
{
    return info.param == Kind::SQLite ? "SQLite" : "PostgreSQL";
}

// A server to make throw-away books on: the one libpq's environment names (scripts/test starts
// a throw-away cluster and sets it). QUINTARA_REQUIRE_POSTGRESQL turns its absence into a failure,
// so a test run that should cover both databases cannot quietly cover one.
inline bool ServerAvailable()
{
    return !qEnvironmentVariableIsEmpty("PGHOST");
}

// An empty place for a book of the kind, gone after the test: a file in a temporary folder, or a
// database of its own on the server (tests run in parallel).
class ScratchBook {
public:
    explicit ScratchBook(Kind kind) : m_kind(kind)
    {
        if (kind == Kind::SQLite) {
            m_location.path = m_dir.filePath(QStringLiteral("book.sqlite"));
            return;
        }
        m_location.kind = Kind::PostgreSQL;
        m_location.host = qEnvironmentVariable("PGHOST");
        m_location.port = qEnvironmentVariableIntValue("PGPORT");
        m_location.user = qEnvironmentVariable("PGUSER");
        m_location.databaseName =
            QStringLiteral("book_") + QUuid::createUuid().toString(QUuid::Id128);
        admin(QStringLiteral("CREATE DATABASE ") + m_location.databaseName);
    }
    ~ScratchBook()
    {
        if (m_kind == Kind::PostgreSQL)
            admin(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)")
                      .arg(m_location.databaseName));
    }
    ScratchBook(const ScratchBook &) = delete;
    ScratchBook &operator=(const ScratchBook &) = delete;

    const BookLocation &location() const { return m_location; }
    QString folder() const { return m_dir.path(); }

    // A statement run on the book behind the program's back, as another program would.
    bool exec(const QString &sql) const { return run(m_location.databaseName, sql); }
    // What a query on the book answers, row by row, each row's columns as text.
    QList<QStringList> rows(const QString &sql) const
    {
        QList<QStringList> rows;
        run(m_location.databaseName, sql, &rows);
        return rows;
    }

private:
    bool admin(const QString &sql) const { return run(qEnvironmentVariable("PGDATABASE"), sql); }
    bool run(const QString &database, const QString &sql,
             QList<QStringList> *rows = nullptr) const
    {
        const QString name = QUuid::createUuid().toString();
        bool done = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(
                m_kind == Kind::SQLite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), name);
            db.setDatabaseName(m_kind == Kind::SQLite ? m_location.path : database);
            if (m_kind == Kind::PostgreSQL) {
                db.setHostName(m_location.host);
                db.setPort(m_location.port);
                db.setUserName(m_location.user);
            }
            QSqlQuery query(db);
            done = db.open() && query.exec(sql);
            while (rows && query.next()) {
                QStringList row;
                for (int column = 0; column < query.record().count(); ++column)
                    row << query.value(column).toString();
                rows->append(row);
            }
        }
        QSqlDatabase::removeDatabase(name);
        return done;
    }

    Kind m_kind;
    QTemporaryDir m_dir;
    BookLocation m_location;
};

// Both databases for every test of the suite; the server's tests are skipped where there is none.
class BothBooks : public testing::TestWithParam<Kind> {
protected:
    void SetUp() override
    {
        if (GetParam() == Kind::PostgreSQL && !ServerAvailable()) {
            if (!qEnvironmentVariableIsEmpty("QUINTARA_REQUIRE_POSTGRESQL"))
                FAIL() << "no PostgreSQL server (PGHOST) for the book's tests";
            GTEST_SKIP() << "no PostgreSQL server: PGHOST is not set";
        }
        m_scratch.emplace(GetParam());
    }
    ScratchBook &scratch() { return *m_scratch; }

private:
    std::optional<ScratchBook> m_scratch;
};

} // namespace quintara::book::test
