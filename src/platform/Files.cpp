#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace quintara::platform {

PathKind KindOfPath(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return info.isSymLink() ? PathKind::Other : PathKind::Missing; // a dangling link is no file
    if (!info.isFile())
        return PathKind::Other;
#ifdef Q_OS_UNIX
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0 && status.st_nlink > 1)
        return PathKind::LinkedFile;
#endif
    return PathKind::RegularFile;
}

QString FileFailure(const QString &path, const QString &reason)
{
    return QDir::toNativeSeparators(path) + u'\n' + reason;
}

std::optional<QString> WriteWholeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile out(path);
    // Unbuffered: a buffered write reports every byte taken, and the commit then succeeds
    // even when the disk took only part of them.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return out.errorString();
    for (qint64 done = 0; done < bytes.size();) {
        // A short write is retried for the rest, which then fails with the system's reason.
        const qint64 n = out.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString reason = out.errorString();
            out.cancelWriting();
            return reason;
        }
        done += n;
    }
    if (!out.commit())
        return out.errorString();
    return std::nullopt;
}

} // namespace quintara::platform
