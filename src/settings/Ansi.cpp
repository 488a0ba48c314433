#include "settings/Ansi.h"

#include <array>

namespace quintara::settings {

namespace {

// 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> HighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QChar AnsiToChar(quint8 byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(HighControls[byte - 0x80]);
    return QChar(byte);
}

quint8 CharToAnsi(QChar character)
{
    const char16_t unit = character.unicode();
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == unit)
            return static_cast<quint8>(0x80 + i);
    }
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return static_cast<quint8>(unit);
    return '?';
}

QString AnsiToString(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        text.append(AnsiToChar(static_cast<quint8>(byte)));
    return text;
}

QByteArray StringToAnsi(const QString &text, int width)
{
    QByteArray bytes(width, ' ');
    const qsizetype count = qMin<qsizetype>(text.size(), width);
    for (qsizetype i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(CharToAnsi(text.at(i)));
    return bytes;
}

} // namespace quintara::settings
