#pragma once

#include "settings/TextIds.h"

#include <QHash>
#include <QString>

#include <optional>

namespace quintara::platform {
struct WriteFailure;
}

namespace quintara::settings {

// The seven languages, in the order of their offsets (index × 10000).
inline constexpr int LanguageCount = 7;
inline constexpr int LanguageStep = 10000;

class Strings;

// Why a file was not written, for the user: our own reason in the language in force, or the
// operating system's.
QString WriteFailureText(const Strings &strings, const platform::WriteFailure &failure);

// The texts of the program in all languages, addressed by base id + 10000 × language.
class StringTable {
public:
    // The table compiled into the program.
    static const StringTable &builtIn();
    // Parses the tab-separated form (id and seven language columns); for tests and the build.
    static StringTable fromTsv(const QByteArray &tsv, QString *error = nullptr);

    std::optional<QString> find(int fullId) const;
    QList<int> baseIds() const;

private:
    QHash<int, QString> m_texts;
    QList<int> m_baseIds;
};

// Fetches texts in the language in force.
class Strings {
public:
    explicit Strings(const StringTable &table, int languageOffset = 0)
        : m_table(table), m_languageOffset(languageOffset)
    {
    }

    // The text of a base id in the language in force; an empty text when the table has none.
    QString GetResString(int id) const;

    int LanguageOffset() const { return m_languageOffset; }
    void setLanguageOffset(int offset) { m_languageOffset = offset; }
    // One of the seven offsets?
    static bool IsValidLanguageOffset(qint64 offset);

private:
    const StringTable &m_table;
    int m_languageOffset;
};

} // namespace quintara::settings
