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
#include <unistd.h>
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

// The same steps as QSaveFile, by the name's bytes: a new file beside it, renamed over it.
std::optional<QString> WriteWholeNativeFile(const QByteArray &native, const QByteArray &bytes)
{
    QByteArray temporary = native + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return SystemReason(errno);
    struct stat old {};
    const mode_t umaskNow = ::umask(0);
    ::umask(umaskNow);
    ::fchmod(fd,
             ::stat(native.constData(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~umaskNow));
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(temporary.constData());
            return SystemReason(error);
        }
        done += n;
    }
    if (::close(fd) != 0 || ::rename(temporary.constData(), native.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return SystemReason(error);
    }
    return std::nullopt;
}

} // namespace
#endif

std::optional<QString> WriteWholeFile(const QString &path, const QByteArray &bytes)
{
#ifdef Q_OS_UNIX
    if (HoldsRawBytes(path))
        return WriteWholeNativeFile(NativeFileName(path), bytes);
#endif
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
