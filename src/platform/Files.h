#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quintara::platform {

// What a path names, for the readers and writers that must not block on a FIFO or a device or
// read an endless stream into memory.
// A regular file that has other hard links is one whose replacement would part it from them.
enum class PathKind { Missing, RegularFile, LinkedFile, Other };

PathKind KindOfPath(const QString &path);

// A failure of a file operation for the user: the file's name on the first line, the operating
// system's reason (or ours) below it.
QString FileFailure(const QString &path, const QString &reason);

// Replaces the file at path by bytes, all or nothing: the bytes go to a new file beside it that
// takes the old one's place only once every byte is written (a short write, as on a full disk,
// counts as a failure). Answers the operating system's reason when it failed.
std::optional<QString> WriteWholeFile(const QString &path, const QByteArray &bytes);

} // namespace quintara::platform
