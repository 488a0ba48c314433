#include "settings/Strings.h"

#include "platform/Files.h"

#include <QFile>

#include <algorithm>

namespace quintara::settings {

namespace {

QString unescape(const QByteArray &cell)
{
    QByteArray out;
    out.reserve(cell.size());
    for (qsizetype i = 0; i < cell.size(); ++i) {
        const char c = cell[i];
        if (c != '\\' || i + 1 == cell.size()) {
            out += c;
            continue;
        }
        const char next = cell[++i];
        switch (next) {
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            out += next;
            break;
        }
    }
    return QString::fromUtf8(out);
}

} // namespace

const StringTable &StringTable::builtIn()
{
    // Immutable data compiled into the program, parsed once on first use.
    static const StringTable table = [] {
        QFile file(QStringLiteral(":/quintara/strings.tsv"));
        if (!file.open(QIODevice::ReadOnly))
            return StringTable();
        return fromTsv(file.readAll());
    }();
    return table;
}

StringTable StringTable::fromTsv(const QByteArray &tsv, QString *error)
{
    StringTable table;
    int lineNumber = 0;
    for (QByteArray line : tsv.split('\n')) {
        ++lineNumber;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> cells = line.split('\t');
        bool ok = false;
        const int id = cells.front().toInt(&ok);
        if (!ok || id < 0 || id >= LanguageStep || cells.size() > LanguageCount + 1) {
            if (error)
                *error = QStringLiteral("line %1: not an id and seven texts").arg(lineNumber);
            continue;
        }
        if (table.m_baseIds.contains(id) && error)
            *error = QStringLiteral("line %1: id %2 twice").arg(lineNumber).arg(id);
        table.m_baseIds.append(id);
        for (qsizetype language = 0; language + 1 < cells.size(); ++language) {
            if (!cells[language + 1].isEmpty())
                table.m_texts.insert(id + int(language) * LanguageStep,
                                     unescape(cells[language + 1]));
        }
    }
    std::sort(table.m_baseIds.begin(), table.m_baseIds.end());
    table.m_baseIds.erase(std::unique(table.m_baseIds.begin(), table.m_baseIds.end()),
                          table.m_baseIds.end());
    return table;
}

std::optional<QString> StringTable::find(int fullId) const
{
    const auto it = m_texts.constFind(fullId);
    if (it == m_texts.constEnd())
        return std::nullopt;
    return *it;
}

QList<int> StringTable::baseIds() const
{
    return m_baseIds;
}

QString Strings::GetResString(int id) const
{
    return m_table.find(id + m_languageOffset).value_or(QString());
}

QString WriteFailureText(const Strings &strings, const platform::WriteFailure &failure)
{
    switch (failure.problem) {
    case platform::WriteProblem::OtherHardLinks:
        return strings.GetResString(TextId::File::OtherHardLinks);
    case platform::WriteProblem::NoRoomInPlace:
        return strings.GetResString(TextId::File::NoRoomInPlace) + u'\n' + failure.reason;
    case platform::WriteProblem::System:
        break;
    }
    return failure.reason;
}

bool Strings::IsValidLanguageOffset(qint64 offset)
{
    return offset >= 0 && offset < qint64(LanguageCount) * LanguageStep &&
           offset % LanguageStep == 0;
}

} // namespace quintara::settings
