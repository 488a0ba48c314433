#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

namespace quintara::clock {
struct ClockLine;
struct ClockTable;
} // namespace quintara::clock

namespace quintara::ui {

// Comma-separated values as spreadsheet programs read them (RFC 4180): a field holding a comma,
// a double quote, CR or LF is put in double quotes with its own quotes doubled; records end in
// CR LF. A file begins with CsvByteOrderMark so that accents are read as UTF-8.
inline constexpr QChar CsvByteOrderMark{0xFEFF};

QString CsvField(const QString &text);
// The fields as one record, CR LF included.
QString CsvRecord(const QStringList &fields);

// The function and level of a line in words.
using LineWords = std::function<std::pair<QString, QString>(const clock::ClockLine &)>;

// Every line in use of the table, one record each after a header naming the clock file's
// fields (index, minute, hour, day, month, year, table, repeatUnit, repeatCount,
// functionType, functionNumber, level, nextLine, firstLine) and, when words are given, function
// and levelText; the byte order mark first.
QString ClockLinesCsv(const clock::ClockTable &table, const LineWords &words = {});

} // namespace quintara::ui
