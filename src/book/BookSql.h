#pragma once

// The book's own helpers for statements, shared by its parts; not for use outside the book.

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <initializer_list>

namespace quintara::book::sql {

// Times are kept as ISO 8601 text in UTC, which sorts as time does on either database.
inline QString TimeText(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

inline QDateTime TimeFromText(const QVariant &value)
{
    if (value.isNull())
        return {};
    return QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
}

// A null QString binds as NULL: the book keeps an empty text instead.
inline QVariant Text(const QString &text)
{
    return text.isNull() ? QVariant(QLatin1String("")) : QVariant(text);
}

// A prepared statement with its values bound in order.
inline QSqlQuery Prepared(const QSqlDatabase &db, const QString &statement,
                          std::initializer_list<QVariant> values)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(statement);
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query;
}

// A transaction that takes the book for writing as it begins, rolled back unless committed. On
// SQLite a plain BEGIN would fail at once, without waiting, when another writer got in between
// its first read and its first write; BEGIN IMMEDIATE waits for the other like any write.
class Transaction {
public:
    explicit Transaction(QSqlDatabase &db)
        : m_db(db), m_sqlite(db.driverName() == QLatin1String("QSQLITE"))
    {
        m_open = m_sqlite ? run(QStringLiteral("BEGIN IMMEDIATE")) : done(db.transaction());
    }
    ~Transaction()
    {
        if (m_open)
            m_sqlite ? run(QStringLiteral("ROLLBACK")) : m_db.rollback();
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool begun() const { return m_open; }
    bool commit()
    {
        m_open = false;
        return m_sqlite ? run(QStringLiteral("COMMIT")) : done(m_db.commit());
    }
    // Why it could not begin or commit.
    const QSqlError &error() const { return m_error; }

private:
    bool run(const QString &statement)
    {
        QSqlQuery query(m_db);
        const bool ran = query.exec(statement);
        m_error = query.lastError();
        return ran;
    }
    bool done(bool ok)
    {
        m_error = m_db.lastError();
        return ok;
    }

    QSqlDatabase &m_db;
    bool m_sqlite;
    bool m_open = false;
    QSqlError m_error;
};

} // namespace quintara::book::sql
