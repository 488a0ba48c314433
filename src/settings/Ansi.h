#pragma once

#include <QByteArray>
#include <QString>

namespace quintara::settings {

// Texts in files are one byte a character in Windows-1252; in memory they are UTF-16.
// Every byte maps to one character and back: the five bytes 1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same number, as Windows does.

QChar AnsiToChar(quint8 byte);
// Characters without a Windows-1252 byte become '?'.
quint8 CharToAnsi(QChar character);

QString AnsiToString(const QByteArray &bytes);
// Exactly width bytes: cut, or filled up with blanks.
QByteArray StringToAnsi(const QString &text, int width);

} // namespace quintara::settings
