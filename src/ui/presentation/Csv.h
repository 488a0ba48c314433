#pragma once

#include <QString>
#include <QStringList>

namespace quintara::ui {

// One field as a comma-separated file holds it: enclosed in double quotes, with each double
// quote doubled, when it holds a comma, a double quote or a line break; as it is otherwise.
QString CsvField(const QString &text);

// One row of fields, quoted as above, joined by commas and ended by CR LF.
QString CsvRow(const QStringList &fields);

} // namespace quintara::ui
