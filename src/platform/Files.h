#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <optional>

class QFile;

namespace quintara::platform {

// File names are bytes to the system. Those that are not UTF-8 (a name made in Latin-1) would be
// lost in a QString, so each byte that is not part of valid UTF-8 is kept as the lone surrogate
// U+DC80..U+DCFF, and turned back into that byte on the way out. Other names are unchanged.
QString FileNameFromNative(const QByteArray &native);
QByteArray NativeFileName(const QString &name);
// The program's arguments with file names kept as above (Qt's own list loses such bytes).
QStringList ArgumentsFromNative(int argc, char *argv[]);
// Whether the name holds such a kept byte, which Qt's own file functions can't reach.
bool HoldsRawBytes(const QString &name);

// Opens a file by any name, also one that holds kept bytes, for reading, writing or both.
// Answers the system's reason when it could not.
std::optional<QString> OpenFile(QFile &file, const QString &path, QIODevice::OpenMode mode);

// What a path names, for the readers and writers that must not block on a FIFO or a device or
// read an endless stream into memory.
// A regular file that has other hard links is one whose replacement would part it from them.
enum class PathKind { Missing, RegularFile, LinkedFile, Other };

PathKind KindOfPath(const QString &path);

// A whole small file, read only when it is a regular file (never a FIFO or a device) of at most
// `limit` bytes; otherwise, or when it cannot be read, why not.
struct SmallFile {
    QByteArray bytes;
    QString problem; // empty when read
};
SmallFile ReadRegularFile(const QString &path, qint64 limit);

// A failure of a file operation for the user: the file's name on the first line, the operating
// system's reason (or ours) below it.
QString FileFailure(const QString &path, const QString &reason);

// Why a file was not written.
enum class WriteProblem {
    System,         // the operating system's reason
    OtherHardLinks, // replacing the file would part it from its other names
    NoRoomInPlace,  // the folder takes no new file, and the disk lacks room to rewrite this one
};

struct WriteFailure {
    WriteProblem problem = WriteProblem::System;
    QString reason; // the operating system's words, when it gave any
};

// Replaces the file at path by bytes, all or nothing: the bytes go to a new file beside it that
// takes the old one's place only once every byte is written (a short write, as on a full disk,
// counts as a failure). The new file keeps the old one's mode, ACL and, where the system lets
// us, its owner and group. A file with other hard links is refused. In a folder that takes no
// new file, a writable file is rewritten in its place once the room for it is reserved; that
// is the one case that is not all or nothing.
std::optional<WriteFailure> WriteWholeFile(const QString &path, const QByteArray &bytes);

} // namespace quintara::platform
