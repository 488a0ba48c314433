#include "presentation/Csv.h"

#include "clock/ClockTable.h"
#include "presentation/ClockLineListModel.h"

namespace quintara::ui {

QString CsvField(const QString &text)
{
    const bool quoted = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                        text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    if (!quoted)
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QString CsvRecord(const QStringList &fields)
{
    QString record;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            record += QLatin1Char(',');
        record += CsvField(fields[i]);
    }
    return record + QLatin1String("\r\n");
}

QString ClockLinesCsv(const clock::ClockTable &table, const LineWords &words)
{
    QStringList columns{QStringLiteral("index"),          QStringLiteral("minute"),
                        QStringLiteral("hour"),           QStringLiteral("day"),
                        QStringLiteral("month"),          QStringLiteral("year"),
                        QStringLiteral("table"),          QStringLiteral("repeatUnit"),
                        QStringLiteral("repeatCount"),    QStringLiteral("functionType"),
                        QStringLiteral("functionNumber"), QStringLiteral("level"),
                        QStringLiteral("nextLine"),       QStringLiteral("firstLine")};
    if (words)
        columns << QStringLiteral("function") << QStringLiteral("levelText");
    // Spreadsheet programs take the file for UTF-8 only with the mark.
    QString csv = CsvByteOrderMark + CsvRecord(columns);
    for (int i = 0; i < clock::ClockLineCount; ++i) {
        const clock::ClockLine &line = table.Lines[static_cast<std::size_t>(i)];
        if (!line.inUse())
            continue;
        QStringList row{QString::number(i)};
        for (const quint8 byte : line.toBytes())
            row << QString::number(byte);
        if (words) {
            const auto [function, level] = words(line);
            row << function << level;
        }
        csv += CsvRecord(row);
    }
    return csv;
}

QString LineListCsv(const ClockLineListModel &model)
{
    QString csv = CsvByteOrderMark + CsvRecord(model.headings());
    for (int row = 0; row < model.rowCount(); ++row)
        csv += CsvRecord(model.rowTexts(row));
    return csv;
}

} // namespace quintara::ui
