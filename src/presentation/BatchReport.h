#pragma once

#include "book/Batch.h"

#include <QString>

namespace quintara::ui {

// A batch's report for a spreadsheet: a header, then one record a site (site, state, outcome
// code, version kept, finished, message), the byte order mark first.
QString BatchReportCsv(const book::BatchSummary &summary);

} // namespace quintara::ui
