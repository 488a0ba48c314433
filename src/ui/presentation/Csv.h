#pragma once

#include <QString>
#include <QStringList>

namespace quintara::ui {

// Comma-separated values as spreadsheet programs read them (RFC 4180): a field holding a comma,
// a double quote, CR or LF is put in double quotes with its own quotes doubled; records end in
// CR LF. A file begins with CsvByteOrderMark so that accents are read as UTF-8.
inline constexpr QChar CsvByteOrderMark{0xFEFF};

QString CsvField(const QString &text);
// The fields as one record, CR LF included.
QString CsvRecord(const QStringList &fields);

} // namespace quintara::ui
