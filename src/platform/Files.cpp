#include "platform/Files.h"

#include <QDir>
#include <QFileInfo>

namespace quintara::platform {

PathKind KindOfPath(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return info.isSymLink() ? PathKind::Other : PathKind::Missing; // a dangling link is no file
    return info.isFile() ? PathKind::RegularFile : PathKind::Other;
}

QString FileFailure(const QString &path, const QString &reason)
{
    return QDir::toNativeSeparators(path) + u'\n' + reason;
}

} // namespace quintara::platform
