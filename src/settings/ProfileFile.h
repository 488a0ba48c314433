#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace quintara::settings {

// A settings file is a few hundred bytes; beyond this it is not one, and nothing more is read.
inline constexpr qint64 MaxProfileFileSize = 1024 * 1024;

// A private profile file: "[Section]" lines and "key=value" lines, names compared without regard
// to case. The file is shared with the sibling configuration tool, so a write changes the one
// value and keeps every other byte of the file (foreign keys, sections, comments, each line's own
// line end), and texts are Windows-1252 as that tool writes them. Only a regular file is read or
// written: anything else reads as empty and is never written.
// Like the platform's own profile functions, every call goes to the file on disk.
class ProfileFile {
public:
    explicit ProfileFile(QString path) : m_path(std::move(path)) {}

    const QString &path() const { return m_path; }

    // At most maxChars characters of the value; defaultValue when the file, section or key is
    // missing.
    QString readString(const QString &section, const QString &key, const QString &defaultValue,
                       int maxChars) const;

    // The value's bytes as they stand in the file (at most maxBytes); empty when missing.
    QByteArray readBytes(const QString &section, const QString &key, int maxBytes) const;

    // False when the file can't be written (the caller decides whether that matters).
    bool writeString(const QString &section, const QString &key, const QString &value);

private:
    QString m_path;
};

// Where "Ventora.ini" lives: the Windows directory on Windows, elsewhere the per-user
// configuration folder ($XDG_CONFIG_HOME or ~/.config) under "quintara".
QString DefaultSettingsPath();

// The serial device behind a port number. A "[Ports]" section may name it ("COM3=/dev/ttyUSB0");
// otherwise COMn on Windows and /dev/ttyS<n-1> elsewhere.
QString PortDeviceName(const ProfileFile &file, int portNumber);
// The device of a port without a [Ports] entry.
QString OwnPortDeviceName(int portNumber);

} // namespace quintara::settings
