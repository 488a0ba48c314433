#pragma once

// The book's own helpers for statements, shared by its parts; not for use outside the book.

#include <QDateTime>
#include <QSqlDatabase>
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

} // namespace quintara::book::sql
