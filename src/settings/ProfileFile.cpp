#include "settings/ProfileFile.h"

#include "platform/Files.h"
#include "settings/Ansi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

#include <optional>

#include <utility>

namespace quintara::settings {

namespace {

// Only a regular file is read, and only its start: a FIFO would block, a device never end.
QByteArray readAll(const QString &path)
{
    const platform::PathKind kind = platform::KindOfPath(path);
    if (kind != platform::PathKind::RegularFile && kind != platform::PathKind::LinkedFile)
        return {};
    QFile file;
    if (platform::OpenFile(file, path, QIODevice::ReadOnly))
        return {};
    return file.read(MaxProfileFileSize);
}

// The sibling tool reads and writes the file in the Windows ANSI code page. Earlier versions of
// this program wrote UTF-8; such a value (never valid 1252 text in practice) still reads right.
QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError() && text.size() < bytes.size())
        return text;
    return AnsiToString(bytes);
}

QByteArray encode(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A file name's byte that no text holds goes back as that byte.
        const QString one = text.mid(i, 1);
        if (platform::HoldsRawBytes(one) && (i == 0 || !text[i - 1].isHighSurrogate()))
            bytes.append(platform::NativeFileName(one));
        else
            bytes.append(static_cast<char>(CharToAnsi(text[i])));
    }
    return bytes;
}

struct Line {
    QByteArray raw;     // as in the file, without its line end
    QByteArray end;     // its own line end: "\n", "\r\n" or none (the last line)
    QByteArray section; // set on section lines: the name, trimmed
    QByteArray key;     // set on key lines: the name, trimmed
    QByteArray value;   // set on key lines: the value, trimmed
};

Line parseLine(const QByteArray &raw, const QByteArray &end = "\n")
{
    Line line{raw, end, {}, {}, {}};
    const QByteArray trimmed = raw.trimmed();
    if (trimmed.startsWith('[')) {
        const int close = trimmed.indexOf(']');
        line.section = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
        if (line.section.isEmpty())
            line.section = " "; // "[]" still starts a (nameless) section
        return line;
    }
    if (trimmed.startsWith(';') || trimmed.startsWith('#'))
        return line;
    const int eq = trimmed.indexOf('=');
    if (eq <= 0)
        return line;
    line.key = trimmed.left(eq).trimmed();
    line.value = trimmed.mid(eq + 1).trimmed();
    // A value in matching quotes is given without them.
    if (line.value.size() >= 2 && line.value.front() == '"' && line.value.back() == '"')
        line.value = line.value.mid(1, line.value.size() - 2);
    return line;
}

bool sameName(const QByteArray &a, const QString &b)
{
    return decode(a).compare(b, Qt::CaseInsensitive) == 0;
}

struct ParsedFile {
    QList<Line> lines;
    // The end that lines we add get: the file's first one.
    QByteArray lineEnd = "\n";
};

ParsedFile parse(const QByteArray &bytes)
{
    ParsedFile file;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype stop = newline < 0 ? bytes.size() : newline;
        QByteArray raw = bytes.mid(start, stop - start);
        QByteArray end = newline < 0 ? QByteArray() : QByteArray("\n");
        if (newline >= 0 && raw.endsWith('\r')) {
            raw.chop(1);
            end = "\r\n";
        }
        if (file.lines.isEmpty() && !end.isEmpty())
            file.lineEnd = end;
        file.lines.append(parseLine(raw, end));
        start = stop + 1;
    }
    return file;
}

} // namespace

namespace {

// The value's bytes, or nothing when the file, section or key is missing.
std::optional<QByteArray> findValue(const QString &path, const QString &section, const QString &key)
{
    const ParsedFile file = parse(readAll(path));
    bool inSection = false;
    for (const Line &line : file.lines) {
        if (!line.section.isEmpty()) {
            inSection = sameName(line.section, section);
            continue;
        }
        if (inSection && !line.key.isEmpty() && sameName(line.key, key))
            return line.value;
    }
    return std::nullopt;
}

} // namespace

QString ProfileFile::readString(const QString &section, const QString &key,
                                const QString &defaultValue, int maxChars) const
{
    const std::optional<QByteArray> value = findValue(m_path, section, key);
    return (value ? decode(*value) : defaultValue).left(qMax(0, maxChars));
}

QByteArray ProfileFile::readBytes(const QString &section, const QString &key, int maxBytes) const
{
    return findValue(m_path, section, key).value_or(QByteArray()).left(qMax(0, maxBytes));
}

bool ProfileFile::writeString(const QString &section, const QString &key, const QString &value)
{
    // Never write over a device or a FIFO, nor over a file too large to be ours.
    const platform::PathKind kind = platform::KindOfPath(m_path);
    if (kind == platform::PathKind::Other)
        return false;
    if (kind != platform::PathKind::Missing && QFileInfo(m_path).size() > MaxProfileFileSize)
        return false;
    ParsedFile file = parse(readAll(m_path));
    const QByteArray newLine = encode(key) + '=' + encode(value);

    qsizetype sectionStart = -1; // index of the section line
    qsizetype insertAt = -1;     // after the section's last non-blank line
    bool done = false;
    bool inSection = false;
    for (qsizetype i = 0; i < file.lines.size() && !done; ++i) {
        const Line &line = file.lines[i];
        if (!line.section.isEmpty()) {
            if (inSection)
                break; // the next section begins; insert at the end of ours
            inSection = sameName(line.section, section);
            if (inSection) {
                sectionStart = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!line.key.isEmpty() && sameName(line.key, key)) {
            file.lines[i] = parseLine(newLine, line.end);
            done = true;
        } else if (!line.raw.trimmed().isEmpty()) {
            insertAt = i + 1;
        }
    }
    if (!done) {
        const QByteArray &end = file.lineEnd;
        // A last line without its end gets one before anything follows it.
        const auto endLastLine = [&file, &end] {
            if (!file.lines.isEmpty() && file.lines.last().end.isEmpty())
                file.lines.last().end = end;
        };
        if (sectionStart < 0) {
            endLastLine();
            if (!file.lines.isEmpty() && !file.lines.last().raw.trimmed().isEmpty())
                file.lines.append(parseLine(QByteArray(), end));
            file.lines.append(parseLine('[' + encode(section) + ']', end));
            file.lines.append(parseLine(newLine, end));
        } else {
            if (insertAt == file.lines.size())
                endLastLine();
            file.lines.insert(insertAt, parseLine(newLine, end));
        }
    }

    QByteArray bytes;
    for (const Line &line : std::as_const(file.lines))
        bytes += line.raw + line.end;

    const QString dir = QFileInfo(m_path).absolutePath();
    QDir().mkpath(dir);
    return !platform::WriteWholeFile(m_path, bytes).has_value();
}

QString DefaultSettingsPath()
{
#ifdef Q_OS_WIN
    const QString windows = qEnvironmentVariable("WINDIR", QStringLiteral("C:/Windows"));
    return QDir(windows).filePath(QStringLiteral("Ventora.ini"));
#else
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("quintara/Ventora.ini"));
#endif
}

QString PortDeviceName(const ProfileFile &file, int portNumber)
{
    const QString named = file.readString(QStringLiteral("Ports"),
                                          QStringLiteral("COM%1").arg(portNumber), QString(), 255);
    return named.isEmpty() ? OwnPortDeviceName(portNumber) : named;
}

QString OwnPortDeviceName(int portNumber)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

} // namespace quintara::settings
