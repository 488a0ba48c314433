#include "presentation/BatchReport.h"

#include "presentation/Csv.h"

namespace quintara::ui {

QString BatchReportCsv(const book::BatchSummary &summary)
{
    QString csv = CsvByteOrderMark;
    csv += CsvRecord({QStringLiteral("site"), QStringLiteral("state"), QStringLiteral("outcome"),
                      QStringLiteral("version"), QStringLiteral("finished"),
                      QStringLiteral("message")});
    for (const book::BatchItem &item : summary.items)
        csv += CsvRecord({item.siteName, book::ItemStateName(item.state),
                          QString::number(item.outcome),
                          item.version ? QString::number(item.version) : QString(),
                          item.finished.isValid() ? item.finished.toString(Qt::ISODate) : QString(),
                          item.message});
    return csv;
}

} // namespace quintara::ui
