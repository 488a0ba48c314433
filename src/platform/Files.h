#pragma once

#include <QString>

namespace quintara::platform {

// What a path names, for the readers and writers that must not block on a FIFO or a device or
// read an endless stream into memory.
enum class PathKind { Missing, RegularFile, Other };

PathKind KindOfPath(const QString &path);

// A failure of a file operation for the user: the file's name on the first line, the operating
// system's reason (or ours) below it.
QString FileFailure(const QString &path, const QString &reason);

} // namespace quintara::platform
