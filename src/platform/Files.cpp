#include "platform/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/xattr.h>
#endif

namespace quintara::platform {

namespace {

constexpr char16_t KeptByteBase = 0xDC00;

// The length of the valid UTF-8 sequence at bytes[i], or 0.
int Utf8SequenceAt(const QByteArray &bytes, qsizetype i)
{
    const auto at = [&bytes](qsizetype k) { return static_cast<quint8>(bytes[k]); };
    const quint8 lead = at(i);
    int length = 0;
    char32_t code = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const quint8 next = at(i + k);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are not valid UTF-8.
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}

#ifdef Q_OS_UNIX
QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
#endif

// A kept byte is a low surrogate on its own; one after a high surrogate is half of a character.
bool IsKeptByte(const QString &name, qsizetype i)
{
    const char16_t c = name[i].unicode();
    return c >= KeptByteBase + 0x80 && c <= KeptByteBase + 0xFF &&
           (i == 0 || !name[i - 1].isHighSurrogate());
}

} // namespace

QString FileNameFromNative(const QByteArray &native)
{
    QString name;
    qsizetype i = 0;
    while (i < native.size()) {
        const int length = Utf8SequenceAt(native, i);
        if (length == 0) {
            name.append(QChar(char16_t(KeptByteBase + static_cast<quint8>(native[i]))));
            ++i;
            continue;
        }
        name.append(QString::fromUtf8(native.mid(i, length)));
        i += length;
    }
    return name;
}

QByteArray NativeFileName(const QString &name)
{
    QByteArray native;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !IsKeptByte(name, i))
            continue;
        native += name.mid(start, i - start).toUtf8();
        if (i < name.size())
            native += static_cast<char>(name[i].unicode() - KeptByteBase);
        start = i + 1;
    }
    return native;
}

QStringList ArgumentsFromNative(int argc, char *argv[])
{
#ifdef Q_OS_UNIX
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(FileNameFromNative(QByteArray(argv[i])));
    return arguments;
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return QCoreApplication::arguments();
#endif
}

bool HoldsRawBytes(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (IsKeptByte(name, i))
            return true;
    }
    return false;
}

std::optional<QString> OpenFile(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
#ifdef Q_OS_UNIX
    if (HoldsRawBytes(path)) {
        int flags = O_CLOEXEC;
        if ((mode & QIODevice::ReadWrite) == QIODevice::ReadWrite)
            flags |= O_RDWR | O_CREAT;
        else if (mode & QIODevice::WriteOnly)
            flags |= O_WRONLY | O_CREAT | O_TRUNC;
        else
            flags |= O_RDONLY;
        const int fd = ::open(NativeFileName(path).constData(), flags, 0666);
        if (fd < 0)
            return SystemReason(errno);
        if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            return file.errorString();
        }
        return std::nullopt;
    }
#endif
    file.setFileName(path);
    if (!file.open(mode))
        return file.errorString();
    return std::nullopt;
}

SmallFile ReadRegularFile(const QString &path, qint64 limit)
{
    const PathKind kind = KindOfPath(path);
    if (kind != PathKind::RegularFile && kind != PathKind::LinkedFile)
        return {{}, kind == PathKind::Missing ? QStringLiteral("no such file")
                                              : QStringLiteral("not a regular file")};
    QFile file;
    if (const std::optional<QString> reason = OpenFile(file, path, QIODevice::ReadOnly))
        return {{}, *reason};
    if (file.size() > limit)
        return {{}, QStringLiteral("larger than %1 bytes").arg(limit)};
    SmallFile read{file.read(limit + 1), {}};
    if (file.error() != QFileDevice::NoError)
        read.problem = file.errorString();
    return read;
}

PathKind KindOfPath(const QString &path)
{
#ifdef Q_OS_UNIX
    const QByteArray native = NativeFileName(path);
    struct stat status {};
    if (::stat(native.constData(), &status) != 0) {
        // A dangling link is no file either.
        return ::lstat(native.constData(), &status) == 0 ? PathKind::Other : PathKind::Missing;
    }
    if (!S_ISREG(status.st_mode))
        return PathKind::Other;
    return status.st_nlink > 1 ? PathKind::LinkedFile : PathKind::RegularFile;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return info.isSymLink() ? PathKind::Other : PathKind::Missing;
    return info.isFile() ? PathKind::RegularFile : PathKind::Other;
#endif
}

QString FileFailure(const QString &path, const QString &reason)
{
    return QDir::toNativeSeparators(path) + u'\n' + reason;
}

#ifdef Q_OS_UNIX
namespace {

WriteFailure SystemFailure(int error)
{
    return {WriteProblem::System, SystemReason(error)};
}

// Every byte from the start of the file; the system's error number when it took fewer.
int WriteAll(int fd, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done),
                                   off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += n;
    }
    return 0;
}

// The new file gets what the old one had: its owner and group as far as we may give them (a
// user may hand a file only to a group of theirs), its ACL, and then its mode, which a change
// of owner may have stripped of set-id bits.
void TakeOver(int fd, const struct stat &old, const QByteArray &oldNative)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        // Ours it stays; the mode below still keeps others out as before.
    }
#ifdef Q_OS_LINUX
    static constexpr char AclName[] = "system.posix_acl_access";
    const ssize_t size = ::getxattr(oldNative.constData(), AclName, nullptr, 0);
    if (size > 0) {
        QByteArray acl(size, Qt::Uninitialized);
        const ssize_t read = ::getxattr(oldNative.constData(), AclName, acl.data(), size_t(size));
        if (read > 0 && ::fsetxattr(fd, AclName, acl.constData(), size_t(read), 0) != 0) {
            // A file system without ACLs on this side: the mode carries what it can.
        }
    }
#else
    Q_UNUSED(oldNative);
#endif
    if (::fchmod(fd, old.st_mode & 07777) != 0) {
        // The new file keeps the mode mkstemp gave it, readable by its owner only.
    }
}

// Makes sure the disk holds `size` bytes for the file before a byte of it changes: the free
// room counted first, then the blocks allocated (where the file system can).
int ReserveRoom(int fd, off_t size, off_t have)
{
    struct statvfs room {};
    if (::fstatvfs(fd, &room) == 0 && room.f_frsize > 0 &&
        room.f_bavail < (fsblkcnt_t(size - have) + room.f_frsize - 1) / room.f_frsize)
        return ENOSPC;
    const int error = ::posix_fallocate(fd, 0, size);
    return error == EINVAL || error == EOPNOTSUPP ? 0 : error;
}

// A folder that takes no new file may still hold a file its user may write: it is rewritten
// where it lies. Only once the room for the new bytes is reserved, so that a full disk leaves
// it as it was.
std::optional<WriteFailure> WriteInPlace(const QByteArray &native, const QByteArray &bytes)
{
    const int fd = ::open(native.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return SystemFailure(errno);
    struct stat now {};
    int error = ::fstat(fd, &now) == 0 ? 0 : errno;
    if (error == 0 && bytes.size() > now.st_size) {
        error = ReserveRoom(fd, off_t(bytes.size()), now.st_size);
        if (error == ENOSPC || error == EDQUOT) {
            ::close(fd);
            return WriteFailure{WriteProblem::NoRoomInPlace, SystemReason(error)};
        }
    }
    if (error == 0)
        error = WriteAll(fd, bytes);
    if (error == 0 && ::ftruncate(fd, off_t(bytes.size())) != 0)
        error = errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        return SystemFailure(error);
    return std::nullopt;
}

// The steps of QSaveFile, by the name's bytes, with the old file's owner, mode and ACL kept.
std::optional<WriteFailure> WriteWholeNativeFile(QByteArray native, const QByteArray &bytes)
{
    struct stat old {};
    const bool exists = ::stat(native.constData(), &old) == 0;
    if (exists) {
        if (S_ISREG(old.st_mode) && old.st_nlink > 1)
            return WriteFailure{WriteProblem::OtherHardLinks, {}};
        // Through a symbolic link the file it names is replaced; the link stays.
        if (char *real = ::realpath(native.constData(), nullptr)) {
            native = real;
            std::free(real);
        }
    }

    QByteArray temporary = native + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        const int error = errno;
        if (exists && (error == EACCES || error == EPERM))
            return WriteInPlace(native, bytes);
        return SystemFailure(error);
    }
    if (exists) {
        TakeOver(fd, old, native);
    } else {
        const mode_t umaskNow = ::umask(0);
        ::umask(umaskNow);
        if (::fchmod(fd, 0666 & ~umaskNow) != 0) {
            // Readable by its owner only, as mkstemp made it.
        }
    }
    int error = WriteAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), native.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return SystemFailure(error);
    }
    return std::nullopt;
}

} // namespace
#endif

std::optional<WriteFailure> WriteWholeFile(const QString &path, const QByteArray &bytes)
{
#ifdef Q_OS_UNIX
    return WriteWholeNativeFile(NativeFileName(path), bytes);
#else
    QSaveFile out(path);
    // Unbuffered: a buffered write reports every byte taken, and the commit then succeeds
    // even when the disk took only part of them.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return WriteFailure{WriteProblem::System, out.errorString()};
    for (qint64 done = 0; done < bytes.size();) {
        // A short write is retried for the rest, which then fails with the system's reason.
        const qint64 n = out.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString reason = out.errorString();
            out.cancelWriting();
            return WriteFailure{WriteProblem::System, reason};
        }
        done += n;
    }
    if (!out.commit())
        return WriteFailure{WriteProblem::System, out.errorString()};
    return std::nullopt;
#endif
}

} // namespace quintara::platform
