#pragma once

#include <QString>

namespace quintara::project {

// A text of exactly Width characters, filled up with blanks on the right, as the installation's
// names are stored. Longer texts are cut. A text of blanks only means "not defined".
template <int Width> class FixedText {
public:
    static constexpr int width = Width;

    FixedText() : m_text(Width, QLatin1Char(' ')) {}
    FixedText(const QString &text) { assign(text); } // NOLINT: implicit on purpose
    // Source literals are UTF-8.
    FixedText(const char *text) { assign(QString::fromUtf8(text)); }

    FixedText &operator=(const QString &text)
    {
        assign(text);
        return *this;
    }

    // Always Width characters.
    const QString &text() const { return m_text; }
    operator const QString &() const { return m_text; } // NOLINT: reads like the QString it is

    // The text without its trailing blanks.
    QString trimmedRight() const
    {
        qsizetype end = m_text.size();
        while (end > 0 && m_text.at(end - 1) == QLatin1Char(' '))
            --end;
        return m_text.left(end);
    }
    bool isBlank() const { return trimmedRight().isEmpty(); }

    friend bool operator==(const FixedText &a, const FixedText &b) { return a.m_text == b.m_text; }

private:
    void assign(const QString &text)
    {
        m_text = text.left(Width);
        if (m_text.size() < Width)
            m_text.append(QString(Width - m_text.size(), QLatin1Char(' ')));
    }

    QString m_text;
};

using Name50 = FixedText<50>;

} // namespace quintara::project
