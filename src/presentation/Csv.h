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

class ClockLineListModel;

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

// The list of lines as it reads in the window, for people: its headings, then a record per row
// with every column in words in the list's language; the byte order mark first.
QString LineListCsv(const ClockLineListModel &model);

} // namespace quintara::ui
