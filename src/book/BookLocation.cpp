#include "book/BookLocation.h"

#include <QDir>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

namespace quintara::book {

namespace {

const QString SQLiteScheme = QStringLiteral("sqlite:");

// The text may hold a password: a refusal names the form, never the text.
ParsedLocation Refused(const QString &why)
{
    return {std::nullopt, why};
}

} // namespace

QString BookLocation::displayName() const
{
    if (kind == Kind::SQLite)
        return QDir::toNativeSeparators(path);
    QString name = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        name += user + QLatin1Char('@');
    name += host;
    if (port != 0)
        name += QLatin1Char(':') + QString::number(port);
    name += QLatin1Char('/') + databaseName;
    return name;
}

ParsedLocation ParseBookLocation(const QString &text)
{
    if (text.startsWith(SQLiteScheme)) {
        const QString path = text.mid(SQLiteScheme.size());
        if (path.isEmpty())
            return Refused(QStringLiteral("sqlite: needs the path of the book's file"));
        BookLocation location;
        location.path = QDir::cleanPath(QDir::current().absoluteFilePath(path));
        return {location, {}};
    }
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (scheme != QLatin1String("postgresql") && scheme != QLatin1String("postgres"))
        return Refused(QStringLiteral("a book is sqlite:PATH or "
                                            "postgresql://USER@HOST:PORT/DBNAME"));
    if (!url.isValid() || url.host().isEmpty())
        return Refused(QStringLiteral("the server's address names no host"));
    BookLocation location;
    location.kind = BookLocation::Kind::PostgreSQL;
    location.user = url.userName(QUrl::FullyDecoded);
    location.password = url.password(QUrl::FullyDecoded);
    location.host = url.host();
    location.port = url.port(0);
    location.databaseName = url.path(QUrl::FullyDecoded).mid(1);
    const QUrlQuery query(url);
    for (const auto &[key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key != QLatin1String("sslmode"))
            return Refused(QStringLiteral("the book's address takes no option '%1'").arg(key));
        static const QStringList modes{"disable", "allow", "prefer", "require", "verify-ca",
                                       "verify-full"};
        if (!modes.contains(value))
            return Refused(QStringLiteral("sslmode '%1' is none of %2")
                                     .arg(value, modes.join(QLatin1String(", "))));
        location.sslMode = value;
    }
    return {location, {}};
}

BookLocation DefaultBookLocation()
{
    // The window's data folder, also when quintara-cli asks: both must find the same book.
    BookLocation location;
    location.path = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                        .filePath(QStringLiteral("Quintara/sitebook.sqlite"));
    return location;
}

} // namespace quintara::book
