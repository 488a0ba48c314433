#include "settings/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

namespace quintara::settings {

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Values are UTF-8; a file written by an older ANSI tool falls back to Latin-1 rather than
// turning accented names into replacement characters.
QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

struct Line {
    QByteArray raw;     // as in the file, without its line end
    QByteArray section; // set on section lines: the name, trimmed
    QByteArray key;     // set on key lines: the name, trimmed
    QByteArray value;   // set on key lines: the value, trimmed
};

Line parseLine(const QByteArray &raw)
{
    Line line{raw, {}, {}, {}};
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
    return QString::fromUtf8(a).compare(b, Qt::CaseInsensitive) == 0;
}

struct ParsedFile {
    QList<Line> lines;
    QByteArray lineEnd = "\n";
    bool endsWithLineEnd = true;
};

ParsedFile parse(const QByteArray &bytes)
{
    ParsedFile file;
    if (bytes.contains("\r\n"))
        file.lineEnd = "\r\n";
    file.endsWithLineEnd = bytes.isEmpty() || bytes.endsWith('\n');
    QList<QByteArray> raws = bytes.split('\n');
    if (bytes.endsWith('\n'))
        raws.removeLast();
    for (QByteArray &raw : raws) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        file.lines.append(parseLine(raw));
    }
    if (bytes.isEmpty())
        file.lines.clear();
    return file;
}

} // namespace

QString ProfileFile::readString(const QString &section, const QString &key,
                                const QString &defaultValue, int maxChars) const
{
    const ParsedFile file = parse(readAll(m_path));
    bool inSection = false;
    for (const Line &line : file.lines) {
        if (!line.section.isEmpty()) {
            inSection = sameName(line.section, section);
            continue;
        }
        if (inSection && !line.key.isEmpty() && sameName(line.key, key))
            return decode(line.value).left(qMax(0, maxChars));
    }
    return defaultValue.left(qMax(0, maxChars));
}

bool ProfileFile::writeString(const QString &section, const QString &key, const QString &value)
{
    ParsedFile file = parse(readAll(m_path));
    const QByteArray newLine = key.toUtf8() + '=' + value.toUtf8();

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
            file.lines[i] = parseLine(newLine);
            done = true;
        } else if (!line.raw.trimmed().isEmpty()) {
            insertAt = i + 1;
        }
    }
    if (!done) {
        if (sectionStart < 0) {
            if (!file.lines.isEmpty() && !file.lines.last().raw.trimmed().isEmpty())
                file.lines.append(parseLine(QByteArray()));
            file.lines.append(parseLine('[' + section.toUtf8() + ']'));
            file.lines.append(parseLine(newLine));
        } else {
            file.lines.insert(insertAt, parseLine(newLine));
        }
    }

    QByteArray bytes;
    for (qsizetype i = 0; i < file.lines.size(); ++i) {
        bytes += file.lines[i].raw;
        if (i + 1 < file.lines.size() || file.endsWithLineEnd)
            bytes += file.lineEnd;
    }

    const QString dir = QFileInfo(m_path).absolutePath();
    QDir().mkpath(dir);
    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(bytes);
    return out.commit();
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
    if (!named.isEmpty())
        return named;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

} // namespace quintara::settings
